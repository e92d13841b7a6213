#include "screens/ZqScreenWiring.h"

#include "app/ZqPAppDelegate.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqServices.h"
#include "model/ZqGameQuestions.h"
#include "screens/buttons/ZqPButtonKeys.h"
#include "screens/buttons/ZqPObjectButton.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqPScreenUi.h"
#include "screens/ZqScreensLayerReset.h"

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
        ZqPObjectButton* button = field->overlay()->findButton(kButtonPause);
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
    const std::string unsaved = ZqPSettingsController::shared()->unsavedWarning();
    if (!unsaved.empty() && platform.reportWarning)
        platform.reportWarning(unsaved);
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
    zqResetScreensLayer();
}
