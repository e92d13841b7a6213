#include "ZqOisInput.h"

#include <ZqLog.h>
#include <ois/OISException.h>
#include <ois/OISInputManager.h>

#include <algorithm>

namespace {

// A pad's identity: OIS numbers its joysticks from 0 within one input system.
int padOf(const OIS::JoyStickEvent& event)
{
    return event.device ? event.device->getID() : 0;
}

unsigned hatDirections(int pov)
{
    unsigned directions = ZqInputEventSink::kHatCentred;
    if (pov & OIS::Pov::North)
        directions |= ZqInputEventSink::kHatUp;
    if (pov & OIS::Pov::South)
        directions |= ZqInputEventSink::kHatDown;
    if (pov & OIS::Pov::East)
        directions |= ZqInputEventSink::kHatRight;
    if (pov & OIS::Pov::West)
        directions |= ZqInputEventSink::kHatLeft;
    return directions;
}

} // namespace

ZqOisInput::~ZqOisInput()
{
    destroy();
}

bool ZqOisInput::create(const std::string& x11Window)
{
    destroy();
    m_window = x11Window;
    if (x11Window.empty())
        return false;
    OIS::ParamList parameters;
    parameters.insert({"WINDOW", x11Window});
    try {
        m_manager = OIS::InputManager::createInputSystem(parameters);
        const int joysticks = m_manager->getNumberOfDevices(OIS::OISJoyStick);
        for (int i = 0; i < joysticks; ++i) {
            // A pad that cannot be opened (no read permission) leaves the others working.
            try {
                auto* joystick = static_cast<OIS::JoyStick*>(m_manager->createInputObject(OIS::OISJoyStick, true));
                joystick->setEventCallback(this);
                m_joysticks.push_back(joystick);
            } catch (const OIS::Exception& error) {
                debugLog("[ZqOisInput] joystick %d: %s", i, error.eText);
            }
        }
    } catch (const OIS::Exception& error) {
        debugLog("[ZqOisInput] no OIS input system: %s", error.eText);
        destroy();
        return false;
    }
    debugLog("[ZqOisInput] %zu joysticks on window %s", m_joysticks.size(), x11Window.c_str());
    return true;
}

void ZqOisInput::destroy()
{
    if (!m_manager)
        return;
    for (OIS::JoyStick* joystick : m_joysticks)
        m_manager->destroyInputObject(joystick);
    m_joysticks.clear();
    OIS::InputManager::destroyInputSystem(m_manager);
    m_manager = nullptr;
}

void ZqOisInput::capture()
{
    if (m_recreate && m_manager) {
        m_recreate = false;
        // Releases of the old devices would never come.
        m_sink.releaseAll();
        const std::string window = m_window;
        create(window);
    }
    if (!m_manager)
        return;
    try {
        for (OIS::JoyStick* joystick : m_joysticks)
            joystick->capture();
    } catch (const OIS::Exception& error) {
        debugLog("[ZqOisInput] capture: %s", error.eText);
    }
}

bool ZqOisInput::buttonPressed(const OIS::JoyStickEvent& event, int button)
{
    m_sink.padButton(padOf(event), button, true);
    return true;
}

bool ZqOisInput::buttonReleased(const OIS::JoyStickEvent& event, int button)
{
    m_sink.padButton(padOf(event), button, false);
    return true;
}

bool ZqOisInput::axisMoved(const OIS::JoyStickEvent& event, int axis)
{
    if (axis < 0 || static_cast<std::size_t>(axis) >= event.state.mAxes.size())
        return true;
    const float value = static_cast<float>(event.state.mAxes[axis].abs) / static_cast<float>(OIS::JoyStick::MAX_AXIS);
    m_sink.padAxis(padOf(event), axis, std::clamp(value, -1.0f, 1.0f));
    return true;
}

bool ZqOisInput::povMoved(const OIS::JoyStickEvent& event, int index)
{
    if (index < 0 || index >= 4)
        return true;
    m_sink.padHat(padOf(event), index, hatDirections(event.state.mPOV[index].direction));
    return true;
}
