#pragma once

// Typed access to models without language casts: an exact test compares the model's type
// id with the class's static id (a subclass is refused), a kind test asks isKindOf (the
// class and every class derived from it pass). Results share ownership with the source
// pointer; an empty result means "no model of that class". Included at the end of
// model/ZqModel.h, so every user of ZqModel has it.
#include "model/ZqModel.h"

#include <memory>
#include <vector>

// The model as a T when it is exactly of class T; empty for an empty model.
template <class T>
std::shared_ptr<T> modelCast(const std::shared_ptr<ZqModel>& model)
{
    if (!model || model->typeId() != T::staticTypeId())
        return nullptr;
    return std::static_pointer_cast<T>(model);
}

// The model as a T when it is of class T or derives from it; empty for an empty model.
template <class T>
std::shared_ptr<T> modelKindCast(const std::shared_ptr<ZqModel>& model)
{
    if (!model || !model->isKindOf(T::staticTypeId()))
        return nullptr;
    return std::static_pointer_cast<T>(model);
}

// ZqModel::duplicate of a model known to be a T (the copy has the model's own class, so it
// is a T too); empty for an empty model. deep copies the children; registerCopy adds the
// copy to the controller when the model is registered there.
template <class T>
std::shared_ptr<T> duplicateModel(const std::shared_ptr<T>& model, bool deep, bool registerCopy)
{
    if (!model)
        return nullptr;
    return std::static_pointer_cast<T>(model->duplicate(deep, registerCopy));
}

template <class T>
std::vector<std::shared_ptr<T>> ZqModel::childrenOfClass() const
{
    std::vector<std::shared_ptr<T>> result;
    for (const std::shared_ptr<ZqModel>& child : m_children) {
        if (std::shared_ptr<T> typed = modelCast<T>(child))
            result.push_back(std::move(typed));
    }
    return result;
}

template <class T>
std::vector<std::shared_ptr<T>> ZqModel::childrenOfKind() const
{
    std::vector<std::shared_ptr<T>> result;
    for (const std::shared_ptr<ZqModel>& child : m_children) {
        if (std::shared_ptr<T> typed = modelKindCast<T>(child))
            result.push_back(std::move(typed));
    }
    return result;
}

template <class T>
std::shared_ptr<T> ZqModel::firstChildOfClass() const
{
    for (const std::shared_ptr<ZqModel>& child : m_children) {
        if (std::shared_ptr<T> typed = modelCast<T>(child))
            return typed;
    }
    return nullptr;
}

template <class T>
std::shared_ptr<T> ZqModel::firstChildOfKind() const
{
    for (const std::shared_ptr<ZqModel>& child : m_children) {
        if (std::shared_ptr<T> typed = modelKindCast<T>(child))
            return typed;
    }
    return nullptr;
}
