#pragma once

#include "ZqOisInput.h"
#include "ZqSdlInput.h"

#include <SDL2/SDL_events.h>
#include <SDL2/SDL_video.h>

// The program's input devices, reporting to one sink: the keyboard always from SDL's key
// events (the view sees none of them); the pads through OIS on the window where it is an
// X11 window, else through SDL.
class ZqInputDevices {
public:
    explicit ZqInputDevices(ZqInputEventSink& sink) : m_ois(sink), m_sdl(sink) {}

    // Picks the road for the window. Needs SDL's joystick and game-controller subsystems.
    void attach(SDL_Window* window);
    bool usesOis() const { return m_ois.isCreated(); }

    // The view's event hook: true for the events it consumes.
    bool handleEvent(const SDL_Event& event);
    // Once a frame: reads OIS's devices. Should OIS fail to come back after a joystick
    // came or went, the SDL road takes over.
    void capture();

    // The window's X11 id as decimal text; empty when it is no X11 window.
    static std::string x11WindowId(SDL_Window* window);

private:
    ZqOisInput m_ois;
    ZqSdlInput m_sdl;
};
