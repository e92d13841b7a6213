// What the object models do beyond holding attributes: the group's copy and character
// count, the instance's forwarding, the unit's spawner and wake-up answers, the particle
// model's emitters, the emitter's colour and position lookups, path points, own outlines.
#include "object_support.h"

#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"

#include <climits>

namespace {

using namespace object_test;
using namespace cocos2d;

using GroupTest = SceneModelTest;

TEST_F(GroupTest, CountsItsCharacterChildrenThroughAddRemoveAndClear)
{
    const std::shared_ptr<ZqModelObjectGroup> group = ZqModelObjectGroup::create();
    const auto first = ZqModelObjectAssetCharacter::create();
    const auto second = ZqModelObjectAssetCharacter::create();
    group->addChild(first);
    group->addChild(second);
    group->addChild(ZqModelObjectAssetPowerup::create());
    group->addChild(first); // already a child: refused, not counted again
    EXPECT_EQ(group->characterCount(), 2);
    group->removeChild(first);
    group->removeChild(first);
    EXPECT_EQ(group->characterCount(), 1);
    group->removeAllChildren();
    EXPECT_EQ(group->characterCount(), 0);
}

TEST_F(GroupTest, CopyHasNoChildrenEvenWhenDeep)
{
    const std::shared_ptr<ZqModelObjectGroup> group = controller().createModel<ZqModelObjectGroup>();
    group->m_sortOrder->setValue("kSortDesc");
    group->addChild(controller().createModel<ZqModelObjectAssetCharacter>());
    group->addChild(controller().createModel<ZqModelObjectImage>());

    for (bool deep : {false, true}) {
        const auto copy = duplicateModel(group, deep, true);
        ASSERT_TRUE(copy);
        EXPECT_TRUE(copy->children().empty());
        EXPECT_EQ(copy->characterCount(), 0);
        EXPECT_EQ(copy->sortOrder(), "kSortDesc");
        EXPECT_EQ(controller().modelById(copy->id()), copy); // registered like the source
    }
    EXPECT_EQ(group->children().size(), 2u);
    EXPECT_EQ(group->characterCount(), 1);
}

using UnitTest = SceneModelTest;

TEST_F(UnitTest, WithoutComponentsAnswersTheAbsentValues)
{
    const std::shared_ptr<ZqModelObjectAssetUnit> unit = ZqModelObjectAssetUnit::create();
    EXPECT_FALSE(unit->hasSpawner());
    EXPECT_EQ(unit->spawnRate(), 1.0f);
    EXPECT_EQ(unit->spawnAction(), kSpawnActionOther);
    EXPECT_EQ(unit->wakeUpType(), kNoWakeup);
    EXPECT_EQ(unit->sleepType(), kNoSleep);
    EXPECT_EQ(unit->wakeupDistance(), 0.0f);
    EXPECT_EQ(unit->sleepDistance(), 0.0f);
    EXPECT_FALSE(unit->idleSound());
    EXPECT_FALSE(unit->assetObstacle());
    unit->setSpawnRate(4.0f); // nothing to set without a spawner
    unit->setSpawnAction("kShootingSpawning");
    EXPECT_FALSE(unit->hasSpawner());
}

TEST_F(UnitTest, SpawnRateDrawsWithinTheSpawnersSpread)
{
    const std::shared_ptr<ZqModelObjectAssetUnit> unit = ZqModelObjectAssetUnit::create();
    unit->setSpawnerEnabled(true);
    unit->setSpawnerEnabled(true);
    ASSERT_EQ(unit->childrenOfClass<ZqModelComponentSpawner>().size(), 1u);
    unit->setSpawnRate(2.0f);
    unit->setSpawnAction("kJumpingSpawning");
    unit->spawner()->m_spawnRate->setVariableValue(0.5f);
    EXPECT_TRUE(unit->hasSpawner());
    EXPECT_EQ(unit->spawnAction(), kJumpingSpawning);
    float low = 10.0f;
    float high = -10.0f;
    for (int i = 0; i < 400; ++i) {
        const float rate = unit->spawnRate();
        low = std::min(low, rate);
        high = std::max(high, rate);
    }
    EXPECT_GE(low, 1.5f);
    EXPECT_LE(high, 2.5f);
    EXPECT_LT(low, 1.8f); // really spread, not the plain value
    EXPECT_GT(high, 2.2f);

    unit->setSpawnerEnabled(false);
    EXPECT_FALSE(unit->hasSpawner());
    EXPECT_EQ(unit->spawnRate(), 1.0f);
}

TEST_F(UnitTest, ReadsItsWakeupComponentAndObstacleSound)
{
    const std::shared_ptr<ZqModelObjectAssetUnit> unit = ZqModelObjectAssetUnit::create();
    const auto wakeup = ZqModelComponentWakeup::create();
    wakeup->m_wakeUp->setValue("kTimeBasedWakeup");
    wakeup->m_sleepDistance->setValue(320.0f);
    unit->addChild(wakeup);
    EXPECT_EQ(unit->wakeUpType(), kTimeBasedWakeup);
    EXPECT_EQ(unit->sleepType(), kNoSleep);
    EXPECT_EQ(unit->sleepDistance(), 320.0f);

    const auto sound = controller().createModel<ZqModelSound>();
    const auto obstacle = controller().createModel<ZqModelAssetObstacle>();
    obstacle->m_idleSound->setValue(sound);
    unit->setAsset(obstacle);
    EXPECT_EQ(unit->assetObstacle(), obstacle);
    EXPECT_EQ(unit->idleSound(), sound);

    // An asset of another class gives no obstacle and no sound.
    unit->setAsset(controller().createModel<ZqModelAssetPowerup>());
    EXPECT_FALSE(unit->assetObstacle());
    EXPECT_FALSE(unit->idleSound());
}

using InstanceTest = SceneModelTest;

TEST_F(InstanceTest, ForwardsToItsReferenceAndAnswersEmptyWithout)
{
    const std::shared_ptr<ZqModelObjectInstance> instance = ZqModelObjectInstance::create();
    EXPECT_FALSE(instance->hasSpawner());
    EXPECT_EQ(instance->spawnRate(), 0.0f);
    EXPECT_FALSE(instance->spriteContainer());
    EXPECT_EQ(instance->contentSize(0.0f).width, 100.0f);

    const auto unit = controller().createModel<ZqModelObjectAssetUnit>();
    instance->setReference(unit);
    EXPECT_FALSE(instance->hasSpawner());
    EXPECT_EQ(instance->spawnRate(), 1.0f); // the unit's own answer without a spawner
    unit->setSpawnerEnabled(true);
    unit->setSpawnRate(3.0f);
    EXPECT_TRUE(instance->hasSpawner());
    EXPECT_EQ(instance->spawnRate(), 3.0f);

    const auto background = ZqModelObjectBackground::create();
    const auto image = controller().createModel<ZqModelSpriteContainer>();
    background->m_image->setValue(image);
    EXPECT_EQ(background->spriteContainer(), image);

    instance->setReference(nullptr);
    EXPECT_FALSE(instance->hasSpawner());
    EXPECT_EQ(instance->spawnRate(), 0.0f);
}

using ParticlesTest = SceneModelTest;

TEST_F(ParticlesTest, EmittersAreTheLinkedEmitterModelsInLinkOrder)
{
    const auto particles = controller().createModel<ZqModelObjectParticles>();
    EXPECT_TRUE(particles->emitters().empty());
    const auto first = controller().createModel<ZqModelObjectParticlesEmitter>();
    const auto second = controller().createModel<ZqModelObjectParticlesEmitter>();
    particles->addEmitter(*second);
    particles->addEmitter(*first);
    // A port of another class linked to "Emitters" is not an emitter.
    const auto other = controller().createModel<ZqModelObjectAsset>();
    auto* stray = new ZqAttribute("Emitters", other.get());
    stray->setConnectionType(ZqBaseAttribute::kTarget, true);
    particles->m_emitters->connect(stray);
    ASSERT_EQ(particles->emitters().size(), 2u);
    EXPECT_EQ(particles->emitters()[0], second);
    EXPECT_EQ(particles->emitters()[1], first);

    // A copied emitter joins the same particle model; a copied particle model has none.
    const auto copy = duplicateModel(first, false, true);
    EXPECT_EQ(particles->emitters().size(), 3u);
    EXPECT_TRUE(duplicateModel(particles, true, false)->emitters().empty());

    // An emitter moved to another particle model leaves the first.
    const auto otherParticles = controller().createModel<ZqModelObjectParticles>();
    otherParticles->addEmitter(*copy);
    EXPECT_EQ(particles->emitters().size(), 2u);
    EXPECT_EQ(otherParticles->emitters().size(), 1u);
}

TEST_F(ParticlesTest, EmitterLookups)
{
    const auto emitter = ZqModelObjectParticlesEmitter::create();
    emitter->m_color->setColorAt(0.25f, ccc4f(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(emitter->colorAt(0.25f).g, 0.2f);
    const ccColor4F missing = emitter->colorAt(0.3f);
    EXPECT_EQ(missing.r, 0.0f);
    EXPECT_EQ(missing.a, 1.0f);
    EXPECT_EQ(emitter->colorVariationAt(0.25f).a, 1.0f);

    EXPECT_EQ(emitter->positionType(), 0);
    emitter->m_positionType->setValue("kCCPositionTypeRelative");
    EXPECT_EQ(emitter->positionType(), 1);
    emitter->m_positionType->setValue("kCCPositionTypeGrouped");
    EXPECT_EQ(emitter->positionType(), 2);

    emitter->m_totalParticles->setValue(149.9f);
    EXPECT_EQ(emitter->totalParticles(), 149);
    emitter->m_totalParticles->setValue(1e20f);
    EXPECT_EQ(emitter->totalParticles(), INT_MAX);
}

using PathTest = SceneModelTest;

TEST_F(PathTest, ObjectAssetIdIsZeroForAnythingButANumberAndKeepsItsSign)
{
    const auto path = ZqModelObjectPath::create();
    EXPECT_EQ(path->objectAssetId(), 0);
    path->m_objectAsset->setValue("42");
    EXPECT_EQ(path->objectAssetId(), 42);
    path->m_objectAsset->setValue("abc");
    EXPECT_EQ(path->objectAssetId(), 0);
    path->m_objectAsset->setValue("-5"); // any asset
    EXPECT_EQ(path->objectAssetId(), -5);
}

TEST_F(PathTest, WrongPointsFailTheFileCleanly)
{
    const auto path = controller().createModel<ZqModelObjectPath>();
    installKeysOf({path});
    msgpack::sbuffer buffer;
    msgpack::zone zone;
    MessagePackMap broken(&zone);
    broken.setUInt("id", path->id());
    broken.setString("Class Name", path->className());
    broken.setString("points", "not a list");
    packObject(buffer, broken.toObject());
    controller().reset();
    EXPECT_FALSE(loader().parseModelFile(reinterpret_cast<const unsigned char*>(buffer.data()), buffer.size(),
                                         ZqModelLoader::kAttributesFile));
    EXPECT_FALSE(loader().errorText().empty());
}

using OwnShapeTest = SceneModelTest;

TEST_F(OwnShapeTest, StartsAsA60By60BoxAndCopiesKeepTheirOwn)
{
    ModelList objects = {ZqModelObjectLight::create(),    ZqModelObjectFlag::create(),
                         ZqModelObjectGatekeeper::create(), ZqModelObjectMirror::create(),
                         ZqModelObjectScreenJump::create(), ZqModelObjectTeleport::create()};
    for (const std::shared_ptr<ZqModel>& model : objects) {
        SCOPED_TRACE(model->className());
        auto object = std::static_pointer_cast<ZqModelObjectAsset>(model);
        // The own outline wins over an asset's.
        object->setAsset(controller().createModel<ZqModelAsset>());
        const std::shared_ptr<ZqModelPolygon> shape = object->collisionShape();
        ASSERT_TRUE(shape);
        ASSERT_EQ(shape->pointCount(), 4);
        float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
        for (const CCPoint& point : shape->points()) {
            minX = std::min(minX, point.x);
            maxX = std::max(maxX, point.x);
            minY = std::min(minY, point.y);
            maxY = std::max(maxY, point.y);
        }
        EXPECT_EQ(maxX - minX, 60.0f);
        EXPECT_EQ(maxY - minY, 60.0f);
        EXPECT_EQ(maxX + minX, 0.0f);
        EXPECT_EQ(maxY + minY, 0.0f);

        const auto copy = std::static_pointer_cast<ZqModelObjectAsset>(model->duplicate(false, false));
        ASSERT_NE(copy->collisionShape(), shape);
        copy->collisionShape()->setPoint(0, CCPoint(1.0f, 1.0f));
        EXPECT_NE(shape->pointAt(0).x, 1.0f);
    }
}

TEST_F(OwnShapeTest, AMapWithoutAnOutlineKeepsTheDefaultBox)
{
    const auto light = controller().createModel<ZqModelObjectLight>();
    installKeysOf({light});
    msgpack::zone zone;
    MessagePackMap map(&zone);
    map.setUInt("id", light->id());
    map.setString("Class Name", light->className());
    msgpack::sbuffer buffer;
    packObject(buffer, map.toObject());
    controller().reset();
    ASSERT_TRUE(loader().parseModelFile(reinterpret_cast<const unsigned char*>(buffer.data()), buffer.size(),
                                        ZqModelLoader::kAttributesFile));
    const auto loaded = modelCast<ZqModelObjectLight>(controller().modelById(light->id()));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->collisionShape()->pointCount(), 4);
}

} // namespace
