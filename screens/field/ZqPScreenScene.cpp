#include "screens/field/ZqPScreenScene.h"

#include "ZqCachedCast.h"
#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "model/GameplayParameters.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/ZqPGameFieldCamera.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPObjectManipulator.h"
#include "objects/ZqPhysicsBody.h"
#include "objects/ZqPhysicsWorld.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"
#include "screens/ZqPhysicsDebugDraw.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>

using namespace cocos2d;

namespace {

// Joints that Box2D destroys with a body are forgotten by whoever keeps them; a field that
// goes after the input controller does not bring it back.
class FieldDestructionListener : public b2DestructionListener {
public:
    explicit FieldDestructionListener(ZqPScreenScene& field) : m_field(field) {}
    void SayGoodbye(b2Joint* joint) override
    {
        if (ZqPInputController* input = ZqPInputController::existing())
            input->forgetJoint(joint);
        m_field.linkers().jointDestroyed(joint);
    }
    void SayGoodbye(b2Fixture*) override {}

private:
    ZqPScreenScene& m_field;
};

// Lets node's subtree go of the field: the touch dispatcher retains its delegates, so
// objects that take touches would outlive the field (and their bodies its world); and an
// object kept elsewhere must not go on using the camera as its reference node.
void detachFromField(CCTouchDispatcher* dispatcher, CCNode* node)
{
    for (CCObject* child : *node->getChildren()) {
        if (dispatcher) {
            if (CCTouchDelegate* delegate = dynamic_cast<CCTouchDelegate*>(child))
                dispatcher->removeDelegate(delegate);
        }
        if (ZqPObject* object = dynamic_cast<ZqPObject*>(child))
            object->setReferenceNode(nullptr);
        detachFromField(dispatcher, static_cast<CCNode*>(child));
    }
}

// Adds the time since its last lap to a field of the phase times; reads no clock without
// them.
class PhaseClock {
public:
    explicit PhaseClock(ZqPScreenScene::PhaseTimes* times)
        : m_times(times)
    {
        if (m_times)
            m_last = std::chrono::steady_clock::now();
    }
    void lap(double ZqPScreenScene::PhaseTimes::*phase)
    {
        if (!m_times)
            return;
        const auto now = std::chrono::steady_clock::now();
        m_times->*phase += std::chrono::duration<double>(now - m_last).count();
        m_last = now;
    }

private:
    ZqPScreenScene::PhaseTimes* m_times;
    std::chrono::steady_clock::time_point m_last;
};

bool g_debugDraw = false;

} // namespace

void ZqPScreenScene::setDebugDrawEnabled(bool enabled)
{
    g_debugDraw = enabled;
}

bool ZqPScreenScene::isDebugDrawEnabled()
{
    return g_debugDraw;
}

ZqPScreenScene* ZqPScreenScene::create(const std::shared_ptr<ZqModelScreenScene>& model)
{
    if (!model)
        return nullptr;
    ZqPScreenScene* scene = new ZqPScreenScene(model);
    scene->autorelease();
    scene->init();
    return scene;
}

ZqPScreenScene::ZqPScreenScene(const std::shared_ptr<ZqModelScreenScene>& model)
    : ZqPScreen(model)
    , m_sceneModel(model)
    , m_destructionListener(std::make_unique<FieldDestructionListener>(*this))
{
}

ZqPScreenScene::~ZqPScreenScene()
{
    m_scenery.release();
    releaseObjects();
    m_sections.clear();
    m_world.reset();
}

void ZqPScreenScene::releaseObjects()
{
    m_linkers.release();
    if (!m_camera)
        return;
    // A character left registered would keep answering the input controller for a field
    // that is gone: game over would never come, and the camera would follow a ghost.
    if (ZqPInputController* input = ZqPInputController::existing()) {
        for (CCObject* child : *m_camera->getChildren()) {
            if (ZqInputCharacter* character = dynamic_cast<ZqInputCharacter*>(child))
                input->removeCharacter(character);
        }
    }
    detachFromField(CCDirector::sharedDirector()->getTouchDispatcher(), m_camera);
    // Every body goes while its world is alive, and no object dies inside a step.
    m_camera->removeAllChildrenWithCleanup(true);
}

bool ZqPScreenScene::init()
{
    if (!ZqPScreen::init())
        return false;
    m_fieldLayer = CCNode::create();
    addChild(m_fieldLayer, 0);
    m_camera = ZqPGameFieldCamera::create();
    m_fieldLayer->addChild(m_camera);
    // Drawn after the camera's objects, in the camera's space.
    m_fieldLayer->addChild(ZqPhysicsDebugDrawNode::create(*this), 1);
    m_scenery.createBackgroundLayers();
    return true;
}

void ZqPScreenScene::buildWorld()
{
    const int mode = m_restarts.takePending().value_or(0);
    ZqPInputController::shared()->removeAllCharacters();
    ScoreRegistry::setCurrentKey(m_sceneModel->key());
    // The world takes the scene's gravity.
    resetParameters();
    const CCPoint& gravity = GameplayParameters::shared()->gravity();
    m_world = std::make_unique<ZqPhysicsWorld>(b2Vec2(gravity.x, gravity.y));
    m_world->setContactListener(&m_contactListener);
    m_world->setDestructionListener(m_destructionListener.get());
    for (const std::shared_ptr<ZqModelObject>& object : m_sceneModel->ZqBaseModelScreen::objectModels()) {
        if (auto accelerometer = modelCast<ZqModelObjectAccelerometer>(object)) {
            ZqPObjectAccelerometer::shared()->setModel(accelerometer);
            break;
        }
    }
    build(mode, true, {});
}

void ZqPScreenScene::resetParameters()
{
    GameplayParameters* parameters = GameplayParameters::shared();
    parameters->resetToDefaults(ZqModelGeneralSettings::shared());
    parameters->loadFromScene(*m_sceneModel);
    parameters->setGameSpeed(parameters->gameSpeedMin());
}

void ZqPScreenScene::visit()
{
    ZqPScreen::visit();
    m_scenery.reflect();
}

void ZqPScreenScene::update(float dt)
{
    ZqPScreen::update(dt);
    if (!m_world)
        buildWorld();
    else
        applyPendingRestart();
    applyRequestedPause();
    if (m_paused)
        return;
    PhaseClock clock(m_phaseTimes);
    updateCamera();
    clock.lap(&PhaseTimes::other);
    m_world->step(GameplayParameters::shared()->simulationTimeScale() * kFrameStep, kVelocityIterations,
                  kPositionIterations);
    clock.lap(&PhaseTimes::step);
    updateObjects();
    clock.lap(&PhaseTimes::objects);
    m_sections.append(m_cameraDistance + viewLength() + GameplayParameters::shared()->backDeletionThreshold());
    m_sections.removeOutOfView();
    clock.lap(&PhaseTimes::sections);
    m_scenery.updateEffects(kFrameStep);
    stepGameField();
    clock.lap(&PhaseTimes::other);
    m_sections.createQueued();
    clock.lap(&PhaseTimes::queue);
    testGameOver();
    clock.lap(&PhaseTimes::other);
}

float ZqPScreenScene::viewLength() const
{
    const CCSize window = CCDirector::sharedDirector()->getWinSize();
    const CCPoint direction = GameplayParameters::shared()->gameplayDirection();
    return std::fabs(direction.x) * window.width + std::fabs(direction.y) * window.height;
}

void ZqPScreenScene::updateCamera()
{
    // The characters' centre comes to the middle of the view along the gameplay direction;
    // across it the camera stays where it is. It never goes back: what lies behind it has
    // been deleted.
    ZqPInputController* input = ZqPInputController::shared();
    if (input->characterList().empty())
        return;
    const CCPoint direction = GameplayParameters::shared()->gameplayDirection();
    const float target = input->charactersCenter().dot(direction) - 0.5f * viewLength();
    if (!(target > m_cameraDistance))
        return;
    const float smooth = m_sceneModel->cameraSmooth();
    const float advance = smooth > 0.0f && smooth <= 1.0f ? smooth * (target - m_cameraDistance)
                                                          : target - m_cameraDistance;
    m_cameraDistance += advance;
    m_unscoredAdvance += advance;
    m_camera->setPosition(m_camera->getPosition() - direction * advance);
    m_scenery.scrollBackgrounds(-direction * advance);
}

void ZqPScreenScene::openViewAt(float distance)
{
    const float cameraDistance = distance - 0.5f * viewLength();
    if (!(cameraDistance > 0.0f))
        return;
    const CCPoint shift = -GameplayParameters::shared()->gameplayDirection() * cameraDistance;
    m_cameraDistance = cameraDistance;
    m_camera->setPosition(shift);
    m_scenery.scrollBackgrounds(shift);
}

void ZqPScreenScene::stepGameField()
{
    GameplayParameters* parameters = GameplayParameters::shared();
    const float speed = parameters->gameSpeed();
    if (speed < parameters->gameSpeedMax())
        parameters->setGameSpeed(std::min(speed + parameters->gameSpeedIncrease() * kFrameStep,
                                          parameters->gameSpeedMax()));
    if (m_unscoredAdvance > 0.0f) {
        const float metres = m_unscoredAdvance * zqphysics::kMetresPerPoint * parameters->scoreMultiplier();
        // A scene without a key plays in the global record: counted once.
        ScoreRegistry::global().distance.add(metres);
        if (&ScoreRegistry::current() != &ScoreRegistry::global())
            ScoreRegistry::current().distance.add(metres);
        m_unscoredAdvance = 0.0f;
    }
    m_powerups.pullCoins();
    m_teleports.transfer();
}

void ZqPScreenScene::updateObjects()
{
    if (m_camera->getChildrenCount() == 0)
        return;
    // Objects add others to the camera (spawned copies) and leave it as they update.
    for (CCObject* child : *m_camera->getChildren()) {
        child->retain();
        m_objectSnapshot.push_back(static_cast<CCNode*>(child));
    }
    for (CCNode* node : m_objectSnapshot)
        node->update(kFrameStep);
    for (CCNode* node : m_objectSnapshot) {
        ZqPObject* object = zqCachedCast<ZqPObject>(node);
        if (object && object->state() == ZqPObject::kStateRemoved && object->getParent() == m_camera)
            m_camera->removeChild(object);
        node->release();
    }
    m_objectSnapshot.clear();
}

void ZqPScreenScene::adoptObject(ZqPObject* object, ZqPObject* source)
{
    if (!object || !m_camera)
        return;
    object->retain();
    if (object->getParent())
        object->removeFromParentAndCleanup(false);
    int zOrder = kAdoptedZOrder;
    if (source) {
        CCPoint position = source->getPosition();
        if (CCNode* parent = source->getParent())
            position = m_camera->convertToNodeSpace(parent->convertToWorldSpace(position));
        float rotation = 0.0f;
        float scaleX = 1.0f;
        float scaleY = 1.0f;
        for (const CCNode* node = source; node && node != m_camera; node = node->getParent()) {
            rotation += node->getRotation();
            scaleX *= node->getScaleX();
            scaleY *= node->getScaleY();
        }
        object->setPosition(position);
        object->setRotation(rotation);
        object->setScaleX(scaleX);
        object->setScaleY(scaleY);
        zOrder = source->getZOrder() + object->getZOrder();
    }
    m_camera->addChild(object, zOrder);
    object->release();
    object->setReferenceNode(m_camera);
    m_scenery.registerIfMirror(object);
    if (ZqPObjectAsset* asset = dynamic_cast<ZqPObjectAsset*>(object))
        asset->createBody(m_world.get(), false);
}

void ZqPScreenScene::applyPendingRestart()
{
    const std::optional<int> pending = m_restarts.takePending();
    if (!pending)
        return;
    const int mode = *pending;
    // Resumed first, so that the sounds and image actions paused for this field play again.
    m_requestedPause = false;
    applyRequestedPause();
    m_teleports.clear();
    m_sections.clear();
    // The characters stay alive until the new ones took their component states.
    std::vector<ZqPObject*> replaced;
    for (CCObject* child : *m_camera->getChildren()) {
        ZqPObject* object = dynamic_cast<ZqPObject*>(child);
        if (object && (object->objectType() & ZqPObject::kTypeCharacter)) {
            object->retain();
            replaced.push_back(object);
        }
    }
    m_scenery.release();
    releaseObjects();
    ZqPInputController::shared()->removeAllCharacters();
    m_camera->setPosition(CCPointZero);
    m_fieldLayer->setPosition(CCPointZero);
    m_scenery.stopShake();
    m_cameraDistance = 0.0f;
    m_unscoredAdvance = 0.0f;
    m_powerups.setMagnetActive(false);
    m_scenery.createBackgroundLayers();
    build(mode, false, replaced);
    for (ZqPObject* object : replaced)
        object->release();
}

void ZqPScreenScene::build(int mode, bool entering, const std::vector<ZqPObject*>& replaced)
{
    m_gameOver = false;
    m_lifelessSteps = 0;
    resetParameters();
    m_restarts.applyStartBits(mode);
    m_sections.chooseStart();
    if (const std::shared_ptr<ZqModelComponentHealth> health = livesModel()) {
        if (entering || (mode & kStartScores) || health->currentLives <= 0)
            health->currentLives = health->lives();
    }
    if (!m_restarts.buildFromCheckpoint(replaced))
        m_sections.startBuild();
    if (mode & kStartStep)
        stepGameField();
}

void ZqPScreenScene::requestScreenJump(const std::string& key, bool pause, int startMode, int /*flag*/)
{
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    if (ZqPScreenUi* ui = navigator->currentUiScreen()) {
        // Pause mode 0 asks the field to pause, 1 to run.
        if (ui->actionState() != kActionWaiting)
            ui->queueLinkedScreenSwitch(key, navigator->sceneDestination(), startMode, pause ? 0 : 1, 0);
        return;
    }
    if (!navigator->switchToScreen(key, true, 0))
        return;
    // The container is built first: until then the navigator's field is this one. As the
    // overlay's switch does, mode 0 lets the new field start at its checkpoint.
    CCScene* container = navigator->sceneContainer();
    if (ZqPScreenScene* next = navigator->currentGameScene(); next && next != this && startMode != 0)
        next->restarts().request(startMode);
    presentContainer(container);
}
