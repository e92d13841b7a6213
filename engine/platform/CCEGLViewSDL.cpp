#include "platform/CCEGLViewSDL.h"

#include "director/CCApplication.h"
#include "director/CCDirector.h"
#include "gl/CCShaderCache.h"
#include "gl/ccGLStateCache.h"
#include "touch/CCKeypadDispatcher.h"
#include "touch/CCTouchDispatcher.h"

#include "CCDrawableSize.h"
#include "CCGL.h"
#include "CCWindowManager.h"
#include "ccImageFile.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <ZqLog.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace cocos2d {

struct CCEGLViewSDLState {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    // The windowed place and size while fullscreen, in window units.
    SDL_Rect windowed{};
    // Fullscreen made by covering the display, where no window manager answers SDL's
    // request (X without one).
    bool coversDisplay = false;
    // A fence after each of the last two frames; the older is waited on next.
    GLsync frameFences[2] = {nullptr, nullptr};
    int nextFence = 0;
};

namespace {

// The id the left mouse button's touch gets.
constexpr int kMouseTouchId = 0;
// A frame's fence that has not signalled after this long is given up on: a slow frame
// must not hang the program.
constexpr GLuint64 kFenceTimeoutNs = 2'000'000'000;

} // namespace

CCEGLViewSDL::CCEGLViewSDL() : m_state(std::make_unique<CCEGLViewSDLState>()) {}

CCEGLViewSDL::~CCEGLViewSDL()
{
    if (m_state->context) {
        for (GLsync& fence : m_state->frameFences) {
            if (fence)
                glDeleteSync(fence);
        }
        // The cached programs and state belong to this context.
        CCShaderCache::purgeSharedShaderCache();
        ccGLInvalidateStateCache();
        SDL_GL_DeleteContext(m_state->context);
    }
    if (m_state->window)
        SDL_DestroyWindow(m_state->window);
}

std::unique_ptr<CCEGLViewSDL> CCEGLViewSDL::create(const char* title, int width, int height)
{
    return open(title, width, height, false);
}

std::unique_ptr<CCEGLViewSDL> CCEGLViewSDL::createHeadless(int width, int height)
{
    return open("", width, height, true);
}

bool CCEGLViewSDL::startVideo(bool headless)
{
    // Video and the GL library stay up for the process once a view used them: SDL
    // unloads Mesa's driver with the last GL window or at video quit, and the driver is
    // slow to load and loses memory when unloaded.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        // The override beats SDL_VIDEODRIVER.
        if (headless)
            SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
        const int initStatus = SDL_InitSubSystem(SDL_INIT_VIDEO);
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        if (initStatus != 0) {
            debugLog("[CCEGLViewSDL] SDL video init failed: %s", SDL_GetError());
            return false;
        }
        if (SDL_GL_LoadLibrary(nullptr) != 0) {
            debugLog("[CCEGLViewSDL] GL library load failed: %s", SDL_GetError());
            return false;
        }
    }
    return true;
}

CCSize CCEGLViewSDL::usableDisplaySize()
{
    SDL_Rect usable{};
    if (!startVideo(false) || SDL_GetDisplayUsableBounds(0, &usable) != 0)
        return CCSizeZero;
    return CCSize(static_cast<float>(usable.w), static_cast<float>(usable.h));
}

std::unique_ptr<CCEGLViewSDL> CCEGLViewSDL::open(const char* title, int width, int height, bool headless)
{
    if (width <= 0 || height <= 0) {
        debugLog("[CCEGLViewSDL] bad window size %dx%d", width, height);
        return nullptr;
    }
    std::unique_ptr<CCEGLViewSDL> view(new CCEGLViewSDL());
    view->m_bHeadless = headless;
    if (!startVideo(headless))
        return nullptr;

    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    flags |= headless ? SDL_WINDOW_HIDDEN : (SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    SDL_Window* window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                          height, flags);
    if (!window) {
        debugLog("[CCEGLViewSDL] window creation failed: %s", SDL_GetError());
        return nullptr;
    }
    view->m_state->window = window;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        debugLog("[CCEGLViewSDL] GL context creation failed: %s", SDL_GetError());
        return nullptr;
    }
    view->m_state->context = context;
    if (!ccGLLoadEntryPoints())
        return nullptr;
    if (!headless)
        view->chooseSwapInterval();
    ccGLInvalidateStateCache();
    // The engine draws with client-side arrays.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    // ccPointSize sets the size from the vertex shader.
    glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
    view->setViewName(title);
    view->updateFrameFromDrawable();
    debugLog("[CCEGLViewSDL] %s on %s: %s", headless ? "headless" : "window", SDL_GetCurrentVideoDriver(),
             reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    return view;
}

bool CCEGLViewSDL::swapWaitsForRefresh(int refreshRate)
{
    return refreshRate > 0 && (refreshRate % 60 == 0 || (refreshRate + 1) % 60 == 0);
}

void CCEGLViewSDL::chooseSwapInterval()
{
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(m_state->window);
    const int rate = display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
    const int interval = swapWaitsForRefresh(rate) ? 1 : 0;
    if (interval == m_swapInterval)
        return;
    m_swapInterval = interval;
    // A driver without vsync gives the clock's pace anyway.
    const bool set = SDL_GL_SetSwapInterval(interval) == 0;
    debugLog("[CCEGLViewSDL] display at %d Hz: %s", rate,
             interval && set ? "frames wait for its refresh" : "frames paced by the clock alone");
}

void CCEGLViewSDL::end()
{
    m_bEnded = true;
    if (m_state->window)
        SDL_HideWindow(m_state->window);
}

bool CCEGLViewSDL::isOpenGLReady()
{
    return !m_bEnded && m_state->context;
}

void CCEGLViewSDL::swapBuffers()
{
    if (m_bEnded)
        return;
    SDL_GL_SwapWindow(m_state->window);
    limitFramesInFlight();
}

void CCEGLViewSDL::limitFramesInFlight()
{
    // Nothing throttles a window that is never shown (the offscreen driver), and Mesa's
    // software rasteriser queues every frame given to it: at most two stay in flight.
    GLsync& oldest = m_state->frameFences[m_state->nextFence];
    m_state->nextFence = 1 - m_state->nextFence;
    if (!glFenceSync) {
        glFinish();
        return;
    }
    if (oldest) {
        glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, kFenceTimeoutNs);
        glDeleteSync(oldest);
    }
    oldest = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
}

void CCEGLViewSDL::beginFrame()
{
    if (m_bEnded)
        return;
    // The whole drawable first: letterbox bars are cleared too.
    glViewport(0, 0, static_cast<GLsizei>(m_obScreenSize.width), static_cast<GLsizei>(m_obScreenSize.height));
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // Each edge rounded on its own: rounding the origin and the size apart can leave a row
    // or column of the frame uncovered, a black line beside a design that fits but for a
    // fraction of a pixel.
    const CCRect& port = m_obViewPortRect;
    const long left = std::lround(port.origin.x);
    const long bottom = std::lround(port.origin.y);
    glViewport(static_cast<GLint>(left), static_cast<GLint>(bottom),
               static_cast<GLsizei>(std::lround(port.origin.x + port.size.width) - left),
               static_cast<GLsizei>(std::lround(port.origin.y + port.size.height) - bottom));
}

void CCEGLViewSDL::setFrameSize(float width, float height)
{
    if (width <= 0.0f || height <= 0.0f) {
        debugLog("[CCEGLViewSDL] bad frame size %gx%g", width, height);
        return;
    }
    if (isFullscreen()) {
        // Taken on the way back to the window.
        m_state->windowed.w = static_cast<int>(width);
        m_state->windowed.h = static_cast<int>(height);
        return;
    }
    SDL_SetWindowSize(m_state->window, static_cast<int>(width), static_cast<int>(height));
    updateFrameFromDrawable();
}

void CCEGLViewSDL::setMinimumWindowSize(int width, int height)
{
    // SDL enlarges a smaller window at once.
    SDL_SetWindowMinimumSize(m_state->window, std::max(width, 0), std::max(height, 0));
    if (!isFullscreen())
        updateFrameFromDrawable();
}

void CCEGLViewSDL::updateFrameFromDrawable()
{
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(m_state->window, &width, &height);
    // SDL takes fullscreen as granted; a window manager may grant it late, and until then
    // drawing for the display's size would cut the picture off.
    if (isFullscreen() && SDL_GL_GetCurrentWindow() == m_state->window)
        ccCurrentDrawableSize(width, height);
    if (width <= 0 || height <= 0)
        return;
    if (width == static_cast<int>(m_obScreenSize.width) && height == static_cast<int>(m_obScreenSize.height))
        return;
    CCEGLViewProtocol::setFrameSize(static_cast<float>(width), static_cast<float>(height));
    if (m_frameSizeChanged)
        m_frameSizeChanged();
}

void CCEGLViewSDL::setWindowTitle(const char* title)
{
    setViewName(title);
    SDL_SetWindowTitle(m_state->window, title ? title : "");
}

bool CCEGLViewSDL::setIconFromFile(const char* path)
{
    std::error_code error;
    if (!path || !std::filesystem::exists(path, error))
        return false;
    // Freed once the window has it: only the pixel cap bounds it, not the textures' budget.
    SDL_Surface* icon = ccLoadImageFile(path, kCCMaxImageSide, kCCMaxImagePixels * 4, "CCEGLViewSDL");
    if (!icon)
        return false;
    SDL_SetWindowIcon(m_state->window, icon);
    SDL_FreeSurface(icon);
    return true;
}

void CCEGLViewSDL::setFullscreen(bool fullscreen)
{
    if (fullscreen == isFullscreen())
        return;
    SDL_Window* window = m_state->window;
    SDL_Rect& windowed = m_state->windowed;
    if (fullscreen) {
        SDL_GetWindowPosition(window, &windowed.x, &windowed.y);
        SDL_GetWindowSize(window, &windowed.w, &windowed.h);
    }
    if (m_state->coversDisplay || (fullscreen && !ccWindowSystemGrantsFullscreen(window)))
        coverDisplay(fullscreen);
    else if (SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        debugLog("[CCEGLViewSDL] fullscreen switch failed: %s", SDL_GetError());
    if (!fullscreen) {
        // Neither a covered display nor every window manager gives the windowed size
        // back: put the remembered size and place back ourselves.
        SDL_SetWindowSize(window, windowed.w, windowed.h);
        SDL_SetWindowPosition(window, windowed.x, windowed.y);
    }
    updateFrameFromDrawable();
}

void CCEGLViewSDL::coverDisplay(bool cover)
{
    SDL_Window* window = m_state->window;
    SDL_Rect display{};
    if (cover && SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &display) != 0) {
        debugLog("[CCEGLViewSDL] fullscreen switch failed: %s", SDL_GetError());
        return;
    }
    m_state->coversDisplay = cover;
    if (cover) {
        SDL_SetWindowPosition(window, display.x, display.y);
        SDL_SetWindowSize(window, display.w, display.h);
    }
}

void CCEGLViewSDL::holdMinimumSize()
{
    if (isFullscreen())
        return;
    int minimumWidth = 0;
    int minimumHeight = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowMinimumSize(m_state->window, &minimumWidth, &minimumHeight);
    SDL_GetWindowSize(m_state->window, &width, &height);
    if (width < minimumWidth || height < minimumHeight)
        SDL_SetWindowSize(m_state->window, std::max(width, minimumWidth), std::max(height, minimumHeight));
}

bool CCEGLViewSDL::isFullscreen() const
{
    return m_state->coversDisplay ||
        (SDL_GetWindowFlags(m_state->window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void* CCEGLViewSDL::getNativeWindow() const
{
    return m_state->window;
}

void CCEGLViewSDL::pollEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (m_eventHook && m_eventHook(&event))
            continue;
        handleEvent(&event);
    }
    // A window manager may grant fullscreen later than SDL reports it.
    if (isFullscreen())
        updateFrameFromDrawable();
}

void CCEGLViewSDL::handleEvent(const void* rawEvent)
{
    const SDL_Event& event = *static_cast<const SDL_Event*>(rawEvent);
    CCDirector* director = CCDirector::sharedDirector();
    // Mouse positions are in window units; the frame is in drawable pixels. The ratio
    // holds where SDL's idea of a fullscreen window's size does not.
    int windowWidth = 0;
    int windowHeight = 0;
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GetWindowSize(m_state->window, &windowWidth, &windowHeight);
    SDL_GL_GetDrawableSize(m_state->window, &drawableWidth, &drawableHeight);
    const float toPixelsX = windowWidth > 0 ? static_cast<float>(drawableWidth) / static_cast<float>(windowWidth) : 1.0f;
    const float toPixelsY =
        windowHeight > 0 ? static_cast<float>(drawableHeight) / static_cast<float>(windowHeight) : 1.0f;
    const int ids[] = {kMouseTouchId};
    switch (event.type) {
    case SDL_QUIT:
        director->end();
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            const float xs[] = {static_cast<float>(event.button.x) * toPixelsX};
            const float ys[] = {static_cast<float>(event.button.y) * toPixelsY};
            if (event.type == SDL_MOUSEBUTTONDOWN) {
                m_bMouseTouchDown = true;
                director->getTouchDispatcher()->handleTouchesBegin(1, ids, xs, ys);
            } else if (m_bMouseTouchDown) {
                m_bMouseTouchDown = false;
                director->getTouchDispatcher()->handleTouchesEnd(1, ids, xs, ys);
            }
        }
        break;
    case SDL_MOUSEMOTION:
        if (m_bMouseTouchDown) {
            const float xs[] = {static_cast<float>(event.motion.x) * toPixelsX};
            const float ys[] = {static_cast<float>(event.motion.y) * toPixelsY};
            director->getTouchDispatcher()->handleTouchesMove(1, ids, xs, ys);
        }
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE && event.key.repeat == 0)
            director->getKeypadDispatcher()->dispatchKeypadMSG(kTypeBackClicked);
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            director->end();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
            enterBackground();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_RESTORED:
            enterForeground();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            holdMinimumSize();
            updateFrameFromDrawable();
            break;
        case SDL_WINDOWEVENT_DISPLAY_CHANGED:
            chooseSwapInterval();
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

void CCEGLViewSDL::cancelMouseTouch()
{
    if (!m_bMouseTouchDown)
        return;
    m_bMouseTouchDown = false;
    const int ids[] = {kMouseTouchId};
    const float xs[] = {0.0f};
    const float ys[] = {0.0f};
    CCDirector::sharedDirector()->getTouchDispatcher()->handleTouchesCancel(1, ids, xs, ys);
}

void CCEGLViewSDL::enterBackground()
{
    // A button held while the focus goes would never see its release.
    cancelMouseTouch();
    if (m_bInBackground)
        return;
    m_bInBackground = true;
    if (CCApplication* application = CCApplication::sharedApplication())
        application->applicationDidEnterBackground();
}

void CCEGLViewSDL::enterForeground()
{
    if (!m_bInBackground)
        return;
    m_bInBackground = false;
    if (CCApplication* application = CCApplication::sharedApplication())
        application->applicationWillEnterForeground();
}

std::vector<unsigned char> CCEGLViewSDL::readPixels(int x, int y, int width, int height)
{
    const int frameWidth = static_cast<int>(m_obScreenSize.width);
    const int frameHeight = static_cast<int>(m_obScreenSize.height);
    const int left = std::max(x, 0);
    const int bottom = std::max(y, 0);
    const int right = std::min(x + width, frameWidth);
    const int top = std::min(y + height, frameHeight);
    if (right <= left || top <= bottom || !m_state->context)
        return {};
    std::vector<unsigned char> pixels(static_cast<size_t>(right - left) * static_cast<size_t>(top - bottom) * 4);
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // The frame just drawn stays in the back buffer after the swap with Mesa's drivers;
    // the front buffer of an X window reads black until it is exposed.
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(left, bottom, right - left, top - bottom, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    return pixels;
}

bool CCEGLViewSDL::saveScreenshotPNG(const char* path)
{
    const int width = static_cast<int>(m_obScreenSize.width);
    const int height = static_cast<int>(m_obScreenSize.height);
    std::vector<unsigned char> pixels = readPixels(0, 0, width, height);
    if (pixels.empty() || !path) {
        debugLog("[CCEGLViewSDL] nothing to save");
        return false;
    }
    // GL rows run bottom-up; the image wants them top-down.
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    std::vector<unsigned char> upright(pixels.size());
    for (int row = 0; row < height; ++row)
        std::copy_n(pixels.data() + static_cast<size_t>(height - 1 - row) * rowBytes, rowBytes,
                    upright.data() + static_cast<size_t>(row) * rowBytes);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(upright.data(), width, height, 32,
                                                              static_cast<int>(rowBytes), SDL_PIXELFORMAT_RGBA32);
    if (!surface) {
        debugLog("[CCEGLViewSDL] screenshot surface failed: %s", SDL_GetError());
        return false;
    }
    // The close is checked too: a buffered write that fails (a full disk, /dev/full) is
    // told only there.
    SDL_RWops* file = SDL_RWFromFile(path, "wb");
    const bool written = file && IMG_SavePNG_RW(surface, file, 0) == 0;
    const bool saved = file && SDL_RWclose(file) == 0 && written;
    SDL_FreeSurface(surface);
    if (!saved)
        debugLog("[CCEGLViewSDL] saving %s failed: %s", path, IMG_GetError());
    return saved;
}

} // namespace cocos2d
