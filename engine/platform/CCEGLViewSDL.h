#pragma once

#include "director/CCEGLViewProtocol.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cocos2d {

struct CCEGLViewSDLState;

// Sees every raw SDL event (an SDL_Event*, opaque here) before the view handles it:
// the player's keyboard and controller input is fed from it. True consumes the event:
// the view does not handle it.
using CCSDLEventHook = std::function<bool(const void* sdlEvent)>;

// The SDL2 window with an OpenGL 2.1 compatibility context, current on the creating
// thread for the view's life. Frame sizes are drawable pixels.
//
// The first view initialises SDL's video subsystem with SDL_InitSubSystem (sharing SDL
// with other subsystem users) and loads the GL library; both stay up for the process,
// so every view of a process uses the video driver the first one got.
// Destroying the view purges the shader cache and the GL state cache with the context;
// GL objects made by others in that context die with it.
//
// pollEvents turns SDL events into the engine's input: the left mouse button is touch 0
// (begin, move while held, end), Escape is the keypad's back, closing the window ends
// the director (the loop stops after the current frame), focus loss or minimising
// cancels a held touch then calls the application's background hook, focus regained or
// restored its foreground hook (each once per change). Size changes re-apply the
// design resolution, then call the frame-size callback.
class CCEGLViewSDL : public CCEGLViewProtocol {
public:
    // A visible, resizable window of width x height pixels on the driver SDL picks.
    // Null (logged) when SDL, the window or the context fails.
    static std::unique_ptr<CCEGLViewSDL> create(const char* title, int width, int height);
    // A hidden window on SDL's offscreen driver (Mesa's software renderer, no display)
    // when no view came before, else on the driver already running. Null (logged) on
    // failure.
    static std::unique_ptr<CCEGLViewSDL> createHeadless(int width, int height);
    // Whether the buffer swap may wait for the refresh of a display of refreshRate Hz (0
    // when unknown): only where the rate is a whole multiple of the loop's 60 frames a
    // second (a 59.94 Hz mode, which SDL reports as 59 or 60, counts), so that a frame's
    // wait always ends before the next frame is due. Elsewhere the loop's clock alone
    // paces the frames: a 50 Hz display would hold them to 50 a second, a 75 Hz one to a
    // few milliseconds of work each.
    static bool swapWaitsForRefresh(int refreshRate);
    // The first display's area that windows may use (the desktop less its panels), in
    // window units, starting SDL's video as create() would; zero when it is not known.
    static CCSize usableDisplaySize();

    ~CCEGLViewSDL() override;

    // Hides the window; isOpenGLReady() is false from then on.
    void end() override;
    bool isOpenGLReady() override;
    // Shows the frame; then waits for the frame before the last to be drawn, so that at
    // most two frames are in flight.
    void swapBuffers() override;
    void pollEvents() override;
    // Clears the whole drawable to opaque black and sets the viewport to the design area.
    void beginFrame() override;
    // Resizes the window, then re-fits the design resolution; while fullscreen, the size
    // is kept for the way back to the window.
    void setFrameSize(float width, float height) override;
    // The smallest window the desktop may resize to, in window units; a smaller window is
    // enlarged to it at once, and so is a window another client shrinks below it where no
    // window manager holds the limit. Zero in both lifts the limit.
    void setMinimumWindowSize(int width, int height);

    void setWindowTitle(const char* title);
    // Sets the window icon from an image file (.ico, .png); a missing file leaves the
    // icon as it is, quietly, and an unreadable one with a log line. True when the icon
    // was set.
    bool setIconFromFile(const char* path);
    // Desktop fullscreen, or back to the windowed size and place it had before; the
    // design resolution is re-fitted to the new frame either way. Where no window manager
    // answers the request (X without one), the window covers its display itself.
    void setFullscreen(bool fullscreen);
    bool isFullscreen() const;
    bool isHeadless() const { return m_bHeadless; }

    void setEventHook(CCSDLEventHook hook) { m_eventHook = std::move(hook); }
    // Runs after every change of the frame size (a resize, a fullscreen switch), once the
    // view has re-fitted the design resolution with its current policy: the game may
    // pick another policy for the new shape here.
    void setFrameSizeChangedCallback(std::function<void()> callback) { m_frameSizeChanged = std::move(callback); }

    // The pixels of the window's surface in the rectangle (x, y from the bottom-left,
    // pixels): RGBA bytes, rows from the bottom up. The rectangle is clipped to the
    // frame; empty when nothing is left. Reads the back buffer: what the last frame drew,
    // before its swap, or after it where the driver keeps the buffer (Mesa's do).
    std::vector<unsigned char> readPixels(int x, int y, int width, int height);
    // The whole frame as a PNG file, upright. False (logged) on failure.
    bool saveScreenshotPNG(const char* path);

    // The SDL_Window* (opaque), for the player's platform glue.
    void* getNativeWindow() const;

private:
    CCEGLViewSDL();
    static std::unique_ptr<CCEGLViewSDL> open(const char* title, int width, int height, bool headless);
    // Starts SDL's video and loads the GL library, once for the process.
    static bool startVideo(bool headless);
    // Reads the drawable size into the frame size (re-fitting the design resolution).
    // While fullscreen, the drawable's own size: the window system may not have granted it.
    void updateFrameFromDrawable();
    void limitFramesInFlight();
    // Sets the swap to wait for the refresh of the window's display or not
    // (swapWaitsForRefresh), logging a change.
    void chooseSwapInterval();
    // Places the window over its whole display, or only forgets that it does (the caller
    // puts the windowed size back).
    void coverDisplay(bool cover);
    // Enlarges a windowed window smaller than its minimum size to it.
    void holdMinimumSize();
    void handleEvent(const void* event);
    void enterBackground();
    void enterForeground();
    void cancelMouseTouch();

    std::unique_ptr<CCEGLViewSDLState> m_state;
    CCSDLEventHook m_eventHook;
    std::function<void()> m_frameSizeChanged;
    bool m_bHeadless = false;
    bool m_bEnded = false;
    bool m_bInBackground = false;
    bool m_bMouseTouchDown = false;
    // The swap interval set, -1 before the first.
    int m_swapInterval = -1;
};

} // namespace cocos2d
