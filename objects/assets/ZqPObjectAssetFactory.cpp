// The asset-object factory: the runtime class of a placed model by its exact class.
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/assets/ZqPObjectAssetLogic.h"
#include "objects/assets/ZqPObjectAssetPath.h"
#include "objects/assets/ZqPObjectAssetPowerup.h"
#include "objects/assets/ZqPObjectAssetTriggers.h"
#include "objects/assets/ZqPObjectAssetUnit.h"

#include "ZqRandom.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetFlag.h"
#include "objects/assets/ZqPObjectAssetLight.h"
#include "objects/assets/ZqPObjectAssetMirror.h"
#include "objects/assets/ZqPObjectAssetParticles.h"
#include "objects/assets/ZqPObjectAssetTrail.h"

#include <cstddef>

using namespace cocos2d;

namespace {

// Makes the autoreleased object of a model known to be of its class; null when the
// class's own rules make none.
using AssetMaker = ZqPObject* (*)(const std::shared_ptr<ZqModel>& model);

// A unit plays only on an obstacle asset.
ZqPObject* makeUnit(const std::shared_ptr<ZqModel>& model)
{
    const std::shared_ptr<ZqModelObjectAssetUnit> unit = modelCast<ZqModelObjectAssetUnit>(model);
    if (!unit || !unit->assetObstacle())
        return nullptr;
    ZqPObject* object = new ZqPObjectAssetUnit(unit);
    object->autorelease();
    return object;
}

// A power-up appears by its "Appearance Chance" in percent; even a chance of 0 gives one in
// a hundred, and games are tuned to that.
ZqPObject* makePowerup(const std::shared_ptr<ZqModel>& model)
{
    const std::shared_ptr<ZqModelObjectAssetPowerup> powerup = modelCast<ZqModelObjectAssetPowerup>(model);
    const int chance = powerup->appearanceChance();
    if (chance < 100 && zqRand() % 100 > chance)
        return nullptr;
    ZqPObject* object = new ZqPObjectAssetPowerup(powerup);
    object->autorelease();
    return object;
}

// The autoreleased Object of a model of exactly class Model.
template <class Model, class Object> ZqPObject* makeObject(const std::shared_ptr<ZqModel>& model)
{
    ZqPObject* object = new Object(modelCast<Model>(model));
    object->autorelease();
    return object;
}

struct AssetClass {
    std::size_t modelType;
    // Null until the runtime class exists: such models make no object.
    AssetMaker make;
};

// Exact model classes, in the order they are tested; the first match decides.
const AssetClass kAssetClasses[] = {
    {ZqModelObjectAssetUnit::staticTypeId(), makeUnit},
    {ZqModelObjectAssetCharacter::staticTypeId(), &ZqPObjectAssetCharacter::createForModel},
    {ZqModelObjectAssetPowerup::staticTypeId(), makePowerup},
    {ZqModelObjectLight::staticTypeId(), makeObject<ZqModelObjectLight, ZqPObjectAssetLight>},
    {ZqModelObjectLogic::staticTypeId(), makeObject<ZqModelObjectLogic, ZqPObjectAssetLogic>},
    {ZqModelObjectTrail::staticTypeId(), makeObject<ZqModelObjectTrail, ZqPObjectAssetTrail>},
    {ZqModelObjectFlag::staticTypeId(), makeObject<ZqModelObjectFlag, ZqPObjectAssetFlag>},
    {ZqModelObjectPath::staticTypeId(), makeObject<ZqModelObjectPath, ZqPObjectAssetPath>},
    {ZqModelObjectTeleport::staticTypeId(), makeObject<ZqModelObjectTeleport, ZqPObjectAssetTeleport>},
    {ZqModelObjectGatekeeper::staticTypeId(), makeObject<ZqModelObjectGatekeeper, ZqPObjectAssetGatekeeper>},
    {ZqModelObjectMirror::staticTypeId(), makeObject<ZqModelObjectMirror, ZqPObjectAssetMirror>},
    {ZqModelObjectParticles::staticTypeId(), makeObject<ZqModelObjectParticles, ZqPObjectAssetParticles>},
    {ZqModelObjectScreenJump::staticTypeId(), makeObject<ZqModelObjectScreenJump, ZqPObjectAssetScreenJump>},
};

// An instance places the object its "Reference" names with its own placement. A reference
// holds only object assets, never another instance, so this recursion is one level deep.
ZqPObject* createInstance(const std::shared_ptr<ZqModelObjectInstance>& instance)
{
    ZqPObject* object = ZqPObjectAsset::createAssetObject(instance->reference());
    if (!object)
        return nullptr;
    object->setPosition(instance->position(0.0f, 0));
    object->setRotation(instance->rotation(0.0f, 0));
    const CCPoint scale = instance->scale(0.0f, 0);
    object->setScaleX(scale.x);
    object->setScaleY(scale.y);
    if (ZqPObjectAsset* asset = dynamic_cast<ZqPObjectAsset*>(object))
        asset->updateBoundingRect();
    return object;
}

} // namespace

ZqPObject* ZqPObjectAsset::createAssetObject(const std::shared_ptr<ZqModel>& model)
{
    if (!model)
        return nullptr;
    if (const std::shared_ptr<ZqModelObjectInstance> instance = modelCast<ZqModelObjectInstance>(model))
        return createInstance(instance);
    const std::size_t type = model->typeId();
    for (const AssetClass& entry : kAssetClasses) {
        if (entry.modelType == type)
            return entry.make ? entry.make(model) : nullptr;
    }
    return nullptr;
}
