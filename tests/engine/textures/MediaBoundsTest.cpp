#include "engine/gl/GLFixture.h"
#include "engine/textures/MediaFixtures.h"

#include "label_nodes/CCBMFontConfiguration.h"
#include "label_nodes/CCLabelBMFont.h"
#include "private/CCGL.h"
#include "private/ccFontAtlasFile.h"
#include "private/ccImageFile.h"
#include "sprite_nodes/CCSpriteFrameCache.h"
#include "textures/CCTextureCache.h"

#include <ZqLog.h>

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

using namespace cocos2d;
namespace fs = std::filesystem;

namespace {

std::string plist(const std::string& texture)
{
    return "<plist><dict><key>frames</key><dict><key>f</key><dict><key>frame</key><string>{{0,0},{2,2}}</string>"
           "</dict></dict><key>metadata</key><dict><key>format</key><integer>2</integer>"
           "<key>textureFileName</key><string>" + texture + "</string></dict></dict></plist>";
}

std::string font(const std::string& page)
{
    return "common lineHeight=8 base=6 pages=1\npage id=0 file=\"" + page + "\"\n"
           "char id=65 x=0 y=0 width=2 height=2 xoffset=0 yoffset=0 xadvance=3 page=0\n";
}

// The first bytes of a PNG whose header claims width x height; no pixel data follows.
std::string pngHeader(uint32_t width, uint32_t height)
{
    std::string bytes = "\x89PNG\r\n\x1a\n";
    bytes += std::string("\0\0\0\x0dIHDR", 8);
    for (uint32_t value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += static_cast<char>((value >> shift) & 0xff);
    }
    return bytes + std::string("\x08\x06\0\0\0\0\0\0\0", 9);
}

// A JPEG frame header of one grey component claiming width x height.
std::string jpegFrame(uint32_t width, uint32_t height)
{
    std::string bytes("\xff\xc0\0\x0b\x08", 5);
    bytes += {static_cast<char>(height >> 8), static_cast<char>(height), static_cast<char>(width >> 8),
              static_cast<char>(width)};
    return bytes + std::string("\x01\x01\x11\0", 4);
}

// A quantisation table and the start of a scan: what the decoder reads up to.
std::string jpegTablesAndScan()
{
    return std::string("\xff\xdb\0\x43\0", 5) + std::string(64, '\x01') +
           std::string("\xff\xda\0\x08\x01\x01\0\0\x3f\0", 10);
}

// A JPEG that reaches its frame header, claiming width x height, after one other segment,
// and the start of its scan; no pixel data follows.
std::string jpegHeader(uint32_t width, uint32_t height)
{
    return std::string("\xff\xd8\xff\xe0\0\x04\0\0", 8) + jpegFrame(width, height) + jpegTablesAndScan();
}

// RST0 right after the start (a marker without a length), the frame of 16384 x 16384,
// then an APP1 segment holding a 1x1 frame just where a walk that takes RST0's next two
// bytes (the frame's FF C0) as its length lands.
std::string jpegBehindALengthlessMarker()
{
    std::string bytes = std::string("\xff\xd8\xff\xd0", 4) + jpegFrame(16384, 16384);
    std::string app1 = std::string("\xff\xe1\xff\xff", 4) + std::string(0xfffd, '\0');
    const std::size_t landing = 2 + 2 + 0xffc0;
    app1.replace(landing - bytes.size(), jpegFrame(1, 1).size(), jpegFrame(1, 1));
    return bytes + app1 + jpegTablesAndScan();
}

class MediaBoundsTest : public GLFixture {
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        fs::create_directories(dir.file("data/atlases"));
        fs::create_directories(dir.file("data/fonts"));
        fs::create_directories(dir.file("data/images"));
        ASSERT_TRUE(media::writePng(dir.file("data/images/ok.png"), 2, 2, [](int, int) { return media::Rgba{}; }));
        // Inside the game's folder but beside its data, and wholly outside the root.
        ASSERT_TRUE(media::writePng(dir.file("outside.png"), 2, 2, [](int, int) { return media::Rgba{}; }));
        zqSetLogSink([this](const char* line) { lines.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        CCTextureCache::purgeSharedTextureCache();
        GLFixture::TearDown();
    }

    // Log lines since the last call, which must be exactly one holding every part.
    void expectOneLine(std::initializer_list<std::string> parts)
    {
        ASSERT_EQ(lines.size(), 1u) << (lines.empty() ? "" : lines[0]);
        for (const std::string& part : parts)
            EXPECT_NE(lines[0].find(part), std::string::npos) << lines[0] << " lacks " << part;
        lines.clear();
    }

    media::TempDir dir;
    std::vector<std::string> lines;
};

TEST_F(MediaBoundsTest, AtlasTextureNamesStayInTheDataFolder)
{
    CCSpriteFrameCache* frames = CCSpriteFrameCache::sharedSpriteFrameCache();
    for (const std::string name : {"../../outside.png", "../../../../../../../../tmp/x.png", "/outside.png"}) {
        SCOPED_TRACE(name);
        media::writeText(dir.file("data/atlases/a.plist"), plist(name));
        frames->addSpriteFramesWithFile("data/atlases/a.plist");
        EXPECT_EQ(frames->spriteFrameByName("f"), nullptr);
        expectOneLine({"a.plist", "\"" + name + "\""});
    }
    // A name that stays inside loads.
    media::writeText(dir.file("data/atlases/a.plist"), plist("../images/ok.png"));
    frames->addSpriteFramesWithFile("data/atlases/a.plist");
    EXPECT_NE(frames->spriteFrameByName("f"), nullptr);
    EXPECT_TRUE(lines.empty());
}

TEST_F(MediaBoundsTest, FontPagesStayInTheDataFolderAndAFailedFontIsLoggedOnce)
{
    media::writeText(dir.file("data/fonts/climb.fnt"), font("../../outside.png"));
    for (int label = 0; label < 15; ++label)
        EXPECT_EQ(CCLabelBMFont::create("A", "data/fonts/climb.fnt"), nullptr);
    expectOneLine({"climb.fnt", "\"../../outside.png\""});

    for (int label = 0; label < 15; ++label)
        EXPECT_EQ(CCLabelBMFont::create("A", "data/fonts/missing.fnt"), nullptr);
    expectOneLine({"missing.fnt", "missing"});

    media::writeText(dir.file("data/fonts/ok.fnt"), font("../images/ok.png"));
    EXPECT_NE(CCLabelBMFont::create("A", "data/fonts/ok.fnt"), nullptr);
    EXPECT_TRUE(lines.empty());
}

TEST_F(MediaBoundsTest, DevicesPipesAndHugeFilesAreRefusedAtOnce)
{
    ASSERT_EQ(mkfifo(dir.file("data/atlases/fifo.plist").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.file("data/fonts/zero.fnt"));
    std::ofstream(dir.file("data/images/huge.png")).close();
    fs::resize_file(dir.file("data/images/huge.png"), 2ull << 30);

    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("data/atlases/fifo.plist");
    expectOneLine({"fifo.plist", "not a regular file"});
    EXPECT_EQ(CCLabelBMFont::create("A", "data/fonts/zero.fnt"), nullptr);
    expectOneLine({"zero.fnt", "leads outside the game folder"});
    EXPECT_EQ(CCTextureCache::sharedTextureCache()->addImage("data/images/huge.png"), nullptr);
    expectOneLine({"huge.png", "larger than 64 MiB"});
}

// What stands where an atlas page should be is named, not called missing.
TEST_F(MediaBoundsTest, AnAtlasPageThatIsNoFileIsNamedAsWhatItIs)
{
    fs::create_directories(dir.file("data/images/folder.png"));
    ASSERT_EQ(mkfifo(dir.file("data/images/pipe.png").c_str(), 0600), 0);
    CCSpriteFrameCache* frames = CCSpriteFrameCache::sharedSpriteFrameCache();
    for (const std::string name : {"folder.png", "pipe.png"}) {
        media::writeText(dir.file("data/atlases/" + name + ".plist"), plist("../images/" + name));
        frames->addSpriteFramesWithFile(("data/atlases/" + name + ".plist").c_str());
        EXPECT_EQ(frames->spriteFrameByName("f"), nullptr);
    }
    // The texture's line, then the atlas's.
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("folder.png is a directory, not a file"), std::string::npos) << lines[0];
    EXPECT_NE(lines[2].find("pipe.png is a FIFO, not a file"), std::string::npos) << lines[2];
}

// Fonts and atlases are kept for the run and build several times their bytes: a file past
// 8 MiB is refused, a font is read once however many labels use it, and the files of the
// live fonts and loaded atlases hold at most 32 MiB together. The file that would pass the
// budget is refused, naming it and the budget; what is let go of is given back.
TEST_F(MediaBoundsTest, FontAndAtlasFilesStayWithinTheirSizeAndTheirBudget)
{
    CCBMFontConfiguration::purgeFonts();
    ASSERT_EQ(ccFontAtlasBytesInUse(), 0u);
    // A font padded by a line of a tag nobody reads to exactly size bytes.
    const auto writeFont = [&](const std::string& name, std::uint64_t size) {
        std::string text = font("../images/ok.png") + "pad p=";
        text += std::string(size - text.size() - 1, 'p') + "\n";
        media::writeText(dir.file("data/fonts/" + name), text);
    };
    writeFont("over.fnt", kCCMaxFontAtlasFileSize + 1);
    EXPECT_EQ(CCLabelBMFont::create("A", "data/fonts/over.fnt"), nullptr);
    expectOneLine({"over.fnt: larger than 8 MiB"});

    for (int file = 0; file < 4; ++file) {
        const std::string name = "f" + std::to_string(file) + ".fnt";
        writeFont(name, kCCMaxFontAtlasFileSize);
        for (int label = 0; label < 3; ++label)
            EXPECT_NE(CCLabelBMFont::create("A", ("data/fonts/" + name).c_str()), nullptr);
    }
    EXPECT_EQ(CCBMFontConfiguration::create("data/fonts/f0.fnt"), CCBMFontConfiguration::create("data/fonts/f0.fnt"));
    EXPECT_EQ(ccFontAtlasBytesInUse(), kCCMaxFontAtlasBytes);
    EXPECT_TRUE(lines.empty()) << lines[0];
    media::writeText(dir.file("data/atlases/a.plist"), plist("../images/ok.png"));
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("data/atlases/a.plist");
    EXPECT_EQ(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName("f"), nullptr);
    expectOneLine({"[CCSpriteFrameCache] data/atlases/a.plist: its " + std::to_string(plist("../images/ok.png").size()) +
                   " bytes pass the 0 left of the 32 MiB that fonts and atlases may be built from"});

    // The labels go with the autorelease pool; the fonts with the purge.
    CCPoolManager::sharedPoolManager()->pop();
    CCBMFontConfiguration::purgeFonts();
    EXPECT_EQ(ccFontAtlasBytesInUse(), 0u);
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("data/atlases/a.plist");
    EXPECT_NE(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName("f"), nullptr);
    EXPECT_EQ(ccFontAtlasBytesInUse(), plist("../images/ok.png").size());
    CCSpriteFrameCache::sharedSpriteFrameCache()->removeSpriteFrames();
    EXPECT_EQ(ccFontAtlasBytesInUse(), 0u);
    EXPECT_TRUE(lines.empty()) << lines[0];
}

TEST_F(MediaBoundsTest, ImagesClaimingTooManyPixelsAreRefusedBeforeDecoding)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_GT(maxSize, 0);
    const uint32_t overGl = static_cast<uint32_t>(maxSize) + 1;
    const std::pair<const char*, std::string> claims[] = {
        {"wide.png", pngHeader(overGl, 1)},      {"tall.png", pngHeader(1, overGl)},
        {"many.png", pngHeader(8192, 8193)},     {"vast.png", pngHeader(100000, 100000)},
        {"vast.jpg", jpegHeader(60000, 60000)}, {"zero.png", pngHeader(0, 5)}};
    // Each line names the limit the claim passes.
    const std::string side = "more than " + std::to_string(maxSize) + " a side";
    const std::string limits[] = {side, side, "more than 67108864 in all", side, side, "no pixel at all"};
    for (size_t i = 0; i < std::size(claims); ++i) {
        const auto& [name, bytes] = claims[i];
        SCOPED_TRACE(name);
        media::writeText(dir.file(std::string("data/images/") + name), bytes);
        EXPECT_EQ(CCTextureCache::sharedTextureCache()->addImage((std::string("data/images/") + name).c_str()), nullptr);
        expectOneLine({name, "claims", limits[i]});
    }
    media::writeText(dir.file("data/images/text.png"), "GIF89a or anything else");
    EXPECT_EQ(CCTextureCache::sharedTextureCache()->addImage("data/images/text.png"), nullptr);
    expectOneLine({"text.png", "not a PNG, JPEG or icon file"});
}

// Images within the pixel cap can still take GBs together: a JPEG cut short decodes to
// its full claim from a few bytes. Those are refused before decoding, and the textures
// made from images hold at most their budget; real images count while they live.
TEST_F(MediaBoundsTest, DecodedImagesStayWithinTheirBytesAndTheTexturesBudget)
{
    const uint64_t before = CCTexture2D::imageBytesInUse();
    for (int page = 0; page < 8; ++page) {
        const std::string name = "data/images/cut" + std::to_string(page) + ".jpg";
        const std::string bytes = media::jpegCutShort(8192);
        ASSERT_EQ(bytes.size(), 132u);
        media::writeText(dir.file(name), bytes);
        EXPECT_EQ(CCTextureCache::sharedTextureCache()->addImage(name.c_str()), nullptr);
        expectOneLine({name, "claims 8192x8192 pixels, more than its 132 bytes hold (a whole file has 131072 at "
                             "least)"});
    }
    EXPECT_EQ(CCTexture2D::imageBytesInUse(), before);

    // A whole JPEG loads, whatever the blocks its few hundred bytes hold.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 24, SDL_PIXELFORMAT_RGB24);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(IMG_SaveJPG(surface, dir.file("data/images/block.jpg").c_str(), 90), 0) << IMG_GetError();
    SDL_FreeSurface(surface);
    ASSERT_NE(CCTextureCache::sharedTextureCache()->addImage("data/images/block.jpg"), nullptr);
    ASSERT_NE(CCTextureCache::sharedTextureCache()->addImage("data/images/ok.png"), nullptr);
    EXPECT_EQ(CCTexture2D::imageBytesInUse(), before + 8 * 8 * 4 + 2 * 2 * 4);
    CCTextureCache::sharedTextureCache()->removeAllTextures();
    EXPECT_EQ(CCTexture2D::imageBytesInUse(), before);
    EXPECT_TRUE(lines.empty());

    // Past what is left of the budget, a real image is refused by its header.
    const std::string ok = dir.file("data/images/ok.png");
    SDL_Surface* refused = ccLoadImageFile(ok, kCCMaxImageSide, 2 * 2 * 4 - 1, "budget");
    EXPECT_EQ(refused, nullptr);
    expectOneLine({"[budget] image", "ok.png: claims 2x2 pixels, more than the 0 MiB left of the 1024 MiB"});
    SDL_Surface* loaded = ccLoadImageFile(ok, kCCMaxImageSide, 2 * 2 * 4, "budget");
    EXPECT_NE(loaded, nullptr);
    SDL_FreeSurface(loaded);
}

// Measured as its decoder reads it, and refused before a pixel is decoded; a real JPEG
// loads.
TEST_F(MediaBoundsTest, AJpegIsMeasuredAsItsDecoderReadsIt)
{
    uint32_t width = 0;
    uint32_t height = 0;
    const std::string crafted = jpegBehindALengthlessMarker();
    const auto* data = reinterpret_cast<const unsigned char*>(crafted.data());
    ASSERT_TRUE(ccImageHeaderSize(data, crafted.size(), width, height));
    EXPECT_EQ(width, 16384u);
    EXPECT_EQ(height, 16384u);
    media::writeText(dir.file("data/images/rst.jpg"), crafted);
    EXPECT_EQ(CCTextureCache::sharedTextureCache()->addImage("data/images/rst.jpg"), nullptr);
    expectOneLine({"rst.jpg", "claims 16384x16384"});

    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 24, SDL_PIXELFORMAT_RGB24);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(IMG_SaveJPG(surface, dir.file("data/images/real.jpg").c_str(), 90), 0) << IMG_GetError();
    SDL_FreeSurface(surface);
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage("data/images/real.jpg");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getPixelsWide(), 3u);
    EXPECT_EQ(texture->getPixelsHigh(), 2u);
    EXPECT_TRUE(lines.empty());
}

// Names read from media files reach the log escaped and cut: no control byte, and a name
// far longer than a line leaves room for the rest of it.
TEST_F(MediaBoundsTest, NamesReadFromMediaReachTheLogEscapedAndCut)
{
    const std::string names[] = {"\x1b[2J\x1b[31mred\nforged line.png", "../../\x1b]0;title\x07.png",
                                 "../../" + std::string(100000, 'n') + ".png"};
    for (const std::string& name : names) {
        media::writeText(dir.file("data/atlases/a.plist"), plist(name));
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("data/atlases/a.plist");
    }
    media::writeText(dir.file("data/fonts/f.fnt"), font("\x1b[31mpage\x07.png"));
    EXPECT_EQ(CCLabelBMFont::create("A", "data/fonts/f.fnt"), nullptr);
    ASSERT_GE(lines.size(), 4u);
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            << line;
    }
    EXPECT_NE(lines[0].find("\\x1B[2J\\x1B[31mred\\x0Aforged line.png"), std::string::npos) << lines[0];
    EXPECT_NE(lines.back().find("\\x1B[31mpage\\x07.png"), std::string::npos) << lines.back();
    const auto cut = std::find_if(lines.begin(), lines.end(),
                                  [](const std::string& line) { return line.find("nnn...\"") != std::string::npos; });
    ASSERT_NE(cut, lines.end());
    EXPECT_NE(cut->find("taken as missing"), std::string::npos) << *cut;
}

TEST(ImageHeaderTest, SizesComeFromEachFormatsOwnHeader)
{
    uint32_t width = 0;
    uint32_t height = 0;
    const std::string png = pngHeader(300, 200);
    ASSERT_TRUE(ccImageHeaderSize(reinterpret_cast<const unsigned char*>(png.data()), png.size(), width, height));
    EXPECT_EQ(width, 300u);
    EXPECT_EQ(height, 200u);
    const std::string jpeg = jpegHeader(640, 480);
    ASSERT_TRUE(ccImageHeaderSize(reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(), width, height));
    EXPECT_EQ(width, 640u);
    EXPECT_EQ(height, 480u);
    // Cut before the frame header: unknown, not a size of 0.
    EXPECT_FALSE(ccImageHeaderSize(reinterpret_cast<const unsigned char*>(jpeg.data()), 14, width, height));

    // An icon whose directory says 16x16 while its bitmap says 40000 wide and (with its
    // mask) 80000 tall: the bitmap is what the decoder allocates.
    std::string icon("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\x28\0\0\0\x16\0\0\0", 22);
    icon += std::string("\x28\0\0\0\x40\x9c\0\0\x80\x38\x01\0", 12) + std::string(28, '\0');
    ASSERT_TRUE(ccImageHeaderSize(reinterpret_cast<const unsigned char*>(icon.data()), icon.size(), width, height));
    EXPECT_EQ(width, 40000u);
    EXPECT_EQ(height, 40000u);
    // Its image lying past the end of the file.
    icon[18] = '\x7f';
    EXPECT_FALSE(ccImageHeaderSize(reinterpret_cast<const unsigned char*>(icon.data()), icon.size(), width, height));
}

} // namespace
