#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeValue.h"
#include "attributes/ZqEditorKeys.h"
#include "model/ZqAttributeSprite.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelIdentity.h"
#include "cocos2d.h"

#include <cfloat>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

// The physics and gameplay defaults of a game. Plain values, never read from the model
// files: only the dictionary form sets them. Read by the gameplay parameters.
struct ZqGeneralPhysicsDefaults {
    cocos2d::CCPoint gravity{0.0f, -50.0f};      // "Gravity", physics units per second squared
    cocos2d::CCPoint moveSpeed{0.0f, 0.0f};      // "Move Speed"
    cocos2d::CCPoint bounceForce{0.0f, 0.0f};    // "Bounce Force"
    cocos2d::CCPoint jump{0.0f, 5.0f};           // "Jump": the up force
    cocos2d::CCPoint characterFriction{0.8f, 1.0f}; // "Character Friction": the air drag
    float jumpTimeout = 0.25f;                   // "Jump Timeout", seconds
    float jumpCounter = 0.0f;                    // "Jump Counter"
    float jumpGroundThreshold = 0.01f;           // "Jump Ground Threshold"
    float leftLeanForce = 0.0f;                  // "Left Lean Force"
    float rightLeanForce = 0.0f;                 // "Right Lean Force"
    float simulationTimeScale = 1.0f;            // "Simulation Time Scale": the time warp
    float friction = 0.0f;                       // "Friction"
    float velocityScale = 1.0f;                  // "Velocity Scale": the velocity drag base
    float rotationScale = 1.0f;                  // "Rotation Scale": the rotation drag
    float restitution = 0.0f;                    // "Restitution"
    float platformFriction = 1.0f;               // "Platform Friction"
    float scoreMultiplier = 0.0f;                // "Score Multiplier"
    float backDeletionThreshold = 300.0f;        // "Back Deletion Threshold", points
    float sidesDeletionThreshold = 550.0f;       // "Sides Deletion Threshold", points
    float gameSpeedMin = 3.0f;                   // "Game Speed Min"
    float gameSpeedMax = 10.0f;                  // "Game Speed Max"
    float gameSpeedIncrease = 0.1f;              // "Game Speed Increase"
    float gameSpeedCurrent = 3.0f;               // "Game Speed Current"
    bool jumpFromGround = false;                 // "Jump From Ground"
    bool fixedRotation = false;                  // "Fixed Rotation"
    bool fixedPosition = false;                  // "Fixed Position": direct movement
    bool forcedMovement = true;                  // "Forced Movement"
    bool autoImageDirection = false;             // "Auto Image Direction"
};

#define ZQ_GENERAL_SETTINGS_ATTRIBUTES(A, V)                                                                   \
    V(ZqAttributeString,           m_version,           "Kw Version",             "")                          \
    A(ZqAttributeUInt,             m_lastId,            "Last ID",                0u, 0u, 4294967295u)         \
    V(ZqAttributeOrientation,      m_orientation,       "Orientation",            Orientation::kPortrait)      \
    V(ZqAttributeFrameEdgeState,   m_edge0,             "Edge 0",                 ZqObjectFrameEdgeState{})    \
    V(ZqAttributeFrameEdgeState,   m_edge1,             "Edge 1",                 ZqObjectFrameEdgeState{})    \
    V(ZqAttributeFrameEdgeState,   m_edge2,             "Edge 2",                 ZqObjectFrameEdgeState{})    \
    V(ZqAttributeFrameEdgeState,   m_edge3,             "Edge 3",                 ZqObjectFrameEdgeState{})    \
    V(ZqAttributeScreenAdjustment, m_screenAdjustment,  "Screen Adjustment",      ScreenAdjustment::kNoBorder) \
    A(ZqAttributeFloat,            m_gameAngleDirection, "Game Angle Direction",  0.0f, -FLT_MAX, FLT_MAX)     \
    V(ZqAttributeBool,             m_useEncryption,     "Use Encryption",         false)                       \
    V(ZqAttributeRect,             m_objectFrame,       "Object Frame",           cocos2d::CCRect())           \
    V(ZqAttributeSize,             m_designSize,        "Design Size",            cocos2d::CCSize())           \
    V(ZqAttributeString,           m_scoreType,         "Score Type",             "")                          \
    V(ZqAttributeString,           m_shareScreen,       "Share Screen",           "Game Field Screen")         \
    V(ZqAttributeString,           m_versionNumber,     "Version Number",         "1.0")                       \
    V(ZqAttributeString,           m_applicationName,   "Application Name",       "Untitled")                  \
    V(ZqAttributeString,           m_comments,          "Comments",               "add comments here")         \
    V(ZqAttributeString,           m_resetText,         "Reset text",             kResetText)                  \
    V(ZqAttributeString,           m_notEnoughCurrency, "Not Enough Currency Text", kNotEnoughCurrencyText)    \
    V(ZqAttributeString,           m_buildDate,         "Build Date",             "")                          \
    V(ZqAttributeString,           m_userId,            "User ID",                "")                          \
    V(ZqAttributeSprite,           m_icon,              "Icon",                   nullptr)                     \
    A(ZqAttributeKey,              m_moveUpKey,         "Move Up Key",            ZqEditorKey::kUp, INT_MIN, INT_MAX) \
    A(ZqAttributeKey,              m_moveDownKey,       "Move Down Key",          ZqEditorKey::kDown, INT_MIN, INT_MAX) \
    A(ZqAttributeKey,              m_moveLeftKey,       "Move Left Key",          ZqEditorKey::kLeft, INT_MIN, INT_MAX) \
    A(ZqAttributeKey,              m_moveRightKey,      "Move Right Key",         ZqEditorKey::kRight, INT_MIN, INT_MAX) \
    A(ZqAttributeKey,              m_motorCWKey,        "Motor CW Key",           'X', INT_MIN, INT_MAX)       \
    A(ZqAttributeKey,              m_motorCCWKey,       "Motor CCW Key",          'Z', INT_MIN, INT_MAX)       \
    A(ZqAttributeKey,              m_rotateLeftKey,     "Rotate Left Key",        ',', INT_MIN, INT_MAX)       \
    A(ZqAttributeKey,              m_rotateRightKey,    "Rotate Right Key",       '.', INT_MIN, INT_MAX)       \
    A(ZqAttributeKey,              m_shootKey,          "Shoot Key",              ' ', INT_MIN, INT_MAX)       \
    A(ZqAttributeKey,              m_jumpKey,           "Jump Key",               'J', INT_MIN, INT_MAX)

// The attributes of the general settings, the per-platform values and the physics
// defaults. The general settings are one model per process (ZqModelGeneralSettings).
class ZqBaseModelGeneralSettings : public ZqModel {
public:
    enum class Orientation : int32_t { kPortrait = 0, kLandscape = 1, kCount };
    // How the design resolution is fitted to the window (see resolutionPolicy).
    enum class ScreenAdjustment : int32_t { kNoBorder = 0, kFixedHeight = 1, kFixedWidth = 2, kByAspect = 3, kCount };

    class ZqAttributeOrientation : public ZqBaseAttributeEnum<Orientation> {
    public:
        using ZqBaseAttributeEnum::ZqBaseAttributeEnum;
        ZQ_ATTRIBUTE_IDENTITY(ZqAttributeOrientation)
    };
    class ZqAttributeScreenAdjustment : public ZqBaseAttributeEnum<ScreenAdjustment> {
    public:
        using ZqBaseAttributeEnum::ZqBaseAttributeEnum;
        ZQ_ATTRIBUTE_IDENTITY(ZqAttributeScreenAdjustment)
    };

    static constexpr const char* kResetText =
        "PLEASE NOTE:  You are about to reset all your game progress and start completely over.  "
        "Are you sure you want to do that?";
    static constexpr const char* kNotEnoughCurrencyText = "Sorry, you don't have enough currency!";

    ~ZqBaseModelGeneralSettings() override;

    // Also "platformSpecificValues" and every entry and field name in it.
    void collectKeys() const override;
    // Also the per-platform values as a map of maps of texts; an entry or field name the
    // key dictionary lacks throws "A key is not present".
    void packAttributes(MessagePackMap& map) const override;
    // The attributes, then a non-empty "platformSpecificValues" map replaces the
    // per-platform values (a field that is not a text throws msgpack::type_error, an entry
    // or field whose code the dictionary lacks std::out_of_range; both keep the old
    // values); last the controller's id counter becomes "Last ID".
    void unpackAttributes(const MessagePackMap& map) override;
    // Also "platformSpecificValues" (a dictionary replaces the held one) and the physics
    // defaults under their names ({"value": text}); last the id counter as above.
    void loadAttributesFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCDictionary* saveAttributesToDictionary() const override;

    const std::string& version() const { return m_version->value(); }
    unsigned lastId() const { return m_lastId->value(); }
    int orientation() const { return static_cast<int>(m_orientation->value()); }
    int screenAdjustment() const { return static_cast<int>(m_screenAdjustment->value()); }
    float gameAngleDirection() const { return m_gameAngleDirection->value(); }
    const cocos2d::CCSize& designSize() const { return m_designSize->value(); }
    const std::string& scoreType() const { return m_scoreType->value(); }
    const std::string& shareScreen() const { return m_shareScreen->value(); }
    const std::string& applicationName() const { return m_applicationName->value(); }
    const std::string& resetText() const { return m_resetText->value(); }
    const std::string& notEnoughCurrencyText() const { return m_notEnoughCurrency->value(); }
    const std::string& userId() const { return m_userId->value(); }
    int moveUpKey() const { return m_moveUpKey->value(); }
    int moveDownKey() const { return m_moveDownKey->value(); }
    int moveLeftKey() const { return m_moveLeftKey->value(); }
    int moveRightKey() const { return m_moveRightKey->value(); }
    int motorCWKey() const { return m_motorCWKey->value(); }
    int motorCCWKey() const { return m_motorCCWKey->value(); }
    int rotateLeftKey() const { return m_rotateLeftKey->value(); }
    int rotateRightKey() const { return m_rotateRightKey->value(); }
    int shootKey() const { return m_shootKey->value(); }
    int jumpKey() const { return m_jumpKey->value(); }

    // Entry name -> (field name -> CCString). Owned (retained) by the model.
    cocos2d::CCDictionary* platformSpecificValues() const { return m_platformSpecificValues; }
    const ZqGeneralPhysicsDefaults& physics() const { return m_physics; }

    // The design resolution of the orientation: 1136 x 640 landscape, 640 x 1136
    // portrait; false (size untouched) for any other value.
    bool designResolution(cocos2d::CCSize& size) const;
    // The resolution policy of "Screen Adjustment" for a window size in pixels.
    cocos2d::ResolutionPolicy resolutionPolicy(const cocos2d::CCSize& windowSize) const;
    static cocos2d::ResolutionPolicy resolutionPolicy(int screenAdjustment, int orientation,
                                                      const cocos2d::CCSize& windowSize);

protected:
    ZqBaseModelGeneralSettings();

    ZQ_ATTRIBUTE_MEMBERS(ZQ_GENERAL_SETTINGS_ATTRIBUTES)

private:
    cocos2d::CCDictionary* m_platformSpecificValues = nullptr;
    ZqGeneralPhysicsDefaults m_physics;
};

// The one general-settings model of the process. The registry's factory hands out the
// shared instance, so the model is never copied: duplicate returns the instance itself.
class ZqModelGeneralSettings : public ZqBaseModelGeneralSettings {
public:
    ZQ_MODEL_KIND(ZqModelGeneralSettings, ZqModel)
    std::shared_ptr<ZqModel> duplicate(bool deep, bool registerCopy) const override;

    // The instance; the first call after a reset makes one with every default and adds
    // it to the model controller.
    static std::shared_ptr<ZqModelGeneralSettings> shared();
    // The registry's factory: shared().
    static std::shared_ptr<ZqModelGeneralSettings> create() { return shared(); }
    // Removes the instance from the controller and drops it; holders keep their copy.
    static void reset();

    // For the loader, which reads a new instance completely before it takes the place of
    // the old one: a model with every default that is not the instance and not registered.
    static std::shared_ptr<ZqModelGeneralSettings> createDetached();
    // Makes the model the instance: the old instance leaves the controller, the new one is
    // added at the end of its type list.
    static void replaceShared(const std::shared_ptr<ZqModelGeneralSettings>& instance);

private:
    ZqModelGeneralSettings() = default;
};

// The longer of "Camera Flash" and "Game Over Delay" of the selected character: the
// character asset models of the controller, in loading order, indexed by the settings
// controller's selected character. 1.0 when there is no character at that index.
float selectedCharacterMaxValue();
float selectedCharacterMaxValue(const std::vector<std::shared_ptr<ZqModel>>& characters, int index);
