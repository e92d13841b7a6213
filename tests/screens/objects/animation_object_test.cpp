// Animation objects: frames built and placed from their parent's centre, the clock against
// "Duration" with loops and the finished callback, visibility, tags and bounding boxes.
#include "screens/field_test_support.h"

#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/ZqPObjectImage.h"
#include "objects/ZqPObjectText.h"

using namespace cocos2d;
using namespace field_test;

namespace {

class AnimationObjectTest : public RuntimeTest {
protected:
    std::shared_ptr<ZqModelAnimation> animationModel(float duration, bool loop, float speed = 1.0f)
    {
        auto model = ZqModelController::shared()->createModel<ZqModelAnimation>();
        model->setDuration(duration);
        model->setLoop(loop);
        static_cast<ZqAttributeFloat*>(model->findAttribute("Speed"))->setValue(speed);
        return model;
    }
    std::shared_ptr<ZqModelObjectImage> frameImage(const std::shared_ptr<ZqModelAnimation>& animation,
                                                   const CCPoint& position, const media::Rgba& colour)
    {
        auto image = imageOf(containerOf({colour}), position);
        image->setStickToEdge(true);
        animation->addChild(image);
        return image;
    }

};

TEST_F(AnimationObjectTest, FramesShowAtTheirPlacesAroundTheObject)
{
    auto model = animationModel(1.0f, true);
    auto red = frameImage(model, CCPoint(-10, 0), {255, 0, 0, 255});
    auto blue = frameImage(model, CCPoint(10, 5), {0, 0, 255, 255});
    ZqPAnimationObject* animation = ZqPAnimationObject::create(model);
    ASSERT_EQ(animation->frameCount(), 2);
    ASSERT_NE(animation->childNodeAt(0), nullptr);
    EXPECT_EQ(animation->childNodeAt(2), nullptr);
    EXPECT_EQ(animation->childNodeAt(-1), nullptr);
    EXPECT_FALSE(red->stickToEdge()) << "frames do not stick to the screen's edges";
    animation->setPosition(CCPoint(30, 20));
    scene->addChild(animation);
    frame();
    EXPECT_PIXEL(*this, 20, 20, 255, 0, 0);
    EXPECT_PIXEL(*this, 40, 25, 0, 0, 255);
    EXPECT_PIXEL(*this, 30, 35, 0, 0, 0);
    EXPECT_TRUE(logged.empty());
}

TEST_F(AnimationObjectTest, NestedFramesArePlacedFromTheirParentFramesCentre)
{
    auto model = animationModel(1.0f, true);
    auto outer = frameImage(model, CCPoint(0, 0), {255, 255, 255, 255});
    auto inner = imageOf(containerOf({{0, 255, 0, 255}}), CCPoint(2, 3));
    outer->addChild(inner);
    model->addChild(inner);
    ZqPAnimationObject* animation = ZqPAnimationObject::create(model);
    CCNode* outerNode = animation->childNodeAt(0);
    CCNode* innerNode = animation->childNodeAt(1);
    ASSERT_TRUE(outerNode && innerNode);
    EXPECT_EQ(innerNode->getParent(), outerNode);
    EXPECT_EQ(innerNode->getPosition(), CCPoint(2 + 4, 3 + 4)) << "from the 8 x 8 parent's centre";

    // A frame whose parent frame made no node goes into the animation itself.
    auto lost = animationModel(1.0f, true);
    auto group = ZqModelController::shared()->createModel<ZqModelObjectGroup>();
    lost->addChild(group);
    auto orphan = imageOf(containerOf({{0, 255, 0, 255}}), CCPoint(1, 1));
    group->addChild(orphan);
    lost->addChild(orphan);
    ZqPAnimationObject* fallback = ZqPAnimationObject::create(lost);
    ASSERT_NE(fallback->childNodeAt(1), nullptr);
    EXPECT_EQ(fallback->childNodeAt(1)->getParent(), fallback);
    EXPECT_EQ(loggedCount("Warning uknown object type"), 1);
}

TEST_F(AnimationObjectTest, LabelsBecomeTextsTaggedWithTheirIdAndKeepTheirPlace)
{
    auto model = animationModel(1.0f, true);
    auto label = labelOf("AB");
    label->setPosition(CCPoint(7, 9));
    model->addChild(label);
    // A unit frame: its runtime class is not there, so it makes no node and no warning.
    model->addChild(ZqModelController::shared()->createModel<ZqModelObjectAssetUnit>());
    ZqPAnimationObject* animation = ZqPAnimationObject::create(model);
    auto* text = dynamic_cast<ZqPObjectText*>(animation->childNodeAt(0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->getTag(), static_cast<int>(label->id()));
    EXPECT_EQ(text->getPosition(), CCPoint(7, 9));
    EXPECT_EQ(text->referenceNode(), nullptr) << "no game field runs";
    EXPECT_EQ(animation->childNodeAt(1), nullptr);
    EXPECT_TRUE(logged.empty());

    // Under a running field a text's reference node is the camera.
    ZqPScreenScene* field = makeField();
    frame();
    ZqPAnimationObject* inField = ZqPAnimationObject::create(model);
    EXPECT_EQ(static_cast<ZqPObjectText*>(inField->childNodeAt(0))->referenceNode(), field->camera());
}

TEST_F(AnimationObjectTest, TheClockLoopsAndCallsBackOncePerRun)
{
    auto model = animationModel(0.5f, true, 2.0f);
    frameImage(model, CCPoint(), {255, 255, 255, 255});
    ZqPAnimationObject* animation = ZqPAnimationObject::create(model);
    int calls = 0;
    animation->setFinishedCallback([&] { ++calls; });
    for (int i = 0; i < 15; ++i)
        animation->update(kStep);
    EXPECT_EQ(calls, 0);
    EXPECT_NEAR(animation->elapsed(), 0.5f, 1e-4f);
    animation->update(kStep);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(animation->elapsed(), 0.0f);
    auto* image = static_cast<ZqPObjectImage*>(animation->childNodeAt(0));
    EXPECT_NEAR(image->time(), 16 * 2.0f * kStep, 1e-4f) << "frames run at the animation's speed";
    for (int i = 0; i < 16; ++i)
        animation->update(kStep);
    EXPECT_EQ(calls, 2);

    // Hidden: neither the clock nor the frames run, but a clock past the end still resets.
    animation->setVisible(false);
    EXPECT_FALSE(image->isVisible());
    const float frameTime = image->time();
    animation->update(kStep);
    EXPECT_EQ(animation->elapsed(), 0.0f);
    EXPECT_EQ(image->time(), frameTime);
    model->setDuration(-1.0f);
    animation->update(kStep);
    EXPECT_EQ(calls, 3);

    // "Duration" 0: every update in which time passes ends a run.
    model->setDuration(0.0f);
    animation->setVisible(true);
    animation->update(kStep);
    animation->update(kStep);
    EXPECT_EQ(calls, 5);

    model->setDuration(1.25f);
    EXPECT_EQ(animation->durationInFrames(), 37);
}

// Owners set an animation's visibility every frame. Image frames follow every change;
// frames that set their own visibility as they update (texts, objects) are told again
// even when the animation's own does not change.
TEST_F(AnimationObjectTest, VisibilityReachesTheFramesEachTimeItIsSet)
{
    auto model = animationModel(1.0f, true);
    frameImage(model, CCPoint(), {255, 255, 255, 255});
    frameImage(model, CCPoint(4, 0), {255, 0, 0, 255});
    ZqPAnimationObject* images = ZqPAnimationObject::create(model);
    for (bool visible : {true, false, false, true, true, false, true}) {
        images->setVisible(visible);
        EXPECT_EQ(images->childNodeAt(0)->isVisible(), visible);
        EXPECT_EQ(images->childNodeAt(1)->isVisible(), visible);
    }

    auto mixedModel = animationModel(1.0f, true);
    frameImage(mixedModel, CCPoint(), {255, 255, 255, 255});
    mixedModel->addChild(labelOf("AB"));
    ZqPAnimationObject* mixed = ZqPAnimationObject::create(mixedModel);
    CCNode* text = mixed->childNodeAt(1);
    ASSERT_NE(dynamic_cast<ZqPObjectText*>(text), nullptr);
    text->setVisible(false);
    mixed->setVisible(true);
    EXPECT_TRUE(text->isVisible());
    EXPECT_TRUE(mixed->childNodeAt(0)->isVisible());
    mixed->setVisible(false);
    text->setVisible(true);
    mixed->setVisible(false);
    EXPECT_FALSE(text->isVisible());
    EXPECT_FALSE(mixed->childNodeAt(0)->isVisible());
}

TEST_F(AnimationObjectTest, WithoutLoopTheFrameAnimationsPauseAtTheEnd)
{
    auto model = animationModel(0.1f, false);
    auto image = imageOf(containerOf({{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}}));
    model->addChild(image);
    ZqPAnimationObject* animation = ZqPAnimationObject::create(model);
    scene->addChild(animation);
    auto* sprite = static_cast<CCSprite*>(animation->childNodeAt(0)->getChildren()->objectAtIndex(0));
    for (int i = 0; i < 7; ++i) {
        animation->update(kStep);
        frame();
    }
    CCSpriteFrame* shown = sprite->displayFrame();
    shown->retain();
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_TRUE(sprite->isFrameDisplayed(shown)) << "paused";
    shown->release();
    animation->restart();
    EXPECT_EQ(animation->elapsed(), 0.0f);
    animation->showFrame(-1);
    frame();
    animation->stop();
    EXPECT_EQ(sprite->numberOfRunningActions(), 0u);
}

TEST_F(AnimationObjectTest, BoundingRectCoversTheChildrenAndNotTheOrigin)
{
    auto model = animationModel(1.0f, true);
    frameImage(model, CCPoint(100, 100), {255, 255, 255, 255});
    ZqPAnimationObject* animation = ZqPAnimationObject::create(model);
    animation->setPosition(CCPoint(200, 300));
    animation->childNodeAt(0)->setScale(2.0f);
    animation->updateBoundingRect();
    EXPECT_EQ(animation->boundingRect(), CCRect(192, 292, 16, 16));
    EXPECT_FALSE(animation->boundingRect().containsPoint(CCPointZero));

    ZqPAnimationObject* empty = ZqPAnimationObject::create(animationModel(1.0f, true));
    empty->setPosition(CCPoint(50, 50));
    empty->updateBoundingRect();
    EXPECT_EQ(empty->boundingRect(), CCRect());
    EXPECT_EQ(empty->frameCount(), 0);
}

TEST_F(AnimationObjectTest, ParentsTagZOrderAndOpacityPassToTheFrames)
{
    auto model = animationModel(1.0f, true);
    frameImage(model, CCPoint(), {255, 255, 255, 255});
    ZqPAnimationObject* animation = ZqPAnimationObject::create(model);
    CCNode* holder = CCNode::create();
    holder->setTag(12);
    scene->addChild(holder, 3);
    holder->addChild(animation, -8);
    EXPECT_EQ(animation->getTag(), 12);
    EXPECT_EQ(animation->childNodeAt(0)->getTag(), 12);
    EXPECT_EQ(animation->getZOrder(), 3);
    animation->setOpacityFactor(0.5f);
    EXPECT_EQ(static_cast<ZqPObjectImage*>(animation->childNodeAt(0))->opacityFactor(), 0.5f);
}

} // namespace
