#pragma once

#include "app/ZqInputEvents.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

// Writes down what reaches it, one line an event: "key+ 88", "key- 88", "button 3 12 +",
// "axis 3 1 0.50", "hat 3 0 9", "removed 3", "releaseAll".
class RecordingSink : public ZqInputEventSink {
public:
    void keyPressed(int editorKey) override { log.push_back("key+ " + std::to_string(editorKey)); }
    void keyReleased(int editorKey) override { log.push_back("key- " + std::to_string(editorKey)); }
    void padButton(int pad, int button, bool pressed) override
    {
        log.push_back("button " + std::to_string(pad) + " " + std::to_string(button) + (pressed ? " +" : " -"));
    }
    void padAxis(int pad, int axis, float value) override
    {
        char text[64];
        std::snprintf(text, sizeof text, "axis %d %d %.2f", pad, axis, value);
        log.emplace_back(text);
    }
    void padHat(int pad, int hat, unsigned directions) override
    {
        log.push_back("hat " + std::to_string(pad) + " " + std::to_string(hat) + " " + std::to_string(directions));
    }
    void padRemoved(int pad) override { log.push_back("removed " + std::to_string(pad)); }
    void releaseAll() override { log.push_back("releaseAll"); }

    std::vector<std::string> log;
};

// SDL's video (offscreen: key names need its key map) and its pads, up for the test.
class SdlSubsystems {
public:
    explicit SdlSubsystems(Uint32 flags) : m_flags(flags)
    {
        if (!SDL_getenv("SDL_VIDEODRIVER"))
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        m_ok = SDL_InitSubSystem(flags) == 0;
    }
    ~SdlSubsystems()
    {
        if (m_ok)
            SDL_QuitSubSystem(m_flags);
    }
    bool ok() const { return m_ok; }

private:
    Uint32 m_flags;
    bool m_ok = false;
};
