#pragma once

#include "base/CCGeometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace cocos2d {
class CCEGLViewSDL;
}
class ZqPAppDelegate;

// The screens wire themselves into the layers below: the navigator answers the models'
// destination questions, the field lookups of objects/ZqGameField.h answer the navigator's
// and the director's fields. Safe to call again; test fixtures call it too.
void zqInstallScreenAnswers();

// The above, and what the application asks of the screens: the start screen's container
// as the first scene, the current UI screen's buttons taking keys first, and its
// window-mode switch for Alt+Enter.
void zqWireScreens(ZqPAppDelegate& app);

// What the program and the in-process test player do differently around the start-up.
struct ZqPlayerPlatform {
    // Where the game data is looked for first (then the working directory); may be empty.
    std::string executableDirectory;
    // The view for the window size the game asks; null when it cannot be made, with the
    // reason in error.
    std::function<std::unique_ptr<cocos2d::CCEGLViewSDL>(const cocos2d::CCSize& windowSize, std::string& error)>
        createView;
    // How a fatal error reaches the player once the view exists.
    std::function<void(const std::string&)> reportError;
    // How the player learns, once the view exists, what goes wrong while the game goes on.
    std::function<void(const std::string&)> reportWarning;
    // Sees each window event first; true consumes it.
    std::function<bool(const void* sdlEvent)> eventHook;
    // Posts ZqServices' window messages.
    std::function<void(int message, std::intptr_t parameter)> poster;
    std::optional<unsigned> seed;
};

// The program's start-up, the same for the program and the in-process player: the screens
// wired in, the game data found and preloaded with the saved progress (app.startUp), the
// view made and given to the director and the delegate, the error reporter, a warning
// when the progress cannot be saved (ZqPSettingsController::unsavedWarning), the saved
// fullscreen, the event hook, the design resolution re-applied on every resize, the
// poster and the seed. Launch is the caller's (ZqPAppDelegate::run in the program, one
// applicationDidFinishLaunching in the test player). Null with the message in error when
// the game cannot start: the data is missing or bad, or no view could be made.
std::unique_ptr<cocos2d::CCEGLViewSDL> zqStartPlayer(ZqPAppDelegate& app, const ZqPlayerPlatform& platform,
                                                     std::string& error);

// The end after the main loop, the same for both: the delegate's (progress saved), then
// every process-wide object of the run goes (zqResetScreensLayer). Needs the view's GL
// context still there.
void zqEndPlayer(ZqPAppDelegate& app);
