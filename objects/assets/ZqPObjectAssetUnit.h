#pragma once

#include "model/ZqDataTokens.h"
#include "objects/assets/ZqPObjectAsset.h"

#include <memory>
#include <string>
#include <vector>

class ZqModelAnimation;
class ZqModelObjectAssetUnit;
class ZqPAnimationObject;

// A placed unit on an obstacle asset: a platform, enemy, decoration, moving body, bullet or
// a spawner firing copies of itself. It shows the asset's idle animation while alive and its
// defeated animation once destroyed, sleeps until woken (by distance or a character's
// touch), then starts to move once: linearly at its own velocity or as a free body. A shape
// with a one-way vector is solid only from that side.
//
// Units: "Linear Velocity" of a linear unit in units of 32 points a second, "Angular
// Velocity" in 1/32 rad a second; for a physics unit both are added to the body's velocity
// at wake-up in metres and radians a second.
class ZqPObjectAssetUnit final : public ZqPObjectAsset {
public:
    // Object kinds.
    static constexpr int kKindPlatform = 1;
    static constexpr int kKindEnemy = 2;
    static constexpr int kKindDecoration = 3;
    // Wake-up modes.
    static constexpr int kWakeByDistance = 0;
    static constexpr int kWakeByOwnDistance = 1;
    static constexpr int kWakeByCollision = 2;

    // model's asset must be an obstacle asset (the factory checks it).
    explicit ZqPObjectAssetUnit(const std::shared_ptr<ZqModelObjectAssetUnit>& model);
    ~ZqPObjectAssetUnit() override;

    void update(float dt) override;
    void setVisible(bool visible) override;
    void setState(int state) override;
    cocos2d::CCRect boundingRect() const override;
    void wakeUp() override;
    void setSpawnSource(bool spawnSource) override;
    void setObjectType(int type) override;
    void setColorFactor(float factor) override;
    bool castsShadow() const override { return collisionKind() != 0; }
    // No idle animation, no body; a spawn source's fixture is a sensor.
    void createBody(ZqPhysicsWorld* world, bool lazy) override;
    void beginContact(ZqPObject* other, b2Contact* contact, bool flag) override;
    void endContact(ZqPObject* other, b2Contact* contact) override;
    void preSolve(ZqPObject* other, b2Contact* contact, const b2Manifold* oldManifold) override;
    // Fires one copy through the running field; waits while the world is locked.
    void spawn() override;
    float wakeUpDistance() const override;
    float sleepDistance() const override;
    void updateBoundingRect() override;
    bool isContactSolid() const override { return m_contactSolid; }

    // Pending moves applied by the next update: an addition, multiplication or replacement
    // of the node's x, y (points) or rotation (degrees); other operations keep the value.
    void changePositionX(float value, ZqOperation operation);
    void changePositionY(float value, ZqOperation operation);
    void changeRotation(float value, ZqOperation operation);
    // The defeated animation ran through: a destroyed unit is removed.
    void onDefeatedAnimationFinished();

    // Whether other, touching along normal (in this unit's body frame, pointing toward
    // other; zero for none), meets the solid side of the one-way shape.
    bool isSolidFrom(const ZqPObject* other, b2Vec2 normal) const;
    // Model ids of the objects passing through the one-way side.
    const std::vector<int>& passThroughIds() const { return m_passThrough; }
    ZqPAnimationObject* idleAnimation() const { return m_idle; }
    ZqPAnimationObject* defeatedAnimation() const { return m_defeated; }
    bool isStartMotionPending() const { return m_startMotionPending; }

private:
    struct PendingChange {
        float value = 0.0f;
        ZqOperation operation = kOperationNone;
    };

    std::shared_ptr<ZqModelObjectAssetUnit> unitModel() const;
    ZqPAnimationObject* makeAnimation(const std::shared_ptr<ZqModelAnimation>& animation);
    void startMotion(b2Body* body);
    // A unit of a character (its gun, say) touching another unit: the characters jointed
    // to it stand on that unit.
    bool carriesCharactersOn(const ZqPObject* other) const;
    void applyPendingChanges();

    ZqPAnimationObject* m_idle = nullptr;
    ZqPAnimationObject* m_defeated = nullptr;
    // Centred on the unit's origin.
    cocos2d::CCRect m_localBounds;
    bool m_startMotionPending = false;
    bool m_contactSolid = true;
    // A change was asked for since the last update.
    bool m_changeRequested = false;
    std::vector<int> m_passThrough;
    PendingChange m_changeX;
    PendingChange m_changeY;
    PendingChange m_changeRotation;
    ZqSoundHandle m_wakeUpSound;
};
