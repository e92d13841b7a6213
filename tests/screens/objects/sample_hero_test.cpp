// The sample game's hero, loaded from the directory and from the archive: made by the
// factory on a field core of the sample's game scene, it lands on a platform, jumps, lands
// again and dies with its defeated animation.
#include "screens/field_test_support.h"
#include "tools/tools_test_support.h"

#include "app/ZqPSettingsController.h"
#include "app/ZqSound.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "tools/ZqDataWriter.h"

using namespace cocos2d;

namespace {

class SampleHeroTest : public field_test::RuntimeTest {
protected:
    CCSize viewSize() const override { return field_test::kFieldViewSize; }

    void SetUp() override
    {
        CCUserDefault::sharedUserDefault(); // made once for the process
        RuntimeTest::SetUp();
    }

    // Writes the sample game and loads it back, with its atlas in the sprite-frame cache.
    void load(const archive_test::TempDir& dir, bool archive)
    {
        ZqModelController& controller = *ZqModelController::shared();
        ZqDataWriter::Options options;
        options.plainFiles = !archive;
        options.archive = archive;
        ZqSampleGame::write(controller, dir.file("data"), options);
        const tools_test::LoadRun run = tools_test::loadGame(controller, dir.path().string());
        ASSERT_FALSE(run.failed) << run.error;
        ASSERT_EQ(run.archive, archive);
        // The media are read from the game's directory while the game runs.
        CCFileUtils::sharedFileUtils()->setResourceRoot(dir.path().string());
        for (const auto& atlas : controller.modelsOfClass<ZqModelAtlas>())
            CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(atlas->plistPath().c_str());
    }

    ZqPScreenScene* gameField()
    {
        for (const auto& screen : ZqModelController::shared()->modelsOfClass<ZqModelScreenScene>()) {
            if (screen->key() == "Game") {
                ZqPScreenScene* field = ZqPScreenScene::create(screen);
                scene->addChild(field);
                frame(); // the world, from the scene's values
                return field;
            }
        }
        return nullptr;
    }

    // The field's hero, made by the field's creation queue at its first frame.
    static ZqPObjectAssetCharacter* heroOf(ZqPScreenScene* field)
    {
        ZqPObjectAssetCharacter* hero = nullptr;
        for (CCObject* child : *field->camera()->getChildren()) {
            if (auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(child))
                hero = character;
        }
        return hero;
    }

    // Steps until the hero stands on something, 90 frames at most.
    bool land(ZqPObjectAssetCharacter* hero)
    {
        for (int frames = 0; frames < 90; ++frames) {
            if (hero->controlBits() & ZqPObjectAssetCharacter::kOnGround)
                return true;
            frame();
        }
        return false;
    }
};

TEST_F(SampleHeroTest, LandsJumpsLandsAndDiesFromDirectoryAndArchive)
{
    for (bool archive : {false, true}) {
        SCOPED_TRACE(archive ? "archive" : "directory");
        archive_test::TempDir dir;
        load(dir, archive);
        ZqPSettingsController::shared()->setSelectedCharacter(0);
        ZqPScreenScene* field = gameField();
        ASSERT_NE(field, nullptr);

        // The start section's hero.
        auto placed = ZqModelController::shared()->getModel<ZqModelObjectAssetCharacter>(503);
        ASSERT_NE(placed, nullptr);
        ZqPObjectAssetCharacter* hero = heroOf(field);
        ASSERT_NE(hero, nullptr);
        EXPECT_NE(hero->model(), placed) << "a copy of its own";
        ASSERT_NE(hero->characterAsset(), nullptr);
        EXPECT_EQ(hero->characterAsset()->name(), "Hero");

        ASSERT_TRUE(land(hero)) << "never landed on the sample's ground";
        EXPECT_EQ(hero->state(), 0);
        EXPECT_TRUE(hero->defaultAnimation()->isVisible());

        const std::size_t sounds = ZqSoundRegistry::shared().liveCount();
        hero->jump();
        EXPECT_EQ(hero->state(), 3);
        EXPECT_EQ(ZqSoundRegistry::shared().liveCount(), sounds + 1) << "the jump sound plays";
        frame();
        EXPECT_GT(hero->getBody()->GetLinearVelocity().y, 0.0f);
        EXPECT_TRUE(hero->jumpAnimation()->isVisible());
        const float top = hero->getPosition().y;
        bool landed = false;
        float highest = top;
        for (int frames = 0; frames < 240 && !landed; ++frames) {
            frame();
            highest = std::max(highest, hero->getPosition().y);
            landed = hero->controlBits() & ZqPObjectAssetCharacter::kOnGround;
        }
        ASSERT_TRUE(landed) << "did not land again";
        EXPECT_GT(highest, top + 100.0f);
        EXPECT_EQ(hero->jumpCount(), 0);
        EXPECT_EQ(hero->state(), 0);

        hero->setState(4);
        EXPECT_EQ(hero->state(), 4);
        ASSERT_NE(hero->defeatedAnimation(), nullptr);
        EXPECT_TRUE(hero->defeatedAnimation()->isVisible());
        EXPECT_FALSE(ZqPInputController::shared()->hasActiveCharacters());
        frame();
        EXPECT_EQ(hero->state(), 4);

        field->removeFromParent();
        ZqPInputController::purgeShared();
        frame();
    }
}

// The box of the picture an animation shows, in the view's points: its image's sprite.
CCRect pictureBox(ZqPAnimationObject* animation)
{
    auto* image = animation ? animation->childNodeAt(0) : nullptr;
    if (!image || !image->getChildren() || image->getChildrenCount() == 0)
        return CCRect();
    auto* sprite = static_cast<CCNode*>(image->getChildren()->objectAtIndex(0));
    const CCPoint low = sprite->convertToWorldSpace(CCPointZero);
    const CCPoint high = sprite->convertToWorldSpace(CCPoint(sprite->getContentSize().width, sprite->getContentSize().height));
    return CCRect(std::min(low.x, high.x), std::min(low.y, high.y), std::abs(high.x - low.x), std::abs(high.y - low.y));
}

// The bottom of the hero's physics outline, in the view's points.
float outlineBottom(ZqPObjectAssetCharacter* hero)
{
    const b2AABB box = hero->getBody()->GetFixtureList()->GetAABB(0);
    const CCPoint bottom(box.lowerBound.x * zqphysics::kPointsPerMetre, box.lowerBound.y * zqphysics::kPointsPerMetre);
    return hero->getParent()->convertToWorldSpace(bottom).y;
}

// What a player sees of the hero: its pictures stand on the ground, not in it (standing,
// while sliding and after a landing), and the slide lies lower than the run.
TEST_F(SampleHeroTest, PicturesStandOnTheGroundNotInIt)
{
    archive_test::TempDir dir;
    load(dir, false);
    ZqPSettingsController::shared()->setSelectedCharacter(0);
    ZqPScreenScene* field = gameField();
    ASSERT_NE(field, nullptr);
    ZqPObjectAssetCharacter* hero = heroOf(field);
    ASSERT_NE(hero, nullptr);
    ASSERT_TRUE(land(hero));
    frame();
    const CCRect standing = pictureBox(hero->defaultAnimation());
    ASSERT_GT(standing.size.height, 0.0f);
    EXPECT_NEAR(standing.getMinY(), outlineBottom(hero), 1.5f) << "the feet on the outline's bottom";

    ZqPInputController* input = ZqPInputController::shared();
    CCNode* control = CCNode::create();
    control->retain(); // the input controller asks the sender for its model at the release
    input->actionBegin(ZqPInputController::kControlPressed, control);
    frame();
    frame();
    ZqPAnimationObject* sliding = nullptr;
    for (CCObject* child : *hero->getChildren()) {
        auto* animation = dynamic_cast<ZqPAnimationObject*>(child);
        if (animation && animation->isVisible() && animation != hero->defaultAnimation() &&
            animation != hero->moveAnimation())
            sliding = animation;
    }
    ASSERT_NE(sliding, nullptr) << "the slide's picture shows";
    const CCRect slid = pictureBox(sliding);
    EXPECT_NEAR(slid.getMinY(), outlineBottom(hero), 1.5f);
    EXPECT_LT(slid.getMaxY(), standing.getMaxY() - 40.0f) << "the slide lies low";
    input->actionEnd(ZqPInputController::kControlReleased, control);
    control->release();
    frame();

    // A jump, and the landing after it.
    hero->jump();
    for (int frames = 0; frames < 20; ++frames)
        frame();
    hero->releaseJump();
    ASSERT_TRUE(land(hero));
    frame();
    EXPECT_NEAR(pictureBox(hero->defaultAnimation()).getMinY(), outlineBottom(hero), 1.5f) << "after the landing";

    field->removeFromParent();
    ZqPInputController::purgeShared();
    frame();
}

} // namespace
