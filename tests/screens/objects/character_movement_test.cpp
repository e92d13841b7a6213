// The character on a field core with real Box2D: landing, jumping and its rules, the speed
// clamp, leaning, the ground test, direct movement, turning and ground through a unit.
#include "screens/objects/character_support.h"

#include "model/GameplayParameters.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/assets/ZqPObjectAssetUnit.h"

using namespace cocos2d;

namespace {

using CharacterMovementTest = CharacterFieldTest;

TEST_F(CharacterMovementTest, LandsJumpsAndLandsAgainOnAPlatform)
{
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(600.0f, 40.0f)); // top at y 20
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(0.0f, 44.0f));
    const auto bottom = [&] { return hero->getPosition().y - 20.0f; };

    int frames = 0;
    while (!(hero->controlBits() & ZqPObjectAssetCharacter::kOnGround) && frames < 30) {
        step();
        ++frames;
    }
    ASSERT_LT(frames, 30) << "never landed";
    EXPECT_EQ(hero->state(), 0);

    hero->jump();
    EXPECT_EQ(hero->state(), 3);
    EXPECT_EQ(hero->jumpCount(), 1);
    int rising = 0;
    bool landed = false;
    float lowest = bottom();
    for (frames = 0; frames < 90 && !landed; ++frames) {
        step();
        if (hero->getBody()->GetLinearVelocity().y > 0.0f && rising == frames)
            ++rising;
        landed = frames > 0 && (hero->controlBits() & ZqPObjectAssetCharacter::kOnGround);
        lowest = std::min(lowest, bottom());
    }
    EXPECT_GE(rising, 14);
    ASSERT_TRUE(landed) << "did not land within 90 frames";
    EXPECT_EQ(hero->state(), 0);
    EXPECT_EQ(hero->jumpCount(), 0);
    EXPECT_GT(lowest, 20.0f - 0.5f) << "passed below the platform's top";
}

TEST_F(CharacterMovementTest, JumpCounterFromGroundRuleAndHeldDuration)
{
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(600.0f, 40.0f));
    // Never lands: it floats beside the platform (a long fall would take it out of the field).
    ZqPObjectAssetCharacter* faller = spawnCharacter(characterAsset(), CCPoint(800.0f, 400.0f));
    faller->getBody()->SetGravityScale(0.0f);
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(0.0f, 44.0f));
    GameplayParameters* parameters = GameplayParameters::shared();
    landOnGround(hero);

    // Counter 2: two jumps before landing, a third refused; landing resets the count.
    parameters->setUpForceCounter(2.0f);
    hero->jump();
    step(3);
    hero->jump();
    EXPECT_EQ(hero->jumpCount(), 2);
    hero->jump();
    EXPECT_EQ(hero->jumpCount(), 2);
    landOnGround(hero);
    EXPECT_EQ(hero->jumpCount(), 0);

    // A held jump lifts for the up-force duration (0.25 s), a release ends it at once.
    parameters->setUpForceCounter(0.0f);
    hero->jump();
    step(14);
    EXPECT_TRUE(hero->controlBits() & ZqPObjectAssetCharacter::kJumpHeld);
    step(2);
    EXPECT_FALSE(hero->controlBits() & ZqPObjectAssetCharacter::kJumpHeld);
    landOnGround(hero);
    hero->jump();
    step();
    hero->releaseJump();
    EXPECT_FALSE(hero->controlBits() & ZqPObjectAssetCharacter::kJumpHeld);
    landOnGround(hero);

    // From the ground only: a first jump in the air is refused, a second one after a jump
    // from the ground is not (the count is no longer 0).
    parameters->setUpForceFromGround(true);
    hero->jump();
    EXPECT_EQ(hero->jumpCount(), 1);
    step(3);
    hero->jump();
    EXPECT_EQ(hero->jumpCount(), 2);
    faller->jump();
    EXPECT_EQ(faller->jumpCount(), 0);
}

TEST_F(CharacterMovementTest, HeldJumpDoublesTheLiftAndTheClampHoldsOnlyAxesWithASpeed)
{
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(2000.0f, 40.0f));
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(0.0f, 44.0f));
    landOnGround(hero);
    hero->setMoveDirection(1.0f, 0.0f);
    EXPECT_EQ(hero->state(), 1);
    step(5);
    // Max speed (10, 0): x is held at 10, y is free.
    EXPECT_FLOAT_EQ(hero->getBody()->GetLinearVelocity().x, 10.0f);
    hero->jump();
    step();
    // The jump force (0, 5) written, then added again, before the air drag (y factor 1).
    EXPECT_FLOAT_EQ(hero->getBody()->GetLinearVelocity().y, 10.0f);
    EXPECT_FLOAT_EQ(hero->getBody()->GetLinearVelocity().x, 10.0f * 0.8f);
}

TEST_F(CharacterMovementTest, EachLandingBouncesAndCancelsAHeldJump)
{
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(600.0f, 40.0f));
    CharacterSettings settings;
    settings.bounceForce = CCPoint(0.0f, 8.0f);
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 44.0f));
    int landings = 0;
    bool wasOnGround = false;
    for (int frame = 0; frame < 240; ++frame) {
        step();
        bool onGround = hero->controlBits() & ZqPObjectAssetCharacter::kOnGround;
        if (onGround && !wasOnGround) {
            ++landings;
            EXPECT_TRUE(hero->controlBits() & ZqPObjectAssetCharacter::kBouncePending);
            step();
            EXPECT_FLOAT_EQ(hero->getBody()->GetLinearVelocity().y, 8.0f);
            onGround = true;
        }
        wasOnGround = onGround;
    }
    EXPECT_GE(landings, 2);

    hero->jump();
    hero->setOnGround(false);
    hero->setOnGround(true);
    EXPECT_FALSE(hero->controlBits() & ZqPObjectAssetCharacter::kJumpHeld);
}

TEST_F(CharacterMovementTest, LeaningStopsPastItsBoundAndDragsWhenReleased)
{
    CharacterSettings settings;
    settings.leftLeanForce = -2.0f;
    settings.rightLeanForce = -2.0f;
    settings.rotationDrag = 0.5f;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 400.0f));
    b2Body* body = hero->getBody();
    hero->startRotateLeft();
    std::vector<float> omegas;
    for (int i = 0; i < 5; ++i) {
        step();
        omegas.push_back(body->GetAngularVelocity());
    }
    // Steps of -2 while above -5: the bound is passed once, then held.
    EXPECT_FLOAT_EQ(omegas[0], -2.0f);
    EXPECT_FLOAT_EQ(omegas[2], -6.0f);
    EXPECT_FLOAT_EQ(omegas[4], -6.0f);
    hero->stopRotateLeft();
    hero->startRotateRight();
    step(7);
    EXPECT_FLOAT_EQ(body->GetAngularVelocity(), 6.0f);
    hero->stopRotateRight();
    step();
    EXPECT_FLOAT_EQ(body->GetAngularVelocity(), 3.0f);
}

TEST_F(CharacterMovementTest, ShowsOneAnimationByState)
{
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(2000.0f, 40.0f));
    CharacterSettings settings;
    settings.stateAnimations = true;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 44.0f));
    landOnGround(hero);
    const auto shown = [&] {
        std::vector<ZqPAnimationObject*> visible;
        for (ZqPAnimationObject* animation : {hero->defaultAnimation(), hero->moveAnimation(),
                                              hero->shootingAnimation(), hero->jumpAnimation()})
            if (animation->isVisible())
                visible.push_back(animation);
        return visible;
    };
    using Shown = std::vector<ZqPAnimationObject*>;
    EXPECT_EQ(shown(), Shown{hero->defaultAnimation()});
    hero->setMoveDirection(1.0f, 0.0f);
    step();
    EXPECT_EQ(shown(), Shown{hero->moveAnimation()});
    hero->setMoveDirection(0.0f, 0.0f);
    step();
    EXPECT_EQ(shown(), Shown{hero->defaultAnimation()});
    hero->setShooting(true);
    EXPECT_EQ(hero->state(), 2);
    step();
    EXPECT_EQ(shown(), Shown{hero->shootingAnimation()});
    hero->setShooting(false);
    hero->jump();
    step();
    EXPECT_EQ(shown(), Shown{hero->jumpAnimation()});
    // Idle in the air, the jump animation stays until its run ends, then the default shows.
    hero->setMoveDirection(0.0f, 0.0f);
    EXPECT_EQ(hero->state(), 0);
    step(5);
    EXPECT_EQ(shown(), Shown{hero->jumpAnimation()});
    step(10);
    ASSERT_FALSE(hero->controlBits() & ZqPObjectAssetCharacter::kOnGround);
    EXPECT_EQ(shown(), Shown{hero->defaultAnimation()});
    landOnGround(hero);
    EXPECT_EQ(shown(), Shown{hero->defaultAnimation()});
}

// A platform that lets bodies through, as a one-way unit does from below.
class PassThroughPlatform : public ZqPObjectAsset {
public:
    using ZqPObjectAsset::ZqPObjectAsset;
    bool isContactSolid() const override { return false; }
};

TEST_F(CharacterMovementTest, GroundTestStandsOnlyOnSolidCollidingGround)
{
    struct Case {
        const char* name;
        int collisionKind;
        int destroyType;
        bool solid;
        bool ground;
    };
    const Case cases[] = {
        {"platform", 1, 0, true, true},
        {"sensor", 0, 0, true, false},
        {"destroyed by collision", 1, 1, true, false},
        {"destroyed by all collisions", 1, 3, true, false},
        {"colliding but no platform", 2, 0, true, false},
        {"not solid", 1, 0, false, false},
    };
    float x = 0.0f;
    for (const Case& c : cases) {
        if (c.solid)
            addPlatform(CCPoint(x, 0.0f), CCSize(100.0f, 40.0f), c.collisionKind, c.destroyType);
        else
            addObject<PassThroughPlatform>(CCPoint(x, 0.0f), CCSize(100.0f, 40.0f), c.collisionKind, c.destroyType);
        spawnCharacter(characterAsset(), CCPoint(x, 41.0f));
        x += 300.0f;
    }
    std::vector<bool> everOnGround(std::size(cases), false);
    for (int frame = 0; frame < 20; ++frame) {
        step();
        std::vector<ZqPObjectAssetCharacter*> all = ZqPObjectAssetCharacter::registeredCharacters();
        ASSERT_EQ(all.size(), std::size(cases));
        for (std::size_t i = 0; i < all.size(); ++i)
            everOnGround[i] = everOnGround[i] || (all[i]->controlBits() & ZqPObjectAssetCharacter::kOnGround);
    }
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(everOnGround[i], cases[i].ground) << cases[i].name;
}

TEST_F(CharacterMovementTest, DirectModeFollowsTheTargetAtGameSpeedAndLeavesNoBodyBehind)
{
    const int32 bodiesBefore = world().GetBodyCount();
    CharacterSettings settings;
    settings.directMovement = true;
    settings.forcedMovement = true;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(100.0f, 300.0f));
    hero->retain();
    ASSERT_NE(hero->mouseJoint(), nullptr);
    EXPECT_EQ(world().GetBodyCount(), bodiesBefore + 2);
    GameplayParameters::shared()->setGameSpeed(2.0f);
    step(90);
    // 2 points a frame along +x: 120 points (6 metres) a second.
    EXPECT_NEAR(hero->directPosition().x, 100.0f + 2.0f * 90.0f, 1e-2f);
    EXPECT_NEAR(hero->getBody()->GetLinearVelocity().x, 6.0f, 0.3f);
    EXPECT_NEAR(hero->getPosition().x, hero->directPosition().x, 20.0f);
    EXPECT_NEAR(hero->getPosition().y, 300.0f, 10.0f) << "the joint holds it against gravity";

    hero->setState(4);
    step();
    hero->release();
    EXPECT_EQ(world().GetBodyCount(), bodiesBefore);
}

TEST_F(CharacterMovementTest, TurnedCharactersStillPassThroughEachOther)
{
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(1000.0f, 40.0f));
    CharacterSettings settings;
    settings.imageDirection = true;
    settings.maxSpeed = CCPoint(6.0f, 0.0f);
    ZqPObjectAssetCharacter* left = spawnCharacter(characterAsset(settings), CCPoint(-100.0f, 41.0f));
    ZqPObjectAssetCharacter* right = spawnCharacter(characterAsset(settings), CCPoint(100.0f, 41.0f));
    step(10);
    left->setMoveDirection(-1.0f, 0.0f); // turns: the fixture is rebuilt mirrored
    left->setMoveDirection(1.0f, 0.0f);  // and back
    right->setMoveDirection(-1.0f, 0.0f);
    EXPECT_LT(right->getScaleX(), 0.0f);
    EXPECT_GT(left->getScaleX(), 0.0f);
    for (ZqPObjectAssetCharacter* character : {left, right}) {
        const b2Fixture* fixture = character->getBody()->GetFixtureList();
        EXPECT_FALSE(fixture->IsSensor());
        EXPECT_EQ(fixture->GetFilterData().categoryBits, 0x0002);
        EXPECT_EQ(fixture->GetFilterData().maskBits, 0x0001);
        EXPECT_EQ(fixture->GetFilterData().groupIndex, -1);
    }
    step(60);
    // They walked into each other and on: the left one is now right of the other.
    EXPECT_GT(left->getPosition().x, right->getPosition().x);
}

TEST_F(CharacterMovementTest, ACharactersUnitGroundsTheCharactersWeldedToItOnUnitsOnly)
{
    const auto unitAt = [&](const CCPoint& centre, const CCSize& size) {
        auto asset = ZqModelController::shared()->createModel<ZqModelAssetObstacle>();
        asset->updateCollisionShape(size, CCPoint());
        asset->m_idleAnimation->setValue(animation(1.0f, true)); // units without one have no body
        auto model = ZqModelController::shared()->createModel<ZqModelObjectAssetUnit>();
        model->setAsset(asset);
        model->setPosition(centre);
        model->setCollisionType("kCharacterCollision");
        auto* unit = dynamic_cast<ZqPObjectAssetUnit*>(ZqPObjectAsset::createAssetObject(model));
        EXPECT_NE(unit, nullptr);
        addToField(field(), unit);
        return unit;
    };
    unitAt(CCPoint(0.0f, 0.0f), CCSize(600.0f, 40.0f));
    addPlatform(CCPoint(0.0f, -300.0f), CCSize(600.0f, 40.0f));
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(0.0f, 100.0f));
    // Feet under the hero, welded to it: a character's unit that its own ground rays look
    // through (a decoration), so that only the feet's contacts ground it.
    ZqPObjectAssetUnit* feet = unitAt(CCPoint(0.0f, 75.0f), CCSize(20.0f, 10.0f));
    feet->setObjectType(ZqPObject::kTypeCharacter);
    feet->setObjectKind(ZqPObjectAssetUnit::kKindDecoration);
    feet->getBody()->SetType(b2_dynamicBody);
    b2WeldJointDef weld;
    weld.Initialize(hero->getBody(), feet->getBody(), hero->getBody()->GetPosition());
    world().CreateJoint(&weld);

    landOnGround(hero);
    step(60); // the weld's spring settles
    EXPECT_NEAR(feet->getPositionY(), 25.0f, 1.5f) << "the feet stand on the platform unit";
    for (int i = 0; i < 10; ++i) {
        step();
        EXPECT_TRUE(hero->controlBits() & ZqPObjectAssetCharacter::kOnGround) << "on ground while they touch";
    }

    hero->teleportTo(100.0f, -200.0f); // the feet come along, above the plain floor
    step();
    EXPECT_FALSE(hero->controlBits() & ZqPObjectAssetCharacter::kOnGround) << "the unit left the platform";
    step(60);
    EXPECT_NEAR(feet->getPositionY(), -275.0f, 1.5f) << "the feet rest on an object that is no unit";
    EXPECT_FALSE(hero->controlBits() & ZqPObjectAssetCharacter::kOnGround);
}

} // namespace
