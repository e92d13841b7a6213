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

#define ZQ_GAMEPLAY_DEFAULT(Type, name, Name, initial, from, source, key, powerup) m_##name = initial;

void GameplayParameters::loadDefaults()
{
    const ZqModelGeneralSettings& general = *m_settings;
    const ZqGeneralPhysicsDefaults& physics = general.physics();
    ZQ_GAMEPLAY_PARAMETERS(ZQ_GAMEPLAY_DEFAULT, ZQ_GAMEPLAY_DEFAULT)
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

template <class Visitor, class Value>
void visitSaved(Visitor& visit, const char* key, Value& field)
{
    visit(key, field);
}

template <class Visitor, class Value>
void visitSaved(Visitor&, std::nullptr_t, Value&)
{
}

} // namespace

#define ZQ_GAMEPLAY_FROM_CHARACTER(Type, name, Name, initial, from, source, key, powerup)                                      \
    ZQ_GAMEPLAY_FROM_CHARACTER_##from(m_##name, source)
#define ZQ_GAMEPLAY_FROM_CHARACTER_character(member, attribute) loadAttribute(settings->attribute, member);
#define ZQ_GAMEPLAY_FROM_CHARACTER_scene(member, getter)
#define ZQ_GAMEPLAY_FROM_CHARACTER_none(member, source)

void GameplayParameters::loadFromCharacter(const std::shared_ptr<ZqModelComponentCharacterGameplaySettings>& settings)
{
    if (!settings)
        return;
    ZQ_GAMEPLAY_PARAMETERS(ZQ_GAMEPLAY_FROM_CHARACTER, ZQ_GAMEPLAY_FROM_CHARACTER)
}

#define ZQ_GAMEPLAY_SAVED(Type, name, Name, initial, from, source, key, powerup) visitSaved(visit, key, m_##name);

template <class Visitor>
void GameplayParameters::forEachSavedValue(Visitor&& visit)
{
    ZQ_GAMEPLAY_PARAMETERS(ZQ_GAMEPLAY_SAVED, ZQ_GAMEPLAY_SAVED)
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
    const CCDirector* director = CCDirector::sharedDirector();
    const CCEGLViewProtocol* view = director->getOpenGLView();
    if (!view)
        return CCPointZero;
    if (view->getResolutionPolicy() != kResolutionNoBorder)
        return director->contentOffset();
    const CCSize& frame = view->getFrameSize();
    const CCSize& design = view->getDesignResolutionSize();
    if (frame.width / frame.height > design.width / design.height)
        return CCPoint(0.0f, (frame.height / view->getScaleX() - design.height) * 0.5f);
    return CCPoint((frame.width / view->getScaleY() - design.width) * 0.5f, 0.0f);
}
