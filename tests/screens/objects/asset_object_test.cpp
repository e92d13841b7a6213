// Physical asset objects: bodies by the lazy rules, own movement, wake and sleep, placed
// objects, state animations with fixture swaps, subscriptions and the contact damage rule.
#include "screens/field_test_support.h"

#include "components/ZqComponent.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/scene/ZqModelComponents.h"
#include "objects/ZqPAnimationObject.h"

#include <cmath>

using namespace cocos2d;
using namespace field_test;

namespace {

class AssetObjectTest : public RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        field = makeField();
        frame();
    }
    ZqPObjectAsset* placedBox(const CCPoint& at, const CCSize& size = CCSize(40, 40))
    {
        return addToField(field, assetOf(boxModel(at, size)));
    }
    // The first fixture's polygon width in metres.
    static float fixtureWidth(const ZqPObjectAsset* object)
    {
        const auto* polygon = static_cast<const b2PolygonShape*>(object->getBody()->GetFixtureList()->GetShape());
        float low = 1e9f;
        float high = -1e9f;
        for (int i = 0; i < polygon->m_count; ++i) {
            low = std::min(low, polygon->m_vertices[i].x);
            high = std::max(high, polygon->m_vertices[i].x);
        }
        return high - low;
    }
    static std::shared_ptr<ZqModelPolygon> boxShape(float side)
    {
        auto shape = ZqModelController::shared()->createModel<ZqModelPolygon>();
        shape->addDefaultShape(CCSize(side, side), CCPoint(), true);
        return shape;
    }
    static ZqPAnimationObject* animation()
    {
        return ZqPAnimationObject::create(zqCreateModel<ZqModelAnimation>("state"));
    }

    ZqPScreenScene* field = nullptr;
};

TEST_F(AssetObjectTest, BodiesFollowTheLazyScaleAndShapeRules)
{
    ZqPObjectAsset* plain = placedBox(CCPoint(100, 60));
    ASSERT_NE(plain->getBody(), nullptr);
    b2Body* body = plain->getBody();
    EXPECT_EQ(body->GetType(), b2_staticBody);
    EXPECT_NEAR(body->GetPosition().x, 5.0f, 1e-5f);
    EXPECT_NEAR(body->GetPosition().y, 3.0f, 1e-5f);
    EXPECT_FALSE(body->IsSleepingAllowed());
    EXPECT_TRUE(body->GetFixtureList()->IsSensor()) << "collision kind 0";
    EXPECT_FLOAT_EQ(body->GetFixtureList()->GetDensity(), 0.1f);
    EXPECT_EQ(zqObjectOf(body), plain);
    EXPECT_EQ(zqObjectOf(body->GetFixtureList()), plain);

    // Lazy: an object that neither collides, moves, turns nor spawns waits for the field's
    // own creation; any one of those makes its body at once.
    ZqPObjectAsset* idle = assetOf(boxModel(CCPoint(0, 0)));
    idle->setLinearMovement(true);
    addToField(field, idle, true);
    EXPECT_EQ(idle->getBody(), nullptr);
    idle->createBody(field->world(), false);
    EXPECT_NE(idle->getBody(), nullptr);
    for (int variant = 0; variant < 4; ++variant) {
        ZqPObjectAsset* object = assetOf(boxModel(CCPoint(0, 0)));
        object->setLinearMovement(true);
        if (variant == 0)
            object->setCollisionKind(1);
        if (variant == 1)
            object->setVelocity(1, 0);
        if (variant == 2)
            object->setAngularSpeed(1);
        if (variant == 3)
            object->setSpawnSource(true);
        addToField(field, object, true);
        ASSERT_NE(object->getBody(), nullptr) << variant;
        EXPECT_EQ(object->getBody()->GetFixtureList()->IsSensor(), variant != 0);
    }

    ZqPObjectAsset* flat = assetOf(boxModel(CCPoint(0, 0)));
    flat->setScaleY(0.0f);
    addToField(field, flat);
    EXPECT_EQ(flat->getBody(), nullptr);
    flat->update(kStep);
    EXPECT_FALSE(flat->isWoken()) << "waking needs a body";

    auto shapeless = ZqModelController::shared()->createModel<ZqModelObjectAsset>();
    shapeless->setAsset(ZqModelController::shared()->createModel<ZqModelAsset>());
    EXPECT_EQ(addToField(field, assetOf(shapeless))->getBody(), nullptr);
    // Two points make no polygon Box2D accepts.
    auto line = boxModel(CCPoint(0, 0));
    line->asset()->collisionShape()->removeAllPoints();
    line->asset()->collisionShape()->addPoint(CCPoint(0, 0), true);
    line->asset()->collisionShape()->addPoint(CCPoint(10, 0), true);
    EXPECT_EQ(addToField(field, assetOf(line))->getBody(), nullptr);
}

TEST_F(AssetObjectTest, LinearMovementAtThirtyTwoPointsAUnitAndItsDistance)
{
    ZqPObjectAsset* mover = placedBox(CCPoint(0, 0));
    mover->setLinearMovement(true);
    mover->setVelocity(2.0f, 0.0f);
    mover->setAngularSpeed(3.2f);
    mover->setRotation(90.0f);
    mover->createBody(field->world(), false);
    mover->getBody()->SetType(b2_kinematicBody);
    frame();
    ASSERT_TRUE(mover->isWoken()) << "the characters' centre is near";
    // Rotated by 90 degrees clockwise: +x becomes -y.
    const b2Vec2 v = mover->getBody()->GetLinearVelocity();
    EXPECT_NEAR(v.x, 0.0f, 1e-4f);
    EXPECT_NEAR(v.y, -2.0f * 32.0f * 0.05f, 1e-4f);
    EXPECT_NEAR(mover->getBody()->GetAngularVelocity(), 0.1f, 1e-6f);
    for (int i = 1; i < 60; ++i)
        frame();
    EXPECT_NEAR(mover->travelled(), 64.0f, 0.01f) << "two units of 32 points a second for a second";

    // Without its own movement the body's speed counts: 1 m/s is 20 points a second.
    ZqPObjectAsset* pushed = placedBox(CCPoint(500, 0));
    pushed->getBody()->SetType(b2_dynamicBody);
    pushed->getBody()->SetGravityScale(0.0f);
    pushed->getBody()->SetLinearVelocity(b2Vec2(1.0f, 0.0f));
    for (int i = 0; i < 60; ++i)
        frame();
    EXPECT_NEAR(pushed->travelled(), 20.0f, 0.05f);
    EXPECT_NEAR(pushed->getPositionX(), 520.0f, 0.05f) << "the node follows the body";
}

TEST_F(AssetObjectTest, VelocityScaleDragsEveryBodyEachFrame)
{
    ZqPObjectAsset* pushed = placedBox(CCPoint(0, 0));
    pushed->getBody()->SetType(b2_dynamicBody);
    pushed->getBody()->SetGravityScale(0.0f);
    pushed->getBody()->SetLinearVelocity(b2Vec2(8.0f, 0.0f));
    GameplayParameters::shared()->setVelocityScale(0.5f);
    frame();
    EXPECT_FLOAT_EQ(pushed->getBody()->GetLinearVelocity().x, 4.0f);
    frame();
    EXPECT_FLOAT_EQ(pushed->getBody()->GetLinearVelocity().x, 2.0f);
}

// Wakes and sleeps at distances of its own.
class Sleeper : public ZqPObjectAsset {
public:
    using ZqPObjectAsset::ZqPObjectAsset;
    float wakeUpDistance() const override { return 400.0f; }
    float sleepDistance() const override { return 16.0f; }
};

TEST_F(AssetObjectTest, WakesAsTheCentreComesNearAndSleepsAfterItsDistance)
{
    auto* sleeper = new Sleeper(boxModel(CCPoint(600, 0)));
    sleeper->autorelease();
    addToField(field, sleeper);
    sleeper->setLinearMovement(true);
    sleeper->setVelocity(-1.0f, 0.0f);
    sleeper->setSleepMode(1);
    sleeper->getBody()->SetType(b2_kinematicBody);
    frame();
    EXPECT_FALSE(sleeper->isWoken()) << "600 points ahead of the centre";
    EXPECT_NEAR(sleeper->distanceAlongGameDirection(), 600.0f, 0.5f);
    field->camera()->setPosition(CCPoint(-300, 0));
    sleeper->setPositionX(300.0f);
    sleeper->getBody()->SetTransform(b2Vec2(15.0f, 0.0f), 0.0f);
    frame();
    EXPECT_TRUE(sleeper->isWoken());
    // Behind the centre the distance is negative.
    sleeper->setPositionX(-50.0f);
    EXPECT_NEAR(sleeper->distanceAlongGameDirection(), -50.0f, 0.5f);

    for (int i = 0; i < 40 && !sleeper->isStopped(); ++i)
        frame();
    ASSERT_TRUE(sleeper->isStopped());
    EXPECT_GT(sleeper->travelled(), 16.0f);
    EXPECT_LT(sleeper->travelled(), 16.0f + 32.0f / 60.0f + 0.01f);
    frame();
    EXPECT_EQ(sleeper->getBody()->GetLinearVelocity(), b2Vec2(0, 0));
}

TEST_F(AssetObjectTest, APlacedObjectsBodyFollowsItsNodeInTheCamerasSpace)
{
    ZqPObjectAsset* carrier = placedBox(CCPoint(200, 100));
    ZqPObjectAsset* rider = assetOf(boxModel(CCPoint(20, 10)));
    carrier->addChild(rider);
    rider->setReferenceNode(field->camera());
    rider->setPlaced(true);
    rider->createBody(field->world(), false);
    field->camera()->setPosition(CCPoint(-50, 0));
    carrier->setRotation(-90.0f);
    rider->update(kStep);
    ASSERT_NE(rider->getBody(), nullptr);
    // The carrier's anchor is its bottom-left: (20, 10) turned 90 degrees counter-clockwise.
    EXPECT_NEAR(rider->getBody()->GetPosition().x, (200.0f - 10.0f) * 0.05f, 1e-4f);
    EXPECT_NEAR(rider->getBody()->GetPosition().y, (100.0f + 20.0f) * 0.05f, 1e-4f);
    EXPECT_NEAR(rider->getBody()->GetAngle(), static_cast<float>(M_PI / 2), 1e-4f);
    EXPECT_EQ(rider->getPosition(), CCPoint(20, 10)) << "the node stays where the parent puts it";
}

TEST_F(AssetObjectTest, StateAnimationsShowTheSmallestPriority)
{
    ZqPObjectAsset* object = placedBox(CCPoint(0, 0), CCSize(40, 40));
    ZqPAnimationObject* move1 = animation();
    ZqPAnimationObject* jump = animation();
    ZqPAnimationObject* move2 = animation();
    CCNode* elsewhere = CCNode::create();
    scene->addChild(elsewhere);
    elsewhere->addChild(move1);

    object->addStateAnimation(4, move1, nullptr);
    EXPECT_EQ(move1->getParent(), object) << "taken over as a child";
    object->addStateAnimation(2, jump, boxShape(20));
    EXPECT_NEAR(fixtureWidth(object), 1.0f, 1e-4f) << "the jump's shape is the fixture";
    object->addStateAnimation(4, move2, boxShape(60));
    EXPECT_EQ(object->currentStateAnimation(), jump);
    EXPECT_FALSE(move1->isVisible());
    EXPECT_FALSE(move2->isVisible());
    EXPECT_TRUE(jump->isVisible());
    EXPECT_NEAR(fixtureWidth(object), 1.0f, 1e-4f) << "a hidden entry leaves the fixture";

    object->setVisible(false);
    EXPECT_FALSE(jump->isVisible()) << "the shown node follows the object";
    object->setVisible(true);
    EXPECT_TRUE(jump->isVisible());

    object->removeStateAnimation(2, jump, boxShape(20));
    EXPECT_EQ(object->currentStateAnimation(), jump) << "another shape pointer matches nothing";
    object->removeStateAnimation(2, jump, nullptr);
    EXPECT_EQ(object->currentStateAnimation(), jump);
}

TEST_F(AssetObjectTest, RemovingTheCurrentEntryPicksTheLastOfTheFirstPriorityPresent)
{
    ZqPObjectAsset* object = placedBox(CCPoint(0, 0), CCSize(40, 40));
    const auto jumpShape = boxShape(20);
    const auto moveShape = boxShape(60);
    ZqPAnimationObject* move1 = animation();
    ZqPAnimationObject* jump = animation();
    ZqPAnimationObject* move2 = animation();
    object->addStateAnimation(4, move1, nullptr);
    object->addStateAnimation(2, jump, jumpShape);
    object->addStateAnimation(4, move2, moveShape);

    object->removeStateAnimation(2, jump, jumpShape);
    EXPECT_EQ(jump->getParent(), nullptr);
    EXPECT_EQ(object->currentStateAnimation(), move2) << "the second priority-4 entry";
    EXPECT_EQ(object->currentStateAnimationPriority(), 4);
    EXPECT_TRUE(move2->isVisible());
    EXPECT_NEAR(fixtureWidth(object), 3.0f, 1e-4f);

    // An entry without a shape leaves the fixture as it is.
    object->removeStateAnimation(4, move2, moveShape);
    EXPECT_EQ(object->currentStateAnimation(), move1);
    EXPECT_NEAR(fixtureWidth(object), 3.0f, 1e-4f);

    // An empty table rebuilds the default fixture from the model's shape.
    object->removeStateAnimation(4, move1, nullptr);
    EXPECT_EQ(object->currentStateAnimation(), nullptr);
    EXPECT_NEAR(fixtureWidth(object), 2.0f, 1e-4f);
    EXPECT_TRUE(object->getBody()->GetFixtureList()->IsSensor());
    EXPECT_EQ(object->getBody()->GetFixtureList()->GetNext(), nullptr) << "one fixture";

    // With only a priority-0 entry left, none is shown.
    ZqPAnimationObject* damage = animation();
    ZqPAnimationObject* effect = animation();
    object->addStateAnimation(1, effect, nullptr);
    object->addStateAnimation(0, damage, nullptr);
    EXPECT_EQ(object->currentStateAnimation(), damage);
    object->addStateAnimation(0, nullptr, nullptr);
    object->removeStateAnimation(0, damage, nullptr);
    EXPECT_EQ(object->currentStateAnimation(), effect);
    ZqPAnimationObject* second = animation();
    object->addStateAnimation(0, second, nullptr);
    object->removeStateAnimation(1, effect, nullptr);
    EXPECT_EQ(object->currentStateAnimation(), second) << "the current entry was not removed";
    object->removeStateAnimation(0, second, nullptr);
    EXPECT_EQ(object->currentStateAnimation(), nullptr);
}

TEST_F(AssetObjectTest, AFixtureSwapAskedForDuringAStepWaitsForTheUpdate)
{
    ZqPObjectAsset* object = placedBox(CCPoint(0, 0), CCSize(40, 40));
    const auto wide = boxShape(80);
    // The swap is asked for from inside a step's contact callback.
    struct Begin : b2ContactListener {
        std::function<void()> call;
        void BeginContact(b2Contact*) override
        {
            if (call)
                call();
        }
    } listener;
    listener.call = [&] {
        object->addStateAnimation(2, nullptr, wide);
        listener.call = nullptr;
    };
    ZqPObjectAsset* other = placedBox(CCPoint(10, 0));
    other->getBody()->SetType(b2_dynamicBody);
    field->world()->setContactListener(&listener);
    field->world()->step(kStep, 6, 6);
    field->world()->setContactListener(nullptr);
    ASSERT_EQ(listener.call, nullptr) << "no contact";
    EXPECT_NEAR(fixtureWidth(object), 2.0f, 1e-4f) << "not inside the step";
    object->update(kStep);
    EXPECT_NEAR(fixtureWidth(object), 4.0f, 1e-4f);
}

// Records subscription calls.
class Subscriber : public CCObject {
public:
    void removed(ZqPObject* object, ZqPObject* other) { calls.push_back({"removed", object, other}); }
    void collided(ZqPObject* object, ZqPObject* other) { calls.push_back({"collided", object, other}); }
    struct Call {
        std::string kind;
        ZqPObject* object;
        ZqPObject* other;
    };
    std::vector<Call> calls;
};

TEST_F(AssetObjectTest, SubscribersHearCollisionsAndOneRemoval)
{
    Subscriber subscriber;
    Subscriber other;
    ZqPObjectAsset* object = placedBox(CCPoint(0, 0));
    ZqPObjectAsset* hitter = placedBox(CCPoint(100, 0));
    object->addEventSubscription(ZqPObjectAsset::kEventRemoved, &subscriber, zq_object_event_selector(Subscriber::removed));
    object->addEventSubscription(ZqPObjectAsset::kEventCollision, &subscriber, zq_object_event_selector(Subscriber::collided));
    object->addEventSubscription(ZqPObjectAsset::kEventCollision, &other, zq_object_event_selector(Subscriber::collided));
    object->addEventSubscription(ZqPObjectAsset::kEventCollision, nullptr, zq_object_event_selector(Subscriber::collided));
    object->beginContact(hitter, nullptr, true);
    ASSERT_EQ(subscriber.calls.size(), 1u);
    EXPECT_EQ(subscriber.calls[0].kind, "collided");
    EXPECT_EQ(subscriber.calls[0].other, hitter);
    EXPECT_EQ(other.calls.size(), 1u);

    // Removing the first entry of a target leaves its others.
    object->removeEventSubscription(&subscriber);
    object->beginContact(hitter, nullptr, true);
    EXPECT_EQ(subscriber.calls.size(), 2u);

    object->retain();
    object->setState(ZqPObject::kStateRemoved);
    object->removeFromParent();
    object->release();
    EXPECT_EQ(subscriber.calls.size(), 2u) << "its removal entry was the one removed";

    // Destroyed without reaching state 5, the object still tells its removal subscribers once.
    ZqPObjectAsset* dying = placedBox(CCPoint(50, 50));
    Subscriber watcher;
    dying->addEventSubscription(ZqPObjectAsset::kEventRemoved, &watcher, zq_object_event_selector(Subscriber::removed));
    frame(); // the camera holds the only reference now
    dying->removeFromParent();
    ASSERT_EQ(watcher.calls.size(), 1u);
    EXPECT_EQ(watcher.calls[0].other, nullptr);
}

TEST_F(AssetObjectTest, DestroyRequestsAndStateFourReachChildren)
{
    ZqPObjectAsset* parent = placedBox(CCPoint(0, 0));
    ZqPObjectAsset* child = assetOf(boxModel(CCPoint(5, 5)));
    parent->addChild(child);
    parent->requestDestroy();
    EXPECT_EQ(parent->state(), 0);
    frame();
    EXPECT_EQ(parent->state(), ZqPObject::kStateDestroyed);
    EXPECT_EQ(child->state(), ZqPObject::kStateDestroyed);
    EXPECT_FALSE(parent->isDestroyRequested());

    parent->setResetTimerOnPress(true);
    parent->setActivationTimer(3.0f);
    parent->setButtonActivated(false);
    EXPECT_EQ(parent->activationTimer(), 0.0f);
}

// A health component standing in for the real one: it records its hits.
class HealthProbe : public ZqComponent {
public:
    bool takeDamage(int amount, float delay) override
    {
        hits.push_back({amount, delay});
        return true;
    }
    std::vector<std::pair<int, float>> hits;
};

TEST_F(AssetObjectTest, ContactDamageFollowsTheAttackersDestroyType)
{
    auto make = [&](int type, int destroyType) {
        ZqPObjectAsset* object = placedBox(CCPoint(0, 0));
        object->setObjectType(type);
        object->setDestroyType(static_cast<ZqDestroyType>(destroyType));
        return object;
    };
    const int character = ZqPObject::kTypeCharacter;
    const int unit = ZqPObject::kTypeUnit;
    struct Case {
        int attackerDestroy;
        int victimType;
        int victimDestroy;
        bool hit;
    };
    const Case cases[] = {
        {0, character, 0, false}, {0, unit, 3, false},
        {1, character, 0, true},  {1, unit, 2, true},   {1, unit, 1, false}, {1, ZqPObject::kTypePowerup, 0, false},
        {2, unit, 1, true},       {2, unit, 2, false},  {2, character, 0, false},
        {3, unit, 0, true},       {3, character, 0, true}, {3, ZqPObject::kTypePowerup, 0, false},
    };
    for (const Case& c : cases) {
        ZqPObjectAsset* attacker = make(unit, c.attackerDestroy);
        ZqPObjectAsset* victim = make(c.victimType, c.victimDestroy);
        ZqPObjectAsset::applyContactDamage(attacker, victim);
        EXPECT_EQ(victim->isDestroyRequested(), c.hit)
            << "destroy type " << c.attackerDestroy << " on type " << c.victimType << "/" << c.victimDestroy;
    }

    // Spawn sources and a dying attacker deal nothing.
    ZqPObjectAsset* attacker = make(unit, 3);
    ZqPObjectAsset* victim = make(unit, 0);
    attacker->setSpawnSource(true);
    ZqPObjectAsset::applyContactDamage(attacker, victim);
    EXPECT_FALSE(victim->isDestroyRequested());
    attacker->setSpawnSource(false);
    victim->setSpawnSource(true);
    ZqPObjectAsset::applyContactDamage(attacker, victim);
    EXPECT_FALSE(victim->isDestroyRequested());
    victim->setSpawnSource(false);
    attacker->setState(ZqPObject::kStateDestroyed);
    ZqPObjectAsset::applyContactDamage(attacker, victim);
    EXPECT_FALSE(victim->isDestroyRequested());

    // The asset's damage component sets amount and delay; a health component takes the hit.
    ZqPObjectAsset* biter = make(unit, 3);
    auto damage = ZqModelController::shared()->createModel<ZqModelComponentDamage>();
    damage->setDamage(4);
    damage->setDamageDelay(0.5f);
    modelKindCast<ZqModelObjectAsset>(biter->model())->asset()->addChild(damage);
    ZqPObjectAsset* healthy = make(character, 0);
    auto* health = new HealthProbe();
    health->setModel(ZqModelController::shared()->createModel<ZqModelComponentHealth>());
    health->setOwner(healthy);
    healthy->addComponent(health);
    ZqPObjectAsset::applyContactDamage(biter, healthy);
    ASSERT_EQ(health->hits.size(), 1u);
    EXPECT_EQ(health->hits[0], std::make_pair(4, 0.5f));
    EXPECT_FALSE(healthy->isDestroyRequested());
    damage->setDamage(0);
    ZqPObjectAsset::applyContactDamage(biter, healthy);
    EXPECT_EQ(health->hits.size(), 1u) << "no damage, no hit";

    // A character's asset without a damage component deals nothing unless a power-up acts.
    auto characterModel = ZqModelController::shared()->createModel<ZqModelObjectAssetCharacter>();
    characterModel->setAsset(ZqModelController::shared()->createModel<ZqModelAssetCharacter>());
    ZqPObjectAsset* hero = assetOf(characterModel);
    hero->setDestroyType(kDestroyAllCollision);
    ZqPObjectAsset* enemy = make(unit, 0);
    ZqPObjectAsset::applyContactDamage(hero, enemy);
    EXPECT_FALSE(enemy->isDestroyRequested());
}

} // namespace

namespace {

TEST_F(AssetObjectTest, TheFactoryMakesNothingForModelsWithoutARuntimeClass)
{
    auto& controller = *ZqModelController::shared();
    EXPECT_EQ(ZqPObjectAsset::createAssetObject(nullptr), nullptr);
    EXPECT_EQ(ZqPObjectAsset::createAssetObject(controller.createModel<ZqModelObject>()), nullptr);
    // A subclass of a tested class matches none of the exact tests.
    EXPECT_EQ(ZqPObjectAsset::createAssetObject(controller.createModel<ZqModelObjectImage>()), nullptr);
    auto instance = controller.createModel<ZqModelObjectInstance>();
    EXPECT_EQ(ZqPObjectAsset::createAssetObject(instance), nullptr) << "an empty reference";
    instance->setReference(controller.createModel<ZqModelObjectAsset>());
    EXPECT_EQ(ZqPObjectAsset::createAssetObject(instance), nullptr) << "a reference no class plays";
}

} // namespace
