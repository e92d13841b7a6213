#pragma once

#include "model/scene/ZqModelShapes.h"
#include "objects/ZqPhysicsWorld.h"

#include <box2d/box2d.h>

#include <memory>

class ZqPObject;

// The units game data speaks in, converted in one place each.
namespace zqphysics {
constexpr float kMetresPerPoint = ZqModelPolygon::kMetresPerPoint;
constexpr float kPointsPerMetre = 20.0f;
static_assert(kPointsPerMetre * kMetresPerPoint == 1.0f);
// An own linear velocity unit is 32 points a second; an angular unit 1/32 rad a second.
constexpr float kVelocityUnit = 32.0f;
constexpr float kAngularUnit = 0.03125f;
constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kDegreesPerRadian = 57.29578f;
// Node rotations are clockwise degrees, body angles counter-clockwise radians.
constexpr float kDegreesToBodyAngle = -kRadiansPerDegree;
constexpr float kBodyAngleToDegrees = -kDegreesPerRadian;
} // namespace zqphysics

// The runtime object a body or fixture belongs to; null when it has none (a body being
// destroyed, or one the game field made for itself). The only casts back from Box2D's
// user data: it always holds the ZqPObject base pointer, written by ZqPhysicsBody.
ZqPObject* zqObjectOf(b2Body* body);
ZqPObject* zqObjectOf(b2Fixture* fixture);
// A fixture of owner on body (user data owner), for code that swaps fixtures of a body it
// does not hold. A dynamic body whose fixtures carry no density gets a mass of 1, as the
// Box2D the data was made for gave it: 2.4 leaves it massless, so that gravity and forces
// never move it.
b2Fixture* zqAddFixture(b2Body* body, b2FixtureDef definition, ZqPObject* owner);

// A runtime object's Box2D body. Owns it: destroying the wrapper destroys the body through
// its world (right after the step when one runs). A world that goes first takes the body
// with it and leaves the wrapper empty.
class ZqPhysicsBody {
public:
    ZqPhysicsBody() = default;
    ~ZqPhysicsBody();
    ZqPhysicsBody(const ZqPhysicsBody&) = delete;
    ZqPhysicsBody& operator=(const ZqPhysicsBody&) = delete;

    // Makes the body of owner (the body's user data) from definition; replaces a body held
    // before. Nothing is made, and false answered, while the world is locked.
    bool create(ZqPhysicsWorld& world, b2BodyDef definition, ZqPObject* owner);
    // Adds a fixture of owner; null without a body, without a shape or while locked.
    b2Fixture* addFixture(b2FixtureDef definition, ZqPObject* owner);
    // Destroys the first fixture and adds definition's, whose user data becomes owner. While
    // the world is locked the swap waits for applyPending. Nothing without a body or shape.
    void replaceFixture(const ZqFixtureDefinition& definition, ZqPObject* owner);
    // Carries out a fixture swap that waited for the end of a step.
    void applyPending()
    {
        if (m_pendingFixture)
            applyPendingFixture();
    }
    // Destroys the body (after the running step when the world is locked).
    void destroy();

    // A body asked for during a step: remembered until the world is free (or gone).
    void deferCreation(ZqPhysicsWorld& world);
    ZqPhysicsWorld* deferredWorld() const { return m_body ? nullptr : m_world; }
    void clearDeferred();

    b2Body* get() const { return m_body; }
    // The world of the body; null without one.
    ZqPhysicsWorld* world() const { return m_body ? m_world : nullptr; }
    explicit operator bool() const { return m_body != nullptr; }

private:
    friend class ZqPhysicsWorld;
    void applyPendingFixture();
    void setWorld(ZqPhysicsWorld* world);
    // The world is being deleted; its bodies go with it.
    void worldGone();

    b2Body* m_body = nullptr;
    // The body's world, or the world a deferred body waits for.
    ZqPhysicsWorld* m_world = nullptr;
    // Held apart: a swap is rare, and the definition is larger than the rest of the object.
    std::unique_ptr<ZqFixtureDefinition> m_pendingFixture;
    ZqPObject* m_pendingOwner = nullptr;
};
