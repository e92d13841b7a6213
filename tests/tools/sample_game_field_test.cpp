// The sample game comes alive: loaded from its directory and from its archive, every
// animation plays on a game field made from its "Game" scene with its atlas frames at their
// places, every label shows its text, and no frame is of a kind the player does not know.
#include "screens/field_test_support.h"
#include "tools_test_support.h"

#include "model/scene/ZqNode.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/ZqPObjectImage.h"
#include "objects/ZqPObjectText.h"
#include "screens/ZqPScreenNavigator.h"
#include "label_nodes/CCLabelBMFont.h"

using namespace cocos2d;
using namespace field_test;

namespace {

class SampleGameFieldTest : public RuntimeTest {
protected:
    CCSize viewSize() const override { return kFieldViewSize; }

    // Writes and loads the sample game; its atlases go into the sprite-frame cache.
    void load(bool archive)
    {
        ZqDataWriter::Options options;
        options.plainFiles = !archive;
        options.archive = archive;
        ZqSampleGame::write(*ZqModelController::shared(), dir.file("game/data"), options);
        const tools_test::LoadRun run = tools_test::loadGame(*ZqModelController::shared(), dir.file("game"));
        ASSERT_FALSE(run.failed) << run.error;
        ASSERT_EQ(run.archive, archive);
        CCFileUtils::sharedFileUtils()->setResourceRoot(dir.file("game"));
        for (const auto& atlas : ZqModelController::shared()->modelsOfClass<ZqModelAtlas>())
            CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(atlas->plistPath().c_str());
    }

    // The colour a plain sprite of frame shows at the view's centre.
    std::vector<unsigned char> referenceColour(CCSpriteFrame* frame)
    {
        CCSprite* sprite = CCSprite::createWithSpriteFrame(frame);
        sprite->setPosition(CCPoint(kWidth / 2, kHeight / 2));
        scene->addChild(sprite, 100);
        this->frame();
        std::vector<unsigned char> colour = pixel(kWidth / 2, kHeight / 2);
        scene->removeChild(sprite);
        return colour;
    }

    void playEverything()
    {
        auto node = ZqPScreenNavigator::shared()->sceneNodeForKey("Game");
        ASSERT_TRUE(node);
        auto model = modelCast<ZqModelScreenScene>(std::shared_ptr<ZqModel>(node->screen()));
        ASSERT_TRUE(model);
        // The rocks section alone, as a destination plays it: no hero runs and no camera
        // moves under the animations.
        ZqPScreenNavigator::shared()->setSceneDestination(402);
        ZqPScreenScene* field = ZqPScreenScene::create(model);
        scene->addChild(field);
        frame();
        ZqPScreenNavigator::shared()->setSceneDestination(0);
        ASSERT_NE(field->world(), nullptr);

        const auto animations = ZqModelController::shared()->modelsOfClass<ZqModelAnimation>();
        ASSERT_FALSE(animations.empty());
        std::size_t checked = 0;
        for (const auto& animationModel : animations) {
            ZqPAnimationObject* animation = ZqPAnimationObject::create(animationModel);
            field->camera()->addChild(animation);
            auto* image = dynamic_cast<ZqPObjectImage*>(animation->childNodeAt(0));
            if (!image || image->getChildrenCount() == 0) {
                animation->removeFromParent();
                continue;
            }
            // The frame's centre at the view's centre, once the frame has placed itself.
            frame();
            const CCPoint frameCentre = image->convertToWorldSpace(CCPointZero);
            animation->setPosition(animation->getPosition() + CCPoint(kWidth / 2, kHeight / 2) - frameCentre);
            for (int i = 0; i < 60; ++i)
                frame();
            auto* sprite = static_cast<CCSprite*>(image->getChildren()->objectAtIndex(0));
            CCSpriteFrame* shown = sprite->displayFrame();
            shown->retain();
            const std::vector<unsigned char> seen = pixel(kWidth / 2, kHeight / 2);
            animation->removeFromParent();
            const std::vector<unsigned char> expected = referenceColour(shown);
            shown->release();
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_NEAR(seen[channel], expected[channel], 2) << animationModel->name();
            EXPECT_GT(int(expected[0]) + expected[1] + expected[2], 0) << "a frame of colour";
            ++checked;
        }
        EXPECT_GE(checked, 3u) << "the character's animations at least";

        const auto labels = ZqModelController::shared()->modelsOfClass<ZqModelObjectLabel>();
        ASSERT_FALSE(labels.empty());
        for (const auto& label : labels) {
            ZqPObjectText* text = ZqPObjectText::create(label);
            field->camera()->addChild(text);
            ASSERT_NE(text->label(), nullptr) << label->text();
        }
        for (int i = 0; i < 60; ++i)
            frame();
        EXPECT_EQ(loggedCount("Warning uknown object type"), 0);
        scene->removeChild(field);
    }

};

TEST_F(SampleGameFieldTest, AnimationsAndTextsPlayFromTheDirectory)
{
    load(false);
    playEverything();
}

TEST_F(SampleGameFieldTest, AnimationsAndTextsPlayFromTheArchive)
{
    load(true);
    playEverything();
}

} // namespace
