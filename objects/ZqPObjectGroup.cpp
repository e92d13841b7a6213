#include "objects/ZqPObjectGroup.h"

#include "model/objects/ZqModelObjectsLogic.h"

#include <algorithm>

using namespace cocos2d;

namespace {

constexpr int kHighestBandStart = 10000;

} // namespace

ZqPObjectGroup* ZqPObjectGroup::create(const std::shared_ptr<ZqModelObjectGroup>& model)
{
    ZqPObjectGroup* group = new ZqPObjectGroup(model);
    group->autorelease();
    return group;
}

ZqPObjectGroup::ZqPObjectGroup(const std::shared_ptr<ZqModelObjectGroup>& model)
    : ZqPObject(model)
    , m_group(model)
{
    setObjectType(kTypeGroup);
}

void ZqPObjectGroup::update(float)
{
    if (!m_group || !m_group->isAutoDepthSorting() || m_group->children().empty() || !referenceNode())
        return;
    const bool withCharacters = m_group->characterCount() > 0;
    int lowest = kHighestBandStart;
    m_members.clear();
    CCArray* children = referenceNode()->getChildren();
    for (unsigned int i = 0; children && i < children->count(); ++i) {
        ZqPObject* object = dynamic_cast<ZqPObject*>(children->objectAtIndex(i));
        if (!object)
            continue;
        const bool member = (object->model() && m_group->hasChild(object->model().get()))
            || (withCharacters && object->objectType() == kTypeCharacter);
        if (!member)
            continue;
        m_members.push_back(object);
        lowest = std::min(lowest, object->getZOrder());
    }
    const bool onY = m_group->sortDirection() == "gAxisX";
    const bool greatestFirst = m_group->sortOrder() == "gSortAsc";
    std::stable_sort(m_members.begin(), m_members.end(), [onY, greatestFirst](ZqPObject* a, ZqPObject* b) {
        const float ca = onY ? a->getPositionY() : a->getPositionX();
        const float cb = onY ? b->getPositionY() : b->getPositionX();
        return greatestFirst ? ca > cb : ca < cb;
    });
    for (size_t i = 0; i < m_members.size(); ++i)
        m_members[i]->setZOrder(lowest + static_cast<int>(i));
}
