// The field's power-up operations: lookups, checkpoints, the magnet, killing every enemy,
// and granted power-ups.
#include "screens/field/ZqPScreenScene.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "model/GameplayParameters.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/assets/ZqPObjectAssetPowerup.h"
#include "objects/assets/ZqPObjectAssetUnit.h"
#include "objects/ZqPhysicsBody.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

using namespace cocos2d;

namespace {

// The magnet reaches coins this near the characters' centre (points) and pulls each a
// tenth of its distance a step, at least kMagnetMinStep points.
constexpr float kMagnetReach = 400.0f;
constexpr float kMagnetShare = 0.1f;
constexpr float kMagnetMinStep = 4.0f;

constexpr const char* kCheckpointType = "kPowerupCheckpoint";

template <class Visit> void forEachPowerup(CCNode* camera, Visit visit)
{
    for (CCObject* child : *camera->getChildren()) {
        if (ZqPObjectAssetPowerup* powerup = dynamic_cast<ZqPObjectAssetPowerup*>(child))
            visit(powerup);
    }
}

// The first character not dying or removed; null when none.
ZqPObjectAsset* firstLiveCharacter()
{
    for (ZqInputCharacter* character : ZqPInputController::shared()->characterList()) {
        if (character->state() < ZqPObject::kStateDestroyed)
            return dynamic_cast<ZqPObjectAsset*>(character->node());
    }
    return nullptr;
}

} // namespace

ZqPObjectAssetPowerup* ZqPScreenScene::findPowerupByName(const std::string& type, const ZqPObject* excluded) const
{
    ZqPObjectAssetPowerup* found = nullptr;
    forEachPowerup(m_camera, [&](ZqPObjectAssetPowerup* powerup) {
        if (!found && powerup != excluded && powerup->state() == 1 && powerup->powerupType() == type)
            found = powerup;
    });
    return found;
}

void ZqPScreenScene::saveCheckpoint(int index, const CCPoint& position)
{
    ZqPSettingsController::Checkpoint checkpoint;
    checkpoint.index = index;
    checkpoint.distance = position.dot(GameplayParameters::shared()->gameplayDirection());
    // The section model keeps only its latest placement, which may lie ahead of this one.
    std::optional<float> before, after;
    for (const auto& [placedIndex, distance] : m_placements) {
        if (placedIndex != index)
            continue;
        if (distance <= checkpoint.distance)
            before = std::max(before.value_or(distance), distance);
        else
            after = std::min(after.value_or(distance), distance);
    }
    checkpoint.sectionDistance = before ? *before : after.value_or(0.0f);
    checkpoint.position = position;
    ScoreRecord& record = ScoreRegistry::current();
    record.distance.keepSession();
    record.points.keepSession();
    record.coins.keepSession();
    checkpoint.snapshot = ZqPSettingsController::Checkpoint::Snapshot{record.distance.session, record.points.session,
                                                                       record.coins.session};
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->setCheckpoint(m_sceneModel->key(), checkpoint);
    // Rare, and a window closed before the next save would lose it.
    settings->save();
}

void ZqPScreenScene::activateCheckpoint()
{
    // Ahead of the characters along the gameplay direction: the nearest, made or queued.
    const CCPoint direction = GameplayParameters::shared()->gameplayDirection();
    const CCPoint centre = ZqPInputController::shared()->charactersCenter();
    std::optional<std::pair<int, CCPoint>> nearest;
    float nearestDistance = std::numeric_limits<float>::max();
    auto consider = [&](int index, const CCPoint& position) {
        const float distance = (position - centre).dot(direction);
        if (distance > 0.0f && distance < nearestDistance) {
            nearest.emplace(index, position);
            nearestDistance = distance;
        }
    };
    forEachPowerup(m_camera, [&](ZqPObjectAssetPowerup* powerup) {
        if (powerup->powerupType() == kCheckpointType)
            consider(powerup->creationIndex(), powerup->referencePosition());
    });
    for (const QueuedObject& queued : m_queue) {
        const auto powerup = modelCast<ZqModelObjectAssetPowerup>(queued.model);
        const std::shared_ptr<ZqModelAssetPowerup> asset = powerup ? powerup->assetPowerup() : nullptr;
        if (asset && asset->powerupType() == kCheckpointType)
            consider(queued.creationIndex, queued.model->position(0.0f, 0) + queued.offset);
    }
    if (nearest)
        saveCheckpoint(nearest->first, nearest->second);
}

void ZqPScreenScene::killAllEnemies()
{
    // Dying enemies may take others with them: the walk goes over a copy.
    CCArray* children = CCArray::createWithArray(m_camera->getChildren());
    for (CCObject* child : *children) {
        ZqPObjectAsset* object = dynamic_cast<ZqPObjectAsset*>(child);
        if (object && object->objectKind() == ZqPObjectAssetUnit::kKindEnemy && object->isVisible()
            && object->state() < ZqPObject::kStateDestroyed)
            object->setState(ZqPObject::kStateDestroyed);
    }
}

void ZqPScreenScene::pullCoins()
{
    if (!m_magnetActive)
        return;
    const CCPoint centre = ZqPInputController::shared()->charactersCenter();
    forEachPowerup(m_camera, [&](ZqPObjectAssetPowerup* powerup) {
        if (powerup->state() != ZqPObject::kStateNormal || powerup->powerupType() != "kPowerupCoin")
            return;
        const CCPoint offset = centre - powerup->getPosition();
        const float distance = offset.getLength();
        if (distance > kMagnetReach || distance <= 0.0f)
            return;
        const float step = std::min(distance, std::max(distance * kMagnetShare, kMagnetMinStep));
        const CCPoint position = powerup->getPosition() + offset * (step / distance);
        powerup->setPosition(position);
        if (b2Body* body = powerup->getBody())
            body->SetTransform(b2Vec2(position.x * zqphysics::kMetresPerPoint, position.y * zqphysics::kMetresPerPoint),
                               body->GetAngle());
    });
}

void ZqPScreenScene::grantPowerup(const std::shared_ptr<ZqModelAssetPowerup>& powerup, bool above)
{
    if (!powerup || !m_camera)
        return;
    // Built directly, not by the factory: a paid power-up must not fail its appearance chance.
    const std::shared_ptr<ZqModelObjectAssetPowerup> placed = ZqModelObjectAssetPowerup::create();
    placed->setAsset(powerup);
    ZqPObjectAssetPowerup* object = new ZqPObjectAssetPowerup(placed);
    object->autorelease();
    int zOrder = placed->zDepth();
    if (ZqPObjectAsset* character = firstLiveCharacter()) {
        object->setPosition(character->getPosition());
        zOrder = character->getZOrder() + (above ? 1 : -1);
    } else {
        CCDirector* director = CCDirector::sharedDirector();
        const CCSize window = director->getWinSize();
        object->setPosition(CCPoint(window.width * 0.5f, window.height * 0.5f) - director->contentOffset()
                            - m_camera->getPosition());
    }
    m_camera->addChild(object, zOrder);
    object->setReferenceNode(m_camera);
    object->createBody(m_world.get(), false);
    object->setState(1);
}
