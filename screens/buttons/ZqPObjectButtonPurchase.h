#pragma once

#include "app/ZqSound.h"
#include "screens/buttons/ZqPObjectButton.h"

#include <memory>
#include <string>

class ZqBaseModelObjectButtonPurchase;
class ZqModelAssetPowerup;

// A button that sells a power-up, the removal of ads or another item, for coins, through
// an in-app purchase or for a rewarded video. The screen dispatches the press by the
// "Purchase Method" (ZqPScreen::purchasePressed); on this platform every method completes
// at once. A one-time item's availability is a flag of the purchase registry under the
// model's "Name", re-read whenever the registry resets. Main thread only.
class ZqPObjectButtonPurchase : public ZqPObjectButton {
public:
    ZqPObjectButtonPurchase();
    // Leaves the refresh list, the reward callback and the purchase bridge.
    ~ZqPObjectButtonPurchase() override;

    void setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model) override;
    // Visible only while a rewarded video is available and the interval is due (video
    // purchases), or while the run stays below "Visibility Threshold" on a field.
    void update(float dt) override;

    // Pays (coins) and grants: the power-up into the inventory or used at once, the ads
    // removed. With too few coins nothing happens.
    void purchase();
    // The store's answer for productId; also the end of a removal of ads paid otherwise
    // ("non IAP purchase").
    void purchaseDidComplete(const std::string& productId);
    // Binds the availability flag of the model's "Name" (after the registry reset or
    // reloaded it, every live button's); null without a model.
    void refreshAvailability();

    const std::shared_ptr<ZqBaseModelObjectButtonPurchase>& purchaseModel() const { return m_purchaseModel; }

private:
    // Bought once: the flag (when bound) goes false, the button hides and disables.
    void markSold();
    void addToInventory();
    void playCompleteSound();

    std::shared_ptr<ZqBaseModelObjectButtonPurchase> m_purchaseModel;
    std::shared_ptr<ZqModelAssetPowerup> m_powerup;
    bool m_rewarded = false;
    // Into the purchase registry. Bound when built only for a one-time item with "Interval"
    // up to 1; a reset or a reload binds it for every button.
    bool* m_availableFlag = nullptr;
    ZqSoundHandle m_completeSound;
};
