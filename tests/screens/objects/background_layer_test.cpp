// Background layers: the strip's copies, parallax scrolling and drift, wrap-around (in the
// window, however far the camera goes), and the layers that stay empty.
#include "screens/field_test_support.h"

#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/CCParallaxScrollNode.h"
#include "objects/ZqPObjectBackgroundLayer.h"
#include "objects/ZqPObjectGroup.h"
#include "model/objects/ZqModelObjectsLogic.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace cocos2d;
using namespace field_test;

namespace {

class BackgroundLayerTest : public RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        zqRebindAttribute<ZqAttributeSize>(*ZqModelGeneralSettings::shared(), "Design Size")->setValue(CCSize(200, 100));
    }
    void TearDown() override
    {
        for (ZqPObjectBackgroundLayer* layer : layers)
            layer->release();
        RuntimeTest::TearDown();
    }

    // A layer of 8 x 8 copies at (100, 50), the middle of the design screen.
    ZqPObjectBackgroundLayer* layerOf(float speed, float tilingOffset = 0.0f, bool withImage = true)
    {
        model = zqCreateModel<ZqModelObjectBackground>("background");
        if (withImage)
            model->m_image->setValue(containerOf({{255, 0, 0, 255}}));
        model->setPosition(CCPoint(100, 50));
        model->m_speed->setValue(speed);
        model->m_tilingOffset->setValue(tilingOffset);
        layers.push_back(ZqPObjectBackgroundLayer::create(model));
        return layers.back();
    }

    static CCNode* copyAt(ZqPObjectBackgroundLayer* layer, unsigned int index)
    {
        return static_cast<CCNode*>(layer->scrollNode()->getChildren()->objectAtIndex(index));
    }

    std::shared_ptr<ZqModelObjectBackground> model;
    std::vector<ZqPObjectBackgroundLayer*> layers;
};

TEST_F(BackgroundLayerTest, StripCoversTheScreenAndWrapsByItsLength)
{
    ZqPObjectBackgroundLayer* layer = layerOf(1.0f);
    EXPECT_FLOAT_EQ(layer->edgeDistance(-1), 100.0f);
    EXPECT_FLOAT_EQ(layer->edgeDistance(1), 100.0f);
    // Starts one copy and the back distance behind the position.
    EXPECT_FLOAT_EQ(layer->getPositionX(), -8.0f);
    // Copies 8 points wide overlap by a pixel until 3 x 8 + 200 points are covered.
    ASSERT_EQ(layer->scrollNode()->getChildrenCount(), 29u);
    EXPECT_FLOAT_EQ(layer->scrollNode()->range().width, 224.0f);
    EXPECT_FLOAT_EQ(copyAt(layer, 0)->getPositionX(), 4.0f);
    EXPECT_FLOAT_EQ(copyAt(layer, 1)->getPositionX(), 11.0f);
    EXPECT_FLOAT_EQ(copyAt(layer, 0)->getPositionY(), 0.0f);

    // One camera point at speed 1 over 1/32 s moves the strip a point back.
    layer->scrollBy(10.0f, 1.0f / 32.0f);
    EXPECT_FLOAT_EQ(copyAt(layer, 0)->getPositionX(), -6.0f);
    layer->scrollBy(10.0f, 1.0f / 32.0f);
    // Off the left edge by its whole width: one strip length (29 x 7) to the right.
    EXPECT_FLOAT_EQ(copyAt(layer, 0)->getPositionX(), -16.0f + 203.0f);

    // The last copy passes the range on the right and comes back one strip length left.
    CCNode* last = copyAt(layer, 28);
    const float before = last->getPositionX();
    layer->scrollBy(-50.0f, 1.0f / 32.0f);
    EXPECT_FLOAT_EQ(last->getPositionX(), before + 50.0f - 203.0f);

    // The drift: "Speed" points a second backward.
    const float x = copyAt(layer, 1)->getPositionX();
    layer->update(0.5f);
    EXPECT_FLOAT_EQ(copyAt(layer, 1)->getPositionX(), x - 0.5f);
}

TEST_F(BackgroundLayerTest, SpeedZeroStaysAndFixedRotationKeepsCopiesUpright)
{
    ZqPObjectBackgroundLayer* still = layerOf(0.0f);
    still->scrollBy(50.0f, kStep);
    still->update(kStep);
    EXPECT_FLOAT_EQ(copyAt(still, 0)->getPositionX(), 4.0f);

    model = zqCreateModel<ZqModelObjectBackground>("background");
    model->m_image->setValue(containerOf({{0, 255, 0, 255}}));
    model->m_rotation->setValue(30.0f);
    model->m_fixedRotation->setValue(true);
    layers.push_back(ZqPObjectBackgroundLayer::create(model));
    EXPECT_FLOAT_EQ(layers.back()->getRotation(), 30.0f);
    EXPECT_FLOAT_EQ(copyAt(layers.back(), 0)->getRotation(), -30.0f);
}

TEST_F(BackgroundLayerTest, AxisOffTheScreenMakesAStripOfThreeWidths)
{
    model = zqCreateModel<ZqModelObjectBackground>("background");
    model->m_image->setValue(containerOf({{0, 0, 255, 255}}));
    model->setPosition(CCPoint(500, 500));
    layers.push_back(ZqPObjectBackgroundLayer::create(model));
    EXPECT_FLOAT_EQ(layers.back()->edgeDistance(-1), 0.0f);
    EXPECT_FLOAT_EQ(layers.back()->edgeDistance(1), 0.0f);
    EXPECT_FLOAT_EQ(layers.back()->scrollNode()->range().width, 24.0f);
}

TEST_F(BackgroundLayerTest, LayersThatCannotTileStayEmptyOrMakeOneCopy)
{
    // A gap eating the whole copy would never cover the strip.
    ZqPObjectBackgroundLayer* overlapping = layerOf(1.0f, -8.0f);
    EXPECT_EQ(overlapping->scrollNode()->getChildrenCount(), 1u);
    ZqPObjectBackgroundLayer* beyond = layerOf(1.0f, -20.0f);
    EXPECT_EQ(beyond->scrollNode()->getChildrenCount(), 1u);

    ZqPObjectBackgroundLayer* empty = layerOf(1.0f, 0.0f, false);
    EXPECT_EQ(empty->getChildrenCount(), 0u);
    empty->scrollBy(10.0f, kStep);
    empty->update(kStep);
    EXPECT_EQ(empty->scrollNode()->getChildrenCount(), 0u);
}

TEST_F(BackgroundLayerTest, FieldMakesScrollsAndReleasesItsLayersAndGroups)
{
    sceneModel = ZqModelController::shared()->createModel<ZqModelScreenScene>();
    auto shown = zqCreateModel<ZqModelObjectBackground>("shown");
    shown->m_image->setValue(containerOf({{255, 0, 0, 255}}));
    shown->setPosition(CCPoint(100, 50));
    shown->setScale(CCPoint(0.0f, 2.0f));
    shown->m_speed->setValue(1.0f);
    shown->setZDepth(-5);
    auto hidden = zqCreateModel<ZqModelObjectBackground>("hidden");
    hidden->m_hidden->setValue(true);
    sceneModel->addChild(shown);
    sceneModel->addChild(hidden);
    ZqPScreenScene* field = ZqPScreenScene::create(sceneModel);
    scene->addChild(field);

    ASSERT_EQ(field->scenery().backgroundLayers().size(), 1u);
    ZqPObjectBackgroundLayer* layer = field->scenery().backgroundLayers()[0];
    EXPECT_EQ(layer->getParent(), field->camera());
    EXPECT_EQ(layer->getZOrder(), -5);
    EXPECT_EQ(shown->scale(0.0f, 0), CCPoint(0.1f, 2.0f));
    // A camera step of (-1, -3) over 1/60 s at speed 1: 32 x 4 / 60 points forward.
    const float x = copyAt(layer, 0)->getPositionX();
    field->scenery().scrollBackgrounds(CCPoint(-1, -3));
    EXPECT_FLOAT_EQ(copyAt(layer, 0)->getPositionX(), x + 32.0f * 4.0f / 60.0f);

    auto section = zqCreateModel<ZqModelObject>("section");
    auto group = zqCreateModel<ZqModelObjectGroup>("group");
    section->addChild(group);
    field->scenery().createGroupsFor(*section);
    CCArray* children = field->camera()->getChildren();
    ZqPObjectGroup* made = nullptr;
    for (unsigned int i = 0; i < children->count(); ++i) {
        if (auto* object = dynamic_cast<ZqPObjectGroup*>(children->objectAtIndex(i)))
            made = object;
    }
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->referenceNode(), field->camera());
    // The fixture's leak count checks that the field released its layer.
    field->removeFromParent();
}

// The first window x in [0, width) that no copy of the layer covers; width when all are.
float firstUncovered(ZqPObjectBackgroundLayer* layer, float width)
{
    std::vector<std::pair<float, float>> spans;
    for (CCObject* child : *layer->scrollNode()->getChildren()) {
        const CCNode* copy = static_cast<CCNode*>(child);
        const CCPoint a = copy->convertToWorldSpace(CCPoint());
        const CCPoint b = copy->convertToWorldSpace(CCPoint(copy->getContentSize().width, 0.0f));
        spans.emplace_back(std::min(a.x, b.x), std::max(a.x, b.x));
    }
    std::sort(spans.begin(), spans.end());
    float covered = 0.0f;
    for (const auto& [from, to] : spans) {
        if (from > covered + 0.01f)
            break;
        covered = std::max(covered, to);
    }
    return std::min(covered, width);
}

TEST_F(BackgroundLayerTest, TheBandCoversTheWindowHoweverFarTheCameraGoesEitherWay)
{
    const CCSize window = CCDirector::sharedDirector()->getWinSize();
    zqRebindAttribute<ZqAttributeSize>(*ZqModelGeneralSettings::shared(), "Design Size")->setValue(window);
    for (const float direction : {1.0f, -1.0f}) {
        sceneModel = ZqModelController::shared()->createModel<ZqModelScreenScene>();
        // Standing, slower than the field, as fast as the sample's near layer, and as the field.
        for (const float speed : {0.0f, 0.2f, 0.6f, 1.0f}) {
            auto band = zqCreateModel<ZqModelObjectBackground>("band");
            band->m_image->setValue(containerOf({{255, 0, 0, 255}}));
            band->setPosition(CCPoint(window.width / 2, window.height / 2));
            band->m_speed->setValue(speed);
            sceneModel->addChild(band);
        }
        ZqPScreenScene* field = ZqPScreenScene::create(sceneModel);
        scene->addChild(field);
        ASSERT_EQ(field->scenery().backgroundLayers().size(), 4u);
        // The camera goes as the field moves it, 8 points a frame along the play.
        const CCPoint step(8.0f * direction, 0.0f);
        float distance = 0.0f;
        for (const float mark : {10.0f, 100.0f, 1000.0f, 10000.0f}) {
            while (distance < mark) {
                field->camera()->setPosition(field->camera()->getPosition() - step);
                field->scenery().scrollBackgrounds(-step);
                field->update(kStep);
                distance += 8.0f;
            }
            for (ZqPObjectBackgroundLayer* layer : field->scenery().backgroundLayers())
                EXPECT_EQ(firstUncovered(layer, window.width), window.width)
                    << "direction " << direction << ", distance " << distance;
        }
        // A checkpoint's restore moves the camera 10,000 points at once.
        const CCPoint jump(-10000.0f * direction, 0.0f);
        field->camera()->setPosition(field->camera()->getPosition() + jump);
        field->scenery().scrollBackgrounds(jump);
        for (ZqPObjectBackgroundLayer* layer : field->scenery().backgroundLayers())
            EXPECT_EQ(firstUncovered(layer, window.width), window.width) << "direction " << direction << ", jump";
        field->removeFromParent();
    }
}

} // namespace
