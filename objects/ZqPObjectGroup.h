#pragma once

#include "objects/ZqPObject.h"

#include <memory>
#include <vector>

class ZqModelObjectGroup;

// The runtime object of a group model. It draws nothing; when its model asks for automatic
// depth sorting it gives the group's members among the reference node's children
// consecutive z orders by one coordinate, every update.
class ZqPObjectGroup : public ZqPObject {
public:
    // Autoreleased.
    static ZqPObjectGroup* create(const std::shared_ptr<ZqModelObjectGroup>& model);
    explicit ZqPObjectGroup(const std::shared_ptr<ZqModelObjectGroup>& model);

    // The depth sort only: a group runs no components. Nothing without a reference node.
    // Members: objects whose model is a child of the group model, and characters when the
    // group holds one. Sorted on y for "gAxisX", else on x; "gSortAsc" draws the greatest
    // coordinate first. Members take z orders from the lowest of theirs (at most 10000)
    // upward; equal coordinates keep their child order.
    void update(float dt) override;

private:
    std::shared_ptr<ZqModelObjectGroup> m_group;
    // Reused every update, so that sorting allocates nothing once it has grown.
    std::vector<ZqPObject*> m_members;
};
