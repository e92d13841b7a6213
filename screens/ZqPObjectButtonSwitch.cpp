#include "screens/ZqPObjectButtonSwitch.h"

#include "app/ZqPInputController.h"
#include "app/ZqSound.h"
#include "common/ZqLog.h"
#include "model/scene/ZqModelButtons.h"
#include "objects/ZqSwitchStates.h"

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
