#include "model/scene/ZqModelCompound.h"

#include "model/scene/ZqModelComponents.h"

#include <algorithm>

ZqBaseModelCompound::ZqBaseModelCompound(const std::string& name)
    : ZqModel(name)
{
}

ZqBaseModelCompound::ZqBaseModelCompound(const ZqBaseModelCompound& source)
    : ZqModel(source)
{
}

void ZqBaseModelCompound::childAdded(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childAdded(child);
    if (std::shared_ptr<ZqModelComponent> component = modelKindCast<ZqModelComponent>(child))
        m_components.push_back(std::move(component));
}

void ZqBaseModelCompound::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childRemoved(child);
    if (!modelKindCast<ZqModelComponent>(child))
        return;
    auto entry = std::find_if(m_components.begin(), m_components.end(),
                              [&](const std::shared_ptr<ZqModelComponent>& component) { return component.get() == child.get(); });
    if (entry != m_components.end())
        m_components.erase(entry);
}

void ZqBaseModelCompound::childrenCleared()
{
    ZqModel::childrenCleared();
    m_components.clear();
}
