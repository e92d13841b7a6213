#include "screens/ZqPScreenUi.h"

#include "app/ScoreRegistry.h"
#include "app/ZqObjectModelHolder.h"
#include "app/ZqPAppDelegate.h"
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqServices.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/ZqStartMode.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqCharacterUnlock.h"
#include "screens/buttons/ZqPObjectButton.h"
#include "screens/ZqPObjectCharacterSelector.h"
#include "objects/ZqPObjectManipulator.h"
#include "objects/ZqPObjectText.h"
#include "objects/ZqSwitchStates.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqScreenMusic.h"

#include <ZqLog.h>
#include <ZqRandom.h>

using namespace cocos2d;

namespace {

// The game actions of the character buttons, begun on press and ended on release.
struct CharacterKey {
    ZqButtonAction action;
    ZqPInputController::Action gameAction;
};
constexpr CharacterKey kCharacterKeys[] = {
    {kButtonMoveUp, ZqPInputController::kUp},
    {kButtonMoveDown, ZqPInputController::kDown},
    {kButtonMoveRight, ZqPInputController::kRight},
    {kButtonMoveLeft, ZqPInputController::kLeft},
    {kButtonJump, ZqPInputController::kJump},
    {kButtonRotateLeft, ZqPInputController::kRotateLeft},
    {kButtonRotateRight, ZqPInputController::kRotateRight},
    {kButtonShoot, ZqPInputController::kShoot},
    {kButtonMotorClockwise, ZqPInputController::kMotorClockwise},
    {kButtonMotorCounterClockwise, ZqPInputController::kMotorCounterClockwise},
};

void controlPressed(ZqPObjectButton* button)
{
    ZqPInputController::shared()->actionBegin(ZqPInputController::kControlPressed, button);
}

void controlReleased(ZqPObjectButton* button)
{
    ZqPInputController::shared()->actionEnd(ZqPInputController::kControlReleased, button);
}

// The indices of the characters still locked that the player's coins pay for.
std::vector<int> affordableLocked(const std::vector<std::shared_ptr<ZqModelAssetCharacter>>& characters)
{
    const float coins = static_cast<float>(ScoreRegistry::global().coins.total);
    std::vector<int> found;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (!ZqPSettingsController::shared()->isCharacterUnlocked(static_cast<int>(i)) && coins >= characters[i]->price())
            found.push_back(static_cast<int>(i));
    }
    return found;
}

// The screen model of key: an interface node's screen, else any plain screen with that key.
std::shared_ptr<ZqModelScreen> screenModelForKey(const std::string& key)
{
    if (std::shared_ptr<ZqNodeUI> node = ZqPScreenNavigator::shared()->uiNodeForKey(key)) {
        if (std::shared_ptr<ZqModelScreen> screen = node->screen())
            return screen;
    }
    for (const std::shared_ptr<ZqModelScreen>& screen : ZqModelController::shared()->modelsOfClass<ZqModelScreen>()) {
        if (screen->key() == key)
            return screen;
    }
    return nullptr;
}

std::shared_ptr<ZqBaseModelObjectButton> buttonModelOf(CCObject* sender)
{
    return modelKindCast<ZqBaseModelObjectButton>(ZqObjectModelHolder::modelOf(dynamic_cast<CCNode*>(sender)));
}

} // namespace

ZqPScreenUi* ZqPScreenUi::create()
{
    std::shared_ptr<ZqModelScreen> model = screenModelForKey(ZqPScreenNavigator::shared()->currentKey());
    if (!model) {
        debugLog("[ZqPScreenUi] no screen has the key \"%s\"", ZqPScreenNavigator::shared()->currentKey().c_str());
        return nullptr;
    }
    ZqPScreenUi* screen = new ZqPScreenUi(std::move(model));
    if (!screen->init()) {
        delete screen;
        return nullptr;
    }
    screen->autorelease();
    return screen;
}

CCScene* ZqPScreenUi::createScene(bool loadingUi)
{
    ZqPScreenUi* screen = create();
    if (!screen)
        return nullptr;
    CCScene* scene = CCScene::create();
    screen->setLoadingUi(loadingUi);
    screen->setTag(0);
    scene->addChild(screen);
    return scene;
}

bool ZqPScreenUi::init()
{
    // No tilt acts while an interface screen shows.
    ZqPObjectAccelerometer::shared()->setModel(nullptr);
    // The base makes the UI layer, which the build fills; it schedules the update too.
    if (!ZqPScreen::init() || !buildUiFromModel(ZqPScreenNavigator::shared()->currentKey(), false))
        return false;
    bindCommands();
    bindButton(kButtonCustom, this, menu_selector(ZqPScreenUi::customPressed));

    // Input-action buttons press kControlPressed and release kControlReleased with themselves
    // as sender. They are bound twice, by the binding and by the walk that logs them;
    // binding sets the handlers, so once counts.
    ZqPInputController* input = ZqPInputController::shared();
    bindInput(kButtonInputAction, input, controlPressed, controlReleased);
    registerInputActionButtons();
    for (const CharacterKey& character : kCharacterKeys) {
        const int action = character.gameAction;
        bindInput(character.action, input,
                  [action](ZqPObjectButton*) { ZqPInputController::shared()->actionBegin(action, nullptr); },
                  [action](ZqPObjectButton*) { ZqPInputController::shared()->actionEnd(action, nullptr); });
    }

    bindWindowModeButtons();
    m_gameServicesButton = findButton(kButtonGameServices);
    if (screenModel()->key() != ZqPScreenNavigator::kStartScreenKey)
        playMusic();
    if (ZqPObjectButton* unlock = findButton(kButtonUnlockCharacter)) {
        unlock->setTarget(this, menu_selector(ZqPScreenUi::unlockRandomCharacter));
        refreshUnlockCharacterButton();
    }
    for (ZqPObjectButton* button : allButtons()) {
        if (button->model()->typeId() == ZqModelObjectButtonSoundControl::staticTypeId())
            button->setTarget(this, menu_selector(ZqPScreenUi::audioPressed));
    }
    input->setEnabled(true);
    return true;
}

void ZqPScreenUi::bindCommands()
{
    bindButton(kButtonBack, this, menu_selector(ZqPScreenUi::backPressed));
    bindButton(kButtonBackTo, this, menu_selector(ZqPScreenUi::backToPressed));
    bindButton(kButtonReset, this, menu_selector(ZqPScreenUi::resetPressed));
    bindButton(kButtonReview, this, menu_selector(ZqPScreenUi::reviewPressed));
    bindButton(kButtonShare, this, menu_selector(ZqPScreenUi::sharePressed));
    bindButton(kButtonExit, this, menu_selector(ZqPScreenUi::exitPressed));
    bindButton(kButtonPause, this, menu_selector(ZqPScreenUi::pausePressed));
    bindButton(kButtonRestart, this, menu_selector(ZqPScreenUi::restartPressed));
    bindButton(kButtonRestartCheckpoint, this, menu_selector(ZqPScreenUi::restartCheckpointPressed));
}

void ZqPScreenUi::registerInputActionButtons()
{
    for (ZqPObjectButton* button : allButtons()) {
        const std::shared_ptr<ZqBaseModelObjectButton>& model = button->model();
        if (!model || model->actionCode() != kButtonInputAction)
            continue;
        debugLog("---------- register button with ID: %d", static_cast<int>(model->id()));
        button->setInputHandlers(controlPressed, controlReleased);
    }
}

void ZqPScreenUi::bindWindowModeButtons()
{
    const bool fullscreen = ZqPSettingsController::shared()->isFullscreen();
    m_fullscreenButton = findButton(kButtonFullscreen);
    if (m_fullscreenButton) {
        m_fullscreenButton->setTarget(this, menu_selector(ZqPScreenUi::fullscreenPressed));
        m_fullscreenButton->setVisible(!fullscreen);
    }
    m_windowedButton = findButton(kButtonWindowed);
    if (m_windowedButton) {
        m_windowedButton->setTarget(this, menu_selector(ZqPScreenUi::windowedPressed));
        m_windowedButton->setVisible(fullscreen);
    }
}

void ZqPScreenUi::update(float dt)
{
    ZqPScreen::update(dt);
    if (m_gameServicesButton)
        m_gameServicesButton->setVisible(ZqServices::shared()->isAvailable());
}

void ZqPScreenUi::onEnter()
{
    // Every keypad delegate hears a key, so only the screen shown takes back.
    setKeypadEnabled(ZqPScreenNavigator::shared()->currentUiScreen() == this);
    ZqPScreen::onEnter();
    ZqServices::shared()->screenOnEnter(reportedName());
}

void ZqPScreenUi::onExit()
{
    CCLayer::onExit();
    ZqServices::shared()->screenOnExit(reportedName());
}

void ZqPScreenUi::draw()
{
    if (!m_loadingUi)
        return;
    if (++m_loadingDrawCount < 10)
        return;
    if (ZqPAppDelegate* application = dynamic_cast<ZqPAppDelegate*>(CCApplication::sharedApplication()))
        application->loadGame();
}

void ZqPScreenUi::setLoadingUi(bool on)
{
    if (on == m_loadingUi)
        return;
    m_loadingUi = on;
    if (!on)
        return;
    // The loading this screen drives ends in the move past it.
    if (ZqPAppDelegate* application = dynamic_cast<ZqPAppDelegate*>(CCApplication::sharedApplication()))
        application->setGameReadyHook([application] {
            // Loaded, yet nothing to show: the player would look at the loading screen for ever.
            std::string why;
            if (!ZqPScreenNavigator::shared()->showFirstScreenAfterLoading(why))
                application->fail("The game has no screen after its start screen: " + why);
        });
    if (CCSprite* splash = CCSprite::create("Default.png")) {
        CCDirector* director = CCDirector::sharedDirector();
        CCEGLViewProtocol* view = director->getOpenGLView();
        const float viewScaleX = view ? view->getScaleX() : 1.0f;
        debugLog("scale X: %f Y: %f", viewScaleX, view ? view->getScaleY() : 1.0f);
        const CCSize window = director->getWinSize();
        const CCPoint offset = director->contentOffset();
        splash->setPosition(CCPoint(window.width * 0.5f - offset.x, window.height * 0.5f - offset.y));
        // Cover the view's frame: the side that fits last decides the scale.
        const CCSize frame = view ? view->getFrameSize() : window;
        const CCSize size = splash->getContentSize();
        float scale = 1.0f;
        if (size.width > 0.0f && size.height > 0.0f && frame.height > 0.0f) {
            scale = size.width / size.height > frame.width / frame.height ? frame.width / size.width
                                                                           : frame.height / size.height;
        }
        splash->setScale(viewScaleX > 0.0f ? scale / viewScaleX : scale);
        addChild(splash);
    }
    if (ZqPObjectText* text = ZqPObjectText::create(ZqModelObjectLabel::create()))
        addChild(text);
}

void ZqPScreenUi::setButtonsEnabled(bool enabled)
{
    m_buttonsEnabled = enabled;
    ZqPInputController::shared()->setEnabled(enabled);
    for (ZqPObjectButton* button : allButtons())
        button->setEnabled(enabled);
}

void ZqPScreenUi::goFullscreen()
{
    setWindowMode(true);
}

void ZqPScreenUi::goWindowed()
{
    setWindowMode(false);
}

void ZqPScreenUi::setWindowMode(bool fullscreen)
{
    // A screen may have either button alone.
    if (m_fullscreenButton)
        m_fullscreenButton->setVisible(!fullscreen);
    if (m_windowedButton)
        m_windowedButton->setVisible(fullscreen);
    ZqPSettingsController::shared()->setFullscreen(fullscreen);
    ZqServices::shared()->setFullscreen(fullscreen);
}

std::string ZqPScreenUi::reportedName() const
{
    std::string name = "Unknown";
    const std::shared_ptr<ZqModelScreen>& model = screenModel();
    if (!model)
        return name;
    for (const std::shared_ptr<ZqNodeUI>& node : ZqModelController::shared()->modelsOfClass<ZqNodeUI>()) {
        const std::shared_ptr<ZqModelScreen> screen = node->screenModel();
        if (screen && screen->id() == model->id())
            name = node->name();
    }
    return name;
}

void ZqPScreenUi::keyBackClicked()
{
    debugLog("[ZqPScreenUi] keyBackClicked");
    backPressed(nullptr);
}

void ZqPScreenUi::requestReview()
{
    ZqServices::shared()->requestReview();
}

void ZqPScreenUi::backPressed(CCObject* /*sender*/)
{
    if (actionState() == kActionWaiting)
        return;
    queueAction([this] { backAction(); });
}

void ZqPScreenUi::backAction()
{
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    if (ZqPScreenScene* field = fieldUnder()) {
        field->closeOverlayAndResume(this);
        return;
    }
    if (navigator->back())
        presentContainer(navigator->sceneContainer());
}

void ZqPScreenUi::backToPressed(CCObject* sender)
{
    if (actionState() == kActionWaiting)
        return;
    std::shared_ptr<ZqBaseModelObjectButton> model = buttonModelOf(sender);
    queueAction([this, model] {
        if (!model)
            return;
        ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
        navigator->setSceneDestination(0);
        const int answer = navigator->backTo(model->backToWorld(), model->backToScreen(), 0);
        if (answer == 1) {
            presentContainer(navigator->sceneContainer());
        } else if (ZqPScreenScene* field = answer == 2 ? fieldUnder() : nullptr) {
            // Back to a finished game: it is built again (keeping the scores and the
            // checkpoint), not left with the HUD over a field without a character.
            if (field->isGameOver())
                field->restarts().request(kStartRebuild);
            field->rebuildOverlay();
        }
    });
}

void ZqPScreenUi::pausePressed(CCObject* sender)
{
    if (actionState() == kActionWaiting || !fieldUnder())
        return;
    queueAction([this, sender] {
        if (ZqPScreenScene* field = fieldUnder())
            field->pause(sender);
    });
}

void ZqPScreenUi::restartPressed(CCObject* /*sender*/)
{
    if (actionState() == kActionWaiting || !fieldUnder())
        return;
    queueAction([this] {
        ZqPScreenScene* field = fieldUnder();
        if (!field)
            return;
        if (!field->shouldShowBanner())
            hideAds();
        field->restarts().resetSessionScores();
        field->restarts().request(kStartFull);
        // A restart from a screen over the field plays on under the field's own overlay.
        ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
        if (navigator->isScreenPushed()) {
            while (navigator->back()) {
            }
            field->rebuildOverlay();
        }
    });
}

void ZqPScreenUi::restartCheckpointPressed(CCObject* sender)
{
    if (actionState() == kActionWaiting || !fieldUnder())
        return;
    queueAction([this, sender] {
        ZqPScreenScene* field = fieldUnder();
        if (!field)
            return;
        ZqSwitchStates::clear();
        if (!field->shouldShowBanner())
            hideAds();
        field->resetUiObjects();
        field->setGameOver(false);
        field->closeOverlayAndResume(sender);
    });
}

ZqPScreenScene* ZqPScreenUi::fieldUnder() const
{
    ZqPScreenScene* field = ZqPScreenNavigator::shared()->currentGameScene();
    return field && field->overlay() == this ? field : nullptr;
}

void ZqPScreenUi::resetPressed(CCObject* /*sender*/)
{
    if (actionState() == kActionWaiting)
        return;
    ZqServices::shared()->showAlert(ZqModelGeneralSettings::shared()->resetText(),
                                    [this](bool confirmed) { resetConfirmed(confirmed); });
}

void ZqPScreenUi::resetConfirmed(bool confirmed)
{
    if (!confirmed)
        return;
    ScoreRegistry::clear();
    ZqPSettingsController::shared()->clearCheckpoints();
    ZqPurchaseRegistry::reset();
    ZqPSettingsController::shared()->reset(true);
    ZqPSettingsController::shared()->save();
}

void ZqPScreenUi::reviewPressed(CCObject* /*sender*/)
{
    if (actionState() == kActionWaiting)
        return;
    queueAction([this] { requestReview(); });
}

void ZqPScreenUi::sharePressed(CCObject* /*sender*/)
{
    if (actionState() == kActionWaiting)
        return;
    queueAction([] { debugLog("Share Button Action"); });
}

void ZqPScreenUi::exitPressed(CCObject* /*sender*/)
{
    if (actionState() == kActionWaiting)
        return;
    queueAction([] { ZqServices::shared()->exitGame(); });
}

void ZqPScreenUi::customPressed(CCObject* sender)
{
    if (std::shared_ptr<ZqBaseModelObjectButton> model = buttonModelOf(sender))
        ZqAdCustom::shared()->logCustomButton(model->name());
}

void ZqPScreenUi::fullscreenPressed(CCObject* /*sender*/)
{
    goFullscreen();
}

void ZqPScreenUi::windowedPressed(CCObject* /*sender*/)
{
    goWindowed();
}

void ZqPScreenUi::audioPressed(CCObject* /*sender*/)
{
    // Both kinds of sound go together: the button has one state.
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    const bool mute = !(settings->isBackgroundSoundMuted() && settings->isEffectsSoundMuted());
    settings->setBackgroundSoundMuted(mute);
    settings->setEffectsSoundMuted(mute);
    settings->save();
    ZqScreenMusic::shared().applyMuteSetting();
}

int ZqPScreenUi::startModeFor(ZqStartFunction function)
{
    return zqStartOf(function).link;
}

void ZqPScreenUi::openLink(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    if (!model)
        return;
    const int destination = model->typeId() == ZqModelObjectLockButton::staticTypeId()
                                ? ZqPScreenNavigator::shared()->sceneDestination()
                                : 0;
    switchToLinkedScreen(model->name(), destination, startModeFor(zqStartFunctionOf(model->actionCode())), 2, 0);
}

void ZqPScreenUi::queueLinkedScreenSwitch(const std::string& name, int destination, int startMode, int pauseMode,
                                          int transition)
{
    if (actionState() == kActionWaiting)
        return;
    queueAction([this, name, destination, startMode, pauseMode, transition] {
        switchToLinkedScreen(name, destination, startMode, pauseMode, transition);
    });
}

void ZqPScreenUi::switchToLinkedScreen(const std::string& name, int destination, int startMode,
                                       int pauseMode, int transition)
{
    // Screens are pushed only over a running game field; over menus every link switches.
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    if (ZqPScreenScene* field = navigator->currentGameScene(); field && navigator->pushScreen(name, false)) {
        if (pauseMode != 2)
            field->setRequestedPause(pauseMode == 0);
        field->rebuildOverlay();
        return;
    }
    if (!navigator->switchToScreen(name, true, transition))
        return;
    CCScene* container = navigator->sceneContainer();
    if (!container)
        return;
    if (ZqPScreenScene* field = navigator->currentGameScene(); field && startMode != 0)
        field->restarts().request(startMode);
    navigator->setSceneDestination(destination);
    presentContainer(container);
}

void ZqPScreenUi::unlockRandomCharacter(CCObject* /*sender*/)
{
    const std::vector<std::shared_ptr<ZqModelAssetCharacter>> characters =
        ZqModelController::shared()->modelsOfClass<ZqModelAssetCharacter>();
    const std::vector<int> candidates = affordableLocked(characters);
    if (candidates.empty()) {
        ZqServices::shared()->showAlert(ZqModelGeneralSettings::shared()->notEnoughCurrencyText(), nullptr);
        return;
    }
    const int index = candidates[static_cast<std::size_t>(zqRand()) % candidates.size()];
    if (ZqPObjectCharacterSelector* selector = findCharacterSelector()) {
        selector->setCurrentIndex(index);
        selector->unlockCharacter(index);
    } else if (ScoreRegistry::payCoins(characters[static_cast<std::size_t>(index)]->price())) {
        zqGrantCharacter(index);
    }
    refreshUnlockCharacterButton();
}

ZqPObjectCharacterSelector* ZqPScreenUi::findCharacterSelector() const
{
    CCArray* children = uiLayer()->getChildren();
    for (unsigned i = 0; children && i < children->count(); ++i) {
        if (auto* selector = dynamic_cast<ZqPObjectCharacterSelector*>(children->objectAtIndex(i)))
            return selector;
    }
    return nullptr;
}

void ZqPScreenUi::refreshUnlockCharacterButton()
{
    if (ZqPObjectButton* button = findButton(kButtonUnlockCharacter))
        button->setVisible(!affordableLocked(ZqModelController::shared()->modelsOfClass<ZqModelAssetCharacter>()).empty());
}
