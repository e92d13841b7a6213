#pragma once

// The player in-process, for tests of any suite: the program's own start-up (zqStartPlayer)
// and launch (ZqPAppDelegate) on a headless view with the fixed step and a seed, on a game directory,
// with the store in a directory of the test's. Frames are stepped by the test; keys, pad
// events and touches go into the program's own event handler and the view; the window
// messages that ZqServices posts are handled at the next step, as the program handles
// them at its next poll. It can be started again on the same store; stop() ends as the
// program ends (zqEndPlayer), which resets every process-wide object a run makes, and
// purges the director.
#include "attributes/ZqEditorKeys.h"
#include "app/ScoreRegistry.h"
#include "app/ZqPAppDelegate.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqServices.h"
#include "app/ZqSound.h"
#include "model/GameplayParameters.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqScreenWiring.h"
#include "screens/ZqScreensLayerReset.h"
#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"
#include "cocos2d.h"
#include "platform/CCEGLViewSDL.h"
#include "support/CCSharedObjects.h"

#include <SDL2/SDL.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class HeadlessPlayer {
public:
    struct Options {
        // Holds data/ (or data/data.pkg).
        std::string gameDirectory;
        // The store's data home (ZQ_DATA_HOME while the player runs).
        std::string storeDirectory;
        unsigned seed = 1;
        int width = 1136;
        int height = 640;
    };
    static constexpr float kStep = 1.0f / 60.0f;

    HeadlessPlayer() = default;
    HeadlessPlayer(const HeadlessPlayer&) = delete;
    HeadlessPlayer& operator=(const HeadlessPlayer&) = delete;
    ~HeadlessPlayer() { stop(); }

    // Start-up and launch as the program runs them; false with the program's message.
    bool start(const Options& options, std::string* error = nullptr)
    {
        stop();
        if (const char* home = std::getenv("ZQ_DATA_HOME"))
            m_previousDataHome = home;
        setenv("ZQ_DATA_HOME", options.storeDirectory.c_str(), 1);
        m_started = true;
        warnings.clear();
        m_app = std::make_unique<ZqPAppDelegate>();
        ZqPlayerPlatform platform;
        platform.executableDirectory = options.gameDirectory;
        platform.createView = [&options](const cocos2d::CCSize&, std::string& reason) {
            auto view = cocos2d::CCEGLViewSDL::createHeadless(options.width, options.height);
            if (!view)
                reason = "no headless view";
            return view;
        };
        platform.reportError = [this](const std::string& text) { errors.push_back(text); };
        platform.reportWarning = [this](const std::string& text) { warnings.push_back(text); };
        // Keys come through the handler (keyDown, keyUp), never the view's.
        platform.eventHook = [](const void* raw) {
            const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
            return event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
        };
        platform.poster = [this](int message, intptr_t parameter) {
            posted.emplace_back(message, parameter);
            m_pending.emplace_back(message, parameter);
        };
        platform.seed = options.seed;
        std::string message;
        m_view = zqStartPlayer(*m_app, platform, message);
        if (!m_view) {
            if (error)
                *error = message;
            return false;
        }
        m_app->applicationDidFinishLaunching();
        return true;
    }

    // Started as start() does, then stepped until the navigator shows the screen of key and
    // settles there for a few frames; false, with a message, when either did not happen
    // within maxFrames.
    bool startOn(const Options& options, const std::string& key, std::string* error = nullptr, int maxFrames = 600)
    {
        if (!start(options, error))
            return false;
        for (int i = 0; i < maxFrames && ZqPScreenNavigator::shared()->currentKey() != key; ++i)
            step();
        if (ZqPScreenNavigator::shared()->currentKey() != key) {
            if (error)
                *error = "the screen " + key + " did not show";
            return false;
        }
        step(5);
        return true;
    }

    // Frames of frameStep each: the messages posted since the last one handled, the view's
    // events, the director's frame. Stops early once the director ended.
    void step(int frames = 1)
    {
        for (int i = 0; i < frames && running(); ++i) {
            std::vector<std::pair<int, intptr_t>> messages;
            messages.swap(m_pending);
            for (const auto& [message, parameter] : messages)
                m_app->handleMessage(message, parameter);
            m_view->pollEvents();
            cocos2d::CCDirector::sharedDirector()->mainLoopWithDelta(frameStep);
            ++frame;
            if (afterStep)
                afterStep();
        }
    }
    // Steps until the game data is in (the loading screen's work, done here directly when
    // no screen drives it); false when it failed or took more than maxFrames.
    bool loadGame(int maxFrames = 10000)
    {
        for (int i = 0; i < maxFrames && !m_app->isLoaded() && !m_app->hasFailed(); ++i) {
            m_app->loadGame();
            step();
        }
        return m_app->isLoaded();
    }
    bool running() const { return m_view && m_view->isOpenGLReady(); }

    void keyDown(int key) { m_app->inputHandler().keyPressed(key); }
    void keyUp(int key) { m_app->inputHandler().keyReleased(key); }
    ZqInputEventSink& input() { return m_app->inputHandler(); }
    // A touch at window pixels from the top-left, through the view's mouse road.
    void touch(Uint32 type, int x, int y)
    {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_MOUSEMOTION) {
            event.motion.x = x;
            event.motion.y = y;
        } else {
            event.button.button = SDL_BUTTON_LEFT;
            event.button.x = x;
            event.button.y = y;
        }
        SDL_PushEvent(&event);
    }
    void windowEvent(Uint8 what)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        SDL_PushEvent(&event);
    }
    // The window resized, as the desktop would: the view learns of it at the next step.
    void resizeWindow(int width, int height)
    {
        SDL_SetWindowSize(static_cast<SDL_Window*>(m_view->getNativeWindow()), width, height);
    }

    ZqPAppDelegate& app() { return *m_app; }
    cocos2d::CCEGLViewSDL& view() { return *m_view; }

    // Ends as the program ends after its loop: the progress saved, then every process-wide
    // object of the run goes. The delegate's exit status.
    int stop()
    {
        if (!m_started)
            return 0;
        m_started = false;
        const int status = m_app->exitStatus();
        // A next start reads the scores and purchase flags from its store, and names no
        // scene's record current before its field does: none are left in memory.
        if (m_view)
            zqEndPlayer(*m_app);
        else
            zqResetScreensLayer();
        cocos2d::CCDirector::sharedDirector()->purgeDirector();
        m_view.reset();
        m_app.reset();
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
        cocos2d::CCFileUtils::sharedFileUtils()->setApplicationName("");
        if (m_previousDataHome)
            setenv("ZQ_DATA_HOME", m_previousDataHome->c_str(), 1);
        else
            unsetenv("ZQ_DATA_HOME");
        m_previousDataHome.reset();
        m_pending.clear();
        frame = 0;
        return status;
    }

    // What a test's runs leave beside the player: the audio engines, the store and the
    // texture caches.
    static void purgeMedia() { cocos2d::ccPurgeSharedObjects(); }

    // Every message ZqServices posted, in order.
    std::vector<std::pair<int, intptr_t>> posted;
    // Called after each frame, when set.
    std::function<void()> afterStep;
    // What the delegate reported as fatal.
    std::vector<std::string> errors;
    // What the start-up said while the game went on, in the last start.
    std::vector<std::string> warnings;
    unsigned frame = 0;
    // The time step of each frame, in seconds.
    float frameStep = kStep;

private:
    std::unique_ptr<ZqPAppDelegate> m_app;
    std::unique_ptr<cocos2d::CCEGLViewSDL> m_view;
    std::vector<std::pair<int, intptr_t>> m_pending;
    std::optional<std::string> m_previousDataHome;
    bool m_started = false;
};
