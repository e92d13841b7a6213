#pragma once

#include "objects/assets/ZqPObjectAsset.h"

#include <memory>
#include <vector>

class ZqModelObjectPath;

// An invisible path that captures physical objects within "Search Radius" points and
// steers them, by their body velocities, to its own position and then through its points
// (relative to its position) in single, loop or ping-pong mode. It has no body and moves
// nothing until the field sets its movement-active flag. A carried object has the type bit
// kTypeCarried (no second path takes it), gravity scale 0 and its own movement off; release
// gives them back. Carried objects are not retained: their removal subscription takes them
// off the list, and the path releases every one when it is destroyed, cleaned up or goes.
class ZqPObjectAssetPath : public ZqPObjectAsset {
public:
    enum PlayMode { kPlaySingle, kPlayLoop, kPlayPingPong };
    enum Affected { kAffectAll, kAffectCharacters, kAffectAssets };

    explicit ZqPObjectAssetPath(const std::shared_ptr<ZqModelObjectPath>& model);
    ~ZqPObjectAssetPath() override;

    // Captures and moves, with a reference node and while movement-active; nothing else.
    void update(float dt) override;
    // Releases every carried object.
    void cleanup() override;
    // The asset's; destroyed (4) releases every carried object.
    void setState(int state) override;
    // None: the path has no body.
    void createBody(ZqPhysicsWorld* world, bool lazy) override {}
    // A 40 x 40 box on the position, with a 10 x 10 box beside each point.
    cocos2d::CCRect boundingRect() const override;

    // Point index plus the position; the position itself for an index out of range.
    cocos2d::CCPoint pointPosition(int index) const;
    // The carried objects in order of capture.
    std::vector<ZqPObjectAsset*> carriedObjects() const;
    PlayMode playMode() const { return m_playMode; }
    Affected affected() const { return m_affected; }

private:
    struct Carried {
        ZqPObjectAsset* object;
        // The next point's index, the point steered to (the parent's space), +1 or -1.
        int next;
        cocos2d::CCPoint target;
        int direction;
    };

    const ZqModelObjectPath& pathModel() const;
    bool qualifies(const ZqPObjectAsset& object) const;
    void scanForObjects();
    void attachObject(ZqPObjectAsset* object);
    void moveCarriedObjects();
    // Steers entry; true when it is to be released.
    bool moveCarried(Carried& entry);
    void letGo(ZqPObjectAsset* object);
    void letGoOfAll();
    std::vector<Carried>::iterator findCarried(const ZqPObject* object);
    // The removal handler on each carried object.
    void removeCarried(ZqPObject* object, ZqPObject* other);

    std::vector<Carried> m_carried;
    PlayMode m_playMode;
    Affected m_affected;
    // Objects beyond 1.1 x "Search Radius" are let go until any object first reaches a point.
    bool m_leash = true;
    // With kAffectAssets: the id of the asset whose units qualify; negative, any unit.
    int m_objectAsset;
};
