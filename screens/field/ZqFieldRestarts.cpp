#include "screens/field/ZqFieldRestarts.h"

#include "screens/field/ZqPScreenScene.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "app/ZqPurchaseRegistry.h"
#include "model/GameplayParameters.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/assets/ZqPObjectAssetPowerup.h"
#include "screens/ZqPScreenUi.h"

#include <limits>
#include <utility>

using namespace cocos2d;

void ZqFieldRestarts::resetSessionScores()
{
    const std::shared_ptr<ZqModelComponentScore> score
        = m_field.sceneModel()->firstChildOfClass<ZqModelComponentScore>();
    if (score)
        ScoreRegistry::reset(score->resetDistance(), score->resetPoints(), score->resetCoins(), false);
    else
        ScoreRegistry::reset(true, true, true, false);
}

std::optional<int> ZqFieldRestarts::takePending()
{
    std::optional<int> mode;
    mode.swap(m_pending);
    return mode;
}

void ZqFieldRestarts::applyStartBits(int mode)
{
    if (mode & kStartPurchases)
        ZqPurchaseRegistry::resetPerGamePurchases();
    if (mode & kStartScores) {
        resetSessionScores();
        ZqPSettingsController::shared()->clearCheckpoint(m_field.sceneModel()->key());
    }
}

const ZqPSettingsController::Checkpoint* ZqFieldRestarts::checkpoint() const
{
    return ZqPSettingsController::shared()->checkpoint(m_field.sceneModel()->key());
}

bool ZqFieldRestarts::buildFromCheckpoint(const std::vector<ZqPObject*>& replaced)
{
    ZqFieldSections& sections = m_field.sections();
    const ZqPSettingsController::Checkpoint* stored = checkpoint();
    if (!stored || stored->indexOnly || !sections.startSection())
        return false;
    const ZqPSettingsController::Checkpoint kept = *stored;
    const std::shared_ptr<ZqModelLevelSection> section = sections.sectionOfIndex(kept.index);
    if (!section)
        return false;
    sections.buildAt(section, kept.sectionDistance, kept.position, replaced);

    if (kept.snapshot) {
        ScoreRecord& record = ScoreRegistry::current();
        record.distance.session = kept.snapshot->distance;
        record.points.session = kept.snapshot->points;
        record.coins.session = kept.snapshot->coins;
    }
    for (CCObject* child : *m_field.camera()->getChildren()) {
        if (ZqPObject* object = dynamic_cast<ZqPObject*>(child))
            object->resetOnRestart();
    }
    if (ZqPScreenUi* ui = m_field.overlay())
        ui->resetUiObjects();
    m_field.openViewAt(kept.distance);
    return true;
}

void ZqFieldRestarts::saveCheckpoint(int index, const CCPoint& position)
{
    ZqPSettingsController::Checkpoint checkpoint;
    checkpoint.index = index;
    checkpoint.distance = position.dot(GameplayParameters::shared()->gameplayDirection());
    checkpoint.sectionDistance = m_field.sections().placementOf(index, checkpoint.distance);
    checkpoint.position = position;
    ScoreRecord& record = ScoreRegistry::current();
    record.distance.keepSession();
    record.points.keepSession();
    record.coins.keepSession();
    checkpoint.snapshot = ZqPSettingsController::Checkpoint::Snapshot{record.distance.session, record.points.session,
                                                                       record.coins.session};
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->setCheckpoint(m_field.sceneModel()->key(), checkpoint);
    // Rare, and a window closed before the next save would lose it.
    settings->save();
}

void ZqFieldRestarts::activateCheckpoint()
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
    for (ZqPObjectAssetPowerup* powerup : m_field.powerups().ofType(kPowerupCheckpoint))
        consider(powerup->creationIndex(), powerup->referencePosition());
    for (const ZqFieldSections::Queued& queued : m_field.sections().queued()) {
        const auto powerup = modelCast<ZqModelObjectAssetPowerup>(queued.model);
        const std::shared_ptr<ZqModelAssetPowerup> asset = powerup ? powerup->assetPowerup() : nullptr;
        if (asset && asset->powerupType() == kPowerupCheckpoint)
            consider(queued.creationIndex, queued.model->position(0.0f, 0) + queued.offset);
    }
    if (nearest)
        saveCheckpoint(nearest->first, nearest->second);
}
