#pragma once

#include <vector>

class ZqPObjectButton;

// The keyboard keys of the buttons (editor key codes, the model's "Keyboard Key"), which
// the program's input road offers a key first. Only the enabled buttons of the UI screen
// shown (ZqPScreenNavigator::currentUiScreen) take a key, visible or not: an invisible
// button with a key is a keyboard shortcut. A press selects them, its release unselects
// those that took the press and are still bound, and activates those still shown. Buttons
// bind in setModel and unbind in their destructor, so a release after the screen was
// replaced and freed reaches nothing. Process-wide; main thread only.
class ZqPButtonKeys {
public:
    // Whether a button of the shown screen took the key; it is then consumed.
    static bool keyDown(int key);
    // Whether the key's press was taken by buttons; they let go and activate.
    static bool keyUp(int key);

    static void bind(ZqPObjectButton* button, int key);
    // Harmless for a button that is not bound.
    static void unbind(ZqPObjectButton* button);

    // The bound buttons of key, in binding order.
    static std::vector<ZqPObjectButton*> buttonsFor(int key);
};
