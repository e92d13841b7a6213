#include "ZqTestHooks.h"

#include "ZqKeyTables.h"

#include <SDL2/SDL.h>
#include <ZqLog.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool parseUnsigned(const std::string& text, unsigned& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, value);
    return !text.empty() && status == std::errc() && stop == end;
}

bool parseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, value);
    return !text.empty() && status == std::errc() && stop == end;
}

// A pad's button, axis or hat number: devices have fewer than kPadNumbers.
bool parsePadNumber(const std::string& text, int& value)
{
    return parseInt(text, value) && value >= 0 && value < ZqInputEventSink::kPadNumbers;
}

bool parseFloat(const std::string& text, float& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, value);
    return !text.empty() && status == std::errc() && stop == end;
}

const char* variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// "1" or nothing; anything else is a mistake worth saying.
bool parseSwitch(const char* name, bool& value, std::string& error)
{
    const char* text = variable(name);
    if (!text)
        return true;
    if (std::string(text) != "1" && std::string(text) != "0") {
        error = std::string(name) + ": expected 1 or 0, got '" + text + "'";
        return false;
    }
    value = text[0] == '1';
    return true;
}

constexpr std::pair<const char*, unsigned> kHatNames[] = {
    {"centre", ZqInputEventSink::kHatCentred},
    {"up", ZqInputEventSink::kHatUp},
    {"down", ZqInputEventSink::kHatDown},
    {"left", ZqInputEventSink::kHatLeft},
    {"right", ZqInputEventSink::kHatRight},
    {"up-left", ZqInputEventSink::kHatUp | ZqInputEventSink::kHatLeft},
    {"up-right", ZqInputEventSink::kHatUp | ZqInputEventSink::kHatRight},
    {"down-left", ZqInputEventSink::kHatDown | ZqInputEventSink::kHatLeft},
    {"down-right", ZqInputEventSink::kHatDown | ZqInputEventSink::kHatRight},
};

// The folder a file path names (relative paths are the working directory's).
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool isWritableFolder(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && access(path.c_str(), W_OK | X_OK) == 0;
}

// What stands at a screenshot's path when no picture may be written there: opening a FIFO
// for writing waits for a reader for ever, and a device or a socket is no picture file.
// Null otherwise (nothing there, a file, or a folder, whose write fails at its frame).
const char* unfitScreenshotTarget(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return nullptr;
    if (S_ISFIFO(status.st_mode))
        return "a FIFO";
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return "a device";
    return S_ISSOCK(status.st_mode) ? "a socket" : nullptr;
}

// A directory opens as a stream that reads nothing: it would pass as an empty script.
bool isReadableFile(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), R_OK) == 0;
}

bool parseUpDown(const std::string& word, bool& down)
{
    if (word != "down" && word != "up")
        return false;
    down = word == "down";
    return true;
}

} // namespace

bool ZqTestHooks::fromEnvironment(ZqTestHooks& hooks, std::string& error)
{
    hooks = ZqTestHooks();
    if (!parseSwitch("ZQ_FIXED_STEP", hooks.fixedStep, error) || !parseSwitch("ZQ_DEBUG_DRAW", hooks.debugDraw, error))
        return false;
    if (const char* seed = variable("ZQ_SEED")) {
        unsigned value = 0;
        if (!parseUnsigned(seed, value)) {
            error = std::string("ZQ_SEED: expected a whole number, got '") + seed + "'";
            return false;
        }
        hooks.seed = value;
    }
    if (const char* frame = variable("ZQ_EXIT_FRAME")) {
        if (!parseUnsigned(frame, hooks.exitFrame) || hooks.exitFrame == 0) {
            error = std::string("ZQ_EXIT_FRAME: expected a frame number from 1, got '") + frame + "'";
            return false;
        }
    }
    if (const char* script = variable("ZQ_INPUT_SCRIPT")) {
        if (!isReadableFile(script)) {
            error = std::string("ZQ_INPUT_SCRIPT: '") + script + "' is not a readable regular file";
            return false;
        }
        hooks.inputScript = script;
    }
    if (const char* shots = variable("ZQ_SCREENSHOTS")) {
        std::istringstream list(shots);
        std::string item;
        while (std::getline(list, item, ',')) {
            const std::size_t colon = item.find(':');
            unsigned frame = 0;
            if (colon == std::string::npos || !parseUnsigned(item.substr(0, colon), frame) || frame == 0 ||
                colon + 1 == item.size()) {
                error = "ZQ_SCREENSHOTS: expected frame:path, got '" + item + "'";
                return false;
            }
            const std::string path = item.substr(colon + 1);
            if (hooks.exitFrame != 0 && frame > hooks.exitFrame) {
                error = "ZQ_SCREENSHOTS: frame " + std::to_string(frame) + " of '" + item + "' comes after ZQ_EXIT_FRAME " +
                        std::to_string(hooks.exitFrame);
                return false;
            }
            if (const char* kind = unfitScreenshotTarget(path)) {
                error = "ZQ_SCREENSHOTS: '" + path + "' is " + kind + ", not a file for the picture";
                return false;
            }
            if (!isWritableFolder(folderOf(path))) {
                error = "ZQ_SCREENSHOTS: the folder of '" + path + "' (" + folderOf(path) + ") cannot be written";
                return false;
            }
            hooks.screenshots.emplace_back(frame, path);
        }
    }
    return true;
}

bool ZqInputScript::load(const std::string& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "ZQ_INPUT_SCRIPT: cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str(), error);
}

bool ZqInputScript::parse(const std::string& text, std::string& error)
{
    m_events.clear();
    m_next = 0;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        Event event;
        std::string reason;
        if (!parseLine(line, event, reason)) {
            error = "ZQ_INPUT_SCRIPT line " + std::to_string(number) + ": " + reason;
            m_events.clear();
            return false;
        }
        m_events.push_back(event);
    }
    std::stable_sort(m_events.begin(), m_events.end(),
                     [](const Event& a, const Event& b) { return a.frame < b.frame; });
    return true;
}

bool ZqInputScript::parseLine(const std::string& line, Event& event, std::string& error) const
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    // The stream splits on vertical tabs and form feeds too: such a line has no word.
    if (words.empty()) {
        error = "no event on the line";
        return false;
    }
    if (!parseUnsigned(words[0], event.frame) || event.frame == 0) {
        error = "bad frame '" + zqPrintable(words[0]) + "' (frames count from 1)";
        return false;
    }
    const std::string kind = words.size() > 1 ? words[1] : "";
    const std::string what = kind == "pad" && words.size() > 2 ? "pad " + words[2] : kind;
    auto argumentError = [&error, &what](const std::string& expected) {
        error = "'" + zqPrintable(what) + "' expects " + expected;
        return false;
    };
    if (kind == "key") {
        if (words.size() < 4 || !parseUpDown(words[2], event.down))
            return argumentError("down|up NAME");
        // Key names may hold blanks ("Left Shift").
        std::string name = words[3];
        for (std::size_t i = 4; i < words.size(); ++i)
            name += " " + words[i];
        // SDL reads the name up to a NUL byte: "Return\0garbage" is no key's name.
        const SDL_Keycode key = name.find('\0') == std::string::npos ? SDL_GetKeyFromName(name.c_str()) : SDLK_UNKNOWN;
        if (key == SDLK_UNKNOWN) {
            error = "unknown key '" + zqPrintable(name) + "'";
            return false;
        }
        event.kind = Event::kKey;
        event.code = zqEditorKeyFromSdl(key);
        return true;
    }
    if (what == "pad button") {
        if (words.size() != 5 || !parseUpDown(words[3], event.down) || !parsePadNumber(words[4], event.code))
            return argumentError("down|up N, N from 0 to 255");
        event.kind = Event::kPadButton;
        return true;
    }
    if (what == "pad axis") {
        if (words.size() != 5 || !parsePadNumber(words[3], event.code) || !parseFloat(words[4], event.value) ||
            !(event.value >= -1.0f && event.value <= 1.0f))
            return argumentError("N VALUE, N from 0 to 255, VALUE from -1 to 1");
        event.kind = Event::kPadAxis;
        return true;
    }
    if (what == "pad hat") {
        const auto* name = words.size() == 5 ? std::find_if(std::begin(kHatNames), std::end(kHatNames),
                                                            [&words](const auto& hat) { return words[4] == hat.first; })
                                             : std::end(kHatNames);
        if (name == std::end(kHatNames) || !parsePadNumber(words[3], event.code))
            return argumentError("N from 0 to 255 and a direction (up, down-left, centre, ...)");
        event.kind = Event::kPadHat;
        event.hat = name->second;
        return true;
    }
    if (kind == "mouse") {
        if (words.size() != 5 || !parseInt(words[3], event.x) || !parseInt(words[4], event.y))
            return argumentError("down|move|up X Y");
        if (words[2] == "down")
            event.kind = Event::kMouseDown;
        else if (words[2] == "move")
            event.kind = Event::kMouseMove;
        else if (words[2] == "up")
            event.kind = Event::kMouseUp;
        else
            return argumentError("down|move|up X Y");
        return true;
    }
    error = "unknown event '" + zqPrintable(what) + "'";
    return false;
}

void ZqInputScript::play(unsigned frame, ZqInputEventSink& sink, SDL_Window* window)
{
    for (; m_next < m_events.size() && m_events[m_next].frame <= frame; ++m_next) {
        const Event& event = m_events[m_next];
        if (event.frame < frame)
            continue;
        switch (event.kind) {
        case Event::kKey:
            // A key the editor has no code for is ignored, as a real one would be.
            if (event.code != 0) {
                if (event.down)
                    sink.keyPressed(event.code);
                else
                    sink.keyReleased(event.code);
            }
            break;
        case Event::kPadButton:
            sink.padButton(kScriptedPad, event.code, event.down);
            break;
        case Event::kPadAxis:
            sink.padAxis(kScriptedPad, event.code, event.value);
            break;
        case Event::kPadHat:
            sink.padHat(kScriptedPad, event.code, event.hat);
            break;
        case Event::kMouseDown:
        case Event::kMouseUp:
        case Event::kMouseMove: {
            SDL_Event mouse{};
            const Uint32 windowId = window ? SDL_GetWindowID(window) : 0;
            if (event.kind == Event::kMouseMove) {
                mouse.type = SDL_MOUSEMOTION;
                mouse.motion.windowID = windowId;
                mouse.motion.x = event.x;
                mouse.motion.y = event.y;
            } else {
                mouse.type = event.kind == Event::kMouseDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
                mouse.button.windowID = windowId;
                mouse.button.button = SDL_BUTTON_LEFT;
                mouse.button.state = event.kind == Event::kMouseDown ? SDL_PRESSED : SDL_RELEASED;
                mouse.button.clicks = 1;
                mouse.button.x = event.x;
                mouse.button.y = event.y;
            }
            SDL_PushEvent(&mouse);
            break;
        }
        }
    }
}
