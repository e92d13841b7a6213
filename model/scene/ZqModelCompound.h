#pragma once

#include "model/ZqChildList.h"
#include "model/ZqModelIdentity.h"

#include <memory>
#include <string>
#include <vector>

class ZqModelComponent;

// A model that keeps, beside its children, the list of those children that are components
// (ZqModelComponent and its subclasses), in the order they were added. The list shares
// ownership with the child list and changes only through the child operations.
class ZqBaseModelCompound : public ZqModel {
public:
    explicit ZqBaseModelCompound(const std::string& name);
    // The source's components are not copied: they come back as children
    // (copyChildrenFrom), which fills the list through childAdded.
    ZqBaseModelCompound(const ZqBaseModelCompound& source);

    void childAdded(const std::shared_ptr<ZqModel>& child) override;
    // Drops the first list entry of that component; the order of the others is kept.
    void childRemoved(const std::shared_ptr<ZqModel>& child) override;
    void childrenCleared() override;

    const std::vector<std::shared_ptr<ZqModelComponent>>& components() const { return m_components.list(); }

private:
    ZqChildList<ZqModelComponent, ZqChildMatch::kKind> m_components;
};

class ZqModelCompound : public ZqBaseModelCompound {
public:
    using ZqBaseModelCompound::ZqBaseModelCompound;
    ZQ_MODEL_IDENTITY(ZqModelCompound, ZqModel)
};
