#pragma once

#include "app/ZqInputEvents.h"

#include <SDL2/SDL_events.h>
#include <SDL2/SDL_gamecontroller.h>

#include <map>

// The keyboard through SDL, and the pads where OIS cannot be made (no X11 window:
// Wayland, the offscreen driver). Keys come from SDL's key events (repeats dropped). A pad
// SDL knows as a game controller gives its A and B as buttons 0 and 1 and its D-pad as
// buttons 12 (up), 13 (right), 14 (down), 15 (left), its left stick as axes 0 and 1;
// another joystick gives its own button, hat and axis numbers, as OIS would. Pads come
// and go while the program runs; one that goes lets go of what it held.
//
// Needs SDL's joystick and game-controller subsystems.
class ZqSdlInput {
public:
    explicit ZqSdlInput(ZqInputEventSink& sink) : m_sink(sink) {}
    ~ZqSdlInput();
    ZqSdlInput(const ZqSdlInput&) = delete;
    ZqSdlInput& operator=(const ZqSdlInput&) = delete;

    // Opens every pad present now (the ones that come later are opened as they come).
    void openPresentPads();
    // Key and pad events reach the sink; true when the event was one of them.
    bool handleEvent(const SDL_Event& event);
    std::size_t padCount() const { return m_controllers.size() + m_joysticks.size(); }

private:
    void open(int deviceIndex);
    void close(SDL_JoystickID pad);

    ZqInputEventSink& m_sink;
    std::map<SDL_JoystickID, SDL_GameController*> m_controllers;
    std::map<SDL_JoystickID, SDL_Joystick*> m_joysticks;
};
