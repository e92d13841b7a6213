#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeSprite.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelObject.h"
#include "cocos2d.h"

#include <memory>
#include <string>

class ZqModelAnimation;
class ZqModelComponentSpawner;
class ZqModelComponentWakeup;
class ZqModelSound;
class ZqModelSpriteContainer;

// Units (platforms, decorations, enemies, bullets) with their obstacle asset, and the
// scrolling background.

#define ZQ_MODEL_ASSET_OBSTACLE_ATTRIBUTES(A, V)                                                   \
    V(ZqAttributeAnimation, m_idleAnimation,     "Idle Animation",     nullptr)                    \
    V(ZqAttributeAnimation, m_defeatedAnimation, "Defeated Animation", nullptr)                    \
    V(ZqAttributeSound,     m_idleSound,         "Idle Sound",         nullptr)                    \
    V(ZqAttributeSound,     m_deathSound,        "Death Sound",        nullptr)                    \
    V(ZqAttributeSound,     m_wakeUpSound,       "WakeUp Sound",       nullptr)

// The asset of a unit: how it looks and sounds. Each getter answers empty when unset.
class ZqBaseModelAssetObstacle : public ZqModelAsset {
public:
    explicit ZqBaseModelAssetObstacle(const std::string& name);
    ZqBaseModelAssetObstacle(const ZqBaseModelAssetObstacle& source);

    // The container "Idle Animation" was made from.
    std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const override;
    // "Idle Animation" refers to animation (a character's bullet animation for its gun).
    void setIdleAnimation(const std::shared_ptr<ZqModelAnimation>& animation);

    std::shared_ptr<ZqModelAnimation> idleAnimation() const;
    std::shared_ptr<ZqModelAnimation> defeatedAnimation() const;
    std::shared_ptr<ZqModelSound> idleSound() const;
    std::shared_ptr<ZqModelSound> deathSound() const;
    std::shared_ptr<ZqModelSound> wakeUpSound() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_ASSET_OBSTACLE_ATTRIBUTES)
};

class ZqModelAssetObstacle : public ZqBaseModelAssetObstacle {
public:
    using ZqBaseModelAssetObstacle::ZqBaseModelAssetObstacle;
    ZQ_MODEL_IDENTITY(ZqModelAssetObstacle, ZqModelAsset)
    ZQ_MODEL_FACTORY(ZqModelAssetObstacle)
};

// Tokens: "Object Type" kPlatformObjectType, kDecorationObjectType, kEnemyObjectType,
// kPhysicsObjectType, kBulletObjectType, kBulletCharacterObjectType, kWheelObjectType;
// "Movement Type" kMovementLinear, kMovementPhysics; "Collision Type" kNoCollision,
// kCharacterCollision; "Destroy Type" kDestroyNo, kDestroyCollision,
// kDestroyEnemyCollision, kDestroyAllCollision. For "kMovementLinear", "Linear Velocity" is
// in units of 32 points a second and "Angular Velocity" in units of 1/32 rad a second; for
// "kMovementPhysics" both are added to the body's velocity at wake-up, in metres and
// radians a second.
#define ZQ_MODEL_OBJECT_ASSET_UNIT_ATTRIBUTES(A, V)                                                \
    V(ZqAttributeObjectType, m_objectType,      "Object Type",      "")                            \
    V(ZqAttributeMovementType, m_movementType,  "Movement Type",    "")                            \
    V(ZqAttributeCollisionType, m_collisionType, "Collision Type",  "")                            \
    V(ZqAttributeDestroyType, m_destroyType,    "Destroy Type",     "")                            \
    V(ZqAttributePoint,      m_linearVelocity,  "Linear Velocity",  cocos2d::CCPoint())            \
    V(ZqAttributeFloat,      m_angularVelocity, "Angular Velocity", 0.0f)

// A placed unit. Its spawner and wake-up settings are component children; the getters
// that read them answer the "absent" values when the unit has none.
class ZqBaseModelObjectAssetUnit : public ZqModelObjectAsset {
public:
    explicit ZqBaseModelObjectAssetUnit(const std::string& name);
    ZqBaseModelObjectAssetUnit(const ZqBaseModelObjectAssetUnit& source);

    // Whether a spawner component is a child.
    bool hasSpawner() const override;
    // Seconds to the next spawn: a fresh draw of the spawner's "Spawn Rate" +- its spread;
    // 1.0 without a spawner.
    float spawnRate() const override;
    // The obstacle asset's "Idle Sound"; empty without one.
    std::shared_ptr<ZqModelSound> idleSound() const override;

    // The asset when it is exactly an obstacle asset, else empty.
    std::shared_ptr<ZqModelAssetObstacle> assetObstacle() const;
    // The first spawner / wake-up child, else empty.
    std::shared_ptr<ZqModelComponentSpawner> spawner() const;
    std::shared_ptr<ZqModelComponentWakeup> wakeup() const;

    // kSpawnActionOther without a spawner.
    ZqSpawnAction spawnAction() const;
    // kNoWakeup and kNoSleep without a wake-up component.
    ZqWakeUpType wakeUpType() const;
    ZqSleepType sleepType() const;
    // Points; 0 without a wake-up component.
    float wakeupDistance() const;
    float sleepDistance() const;

    ZqObjectType objectType() const { return m_objectType->code(); }
    ZqMovementType movementType() const { return m_movementType->code(); }
    ZqCollisionType collisionType() const { return m_collisionType->code(); }
    ZqDestroyType destroyType() const { return m_destroyType->code(); }
    const cocos2d::CCPoint& linearVelocity() const { return m_linearVelocity->value(); }
    const cocos2d::CCPoint& linearVelocityVariance() const { return m_linearVelocity->variableValue(); }
    float angularVelocity() const { return m_angularVelocity->value(); }
    float angularVelocityVariance() const { return m_angularVelocity->variableValue(); }

    // Set-up of units made at run time (bullets).
    void setLinearVelocity(const cocos2d::CCPoint& velocity) { m_linearVelocity->setValue(velocity); }
    void setMovementType(const std::string& type) { m_movementType->setValue(type); }
    void setCollisionType(const std::string& type) { m_collisionType->setValue(type); }
    void setDestroyType(const std::string& type) { m_destroyType->setValue(type); }
    // Enabling adds a new spawner child when there is none; disabling removes the spawners.
    void setSpawnerEnabled(bool enabled);
    // Set on the spawner; nothing without one.
    void setSpawnAction(const std::string& action);
    void setSpawnRate(float seconds);

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_ASSET_UNIT_ATTRIBUTES)
};

class ZqModelObjectAssetUnit : public ZqBaseModelObjectAssetUnit {
public:
    using ZqBaseModelObjectAssetUnit::ZqBaseModelObjectAssetUnit;
    ZQ_MODEL_IDENTITY(ZqModelObjectAssetUnit, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectAssetUnit)
};

// "Speed" is the scroll speed relative to the field's; "Tiling Offset" in points.
#define ZQ_MODEL_OBJECT_BACKGROUND_ATTRIBUTES(A, V)                                                \
    V(ZqAttributeSprite, m_image,         "Image",          nullptr)                               \
    V(ZqAttributeFloat,  m_speed,         "Speed",          0.0f)                                  \
    V(ZqAttributeFloat,  m_tilingOffset,  "Tiling Offset",  0.0f)                                  \
    V(ZqAttributeBool,   m_fixedRotation, "Fixed Rotation", false)

// A tiled picture scrolling behind the game field.
class ZqModelObjectBackground : public ZqModelObject {
public:
    explicit ZqModelObjectBackground(const std::string& name);
    ZqModelObjectBackground(const ZqModelObjectBackground& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectBackground, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectBackground)

    // The container of "Image"; empty when unset.
    std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const override;
    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }

    float speed() const { return m_speed->value(); }
    float tilingOffset() const { return m_tilingOffset->value(); }
    bool isFixedRotation() const { return m_fixedRotation->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_BACKGROUND_ATTRIBUTES)
};
