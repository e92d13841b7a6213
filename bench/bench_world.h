#pragma once

// A bare copy of a Box2D world, the baseline the game field's frame is held to: stepping
// the copy costs what the bodies alone cost, without any game object around them; and the
// check that the two did the same work.
#include <box2d/box2d.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace zqbench {

// A copy of from in world: type, transform, velocities (set last), damping, gravity scale and flags,
// every fixture (shape, density, friction, restitution and its threshold, sensor flag,
// filter) and the mass data (which a game may set apart from the densities), fixtures in
// from's order. No user data or joints are copied. world must not be stepping.
inline b2Body* copyBody(const b2Body& from, b2World& world)
{
    b2BodyDef definition;
    definition.type = from.GetType();
    definition.position = from.GetPosition();
    definition.angle = from.GetAngle();
    definition.linearDamping = from.GetLinearDamping();
    definition.angularDamping = from.GetAngularDamping();
    definition.allowSleep = from.IsSleepingAllowed();
    definition.awake = from.IsAwake();
    definition.fixedRotation = from.IsFixedRotation();
    definition.bullet = from.IsBullet();
    definition.enabled = from.IsEnabled();
    definition.gravityScale = from.GetGravityScale();
    b2Body* copy = world.CreateBody(&definition);

    // Box2D puts each new fixture (and body) at the head of its list: made last to first,
    // the copies come out in the source's order.
    std::vector<const b2Fixture*> fixtures;
    for (const b2Fixture* fixture = from.GetFixtureList(); fixture; fixture = fixture->GetNext())
        fixtures.push_back(fixture);
    for (auto fixture = fixtures.rbegin(); fixture != fixtures.rend(); ++fixture) {
        const b2Fixture& original = **fixture;
        b2FixtureDef fixtureDefinition;
        fixtureDefinition.shape = original.GetShape();
        fixtureDefinition.density = original.GetDensity();
        fixtureDefinition.friction = original.GetFriction();
        fixtureDefinition.restitution = original.GetRestitution();
        fixtureDefinition.restitutionThreshold = original.GetRestitutionThreshold();
        fixtureDefinition.isSensor = original.IsSensor();
        fixtureDefinition.filter = original.GetFilterData();
        copy->CreateFixture(&fixtureDefinition);
    }
    if (copy->GetType() == b2_dynamicBody) {
        b2MassData mass;
        from.GetMassData(&mass);
        copy->SetMassData(&mass);
    }
    // Each change of the mass moves the velocity with the centre of mass of a turning
    // body: the source's velocities go in last.
    copy->SetLinearVelocity(from.GetLinearVelocity());
    copy->SetAngularVelocity(from.GetAngularVelocity());
    return copy;
}

// A new world with source's gravity and solver switches and a copy of each of its bodies
// (copyBody), in source's list order, which decides the order of the solver's work, so
// both worlds step alike. Joints and listeners are not copied; contacts are found again
// at the first step.
inline std::unique_ptr<b2World> cloneWorld(const b2World& source)
{
    auto clone = std::make_unique<b2World>(source.GetGravity());
    clone->SetAllowSleeping(source.GetAllowSleeping());
    clone->SetWarmStarting(source.GetWarmStarting());
    clone->SetContinuousPhysics(source.GetContinuousPhysics());
    clone->SetSubStepping(source.GetSubStepping());
    std::vector<const b2Body*> bodies;
    for (const b2Body* body = source.GetBodyList(); body; body = body->GetNext())
        bodies.push_back(body);
    for (auto body = bodies.rbegin(); body != bodies.rend(); ++body)
        copyBody(**body, *clone);
    return clone;
}

// How far two worlds stepped alike differ: empty when they hold as many bodies, each at the
// same place and angle as its counterpart in list order (within tolerance, metres and
// radians), and as many contacts and touching contacts; else the first difference found.
inline std::string worldDifference(const b2World& a, const b2World& b, float tolerance = 1e-4f)
{
    if (a.GetBodyCount() != b.GetBodyCount())
        return "bodies " + std::to_string(a.GetBodyCount()) + " and " + std::to_string(b.GetBodyCount());
    int index = 0;
    for (const b2Body *first = a.GetBodyList(), *second = b.GetBodyList(); first && second;
         first = first->GetNext(), second = second->GetNext(), ++index) {
        const b2Vec2 offset = first->GetPosition() - second->GetPosition();
        // Written so that a NaN on either side counts as a difference.
        if (!(std::fabs(offset.x) <= tolerance && std::fabs(offset.y) <= tolerance &&
              std::fabs(first->GetAngle() - second->GetAngle()) <= tolerance))
            return "body " + std::to_string(index) + " at (" + std::to_string(first->GetPosition().x) + ", " +
                   std::to_string(first->GetPosition().y) + ") and (" + std::to_string(second->GetPosition().x) +
                   ", " + std::to_string(second->GetPosition().y) + ")";
    }
    auto touching = [](const b2World& world) {
        int count = 0;
        for (const b2Contact* contact = world.GetContactList(); contact; contact = contact->GetNext())
            count += contact->IsTouching() ? 1 : 0;
        return count;
    };
    if (a.GetContactCount() != b.GetContactCount())
        return "contacts " + std::to_string(a.GetContactCount()) + " and " + std::to_string(b.GetContactCount());
    if (touching(a) != touching(b))
        return "touching contacts " + std::to_string(touching(a)) + " and " + std::to_string(touching(b));
    return {};
}

} // namespace zqbench
