#pragma once

#include <box2d/box2d.h>

// The game field's one contact listener: it hands each contact between two runtime objects
// to both of them (begin: A then B, each with the other; end and pre-solve likewise).
// Fixtures that belong to no object are skipped. Handlers run inside the step and must not
// change the world; the objects defer what they do to their next update.
class ZqPContactListener : public b2ContactListener {
public:
    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;
    void PreSolve(b2Contact* contact, const b2Manifold* oldManifold) override;
};
