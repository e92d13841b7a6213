#pragma once

#include "model/ZqDataTokens.h"

#include <memory>
#include <vector>

class ZqModelAssetPowerup;
class ZqPObjectAssetPowerup;
class ZqPScreenScene;

// The field's power-up operations: the lookup by type, the magnet, killing every enemy, and
// granted power-ups.
class ZqFieldPowerups {
public:
    explicit ZqFieldPowerups(const ZqPScreenScene& field) : m_field(field) {}

    // The first power-up under the camera other than newer whose effect runs (state 1)
    // and whose "Powerup Type" is newer's; null when none.
    ZqPObjectAssetPowerup* findByName(const ZqPObjectAssetPowerup& newer) const;
    // The power-ups under the camera whose "Powerup Type" is type, in child order.
    std::vector<ZqPObjectAssetPowerup*> ofType(ZqPowerupType type) const;
    // While on, each field step pulls the waiting coins near the characters toward them.
    void setMagnetActive(bool active) { m_magnetActive = active; }
    bool isMagnetActive() const { return m_magnetActive; }
    // The magnet's pull on the waiting coins near the characters, when on.
    void pullCoins();
    // Every active, visible enemy unit under the camera is destroyed (state 4).
    void killAllEnemies();
    // A power-up granted or bought: made whatever its appearance chance and taken at once,
    // at the first live character (above it, or just below), else at the screen centre.
    void grant(const std::shared_ptr<ZqModelAssetPowerup>& powerup, bool above);

private:
    const ZqPScreenScene& m_field;
    bool m_magnetActive = false;
};
