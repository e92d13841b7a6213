#pragma once

#include "app/ZqPInputEventHandler.h"
#include "base/CCGeometry.h"
#include "director/CCApplication.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace cocos2d {
class CCEGLViewSDL;
class CCScene;
}

// The game's application: the program's start-up and end, the engine's hooks and the
// loading sequence. The program's main and the in-process test player run the same steps:
// startUp, the window (setView, applySavedFullscreen), run (which launches), finish.
//
// loadGame() runs one loading step per call, as the loading screen draws: while files
// remain it reads one; once every file is in it sets the game up (see loadGame) and runs
// the game-ready hook, once. Later calls do nothing, unless a restart was requested. A
// failed load runs the failure hook once. Nothing is thrown. Main thread only.
class ZqPAppDelegate : public cocos2d::CCApplication {
public:
    ZqPAppDelegate();
    ~ZqPAppDelegate() override;

    // Start-up before the window: the game data is looked for beside the executable
    // (executableDirectory; may be empty), then in the working directory, and made the
    // resource root; archive mode when "data/data.pkg" has a size above 0; the preload;
    // the store named after "Application Name" (fixed at the store's first use, so before
    // the settings controller); the settings controller with the saved progress. False,
    // with one message naming what is missing or bad, when the game cannot start.
    bool startUp(const std::string& executableDirectory, std::string& error);
    // The window's size: the design size scaled to fit 80 % of the display's usable area
    // (window units); the design size itself when that area is unknown (zero).
    cocos2d::CCSize windowSize(const cocos2d::CCSize& usableDisplay) const;
    // The smallest window the player allows: half the design size, where the smallest
    // buttons and texts are still targets and legible, but never more than opening (the
    // size the window opened at, which a small display keeps small).
    cocos2d::CCSize minimumWindowSize(const cocos2d::CCSize& opening) const;
    // The window's view, for the fullscreen switch; not owned, null for none.
    void setView(cocos2d::CCEGLViewSDL* view) { m_view = view; }
    void applySavedFullscreen();

    // Launch: the project generator seeded (setRandomSeed, else the clock), the design
    // resolution applied, the start screen's container run; the first scene's time to its
    // first drawn frame decides the settings controller's slow-device flag. A start scene
    // factory that gives no scene fails the game (exit status 1, said once).
    bool applicationDidFinishLaunching() override;
    // Focus lost or minimised: every held action let go, the progress saved, frames stop
    // advancing, the music and every live sound pause. The foreground undoes it.
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;

    // The design resolution of "Orientation", with the policy "Screen Adjustment" picks for
    // the frame's shape; run again after every resize and fullscreen switch.
    void applyDesignResolution();
    // A message posted to the window (ZqServices' poster), at the next event poll:
    // kMessageFullscreen saves the progress, switches the view (parameter 1 fullscreen,
    // 0 windowed) and re-picks the policy; kMessageClose ends the director.
    void handleMessage(int message, std::intptr_t parameter);
    // After the main loop: the progress saved (nothing earned since the last save is
    // lost), the model controller reset.
    void finish();
    // 0, or 1 once the game data failed to load.
    int exitStatus() const { return m_exitStatus; }

    void setRandomSeed(std::optional<unsigned> seed) { m_seed = seed; }
    // How a fatal error reaches the player (the program's message box); the log has it
    // either way.
    void setErrorReporter(std::function<void(const std::string&)> reporter) { m_errorReporter = std::move(reporter); }
    // The first scene, installed by the screens (screens/ZqScreenWiring.h); an empty scene
    // without one.
    void setStartScene(std::function<cocos2d::CCScene*()> factory) { m_startScene = std::move(factory); }
    // The event handler the device glue feeds.
    ZqPInputEventHandler& inputHandler() { return m_input; }
    // Launch's slow-device threshold, in seconds.
    static constexpr double kSlowFirstFrame = 0.4;

    // One step of the loading. When the restart flag is set, it is cleared and the model
    // controller reset first. A step reads one file (from the archive with the password
    // text in archive mode, else from the data directory); the step that ends the reading
    // clears the password text, closes the archive, logs "End loading XML" and sets the
    // game up: button intervals reset, each health model's current lives set from its
    // lives, a label made (and released) of every font, the saved progress read again,
    // services and advertising initialised, every atlas's plist added to the sprite-frame
    // cache, the sounds preloaded but those that a screen plays as "Music" (music
    // streams), then the game-ready hook.
    void loadGame();
    // The next loadGame starts the loading over.
    void requestRestart() { m_restartRequested = true; }

    bool isLoaded() const { return m_loaded; }
    bool hasFailed() const { return m_failed; }

    // Installed by the screens (the move past the start screen) and by the program (its
    // error message and exit status); the failure hook gets the controller's error text.
    void setGameReadyHook(std::function<void()> hook) { m_gameReady = std::move(hook); }
    void setFailureHook(std::function<void(const std::string& errorText)> hook) { m_failure = std::move(hook); }
    // The game cannot go on: said, exit status 1, the director ends.
    void fail(const std::string& message);

private:
    class FirstFrameTimer;

    void setUpGame();
    void firstFrameDrawn(double seconds);
    // What the program says when the data gives no start screen, naming the screens' start-up
    // files the loader looked for and did not find.
    static std::string noStartScreenMessage();

    std::string m_password;
    bool m_restartRequested = false;
    bool m_loaded = false;
    bool m_failed = false;
    std::function<void()> m_gameReady;
    std::function<void(const std::string&)> m_failure;

    cocos2d::CCEGLViewSDL* m_view = nullptr;
    ZqPInputEventHandler m_input;
    std::optional<unsigned> m_seed;
    std::function<void(const std::string&)> m_errorReporter;
    std::function<cocos2d::CCScene*()> m_startScene;
    FirstFrameTimer* m_firstFrameTimer = nullptr;
    bool m_pausedDirector = false;
    int m_exitStatus = 0;
};
