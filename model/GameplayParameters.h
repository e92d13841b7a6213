#pragma once

#include "cocos2d.h"

#include <memory>

class ZqModelComponentCharacterGameplaySettings;
class ZqModelGeneralSettings;

// The physics and gameplay values in force on the game field. They start from the general
// settings' defaults, take the game scene's values when a game field is set up and the
// character's values when a character is built, and a gameplay power-up may replace them
// for a while (saveToDictionary before, restoreCountdown after). Readers ask every frame,
// so a change shows at once. Units: points and forces as the game data gives them,
// angles in degrees, times in seconds.
class GameplayParameters {
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

    // The game scene's values, in this order: gravity, time warp, game speed minimum,
    // maximum and increase, friction, velocity drag, bounce, score multiplier, game
    // direction, sides and back deletion thresholds. Scene is the game-scene model
    // (ZqBaseModelScreenScene), whose accessors already follow its forced-movement and
    // deletion-threshold components. The current game speed is left alone.
    template <class Scene>
    void loadFromScene(const Scene& scene)
    {
        m_gravity = scene.gravity();
        m_simulationTimeScale = scene.timeWarp();
        m_gameSpeedMin = scene.gameSpeedMin();
        m_gameSpeedMax = scene.gameSpeedMax();
        m_gameSpeedIncrease = scene.speedIncrease();
        m_friction = scene.friction();
        m_velocityScale = scene.velocityDrag();
        m_restitution = scene.bounce();
        m_scoreMultiplier = scene.scoreMultiplier();
        m_gameplayAngleDirection = scene.gameDirection();
        m_sidesDeletionThreshold = scene.sidesDeletionThreshold();
        m_backDeletionThreshold = scene.backDeletionThreshold();
    }

    // The character's gameplay settings: "Max Speed", "Bounce Force", "Jump Force", "Air
    // Drag" (points), "Jump Timeout", "Jump Counter", "Ground Threshold", "Left Lean
    // Force", "Right Lean Force", "Platform Friction", "Rotation Drag" (floats), "Jump From
    // Ground", "Direct Movement", "Forced Movement", "Fixed Rotation" and "Image Direction"
    // (bools). Null changes nothing; an attribute left unbound (a copy whose source lacked
    // it) keeps the value.
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

    const cocos2d::CCPoint& gravity() const { return m_gravity; }
    const cocos2d::CCPoint& moveSpeed() const { return m_moveSpeed; }
    const cocos2d::CCPoint& bounceForce() const { return m_bounceForce; }
    const cocos2d::CCPoint& upForce() const { return m_upForce; }
    float upForceDuration() const { return m_upForceDuration; }
    float upForceCounter() const { return m_upForceCounter; }
    float groundThreshold() const { return m_groundThreshold; }
    float leftLeanForce() const { return m_leftLeanForce; }
    float rightLeanForce() const { return m_rightLeanForce; }
    float simulationTimeScale() const { return m_simulationTimeScale; }
    float friction() const { return m_friction; }
    const cocos2d::CCPoint& characterFriction() const { return m_characterFriction; }
    float velocityScale() const { return m_velocityScale; }
    float rotationScale() const { return m_rotationScale; }
    float restitution() const { return m_restitution; }
    float platformFriction() const { return m_platformFriction; }
    float scoreMultiplier() const { return m_scoreMultiplier; }
    bool upForceFromGround() const { return m_upForceFromGround; }
    bool directMovement() const { return m_directMovement; }
    bool forcedMovement() const { return m_forcedMovement; }
    bool fixedRotation() const { return m_fixedRotation; }
    bool imageDirection() const { return m_imageDirection; }
    float gameSpeedMin() const { return m_gameSpeedMin; }
    float gameSpeedMax() const { return m_gameSpeedMax; }
    float gameSpeed() const { return m_gameSpeed; }
    float gameSpeedIncrease() const { return m_gameSpeedIncrease; }
    float gameplayAngleDirection() const { return m_gameplayAngleDirection; }
    float sidesDeletionThreshold() const { return m_sidesDeletionThreshold; }
    float backDeletionThreshold() const { return m_backDeletionThreshold; }

    void setGravity(const cocos2d::CCPoint& gravity) { m_gravity = gravity; }
    void setMoveSpeed(float x, float y) { m_moveSpeed = cocos2d::CCPoint(x, y); }
    void setBounceForce(const cocos2d::CCPoint& force) { m_bounceForce = force; }
    void setUpForce(const cocos2d::CCPoint& force) { m_upForce = force; }
    void setUpForceDuration(float seconds) { m_upForceDuration = seconds; }
    void setUpForceCounter(float counter) { m_upForceCounter = counter; }
    void setGroundThreshold(float metres) { m_groundThreshold = metres; }
    void setLeftLeanForce(float force) { m_leftLeanForce = force; }
    void setRightLeanForce(float force) { m_rightLeanForce = force; }
    void setSimulationTimeScale(float scale) { m_simulationTimeScale = scale; }
    void setFriction(float friction) { m_friction = friction; }
    void setCharacterFriction(const cocos2d::CCPoint& friction) { m_characterFriction = friction; }
    void setVelocityScale(float scale) { m_velocityScale = scale; }
    void setRotationScale(float scale) { m_rotationScale = scale; }
    void setRestitution(float restitution) { m_restitution = restitution; }
    void setPlatformFriction(float friction) { m_platformFriction = friction; }
    void setScoreMultiplier(float multiplier) { m_scoreMultiplier = multiplier; }
    void setUpForceFromGround(bool fromGround) { m_upForceFromGround = fromGround; }
    void setGameSpeedMin(float speed) { m_gameSpeedMin = speed; }
    void setGameSpeedMax(float speed) { m_gameSpeedMax = speed; }
    void setGameSpeed(float speed) { m_gameSpeed = speed; }
    void setGameSpeedIncrease(float increase) { m_gameSpeedIncrease = increase; }
    void setGameplayAngleDirection(float degrees) { m_gameplayAngleDirection = degrees; }
    // Only a gameplay power-up sets this flag; the character's settings load it otherwise.
    void setFixedRotation(bool fixed) { m_fixedRotation = fixed; }

    // Where the design area starts inside the window, in points (negative when the
    // no-border policy crops it); (0, 0) without a view.
    static cocos2d::CCPoint screenContentOffset();

private:
    void loadDefaults();
    // Calls visit(key, field) for the 22 saved values, in the order they are stored.
    template <class Visitor>
    void forEachSavedValue(Visitor&& visit);

    cocos2d::CCPoint m_gravity;
    cocos2d::CCPoint m_moveSpeed;
    cocos2d::CCPoint m_bounceForce;
    cocos2d::CCPoint m_upForce;
    float m_upForceDuration = 0.0f;
    float m_upForceCounter = 0.0f;
    float m_groundThreshold = 0.0f;
    float m_leftLeanForce = 0.0f;
    float m_rightLeanForce = 0.0f;
    float m_simulationTimeScale = 0.0f;
    float m_friction = 0.0f;
    cocos2d::CCPoint m_characterFriction;
    float m_velocityScale = 0.0f;
    float m_rotationScale = 0.0f;
    float m_restitution = 0.0f;
    float m_platformFriction = 0.0f;
    float m_scoreMultiplier = 0.0f;
    bool m_upForceFromGround = false;
    bool m_directMovement = false;
    bool m_forcedMovement = false;
    bool m_fixedRotation = false;
    bool m_imageDirection = false;
    float m_gameSpeedMin = 0.0f;
    float m_gameSpeedMax = 0.0f;
    float m_gameSpeed = 0.0f;
    float m_gameSpeedIncrease = 0.0f;
    float m_gameplayAngleDirection = 0.0f;
    float m_sidesDeletionThreshold = 0.0f;
    float m_backDeletionThreshold = 0.0f;

    int m_saveCounter = 0;
    // Retained; texts by key.
    cocos2d::CCDictionary* m_savedValues = nullptr;
    std::shared_ptr<ZqModelGeneralSettings> m_settings;
};
