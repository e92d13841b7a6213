#include "app/ZqPInputController.h"

#include "app/ZqObjectModelHolder.h"

#include <ZqLog.h>

#include <box2d/b2_revolute_joint.h>

#include <algorithm>
#include <functional>

using cocos2d::CCNode;
using cocos2d::CCObject;
using cocos2d::CCPoint;

namespace {

ZqPInputController* sharedInstance = nullptr;

} // namespace

ZqPInputController* ZqPInputController::shared()
{
    if (!sharedInstance)
        sharedInstance = new ZqPInputController();
    return sharedInstance;
}

ZqPInputController* ZqPInputController::existing()
{
    return sharedInstance;
}

void ZqPInputController::purgeShared()
{
    ZqPInputController* instance = sharedInstance;
    sharedInstance = nullptr;
    CC_SAFE_RELEASE(instance);
}

void ZqPInputController::unsubscribeFromShared(CCObject* target)
{
    if (sharedInstance)
        sharedInstance->unsubscribe(target);
}

ZqPInputController::ZqPInputController()
    : m_characterNodes(new cocos2d::CCArray())
{
}

ZqPInputController::~ZqPInputController()
{
    m_characterNodes->release();
}

void ZqPInputController::actionBegin(int action, CCNode* sender)
{
    if (!isValid(action) || !m_enabled)
        return;
    apply(action, true, sender);
}

void ZqPInputController::actionEnd(int action, CCNode* sender)
{
    if (!isValid(action))
        return;
    m_holders[action].clear();
    apply(action, false, sender);
}

void ZqPInputController::holdBegin(int action, ZqInputHolder holder)
{
    if (!isValid(action) || !m_enabled)
        return;
    std::vector<ZqInputHolder>& holders = m_holders[action];
    if (std::find(holders.begin(), holders.end(), holder) != holders.end())
        return;
    holders.push_back(holder);
    if (holders.size() == 1)
        apply(action, true, nullptr);
}

void ZqPInputController::holdEnd(int action, ZqInputHolder holder)
{
    if (!isValid(action))
        return;
    std::vector<ZqInputHolder>& holders = m_holders[action];
    auto found = std::find(holders.begin(), holders.end(), holder);
    // A holder whose press was not taken (the controller was disabled, or the action was
    // ended for everyone meanwhile) ends nothing.
    if (found == holders.end())
        return;
    holders.erase(found);
    if (holders.empty())
        apply(action, false, nullptr);
}

void ZqPInputController::releaseAll()
{
    for (int action = 1; action < kActionCount; ++action) {
        m_holders[action].clear();
        if (m_held[action])
            apply(action, false, nullptr);
    }
}

bool ZqPInputController::isHeld(int action) const
{
    return isValid(action) && m_held[action];
}

void ZqPInputController::forEachCharacter(const std::function<void(ZqInputCharacter*)>& call)
{
    // A call may remove characters (a death) and so free their nodes: walk a copy, keep
    // the nodes alive meanwhile, and skip the ones removed during the walk.
    const std::vector<ZqInputCharacter*> characters = m_characters;
    cocos2d::CCArray* keep = cocos2d::CCArray::createWithArray(m_characterNodes);
    keep->retain();
    for (ZqInputCharacter* character : characters) {
        if (std::find(m_characters.begin(), m_characters.end(), character) != m_characters.end())
            call(character);
    }
    keep->release();
}

void ZqPInputController::apply(int action, bool pressed, CCNode* sender)
{
    m_held[action] = pressed;
    switch (action) {
    case kUp:
    case kDown:
    case kRight:
    case kLeft:
        updateCharactersDirection(CCPoint());
        break;
    case kJump:
        forEachCharacter([pressed](ZqInputCharacter* c) { pressed ? c->jump() : c->releaseJump(); });
        break;
    case kRotateLeft:
        forEachCharacter([pressed](ZqInputCharacter* c) { pressed ? c->startRotateLeft() : c->stopRotateLeft(); });
        break;
    case kRotateRight:
        forEachCharacter([pressed](ZqInputCharacter* c) { pressed ? c->startRotateRight() : c->stopRotateRight(); });
        break;
    case kShoot:
        forEachCharacter([pressed](ZqInputCharacter* c) { c->setShooting(pressed); });
        break;
    case kMotorClockwise:
    case kMotorCounterClockwise:
        applyMotors();
        break;
    default:
        break;
    }
    for (ZqInputActionObject* object : std::vector<ZqInputActionObject*>(m_actionObjects[action])) {
        if (std::find(m_actionObjects[action].begin(), m_actionObjects[action].end(), object) != m_actionObjects[action].end())
            object->setButtonActivated(pressed);
    }
    // A release reaches the subscribers as a press does: the components bound to a
    // control button hear its release through them (action 12).
    notifySubscribers(sender, action, ZqObjectModelHolder::modelIdOf(sender));
}

CCPoint ZqPInputController::heldDirection() const
{
    CCPoint sum;
    if (m_held[kUp])
        sum.y += 1.0f;
    if (m_held[kDown])
        sum.y -= 1.0f;
    if (m_held[kRight])
        sum.x += 1.0f;
    if (m_held[kLeft])
        sum.x -= 1.0f;
    return sum;
}

void ZqPInputController::addCharacter(ZqInputCharacter* character)
{
    if (!character || std::find(m_characters.begin(), m_characters.end(), character) != m_characters.end())
        return;
    m_characters.push_back(character);
    m_characterNodes->addObject(character->node());
    m_everRegistered = true;
}

void ZqPInputController::removeCharacter(ZqInputCharacter* character)
{
    auto found = std::find(m_characters.begin(), m_characters.end(), character);
    if (found == m_characters.end())
        return;
    const auto index = static_cast<unsigned>(found - m_characters.begin());
    m_characters.erase(found);
    // Last: the array's reference may be the node's last one.
    m_characterNodes->removeObjectAtIndex(index);
}

void ZqPInputController::removeAllCharacters()
{
    m_characters.clear();
    m_characterNodes->removeAllObjects();
    m_everRegistered = false;
}

CCPoint ZqPInputController::charactersCenter()
{
    CCPoint sum;
    int alive = 0;
    for (ZqInputCharacter* character : m_characters) {
        if (character->state() == zqobject::kStateDestroyed || character->state() == zqobject::kStateRemoved)
            continue;
        const CCPoint& position = character->node()->getPosition();
        sum.x += position.x;
        sum.y += position.y;
        ++alive;
    }
    if (alive > 0)
        m_lastCenter = CCPoint(sum.x / alive, sum.y / alive);
    return m_lastCenter;
}

bool ZqPInputController::hasActiveCharacters() const
{
    // Once characters were registered, an emptied list means every one died: false, so
    // that game over comes.
    if (!m_everRegistered)
        return true;
    return std::any_of(m_characters.begin(), m_characters.end(), [](const ZqInputCharacter* character) {
        return character->state() < zqobject::kStateDestroyed;
    });
}

void ZqPInputController::killAllCharacters()
{
    forEachCharacter([](ZqInputCharacter* character) {
        character->clearActivePowerups();
        character->setState(zqobject::kStateDestroyed);
    });
}

void ZqPInputController::applyJoystickToCharacters(float x, float y)
{
    forEachCharacter([x, y](ZqInputCharacter* character) { character->applyJoystick(x, y); });
}

void ZqPInputController::setCharacterAxes(float x, float y)
{
    forEachCharacter([x, y](ZqInputCharacter* character) {
        character->setAxisX(x);
        character->setAxisY(y);
    });
}

void ZqPInputController::updateCharactersDirection(const CCPoint& vector)
{
    const CCPoint held = heldDirection();
    forEachCharacter([&](ZqInputCharacter* character) {
        if (character->state() != zqobject::kStateDestroyed)
            character->setMoveDirection(held.x + vector.x, held.y + vector.y);
    });
}

void ZqPInputController::subscribe(int action, CCObject* target, cocos2d::SEL_CallFuncO handler, unsigned senderFilter)
{
    if (!isValid(action) || !target || !handler)
        return;
    m_subscriptions[action].push_back(Subscription{m_nextSerial++, target, handler, senderFilter});
}

void ZqPInputController::unsubscribe(CCObject* target)
{
    for (std::vector<Subscription>& list : m_subscriptions) {
        std::erase_if(list, [target](const Subscription& entry) { return entry.target == target; });
    }
    debugLog("action unsubscribed");
}

void ZqPInputController::notifySubscribers(CCObject* argument, int action, unsigned senderModelId)
{
    if (!isValid(action))
        return;
    const std::vector<Subscription> list = m_subscriptions[action];
    for (const Subscription& entry : list) {
        if (senderModelId != 0 && entry.senderFilter != 0 && entry.senderFilter != senderModelId)
            continue;
        // A target unsubscribed by an earlier handler may be gone.
        if (!isSubscribed(action, entry.serial))
            continue;
        (entry.target->*entry.handler)(argument);
    }
}

bool ZqPInputController::isSubscribed(int action, uint64_t serial) const
{
    const std::vector<Subscription>& list = m_subscriptions[action];
    return std::any_of(list.begin(), list.end(), [serial](const Subscription& entry) { return entry.serial == serial; });
}

std::size_t ZqPInputController::subscriptionCount(int action) const
{
    return isValid(action) ? m_subscriptions[action].size() : 0;
}

void ZqPInputController::registerActionObject(ZqInputActionObject* object, int action)
{
    if (object && isValid(action))
        m_actionObjects[action].push_back(object);
}

void ZqPInputController::unregisterActionObject(ZqInputActionObject* object)
{
    for (std::vector<ZqInputActionObject*>& list : m_actionObjects)
        std::erase(list, object);
}

void ZqPInputController::registerMotorJoint(b2RevoluteJoint* joint, float speed)
{
    if (!joint)
        return;
    forgetJoint(joint);
    m_motorJoints.push_back(MotorJoint{joint, speed});
}

void ZqPInputController::forgetJoint(b2Joint* joint)
{
    std::erase_if(m_motorJoints, [joint](const MotorJoint& entry) { return entry.joint == joint; });
}

void ZqPInputController::applyMotors()
{
    // Both held cancel out; a release leaves the other direction turning.
    const float direction = (m_held[kMotorCounterClockwise] ? 1.0f : 0.0f) - (m_held[kMotorClockwise] ? 1.0f : 0.0f);
    for (const MotorJoint& entry : m_motorJoints)
        entry.joint->SetMotorSpeed(direction * entry.speed);
}
