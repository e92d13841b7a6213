#include "engine/audio/AudioFixture.h"

#include <ZqLog.h>

#include <sys/stat.h>

using CocosDenshion::SimpleAudioEngine;
using cocos2d::experimental::AudioEngine;
using cocos2d::experimental::AudioState;

namespace {

using SimpleAudioEngineTest = AudioFixture;

TEST_F(SimpleAudioEngineTest, MusicPlaysPausesAndEnds)
{
    SimpleAudioEngine* engine = SimpleAudioEngine::sharedEngine();
    // Long enough that a busy machine cannot mix all of it before the pause.
    const std::string once = makeWav("once.wav", 1.0);
    engine->preloadBackgroundMusic(once.c_str());
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    engine->playBackgroundMusic(once.c_str());
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    engine->pauseBackgroundMusic();
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    runFrames(0.2);
    engine->resumeBackgroundMusic();
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    EXPECT_TRUE(runFrames(30.0, [&] { return !engine->isBackgroundMusicPlaying(); }));

    const std::string looped = makeWav("looped.wav", 0.05);
    engine->playBackgroundMusic(looped.c_str(), true);
    runFrames(0.2);
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    engine->stopBackgroundMusic(true);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());

    engine->playBackgroundMusic((looped + ".absent").c_str(), true);
    engine->playBackgroundMusic(nullptr);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
}

TEST_F(SimpleAudioEngineTest, MusicIsDecodedByContentAndReadOnlyFromRegularFiles)
{
    SimpleAudioEngine* engine = SimpleAudioEngine::sharedEngine();
    // WAV data under an MP3 name, as some games store their sounds: music and effects alike.
    const std::string misnamed = makeFile("tune.mp3", zqmedia::wavBytes(1.0));
    engine->playBackgroundMusic(misnamed.c_str());
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    EXPECT_NE(engine->playEffect(misnamed.c_str()), 0u);
    engine->stopBackgroundMusic(true);
    engine->stopAllEffects();

    // A FIFO never holds the player up: one line, no music.
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    const std::string pipe = misnamed.substr(0, misnamed.rfind('/') + 1) + "pipe.mp3";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    engine->playBackgroundMusic(pipe.c_str());
    zqSetLogSink({});
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("pipe.mp3"), std::string::npos) << lines[0];
}

TEST_F(SimpleAudioEngineTest, VolumesAreClamped)
{
    SimpleAudioEngine* engine = SimpleAudioEngine::sharedEngine();
    engine->setBackgroundMusicVolume(0.5f);
    EXPECT_FLOAT_EQ(engine->getBackgroundMusicVolume(), 0.5f);
    engine->setBackgroundMusicVolume(7.0f);
    EXPECT_FLOAT_EQ(engine->getBackgroundMusicVolume(), 1.0f);
    engine->setEffectsVolume(-2.0f);
    EXPECT_FLOAT_EQ(engine->getEffectsVolume(), 0.0f);
}

TEST_F(SimpleAudioEngineTest, EffectsFollowTheEffectsVolumeAndStopTogether)
{
    SimpleAudioEngine* engine = SimpleAudioEngine::sharedEngine();
    const std::string path = makeWav("effect.wav", 0.2);
    engine->preloadEffect(path.c_str());
    engine->setEffectsVolume(0.5f);
    const unsigned int first = engine->playEffect(path.c_str(), true);
    const unsigned int second = engine->playEffect(path.c_str());
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, first);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(static_cast<int>(first)), 0.5f);
    engine->setEffectsVolume(0.75f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(static_cast<int>(second)), 0.75f);
    EXPECT_EQ(engine->playEffect((path + ".absent").c_str()), 0u);
    EXPECT_EQ(engine->playEffect(nullptr), 0u);

    engine->pauseEffect(first);
    EXPECT_EQ(AudioEngine::getState(static_cast<int>(first)), AudioState::PAUSED);
    engine->resumeEffect(first);
    engine->stopEffect(second);
    EXPECT_EQ(AudioEngine::getState(static_cast<int>(second)), AudioState::ERROR);

    // Sounds of the other interface are not effects.
    const int other = AudioEngine::play2d(path, true);
    engine->stopAllEffects();
    EXPECT_EQ(AudioEngine::getState(static_cast<int>(first)), AudioState::ERROR);
    EXPECT_EQ(AudioEngine::getState(other), AudioState::PLAYING);

    // Unloading stops what plays the file.
    const unsigned int third = engine->playEffect(path.c_str(), true);
    engine->unloadEffect(path.c_str());
    EXPECT_EQ(AudioEngine::getState(static_cast<int>(third)), AudioState::ERROR);
    EXPECT_EQ(AudioEngine::getState(other), AudioState::ERROR);
    EXPECT_NE(engine->playEffect(path.c_str()), 0u);
}

} // namespace
