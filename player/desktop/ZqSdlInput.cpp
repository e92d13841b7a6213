#include "ZqSdlInput.h"

#include "ZqKeyTables.h"

#include <ZqLog.h>

#include <algorithm>

namespace {

// The game's numbers for a game controller's buttons; -1: not used.
int buttonNumber(Uint8 button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
        return 0;
    case SDL_CONTROLLER_BUTTON_B:
        return 1;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return 12;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return 13;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return 14;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return 15;
    default:
        return -1;
    }
}

float axisValue(Sint16 value)
{
    return std::clamp(static_cast<float>(value) / 32767.0f, -1.0f, 1.0f);
}

unsigned hatDirections(Uint8 hat)
{
    // SDL's hat bits are the sink's.
    return hat & (SDL_HAT_UP | SDL_HAT_RIGHT | SDL_HAT_DOWN | SDL_HAT_LEFT);
}

} // namespace

ZqSdlInput::~ZqSdlInput()
{
    for (auto& [pad, controller] : m_controllers)
        SDL_GameControllerClose(controller);
    for (auto& [pad, joystick] : m_joysticks)
        SDL_JoystickClose(joystick);
}

void ZqSdlInput::openPresentPads()
{
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        open(i);
}

void ZqSdlInput::open(int deviceIndex)
{
    const SDL_JoystickID pad = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (pad < 0 || m_controllers.count(pad) || m_joysticks.count(pad))
        return;
    if (SDL_IsGameController(deviceIndex)) {
        if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) {
            m_controllers[pad] = controller;
            debugLog("[ZqSdlInput] game controller %d: %s", pad, SDL_GameControllerName(controller));
            return;
        }
    } else if (SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex)) {
        m_joysticks[pad] = joystick;
        debugLog("[ZqSdlInput] joystick %d: %s", pad, SDL_JoystickName(joystick));
        return;
    }
    debugLog("[ZqSdlInput] pad %d cannot be opened: %s", pad, SDL_GetError());
}

void ZqSdlInput::close(SDL_JoystickID pad)
{
    if (auto controller = m_controllers.find(pad); controller != m_controllers.end()) {
        SDL_GameControllerClose(controller->second);
        m_controllers.erase(controller);
    } else if (auto joystick = m_joysticks.find(pad); joystick != m_joysticks.end()) {
        SDL_JoystickClose(joystick->second);
        m_joysticks.erase(joystick);
    } else {
        return;
    }
    m_sink.padRemoved(pad);
}

bool ZqSdlInput::handleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (event.key.repeat != 0)
            return true;
        const int key = zqEditorKeyFromSdl(event.key.keysym.sym);
        if (key == 0)
            return true;
        if (event.type == SDL_KEYDOWN)
            m_sink.keyPressed(key);
        else
            m_sink.keyReleased(key);
        return true;
    }
    case SDL_JOYDEVICEADDED:
        open(event.jdevice.which);
        return true;
    case SDL_JOYDEVICEREMOVED:
        close(event.jdevice.which);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (m_controllers.count(event.cbutton.which)) {
            const int button = buttonNumber(event.cbutton.button);
            if (button >= 0)
                m_sink.padButton(event.cbutton.which, button, event.type == SDL_CONTROLLERBUTTONDOWN);
        }
        return true;
    case SDL_CONTROLLERAXISMOTION:
        if (m_controllers.count(event.caxis.which) &&
            (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY))
            m_sink.padAxis(event.caxis.which, event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ? 0 : 1,
                           axisValue(event.caxis.value));
        return true;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        // Game controllers' joystick events come too: their controller events count.
        if (m_joysticks.count(event.jbutton.which))
            m_sink.padButton(event.jbutton.which, event.jbutton.button, event.type == SDL_JOYBUTTONDOWN);
        return true;
    case SDL_JOYAXISMOTION:
        if (m_joysticks.count(event.jaxis.which))
            m_sink.padAxis(event.jaxis.which, event.jaxis.axis, axisValue(event.jaxis.value));
        return true;
    case SDL_JOYHATMOTION:
        if (m_joysticks.count(event.jhat.which))
            m_sink.padHat(event.jhat.which, event.jhat.hat, hatDirections(event.jhat.value));
        return true;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEREMAPPED:
        // The joystick events of the same devices open and close them.
        return true;
    default:
        return false;
    }
}
