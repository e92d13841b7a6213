#pragma once

#include "screens/buttons/ZqPObjectButton.h"

#include <memory>
#include <string>

class ZqBaseModelObjectButtonPowerup;
class ZqModelAssetPowerup;

// A button that uses a power-up of the player's inventory: it shows the count held and
// the countdown to the next free refill, disables itself when none is left (unless
// "Unlimited Use"), and can hide until the run has gone far enough. The screen's
// power-up action (ZqPScreen::usePowerup) does the use. Main thread only.
class ZqPObjectButtonPowerup : public ZqPObjectButton {
public:
    ZqPObjectButtonPowerup() = default;

    // The labels (in the game's first font; none without a font), the power-up of
    // "Powerup Selection", a refill started while below "Max Refill", then update(0).
    void setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model) override;
    // The base update, then visibility, enabled state and the labels.
    void update(float dt) override;
    // The action runs on release unless "Force Action on Press"...
    void activate() override;
    // ...in which case it runs on press.
    void selected() override;

    // Starts the power-up's refill timer when "Refill Timeout" (minutes) is above 0.
    void startRefillTimer();

    const std::shared_ptr<ZqModelAssetPowerup>& powerup() const { return m_powerup; }
    const std::shared_ptr<ZqBaseModelObjectButtonPowerup>& powerupModel() const { return m_powerupModel; }
    // Null when not made.
    cocos2d::CCLabelBMFont* countLabel() const { return m_countLabel; }
    cocos2d::CCLabelBMFont* timerLabel() const { return m_timerLabel; }

    // seconds as "hh:mm:ss"; the hours are not wrapped at 24.
    static std::string refillText(int seconds);

private:
    // A label of the first font, placed yOffset above the count's place; null without a font.
    cocos2d::CCLabelBMFont* makeLabel(float yOffset);
    void refresh();

    std::shared_ptr<ZqBaseModelObjectButtonPowerup> m_powerupModel;
    std::shared_ptr<ZqModelAssetPowerup> m_powerup;
    // Children of the button.
    cocos2d::CCLabelBMFont* m_countLabel = nullptr;
    cocos2d::CCLabelBMFont* m_timerLabel = nullptr;
};
