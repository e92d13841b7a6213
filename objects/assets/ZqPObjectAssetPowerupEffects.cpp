// What a taken power-up does: its start, its rewards and its effect, and their end.
#include "objects/assets/ZqPObjectAssetPowerup.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "model/GameplayParameters.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelAssets.h"
#include "objects/ZqGameField.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/ZqPhysicsWorld.h"

#include <string>
#include <vector>

using namespace cocos2d;

namespace {

// The launch speed of a strike, metres a second.
constexpr float kStrikeSpeed = 30.0f;

void startReward(cocos2d::CCLabelBMFont* label, bool& running, int reward)
{
    if (!label)
        return;
    label->setString(std::to_string(reward).c_str());
    label->setVisible(true);
    running = true;
}

// The characters of the input controller; none once it is gone (a power-up that outlives
// it at the end of a run).
std::vector<ZqPObjectAssetCharacter*> characters()
{
    return ZqPInputController::existing() ? ZqPObjectAssetCharacter::registeredCharacters()
                                          : std::vector<ZqPObjectAssetCharacter*>();
}

// The field's world takes the live gravity (a gameplay power-up changes it).
void applyGravity(ZqGameField& field)
{
    if (ZqPhysicsWorld* world = field.world()) {
        const CCPoint& gravity = GameplayParameters::shared()->gravity();
        world->box2d().SetGravity(b2Vec2(gravity.x, gravity.y));
    }
}

} // namespace

void ZqPObjectAssetPowerup::activate()
{
    if (m_effectRunning)
        return;
    m_effectRunning = true;
    ZqGameField& field = zqCurrentField();
    const std::shared_ptr<ZqModelObjectAssetPowerup> model = powerupModel();
    if (m_start && (!m_characterConstrained || ZqPInputController::shared()->hasActiveCharacters())) {
        m_start->restart();
        if (!m_start->getParent())
            addChild(m_start, m_start->getZOrder());
        m_start->setVisible(true);
    }
    if (model->startSound())
        m_startSound = ZqSoundRegistry::shared().playOnce(model->startSound(), ZqSound::kTagField);
    const std::string& behaviour = model->animationBehaviour();
    if (m_idle && (m_characterConstrained || behaviour == "kReplaceBehaviour")) {
        m_idle->stop();
        m_idle->removeFromParent();
    }
    if (replacesCharacterAnimation())
        m_activator->addStateAnimation(1, m_start, nullptr);
    else if (behaviour == "kOverlayBehaviour" && m_characterConstrained && m_activator)
        m_activator->adoptObject(m_start);
    startReward(m_coinLabel.label, m_coinLabel.running, model->rewardCoins());
    startReward(m_pointsLabel.label, m_pointsLabel.running, model->rewardPoints());
    if (field.camera()) {
        field.flash(model->cameraFlash());
        field.shake(model->cameraShake());
    }
    ScoreRegistry::global().addReward(model->rewardCoins(), model->rewardPoints());
    if (field.camera())
        ScoreRegistry::current().addReward(model->rewardCoins(), model->rewardPoints());
    applyEffect(field);
}

void ZqPObjectAssetPowerup::applyEffect(ZqGameField& field)
{
    const std::string type = powerupType();
    const bool hasField = field.camera() != nullptr;
    if (type == "kPowerupMagnet") {
        field.setMagnetActive(true);
    } else if (type == "kPowerupStrike") {
        const bool landscape = ZqModelGeneralSettings::shared()->orientation() == 1;
        for (ZqPObjectAssetCharacter* character : characters()) {
            character->addActivePowerup(this);
            character->setBodyVelocity(landscape ? kStrikeSpeed : 0.0f, landscape ? 0.0f : kStrikeSpeed);
        }
    } else if (type == "kPowerupInvincibility") {
        for (ZqPObjectAssetCharacter* character : characters())
            character->addActivePowerup(this);
    } else if (type == "kPowerupKillAllEnemies") {
        field.killAllEnemies();
    } else if (type == "kPowerupCheckpoint") {
        field.saveCheckpoint(creationIndex(), referencePosition());
    } else if (type == "kPowerupRestartCheckpoint") {
        field.setPendingAction(kStartStep);
    } else if (type == "kPowerupNextCheckpoint") {
        m_nextCheckpointPending = hasField;
    } else if (type == "kPowerupGameplay") {
        if (const std::shared_ptr<ZqModelAssetPowerup> asset = powerupModel()->assetPowerup())
            asset->applyGameplayOverrides();
        applyGravity(field);
        if (m_activator) {
            m_activator->update(0.0f);
            m_activator->update(0.0f);
        }
    } else if (type == "kPowerupEndGame") {
        m_endGamePending = hasField;
    }
}

void ZqPObjectAssetPowerup::deactivate()
{
    if (!m_effectRunning)
        return;
    // Cleared first: the removal below comes back here from a state other than 4.
    m_effectRunning = false;
    const std::shared_ptr<ZqModelObjectAssetPowerup> model = powerupModel();
    ZqSoundRegistry::shared().playOnce(model->endSound(), ZqSound::kTagField);
    undoEffect(zqCurrentField());
    if (m_idle) {
        m_idle->stop();
        m_idle->removeFromParent();
    }
    if (m_start) {
        if (m_activator)
            undoStartPlacement();
        m_start->stop();
        m_start->removeFromParent();
    }
    if (!m_coinLabel.label)
        setState(kStateRemoved);
    if (!m_pointsLabel.label)
        setState(kStateRemoved);
}

void ZqPObjectAssetPowerup::undoEffect(ZqGameField& field)
{
    const std::string type = powerupType();
    if (type == "kPowerupMagnet") {
        field.setMagnetActive(false);
    } else if (type == "kPowerupStrike" || type == "kPowerupInvincibility") {
        for (ZqPObjectAssetCharacter* character : characters())
            character->removeActivePowerup(this);
    } else if (type == "kPowerupGameplay") {
        if (powerupModel()->assetPowerup()) {
            GameplayParameters::shared()->restoreCountdown();
            applyGravity(field);
        }
    }
}
