#include "model/objects/ZqModelObjectsControls.h"

#include "model/scene/ZqModelMedia.h"

ZqModelObjectManipulator::ZqModelObjectManipulator(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_MANIPULATOR_ATTRIBUTES)
}

ZqModelObjectManipulator::ZqModelObjectManipulator(const ZqModelObjectManipulator& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_MANIPULATOR_ATTRIBUTES)
}

ZqModelObjectAccelerometer::ZqModelObjectAccelerometer(const std::string& name)
    : ZqModelObjectManipulator(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_ACCELEROMETER_ATTRIBUTES)
}

ZqModelObjectAccelerometer::ZqModelObjectAccelerometer(const ZqModelObjectAccelerometer& source)
    : ZqModelObjectManipulator(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_ACCELEROMETER_ATTRIBUTES)
}

ZqBaseModelObjectCharacterSelector::ZqBaseModelObjectCharacterSelector(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_CHARACTER_SELECTOR_ATTRIBUTES)
}

ZqBaseModelObjectCharacterSelector::ZqBaseModelObjectCharacterSelector(const ZqBaseModelObjectCharacterSelector& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_CHARACTER_SELECTOR_ATTRIBUTES)
}

std::shared_ptr<ZqModelAnimation> ZqBaseModelObjectCharacterSelector::unlockButton() const { return m_unlockButton->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelObjectCharacterSelector::unlockSuggestion() const { return m_unlockSuggestion->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelObjectCharacterSelector::unlockYes() const { return m_unlockYes->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelObjectCharacterSelector::unlockNo() const { return m_unlockNo->value(); }

ZqBaseModelObjectEventObserver::ZqBaseModelObjectEventObserver(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_EVENT_OBSERVER_ATTRIBUTES)
}

ZqBaseModelObjectEventObserver::ZqBaseModelObjectEventObserver(const ZqBaseModelObjectEventObserver& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_EVENT_OBSERVER_ATTRIBUTES)
}
