#include "screens/ZqPObjectCharacterSelector.h"

#include "app/ScoreRegistry.h"
#include "app/ZqAdController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqServices.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqDrawingFunctions.h"
#include "objects/ZqPAnimationObject.h"
#include "screens/ZqCharacterUnlock.h"

#include <ZqLog.h>
#include <ZqRandom.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace cocos2d;

namespace {

// A character's price shows only for a coin unlock.
bool showsPrice(const ZqModelAssetCharacter& character)
{
    return character.price() != 0.0f && character.purchaseMethod() == kPayInGameCurrency;
}

void tint(CCSprite* sprite, GLubyte level)
{
    if (sprite)
        sprite->setColor(ccc3(level, level, level));
}

} // namespace

ZqPObjectCharacterSelector* ZqPObjectCharacterSelector::create(const std::shared_ptr<ZqModelObjectCharacterSelector>& model)
{
    if (!model)
        return nullptr;
    ZqPObjectCharacterSelector* selector = new ZqPObjectCharacterSelector(model);
    if (!selector->init()) {
        delete selector;
        return nullptr;
    }
    selector->autorelease();
    selector->setPosition(model->randomizedPosition());
    selector->setRotation(model->randomizedRotation());
    return selector;
}

ZqPObjectCharacterSelector::ZqPObjectCharacterSelector(std::shared_ptr<ZqModelObjectCharacterSelector> model)
    : m_model(std::move(model))
    , m_characters(zqCharacters())
{
    const int stored = ZqPSettingsController::shared()->selectedCharacter();
    m_shownSelectedIndex = stored;
    m_currentIndex = m_characters.empty() ? 0 : std::clamp(stored, 0, static_cast<int>(m_characters.size()) - 1);
}

ZqPObjectCharacterSelector::~ZqPObjectCharacterSelector()
{
    ZqAdController::shared()->clearRewardCallbackOf(this);
    PurchaseBridge::shared()->clearCallbackOf(this);
}

bool ZqPObjectCharacterSelector::init()
{
    if (!CCNode::init())
        return false;
    CCDirector::sharedDirector()->getTouchDispatcher()->addTargetedDelegate(this, 0, false);
    if (m_characters.empty())
        return true;
    const ZqModelObjectCharacterSelector& model = *m_model;
    const auto font =
        ZqModelController::shared()->getModel<ZqModelFont>(static_cast<unsigned>(std::atoi(model.labelName().c_str())));
    if (font) {
        if ((m_priceLabel = font->createLabel())) {
            m_priceLabel->setAlignment(kCCTextAlignmentCenter);
            m_priceLabel->setAnchorPoint(CCPoint(0.5f, 0.5f));
            m_priceLabel->setScale(0.9f);
            m_priceLabel->setPosition(CCPoint(0.0f, -30.0f - model.labelVerticalSpacing()));
            addChild(m_priceLabel);
            m_priceLabel->release();
        }
        if (model.labelVisibility() && (m_nameLabel = font->createLabel())) {
            m_nameLabel->setAlignment(kCCTextAlignmentCenter);
            m_nameLabel->setAnchorPoint(CCPoint(0.5f, 0.5f));
            m_nameLabel->setPosition(CCPoint(0.0f, model.labelVerticalSpacing() + 20.0f));
            addChild(m_nameLabel);
            m_nameLabel->release();
        }
    }
    const float opacity = model.opacity(0.0f, 0);
    const auto makeView = [&](const std::shared_ptr<ZqModelAnimation>& animation) {
        ZqPAnimationObject* view = makeCharacterIconView(animation, false);
        if (view) {
            view->setOpacityFactor(opacity);
            addChild(view, getZOrder());
        }
        return view;
    };
    for (const std::shared_ptr<ZqModelAssetCharacter>& character : m_characters) {
        CharacterView views;
        if (const auto icons = findCharacterIconComponent(*character)) {
            views.regular = makeView(icons->regularIcon());
            views.selected = makeView(icons->selectedIcon());
            views.locked = makeView(icons->lockedIcon());
        }
        if (!views.regular)
            views.regular = makeView(character->defaultAnimation());
        m_characterViews.push_back(views);
    }
    // The stored selection is shown, not chosen again: past the list it stays as stored.
    showLabels(m_currentIndex);

    if (const auto suggestion = model.unlockSuggestion(); suggestion && suggestion->frameCount() > 0) {
        if ((m_suggestionItem = addImageItem(suggestion->frame(0), menu_selector(ZqPObjectCharacterSelector::onSuggestionPressed))))
            m_suggestionBaseScale = CCPoint(m_suggestionItem->getScaleX(), m_suggestionItem->getScaleY());
    }
    buildUnlockButton();
    if (model.unlockYes())
        m_unlockYesSound = ZqSoundHandle(model.unlockYes(), ZqSound::kTagInterface);
    if (model.unlockNo())
        m_unlockNoSound = ZqSoundHandle(model.unlockNo(), ZqSound::kTagInterface);
    refreshCharacterViews();
    updateSuggestion(0.0f);
    update(0.0f);
    return true;
}

CCMenuItemSprite* ZqPObjectCharacterSelector::addMenuItem(CCNode* normal, CCNode* selected, CCNode* disabled,
                                                          SEL_MenuHandler handler, const CCPoint& menuPosition)
{
    CCMenu* menu = CCMenu::create();
    menu->setAnchorPoint(CCPoint(0.0f, 0.0f));
    menu->setPosition(menuPosition);
    menu->setTouchPriority(-m_model->zDepth());
    addChild(menu);
    CCMenuItemSprite* item = CCMenuItemSprite::create(normal, selected, disabled, this, handler);
    if (item)
        menu->addChild(item);
    return item;
}

CCMenuItemSprite* ZqPObjectCharacterSelector::addImageItem(const std::shared_ptr<ZqModel>& frame, SEL_MenuHandler handler)
{
    const auto object = modelKindCast<ZqModelObject>(frame);
    const auto image = object ? object->spriteContainer() : nullptr;
    if (!image)
        return nullptr;
    CCSprite* normal = image->getSprite(1.0f, true);
    CCSprite* selected = image->getSprite(1.0f, true);
    CCSprite* disabled = image->getSprite(1.0f, true);
    if (!normal)
        return nullptr;
    tint(selected, 128);
    tint(disabled, 60);
    CCMenuItemSprite* item = addMenuItem(normal, selected, disabled, handler, CCPoint(0.0f, 0.0f));
    if (!item)
        return nullptr;
    item->setPosition(object->position(0.0f, 0));
    item->setRotation(object->rotation(0.0f, 0));
    const CCPoint scale = object->scale(0.0f, 0);
    item->setScaleX(scale.x);
    item->setScaleY(scale.y);
    return item;
}

void ZqPObjectCharacterSelector::buildUnlockButton()
{
    const std::shared_ptr<ZqModelAnimation> animation = m_model->unlockButton();
    if (!animation || animation->frameCount() == 0)
        return;
    const SEL_MenuHandler handler = menu_selector(ZqPObjectCharacterSelector::onUnlockPressed);
    if (animation->frameCount() == 1) {
        m_unlockItem = addImageItem(animation->frame(0), handler);
        return;
    }
    // An animated button: an invisible item over its topmost frame takes the touches.
    m_unlockAnimation = ZqPAnimationObject::create(animation, nullptr, true);
    if (!m_unlockAnimation)
        return;
    addChild(m_unlockAnimation);
    m_unlockAnimation->updateBoundingRect();
    const CCRect box = m_unlockAnimation->boundingRect();
    CCSprite* normal = makeSolidColorSprite(box.size, 0, 0, 0, 0);
    CCSprite* selected = makeSolidColorSprite(box.size, 0, 0, 0, 0);
    m_unlockItem = addMenuItem(normal, selected, nullptr, handler, box.origin);
    std::shared_ptr<ZqModelObject> top;
    for (const std::shared_ptr<ZqModel>& frame : animation->frames()) {
        const auto object = modelKindCast<ZqModelObject>(frame);
        if (object && (!top || object->zDepth() > top->zDepth()))
            top = object;
    }
    if (m_unlockItem && top) {
        m_unlockItem->setContentSize(top->contentSize(0.0f));
        m_unlockItem->setPosition(top->position(0.0f, 0) - box.origin);
    }
}

bool ZqPObjectCharacterSelector::touchInBox(CCTouch* touch) const
{
    const CCPoint scale = m_model->scale(0.0f, 0);
    const CCSize size(100.0f * scale.x, 100.0f * scale.y);
    const CCRect box(-size.width * 0.5f, -size.height * 0.5f, size.width, size.height);
    return box.containsPoint(convertToNodeSpace(touch->getLocation()));
}

bool ZqPObjectCharacterSelector::ccTouchBegan(CCTouch* touch, CCEvent* /*event*/)
{
    if (!isVisible() || m_characters.empty())
        return false;
    m_velocity = 0.0f;
    return touchInBox(touch);
}

void ZqPObjectCharacterSelector::ccTouchMoved(CCTouch* touch, CCEvent* /*event*/)
{
    if (!isVisible() || m_characters.empty())
        return;
    if (touchInBox(touch))
        m_dragging = true;
    if (m_dragging) {
        const float dx = (touch->getLocation().x - touch->getPreviousLocation().x) * 1.2f;
        m_targetOffset += dx;
        m_velocity = std::clamp(dx, -50.0f, 50.0f);
    }
    refreshCharacterViews();
}

void ZqPObjectCharacterSelector::ccTouchEnded(CCTouch* touch, CCEvent* /*event*/)
{
    if (!isVisible() || m_characters.empty())
        return;
    const float spread = m_model->spread();
    // Without a positive spread no tap can name a character.
    if (!m_dragging && spread > 0.0f) {
        const float px = convertToNodeSpace(touch->getLocation()).x;
        const float x = px > 0.0f ? px + spread / 2.0f : px - spread / 2.0f;
        const int index = m_currentIndex + static_cast<int>(x / spread);
        if (isInList(index)) {
            m_currentIndex = index;
            selectCharacter(index);
        }
    }
    m_dragging = false;
    refreshCharacterViews();
}

void ZqPObjectCharacterSelector::update(float dt)
{
    if (m_characters.empty())
        return;
    m_clock += dt;
    if (m_webLinkPending && --m_webLinkCountdown <= 0) {
        m_webLinkPending = false;
        onRewardGranted();
        refreshCharacterViews();
    }
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    if (settings->selectedCharacter() != m_shownSelectedIndex) {
        m_shownSelectedIndex = settings->selectedCharacter();
        m_currentIndex = std::clamp(m_shownSelectedIndex, 0, static_cast<int>(m_characters.size()) - 1);
        refreshCharacterViews();
    }
    const float spread = m_model->spread();
    const int last = static_cast<int>(m_characters.size()) - 1;
    const bool fast = std::fabs(m_velocity) > 2.0f;
    if (!m_dragging) {
        if (fast) {
            m_velocity *= 0.94f;
            m_targetOffset += m_velocity;
            // The strip brakes harder at its ends.
            if (m_currentIndex == 0 || m_currentIndex == last)
                m_velocity *= 0.7f;
        } else {
            m_targetOffset = 0.7f * m_displayedOffset - 0.3f * spread * static_cast<float>(m_currentIndex);
        }
    }
    m_displayedOffset = 0.25f * m_targetOffset + 0.75f * m_displayedOffset;
    const float opacity = m_model->opacity(m_clock, m_curveKey);
    const int half = static_cast<int>(spread * 0.5f);
    for (std::size_t i = 0; i < m_characterViews.size(); ++i) {
        const float x = spread * static_cast<float>(i) + m_displayedOffset;
        const CharacterView& views = m_characterViews[i];
        for (ZqPAnimationObject* view : {views.regular, views.selected, views.locked}) {
            if (!view)
                continue;
            view->setOpacityFactor(opacity);
            view->setPosition(CCPoint(x, 0.0f));
            view->update(dt);
        }
        // A moving strip makes the character passing the centre the current one.
        if (-half < x && x < half && (m_dragging || fast)) {
            m_currentIndex = static_cast<int>(i);
            selectCharacter(m_currentIndex);
            refreshCharacterViews();
        }
    }
    const ZqModelAssetCharacter& current = *m_characters[static_cast<std::size_t>(m_currentIndex)];
    const bool locked = !settings->isCharacterUnlocked(m_currentIndex);
    if (m_priceLabel)
        m_priceLabel->setVisible(locked && showsPrice(current));
    if (m_unlockItem)
        m_unlockItem->setVisible(locked);
    if (m_unlockAnimation)
        m_unlockAnimation->setVisible(locked);
    updateSuggestion(dt);
    setPosition(m_model->position(m_clock, m_curveKey));
}

void ZqPObjectCharacterSelector::showLabels(int index)
{
    const ZqModelAssetCharacter& character = *m_characters[static_cast<std::size_t>(index)];
    if (m_priceLabel) {
        m_priceLabel->setVisible(showsPrice(character));
        m_priceLabel->setString(std::to_string(static_cast<int>(character.price())).c_str());
    }
    if (m_nameLabel)
        m_nameLabel->setString(character.name().c_str());
}

void ZqPObjectCharacterSelector::setCurrentIndex(int index)
{
    if (!isInList(index))
        return;
    m_currentIndex = index;
    selectCharacter(index);
}

void ZqPObjectCharacterSelector::selectCharacter(int index)
{
    if (!isInList(index))
        return;
    showLabels(index);
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    if (settings->isCharacterUnlocked(index)) {
        settings->setSelectedCharacter(index);
        m_shownSelectedIndex = settings->selectedCharacter();
    }
}

void ZqPObjectCharacterSelector::refreshCharacterViews()
{
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    for (std::size_t i = 0; i < m_characterViews.size(); ++i) {
        const CharacterView& views = m_characterViews[i];
        const bool unlocked = settings->isCharacterUnlocked(static_cast<int>(i));
        bool regular = true;
        if (views.selected) {
            const bool selected = unlocked && static_cast<int>(i) == m_currentIndex;
            views.selected->setVisible(selected);
            regular = !selected;
        }
        if (views.locked) {
            views.locked->setVisible(!unlocked);
            if (!unlocked)
                regular = false;
        }
        if (views.regular)
            views.regular->setVisible(regular);
    }
}

void ZqPObjectCharacterSelector::unlockCharacter(int index)
{
    if (!isInList(index))
        return;
    ZqCharacterUnlockCallbacks callbacks;
    callbacks.target = this;
    callbacks.purchased = static_cast<PurchaseBridge::Callback>(&ZqPObjectCharacterSelector::onPurchaseCompleted);
    callbacks.rewarded = callfunc_selector(ZqPObjectCharacterSelector::onRewardGranted);
    callbacks.rewardCharacter = m_currentIndex;
    switch (zqUnlockCharacter(*m_characters[static_cast<std::size_t>(index)], index, callbacks)) {
    case ZqCharacterUnlockResult::kPaid:
        m_shownSelectedIndex = ZqPSettingsController::shared()->selectedCharacter();
        if (m_unlockYesSound)
            m_unlockYesSound->play(false, false);
        break;
    case ZqCharacterUnlockResult::kTooFewCoins:
        if (m_unlockNoSound)
            m_unlockNoSound->play(false, false);
        break;
    case ZqCharacterUnlockResult::kWebLink:
        m_webLinkPending = true;
        m_webLinkCountdown = 10;
        break;
    case ZqCharacterUnlockResult::kRequested:
    case ZqCharacterUnlockResult::kNone:
        break;
    }
    refreshCharacterViews();
}

void ZqPObjectCharacterSelector::grant(int index)
{
    zqGrantCharacter(index);
    m_shownSelectedIndex = ZqPSettingsController::shared()->selectedCharacter();
}

void ZqPObjectCharacterSelector::onRewardGranted()
{
    if (m_characters.empty())
        return;
    grant(m_currentIndex);
    // The game plays "Unlock No" here, as it always has.
    if (m_unlockNoSound)
        m_unlockNoSound->play(false, false);
    refreshCharacterViews();
}

void ZqPObjectCharacterSelector::onPurchaseCompleted(const std::string& productId)
{
    debugLog("[ZqPObjectButtonPurchase] purchase did complete: %s", productId.c_str());
    for (const std::shared_ptr<ZqModelAssetCharacter>& character : m_characters) {
        if (character->purchaseMethod() != kPayInAppPurchase || character->storeIdentifier() != productId)
            continue;
        grant(m_currentIndex);
        if (m_unlockYesSound)
            m_unlockYesSound->play(false, false);
    }
    refreshCharacterViews();
}

void ZqPObjectCharacterSelector::onUnlockPressed(CCObject* /*sender*/)
{
    unlockCharacter(m_currentIndex);
}

void ZqPObjectCharacterSelector::onSuggestionPressed(CCObject* /*sender*/)
{
    if (!isInList(m_suggestedIndex))
        return;
    m_currentIndex = m_suggestedIndex;
    unlockCharacter(m_currentIndex);
    m_suggestedIndex = -2;
    selectCharacter(m_currentIndex);
}

void ZqPObjectCharacterSelector::updateSuggestion(float dt)
{
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    if (m_suggestedIndex >= 0 && settings->isCharacterUnlocked(m_suggestedIndex))
        m_suggestedIndex = -1;
    if (m_suggestedIndex == -1) {
        const float coins = static_cast<float>(ScoreRegistry::global().coins.total);
        std::vector<int> candidates;
        for (std::size_t i = 0; i < m_characters.size(); ++i) {
            const ZqModelAssetCharacter& character = *m_characters[i];
            if (character.purchaseMethod() == kPayInGameCurrency && !settings->isCharacterUnlocked(static_cast<int>(i)) &&
                coins >= character.price())
                candidates.push_back(static_cast<int>(i));
        }
        if (!candidates.empty())
            m_suggestedIndex = candidates[static_cast<std::size_t>(zqRand()) % candidates.size()];
    }
    if (!m_suggestionItem)
        return;
    m_suggestionItem->setVisible(m_suggestedIndex >= 0);
    if (m_suggestedIndex < 0)
        return;
    m_suggestionPhase += dt * 3.0f;
    const float pulse = 1.0f + std::sin(m_suggestionPhase) / 20.0f;
    m_suggestionItem->setScaleX(m_suggestionBaseScale.x * pulse);
    m_suggestionItem->setScaleY(m_suggestionBaseScale.y * pulse);
}
