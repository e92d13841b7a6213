// The devices on a real X11 window (Xvfb), keys pressed through XTEST as a keyboard
// presses them: SDL's key events reach the sink, a held key once, while OIS keeps the
// joysticks on the same window and is made again when one comes; also while a second
// X client listens to the window's keys.
#include "ZqInputDevices.h"

#include "engine/platform/XvfbServer.h"
#include "player_test_support.h"
#include "support/x_test_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {

constexpr const char* kChildVariable = "ZQ_XVFB_INPUT_CHILD";
// The child's status when OIS or XTEST is missing on this machine.
constexpr int kNotHere = 77;

// Hands SDL's events to the devices and captures OIS until done() holds, or for at most
// 4,000 rounds (20 s and more) when it never does; adds the key repeats SDL saw to repeats.
bool pumpUntil(ZqInputDevices& devices, const std::function<bool()>& done, int& repeats)
{
    for (int round = 0; round < 4000 && !done(); ++round) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            repeats += event.type == SDL_KEYDOWN && event.key.repeat != 0;
            devices.handleEvent(event);
        }
        devices.capture();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST(XvfbInput, DISABLED_ChildReadsKeysFromSdl)
{
    const char* mode = std::getenv(kChildVariable);
    if (!mode)
        GTEST_SKIP() << "runs only as the child of XvfbInput.KeysComeFromSdlOnceEachWhileOisKeepsThePads";
    SdlSubsystems sdl(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    ASSERT_TRUE(sdl.ok()) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("Zq Input Test", 0, 0, 64, 48, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    RecordingSink sink;
    ZqInputDevices devices(sink);
    devices.attach(window);
    XTestKeys keyboard(std::getenv("DISPLAY"));
    if (!devices.usesOis() || !keyboard.available())
        std::exit(kNotHere);
    const Window x11Window = std::stoul(ZqInputDevices::x11WindowId(window));
    XTestKeys listener(std::getenv("DISPLAY"));
    if (std::string(mode) == "listened")
        listener.listenToKeys(x11Window);
    keyboard.focus(x11Window);
    int repeats = 0;
    const auto logged = [&sink](const std::string& line) {
        return [&sink, line] { return std::find(sink.log.begin(), sink.log.end(), line) != sink.log.end(); };
    };
    // The focus has come once a key reaches the sink.
    keyboard.chord({XK_a});
    ASSERT_TRUE(pumpUntil(devices, logged("key- 65"), repeats));
    sink.log.clear();
    listener.drainKeyEvents();

    // Held past the server's auto-repeat delay (until SDL has seen it repeat): one press,
    // one release.
    keyboard.press(XK_j);
    repeats = 0;
    EXPECT_TRUE(pumpUntil(devices, [&repeats] { return repeats > 0; }, repeats))
        << "the server did not repeat the held key";
    keyboard.release(XK_j);
    EXPECT_TRUE(pumpUntil(devices, logged("key- 74"), repeats));
    EXPECT_EQ(sink.log, (std::vector<std::string>{"key+ 74", "key- 74"}));
    if (std::string(mode) == "listened") {
        // The second client got the held key in its repeated form.
        const auto [presses, releases] = listener.drainKeyEvents();
        EXPECT_GT(presses, 1);
        EXPECT_GT(releases, 1);
    }

    // A pad came: OIS is made again, held actions let go first; keys still come.
    SDL_Event added{};
    added.type = SDL_JOYDEVICEADDED;
    EXPECT_TRUE(devices.handleEvent(added));
    devices.capture();
    EXPECT_TRUE(devices.usesOis());
    sink.log.clear();
    keyboard.chord({XK_Return});
    EXPECT_TRUE(pumpUntil(devices, logged("key- 16777220"), repeats));
    EXPECT_EQ(sink.log, (std::vector<std::string>{"key+ 16777220", "key- 16777220"}));
    SDL_DestroyWindow(window);
}

TEST(XvfbInput, KeysComeFromSdlOnceEachWhileOisKeepsThePads)
{
    if (std::getenv(kChildVariable))
        GTEST_SKIP() << "child process";
    for (const char* mode : {"alone", "listened"}) {
        SCOPED_TRACE(mode);
        XvfbServer xvfb("320x240x24");
        if (!xvfb.installed())
            GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(xvfb.available());
        const pid_t child =
            spawnWithEnvironment({"/proc/self/exe", "--gtest_filter=XvfbInput.DISABLED_ChildReadsKeysFromSdl",
                                  "--gtest_also_run_disabled_tests"},
                                 {"DISPLAY=" + xvfb.display(), "SDL_VIDEODRIVER=x11",
                                  std::string(kChildVariable) + "=" + mode});
        const int status = waitForExit(child);
        if (status == kNotHere)
            GTEST_SKIP() << "OIS or XTEST is not available on this machine";
        EXPECT_EQ(status, 0);
    }
}

} // namespace
