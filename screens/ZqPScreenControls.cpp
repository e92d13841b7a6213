// The screen base's controls: the UI builder, the button bindings, the deferred actions,
// presenting a new container, the advertising of each showing, music and links.
#include "screens/ZqPScreen.h"

#include "app/ScoreRegistry.h"
#include "app/ZqAdController.h"
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqServices.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelUnlocker.h"
#include "screens/buttons/ZqPButtonMenu.h"
#include "screens/buttons/ZqPObjectButton.h"
#include "screens/buttons/ZqPObjectButtonJoystick.h"
#include "screens/buttons/ZqPObjectButtonPowerup.h"
#include "screens/buttons/ZqPObjectButtonPurchase.h"
#include "screens/ZqPObjectCharacterSelector.h"
#include "screens/ZqPObjectEventObserver.h"
#include "objects/ZqPObjectImage.h"
#include "screens/ZqPObjectLoadingBar.h"
#include "objects/ZqPObjectText.h"
#include "screens/ZqPObjectSwipeControl.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqScreenMusic.h"

#include <ZqLog.h>

#include <algorithm>

using namespace cocos2d;

void ZqPScreen::onEnter()
{
    showAds();
    CCLayer::onEnter();
    const ZqBaseModelScreen* model = screenModel().get();
    if (model && model->isIdleAnimationLoop() && model->idleAnimationFrames() > 0) {
        schedule(schedule_selector(ZqPScreen::loopIdleAnimation), static_cast<float>(model->idleAnimationFrames()) / 30.0f,
                 kCCRepeatForever, static_cast<float>(std::max(0, model->openAnimationFrames())) / 30.0f);
    }
}

void ZqPScreen::loopIdleAnimation(float /*dt*/)
{
    resetUiObjects();
}

bool ZqPScreen::buildUiFromModel(const std::string& key, bool /*flag*/)
{
    const std::shared_ptr<ZqModelScreen>& model = screenModel();
    if (!model || model->key() != key || !uiLayer()) {
        debugLog("[ZqPScreen] no screen to build for the key \"%s\"", key.c_str());
        return false;
    }
    for (const std::shared_ptr<ZqModelObject>& object : model->objectModels())
        addUiObjectFor(object);
    return true;
}

void ZqPScreen::addUiObjectFor(const std::shared_ptr<ZqModelObject>& object)
{
    CCNode* node = nullptr;
    const std::size_t type = object->typeId();
    if (type == ZqModelObjectLabel::staticTypeId()) {
        node = ZqPObjectText::create(std::static_pointer_cast<ZqModelObjectLabel>(object));
    } else if (type == ZqModelObjectImage::staticTypeId()) {
        node = ZqPObjectImage::create(std::static_pointer_cast<ZqModelObjectImage>(object), 1.0f, true);
    } else if (type == ZqModelObjectLoadingBar::staticTypeId()) {
        node = ZqPObjectLoadingBar::create(std::static_pointer_cast<ZqModelObjectLoadingBar>(object));
    } else if (type == ZqModelObjectEventObserver::staticTypeId()) {
        node = ZqPObjectEventObserver::create(std::static_pointer_cast<ZqModelObjectEventObserver>(object));
    } else if (type == ZqModelObjectManipulator::staticTypeId() || type == ZqModelObjectSwipeControl::staticTypeId()) {
        // Touches reach joysticks and swipe controls through the dispatcher: nothing to update.
        CCNode* control =
            type == ZqModelObjectManipulator::staticTypeId()
                ? static_cast<CCNode*>(ZqPObjectButtonJoystick::create(std::static_pointer_cast<ZqModelObjectManipulator>(object)))
                : ZqPObjectSwipeControl::create(std::static_pointer_cast<ZqModelObjectSwipeControl>(object));
        uiLayer()->addChild(control, object->zDepth());
        return;
    } else if (type == ZqModelObjectCharacterSelector::staticTypeId()) {
        node = ZqPObjectCharacterSelector::create(std::static_pointer_cast<ZqModelObjectCharacterSelector>(object));
    } else if (type == ZqModelObjectUnlocker::staticTypeId()) {
        const auto& unlocker = static_cast<const ZqModelObjectUnlocker&>(*object);
        unlocker.applyCharacterUnlock();
        unlocker.applyButtonUnlock();
        return;
    } else if (std::shared_ptr<ZqBaseModelObjectButton> model = modelKindCast<ZqBaseModelObjectButton>(object)) {
        ZqPObjectButton* button = ZqPObjectButton::create(model);
        if (!button)
            return;
        if (dynamic_cast<ZqPObjectButtonPurchase*>(button))
            button->setTarget(this, menu_selector(ZqPScreen::purchasePressed));
        else if (dynamic_cast<ZqPObjectButtonPowerup*>(button))
            button->setTarget(this, menu_selector(ZqPScreen::usePowerup));
        else
            button->setTarget(this, menu_selector(ZqPScreen::buttonPressed));
        button->setVisible(!model->isHidden());
        uiLayer()->addChild(ZqPButtonMenu::create(button), model->zDepth());
        addUiObject(button);
        return;
    } else {
        debugLog("[ZqPScreen] %s: no screen object for \"%s\"", object->className(), object->name().c_str());
        return;
    }
    if (!node)
        return;
    uiLayer()->addChild(node, object->zDepth());
    addUiObject(node);
}

std::vector<ZqPObjectButton*> ZqPScreen::allButtons() const
{
    std::vector<ZqPObjectButton*> buttons;
    CCArray* children = uiLayer()->getChildren();
    for (unsigned i = 0; children && i < children->count(); ++i) {
        CCNode* container = static_cast<CCNode*>(children->objectAtIndex(i));
        if (container->getTag() != ZqPButtonMenu::kTag || !container->getChildren())
            continue;
        CCArray* items = container->getChildren();
        for (unsigned j = 0; j < items->count(); ++j) {
            if (ZqPObjectButton* button = dynamic_cast<ZqPObjectButton*>(items->objectAtIndex(j)))
                buttons.push_back(button);
        }
    }
    return buttons;
}

std::vector<ZqPObjectButton*> ZqPScreen::findButtons(ZqButtonAction action) const
{
    std::vector<ZqPObjectButton*> buttons = allButtons();
    std::erase_if(buttons, [&](ZqPObjectButton* button) { return !button->model() || button->model()->actionCode() != action; });
    return buttons;
}

ZqPObjectButton* ZqPScreen::findButton(ZqButtonAction action) const
{
    const std::vector<ZqPObjectButton*> buttons = findButtons(action);
    return buttons.empty() ? nullptr : buttons.front();
}

void ZqPScreen::bindButton(ZqButtonAction action, CCObject* target, SEL_MenuHandler handler)
{
    for (ZqPObjectButton* button : findButtons(action))
        button->setTarget(target, handler);
}

void ZqPScreen::bindInput(ZqButtonAction action, ZqPInputController* controller,
                          ZqPObjectButton::InputHandler press, ZqPObjectButton::InputHandler release)
{
    if (!controller)
        return;
    for (ZqPObjectButton* button : findButtons(action))
        button->setInputHandlers(press, release);
}

void ZqPScreen::buttonPressed(CCObject* sender)
{
    if (m_actionState == kActionWaiting)
        return;
    ZqPObjectButton* button = dynamic_cast<ZqPObjectButton*>(sender);
    std::shared_ptr<ZqBaseModelObjectButton> model = button ? button->model() : nullptr;
    queueAction([this, model] { openLink(model); });
}

void ZqPScreen::purchasePressed(CCObject* sender)
{
    ZqPObjectButtonPurchase* button = dynamic_cast<ZqPObjectButtonPurchase*>(sender);
    if (!button || !button->purchaseModel())
        return;
    const ZqBaseModelObjectButtonPurchase& purchase = *button->purchaseModel();
    if (purchase.purchaseMethod() == kPayInAppPurchase) {
        PurchaseBridge::shared()->setCallback(
            button, static_cast<PurchaseBridge::Callback>(&ZqPObjectButtonPurchase::purchaseDidComplete));
        PurchaseBridge::shared()->request(purchase.storeIdentifier());
    } else if (purchase.purchaseMethod() == kPayRewardedVideos) {
        ZqAdController::shared()->setRewardCallback(button, callfunc_selector(ZqPObjectButtonPurchase::purchase));
        ZqAdController::shared()->showRewardedVideo(purchase.adNetwork());
    } else {
        button->purchase();
    }
}

void ZqPScreen::usePowerup(CCObject* sender)
{
    ZqPObjectButtonPowerup* button = dynamic_cast<ZqPObjectButtonPowerup*>(sender);
    if (!button || !button->powerup() || !button->powerupModel())
        return;
    const ZqBaseModelObjectButtonPowerup& model = *button->powerupModel();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    if (!model.unlimitedUse()) {
        // A count is never used below 0, even when a button was enabled by its screen.
        const int count = settings->inventoryCount(button->powerup());
        if (count <= 0)
            return;
        settings->setInventoryCount(button->powerup(), count - 1);
    }
    if (ZqPScreen* running = runningScreen())
        running->grantPowerup(button->powerup(), model.isAboveCharacter());
    button->startRefillTimer();
}

void ZqPScreen::queueAction(std::function<void()> action)
{
    const int frames = screenModel() ? screenModel()->closeAnimationFrames() : 0;
    if (frames < 1) {
        action();
        return;
    }
    // One action waits at a time; the handlers drop presses meanwhile.
    if (m_actionState == kActionWaiting)
        return;
    m_queuedAction = std::move(action);
    m_actionState = kActionWaiting;
    scheduleOnce(schedule_selector(ZqPScreen::runQueuedAction), static_cast<float>(frames) / 30.0f);
}

void ZqPScreen::runQueuedAction(float /*dt*/)
{
    std::function<void()> action = std::move(m_queuedAction);
    m_queuedAction = nullptr;
    m_actionState = 0;
    // The action may replace this screen: it stays alive for the call.
    retain();
    if (action)
        action();
    release();
}

void ZqPScreen::presentContainer(CCScene* container)
{
    if (!container)
        return;
    unscheduleAllSelectors();
    ZqPScreen* next = dynamic_cast<ZqPScreen*>(container->getChildByTag(0));
    if (!next || !next->shouldShowBanner())
        hideAds();
    // A game left for a menu is saved as it is left, not only when the program ends.
    if (dynamic_cast<ZqPScreenScene*>(runningScreen()) && !dynamic_cast<ZqPScreenScene*>(next))
        ZqPSettingsController::shared()->save();
    CCDirector::sharedDirector()->replaceScene(container);
}

bool ZqPScreen::shouldShowBanner() const
{
    return screenModel() && screenModel()->shouldShowBanner();
}

void ZqPScreen::hideAds()
{
    debugLog("[%s] hide ads", screenModel() ? screenModel()->key().c_str() : "");
    ZqAdController::shared()->hideBanner();
    ZqAdController::shared()->hideInterstitial();
}

void ZqPScreen::showAds()
{
    ZqBaseModelScreen* model = screenModel().get();
    if (!model || ZqPSettingsController::shared()->adsRemoved())
        return;
    debugLog("[%s] banner: %s interstitial: %s", model->key().c_str(), model->adBanner().c_str(),
             model->adInterstitial().c_str());
    ZqAdController* ads = ZqAdController::shared();
    if (++model->bannerCounter >= model->adBannerFrequency()) {
        model->bannerCounter = 0;
        ads->showBanner(model->adBanner());
    } else {
        ads->hideBanner();
    }
    if (m_skipInterstitialOnce) {
        m_skipInterstitialOnce = false;
        return;
    }
    if (++model->interstitialCounter >= model->adInterstitialsFrequency()) {
        model->interstitialCounter = 0;
        ads->showInterstitial(model->adInterstitial());
    }
}

void ZqPScreen::onAdsRemoved()
{
    for (ZqPObjectButton* button : findButtons(kButtonRemoveAds))
        button->setVisible(false);
    // A purchase button keeps its kind in "Type": its "Action" names the power-up.
    for (ZqPObjectButton* button : allButtons()) {
        auto* purchase = dynamic_cast<ZqPObjectButtonPurchase*>(button);
        if (purchase && purchase->purchaseModel() && purchase->purchaseModel()->type() == kPurchaseTypeRemoveAds)
            button->setVisible(false);
    }
}

void ZqPScreen::resetUiObjects()
{
    // Restarted through their own kinds: images, buttons and loading bars keep clocks;
    // runtime objects (texts show their model's text again) reset as at a restart.
    for (CCObject* object : *uiObjects()) {
        if (ZqPObject* runtime = dynamic_cast<ZqPObject*>(object))
            runtime->resetOnRestart();
        if (ZqPObjectImage* image = dynamic_cast<ZqPObjectImage*>(object))
            image->restart();
        else if (ZqPObjectButton* button = dynamic_cast<ZqPObjectButton*>(object))
            button->resetTime();
        else if (ZqPObjectLoadingBar* bar = dynamic_cast<ZqPObjectLoadingBar*>(object))
            bar->resetTime();
    }
}

void ZqPScreen::openLink(const std::shared_ptr<ZqBaseModelObjectButton>& /*model*/) {}

void ZqPScreen::grantPowerup(const std::shared_ptr<ZqModelAssetPowerup>& powerup, bool /*flag*/)
{
    // On a menu only a coin power-up does anything: it pays its rewards into the purse.
    if (!powerup || powerup->powerupType() != kPowerupCoin)
        return;
    ScoreRegistry::global().addReward(powerup->rewardCoins(), powerup->rewardPoints());
}

void ZqPScreen::requestReview()
{
    ZqServices::shared()->requestReview();
}

void ZqPScreen::playMusic()
{
    if (const ZqBaseModelScreen* model = screenModel().get())
        ZqScreenMusic::shared().showScreen(model->music(), model->isLoopMusic(), model->isMuted());
}
