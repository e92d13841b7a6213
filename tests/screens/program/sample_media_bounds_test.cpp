// The sample's images as the player decodes them, counted by the textures' own accounting:
// the sample's media all load, and the same pictures swapped for a few bytes that claim
// 8192 x 8192 pixels each cost nothing decoded and a line each.
#include "screens/program/sample_fixture.h"

#include "engine/textures/MediaFixtures.h"
#include "textures/CCTexture2D.h"
#include "textures/CCTextureCache.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using SampleMediaBoundsTest = SampleFieldFixture;

TEST_F(SampleMediaBoundsTest, PicturesCutShortCostNothingDecodedAndALineEach)
{
    ZqSampleGame::write(*ZqModelController::shared(), game.file("data"), ZqDataWriter::Options());
    pressPlayOnTheMenu();
    player.step(30);
    ASSERT_NE(ZqPScreenNavigator::shared()->currentGameScene(), nullptr);
    EXPECT_GT(cocos2d::CCTexture2D::imageBytesInUse(), 0u);
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("[CCTexture2D]"), std::string::npos) << line;
        EXPECT_EQ(line.find("[AudioMixer]"), std::string::npos) << line;
    }
    // Every picture is swapped once the run ends; those it has decoded are each named.
    std::vector<std::filesystem::path> pictures;
    std::vector<std::filesystem::path> decoded;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(game.file("data"))) {
        if (entry.path().extension() == ".png")
            pictures.push_back(entry.path());
        if (cocos2d::CCTextureCache::sharedTextureCache()->textureForKey(entry.path().c_str()))
            decoded.push_back(entry.path());
    }
    player.stop();
    HeadlessPlayer::purgeMedia();
    EXPECT_EQ(cocos2d::CCTexture2D::imageBytesInUse(), 0u);
    ASSERT_GE(decoded.size(), 8u);
    for (const std::filesystem::path& picture : pictures)
        std::ofstream(picture, std::ios::binary | std::ios::trunc) << media::jpegCutShort(8192);
    lines.clear();
    pressPlayOnTheMenu();
    player.step(30);
    EXPECT_EQ(cocos2d::CCTexture2D::imageBytesInUse(), 0u);
    for (const std::filesystem::path& picture : decoded) {
        const std::string refused = picture.string() + ": claims 8192x8192 pixels, more than its 132 bytes hold";
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const std::string& line) { return line.find(refused) != std::string::npos; }))
            << picture;
    }
}

} // namespace
