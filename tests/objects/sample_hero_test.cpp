// The sample game's hero, loaded from the directory and from the archive: made by the
// factory on a field core of the sample's game scene, it lands on a platform, jumps, lands
// again and dies with its defeated animation.
#include "screens/field_test_support.h"
#include "tools/tools_test_support.h"

#include "app/ZqPSettingsController.h"
#include "app/ZqSound.h"
#include "audio/AudioEngine.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/ZqPObjectAssetCharacter.h"
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

    void TearDown() override
    {
        ZqPSettingsController::purgeShared();
        // The hero's sounds played: the audio engine goes before the director.
        ZqSoundRegistry::shared().clear();
        cocos2d::experimental::AudioEngine::end();
        RuntimeTest::TearDown();
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

        // The start section's hero, made by the field's creation queue at its first frame.
        auto placed = ZqModelController::shared()->getModel<ZqModelObjectAssetCharacter>(503);
        ASSERT_NE(placed, nullptr);
        ZqPObjectAssetCharacter* hero = nullptr;
        for (CCObject* child : *field->camera()->getChildren()) {
            if (auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(child))
                hero = character;
        }
        ASSERT_NE(hero, nullptr);
        EXPECT_NE(hero->model(), placed) << "a copy of its own";
        ASSERT_NE(hero->characterAsset(), nullptr);
        EXPECT_EQ(hero->characterAsset()->name(), "Hero");

        int frames = 0;
        for (; frames < 90 && !(hero->controlBits() & ZqPObjectAssetCharacter::kOnGround); ++frames)
            frame();
        ASSERT_LT(frames, 90) << "never landed on the sample's ground";
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
        for (frames = 0; frames < 240 && !landed; ++frames) {
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

} // namespace
