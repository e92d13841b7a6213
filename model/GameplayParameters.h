#pragma once

#include "cocos2d.h"

#include <memory>
#include <type_traits>

class ZqModelComponentCharacterGameplaySettings;
class ZqModelGeneralSettings;

/* The gameplay values, one row each, the saved ones first in the order they are stored.
   V rows get a getter and a setter, R rows only a getter (setMoveSpeed follows the
   table). Columns: type; getter, its member m_name; setter suffix; default, from the
   general settings (physics: their physics defaults); loaded from the scene's getter, the
   character gameplay settings' attribute, or none; saved key, nullptr when never saved;
   what a gameplay power-up writes: its attribute as it is (plain), divided by the
   editor's scale (editor), taken away from 1 after that division (drag), as it is unless
   left empty (unlessEmpty), or nothing (none). The velocity scale starts from what the
   settings' drag base leaves; the ground threshold is in metres. */
#define ZQ_GAMEPLAY_PARAMETERS(V, R)                                                                                                                                                           \
    R(CCPoint, moveSpeed,              MoveSpeed,              physics.moveSpeed,              character, m_maxSpeed,             "moveSpeed",              editor(m_maxSpeed, 3.0f)         ) \
    V(CCPoint, gravity,                Gravity,                physics.gravity,                scene,     gravity,                "gravity",                plain(m_gravity)                 ) \
    V(CCPoint, upForce,                UpForce,                physics.jump,                   character, m_jumpForce,            "upForce",                editor(m_jumpForce, 4.0f)        ) \
    V(float,   upForceCounter,         UpForceCounter,         physics.jumpCounter,            character, m_jumpCounter,          "upForceCounter",         plain(m_jumpCounter)             ) \
    V(float,   upForceDuration,        UpForceDuration,        physics.jumpTimeout,            character, m_jumpTimeout,          "upForceDuration",        plain(m_jumpTimeout)             ) \
    V(bool,    upForceFromGround,      UpForceFromGround,      physics.jumpFromGround,         character, m_jumpFromGround,       "upForceFromGround",      plain(m_jumpFromGround)          ) \
    V(float,   rightLeanForce,         RightLeanForce,         physics.rightLeanForce,         character, m_rightLeanForce,       "rightLeanForce",         editor(m_rightLeanForce, 100.0f) ) \
    V(float,   leftLeanForce,          LeftLeanForce,          physics.leftLeanForce,          character, m_leftLeanForce,        "leftLeanForce",          editor(m_leftLeanForce, 100.0f)  ) \
    V(float,   gameSpeedMin,           GameSpeedMin,           physics.gameSpeedMin,           scene,     gameSpeedMin,           "gameSpeedMin",           editor(m_gameSpeedMin, 25.0f)    ) \
    V(float,   gameSpeedMax,           GameSpeedMax,           physics.gameSpeedMax,           scene,     gameSpeedMax,           "gameSpeedMax",           editor(m_gameSpeedMax, 25.0f)    ) \
    V(float,   gameSpeedIncrease,      GameSpeedIncrease,      physics.gameSpeedIncrease,      scene,     speedIncrease,          "gameSpeedIncrease",      editor(m_speedIncrease, 25.0f)   ) \
    V(float,   friction,               Friction,               physics.friction,               scene,     friction,               "friction",               editor(m_friction, 100.0f)       ) \
    V(float,   simulationTimeScale,    SimulationTimeScale,    physics.simulationTimeScale,    scene,     timeWarp,               "simulationTimeScale",    editor(m_timeWarp, 50.0f)        ) \
    V(float,   velocityScale,          VelocityScale,          1.0f - physics.velocityScale,   scene,     velocityDrag,           "velocityScale",          plain(m_velocityDrag)            ) \
    V(float,   rotationScale,          RotationScale,          physics.rotationScale,          character, m_rotationDrag,         "rotationScale",          plain(m_rotationDrag)            ) \
    V(CCPoint, bounceForce,            BounceForce,            physics.bounceForce,            character, m_bounceForce,          "bounceForce",            editor(m_bounceForce, 2.0f)      ) \
    V(float,   restitution,            Restitution,            physics.restitution,            scene,     bounce,                 "restitution",            editor(m_bounce, 100.0f)         ) \
    V(float,   scoreMultiplier,        ScoreMultiplier,        physics.scoreMultiplier,        scene,     scoreMultiplier,        "scoreMultiplier",        plain(m_scoreMultiplier)         ) \
    V(CCPoint, characterFriction,      CharacterFriction,      physics.characterFriction,      character, m_airDrag,              "characterFriction",      drag(m_airDrag, 100.0f)          ) \
    V(float,   platformFriction,       PlatformFriction,       physics.platformFriction,       character, m_platformFriction,     "platformFriction",       editor(m_platformFriction, 40.0f)) \
    V(float,   gameplayAngleDirection, GameplayAngleDirection, general.gameAngleDirection(),   scene,     gameDirection,          "gameplayAngleDirection", plain(m_gameDirection)           ) \
    R(bool,    fixedRotation,          FixedRotation,          physics.fixedRotation,          character, m_fixedRotation,        "fixedRotation",          plain(m_fixedRotation)           ) \
    V(float,   groundThreshold,        GroundThreshold,        physics.jumpGroundThreshold,    character, m_groundThreshold,      nullptr,                  unlessEmpty(m_groundThreshold)   ) \
    R(bool,    directMovement,         DirectMovement,         physics.fixedPosition,          character, m_directMovement,       nullptr,                  none                             ) \
    R(bool,    forcedMovement,         ForcedMovement,         physics.forcedMovement,         character, m_forcedMovement,       nullptr,                  none                             ) \
    R(bool,    imageDirection,         ImageDirection,         physics.autoImageDirection,     character, m_imageDirection,       nullptr,                  none                             ) \
    V(float,   gameSpeed,              GameSpeed,              physics.gameSpeedCurrent,       none,      -,                      nullptr,                  none                             ) \
    R(float,   sidesDeletionThreshold, SidesDeletionThreshold, physics.sidesDeletionThreshold, scene,     sidesDeletionThreshold, nullptr,                  none                             ) \
    R(float,   backDeletionThreshold,  BackDeletionThreshold,  physics.backDeletionThreshold,  scene,     backDeletionThreshold,  nullptr,                  none                             )

#define ZQ_GAMEPLAY_MEMBER(Type, name, Name, initial, from, source, key, powerup) Type m_##name{};
#define ZQ_GAMEPLAY_GETTER(Type, name, Name, initial, from, source, key, powerup) Pass<Type> name() const { return m_##name; }
#define ZQ_GAMEPLAY_SETTER(Type, name, Name, initial, from, source, key, powerup) \
    void set##Name(Pass<Type> value) { m_##name = value; }
#define ZQ_GAMEPLAY_NOTHING(...)

// The "from" column picks the statement each load makes of a row.
#define ZQ_GAMEPLAY_FROM_SCENE(Type, name, Name, initial, from, source, key, powerup) \
    ZQ_GAMEPLAY_FROM_SCENE_##from(m_##name, source)
#define ZQ_GAMEPLAY_FROM_SCENE_scene(member, getter) member = scene.getter();
#define ZQ_GAMEPLAY_FROM_SCENE_character(member, attribute)
#define ZQ_GAMEPLAY_FROM_SCENE_none(member, source)

// The "powerup" column: the value each row takes from a gameplay power-up; field is the
// row's member.
#define ZQ_GAMEPLAY_FROM_POWERUP(Type, name, Name, initial, from, source, key, powerup)                               \
    {                                                                                                                  \
        Type& field = m_##name;                                                                                        \
        field = ZQ_GAMEPLAY_POWERUP_##powerup;                                                                         \
    }
#define ZQ_GAMEPLAY_POWERUP_plain(attribute) powerup.attribute->value()
#define ZQ_GAMEPLAY_POWERUP_editor(attribute, scale) powerup.attribute->value() / scale
#define ZQ_GAMEPLAY_POWERUP_drag(attribute, scale) CCPoint(1.0f, 1.0f) - powerup.attribute->value() / scale
#define ZQ_GAMEPLAY_POWERUP_unlessEmpty(attribute)                                                                     \
    powerup.attribute->allowEmpty() && powerup.attribute->isEmpty() ? field : powerup.attribute->value()
#define ZQ_GAMEPLAY_POWERUP_none field

// The physics and gameplay values in force on the game field. They start from the general
// settings' defaults, take the game scene's values when a game field is set up and the
// character's values when a character is built, and a gameplay power-up may replace them
// for a while (saveToDictionary before, restoreCountdown after). Readers ask every frame,
// so a change shows at once. Units: points and forces as the game data gives them,
// angles in degrees, times in seconds.
class GameplayParameters {
    using CCPoint = cocos2d::CCPoint;
    // Points pass by reference, numbers and flags by value.
    template <class Type>
    using Pass = std::conditional_t<std::is_arithmetic_v<Type>, Type, const Type&>;

public:
    // The process-wide instance, made on first use with the current general settings and
    // kept for the rest of the run. Never null.
    static GameplayParameters* shared();

    // Every value from the general settings' defaults; the save counter 0. Tests make
    // their own instances; only shared() is the game's.
    explicit GameplayParameters(std::shared_ptr<ZqModelGeneralSettings> settings);
    ~GameplayParameters();
    GameplayParameters(const GameplayParameters&) = delete;
    GameplayParameters& operator=(const GameplayParameters&) = delete;

    // The game scene's values (the table's scene rows). Scene is the game-scene model
    // (ZqBaseModelScreenScene), whose accessors already follow its forced-movement and
    // deletion-threshold components. The current game speed is left alone.
    template <class Scene>
    void loadFromScene(const Scene& scene)
    {
        ZQ_GAMEPLAY_PARAMETERS(ZQ_GAMEPLAY_FROM_SCENE, ZQ_GAMEPLAY_FROM_SCENE)
    }

    // A gameplay power-up's values (the table's powerup column). Powerup is the power-up
    // asset model (ZqBaseModelAssetPowerup); save before, restore after.
    template <class Powerup>
    void loadFromPowerup(const Powerup& powerup)
    {
        ZQ_GAMEPLAY_PARAMETERS(ZQ_GAMEPLAY_FROM_POWERUP, ZQ_GAMEPLAY_FROM_POWERUP)
    }

    // The character's gameplay settings (the table's character rows). Null changes
    // nothing; an attribute left unbound (a copy whose source lacked it) keeps the value.
    void loadFromCharacter(const std::shared_ptr<ZqModelComponentCharacterGameplaySettings>& settings);

    // Adds one nesting level; the outermost level stores the 22 saved values as texts.
    void saveToDictionary();
    // Removes one nesting level (none: nothing); leaving the outermost one puts the saved
    // values back. Game speed, ground threshold, direct and forced movement, image
    // direction and the deletion thresholds are never saved nor restored.
    void restoreCountdown();
    // Every value from the defaults of settings (null: the settings held) again; the
    // nesting and the saved values are dropped. A new game field starts from here.
    void resetToDefaults(std::shared_ptr<ZqModelGeneralSettings> settings = nullptr);
    // Forgets the nesting (a new scene container); the saved values stay until overwritten.
    void resetSaveCounter() { m_saveCounter = 0; }
    int saveCounter() const { return m_saveCounter; }

    // The unit vector of the gameplay direction: 0 degrees points along +x, 90 down -y.
    cocos2d::CCPoint gameplayDirection() const;

    ZQ_GAMEPLAY_PARAMETERS(ZQ_GAMEPLAY_GETTER, ZQ_GAMEPLAY_GETTER)
    ZQ_GAMEPLAY_PARAMETERS(ZQ_GAMEPLAY_SETTER, ZQ_GAMEPLAY_NOTHING)
    void setMoveSpeed(float x, float y) { m_moveSpeed = cocos2d::CCPoint(x, y); }

    // Where the design area starts inside the window, in points (negative when the
    // no-border policy crops it); (0, 0) without a view.
    static cocos2d::CCPoint screenContentOffset();

private:
    void loadDefaults();
    // Calls visit(key, field) for the saved values, in the order they are stored.
    template <class Visitor>
    void forEachSavedValue(Visitor&& visit);

    ZQ_GAMEPLAY_PARAMETERS(ZQ_GAMEPLAY_MEMBER, ZQ_GAMEPLAY_MEMBER)

    int m_saveCounter = 0;
    // Retained; texts by key.
    cocos2d::CCDictionary* m_savedValues = nullptr;
    std::shared_ptr<ZqModelGeneralSettings> m_settings;
};
