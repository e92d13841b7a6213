// Mirrors: the tinted, flipped reflection of what lies above them, rendered by the field's
// mirror pass without recursion, with the UI layer out of it, under a shaken field layer,
// and the mirror list kept right when mirrors and fields go in either order.
#include "screens/field_test_support.h"

#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/ZqDrawingFunctions.h"
#include "objects/assets/ZqPObjectAssetMirror.h"
#include "tools/ZqMediaWriter.h"

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace cocos2d;
using namespace field_test;

namespace {

class MirrorObjectTest : public RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        ASSERT_TRUE(zqmedia::writeEffectMedia(dir.file("data")));
        field = makeField();
        field->update(kStep);
        // White, 8 x 4 points at (28..36, 36..40).
        CCSprite* sprite = makeSolidColorSprite(CCSize(8, 4), 255, 255, 255, 255);
        sprite->setPosition(32, 38);
        field->camera()->addChild(sprite);
    }

    // A magenta-tinting mirror capturing 40 x 20 texels, at (32, 12): it reflects the band
    // from y 22 to 42 into y 22 down to 2.
    ZqPObjectAssetMirror* mirrorIn(ZqPScreenScene* owner, float scaleX = 0.4f, float scaleY = 0.2f)
    {
        auto model = zqCreateModel<ZqModelObjectMirror>("mirror");
        model->m_color->setValue(ccc4f(255, 0, 255, 255));
        model->setScale(CCPoint(scaleX, scaleY));
        auto* mirror = dynamic_cast<ZqPObjectAssetMirror*>(ZqPObjectAsset::createAssetObject(model));
        EXPECT_NE(mirror, nullptr);
        mirror->setPosition(32, 12);
        owner->adoptObject(mirror, nullptr);
        return mirror;
    }

    ZqPScreenScene* field = nullptr;
};

TEST_F(MirrorObjectTest, ShowsTheTintedFlippedImageOfWhatLiesAbove)
{
    ZqPObjectAssetMirror* mirror = mirrorIn(field);
    EXPECT_EQ(field->scenery().mirrors().size(), 1u);
    // A frame shows the capture made at the end of the frame before.
    frame();
    frame();
    ASSERT_NE(mirror->renderTexture(), nullptr);
    EXPECT_EQ(mirror->renderTexture()->getSprite()->getContentSize(), CCSize(40, 20));
    EXPECT_PIXEL(*this, 32, 38, 255, 255, 255);
    // y 36..40 reflects to 4..8.
    EXPECT_PIXEL(*this, 32, 6, 255, 0, 255);
    EXPECT_PIXEL(*this, 32, 10, 0, 0, 0);
    EXPECT_TRUE(mirror->isVisible());
}

TEST_F(MirrorObjectTest, ShakenFieldLayerMovesTheReflectionOnce)
{
    mirrorIn(field);
    // The shake moves the field layer, not the scene.
    field->fieldLayer()->setPosition(5, 3);
    frame();
    frame();
    EXPECT_PIXEL(*this, 37, 41, 255, 255, 255);
    EXPECT_PIXEL(*this, 37, 9, 255, 0, 255);
    EXPECT_PIXEL(*this, 37, 13, 0, 0, 0);
}

TEST_F(MirrorObjectTest, MissingShaderGivesAnUntintedReflection)
{
    std::filesystem::remove(dir.file("data/shaders/WaterReflection.fsh"));
    mirrorIn(field);
    frame();
    frame();
    EXPECT_PIXEL(*this, 32, 6, 255, 255, 255);
}

// A shader is a few KB, and the GL compiler's memory grows with its source: one past 64 KiB
// is refused with a line naming it, and the reflection goes untinted, as when it fails to
// compile. One padded to the cap still tints.
TEST_F(MirrorObjectTest, AShaderSourcePastTheCapIsRefused)
{
    const std::string path = dir.file("data/shaders/WaterReflection.fsh");
    std::string source;
    {
        std::ifstream in(path, std::ios::binary);
        source.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    source += "\n//";
    ASSERT_LT(source.size(), 65536u);
    source.append(65536 - source.size(), 'x');
    std::ofstream(path, std::ios::binary) << source;
    ZqPObjectAssetMirror* tinted = mirrorIn(field);
    frame();
    frame();
    EXPECT_PIXEL(*this, 32, 6, 255, 0, 255);
    tinted->removeFromParent();

    std::ofstream(path, std::ios::binary | std::ios::app) << 'x';
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    mirrorIn(field);
    frame();
    frame();
    zqSetLogSink({});
    EXPECT_PIXEL(*this, 32, 6, 255, 255, 255);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("WaterReflection.fsh: larger than 65536 bytes"), std::string::npos) << lines[0];
}

// Nested macros double the compiler's work with each line, far under the size cap: a shader
// holding a directive a tint does not need is refused however the directive is written,
// and a tint with conditionals and commented-out macros still tints.
TEST_F(MirrorObjectTest, AShaderWithMacrosIsRefusedHoweverTheDirectiveIsWritten)
{
    const std::string path = dir.file("data/shaders/WaterReflection.fsh");
    std::string sample;
    {
        std::ifstream in(path, std::ios::binary);
        sample.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string macros = " A1 A0 A0\n#define A2 A1 A1\n#define A3 A2 A2\n";
    const std::pair<std::string, std::string> refused[] = {
        {"#define A0 1\n#define" + macros, "#define"},
        {"precision lowp float;\n  \t#  \tdefine A0 1\n", "#define"},
        {"#\\\ndefine A0 1\n", "#"},
        {"#def\\\r\nine A0 1\n", "#def"},
        {"/* x */ # /* y\n */ define A0 1\n", "#define"},
        {"// a note \\\n#define A0 1\n", "#define"},
        {"float x; #undef GL_ES\n", "#undef"},
        {"#pragma optimize(off)\n", "#pragma"},
        {"#if 1\n#endif\n", "#if"},
    };
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    for (const auto& [head, directive] : refused) {
        SCOPED_TRACE(head);
        std::ofstream(path, std::ios::binary) << head << sample;
        ZqPObjectAssetMirror* mirror = mirrorIn(field);
        frame();
        frame();
        EXPECT_PIXEL(*this, 32, 6, 255, 255, 255);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("WaterReflection.fsh: holds the directive " + directive + "; a reflection shader "
                                "may hold only #version, #ifdef, #ifndef, #else and #endif"),
                  std::string::npos)
            << lines[0];
        lines.clear();
        mirror->removeFromParent();
    }
    std::ofstream(path, std::ios::binary) << "#ifndef GL_ES\n#else\n#endif\n// #define A0 1\n/* #define A1 2 */\n"
                                          << sample;
    mirrorIn(field);
    frame();
    frame();
    zqSetLogSink({});
    EXPECT_PIXEL(*this, 32, 6, 255, 0, 255);
    EXPECT_TRUE(lines.empty()) << lines[0];
}

TEST_F(MirrorObjectTest, TwoMirrorsRenderWithoutRecursionAndKeepTheOverlay)
{
    CCSprite* button = makeSolidColorSprite(CCSize(4, 4), 0, 255, 0, 255);
    button->setPosition(32, 30);
    field->uiLayer()->addChild(button);
    mirrorIn(field);
    ZqPObjectAssetMirror* tiny = mirrorIn(field, 0.001f, 0.001f);
    EXPECT_EQ(field->scenery().mirrors().size(), 2u);
    g_uNumberOfDraws = 0;
    frame();
    frame();
    EXPECT_EQ(tiny->renderTexture(), nullptr);
    EXPECT_TRUE(field->uiLayer()->isVisible());
    EXPECT_PIXEL(*this, 32, 30, 0, 255, 0);
    // The overlay is in no reflection: 30 reflects to 14.
    EXPECT_PIXEL(*this, 32, 14, 0, 0, 0);
    EXPECT_PIXEL(*this, 32, 6, 255, 0, 255);
}

TEST_F(MirrorObjectTest, MirrorsAndFieldsGoInEitherOrder)
{
    // A mirror that goes while another field is current leaves its own field's list.
    ZqPObjectAssetMirror* mirror = mirrorIn(field);
    ZqPScreenScene* other = ZqPScreenScene::create(sceneModel);
    other->retain();
    mirror->removeFromParent();
    frame();
    EXPECT_TRUE(field->scenery().mirrors().empty());
    frame();

    // A field that goes first lets its mirrors go of it.
    ZqPObjectAssetMirror* kept = mirrorIn(other);
    kept->retain();
    EXPECT_EQ(kept->field(), other);
    other->release();
    EXPECT_EQ(kept->field(), nullptr);
    kept->release();
}

} // namespace
