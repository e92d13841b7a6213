#pragma once

#include "objects/ZqGameField.h"
#include "objects/ZqPGameFieldCamera.h"
#include "screens/ZqPContactListener.h"
#include "screens/ZqPScreen.h"

#include "app/ZqPSettingsController.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ZqModel;
class ZqModelComponentHealth;
class ZqModelLevelSection;
class ZqModelLinker;
class ZqModelObject;
class ZqModelScreenScene;
class ZqPObject;
class ZqPObjectAssetMirror;
class ZqPObjectBackgroundLayer;
class ZqPhysicsWorld;
class ZqPScreenUi;
class b2Joint;
class b2RevoluteJoint;

// The game field: a screen made from a game-scene model that holds the field's objects
// under its camera node, runs the physics world and steps every object each frame.
//
// The world is built at the first update, not when the field is made, with the navigator's
// destination in force then: the input controller forgets every character, the gameplay
// parameters start from the general settings' defaults and take the scene's values, the
// game speed starts at its minimum, the world gets the scene's gravity, the scene's own
// objects are made, and the start section is added at distance 0.
//
// Each frame, in this order: the camera update, which scrolls the background layers; at
// most one physics step of the time
// scale x 1/60 s; every object under the camera updates with 1/60 s and those that
// reached state 5 are removed; sections are added ahead and objects removed behind and
// beside the view; flash and shake; the field step (game speed, distance, the magnet's pull
// on coins, the queued teleport transfers); the creation queue, which registers mirrors;
// the game-over test. Each added section makes the group objects of its group models.
//
// Distances are in points along the gameplay direction from the camera's start; the
// distance score is in metres (20 points each).
class ZqPScreenScene : public ZqPScreen, public ZqGameField {
public:
    // The step of the physics and of every object, in seconds.
    static constexpr float kFrameStep = 1.0f / 60.0f;
    static constexpr int kVelocityIterations = 6;
    static constexpr int kPositionIterations = 6;
    // z orders of the field layer's children and of a source-less adopted object.
    static constexpr int kFlashZOrder = 9000;
    static constexpr int kAdoptedZOrder = 1000;
    // Objects the creation queue makes in one frame, and sections added in one frame.
    static constexpr std::size_t kQueuedPerFrame = 20;
    static constexpr int kSectionsPerFrame = 4;
    // The latest section placements kept for the checkpoints.
    static constexpr std::size_t kKeptPlacements = 32;

    // Autoreleased; null for a null model.
    static ZqPScreenScene* create(const std::shared_ptr<ZqModelScreenScene>& model);
    // Releases every field object, and so every body, before the world goes.
    ~ZqPScreenScene() override;

    bool init() override;
    void update(float dt) override;

    // Places object in the camera at source's placement expressed in the camera's space
    // (z order kAdoptedZOrder without a source, else the source's plus the object's own),
    // makes the camera its reference node and makes its body in the world (when built).
    void adoptObject(ZqPObject* object, ZqPObject* source) override;
    // The white flash over the field, fading out over seconds.
    void flash(float seconds) override;
    // Shakes the field layer for seconds, strongest in its last second.
    void shake(float seconds) override;

    // Logs "add level section: <id>", stores distance as the section's placement distance,
    // queues its objects placed at model position + distance x gameplay direction with
    // creationIndex, and answers the section's "Width".
    float addLevelSection(const std::shared_ptr<ZqModelLevelSection>& section, float distance, int creationIndex);
    // Models waiting for the creation queue.
    std::size_t queuedCount() const { return m_queue.size(); }
    // How far the camera went along the gameplay direction, in points.
    float cameraDistance() const { return m_cameraDistance; }
    // Where the next appended section goes, in points along the gameplay direction.
    float nextSectionDistance() const { return m_nextSectionDistance; }
    // Whether sections are appended: no destination section of this scene was chosen.
    bool isEndless() const { return m_endless; }
    // Seconds each part of the update took, added up over the updates while a sink is set
    // (the frame benchmark's split); no clock is read without one.
    struct PhaseTimes {
        double step = 0.0;     // the physics step
        double objects = 0.0;  // the objects' updates, those in state 5 removed
        double sections = 0.0; // sections appended, objects removed out of view
        double queue = 0.0;    // the creation queue
        double other = 0.0;    // the camera, flash and shake, the field step, the game-over test
    };
    // Not owned; null stops the timing.
    void setPhaseTimes(PhaseTimes* times) { m_phaseTimes = times; }

    ZqPGameFieldCamera* camera() const override { return m_camera; }
    // Null until the first update.
    ZqPhysicsWorld* world() const override { return m_world.get(); }
    const std::shared_ptr<ZqModelScreenScene>& sceneModel() const { return m_sceneModel; }
    // The node that holds the camera; the shake moves it.
    cocos2d::CCNode* fieldLayer() const { return m_fieldLayer; }
    cocos2d::CCSprite* flashSprite() const { return m_flash; }

    // Power-ups (ZqPScreenScenePowerups.cpp).
    ZqPObjectAssetPowerup* findPowerupByName(const std::string& type, const ZqPObject* excluded) const override;
    // Stores the checkpoint of this field's scene key with the saved progress, and saves:
    // the index, the position along the gameplay direction, the placement distance of the
    // section of that creation index that holds the position (the latest placed at or
    // before it: a section may be placed many times), the position, and the current score
    // record's session values (kept in their snapshots too).
    void saveCheckpoint(int index, const cocos2d::CCPoint& position) override;
    // Among the power-ups under the camera and the checkpoint models waiting in the
    // creation queue (at their placed positions).
    void activateCheckpoint() override;
    void setMagnetActive(bool active) override { m_magnetActive = active; }
    bool isMagnetActive() const { return m_magnetActive; }
    void killAllEnemies() override;
    // A power-up granted or bought: made whatever its appearance chance and taken at once,
    // at the first live character (above it, or just below), else at the screen centre.
    void grantPowerup(const std::shared_ptr<ZqModelAssetPowerup>& powerup, bool above) override;
    // The stored checkpoint of this field's scene key; null when none.
    const ZqPSettingsController::Checkpoint* checkpoint() const;
    // The section a creation index names: the start section for the build's destination
    // (0 in endless mode), else the scene's section of that id; null when none.
    std::shared_ptr<ZqModelLevelSection> sectionOfIndex(int index) const;

    // Teleports and screen jumps (ZqPScreenSceneTeleports.cpp).
    std::vector<ZqPObjectAssetTeleport*> findTeleports(float group) const override;
    void queueTeleport(ZqPObjectAsset* object, ZqPObjectAssetTeleport* destination) override;
    // The switch to the screen linked under key: through the current UI screen's deferred
    // actions when there is one (nothing while an action waits there), else at once. pause
    // asks this field to pause (pause mode 0, else 1) when the screen is pushed over it; a
    // field switched to restarts with startMode.
    void requestScreenJump(const std::string& key, bool pause, int startMode, int flag) override;
    // Moves every queued object to its destination (a character by teleportTo, another by
    // node and body, velocity kept) and empties the queue; an object removed or gone from
    // the camera meanwhile is not moved and its destination takes objects in again, and no
    // object goes to a destination gone from the camera. Run after the objects' update,
    // outside the physics step.
    void transferTeleports();
    // Empties the queue without moving anything (a restart).
    void clearTeleports() { m_teleportQueue.clear(); }
    std::size_t queuedTeleports() const { return m_teleportQueue.size(); }

    // The overlay and pausing (ZqPScreenScenePause.cpp). The screen a pause shows when
    // its button names none.
    static constexpr const char* kPauseScreenName = "Pause";
    // The interface screen over this field in its container; null when none.
    ZqPScreenUi* overlay() const;
    // Pushes the screen the sender button's "Name" leads to, else the one named
    // kPauseScreenName, rebuilds the overlay and pauses at the next update. Nothing while
    // paused or over, or when no screen is pushed.
    void pause(cocos2d::CCObject* sender);
    // The pause state the next update applies.
    void setRequestedPause(bool paused) { m_requestedPause = paused; }
    bool isPaused() const { return m_paused; }
    // Replaces the overlay with the screen of the navigator's current key; resumes when no
    // screen is pushed over the field any more.
    void rebuildOverlay();
    // One entry back in the navigator, when it can go, and the overlay rebuilt.
    void closeOverlayAndResume(cocos2d::CCObject* sender);
    // Restarts (ZqPScreenSceneRestart.cpp), with the start-mode bits of
    // model/ZqStartMode.h. A kept checkpoint (of the full
    // form) is built from: the scene's own objects, the checkpoint's section at its stored
    // placement distance, and of the start section only its characters, at the
    // checkpoint's position, each taking the component states of the one it replaces; the
    // session scores come back from the checkpoint's snapshot; every object and the
    // overlay's objects are reset.
    // The field starts again with mode at its next update: objects, the creation queue and
    // the queued teleports go, the characters are unregistered, the gameplay parameters
    // are reset and reloaded, pause, magnet and game over are cleared, then the build.
    // Before the first update it only sets the mode the first build applies (mode 0: the
    // build from a kept checkpoint, else the start build).
    void restart(int mode) { m_pendingRestart = mode; }
    void setPendingAction(int mode) override { restart(mode); }
    // The session scores, as the scene's score component says (all three without one).
    void resetSessionScores();
    // Lives and game over (ZqPScreenSceneGameOver.cpp). Lives are the current-lives counter
    // of the health component of the character asset in play (the selected one, else the
    // start section's character's own); without one the first death ends the game. The
    // counter is set from "Lives" when the field is entered, on kStartScores and when it
    // is 0. Once no character is alive the field waits selectedCharacterMaxValue()
    // seconds of field steps (counted again when a character lives meanwhile), then
    // setGameOver(true).
    // true (unless over already): a life goes; with lives left the field restarts from
    // its checkpoint (mode 8); at none the game is over: the overlay's buttons are
    // disabled, the music stops when the scene says "Stop BGM on Death", and without a
    // "kGameOver" observer on the overlay the end screen follows. false: no longer over,
    // the field restored at its checkpoint (mode 8) and the ads shown again.
    void setGameOver(bool over);
    bool isGameOver() const { return m_gameOver; }
    // Through the overlay's first "kGameOver" observer: the switch to the screen its
    // "Name" leads to; else back to the menu the field was entered from. Nothing when
    // neither exists.
    void goToEndScreen() override;
    // The health model whose counter holds the lives; null when the character in play has
    // none.
    std::shared_ptr<ZqModelComponentHealth> livesModel() const;
    // Scenery (ZqPScreenSceneScenery.cpp).
    // The normal visit, then the mirror pass: each registered mirror captures the whole
    // scene with the UI layer hidden. No pass runs inside a capture.
    void visit() override;
    // A background layer for each shown background model of the screen, in the camera at
    // its "Z Depth"; a "Scale" component of 0 or below becomes 0.1 in the model first.
    void createBackgroundLayers();
    // A group object in the camera for each group model among section's children.
    void createGroupsFor(const ZqModel& section);
    // After a camera step that moved the camera by delta: each layer scrolls by
    // delta.x + delta.y over kFrameStep.
    void scrollBackgrounds(const cocos2d::CCPoint& delta);
    // Adds a mirror object to the mirror pass (once), this field becoming its field;
    // nothing for other objects.
    void registerIfMirror(ZqPObject* object);
    void unregisterMirror(ZqPObjectAssetMirror* mirror) override;
    const std::vector<ZqPObjectAssetMirror*>& mirrors() const { return m_mirrors; }
    const std::vector<ZqPObjectBackgroundLayer*>& backgroundLayers() const { return m_backgroundLayers; }

    // Linkers and the physics debug draw (ZqPScreenSceneLinkers.cpp). Each linker of an
    // added section joins the bodies of its two objects with a revolute joint at B's body
    // position once the creation queue has made both (a linker whose object is not made
    // makes none): a motor of "Torque" turning at -"Speed" radians per second, or, when
    // "Button Activated", registered with the input controller's motor actions.
    // The field's joints alive in its world, in making order; Box2D owns them.
    const std::vector<b2RevoluteJoint*>& joints() const { return m_joints; }
    // Box2D destroyed joint with a body: it leaves the list.
    void jointDestroyed(b2Joint* joint);
    // The process-wide switch of the debug draw: the world's shapes and joints drawn over
    // the field's objects, in the camera's space. Off by default.
    static void setDebugDrawEnabled(bool enabled);
    static bool isDebugDrawEnabled();

private:
    explicit ZqPScreenScene(const std::shared_ptr<ZqModelScreenScene>& model);
    struct QueuedObject {
        std::shared_ptr<ZqModelObject> model;
        cocos2d::CCPoint offset;
        int creationIndex;
        // The addLevelSection call that queued it (0: none), which its linkers match.
        unsigned batch = 0;
    };

    void buildWorld();
    // A build: the parameters reset and reloaded, the start bits applied, the start section
    // chosen, the lives refilled when entering or as due, then from the checkpoint or from
    // the start. Characters in replaced give their component states to the new ones.
    void build(int mode, bool entering, const std::vector<ZqPObject*>& replaced);
    // The gameplay parameters from the settings' defaults and the scene, the game speed at
    // its minimum.
    void resetParameters();
    // The pending restart, if any, before anything steps.
    void applyPendingRestart();
    void applyStartBits(int mode);
    // Paused: no step, image actions and field and death sounds paused.
    void applyRequestedPause();
    // The destination and the start section of a build; every section's cooldown at 0.
    void chooseStartSection();
    void makeSceneObjects();
    void startBuild();
    // The build from the stored checkpoint; false, nothing made, when there is none of the
    // full form or its section is not in the scene.
    bool buildFromCheckpoint(const std::vector<ZqPObject*>& replaced);
    // After the objects' steps: game over once no character was alive for long enough.
    void testGameOver();
    // Makes the runtime object of model under the camera, its body lazy or not; the
    // object, or null when none is made or a character of another section goes.
    ZqPObject* makeObject(const std::shared_ptr<ZqModelObject>& model, const cocos2d::CCPoint& offset,
                          int creationIndex, bool lazy);
    void updateCamera();
    void updateObjects();
    void appendSections();
    std::shared_ptr<ZqModelLevelSection> chooseSection(float distance);
    void removeOutOfView();
    void updateEffects(float dt);
    void stepGameField();
    void createQueued();
    // The view's length along the gameplay direction, in points.
    float viewLength() const;
    void releaseObjects();
    // The magnet's pull on the waiting coins near the characters.
    void pullCoins();

    std::shared_ptr<ZqModelScreenScene> m_sceneModel;
    cocos2d::CCNode* m_fieldLayer = nullptr;
    ZqPGameFieldCamera* m_camera = nullptr;
    ZqPContactListener m_contactListener;
    std::unique_ptr<b2DestructionListener> m_destructionListener;
    std::unique_ptr<ZqPhysicsWorld> m_world;
    // A child while flashing.
    cocos2d::CCSprite* m_flash = nullptr;
    float m_flashTime = 0.0f;
    float m_flashDuration = 0.0f;
    float m_shakeTime = 0.0f;
    // Reused every frame.
    std::vector<cocos2d::CCNode*> m_objectSnapshot;
    std::deque<QueuedObject> m_queue;
    bool m_endless = true;
    float m_nextSectionDistance = 0.0f;
    // The creation index and placement distance of the latest sections, oldest first.
    std::deque<std::pair<int, float>> m_placements;
    // The last search for a section to append found none.
    bool m_sectionStalled = false;
    float m_cameraDistance = 0.0f;
    // The camera's advance not yet counted into the distance score, in points.
    float m_unscoredAdvance = 0.0f;
    bool m_magnetActive = false;
    bool m_paused = false;
    std::optional<int> m_pendingRestart;
    bool m_requestedPause = false;
    // The navigator's destination at the build, and the section the build started with.
    int m_destination = 0;
    std::shared_ptr<ZqModelLevelSection> m_startSection;
    bool m_gameOver = false;
    // Field steps since the last character alive.
    int m_lifelessSteps = 0;
    PhaseTimes* m_phaseTimes = nullptr;

    // Holds one reference to a queued object until the queue lets it go.
    struct Release {
        void operator()(cocos2d::CCObject* object) const { object->release(); }
    };
    using Held = std::unique_ptr<cocos2d::CCObject, Release>;
    // A queued object (a ZqPObjectAsset) and its destination (a ZqPObjectAssetTeleport).
    struct TeleportRequest {
        Held object;
        Held destination;
    };
    std::vector<TeleportRequest> m_teleportQueue;

    // Scenery. Lets the mirrors go of the field and releases the background layers;
    // before the objects go.
    void releaseScenery();
    // Not retained: each mirror leaves the list as it goes.
    std::vector<ZqPObjectAssetMirror*> m_mirrors;
    // Retained (their create does not autorelease).
    std::vector<ZqPObjectBackgroundLayer*> m_backgroundLayers;
    bool m_capturingMirror = false;

    // Linkers. A linker of a queued section waiting for its objects, retained as they come.
    struct PendingLinker {
        std::shared_ptr<ZqModelLinker> linker;
        unsigned batch = 0;
        bool madeA = false;
        bool madeB = false;
        Held objectA;
        Held objectB;
    };
    // Remembers section's linkers for the objects queued under batch.
    void queueLinkers(const ZqModelLevelSection& section, unsigned batch);
    // After the queue took queued (object: what it made, or null): the joints whose objects
    // are now all made; linkers whose batch left the queue are dropped.
    void linkQueued(const QueuedObject& queued, ZqPObject* object);
    void dropStaleLinkers();
    void makeJoint(const ZqModelLinker& linker, ZqPObject* objectA, ZqPObject* objectB);
    // Destroys the joints (the input controller forgets them) and the waiting linkers;
    // before the objects and the world go.
    void releaseJoints();
    std::vector<PendingLinker> m_pendingLinkers;
    std::vector<b2RevoluteJoint*> m_joints;
    unsigned m_lastBatch = 0;
};
