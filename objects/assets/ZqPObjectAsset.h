#pragma once

#include "app/ZqPInputController.h"
#include "app/ZqSound.h"
#include "model/ZqDataTokens.h"
#include "objects/ZqPObject.h"

#include <iterator>
#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

class GameplayParameters;
class ZqModelPolygon;
class ZqPObjectAsset;

// A member handler of a subscriber, called with the object that fires the event and the
// other object of a contact (null for removal).
using ZqObjectEventHandler = void (cocos2d::CCObject::*)(ZqPObject* object, ZqPObject* other);
#define zq_object_event_selector(_SELECTOR) (static_cast<ZqObjectEventHandler>(&_SELECTOR))

// A placed asset that can take part in physics: one Box2D body with one fixture from the
// model's collision shape, behaviour components from the asset's component models, its
// own linear movement, wake-up and sleep by distance, contact damage, state animations
// that switch the visible animation and the fixture by priority, adopted nodes, its own
// looping sound, and collision and removal subscriptions.
//
// Units: positions in points (20 to a metre in the world); velocity and angularSpeed in
// units of 32 points a second (angular: 1/32 rad/s); travelled in points.
class ZqPObjectAsset : public ZqPObject, public ZqInputActionObject {
public:
    // Subscription kinds.
    static constexpr int kEventRemoved = 0;
    static constexpr int kEventCollision = 1;

    // The runtime object of a placed model, decided by its exact class; null for a model
    // no runtime class plays (or whose class has not got one yet). Autoreleased.
    static ZqPObject* createAssetObject(const std::shared_ptr<ZqModel>& model);

    explicit ZqPObjectAsset(const std::shared_ptr<ZqModel>& model);
    // Tells the removal subscribers, destroys the body, then the rest.
    ~ZqPObjectAsset() override;

    void update(float dt) override;
    void setVisible(bool visible) override;
    void setState(int state) override;

    // Makes the body in world: none when a scale is 0, without a usable collision shape, or
    // (lazy) for an object that neither collides, moves nor spawns. Asked for during a step,
    // the body is made at the next update instead.
    virtual void createBody(ZqPhysicsWorld* world, bool lazy);
    // Calls the collision subscribers.
    virtual void beginContact(ZqPObject* other, b2Contact* contact, bool flag);
    virtual void endContact(ZqPObject* other, b2Contact* contact) {}
    virtual void preSolve(ZqPObject* other, b2Contact* contact, const b2Manifold* oldManifold) {}
    // The direction (x, y) at the current speed.
    virtual void setMoveDirection(float x, float y);
    virtual void spawn() {}
    virtual float wakeUpDistance() const { return 1000.0f; }
    virtual float sleepDistance() const { return 0.0f; }
    virtual void updateBoundingRect() {}
    virtual bool isContactSolid() const { return true; }
    // Priority 0 health, 1 power-up effect, 2 iso jump, 3 rotation mapper, 4 move: the
    // smallest present is shown and its shape becomes the fixture. Entries of one priority
    // keep their order. Nothing for a null node with an empty shape.
    virtual void addStateAnimation(int priority, cocos2d::CCNode* node, const std::shared_ptr<ZqModelPolygon>& shape);
    virtual void removeStateAnimation(int priority, cocos2d::CCNode* node,
                                      const std::shared_ptr<ZqModelPolygon>& shape);
    // Takes node over as a child (restarted and shown) until disowned.
    virtual void adoptObject(cocos2d::CCNode* node);
    virtual void disownObject(cocos2d::CCNode* node);
    // Whether a power-up acts on the object; characters answer it (contact damage asks).
    virtual bool hasActivePowerup() const { return false; }

    int collisionKind() const { return m_collisionKind; }
    void setCollisionKind(int kind) { m_collisionKind = kind; }
    // Whom this object's contacts destroy (applyContactDamage).
    ZqDestroyType destroyType() const { return m_destroyType; }
    void setDestroyType(ZqDestroyType type) { m_destroyType = type; }
    int objectKind() const { return m_objectKind; }
    void setObjectKind(int kind) { m_objectKind = kind; }
    int wakeUpMode() const { return m_wakeUpMode; }
    void setWakeUpMode(int mode) { m_wakeUpMode = mode; }
    int sleepMode() const { return m_sleepMode; }
    void setSleepMode(int mode) { m_sleepMode = mode; }
    const cocos2d::CCPoint& velocity() const { return m_velocity; }
    void setVelocity(float x, float y) { m_velocity = cocos2d::CCPoint(x, y); }
    float angularSpeed() const { return m_angularSpeed; }
    void setAngularSpeed(float speed) { m_angularSpeed = speed; }
    bool isLinearMovement() const { return m_linearMovement; }
    void setLinearMovement(bool linear) { m_linearMovement = linear; }
    bool isStopped() const { return m_stopped; }
    float travelled() const { return m_travelled; }
    bool isPlaced() const { return m_placed; }
    void setPlaced(bool placed) { m_placed = placed; }
    int creationIndex() const { return m_creationIndex; }
    void setCreationIndex(int index) { m_creationIndex = index; }
    bool isButtonActivated() const { return m_buttonActivated; }
    // Held and let go by an input action bound to the object; also zeroes the activation
    // timer when resetTimerOnPress is set.
    void setButtonActivated(bool activated) override;
    float activationTimer() const { return m_activationTimer; }
    void setActivationTimer(float seconds) { m_activationTimer = seconds; }
    void setResetTimerOnPress(bool reset) { m_resetTimerOnPress = reset; }
    void requestDestroy() { m_destroyRequested = true; }
    bool isDestroyRequested() const { return m_destroyRequested; }
    // For subclasses that carry the request out in their own update (characters).
    void clearDestroyRequest() { m_destroyRequested = false; }
    // Whether a body was asked for during a step and waits for the next update.
    bool isBodyPending() const { return m_body.deferredWorld() != nullptr; }

    // The node of the shown state animation; null when none.
    cocos2d::CCNode* currentStateAnimation() const;
    int currentStateAnimationPriority() const;
    // The collision shape of the shown state animation; empty when none.
    std::shared_ptr<ZqModelPolygon> currentStateAnimationShape() const;
    bool isAdopted(cocos2d::CCNode* node) const { return m_adoptedNodes.count(node) > 0; }
    const std::unordered_set<cocos2d::CCNode*>& adoptedNodes() const { return m_adoptedNodes; }
    // The object's own looping sound; null when the model has none.
    ZqSound* ownSound() const { return m_ownSound.get(); }

    // Appends a subscription; target is not retained and must unsubscribe before it goes.
    void addEventSubscription(int kind, cocos2d::CCObject* target, ZqObjectEventHandler handler);
    // Removes the first subscription of target, whatever its kind.
    void removeEventSubscription(cocos2d::CCObject* target);

    // Damage of attacker's contact with victim, by the attacker's destroy type: to the
    // victim's health component, else the victim is asked to be destroyed.
    static void applyContactDamage(ZqPObjectAsset* attacker, ZqPObjectAsset* victim);

    // The position in the reference node's space.
    cocos2d::CCPoint referencePosition() const;
    // local (a rectangle about the origin) moved to referencePosition.
    cocos2d::CCRect boundsAtReferencePosition(const cocos2d::CCRect& local) const;
    // A rectangle of size at the object's scale (its magnitude), centred on the origin.
    cocos2d::CCRect centredBounds(const cocos2d::CCSize& size) const;
    // Distance from the live characters' centre along the gameplay direction; negative
    // behind it.
    float distanceAlongGameDirection() const;
    // Distance from the window's centre in the reference node's space; 0 without one.
    float distanceFromScreenCentre() const;
    // The own sound's volume falls from 1 at the screen centre to 0 at half the window
    // width plus 300 points.
    void updateSoundVolume(float dt);
    // The collision filter of every character fixture: characters collide with the field's
    // default category only, never with each other.
    static b2Filter characterFilter();
    // The fixture definition of shape at the object's scale for this object (a character's
    // is no sensor and takes characterFilter).
    ZqFixtureDefinition shapeFixture(const ZqModelPolygon& shape) const;

protected:
    // The fixture from the model's collision shape with the default friction, restitution
    // and density; replaces the current one. Nothing without a body or shape.
    void rebuildDefaultFixture();

    GameplayParameters* m_parameters;

private:
    struct StateAnimation {
        cocos2d::CCNode* node;
        std::shared_ptr<ZqModelPolygon> shape;
    };
    using StateAnimationTable = std::multimap<int, StateAnimation>;
    struct Subscription {
        int kind;
        cocos2d::CCObject* target;
        ZqObjectEventHandler handler;
        // Tells an entry apart from one added later for the same target.
        unsigned serial;
    };

    void makeCurrent(StateAnimationTable::iterator entry);
    void callSubscribers(int kind, ZqPObject* other);

    int m_collisionKind = 0;
    ZqDestroyType m_destroyType = kDestroyNo;
    int m_wakeUpMode = 0;
    int m_sleepMode = 0;
    float m_angularSpeed = 0.0f;
    cocos2d::CCPoint m_velocity;
    bool m_linearMovement = false;
    bool m_stopped = false;
    float m_travelled = 0.0f;
    bool m_placed = false;
    bool m_buttonActivated = false;
    float m_activationTimer = 0.0f;
    bool m_resetTimerOnPress = true;
    int m_creationIndex = 0;
    int m_objectKind = 0;
    bool m_destroyRequested = false;
    // The lazy flag of a body asked for during a step, made at the next update.
    bool m_pendingLazy = false;
    // What every update reads comes before the tables: an object's update then touches
    // fewer cache lines.
    ZqSoundHandle m_ownSound;
    // m_stateAnimations.end() while no state animation shows; set in the constructor.
    StateAnimationTable::iterator m_currentAnimation;
    // Nodes retained while in the table.
    StateAnimationTable m_stateAnimations;
    std::unordered_set<cocos2d::CCNode*> m_adoptedNodes;
    std::vector<Subscription> m_subscriptions;
    unsigned m_subscriptionSerial = 0;
};
