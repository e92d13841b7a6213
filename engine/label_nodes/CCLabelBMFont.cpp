#include "label_nodes/CCLabelBMFont.h"

#include "label_nodes/CCBMFontConfiguration.h"
#include "platform/CCFileUtils.h"
#include "sprite_nodes/CCSprite.h"
#include "textures/CCTexture2D.h"
#include "textures/CCTextureCache.h"

#include <ZqLog.h>
#include <ZqUtf8.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

namespace cocos2d {

namespace {

// Full paths of fonts that could not be used, so that each is logged once, not once a label.
std::set<std::string> s_unusableFonts;

using CodePoints = std::vector<unsigned int>;

// Code points of UTF-8 text, at most limit of them; bytes that do not form a valid
// sequence are skipped. complete tells whether the text held no more.
CodePoints decodeUtf8(const std::string& text, size_t limit, bool& complete)
{
    CodePoints out;
    char32_t code = 0;
    complete = true;
    for (size_t i = 0; i < text.size();) {
        if (out.size() == limit) {
            complete = false;
            break;
        }
        const size_t length = zqUtf8Next(text, i, code);
        if (length == 0) {
            ++i;
            continue;
        }
        out.push_back(static_cast<unsigned int>(code));
        i += length;
    }
    return out;
}

} // namespace

CCLabelBMFont* CCLabelBMFont::create(const char* str, const char* fntFile)
{
    return create(str, fntFile, -1.0f, kCCTextAlignmentLeft, CCPointZero);
}

CCLabelBMFont* CCLabelBMFont::create(const char* str, const char* fntFile, float width, CCTextAlignment alignment,
                                     const CCPoint& imageOffset)
{
    CCLabelBMFont* label = new CCLabelBMFont();
    if (!label->initWithString(str, fntFile, width, alignment, imageOffset)) {
        label->release();
        return nullptr;
    }
    label->autorelease();
    return label;
}

CCLabelBMFont::CCLabelBMFont()
{
    init();
    m_obAnchorPoint = CCPoint(0.5f, 0.5f);
    m_bCascadeColorEnabled = true;
    m_bCascadeOpacityEnabled = true;
}

CCLabelBMFont::~CCLabelBMFont()
{
    for (CCSprite* glyph : m_glyphs)
        glyph->release();
    for (CCTexture2D* page : m_pages)
        page->release();
}

bool CCLabelBMFont::initWithString(const char* str, const char* fntFile, float width, CCTextAlignment alignment,
                                   const CCPoint& imageOffset)
{
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    const std::string fullPath = files->fullPathForFilename(fntFile ? fntFile : "");
    // A font that failed has said why once; every label of it fails quietly after that.
    if (s_unusableFonts.count(fullPath))
        return false;
    std::shared_ptr<const CCBMFontConfiguration> configuration = CCBMFontConfiguration::create(fntFile);
    if (!configuration) {
        s_unusableFonts.insert(fullPath);
        return false;
    }
    std::vector<CCTexture2D*> pages;
    for (const std::string& file : configuration->getPages()) {
        // A name from the file: it must stay inside the game's folder.
        const std::string page = files->pathNamedInFile(fullPath, file);
        CCTexture2D* texture = page.empty() ? nullptr : CCTextureCache::sharedTextureCache()->addImage(page.c_str());
        if (!texture) {
            if (!page.empty())
                debugLog("[CCLabelBMFont] font %s: cannot load page %s", fntFile, zqPrintable(file).c_str());
            s_unusableFonts.insert(fullPath);
            return false;
        }
        pages.push_back(texture);
    }
    // Text is drawn at any size, mostly smaller than its page: filtered between halved
    // copies, its thin strokes stay.
    for (CCTexture2D* page : pages) {
        page->retain();
        page->generateMipmap();
    }
    for (CCTexture2D* page : m_pages)
        page->release();
    m_pages = pages;
    m_pConfiguration = std::move(configuration);
    m_sFontFile = fntFile;
    m_fWidth = width;
    m_eAlignment = alignment;
    m_tImageOffset = imageOffset;
    setString(str);
    return true;
}

void CCLabelBMFont::setString(const char* str)
{
    m_sString = str ? str : "";
    updateLabel();
}

void CCLabelBMFont::setAlignment(CCTextAlignment alignment)
{
    m_eAlignment = alignment;
    updateLabel();
}

void CCLabelBMFont::setWidth(float width)
{
    m_fWidth = width;
    updateLabel();
}

void CCLabelBMFont::setTracking(int tracking)
{
    m_nTracking = tracking;
    updateLabel();
}

CCSprite* CCLabelBMFont::glyphSprite(size_t i, CCTexture2D* texture)
{
    CCSprite* sprite = nullptr;
    if (i < m_glyphs.size()) {
        sprite = m_glyphs[i];
        if (sprite->getTexture() != texture)
            sprite->setTexture(texture);
    } else {
        sprite = CCSprite::createWithTexture(texture);
        sprite->retain();
        m_glyphs.push_back(sprite);
    }
    // The game may have removed the glyphs with the label's children.
    if (sprite->getParent() != this)
        addChild(sprite);
    sprite->setAnchorPoint(CCPointZero);
    sprite->setVisible(true);
    sprite->updateDisplayedColor(m_displayedColor);
    sprite->updateDisplayedOpacity(m_displayedOpacity);
    return sprite;
}

void CCLabelBMFont::updateLabel()
{
    if (!m_pConfiguration)
        return;
    const CCBMFontConfiguration& font = *m_pConfiguration;

    // Pen movement over a line: advances, kerning and tracking between letters.
    auto measure = [&](const CodePoints& line) {
        int pen = 0;
        const ccBMFontDef* previous = nullptr;
        for (unsigned int code : line) {
            const ccBMFontDef* def = font.glyph(code);
            if (!def)
                continue;
            if (previous)
                pen += font.kerningAmount(previous->charID, code) + m_nTracking;
            pen += def->xAdvance;
            previous = def;
        }
        return pen;
    };

    bool complete = true;
    const CodePoints text = decodeUtf8(m_sString, kCCLabelMaxCharacters, complete);
    if (!complete && !m_bToldCut) {
        m_bToldCut = true;
        debugLog("[CCLabelBMFont] label \"%s\" (font %s): its text of %zu bytes holds more than the %zu characters "
                 "a label draws; the rest is not drawn",
                 zqPrintable(m_sString, 40).c_str(), zqPrintable(m_sFontFile).c_str(), m_sString.size(),
                 kCCLabelMaxCharacters);
    }
    std::vector<CodePoints> lines(1);
    for (unsigned int code : text) {
        if (code == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(code);
    }
    if (m_fWidth > 0.0f) {
        std::vector<CodePoints> wrapped;
        for (const CodePoints& line : lines) {
            CodePoints current;
            auto word = line.begin();
            while (word != line.end()) {
                const auto wordEnd = std::find(word, line.end(), static_cast<unsigned int>(' '));
                CodePoints candidate = current;
                if (!current.empty())
                    candidate.push_back(' ');
                candidate.insert(candidate.end(), word, wordEnd);
                if (!current.empty() && static_cast<float>(measure(candidate)) > m_fWidth) {
                    wrapped.push_back(current);
                    current.assign(word, wordEnd);
                } else {
                    current = std::move(candidate);
                }
                word = wordEnd == line.end() ? wordEnd : wordEnd + 1;
            }
            wrapped.push_back(current);
        }
        lines = std::move(wrapped);
    }

    float boxWidth = 0.0f;
    for (const CodePoints& line : lines)
        boxWidth = std::max(boxWidth, static_cast<float>(measure(line)));
    if (m_fWidth > 0.0f)
        boxWidth = m_fWidth;
    const float lineHeight = static_cast<float>(font.getLineHeight());
    const float boxHeight = lineHeight * static_cast<float>(lines.size());

    size_t used = 0;
    for (size_t row = 0; row < lines.size(); ++row) {
        const float lineWidth = static_cast<float>(measure(lines[row]));
        // Whole points, so that glyph texels land on pixels.
        float shift = 0.0f;
        if (m_eAlignment == kCCTextAlignmentCenter)
            shift = std::floor((boxWidth - lineWidth) * 0.5f);
        else if (m_eAlignment == kCCTextAlignmentRight)
            shift = boxWidth - lineWidth;
        const float top = boxHeight - lineHeight * static_cast<float>(row);
        int pen = 0;
        const ccBMFontDef* previous = nullptr;
        for (unsigned int code : lines[row]) {
            const ccBMFontDef* def = font.glyph(code);
            if (!def)
                continue;
            if (previous)
                pen += font.kerningAmount(previous->charID, code) + m_nTracking;
            previous = def;
            if (def->rect.size.width > 0.0f && def->rect.size.height > 0.0f) {
                CCSprite* sprite = glyphSprite(used++, m_pages[def->page]);
                CCRect rect = def->rect;
                rect.origin = rect.origin + m_tImageOffset;
                sprite->setTextureRect(rect);
                sprite->setPosition(CCPoint(shift + static_cast<float>(pen + def->xOffset),
                                            top - static_cast<float>(def->yOffset) - rect.size.height));
            }
            pen += def->xAdvance;
        }
    }
    for (size_t i = used; i < m_glyphs.size(); ++i)
        m_glyphs[i]->setVisible(false);
    setContentSize(CCSize(boxWidth, boxHeight));
}

} // namespace cocos2d
