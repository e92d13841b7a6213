#include "screens/buttons/ZqPObjectButtonPurchase.h"

#include "app/ScoreRegistry.h"
#include "app/ZqAdController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqServices.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelScreen.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"

#include <ZqLog.h>

namespace {

constexpr const char* kNonStorePurchase = "non IAP purchase";

} // namespace

ZqPObjectButtonPurchase::ZqPObjectButtonPurchase()
{
    ZqPurchaseRegistry::addRefresh(this, [this] { refreshAvailability(); });
}

ZqPObjectButtonPurchase::~ZqPObjectButtonPurchase()
{
    ZqPurchaseRegistry::removeRefreshesOf(this);
    ZqAdController::shared()->clearRewardCallbackOf(this);
    PurchaseBridge::shared()->clearCallbackOf(this);
}

void ZqPObjectButtonPurchase::setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    ZqPObjectButton::setModel(model);
    m_purchaseModel = modelKindCast<ZqBaseModelObjectButtonPurchase>(model);
    m_powerup = nullptr;
    m_availableFlag = nullptr;
    m_completeSound.reset();
    if (!m_purchaseModel)
        return;
    const ZqBaseModelObjectButtonPurchase& purchase = *m_purchaseModel;
    if (purchase.type() == kPurchaseTypePowerup) {
        m_powerup = ZqModelController::shared()->getModel<ZqModelAssetPowerup>(
            static_cast<unsigned>(purchase.powerupSelectionId()));
    } else if (purchase.type() == kPurchaseTypeRemoveAds && ZqPSettingsController::shared()->adsRemoved()) {
        setVisible(false);
        setEnabled(false);
    }
    m_rewarded = purchase.purchaseMethod() == kPayRewardedVideos;
    // Only a one-time item with an "Interval" of at most 1 reads its flag when built: with
    // a longer interval, buying hides only this button and the next one offers it again.
    if (purchase.oneTimePurchase() != kSellAlways && purchase.interval() <= 1.0f) {
        refreshAvailability();
        if (m_availableFlag && !*m_availableFlag) {
            setVisible(false);
            setEnabled(false);
        }
    }
    if (purchase.purchaseCompleteSound())
        m_completeSound = ZqSoundHandle(purchase.purchaseCompleteSound(), ZqSound::kTagInterface);
}

void ZqPObjectButtonPurchase::refreshAvailability()
{
    m_availableFlag = m_purchaseModel ? &purchasedItemFlag(m_purchaseModel->name()) : nullptr;
}

void ZqPObjectButtonPurchase::update(float dt)
{
    ZqPObjectButton::update(dt);
    if (!isEnabled() || !m_purchaseModel)
        return;
    if (m_rewarded) {
        const bool offered = ZqAdController::shared()->isRewardedVideoAvailable(m_purchaseModel->adNetwork()) &&
                             m_purchaseModel->isIntervalDue();
        if (!offered) {
            setVisible(false);
            return;
        }
    }
    const float threshold = m_purchaseModel->visibilityThreshold();
    if (threshold > 0.0f && ZqPScreenNavigator::shared()->currentGameScene())
        setVisible(threshold > ScoreRegistry::current().distance.session);
    else
        setVisible(true);
}

void ZqPObjectButtonPurchase::purchase()
{
    if (!m_purchaseModel)
        return;
    // The button may go with the screen it refreshes: it stays alive for the call.
    retain();
    const ZqBaseModelObjectButtonPurchase& purchase = *m_purchaseModel;
    if (purchase.purchaseMethod() == kPayInGameCurrency && !ScoreRegistry::payCoins(purchase.price())) {
        release();
        return;
    }
    // Ads bought away are removed whatever "Buy And Use" says: the player paid for them.
    if (purchase.type() == kPurchaseTypeRemoveAds) {
        purchaseDidComplete(kNonStorePurchase);
    } else if (!purchase.buyAndUse()) {
        addToInventory();
    } else if (purchase.type() == kPurchaseTypePowerup) {
        if (ZqPScreen* screen = ZqPScreen::runningScreen())
            screen->grantPowerup(m_powerup, true);
    }
    if (purchase.oneTimePurchase() != kSellAlways)
        markSold();
    ZqPSettingsController::shared()->save();
    playCompleteSound();
    if (purchase.purchaseMethod() == kPayRewardedVideos) {
        for (const std::shared_ptr<ZqModelScreen>& screen : ZqModelController::shared()->modelsOfKind<ZqModelScreen>())
            screen->interstitialCounter = 0;
    }
    if (ZqPScreenUi* screen = ZqPScreenNavigator::shared()->currentUiScreen())
        screen->refreshUnlockCharacterButton();
    release();
}

void ZqPObjectButtonPurchase::purchaseDidComplete(const std::string& productId)
{
    if (!m_purchaseModel)
        return;
    const ZqBaseModelObjectButtonPurchase& purchase = *m_purchaseModel;
    if (purchase.oneTimePurchase() != kSellAlways)
        markSold();
    debugLog("[ZqPObjectButtonPurchase] purchase did comlete: %s", productId.c_str());
    if (purchase.type() == kPurchaseTypePowerup && productId == purchase.storeIdentifier()) {
        if (!purchase.buyAndUse()) {
            addToInventory();
        } else if (ZqPScreen* screen = ZqPScreen::runningScreen()) {
            // A field uses the power-up; a menu credits a coin power-up's rewards.
            screen->grantPowerup(m_powerup, true);
        }
    }
    if (purchase.type() == kPurchaseTypeRemoveAds) {
        ZqPSettingsController::shared()->setAdsRemoved(true);
        if (getNormalImage()) {
            setVisible(false);
            setEnabled(false);
        }
        if (ZqPScreen* screen = ZqPScreen::runningScreen())
            screen->onAdsRemoved();
    }
    ZqPSettingsController::shared()->save();
    // A purchase paid otherwise plays its sound in purchase().
    if (productId != kNonStorePurchase)
        playCompleteSound();
}

void ZqPObjectButtonPurchase::markSold()
{
    if (m_availableFlag)
        *m_availableFlag = false;
    setVisible(false);
    setEnabled(false);
}

void ZqPObjectButtonPurchase::addToInventory()
{
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    const float count = static_cast<float>(settings->inventoryCount(m_powerup)) + m_purchaseModel->quantity();
    settings->setInventoryCount(m_powerup, static_cast<int>(count));
}

void ZqPObjectButtonPurchase::playCompleteSound()
{
    if (m_completeSound)
        m_completeSound->play(false, false);
}
