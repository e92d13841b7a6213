#pragma once

#include "base/CCGeometry.h"
#include "model/ZqStartMode.h"

#include <string>
#include <vector>

namespace cocos2d {
class CCNode;
}
class ZqPObject;
class ZqPObjectAsset;
class ZqPObjectAssetMirror;
class ZqPObjectAssetPowerup;
class ZqPObjectAssetTeleport;
class ZqPhysicsWorld;

// What objects and components ask of the game field: the one seam between objects/ (with
// components/) and the field in screens/, which implements it and installs the lookups at
// start-up (screens/ZqScreenWiring.h); test fixtures install them too. Without a field, or
// before the lookups are installed, a lookup answers the "no field" default: its camera
// and world are null and its operations do nothing. Callers ask whether there is a field
// by its camera.
class ZqGameField {
public:
    // The node that holds the field's objects and is their reference node; null without a
    // field.
    virtual cocos2d::CCNode* camera() const = 0;
    // The physics world; null until the field's first update, and without a field.
    virtual ZqPhysicsWorld* world() const = 0;
    // Places object in the camera at source's placement (null: none), makes the camera its
    // reference node and its body in the world when there is one.
    virtual void adoptObject(ZqPObject* object, ZqPObject* source) = 0;
    // The white flash over the field, fading out over seconds.
    virtual void flash(float seconds) = 0;
    // Shakes the field for seconds.
    virtual void shake(float seconds) = 0;
    // The first power-up under the camera other than newer whose effect runs (state 1)
    // and whose "Powerup Type" is newer's; null when none.
    virtual ZqPObjectAssetPowerup* findPowerupByName(const ZqPObjectAssetPowerup& newer) const = 0;
    // Keeps the checkpoint, stored with the saved progress: the creation index of the
    // object it belongs to and its position in the camera's space.
    virtual void saveCheckpoint(int index, const cocos2d::CCPoint& position) = 0;
    // Makes the nearest checkpoint power-up ahead of the characters, along the gameplay
    // direction, the checkpoint; nothing when there is none.
    virtual void activateCheckpoint() = 0;
    // While on, each field step pulls the waiting coins near the characters toward them.
    virtual void setMagnetActive(bool active) = 0;
    // Every active, visible enemy unit under the camera is destroyed (state 4).
    virtual void killAllEnemies() = 0;
    // The teleports under the camera whose "Group ID" is group, in child order; not
    // retained, valid until the camera's children change.
    virtual std::vector<ZqPObjectAssetTeleport*> findTeleports(float group) const = 0;
    // Queues object's move to destination for the field's next step; the field holds both
    // until then (or until a restart or its end). Nothing for a null object or destination.
    virtual void queueTeleport(ZqPObjectAsset* object, ZqPObjectAssetTeleport* destination) = 0;
    // Switches to the screen linked under key with the pause flag and start mode
    // (model/ZqStartMode.h).
    virtual void requestScreenJump(const std::string& key, bool pause, int startMode, int flag) = 0;
    // Restarts the field with start mode (model/ZqStartMode.h) at its next update;
    // nothing changes inside the current step.
    virtual void setPendingAction(int mode) = 0;
    // Leaves the field for its end screen: the screen of its overlay's game-over observer,
    // else the menu the field was entered from.
    virtual void goToEndScreen() = 0;
    // Takes mirror out of the field's mirror pass; nothing when it is not in it. A mirror
    // calls it on the field that registered it, not on the current one.
    virtual void unregisterMirror(ZqPObjectAssetMirror* mirror) = 0;

protected:
    ~ZqGameField() = default;
};

// The two meanings of "the current field". They differ while a screen change is under
// way: the navigator builds a new container (and its field) while the director still runs
// the old scene until its next frame.
// - The navigator's current game scene: the field of the container being shown, else the
//   running scene's. Frame objects and deaths ask this one.
ZqGameField& zqCurrentField();
// - The director's running screen when it is a field. A spawner's copy goes into this one,
//   the field whose step is running.
ZqGameField& zqRunningField();

// The answers of the layer above; null uninstalls (back to the "no field" default). Each
// returns the field or null; not owned.
using ZqGameFieldLookup = ZqGameField* (*)();
void zqInstallFieldLookups(ZqGameFieldLookup current, ZqGameFieldLookup running);
