// Sounds of sound models on SDL's dummy driver: finishing, ownership, mute settings and
// groups by owner tag.
#include "app/ZqPSettingsController.h"
#include "app/ZqSound.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"

#include "engine/audio/AudioFixture.h"
#include "tools/ZqMediaWriter.h"

#include <filesystem>

using cocos2d::CCFileUtils;
using cocos2d::experimental::AudioEngine;
using cocos2d::experimental::AudioState;

namespace {

class SoundTest : public AudioFixture {
protected:
    void SetUp() override
    {
        AudioFixture::SetUp();
        ZqModelController::shared()->reset();
        ZqPSettingsController::purgeShared();
        cocos2d::CCUserDefault::sharedUserDefault()->deleteStore();
        m_root = CCFileUtils::sharedFileUtils()->getResourceRoot();
        const std::filesystem::path data = std::filesystem::path(makeWav("short.wav", 0.15)).parent_path();
        CCFileUtils::sharedFileUtils()->setResourceRoot(data.string() + "/");
        std::filesystem::create_directories(data / "data" / "sounds");
        shortSound = soundModel(61, 0.15);
        longSound = soundModel(62, 5.0);
    }
    void TearDown() override
    {
        ZqSoundRegistry::shared().clear();
        ZqPSettingsController::purgeShared();
        CCFileUtils::sharedFileUtils()->setResourceRoot(m_root);
        shortSound.reset();
        longSound.reset();
        ZqModelController::shared()->reset();
        AudioFixture::TearDown();
    }

    // A sound model whose file is an MP3 tone of the given length.
    std::shared_ptr<ZqModelSound> soundModel(unsigned id, double seconds)
    {
        std::shared_ptr<ZqModelSound> model = ZqModelSound::create();
        model->setId(id);
        EXPECT_TRUE(zqmedia::writeMp3(CCFileUtils::sharedFileUtils()->getResourceRoot() + model->soundPath(), seconds));
        return model;
    }

    std::shared_ptr<ZqModelSound> shortSound;
    std::shared_ptr<ZqModelSound> longSound;

private:
    std::string m_root;
};

TEST_F(SoundTest, FinishedCallbackRunsOnceInsideAFrame)
{
    ZqSoundHandle sound(shortSound, ZqSound::kTagInterface);
    int finishes = 0;
    int outsideFrame = 0;
    sound->setFinishedCallback([&] {
        ++finishes;
        outsideFrame += !insideFrame;
    });
    EXPECT_EQ(sound->state(), ZqSound::kStopped);
    EXPECT_EQ(sound->audioId(), -1);
    EXPECT_EQ(sound->getVolume(), 0.0f);
    sound->play(false, false);
    ASSERT_EQ(sound->state(), ZqSound::kPlaying);
    EXPECT_GT(sound->getVolume(), 0.0f);
    ASSERT_TRUE(runFrames(3.0, [&] { return finishes > 0; }));
    runFrames(0.2);
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(outsideFrame, 0);
    EXPECT_EQ(sound->state(), ZqSound::kStopped);
    EXPECT_EQ(ZqSoundRegistry::shared().liveCount(), 1u) << "a sound that does not delete itself stays";
}

TEST_F(SoundTest, ASelfDeletingSoundIsFreedOnceWhateverReleasesIt)
{
    ZqSoundRegistry& registry = ZqSoundRegistry::shared();
    // Stopped by its owner, then released by it: one free (ASan sees a second one).
    ZqSoundHandle stopped(longSound, ZqSound::kTagField);
    stopped->setDeleteWhenFinished(true);
    stopped->play(true, false);
    const int id = stopped->audioId();
    stopped->stop();
    EXPECT_FALSE(stopped);
    EXPECT_EQ(AudioEngine::getState(id), AudioState::ERROR);
    stopped.reset();

    // Released by its owner while playing: stopped and freed, its end does nothing later.
    ZqSoundHandle released(shortSound, ZqSound::kTagField);
    released->setDeleteWhenFinished(true);
    bool called = false;
    released->setFinishedCallback([&] { called = true; });
    released->play(false, false);
    released.reset();
    runFrames(0.4);
    EXPECT_FALSE(called);

    // Ending by itself, its owner releasing it from the finished callback.
    ZqSoundHandle ending(shortSound, ZqSound::kTagField);
    ending->setDeleteWhenFinished(true);
    ending->setFinishedCallback([&] { ending.reset(); });
    ending->play(false, false);
    ASSERT_TRUE(runFrames(3.0, [&] { return !ending; }));
    EXPECT_EQ(registry.liveCount(), 0u);

    // Played once and forgotten.
    EXPECT_TRUE(registry.playOnce(shortSound, ZqSound::kTagInterface));
    EXPECT_EQ(registry.liveCount(), 1u);
    ASSERT_TRUE(runFrames(3.0, [&] { return registry.liveCount() == 0; }));
}

TEST_F(SoundTest, MuteSettingsKeepSoundsSilent)
{
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->setEffectsSoundMuted(true);
    ZqSoundHandle effect(shortSound, ZqSound::kTagInterface);
    effect->play(false, false);
    EXPECT_EQ(effect->state(), ZqSound::kStopped);
    EXPECT_FALSE(ZqSoundRegistry::shared().playOnce(shortSound, ZqSound::kTagInterface));
    EXPECT_EQ(ZqSoundRegistry::shared().liveCount(), 1u);

    // Music is muted by the other setting alone.
    settings->setBackgroundSoundMuted(true);
    ZqSoundHandle music(longSound, ZqSound::kTagInterface);
    music->play(true, true);
    EXPECT_EQ(music->state(), ZqSound::kStopped);
    EXPECT_FALSE(CocosDenshion::SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying());

    settings->setEffectsSoundMuted(false);
    effect->play(false, false);
    EXPECT_EQ(effect->state(), ZqSound::kPlaying);
}

TEST_F(SoundTest, TagsPauseResumeAndStopAsGroups)
{
    ZqSoundRegistry& registry = ZqSoundRegistry::shared();
    ZqSoundHandle button(longSound, ZqSound::kTagInterface);
    ZqSoundHandle rock(longSound, ZqSound::kTagField);
    ZqSoundHandle death(longSound, ZqSound::kTagDeath);
    for (ZqSoundHandle* sound : {&button, &rock, &death})
        (*sound)->play(true, false);

    registry.pauseTag(ZqSound::kTagField);
    registry.pauseTag(ZqSound::kTagDeath);
    EXPECT_EQ(button->state(), ZqSound::kPlaying);
    EXPECT_EQ(rock->state(), ZqSound::kPaused);
    EXPECT_EQ(AudioEngine::getState(rock->audioId()), AudioState::PAUSED);
    EXPECT_EQ(AudioEngine::getState(button->audioId()), AudioState::PLAYING);

    // The window's pause over the field's: the field's sounds wait for both resumes.
    registry.pauseAll();
    EXPECT_EQ(button->state(), ZqSound::kPaused);
    registry.resumeAll();
    EXPECT_EQ(button->state(), ZqSound::kPlaying);
    EXPECT_EQ(rock->state(), ZqSound::kPaused);
    registry.resumeTag(ZqSound::kTagField);
    EXPECT_EQ(rock->state(), ZqSound::kPlaying);
    EXPECT_EQ(AudioEngine::getState(rock->audioId()), AudioState::PLAYING);

    // Stopping a group; a self-deleting member goes with its stop.
    death->setDeleteWhenFinished(true);
    registry.stopTag(ZqSound::kTagDeath);
    EXPECT_FALSE(death);
    registry.stopTag(ZqSound::kTagField);
    EXPECT_EQ(rock->state(), ZqSound::kStopped);
    EXPECT_EQ(button->state(), ZqSound::kPlaying);
    EXPECT_EQ(registry.liveCount(), 2u);
}

TEST_F(SoundTest, AStoppedSoundLeavesTheMusicThatReplacedItsTrack)
{
    CocosDenshion::SimpleAudioEngine* music = CocosDenshion::SimpleAudioEngine::sharedEngine();
    ZqSoundHandle menu(longSound, ZqSound::kTagInterface);
    ZqSoundHandle field(longSound, ZqSound::kTagField);
    menu->play(true, true);
    EXPECT_EQ(menu->state(), ZqSound::kPlaying);
    EXPECT_TRUE(music->isBackgroundMusicPlaying());
    field->play(true, true);
    menu->stop();
    EXPECT_TRUE(music->isBackgroundMusicPlaying()) << "the field's track plays on";
    menu.reset();
    EXPECT_TRUE(music->isBackgroundMusicPlaying());
    ZqSoundRegistry::shared().pauseTag(ZqSound::kTagField);
    EXPECT_FALSE(music->isBackgroundMusicPlaying());
    ZqSoundRegistry::shared().resumeTag(ZqSound::kTagField);
    EXPECT_TRUE(music->isBackgroundMusicPlaying());
    field.reset();
    EXPECT_FALSE(music->isBackgroundMusicPlaying());
}

} // namespace
