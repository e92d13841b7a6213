// The top layer's reset reaches every layer below it: a game's worth of process-wide state
// in each layer, and one call leaves each as a fresh game finds it.
#include "field_test_support.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqServices.h"
#include "app/ZqSound.h"
#include "model/GameplayParameters.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPObjectManipulator.h"
#include "screens/ZqScreenMusic.h"
#include "screens/ZqScreensLayerReset.h"

#include <gtest/gtest.h>

namespace {

using field_test::RuntimeTest;

TEST_F(RuntimeTest, TheScreensResetLeavesEveryLayerBelowAsAFreshGameFindsIt)
{
    auto sound = ZqModelController::shared()->createModel<ZqModelSound>();
    const unsigned soundId = sound->id();
    ZqScreenMusic::shared().showScreen(sound, true, false);
    ZqPObjectAccelerometer::shared();
    ZqSoundRegistry::shared().create(sound, ZqSound::kTagField);
    ZqPInputController::shared()->setEnabled(false);
    ScoreRegistry::setCurrentKey("scene");
    ScoreRegistry::current().points.best = 40;
    purchasedItemFlag("shield") = false;
    int posted = 0;
    ZqServices::shared()->setPoster([&posted](int, intptr_t) { ++posted; });
    GameplayParameters::shared()->saveToDictionary();
    containerOf({media::Rgba{255, 0, 0, 255}});
    const std::string frame = zqSpriteFrameName(1000);
    const std::string texture = dir.file("atlas0.png");
    ASSERT_NE(cocos2d::CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frame.c_str()), nullptr);
    ASSERT_NE(cocos2d::CCTextureCache::sharedTextureCache()->textureForKey(texture.c_str()), nullptr);
    ASSERT_EQ(director->getAccelerometer()->getDelegate(), ZqPObjectAccelerometer::shared());
    ASSERT_EQ(ZqSoundRegistry::shared().liveCount(), 2u) << "the music and the field's sound";

    zqResetScreensLayer();

    EXPECT_EQ(ZqScreenMusic::shared().current(), nullptr);
    EXPECT_EQ(director->getAccelerometer()->getDelegate(), nullptr) << "the accelerometer object lives on";
    EXPECT_EQ(ZqSoundRegistry::shared().liveCount(), 0u);
    EXPECT_TRUE(ZqPInputController::shared()->isEnabled());
    EXPECT_EQ(ScoreRegistry::size(), 0u);
    EXPECT_EQ(ScoreRegistry::currentKey(), "");
    EXPECT_TRUE(ZqPurchaseRegistry::flags().empty());
    ZqServices::shared()->exitGame();
    EXPECT_EQ(posted, 0) << "the window's poster outlived the game";
    EXPECT_EQ(GameplayParameters::shared()->saveCounter(), 0);
    EXPECT_EQ(ZqModelController::shared()->modelById(soundId), nullptr);
    EXPECT_EQ(cocos2d::CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frame.c_str()), nullptr);
    EXPECT_EQ(cocos2d::CCTextureCache::sharedTextureCache()->textureForKey(texture.c_str()), nullptr);
}

} // namespace
