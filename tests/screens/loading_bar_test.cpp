// The loading bar: its placement from the model's curves, its children's opacity and the
// bar it draws for the loading progress.
#include "screens/ZqPObjectLoadingBar.h"

#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "screen_gl_fixture.h"

#include <algorithm>

namespace {

using namespace cocos2d;

class LoadingBarTest : public ScreenGLFixture {
protected:
    std::shared_ptr<ZqModelObjectLoadingBar> barModel(CCPoint position)
    {
        auto model = ZqModelObjectLoadingBar::create();
        model->m_position->setValue(position, true);
        return model;
    }

    // The grey of the bar over the black background (alpha 0.75 of 0.75 white).
    static constexpr int kGrey = 143;

    // A line on a pixel boundary lands on either side of it: the brighter of the two
    // pixels before and at (x, y), across the line.
    int verticalLine(int x, int y) { return std::max(red(x - 1, y), red(x, y)); }
    int horizontalLine(int x, int y) { return std::max(red(x, y - 1), red(x, y)); }
};

TEST_F(LoadingBarTest, TakesItsPlacementFromTheModelAndFadesItsChildren)
{
    auto model = barModel(CCPoint(300, 100));
    model->m_rotation->setValue(15.0f, true);
    model->m_scale->setValue(CCPoint(2.0f, 0.5f), true);
    ZqPObjectLoadingBar* bar = ZqPObjectLoadingBar::create(model);
    EXPECT_EQ(bar->getPosition(), CCPoint(300, 100));
    EXPECT_FLOAT_EQ(bar->getRotation(), 15.0f);
    EXPECT_FLOAT_EQ(bar->getScaleX(), 2.0f);
    EXPECT_FLOAT_EQ(bar->getScaleY(), 0.5f);
    EXPECT_EQ(bar->getUserData(), model.get());
    EXPECT_EQ(bar->getContentSize(), model->contentSize(0.0f));

    CCNodeRGBA* child = CCNodeRGBA::create();
    bar->addChild(child);
    model->m_opacity->setValue(1.2f, true);
    bar->update(0.1f);
    EXPECT_EQ(child->getOpacity(), 255);
    model->m_opacity->setValue(-0.1f, true);
    bar->update(0.1f);
    EXPECT_EQ(child->getOpacity(), 0);
    model->m_opacity->setValue(0.5f, true);
    bar->draw();
    EXPECT_EQ(child->getOpacity(), 127);
    model->m_position->setValue(CCPoint(10, 20), true);
    bar->update(0.0f);
    EXPECT_EQ(bar->getPosition(), CCPoint(10, 20));

    ZqPObjectLoadingBar* empty = ZqPObjectLoadingBar::create(nullptr);
    empty->setPosition(CCPoint(5, 6));
    empty->update(1.0f);
    EXPECT_EQ(empty->getPosition(), CCPoint(5, 6)) << "without a model nothing moves";
    frame(); // drains the autoreleased nodes
}

TEST_F(LoadingBarTest, DrawsTheOutlineAndFillsItAsFarAsTheProgress)
{
    CCScene* scene = runScene();
    ZqPObjectLoadingBar* bar = ZqPObjectLoadingBar::create(barModel(CCPoint(240, 160)));
    scene->addChild(bar);

    // A fresh controller has read nothing: only the outline, 400 x 4 around (240, 160).
    ASSERT_EQ(ZqModelLoader::shared()->loadingProgress(), 0);
    frame();
    EXPECT_NEAR(verticalLine(40, 160), kGrey, 3);
    EXPECT_NEAR(verticalLine(440, 160), kGrey, 3);
    EXPECT_NEAR(horizontalLine(240, 158), kGrey, 3);
    EXPECT_NEAR(horizontalLine(240, 162), kGrey, 3);
    EXPECT_EQ(red(100, 160), 0);
    EXPECT_EQ(red(240, 165), 0);
    EXPECT_EQ(red(30, 160), 0);

    // Everything read.
    ZqModelLoader::shared()->nextPhase();
    ZqModelLoader::shared()->nextPhase();
    ASSERT_EQ(ZqModelLoader::shared()->loadingProgress(), 100);
    frame();
    EXPECT_NEAR(red(100, 160), kGrey, 3);
    EXPECT_NEAR(red(400, 160), kGrey, 3);
    EXPECT_EQ(red(450, 160), 0);
}

TEST_F(LoadingBarTest, HalfTheProgressFillsTheLeftHalf)
{
    CCScene* scene = runScene();
    ZqPObjectLoadingBar* bar = ZqPObjectLoadingBar::create(barModel(CCPoint(240, 160)));
    bar->setVisible(false);
    scene->addChild(bar);
    // Drawn by hand at 50 %, in the scene's coordinates as the visit would.
    class HalfBar : public CCNode {
    public:
        ZqPObjectLoadingBar* bar = nullptr;
        void draw() override { bar->drawBar(0.5f); }
    };
    HalfBar* half = new HalfBar();
    half->autorelease();
    half->bar = bar;
    scene->addChild(half);
    frame();
    EXPECT_NEAR(red(60, 160), kGrey, 3);
    EXPECT_NEAR(red(230, 160), kGrey, 3);
    EXPECT_EQ(red(250, 160), 0) << "nothing right of the progress";
    EXPECT_EQ(red(400, 160), 0);
    EXPECT_NEAR(horizontalLine(400, 158), kGrey, 3) << "the outline stays";
    EXPECT_EQ(red(240, 100), 0);
    // The hidden bar itself, at 100 %, drew nothing.
    ZqModelLoader::shared()->nextPhase();
    ZqModelLoader::shared()->nextPhase();
    scene->removeChild(half);
    frame();
    EXPECT_EQ(red(60, 160), 0);
}

} // namespace
