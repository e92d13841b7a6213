#include "engine/gl/GLFixture.h"
#include "engine/textures/MediaFixtures.h"

#include "label_nodes/CCLabelBMFont.h"
#include "textures/CCTextureCache.h"

#include <ZqLog.h>

#include <string>
#include <vector>

using namespace cocos2d;

namespace {

// Page: 'A' 3x5 red at (0,0), 'B' 2x4 green at (4,0).
media::Rgba pagePixel(int x, int y)
{
    if (x < 3 && y < 5)
        return {255, 0, 0, 255};
    if (x >= 4 && x < 6 && y < 4)
        return {0, 255, 0, 255};
    return {0, 0, 0, 0};
}

const char* kFont = "info face=\"T\" size=8\n"
                    "common lineHeight=8 base=6 scaleW=8 scaleH=8 pages=1\n"
                    "page id=0 file=\"page.png\"\n"
                    "chars count=3\n"
                    "char id=65 x=0 y=0 width=3 height=5 xoffset=1 yoffset=1 xadvance=5 page=0\n"
                    "char id=66 x=4 y=0 width=2 height=4 xoffset=0 yoffset=3 xadvance=3 page=0\n"
                    "char id=32 x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=2 page=0\n"
                    "kernings count=1\nkerning first=65 second=66 amount=-1\n";

class LabelDrawTest : public GLFixture {
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        ASSERT_TRUE(media::writePng(dir.file("page.png"), 8, 8, pagePixel));
        media::writeText(dir.file("font.fnt"), kFont);
        scene = runScene();
    }
    void TearDown() override
    {
        CCTextureCache::purgeSharedTextureCache();
        GLFixture::TearDown();
    }
    CCLabelBMFont* label(const char* text)
    {
        CCLabelBMFont* made = CCLabelBMFont::create(text, dir.file("font.fnt").c_str());
        EXPECT_NE(made, nullptr);
        made->setAnchorPoint(CCPointZero);
        made->setPosition(CCPoint(10, 10));
        scene->addChild(made);
        return made;
    }

    media::TempDir dir;
    CCScene* scene = nullptr;
};

TEST_F(LabelDrawTest, GlyphsSitWhereTheFontSays)
{
    CCLabelBMFont* text = label("AB");
    EXPECT_EQ(text->getContentSize(), CCSize(7, 8));
    frame();
    // Line top at 18: 'A' at x 11..13, y 12..16; 'B' kerned to x 14..15, y 11..14.
    EXPECT_PIXEL(*this, 11, 12, 255, 0, 0);
    EXPECT_PIXEL(*this, 13, 16, 255, 0, 0);
    EXPECT_PIXEL(*this, 10, 12, 0, 0, 0);
    EXPECT_PIXEL(*this, 11, 17, 0, 0, 0);
    EXPECT_PIXEL(*this, 14, 11, 0, 255, 0);
    EXPECT_PIXEL(*this, 15, 14, 0, 255, 0);
    EXPECT_PIXEL(*this, 16, 12, 0, 0, 0);
    EXPECT_EQ(g_uNumberOfDraws, 1u);

    text->setTracking(3);
    EXPECT_EQ(text->getContentSize(), CCSize(10, 8));
    frame();
    EXPECT_PIXEL(*this, 15, 12, 0, 0, 0);
    EXPECT_PIXEL(*this, 17, 11, 0, 255, 0);
}

// Each glyph is a sprite: a text past the cap draws its first characters, told in one line
// naming the label and its font, however often it is set.
TEST_F(LabelDrawTest, ALabelDrawsAtMostItsCapOfCharacters)
{
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    const std::string full(kCCLabelMaxCharacters, 'A');
    CCLabelBMFont* text = label(full.c_str());
    EXPECT_EQ(text->getChildrenCount(), kCCLabelMaxCharacters);
    const std::string over = "B" + std::string(65536, 'A');
    text->setString(over.c_str());
    text->setString(over.c_str());
    zqSetLogSink({});
    EXPECT_EQ(text->getChildrenCount(), kCCLabelMaxCharacters);
    EXPECT_EQ(text->getContentSize().width, 3.0f + 4095 * 5);
    ASSERT_EQ(lines.size(), 1u);
    for (const char* part : {"label \"BAAA", "font.fnt", "its text of 65537 bytes holds more than the 4096 characters"})
        EXPECT_NE(lines[0].find(part), std::string::npos) << lines[0];
}

TEST_F(LabelDrawTest, LinesBreakAndAlign)
{
    CCLabelBMFont* text = label("AB\nB");
    text->setAlignment(kCCTextAlignmentRight);
    EXPECT_EQ(text->getContentSize(), CCSize(7, 16));
    frame();
    EXPECT_PIXEL(*this, 11, 20, 255, 0, 0);
    EXPECT_PIXEL(*this, 14, 11, 0, 255, 0);
    EXPECT_PIXEL(*this, 11, 11, 0, 0, 0);

    // Width 6 breaks "AB B" at the space; centred in 6: "AB" (7) at -1, "B" (3) at 1.
    text->setString("B AB");
    text->setWidth(6);
    text->setAlignment(kCCTextAlignmentCenter);
    EXPECT_EQ(text->getContentSize(), CCSize(6, 16));
    EXPECT_STREQ(text->getString(), "B AB");
    frame();
    EXPECT_PIXEL(*this, 11, 19, 0, 255, 0);
    EXPECT_PIXEL(*this, 10, 12, 255, 0, 0);
}

TEST_F(LabelDrawTest, ColourAndOpacityReachEveryGlyph)
{
    CCLabelBMFont* text = label("AB");
    text->setColor(ccc3(255, 0, 0));
    frame();
    EXPECT_PIXEL(*this, 11, 12, 255, 0, 0);
    EXPECT_PIXEL(*this, 14, 11, 0, 0, 0);
    text->setOpacity(0);
    frame();
    EXPECT_PIXEL(*this, 11, 12, 0, 0, 0);
    EXPECT_EQ(g_uNumberOfDraws, 0u);
    // Glyphs made after the change take it too.
    text->setString("AAB");
    frame();
    EXPECT_EQ(g_uNumberOfDraws, 0u);
}

// Text drawn at a quarter of its page: an "i" four texels wide whose dot is one row,
// three rows above its stem, is one pixel wide and two high. Linear filtering alone reads
// the rows between dot and stem for the top pixel and loses the dot; filtered from the
// page's halved copies, the top pixel holds the dot's share of its 4 x 4 texels (64).
TEST_F(LabelDrawTest, TextDrawnSmallerThanItsPageKeepsItsThinStrokes)
{
    ASSERT_TRUE(media::writePng(dir.file("thin.png"), 8, 8, [](int x, int y) {
        return x < 4 && y != 1 && y != 2 && y != 3 ? media::Rgba{255, 255, 255, 255} : media::Rgba{0, 0, 0, 0};
    }));
    media::writeText(dir.file("thin.fnt"), "info face=\"T\" size=8\n"
                                           "common lineHeight=8 base=8 scaleW=8 scaleH=8 pages=1\n"
                                           "page id=0 file=\"thin.png\"\n"
                                           "chars count=1\n"
                                           "char id=105 x=0 y=0 width=4 height=8 xoffset=0 yoffset=0 xadvance=4 page=0\n");
    CCLabelBMFont* text = CCLabelBMFont::create("i", dir.file("thin.fnt").c_str());
    ASSERT_NE(text, nullptr);
    text->setAnchorPoint(CCPointZero);
    text->setPosition(CCPoint(10, 10));
    text->setScale(0.25f);
    scene->addChild(text);
    frame();
    EXPECT_GT(pixel(10, 10)[0], 200) << "the stem";
    EXPECT_GT(pixel(10, 11)[0], 40) << "the dot";
    EXPECT_PIXEL(*this, 10, 12, 0, 0, 0);
}

TEST_F(LabelDrawTest, MissingFontOrPageFails)
{
    EXPECT_EQ(CCLabelBMFont::create("A", dir.file("none.fnt").c_str()), nullptr);
    media::writeText(dir.file("nopage.fnt"), std::string(kFont).replace(std::string(kFont).find("page.png"), 8, "gone.png"));
    EXPECT_EQ(CCLabelBMFont::create("A", dir.file("nopage.fnt").c_str()), nullptr);
    CCLabelBMFont* label = new CCLabelBMFont();
    EXPECT_FALSE(label->initWithString("0", dir.file("none.fnt").c_str(), -1, kCCTextAlignmentLeft, CCPointZero));
    label->release();
}

} // namespace
