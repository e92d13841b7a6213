// Placed objects and components: the compound's component list, placement values and the
// edge anchoring, images naming their picture, and the health component.
#include "object_asset_support.h"

#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"

namespace {

using namespace object_asset_test;

using namespace cocos2d;

class CountingObserver : public ZqModelObserver {
public:
    void attributeChanged(ZqBaseAttribute*, int) override { ++changes; }
    int changes = 0;
};

// A view with a frame and a design size and nothing to draw on.
class FrameOnlyView : public CCEGLViewProtocol {
public:
    void end() override {}
    bool isOpenGLReady() override { return true; }
    void swapBuffers() override {}
};

using CompoundTest = SceneModelTest;

TEST_F(CompoundTest, ComponentListFollowsTheComponentChildren)
{
    const auto object = ZqModelObject::create();
    const auto health = ZqModelComponentHealth::create();
    const auto score = ZqModelComponentScore::create();
    const auto other = ZqModelComponentHealth::create();
    const auto image = ZqModelObjectImage::create();
    object->addChild(health);
    object->addChild(image);
    object->addChild(score);
    object->addChild(other);
    ASSERT_EQ(object->children().size(), 4u);
    ASSERT_EQ(object->components().size(), 3u);
    EXPECT_EQ(object->components()[0], health);
    EXPECT_EQ(object->components()[2], other);

    // Removing keeps the order of the others; a non-component leaves the list alone.
    object->removeChild(score);
    object->removeChild(image);
    ASSERT_EQ(object->components().size(), 2u);
    EXPECT_EQ(object->components()[0], health);
    EXPECT_EQ(object->components()[1], other);

    // Copies rebuild their own list: the same components when shallow, duplicates when deep.
    const auto shallow = duplicateModel(object, false, false);
    ASSERT_EQ(shallow->components().size(), 2u);
    EXPECT_EQ(shallow->components()[0], health);
    const auto deep = duplicateModel(object, true, false);
    ASSERT_EQ(deep->components().size(), 2u);
    EXPECT_NE(deep->components()[0], health);
    EXPECT_STREQ(deep->components()[1]->className(), "ZqModelComponentHealth");

    object->removeAllChildren();
    EXPECT_TRUE(object->children().empty());
    EXPECT_TRUE(object->components().empty());
}

using ObjectTest = SceneModelTest;

TEST_F(ObjectTest, PlacementValuesAndTheirSetters)
{
    const auto object = ZqModelObject::create();
    EXPECT_EQ(object->scale(0, 0).x, 1.0f);
    EXPECT_EQ(object->opacity(0, 0), 1.0f);
    EXPECT_EQ(object->contentSize(0).width, 100.0f);
    EXPECT_EQ(object->contentSize(0).height, 100.0f);
    EXPECT_FALSE(object->spriteContainer());
    EXPECT_FALSE(object->hasSpawner());
    EXPECT_EQ(object->spawnRate(), 0.0f);

    CountingObserver observer;
    object->addObserver(&observer);
    object->setZDepth(0);
    object->setPosition(CCPoint(0, 0));
    EXPECT_EQ(observer.changes, 0);
    object->setZDepth(3);
    object->setPosition(CCPoint(5, 6));
    EXPECT_EQ(observer.changes, 2);
    EXPECT_EQ(object->zDepth(), 3);
    EXPECT_EQ(object->position(1.0f, 7).y, 6.0f);
    object->removeObserver(&observer);

    // Without a spread the randomized values are the plain ones.
    object->m_rotation->setValue(30.0f);
    EXPECT_EQ(object->randomizedRotation(), 30.0f);
    EXPECT_EQ(object->randomizedPosition().x, 5.0f);
}

TEST_F(ObjectTest, AnchoredPositionKeepsEdgeDistances)
{
    // A portrait game (the settings' default, 640 x 1136) on a narrower window.
    ASSERT_NE(ZqModelGeneralSettings::shared()->orientation(), 1);
    FrameOnlyView view;
    view.setFrameSize(560, 1136);
    view.setDesignResolutionSize(640, 1136, kResolutionNoBorder);
    CCDirector::sharedDirector()->setOpenGLView(&view);
    ASSERT_EQ(CCDirector::sharedDirector()->getVisibleOrigin().x, 40.0f);

    const auto object = ZqModelObject::create();
    const std::pair<float, float> cases[] = {{620, 580}, {100, 140}, {320, 320}, {192, 192}};
    for (const auto& [x, expected] : cases) {
        object->setPosition(CCPoint(x, 568));
        EXPECT_FLOAT_EQ(object->anchoredPosition(0, 0).x, expected) << x;
        EXPECT_EQ(object->anchoredPosition(0, 0).y, 568.0f);
    }
    CCDirector::sharedDirector()->setOpenGLView(nullptr);
}

TEST_F(ObjectTest, ImageGivesItsNameToItsPicture)
{
    const auto image = ZqModelObjectImage::create();
    EXPECT_TRUE(image->stickToEdge());
    image->setName("Logo");
    EXPECT_EQ(image->name(), "Logo");

    const auto container = ZqModelSpriteContainer::create();
    image->setImage(container);
    EXPECT_EQ(image->spriteContainer(), container);
    EXPECT_EQ(image->contentSize(0).width, 0.0f); // an empty container has no frame
    image->setName("Title");
    EXPECT_EQ(container->name(), "Title");
}

using HealthTest = SceneModelTest;

TEST_F(HealthTest, LivesTruncateAndCopiesKeepTheirCounter)
{
    const auto health = ZqModelComponentHealth::create();
    EXPECT_EQ(health->health(), 1);
    EXPECT_EQ(health->lives(), 1);
    EXPECT_FALSE(health->spriteContainer());
    health->m_lives->setValue(2.9f);
    EXPECT_EQ(health->lives(), 2);
    health->m_health->setValue(-1e30f);
    EXPECT_EQ(health->health(), INT_MIN);

    const auto animation = controller().createModel<ZqModelAnimation>();
    const auto sound = controller().createModel<ZqModelSound>();
    health->m_takingDamageAnimation->setValue(animation);
    health->m_takingDamageSound->setValue(sound);
    health->currentLives = 5;
    const auto copy = duplicateModel(health, true, false);
    EXPECT_NE(copy->takingDamageAnimation(), animation);
    EXPECT_TRUE(copy->takingDamageAnimation());
    EXPECT_EQ(copy->takingDamageSound(), sound);
    EXPECT_EQ(copy->currentLives, 5);
    EXPECT_EQ(copy->lives(), 2);

    const auto score = ZqModelComponentScore::create();
    EXPECT_FALSE(score->resetCoins() || score->resetPoints() || score->resetDistance());
}

} // namespace
