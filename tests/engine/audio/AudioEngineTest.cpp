#include "engine/audio/AudioFixture.h"

#include "audio/AudioMixer.h"

#include <ZqLog.h>

#include <set>

#include <sys/stat.h>

using namespace cocos2d;
using cocos2d::experimental::AudioEngine;
using cocos2d::experimental::AudioState;

namespace {

using AudioEngineTest = AudioFixture;

// What the finish callbacks of a test saw.
struct Finishes {
    std::vector<int> ids;
    std::vector<std::string> paths;
    int offMainThread = 0;
    int outsideFrame = 0;

    std::function<void(int, const std::string&)> recorder(const bool& insideFrame)
    {
        const std::thread::id mainThread = std::this_thread::get_id();
        return [this, mainThread, &insideFrame](int id, const std::string& path) {
            ids.push_back(id);
            paths.push_back(path);
            offMainThread += std::this_thread::get_id() != mainThread;
            outsideFrame += !insideFrame;
        };
    }
};

TEST_F(AudioEngineTest, SoundFinishesOnceOnTheMainThreadInsideAFrame)
{
    const std::string path = makeWav("blip.wav", 0.1);
    Finishes finishes;
    const auto start = std::chrono::steady_clock::now();
    const int id = AudioEngine::play2d(path);
    ASSERT_GT(id, 0);
    EXPECT_EQ(AudioEngine::getState(id), AudioState::PLAYING);
    EXPECT_NEAR(AudioEngine::getDuration(id), 0.1f, 0.001f);
    AudioEngine::setFinishCallback(id, finishes.recorder(insideFrame));

    ASSERT_TRUE(runFrames(30.0, [&] { return !finishes.ids.empty(); }));
    // The dummy driver plays in real time: no finish before the sound has been heard.
    EXPECT_GE(secondsSince(start), 0.09);
    runFrames(0.2);
    EXPECT_EQ(finishes.ids, std::vector<int>{id});
    EXPECT_EQ(finishes.paths, std::vector<std::string>{path});
    EXPECT_EQ(finishes.offMainThread, 0);
    EXPECT_EQ(finishes.outsideFrame, 0);
    EXPECT_EQ(AudioEngine::getState(id), AudioState::ERROR);
    EXPECT_EQ(AudioEngine::getDuration(id), AudioEngine::TIME_UNKNOWN);

    // Ids are never reused.
    const int next = AudioEngine::play2d(path);
    EXPECT_GT(next, id);
}

TEST_F(AudioEngineTest, StoppedSoundsNeverCallBack)
{
    const std::string path = makeWav("blip.wav", 0.05);
    Finishes finishes;
    const int stopped = AudioEngine::play2d(path);
    const int paused = AudioEngine::play2d(path);
    const int all = AudioEngine::play2d(path, true);
    for (int id : {stopped, paused, all})
        AudioEngine::setFinishCallback(id, finishes.recorder(insideFrame));
    runFrames(0.01);
    AudioEngine::stop(stopped);
    AudioEngine::pause(paused);
    EXPECT_EQ(AudioEngine::getState(stopped), AudioState::ERROR);
    EXPECT_EQ(AudioEngine::getState(paused), AudioState::PAUSED);
    AudioEngine::stopAll();
    EXPECT_EQ(AudioEngine::getState(paused), AudioState::ERROR);
    runFrames(0.3);
    EXPECT_TRUE(finishes.ids.empty());

    // The freed channels (one of them paused when stopped) play again.
    const int again = AudioEngine::play2d(path);
    const int more = AudioEngine::play2d(path);
    AudioEngine::setFinishCallback(again, finishes.recorder(insideFrame));
    AudioEngine::setFinishCallback(more, finishes.recorder(insideFrame));
    EXPECT_TRUE(runFrames(30.0, [&] { return finishes.ids.size() == 2; }));
}

TEST_F(AudioEngineTest, PausedSoundWaitsThenFinishes)
{
    Finishes finishes;
    // Long enough that a busy machine cannot mix all of it before the pause.
    const int id = AudioEngine::play2d(makeWav("long.wav", 1.0));
    AudioEngine::setFinishCallback(id, finishes.recorder(insideFrame));
    AudioEngine::pause(id);
    runFrames(0.3);
    EXPECT_TRUE(finishes.ids.empty());
    EXPECT_EQ(AudioEngine::getState(id), AudioState::PAUSED);
    AudioEngine::resume(id);
    EXPECT_EQ(AudioEngine::getState(id), AudioState::PLAYING);
    EXPECT_TRUE(runFrames(30.0, [&] { return !finishes.ids.empty(); }));
}

TEST_F(AudioEngineTest, TurningLoopingOffFinishesTheCurrentPass)
{
    // Times are of sound mixed, which a loaded machine stretches as it stretches the clock.
    Finishes finishes;
    const int id = AudioEngine::play2d(makeWav("loop.wav", 1.0), true);
    countMixing();
    AudioEngine::setFinishCallback(id, finishes.recorder(insideFrame));
    EXPECT_TRUE(AudioEngine::isLoop(id));
    ASSERT_TRUE(runFrames(30.0, [] { return mixedSeconds() >= 0.3; }));
    EXPECT_TRUE(finishes.ids.empty());
    EXPECT_EQ(AudioEngine::getState(id), AudioState::PLAYING);

    AudioEngine::setLoop(id, false);
    EXPECT_FALSE(AudioEngine::isLoop(id));
    ASSERT_TRUE(runFrames(30.0, [&] { return !finishes.ids.empty(); }));
    // The first pass (1 s) less the mixing buffer it ends in (23 ms), which a loaded machine
    // may not have counted yet when the frame sees the finish; a second pass would have
    // ended at 2 s.
    EXPECT_GT(mixedSeconds(), 0.97);
    EXPECT_LT(mixedSeconds(), 2.0);
    runFrames(0.15);
    EXPECT_EQ(finishes.ids.size(), 1u);

    // A once-sound made to loop keeps playing past its end.
    const int once = AudioEngine::play2d(makeWav("once.wav", 0.3));
    AudioEngine::setLoop(once, true);
    const double started = mixedSeconds();
    ASSERT_TRUE(runFrames(30.0, [started] { return mixedSeconds() >= started + 0.8; }));
    EXPECT_EQ(AudioEngine::getState(once), AudioState::PLAYING);
}

TEST_F(AudioEngineTest, BadFilesGiveNoIdAndALogLine)
{
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    const int missing = AudioEngine::play2d(makeWav("real.wav", 0.05) + ".absent");
    const int garbage = AudioEngine::play2d(makeFile("garbage.wav", std::string(256, 'x')));
    // Looping a sound without samples would spin the mixing thread.
    const int empty = AudioEngine::play2d(makeWav("empty.wav", 0.0), true);
    zqSetLogSink({});
    EXPECT_EQ(missing, AudioEngine::INVALID_AUDIO_ID);
    EXPECT_EQ(garbage, AudioEngine::INVALID_AUDIO_ID);
    EXPECT_EQ(empty, AudioEngine::INVALID_AUDIO_ID);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("[AudioMixer] missing file"), std::string::npos);
    EXPECT_FALSE(AudioEngine::preload(makeFile("garbage2.mp3", std::string(64, 'y'))));
}

// Sounds are kept decoded at the mixer's rate, so a rate understated in a header makes each
// byte a long stretch of audio. Such a sound is cut at the cap as it is decoded, refused, and
// told once: a later request reads nothing. Real effects of any rate, WAV or MP3, still play.
TEST_F(AudioEngineTest, SoundsLongerThanTheCapAreRefusedOnce)
{
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    // 1.6 MB of samples at 4000 Hz: 200 s, 35 MB once converted.
    const std::string slow = makeFile("slow\x1b.wav", zqmedia::wavBytes(200.0, 4000));
    EXPECT_FALSE(AudioEngine::preload(slow));
    EXPECT_EQ(AudioEngine::play2d(slow), AudioEngine::INVALID_AUDIO_ID);
    EXPECT_EQ(AudioMixer::decodedBytes(), 0u);
    // Not read again, even once it holds a real sound.
    makeFile("slow\x1b.wav", zqmedia::wavBytes(0.1, 4000));
    EXPECT_EQ(AudioEngine::play2d(slow), AudioEngine::INVALID_AUDIO_ID);
    zqSetLogSink({});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("slow\\x1B.wav: it holds more than the 180 s"), std::string::npos) << lines[0];

    const int real = AudioEngine::play2d(makeWav("real.wav", 0.25, 44100));
    ASSERT_GT(real, 0);
    EXPECT_NEAR(AudioEngine::getDuration(real), 0.25f, 0.001f);
    const std::string mp3 = makeFile("real.mp3", "");
    ASSERT_TRUE(zqmedia::writeMp3(mp3, 0.25));
    const int coded = AudioEngine::play2d(mp3);
    ASSERT_GT(coded, 0);
    EXPECT_NEAR(AudioEngine::getDuration(coded), 0.25f, 0.1f);
}

// A stream claiming 1 Hz makes a second of each sample, and one claiming a huge rate makes the
// converter's window huge: both are refused by the rate the reader reports, effects and music.
TEST_F(AudioEngineTest, StreamsOutsideTheRatesOfSoundFilesAreRefused)
{
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    const std::string slow = makeFile("slow.wav", zqmedia::wavBytes(1000.0, 1));
    const std::string fast = makeFile("fast.wav", zqmedia::wavBytes(0.001, 1000000));
    EXPECT_EQ(AudioEngine::play2d(slow), AudioEngine::INVALID_AUDIO_ID);
    EXPECT_EQ(AudioEngine::play2d(fast), AudioEngine::INVALID_AUDIO_ID);
    CocosDenshion::SimpleAudioEngine* music = CocosDenshion::SimpleAudioEngine::sharedEngine();
    music->playBackgroundMusic(makeWav("tune.wav", 1.0).c_str(), true);
    music->playBackgroundMusic(makeFile("slow.mp3", zqmedia::wavBytes(1000.0, 1)).c_str(), true);
    zqSetLogSink({});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("slow.wav: its rate of 1 Hz is outside the 4000 to 384000 Hz"), std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("fast.wav: its rate of 1000000 Hz"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("slow.mp3: its rate of 1 Hz"), std::string::npos) << lines[2];
    // The track before plays on.
    EXPECT_TRUE(music->isBackgroundMusicPlaying());
}

// Every kept sound within the cap may still be 31.75 MB: together they have a budget, past
// which a sound is refused; freeing samples makes room again.
TEST_F(AudioEngineTest, DecodedSoundsHaveABudget)
{
    const std::string first = makeWav("long0.wav", 170.0, 44100);
    const double soundBytes = 170.0 * 44100 * 4;
    const int fitting = static_cast<int>(static_cast<double>(kAudioMaxDecodedBytes) / soundBytes);
    std::vector<std::string> paths{first};
    for (int i = 1; i <= fitting; ++i) {
        paths.push_back(std::filesystem::path(first).replace_filename("long" + std::to_string(i) + ".wav"));
        std::filesystem::create_hard_link(first, paths.back());
    }
    for (int i = 0; i < fitting; ++i)
        ASSERT_TRUE(AudioEngine::preload(paths[static_cast<size_t>(i)])) << i;
    EXPECT_NEAR(static_cast<double>(AudioMixer::decodedBytes()), fitting * soundBytes, 1024.0);
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    EXPECT_EQ(AudioEngine::play2d(paths.back()), AudioEngine::INVALID_AUDIO_ID);
    zqSetLogSink({});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("long" + std::to_string(fitting) + ".wav: it would take decoded sounds past their "
                            "budget of 256 MiB"),
              std::string::npos)
        << lines[0];
    AudioEngine::uncache(paths.front());
    EXPECT_GT(AudioEngine::play2d(paths.back()), 0);
}

// What stands where a sound should be is named, not called missing.
TEST_F(AudioEngineTest, ASoundThatIsNoFileIsNamedAsWhatItIs)
{
    const std::filesystem::path dir = std::filesystem::path(makeWav("real.wav", 0.05)).parent_path();
    std::filesystem::create_directory(dir / "folder.wav");
    ASSERT_EQ(mkfifo((dir / "pipe.wav").c_str(), 0600), 0);
    std::filesystem::create_symlink("nowhere.wav", dir / "dangling.wav");
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    for (const char* name : {"folder.wav", "pipe.wav", "dangling.wav", "absent.wav"})
        EXPECT_EQ(AudioEngine::play2d((dir / name).string()), AudioEngine::INVALID_AUDIO_ID) << name;
    zqSetLogSink({});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("folder.wav is a directory, not a file"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("pipe.wav is a FIFO, not a file"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("dangling.wav is a link that leads nowhere, not a file"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("[AudioMixer] missing file "), std::string::npos) << lines[3];
}

TEST_F(AudioEngineTest, VolumeIsPerIdAndClamped)
{
    const std::string path = makeWav("blip.wav", 0.2);
    const int quiet = AudioEngine::play2d(path, false, 0.25f);
    const int loud = AudioEngine::play2d(path);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(quiet), 0.25f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(loud), 1.0f);
    AudioEngine::setVolume(loud, 3.0f);
    AudioEngine::setVolume(quiet, -1.0f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(loud), 1.0f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(quiet), 0.0f);
    EXPECT_FLOAT_EQ(AudioEngine::getVolume(loud + 100), 0.0f);
}

TEST_F(AudioEngineTest, ManySoundsGrowTheChannels)
{
    const std::string path = makeWav("blip.wav", 0.05);
    ASSERT_TRUE(AudioEngine::preload(path));
    const int before = AudioMixer::channelCount();
    ASSERT_GT(before, 0);
    Finishes finishes;
    std::set<int> ids;
    for (int i = 0; i < before * 3; ++i) {
        const int id = AudioEngine::play2d(path);
        ASSERT_GT(id, 0);
        AudioEngine::setFinishCallback(id, finishes.recorder(insideFrame));
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), static_cast<size_t>(before * 3));
    EXPECT_GE(AudioMixer::channelCount(), before * 3);
    EXPECT_TRUE(runFrames(30.0, [&] { return finishes.ids.size() == ids.size(); }));
    EXPECT_EQ(std::set<int>(finishes.ids.begin(), finishes.ids.end()), ids);
}

TEST_F(AudioEngineTest, CallbacksMayStopAndStartSounds)
{
    const std::string path = makeWav("blip.wav", 0.05);
    Finishes finishes;
    const int looping = AudioEngine::play2d(path, true);
    AudioEngine::setFinishCallback(looping, finishes.recorder(insideFrame));
    int started = -1;
    const int first = AudioEngine::play2d(path);
    AudioEngine::setFinishCallback(first, [&](int, const std::string&) {
        AudioEngine::stop(looping);
        started = AudioEngine::play2d(path);
        AudioEngine::setFinishCallback(started, finishes.recorder(insideFrame));
    });
    EXPECT_TRUE(runFrames(30.0, [&] { return !finishes.ids.empty(); }));
    EXPECT_EQ(finishes.ids, std::vector<int>{started});
}

TEST_F(AudioEngineTest, FinishesFollowTheDirectorAfterAPurge)
{
    const std::string path = makeWav("blip.wav", 0.05);
    AudioEngine::play2d(path, true);
    director->purgeDirector();
    director = CCDirector::sharedDirector();
    director->setOpenGLView(&view);
    Finishes finishes;
    const int id = AudioEngine::play2d(path);
    AudioEngine::setFinishCallback(id, finishes.recorder(insideFrame));
    EXPECT_TRUE(runFrames(30.0, [&] { return !finishes.ids.empty(); }));
}

TEST_F(AudioEngineTest, WithoutADeviceEveryPlayFailsQuietly)
{
    AudioEngine::end();
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "zq_no_such_driver", 1);
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    const std::string path = makeWav("blip.wav", 0.05);
    EXPECT_EQ(AudioEngine::play2d(path), AudioEngine::INVALID_AUDIO_ID);
    EXPECT_EQ(AudioEngine::play2d(path, true), AudioEngine::INVALID_AUDIO_ID);
    EXPECT_FALSE(AudioEngine::preload(path));
    CocosDenshion::SimpleAudioEngine* simple = CocosDenshion::SimpleAudioEngine::sharedEngine();
    simple->playBackgroundMusic(path.c_str());
    EXPECT_FALSE(simple->isBackgroundMusicPlaying());
    EXPECT_EQ(simple->playEffect(path.c_str()), 0u);
    runFrames(0.05);
    zqSetLogSink({});
    AudioEngine::end();
    CocosDenshion::SimpleAudioEngine::end();
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    if (!previous)
        unsetenv("SDL_AUDIODRIVER");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("[AudioMixer] no audio"), std::string::npos);
}

} // namespace
