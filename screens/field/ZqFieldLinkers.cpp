#include "screens/field/ZqFieldLinkers.h"

#include "screens/field/ZqPScreenScene.h"

#include "app/ZqPInputController.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLevelSection.h"
#include "objects/ZqPObject.h"
#include "objects/ZqPhysicsWorld.h"

#include <box2d/box2d.h>

#include <algorithm>

using namespace cocos2d;

void ZqFieldLinkers::queue(const ZqModelLevelSection& section, unsigned batch)
{
    for (const std::shared_ptr<ZqModelLinker>& linker : section.childrenOfClass<ZqModelLinker>()) {
        if (!linker->objectA() || !linker->objectB())
            continue;
        Pending pending;
        pending.linker = linker;
        pending.batch = batch;
        m_pending.push_back(std::move(pending));
    }
}

void ZqFieldLinkers::linkQueued(unsigned batch, const std::shared_ptr<ZqModelObject>& model, ZqPObject* made)
{
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        Pending& pending = *it;
        if (pending.batch == batch && batch != 0) {
            if (!pending.madeA && pending.linker->objectA() == model) {
                pending.madeA = true;
                pending.objectA = zqRetain(made);
            }
            if (!pending.madeB && pending.linker->objectB() == model) {
                pending.madeB = true;
                pending.objectB = zqRetain(made);
            }
        }
        if (!pending.madeA || !pending.madeB) {
            ++it;
            continue;
        }
        if (pending.objectA && pending.objectB) {
            makeJoint(*pending.linker, static_cast<ZqPObject*>(pending.objectA.get()),
                      static_cast<ZqPObject*>(pending.objectB.get()));
        }
        it = m_pending.erase(it);
    }
}

void ZqFieldLinkers::dropBefore(unsigned oldestQueued)
{
    std::erase_if(m_pending, [oldestQueued](const Pending& pending) { return pending.batch < oldestQueued; });
}

void ZqFieldLinkers::makeJoint(const ZqModelLinker& linker, ZqPObject* objectA, ZqPObject* objectB)
{
    // An object removed while its partner waited in the queue has no part in a joint.
    auto bodyOf = [](ZqPObject* object) -> b2Body* {
        return object->state() == ZqPObject::kStateRemoved || !object->getParent() ? nullptr : object->getBody();
    };
    b2Body* bodyA = bodyOf(objectA);
    b2Body* bodyB = bodyOf(objectB);
    ZqPhysicsWorld* world = m_field.world();
    if (!world || world->isLocked() || !bodyA || !bodyB || bodyA == bodyB)
        return;
    b2RevoluteJointDef definition;
    definition.Initialize(bodyA, bodyB, bodyB->GetPosition());
    definition.collideConnected = false;
    definition.enableMotor = true;
    definition.maxMotorTorque = linker.torque();
    // Node rotations are clockwise-positive, Box2D's counter-clockwise.
    definition.motorSpeed = linker.isButtonActivated() ? 0.0f : -linker.speed();
    auto* joint = static_cast<b2RevoluteJoint*>(world->box2d().CreateJoint(&definition));
    m_joints.push_back(joint);
    if (linker.isButtonActivated())
        ZqPInputController::shared()->registerMotorJoint(joint, linker.speed());
}

void ZqFieldLinkers::jointDestroyed(b2Joint* joint)
{
    std::erase(m_joints, joint);
}

void ZqFieldLinkers::release()
{
    m_pending.clear();
    ZqPInputController* input = ZqPInputController::existing();
    ZqPhysicsWorld* world = m_field.world();
    for (b2RevoluteJoint* joint : m_joints) {
        if (input)
            input->forgetJoint(joint);
        // Inside a step the joint goes with its body, right after it.
        if (world && !world->isLocked())
            world->box2d().DestroyJoint(joint);
    }
    m_joints.clear();
}
