#pragma once

#include "screens/field/ZqRetained.h"

#include <cstddef>
#include <vector>

class ZqPObjectAsset;
class ZqPObjectAssetTeleport;
class ZqPScreenScene;

// The field's teleport queue: the objects teleports send, moved to their destinations at
// the field's step, outside the physics step. Holds each queued object and its destination
// until then.
class ZqFieldTeleports {
public:
    explicit ZqFieldTeleports(const ZqPScreenScene& field) : m_field(field) {}

    // The teleports under the camera whose "Group ID" is group, in child order.
    std::vector<ZqPObjectAssetTeleport*> find(float group) const;
    // Nothing for a null object or destination.
    void queue(ZqPObjectAsset* object, ZqPObjectAssetTeleport* destination);
    // Moves every queued object to its destination (a character by teleportTo, another by
    // node and body, velocity kept) and empties the queue; an object removed or gone from
    // the camera meanwhile is not moved and its destination takes objects in again, and no
    // object goes to a destination gone from the camera.
    void transfer();
    // Empties the queue without moving anything (a restart).
    void clear() { m_queue.clear(); }
    std::size_t queued() const { return m_queue.size(); }

private:
    struct Request {
        ZqRetained object;      // a ZqPObjectAsset
        ZqRetained destination; // a ZqPObjectAssetTeleport
    };
    const ZqPScreenScene& m_field;
    std::vector<Request> m_queue;
};
