#pragma once

#include "screens/field/ZqRetained.h"

#include <memory>
#include <vector>

class ZqModelLevelSection;
class ZqModelLinker;
class ZqModelObject;
class ZqPObject;
class ZqPScreenScene;
class b2Joint;
class b2RevoluteJoint;

// The field's linkers. Each linker of an added section joins the bodies of its two objects
// with a revolute joint at B's body position once the creation queue has made both (a
// linker whose object is not made makes none): a motor of "Torque" turning at -"Speed"
// radians per second, or, when "Button Activated", registered with the input controller's
// motor actions.
class ZqFieldLinkers {
public:
    explicit ZqFieldLinkers(const ZqPScreenScene& field) : m_field(field) {}

    // Remembers section's linkers for the objects the creation queue holds under batch.
    void queue(const ZqModelLevelSection& section, unsigned batch);
    // After the creation queue took model of batch (made: what it made, or null): the joints
    // whose objects are now all made.
    void linkQueued(unsigned batch, const std::shared_ptr<ZqModelObject>& model, ZqPObject* made);
    // Drops the linkers of the batches before oldestQueued, which left the creation queue:
    // the objects they wait for are not coming.
    void dropBefore(unsigned oldestQueued);
    // The field's joints alive in its world, in making order; Box2D owns them.
    const std::vector<b2RevoluteJoint*>& joints() const { return m_joints; }
    // Box2D destroyed joint with a body: it leaves the list.
    void jointDestroyed(b2Joint* joint);
    // Destroys the joints (the input controller forgets them) and the waiting linkers;
    // before the objects and the world go.
    void release();

private:
    // A linker of a queued section waiting for its objects, retained as they come.
    struct Pending {
        std::shared_ptr<ZqModelLinker> linker;
        unsigned batch = 0;
        bool madeA = false;
        bool madeB = false;
        ZqRetained objectA;
        ZqRetained objectB;
    };
    void makeJoint(const ZqModelLinker& linker, ZqPObject* objectA, ZqPObject* objectB);

    const ZqPScreenScene& m_field;
    std::vector<Pending> m_pending;
    std::vector<b2RevoluteJoint*> m_joints;
};
