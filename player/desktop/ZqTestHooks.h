#pragma once

#include "app/ZqInputEvents.h"

#include <SDL2/SDL_video.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The environment variables outside checks drive the player with (it has no options):
// ZQ_FIXED_STEP=1 (each frame advances 1/60 s, no sleeping), ZQ_SEED=n (the generator's
// seed instead of the clock), ZQ_INPUT_SCRIPT=path, ZQ_SCREENSHOTS="frame:path,...",
// ZQ_EXIT_FRAME=n (the program ends after frame n, as a close ends it),
// ZQ_DEBUG_DRAW=1 (the physics debug drawing). Frames are numbered from 1, the first
// director frame. (ZQ_DATA_HOME, the store's directory, is the file utilities'.)
struct ZqTestHooks {
    bool fixedStep = false;
    std::optional<unsigned> seed;
    std::string inputScript;
    // After the frame is drawn, a PNG of the window to the path.
    std::vector<std::pair<unsigned, std::string>> screenshots;
    unsigned exitFrame = 0;
    bool debugDraw = false;

    // False, with a message naming the variable, when one is malformed or cannot serve: a
    // screenshot whose folder cannot be written, whose path is a FIFO, a device or a socket,
    // or whose frame comes after ZQ_EXIT_FRAME, an input script that is not a readable
    // regular file.
    static bool fromEnvironment(ZqTestHooks& hooks, std::string& error);
};

// Scripted input, one event a line, each handed to the program at the start of its frame:
//   FRAME key down|up NAME          SDL's key names, through the SDL road's key table
//   FRAME pad button down|up N      from one scripted pad; pad numbers N from 0 to 255
//   FRAME pad axis N VALUE          VALUE from -1 to 1, as devices report it (y down)
//   FRAME pad hat N up|down|left|right|up-left|up-right|down-left|down-right|centre
//   FRAME mouse down|move|up X Y    window pixels from the top-left: the view's touch road
// '#' starts a comment; blank lines are skipped.
class ZqInputScript {
public:
    // The scripted pad's identity: no device has it.
    static constexpr int kScriptedPad = -2;

    // False with "ZQ_INPUT_SCRIPT line N: ..." for the first malformed line, the script's
    // words in it escaped and cut (zqPrintable). Key names need SDL's video subsystem (its
    // key map).
    bool parse(const std::string& text, std::string& error);
    bool load(const std::string& path, std::string& error);

    // Hands on the events of the frame: keys and pads to the sink, the mouse to SDL's
    // queue as events of the window. Frames come in order, one call each.
    void play(unsigned frame, ZqInputEventSink& sink, SDL_Window* window);
    std::size_t size() const { return m_events.size(); }

private:
    struct Event {
        enum Kind { kKey, kPadButton, kPadAxis, kPadHat, kMouseDown, kMouseMove, kMouseUp };
        unsigned frame = 0;
        Kind kind = kKey;
        bool down = false;
        int code = 0;
        float value = 0.0f;
        unsigned hat = 0;
        int x = 0;
        int y = 0;
    };
    bool parseLine(const std::string& line, Event& event, std::string& error) const;

    std::vector<Event> m_events;
    std::size_t m_next = 0;
};
