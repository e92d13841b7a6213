#include "components/ZqComponentMotor.h"

#include "ZqLog.h"
#include "app/ZqPInputController.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/assets/ZqPObjectAsset.h"

ZqComponentMotor::~ZqComponentMotor()
{
    debugLog("[ZqComponentMotor] deallocate");
    ZqPInputController::unsubscribeFromShared(this);
}

const ZqModelComponentMotor& ZqComponentMotor::motorModel() const
{
    return static_cast<const ZqModelComponentMotor&>(*model());
}

void ZqComponentMotor::setModel(const std::shared_ptr<ZqModelComponent>& model)
{
    ZqComponent::setModel(model);
    const ZqModelComponentMotor& motor = motorModel();
    m_linear = motor.linearVelocity();
    m_angular = motor.angularVelocity();
    if (motor.event() == "kEventButton")
        ZqPInputController::shared()->subscribe(ZqPInputController::kControlPressed, this,
                                                callfuncO_selector(ZqComponentMotor::pressed), 0);
}

void ZqComponentMotor::setOwner(ZqPObject* owner)
{
    ZqComponent::setOwner(owner);
    if (motorModel().event() != "kEventCollision")
        return;
    if (auto* asset = dynamic_cast<ZqPObjectAsset*>(owner))
        asset->addEventSubscription(ZqPObjectAsset::kEventCollision, this,
                                    zq_object_event_selector(ZqComponentMotor::collided));
}

void ZqComponentMotor::multiply()
{
    const ZqModelComponentMotor& motor = motorModel();
    const cocos2d::CCPoint& factor = motor.linearMultiplier();
    m_linear = cocos2d::CCPoint(m_linear.x * factor.x, m_linear.y * factor.y);
    m_angular *= motor.angularMultiplier();
}

void ZqComponentMotor::pressed(cocos2d::CCObject*) { multiply(); }

void ZqComponentMotor::collided(ZqPObject*, ZqPObject* other)
{
    if (!other || !(other->objectType() & ZqPObject::kTypeUnit))
        return;
    const auto unit = modelKindCast<ZqModelObjectAssetUnit>(other->model());
    const auto obstacle = unit ? unit->assetObstacle() : nullptr;
    if (obstacle && static_cast<long long>(obstacle->id()) == motorModel().affectedAsset())
        multiply();
}

void ZqComponentMotor::update(float)
{
    b2Body* body = owner() ? owner()->getBody() : nullptr;
    if (!body)
        return;
    const b2Vec2 current = body->GetLinearVelocity();
    body->SetLinearVelocity(b2Vec2(m_linear.x != 0.0f ? m_linear.x : current.x, m_linear.y != 0.0f ? m_linear.y : current.y));
    body->SetAngularVelocity(m_angular);
}
