#include "label_nodes/CCBMFontConfiguration.h"

#include "ccFontAtlasFile.h"
#include "platform/CCFileUtils.h"

#include <ZqLog.h>

#include <cerrno>
#include <cstdlib>

namespace cocos2d {

namespace {

// Limits that keep every later computation in range: code points, page count, pixels.
constexpr long kMaxCodePoint = 0x10FFFF;
constexpr long kMaxPages = 256;
constexpr long kMaxPixels = 1 << 16;

// The fonts read, by full path: a font is read once for the run, however many labels use it.
std::map<std::string, std::shared_ptr<const CCBMFontConfiguration>> s_fonts;

// The key=value pairs of one line; values may be quoted (spaces inside kept).
using Fields = std::map<std::string, std::string>;

bool splitLine(std::string_view line, std::string& tag, Fields& fields)
{
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
    };
    skipSpace();
    const size_t tagStart = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
        ++i;
    tag = std::string(line.substr(tagStart, i - tagStart));
    for (skipSpace(); i < line.size(); skipSpace()) {
        const size_t keyStart = i;
        while (i < line.size() && line[i] != '=' && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i >= line.size() || line[i] != '=')
            return false;
        const std::string key(line.substr(keyStart, i - keyStart));
        ++i;
        std::string value;
        if (i < line.size() && line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            value = std::string(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const size_t valueStart = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                ++i;
            value = std::string(line.substr(valueStart, i - valueStart));
        }
        fields[key] = value;
    }
    return true;
}

// The integer of fields[key] within [low, high]; false when absent or malformed.
bool readInt(const Fields& fields, const char* key, long low, long high, long& out)
{
    const auto found = fields.find(key);
    if (found == fields.end() || found->second.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(found->second.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high)
        return false;
    out = value;
    return true;
}

} // namespace

CCBMFontConfiguration::~CCBMFontConfiguration()
{
    ccReleaseFontAtlasBytes(m_fileBytes);
}

std::shared_ptr<const CCBMFontConfiguration> CCBMFontConfiguration::create(const char* fntFile)
{
    const std::string fullPath = CCFileUtils::sharedFileUtils()->fullPathForFilename(fntFile ? fntFile : "");
    const auto found = s_fonts.find(fullPath);
    if (found != s_fonts.end())
        return found->second;
    // A file refused is logged by the read.
    ZqFileBytes bytes;
    if (!ccReadFontAtlasFile(fntFile, "CCBMFontConfiguration", bytes))
        return nullptr;
    auto configuration = std::make_shared<CCBMFontConfiguration>();
    configuration->m_fileBytes = bytes.size;
    if (!configuration->parse(std::string_view(reinterpret_cast<const char*>(bytes.data.get()), bytes.size))) {
        debugLog("[CCBMFontConfiguration] malformed font %s", fntFile);
        return nullptr;
    }
    s_fonts.emplace(fullPath, configuration);
    return configuration;
}

void CCBMFontConfiguration::purgeFonts()
{
    s_fonts.clear();
}

bool CCBMFontConfiguration::parse(std::string_view text)
{
    m_nLineHeight = 0;
    m_nBase = 0;
    m_pages.clear();
    m_glyphs.clear();
    m_kerning.clear();
    bool haveCommon = false;
    int lineNumber = 0;
    // Lines are read where they lie in the text, not copied out of it.
    for (size_t start = 0; start < text.size();) {
        const size_t newline = text.find('\n', start);
        const size_t end = newline == std::string_view::npos ? text.size() : newline;
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        std::string tag;
        Fields fields;
        if (!splitLine(line, tag, fields)) {
            debugLog("[CCBMFontConfiguration] line %d: not key=value pairs", lineNumber);
            return false;
        }
        bool ok = true;
        long a = 0, b = 0, c = 0;
        if (tag == "common") {
            long pages = 1;
            ok = readInt(fields, "lineHeight", 1, kMaxPixels, a) && readInt(fields, "base", 0, kMaxPixels, b)
                 && (!fields.count("pages") || readInt(fields, "pages", 1, kMaxPages, pages));
            if (ok) {
                haveCommon = true;
                m_nLineHeight = static_cast<int>(a);
                m_nBase = static_cast<int>(b);
                m_pages.assign(static_cast<size_t>(pages), std::string());
            }
        } else if (tag == "page") {
            ok = haveCommon && readInt(fields, "id", 0, static_cast<long>(m_pages.size()) - 1, a)
                 && fields.count("file") && !fields["file"].empty();
            if (ok)
                m_pages[static_cast<size_t>(a)] = fields["file"];
        } else if (tag == "char") {
            ccBMFontDef def;
            long x = 0, y = 0, w = 0, h = 0, advance = 0, page = 0;
            ok = haveCommon && readInt(fields, "id", 0, kMaxCodePoint, a) && readInt(fields, "x", 0, kMaxPixels, x)
                 && readInt(fields, "y", 0, kMaxPixels, y) && readInt(fields, "width", 0, kMaxPixels, w)
                 && readInt(fields, "height", 0, kMaxPixels, h)
                 && readInt(fields, "xoffset", -kMaxPixels, kMaxPixels, b)
                 && readInt(fields, "yoffset", -kMaxPixels, kMaxPixels, c)
                 && readInt(fields, "xadvance", -kMaxPixels, kMaxPixels, advance)
                 && (!fields.count("page") || readInt(fields, "page", 0, static_cast<long>(m_pages.size()) - 1, page));
            if (ok) {
                def.charID = static_cast<unsigned int>(a);
                def.rect = CCRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                                  static_cast<float>(h));
                def.xOffset = static_cast<int>(b);
                def.yOffset = static_cast<int>(c);
                def.xAdvance = static_cast<int>(advance);
                def.page = static_cast<unsigned int>(page);
                m_glyphs[def.charID] = def;
            }
        } else if (tag == "kerning") {
            long amount = 0;
            ok = readInt(fields, "first", 0, kMaxCodePoint, a) && readInt(fields, "second", 0, kMaxCodePoint, b)
                 && readInt(fields, "amount", -kMaxPixels, kMaxPixels, amount);
            if (ok)
                m_kerning[{static_cast<unsigned int>(a), static_cast<unsigned int>(b)}] = static_cast<int>(amount);
        }
        if (!ok) {
            debugLog("[CCBMFontConfiguration] line %d: bad \"%s\" line", lineNumber, zqPrintable(tag).c_str());
            return false;
        }
    }
    if (!haveCommon || m_glyphs.empty()) {
        debugLog("[CCBMFontConfiguration] no \"common\" line or no glyph");
        return false;
    }
    for (size_t page = 0; page < m_pages.size(); ++page) {
        if (m_pages[page].empty()) {
            debugLog("[CCBMFontConfiguration] page %d has no file", static_cast<int>(page));
            return false;
        }
    }
    return true;
}

const ccBMFontDef* CCBMFontConfiguration::glyph(unsigned int charID) const
{
    const auto found = m_glyphs.find(charID);
    return found == m_glyphs.end() ? nullptr : &found->second;
}

int CCBMFontConfiguration::kerningAmount(unsigned int first, unsigned int second) const
{
    const auto found = m_kerning.find({first, second});
    return found == m_kerning.end() ? 0 : found->second;
}

} // namespace cocos2d
