#include "screens/buttons/ZqPObjectButtonSwitch.h"

#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqSound.h"
#include "common/ZqLog.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqSwitchStates.h"

#include <utility>

using namespace cocos2d;

void ZqPObjectButtonSwitch::setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    ZqPObjectButton::setModel(model);
    readStoredState();
}

void ZqPObjectButtonSwitch::readStoredState()
{
    bool found = false;
    const bool stored = ZqSwitchStates::find(model().get(), &found);
    if (found)
        m_on = stored;
}

void ZqPObjectButtonSwitch::selected()
{
    CCMenuItemSprite::selected();
    // Another switch of the same model, or a forced flip, may have changed the state.
    readStoredState();
    if (isEnabled() && model() && model()->clickSound())
        ZqSoundRegistry::shared().playOnce(model()->clickSound(), ZqSound::kTagInterface);
    m_on = !m_on;
    ZqSwitchStates::store(model().get(), m_on);
    debugLog("[ZqPObjectButtonSwitch] %s: %s", model() ? model()->name().c_str() : "", m_on ? "on" : "off");
    // The subscribers may replace the screen: the switch stays alive for the call.
    retain();
    ZqPInputController::shared()->notifySubscribers(
        this, m_on ? ZqPInputController::kControlPressed : ZqPInputController::kControlReleased, 0);
    release();
}

void ZqPObjectButtonSwitch::unselected()
{
    CCMenuItemSprite::unselected();
    if (isEnabled() && model() && model()->releaseSound())
        ZqSoundRegistry::shared().playOnce(model()->releaseSound(), ZqSound::kTagInterface);
}

namespace {

// Both kinds of sound go together: the sound button has one state.
bool soundIsMuted()
{
    const ZqPSettingsController* settings = ZqPSettingsController::shared();
    return settings->isBackgroundSoundMuted() && settings->isEffectsSoundMuted();
}

} // namespace

void ZqPObjectButtonSound::setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    ZqPObjectButton::setModel(model);
    m_mutedShown = soundIsMuted();
    applyLook();
}

void ZqPObjectButtonSound::update(float dt)
{
    if (soundIsMuted() != m_mutedShown) {
        m_mutedShown = !m_mutedShown;
        applyLook();
    }
    ZqPObjectButton::update(dt);
}

void ZqPObjectButtonSound::applyLook()
{
    const std::shared_ptr<ZqModelSpriteContainer> imageModel = model() ? model()->spriteContainer() : nullptr;
    // Without a picture there is nothing to show a state on: the base's empty touch area stays.
    if (!imageModel)
        return;
    const std::shared_ptr<ZqModelSpriteContainer> secondModel = model()->imageSelected();
    CCSprite* image = imageModel->getSprite(1.0f, true);
    CCSprite* second = secondModel ? secondModel->getSprite(1.0f, true) : nullptr;
    const bool dimmed = m_mutedShown && !second;
    if (dimmed)
        second = imageModel->getSprite(1.0f, true);
    if (m_mutedShown)
        std::swap(image, second);
    if (!image)
        return;
    // The engine keeps the target and selector when none are given.
    initWithNormalSprite(image, second, nullptr, nullptr, nullptr);
    if (dimmed)
        image->setColor(ccc3(110, 110, 110));
}
