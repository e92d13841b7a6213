#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqChildList.h"
#include "model/ZqModelRegistry.h"

#include <memory>
#include <string>
#include <vector>

class ZqModelObject;

#define ZQ_MODEL_LEVEL_SECTION_ATTRIBUTES(A, V)                                                    \
    V(ZqAttributeBool,  m_initSection,   "Init Section",   false)                                  \
    V(ZqAttributeBool,  m_muted,         "Muted",          false)                                  \
    V(ZqAttributeBool,  m_solo,          "Solo",           false)                                  \
    V(ZqAttributeFloat, m_startDistance, "Start Distance", 0.0f)                                   \
    V(ZqAttributeFloat, m_endDistance,   "End Distance",   -1.0f)                                  \
    V(ZqAttributeFloat, m_width,         "Width",          0.0f)                                   \
    V(ZqAttributeFloat, m_playCooldown,  "Play Cooldown",  0.0f)

// A stretch of a game world: the objects placed in it (its children) and the values the
// game field reads to choose and place it. Distances and width are in points along the
// direction of play; an "End Distance" below 0 means no end. A child of a screen scene.
class ZqBaseModelLevelSection : public ZqModel {
public:
    explicit ZqBaseModelLevelSection(const std::string& name);
    // The counter and placement distance are copied; the object list is refilled when the
    // children come (ZqModelLevelSection::relinkCopiedChildren).
    ZqBaseModelLevelSection(const ZqBaseModelLevelSection& source);

    void childAdded(const std::shared_ptr<ZqModel>& child) override;
    void childRemoved(const std::shared_ptr<ZqModel>& child) override;
    void childrenCleared() override;

    // Notify only on a change.
    virtual void setMuted(bool muted) { m_muted->setValue(muted); }
    virtual void setSolo(bool solo) { m_solo->setValue(solo); }

    bool isInitSection() const { return m_initSection->value(); }
    bool isMuted() const { return m_muted->value(); }
    bool isSolo() const { return m_solo->value(); }
    float startDistance() const { return m_startDistance->value(); }
    float endDistance() const { return m_endDistance->value(); }
    float width() const { return m_width->value(); }
    // "Play Cooldown" truncated toward zero (saturating): picks to wait after a use.
    int playCooldown() const;
    // The object at that index of the object list; empty past its end.
    std::shared_ptr<ZqModelObject> objectAt(unsigned index) const;
    // The children that are object models, in the order they were added.
    const std::vector<std::shared_ptr<ZqModelObject>>& objects() const { return m_objects.list(); }

    // Runtime state of the game field, never written to the model files: picks left
    // before the section may be picked again, and the distance at which it was last added.
    int cooldownCounter = 0;
    float placementDistance = 0.0f;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_LEVEL_SECTION_ATTRIBUTES)

private:
    ZqChildList<ZqModelObject, ZqChildMatch::kKind> m_objects;
};

class ZqModelLevelSection : public ZqBaseModelLevelSection {
public:
    using ZqBaseModelLevelSection::ZqBaseModelLevelSection;
    ZQ_MODEL_KIND(ZqModelLevelSection, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelLevelSection)
    static std::shared_ptr<ZqModelLevelSection> create(const ZqModelLevelSection& source)
    {
        return zqCreateModel<ZqModelLevelSection>(source);
    }
    // A copy filled by relinkCopiedChildren instead of copyChildrenFrom.
    std::shared_ptr<ZqModel> duplicate(bool deep, bool registerCopy) const override;

    // Replaces this model's children with the source's: shared when not deep; else fresh
    // copies of the objects, groups refilled with the copies of their members (members
    // from outside the section stay shared), and copies of the linkers whose two objects
    // were both copied (the others are dropped). Copies are registered when registerCopy
    // is set and their originals are registered. A section met again while its own
    // children are being copied (a cycle) gets no children.
    void relinkCopiedChildren(const ZqModelLevelSection& source, bool deep, bool registerCopy);
};
