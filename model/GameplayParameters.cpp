#include "model/GameplayParameters.h"

#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelComponentsBehaviour.h"

using namespace cocos2d;

GameplayParameters* GameplayParameters::shared()
{
    // Never destroyed: readers may ask during shutdown.
    static GameplayParameters* instance = new GameplayParameters(ZqModelGeneralSettings::shared());
    return instance;
}

GameplayParameters::GameplayParameters(std::shared_ptr<ZqModelGeneralSettings> settings)
    : m_settings(std::move(settings))
{
    loadDefaults();
    m_savedValues = CCDictionary::create();
    m_savedValues->retain();
}

void GameplayParameters::resetToDefaults(std::shared_ptr<ZqModelGeneralSettings> settings)
{
    if (settings)
        m_settings = std::move(settings);
    loadDefaults();
    m_saveCounter = 0;
    m_savedValues->removeAllObjects();
}

void GameplayParameters::loadDefaults()
{
    const ZqGeneralPhysicsDefaults& defaults = m_settings->physics();
    m_gravity = defaults.gravity;
    m_moveSpeed = defaults.moveSpeed;
    m_bounceForce = defaults.bounceForce;
    m_upForce = defaults.jump;
    m_upForceDuration = defaults.jumpTimeout;
    m_upForceCounter = defaults.jumpCounter;
    m_groundThreshold = defaults.jumpGroundThreshold;
    m_leftLeanForce = defaults.leftLeanForce;
    m_rightLeanForce = defaults.rightLeanForce;
    m_simulationTimeScale = defaults.simulationTimeScale;
    m_friction = defaults.friction;
    m_characterFriction = defaults.characterFriction;
    // The settings keep the drag base; the live value is what is left of it.
    m_velocityScale = 1.0f - defaults.velocityScale;
    m_rotationScale = defaults.rotationScale;
    m_restitution = defaults.restitution;
    m_platformFriction = defaults.platformFriction;
    m_scoreMultiplier = defaults.scoreMultiplier;
    m_upForceFromGround = defaults.jumpFromGround;
    m_directMovement = defaults.fixedPosition;
    m_forcedMovement = defaults.forcedMovement;
    m_fixedRotation = defaults.fixedRotation;
    m_imageDirection = defaults.autoImageDirection;
    m_gameSpeedMin = defaults.gameSpeedMin;
    m_gameSpeedMax = defaults.gameSpeedMax;
    m_gameSpeed = defaults.gameSpeedCurrent;
    m_gameSpeedIncrease = defaults.gameSpeedIncrease;
    m_gameplayAngleDirection = m_settings->gameAngleDirection();
    m_sidesDeletionThreshold = defaults.sidesDeletionThreshold;
    m_backDeletionThreshold = defaults.backDeletionThreshold;
}

GameplayParameters::~GameplayParameters()
{
    m_savedValues->release();
}

namespace {

// A copy whose source lacked the attribute has it unbound (null): the value is kept.
template <class Attribute, class Value>
void loadAttribute(const Attribute* attribute, Value& field)
{
    if (attribute)
        field = attribute->value();
}

} // namespace

void GameplayParameters::loadFromCharacter(const std::shared_ptr<ZqModelComponentCharacterGameplaySettings>& settings)
{
    if (!settings)
        return;
    loadAttribute(settings->m_maxSpeed, m_moveSpeed);
    loadAttribute(settings->m_bounceForce, m_bounceForce);
    loadAttribute(settings->m_jumpForce, m_upForce);
    loadAttribute(settings->m_jumpTimeout, m_upForceDuration);
    loadAttribute(settings->m_jumpCounter, m_upForceCounter);
    loadAttribute(settings->m_groundThreshold, m_groundThreshold);
    loadAttribute(settings->m_leftLeanForce, m_leftLeanForce);
    loadAttribute(settings->m_rightLeanForce, m_rightLeanForce);
    loadAttribute(settings->m_airDrag, m_characterFriction);
    loadAttribute(settings->m_rotationDrag, m_rotationScale);
    loadAttribute(settings->m_platformFriction, m_platformFriction);
    loadAttribute(settings->m_jumpFromGround, m_upForceFromGround);
    loadAttribute(settings->m_directMovement, m_directMovement);
    loadAttribute(settings->m_forcedMovement, m_forcedMovement);
    loadAttribute(settings->m_fixedRotation, m_fixedRotation);
    loadAttribute(settings->m_imageDirection, m_imageDirection);
}

template <class Visitor>
void GameplayParameters::forEachSavedValue(Visitor&& visit)
{
    visit("moveSpeed", m_moveSpeed);
    visit("gravity", m_gravity);
    visit("upForce", m_upForce);
    visit("upForceCounter", m_upForceCounter);
    visit("upForceDuration", m_upForceDuration);
    visit("upForceFromGround", m_upForceFromGround);
    visit("rightLeanForce", m_rightLeanForce);
    visit("leftLeanForce", m_leftLeanForce);
    visit("gameSpeedMin", m_gameSpeedMin);
    visit("gameSpeedMax", m_gameSpeedMax);
    visit("gameSpeedIncrease", m_gameSpeedIncrease);
    visit("friction", m_friction);
    visit("simulationTimeScale", m_simulationTimeScale);
    visit("velocityScale", m_velocityScale);
    visit("rotationScale", m_rotationScale);
    visit("bounceForce", m_bounceForce);
    visit("restitution", m_restitution);
    visit("scoreMultiplier", m_scoreMultiplier);
    visit("characterFriction", m_characterFriction);
    visit("platformFriction", m_platformFriction);
    visit("gameplayAngleDirection", m_gameplayAngleDirection);
    visit("fixedRotation", m_fixedRotation);
}

namespace {

struct SaveText {
    CCDictionary* dictionary;
    void operator()(const char* key, const CCPoint& value) const
    {
        dictionary->setObject(CCString::createWithFormat("{%.3f,%.3f}", value.x, value.y), key);
    }
    void operator()(const char* key, float value) const
    {
        dictionary->setObject(CCString::createWithFormat("%f", value), key);
    }
    void operator()(const char* key, bool value) const
    {
        dictionary->setObject(CCString::createWithFormat("%d", value ? 1 : 0), key);
    }
};

struct RestoreText {
    const CCDictionary* dictionary;
    void operator()(const char* key, CCPoint& value) const { value = dictionary->valueForKey(key)->pointValue(); }
    void operator()(const char* key, float& value) const { value = dictionary->valueForKey(key)->floatValue(); }
    void operator()(const char* key, bool& value) const { value = dictionary->valueForKey(key)->boolValue(); }
};

} // namespace

void GameplayParameters::saveToDictionary()
{
    ++m_saveCounter;
    // Only the outermost save keeps values: an inner power-up must restore to the state
    // before the first one, not to the first one's overrides.
    if (m_saveCounter < 2)
        forEachSavedValue(SaveText{m_savedValues});
}

void GameplayParameters::restoreCountdown()
{
    if (m_saveCounter == 0)
        return;
    --m_saveCounter;
    if (m_saveCounter < 1)
        forEachSavedValue(RestoreText{m_savedValues});
}

CCPoint GameplayParameters::gameplayDirection() const
{
    return CCPoint::forAngle(-m_gameplayAngleDirection * 0.017453292f);
}

CCPoint GameplayParameters::screenContentOffset()
{
    const CCEGLViewProtocol* view = CCDirector::sharedDirector()->getOpenGLView();
    if (!view)
        return CCPointZero;
    if (view->getResolutionPolicy() != kResolutionNoBorder)
        return CCDirector::sharedDirector()->contentOffset();
    const CCSize& frame = view->getFrameSize();
    const CCSize& design = view->getDesignResolutionSize();
    if (frame.width / frame.height > design.width / design.height)
        return CCPoint(0.0f, (frame.height / view->getScaleX() - design.height) * 0.5f);
    return CCPoint((frame.width / view->getScaleY() - design.width) * 0.5f, 0.0f);
}
