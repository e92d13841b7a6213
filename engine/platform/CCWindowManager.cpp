#include "CCWindowManager.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace cocos2d {

namespace {

bool xErrorCaught = false;

int noteXError(Display*, XErrorEvent*)
{
    xErrorCaught = true;
    return 0;
}

// The 32-bit items of a property of type on window; empty when it is not there.
std::vector<unsigned long> propertyItems(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    const Atom property = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format, &count, &remaining,
                           &data) == Success &&
        actualType == type && format == 32 && data) {
        // Xlib hands 32-bit items as longs.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data)
        XFree(data);
    return items;
}

// The manager's check window, named on the root and naming itself: a manager that quit
// leaves the root's property behind, and asking a window that is gone is an X error.
bool managerRuns(Display* display, Window root)
{
    XSync(display, False);
    xErrorCaught = false;
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(noteXError);
    const std::vector<unsigned long> named = propertyItems(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    bool runs = named.size() == 1 && named[0] != None;
    if (runs) {
        const std::vector<unsigned long> self = propertyItems(display, named[0], "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
        XSync(display, False);
        runs = !xErrorCaught && self.size() == 1 && self[0] == named[0];
    }
    XSetErrorHandler(previous);
    return runs;
}

} // namespace

bool ccWindowSystemGrantsFullscreen(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return true;
    Display* display = info.info.x11.display;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, info.info.x11.window, &attributes))
        return true;
    if (!managerRuns(display, attributes.root))
        return false;
    const Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    for (unsigned long state : propertyItems(display, attributes.root, "_NET_SUPPORTED", XA_ATOM)) {
        if (state == fullscreen)
            return true;
    }
    return false;
}

} // namespace cocos2d
