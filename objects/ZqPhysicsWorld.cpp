#include "objects/ZqPhysicsWorld.h"

#include "objects/ZqPhysicsBody.h"

#include <algorithm>

ZqPhysicsWorld::ZqPhysicsWorld(const b2Vec2& gravity)
    : m_world(gravity)
{
}

ZqPhysicsWorld::~ZqPhysicsWorld()
{
    std::vector<ZqPhysicsBody*> wrappers;
    wrappers.swap(m_wrappers);
    for (ZqPhysicsBody* wrapper : wrappers)
        wrapper->worldGone();
}

void ZqPhysicsWorld::attach(ZqPhysicsBody* wrapper)
{
    m_wrappers.push_back(wrapper);
}

void ZqPhysicsWorld::detach(ZqPhysicsBody* wrapper)
{
    auto found = std::find(m_wrappers.begin(), m_wrappers.end(), wrapper);
    if (found != m_wrappers.end()) {
        *found = m_wrappers.back();
        m_wrappers.pop_back();
    }
}

void ZqPhysicsWorld::step(float dt, int velocityIterations, int positionIterations)
{
    m_world.Step(dt, velocityIterations, positionIterations);
    ++m_steps;
    destroyQueued();
}

void ZqPhysicsWorld::destroyBody(b2Body* body)
{
    if (!body)
        return;
    if (!isLocked()) {
        m_world.DestroyBody(body);
        return;
    }
    if (std::find(m_doomedBodies.begin(), m_doomedBodies.end(), body) != m_doomedBodies.end())
        return;
    std::erase_if(m_doomedFixtures, [body](b2Fixture* fixture) { return fixture->GetBody() == body; });
    m_doomedBodies.push_back(body);
}

void ZqPhysicsWorld::destroyFixture(b2Fixture* fixture)
{
    if (!fixture)
        return;
    if (!isLocked()) {
        fixture->GetBody()->DestroyFixture(fixture);
        return;
    }
    b2Body* body = fixture->GetBody();
    const bool bodyGoes = std::find(m_doomedBodies.begin(), m_doomedBodies.end(), body) != m_doomedBodies.end();
    const bool queued = std::find(m_doomedFixtures.begin(), m_doomedFixtures.end(), fixture) != m_doomedFixtures.end();
    if (!bodyGoes && !queued)
        m_doomedFixtures.push_back(fixture);
}

void ZqPhysicsWorld::destroyQueued()
{
    // Swapped out first: end-contact handlers run inside DestroyBody and may queue more,
    // which then go at once because the world is no longer locked.
    std::vector<b2Fixture*> fixtures;
    fixtures.swap(m_doomedFixtures);
    for (b2Fixture* fixture : fixtures)
        fixture->GetBody()->DestroyFixture(fixture);
    std::vector<b2Body*> bodies;
    bodies.swap(m_doomedBodies);
    for (b2Body* body : bodies)
        m_world.DestroyBody(body);
}
