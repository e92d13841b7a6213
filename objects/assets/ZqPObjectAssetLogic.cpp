#include "objects/assets/ZqPObjectAssetLogic.h"

#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/assets/ZqPObjectAssetUnit.h"

using namespace cocos2d;
using namespace zqphysics;

namespace {

// A body velocity in metres a second to units of 32 points a second, and back.
constexpr float kUnitsPerMetre = kPointsPerMetre / kVelocityUnit;
constexpr float kMetresPerUnit = kMetresPerPoint * kVelocityUnit;

} // namespace

ZqPObjectAssetLogic::ZqPObjectAssetLogic(const std::shared_ptr<ZqModelObjectLogic>& model)
    : ZqPObjectAssetTrigger(model, kTypeLogic)
{
    setDestroyType(kDestroyNo);
    setLinearMovement(false);
    setObjectKind(ZqPObjectAssetUnit::kKindPlatform);
    setSleepMode(0);
    const std::string& operation = model->affectOperation();
    m_operation = operation == "kAdd" ? kAdd : operation == "kMultiply" ? kMultiply
                : operation == "kReplace"                           ? kReplace
                                                                    : kNone;
}

const ZqModelObjectLogic& ZqPObjectAssetLogic::logicModel() const
{
    return static_cast<const ZqModelObjectLogic&>(*model());
}

float ZqPObjectAssetLogic::combine(float current, float amount, bool skips) const
{
    switch (m_operation) {
    case kAdd:
        return skips && amount == 0.0f ? current : current + amount;
    case kMultiply:
        return skips && amount == 1.0f ? current : current * amount;
    case kReplace:
        return amount;
    case kNone:
        break;
    }
    return current;
}

void ZqPObjectAssetLogic::beginContact(ZqPObject* other, b2Contact*, bool)
{
    ZqPObjectAssetUnit* unit = dynamic_cast<ZqPObjectAssetUnit*>(other);
    if (!unit || !(unit->objectType() & kTypeUnit))
        return;
    const auto unitModel = std::dynamic_pointer_cast<ZqBaseModelObjectAssetUnit>(unit->model());
    const std::shared_ptr<ZqModelAssetObstacle> obstacle = unitModel ? unitModel->assetObstacle() : nullptr;
    if (!obstacle || static_cast<long long>(obstacle->id()) != logicModel().affectedAsset())
        return;
    changeVelocities(*unit);
    changePlacement(*unit);
}

void ZqPObjectAssetLogic::changeVelocities(ZqPObjectAssetUnit& unit) const
{
    const ZqModelObjectLogic& model = logicModel();
    const ZqAttributePoint& linear = model.linearVelocityModifier();
    const ZqAttributeFloat& angular = model.angularVelocityModifier();
    b2Body* body = unit.isLinearMovement() ? nullptr : unit.getBody();
    if (!linear.isXEmpty() || !linear.isYEmpty()) {
        CCPoint current = unit.velocity();
        if (body)
            current = CCPoint(body->GetLinearVelocity().x, body->GetLinearVelocity().y) * kUnitsPerMetre;
        if (!linear.isXEmpty())
            current.x = combine(current.x, linear.value().x, false);
        if (!linear.isYEmpty())
            current.y = combine(current.y, linear.value().y, false);
        if (body)
            body->SetLinearVelocity(b2Vec2(current.x * kMetresPerUnit, current.y * kMetresPerUnit));
        else if (unit.isLinearMovement())
            unit.setVelocity(current.x, current.y);
    }
    if (angular.isEmpty())
        return;
    const float amount = angular.value();
    if (unit.isLinearMovement()) {
        unit.setAngularSpeed(combine(unit.angularSpeed(), amount, true));
    } else if (body) {
        // Added and replacing amounts are units; a factor has none.
        const float omega = body->GetAngularVelocity();
        body->SetAngularVelocity(m_operation == kMultiply ? combine(omega, amount, true)
                                                          : combine(omega, amount * kAngularUnit, true));
    }
}

void ZqPObjectAssetLogic::changePlacement(ZqPObjectAssetUnit& unit) const
{
    const ZqModelObjectLogic& model = logicModel();
    const std::string& operation = model.affectOperation();
    const bool change = m_operation != kNone;
    // A relative replacement moves with the logic object: measured from where it was authored.
    const CCPoint offset = m_operation == kReplace && !model.isWorldSpace()
                               ? getPosition() - model.position(0.0f, 0)
                               : CCPoint();
    const auto skipped = [this](float amount) {
        return (m_operation == kAdd && amount == 0.0f) || (m_operation == kMultiply && amount == 1.0f);
    };
    const ZqAttributePoint& position = model.positionModifier();
    if (change && !position.isXEmpty() && !skipped(position.value().x))
        unit.changePositionX(position.value().x + offset.x, operation);
    if (change && !position.isYEmpty() && !skipped(position.value().y))
        unit.changePositionY(position.value().y + offset.y, operation);
    const ZqAttributeFloat& rotation = model.rotationModifier();
    if (change && !rotation.isEmpty() && !skipped(rotation.value()))
        unit.changeRotation(rotation.value(), operation);
    const ZqAttributePoint& scale = model.scaleModifier();
    if (!scale.isXEmpty())
        unit.setScaleX(combine(unit.getScaleX(), scale.value().x, true));
    if (!scale.isYEmpty())
        unit.setScaleY(combine(unit.getScaleY(), scale.value().y, true));
}
