#include "ZqUtf8.h"

std::size_t zqUtf8Next(std::string_view text, std::size_t pos, char32_t& code)
{
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    // The second byte's range carries the rules against overlong forms (after 0xE0, 0xF0),
    // surrogates (after 0xED) and code points above U+10FFFF (after 0xF4).
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - pos < length || byte(pos + 1) < low || byte(pos + 1) > high)
        return 0;
    char32_t value = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byte(pos + k);
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3Fu);
    }
    code = value;
    return length;
}

bool zqUtf8Valid(std::string_view text)
{
    char32_t code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = zqUtf8Next(text, pos, code);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}
