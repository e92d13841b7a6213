#include "screens/ZqScreenWiring.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPAppDelegate.h"
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqServices.h"
#include "app/ZqSound.h"
#include "model/GameplayParameters.h"
#include "model/ZqGameQuestions.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "objects/ZqPObjectManipulator.h"
#include "screens/ZqPButtonKeys.h"
#include "screens/ZqPObjectButton.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenScene.h"
#include "screens/ZqPScreenUi.h"
#include "screens/ZqScreenMusic.h"

#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"
#include "cocos2d.h"
#include "platform/CCEGLViewSDL.h"

namespace {

ZqGameField* navigatorField()
{
    return ZqPScreenNavigator::shared()->currentGameScene();
}

ZqGameField* directorField()
{
    return dynamic_cast<ZqPScreenScene*>(ZqPScreen::runningScreen());
}

} // namespace

void zqInstallScreenAnswers()
{
    zqInstallNavigationQuestions(ZqPScreenNavigator::shared());
    zqInstallFieldLookups(navigatorField, directorField);
}

void zqWireScreens(ZqPAppDelegate& app)
{
    zqInstallScreenAnswers();
    app.setStartScene([] { return ZqPScreenNavigator::shared()->sceneContainer(); });
    ZqPInputEventHandler::ScreenHooks hooks;
    hooks.buttonKey = [](int key, bool pressed) { return pressed ? ZqPButtonKeys::keyDown(key) : ZqPButtonKeys::keyUp(key); };
    hooks.pauseButton = [] {
        ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
        ZqPScreenScene* field = navigator->currentGameScene();
        if (!field || !field->overlay() || navigator->isScreenPushed())
            return false;
        ZqPObjectButton* button = field->overlay()->findButton("kPauseButton");
        if (!button)
            return false;
        button->activate();
        return true;
    };
    hooks.toggleFullscreen = [] {
        ZqPScreenUi* screen = ZqPScreenNavigator::shared()->currentUiScreen();
        if (!screen)
            return false;
        if (ZqPSettingsController::shared()->isFullscreen())
            screen->goWindowed();
        else
            screen->goFullscreen();
        return true;
    };
    app.inputHandler().setScreenHooks(std::move(hooks));
}

std::unique_ptr<cocos2d::CCEGLViewSDL> zqStartPlayer(ZqPAppDelegate& app, const ZqPlayerPlatform& platform,
                                                     std::string& error)
{
    zqWireScreens(app);
    if (!app.startUp(platform.executableDirectory, error))
        return nullptr;
    const cocos2d::CCSize opening = app.windowSize(cocos2d::CCEGLViewSDL::usableDisplaySize());
    std::unique_ptr<cocos2d::CCEGLViewSDL> view = platform.createView(opening, error);
    if (!view)
        return nullptr;
    const cocos2d::CCSize minimum = app.minimumWindowSize(opening);
    view->setMinimumWindowSize(static_cast<int>(minimum.width), static_cast<int>(minimum.height));
    cocos2d::CCDirector::sharedDirector()->setOpenGLView(view.get());
    app.setView(view.get());
    if (platform.reportError)
        app.setErrorReporter(platform.reportError);
    app.applySavedFullscreen();
    if (platform.eventHook)
        view->setEventHook(platform.eventHook);
    view->setFrameSizeChangedCallback([&app] { app.applyDesignResolution(); });
    ZqServices::shared()->setPoster(platform.poster);
    app.setRandomSeed(platform.seed);
    return view;
}

void zqEndPlayer(ZqPAppDelegate& app)
{
    app.finish();
    ZqPObjectAccelerometer::purge();
}

void zqResetProcessObjects()
{
    ZqScreenMusic::shared().reset();
    ZqSoundRegistry::shared().clear();
    cocos2d::experimental::AudioEngine::end();
    CocosDenshion::SimpleAudioEngine::end();
    ZqPScreenNavigator::shared()->reset();
    ZqPObjectAccelerometer::purge();
    ZqPInputController::purgeShared();
    ZqPSettingsController::purgeShared();
    cocos2d::CCUserDefault::purgeSharedUserDefault();
    GameplayParameters::shared()->resetToDefaults(ZqModelGeneralSettings::createDetached());
    ZqModelController::shared()->reset();
    ScoreRegistry::clear();
    ScoreRegistry::setCurrentKey(std::string());
    ZqPurchaseRegistry::reset();
    cocos2d::CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    cocos2d::CCTextureCache::purgeSharedTextureCache();
}
