#pragma once

// The states of a placed game object, which the objects, their components and the input
// controller's characters compare. Stored as int (the models' curves are keyed by it); the
// order counts: every state below kStateDestroyed is alive.
namespace zqobject {

enum State : int {
    kStateNormal, // idle
    kStateMoving,
    kStateShooting,
    kStateJumping,
    kStateDestroyed, // dying: the defeat shows
    kStateRemoved,   // taken off its parent at the parent's next update
    kStateCount
};

} // namespace zqobject
