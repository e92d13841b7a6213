#include "model/scene/ZqModelLevelSection.h"

#include "model/objects/ZqModelObjectsLogic.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelObject.h"

#include <ZqLog.h>
#include <ZqNumeric.h>

#include <algorithm>
#include <unordered_map>

ZqBaseModelLevelSection::ZqBaseModelLevelSection(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_LEVEL_SECTION_ATTRIBUTES)
}

ZqBaseModelLevelSection::ZqBaseModelLevelSection(const ZqBaseModelLevelSection& source)
    : ZqModel(source)
    , cooldownCounter(source.cooldownCounter)
    , placementDistance(source.placementDistance)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_LEVEL_SECTION_ATTRIBUTES)
}

void ZqBaseModelLevelSection::childAdded(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childAdded(child);
    m_objects.add(child);
}

void ZqBaseModelLevelSection::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childRemoved(child);
    m_objects.remove(child.get());
}

void ZqBaseModelLevelSection::childrenCleared()
{
    ZqModel::childrenCleared();
    m_objects.clear();
}

int ZqBaseModelLevelSection::playCooldown() const
{
    return zqSaturatingInt(m_playCooldown->value());
}

std::shared_ptr<ZqModelObject> ZqBaseModelLevelSection::objectAt(unsigned index) const
{
    return index < m_objects.size() ? m_objects[index] : nullptr;
}

std::shared_ptr<ZqModel> ZqModelLevelSection::duplicate(bool deep, bool registerCopy) const
{
    std::shared_ptr<ZqModelLevelSection> copy = create(*this);
    if (registerCopy)
        copy->registerLike(*this);
    copy->relinkCopiedChildren(*this, deep, registerCopy);
    return copy;
}

void ZqModelLevelSection::relinkCopiedChildren(const ZqModelLevelSection& source, bool deep, bool registerCopy)
{
    removeAllChildren(true);
    const std::vector<std::shared_ptr<ZqModel>> children = source.children();
    if (!deep) {
        for (const std::shared_ptr<ZqModel>& child : children)
            addChild(child, true);
        return;
    }
    // The sections whose children are being copied, outermost first. Adding children
    // refuses cycles only where parent links exist; a section that is its own descendant
    // would otherwise be copied without end (the same guard as ZqModel::copyChildrenFrom).
    static std::vector<const ZqModel*> copying;
    if (std::find(copying.begin(), copying.end(), &source) != copying.end()) {
        debugLog("[ZqModelLevelSection] section %u is its own ancestor - children not copied", source.id());
        return;
    }
    struct Entry {
        explicit Entry(const ZqModel* model) { copying.push_back(model); }
        ~Entry() { copying.pop_back(); }
    } entry(&source);

    std::unordered_map<const ZqModel*, std::shared_ptr<ZqModel>> copies;
    for (const std::shared_ptr<ZqModel>& child : children) {
        if (modelCast<ZqModelLinker>(child))
            continue;
        std::shared_ptr<ZqModel> copy = duplicateModel(child, true, registerCopy);
        addChild(copy, true);
        copies.emplace(child.get(), std::move(copy));
    }
    auto copyOf = [&](const ZqModel* model) -> std::shared_ptr<ZqModel> {
        auto found = copies.find(model);
        return found == copies.end() ? nullptr : found->second;
    };
    for (const std::shared_ptr<ZqModel>& child : children) {
        if (!modelCast<ZqModelObjectGroup>(child))
            continue;
        const std::shared_ptr<ZqModel> group = copyOf(child.get());
        if (!group)
            continue;
        for (const std::shared_ptr<ZqModel>& member : child->children()) {
            std::shared_ptr<ZqModel> memberCopy = copyOf(member.get());
            group->addChild(memberCopy ? memberCopy : member, true);
        }
    }
    for (const std::shared_ptr<ZqModel>& child : children) {
        std::shared_ptr<ZqModelLinker> linker = modelCast<ZqModelLinker>(child);
        if (!linker)
            continue;
        std::shared_ptr<ZqModelObject> objectA = modelKindCast<ZqModelObject>(copyOf(linker->objectA().get()));
        std::shared_ptr<ZqModelObject> objectB = modelKindCast<ZqModelObject>(copyOf(linker->objectB().get()));
        if (!objectA || !objectB)
            continue;
        std::shared_ptr<ZqModelLinker> linkerCopy = duplicateModel(linker, true, registerCopy);
        linkerCopy->setObjects(objectA, objectB, true);
        addChild(linkerCopy, true);
    }
}
