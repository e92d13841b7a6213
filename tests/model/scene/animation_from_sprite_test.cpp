// An animation reference made from a sprite container: a one-frame animation whose frame
// shows the container, registered with the controller.
#include "model/ZqAttributeModel.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"

#include <gtest/gtest.h>

namespace {

// Counts the changes the owner hears of.
class ChangeCounter : public ZqModelObserver {
public:
    void attributeChanged(ZqBaseAttribute*, int) override { ++changes; }
    int changes = 0;
};

class AnimationFromSpriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZqModelController::shared()->reset();
        owner = ZqModelObject::create();
        owner->addObserver(&counter);
        attribute = new ZqAttributeAnimation("Idle Animation", owner.get());
    }
    void TearDown() override
    {
        owner->removeObserver(&counter);
        owner.reset();
        ZqModelController::shared()->reset();
    }

    std::shared_ptr<ZqModelSpriteContainer> containerOf(int count, const std::string& name)
    {
        std::shared_ptr<ZqModelSpriteContainer> container = ZqModelSpriteContainer::create();
        container->setName(name);
        for (int i = 0; i < count; ++i)
            container->addChild(ZqModelSprite::create());
        return container;
    }

    ChangeCounter counter;
    std::shared_ptr<ZqModelObject> owner;
    ZqAttributeAnimation* attribute = nullptr; // owned by owner
};

TEST_F(AnimationFromSpriteTest, EmptyContainerMakesAFramelessRegisteredAnimation)
{
    attribute->setLoop(false);
    attribute->setFromSprite(nullptr);

    const std::shared_ptr<ZqModelAnimation> animation = attribute->value();
    ASSERT_TRUE(animation);
    EXPECT_EQ(ZqModelController::shared()->modelById(animation->id()), animation);
    EXPECT_EQ(animation->frameCount(), 0u);
    EXPECT_FLOAT_EQ(animation->duration(), 3.0f);
    EXPECT_FALSE(animation->isLoop());
    EXPECT_FALSE(attribute->sourceSprite());
    EXPECT_EQ(counter.changes, 1);
}

TEST_F(AnimationFromSpriteTest, ContainerBecomesTheOneImageFrame)
{
    const std::shared_ptr<ZqModelSpriteContainer> container = containerOf(12, "Bird");
    attribute->setFromSprite(container);

    const std::shared_ptr<ZqModelAnimation> animation = attribute->value();
    ASSERT_TRUE(animation);
    ASSERT_EQ(animation->frameCount(), 1u);
    const std::shared_ptr<ZqModelObjectImage> image = modelCast<ZqModelObjectImage>(animation->frame(0));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->name(), "Bird");
    EXPECT_EQ(image->spriteContainer(), container);
    EXPECT_EQ(ZqModelController::shared()->modelById(image->id()), image);
    EXPECT_FLOAT_EQ(animation->duration(), 0.4f);
    EXPECT_TRUE(animation->isLoop());
    EXPECT_EQ(attribute->sourceSprite(), container);
    EXPECT_EQ(counter.changes, 1);
}

TEST_F(AnimationFromSpriteTest, ReusesTheReferencedAnimationAndReplacesItsFrames)
{
    attribute->setFromSprite(containerOf(3, "First"));
    const std::shared_ptr<ZqModelAnimation> animation = attribute->value();

    attribute->setFromSprite(containerOf(6, "Second"));
    EXPECT_EQ(attribute->value(), animation);
    ASSERT_EQ(animation->frameCount(), 1u);
    EXPECT_EQ(animation->frame(0)->name(), "Second");
    EXPECT_FLOAT_EQ(animation->duration(), 0.2f);

    // Emptied again: no frame, the duration of the last frame kept, no source sprite.
    attribute->setFromSprite(nullptr);
    EXPECT_EQ(animation->frameCount(), 0u);
    EXPECT_FLOAT_EQ(animation->duration(), 0.2f);
    EXPECT_FALSE(attribute->sourceSprite());
}

} // namespace
