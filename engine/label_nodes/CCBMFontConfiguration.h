#pragma once

#include "base/CCGeometry.h"

#include <map>
#include <memory>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cocos2d {

// One glyph of a bitmap font: its rectangle in its page (texture pixels, origin
// top-left), where it is drawn from the pen (xOffset right, yOffset down from the top
// of the line) and how far the pen moves after it; pixels.
struct ccBMFontDef {
    unsigned int charID = 0;
    CCRect rect;
    int xOffset = 0;
    int yOffset = 0;
    int xAdvance = 0;
    unsigned int page = 0;
};

// The contents of a text .fnt file: lines of a tag followed by key=value pairs
// ("info", "common", "page", "chars", "char", "kernings", "kerning"). Used: common's
// lineHeight and base; page id and file; char id, x, y, width, height, xoffset,
// yoffset, xadvance, page; kerning first, second, amount. Other tags and keys are
// ignored.
class CCBMFontConfiguration {
public:
    CCBMFontConfiguration() = default;
    ~CCBMFontConfiguration();
    CCBMFontConfiguration(const CCBMFontConfiguration&) = delete;
    CCBMFontConfiguration& operator=(const CCBMFontConfiguration&) = delete;

    // The font of a .fnt file, read once by its full path and shared until purgeFonts;
    // null (logged) when the file is missing, malformed, or refused by the bounds of font
    // and atlas files (ccFontAtlasFile.h).
    static std::shared_ptr<const CCBMFontConfiguration> create(const char* fntFile);
    // Lets go of every font read (a label still holding one keeps it).
    static void purgeFonts();

    // Reads the text of a .fnt file. False (logged) when a number does not parse, a
    // value is out of range, "common" or a "page" of those it counts is missing, a
    // glyph names a page that does not exist, or no glyph is defined.
    bool parse(std::string_view text);

    int getLineHeight() const { return m_nLineHeight; }
    int getBase() const { return m_nBase; }
    // Page file names as written (relative to the .fnt's directory), by page id.
    const std::vector<std::string>& getPages() const { return m_pages; }
    // The glyph of a code point, or null.
    const ccBMFontDef* glyph(unsigned int charID) const;
    // The extra pen movement between first and second (0 when none), pixels.
    int kerningAmount(unsigned int first, unsigned int second) const;

private:
    int m_nLineHeight = 0;
    int m_nBase = 0;
    std::vector<std::string> m_pages;
    std::map<unsigned int, ccBMFontDef> m_glyphs;
    std::map<std::pair<unsigned int, unsigned int>, int> m_kerning;
    // The file's bytes, counted against the budget of font and atlas files while it lives.
    std::uint64_t m_fileBytes = 0;
};

} // namespace cocos2d
