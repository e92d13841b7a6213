#include "label_nodes/CCBMFontConfiguration.h"

#include <gtest/gtest.h>

#include <string>

using namespace cocos2d;

namespace {

const std::string kHead = "info face=\"Test Font\" size=8 bold=0\r\n"
                          "common lineHeight=10 base=8 scaleW=32 scaleH=32 pages=2\r\n"
                          "page id=0 file=\"page 0.png\"\r\npage id=1 file=\"p1.png\"\r\nchars count=2\r\n";

TEST(BMFontConfigurationTest, ReadsGlyphsPagesAndKerning)
{
    CCBMFontConfiguration font;
    ASSERT_TRUE(font.parse(kHead + "char id=65 x=1 y=2 width=3 height=4 xoffset=-1 yoffset=2 xadvance=5 page=1 chnl=15\n"
                                   "char id=233   x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=4\n"
                                   "kernings count=1\nkerning first=65 second=233 amount=-2\n"));
    EXPECT_EQ(font.getLineHeight(), 10);
    EXPECT_EQ(font.getBase(), 8);
    ASSERT_EQ(font.getPages().size(), 2u);
    EXPECT_EQ(font.getPages()[0], "page 0.png");
    const ccBMFontDef* a = font.glyph(65);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->rect, CCRect(1, 2, 3, 4));
    EXPECT_EQ(a->xOffset, -1);
    EXPECT_EQ(a->yOffset, 2);
    EXPECT_EQ(a->xAdvance, 5);
    EXPECT_EQ(a->page, 1u);
    EXPECT_EQ(font.glyph(233)->page, 0u);
    EXPECT_EQ(font.glyph(66), nullptr);
    EXPECT_EQ(font.kerningAmount(65, 233), -2);
    EXPECT_EQ(font.kerningAmount(233, 65), 0);
}

TEST(BMFontConfigurationTest, RejectsMalformedFonts)
{
    const std::string glyph = "char id=65 x=0 y=0 width=1 height=1 xoffset=0 yoffset=0 xadvance=1\n";
    const char* bad[] = {
        "",
        "char id=65 x=0 y=0 width=1 height=1 xoffset=0 yoffset=0 xadvance=1\n",   // no common
        "common lineHeight=0 base=0\npage id=0 file=a.png\n",                      // zero line height
        "common lineHeight=10 base=8 pages=1\npage id=0 file=a.png\n",             // no glyph
        "common lineHeight=10 base=8 pages=2\npage id=0 file=a.png\n",             // a page missing
        "common lineHeight=10 base=8\npage id=1 file=a.png\n",                     // page id out of range
        "common lineHeight=10 base=8\npage id=0 file=\"a.png\n",                   // open quote
        "common lineHeight=1x base=8\npage id=0 file=a.png\n",                     // not a number
        "common lineHeight=10 base=8\npage id=0 file=a.png\nchar id=66 x=0 y=0 width=-1 height=1 xoffset=0 "
        "yoffset=0 xadvance=1\n",                                                  // negative width
        "common lineHeight=10 base=8\npage id=0 file=a.png\nchar id=66 x=0 y=0 width=1 height=1 xoffset=0 "
        "yoffset=0 xadvance=1 page=3\n",                                           // no such page
        "common lineHeight=10 base=8\npage id=0 file=a.png\nchar id=99999999 x=0 y=0 width=1 height=1 "
        "xoffset=0 yoffset=0 xadvance=1\n",                                        // not a code point
        "common lineHeight=10 base=8\npage id=0 file=a.png\nchar id=66 x=0\n",     // fields missing
    };
    for (const char* text : bad) {
        CCBMFontConfiguration font;
        EXPECT_FALSE(font.parse(text)) << text;
    }
    CCBMFontConfiguration font;
    EXPECT_TRUE(font.parse("common lineHeight=10 base=8\npage id=0 file=a.png\n" + glyph));
    EXPECT_EQ(CCBMFontConfiguration::create("/nonexistent/font.fnt"), nullptr);
}

} // namespace
