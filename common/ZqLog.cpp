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

std::string zqPrintable(std::string_view text, std::size_t limit)
{
    std::string out;
    for (const char c : text.substr(0, limit)) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    if (text.size() > limit)
        out += "...";
    return out;
}

void zqSetLogSink(ZqLogSink sink)
{
    logSink() = std::move(sink);
}
