#pragma once

#include "objects/ZqGameField.h"
#include "objects/ZqPGameFieldCamera.h"
#include "screens/ZqPContactListener.h"
#include "screens/ZqPScreen.h"

#include <memory>
#include <string>
#include <vector>

class ZqModel;
class ZqModelScreenScene;
class ZqPObject;
class ZqPObjectAssetMirror;
class ZqPObjectBackgroundLayer;
class ZqPhysicsWorld;

// The game field: a screen made from a game-scene model that holds the field's objects
// under its camera node, runs the physics world and steps every object each frame.
//
// The world is built at the first update, not when the field is made: each build starts
// the gameplay parameters from the general settings' defaults, loads the scene's values,
// then makes the world with the scene's gravity. Each frame: at most one physics step of
// the time scale x 1/60 s, then every object under the camera updates with 1/60 s, then
// the objects that reached state 5 are removed, then the flash and shake go on, then the
// magnet (while on) pulls the coins near the characters.
class ZqPScreenScene : public ZqPScreen, public ZqGameField {
public:
    // The step of the physics and of every object, in seconds.
    static constexpr float kFrameStep = 1.0f / 60.0f;
    static constexpr int kVelocityIterations = 6;
    static constexpr int kPositionIterations = 6;
    // z orders of the field layer's children and of a source-less adopted object.
    static constexpr int kFlashZOrder = 9000;
    static constexpr int kAdoptedZOrder = 1000;

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

    ZqPGameFieldCamera* camera() const override { return m_camera; }
    // Null until the first update.
    ZqPhysicsWorld* world() const override { return m_world.get(); }
    const std::shared_ptr<ZqModelScreenScene>& sceneModel() const { return m_sceneModel; }
    // The node that holds the camera; the shake moves it.
    cocos2d::CCNode* fieldLayer() const { return m_fieldLayer; }
    cocos2d::CCSprite* flashSprite() const { return m_flash; }

    // Power-ups (ZqPScreenScenePowerups.cpp).
    ZqPObjectAssetPowerup* findPowerupByName(const std::string& type, const ZqPObject* excluded) const override;
    // Keeps the index and position, and the current score record's session values.
    void saveCheckpoint(int index, const cocos2d::CCPoint& position) override;
    // Among the power-ups under the camera.
    void activateCheckpoint() override;
    void setMagnetActive(bool active) override { m_magnetActive = active; }
    bool isMagnetActive() const { return m_magnetActive; }
    void killAllEnemies() override;
    // A power-up granted or bought: made whatever its appearance chance and taken at once,
    // at the first live character (above it, or just below), else at the screen centre.
    void grantPowerup(const std::shared_ptr<ZqModelAssetPowerup>& powerup, bool above) override;
    // The kept checkpoint's creation index (-1 none) and position in the camera's space.
    int checkpointIndex() const { return m_checkpointIndex; }
    const cocos2d::CCPoint& checkpointPosition() const { return m_checkpointPosition; }

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

private:
    explicit ZqPScreenScene(const std::shared_ptr<ZqModelScreenScene>& model);
    void buildWorld();
    void updateObjects();
    void updateEffects(float dt);
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
    bool m_magnetActive = false;
    int m_checkpointIndex = -1;
    cocos2d::CCPoint m_checkpointPosition;

    // Scenery. Lets the mirrors go of the field and releases the background layers;
    // before the objects go.
    void releaseScenery();
    // Not retained: each mirror leaves the list as it goes.
    std::vector<ZqPObjectAssetMirror*> m_mirrors;
    // Retained (their create does not autorelease).
    std::vector<ZqPObjectBackgroundLayer*> m_backgroundLayers;
    bool m_capturingMirror = false;
};
