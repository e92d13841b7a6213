#include "media_shape_support.h"

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelShapes.h"

#include <ZqNumeric.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <sstream>

using namespace cocos2d;
using scene_test::SceneTest;

namespace {

// "Type value [min,max]" of an attribute, for comparison with the tables below.
std::string describe(const ZqBaseAttribute& attribute)
{
    std::ostringstream text;
    text << attribute.className();
    if (auto* number = dynamic_cast<const ZqBaseAttributeFundamental<float>*>(&attribute))
        text << ' ' << number->value() << " [" << number->minValue() << ',' << number->maxValue() << ']';
    else if (auto* flag = dynamic_cast<const ZqBaseAttributeFundamental<bool>*>(&attribute))
        text << ' ' << (flag->value() ? "true" : "false");
    else if (auto* size = dynamic_cast<const ZqAttributeValue<CCSize>*>(&attribute))
        text << " {" << size->value().width << ',' << size->value().height << '}';
    else if (auto* rect = dynamic_cast<const ZqAttributeValue<CCRect>*>(&attribute))
        text << " {" << rect->value().origin.x << ',' << rect->value().origin.y << ',' << rect->value().size.width
             << ',' << rect->value().size.height << '}';
    else if (auto* point = dynamic_cast<const ZqAttributeValue<CCPoint>*>(&attribute))
        text << " {" << point->value().x << ',' << point->value().y << '}';
    else if (auto* string = dynamic_cast<const ZqAttributeValue<std::string>*>(&attribute))
        text << " \"" << string->value() << '"';
    return text.str();
}

struct ClassAttributes {
    const char* className;
    std::vector<std::pair<std::string, std::string>> attributes; // name, describe()
};

const std::string kFull = "[" + [] { std::ostringstream s; s << -FLT_MAX << ',' << FLT_MAX; return s.str(); }() + "]";

const std::vector<ClassAttributes> kMediaClasses = {
    {"ZqModelSprite", {{"Name", "ZqAttributeString \"\""},
                       {"Size", "ZqAttributeSize {0,0}"},
                       {"Source Rect", "ZqAttributeRect {0,0,0,0}"},
                       {"SourceSize", "ZqAttributeSize {0,0}"},
                       {"Offset", "ZqAttributePoint {0,0}"}}},
    {"ZqModelSound", {{"Name", "ZqAttributeString \"\""}}},
    {"ZqModelSpriteContainer", {{"Name", "ZqAttributeString \"\""},
                                {"Animation Speed", "ZqAttributeFloat 1 " + kFull},
                                {"Duration", "ZqAttributeFloat 0 " + kFull},
                                {"Excluded From Atlas", "ZqAttributeBool false"}}},
    {"ZqModelAnimation", {{"Name", "ZqAttributeString \"\""},
                          {"Speed", "ZqAttributeFloat 1 " + kFull},
                          {"Duration", "ZqAttributeFloat 0 " + kFull},
                          {"Loop", "ZqAttributeBool true"}}},
    {"ZqModelAtlas", {{"Name", "ZqAttributeString \"\""},
                      {"width", "ZqAttributeFloat 2048 [128,4096]"},
                      {"height", "ZqAttributeFloat 2048 [128,4096]"},
                      {"padding", "ZqAttributeFloat 4 " + kFull}}},
    {"ZqModelPolygon", {{"Name", "ZqAttributeString \"\""}}},
    {"ZqModelCircle", {{"Name", "ZqAttributeString \"\""}}},
};

TEST_F(SceneTest, MediaAndShapeClassesHaveTheirAttributesInOrderWithDefaults)
{
    for (const ClassAttributes& expected : kMediaClasses) {
        SCOPED_TRACE(expected.className);
        std::shared_ptr<ZqModel> model = controller().registry().create(expected.className);
        ASSERT_TRUE(model);
        EXPECT_STREQ(model->className(), expected.className);
        std::vector<std::pair<std::string, std::string>> actual;
        for (const ZqBaseAttribute* attribute : model->attributes())
            actual.emplace_back(attribute->name(), describe(*attribute));
        EXPECT_EQ(actual, expected.attributes);

        // A copy re-binds every member: its attributes read the same.
        std::shared_ptr<ZqModel> copy = model->duplicate(false, false);
        ASSERT_TRUE(copy);
        EXPECT_STREQ(copy->className(), expected.className);
        ASSERT_EQ(copy->attributes().size(), expected.attributes.size());
    }
    // The atlas's spread follows its narrowed range.
    std::shared_ptr<ZqModelAtlas> atlas = ZqModelAtlas::create();
    auto* width = static_cast<ZqAttributeFloat*>(atlas->findAttribute("width"));
    EXPECT_EQ(width->variableValue(), 128.0f);
}

TEST_F(SceneTest, MediaPathsAreNamedByModelId)
{
    std::shared_ptr<ZqModelSprite> sprite = ZqModelSprite::create();
    std::shared_ptr<ZqModelSound> sound = ZqModelSound::create();
    std::shared_ptr<ZqModelAtlas> atlas = ZqModelAtlas::create();
    sprite->setId(12);
    sound->setId(3);
    atlas->setId(30);
    EXPECT_EQ(sprite->imagePath(), "data/images/ZqModelSprite_ID12.png");
    EXPECT_EQ(sprite->effectPath(), "data/effects/ZqModelSprite_ID12.png");
    EXPECT_EQ(sound->soundPath(), "data/sounds/ZqModelSound_ID3.mp3");
    EXPECT_EQ(atlas->imagePath(), "data/atlases/atlas_ID30.png");
    EXPECT_EQ(atlas->plistPath(), "data/atlases/atlas_ID30.plist");
    EXPECT_EQ(zqSpriteFrameName(12), "ZqModelSprite_ID12");
}

// A container of count sprites whose sizes are (i + 1, 10 (i + 1)) and source sizes 100 (i + 1).
std::shared_ptr<ZqModelSpriteContainer> containerOf(int count)
{
    std::shared_ptr<ZqModelSpriteContainer> container = ZqModelSpriteContainer::create();
    for (int i = 0; i < count; ++i) {
        std::shared_ptr<ZqModelSprite> sprite = ZqModelSprite::create();
        static_cast<ZqAttributeSize*>(sprite->findAttribute("Size"))->setValue(CCSize(i + 1, 10.0f * (i + 1)));
        static_cast<ZqAttributeSize*>(sprite->findAttribute("SourceSize"))->setValue(CCSize(100.0f * (i + 1), 0));
        container->addChild(sprite);
    }
    return container;
}

TEST_F(SceneTest, ContainerAndAtlasListTheirSpriteChildrenOnly)
{
    std::shared_ptr<ZqModelSpriteContainer> container = containerOf(3);
    std::shared_ptr<ZqModelSound> sound = ZqModelSound::create();
    container->addChild(sound);
    ASSERT_EQ(container->sprites().size(), 3u);
    container->removeChild(sound);
    EXPECT_EQ(container->sprites().size(), 3u);
    const std::shared_ptr<ZqModelSprite> middle = container->sprites()[1];
    container->removeChild(middle);
    ASSERT_EQ(container->sprites().size(), 2u);
    EXPECT_NE(container->sprites()[0], middle);
    EXPECT_NE(container->sprites()[1], middle);
    container->removeAllChildren();
    EXPECT_TRUE(container->sprites().empty());

    std::shared_ptr<ZqModelAtlas> atlas = ZqModelAtlas::create();
    atlas->addChild(ZqModelSprite::create());
    atlas->addChild(ZqModelSpriteContainer::create());
    EXPECT_EQ(atlas->sprites().size(), 1u);

    // The copy constructor alone leaves the list empty; a duplicate refills it.
    std::shared_ptr<ZqModelSpriteContainer> full = containerOf(2);
    EXPECT_TRUE(ZqModelSpriteContainer::create(*full)->sprites().empty());
    EXPECT_EQ(duplicateModel(full, false, false)->sprites().size(), 2u);
}

TEST_F(SceneTest, FrameAtTimeFollowsTheThirtyFrameClockAndSaturates)
{
    std::shared_ptr<ZqModelSpriteContainer> container = containerOf(4);
    EXPECT_EQ(container->frameSizeAtTime(1.0f), CCSize(3, 30)); // frame 30 mod 4 = 2
    EXPECT_EQ(container->frameSourceSizeAtTime(1.0f), CCSize(300, 0));
    EXPECT_EQ(container->frameIndexAtTime(0.0f), 0u);
    // Out-of-range and NaN frame numbers are defined.
    EXPECT_EQ(container->frameIndexAtTime(NAN), 0u);
    EXPECT_EQ(container->frameIndexAtTime(INFINITY), static_cast<unsigned>(INT_MAX) % 4u);
    EXPECT_EQ(container->frameIndexAtTime(-INFINITY), static_cast<unsigned>(INT_MIN) % 4u);
    EXPECT_EQ(ZqModelSpriteContainer::create()->frameSizeAtTime(1.0f), CCSize());

    EXPECT_EQ(zqSaturatingInt(2.9f), 2);
    EXPECT_EQ(zqSaturatingInt(-2.9f), -2);
    EXPECT_EQ(zqSaturatingInt(3e9f), INT_MAX);
    EXPECT_EQ(zqSaturatingInt(-3e9f), INT_MIN);
    EXPECT_EQ(zqSaturatingInt(2147483520.0f), 2147483520);
}

TEST_F(SceneTest, ContainerEngineCallsWithoutFramesGiveNull)
{
    std::shared_ptr<ZqModelSpriteContainer> empty = ZqModelSpriteContainer::create();
    EXPECT_EQ(empty->getSprite(1.0f, true), nullptr);
    EXPECT_EQ(empty->getSpriteFrame(0), nullptr);
    std::shared_ptr<ZqModelSpriteContainer> three = containerOf(3);
    EXPECT_EQ(three->textureAt(5), nullptr);
    // No atlas is loaded: the first frame is missing.
    EXPECT_EQ(three->getSprite(1.0f, true), nullptr);
}

TEST_F(SceneTest, AnimationFramesAreItsObjectChildrenAndRemoveAllNotifies)
{
    struct Counter : ZqModelObserver {
        void childRemoved(const std::shared_ptr<ZqModel>&, const std::shared_ptr<ZqModel>&) override { ++removed; }
        int removed = 0;
    } counter;
    std::shared_ptr<ZqModelAnimation> animation = ZqModelAnimation::create();
    animation->addObserver(&counter);
    std::shared_ptr<ZqModel> image = controller().registry().create("ZqModelObjectImage");
    ASSERT_TRUE(image);
    animation->addChild(image);
    animation->addChild(ZqModelSprite::create());
    ASSERT_EQ(animation->frameCount(), 1u);
    EXPECT_EQ(animation->frame(0), image);
    EXPECT_EQ(animation->frame(1), nullptr);
    animation->removeAllFrames();
    EXPECT_EQ(animation->frameCount(), 0u);
    EXPECT_EQ(animation->children().size(), 1u);
    EXPECT_EQ(counter.removed, 1);
    animation->removeObserver(&counter);
}

TEST_F(SceneTest, FrameDelayIsOneThirtiethOverBothSpeeds)
{
    std::shared_ptr<ZqModelSpriteContainer> container = ZqModelSpriteContainer::create();
    static_cast<ZqAttributeFloat*>(container->findAttribute("Animation Speed"))->setValue(2.0f);
    EXPECT_DOUBLE_EQ(container->frameDelay(0.5f), 1.0 / 30.0);
    EXPECT_DOUBLE_EQ(container->frameDelay(4.0f), 1.0 / 240.0);
    EXPECT_FALSE(std::isfinite(container->frameDelay(0.0f)));
}

} // namespace
