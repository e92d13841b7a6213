// OIS on a real X11 window (Xvfb): synthetic X key events reach the sink, before and after
// the input system is made again.
#include "ZqInputDevices.h"

#include "engine/platform/XvfbServer.h"
#include "player_test_support.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

constexpr const char* kChildVariable = "ZQ_XVFB_OIS_CHILD";
// The child's status when OIS cannot be made on this machine.
constexpr int kNoOis = 77;

// Sends a key press and release of the key symbol to the window, as another X client
// would (XSendEvent), from a connection of its own.
void sendKey(Window window, KeySym symbol)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XKeyEvent event{};
    event.display = display;
    event.window = window;
    event.root = DefaultRootWindow(display);
    event.subwindow = None;
    event.time = CurrentTime;
    event.same_screen = True;
    event.keycode = XKeysymToKeycode(display, symbol);
    event.type = KeyPress;
    XSendEvent(display, window, False, KeyPressMask, reinterpret_cast<XEvent*>(&event));
    event.type = KeyRelease;
    XSendEvent(display, window, False, KeyReleaseMask, reinterpret_cast<XEvent*>(&event));
    XFlush(display);
    XCloseDisplay(display);
}

// Captures until the sink has count entries, for at most two seconds.
void captureUntil(ZqInputDevices& devices, const RecordingSink& sink, std::size_t count)
{
    for (int i = 0; i < 200 && sink.log.size() < count; ++i) {
        devices.capture();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TEST(XvfbOis, DISABLED_ChildReadsKeysThroughOis)
{
    if (!std::getenv(kChildVariable))
        GTEST_SKIP() << "runs only as the child of XvfbOis.KeysReachTheSinkThroughOis";
    SdlSubsystems sdl(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    ASSERT_TRUE(sdl.ok()) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("Zq OIS Test", 0, 0, 64, 48, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    RecordingSink sink;
    ZqInputDevices devices(sink);
    devices.attach(window);
    if (!devices.usesOis())
        std::exit(kNoOis);
    const Window x11Window = std::stoul(ZqInputDevices::x11WindowId(window));
    // The first capture sends OIS's selection of key events to the server.
    devices.capture();

    sendKey(x11Window, XK_j);
    captureUntil(devices, sink, 2);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"key+ 74", "key- 74"}));

    // A pad came: the input system is made again, held actions let go first.
    SDL_Event added{};
    added.type = SDL_JOYDEVICEADDED;
    EXPECT_TRUE(devices.handleEvent(added));
    devices.capture();
    EXPECT_TRUE(devices.usesOis());
    sink.log.clear();
    sendKey(x11Window, XK_Return);
    captureUntil(devices, sink, 2);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"key+ 16777220", "key- 16777220"}));
    SDL_DestroyWindow(window);
}

TEST(XvfbOis, KeysReachTheSinkThroughOis)
{
    if (std::getenv(kChildVariable))
        GTEST_SKIP() << "child process";
    XvfbServer xvfb("320x240x24");
    if (!xvfb.installed())
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(xvfb.available());
    const pid_t child =
        spawnWithEnvironment({"/proc/self/exe", "--gtest_filter=XvfbOis.DISABLED_ChildReadsKeysThroughOis",
                              "--gtest_also_run_disabled_tests"},
                             {"DISPLAY=" + xvfb.display(), "SDL_VIDEODRIVER=x11", std::string(kChildVariable) + "=1"});
    const int status = waitForExit(child);
    if (status == kNoOis)
        GTEST_SKIP() << "OIS cannot be made on this machine";
    EXPECT_EQ(status, 0);
}

} // namespace
