// The child and parent links of ZqModel, and its observers.
#include "model/ZqModel.h"

#include "model/ZqModelController.h"

#include <ZqLog.h>

#include <algorithm>
#include <unordered_set>

namespace {

constexpr std::size_t kGeneralSettingsTypeId = zqTypeIdOf("ZqModelGeneralSettings");

} // namespace

void ZqModel::insertChild(const std::shared_ptr<ZqModel>& child, int index, bool silent)
{
    if (!child || child->typeId() == kGeneralSettingsTypeId || hasChild(child.get()))
        return;
    if (isSelfOrAncestor(child.get())) {
        debugLog("[ZqModel] model %u cannot be a child of model %u, its descendant - refused", child->id(), m_id);
        return;
    }
    if (index >= 0 && static_cast<std::size_t>(index) < m_children.size())
        m_children.insert(m_children.begin() + index, child);
    else
        m_children.push_back(child);
    child->addParent(sharedFromThis());
    childAdded(child);
    if (!silent)
        notifyChanged();
}

void ZqModel::addChild(const std::shared_ptr<ZqModel>& child, bool silent)
{
    insertChild(child, -1, silent);
}

void ZqModel::removeChild(const std::shared_ptr<ZqModel>& child, bool silent)
{
    removeChildPointer(child.get(), silent);
}

void ZqModel::removeChildPointer(const ZqModel* child, bool silent)
{
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [child](const std::shared_ptr<ZqModel>& c) { return c.get() == child; });
    if (it == m_children.end())
        return;
    // Held here: the list's reference may be the last one.
    const std::shared_ptr<ZqModel> removed = *it;
    m_children.erase(it);
    removed->removeParentPointer(this, true);
    childRemoved(removed);
    if (!silent)
        notifyChanged();
}

void ZqModel::removeAllChildren(bool silent)
{
    const std::vector<std::shared_ptr<ZqModel>> former = std::move(m_children);
    m_children.clear();
    for (const std::shared_ptr<ZqModel>& child : former)
        child->removeParentPointer(this, silent);
    childrenCleared();
    if (!silent)
        notifyChanged();
}

void ZqModel::addLoadedChildren(std::span<std::shared_ptr<ZqModel>> children)
{
    m_children.reserve(m_children.size() + children.size());
    const std::shared_ptr<ZqModel> self = sharedFromThis();
    // Children are unique; a long list is checked through a set rather than scanned.
    std::unordered_set<const ZqModel*> present;
    const bool useSet = m_children.size() + children.size() > 32;
    if (useSet) {
        for (const std::shared_ptr<ZqModel>& child : m_children)
            present.insert(child.get());
    }
    for (std::shared_ptr<ZqModel>& child : children) {
        if (!child || child->typeId() == kGeneralSettingsTypeId)
            continue;
        if (useSet ? !present.insert(child.get()).second : hasChild(child.get()))
            continue;
        child->purgeExpiredParents();
        if (self && !child->hasParent(this))
            child->m_parents.push_back(self);
        m_children.push_back(std::move(child));
        childAdded(m_children.back());
    }
    childrenLinked();
}

void ZqModel::addParent(const std::shared_ptr<ZqModel>& parent)
{
    purgeExpiredParents();
    if (!parent || hasParent(parent.get()))
        return;
    if (parent->isSelfOrAncestor(this)) {
        debugLog("[ZqModel] model %u cannot be a child of model %u, its descendant - refused", m_id, parent->id());
        return;
    }
    m_parents.push_back(parent);
    parent->addChild(sharedFromThis());
}

void ZqModel::removeParent(const std::shared_ptr<ZqModel>& parent, bool silent)
{
    removeParentPointer(parent.get(), silent);
}

void ZqModel::removeParentPointer(const ZqModel* parent, bool silent)
{
    purgeExpiredParents();
    auto it = std::find_if(m_parents.begin(), m_parents.end(),
                           [parent](const std::weak_ptr<ZqModel>& p) { return p.lock().get() == parent; });
    if (it == m_parents.end())
        return;
    const std::shared_ptr<ZqModel> former = it->lock();
    m_parents.erase(it);
    former->removeChildPointer(this, silent);
}

std::shared_ptr<ZqModel> ZqModel::parent() const
{
    for (const std::weak_ptr<ZqModel>& weak : m_parents) {
        if (std::shared_ptr<ZqModel> parent = weak.lock())
            return parent;
    }
    return nullptr;
}

std::vector<std::shared_ptr<ZqModel>> ZqModel::parents() const
{
    std::vector<std::shared_ptr<ZqModel>> live;
    for (const std::weak_ptr<ZqModel>& weak : m_parents) {
        if (std::shared_ptr<ZqModel> parent = weak.lock())
            live.push_back(parent);
    }
    return live;
}

bool ZqModel::hasParent(const ZqModel* model) const
{
    return std::any_of(m_parents.begin(), m_parents.end(),
                       [model](const std::weak_ptr<ZqModel>& p) { return p.lock().get() == model; });
}

bool ZqModel::hasChild(const ZqModel* model) const
{
    return indexOfChild(model) < static_cast<int>(m_children.size());
}

int ZqModel::indexOfChild(const ZqModel* model) const
{
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [model](const std::shared_ptr<ZqModel>& c) { return c.get() == model; });
    return static_cast<int>(it - m_children.begin());
}

void ZqModel::purgeExpiredParents()
{
    std::erase_if(m_parents, [](const std::weak_ptr<ZqModel>& p) { return p.expired(); });
}

bool ZqModel::isSelfOrAncestor(const ZqModel* model) const
{
    // Walks up through every live parent; shared ancestors are visited once.
    std::vector<const ZqModel*> pending{this};
    std::unordered_set<const ZqModel*> visited;
    while (!pending.empty()) {
        const ZqModel* current = pending.back();
        pending.pop_back();
        if (current == model)
            return true;
        if (!visited.insert(current).second)
            continue;
        for (const std::weak_ptr<ZqModel>& weak : current->m_parents) {
            if (std::shared_ptr<ZqModel> parent = weak.lock())
                pending.push_back(parent.get());
        }
    }
    return false;
}

void ZqModel::addObserver(ZqModelObserver* observer)
{
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void ZqModel::removeObserver(ZqModelObserver* observer)
{
    std::erase(m_observers, observer);
}

void ZqModel::notifyChanged()
{
    const std::vector<ZqModelObserver*> observers = m_observers;
    const std::shared_ptr<ZqModel> self = sharedFromThis();
    for (ZqModelObserver* observer : observers)
        observer->modelChanged(self);
    if (ZqModelController* controller = ZqModelController::existing())
        controller->notifyModelChanged(this);
}

void ZqModel::registerLike(const ZqModel& source)
{
    ZqModelController* controller = ZqModelController::existing();
    // Only when the source itself is registered, not merely another model under its id.
    if (controller && controller->modelById(source.id()).get() == &source)
        controller->addModel(sharedFromThis(), -1);
}
