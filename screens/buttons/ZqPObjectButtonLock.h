#pragma once

#include "screens/buttons/ZqPObjectButton.h"

#include <memory>
#include <string>

class ZqBaseModelObjectLockButton;

// A button that leads to a level section and stays locked until bought (coins or an
// in-app purchase). Its lock is a flag of the purchase registry under the model's
// "Name" (true = locked; a new game starts locked). Once unlocked a press sets the
// navigator's scene destination and runs the button's action. Main thread only.
class ZqPObjectButtonLock : public ZqPObjectButton {
public:
    ZqPObjectButtonLock();
    // Leaves the refresh list and the purchase bridge.
    ~ZqPObjectButtonLock() override;

    void setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model) override;
    // Shows a lock change made elsewhere, then the base update.
    void update(float dt) override;
    // While enabled. Locked: tries to unlock, without the button's action. Unlocked: the
    // destination, "Auto Lock", then the action. Saves either way.
    void activate() override;

    // Binds the flag again (after the registry reset or reloaded it) and redraws.
    void refreshLock();
    // The purchase's end: unlocked, redrawn, and followed at once with "Auto Follow".
    void onUnlocked(const std::string& productId);

    bool isLockedShown() const { return m_lockedShown; }

private:
    void applyLockImages();

    std::shared_ptr<ZqBaseModelObjectLockButton> m_lockModel;
    // Into the purchase registry; null without a model.
    bool* m_lockFlag = nullptr;
    bool m_lockedShown = true;
};
