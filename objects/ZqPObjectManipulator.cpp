#include "objects/ZqPObjectManipulator.h"

#include "app/ZqPInputController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

void ZqPObjectManipulator::setModel(const std::shared_ptr<ZqModelObjectManipulator>& model)
{
    m_model = model;
    if (m_model)
        m_absoluteControl = m_model->controlStyle() == "kControlStyleAbsolute";
}

float ZqPObjectManipulator::sensitivity() const
{
    return m_model ? m_model->sensitivity() : 0.0f;
}

ZqPObjectAccelerometer* ZqPObjectAccelerometer::s_instance = nullptr;

ZqPObjectAccelerometer* ZqPObjectAccelerometer::shared()
{
    if (!s_instance)
        new ZqPObjectAccelerometer(); // the constructor files itself as the instance
    return s_instance;
}

void ZqPObjectAccelerometer::purge()
{
    if (s_instance)
        s_instance->release();
}

ZqPObjectAccelerometer::ZqPObjectAccelerometer()
{
    s_instance = this;
    if (CCAccelerometer* accelerometer = CCDirector::sharedDirector()->getAccelerometer())
        accelerometer->setDelegate(this);
}

ZqPObjectAccelerometer::~ZqPObjectAccelerometer()
{
    CCDirector* director = CCDirector::sharedDirector();
    if (CCAccelerometer* accelerometer = director->getAccelerometer()) {
        if (accelerometer->getDelegate() == this)
            accelerometer->setDelegate(nullptr);
    }
    if (s_instance == this)
        s_instance = nullptr;
}

std::shared_ptr<ZqModelObjectAccelerometer> ZqPObjectAccelerometer::accelerometerModel() const
{
    return modelCast<ZqModelObjectAccelerometer>(manipulatorModel());
}

float ZqPObjectAccelerometer::sensitivity() const
{
    std::shared_ptr<ZqModelObjectAccelerometer> model = accelerometerModel();
    return model ? model->sensitivity() : 0.0f;
}

void ZqPObjectAccelerometer::didAccelerate(CCAcceleration* acceleration)
{
    std::shared_ptr<ZqModelObjectAccelerometer> model = accelerometerModel();
    if (!model || !acceleration)
        return;
    ZqPInputController* input = ZqPInputController::shared();
    double ax = acceleration->x;
    double ay = acceleration->y;

    if (model->controlType() != "kControlTypeMove") {
        // Tilt: only a landscape game leans its characters by the device's roll.
        if (ZqModelGeneralSettings::shared()->orientation() != 1)
            return;
        float factor = std::clamp(static_cast<float>(std::fabs(ax) * 2.0), 0.0f, 1.0f);
        for (ZqPObjectAssetCharacter* character : ZqPObjectAssetCharacter::registeredCharacters()) {
            character->setRotationFactor(factor);
            if (ax <= 0.0) {
                character->startRotateLeft();
                character->stopRotateRight();
            } else {
                character->startRotateRight();
                character->stopRotateLeft();
            }
        }
        return;
    }

    if (model->activeAxes() == "kActiveAxeX")
        ay = 0.0;
    else if (model->activeAxes() == "kActiveAxeY")
        ax = 0.0;
    float s = sensitivity();
    if (!isAbsoluteControl()) {
        input->updateCharactersDirection(CCPoint(static_cast<float>(s * ax), static_cast<float>(s * ay)));
        return;
    }
    // Absolute: (0, 0) is the middle of the design area and +-1/s its edges.
    const CCSize& design = ZqModelGeneralSettings::shared()->designSize();
    CCPoint target(static_cast<float>(design.width * 0.5 * ax * s + design.width * 0.5),
                   static_cast<float>(design.height * 0.5 * ay * s + design.height * 0.5));
    for (ZqPObjectAssetCharacter* character : ZqPObjectAssetCharacter::registeredCharacters())
        character->setDirectPosition(target);
}
