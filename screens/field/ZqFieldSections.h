#pragma once

#include "base/CCGeometry.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace cocos2d {
class CCNode;
}
class ZqModelLevelSection;
class ZqModelObject;
class ZqPObject;
class ZqPScreenScene;

// The field's level sections and its creation queue: the start build, sections appended
// ahead of the camera, the objects they queue made a few a frame, and the removal of
// objects behind and beside the view. Distances are in points along the gameplay direction
// from the camera's start.
class ZqFieldSections {
public:
    // Objects the creation queue makes in one frame, and sections added in one frame.
    static constexpr std::size_t kQueuedPerFrame = 20;
    static constexpr int kSectionsPerFrame = 4;
    // The latest section placements kept for the checkpoints.
    static constexpr std::size_t kKeptPlacements = 32;

    struct Queued {
        std::shared_ptr<ZqModelObject> model;
        cocos2d::CCPoint offset;
        int creationIndex;
        // The add call that queued it (0: none), which its linkers match.
        unsigned batch = 0;
    };

    explicit ZqFieldSections(ZqPScreenScene& field) : m_field(field) {}

    // The navigator's destination and the start section of a build; every section's
    // cooldown at 0 and the placements forgotten. A destination of this scene plays that
    // one section; otherwise sections follow on (endless).
    void chooseStart();
    // The scene's own objects, their bodies lazy.
    void makeSceneObjects();
    // The scene's own objects and the start section at distance 0.
    void startBuild();
    // Logs "add level section: <id>", stores distance as the section's placement distance,
    // queues its objects placed at model position + distance x gameplay direction with
    // creationIndex (and its linkers and groups), and answers the section's "Width".
    float add(const std::shared_ptr<ZqModelLevelSection>& section, float distance, int creationIndex);
    // In endless mode, sections appended while the next one starts before reach.
    void append(float reach);
    // Makes the runtime object of model under the camera, its body lazy or not; the
    // object, or null when none is made or a character of another section goes.
    ZqPObject* makeObject(const std::shared_ptr<ZqModelObject>& model, const cocos2d::CCPoint& offset,
                          int creationIndex, bool lazy);
    // Makes at most kQueuedPerFrame queued objects, in order, and links them.
    void createQueued();
    // Objects wholly behind or beside the view leave (a live character dies instead);
    // those ahead of it stay.
    void removeOutOfView();
    // A restart: the queue emptied, the next section at 0, no stall.
    void clear();
    // The build at a checkpoint: the scene's own objects, section at sectionDistance, and
    // of the start section only its characters, at position, each taking the component
    // states of the one in replaced it replaces. Needs a start section.
    void buildAt(const std::shared_ptr<ZqModelLevelSection>& section, float sectionDistance,
                 const cocos2d::CCPoint& position, const std::vector<ZqPObject*>& replaced);

    const std::deque<Queued>& queued() const { return m_queue; }
    // Where the next appended section goes.
    float nextDistance() const { return m_nextDistance; }
    void setNextDistance(float distance) { m_nextDistance = distance; }
    // Whether sections are appended: no destination section of this scene was chosen.
    bool isEndless() const { return m_endless; }
    // The navigator's destination at the build, and the section the build started with.
    int destination() const { return m_destination; }
    const std::shared_ptr<ZqModelLevelSection>& startSection() const { return m_startSection; }
    // The section a creation index names: the start section for the build's destination
    // (0 in endless mode), else the scene's section of that id; null when none.
    std::shared_ptr<ZqModelLevelSection> sectionOfIndex(int index) const;
    // The placement distance of the section of creation index that holds distance: the
    // latest placed at or before it (a section may be placed many times), else the first
    // after it, else 0.
    float placementOf(int index, float distance) const;

private:
    std::shared_ptr<ZqModelLevelSection> chooseSection(float distance);

    ZqPScreenScene& m_field;
    std::deque<Queued> m_queue;
    bool m_endless = true;
    float m_nextDistance = 0.0f;
    // The creation index and placement distance of the latest sections, oldest first.
    std::deque<std::pair<int, float>> m_placements;
    // The last search for a section to append found none.
    bool m_stalled = false;
    int m_destination = 0;
    std::shared_ptr<ZqModelLevelSection> m_startSection;
    unsigned m_lastBatch = 0;
    // Reused every frame.
    std::vector<cocos2d::CCNode*> m_snapshot;
};
