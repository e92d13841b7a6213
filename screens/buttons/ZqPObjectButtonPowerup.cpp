#include "screens/buttons/ZqPObjectButtonPowerup.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPSettingsController.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelFont.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"

#include <cstdio>
#include <cstdlib>

using namespace cocos2d;

std::string ZqPObjectButtonPowerup::refillText(int seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds % 3600 / 60, seconds % 60);
    return text;
}

void ZqPObjectButtonPowerup::setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    ZqPObjectButton::setModel(model);
    m_powerupModel = modelKindCast<ZqBaseModelObjectButtonPowerup>(model);
    if (!m_powerupModel)
        return;
    const ZqBaseModelObjectButtonPowerup& button = *m_powerupModel;
    if (!button.unlimitedUse())
        m_countLabel = makeLabel(0.0f);
    m_powerup = ZqModelController::shared()->getModel<ZqModelAssetPowerup>(
        static_cast<unsigned>(std::atoi(button.action().c_str())));
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    if (m_powerup && m_countLabel)
        m_countLabel->setString(std::to_string(settings->inventoryCount(m_powerup)).c_str());
    if (button.refillTimeout() > 0.0f) {
        m_timerLabel = makeLabel(30.0f);
        if (m_powerup && static_cast<float>(settings->inventoryCount(m_powerup)) < button.maxRefill())
            startRefillTimer();
    }
    update(0.0f);
}

CCLabelBMFont* ZqPObjectButtonPowerup::makeLabel(float yOffset)
{
    // A game without a font shows no labels.
    const std::vector<std::shared_ptr<ZqModelFont>> fonts = ZqModelController::shared()->modelsOfClass<ZqModelFont>();
    CCLabelBMFont* label = fonts.empty() ? nullptr : fonts.front()->createLabel();
    if (!label)
        return nullptr;
    const ZqBaseModelObjectButtonPowerup& button = *m_powerupModel;
    label->setAnchorPoint(CCPoint(0.5f, 0.0f));
    label->setAlignment(kCCTextAlignmentCenter);
    label->setScale(button.labelScale());
    const CCSize size = getContentSize();
    label->setPosition(CCPoint(size.width * 0.5f + button.labelOffset().x,
                               button.labelOffset().y + yOffset + size.height * 0.5f - button.labelVerticalSpacing()));
    addChild(label);
    label->release();
    return label;
}

void ZqPObjectButtonPowerup::startRefillTimer()
{
    if (m_powerupModel && m_powerup && m_powerupModel->refillTimeout() > 0.0f) {
        ZqPSettingsController::shared()->startRefill(m_powerup->id(), static_cast<int>(m_powerupModel->refillTimeout()),
                                                     static_cast<int>(m_powerupModel->maxRefill()));
    }
}

void ZqPObjectButtonPowerup::activate()
{
    if (!m_powerupModel || !m_powerupModel->forceActionOnPress())
        ZqPObjectButton::activate();
}

void ZqPObjectButtonPowerup::selected()
{
    ZqPObjectButton::selected();
    if (m_powerupModel && m_powerupModel->forceActionOnPress())
        ZqPObjectButton::activate();
}

void ZqPObjectButtonPowerup::update(float dt)
{
    ZqPObjectButton::update(dt);
    if (m_powerupModel)
        refresh();
}

void ZqPObjectButtonPowerup::refresh()
{
    const ZqBaseModelObjectButtonPowerup& button = *m_powerupModel;
    const float threshold = button.visibilityThreshold();
    if (threshold > 0.0f && ZqPScreenNavigator::shared()->currentGameScene()) {
        const ScoreRecord& record = ScoreRegistry::current();
        if (threshold / 100.0f * record.distance.best > record.distance.session) {
            setVisible(false);
            return;
        }
    }
    setVisible(true);
    if (!m_powerup)
        return;
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    const int count = settings->inventoryCount(m_powerup);
    if (count <= 0 && !button.unlimitedUse()) {
        setEnabled(false);
    } else {
        // While the screen holds its buttons disabled the button stays as it is.
        const ZqPScreenUi* screen = ZqPScreenNavigator::shared()->currentUiScreen();
        if (!screen || screen->buttonsEnabled())
            setEnabled(true);
    }
    if (m_countLabel)
        m_countLabel->setString(std::to_string(count).c_str());
    if (m_timerLabel) {
        const bool refilling = static_cast<float>(count) < button.maxRefill();
        if (refilling)
            m_timerLabel->setString(refillText(settings->refillRemainingSeconds(m_powerup->id())).c_str());
        m_timerLabel->setVisible(refilling);
    }
}
