// Units on the field core: tokens, start motion, death, one-way shapes and spawners.
#include "screens/field_test_support.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetUnit.h"

#include <cmath>

using namespace cocos2d;
using field_test::RuntimeTest;

namespace {

class UnitTest : public RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        field = makeField();
        frame();
    }

    // A one-frame looping animation of duration seconds.
    std::shared_ptr<ZqModelAnimation> animationOf(float duration, bool loop = true)
    {
        auto animation = ZqModelController::shared()->createModel<ZqModelAnimation>();
        animation->setDuration(duration);
        animation->setLoop(loop);
        animation->addChild(imageOf(containerOf({{255, 0, 0, 255}})));
        return animation;
    }

    // A unit at position with a box shape and a one-frame idle animation.
    std::shared_ptr<ZqModelObjectAssetUnit> unitModel(const CCPoint& position, const CCSize& size = CCSize(20, 20))
    {
        auto asset = ZqModelController::shared()->createModel<ZqModelAssetObstacle>();
        asset->updateCollisionShape(size, CCPoint());
        asset->m_idleAnimation->setValue(animationOf(1.0f));
        auto unit = ZqModelController::shared()->createModel<ZqModelObjectAssetUnit>();
        unit->setAsset(asset);
        unit->setPosition(position);
        unit->setCollisionType("kCharacterCollision");
        return unit;
    }

    ZqPObjectAssetUnit* place(const std::shared_ptr<ZqModel>& model)
    {
        auto* unit = dynamic_cast<ZqPObjectAssetUnit*>(ZqPObjectAsset::createAssetObject(model));
        EXPECT_NE(unit, nullptr);
        if (unit)
            addToField(field, unit);
        return unit;
    }

    long copiesInField() const
    {
        long copies = 0;
        for (CCObject* child : *field->camera()->getChildren()) {
            if (auto* object = dynamic_cast<ZqPObject*>(child); object && (object->objectType() & ZqPObject::kTypeSpawnedCopy))
                ++copies;
        }
        return copies;
    }

    ZqPScreenScene* field = nullptr;
};

TEST_F(UnitTest, TheFactoryMakesUnitsOnObstacleAssetsAndReadsTheirTokens)
{
    auto plain = unitModel(CCPoint());
    plain->setAsset(ZqModelController::shared()->createModel<ZqModelAsset>());
    EXPECT_EQ(ZqPObjectAsset::createAssetObject(plain), nullptr) << "not an obstacle asset";

    auto model = unitModel(CCPoint(50, 60));
    static_cast<ZqAttributeStringList*>(model->findAttribute("Object Type"))->setValue("kEnemyObjectType");
    model->setDestroyType("kDestroyAllCollision");
    auto wakeup = ZqModelController::shared()->createModel<ZqModelComponentWakeup>();
    wakeup->m_wakeUp->setValue("kTimeBasedWakeup");
    wakeup->m_sleep->setValue("kDistanceBasedSleep");
    wakeup->m_wakeupDistance->setValue(120.0f);
    wakeup->m_sleepDistance->setValue(80.0f);
    model->addChild(wakeup);
    ZqPObjectAssetUnit* unit = place(model);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->objectType(), ZqPObject::kTypeUnit);
    EXPECT_EQ(unit->objectKind(), ZqPObjectAssetUnit::kKindEnemy);
    EXPECT_EQ(unit->collisionKind(), 1);
    EXPECT_TRUE(unit->castsShadow());
    EXPECT_EQ(unit->destroyType(), ZqPObjectAsset::kDestroyAllCollision);
    EXPECT_EQ(unit->wakeUpDistance(), 120.0f);
    EXPECT_EQ(unit->sleepDistance(), 80.0f);
    wakeup->m_wakeUp->setValue("kCollisionBasedWakeup");
    EXPECT_EQ(place(model)->wakeUpDistance(), -3000.0f) << "woken by a touch, not by distance";
    wakeup->m_wakeUp->setValue("kSomethingElse");
    EXPECT_EQ(place(model)->wakeUpDistance(), 3000.0f);
    // The bounds are the idle animation's 8-point frame, centred on the unit.
    const CCRect bounds = unit->boundingRect();
    EXPECT_FLOAT_EQ(bounds.getMidX(), 50.0f);
    EXPECT_FLOAT_EQ(bounds.size.width, 8.0f);

    auto bare = unitModel(CCPoint());
    bare->assetObstacle()->m_idleAnimation->setValue(nullptr);
    ZqPObjectAssetUnit* still = place(bare);
    EXPECT_EQ(still->getBody(), nullptr) << "no idle animation, no body";
}

TEST_F(UnitTest, EachDestroyTokenGivesItsOwnDestroyTypeAndAnyOtherNone)
{
    const std::pair<const char*, int> tokens[] = {
        {"kDestroyCollision", ZqPObjectAsset::kDestroyCollision},
        {"kDestroyEnemyCollision", ZqPObjectAsset::kDestroyEnemyCollision},
        {"kDestroyAllCollision", ZqPObjectAsset::kDestroyAllCollision},
        {"kDestroyNo", ZqPObjectAsset::kDestroyNo},
        {"kdestroycollision", ZqPObjectAsset::kDestroyNo},
        {"kDestroyTypeCount", ZqPObjectAsset::kDestroyNo},
    };
    for (const auto& [token, type] : tokens) {
        auto model = unitModel(CCPoint());
        model->setDestroyType(token);
        ZqPObjectAssetUnit* unit = place(model);
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->destroyType(), type) << token;
    }
}

TEST_F(UnitTest, StartMotionIsKinematicOrABulletForLinearUnitsAndAFreeBodyForPhysicsOnes)
{
    auto walker = unitModel(CCPoint(100, 100));
    walker->setMovementType("kMovementLinear");
    walker->setLinearVelocity(CCPoint(2, 0));
    auto bullet = unitModel(CCPoint(100, 200));
    bullet->setMovementType("kMovementLinear");
    bullet->setDestroyType("kDestroyEnemyCollision");
    bullet->setLinearVelocity(CCPoint(1, 0));
    auto thrown = unitModel(CCPoint(400, 300));
    thrown->setMovementType("kMovementPhysics");
    thrown->setLinearVelocity(CCPoint(3, 0));
    ZqPObjectAssetUnit* a = place(walker);
    ZqPObjectAssetUnit* b = place(bullet);
    ZqPObjectAssetUnit* c = place(thrown);
    frame();
    ASSERT_TRUE(a->isWoken() && b->isWoken() && c->isWoken());
    EXPECT_FALSE(a->isStartMotionPending());
    EXPECT_EQ(a->getBody()->GetType(), b2_kinematicBody);
    EXPECT_EQ(b->getBody()->GetType(), b2_dynamicBody);
    EXPECT_TRUE(b->getBody()->IsBullet());
    EXPECT_EQ(b->getBody()->GetGravityScale(), 0.0f);
    EXPECT_EQ(c->getBody()->GetType(), b2_dynamicBody);
    EXPECT_FLOAT_EQ(c->getBody()->GetLinearVelocity().x, 3.0f) << "physics velocity is metres a second";
    for (int i = 0; i < 30; ++i)
        frame();
    // Two units of 32 points a second for half a second, give or take the frame it started.
    EXPECT_NEAR(a->getPositionX() - 100.0f, 32.0f, 2.2f);
    EXPECT_NEAR(b->getPositionY(), 200.0f, 0.01f) << "a bullet does not fall";
}

TEST_F(UnitTest, DeathShowsTheDefeatedAnimationThenRemovesTheUnit)
{
    auto quick = unitModel(CCPoint(100, 100));
    ZqPObjectAssetUnit* plain = place(quick);
    plain->retain();
    plain->setState(ZqPObject::kStateDestroyed);
    EXPECT_EQ(plain->state(), ZqPObject::kStateRemoved) << "no defeated animation: gone at once";
    frame();
    EXPECT_EQ(plain->getParent(), nullptr);
    plain->release();

    auto dying = unitModel(CCPoint(200, 100));
    dying->assetObstacle()->m_defeatedAnimation->setValue(animationOf(0.1f, false));
    ZqPObjectAssetUnit* unit = place(dying);
    unit->retain();
    frame();
    unit->setState(ZqPObject::kStateDestroyed);
    EXPECT_EQ(unit->idleAnimation()->getParent(), nullptr);
    ASSERT_EQ(unit->defeatedAnimation()->getParent(), unit);
    EXPECT_TRUE(unit->defeatedAnimation()->isVisible());
    frame();
    EXPECT_TRUE(unit->getBody()->GetFixtureList()->IsSensor()) << "a dying unit blocks nothing";
    for (int i = 0; i < 6 && unit->getParent(); ++i)
        frame();
    EXPECT_EQ(unit->state(), ZqPObject::kStateRemoved);
    EXPECT_EQ(field->camera()->getChildrenCount(), 0u) << "removed once the animation ran through";
    unit->release();
}

TEST_F(UnitTest, AOneWayPlatformIsSolidOnlyWithinAQuarterTurnOfItsVector)
{
    auto platformModel = unitModel(CCPoint(300, 200), CCSize(200, 20));
    platformModel->collisionShape()->setOneWayCollisionVector(CCPoint(0, 1));
    ZqPObjectAssetUnit* platform = place(platformModel);
    EXPECT_TRUE(platform->isSolidFrom(platform, b2Vec2(0, 1)));
    EXPECT_TRUE(platform->isSolidFrom(platform, b2Vec2(0.99f, 0.1f)));
    EXPECT_FALSE(platform->isSolidFrom(platform, b2Vec2(1, 0))) << "the bounds are strict";
    EXPECT_FALSE(platform->isSolidFrom(platform, b2Vec2(0, -1)));
    platformModel->collisionShape()->setOneWayCollisionVector(CCPoint(-1, 0));
    EXPECT_TRUE(platform->isSolidFrom(platform, b2Vec2(std::cos(3.0f), std::sin(3.0f))));
    EXPECT_FALSE(platform->isSolidFrom(platform, b2Vec2(std::cos(-3.0f), std::sin(-3.0f)))) << "no wrap at pi";
    platformModel->collisionShape()->setOneWayCollisionVector(CCPoint(0, 1));

    // Thrown up from below, the ball passes through, then lands on top on the way down.
    auto ballModel = unitModel(CCPoint(300, 100));
    ballModel->setMovementType("kMovementPhysics");
    ballModel->setLinearVelocity(CCPoint(0, 30));
    ZqPObjectAssetUnit* ball = place(ballModel);
    bool passed = false;
    float highest = 0.0f;
    for (int i = 0; i < 180; ++i) {
        frame();
        highest = std::max(highest, ball->getPositionY());
        if (!platform->passThroughIds().empty()) {
            passed = true;
            EXPECT_EQ(platform->passThroughIds().front(), static_cast<int>(ballModel->id()));
            EXPECT_FALSE(platform->isContactSolid());
        }
    }
    EXPECT_TRUE(passed);
    EXPECT_GT(highest, 230.0f) << "it went through";
    EXPECT_NEAR(ball->getPositionY(), 220.0f, 1.5f) << "resting on the top side";
    EXPECT_TRUE(platform->passThroughIds().empty());

    // Two objects of one model are recorded twice and leave one entry per end contact; a
    // contact without points takes the other's velocity (rising, so from the open side).
    auto twin = unitModel(CCPoint(300, 195));
    ZqPObjectAssetUnit* first = place(twin);
    ZqPObjectAssetUnit* second = place(twin);
    frame();
    for (ZqPObjectAssetUnit* unit : {first, second}) {
        unit->getBody()->SetType(b2_dynamicBody);
        unit->getBody()->SetLinearVelocity(b2Vec2(0, 5));
        platform->beginContact(unit, nullptr, true);
    }
    EXPECT_EQ(platform->passThroughIds().size(), 2u);
    platform->endContact(first, nullptr);
    EXPECT_EQ(platform->passThroughIds().size(), 1u);
    EXPECT_TRUE(platform->isContactSolid());
}

TEST_F(UnitTest, ShootingSpawnersFireOnEachPressAndEveryIntervalWhileHeld)
{
    const auto shooter = [&](const char* action) {
        auto model = unitModel(CCPoint(300, 300));
        model->setCollisionType("kNoCollision");
        model->setSpawnerEnabled(true);
        model->setSpawnAction(action);
        model->setSpawnRate(0.25f);
        auto* unit = dynamic_cast<ZqPObjectAssetUnit*>(ZqPObjectAsset::createAssetObject(model));
        unit->setSpawnSource(true);
        addToField(field, unit);
        return unit;
    };
    ZqPObjectAssetUnit* gun = shooter("kShootingSpawning");
    EXPECT_TRUE(gun->getBody()->GetFixtureList()->IsSensor());
    EXPECT_FALSE(gun->idleAnimation()->isVisible());
    frame();
    EXPECT_EQ(copiesInField(), 0) << "nothing fires before the shoot action";
    ZqPInputController* input = ZqPInputController::shared();
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    frame();
    EXPECT_EQ(copiesInField(), 1);
    for (int i = 0; i < 16; ++i)
        frame();
    EXPECT_EQ(copiesInField(), 2) << "one every quarter second while held";
    input->actionEnd(ZqPInputController::kShoot, nullptr);
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    frame();
    EXPECT_EQ(copiesInField(), 3) << "a press restarts the timer";
    input->actionEnd(ZqPInputController::kShoot, nullptr);
    frame();

    // A copy that leaves the visible area is removed.
    CCArray* children = CCArray::createWithArray(field->camera()->getChildren());
    for (CCObject* child : *children) {
        if (auto* copy = dynamic_cast<ZqPObjectAssetUnit*>(child); copy && copy != gun) {
            EXPECT_TRUE(copy->idleAnimation()->isVisible()) << "a copy shows itself";
            copy->getBody()->SetTransform(b2Vec2(-500, 0), 0);
        }
    }
    frame();
    frame();
    EXPECT_EQ(copiesInField(), 0);

    gun->setState(ZqPObject::kStateRemoved);
    frame();
    ZqPObjectAssetUnit* steady = shooter("kNonResetShootingSpawning");
    frame();
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    frame();
    input->actionEnd(ZqPInputController::kShoot, nullptr);
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    frame();
    EXPECT_EQ(copiesInField(), 1) << "presses do not restart its timer";
    EXPECT_GT(steady->activationTimer(), 0.0f);
    input->actionEnd(ZqPInputController::kShoot, nullptr);
}

// Calls spawn on a gun from inside the physics step, when a contact begins.
class StepSpawner : public CCObject {
public:
    void onCollision(ZqPObject*, ZqPObject*)
    {
        lockedDuringCall = gun->getBody()->GetWorld()->IsLocked();
        gun->spawn();
        ++calls;
    }
    ZqPObjectAssetUnit* gun = nullptr;
    bool lockedDuringCall = false;
    int calls = 0;
};

TEST_F(UnitTest, SpawningInsideAStepWaitsAndPendingMovesApplyOnce)
{
    auto gunModel = unitModel(CCPoint(600, 300));
    gunModel->setSpawnerEnabled(true);
    gunModel->setSpawnAction("kShootingSpawning");
    auto* gun = dynamic_cast<ZqPObjectAssetUnit*>(ZqPObjectAsset::createAssetObject(gunModel));
    gun->setSpawnSource(true);
    addToField(field, gun);
    ZqPObjectAssetUnit* ground = place(unitModel(CCPoint(300, 100), CCSize(200, 20)));
    auto ballModel = unitModel(CCPoint(300, 130));
    ballModel->setMovementType("kMovementPhysics");
    place(ballModel);
    StepSpawner spawner;
    spawner.gun = gun;
    ground->addEventSubscription(ZqPObjectAsset::kEventCollision, &spawner,
                                 zq_object_event_selector(StepSpawner::onCollision));
    for (int i = 0; i < 30 && spawner.calls == 0; ++i)
        frame();
    ASSERT_GT(spawner.calls, 0);
    EXPECT_TRUE(spawner.lockedDuringCall);
    EXPECT_EQ(copiesInField(), 0) << "no body may be made inside a step";
    EXPECT_EQ(gun->activationTimer(), 0.0f) << "so the next try fires at once";
    ground->removeEventSubscription(&spawner);
    gun->spawn();
    EXPECT_EQ(copiesInField(), 1);

    // x added to, y replaced, rotation kept: the body moves once and the node follows.
    ground->changePositionX(50.0f, "kAdd");
    ground->changePositionY(40.0f, "kReplace");
    ground->changeRotation(3.0f, "kNone");
    frame();
    frame();
    EXPECT_NEAR(ground->getPositionX(), 350.0f, 0.01f);
    EXPECT_NEAR(ground->getPositionY(), 40.0f, 0.01f);
    EXPECT_NEAR(ground->getRotation(), 0.0f, 1e-4f);
    ground->changeRotation(2.0f, "kMultiply");
    frame();
    EXPECT_NEAR(ground->getPositionX(), 350.0f, 0.01f) << "applied once, then cleared";
}

} // namespace
