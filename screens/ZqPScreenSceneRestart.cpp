// The field's restarts.
#include "screens/ZqPScreenScene.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "app/ZqPurchaseRegistry.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelScreen.h"

using namespace cocos2d;

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
    if (mode & kRestartPurchases)
        ZqPurchaseRegistry::resetPerGamePurchases();
    if (mode & kRestartScores) {
        resetSessionScores();
        m_checkpointIndex = -1;
        m_checkpointPosition = CCPointZero;
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
    resetParameters();
    applyStartBits(mode);
    createBackgroundLayers();
    startBuild();
    if (mode & kRestartStep)
        stepGameField();
}
