#pragma once

#include "app/ZqObjectStates.h"
#include "cocos2d.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class b2Joint;
class b2RevoluteJoint;

// What the input controller asks of a character on the game field. The character node
// implements it beside its node class; node() answers that node.
class ZqInputCharacter {
public:
    virtual ~ZqInputCharacter() = default;

    virtual cocos2d::CCNode* node() = 0;
    // Object state: a zqobject::State.
    virtual int state() const = 0;
    virtual void setState(int state) = 0;

    virtual void setMoveDirection(float x, float y) = 0;
    virtual void applyJoystick(float x, float y) = 0;
    // A pad stick's axes, each in [-1, 1], y up.
    virtual void setAxisX(float value) = 0;
    virtual void setAxisY(float value) = 0;
    virtual void jump() = 0;
    virtual void releaseJump() = 0;
    virtual void startRotateLeft() = 0;
    virtual void stopRotateLeft() = 0;
    virtual void startRotateRight() = 0;
    virtual void stopRotateRight() = 0;
    virtual void setShooting(bool shooting) = 0;
    virtual void clearActivePowerups() = 0;
};

// An object that follows an action as a button: activated while the action is held.
class ZqInputActionObject {
public:
    virtual ~ZqInputActionObject() = default;
    virtual void setButtonActivated(bool activated) = 0;
};

// Who holds an action on an input device: a keyboard key, a pad button or a pad hat
// direction, with the device's code.
struct ZqInputHolder {
    enum Device : int { kKeyboard, kPadButton, kPadHat };
    int device = kKeyboard;
    int code = 0;
    bool operator==(const ZqInputHolder&) const = default;
};

// The process-wide dispatcher of the game actions: 1 up, 2 down, 3 right, 4 left, 5 jump,
// 6 rotate left, 7 rotate right, 8 shoot, 9 motor clockwise, 10 motor counter-clockwise;
// 11 and 12 (a control pressed and released) and 13 to 16 (swipes) reach only their
// subscribers.
//
// A press starts an action: the held directions are summed (up (0, 1), down (0, -1),
// right (1, 0), left (-1, 0)) and given to the characters, jump, rotation and shooting
// go to the characters, motors to the registered motor joints, action objects are
// activated, and the action's subscribers are notified with the sender node. A release
// ends it the same way. Actions start only while the controller is enabled; they end
// whenever asked. Main thread only.
class ZqPInputController : public cocos2d::CCObject {
public:
    enum Action : int {
        kUp = 1, kDown, kRight, kLeft, kJump, kRotateLeft, kRotateRight, kShoot, kMotorClockwise,
        kMotorCounterClockwise, kControlPressed, kControlReleased, kSwipeLeft, kSwipeRight, kSwipeUp,
        kSwipeDown, kActionCount
    };

    // The instance; never null.
    static ZqPInputController* shared();
    // The instance when one exists: for objects letting go at shutdown, after a purge.
    static ZqPInputController* existing();
    // Drops the instance and everything registered with it (tests, shutdown).
    static void purgeShared();
    // Every subscription of target, when the instance exists: subscribers going after a
    // shutdown must not make a new one.
    static void unsubscribeFromShared(cocos2d::CCObject* target);

    ~ZqPInputController() override;

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // From on-screen buttons and game logic: acts at once. The sender (null for none) is
    // the node passed to subscribers; its model id (through its ZqObjectModelHolder) is
    // matched against their sender filters. An end clears every holder of the action, so
    // actionEnd(kShoot, nullptr) at a character's death stops shooting whoever holds it.
    void actionBegin(int action, cocos2d::CCNode* sender);
    void actionEnd(int action, cocos2d::CCNode* sender);

    // From input devices: the action begins with its first holder and ends when the last
    // one lets go; a second press by the same holder (a key repeat) changes nothing.
    void holdBegin(int action, ZqInputHolder holder);
    void holdEnd(int action, ZqInputHolder holder);
    // Ends every held action once, whoever holds it (focus lost, a pad unplugged).
    void releaseAll();
    bool isHeld(int action) const;

    // Characters, in registration order. The array holds their nodes (retained).
    void addCharacter(ZqInputCharacter* character);
    void removeCharacter(ZqInputCharacter* character);
    // Forgets every character; hasActiveCharacters is then true again, as before any was
    // registered (a new game field).
    void removeAllCharacters();
    cocos2d::CCArray* characters() const { return m_characterNodes; }
    const std::vector<ZqInputCharacter*>& characterList() const { return m_characters; }
    // The average position of the characters not dying or removed; the last such centre
    // when there is none ((0, 0) at first).
    cocos2d::CCPoint charactersCenter();
    // True before any character was registered; afterwards, while any registered
    // character is in a state below zqobject::kStateDestroyed.
    bool hasActiveCharacters() const;
    // Every character loses its power-ups and dies (zqobject::kStateDestroyed).
    void killAllCharacters();
    // An on-screen joystick's step: added to each character's direction.
    void applyJoystickToCharacters(float x, float y);
    // A pad stick's position (each axis in [-1, 1], y up): each character's axes become it,
    // so that a stick back at the centre stops the push.
    void setCharacterAxes(float x, float y);
    // Gives every character not dying the held directions plus vector.
    void updateCharactersDirection(const cocos2d::CCPoint& vector);

    // Subscribers: handler is called on target with the sender node. senderFilter is a
    // model id (0: any sender). A notification walks a copy of the list, so handlers may
    // subscribe and unsubscribe; one unsubscribed during the walk is not called.
    void subscribe(int action, cocos2d::CCObject* target, cocos2d::SEL_CallFuncO handler, unsigned senderFilter);
    // Every subscription of target, in every action.
    void unsubscribe(cocos2d::CCObject* target);
    // Calls the action's subscribers whose filter is 0 or equals senderModelId, or all of
    // them when senderModelId is 0.
    void notifySubscribers(cocos2d::CCObject* argument, int action, unsigned senderModelId);
    std::size_t subscriptionCount(int action) const;

    // Objects activated while an action is held (not retained: their owner unregisters
    // them before it goes).
    void registerActionObject(ZqInputActionObject* object, int action);
    void unregisterActionObject(ZqInputActionObject* object);

    // Revolute joints that the motor actions turn: at -speed (radians per second) under
    // kMotorClockwise (node rotations are clockwise-positive, Box2D's counter-clockwise),
    // at +speed under kMotorCounterClockwise, at 0 when neither is held. Not owned.
    void registerMotorJoint(b2RevoluteJoint* joint, float speed);
    // Forgets a joint; the game field's destruction listener calls it for every joint
    // Box2D destroys with a body, and the field for its joints before its world goes.
    void forgetJoint(b2Joint* joint);
    std::size_t motorJointCount() const { return m_motorJoints.size(); }

private:
    struct Subscription {
        uint64_t serial;
        cocos2d::CCObject* target;
        cocos2d::SEL_CallFuncO handler;
        unsigned senderFilter;
    };
    struct MotorJoint {
        b2RevoluteJoint* joint;
        float speed;
    };

    ZqPInputController();

    static bool isValid(int action) { return action > 0 && action < kActionCount; }
    void apply(int action, bool pressed, cocos2d::CCNode* sender);
    void forEachCharacter(const std::function<void(ZqInputCharacter*)>& call);
    cocos2d::CCPoint heldDirection() const;
    void applyMotors();
    bool isSubscribed(int action, uint64_t serial) const;

    bool m_enabled = true;
    std::array<bool, kActionCount> m_held{};
    std::array<std::vector<ZqInputHolder>, kActionCount> m_holders;
    std::array<std::vector<Subscription>, kActionCount> m_subscriptions;
    std::array<std::vector<ZqInputActionObject*>, kActionCount> m_actionObjects;
    uint64_t m_nextSerial = 1;

    cocos2d::CCArray* m_characterNodes = nullptr;
    std::vector<ZqInputCharacter*> m_characters;
    bool m_everRegistered = false;
    cocos2d::CCPoint m_lastCenter;

    std::vector<MotorJoint> m_motorJoints;
};
