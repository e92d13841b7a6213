#pragma once

#include <functional>

// The project's one log function: printf-style, formatted into a 255-character buffer
// (longer lines are cut, the buffer is always terminated), written as one line to
// standard error. Lines carry their class as a tag: "[ZqModelController] load data - fail".
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Tests capture log lines by installing a sink; an empty function restores standard error.
using ZqLogSink = std::function<void(const char* line)>;
void zqSetLogSink(ZqLogSink sink);
