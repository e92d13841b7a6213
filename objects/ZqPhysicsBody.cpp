#include "objects/ZqPhysicsBody.h"

namespace {

uintptr_t userPointer(ZqPObject* owner)
{
    return reinterpret_cast<uintptr_t>(owner);
}

} // namespace

ZqPObject* zqObjectOf(b2Body* body)
{
    return body ? reinterpret_cast<ZqPObject*>(body->GetUserData().pointer) : nullptr;
}

ZqPObject* zqObjectOf(b2Fixture* fixture)
{
    return fixture ? reinterpret_cast<ZqPObject*>(fixture->GetUserData().pointer) : nullptr;
}

ZqPhysicsBody::~ZqPhysicsBody()
{
    destroy();
    setWorld(nullptr);
}

void ZqPhysicsBody::setWorld(ZqPhysicsWorld* world)
{
    if (m_world == world)
        return;
    if (m_world)
        m_world->detach(this);
    m_world = world;
    if (m_world)
        m_world->attach(this);
}

void ZqPhysicsBody::worldGone()
{
    m_body = nullptr;
    m_world = nullptr;
    m_pendingFixture.reset();
}

bool ZqPhysicsBody::create(ZqPhysicsWorld& world, b2BodyDef definition, ZqPObject* owner)
{
    if (world.isLocked())
        return false;
    destroy();
    definition.userData.pointer = userPointer(owner);
    m_body = world.box2d().CreateBody(&definition);
    setWorld(&world);
    return true;
}

void ZqPhysicsBody::deferCreation(ZqPhysicsWorld& world)
{
    if (m_body)
        return;
    setWorld(&world);
}

void ZqPhysicsBody::clearDeferred()
{
    if (!m_body)
        setWorld(nullptr);
}

b2Fixture* zqAddFixture(b2Body* body, b2FixtureDef definition, ZqPObject* owner)
{
    if (!body || !definition.shape || body->GetWorld()->IsLocked())
        return nullptr;
    definition.userData.pointer = userPointer(owner);
    b2Fixture* fixture = body->CreateFixture(&definition);
    if (body->GetType() == b2_dynamicBody && body->GetMass() <= 0.0f) {
        b2MassData mass;
        body->GetMassData(&mass);
        mass.mass = 1.0f;
        body->SetMassData(&mass);
    }
    return fixture;
}

b2Fixture* ZqPhysicsBody::addFixture(b2FixtureDef definition, ZqPObject* owner)
{
    if (!m_body || m_world->isLocked())
        return nullptr;
    return zqAddFixture(m_body, definition, owner);
}

void ZqPhysicsBody::replaceFixture(const ZqFixtureDefinition& definition, ZqPObject* owner)
{
    if (!m_body || !definition.hasShape())
        return;
    if (m_world->isLocked()) {
        m_pendingFixture = std::make_unique<ZqFixtureDefinition>(definition);
        m_pendingOwner = owner;
        return;
    }
    if (b2Fixture* first = m_body->GetFixtureList())
        m_body->DestroyFixture(first);
    addFixture(definition.def, owner);
}

void ZqPhysicsBody::applyPendingFixture()
{
    if (!m_body || m_world->isLocked())
        return;
    const ZqFixtureDefinition definition = std::move(*m_pendingFixture);
    m_pendingFixture.reset();
    replaceFixture(definition, m_pendingOwner);
}

void ZqPhysicsBody::destroy()
{
    m_pendingFixture.reset();
    if (!m_body)
        return;
    if (m_world->isLocked()) {
        // A body that outlives this call inside a running step must no longer name its
        // owner: the contact listener skips it, and the owner may be gone by then. Outside a
        // step the end contacts that DestroyBody reports still name both objects.
        m_body->GetUserData().pointer = 0;
        for (b2Fixture* fixture = m_body->GetFixtureList(); fixture; fixture = fixture->GetNext())
            fixture->GetUserData().pointer = 0;
    }
    b2Body* body = m_body;
    m_body = nullptr;
    m_world->destroyBody(body);
    setWorld(nullptr);
}
