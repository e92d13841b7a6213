#pragma once

#include <box2d/box2d.h>

#include <vector>

// The game field's Box2D world with the one rule Debian's Box2D enforces by aborting:
// nothing is made or destroyed while a step runs. Bodies and fixtures asked to go during
// a step are queued and destroyed right after it. Lengths are metres (20 points each).
// The owner releases every object (and so every body wrapper) before it deletes the world.
class ZqPhysicsBody;

class ZqPhysicsWorld {
public:
    explicit ZqPhysicsWorld(const b2Vec2& gravity);
    // Body wrappers still attached (objects kept alive elsewhere) let go of their bodies,
    // which go with the world.
    ~ZqPhysicsWorld();
    ZqPhysicsWorld(const ZqPhysicsWorld&) = delete;
    ZqPhysicsWorld& operator=(const ZqPhysicsWorld&) = delete;

    b2World& box2d() { return m_world; }
    const b2World& box2d() const { return m_world; }
    // True while a step runs (contact callbacks included).
    bool isLocked() const { return m_world.IsLocked(); }

    // One step of dt seconds; the queued destructions run right after it.
    void step(float dt, int velocityIterations, int positionIterations);
    // Number of steps taken so far.
    unsigned stepCount() const { return m_steps; }

    // Not owned; they must outlive the world or be replaced first.
    void setContactListener(b2ContactListener* listener) { m_world.SetContactListener(listener); }
    void setDestructionListener(b2DestructionListener* listener) { m_world.SetDestructionListener(listener); }

    // Destroys now, or right after the running step. A fixture of a body that is queued
    // too goes with its body.
    void destroyBody(b2Body* body);
    void destroyFixture(b2Fixture* fixture);

private:
    friend class ZqPhysicsBody;
    void destroyQueued();
    void attach(ZqPhysicsBody* wrapper);
    void detach(ZqPhysicsBody* wrapper);

    b2World m_world;
    std::vector<b2Body*> m_doomedBodies;
    std::vector<b2Fixture*> m_doomedFixtures;
    unsigned m_steps = 0;
    // The wrappers holding a body of this world or waiting to make one.
    std::vector<ZqPhysicsBody*> m_wrappers;
};
