// The bare copy of a world that the frame benchmark steps as its baseline: every value a
// step reads is copied, and the copy moves exactly as the source does.
#include "bench/bench_world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Bodies of each type in a world with its own gravity: a ground, a pile of boxes (one a
// sensor with its own filter, one massless box given a mass by hand), a spinning bullet
// circle and a kinematic mover.
void fill(b2World& world)
{
    b2BodyDef groundDefinition;
    b2Body* ground = world.CreateBody(&groundDefinition);
    b2EdgeShape edge;
    edge.SetTwoSided(b2Vec2(-40, 0), b2Vec2(40, 0));
    ground->CreateFixture(&edge, 0.0f);

    b2PolygonShape box;
    box.SetAsBox(0.4f, 0.4f);
    for (int i = 0; i < 12; ++i) {
        b2BodyDef definition;
        definition.type = b2_dynamicBody;
        definition.position.Set(static_cast<float>(i % 4) * 0.9f, 1.0f + static_cast<float>(i / 4) * 0.85f);
        definition.angle = 0.05f * static_cast<float>(i);
        definition.linearVelocity.Set(0.1f * static_cast<float>(i), 0.0f);
        definition.linearDamping = 0.01f * static_cast<float>(i);
        definition.allowSleep = i % 2 == 0;
        b2Body* body = world.CreateBody(&definition);
        b2FixtureDef fixture;
        fixture.shape = &box;
        fixture.density = i == 5 ? 0.0f : 0.1f * static_cast<float>(i + 1);
        fixture.friction = 0.05f * static_cast<float>(i);
        fixture.restitution = 0.02f * static_cast<float>(i);
        fixture.isSensor = i == 7;
        fixture.filter.categoryBits = static_cast<uint16>(1u << (i % 3));
        fixture.filter.groupIndex = static_cast<int16>(i == 3 ? -1 : 0);
        body->CreateFixture(&fixture);
        if (i == 5) {
            b2MassData mass{1.0f, b2Vec2(0.1f, 0.0f), 0.3f};
            body->SetMassData(&mass);
        }
    }

    b2BodyDef ballDefinition;
    ballDefinition.type = b2_dynamicBody;
    ballDefinition.bullet = true;
    ballDefinition.position.Set(-3, 6);
    ballDefinition.angularVelocity = 4.0f;
    ballDefinition.gravityScale = 0.5f;
    b2Body* ball = world.CreateBody(&ballDefinition);
    b2CircleShape circle;
    circle.m_radius = 0.3f;
    ball->CreateFixture(&circle, 2.0f);
    // A second fixture, so that the fixture order counts too.
    b2PolygonShape foot;
    foot.SetAsBox(0.1f, 0.1f, b2Vec2(0, -0.3f), 0);
    ball->CreateFixture(&foot, 1.0f);

    b2BodyDef moverDefinition;
    moverDefinition.type = b2_kinematicBody;
    moverDefinition.position.Set(5, 3);
    moverDefinition.linearVelocity.Set(-1, 0);
    moverDefinition.fixedRotation = true;
    world.CreateBody(&moverDefinition)->CreateFixture(&box, 1.0f);
}

std::vector<const b2Body*> bodiesOf(const b2World& world)
{
    std::vector<const b2Body*> bodies;
    for (const b2Body* body = world.GetBodyList(); body; body = body->GetNext())
        bodies.push_back(body);
    return bodies;
}

TEST(BenchWorld, TheCopyHoldsEveryBodyAndFixtureInTheSourcesOrder)
{
    b2World source(b2Vec2(0.5f, -9.81f));
    source.SetAllowSleeping(false);
    fill(source);
    for (int step = 0; step < 30; ++step)
        source.Step(1.0f / 60.0f, 6, 6);

    const std::unique_ptr<b2World> copy = zqbench::cloneWorld(source);
    EXPECT_EQ(copy->GetGravity(), source.GetGravity());
    EXPECT_FALSE(copy->GetAllowSleeping());
    const std::vector<const b2Body*> from = bodiesOf(source);
    const std::vector<const b2Body*> to = bodiesOf(*copy);
    ASSERT_EQ(to.size(), from.size());
    for (std::size_t i = 0; i < from.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(to[i]->GetType(), from[i]->GetType());
        EXPECT_EQ(to[i]->GetTransform().p, from[i]->GetTransform().p);
        EXPECT_EQ(to[i]->GetAngle(), from[i]->GetAngle());
        EXPECT_EQ(to[i]->GetLinearVelocity(), from[i]->GetLinearVelocity());
        EXPECT_EQ(to[i]->GetAngularVelocity(), from[i]->GetAngularVelocity());
        EXPECT_EQ(to[i]->GetLinearDamping(), from[i]->GetLinearDamping());
        EXPECT_EQ(to[i]->GetGravityScale(), from[i]->GetGravityScale());
        EXPECT_EQ(to[i]->IsSleepingAllowed(), from[i]->IsSleepingAllowed());
        EXPECT_EQ(to[i]->IsBullet(), from[i]->IsBullet());
        EXPECT_EQ(to[i]->IsFixedRotation(), from[i]->IsFixedRotation());
        EXPECT_EQ(to[i]->GetMass(), from[i]->GetMass()) << "a mass set by hand stays";
        EXPECT_EQ(to[i]->GetInertia(), from[i]->GetInertia());
        const b2Fixture* a = from[i]->GetFixtureList();
        const b2Fixture* b = to[i]->GetFixtureList();
        for (; a && b; a = a->GetNext(), b = b->GetNext()) {
            EXPECT_EQ(b->GetType(), a->GetType());
            EXPECT_EQ(b->GetShape()->m_radius, a->GetShape()->m_radius);
            EXPECT_EQ(b->GetDensity(), a->GetDensity());
            EXPECT_EQ(b->GetFriction(), a->GetFriction());
            EXPECT_EQ(b->GetRestitution(), a->GetRestitution());
            EXPECT_EQ(b->IsSensor(), a->IsSensor());
            EXPECT_EQ(b->GetFilterData().categoryBits, a->GetFilterData().categoryBits);
            EXPECT_EQ(b->GetFilterData().maskBits, a->GetFilterData().maskBits);
            EXPECT_EQ(b->GetFilterData().groupIndex, a->GetFilterData().groupIndex);
        }
        EXPECT_FALSE(a || b) << "as many fixtures";
    }
}

TEST(BenchWorld, TheCopyStepsAsTheSourceDoes)
{
    b2World source(b2Vec2(0.0f, -9.81f));
    fill(source);
    // Made before any contact exists, so that both worlds find theirs alike.
    const std::unique_ptr<b2World> copy = zqbench::cloneWorld(source);
    for (int step = 0; step < 120; ++step) {
        source.Step(1.0f / 60.0f, 6, 6);
        copy->Step(1.0f / 60.0f, 6, 6);
    }
    const std::vector<const b2Body*> from = bodiesOf(source);
    const std::vector<const b2Body*> to = bodiesOf(*copy);
    ASSERT_EQ(to.size(), from.size());
    for (std::size_t i = 0; i < from.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(to[i]->GetPosition().x, from[i]->GetPosition().x, 1e-3f);
        EXPECT_NEAR(to[i]->GetPosition().y, from[i]->GetPosition().y, 1e-3f);
        EXPECT_NEAR(to[i]->GetAngle(), from[i]->GetAngle(), 1e-3f);
    }
}

// The check that keeps the benchmark from setting the field against a world that did
// other work: a body lost, elsewhere or turned, or a contact more, is each a difference.
TEST(BenchWorld, WorldsThatDriftApartDiffer)
{
    b2World source(b2Vec2(0.0f, -9.81f));
    fill(source);
    const std::unique_ptr<b2World> copy = zqbench::cloneWorld(source);
    const std::unique_ptr<b2World> sensed = zqbench::cloneWorld(source);
    // The kinematic mover, the last body made, heads the list; a sensor on it overlaps
    // boxes without touching any body's motion.
    b2CircleShape reach;
    reach.m_radius = 3.0f;
    b2FixtureDef sensor;
    sensor.shape = &reach;
    sensor.isSensor = true;
    sensed->GetBodyList()->CreateFixture(&sensor);
    for (int step = 0; step < 60; ++step) {
        source.Step(1.0f / 60.0f, 6, 6);
        copy->Step(1.0f / 60.0f, 6, 6);
        sensed->Step(1.0f / 60.0f, 6, 6);
    }
    ASSERT_GT(source.GetContactCount(), 0);
    EXPECT_EQ(zqbench::worldDifference(source, *copy), "");
    EXPECT_EQ(zqbench::worldDifference(*copy, source), "");
    const std::string contacts = zqbench::worldDifference(source, *sensed);
    EXPECT_EQ(contacts.rfind("contacts", 0), 0u) << contacts;

    b2Body* mover = copy->GetBodyList();
    const b2Vec2 place = mover->GetPosition();
    const float angle = mover->GetAngle();
    mover->SetTransform(place + b2Vec2(0.0f, 5e-5f), angle);
    EXPECT_EQ(zqbench::worldDifference(source, *copy), "") << "within the tolerance";
    mover->SetTransform(place + b2Vec2(0.0f, 2e-4f), angle);
    EXPECT_NE(zqbench::worldDifference(source, *copy), "");
    mover->SetTransform(place, angle + 1e-3f);
    EXPECT_NE(zqbench::worldDifference(source, *copy), "") << "a turned body";
    mover->SetTransform(b2Vec2(std::nanf(""), place.y), angle);
    EXPECT_NE(zqbench::worldDifference(source, *copy), "") << "a NaN is never close";
    mover->SetTransform(place, angle);
    copy->DestroyBody(copy->GetBodyList()->GetNext());
    const std::string bodies = zqbench::worldDifference(source, *copy);
    EXPECT_EQ(bodies.rfind("bodies", 0), 0u) << bodies;
}

} // namespace
