// The field's builds: restarts and the restore at a checkpoint.
#include "screens/field/ZqPScreenScene.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "app/ZqPurchaseRegistry.h"
#include "model/GameplayParameters.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/ZqPObject.h"
#include "screens/ZqPScreenUi.h"

#include <algorithm>

using namespace cocos2d;

namespace {

bool isCharacterModel(const std::shared_ptr<ZqModelObject>& model)
{
    return modelCast<ZqModelObjectAssetCharacter>(model) != nullptr;
}

} // namespace

void ZqPScreenScene::resetSessionScores()
{
    const std::shared_ptr<ZqModelComponentScore> score = m_sceneModel->firstChildOfClass<ZqModelComponentScore>();
    if (score)
        ScoreRegistry::reset(score->resetDistance(), score->resetPoints(), score->resetCoins(), false);
    else
        ScoreRegistry::reset(true, true, true, false);
}

void ZqPScreenScene::applyStartBits(int mode)
{
    if (mode & kStartPurchases)
        ZqPurchaseRegistry::resetPerGamePurchases();
    if (mode & kStartScores) {
        resetSessionScores();
        ZqPSettingsController::shared()->clearCheckpoint(m_sceneModel->key());
    }
}

void ZqPScreenScene::applyPendingRestart()
{
    if (!m_pendingRestart)
        return;
    const int mode = *m_pendingRestart;
    m_pendingRestart.reset();
    // Resumed first, so that the sounds and image actions paused for this field play again.
    m_requestedPause = false;
    applyRequestedPause();
    clearTeleports();
    m_queue.clear();
    // The characters stay alive until the new ones took their component states.
    std::vector<ZqPObject*> replaced;
    for (CCObject* child : *m_camera->getChildren()) {
        ZqPObject* object = dynamic_cast<ZqPObject*>(child);
        if (object && (object->objectType() & ZqPObject::kTypeCharacter)) {
            object->retain();
            replaced.push_back(object);
        }
    }
    releaseScenery();
    releaseObjects();
    ZqPInputController::shared()->removeAllCharacters();
    m_camera->setPosition(CCPointZero);
    m_fieldLayer->setPosition(CCPointZero);
    m_shakeTime = 0.0f;
    m_cameraDistance = 0.0f;
    m_unscoredAdvance = 0.0f;
    m_nextSectionDistance = 0.0f;
    m_sectionStalled = false;
    m_magnetActive = false;
    createBackgroundLayers();
    build(mode, false, replaced);
    for (ZqPObject* object : replaced)
        object->release();
}

void ZqPScreenScene::build(int mode, bool entering, const std::vector<ZqPObject*>& replaced)
{
    m_gameOver = false;
    m_lifelessSteps = 0;
    resetParameters();
    applyStartBits(mode);
    chooseStartSection();
    if (const std::shared_ptr<ZqModelComponentHealth> health = livesModel()) {
        if (entering || (mode & kStartScores) || health->currentLives <= 0)
            health->currentLives = health->lives();
    }
    if (!buildFromCheckpoint(replaced))
        startBuild();
    if (mode & kStartStep)
        stepGameField();
}

const ZqPSettingsController::Checkpoint* ZqPScreenScene::checkpoint() const
{
    return ZqPSettingsController::shared()->checkpoint(m_sceneModel->key());
}

std::shared_ptr<ZqModelLevelSection> ZqPScreenScene::sectionOfIndex(int index) const
{
    if (index == m_destination)
        return m_startSection;
    for (const std::shared_ptr<ZqModelLevelSection>& section : m_sceneModel->levelSections()) {
        if (index > 0 && section->id() == static_cast<unsigned>(index))
            return section;
    }
    return nullptr;
}

bool ZqPScreenScene::buildFromCheckpoint(const std::vector<ZqPObject*>& replaced)
{
    const ZqPSettingsController::Checkpoint* stored = checkpoint();
    if (!stored || stored->indexOnly || !m_startSection)
        return false;
    const ZqPSettingsController::Checkpoint kept = *stored;
    const std::shared_ptr<ZqModelLevelSection> section = sectionOfIndex(kept.index);
    if (!section)
        return false;
    makeSceneObjects();

    // The start section's characters play on from the checkpoint; its other objects would
    // lie behind the camera.
    auto replacedNext = replaced.begin();
    for (const std::shared_ptr<ZqModelObject>& model : m_startSection->objects()) {
        if (!isCharacterModel(model))
            continue;
        ZqPObject* character = makeObject(model, kept.position - model->position(0.0f, 0), m_destination, false);
        if (character && replacedNext != replaced.end())
            character->reapplyComponentStates(**replacedNext++);
    }
    const std::size_t queuedBefore = m_queue.size();
    const int index = section == m_startSection ? m_destination : static_cast<int>(section->id());
    const float width = addLevelSection(section, kept.sectionDistance, index);
    m_nextSectionDistance = kept.sectionDistance + std::max(width, 0.0f);
    // Level mode: the checkpoint's section is the start section, whose characters are made.
    if (section == m_startSection) {
        m_queue.erase(std::remove_if(m_queue.begin() + static_cast<std::ptrdiff_t>(queuedBefore), m_queue.end(),
                                     [](const QueuedObject& queued) { return isCharacterModel(queued.model); }),
                      m_queue.end());
    }

    if (kept.snapshot) {
        ScoreRecord& record = ScoreRegistry::current();
        record.distance.session = kept.snapshot->distance;
        record.points.session = kept.snapshot->points;
        record.coins.session = kept.snapshot->coins;
    }
    for (CCObject* child : *m_camera->getChildren()) {
        if (ZqPObject* object = dynamic_cast<ZqPObject*>(child))
            object->resetOnRestart();
    }
    if (ZqPScreenUi* ui = overlay())
        ui->resetUiObjects();

    // The view opens on the checkpoint; the way there scores nothing.
    const float cameraDistance = kept.distance - 0.5f * viewLength();
    if (cameraDistance > 0.0f) {
        const CCPoint shift = -GameplayParameters::shared()->gameplayDirection() * cameraDistance;
        m_cameraDistance = cameraDistance;
        m_camera->setPosition(shift);
        scrollBackgrounds(shift);
    }
    return true;
}
