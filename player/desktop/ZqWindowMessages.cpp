#include "ZqWindowMessages.h"

#include "app/ZqServices.h"

#include <SDL2/SDL.h>
#include <ZqLog.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

Uint32 messageEventType()
{
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

volatile std::sig_atomic_t signalled = 0;
// Set while a message box shows, with the exit status a signal then ends the program with.
volatile std::sig_atomic_t boxShows = 0;
volatile std::sig_atomic_t boxExitStatus = 0;

extern "C" void noteSignal(int)
{
    // The box runs its own event loop: no frame would read the flag.
    if (boxShows)
        _exit(boxExitStatus);
    signalled = 1;
}

// A box would wait for a click that scripted and offscreen runs never give.
bool displayExists()
{
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

} // namespace

namespace ZqWindowMessages {

bool post(int message, std::intptr_t parameter)
{
    const Uint32 type = messageEventType();
    if (type == static_cast<Uint32>(-1))
        return false;
    SDL_Event event{};
    event.type = type;
    event.user.code = message;
    event.user.data1 = reinterpret_cast<void*>(parameter);
    if (SDL_PushEvent(&event) < 0) {
        debugLog("[ZqWindowMessages] message %d not posted: %s", message, SDL_GetError());
        return false;
    }
    return true;
}

bool read(const SDL_Event& event, int& message, std::intptr_t& parameter)
{
    if (event.type != messageEventType())
        return false;
    message = event.user.code;
    parameter = reinterpret_cast<std::intptr_t>(event.user.data1);
    return true;
}

void closeOnSignals()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // A hang-up (the terminal closed, a logout) and a quit from the terminal end the run as a
    // request to terminate does.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaction(signal, &action, nullptr);
    // A save past the file-size limit then fails with EFBIG, as on a full disk, instead of
    // killing the program halfway through its write.
    std::signal(SIGXFSZ, SIG_IGN);
    // A log line to a pipe whose reader has gone (a launcher that exited first, `| head`)
    // then fails with EPIPE, which the log passes over, instead of ending the run unsaved.
    std::signal(SIGPIPE, SIG_IGN);
}

bool closeIfSignalled()
{
    if (!signalled)
        return false;
    signalled = 0;
    debugLog("[ZqWindowMessages] signal: closing");
    return post(ZqServices::kMessageClose);
}

} // namespace ZqWindowMessages

namespace {

// A message is read by a person: a few lines of it at most, with room for two paths.
constexpr std::size_t kMessageLength = 4 * kZqLogLineLength;

// Messages carry text from data and the environment (names, paths, a hook's value): escaped
// and cut as the log's lines are, so that none can forge a line or flood the terminal.
std::string printable(const std::string& message)
{
    return zqPrintable(message, kMessageLength);
}

// One line on standard error and, where a display exists, a box over the window that waits
// for the player. A signal while it shows ends the program at once with exitStatus.
void reportInBox(Uint32 kind, const std::string& title, const std::string& message, SDL_Window* window,
                 int exitStatus)
{
    const std::string shown = printable(message);
    std::fprintf(stderr, "%s\n", shown.c_str());
    std::fflush(stderr);
    if (!displayExists())
        return;
    boxExitStatus = exitStatus;
    boxShows = 1;
    if (signalled)
        _exit(exitStatus);
    SDL_ShowSimpleMessageBox(kind, printable(title).c_str(), shown.c_str(), window);
    boxShows = 0;
}

} // namespace

void zqReportFatalError(const std::string& message, SDL_Window* window, int exitStatus)
{
    reportInBox(SDL_MESSAGEBOX_ERROR, "The game cannot start", message, window, exitStatus);
}

void zqReportWarning(const std::string& title, const std::string& message, SDL_Window* window)
{
    reportInBox(SDL_MESSAGEBOX_WARNING, title, message, window, 0);
}

void zqReportHookError(const std::string& message)
{
    std::fprintf(stderr, "%s\n", printable(message).c_str());
    std::fflush(stderr);
}
