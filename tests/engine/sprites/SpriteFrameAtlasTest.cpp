#include "sprite_nodes/CCSpriteFrameCache.h"

#include <gtest/gtest.h>

#include <string>

using namespace cocos2d;

namespace {

bool parse(const std::string& text, CCSpriteFrameAtlas& atlas)
{
    return ccParseSpriteFrameAtlas(text.data(), text.size(), atlas);
}

std::string plist(const std::string& frames, const std::string& metadata)
{
    return "<plist version=\"1.0\"><dict><key>frames</key><dict>" + frames + "</dict>" + metadata
           + "</dict></plist>";
}

TEST(SpriteFrameAtlasTest, ReadsTrimmedAndRotatedFramesOfBothFormats)
{
    CCSpriteFrameAtlas atlas;
    ASSERT_TRUE(parse(plist("<key>a</key><dict><key>frame</key><string>{{2,3},{10,20}}</string>"
                            "<key>offset</key><string>{1.5,-2}</string><key>rotated</key><true/>"
                            "<key>sourceSize</key><string>{14,26}</string></dict>"
                            "<key>b</key><dict><key>frame</key><string>{{0,0},{4,4}}</string></dict>",
                            "<key>metadata</key><dict><key>format</key><integer>2</integer>"
                            "<key>textureFileName</key><string>sheet.png</string></dict>"),
                      atlas));
    EXPECT_EQ(atlas.textureFileName, "sheet.png");
    ASSERT_EQ(atlas.frames.size(), 2u);
    EXPECT_EQ(atlas.frames[0].name, "a");
    EXPECT_EQ(atlas.frames[0].rect, CCRect(2, 3, 10, 20));
    EXPECT_TRUE(atlas.frames[0].rotated);
    EXPECT_EQ(atlas.frames[0].offset, CCPoint(1.5f, -2));
    EXPECT_EQ(atlas.frames[0].originalSize, CCSize(14, 26));
    // No untrimmed size: the frame is its own.
    EXPECT_FALSE(atlas.frames[1].rotated);
    EXPECT_EQ(atlas.frames[1].originalSize, CCSize(4, 4));

    ASSERT_TRUE(parse(plist("<key>c</key><dict><key>textureRect</key><string>{{1,1},{5,6}}</string>"
                            "<key>spriteOffset</key><string>{1,1}</string><key>textureRotated</key><true/>"
                            "<key>spriteSourceSize</key><string>{7,8}</string></dict>",
                            "<key>metadata</key><dict><key>format</key><integer>3</integer></dict>"),
                      atlas));
    ASSERT_EQ(atlas.frames.size(), 1u);
    EXPECT_EQ(atlas.frames[0].rect, CCRect(1, 1, 5, 6));
    EXPECT_TRUE(atlas.frames[0].rotated);
    EXPECT_EQ(atlas.frames[0].originalSize, CCSize(7, 8));
    EXPECT_TRUE(atlas.textureFileName.empty());
}

TEST(SpriteFrameAtlasTest, RejectsWhatIsNotAnAtlasAndSkipsBadFrames)
{
    CCSpriteFrameAtlas atlas;
    EXPECT_FALSE(parse("<plist><dict><key>frames</key>", atlas));
    EXPECT_FALSE(parse("<plist><dict><key>metadata</key><dict/></dict></plist>", atlas));
    EXPECT_FALSE(parse(plist("", "<key>metadata</key><dict><key>format</key><integer>1</integer></dict>"), atlas));
    EXPECT_FALSE(parse(plist("", "<key>metadata</key><dict><key>format</key><string>x</string></dict>"), atlas));
    EXPECT_FALSE(parse("", atlas));

    ASSERT_TRUE(parse(plist("<key>zero</key><dict><key>frame</key><string>{{0,0},{0,5}}</string></dict>"
                            "<key>junk</key><dict><key>frame</key><string>{{a,b},{c,d}}</string></dict>"
                            "<key>notdict</key><string>{{0,0},{5,5}}</string>"
                            "<key>good</key><dict><key>frame</key><string>{{0,0},{5,5}}</string></dict>",
                            ""),
                      atlas));
    ASSERT_EQ(atlas.frames.size(), 1u);
    EXPECT_EQ(atlas.frames[0].name, "good");
}

} // namespace
