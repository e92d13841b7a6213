#include "cocos2d.h"
#include "engine/platform/WindowPlace.h"
#include "engine/platform/XvfbServer.h"
#include "platform/CCEGLViewSDL.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>

using namespace cocos2d;

namespace {

constexpr const char* kChildVariable = "ZQ_XVFB_WINDOW_SHOT";

class Scenery : public CCNode {
public:
    void draw() override
    {
        ccDrawSolidRect(CCPoint(0, 0), CCPoint(160, 30), ccc4f(0.2f, 0.6f, 0.2f, 1));
        ccDrawSolidRect(CCPoint(60, 40), CCPoint(100, 80), ccc4f(0.9f, 0.1f, 0.1f, 1));
        ccDrawColor4F(1, 1, 0, 1);
        ccDrawCircle(CCPoint(130, 95), 12, 0, 24, false);
    }
};

std::string afterFullscreenShot(const std::string& shot)
{
    return shot + ".back.png";
}

std::string duringFullscreenShot(const std::string& shot)
{
    return shot + ".full.png";
}

// Frames until the window system has answered a window change: at least the given
// number, then until placed() holds (a loaded server answers late), at most 1,000.
void settle(CCEGLViewSDL& view, int frames, const std::function<bool()>& placed = [] { return true; })
{
    for (int i = 0; i < 1000 && (i < frames || !placed()); ++i) {
        view.pollEvents();
        CCDirector::sharedDirector()->mainLoopWithDelta(1.0f / 60.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool placedAt(SDL_Window* window, int x, int y)
{
    int actualX = 0;
    int actualY = 0;
    SDL_GetWindowPosition(window, &actualX, &actualY);
    return actualX == x && actualY == y;
}

// Runs in the child process the test below starts on the Xvfb display: a real window,
// one frame, a screenshot; then desktop fullscreen and back, and a screenshot again.
TEST(XvfbWindowTest, DISABLED_ChildDrawsOneFrame)
{
    const char* shot = std::getenv(kChildVariable);
    if (!shot)
        GTEST_SKIP() << "runs only as the child of XvfbWindowTest.WindowShowsAFrame";
    std::unique_ptr<CCEGLViewSDL> view = CCEGLViewSDL::create("Zq Window Test", 160, 120);
    ASSERT_TRUE(view);
    ASSERT_FALSE(view->isHeadless());
    view->setDesignResolutionSize(160, 120, kResolutionShowAll);
    CCDirector* director = CCDirector::sharedDirector();
    director->setOpenGLView(view.get());
    CCScene* scene = CCScene::create();
    Scenery* scenery = new Scenery();
    scenery->autorelease();
    scene->addChild(scenery);
    director->runWithScene(scene);
    SDL_Window* window = static_cast<SDL_Window*>(view->getNativeWindow());
    SDL_SetWindowPosition(window, 20, 30);
    settle(*view, 3, [window] { return placedAt(window, 20, 30); });
    EXPECT_TRUE(view->saveScreenshotPNG(shot));

    // No window manager answers SDL's request: the window covers the 320x240 screen
    // itself, and the view draws the scene twice as large.
    view->setFullscreen(true);
    settle(*view, 10, [&view] { return view->getFrameSize().width == 320.0f; });
    EXPECT_TRUE(view->isFullscreen());
    expectWindowPlace(window, 0, 0, 320, 240);
    EXPECT_FLOAT_EQ(view->getFrameSize().width, 320.0f);
    EXPECT_FLOAT_EQ(view->getFrameSize().height, 240.0f);
    EXPECT_FLOAT_EQ(view->getScaleX(), 2.0f);
    EXPECT_TRUE(view->saveScreenshotPNG(duringFullscreenShot(shot).c_str()));

    view->setFullscreen(false);
    settle(*view, 10, [window] { return placedAt(window, 20, 30); });
    EXPECT_FALSE(view->isFullscreen());
    expectWindowPlace(window, 20, 30, 160, 120);
    EXPECT_FLOAT_EQ(view->getFrameSize().width, 160.0f);
    EXPECT_FLOAT_EQ(view->getScaleX(), 1.0f);
    EXPECT_TRUE(view->saveScreenshotPNG(afterFullscreenShot(shot).c_str()));
    director->purgeDirector();
}

// The screenshot as RGBA rows from the top, or null.
SDL_Surface* loadShot(const std::string& path)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return nullptr;
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    return image;
}

const unsigned char* at(SDL_Surface* image, int x, int yDown)
{
    return static_cast<const unsigned char*>(image->pixels) + yDown * image->pitch + x * 4;
}

TEST(XvfbWindowTest, WindowShowsAFrame)
{
    if (std::getenv(kChildVariable))
        GTEST_SKIP() << "child process";
    const std::string shot = testing::TempDir() + "zq_xvfb_window.png";
    int status = -1;
    pid_t child = -1;
    {
        XvfbServer xvfb("320x240x24");
        if (!xvfb.installed())
            GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(xvfb.available());
        child = spawnWithEnvironment({"/proc/self/exe", "--gtest_filter=XvfbWindowTest.DISABLED_ChildDrawsOneFrame",
                                      "--gtest_also_run_disabled_tests"},
                                     {"DISPLAY=" + xvfb.display(), "SDL_VIDEODRIVER=x11",
                                      std::string(kChildVariable) + "=" + shot});
        status = waitForExit(child);
    }
    ASSERT_GT(child, 0);
    ASSERT_EQ(status, 0) << "child status";

    // The shots before fullscreen, during it (the whole screen, at twice the size) and
    // after it show the same scene.
    for (const auto& [path, scale] : {std::pair{shot, 1}, std::pair{duringFullscreenShot(shot), 2},
                                      std::pair{afterFullscreenShot(shot), 1}}) {
        SCOPED_TRACE(path);
        SDL_Surface* image = loadShot(path);
        ASSERT_NE(image, nullptr) << IMG_GetError();
        EXPECT_EQ(image->w, 160 * scale);
        EXPECT_EQ(image->h, 120 * scale);
        if (image->w == 160 * scale && image->h == 120 * scale) {
            // The red square's centre (80, 60 from the bottom), the green ground, the black sky.
            EXPECT_NEAR(at(image, 80 * scale, 59 * scale)[0], 230, 3);
            EXPECT_NEAR(at(image, 80 * scale, 59 * scale)[1], 26, 3);
            EXPECT_NEAR(at(image, 10 * scale, 110 * scale)[1], 153, 3);
            EXPECT_EQ(at(image, 10 * scale, 10 * scale)[0], 0);
        }
        SDL_FreeSurface(image);
    }
}

} // namespace
