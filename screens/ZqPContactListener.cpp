#include "screens/ZqPContactListener.h"

#include "objects/assets/ZqPObjectAsset.h"

#include "ZqCachedCast.h"

namespace {

// The objects of both fixtures; false when either has none. No reference is taken: end
// contacts also arrive from DestroyBody inside an object's destructor. Every touching
// contact comes here twice a step, hence the cached casts.
bool objectsOf(b2Contact* contact, ZqPObjectAsset*& a, ZqPObjectAsset*& b)
{
    a = zqCachedCast<ZqPObjectAsset>(zqObjectOf(contact->GetFixtureA()));
    b = zqCachedCast<ZqPObjectAsset>(zqObjectOf(contact->GetFixtureB()));
    return a && b;
}

} // namespace

void ZqPContactListener::BeginContact(b2Contact* contact)
{
    ZqPObjectAsset* a;
    ZqPObjectAsset* b;
    if (!objectsOf(contact, a, b))
        return;
    a->beginContact(b, contact, true);
    b->beginContact(a, contact, true);
}

void ZqPContactListener::EndContact(b2Contact* contact)
{
    ZqPObjectAsset* a;
    ZqPObjectAsset* b;
    if (!objectsOf(contact, a, b))
        return;
    a->endContact(b, contact);
    b->endContact(a, contact);
}

void ZqPContactListener::PreSolve(b2Contact* contact, const b2Manifold* oldManifold)
{
    ZqPObjectAsset* a;
    ZqPObjectAsset* b;
    if (!objectsOf(contact, a, b))
        return;
    a->preSolve(b, contact, oldManifold);
    b->preSolve(a, contact, oldManifold);
}
