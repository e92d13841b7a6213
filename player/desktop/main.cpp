#include "ZqInputDevices.h"
#include "ZqTestHooks.h"
#include "ZqWindowMessages.h"

#include "app/ZqPAppDelegate.h"
#include "app/ZqServices.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqScreenWiring.h"
#include "cocos2d.h"
#include "model/ZqModelGeneralSettings.h"
#include "platform/CCEGLViewSDL.h"

#include <SDL2/SDL.h>
#include <ZqLog.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string>

using namespace cocos2d;

namespace {

// Reads the OIS devices once a frame, from the scheduler.
class ZqInputCapture : public CCObject {
public:
    explicit ZqInputCapture(ZqInputDevices& devices) : m_devices(devices) {}
    void update(float) override { m_devices.capture(); }

private:
    ZqInputDevices& m_devices;
};

std::string executableDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string executable(path, static_cast<std::size_t>(length));
    return executable.substr(0, executable.rfind('/') + 1);
}

// The test hooks that act around frames: scripted input before a frame, screenshots and
// the end after it.
class FrameHooks {
public:
    FrameHooks(const ZqTestHooks& hooks, ZqInputScript& script, ZqInputEventSink& sink, CCEGLViewSDL& view)
        : m_hooks(hooks), m_script(script), m_sink(sink), m_view(view)
    {
    }
    // 2 once a screenshot could not be saved, else 0.
    int status() const { return m_status; }

    void before()
    {
        ZqWindowMessages::closeIfSignalled();
        m_script.play(m_frame + 1, m_sink, static_cast<SDL_Window*>(m_view.getNativeWindow()));
    }
    void after()
    {
        ++m_frame;
        for (const auto& [frame, path] : m_hooks.screenshots) {
            if (frame == m_frame && !m_view.saveScreenshotPNG(path.c_str())) {
                zqReportHookError("ZQ_SCREENSHOTS: frame " + std::to_string(frame) + " could not be saved to " + path);
                m_status = 2;
            }
        }
        // A run that missed a screenshot has failed: going on would only hide it.
        if (m_frame == m_hooks.exitFrame || m_status != 0)
            ZqWindowMessages::post(ZqServices::kMessageClose);
    }

private:
    const ZqTestHooks& m_hooks;
    ZqInputScript& m_script;
    ZqInputEventSink& m_sink;
    CCEGLViewSDL& m_view;
    unsigned m_frame = 0;
    int m_status = 0;
};

// A test hook is the test's mistake: one line, no box.
int hookError(const std::string& message)
{
    zqReportHookError(message);
    return 2;
}

} // namespace

// The program: the game's start-up (data, progress), the window with its devices and
// posted messages, the engine's loop, and the end. Its exit status is the game's: 0, or 1
// when the game data is missing or bad (said on standard error and in a message box),
// or 2 when a test hook is malformed or a screenshot could not be saved (said on standard
// error only). Progress that cannot be saved is said once at start in the same two
// places, and the game goes on.
int main()
{
    ZqWindowMessages::closeOnSignals();
    ZqTestHooks hooks;
    std::string error;
    if (!ZqTestHooks::fromEnvironment(hooks, error))
        return hookError(error);
    ZqPScreenScene::setDebugDrawEnabled(hooks.debugDraw);

    ZqPAppDelegate app;
    ZqInputDevices devices(app.inputHandler());
    SDL_Window* window = nullptr;
    ZqPlayerPlatform platform;
    platform.executableDirectory = executableDirectory();
    platform.createView = [&window](const CCSize& size, std::string& reason) {
        SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
        std::unique_ptr<CCEGLViewSDL> created = CCEGLViewSDL::create(
            ZqModelGeneralSettings::shared()->applicationName().c_str(), static_cast<int>(size.width),
            static_cast<int>(size.height));
        if (!created) {
            reason = std::string("The game's window cannot be opened: ") + SDL_GetError();
            return created;
        }
        window = static_cast<SDL_Window*>(created->getNativeWindow());
        debugLog("[zqplayer] window %dx%d", static_cast<int>(size.width), static_cast<int>(size.height));
        return created;
    };
    platform.reportError = [&window](const std::string& message) { zqReportFatalError(message, window, 1); };
    platform.reportWarning = [&window](const std::string& message) {
        zqReportWarning(ZqModelGeneralSettings::shared()->applicationName(), message, window);
    };
    platform.eventHook = [&app, &devices](const void* raw) {
        const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
        int message = 0;
        std::intptr_t parameter = 0;
        if (ZqWindowMessages::read(event, message, parameter)) {
            app.handleMessage(message, parameter);
            return true;
        }
        return devices.handleEvent(event);
    };
    platform.poster = [](int message, std::intptr_t parameter) { ZqWindowMessages::post(message, parameter); };
    platform.seed = hooks.seed;
    std::unique_ptr<CCEGLViewSDL> view = zqStartPlayer(app, platform, error);
    if (!view) {
        zqReportFatalError(error, nullptr, 1);
        return 1;
    }

    std::printf("Steam Started: false\n");
    std::fflush(stdout);
    devices.attach(window);
    view->setIconFromFile(CCFileUtils::sharedFileUtils()->fullPathForFilename("icon.ico").c_str());

    ZqInputScript script;
    if (!hooks.inputScript.empty() && !script.load(hooks.inputScript, error))
        return hookError(error);
    if (hooks.fixedStep)
        app.setFixedStep(1.0f / 60.0f);
    FrameHooks frameHooks(hooks, script, app.inputHandler(), *view);
    app.setFrameHooks([&frameHooks] { frameHooks.before(); }, [&frameHooks] { frameHooks.after(); });

    ZqInputCapture* capture = new ZqInputCapture(devices);
    CCDirector::sharedDirector()->getScheduler()->scheduleUpdateForTarget(capture, 0, false);
    app.run();

    // The loop's last frame tore the director down, unscheduling the capture.
    zqEndPlayer(app);
    capture->release();
    return app.exitStatus() != 0 ? app.exitStatus() : frameHooks.status();
}
