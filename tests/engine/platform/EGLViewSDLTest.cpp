#include "engine/gl/GLFixture.h"
#include "engine/platform/WindowPlace.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace cocos2d;

namespace {

class RecordingDelegate : public CCObject, public CCTouchDelegate, public CCKeypadDelegate {
public:
    bool ccTouchBegan(CCTouch* touch, CCEvent*) override { return record("began", touch); }
    void ccTouchMoved(CCTouch* touch, CCEvent*) override { record("moved", touch); }
    void ccTouchEnded(CCTouch* touch, CCEvent*) override { record("ended", touch); }
    void ccTouchCancelled(CCTouch* touch, CCEvent*) override { record("cancelled", touch); }
    void keyBackClicked() override { log.push_back("back"); }

    bool record(const char* what, CCTouch* touch)
    {
        const CCPoint p = touch->getLocation();
        log.push_back(std::string(what) + " " + std::to_string(touch->getID()) + " " +
                      std::to_string(static_cast<int>(p.x)) + "," + std::to_string(static_cast<int>(p.y)));
        return true;
    }
    std::vector<std::string> log;
};

class RecordingApplication : public CCApplication {
public:
    bool applicationDidFinishLaunching() override { return true; }
    void applicationDidEnterBackground() override { log.push_back("background"); }
    void applicationWillEnterForeground() override { log.push_back("foreground"); }
    std::vector<std::string> log;
};

class EGLViewSDLTest : public GLFixture {
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        delegate = new RecordingDelegate();
        director->getTouchDispatcher()->addTargetedDelegate(delegate, 0, true);
        director->getKeypadDispatcher()->addDelegate(delegate);
    }
    void TearDown() override
    {
        // A test may have ended the director: ask for the live one.
        CCDirector::sharedDirector()->getTouchDispatcher()->removeDelegate(delegate);
        CCDirector::sharedDirector()->getKeypadDispatcher()->removeDelegate(delegate);
        delegate->release();
        GLFixture::TearDown();
    }

    void pushMouseButton(Uint32 type, Uint8 button, int x, int y)
    {
        SDL_Event event{};
        event.type = type;
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }
    void pushMotion(int x, int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        SDL_PushEvent(&event);
    }
    void pushWindowEvent(Uint8 what)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        SDL_PushEvent(&event);
    }

    RecordingDelegate* delegate = nullptr;
};

TEST_F(EGLViewSDLTest, LeftMouseButtonIsTouchZeroInDesignPoints)
{
    // Window pixels, y down; the design area is the frame, y up.
    pushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 1);
    pushMotion(2, 2);
    pushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 8);
    pushMotion(20, 18);
    pushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 30, 28);
    pushMotion(40, 38);
    view->pollEvents();
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"began 0 10,40", "moved 0 20,30", "ended 0 30,20"}));
}

TEST_F(EGLViewSDLTest, HookSeesRawEventsAndEscapeIsBack)
{
    std::vector<Uint32> seen;
    view->setEventHook([&seen](const void* event) {
        seen.push_back(static_cast<const SDL_Event*>(event)->type);
        return false;
    });
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&key);
    key.key.repeat = 1;
    SDL_PushEvent(&key);
    view->pollEvents();
    EXPECT_EQ(delegate->log, std::vector<std::string>{"back"});
    EXPECT_EQ(seen, (std::vector<Uint32>{SDL_KEYDOWN, SDL_KEYDOWN}));
}

TEST_F(EGLViewSDLTest, EventsTheHookConsumesGoNoFurther)
{
    runScene();
    view->setEventHook([](const void* event) {
        const SDL_Event& sdl = *static_cast<const SDL_Event*>(event);
        return sdl.type == SDL_KEYDOWN || sdl.type == SDL_WINDOWEVENT;
    });
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&key);
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    pushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 8);
    view->pollEvents();
    frame();
    // No back, no close; the touch the hook left alone went through.
    EXPECT_EQ(delegate->log, std::vector<std::string>{"began 0 10,40"});
    EXPECT_TRUE(view->isOpenGLReady());
}

TEST_F(EGLViewSDLTest, FocusLossCancelsTheHeldTouchThenGoesToBackgroundOnce)
{
    RecordingApplication application;
    pushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 5);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    pushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 5);
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    view->pollEvents();
    ASSERT_EQ(delegate->log.size(), 2u);
    EXPECT_EQ(delegate->log[1].rfind("cancelled 0", 0), 0u) << delegate->log[1];
    EXPECT_EQ(application.log, (std::vector<std::string>{"background", "foreground"}));
}

TEST_F(EGLViewSDLTest, CloseEndsTheLoopAfterTheFrame)
{
    runScene();
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    view->pollEvents();
    EXPECT_TRUE(view->isOpenGLReady());
    frame();
    EXPECT_FALSE(view->isOpenGLReady());
}

TEST_F(EGLViewSDLTest, FrameSizeChangeRefitsTheDesignResolution)
{
    view->setDesignResolutionSize(32, 24, kResolutionFixedHeight);
    view->setFrameSize(96, 48);
    EXPECT_FLOAT_EQ(view->getFrameSize().width, 96.0f);
    EXPECT_FLOAT_EQ(view->getDesignResolutionSize().width, 48.0f);
    EXPECT_FLOAT_EQ(view->getDesignResolutionSize().height, 24.0f);
    EXPECT_FLOAT_EQ(view->getScaleX(), 2.0f);
}

TEST_F(EGLViewSDLTest, WindowResizeEventRefitsTheDesignResolution)
{
    view->setDesignResolutionSize(32, 24, kResolutionFixedHeight);
    // Resized behind the view's back, as a window manager or the desktop would: the view
    // learns of it only from the size event.
    SDL_SetWindowSize(static_cast<SDL_Window*>(view->getNativeWindow()), 96, 48);
    view->pollEvents();
    EXPECT_FLOAT_EQ(view->getFrameSize().width, 96.0f);
    EXPECT_FLOAT_EQ(director->getWinSize().width, 48.0f);
    EXPECT_FLOAT_EQ(view->getScaleY(), 2.0f);
}

TEST_F(EGLViewSDLTest, TheMinimumSizeEnlargesASmallerWindowAtOnceAndHoldsLaterResizes)
{
    view->setDesignResolutionSize(32, 24, kResolutionShowAll);
    view->setMinimumWindowSize(80, 40);
    EXPECT_FLOAT_EQ(view->getFrameSize().width, 80.0f);
    EXPECT_FLOAT_EQ(view->getFrameSize().height, 48.0f);
    EXPECT_FLOAT_EQ(view->getScaleX(), 2.0f);
    SDL_SetWindowSize(static_cast<SDL_Window*>(view->getNativeWindow()), 20, 100);
    view->pollEvents();
    EXPECT_FLOAT_EQ(view->getFrameSize().width, 80.0f);
    EXPECT_FLOAT_EQ(view->getFrameSize().height, 100.0f);
}

TEST_F(EGLViewSDLTest, FullscreenRestoresTheWindowedSizeAndPlace)
{
    SDL_Window* window = static_cast<SDL_Window*>(view->getNativeWindow());
    SDL_SetWindowPosition(window, 7, 9);
    view->setDesignResolutionSize(32, 24, kResolutionFixedHeight);
    view->setFullscreen(true);
    ASSERT_TRUE(view->isFullscreen());
    // A size asked for while fullscreen waits for the way back.
    view->setFrameSize(96, 48);
    EXPECT_TRUE(view->isFullscreen());
    view->setFullscreen(false);
    EXPECT_FALSE(view->isFullscreen());
    expectWindowPlace(window, 7, 9, 96, 48);
    EXPECT_FLOAT_EQ(view->getFrameSize().width, 96.0f);
    EXPECT_FLOAT_EQ(director->getWinSize().width, 48.0f);
}

TEST_F(EGLViewSDLTest, FrameSizeCallbackRunsAfterTheRefitOnEveryChange)
{
    view->setDesignResolutionSize(32, 24, kResolutionFixedHeight);
    std::vector<float> designWidths;
    // The game picks the policy from the frame's shape: fixed width when taller than 4:3.
    view->setFrameSizeChangedCallback([this, &designWidths] {
        designWidths.push_back(view->getDesignResolutionSize().width);
        const CCSize frame = view->getFrameSize();
        view->setDesignResolutionSize(32, 24, frame.width / frame.height < 4.0f / 3.0f ? kResolutionFixedWidth
                                                                                      : kResolutionFixedHeight);
    });
    view->setFrameSize(96, 48);
    SDL_SetWindowSize(static_cast<SDL_Window*>(view->getNativeWindow()), 64, 96);
    view->pollEvents();
    // An unchanged size is no change.
    view->setFrameSize(64, 96);
    // Seen re-fitted with the old policy, then changed by the callback.
    EXPECT_EQ(designWidths, (std::vector<float>{48.0f, 16.0f}));
    EXPECT_EQ(view->getResolutionPolicy(), kResolutionFixedWidth);
    EXPECT_FLOAT_EQ(view->getDesignResolutionSize().width, 32.0f);
    EXPECT_FLOAT_EQ(view->getDesignResolutionSize().height, 48.0f);
}

TEST_F(EGLViewSDLTest, UsableDisplaySizeIsKnownOnTheRunningDriver)
{
    const CCSize usable = CCEGLViewSDL::usableDisplaySize();
    EXPECT_GT(usable.width, 0.0f);
    EXPECT_GT(usable.height, 0.0f);
}

// A 2x2 icon file of 32-bit pixels.
std::vector<unsigned char> tinyIco()
{
    std::vector<unsigned char> bytes;
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    const uint32_t pixelBytes = 2 * 2 * 4;
    const uint32_t maskBytes = 2 * 4;
    put(0, 2), put(1, 2), put(1, 2);
    put(2, 1), put(2, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2);
    put(40 + pixelBytes + maskBytes, 4), put(22, 4);
    put(40, 4), put(2, 4), put(4, 4), put(1, 2), put(32, 2), put(0, 4), put(pixelBytes + maskBytes, 4);
    put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    for (uint32_t bgra : {0xFFFF0000u, 0xFFFF0000u, 0xFF0000FFu, 0xFF0000FFu})
        put(bgra, 4);
    bytes.resize(bytes.size() + maskBytes, 0);
    return bytes;
}

TEST_F(EGLViewSDLTest, IconComesFromAnIcoFileAndBadFilesAreQuiet)
{
    const std::string path = testing::TempDir() + "zq_icon.ico";
    const std::vector<unsigned char> ico = tinyIco();
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(ico.data(), 1, ico.size(), file);
    std::fclose(file);
    EXPECT_TRUE(view->setIconFromFile(path.c_str()));
    EXPECT_FALSE(view->setIconFromFile("/nonexistent/icon.ico"));
    file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(ico.data(), 1, 10, file);
    std::fclose(file);
    EXPECT_FALSE(view->setIconFromFile(path.c_str()));
    std::remove(path.c_str());
}

TEST_F(EGLViewSDLTest, ADesignThatFitsButForAFractionOfAPixelCoversEveryRow)
{
    // 100 x 74 points fitted into 64 x 48 pixels: 47.36 pixels high, 0.32 above and below.
    view->setDesignResolutionSize(100, 74, kResolutionShowAll);
    struct Fill : CCNode {
        void draw() override { ccDrawSolidRect(CCPoint(0, 0), CCPoint(100, 74), ccc4f(1, 0, 0, 1)); }
    };
    Fill* fill = new Fill();
    fill->autorelease();
    runScene()->addChild(fill);
    frame();
    for (const int row : {0, kHeight - 1}) {
        const std::vector<unsigned char> pixels = view->readPixels(0, row, kWidth, 1);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kWidth) * 4);
        for (int x = 0; x < kWidth; x += 9)
            EXPECT_EQ(pixels[static_cast<std::size_t>(x) * 4], 255) << "a black line at row " << row << ", column " << x;
    }
}

TEST_F(EGLViewSDLTest, ScreenshotIsUpright)
{
    struct Corner : CCNode {
        void draw() override { ccDrawSolidRect(CCPoint(0, 0), CCPoint(8, 8), ccc4f(1, 0, 0, 1)); }
    };
    Corner* corner = new Corner();
    corner->autorelease();
    runScene()->addChild(corner);
    frame();
    const std::string path = testing::TempDir() + "zq_headless_shot.png";
    ASSERT_TRUE(view->saveScreenshotPNG(path.c_str()));
    SDL_Surface* loaded = IMG_Load(path.c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(rgba->w, kWidth);
    EXPECT_EQ(rgba->h, kHeight);
    const auto* bytes = static_cast<const unsigned char*>(rgba->pixels);
    // The red square sits at the bottom-left: the image's last rows.
    const unsigned char* bottomLeft = bytes + static_cast<size_t>(kHeight - 1) * rgba->pitch;
    EXPECT_EQ(bottomLeft[0], 255);
    EXPECT_EQ(bytes[0], 0);
    SDL_FreeSurface(rgba);
    SDL_FreeSurface(loaded);
    std::remove(path.c_str());
}

// A write that fails only when the file is closed (a full disk, a file that takes no
// bytes) is a failed save, not a picture.
TEST_F(EGLViewSDLTest, AScreenshotWhoseWriteFailsAtTheCloseIsNotSaved)
{
    frame();
    EXPECT_FALSE(view->saveScreenshotPNG("/dev/full"));
    EXPECT_FALSE(view->saveScreenshotPNG("/proc/version"));
}

} // namespace
