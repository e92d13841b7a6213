#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The project's one log function: printf-style, formatted into a 255-character buffer
// (longer lines are cut, the buffer is always terminated), written as one line to
// standard error. Lines carry their class as a tag: "[ZqModelController] load data - fail".
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Bytes read from data, fit for a log line or an error message: bytes outside printable
// ASCII as \xNN, and only the first limit bytes shown ("..." marks the cut), so that damaged
// or hostile text can neither break the log's lines nor flood it.
inline constexpr std::size_t kZqPrintableLimit = 80;
std::string zqPrintable(std::string_view text, std::size_t limit = kZqPrintableLimit);

// Tests capture log lines by installing a sink; an empty function restores standard error.
using ZqLogSink = std::function<void(const char* line)>;
void zqSetLogSink(ZqLogSink sink);
