#pragma once

#include "screens/buttons/ZqPObjectButton.h"

// Buttons that hand a link to the platform services instead of running a screen action:
// a press (while enabled) neither plays the release sound nor runs the menu handler.
// Main thread only.

// Opens "URL"; logs "Button URL is empty" without one.
class ZqPObjectButtonUrl : public ZqPObjectButton {
public:
    void activate() override;
};

// Opens the social page of "Facebook URL" and "Facebook ID"; logs when either is empty.
class ZqPObjectButtonFacebook : public ZqPObjectButton {
public:
    void activate() override;
};
