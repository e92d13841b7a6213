#pragma once

#include "objects/assets/ZqPObjectAsset.h"

#include <memory>

class ZqModelObjectGatekeeper;
class ZqModelObjectScreenJump;
class ZqModelObjectTeleport;

// A zone that reacts to what touches it: its body is a dynamic sensor without gravity, so
// it follows nothing, stops nothing and still reports contacts. Collision kind 1.
class ZqPObjectAssetTrigger : public ZqPObjectAsset {
public:
    // type: the object-type bits of the zone.
    ZqPObjectAssetTrigger(const std::shared_ptr<ZqModel>& model, int type);

    void createBody(ZqPhysicsWorld* world, bool lazy) override;
};

// Takes a character in and has the field send it to the other teleports of its group
// within "Search Radius" points. While active (the movement-active flag) and not "Exit
// Only" it carries the first character that enters; each update it searches while it
// carries one. A search that sends drops the carried character (or removes it, "Delete
// Input Object"), and removes the teleport itself when "Single Use". A destination takes
// nothing in from the moment it is chosen until the arrived object no longer overlaps it
// or is gone, so a character is sent once and comes back only after leaving.
class ZqPObjectAssetTeleport : public ZqPObjectAssetTrigger {
public:
    explicit ZqPObjectAssetTeleport(const std::shared_ptr<ZqModelObjectTeleport>& model);
    // Unsubscribes from the carried and the arrived object.
    ~ZqPObjectAssetTeleport() override;

    // Re-activates once the arrived object has left, then searches while carrying; runs
    // neither components nor requested states.
    void update(float dt) override;
    // The asset's, then: removed (5) lets the carried object go; triggered (1) searches.
    void setState(int state) override;
    void beginContact(ZqPObject* other, b2Contact* contact, bool flag) override;

    float groupId() const;
    // Not retained; null when none.
    ZqPObjectAsset* carried() const { return m_carried; }
    // The field has just moved object here (its body is at this teleport).
    void receive(ZqPObjectAsset* object);

private:
    const ZqModelObjectTeleport& teleportModel() const;
    void onCarriedRemoved(ZqPObject* object, ZqPObject* other);
    void onArrivalRemoved(ZqPObject* object, ZqPObject* other);
    // Unsubscribes and forgets the carried object.
    void dropCarried();
    void dropArrival();
    // Whether a fixture of object's body overlaps this teleport's.
    bool overlaps(const ZqPObjectAsset& object) const;

    // Neither is retained: their removal subscriptions clear them.
    ZqPObjectAsset* m_carried = nullptr;
    ZqPObjectAsset* m_arrival = nullptr;
};

// Lets "Passed Amount" character contacts pass and asks every later contact's character
// to be removed. It counts contacts, not characters, and never counts down.
class ZqPObjectAssetGatekeeper : public ZqPObjectAssetTrigger {
public:
    explicit ZqPObjectAssetGatekeeper(const std::shared_ptr<ZqModelObjectGatekeeper>& model);

    void beginContact(ZqPObject* other, b2Contact* contact, bool flag) override;

    int passedCount() const { return m_passed; }

private:
    int m_passed = 0;
};

// Switches the game to the screen linked under its "Name" when a live character touches
// it: the contact requests state 1, whose setting asks the field for the jump and requests
// state 0 again.
class ZqPObjectAssetScreenJump : public ZqPObjectAssetTrigger {
public:
    explicit ZqPObjectAssetScreenJump(const std::shared_ptr<ZqModelObjectScreenJump>& model);

    void setState(int state) override;
    void beginContact(ZqPObject* other, b2Contact* contact, bool flag) override;
};
