// Fonts name their file by id and make labels from a real .fnt and page image on a
// headless GL view; the caller owns each label, and releasing it leaves nothing behind.
#include "media_shape_support.h"

#include "engine/gl/GLFixture.h"
#include "engine/textures/MediaFixtures.h"
#include "model/scene/ZqModelFont.h"
#include "label_nodes/CCLabelBMFont.h"
#include "platform/CCFileUtils.h"
#include "textures/CCTextureCache.h"

#include <filesystem>

using namespace cocos2d;

namespace {

const char* kFont = "info face=\"T\" size=8\n"
                    "common lineHeight=8 base=6 scaleW=8 scaleH=8 pages=1\n"
                    "page id=0 file=\"page.png\"\n"
                    "chars count=1\n"
                    "char id=48 x=0 y=0 width=3 height=5 xoffset=0 yoffset=1 xadvance=4 page=0\n";

TEST(FontPathTest, PathNamesTheDataDirectoryAndTheId)
{
    ZqModelController::shared()->reset();
    auto font = ZqModelFont::create();
    EXPECT_EQ(font->name(), "Default Font");
    font->setId(3);
    EXPECT_EQ(font->fontFilePath(), "data/fonts/ZqModelFont_ID3.fnt");
    font->setId(30);
    EXPECT_EQ(font->fontFilePath(), "data/fonts/ZqModelFont_ID30.fnt");

    auto linker = ZqModelLinker::create();
    EXPECT_EQ(linker->torque(), 200.0f);
    EXPECT_EQ(linker->speed(), 0.0f);
    EXPECT_FALSE(linker->isButtonActivated());
    EXPECT_FALSE(linker->objectA());
    ZqModelController::shared()->reset();
}

class FontLabelTest : public GLFixture {
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        ZqModelController::shared()->reset();
        m_root = CCFileUtils::sharedFileUtils()->getResourceRoot();
        CCFileUtils::sharedFileUtils()->setResourceRoot(dir.file(""));
        std::filesystem::create_directories(dir.file("data/fonts"));
        font = ZqModelFont::create();
        font->setId(12);
        ASSERT_TRUE(media::writePng(dir.file("data/fonts/page.png"), 8, 8,
                                    [](int, int) { return media::Rgba{255, 255, 255, 255}; }));
        media::writeText(dir.file("data/fonts/ZqModelFont_ID12.fnt"), kFont);
    }
    void TearDown() override
    {
        font.reset();
        ZqModelController::shared()->reset(); // drains the autorelease pool
        CCFileUtils::sharedFileUtils()->setResourceRoot(m_root);
        CCTextureCache::purgeSharedTextureCache();
        GLFixture::TearDown(); // every engine object must be gone
    }

    media::TempDir dir;
    std::shared_ptr<ZqModelFont> font;

private:
    std::string m_root;
};

TEST_F(FontLabelTest, LabelStartsAtZeroLeftAlignedAndIsOwnedByTheCaller)
{
    CCLabelBMFont* label = font->createLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->getString(), "0");
    EXPECT_EQ(label->getAlignment(), kCCTextAlignmentLeft);
    EXPECT_EQ(label->getAnchorPoint(), ccp(0.0f, 0.5f));
    EXPECT_EQ(label->getContentSize().width, 4.0f);
    // Not autoreleased: draining the pool leaves the caller's reference.
    CCPoolManager::sharedPoolManager()->pop();
    EXPECT_EQ(label->retainCount(), 1u);

    // The usual caller: a parent takes its own reference, the caller releases its one.
    CCNode* parent = CCNode::create();
    parent->retain();
    parent->addChild(label);
    label->release();
    EXPECT_EQ(label->retainCount(), 1u);
    parent->release();
}

TEST_F(FontLabelTest, AMissingFontFileGivesNoLabel)
{
    font->setId(13);
    EXPECT_EQ(font->createLabel(), nullptr);
}

} // namespace
