#include "screens/buttons/ZqPObjectButtonLock.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqServices.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqDrawingFunctions.h"
#include "screens/ZqPScreenNavigator.h"

#include <cstdlib>

using namespace cocos2d;

namespace {

CCSprite* spriteOf(const std::shared_ptr<ZqModelSpriteContainer>& container, float speed)
{
    return container ? container->getSprite(speed, true) : nullptr;
}

void tint(CCSprite* sprite, GLubyte level)
{
    if (sprite)
        sprite->setColor(ccc3(level, level, level));
}

} // namespace

ZqPObjectButtonLock::ZqPObjectButtonLock()
{
    ZqPurchaseRegistry::addRefresh(this, [this] { refreshLock(); });
}

ZqPObjectButtonLock::~ZqPObjectButtonLock()
{
    ZqPurchaseRegistry::removeRefreshesOf(this);
    PurchaseBridge::shared()->clearCallbackOf(this);
}

void ZqPObjectButtonLock::setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    ZqPObjectButton::setModel(model);
    m_lockModel = modelKindCast<ZqBaseModelObjectLockButton>(model);
    refreshLock();
}

void ZqPObjectButtonLock::refreshLock()
{
    m_lockFlag = m_lockModel ? &purchasedItemFlag(m_lockModel->name()) : nullptr;
    m_lockedShown = m_lockFlag ? *m_lockFlag : true;
    applyLockImages();
}

void ZqPObjectButtonLock::applyLockImages()
{
    if (!m_lockModel)
        return;
    const ZqBaseModelObjectLockButton& lock = *m_lockModel;
    const std::shared_ptr<ZqModelSpriteContainer>& image = m_lockedShown ? lock.lockedImage() : lock.spriteContainer();
    CCSprite* selected = spriteOf(m_lockedShown ? lock.lockedImageSelected() : lock.imageSelected(), 0.2f);
    CCSprite* normal = spriteOf(image, 1.0f);
    CCSprite* disabled = nullptr;
    if (normal) {
        disabled = spriteOf(image, 1.0f);
        if (!selected) {
            selected = spriteOf(image, 1.0f);
            tint(selected, 128);
        }
    } else {
        // No image: an invisible touch area of 100 x 100.
        normal = makeSolidColorSprite(CCSize(100.0f, 100.0f), 0, 0, 0, 0);
    }
    tint(disabled, 60);
    // The engine keeps the target and selector when none are given.
    initWithNormalSprite(normal, selected, disabled, nullptr, nullptr);
}

void ZqPObjectButtonLock::update(float dt)
{
    if (m_lockFlag && *m_lockFlag != m_lockedShown) {
        m_lockedShown = *m_lockFlag;
        applyLockImages();
    }
    ZqPObjectButton::update(dt);
}

void ZqPObjectButtonLock::activate()
{
    if (!isEnabled())
        return;
    if (!m_lockModel) {
        ZqPObjectButton::activate();
        return;
    }
    // Unlocking may follow into the action, which may replace the screen.
    retain();
    const ZqBaseModelObjectLockButton& lock = *m_lockModel;
    if (m_lockedShown) {
        if (lock.unlock() == kPayInAppPurchase) {
            if (!lock.storeIdentifier().empty()) {
                PurchaseBridge::shared()->setCallback(this, static_cast<PurchaseBridge::Callback>(&ZqPObjectButtonLock::onUnlocked));
                PurchaseBridge::shared()->request(lock.storeIdentifier());
            }
        } else if (lock.unlock() == kPayInGameCurrency) {
            if (ScoreRegistry::payCoins(lock.price()))
                onUnlocked("non IAP purchase");
            else
                ZqServices::shared()->showAlert(ZqModelGeneralSettings::shared()->notEnoughCurrencyText(), nullptr);
        }
    } else {
        ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
        if (lock.destination() == kDestinationScene)
            navigator->setSceneDestination(std::atoi(lock.scene().c_str()));
        else if (lock.destination() == kDestinationNextScene)
            navigator->setSceneDestination(navigator->nextDestination(navigator->sceneDestination()));
        if (lock.autoLock() && m_lockFlag)
            *m_lockFlag = true;
        ZqPObjectButton::activate();
    }
    ZqPSettingsController::shared()->save();
    release();
}

void ZqPObjectButtonLock::onUnlocked(const std::string& /*productId*/)
{
    if (m_lockFlag)
        *m_lockFlag = false;
    update(0.0f);
    if (m_lockModel && m_lockModel->autoFollow())
        activate();
    else
        ZqPSettingsController::shared()->save();
}
