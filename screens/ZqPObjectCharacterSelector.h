#pragma once

#include "app/ZqSound.h"
#include "cocos2d.h"

#include <memory>
#include <string>
#include <vector>

class ZqModel;
class ZqModelAssetCharacter;
class ZqModelObjectCharacterSelector;
class ZqPAnimationObject;

// The carousel of a menu that shows every character in one horizontal strip, "Spread"
// points apart. Dragging or tapping beside the centre moves through them; an unlocked
// character at the centre becomes the selected one at once, a locked one shows its price
// and the unlock button, which unlocks it by its own method. A pulsing suggestion offers
// a locked character the coins already pay for.
//
// Its index stays inside the character list: a stored selection past the list shows the
// last character without selecting it, and with no characters nothing is built and
// touches, updates and unlocks do nothing. Its screen updates it every frame and removes
// its touch delegate (registered at priority 0, not swallowing) when the screen goes.
// Main thread only.
class ZqPObjectCharacterSelector : public cocos2d::CCNode, public cocos2d::CCTouchDelegate {
public:
    // Initialised, autoreleased, at the model's "Position" and "Rotation" with their
    // random variation; null for a null model.
    static ZqPObjectCharacterSelector* create(const std::shared_ptr<ZqModelObjectCharacterSelector>& model);
    // Leaves the ad controller and the purchase bridge.
    ~ZqPObjectCharacterSelector() override;

    void update(float dt) override;
    bool ccTouchBegan(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;
    void ccTouchMoved(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;
    void ccTouchEnded(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;

    int currentIndex() const { return m_currentIndex; }
    // Makes index current and selects it; nothing outside the list.
    void setCurrentIndex(int index);
    // The character at index by its "Purchase Method"; nothing outside the list.
    void unlockCharacter(int index);
    // The labels of the character at index; an unlocked one becomes the selected one
    // (not saved).
    void selectCharacter(int index);
    // Shows each character's selected, regular or locked view.
    void refreshCharacterViews();

    // Completions: the unlock and suggestion buttons, a rewarded video or web link, and
    // the store's answer.
    void onUnlockPressed(cocos2d::CCObject* sender);
    void onSuggestionPressed(cocos2d::CCObject* sender);
    void onRewardGranted();
    void onPurchaseCompleted(const std::string& productId);

    struct CharacterView {
        ZqPAnimationObject* regular = nullptr;
        ZqPAnimationObject* selected = nullptr;
        ZqPAnimationObject* locked = nullptr;
    };
    // Children of the selector, one record a character.
    const std::vector<CharacterView>& characterViews() const { return m_characterViews; }
    // Null when not made.
    cocos2d::CCLabelBMFont* priceLabel() const { return m_priceLabel; }
    cocos2d::CCLabelBMFont* nameLabel() const { return m_nameLabel; }
    cocos2d::CCMenuItemSprite* unlockItem() const { return m_unlockItem; }
    cocos2d::CCMenuItemSprite* suggestionItem() const { return m_suggestionItem; }
    // -1 none yet, -2 used.
    int suggestedIndex() const { return m_suggestedIndex; }
    float displayedOffset() const { return m_displayedOffset; }
    float targetOffset() const { return m_targetOffset; }
    // Points a frame.
    float velocity() const { return m_velocity; }

private:
    explicit ZqPObjectCharacterSelector(std::shared_ptr<ZqModelObjectCharacterSelector> model);
    bool init() override;
    bool isInList(int index) const { return index >= 0 && index < static_cast<int>(m_characters.size()); }
    // The price and name of the character at index.
    void showLabels(int index);
    // Unlocked and selected; the selection followed at once.
    void grant(int index);
    void updateSuggestion(float dt);
    bool touchInBox(cocos2d::CCTouch* touch) const;
    // A menu of one item, over the other touches by the model's "Z Depth".
    cocos2d::CCMenuItemSprite* addMenuItem(cocos2d::CCNode* normal, cocos2d::CCNode* selected,
                                           cocos2d::CCNode* disabled, cocos2d::SEL_MenuHandler handler,
                                           const cocos2d::CCPoint& menuPosition);
    // The three looks of the first frame's image: plain, tinted 128 and tinted 60.
    cocos2d::CCMenuItemSprite* addImageItem(const std::shared_ptr<ZqModel>& frame,
                                            cocos2d::SEL_MenuHandler handler);
    void buildUnlockButton();

    std::vector<CharacterView> m_characterViews;
    std::shared_ptr<ZqModelObjectCharacterSelector> m_model;
    std::vector<std::shared_ptr<ZqModelAssetCharacter>> m_characters;
    float m_displayedOffset = 0.0f;
    float m_targetOffset = 0.0f;
    int m_currentIndex = 0;
    int m_shownSelectedIndex = 0;
    int m_suggestedIndex = -1;
    bool m_dragging = false;
    bool m_webLinkPending = false;
    int m_webLinkCountdown = 0;
    cocos2d::CCLabelBMFont* m_priceLabel = nullptr;
    cocos2d::CCLabelBMFont* m_nameLabel = nullptr;
    cocos2d::CCMenuItemSprite* m_unlockItem = nullptr;
    ZqPAnimationObject* m_unlockAnimation = nullptr;
    cocos2d::CCMenuItemSprite* m_suggestionItem = nullptr;
    float m_suggestionPhase = 0.0f;
    float m_velocity = 0.0f;
    cocos2d::CCPoint m_suggestionBaseScale;
    float m_clock = 0.0f;
    int m_curveKey = 0;
    ZqSoundHandle m_unlockYesSound;
    ZqSoundHandle m_unlockNoSound;
};
