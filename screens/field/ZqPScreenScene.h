#pragma once

#include "objects/ZqGameField.h"
#include "objects/ZqPGameFieldCamera.h"
#include "screens/ZqPContactListener.h"
#include "screens/ZqPScreen.h"
#include "screens/field/ZqFieldLinkers.h"
#include "screens/field/ZqFieldPowerups.h"
#include "screens/field/ZqFieldRestarts.h"
#include "screens/field/ZqFieldScenery.h"
#include "screens/field/ZqFieldSections.h"
#include "screens/field/ZqFieldTeleports.h"

#include <memory>
#include <string>
#include <vector>

class ZqModelComponentHealth;
class ZqModelScreenScene;
class ZqPObject;
class ZqPhysicsWorld;
class ZqPScreenUi;
class b2DestructionListener;

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
// The field's jobs are parts it holds: its sections and creation queue, restarts and
// checkpoints, power-ups, scenery and effects, teleports and linkers; each reaches the
// field through the accessors below. The field answers objects/ZqGameField.h by asking
// them.
//
// Distances are in points along the gameplay direction from the camera's start; the
// distance score is in metres (20 points each).
class ZqPScreenScene : public ZqPScreen, public ZqGameField {
public:
    // The step of the physics and of every object, in seconds.
    static constexpr float kFrameStep = 1.0f / 60.0f;
    static constexpr int kVelocityIterations = 6;
    static constexpr int kPositionIterations = 6;
    // z order of a source-less adopted object.
    static constexpr int kAdoptedZOrder = 1000;

    // Autoreleased; null for a null model.
    static ZqPScreenScene* create(const std::shared_ptr<ZqModelScreenScene>& model);
    // Releases every field object, and so every body, before the world goes.
    ~ZqPScreenScene() override;

    bool init() override;
    void update(float dt) override;
    // The normal visit, then the scenery's mirror pass.
    void visit() override;

    // Places object in the camera at source's placement expressed in the camera's space
    // (z order kAdoptedZOrder without a source, else the source's plus the object's own),
    // makes the camera its reference node and makes its body in the world (when built).
    void adoptObject(ZqPObject* object, ZqPObject* source) override;
    void flash(float seconds) override { m_scenery.flash(seconds); }
    void shake(float seconds) override { m_scenery.shake(seconds); }
    ZqPObjectAssetPowerup* findPowerupByName(const ZqPObjectAssetPowerup& newer) const override
    {
        return m_powerups.findByName(newer);
    }
    void saveCheckpoint(int index, const cocos2d::CCPoint& position) override
    {
        m_restarts.saveCheckpoint(index, position);
    }
    void activateCheckpoint() override { m_restarts.activateCheckpoint(); }
    void setMagnetActive(bool active) override { m_powerups.setMagnetActive(active); }
    void killAllEnemies() override { m_powerups.killAllEnemies(); }
    void grantPowerup(const std::shared_ptr<ZqModelAssetPowerup>& powerup, bool above) override
    {
        m_powerups.grant(powerup, above);
    }
    std::vector<ZqPObjectAssetTeleport*> findTeleports(float group) const override { return m_teleports.find(group); }
    void queueTeleport(ZqPObjectAsset* object, ZqPObjectAssetTeleport* destination) override
    {
        m_teleports.queue(object, destination);
    }
    // The switch to the screen linked under key: through the current UI screen's deferred
    // actions when there is one (nothing while an action waits there), else at once. pause
    // asks this field to pause (pause mode 0, else 1) when the screen is pushed over it; a
    // field switched to restarts with startMode.
    void requestScreenJump(const std::string& key, bool pause, int startMode, int flag) override;
    void setPendingAction(int mode) override { m_restarts.request(mode); }
    void unregisterMirror(ZqPObjectAssetMirror* mirror) override { m_scenery.unregisterMirror(mirror); }

    // The parts.
    ZqFieldSections& sections() { return m_sections; }
    const ZqFieldSections& sections() const { return m_sections; }
    ZqFieldRestarts& restarts() { return m_restarts; }
    const ZqFieldRestarts& restarts() const { return m_restarts; }
    ZqFieldPowerups& powerups() { return m_powerups; }
    const ZqFieldPowerups& powerups() const { return m_powerups; }
    ZqFieldScenery& scenery() { return m_scenery; }
    const ZqFieldScenery& scenery() const { return m_scenery; }
    ZqFieldTeleports& teleports() { return m_teleports; }
    const ZqFieldTeleports& teleports() const { return m_teleports; }
    ZqFieldLinkers& linkers() { return m_linkers; }
    const ZqFieldLinkers& linkers() const { return m_linkers; }

    ZqPGameFieldCamera* camera() const override { return m_camera; }
    // Null until the first update.
    ZqPhysicsWorld* world() const override { return m_world.get(); }
    const std::shared_ptr<ZqModelScreenScene>& sceneModel() const { return m_sceneModel; }
    // The node that holds the camera; the shake moves it.
    cocos2d::CCNode* fieldLayer() const { return m_fieldLayer; }
    // How far the camera went along the gameplay direction, in points.
    float cameraDistance() const { return m_cameraDistance; }
    // The view's length along the gameplay direction, in points.
    float viewLength() const;
    // The view opens centred on distance along the gameplay direction (not before the
    // start); the way there scores nothing.
    void openViewAt(float distance);

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

    // The overlay and pausing (ZqPScreenScenePause.cpp).
    // The interface screen over this field in its container; null when none.
    ZqPScreenUi* overlay() const;
    // Pushes the screen the sender button's "Name" leads to, else the one named
    // ZqBaseNode::kPausePortName, rebuilds the overlay and pauses at the next update.
    // Nothing while paused or over, or when no screen is pushed.
    void pause(cocos2d::CCObject* sender);
    // The pause state the next update applies.
    void setRequestedPause(bool paused) { m_requestedPause = paused; }
    bool isPaused() const { return m_paused; }
    // Replaces the overlay with the screen of the navigator's current key; resumes when the
    // screen of the pause has left the navigator's history, or no screen is pushed over the
    // field any more.
    void rebuildOverlay();
    // One entry back in the navigator, when it can go, and the overlay rebuilt.
    void closeOverlayAndResume(cocos2d::CCObject* sender);

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

    // The process-wide switch of the physics debug draw: the world's shapes and joints
    // drawn over the field's objects, in the camera's space. Off by default.
    static void setDebugDrawEnabled(bool enabled);
    static bool isDebugDrawEnabled();

private:
    explicit ZqPScreenScene(const std::shared_ptr<ZqModelScreenScene>& model);

    void buildWorld();
    // A build: the parameters reset and reloaded, the start bits applied, the start section
    // chosen, the lives refilled when entering or as due, then from the checkpoint or from
    // the start. Characters in replaced give their component states to the new ones.
    void build(int mode, bool entering, const std::vector<ZqPObject*>& replaced);
    // The gameplay parameters from the settings' defaults and the scene, the game speed at
    // its minimum.
    void resetParameters();
    // The pending restart, if any, before anything steps: objects, the creation queue and
    // the queued teleports go, the characters are unregistered, pause, magnet and game over
    // are cleared, then the build.
    void applyPendingRestart();
    // Paused: no step, image actions and field and death sounds paused.
    void applyRequestedPause();
    // After the objects' steps: game over once no character was alive for long enough.
    void testGameOver();
    void updateCamera();
    void updateObjects();
    // The game speed, the distance score, the magnet's pull and the queued teleports.
    void stepGameField();
    void releaseObjects();

    std::shared_ptr<ZqModelScreenScene> m_sceneModel;
    cocos2d::CCNode* m_fieldLayer = nullptr;
    ZqPGameFieldCamera* m_camera = nullptr;
    ZqPContactListener m_contactListener;
    std::unique_ptr<b2DestructionListener> m_destructionListener;
    std::unique_ptr<ZqPhysicsWorld> m_world;
    // Reused every frame.
    std::vector<cocos2d::CCNode*> m_objectSnapshot;
    float m_cameraDistance = 0.0f;
    // The camera's advance not yet counted into the distance score, in points.
    float m_unscoredAdvance = 0.0f;
    bool m_paused = false;
    bool m_requestedPause = false;
    // The navigator's history length with the screen pause() pushed; 0 when none.
    std::size_t m_pauseDepth = 0;
    bool m_gameOver = false;
    // Field steps since the last character alive.
    int m_lifelessSteps = 0;
    PhaseTimes* m_phaseTimes = nullptr;

    ZqFieldSections m_sections{*this};
    ZqFieldRestarts m_restarts{*this};
    ZqFieldPowerups m_powerups{*this};
    ZqFieldScenery m_scenery{*this};
    ZqFieldTeleports m_teleports{*this};
    ZqFieldLinkers m_linkers{*this};
};
