#pragma once

#include <SDL2/SDL_events.h>
#include <SDL2/SDL_video.h>

#include <cstdint>
#include <string>

// Messages posted to the program's window (ZqServices::kMessageFullscreen, kMessageClose)
// and handled at its next event poll, on the main thread: SDL user events of one type
// registered for them.
namespace ZqWindowMessages {

// Queues the message. Any thread; false (logged) when SDL's queue refuses it.
bool post(int message, std::intptr_t parameter = 0);
// True when the event is a posted message, which is then given out.
bool read(const SDL_Event& event, int& message, std::intptr_t& parameter);

// SIGINT, SIGTERM, SIGHUP and SIGQUIT post a close from the next closeIfSignalled (the
// handler itself only notes the signal), so that the program ends as a closed window ends
// it, saving progress. While a message box shows, no frame runs: a signal then ends the
// program at once with the box's exit status. SIGXFSZ is ignored: a write past the
// file-size limit fails (EFBIG) and is told as a failed save. SIGPIPE is ignored: a write
// to a pipe nobody reads fails (EPIPE). Keeps SDL from installing its own handlers; call
// it before SDL is initialised.
void closeOnSignals();
// Posts the close a signal asked for; true when it did. Once a frame.
bool closeIfSignalled();

} // namespace ZqWindowMessages

// Says why the program cannot go on: one line on standard error and, where a display
// exists, a message box over the window (null for none). exitStatus is what a signal
// arriving while the box shows ends the program with. Every message here is shown escaped
// and cut (zqPrintable): bytes outside printable ASCII as \xNN, at most 1020 of its bytes.
void zqReportFatalError(const std::string& message, SDL_Window* window, int exitStatus);
// Says what the player should know while the game goes on, in the same two places, in a
// warning's box under title; a signal while it shows ends the program with status 0.
void zqReportWarning(const std::string& title, const std::string& message, SDL_Window* window);
// A test hook's mistake, or a hook that could not do its work: one line on standard error.
void zqReportHookError(const std::string& message);
