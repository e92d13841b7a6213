#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelCompound.h"
#include "model/scene/ZqModelObject.h"
#include "cocos2d.h"

#include <memory>
#include <string>

class GameplayParameters;
class ZqModelAnimation;
class ZqModelPolygon;
class ZqModelSound;
class ZqModelSpriteContainer;

// Assets describe a kind of game thing once (a character, a power-up, an obstacle); placed
// objects refer to one through their "Asset" (ZqModelObjectAsset). A copy of an asset
// refers to duplicates of its collision shape and animations, and to the same sounds.

#define ZQ_MODEL_ASSET_ATTRIBUTES(A, V)                                                            \
    V(ZqAttributeShape, m_collisionShape, "Collision Shape", nullptr)

class ZqModelAsset : public ZqModelCompound {
public:
    explicit ZqModelAsset(const std::string& name);
    ZqModelAsset(const ZqModelAsset& source);
    ZQ_MODEL_IDENTITY(ZqModelAsset, ZqModelCompound)
    ZQ_MODEL_FACTORY(ZqModelAsset)

    // The sprite container the asset's first animation was made from; empty here.
    virtual std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const { return nullptr; }

    // The polygon (or circle) of "Collision Shape"; empty when none.
    std::shared_ptr<ZqModelPolygon> collisionShape() const;
    // Whether the shape gives a Box2D shape for a body at that scale; false without points.
    bool hasValidShape(float scaleX, float scaleY) const;
    // Appends a default outline of size (points) centred at -offset to the shape, first
    // making and registering a polygon when there is none.
    void updateCollisionShape(const cocos2d::CCSize& size, const cocos2d::CCPoint& offset);
    // updateCollisionShape with the first frame's size and the container's shape offset.
    void updateCollisionShapeFromObject(const std::shared_ptr<ZqModelSpriteContainer>& container);

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_ASSET_ATTRIBUTES)
};

#define ZQ_MODEL_ASSET_CHARACTER_ATTRIBUTES(A, V)                                                  \
    V(ZqAttributeAnimation,  m_defaultAnimation,  "Default Animation",  nullptr)                   \
    V(ZqAttributeAnimation,  m_shootingAnimation, "Shooting Animation", nullptr)                   \
    V(ZqAttributeAnimation,  m_bulletAnimation,   "Bullet Animation",   nullptr)                   \
    V(ZqAttributeAnimation,  m_jumpAnimation,     "Jump Animation",     nullptr)                   \
    V(ZqAttributeAnimation,  m_moveAnimation,     "Move Animation",     nullptr)                   \
    V(ZqAttributeAnimation,  m_defeatedAnimation, "Defeated Animation", nullptr)                   \
    V(ZqAttributeSound,      m_jumpSound,         "Jump Sound",         nullptr)                   \
    V(ZqAttributeSound,      m_shootSound,        "Shoot Sound",        nullptr)                   \
    V(ZqAttributeSound,      m_defeatedSound,     "Defeated Sound",     nullptr)                   \
    V(ZqAttributeSound,      m_groundCollision,   "Ground Collision",   nullptr)                   \
    V(ZqAttributeBool,       m_castShadow,        "Cast Shadow",        true)                      \
    V(ZqAttributeBool,       m_autoTilt,          "Auto Tilt",          false)                     \
    V(ZqAttributeFloat,      m_gameOverDelay,     "Game Over Delay",    0.0f)                      \
    V(ZqAttributeFloat,      m_cameraShake,       "Camera Shake",       0.0f)                      \
    V(ZqAttributeFloat,      m_cameraFlash,       "Camera Flash",       0.0f)                      \
    V(ZqAttributeFloat,      m_fallAttribute,     "Fall Attribute",     0.0f)                      \
    V(ZqAttributePurchaseMethod, m_purchaseMethod, "Purchase Method",   "")                        \
    V(ZqAttributeStringList, m_adNetwork,         "Ad Network",         "")                        \
    V(ZqAttributeString,     m_storeIdentifier,   "Store Identifier",   "")                        \
    V(ZqAttributeString,     m_webLink,           "Web Link",           "")                        \
    V(ZqAttributeFloat,      m_price,             "Price",              0.0f)

// A player character: animations, sounds, camera effects and how it is unlocked.
class ZqBaseModelAssetCharacter : public ZqModelAsset {
public:
    explicit ZqBaseModelAssetCharacter(const std::string& name);
    ZqBaseModelAssetCharacter(const ZqBaseModelAssetCharacter& source);

    // The container "Default Animation" was made from.
    std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const override;

    std::shared_ptr<ZqModelAnimation> defaultAnimation() const;
    std::shared_ptr<ZqModelAnimation> shootingAnimation() const;
    std::shared_ptr<ZqModelAnimation> bulletAnimation() const;
    std::shared_ptr<ZqModelAnimation> jumpAnimation() const;
    std::shared_ptr<ZqModelAnimation> moveAnimation() const;
    std::shared_ptr<ZqModelAnimation> defeatedAnimation() const;
    std::shared_ptr<ZqModelSound> jumpSound() const;
    std::shared_ptr<ZqModelSound> shootSound() const;
    std::shared_ptr<ZqModelSound> defeatedSound() const;
    std::shared_ptr<ZqModelSound> groundCollision() const;
    bool isCastShadow() const { return m_castShadow->value(); }
    bool isAutoTilt() const { return m_autoTilt->value(); }
    // Seconds.
    float gameOverDelay() const { return m_gameOverDelay->value(); }
    float cameraShake() const { return m_cameraShake->value(); }
    float cameraFlash() const { return m_cameraFlash->value(); }
    float fallAttribute() const { return m_fallAttribute->value(); }
    ZqPurchaseMethod purchaseMethod() const { return m_purchaseMethod->code(); }
    // The text as the data holds it.
    const std::string& purchaseMethodText() const { return m_purchaseMethod->value(); }
    const std::string& adNetwork() const { return m_adNetwork->value(); }
    const std::string& storeIdentifier() const { return m_storeIdentifier->value(); }
    const std::string& webLink() const { return m_webLink->value(); }
    float price() const { return m_price->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_ASSET_CHARACTER_ATTRIBUTES)
};

class ZqModelAssetCharacter : public ZqBaseModelAssetCharacter {
public:
    using ZqBaseModelAssetCharacter::ZqBaseModelAssetCharacter;
    ZQ_MODEL_IDENTITY(ZqModelAssetCharacter, ZqModelAsset)
    ZQ_MODEL_FACTORY(ZqModelAssetCharacter)
};

#define ZQ_MODEL_ASSET_POWERUP_ATTRIBUTES(A, V)                                                    \
    V(ZqAttributeAnimation,  m_idleAnimation,       "Idle Animation",       nullptr)               \
    V(ZqAttributePowerupType, m_powerupType,       "Powerup Type",         "")                    \
    V(ZqAttributeAnimation,  m_startAnimation,      "Start Animation",      nullptr)               \
    V(ZqAttributePowerupPlacement, m_animationPlacement, "Animation Placement", "")              \
    V(ZqAttributePowerupBehaviour, m_animationBehaviour, "Animation Behaviour", "")              \
    V(ZqAttributeSound,      m_idleSound,           "Idle Sound",           nullptr)               \
    V(ZqAttributeSound,      m_startSound,          "Start Sound",          nullptr)               \
    V(ZqAttributeSound,      m_endSound,            "End Sound",            nullptr)               \
    V(ZqAttributeFloat,      m_rewardCoins,         "Reward Coins",         0.0f)                  \
    V(ZqAttributeBool,       m_showCoinReward,      "Show coin reward",     false)                 \
    V(ZqAttributeFloat,      m_rewardPoints,        "Reward Points",        0.0f)                  \
    V(ZqAttributeBool,       m_showPointsReward,    "Show points reward",   false)                 \
    V(ZqAttributeFloat,      m_duration,            "Duration",             0.0f)                  \
    V(ZqAttributeFloat,      m_appearanceChance,    "Appearance Chance",    0.0f)                  \
    V(ZqAttributeFloat,      m_cameraShake,         "Camera Shake",         0.0f)                  \
    V(ZqAttributeFloat,      m_cameraFlash,         "Camera Flash",         0.0f)                  \
    V(ZqAttributePoint,      m_maxSpeed,            "Max Speed",            cocos2d::CCPoint())    \
    V(ZqAttributePoint,      m_gravity,             "Gravity",              cocos2d::CCPoint())    \
    V(ZqAttributePoint,      m_jumpForce,           "Jump Force",           cocos2d::CCPoint())    \
    V(ZqAttributeFloat,      m_jumpCounter,         "Jump Counter",         0.0f)                  \
    V(ZqAttributeFloat,      m_jumpTimeout,         "Jump Timeout",         0.0f)                  \
    V(ZqAttributeFloat,      m_groundThreshold,     "Ground Threshold",     0.0f)                  \
    V(ZqAttributeBool,       m_jumpFromGround,      "Jump From Ground",     false)                 \
    V(ZqAttributeFloat,      m_rightLeanForce,      "Right Lean Force",     0.0f)                  \
    V(ZqAttributeFloat,      m_leftLeanForce,       "Left Lean Force",      0.0f)                  \
    V(ZqAttributeFloat,      m_gameSpeedMin,        "Game Speed Min",       0.0f)                  \
    V(ZqAttributeFloat,      m_gameSpeedMax,        "Game Speed Max",       0.0f)                  \
    V(ZqAttributeFloat,      m_speedIncrease,       "Speed Increase",       0.0f)                  \
    V(ZqAttributeFloat,      m_friction,            "Friction",             0.0f)                  \
    V(ZqAttributeFloat,      m_timeWarp,            "Time Warp",            0.0f)                  \
    V(ZqAttributeFloat,      m_velocityDrag,        "Velocity Drag",        0.0f)                  \
    V(ZqAttributeFloat,      m_rotationDrag,        "Rotation Drag",        0.0f)                  \
    V(ZqAttributePoint,      m_bounceForce,         "Bounce Force",         cocos2d::CCPoint())    \
    V(ZqAttributeFloat,      m_bounce,              "Bounce",               0.0f)                  \
    V(ZqAttributeFloat,      m_scoreMultiplier,     "Score Multiplier",     0.0f)                  \
    V(ZqAttributePoint,      m_airDrag,             "Air Drag",             cocos2d::CCPoint())    \
    V(ZqAttributeFloat,      m_platformFriction,    "Platform Friction",    0.0f)                  \
    V(ZqAttributeFloat,      m_gameDirection,       "Game Direction",       0.0f)                  \
    V(ZqAttributeBool,       m_fixedRotation,       "Fixed Rotation",       false)

// A power-up: what it looks and sounds like, what it rewards, and for the gameplay kind
// the physics values that replace the live ones while it acts. "Ground Threshold" starts
// empty, so a power-up that never sets it leaves the game's ground threshold alone.
class ZqBaseModelAssetPowerup : public ZqModelAsset {
public:
    explicit ZqBaseModelAssetPowerup(const std::string& name);
    ZqBaseModelAssetPowerup(const ZqBaseModelAssetPowerup& source);

    // The container "Idle Animation" was made from.
    std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const override;

    // Saves the live gameplay parameters one nesting level, then writes this power-up's
    // gameplay values into them, scaled to the parameters' units. The first form writes
    // into GameplayParameters::shared().
    void applyGameplayOverrides() const;
    void applyGameplayOverrides(GameplayParameters& parameters) const;

    std::shared_ptr<ZqModelAnimation> idleAnimation() const;
    std::shared_ptr<ZqModelAnimation> startAnimation() const;
    std::shared_ptr<ZqModelSound> idleSound() const;
    std::shared_ptr<ZqModelSound> startSound() const;
    std::shared_ptr<ZqModelSound> endSound() const;
    ZqPowerupType powerupType() const { return m_powerupType->code(); }
    // Whether other's "Powerup Type" is this one's: two texts no table holds are compared
    // as texts.
    bool samePowerupType(const ZqBaseModelAssetPowerup& other) const { return m_powerupType->sameToken(*other.m_powerupType); }
    ZqPowerupPlacement animationPlacement() const { return m_animationPlacement->code(); }
    ZqPowerupBehaviour animationBehaviour() const { return m_animationBehaviour->code(); }
    // Truncated toward zero (saturating).
    int rewardCoins() const;
    int rewardPoints() const;
    int appearanceChance() const;
    bool showCoinReward() const { return m_showCoinReward->value(); }
    bool showPointsReward() const { return m_showPointsReward->value(); }
    // Seconds.
    float duration() const { return m_duration->value(); }
    float cameraShake() const { return m_cameraShake->value(); }
    float cameraFlash() const { return m_cameraFlash->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_ASSET_POWERUP_ATTRIBUTES)
};

class ZqModelAssetPowerup : public ZqBaseModelAssetPowerup {
public:
    using ZqBaseModelAssetPowerup::ZqBaseModelAssetPowerup;
    ZQ_MODEL_IDENTITY(ZqModelAssetPowerup, ZqModelAsset)
    ZQ_MODEL_FACTORY(ZqModelAssetPowerup)
};

#define ZQ_MODEL_OBJECT_ASSET_ATTRIBUTES(A, V)                                                     \
    V(ZqAttributeAsset, m_asset, "Asset", nullptr)

// One placement of an asset: the object's placement values and the asset it shows.
// Copies share the asset.
class ZqModelObjectAsset : public ZqModelObject {
public:
    explicit ZqModelObjectAsset(const std::string& name);
    ZqModelObjectAsset(const ZqModelObjectAsset& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectAsset, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectAsset)

    // The asset's sprite container and collision shape; empty without an asset.
    std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const override;
    std::shared_ptr<ZqModelPolygon> collisionShape() const override;
    // The sound the object plays while it is on the field; empty here.
    virtual std::shared_ptr<ZqModelSound> idleSound() const { return nullptr; }

    std::shared_ptr<ZqModelAsset> asset() const;
    // Moves the reference (and the asset's referrer entry); notifies only on a change.
    void setAsset(const std::shared_ptr<ZqModelAsset>& asset) { m_asset->setValue(asset); }
    // Whether the asset's shape gives a physics shape at the object's scale (time 0,
    // state 0); false without an asset.
    bool hasValidShape() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_ASSET_ATTRIBUTES)
};

// A placed character. The forwarding getters answer empty, 0 or false when "Asset" is
// unset or is not a character asset.
class ZqModelObjectAssetCharacter : public ZqModelObjectAsset {
public:
    using ZqModelObjectAsset::ZqModelObjectAsset;
    ZQ_MODEL_IDENTITY(ZqModelObjectAssetCharacter, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectAssetCharacter)

    // The asset when it is exactly a character asset, else empty.
    std::shared_ptr<ZqModelAssetCharacter> assetCharacter() const;

    std::shared_ptr<ZqModelAnimation> defaultAnimation() const;
    std::shared_ptr<ZqModelAnimation> shootingAnimation() const;
    std::shared_ptr<ZqModelAnimation> bulletAnimation() const;
    std::shared_ptr<ZqModelAnimation> jumpAnimation() const;
    std::shared_ptr<ZqModelAnimation> moveAnimation() const;
    std::shared_ptr<ZqModelAnimation> defeatedAnimation() const;
    std::shared_ptr<ZqModelSound> groundCollision() const;
    std::shared_ptr<ZqModelSound> jumpSound() const;
    std::shared_ptr<ZqModelSound> shootSound() const;
    std::shared_ptr<ZqModelSound> defeatedSound() const;
    float cameraShake() const;
    float cameraFlash() const;
    float fallAttribute() const;
    bool isCastShadow() const;
    bool isAutoTilt() const;
};

// A placed power-up. The forwarding getters answer empty, 0, false or "" when "Asset" is
// unset or is not a power-up asset.
class ZqModelObjectAssetPowerup : public ZqModelObjectAsset {
public:
    using ZqModelObjectAsset::ZqModelObjectAsset;
    ZQ_MODEL_IDENTITY(ZqModelObjectAssetPowerup, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectAssetPowerup)

    // The asset when it is exactly a power-up asset, else empty.
    std::shared_ptr<ZqModelAssetPowerup> assetPowerup() const;

    // The power-up's "Idle Sound".
    std::shared_ptr<ZqModelSound> idleSound() const override;
    std::shared_ptr<ZqModelAnimation> idleAnimation() const;
    std::shared_ptr<ZqModelAnimation> startAnimation() const;
    std::shared_ptr<ZqModelSound> startSound() const;
    std::shared_ptr<ZqModelSound> endSound() const;
    int rewardCoins() const;
    int rewardPoints() const;
    bool showCoinReward() const;
    bool showPointsReward() const;
    int appearanceChance() const;
    // The asset's; without one, the codes of an empty token.
    ZqPowerupType powerupType() const;
    // Whether other holds this one's "Powerup Type" (ZqModelAssetPowerup::samePowerupType);
    // without an asset, the empty token.
    bool samePowerupType(const ZqModelObjectAssetPowerup& other) const;
    float cameraShake() const;
    float cameraFlash() const;
    float duration() const;
    ZqPowerupPlacement animationPlacement() const;
    ZqPowerupBehaviour animationBehaviour() const;
};
