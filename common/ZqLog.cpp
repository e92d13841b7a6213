#include "ZqLog.h"

#include <cstdarg>
#include <cstdio>

namespace {

ZqLogSink& logSink()
{
    static ZqLogSink sink;
    return sink;
}

// Writes text to out with every byte outside printable ASCII as \xNN, as far as whole
// characters fit in room: an escape that would not fit is left out whole, never split.
// Returns the characters written.
std::size_t writeEscaped(std::string_view text, char* out, std::size_t room)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::size_t written = 0;
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const bool printable = byte >= 0x20 && byte < 0x7F;
        if (written + (printable ? 1 : 4) > room)
            break;
        if (printable) {
            out[written++] = c;
        } else {
            out[written++] = '\\';
            out[written++] = 'x';
            out[written++] = kHex[byte >> 4];
            out[written++] = kHex[byte & 0xF];
        }
    }
    return written;
}

} // namespace

void debugLog(const char* format, ...)
{
    // Each byte of the formatted text takes at least one character of the line: no more
    // than a line's length of it can show.
    char formatted[kZqLogLineLength + 1] = "";
    if (format) {
        va_list args;
        va_start(args, format);
        // vsnprintf always terminates and cuts what does not fit.
        if (vsnprintf(formatted, sizeof formatted, format, args) < 0)
            formatted[0] = '\0';
        va_end(args);
    }
    // Text from data (names, tokens, members' names) may hold a terminal's control
    // sequences or a newline that would forge a line: escaped here, for every message.
    char line[kZqLogLineLength + 1];
    line[writeEscaped(formatted, line, kZqLogLineLength)] = '\0';

    if (logSink())
        logSink()(line);
    else
        fprintf(stderr, "%s\n", line);
}

std::string zqPrintable(std::string_view text, std::size_t limit)
{
    const std::string_view shown = text.substr(0, limit);
    std::string out(4 * shown.size(), '\0');
    out.resize(writeEscaped(shown, out.data(), out.size()));
    if (text.size() > limit)
        out += "...";
    return out;
}

void zqSetLogSink(ZqLogSink sink)
{
    logSink() = std::move(sink);
}
