#pragma once

#include "base/CCGeometry.h"

#include <vector>

namespace cocos2d {
class CCSprite;
}
class ZqModel;
class ZqPObject;
class ZqPObjectAssetMirror;
class ZqPObjectBackgroundLayer;
class ZqPScreenScene;

// The field's scenery and effects: background layers, group objects, the mirror pass, and
// the flash and the shake.
class ZqFieldScenery {
public:
    // z order of the flash among the field's children.
    static constexpr int kFlashZOrder = 9000;

    explicit ZqFieldScenery(ZqPScreenScene& field) : m_field(field) {}

    // A background layer for each shown background model of the screen, in the camera at
    // its "Z Depth"; a "Scale" component of 0 or below becomes 0.1 in the model first.
    void createBackgroundLayers();
    // A group object in the camera for each group model among section's children.
    void createGroupsFor(const ZqModel& section);
    // After a camera step that moved the camera by delta: each layer scrolls by
    // delta.x + delta.y over the field's frame step.
    void scrollBackgrounds(const cocos2d::CCPoint& delta);
    // Adds a mirror object to the mirror pass (once), the field becoming its field;
    // nothing for other objects.
    void registerIfMirror(ZqPObject* object);
    // Takes mirror out of the mirror pass; nothing when it is not in it.
    void unregisterMirror(ZqPObjectAssetMirror* mirror);
    // After the field's own visit: each registered mirror captures the whole scene with the
    // field's UI layer and the container's other screens hidden. No pass runs inside a
    // capture.
    void reflect();
    // Lets the mirrors go of the field and releases the background layers; before the
    // objects go.
    void release();
    const std::vector<ZqPObjectAssetMirror*>& mirrors() const { return m_mirrors; }
    const std::vector<ZqPObjectBackgroundLayer*>& backgroundLayers() const { return m_backgroundLayers; }

    // The white flash over the field, fading out over seconds.
    void flash(float seconds);
    // Shakes the field layer for seconds, strongest in its last second.
    void shake(float seconds);
    // The flash fades and the shake moves on by dt seconds.
    void updateEffects(float dt);
    // The shake stops where it is (a restart puts the field layer back).
    void stopShake() { m_shakeTime = 0.0f; }
    // A child of the field while flashing, else null.
    cocos2d::CCSprite* flashSprite() const { return m_flash; }

private:
    ZqPScreenScene& m_field;
    // Not retained: each mirror leaves the list as it goes.
    std::vector<ZqPObjectAssetMirror*> m_mirrors;
    // Retained (their create does not autorelease).
    std::vector<ZqPObjectBackgroundLayer*> m_backgroundLayers;
    bool m_capturingMirror = false;
    cocos2d::CCSprite* m_flash = nullptr;
    float m_flashTime = 0.0f;
    float m_flashDuration = 0.0f;
    float m_shakeTime = 0.0f;
};
