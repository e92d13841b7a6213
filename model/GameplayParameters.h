#pragma once

#include "cocos2d.h"

#include <memory>
#include <type_traits>

class ZqModelComponentCharacterGameplaySettings;
class ZqModelGeneralSettings;

/* The gameplay values, one row each, the saved ones first in the order they are stored.
   V rows get a getter and a setter, R rows only a getter (setMoveSpeed and
   setFixedRotation follow the table). Columns: type; getter, its member m_name; setter
   suffix; default, from the general settings (physics: their physics defaults); loaded
   from the scene's getter, the character gameplay settings' attribute, or none; saved
   key, nullptr when never saved. The velocity scale starts from what the settings' drag
   base leaves; the ground threshold is in metres. */
#define ZQ_GAMEPLAY_PARAMETERS(V, R)                                                                                                                        \
    R(CCPoint, moveSpeed,              MoveSpeed,              physics.moveSpeed,              character, m_maxSpeed,             "moveSpeed")              \
    V(CCPoint, gravity,                Gravity,                physics.gravity,                scene,     gravity,                "gravity")                \
    V(CCPoint, upForce,                UpForce,                physics.jump,                   character, m_jumpForce,            "upForce")                \
    V(float,   upForceCounter,         UpForceCounter,         physics.jumpCounter,            character, m_jumpCounter,          "upForceCounter")         \
    V(float,   upForceDuration,        UpForceDuration,        physics.jumpTimeout,            character, m_jumpTimeout,          "upForceDuration")        \
    V(bool,    upForceFromGround,      UpForceFromGround,      physics.jumpFromGround,         character, m_jumpFromGround,       "upForceFromGround")      \
    V(float,   rightLeanForce,         RightLeanForce,         physics.rightLeanForce,         character, m_rightLeanForce,       "rightLeanForce")         \
    V(float,   leftLeanForce,          LeftLeanForce,          physics.leftLeanForce,          character, m_leftLeanForce,        "leftLeanForce")          \
    V(float,   gameSpeedMin,           GameSpeedMin,           physics.gameSpeedMin,           scene,     gameSpeedMin,           "gameSpeedMin")           \
    V(float,   gameSpeedMax,           GameSpeedMax,           physics.gameSpeedMax,           scene,     gameSpeedMax,           "gameSpeedMax")           \
    V(float,   gameSpeedIncrease,      GameSpeedIncrease,      physics.gameSpeedIncrease,      scene,     speedIncrease,          "gameSpeedIncrease")      \
    V(float,   friction,               Friction,               physics.friction,               scene,     friction,               "friction")               \
    V(float,   simulationTimeScale,    SimulationTimeScale,    physics.simulationTimeScale,    scene,     timeWarp,               "simulationTimeScale")    \
    V(float,   velocityScale,          VelocityScale,          1.0f - physics.velocityScale,   scene,     velocityDrag,           "velocityScale")          \
    V(float,   rotationScale,          RotationScale,          physics.rotationScale,          character, m_rotationDrag,         "rotationScale")          \
    V(CCPoint, bounceForce,            BounceForce,            physics.bounceForce,            character, m_bounceForce,          "bounceForce")            \
    V(float,   restitution,            Restitution,            physics.restitution,            scene,     bounce,                 "restitution")            \
    V(float,   scoreMultiplier,        ScoreMultiplier,        physics.scoreMultiplier,        scene,     scoreMultiplier,        "scoreMultiplier")        \
    V(CCPoint, characterFriction,      CharacterFriction,      physics.characterFriction,      character, m_airDrag,              "characterFriction")      \
    V(float,   platformFriction,       PlatformFriction,       physics.platformFriction,       character, m_platformFriction,     "platformFriction")       \
    V(float,   gameplayAngleDirection, GameplayAngleDirection, general.gameAngleDirection(),   scene,     gameDirection,          "gameplayAngleDirection") \
    R(bool,    fixedRotation,          FixedRotation,          physics.fixedRotation,          character, m_fixedRotation,        "fixedRotation")          \
    V(float,   groundThreshold,        GroundThreshold,        physics.jumpGroundThreshold,    character, m_groundThreshold,      nullptr)                  \
    R(bool,    directMovement,         DirectMovement,         physics.fixedPosition,          character, m_directMovement,       nullptr)                  \
    R(bool,    forcedMovement,         ForcedMovement,         physics.forcedMovement,         character, m_forcedMovement,       nullptr)                  \
    R(bool,    imageDirection,         ImageDirection,         physics.autoImageDirection,     character, m_imageDirection,       nullptr)                  \
    V(float,   gameSpeed,              GameSpeed,              physics.gameSpeedCurrent,       none,      -,                      nullptr)                  \
    R(float,   sidesDeletionThreshold, SidesDeletionThreshold, physics.sidesDeletionThreshold, scene,     sidesDeletionThreshold, nullptr)                  \
    R(float,   backDeletionThreshold,  BackDeletionThreshold,  physics.backDeletionThreshold,  scene,     backDeletionThreshold,  nullptr)

#define ZQ_GAMEPLAY_MEMBER(Type, name, Name, initial, from, source, key) Type m_##name{};
#define ZQ_GAMEPLAY_GETTER(Type, name, Name, initial, from, source, key) Pass<Type> name() const { return m_##name; }
#define ZQ_GAMEPLAY_SETTER(Type, name, Name, initial, from, source, key)                                              \
    void set##Name(Pass<Type> value) { m_##name = value; }
#define ZQ_GAMEPLAY_NOTHING(...)

// The "from" column picks the statement each load makes of a row.
#define ZQ_GAMEPLAY_FROM_SCENE(Type, name, Name, initial, from, source, key)                                          \
    ZQ_GAMEPLAY_FROM_SCENE_##from(m_##name, source)
#define ZQ_GAMEPLAY_FROM_SCENE_scene(member, getter) member = scene.getter();
#define ZQ_GAMEPLAY_FROM_SCENE_character(member, attribute)
#define ZQ_GAMEPLAY_FROM_SCENE_none(member, source)

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
    // Only a gameplay power-up sets this flag; the character's settings load it otherwise.
    void setFixedRotation(bool fixed) { m_fixedRotation = fixed; }

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
