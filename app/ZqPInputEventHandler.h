#pragma once

#include "app/ZqInputEvents.h"

#include <functional>
#include <climits>
#include <map>
#include <tuple>
#include <utility>

// The road of one input event, from the device glue to the game:
// - a key goes first to the current UI screen's enabled buttons bound to it, which
//   consume it; else one of the ten bindings of the general settings makes it a game
//   action held by that key; else Escape activates the pause button over a game field, or
//   runs the keypad's back. Alt+Enter switches between fullscreen and the window and
//   reaches nothing else. A key's release takes the road its press took, and ends
//   the action its press started.
// - pad buttons 0 jump, 1 shoot, 12 up, 13 right, 14 down, 15 left; a hat presses and
//   releases buttons 12 to 15 (a diagonal two); axes 0 and 1 are the characters' analog
//   axes (y up, a dead zone of 0.2, rescaled to keep the whole range): the stick's
//   position, not a step, so a stick let go stops the push.
// All pads and the keyboard are one player: an action ends when its last holder lets go.
// Main thread only.
class ZqPInputEventHandler : public ZqInputEventSink {
public:
    // What the screens offer the keyboard; installed by them (none: no screen takes keys).
    struct ScreenHooks {
        // The current UI screen's enabled buttons bound to the key take its press or release;
        // true when one did.
        std::function<bool(int key, bool pressed)> buttonKey;
        // Escape over a game field with no screen over it: activates the overlay's first
        // pause button; true when it did.
        std::function<bool()> pauseButton;
        // Alt+Enter: the current UI screen's go-fullscreen or go-windowed operation; true
        // when a screen did it (else the handler switches itself).
        std::function<bool()> toggleFullscreen;
    };

    // Dead zone of the pad's sticks, in the axis' range from -1 to 1.
    static constexpr float kDeadZone = 0.2f;

    void setScreenHooks(ScreenHooks hooks) { m_screen = std::move(hooks); }

    void keyPressed(int editorKey) override;
    void keyReleased(int editorKey) override;
    void padButton(int pad, int button, bool pressed) override;
    void padAxis(int pad, int axis, float value) override;
    void padHat(int pad, int hat, unsigned directions) override;
    void padRemoved(int pad) override;
    // Every held action ends; keys and pad buttons still down start nothing until pressed
    // again.
    void releaseAll() override;

    // The game action (1 to 10) a key is bound to by the general settings; 0 for none.
    static int boundAction(int editorKey);
    // The game action of a pad button; 0 for none.
    static int padButtonAction(int button);
    // An axis value past the dead zone, rescaled to reach 1 at the end.
    static float withDeadZone(float value);

private:
    // Where a key's press went, so that its release goes there too.
    enum class Route { kNothing, kButton, kAction, kSwallowed };
    // A key down: its road and, on the action road, the action its press started, so that
    // bindings changed meanwhile cannot leave that action held.
    struct KeyDown {
        Route route;
        int action;
    };
    struct Hold {
        int action;
        int device;
        int code;
        bool operator<(const Hold& other) const
        {
            return std::tie(action, device, code) < std::tie(other.action, other.device, other.code);
        }
    };

    void begin(int pad, const Hold& hold);
    void end(const Hold& hold);
    void toggleFullscreen();
    void backOrPause();
    void steer(float x, float y);

    ScreenHooks m_screen;
    std::map<int, KeyDown> m_keysDown;
    bool m_altDown = false;
    static constexpr int kKeyboardPad = INT_MIN;

    // The holds the handler started, with their pad (the keyboard's is kKeyboardPad).
    std::map<Hold, int> m_holds;
    std::map<std::pair<int, int>, unsigned> m_hats;
    float m_axisX = 0.0f;
    float m_axisY = 0.0f;
    int m_axisPad = 0;
};
