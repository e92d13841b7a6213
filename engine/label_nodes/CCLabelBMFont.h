#pragma once

#include "base/CCGeometry.h"
#include "nodes/CCNodeRGBA.h"

#include <cstddef>
#include <memory>

#include <string>
#include <vector>

namespace cocos2d {

class CCBMFontConfiguration;
class CCSprite;
class CCTexture2D;

enum CCTextAlignment {
    kCCTextAlignmentLeft = 0,
    kCCTextAlignmentCenter = 1,
    kCCTextAlignmentRight = 2,
};

// A text drawn with a bitmap font (.fnt text file and its page images). Each glyph is
// a sprite child of the page's texture, so a label's glyphs batch into one draw call
// per page. Colour and opacity cascade to every glyph. Anchor point (0.5, 0.5).
//
// Layout, in points: lines are lineHeight apart, the first at the top of the content
// box; a glyph is drawn at the pen plus its xoffset, yoffset below the line's top; the
// pen moves by xadvance, the kerning of the pair and the tracking. The content box is
// as wide as the longest line, or the set width; lines are aligned inside it. With a
// width > 0, lines break at spaces to fit (a longer word keeps its own line). "\n"
// breaks a line. Text is UTF-8; code points the font lacks are skipped. A label draws at
// most kCCLabelMaxCharacters code points of its text (each glyph is a sprite of about
// 500 bytes, and wrapping measures a line again for each word): the rest is not drawn,
// told once a label.
inline constexpr size_t kCCLabelMaxCharacters = 4096;

class CCLabelBMFont : public CCNodeRGBA {
public:
    // Autoreleased; null (logged) when the font or one of its pages cannot be read.
    static CCLabelBMFont* create(const char* str, const char* fntFile);
    static CCLabelBMFont* create(const char* str, const char* fntFile, float width, CCTextAlignment alignment,
                                const CCPoint& imageOffset);

    CCLabelBMFont();
    ~CCLabelBMFont() override;

    // width <= 0: no wrapping. imageOffset moves every glyph rectangle in its page
    // (fonts placed inside a larger image). False (logged) when the font or a page
    // cannot be read; the label then shows nothing.
    bool initWithString(const char* str, const char* fntFile, float width = -1.0f,
                        CCTextAlignment alignment = kCCTextAlignmentLeft, const CCPoint& imageOffset = CCPointZero);

    // Null is the empty text.
    void setString(const char* str);
    const char* getString() const { return m_sString.c_str(); }
    void setAlignment(CCTextAlignment alignment);
    CCTextAlignment getAlignment() const { return m_eAlignment; }
    void setWidth(float width);
    float getWidth() const { return m_fWidth; }
    // Extra points between consecutive letters of a line (negative tightens).
    void setTracking(int tracking);
    int getTracking() const { return m_nTracking; }

private:
    void updateLabel();
    // The glyph sprite for index i, reused or made.
    CCSprite* glyphSprite(size_t i, CCTexture2D* texture);

    std::shared_ptr<const CCBMFontConfiguration> m_pConfiguration;
    std::vector<CCTexture2D*> m_pages;
    std::vector<CCSprite*> m_glyphs;
    std::string m_sString;
    // As given to initWithString, for the log.
    std::string m_sFontFile;
    // Whether a text past kCCLabelMaxCharacters has been told.
    bool m_bToldCut = false;
    CCTextAlignment m_eAlignment = kCCTextAlignmentLeft;
    float m_fWidth = -1.0f;
    int m_nTracking = 0;
    CCPoint m_tImageOffset;
};

} // namespace cocos2d
