#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The longest log line, in characters.
inline constexpr std::size_t kZqLogLineLength = 255;

// The project's one log function: printf-style, formatted into a 255-character buffer
// (longer lines are cut, the buffer is always terminated), written as one line to
// standard error. Lines carry their class as a tag: "[ZqModelController] load data - fail".
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Text read from data, fit for a log line: bytes outside printable ASCII as \xNN, so that
// no control byte (a newline, an escape sequence) or broken text reaches the log, cut to
// at most maxLength characters ending in "..." when longer, so that a huge value costs
// no more than its share of the line (a path: pass kZqLogLineLength).
std::string zqPrintable(std::string_view text, std::size_t maxLength = 80);

// Tests capture log lines by installing a sink; an empty function restores standard error.
using ZqLogSink = std::function<void(const char* line)>;
void zqSetLogSink(ZqLogSink sink);
