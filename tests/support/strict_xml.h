#pragma once

// A strict reader's verdict on a store file: well-formed XML (pugixml) that is UTF-8 as a
// whole (the C library's iconv, not the project's own check) and holds only characters XML
// allows, none of them written as a character reference (pugixml writes control
// characters so, which strict readers refuse).
#include <pugixml.hpp>

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

namespace strict_xml {

// Empty when bytes pass, else what fails.
inline std::string problem(const std::string& bytes)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default,
                                                          pugi::encoding_utf8);
    if (!parsed)
        return std::string("not XML: ") + parsed.description() + " at " + std::to_string(parsed.offset);
    if (!doc.document_element())
        return "no root element";
    if (bytes.find("&#") != std::string::npos)
        return "a character reference at " + std::to_string(bytes.find("&#"));

    iconv_t decoder = iconv_open("UTF-32LE", "UTF-8");
    if (decoder == reinterpret_cast<iconv_t>(-1))
        return "no UTF-8 decoder";
    std::vector<char32_t> codes(bytes.size() + 1);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(codes.data());
    std::size_t outLeft = codes.size() * sizeof(char32_t);
    const std::size_t converted = iconv(decoder, &in, &inLeft, &out, &outLeft);
    iconv_close(decoder);
    if (converted == static_cast<std::size_t>(-1) || inLeft != 0)
        return "not UTF-8 at byte " + std::to_string(bytes.size() - inLeft);
    codes.resize((codes.size() * sizeof(char32_t) - outLeft) / sizeof(char32_t));
    for (const char32_t code : codes) {
        const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                             (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
        if (!allowed)
            return "the character " + std::to_string(static_cast<std::uint32_t>(code)) + " is not allowed in XML";
    }
    return {};
}

} // namespace strict_xml
