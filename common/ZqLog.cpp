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
    char buffer[256] = "";
    if (format) {
        va_list args;
        va_start(args, format);
        // vsnprintf always terminates and cuts what does not fit.
        if (vsnprintf(buffer, sizeof buffer, format, args) < 0)
            buffer[0] = '\0';
        va_end(args);
    }

    if (logSink())
        logSink()(buffer);
    else
        fprintf(stderr, "%s\n", buffer);
}

void zqSetLogSink(ZqLogSink sink)
{
    logSink() = std::move(sink);
}
