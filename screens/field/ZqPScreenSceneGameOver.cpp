// The field's lives, game over and end screen.
#include "screens/field/ZqPScreenScene.h"

#include "ZqLog.h"
#include "app/ZqPInputController.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "screens/ZqPObjectEventObserver.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"
#include "screens/ZqScreenMusic.h"

#include <algorithm>

using namespace cocos2d;

namespace {

// The first "kGameOver" observer of screen; null when none.
ZqPObjectEventObserver* gameOverObserver(const ZqPScreenUi* screen)
{
    if (!screen)
        return nullptr;
    for (CCObject* object : *screen->uiObjects()) {
        auto* observer = dynamic_cast<ZqPObjectEventObserver*>(object);
        if (observer && observer->model() && observer->model()->eventType() == kObserveGameOver)
            return observer;
    }
    return nullptr;
}

} // namespace

std::shared_ptr<ZqModelComponentHealth> ZqPScreenScene::livesModel() const
{
    const int index = ZqPSettingsController::shared()->selectedCharacter();
    const std::vector<std::shared_ptr<ZqModelAssetCharacter>> characters =
        ZqModelController::shared()->modelsOfClass<ZqModelAssetCharacter>();
    std::shared_ptr<ZqModelAssetCharacter> asset;
    if (index >= 0 && static_cast<std::size_t>(index) < characters.size()) {
        asset = characters[static_cast<std::size_t>(index)];
    } else if (const std::shared_ptr<ZqModelLevelSection>& start = m_sections.startSection()) {
        // Past the list the character factory keeps the placed character's own asset.
        for (const std::shared_ptr<ZqModelObject>& object : start->objects()) {
            if (const auto placed = modelCast<ZqModelObjectAssetCharacter>(object)) {
                asset = placed->assetCharacter();
                break;
            }
        }
    }
    return asset ? asset->firstChildOfClass<ZqModelComponentHealth>() : nullptr;
}

void ZqPScreenScene::testGameOver()
{
    if (m_gameOver || ZqPInputController::shared()->hasActiveCharacters()) {
        m_lifelessSteps = 0;
        return;
    }
    ++m_lifelessSteps;
    // Whole steps: a wait of 1 s is 60 of them, whatever the rounding of 1/60.
    if (static_cast<float>(m_lifelessSteps) < selectedCharacterMaxValue() / kFrameStep - 0.5f)
        return;
    m_lifelessSteps = 0;
    setGameOver(true);
}

void ZqPScreenScene::setGameOver(bool over)
{
    if (!over) {
        m_gameOver = false;
        m_restarts.request(kStartStep);
        showAds();
        return;
    }
    if (m_gameOver)
        return;
    const std::shared_ptr<ZqModelComponentHealth> health = livesModel();
    if (health) {
        health->currentLives = std::max(health->currentLives - 1, 0);
        if (health->currentLives > 0) {
            debugLog("[ZqPScreenScene] lives left: %d", health->currentLives);
            m_restarts.request(kStartStep);
            return;
        }
    }
    debugLog("[ZqPScreenScene] game over");
    m_gameOver = true;
    // The game's best and coins reach the disk now: a run that dies before it exits keeps them.
    ZqPSettingsController::shared()->save();
    if (m_sceneModel->isStopBgmOnDeath())
        ZqScreenMusic::shared().reset();
    ZqPScreenUi* ui = overlay();
    if (ui)
        ui->setButtonsEnabled(false);
    // The observers see the flag at their next update and switch.
    if (!gameOverObserver(ui))
        goToEndScreen();
}

void ZqPScreenScene::goToEndScreen()
{
    ZqPScreenUi* ui = overlay();
    if (const ZqPObjectEventObserver* observer = gameOverObserver(ui)) {
        ui->queueLinkedScreenSwitch(observer->model()->name(), 0, observer->startMode(), observer->pauseMode(), 0);
        return;
    }
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    if (navigator->currentGameScene() != this)
        return;
    const std::string menu = navigator->screenBeforeField();
    if (!menu.empty() && navigator->backTo("", menu, 0) == 1)
        presentContainer(navigator->sceneContainer());
}
