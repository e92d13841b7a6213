#pragma once

#include "screens/buttons/ZqPObjectButton.h"

#include <memory>
#include <string>

class ZqModelAnimation;
class ZqModelAssetCharacter;
class ZqPAnimationObject;

// A button tied to one character ("Character"): while it is locked the button shows its
// own image (else the locked icon) and a press runs the character's unlock method; once
// unlocked it shows the character's icon and a press selects it; the selected one shows
// its selected icon. With "Show When Selected" it appears only while the screen's
// character selector has this locked character at its centre. A button that names no
// character does nothing beyond the base press. Main thread only.
class ZqPObjectButtonUnlockCharacter : public ZqPObjectButton {
public:
    enum State { kInitial = 0, kUnlocked = 1, kLocked = 2, kSelected = 3 };

    ZqPObjectButtonUnlockCharacter() = default;
    // Leaves the ad controller and the purchase bridge.
    ~ZqPObjectButtonUnlockCharacter() override;

    void setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model) override;
    // The state and views follow the saved progress.
    void update(float dt) override;
    // While enabled. Locked: unlocks; unlocked: selects (not saved). Then the base press.
    void activate() override;

    void unlockCharacter(int index);
    // Any product completes this button's character.
    void onPurchaseCompleted(const std::string& productId);
    void onRewardGranted();

    int state() const { return m_state; }
    int characterIndex() const { return m_characterIndex; }
    const std::shared_ptr<ZqModelAssetCharacter>& character() const { return m_character; }

private:
    ZqPAnimationObject* addView(const std::shared_ptr<ZqModelAnimation>& animation);
    // The locked display: the own image, else the locked view.
    void setLockedDisplayVisible(bool visible);
    // The selected look, at once.
    void showSelected();

    std::shared_ptr<ZqModelAssetCharacter> m_character;
    // Children of the button.
    ZqPAnimationObject* m_regularView = nullptr;
    ZqPAnimationObject* m_lockedView = nullptr;
    ZqPAnimationObject* m_selectedView = nullptr;
    cocos2d::CCSprite* m_imageSprite = nullptr;
    int m_state = kInitial;
    int m_characterIndex = 0;
    bool m_webLinkPending = false;
    int m_webLinkCountdown = 0;
};
