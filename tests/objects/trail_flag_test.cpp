// Trails and flags: the trail's point history and its strip behind a moving object, the
// flag's tapered strip, both drawn through the engine's effect call with the media's
// fallback textures.
#include "objects/object_test_support.h"

#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/assets/ZqPObjectAssetFlag.h"
#include "objects/assets/ZqPObjectAssetTrail.h"
#include "tools/ZqMediaWriter.h"

using namespace cocos2d;
using namespace field_test;

namespace {

class TrailFlagTest : public ObjectTest {
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        ASSERT_TRUE(zqmedia::writeEffectMedia(dir.file("data")));
        camera = CCNode::create();
        scene->addChild(camera);
    }

    ZqPObjectAssetTrail* trailAt(const CCPoint& position, float length)
    {
        auto model = zqCreateModel<ZqModelObjectTrail>("trail");
        model->m_length->setValue(length);
        model->m_startWidth->setValue(4.0f);
        model->m_endWidth->setValue(4.0f);
        auto* trail = dynamic_cast<ZqPObjectAssetTrail*>(ZqPObjectAsset::createAssetObject(model));
        EXPECT_NE(trail, nullptr);
        trail->setPosition(position);
        camera->addChild(trail);
        trail->setReferenceNode(camera);
        trail->createBody(nullptr, true);
        return trail;
    }

    CCNode* camera = nullptr;
};

TEST_F(TrailFlagTest, TrailStripCoversThePixelsItsObjectPassed)
{
    ZqPObjectAssetTrail* trail = trailAt(CCPoint(5, 24), 40.0f);
    for (int i = 0; i < 20; ++i) {
        trail->setPosition(trail->getPosition() + CCPoint(2, 0));
        trail->update(kStep);
    }
    frame();
    EXPECT_PIXEL(*this, 30, 24, 255, 255, 255);
    EXPECT_PIXEL(*this, 12, 22, 255, 255, 255);
    EXPECT_PIXEL(*this, 30, 32, 0, 0, 0);
    EXPECT_PIXEL(*this, 55, 24, 0, 0, 0);
    EXPECT_EQ(g_uNumberOfDraws, 1u);
}

TEST_F(TrailFlagTest, TrailInsertsAtMostThirtyOnePointsAFrame)
{
    ZqPObjectAssetTrail* trail = trailAt(CCPoint(5, 24), 40.0f);
    trail->update(kStep);
    EXPECT_EQ(trail->pointCount(), 2);
    // The head moves at the end of an update; the next one fills the gap behind it.
    trail->setPosition(105, 24);
    trail->update(kStep);
    EXPECT_EQ(trail->pointCount(), 2);
    EXPECT_EQ(trail->point(0), CCPoint(105, 24));
    trail->update(kStep);
    EXPECT_EQ(trail->pointCount(), 33);
    for (int i = 0; i < 5; ++i) {
        trail->setPosition(trail->getPosition() + CCPoint(100, 0));
        trail->update(kStep);
    }
    EXPECT_EQ(trail->pointCount(), ZqPObjectAssetTrail::kMaxPoints - 1);
}

TEST_F(TrailFlagTest, TrailWithoutLengthInsertsNothingAndDrawsSafely)
{
    ZqPObjectAssetTrail* trail = trailAt(CCPoint(5, 24), 0.0f);
    trail->update(kStep);
    trail->setPosition(50, 24);
    trail->update(kStep);
    EXPECT_EQ(trail->pointCount(), 2);
    frame();
}

TEST_F(TrailFlagTest, FlagLastColumnLiesAtNineteenTwentiethsOfItsLength)
{
    auto model = zqCreateModel<ZqModelObjectFlag>("flag");
    model->m_length->setValue(40.0f);
    model->m_startWidth->setValue(5.0f);
    model->m_endWidth->setValue(5.0f);
    model->m_speed->setValue(100.0f);
    ZqPObject* flag = ZqPObjectAsset::createAssetObject(model);
    ASSERT_NE(dynamic_cast<ZqPObjectAssetFlag*>(flag), nullptr);
    flag->setPosition(10, 20);
    camera->addChild(flag);
    flag->update(kStep);
    frame();
    EXPECT_PIXEL(*this, 10, 20, 255, 255, 255);
    EXPECT_PIXEL(*this, 47, 16, 255, 255, 255);
    EXPECT_PIXEL(*this, 49, 20, 0, 0, 0);
    EXPECT_PIXEL(*this, 30, 26, 0, 0, 0);
}

} // namespace
