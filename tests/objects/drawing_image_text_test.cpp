// The drawing and noise functions, the image object and the text object on a headless view.
#include "objects/object_test_support.h"

#include "objects/ZqDrawingFunctions.h"
#include "objects/ZqPObjectImage.h"
#include "objects/ZqPObjectText.h"
#include "label_nodes/CCLabelBMFont.h"

#include <cmath>

using namespace cocos2d;
using namespace field_test;

namespace {

TEST(GradientNoiseTest, ZeroAtWholeNumbersBoundedAndContinuous)
{
    double previous = gradientNoise1D(-50.0);
    for (double x = -50.0; x <= 50.0; x += 0.01) {
        const double value = gradientNoise1D(x);
        EXPECT_GE(value, -1.0);
        EXPECT_LE(value, 1.0);
        EXPECT_LT(std::fabs(value - previous), 0.05) << "a jump at " << x;
        previous = value;
    }
    for (int whole = -20; whole <= 20; ++whole)
        EXPECT_EQ(gradientNoise1D(whole), 0.0) << whole;
    // The tables are fixed for the run: the same input gives the same value.
    EXPECT_EQ(gradientNoise1D(3.3), gradientNoise1D(3.3));
    // Far outside the int range there is no lattice: 0 rather than an undefined conversion.
    EXPECT_EQ(gradientNoise1D(1e300), 0.0);
    EXPECT_EQ(gradientNoise1D(std::nan("")), 0.0);
}

TEST(ProjectPointOnLineTest, FootOfThePerpendicular)
{
    const CCPoint foot = projectPointOnLine(CCPoint(0, 0), CCPoint(10, 0), CCPoint(3, 5));
    EXPECT_NEAR(foot.x, 3.0f, 1e-4f);
    EXPECT_NEAR(foot.y, 0.0f, 1e-4f);

    const CCPoint diagonal = projectPointOnLine(CCPoint(0, 0), CCPoint(10, 10), CCPoint(0, 4));
    EXPECT_NEAR(diagonal.x, 2.0f, 1e-4f);
    EXPECT_NEAR(diagonal.y, 2.0f, 1e-4f);

    // A vertical line far from the origin: the slope is about 1e6, whose square float
    // would lose every digit of the foot's position.
    const CCPoint vertical = projectPointOnLine(CCPoint(500, 0), CCPoint(500, 10), CCPoint(200, 300));
    ASSERT_TRUE(std::isfinite(vertical.x) && std::isfinite(vertical.y));
    EXPECT_NEAR(vertical.x, 500.0f, 0.01f);
    EXPECT_NEAR(vertical.y, 300.0f, 0.01f);
}

class DrawingTest : public ObjectTest {};

TEST_F(DrawingTest, SolidColourSpriteCoversItsSizeAndOwnsItsTexture)
{
    CCSprite* sprite = makeSolidColorSprite(CCSize(kWidth, kHeight / 2), 255, 0, 0, 255);
    ASSERT_NE(sprite, nullptr);
    ASSERT_NE(sprite->getTexture(), nullptr);
    EXPECT_EQ(sprite->getTexture()->retainCount(), 1u) << "only the sprite keeps the texture";
    EXPECT_EQ(sprite->getContentSize(), CCSize(kWidth, kHeight / 2));
    sprite->setAnchorPoint(CCPointZero);
    scene->addChild(sprite);
    frame();
    EXPECT_PIXEL(*this, 2, 2, 255, 0, 0);
    EXPECT_PIXEL(*this, kWidth - 2, kHeight / 2 - 2, 255, 0, 0);
    EXPECT_PIXEL(*this, kWidth / 2, kHeight - 2, 0, 0, 0);
}

class ImageObjectTest : public ObjectTest {
protected:
    ZqPObjectImage* addImage(const std::shared_ptr<ZqModelObjectImage>& model, bool loop = true)
    {
        ZqPObjectImage* image = ZqPObjectImage::create(model, 1.0f, loop);
        scene->addChild(image);
        return image;
    }
    static CCSprite* spriteOf(ZqPObjectImage* image)
    {
        return image->getChildrenCount() ? dynamic_cast<CCSprite*>(image->getChildren()->objectAtIndex(0)) : nullptr;
    }

    const std::vector<media::Rgba> kFive{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255},
                                         {0, 255, 255, 255}};
};

TEST_F(ImageObjectTest, ShowsItsFrameAtItsPlace)
{
    auto model = imageOf(containerOf({{0, 255, 0, 255}}), CCPoint(20, 30));
    ZqPObjectImage* image = addImage(model);
    EXPECT_EQ(image->getPosition(), CCPoint(20, 30));
    frame();
    EXPECT_PIXEL(*this, 20, 30, 0, 255, 0);
    EXPECT_PIXEL(*this, 20, 38, 0, 0, 0);
}

TEST_F(ImageObjectTest, FrameIndexWrapsBothWays)
{
    auto container = containerOf(kFive);
    ZqPObjectImage* image = addImage(imageOf(container));
    CCSprite* sprite = spriteOf(image);
    ASSERT_NE(sprite, nullptr);
    image->setAnimationFrame(7);
    EXPECT_TRUE(sprite->isFrameDisplayed(container->getSpriteFrame(2)));
    image->setAnimationFrame(-1);
    EXPECT_TRUE(sprite->isFrameDisplayed(container->getSpriteFrame(4)));
    image->setAnimationFrame(-6);
    EXPECT_TRUE(sprite->isFrameDisplayed(container->getSpriteFrame(4)));
}

// A frame asked for again is shown again, whatever showed meanwhile: another frame set on
// the sprite, another frame asked (as a mapper asks for a body resting where two frames
// meet), or another container given to the model and then the first again.
TEST_F(ImageObjectTest, TheSameFrameAskedAgainIsShownAgain)
{
    auto container = containerOf(kFive);
    auto model = imageOf(container);
    ZqPObjectImage* image = addImage(model);
    CCSprite* sprite = spriteOf(image);
    ASSERT_NE(sprite, nullptr);
    image->setAnimationFrame(3);
    image->setAnimationFrame(3);
    EXPECT_TRUE(sprite->isFrameDisplayed(container->getSpriteFrame(3)));
    sprite->setDisplayFrame(container->getSpriteFrame(1));
    image->setAnimationFrame(3);
    EXPECT_TRUE(sprite->isFrameDisplayed(container->getSpriteFrame(3)));

    auto other = containerOf({{9, 9, 9, 255}, {8, 8, 8, 255}, {7, 7, 7, 255}, {6, 6, 6, 255}});
    model->setImage(other);
    image->setAnimationFrame(3);
    EXPECT_TRUE(sprite->isFrameDisplayed(other->getSpriteFrame(3)));
    EXPECT_FALSE(sprite->isFrameDisplayed(container->getSpriteFrame(3)));

    model->setImage(container);
    for (int index : {0, 2, 0, 2, 7, 4}) {
        image->setAnimationFrame(index);
        EXPECT_TRUE(sprite->isFrameDisplayed(container->getSpriteFrame(static_cast<unsigned>(index % 5)))) << index;
    }
}

TEST_F(ImageObjectTest, WithoutPictureNothingShowsAndFrameOperationsDoNothing)
{
    auto model = zqCreateModel<ZqModelObjectImage>("bare");
    ZqPObjectImage* image = addImage(model);
    EXPECT_EQ(image->getChildrenCount(), 0u);
    image->setAnimationFrame(3);
    image->pauseAnimation();
    image->resumeAnimation();
    image->stopAnimation();
    image->restart();
    EXPECT_EQ(ZqPObjectImage::create(nullptr, 1.0f, true), nullptr);
}

TEST_F(ImageObjectTest, AutohideFadesOnceWhenTheTimeIsReachedWhileVisible)
{
    auto model = imageOf(containerOf({{255, 255, 255, 255}}));
    model->m_autohide->setValue(3.0f);
    ZqPObjectImage* image = addImage(model);
    CCSprite* sprite = spriteOf(image);
    image->setVisible(false);
    while (image->time() < 3.5f)
        image->update(kStep);
    EXPECT_FALSE(image->isFaded()) << "no fade while hidden";
    image->setVisible(true);
    image->update(kStep);
    EXPECT_TRUE(image->isFaded()) << "the first update after showing starts it";
    EXPECT_EQ(sprite->numberOfRunningActions(), 1u);

    auto second = imageOf(containerOf({{255, 255, 255, 255}}));
    second->m_autohide->setValue(3.0f);
    ZqPObjectImage* visible = addImage(second);
    while (!visible->isFaded()) {
        visible->update(kStep);
        EXPECT_EQ(visible->isFaded(), visible->time() >= 3.0f);
        ASSERT_LT(visible->time(), 3.1f);
    }
    // Two seconds of fade later the picture is gone, and updates leave the opacity alone.
    for (int i = 0; i < 130; ++i)
        frame();
    EXPECT_EQ(spriteOf(visible)->getOpacity(), 0);
    visible->update(kStep);
    EXPECT_EQ(spriteOf(visible)->getOpacity(), 0);
}

TEST_F(ImageObjectTest, OpacityFollowsTheModelTimesTheFactor)
{
    auto model = imageOf(containerOf({{255, 255, 255, 255}}));
    model->m_opacity->setValue(0.5f);
    ZqPObjectImage* image = addImage(model);
    EXPECT_EQ(spriteOf(image)->getOpacity(), 127);
    image->setOpacityFactor(4.0f);
    image->update(0.0f);
    EXPECT_EQ(spriteOf(image)->getOpacity(), 255) << "clamped to 1";

    // Unchanged updates keep it; a restart shows the sprite whole until the next update
    // gives it the model's opacity again.
    image->setOpacityFactor(1.0f);
    image->update(0.0f);
    image->update(0.0f);
    EXPECT_EQ(spriteOf(image)->getOpacity(), 127);
    image->restart();
    EXPECT_EQ(spriteOf(image)->getOpacity(), 255);
    image->update(0.0f);
    EXPECT_EQ(spriteOf(image)->getOpacity(), 127);

    // A second child takes the image's opacity too.
    CCSprite* second = CCSprite::create();
    image->addChild(second);
    image->update(0.0f);
    EXPECT_EQ(second->getOpacity(), 127);
    EXPECT_EQ(spriteOf(image)->getOpacity(), 127);

    // With the second child gone the own sprite alone follows a change; once the own
    // sprite is taken out, the image no longer sets it.
    second->retain();
    image->removeChild(second);
    model->m_opacity->setValue(0.2f);
    image->update(0.0f);
    EXPECT_EQ(spriteOf(image)->getOpacity(), 51);
    EXPECT_EQ(second->getOpacity(), 127);
    CCSprite* own = spriteOf(image);
    own->retain();
    image->removeChild(own);
    image->addChild(second);
    model->m_opacity->setValue(0.6f);
    image->update(0.0f);
    EXPECT_EQ(own->getOpacity(), 51);
    EXPECT_EQ(second->getOpacity(), 153);
    own->release();
    second->release();
}

TEST_F(ImageObjectTest, RestartRunsTheFrameAnimationFromItsFirstFrame)
{
    auto container = containerOf(kFive);
    ZqPObjectImage* image = addImage(imageOf(container), false);
    CCSprite* sprite = spriteOf(image);
    ASSERT_NE(sprite->getActionByTag(ZqModelSpriteContainer::kFrameAnimationTag), nullptr);
    for (int i = 0; i < 6; ++i)
        frame();
    EXPECT_FALSE(sprite->isFrameDisplayed(container->getSpriteFrame(0)));
    image->stopAnimation();
    EXPECT_EQ(sprite->numberOfRunningActions(), 0u);
    image->restart();
    EXPECT_EQ(image->time(), 0.0f);
    ASSERT_NE(sprite->getActionByTag(ZqModelSpriteContainer::kFrameAnimationTag), nullptr);
    frame();
    EXPECT_TRUE(sprite->isFrameDisplayed(container->getSpriteFrame(0)));

    // Paused, the animation holds its frame.
    for (int i = 0; i < 3; ++i)
        frame();
    image->pauseAnimation();
    CCSpriteFrame* held = sprite->displayFrame();
    held->retain();
    for (int i = 0; i < 6; ++i)
        frame();
    EXPECT_TRUE(sprite->isFrameDisplayed(held));
    held->release();
}

class TextObjectTest : public ObjectTest {};

TEST_F(TextObjectTest, ShowsTheLabelsTextAsATextObject)
{
    auto model = labelOf("AB");
    model->setPosition(CCPoint(10, 12));
    ZqPObjectText* text = ZqPObjectText::create(model);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->objectType(), ZqPObject::kTypeText);
    ASSERT_NE(text->label(), nullptr);
    EXPECT_STREQ(text->label()->getString(), "AB");
    EXPECT_EQ(text->label()->getParent(), text);
    EXPECT_EQ(text->label()->retainCount(), 1u) << "the child list holds the only reference";
    EXPECT_EQ(text->getPosition(), CCPoint(10, 12));

    scene->addChild(text);
    text->label()->setString("A");
    text->resetOnRestart();
    EXPECT_STREQ(text->label()->getString(), "AB");
    EXPECT_EQ(text->getChildrenCount(), 1u);
    EXPECT_EQ(ZqPObjectText::create(nullptr), nullptr);
}

TEST_F(TextObjectTest, AMissingFontShowsNothing)
{
    auto model = labelOf("A");
    model->m_font->setValue("999");
    ZqPObjectText* text = ZqPObjectText::create(model);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->label(), nullptr);
    EXPECT_EQ(text->getChildrenCount(), 0u);
    text->resetOnRestart();
}

} // namespace
