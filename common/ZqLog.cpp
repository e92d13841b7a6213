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
    char buffer[kZqLogLineLength + 1] = "";
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

std::string zqPrintable(std::string_view text, std::size_t maxLength)
{
    constexpr std::string_view kCut = "...";
    const std::size_t keep = maxLength > kCut.size() ? maxLength - kCut.size() : 0;
    std::string out;
    // Where the text is cut if it turns out too long: never inside an escape.
    std::size_t cutAt = 0;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
        if (out.size() <= keep)
            cutAt = out.size();
        if (out.size() > maxLength) {
            out.resize(cutAt);
            return out += kCut;
        }
    }
    return out;
}

void zqSetLogSink(ZqLogSink sink)
{
    logSink() = std::move(sink);
}
