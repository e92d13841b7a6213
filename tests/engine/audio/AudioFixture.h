#pragma once

#include "engine/director/DirectorFixture.h"

#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"
#include "platform/CCFileUtils.h"
#include "tools/ZqMediaWriter.h"

#include <SDL2/SDL_mixer.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>

// A director as in DirectorFixture, SDL's dummy audio driver (unless the environment
// names another), and a temporary directory for generated sounds. Both audio engines
// are ended before the director is torn down.
class AudioFixture : public DirectorFixture {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        DirectorFixture::SetUp();
        static int counter = 0;
        m_dir = std::filesystem::temp_directory_path() /
                ("zq_audio_" + std::to_string(getpid()) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(m_dir);
        // Files are read only inside the resource root.
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(m_dir.string());
    }

    void TearDown() override
    {
        Mix_SetPostMix(nullptr, nullptr);
        cocos2d::experimental::AudioEngine::end();
        CocosDenshion::SimpleAudioEngine::end();
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
        std::filesystem::remove_all(m_dir);
        DirectorFixture::TearDown();
    }

    // A mono 16-bit PCM WAV of a 440 Hz tone lasting seconds; its path.
    std::string makeWav(const std::string& name, double seconds, int rate = 22050)
    {
        const std::string bytes = zqmedia::wavBytes(seconds, rate);
        return makeFile(name, bytes);
    }

    std::string makeFile(const std::string& name, const std::string& bytes)
    {
        const std::filesystem::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // Director frames with short sleeps between them, so the dummy driver (which
    // consumes sound in real time) moves on; until done() or seconds have passed.
    // Answers done().
    bool runFrames(double seconds, const std::function<bool()>& done = [] { return false; })
    {
        const auto start = std::chrono::steady_clock::now();
        while (!done() && std::chrono::steady_clock::now() - start < std::chrono::duration<double>(seconds)) {
            insideFrame = true;
            frame();
            insideFrame = false;
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        }
        return done();
    }

    // Counts, from now on, the sound the mixer mixes (the device must be open): the time of
    // the sound itself, which a loaded machine slows down as it slows the mixing thread.
    static void countMixing()
    {
        mixedBytes() = 0;
        Mix_SetPostMix([](void*, Uint8*, int length) { mixedBytes() += length; }, nullptr);
    }
    // Seconds of sound mixed since countMixing().
    static double mixedSeconds()
    {
        int frequency = 0;
        int channels = 0;
        Uint16 format = 0;
        if (!Mix_QuerySpec(&frequency, &format, &channels))
            return 0.0;
        const int bytesPerSecond = frequency * channels * static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8);
        return static_cast<double>(mixedBytes().load()) / bytesPerSecond;
    }

    static double secondsSince(std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    bool insideFrame = false;

private:
    static std::atomic<long long>& mixedBytes()
    {
        static std::atomic<long long> bytes{0};
        return bytes;
    }

    std::filesystem::path m_dir;
};
