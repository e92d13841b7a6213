#include "ZqLog.h"

#include <cstdarg>
#include <cstdio>

namespace {
ZqLogSink& logSink()
{
    static ZqLogSink sink;
    return sink;
}
}

void debugLog(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    // vsnprintf always terminates and cuts what does not fit.
    const int written = vsnprintf(buffer, sizeof buffer, format ? format : "", args);
    va_end(args);
    if (written < 0)
        buffer[0] = '\0';

    if (logSink())
        logSink()(buffer);
    else
        fprintf(stderr, "%s\n", buffer);
}

void zqSetLogSink(ZqLogSink sink)
{
    logSink() = std::move(sink);
}
