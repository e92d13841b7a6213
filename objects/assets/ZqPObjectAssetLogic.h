#pragma once

#include "objects/assets/ZqPObjectAssetTriggers.h"

#include <memory>

class ZqModelObjectLogic;
class ZqPObjectAssetUnit;

// A zone that changes the units of one obstacle asset ("Affected asset") at each contact
// start: their velocities, position, rotation and scale, by the amounts set in its model,
// added, multiplied or replaced ("Affect operation"). "kAdd" with 0 and "kMultiply" with
// 1 change nothing, except for the linear velocity, whose set axes always combine.
// Velocities count in units of 32 points a second (angular: 1/32 rad a second); a physics
// unit's body velocity is converted, a linear unit's own velocity is not.
class ZqPObjectAssetLogic : public ZqPObjectAssetTrigger {
public:
    explicit ZqPObjectAssetLogic(const std::shared_ptr<ZqModelObjectLogic>& model);

    // Only the modifiers: no collision subscriber is called.
    void beginContact(ZqPObject* other, b2Contact* contact, bool flag) override;

private:
    enum Operation { kAdd, kMultiply, kReplace, kNone };

    const ZqModelObjectLogic& logicModel() const;
    // current combined with amount; skips leaves current for "kAdd" 0 and "kMultiply" 1.
    float combine(float current, float amount, bool skips) const;
    void changeVelocities(ZqPObjectAssetUnit& unit) const;
    void changePlacement(ZqPObjectAssetUnit& unit) const;

    Operation m_operation;
};
