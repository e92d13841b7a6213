// The game field's linkers, made motor joints as the creation queue makes their objects,
// and the switch of the physics debug draw.
#include "screens/field/ZqPScreenScene.h"

#include "app/ZqPInputController.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLevelSection.h"
#include "objects/ZqPObject.h"
#include "objects/ZqPhysicsWorld.h"

#include <box2d/box2d.h>

#include <algorithm>

using namespace cocos2d;

namespace {

bool g_debugDraw = false;

} // namespace

void ZqPScreenScene::setDebugDrawEnabled(bool enabled)
{
    g_debugDraw = enabled;
}

bool ZqPScreenScene::isDebugDrawEnabled()
{
    return g_debugDraw;
}

void ZqPScreenScene::queueLinkers(const ZqModelLevelSection& section, unsigned batch)
{
    for (const std::shared_ptr<ZqModelLinker>& linker : section.childrenOfClass<ZqModelLinker>()) {
        if (!linker->objectA() || !linker->objectB())
            continue;
        PendingLinker pending;
        pending.linker = linker;
        pending.batch = batch;
        m_pendingLinkers.push_back(std::move(pending));
    }
}

void ZqPScreenScene::linkQueued(const QueuedObject& queued, ZqPObject* object)
{
    auto hold = [](ZqPObject* made) {
        if (made)
            made->retain();
        return Held(made);
    };
    for (auto it = m_pendingLinkers.begin(); it != m_pendingLinkers.end();) {
        PendingLinker& pending = *it;
        if (pending.batch == queued.batch && queued.batch != 0) {
            if (!pending.madeA && pending.linker->objectA() == queued.model) {
                pending.madeA = true;
                pending.objectA = hold(object);
            }
            if (!pending.madeB && pending.linker->objectB() == queued.model) {
                pending.madeB = true;
                pending.objectB = hold(object);
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
        it = m_pendingLinkers.erase(it);
    }
}

void ZqPScreenScene::dropStaleLinkers()
{
    // The queue runs in order: once a batch has left it (or the queue was emptied), the
    // objects its linkers still wait for are not coming.
    const unsigned oldestQueued = m_queue.empty() ? m_lastBatch + 1 : m_queue.front().batch;
    std::erase_if(m_pendingLinkers,
                  [oldestQueued](const PendingLinker& pending) { return pending.batch < oldestQueued; });
}

void ZqPScreenScene::makeJoint(const ZqModelLinker& linker, ZqPObject* objectA, ZqPObject* objectB)
{
    // An object removed while its partner waited in the queue has no part in a joint.
    auto bodyOf = [](ZqPObject* object) -> b2Body* {
        return object->state() == ZqPObject::kStateRemoved || !object->getParent() ? nullptr : object->getBody();
    };
    b2Body* bodyA = bodyOf(objectA);
    b2Body* bodyB = bodyOf(objectB);
    if (!m_world || m_world->isLocked() || !bodyA || !bodyB || bodyA == bodyB)
        return;
    b2RevoluteJointDef definition;
    definition.Initialize(bodyA, bodyB, bodyB->GetPosition());
    definition.collideConnected = false;
    definition.enableMotor = true;
    definition.maxMotorTorque = linker.torque();
    // Node rotations are clockwise-positive, Box2D's counter-clockwise.
    definition.motorSpeed = linker.isButtonActivated() ? 0.0f : -linker.speed();
    auto* joint = static_cast<b2RevoluteJoint*>(m_world->box2d().CreateJoint(&definition));
    m_joints.push_back(joint);
    if (linker.isButtonActivated())
        ZqPInputController::shared()->registerMotorJoint(joint, linker.speed());
}

void ZqPScreenScene::jointDestroyed(b2Joint* joint)
{
    std::erase(m_joints, joint);
}

void ZqPScreenScene::releaseJoints()
{
    m_pendingLinkers.clear();
    ZqPInputController* input = ZqPInputController::existing();
    for (b2RevoluteJoint* joint : m_joints) {
        if (input)
            input->forgetJoint(joint);
        // Inside a step the joint goes with its body, right after it.
        if (m_world && !m_world->isLocked())
            m_world->box2d().DestroyJoint(joint);
    }
    m_joints.clear();
}
