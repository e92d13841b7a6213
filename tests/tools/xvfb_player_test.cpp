// The real program on the sample game in an X session without a window manager (Xvfb),
// keys pressed through XTEST as a keyboard presses them: Return leaves the menu, Alt+Enter
// held for a second switches to fullscreen once (the window covers the screen) and back
// (the window shows the same picture as before), and the window holds its minimum size
// against another client's resize; also while a second X client listens to the window's
// keys.
#include "tools_test_support.h"
#include "player_runner.h"

#include "engine/platform/XvfbServer.h"
#include "support/x_test_keys.h"

#include <gtest/gtest.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

using namespace archive_test;
using namespace tools_test;

namespace {

struct WindowPicture {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels;
};

WindowPicture grab(Display* display, Window window)
{
    WindowPicture picture;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        return picture;
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image)
        return picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    }
    XDestroyImage(image);
    return picture;
}

// The share of pixels that differ by more than a little in some channel.
double differingShare(const WindowPicture& a, const WindowPicture& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.empty())
        return 1.0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            const int channelA = static_cast<int>((a.pixels[i] >> shift) & 0xFF);
            const int channelB = static_cast<int>((b.pixels[i] >> shift) & 0xFF);
            if (std::abs(channelA - channelB) > 24) {
                ++differing;
                break;
            }
        }
    }
    return static_cast<double>(differing) / static_cast<double>(a.pixels.size());
}

// The window's picture once it holds still (three grabs in a row alike) and shows more
// than one colour: drawn, and no longer changing however late a loaded machine draws it.
WindowPicture steadyPicture(Display* display, Window window)
{
    WindowPicture last = grab(display, window);
    int alike = 0;
    for (int round = 0; round < 300 && alike < 2; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        WindowPicture next = grab(display, window);
        const bool drawn = std::any_of(next.pixels.begin(), next.pixels.end(),
                                       [&next](unsigned long pixel) { return pixel != next.pixels.front(); });
        alike = drawn && differingShare(next, last) < 0.005 ? alike + 1 : 0;
        last = std::move(next);
    }
    return last;
}

// Whether the window comes to width x height, asked again and again while a loaded machine
// is slow to answer.
bool reachesSize(Display* display, Window window, int width, int height)
{
    for (int round = 0; round < 300; ++round) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) && attributes.width == width &&
            attributes.height == height)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

int count(const std::string& text, const std::string& part)
{
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

TEST(XvfbPlayer, KeysFromAKeyboardDriveTheMenuAndTheWindowMode)
{
    TempDir dir;
    ASSERT_EQ(std::system(("cd '" + dir.path().string() + "' && " + ZQ_EXPORT_PROGRAM + " game >/dev/null").c_str()), 0);
    for (const bool listened : {false, true}) {
        SCOPED_TRACE(listened ? "a second client listens" : "alone");
        XvfbServer xvfb("1280x1024x24");
        if (!xvfb.installed())
            GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(xvfb.available());
        XTestKeys keyboard(xvfb.display());
        if (!keyboard.available())
            GTEST_SKIP() << "no XTEST on the display";
        XTestKeys listener(xvfb.display());

        player_test::PlayerOptions options;
        options.directory = dir.file("game");
        options.display = xvfb.display();
        options.fixedStep = false;
        options.whileRunning = [&](pid_t child) {
            const auto wait = [&options](const std::string& text) {
                return player_test::waitForOutput(options, text, std::chrono::seconds(options.timeoutSeconds));
            };
            if (!wait("[ZqServices] Screen On Enter: Menu")) {
                ADD_FAILURE() << "no menu";
                kill(child, SIGKILL);
                return;
            }
            const std::vector<Window> windows = keyboard.shownWindows();
            ASSERT_EQ(windows.size(), 1u);
            keyboard.focus(windows[0]);
            if (listened)
                listener.listenToKeys(windows[0]);
            const WindowPicture windowed = steadyPicture(keyboard.display(), windows[0]);

            // Held past the server's auto-repeat: one switch.
            keyboard.chord({XK_Alt_L, XK_Return}, std::chrono::milliseconds(1000));
            EXPECT_TRUE(wait("[ZqPAppDelegate] fullscreen"));
            // No window manager answers: the window covers the screen by itself.
            EXPECT_TRUE(reachesSize(keyboard.display(), windows[0], 1280, 1024));
            const WindowPicture full = steadyPicture(keyboard.display(), windows[0]);
            EXPECT_EQ(full.width, 1280);
            EXPECT_GT(differingShare(full, WindowPicture{1280, 1024, std::vector<unsigned long>(1280 * 1024, 0)}), 0.6)
                << "the game drawn across the screen, bars above and below";

            keyboard.chord({XK_Alt_L, XK_Return});
            EXPECT_TRUE(wait("[ZqPAppDelegate] windowed"));
            EXPECT_LT(differingShare(steadyPicture(keyboard.display(), windows[0]), windowed), 0.02);

            // Shrunk by another client below the game's minimum (568 x 320), with no window
            // manager to hold it: the window grows back.
            XResizeWindow(keyboard.display(), windows[0], 300, 200);
            XSync(keyboard.display(), False);
            EXPECT_TRUE(reachesSize(keyboard.display(), windows[0], 568, 320));

            keyboard.chord({XK_Return});
            EXPECT_TRUE(wait("[ZqServices] Screen On Exit: Menu"));
            if (listened) {
                EXPECT_GT(listener.drainKeyEvents().first, 3) << "the second client saw the repeats";
            }
            kill(child, SIGTERM);
        };
        const player_test::PlayerRun run = player_test::runPlayer(ZQ_PLAYER_PROGRAM, options);
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(count(run.output, "[ZqPAppDelegate] fullscreen"), 1) << run.output;
        EXPECT_EQ(count(run.output, "[ZqPAppDelegate] windowed"), 1) << run.output;
        // The next screen came in: it says its banner on entering.
        const int left = run.lineWith("[ZqServices] Screen On Exit: Menu");
        EXPECT_GE(left, 0) << run.output;
        EXPECT_GT(run.lineWith("] banner:", left), left) << run.output;
    }
}

} // namespace
