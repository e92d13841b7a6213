#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelComponents.h"
#include "cocos2d.h"

#include <cfloat>
#include <memory>
#include <string>

// Behaviour components: models a scene, character, asset or unit holds as children; the
// runtime builds a behaviour from each. Tokens ("kEventButton", ...) are kept as texts;
// the readers compare them exactly and treat any other text as their "else" case.
// Defaults no data ever states are chosen to change nothing (neutral factors, empty
// velocities, a damage of 1 as dealt without a component).

// "Affected asset": a text holding an integer (-1 any, -2 character, -3 unit, or an asset
// id); 0 when it does not start with a number.
int zqAffectedAssetId(const std::string& text);

#define ZQ_COMPONENT_FORCED_MOVEMENT_ATTRIBUTES(A, V)                                              \
    A(ZqAttributeFloat, m_froceMin,      "Froce Min",      3.0f,  -FLT_MAX, FLT_MAX)               \
    A(ZqAttributeFloat, m_forceMax,      "Force Max",      10.0f, -FLT_MAX, FLT_MAX)               \
    A(ZqAttributeFloat, m_forceIncrease, "Force Increase", 0.1f,  -FLT_MAX, FLT_MAX)

// The game speed of a scene that holds it: minimum, maximum and increase per second, in
// place of the scene's own values.
class ZqModelComponentForcedMovement : public ZqModelComponent {
public:
    explicit ZqModelComponentForcedMovement(const std::string& name);
    ZqModelComponentForcedMovement(const ZqModelComponentForcedMovement& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentForcedMovement, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentForcedMovement)

    float forceMin() const { return m_froceMin->value(); }
    float forceMax() const { return m_forceMax->value(); }
    float forceIncrease() const { return m_forceIncrease->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_FORCED_MOVEMENT_ATTRIBUTES)
};

#define ZQ_COMPONENT_DELETION_THRESHOLD_ATTRIBUTES(A, V)                                           \
    V(ZqAttributeFloat, m_backThreshold,  "Back Deletion Threshold",  300.0f)                      \
    V(ZqAttributeFloat, m_sidesThreshold, "Sides Deletion Threshold", 550.0f)

// How far (points) behind and beside the visible area a scene's objects are removed, in
// place of the scene's own thresholds.
class ZqModelComponentDeletionThreshold : public ZqModelComponent {
public:
    explicit ZqModelComponentDeletionThreshold(const std::string& name);
    ZqModelComponentDeletionThreshold(const ZqModelComponentDeletionThreshold& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentDeletionThreshold, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentDeletionThreshold)

    float backDeletionThreshold() const { return m_backThreshold->value(); }
    float sidesDeletionThreshold() const { return m_sidesThreshold->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_DELETION_THRESHOLD_ATTRIBUTES)
};

// "Spawn Action": kPermanentSpawning, kShootingSpawning, kJumpingSpawning,
// kNonResetShootingSpawning. "Spawn Rate": seconds between spawns, with a spread.
#define ZQ_COMPONENT_SPAWNER_ATTRIBUTES(A, V)                                                      \
    V(ZqAttributeSpawnAction, m_spawnAction, "Spawn Action", "kPermanentSpawning")                 \
    V(ZqAttributeFloat,      m_spawnRate,   "Spawn Rate",   1.0f)

// Makes the unit that holds it a spawn source.
class ZqModelComponentSpawner : public ZqModelComponent {
public:
    explicit ZqModelComponentSpawner(const std::string& name);
    ZqModelComponentSpawner(const ZqModelComponentSpawner& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentSpawner, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentSpawner)

    ZqSpawnAction spawnAction() const { return m_spawnAction->code(); }
    // A fresh draw of "Spawn Rate" +- its spread: value + (2r - 1) * spread, r = zqRandUnit().
    float spawnInterval() const { return m_spawnRate->randomValue(); }
    void setSpawnAction(const std::string& action) { m_spawnAction->setValue(action); }
    void setSpawnRate(float seconds) { m_spawnRate->setValue(seconds); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_SPAWNER_ATTRIBUTES)
};

// "Wake Up": kNoWakeup, kTimeBasedWakeup, kCollisionBasedWakeup. "Sleep": kNoSleep,
// kDistanceBasedSleep. Distances in points.
#define ZQ_COMPONENT_WAKEUP_ATTRIBUTES(A, V)                                                       \
    V(ZqAttributeWakeUpType, m_wakeUp,          "Wake Up",          "kNoWakeup")                   \
    V(ZqAttributeSleepType,  m_sleep,           "Sleep",            "kNoSleep")                    \
    V(ZqAttributeFloat,      m_wakeupDistance,  "Wakeup Distance",  0.0f)                          \
    V(ZqAttributeFloat,      m_sleepDistance,   "Sleep Distance",   0.0f)

// When the unit that holds it starts acting and when it stops again.
class ZqModelComponentWakeup : public ZqModelComponent {
public:
    explicit ZqModelComponentWakeup(const std::string& name);
    ZqModelComponentWakeup(const ZqModelComponentWakeup& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentWakeup, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentWakeup)

    ZqWakeUpType wakeUp() const { return m_wakeUp->code(); }
    ZqSleepType sleep() const { return m_sleep->code(); }
    float wakeupDistance() const { return m_wakeupDistance->value(); }
    float sleepDistance() const { return m_sleepDistance->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_WAKEUP_ATTRIBUTES)
};

#define ZQ_COMPONENT_DAMAGE_ATTRIBUTES(A, V)                                                       \
    V(ZqAttributeFloat, m_damage,      "Damage",       1.0f)                                       \
    V(ZqAttributeFloat, m_damageDelay, "Damage delay", 0.0f)

// The damage an asset deals on contact and the delay (seconds) before it counts.
class ZqModelComponentDamage : public ZqModelComponent {
public:
    explicit ZqModelComponentDamage(const std::string& name);
    ZqModelComponentDamage(const ZqModelComponentDamage& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentDamage, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentDamage)

    // "Damage" truncated toward zero (saturating).
    int damage() const;
    float damageDelay() const { return m_damageDelay->value(); }
    void setDamage(int damage) { m_damage->setValue(static_cast<float>(damage)); }
    void setDamageDelay(float seconds) { m_damageDelay->setValue(seconds); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_DAMAGE_ATTRIBUTES)
};

// The character's own gameplay values. They are in the units of the gameplay parameters,
// which copy them unchanged; each default is the general settings' default of the same
// value, so a component left as made changes nothing.
#define ZQ_COMPONENT_GAMEPLAY_SETTINGS_ATTRIBUTES(A, V)                                                          \
    V(ZqAttributePoint, m_maxSpeed,         "Max Speed",         ZqGeneralPhysicsDefaults{}.moveSpeed)           \
    V(ZqAttributePoint, m_bounceForce,      "Bounce Force",      ZqGeneralPhysicsDefaults{}.bounceForce)         \
    V(ZqAttributePoint, m_jumpForce,        "Jump Force",        ZqGeneralPhysicsDefaults{}.jump)                \
    V(ZqAttributePoint, m_airDrag,          "Air Drag",          ZqGeneralPhysicsDefaults{}.characterFriction)   \
    V(ZqAttributeFloat, m_jumpTimeout,      "Jump Timeout",      ZqGeneralPhysicsDefaults{}.jumpTimeout)         \
    V(ZqAttributeFloat, m_jumpCounter,      "Jump Counter",      ZqGeneralPhysicsDefaults{}.jumpCounter)         \
    V(ZqAttributeFloat, m_groundThreshold,  "Ground Threshold",  ZqGeneralPhysicsDefaults{}.jumpGroundThreshold) \
    V(ZqAttributeFloat, m_leftLeanForce,    "Left Lean Force",   ZqGeneralPhysicsDefaults{}.leftLeanForce)       \
    V(ZqAttributeFloat, m_rightLeanForce,   "Right Lean Force",  ZqGeneralPhysicsDefaults{}.rightLeanForce)      \
    V(ZqAttributeFloat, m_platformFriction, "Platform Friction", ZqGeneralPhysicsDefaults{}.platformFriction)    \
    V(ZqAttributeFloat, m_rotationDrag,     "Rotation Drag",     ZqGeneralPhysicsDefaults{}.rotationScale)       \
    V(ZqAttributeBool,  m_jumpFromGround,   "Jump From Ground",  ZqGeneralPhysicsDefaults{}.jumpFromGround)      \
    V(ZqAttributeBool,  m_directMovement,   "Direct Movement",   ZqGeneralPhysicsDefaults{}.fixedPosition)       \
    V(ZqAttributeBool,  m_forcedMovement,   "Forced Movement",   ZqGeneralPhysicsDefaults{}.forcedMovement)      \
    V(ZqAttributeBool,  m_fixedRotation,    "Fixed Rotation",    ZqGeneralPhysicsDefaults{}.fixedRotation)       \
    V(ZqAttributeBool,  m_imageDirection,   "Image Direction",   ZqGeneralPhysicsDefaults{}.autoImageDirection)

class ZqBaseModelComponentCharacterGameplaySettings : public ZqModelComponent {
public:
    explicit ZqBaseModelComponentCharacterGameplaySettings(const std::string& name);
    ZqBaseModelComponentCharacterGameplaySettings(const ZqBaseModelComponentCharacterGameplaySettings& source);

    const cocos2d::CCPoint& maxSpeed() const { return m_maxSpeed->value(); }
    const cocos2d::CCPoint& bounceForce() const { return m_bounceForce->value(); }
    const cocos2d::CCPoint& jumpForce() const { return m_jumpForce->value(); }
    const cocos2d::CCPoint& airDrag() const { return m_airDrag->value(); }
    float jumpTimeout() const { return m_jumpTimeout->value(); }
    float jumpCounter() const { return m_jumpCounter->value(); }
    float groundThreshold() const { return m_groundThreshold->value(); }
    float leftLeanForce() const { return m_leftLeanForce->value(); }
    float rightLeanForce() const { return m_rightLeanForce->value(); }
    float platformFriction() const { return m_platformFriction->value(); }
    float rotationDrag() const { return m_rotationDrag->value(); }
    bool jumpFromGround() const { return m_jumpFromGround->value(); }
    bool directMovement() const { return m_directMovement->value(); }
    bool forcedMovement() const { return m_forcedMovement->value(); }
    bool fixedRotation() const { return m_fixedRotation->value(); }
    bool imageDirection() const { return m_imageDirection->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_GAMEPLAY_SETTINGS_ATTRIBUTES)
};

class ZqModelComponentCharacterGameplaySettings : public ZqBaseModelComponentCharacterGameplaySettings {
public:
    using ZqBaseModelComponentCharacterGameplaySettings::ZqBaseModelComponentCharacterGameplaySettings;
    ZQ_MODEL_IDENTITY(ZqModelComponentCharacterGameplaySettings, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentCharacterGameplaySettings)
};

#define ZQ_COMPONENT_CHARACTER_ICON_ATTRIBUTES(A, V)                                               \
    V(ZqAttributeAnimation, m_regularIcon,  "Regular Icon",  nullptr)                              \
    V(ZqAttributeAnimation, m_lockedIcon,   "Locked Icon",   nullptr)                              \
    V(ZqAttributeAnimation, m_selectedIcon, "Selected Icon", nullptr)

// The pictures of a character in the character selector.
class ZqModelComponentCharacterIcon : public ZqModelComponent {
public:
    explicit ZqModelComponentCharacterIcon(const std::string& name);
    ZqModelComponentCharacterIcon(const ZqModelComponentCharacterIcon& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentCharacterIcon, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentCharacterIcon)

    std::shared_ptr<ZqModelAnimation> regularIcon() const;
    std::shared_ptr<ZqModelAnimation> lockedIcon() const;
    std::shared_ptr<ZqModelAnimation> selectedIcon() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_CHARACTER_ICON_ATTRIBUTES)
};

// "Event": the event text of the move component (kButton-<name><digit>, ...), may be empty.
#define ZQ_COMPONENT_ISO_JUMP_ATTRIBUTES(A, V)                                                     \
    V(ZqAttributePoint,      m_jumpVelocity,         "Jump Velocity",        cocos2d::CCPoint())   \
    V(ZqAttributePoint,      m_jumpGravity,          "Jump Gravity",         cocos2d::CCPoint())   \
    V(ZqAttributeFloat,      m_jumpSpeed,            "Jump Speed",           1.0f)                 \
    V(ZqAttributeFloat,      m_jumpDuration,         "Jump Duration",        1.0f)                 \
    V(ZqAttributeFloat,      m_jumpTimeout,          "Jump Timeout",         0.0f)                 \
    V(ZqAttributeFloat,      m_jumpCount,            "Jump Count",           1.0f)                 \
    V(ZqAttributeBool,       m_continuousJump,       "Continuous Jump",      false)                \
    V(ZqAttributeBool,       m_activateOnRelease,    "Activate On Release",  false)                \
    V(ZqAttributeStringList, m_event,                "Event",                "")                   \
    V(ZqAttributeBool,       m_syncronizeAnimation,  "Syncronize Animation", false)                \
    V(ZqAttributeShape,      m_collisionShape,       "Collision Shape",      nullptr)              \
    V(ZqAttributeAnimation,  m_animation,            "Animation",            nullptr)              \
    V(ZqAttributeAnimation,  m_ground,               "Ground",               nullptr)              \
    V(ZqAttributeSound,      m_jumpSound,            "Jump Sound",           nullptr)              \
    V(ZqAttributeSound,      m_doubleJumpSound,      "Double Jump Sound",    nullptr)

// A jump drawn as a curve over a flat (isometric) ground: velocity and gravity in points
// per second, duration and timeout in seconds.
class ZqBaseModelComponentIsoJump : public ZqModelComponent {
public:
    explicit ZqBaseModelComponentIsoJump(const std::string& name);
    ZqBaseModelComponentIsoJump(const ZqBaseModelComponentIsoJump& source);

    const cocos2d::CCPoint& jumpVelocity() const { return m_jumpVelocity->value(); }
    const cocos2d::CCPoint& jumpGravity() const { return m_jumpGravity->value(); }
    float jumpSpeed() const { return m_jumpSpeed->value(); }
    float jumpDuration() const { return m_jumpDuration->value(); }
    float jumpTimeout() const { return m_jumpTimeout->value(); }
    float jumpCount() const { return m_jumpCount->value(); }
    bool continuousJump() const { return m_continuousJump->value(); }
    bool activateOnRelease() const { return m_activateOnRelease->value(); }
    const std::string& event() const { return m_event->value(); }
    bool syncronizeAnimation() const { return m_syncronizeAnimation->value(); }
    std::shared_ptr<ZqModelPolygon> collisionShape() const;
    std::shared_ptr<ZqModelAnimation> animation() const;
    std::shared_ptr<ZqModelAnimation> ground() const;
    std::shared_ptr<ZqModelSound> jumpSound() const;
    std::shared_ptr<ZqModelSound> doubleJumpSound() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_ISO_JUMP_ATTRIBUTES)
};

class ZqModelComponentIsoJump : public ZqBaseModelComponentIsoJump {
public:
    using ZqBaseModelComponentIsoJump::ZqBaseModelComponentIsoJump;
    ZQ_MODEL_IDENTITY(ZqModelComponentIsoJump, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentIsoJump)
};

// "Event": kEventButton, kEventCollision.
#define ZQ_COMPONENT_MOTOR_ATTRIBUTES(A, V)                                                        \
    V(ZqAttributePoint,      m_linearVelocity,    "Linear Velocity",    cocos2d::CCPoint())        \
    V(ZqAttributeFloat,      m_angularVelocity,   "Angular Velocity",   0.0f)                      \
    V(ZqAttributeComponentEvent, m_event,         "Event",              "kEventButton")            \
    V(ZqAttributePoint,      m_linearMultiplier,  "Linear Multiplier",  cocos2d::CCPoint(1.0f, 1.0f)) \
    V(ZqAttributeFloat,      m_angularMultiplier, "Angular Multiplier", 1.0f)                      \
    V(ZqAttributeStringList, m_affectedAsset,     "Affected asset",     "-1")

// Drives a unit at a constant velocity; each event multiplies the velocities.
class ZqBaseModelComponentMotor : public ZqModelComponent {
public:
    explicit ZqBaseModelComponentMotor(const std::string& name);
    ZqBaseModelComponentMotor(const ZqBaseModelComponentMotor& source);

    int affectedAsset() const { return zqAffectedAssetId(m_affectedAsset->value()); }
    const cocos2d::CCPoint& linearVelocity() const { return m_linearVelocity->value(); }
    float angularVelocity() const { return m_angularVelocity->value(); }
    ZqComponentEvent event() const { return m_event->code(); }
    const cocos2d::CCPoint& linearMultiplier() const { return m_linearMultiplier->value(); }
    float angularMultiplier() const { return m_angularMultiplier->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_MOTOR_ATTRIBUTES)
};

class ZqModelComponentMotor : public ZqBaseModelComponentMotor {
public:
    using ZqBaseModelComponentMotor::ZqBaseModelComponentMotor;
    ZQ_MODEL_IDENTITY(ZqModelComponentMotor, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentMotor)
};

// "Mathematical Operation": kAdd, kMultiply, anything else replaces. "Event": kEventStart,
// kEventCollision, or kButton / kSwitch / kSwipe joined with "-" to a name and a digit.
// "Timeout" in seconds, 0 or less runs until stopped. Both velocities start empty (made
// empty after the table), so an axis left unset never touches the body.
#define ZQ_COMPONENT_MOVE_ATTRIBUTES(A, V)                                                         \
    V(ZqAttributeShape,      m_collisionShape,     "Collision Shape",        nullptr)              \
    V(ZqAttributeAnimation,  m_animation,          "Animation",              nullptr)              \
    V(ZqAttributeSound,      m_sound,              "Sound",                  nullptr)              \
    V(ZqAttributeBool,       m_activateOnRelease,  "Activate On Release",    false)                \
    V(ZqAttributeBool,       m_forcedSwitchButton, "Forced Switch Button",   false)                \
    V(ZqAttributePoint,      m_linearVelocity,     "Linear Velocity",        cocos2d::CCPoint())   \
    V(ZqAttributeFloat,      m_angularVelocity,    "Angular Velocity",       0.0f)                 \
    V(ZqAttributeOperation,  m_operation,          "Mathematical Operation", "kReplace")           \
    V(ZqAttributeString,     m_event,              "Event",                  "kEventStart")        \
    V(ZqAttributeStringList, m_affectedAsset,      "Affected asset",         "-1")                 \
    V(ZqAttributeFloat,      m_timeout,            "Timeout",                0.0f)

// Drives its owner at a fixed velocity for a while, with its own shape, animation and sound.
class ZqBaseModelComponentMove : public ZqModelComponent {
public:
    explicit ZqBaseModelComponentMove(const std::string& name);
    ZqBaseModelComponentMove(const ZqBaseModelComponentMove& source);

    int affectedAsset() const { return zqAffectedAssetId(m_affectedAsset->value()); }
    std::shared_ptr<ZqModelPolygon> collisionShape() const;
    std::shared_ptr<ZqModelAnimation> animation() const;
    std::shared_ptr<ZqModelSound> sound() const;
    bool activateOnRelease() const { return m_activateOnRelease->value(); }
    bool forcedSwitchButton() const { return m_forcedSwitchButton->value(); }
    // Each velocity counts only when set (not empty).
    const cocos2d::CCPoint& linearVelocity() const { return m_linearVelocity->value(); }
    float angularVelocity() const { return m_angularVelocity->value(); }
    bool hasLinearVelocityX() const { return !m_linearVelocity->isXEmpty(); }
    bool hasLinearVelocityY() const { return !m_linearVelocity->isYEmpty(); }
    bool hasAngularVelocity() const { return !m_angularVelocity->isEmpty(); }
    ZqOperation operation() const { return m_operation->code(); }
    const std::string& event() const { return m_event->value(); }
    float timeout() const { return m_timeout->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_MOVE_ATTRIBUTES)
};

class ZqModelComponentMove : public ZqBaseModelComponentMove {
public:
    using ZqBaseModelComponentMove::ZqBaseModelComponentMove;
    ZQ_MODEL_IDENTITY(ZqModelComponentMove, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentMove)
};

#define ZQ_COMPONENT_ROTATION_MAPPER_ATTRIBUTES(A, V)                                              \
    V(ZqAttributeAnimation, m_animation, "Animation", nullptr)

// Shows the frame of its animation that matches the owner's rotation.
class ZqModelComponentRotationMapper : public ZqModelComponent {
public:
    explicit ZqModelComponentRotationMapper(const std::string& name);
    ZqModelComponentRotationMapper(const ZqModelComponentRotationMapper& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentRotationMapper, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentRotationMapper)

    std::shared_ptr<ZqModelAnimation> animation() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_ROTATION_MAPPER_ATTRIBUTES)
};

// "Event": kEventButton.
#define ZQ_COMPONENT_SLIDE_ATTRIBUTES(A, V)                                                        \
    V(ZqAttributeShape,      m_collisionShape, "Collision Shape", nullptr)                         \
    V(ZqAttributeAnimation,  m_animation,      "Animation",       nullptr)                         \
    V(ZqAttributeComponentEvent, m_event,      "Event",           "kEventButton")                  \
    V(ZqAttributeSound,      m_sound,          "Sound",           nullptr)

// A slide of the character: a lower shape and its own animation while the event lasts.
class ZqModelComponentSlide : public ZqModelComponent {
public:
    explicit ZqModelComponentSlide(const std::string& name);
    ZqModelComponentSlide(const ZqModelComponentSlide& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentSlide, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentSlide)

    std::shared_ptr<ZqModelPolygon> collisionShape() const;
    std::shared_ptr<ZqModelAnimation> animation() const;
    ZqComponentEvent event() const { return m_event->code(); }
    std::shared_ptr<ZqModelSound> sound() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_SLIDE_ATTRIBUTES)
};
