// Label models: alignment and font tokens, size, and the bitmap-font label node they build
// (anchor, alignment, tracking, text) on a headless GL view, with no engine object leaked.
#include "media_shape_support.h"

#include "engine/gl/headless_view.h"
#include "engine/textures/MediaFixtures.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelLevelSection.h"
#include "platform/CCEGLViewSDL.h"
#include "label_nodes/CCLabelBMFont.h"
#include "textures/CCTextureCache.h"

#include <filesystem>

namespace {

using namespace cocos2d;

using LabelTest = scene_test::SceneTest;

TEST_F(LabelTest, AlignmentFollowsTheTextSource)
{
    const std::shared_ptr<ZqModelObjectLabel> label = ZqModelObjectLabel::create();
    EXPECT_EQ(label->name(), "Untitled");
    EXPECT_FALSE(label->stickToEdge());
    EXPECT_EQ(label->alignment(), "");
    EXPECT_EQ(label->alignmentIndex(), 1);

    label->m_alignment->setValue("kCCTextAlignmentRight");
    EXPECT_EQ(label->alignmentIndex(), 2);
    label->m_alignment->setValue("kCCTextAlignmentLeft");
    EXPECT_EQ(label->alignmentIndex(), 0);
    label->m_alignment->setValue("kCCTextAlignmentLeftX");
    EXPECT_EQ(label->alignmentIndex(), 1);

    // A fixed text is always centred.
    label->m_action->setValue("kCustomVector");
    label->m_alignment->setValue("kCCTextAlignmentRight");
    EXPECT_EQ(label->alignment(), "kCCTextAlignmentCenter");
    EXPECT_EQ(label->alignmentIndex(), 1);
}

TEST_F(LabelTest, FontIdAndSize)
{
    const std::shared_ptr<ZqModelObjectLabel> label = ZqModelObjectLabel::create();
    const std::vector<std::pair<std::string, int>> ids = {{"12", 12}, {"  7 ", 7}, {"3x", 3}, {"", 0}, {"x3", 0}};
    for (const auto& [text, id] : ids) {
        label->m_font->setValue(text);
        EXPECT_EQ(label->fontId(), id) << '"' << text << '"';
    }
    EXPECT_EQ(label->contentSize(5.0f), CCSize(100, 100));
    label->m_calculatedSize->setValue(CCSize(240, 32));
    EXPECT_EQ(label->contentSize(0.0f), CCSize(240, 32));
    const auto copy = modelCast<ZqModelObjectLabel>(label->duplicate(false, false));
    EXPECT_EQ(copy->contentSize(0.0f), CCSize(240, 32));
    EXPECT_EQ(copy->fontId(), 0);
}

const char* kFont = "info face=\"T\" size=8\n"
                    "common lineHeight=8 base=6 scaleW=8 scaleH=8 pages=1\n"
                    "page id=0 file=\"page.png\"\n"
                    "chars count=3\n"
                    "char id=48 x=0 y=0 width=3 height=5 xoffset=0 yoffset=1 xadvance=4 page=0\n"
                    "char id=65 x=4 y=0 width=3 height=5 xoffset=0 yoffset=1 xadvance=4 page=0\n"
                    "char id=32 x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=2 page=0\n";

// A game data directory with font model files on a headless GL view.
class LabelEngineTest : public scene_test::SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        CCPoolManager::sharedPoolManager()->finalize();
        CCDirector::sharedDirector()->purgeDirector();
        m_baseline = CCObject::liveObjectCount();
        m_view = makeHeadlessView(32, 32);
        ASSERT_TRUE(m_view);
        CCFileUtils::sharedFileUtils()->setResourceRoot(m_root.file(""));
        std::filesystem::create_directories(m_root.file("data/fonts"));
        font = controller().createModel<ZqModelFont>();
        const std::string stem = "data/fonts/ZqModelFont_ID" + std::to_string(font->id());
        ASSERT_TRUE(media::writePng(m_root.file("data/fonts/page.png"), 8, 8,
                                    [](int, int) { return media::Rgba{255, 255, 255, 255}; }));
        media::writeText(m_root.file(stem + ".fnt"), kFont);
        label = controller().createModel<ZqModelObjectLabel>();
        label->m_font->setValue(std::to_string(font->id()));
    }
    void TearDown() override
    {
        if (!m_view) {
            SceneTest::TearDown();
            return;
        }
        CCFileUtils::sharedFileUtils()->setResourceRoot("");
        CCTextureCache::purgeSharedTextureCache();
        SceneTest::TearDown(); // drains the autorelease pool
        CCDirector::sharedDirector()->purgeDirector();
        m_view.reset();
        EXPECT_EQ(CCObject::liveObjectCount(), m_baseline) << "engine objects leaked";
    }

    media::TempDir m_root;
    long m_baseline = 0;
    std::unique_ptr<CCEGLViewSDL> m_view;
    std::shared_ptr<ZqModelFont> font;
    std::shared_ptr<ZqModelObjectLabel> label;
};

TEST_F(LabelEngineTest, AnchorAlignmentAndTracking)
{
    label->m_alignment->setValue("kCCTextAlignmentRight");
    label->m_tracking->setValue(2.7f);
    CCLabelBMFont* right = label->createLabel();
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->retainCount(), 1u); // the caller's reference only: nothing autoreleased
    EXPECT_EQ(right->getAnchorPoint(), ccp(1.0f, 0.5f));
    EXPECT_EQ(right->getTracking(), 2);
    EXPECT_STREQ(right->getString(), "0");
    EXPECT_EQ(right->getAlignment(), kCCTextAlignmentLeft);
    right->release();

    label->m_alignment->setValue("kCCTextAlignmentLeft");
    label->m_tracking->setValue(-2.7f);
    CCLabelBMFont* left = label->createLabel();
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->getAnchorPoint(), ccp(0.0f, 0.5f));
    EXPECT_EQ(left->getTracking(), -2);

    // Held by a parent node, the label goes with it once the caller lets go.
    CCNode* parent = CCNode::create();
    parent->addChild(left);
    left->release();
    EXPECT_EQ(left->retainCount(), 1u);

    label->m_alignment->setValue("");
    label->m_tracking->setValue(1e30f); // saturates instead of overflowing
    CCLabelBMFont* centre = label->createLabel();
    ASSERT_NE(centre, nullptr);
    EXPECT_EQ(centre->getAnchorPoint(), ccp(0.5f, 0.5f));
    EXPECT_EQ(centre->getTracking(), INT_MAX);
    centre->release();
}

TEST_F(LabelEngineTest, TextOfEachSource)
{
    label->m_action->setValue("kCustomVector");
    label->m_text->setValue("A 0A");
    label->m_alignment->setValue("kCCTextAlignmentRight");
    CCLabelBMFont* fixed = label->createLabel();
    ASSERT_NE(fixed, nullptr);
    EXPECT_STREQ(fixed->getString(), "A 0A");
    EXPECT_EQ(fixed->getAnchorPoint(), ccp(0.5f, 0.5f));
    fixed->release();

    // The section where the next game starts; "0" without one.
    label->m_action->setValue("kStartSceneName");
    const auto section = controller().createModel<ZqModelLevelSection>();
    section->setName("Canyon");
    for (const auto& [destination, text] : std::vector<std::pair<unsigned, std::string>>{
             {0u, "0"}, {font->id(), "0"}, {section->id(), "Canyon"}}) {
        scene_test::testAnswers().destination = static_cast<int>(destination);
        CCLabelBMFont* start = label->createLabel();
        ASSERT_NE(start, nullptr);
        EXPECT_STREQ(start->getString(), text.c_str()) << destination;
        start->release();
    }
    scene_test::testAnswers().destination = 0;

    label->m_action->setValue("kScoreVector");
    CCLabelBMFont* score = label->createLabel();
    ASSERT_NE(score, nullptr);
    EXPECT_STREQ(score->getString(), "0");
    EXPECT_EQ(score->getAnchorPoint(), ccp(1.0f, 0.5f));
    score->release();
}

TEST_F(LabelEngineTest, NoFontNoLabel)
{
    label->m_font->setValue("");
    EXPECT_EQ(label->createLabel(), nullptr);
    label->m_font->setValue(std::to_string(label->id())); // a model, but not a font
    EXPECT_EQ(label->createLabel(), nullptr);
    label->m_font->setValue(std::to_string(font->id()));
    std::filesystem::remove(m_root.file("data/fonts/ZqModelFont_ID" + std::to_string(font->id()) + ".fnt"));
    EXPECT_EQ(label->createLabel(), nullptr);
}

} // namespace
