#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The longest log line, in characters.
inline constexpr std::size_t kZqLogLineLength = 255;

// The project's one log function: printf-style, written as one line of at most 255
// characters to standard error, every byte outside printable ASCII as \xNN (as
// zqPrintable writes it), so that no text from data can break or colour the log; a longer
// line is cut, never inside an escape. Lines carry their class as a tag:
// "[ZqModelController] load data - fail".
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Bytes read from data, fit for a log line or an error message: bytes outside printable
// ASCII as \xNN, and only the first limit bytes shown ("..." marks the cut), so that a long
// name leaves room for the rest of its line (a path: pass kZqLogLineLength). What it
// writes passes the log's own escaping unchanged.
inline constexpr std::size_t kZqPrintableLimit = 80;
std::string zqPrintable(std::string_view text, std::size_t limit = kZqPrintableLimit);

// Tests capture log lines by installing a sink; an empty function restores standard error.
using ZqLogSink = std::function<void(const char* line)>;
void zqSetLogSink(ZqLogSink sink);
