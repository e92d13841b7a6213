#pragma once

#include "app/ZqPInputController.h"
#include "app/ZqSound.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPhysicsBody.h"

#include <box2d/box2d.h>

#include <memory>
#include <unordered_set>
#include <vector>

class ZqModelAssetCharacter;
class ZqModelObjectAssetCharacter;
class ZqPAnimationObject;
class ZqPObjectAssetPowerup;

// The player character: a physical asset object with a dynamic body, driven by the input
// controller's game actions, the on-screen joystick, the gamepad axes and the tilt. Its
// update turns the inputs and the gameplay parameters into body velocities or, in direct
// mode, into the target of a mouse joint; two ray casts below its feet test for ground.
// It shows one of its default, move, jump, shooting and defeated animations by state.
//
// States: zqobject::State, from kStateNormal (idle) to kStateRemoved. A dead character
// refuses every state but kStateRemoved, and one with active power-ups refuses to die.
class ZqPObjectAssetCharacter : public ZqPObjectAsset, public ZqInputCharacter {
public:
    // Control bits.
    enum : int {
        kJumpHeld = 1,
        kMoving = 2,
        kRotateLeft = 4,
        kRotateRight = 8,
        kOnGround = 16,
        kShooting = 32,
        kBouncePending = 64,
    };

    // Loads the asset's gameplay settings into GameplayParameters::shared() and builds the
    // animations. The model is the character's own (the factory gives each a copy).
    explicit ZqPObjectAssetCharacter(const std::shared_ptr<ZqModelObjectAssetCharacter>& model);
    ~ZqPObjectAssetCharacter() override;

    // The model; never empty (the factory makes characters of character models only).
    std::shared_ptr<ZqModelObjectAssetCharacter> characterModel() const;
    // The character asset of the model; empty when it is not one.
    std::shared_ptr<ZqModelAssetCharacter> characterAsset() const;

    // The factory's rule for a placed character model: built on a copy of the model
    // re-pointed at the selected character's asset (or, with the selection past the list
    // of character assets, on the model itself), registered with the input controller.
    // Null when the asset has no usable shape at the model's scale. Autoreleased.
    static ZqPObject* createForModel(const std::shared_ptr<ZqModel>& model);

    // Every character the input controller holds, in registration order.
    static std::vector<ZqPObjectAssetCharacter*> registeredCharacters();

    // ZqPObject and ZqPObjectAsset.
    void update(float dt) override;
    void setVisible(bool visible) override;
    void draw() override {}
    void setState(int state) override;
    b2AABB fixtureBounds() const override;
    bool castsShadow() const override;
    void setMovementActive(bool active) override;
    void createBody(ZqPhysicsWorld* world, bool lazy) override;
    void beginContact(ZqPObject* other, b2Contact* contact, bool fromListener) override;
    void preSolve(ZqPObject* other, b2Contact* contact, const b2Manifold* oldManifold) override;
    void setMoveDirection(float x, float y) override;
    // 100 while a power-up acts on the character, else 0.
    virtual float powerupStrength() const;

    // ZqInputCharacter.
    cocos2d::CCNode* node() override { return this; }
    int state() const override { return ZqPObject::state(); }
    void jump() override;
    void releaseJump() override;
    void startRotateLeft() override { m_controlBits |= kRotateLeft; }
    void stopRotateLeft() override { m_controlBits &= ~kRotateLeft; }
    void startRotateRight() override { m_controlBits |= kRotateRight; }
    void stopRotateRight() override { m_controlBits &= ~kRotateRight; }
    void setShooting(bool shooting) override;
    // Direct mode: moves the direct position by moveSpeed times (x, y). Body mode: the move
    // direction becomes moveSpeed times (x, y) plus the analog axes.
    void applyJoystick(float x, float y) override;
    void clearActivePowerups() override { m_activePowerups.clear(); }

    // Gamepad axes, each in [-1, 1]; kept only while the movement is active, but for the
    // centre, which is always kept.
    void setAxisX(float value) override;
    void setAxisY(float value) override;
    // Direct mode: a joystick step; body mode: the body's velocity (metres per second).
    void setBodyVelocity(float x, float y);
    // Moves the body to (x, y) points, keeping its angle; bodies jointed to it move along.
    void teleportTo(float x, float y);
    // Points in the field's space: where direct movement pulls the body.
    void setDirectPosition(const cocos2d::CCPoint& position) { m_directPosition = position; }
    const cocos2d::CCPoint& directPosition() const { return m_directPosition; }
    bool usesDirectMovement() const;
    // Scales the lean forces (the tilt control sets it).
    void setRotationFactor(float factor) { m_rotationFactor = factor; }
    float rotationFactor() const { return m_rotationFactor; }

    void addActivePowerup(ZqPObjectAssetPowerup* powerup) { m_activePowerups.insert(powerup); }
    void removeActivePowerup(ZqPObjectAssetPowerup* powerup) { m_activePowerups.erase(powerup); }
    bool hasActivePowerup() const override { return !m_activePowerups.empty(); }

    // Landing (true) sets the jump count back, plays the ground sound and starts a bounce.
    void setOnGround(bool onGround);
    // Logs the end and removes the character (state 5).
    void deathAnimationDidEnd();

    int controlBits() const { return m_controlBits; }
    int jumpCount() const { return m_jumpCount; }
    const cocos2d::CCPoint& analogAxes() const { return m_analog; }
    b2MouseJoint* mouseJoint() const { return m_mouseJoint; }
    ZqPAnimationObject* defaultAnimation() const { return m_defaultAnimation; }
    ZqPAnimationObject* shootingAnimation() const { return m_shootingAnimation; }
    ZqPAnimationObject* jumpAnimation() const { return m_jumpAnimation; }
    ZqPAnimationObject* moveAnimation() const { return m_moveAnimation; }
    ZqPAnimationObject* defeatedAnimation() const { return m_defeatedAnimation; }

private:
    void buildAnimations();
    void onJumpAnimationFinished();
    void groundTest();
    void updateRotation(b2Body* body);
    void updateDirectMovement(b2Body* body, float dt);
    void updateBodyMovement(b2Body* body);
    void startDefeatFall(b2Body* body);
    void rebuildMirroredFixture();
    void die();
    // The gun: a spawner unit, a child of the character, firing the asset's "Bullet
    // Animation" while the shoot action is held. Made once, with the first body.
    void buildGun(ZqPhysicsWorld* world);
    // Direct mode: the mouse joint pulling body from the anchor body toward the direct
    // position.
    void attachMouseJoint(ZqPhysicsWorld& world, b2Body* body);
    // The animation the current state shows, or null for none.
    ZqPAnimationObject* chosenAnimation() const;

    float m_rotationFactor = 1.0f;
    ZqPAnimationObject* m_defaultAnimation = nullptr;   // retained
    ZqPAnimationObject* m_shootingAnimation = nullptr;  // retained
    ZqPAnimationObject* m_jumpAnimation = nullptr;      // retained
    ZqPAnimationObject* m_defeatedAnimation = nullptr;  // a child only, made at death
    ZqPAnimationObject* m_moveAnimation = nullptr;      // retained
    cocos2d::CCPoint m_directPosition;
    b2MouseJoint* m_mouseJoint = nullptr;
    // The static body the mouse joint pulls from; destroyed with the character.
    ZqPhysicsBody m_anchorBody;
    cocos2d::CCPoint m_analog;
    cocos2d::CCPoint m_velocityAdd;
    int m_controlBits = 0;
    float m_jumpTimer = 0.0f;
    int m_jumpCount = 0;
    cocos2d::CCPoint m_lastBounceForce;
    float m_autoTiltAngle = 0.0f;
    bool m_defeatFallPending = false;
    std::unordered_set<ZqPObjectAssetPowerup*> m_activePowerups;
    b2WorldManifold m_worldManifold{};
    ZqSoundHandle m_shootSound;
    bool m_gunBuilt = false;
};
