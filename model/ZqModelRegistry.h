#pragma once

#include "model/ZqModelIdentity.h"

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Every model class the game data may name, with the name its factory gives a new model
// (until the model's attributes are read), in the order of registration.
struct ZqModelClassName {
    std::string_view className;
    std::string_view defaultName;
};

inline constexpr std::array<ZqModelClassName, 72> kZqModelClassNames = {{
    {"ZqModelGeneralSettings", ""}, // its factory returns the process-wide instance
    {"ZqModelSprite", ""},
    {"ZqModelSound", ""},
    {"ZqModelFont", "Default Font"},
    {"ZqModelPolygon", ""},
    {"ZqModelCircle", ""},
    {"ZqModelSpriteContainer", ""},
    {"ZqModelAnimation", ""},
    {"ZqModelAtlas", ""},
    {"ZqModelAsset", ""},
    {"ZqModelAssetCharacter", ""},
    {"ZqModelAssetObstacle", "Obstacle"},
    {"ZqModelAssetPowerup", "Powerup"},
    {"ZqModelLinker", ""},
    {"ZqModelObject", "Untitled"},
    {"ZqModelObjectAccelerometer", ""},
    {"ZqModelObjectAsset", ""},
    {"ZqModelObjectAssetCharacter", ""},
    {"ZqModelObjectAssetPowerup", ""},
    {"ZqModelObjectAssetUnit", ""},
    {"ZqModelObjectBackground", "Untitled"},
    {"ZqModelObjectButton", "Navigation Button"},
    {"ZqModelObjectButtonCharacterUnlock", "Single Unlock"},
    {"ZqModelObjectButtonControl", ""},
    {"ZqModelObjectButtonFacebook", "Facebook Button"},
    {"ZqModelObjectButtonPowerup", "Action Button"},
    {"ZqModelObjectButtonPurchase", "Purchase Button"},
    {"ZqModelObjectButtonSoundControl", "Audio Button"},
    {"ZqModelObjectButtonSwitch", "Switch Button"},
    {"ZqModelObjectButtonUrl", "Url Button"},
    {"ZqModelObjectCharacterSelector", ""},
    {"ZqModelObjectEventObserver", "Event Observer"},
    {"ZqModelObjectFlag", "Flag"},
    {"ZqModelObjectGatekeeper", "Gatekeeper"},
    {"ZqModelObjectGroup", "My Group Layer"},
    {"ZqModelObjectImage", "Image"},
    {"ZqModelObjectInstance", ""},
    {"ZqModelObjectLight", "Light"},
    {"ZqModelObjectLoadingBar", "Loading Bar"},
    {"ZqModelObjectLockButton", "Lock Button"},
    {"ZqModelObjectLogic", "Transform"},
    {"ZqModelObjectManipulator", ""},
    {"ZqModelObjectMirror", "Mirror"},
    {"ZqModelObjectParticles", "Particle"},
    {"ZqModelObjectParticlesEmitter", ""},
    {"ZqModelObjectPath", "Path"},
    {"ZqModelObjectScreenJump", "Menu Jump"},
    {"ZqModelObjectSwipeControl", ""},
    {"ZqModelObjectTeleport", "Portal"},
    {"ZqModelObjectTrail", "Trail"},
    {"ZqModelObjectUnlocker", "Unlock"},
    {"ZqModelObjectLabel", "Untitled"},
    {"ZqModelLevelSection", ""},
    {"ZqModelScreen", ""},
    {"ZqModelScreenScene", ""},
    {"ZqNodeScene", ""},
    {"ZqNodeUI", ""},
    {"ZqNodeUIStart", ""},
    {"ZqModelComponentCharacterGameplaySettings", "Character Gameplay Settings"},
    {"ZqModelComponentCharacterIcon", "Character Icon"},
    {"ZqModelComponentDamage", "Damage"},
    {"ZqModelComponentDeletionThreshold", "Object Deletion Threshold"},
    {"ZqModelComponentForcedMovement", "Forced Movement"},
    {"ZqModelComponentHealth", "Health"},
    {"ZqModelComponentIsoJump", "Ghost Jump"},
    {"ZqModelComponentMotor", "Motor"},
    {"ZqModelComponentMove", "Advanced Move"},
    {"ZqModelComponentRotationMapper", "Rotation Mapper"},
    {"ZqModelComponentSlide", "Slide"},
    {"ZqModelComponentSpawner", "Spawner"},
    {"ZqModelComponentWakeup", "Wake Up"},
    {"ZqModelComponentScore", "Score"},
}};

// The default name of a class of the list; a name not in it does not compile.
consteval std::string_view zqDefaultModelName(std::string_view className)
{
    for (const ZqModelClassName& entry : kZqModelClassNames) {
        if (entry.className == className)
            return entry.defaultName;
    }
    throw "not a model class of the game data";
}

// The plain factory of a registered class, inside its public section: a new model with
// the class's default name, wrapped and given its self pointer (zqCreateModel), not
// registered with the controller.
#define ZQ_MODEL_FACTORY(ClassName)                                                         \
    static std::shared_ptr<ClassName> create()                                               \
    {                                                                                        \
        return zqCreateModel<ClassName>(std::string(zqDefaultModelName(#ClassName)));       \
    }

// One row of the registration table (model/ZqModelRegistry.cpp).
struct ZqModelClass {
    const char* className;
    // The class's plain factory.
    std::shared_ptr<ZqModel> (*create)();
    // The class's copy factory; empty when the source is not exactly of the class. Null for
    // a class without copies (the general settings).
    std::shared_ptr<ZqModel> (*copy)(const ZqModel& source);
};

// The row of class X, from X::staticClassName, X::create() and X::create(const X&).
template <class X>
ZqModelClass zqModelClassRow()
{
    return {X::staticClassName(), [] { return std::shared_ptr<ZqModel>(X::create()); },
            [](const ZqModel& source) {
                if (source.typeId() != X::staticTypeId())
                    return std::shared_ptr<ZqModel>();
                return std::shared_ptr<ZqModel>(X::create(static_cast<const X&>(source)));
            }};
}

// The rows of the model classes that exist, in registration order.
std::span<const ZqModelClass> zqModelClassTable();

// Class name -> row. The controller holds one, filled from the table when it is made.
class ZqModelRegistry {
public:
    // Inserts the rows in order; a class name already present keeps its first row.
    void add(std::span<const ZqModelClass> rows);

    // The row of exactly that name (letter case and blanks count), else null.
    const ZqModelClass* find(const std::string& className) const;
    // A new model of that class, not registered with the controller; for a name the
    // registry does not know, nothing, with a log line.
    std::shared_ptr<ZqModel> create(const std::string& className) const;

    std::size_t size() const { return m_rows.size(); }
    // The registered class names in registration order.
    const std::vector<std::string>& classNames() const { return m_names; }

private:
    std::unordered_map<std::string, ZqModelClass> m_rows;
    std::vector<std::string> m_names;
};
