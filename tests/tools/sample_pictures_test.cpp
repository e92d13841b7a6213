// The sample's pictures as written: the bonus room's are drawn like the main world's, not
// blocks of one colour, and the hero's trail is thin speed lines on a clear ground.
#include "tools_test_support.h"

#include "model/ZqAttributeTable.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/scene/ZqModelMedia.h"

#include <cairo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace archive_test;
using namespace tools_test;

namespace {

// A PNG's pixels as cairo reads them: premultiplied ARGB words, alpha in the top byte.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    static unsigned alpha(std::uint32_t pixel) { return pixel >> 24; }
};

Picture readPng(const std::filesystem::path& path)
{
    Picture picture;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        picture.width = cairo_image_surface_get_width(surface);
        picture.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        for (int y = 0; y < picture.height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            picture.pixels.insert(picture.pixels.end(), row, row + picture.width);
        }
    }
    cairo_surface_destroy(surface);
    return picture;
}

class SamplePicturesTest : public ToolsTest {
protected:
    void SetUp() override
    {
        ToolsTest::SetUp();
        ZqDataWriter::Options options;
        ZqSampleGame::write(controller(), m_dir.file("data"), options);
        m_run = loadGame(controller(), m_dir.path().string());
        ASSERT_FALSE(m_run.failed) << m_run.error;
    }

    std::filesystem::path file(const std::string& path) const
    {
        return std::filesystem::path(path).is_absolute() ? std::filesystem::path(path) : m_dir.path() / path;
    }

    TempDir m_dir;
    LoadRun m_run;
};

// Every sprite of the room's atlas shows many colours (a block of one colour shows one);
// the round and arched ones leave their top corners clear.
TEST_F(SamplePicturesTest, TheBonusRoomsPicturesAreDrawnNotBlocks)
{
    const auto atlases = controller().modelsOfClass<ZqModelAtlas>();
    const auto room = std::find_if(atlases.begin(), atlases.end(),
                                   [](const auto& atlas) { return atlas->name() == "Bonus Atlas"; });
    ASSERT_NE(room, atlases.end());
    const Picture image = readPng(file((*room)->imagePath()));
    ASSERT_GT(image.width, 0);
    const std::set<std::string> rounded{"Round Coin", "Wheel 1", "Hub", "Fireball", "Flower", "Frog", "Turret", "Door"};
    std::size_t seen = 0;
    for (const auto& sprite : (*room)->sprites()) {
        SCOPED_TRACE(sprite->name());
        const cocos2d::CCRect place = zqRebindAttribute<ZqAttributeRect>(*sprite, "Source Rect")->value();
        const int left = static_cast<int>(place.origin.x), top = static_cast<int>(place.origin.y);
        const int right = left + static_cast<int>(place.size.width) - 1;
        std::set<std::uint32_t> colours;
        for (int y = top; y < top + static_cast<int>(place.size.height); ++y) {
            for (int x = left; x <= right; ++x) {
                if (Picture::alpha(image.at(x, y)) == 255)
                    colours.insert(image.at(x, y));
            }
        }
        EXPECT_GT(colours.size(), 12u);
        if (rounded.count(sprite->name())) {
            ++seen;
            EXPECT_EQ(Picture::alpha(image.at(left, top)), 0u);
            EXPECT_EQ(Picture::alpha(image.at(right, top)), 0u);
        }
    }
    EXPECT_EQ(seen, rounded.size());
}

// The trail behind the hero shows an image of its own: streaks over a ground that is
// mostly clear, where the plain ribbon's white map drew a solid wedge.
TEST_F(SamplePicturesTest, TheHerosTrailIsThinSpeedLines)
{
    const auto trails = controller().modelsOfClass<ZqModelObjectTrail>();
    ASSERT_EQ(trails.size(), 1u);
    const auto& texture = trails[0]->texture();
    ASSERT_TRUE(texture);
    ASSERT_EQ(texture->sprites().size(), 1u);
    const Picture image = readPng(file(texture->sprites()[0]->effectPath()));
    ASSERT_GT(image.width, 0);
    const auto clear = std::count_if(image.pixels.begin(), image.pixels.end(),
                                     [](std::uint32_t pixel) { return Picture::alpha(pixel) < 16; });
    EXPECT_GT(clear, static_cast<long>(image.pixels.size() * 3 / 4));
    EXPECT_LT(clear, static_cast<long>(image.pixels.size()));
}

} // namespace
