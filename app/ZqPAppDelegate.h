#pragma once

#include "director/CCApplication.h"

#include <functional>
#include <string>

// The game's application: the engine's hooks and the loading sequence.
//
// loadGame() runs one loading step per call, as the loading screen draws: while files
// remain it reads one; once every file is in it sets the game up (see loadGame) and runs
// the game-ready hook, once. Later calls do nothing, unless a restart was requested. A
// failed load runs the failure hook once. Nothing is thrown. Main thread only.
class ZqPAppDelegate : public cocos2d::CCApplication {
public:
    ZqPAppDelegate();
    ~ZqPAppDelegate() override;

    bool applicationDidFinishLaunching() override;
    // Saves the progress.
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;

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

private:
    void setUpGame();

    std::string m_password;
    bool m_restartRequested = false;
    bool m_loaded = false;
    bool m_failed = false;
    std::function<void()> m_gameReady;
    std::function<void(const std::string&)> m_failure;
};
