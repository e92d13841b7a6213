#include "ZqInputDevices.h"

#include <SDL2/SDL_syswm.h>
#include <ZqLog.h>

#include <string>

std::string ZqInputDevices::x11WindowId(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    return std::to_string(static_cast<unsigned long>(info.info.x11.window));
}

void ZqInputDevices::attach(SDL_Window* window)
{
    if (m_ois.create(x11WindowId(window)))
        return;
    debugLog("[ZqInputDevices] pads through SDL");
    m_sdl.openPresentPads();
}

bool ZqInputDevices::handleEvent(const SDL_Event& event)
{
    if (!m_ois.isCreated() || event.type == SDL_KEYDOWN || event.type == SDL_KEYUP)
        return m_sdl.handleEvent(event);
    switch (event.type) {
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
        m_ois.requestRecreate();
        return true;
    default:
        return false;
    }
}

void ZqInputDevices::capture()
{
    if (!m_ois.isCreated())
        return;
    m_ois.capture();
    if (!m_ois.isCreated()) {
        debugLog("[ZqInputDevices] OIS is gone: pads through SDL");
        m_sdl.openPresentPads();
    }
}
