#include "screens/buttons/ZqPObjectButtonUnlockCharacter.h"

#include "app/ZqAdController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqServices.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqDrawingFunctions.h"
#include "objects/ZqPAnimationObject.h"
#include "screens/ZqCharacterUnlock.h"
#include "screens/ZqPObjectCharacterSelector.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"

#include <cstdlib>

using namespace cocos2d;

ZqPObjectButtonUnlockCharacter::~ZqPObjectButtonUnlockCharacter()
{
    ZqAdController::shared()->clearRewardCallbackOf(this);
    PurchaseBridge::shared()->clearCallbackOf(this);
}

void ZqPObjectButtonUnlockCharacter::setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    ZqPObjectButton::setModel(model);
    if (!model)
        return;
    const auto unlock = modelKindCast<ZqBaseModelObjectButtonCharacterUnlock>(model);
    m_character = unlock ? modelCast<ZqModelAssetCharacter>(ZqModelController::shared()->modelById(
                               static_cast<unsigned>(std::atoi(unlock->character().c_str()))))
                         : nullptr;
    if (!m_character)
        return;
    const auto image = model->spriteContainer();
    m_imageSprite = image ? image->getSprite(1.0f, true) : nullptr;
    initWithNormalSprite(m_imageSprite ? m_imageSprite : makeSolidColorSprite(CCSize(100.0f, 100.0f), 0, 0, 0, 255),
                         nullptr, nullptr, nullptr, nullptr);
    const auto icons = findCharacterIconComponent(*m_character);
    if (icons)
        m_regularView = addView(icons->regularIcon());
    if (!m_regularView)
        m_regularView = addView(m_character->defaultAnimation());
    if (!m_imageSprite && icons)
        m_lockedView = addView(icons->lockedIcon());
    if (icons)
        m_selectedView = addView(icons->selectedIcon());
    const std::vector<std::shared_ptr<ZqModelAssetCharacter>> characters = zqCharacters();
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (characters[i]->id() == m_character->id())
            m_characterIndex = static_cast<int>(i);
    }
}

ZqPAnimationObject* ZqPObjectButtonUnlockCharacter::addView(const std::shared_ptr<ZqModelAnimation>& animation)
{
    ZqPAnimationObject* view = makeCharacterIconView(animation, true);
    if (!view)
        return nullptr;
    view->setVisible(false);
    const CCSize size = getNormalImage()->getContentSize();
    view->setPosition(CCPoint(size.width * 0.5f, size.height * 0.5f));
    addChild(view);
    return view;
}

void ZqPObjectButtonUnlockCharacter::setLockedDisplayVisible(bool visible)
{
    if (m_imageSprite)
        m_imageSprite->setVisible(visible);
    else if (m_lockedView)
        m_lockedView->setVisible(visible);
}

void ZqPObjectButtonUnlockCharacter::showSelected()
{
    m_state = kSelected;
    setLockedDisplayVisible(false);
    if (m_selectedView)
        m_selectedView->setVisible(true);
    if (m_regularView)
        m_regularView->setVisible(!m_selectedView);
}

void ZqPObjectButtonUnlockCharacter::update(float dt)
{
    ZqPObjectButton::update(dt);
    if (!m_character)
        return;
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    if (!settings->isCharacterUnlocked(m_characterIndex)) {
        m_state = kLocked;
        setLockedDisplayVisible(true);
        if (m_regularView)
            m_regularView->setVisible(!getNormalImage() && !m_lockedView);
        if (m_selectedView)
            m_selectedView->setVisible(false);
    } else if (settings->selectedCharacter() == m_characterIndex) {
        showSelected();
    } else {
        m_state = kUnlocked;
        if (m_regularView)
            m_regularView->setVisible(true);
        setLockedDisplayVisible(false);
        if (m_selectedView)
            m_selectedView->setVisible(false);
    }
    if (m_webLinkPending && --m_webLinkCountdown <= 0) {
        m_webLinkPending = false;
        onRewardGranted();
    }
    const float opacity = model()->opacity(time(), curveState());
    for (ZqPAnimationObject* view : {m_regularView, m_lockedView, m_selectedView}) {
        if (view) {
            view->setOpacityFactor(opacity);
            view->update(dt);
        }
    }
    const auto unlock = modelKindCast<ZqBaseModelObjectButtonCharacterUnlock>(model());
    if (unlock && unlock->showWhenSelected() && m_imageSprite) {
        const ZqPScreenUi* screen = ZqPScreenNavigator::shared()->currentUiScreen();
        const ZqPObjectCharacterSelector* selector = screen ? screen->findCharacterSelector() : nullptr;
        setVisible(m_state == kLocked && selector && selector->currentIndex() == m_characterIndex);
    }
}

void ZqPObjectButtonUnlockCharacter::activate()
{
    if (!isEnabled())
        return;
    // The base press may replace the screen: the button stays alive for the call.
    retain();
    if (m_character && m_state == kLocked) {
        unlockCharacter(m_characterIndex);
    } else if (m_character && m_state == kUnlocked) {
        ZqPSettingsController::shared()->setSelectedCharacter(m_characterIndex);
        showSelected();
    }
    ZqPObjectButton::activate();
    release();
}

void ZqPObjectButtonUnlockCharacter::unlockCharacter(int index)
{
    if (!m_character)
        return;
    ZqCharacterUnlockCallbacks callbacks;
    callbacks.target = this;
    callbacks.purchased = static_cast<PurchaseBridge::Callback>(&ZqPObjectButtonUnlockCharacter::onPurchaseCompleted);
    callbacks.rewarded = callfunc_selector(ZqPObjectButtonUnlockCharacter::onRewardGranted);
    callbacks.rewardCharacter = m_characterIndex;
    if (zqUnlockCharacter(*m_character, index, callbacks) == ZqCharacterUnlockResult::kWebLink) {
        m_webLinkPending = true;
        m_webLinkCountdown = 10;
    }
}

void ZqPObjectButtonUnlockCharacter::onPurchaseCompleted(const std::string& /*productId*/)
{
    onRewardGranted();
}

void ZqPObjectButtonUnlockCharacter::onRewardGranted()
{
    if (!m_character)
        return;
    zqGrantCharacter(m_characterIndex);
    showSelected();
}
