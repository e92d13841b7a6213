#include "model/ZqModelGeneralSettings.h"

#include "attributes/ZqNonEmptyText.h"
#include "model/ZqGameQuestions.h"
#include "model/ZqModelController.h"

#include <algorithm>

using namespace cocos2d;

namespace {

// Releases an engine object that this code created with new.
struct ReleaseObject {
    void operator()(CCObject* object) const { object->release(); }
};
using HeldDictionary = std::unique_ptr<CCDictionary, ReleaseObject>;

struct PointField {
    const char* name;
    CCPoint ZqGeneralPhysicsDefaults::*member;
};
struct FloatField {
    const char* name;
    float ZqGeneralPhysicsDefaults::*member;
};
struct FlagField {
    const char* name;
    bool ZqGeneralPhysicsDefaults::*member;
};

using P = ZqGeneralPhysicsDefaults;
constexpr PointField kPointFields[] = {
    {"Gravity", &P::gravity}, {"Move Speed", &P::moveSpeed}, {"Bounce Force", &P::bounceForce},
    {"Jump", &P::jump}, {"Character Friction", &P::characterFriction}};
constexpr FloatField kFloatFields[] = {
    {"Jump Timeout", &P::jumpTimeout}, {"Jump Counter", &P::jumpCounter},
    {"Jump Ground Threshold", &P::jumpGroundThreshold}, {"Left Lean Force", &P::leftLeanForce},
    {"Right Lean Force", &P::rightLeanForce}, {"Simulation Time Scale", &P::simulationTimeScale},
    {"Friction", &P::friction}, {"Velocity Scale", &P::velocityScale}, {"Rotation Scale", &P::rotationScale},
    {"Restitution", &P::restitution}, {"Platform Friction", &P::platformFriction},
    {"Score Multiplier", &P::scoreMultiplier}, {"Back Deletion Threshold", &P::backDeletionThreshold},
    {"Sides Deletion Threshold", &P::sidesDeletionThreshold}, {"Game Speed Min", &P::gameSpeedMin},
    {"Game Speed Max", &P::gameSpeedMax}, {"Game Speed Increase", &P::gameSpeedIncrease},
    {"Game Speed Current", &P::gameSpeedCurrent}};
constexpr FlagField kFlagFields[] = {
    {"Jump From Ground", &P::jumpFromGround}, {"Fixed Rotation", &P::fixedRotation},
    {"Fixed Position", &P::fixedPosition}, {"Forced Movement", &P::forcedMovement},
    {"Auto Image Direction", &P::autoImageDirection}};

// The non-empty {"value": text} of a physics name in the dictionary, else null.
const CCString* physicsText(CCDictionary* dictionary, const char* name)
{
    return zqNonEmptyText(dynamic_cast<CCDictionary*>(dictionary->objectForKey(name)), "value");
}

std::string textOf(const msgpack::object& object)
{
    if (object.type == msgpack::type::STR)
        return std::string(object.via.str.ptr, object.via.str.size);
    if (object.type == msgpack::type::BIN)
        return std::string(object.via.bin.ptr, object.via.bin.size);
    throw msgpack::type_error();
}

} // namespace

ZqBaseModelGeneralSettings::ZqBaseModelGeneralSettings()
    : ZqModel("")
{
    ZQ_ATTRIBUTE_CREATE(ZQ_GENERAL_SETTINGS_ATTRIBUTES)
    // The icon's picture is shown by itself, never from the atlas.
    m_icon->setExcludedFromAtlas(true);
    m_platformSpecificValues = new CCDictionary();
}

ZqBaseModelGeneralSettings::~ZqBaseModelGeneralSettings()
{
    m_platformSpecificValues->release();
}

void ZqBaseModelGeneralSettings::collectKeys() const
{
    ZqModel::collectKeys();
    keyNameSet().insert("platformSpecificValues");
    CCDictElement* entry = nullptr;
    CCDICT_FOREACH(m_platformSpecificValues, entry) {
        CCDictElement* field = nullptr;
        CCDICT_FOREACH(dynamic_cast<CCDictionary*>(entry->getObject()), field)
            keyNameSet().insert(field->getStrKey());
        keyNameSet().insert(entry->getStrKey());
    }
}

void ZqBaseModelGeneralSettings::packAttributes(MessagePackMap& map) const
{
    ZqModel::packAttributes(map);
    MessagePackMap outer(map.zone());
    CCDictElement* entry = nullptr;
    CCDICT_FOREACH(m_platformSpecificValues, entry) {
        auto* fields = dynamic_cast<CCDictionary*>(entry->getObject());
        if (!fields)
            continue;
        MessagePackMap inner(map.zone());
        CCDictElement* field = nullptr;
        CCDICT_FOREACH(fields, field) {
            if (auto* text = dynamic_cast<CCString*>(field->getObject()))
                inner.setString(field->getStrKey(), text->m_sString);
        }
        outer.setMap(entry->getStrKey(), inner);
    }
    map.setMap("platformSpecificValues", outer);
}

void ZqBaseModelGeneralSettings::unpackAttributes(const MessagePackMap& map)
{
    ZqModel::unpackAttributes(map);
    MessagePackMap outer;
    if (map.getMap("platformSpecificValues", outer) && !outer.empty()) {
        // Built aside first: a bad field or a code the key file lacks throws before the held
        // values are touched.
        HeldDictionary values(new CCDictionary());
        for (const auto& [code, value] : outer.entries()) {
            const MessagePackMap inner = MessagePackMap::fromObject(value);
            HeldDictionary fields(new CCDictionary());
            for (const auto& [fieldCode, text] : inner.entries()) {
                CCString* field = CCString::create(textOf(text));
                fields->setObject(field, keyName(fieldCode));
            }
            values->setObject(fields.get(), keyName(code));
        }
        m_platformSpecificValues->removeAllObjects();
        CCDictElement* entry = nullptr;
        CCDICT_FOREACH(values.get(), entry)
            m_platformSpecificValues->setObject(entry->getObject(), entry->getStrKey());
    }
    ZqModelController::shared()->setIdCounter(lastId());
}

void ZqBaseModelGeneralSettings::loadAttributesFromDictionary(CCDictionary* dictionary)
{
    if (!dictionary)
        return;
    ZqModel::loadAttributesFromDictionary(dictionary);
    // Retained before the old one is released: both may be the same object.
    if (auto* values = dynamic_cast<CCDictionary*>(dictionary->objectForKey("platformSpecificValues"))) {
        values->retain();
        m_platformSpecificValues->release();
        m_platformSpecificValues = values;
    }
    for (const PointField& field : kPointFields) {
        if (const CCString* text = physicsText(dictionary, field.name))
            m_physics.*field.member = text->pointValue();
    }
    for (const FloatField& field : kFloatFields) {
        if (const CCString* text = physicsText(dictionary, field.name))
            m_physics.*field.member = text->floatValue();
    }
    for (const FlagField& field : kFlagFields) {
        if (const CCString* text = physicsText(dictionary, field.name))
            m_physics.*field.member = text->boolValue();
    }
    ZqModelController::shared()->setIdCounter(lastId());
}

CCDictionary* ZqBaseModelGeneralSettings::saveAttributesToDictionary() const
{
    CCDictionary* dictionary = ZqModel::saveAttributesToDictionary();
    dictionary->setObject(m_platformSpecificValues, "platformSpecificValues");
    return dictionary;
}

bool ZqBaseModelGeneralSettings::designResolution(CCSize& size) const
{
    switch (m_orientation->value()) {
    case Orientation::kLandscape:
        size = CCSize(1136.0f, 640.0f);
        return true;
    case Orientation::kPortrait:
        size = CCSize(640.0f, 1136.0f);
        return true;
    default:
        return false;
    }
}

ResolutionPolicy ZqBaseModelGeneralSettings::resolutionPolicy(const CCSize& windowSize) const
{
    return resolutionPolicy(screenAdjustment(), orientation(), windowSize);
}

ResolutionPolicy ZqBaseModelGeneralSettings::resolutionPolicy(int screenAdjustment, int orientation,
                                                              const CCSize& windowSize)
{
    switch (static_cast<ScreenAdjustment>(screenAdjustment)) {
    case ScreenAdjustment::kNoBorder:
        return kResolutionNoBorder;
    case ScreenAdjustment::kFixedHeight:
        return kResolutionFixedHeight;
    case ScreenAdjustment::kFixedWidth:
        return kResolutionFixedWidth;
    case ScreenAdjustment::kByAspect:
        // A tall window fits the width, a wide one the height; 1.77 is about 16:9.
        if (orientation == static_cast<int>(Orientation::kPortrait))
            return windowSize.height / windowSize.width >= 1.77f ? kResolutionFixedWidth : kResolutionFixedHeight;
        return windowSize.width / windowSize.height < 1.77f ? kResolutionFixedWidth : kResolutionFixedHeight;
    default:
        return kResolutionUnKnown;
    }
}

namespace {

std::shared_ptr<ZqModelGeneralSettings>& instance()
{
    static std::shared_ptr<ZqModelGeneralSettings> shared;
    return shared;
}

} // namespace

std::shared_ptr<ZqModel> ZqModelGeneralSettings::duplicate(bool, bool) const
{
    return shared();
}

std::shared_ptr<ZqModelGeneralSettings> ZqModelGeneralSettings::shared()
{
    std::shared_ptr<ZqModelGeneralSettings>& settings = instance();
    if (!settings) {
        settings = createDetached();
        ZqModelController::shared()->addModel(settings, -1);
    }
    return settings;
}

void ZqModelGeneralSettings::reset()
{
    std::shared_ptr<ZqModelGeneralSettings>& settings = instance();
    if (!settings)
        return;
    if (ZqModelController* controller = ZqModelController::existing())
        controller->removeModel(settings);
    settings.reset();
}

std::shared_ptr<ZqModelGeneralSettings> ZqModelGeneralSettings::createDetached()
{
    std::shared_ptr<ZqModelGeneralSettings> settings(new ZqModelGeneralSettings());
    settings->setSelf(settings);
    return settings;
}

void ZqModelGeneralSettings::replaceShared(const std::shared_ptr<ZqModelGeneralSettings>& settings)
{
    std::shared_ptr<ZqModelGeneralSettings>& current = instance();
    ZqModelController* controller = ZqModelController::shared();
    if (current && current != settings)
        controller->removeModel(current);
    current = settings;
    controller->addModel(settings, -1);
}

float selectedCharacterMaxValue(const std::vector<std::shared_ptr<ZqModel>>& characters, int index)
{
    // A negative index from saved progress must not reach the list.
    if (index < 0 || static_cast<std::size_t>(index) >= characters.size() || !characters[index])
        return 1.0f;
    auto floatValue = [&](const char* name) {
        ZqBaseAttribute* attribute = characters[index]->findAttribute(name);
        if (!attribute || attribute->typeId() != ZqAttributeFloat::staticTypeId())
            return 0.0f;
        return static_cast<ZqAttributeFloat*>(attribute)->value();
    };
    return std::max(floatValue("Camera Flash"), floatValue("Game Over Delay"));
}

float selectedCharacterMaxValue()
{
    return selectedCharacterMaxValue(ZqModelController::shared()->modelsOfType(zqTypeIdOf("ZqModelAssetCharacter")),
                                     zqProgress().selectedCharacter());
}
