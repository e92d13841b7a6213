#include "model/scene/ZqModelCompound.h"

#include "model/scene/ZqModelComponents.h"

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
    m_components.add(child);
}

void ZqBaseModelCompound::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childRemoved(child);
    m_components.remove(child.get());
}

void ZqBaseModelCompound::childrenCleared()
{
    ZqModel::childrenCleared();
    m_components.clear();
}
