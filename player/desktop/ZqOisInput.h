#pragma once

#include "app/ZqInputEvents.h"

#include <ois/OISJoyStick.h>

#include <string>
#include <vector>

namespace OIS {
class InputManager;
}

// The joysticks through OIS, attached to an X11 window, reporting to one sink. OIS makes
// no keyboard: as a second client on the window it would get each press in X's
// auto-repeat form, so the keyboard comes from SDL, the window's owner. Nothing is
// grabbed.
//
// OIS finds joysticks only when its input system is made: when a joystick comes or goes,
// the input system is made again at the next capture, every held action let go first.
class ZqOisInput : public OIS::JoyStickListener {
public:
    explicit ZqOisInput(ZqInputEventSink& sink) : m_sink(sink) {}
    ~ZqOisInput() override;
    ZqOisInput(const ZqOisInput&) = delete;
    ZqOisInput& operator=(const ZqOisInput&) = delete;

    // Makes the input system on the X11 window (its id as decimal text), with a buffered
    // joystick for each one connected. False (logged) when OIS
    // cannot be made there (no X display, no such window).
    bool create(const std::string& x11Window);
    bool isCreated() const { return m_manager != nullptr; }
    std::size_t joystickCount() const { return m_joysticks.size(); }

    // Reads the devices; their events reach the sink now. A re-creation asked for is done
    // first.
    void capture();
    void requestRecreate() { m_recreate = true; }

    bool buttonPressed(const OIS::JoyStickEvent& event, int button) override;
    bool buttonReleased(const OIS::JoyStickEvent& event, int button) override;
    bool axisMoved(const OIS::JoyStickEvent& event, int axis) override;
    bool povMoved(const OIS::JoyStickEvent& event, int index) override;

private:
    void destroy();

    ZqInputEventSink& m_sink;
    std::string m_window;
    OIS::InputManager* m_manager = nullptr;
    std::vector<OIS::JoyStick*> m_joysticks;
    bool m_recreate = false;
};
