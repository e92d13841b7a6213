#include "components/ZqComponent.h"

#include "components/ZqComponentHealth.h"
#include "components/ZqComponentIsoJump.h"
#include "components/ZqComponentMotor.h"
#include "components/ZqComponentMove.h"
#include "components/ZqComponentRotationMapper.h"
#include "components/ZqComponentSlide.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelComponents.h"

#include <cstddef>

namespace {

using Maker = ZqComponent* (*)();

template <class Component>
ZqComponent* make()
{
    return new Component();
}

struct ComponentClass {
    std::size_t modelType;
    // Null until the runtime class of that model exists: such models make no component.
    Maker make;
};

// Exact model classes, in the order they are tested.
const ComponentClass kComponentClasses[] = {
    {ZqModelComponentMotor::staticTypeId(), make<ZqComponentMotor>},
    {ZqModelComponentIsoJump::staticTypeId(), make<ZqComponentIsoJump>},
    {ZqModelComponentSlide::staticTypeId(), make<ZqComponentSlide>},
    {ZqModelComponentMove::staticTypeId(), make<ZqComponentMove>},
    {ZqModelComponentRotationMapper::staticTypeId(), make<ZqComponentRotationMapper>},
    {ZqModelComponentHealth::staticTypeId(), make<ZqComponentHealth>},
};

} // namespace

ZqComponent* ZqComponent::createComponent(const std::shared_ptr<ZqModelComponent>& model)
{
    if (!model)
        return nullptr;
    const std::size_t type = model->typeId();
    for (const ComponentClass& entry : kComponentClasses) {
        if (entry.modelType != type)
            continue;
        ZqComponent* component = entry.make ? entry.make() : nullptr;
        if (component)
            component->setModel(model);
        return component;
    }
    return nullptr;
}
