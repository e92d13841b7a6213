// The body wrapper's fixture swap: asked for inside a step it waits for the step's end.
#include "objects/ZqPhysicsBody.h"

#include <gtest/gtest.h>

namespace {

ZqFixtureDefinition box(float half)
{
    b2PolygonShape shape;
    shape.SetAsBox(half, half);
    ZqFixtureDefinition definition;
    definition.setShape(shape);
    definition.def.density = 1.0f;
    return definition;
}

ZqFixtureDefinition circle(float radius)
{
    b2CircleShape shape;
    shape.m_radius = radius;
    ZqFixtureDefinition definition;
    definition.setShape(shape);
    definition.def.density = 1.0f;
    return definition;
}

// Swaps the mover's fixture for a circle when the two bodies first touch, inside the step.
class SwapOnTouch : public b2ContactListener {
public:
    explicit SwapOnTouch(ZqPhysicsBody& mover) : m_mover(mover) {}
    void BeginContact(b2Contact*) override
    {
        ++touches;
        m_mover.replaceFixture(circle(0.25f), nullptr);
    }
    int touches = 0;

private:
    ZqPhysicsBody& m_mover;
};

struct Bodies {
    ZqPhysicsWorld world{b2Vec2(0.0f, 0.0f)};
    ZqPhysicsBody ground;
    ZqPhysicsBody mover;
    SwapOnTouch listener{mover};

    Bodies()
    {
        b2BodyDef definition;
        ground.create(world, definition, nullptr);
        ground.addFixture(box(1.0f).def, nullptr);
        definition.type = b2_dynamicBody;
        definition.position.Set(0.5f, 0.0f);
        mover.create(world, definition, nullptr);
        mover.addFixture(box(0.5f).def, nullptr);
        world.setContactListener(&listener);
    }
};

b2Shape::Type shapeOf(const ZqPhysicsBody& body)
{
    return body.get()->GetFixtureList()->GetType();
}

} // namespace

TEST(PhysicsBodyTest, AFixtureSwapAskedDuringAStepWaitsForItsEnd)
{
    Bodies bodies;
    bodies.world.step(1.0f / 60.0f, 8, 3);
    ASSERT_EQ(bodies.listener.touches, 1);
    EXPECT_EQ(shapeOf(bodies.mover), b2Shape::e_polygon) << "the step still runs with the old fixture";
    bodies.mover.applyPending();
    EXPECT_EQ(shapeOf(bodies.mover), b2Shape::e_circle);
    EXPECT_EQ(bodies.mover.get()->GetFixtureList()->GetNext(), nullptr) << "the old fixture is gone";
    bodies.mover.applyPending();
    EXPECT_EQ(shapeOf(bodies.mover), b2Shape::e_circle) << "a swap is carried out once";

    // Outside a step the swap is immediate.
    bodies.mover.replaceFixture(box(0.1f), nullptr);
    EXPECT_EQ(shapeOf(bodies.mover), b2Shape::e_polygon);
}

TEST(PhysicsBodyTest, ADestroyedBodyDropsItsWaitingSwap)
{
    Bodies bodies;
    bodies.world.step(1.0f / 60.0f, 8, 3);
    ASSERT_EQ(bodies.listener.touches, 1);
    bodies.mover.destroy();
    bodies.mover.applyPending();
    EXPECT_EQ(bodies.mover.get(), nullptr);
    EXPECT_EQ(bodies.world.box2d().GetBodyCount(), 1);
}
