#pragma once

#include "model/ZqModel.h"
#include "model/ZqModelBlock.h"

#include <memory>
#include <utility>

// Class identity of the models. Type ids are the FNV-1a hash of the class name
// (common/ZqTypeId.h). The controller files its models in ascending type-id order, and
// the kind collection of ZqNodeUI relies on its subclass ZqNodeUIStart coming first.
static_assert(zqTypeIdOf("ZqNodeUIStart") < zqTypeIdOf("ZqNodeUI"));

// Wraps a new model of class X in a shared pointer and gives it its self pointer; the model,
// the pointer's control block and the model's own attributes take one allocation
// (model/ZqModelBlock.h). The model is not registered with the controller.
template <class X, class... Args>
std::shared_ptr<X> zqCreateModel(Args&&... args)
{
    std::shared_ptr<X> model = zqMakeModelInBlock<X>(std::forward<Args>(args)...);
    model->setSelf(model);
    return model;
}

// The standard duplicate: a copy by the class's copy factory, registered like the source
// when asked, then the source's children appended (duplicated when deep).
template <class X>
std::shared_ptr<ZqModel> zqStandardDuplicate(const X& source, bool deep, bool registerCopy)
{
    std::shared_ptr<X> copy = X::create(source);
    if (registerCopy)
        copy->registerLike(source);
    copy->copyChildrenFrom(source, deep, true, false);
    return copy;
}

// Class name, type id and kind test of a model class, inside its public section.
// ParentName is the nearest identity ancestor (generated bases in between are skipped).
#define ZQ_MODEL_KIND(ClassName, ParentName)                                                \
    ZQ_STATIC_IDENTITY(ClassName)                                                            \
    const char* className() const override { return staticClassName(); }                     \
    std::size_t typeId() const override { return staticTypeId(); }                           \
    bool isKindOf(std::size_t id) const override                                             \
    {                                                                                        \
        return id == staticTypeId() || ParentName::isKindOf(id);                             \
    }

// The whole identity in one line: the kind test, the copy factory and the standard
// duplicate. Classes that duplicate differently use ZQ_MODEL_KIND and write their own.
#define ZQ_MODEL_IDENTITY(ClassName, ParentName)                                            \
    ZQ_MODEL_KIND(ClassName, ParentName)                                                     \
    static std::shared_ptr<ClassName> create(const ClassName& source)                       \
    {                                                                                        \
        return zqCreateModel<ClassName>(source);                                             \
    }                                                                                        \
    std::shared_ptr<ZqModel> duplicate(bool deep, bool registerCopy) const override          \
    {                                                                                        \
        return zqStandardDuplicate(*this, deep, registerCopy);                               \
    }
