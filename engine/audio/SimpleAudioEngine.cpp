#include "audio/SimpleAudioEngine.h"

#include "audio/AudioEngine.h"
#include "audio/AudioMixer.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <SDL_mixer.h>

#include <cmath>

namespace CocosDenshion {

using cocos2d::AudioMixer;
using cocos2d::clampAudioVolume;
using cocos2d::experimental::AudioEngine;
using cocos2d::experimental::AudioState;

// The loaded background track; freeing it stops it. The mixer streams the music from
// the file's bytes, which live as long as it.
struct SimpleAudioEngine::Track {
    std::string fullPath;
    ZqFileBytes bytes;
    Mix_Music* music = nullptr;

    Track(std::string path, ZqFileBytes file) : fullPath(std::move(path)), bytes(std::move(file)) {}
    Track(const Track&) = delete;
    Track& operator=(const Track&) = delete;
    ~Track() { Mix_FreeMusic(music); }
};

namespace {

SimpleAudioEngine* sharedInstance = nullptr;

int musicVolume(float volume)
{
    return static_cast<int>(std::lround(clampAudioVolume(volume) * MIX_MAX_VOLUME));
}

} // namespace

SimpleAudioEngine* SimpleAudioEngine::sharedEngine()
{
    if (!sharedInstance)
        sharedInstance = new SimpleAudioEngine();
    return sharedInstance;
}

void SimpleAudioEngine::end()
{
    delete sharedInstance;
    sharedInstance = nullptr;
}

SimpleAudioEngine::SimpleAudioEngine() : m_deviceOpen(AudioMixer::acquire()) {}

SimpleAudioEngine::~SimpleAudioEngine()
{
    stopAllEffects();
    if (m_deviceOpen)
        Mix_HaltMusic();
    m_track.reset();
    AudioMixer::release();
}

bool SimpleAudioEngine::loadTrack(const char* path)
{
    if (!path || !m_deviceOpen)
        return false;
    const std::string fullPath = AudioMixer::resolve(path);
    if (fullPath.empty())
        return false;
    if (m_track && m_track->fullPath == fullPath)
        return true;
    ZqFileBytes bytes;
    if (!AudioMixer::readFile(fullPath, bytes))
        return false;
    auto track = std::make_unique<Track>(fullPath, std::move(bytes));
    // Decoded by content like the sound effects, whatever the name says.
    track->music =
        Mix_LoadMUS_RW(SDL_RWFromConstMem(track->bytes.data.get(), static_cast<int>(track->bytes.size)), 1);
    if (!track->music) {
        debugLog("[SimpleAudioEngine] cannot decode %s: %s", zqPrintable(fullPath, kZqLogLineLength).c_str(),
                 Mix_GetError());
        return false;
    }
    m_track = std::move(track);
    return true;
}

void SimpleAudioEngine::preloadBackgroundMusic(const char* path)
{
    loadTrack(path);
}

void SimpleAudioEngine::playBackgroundMusic(const char* path, bool loop)
{
    if (!loadTrack(path))
        return;
    Mix_VolumeMusic(musicVolume(m_musicVolume));
    // Loops -1 repeats forever, 0 plays once.
    if (Mix_PlayMusic(m_track->music, loop ? -1 : 0) != 0)
        debugLog("[SimpleAudioEngine] cannot play %s: %s", zqPrintable(path, kZqLogLineLength).c_str(), Mix_GetError());
}

void SimpleAudioEngine::stopBackgroundMusic(bool releaseData)
{
    if (!m_deviceOpen)
        return;
    Mix_HaltMusic();
    if (releaseData)
        m_track.reset();
}

void SimpleAudioEngine::pauseBackgroundMusic()
{
    if (m_deviceOpen)
        Mix_PauseMusic();
}

void SimpleAudioEngine::resumeBackgroundMusic()
{
    if (m_deviceOpen)
        Mix_ResumeMusic();
}

bool SimpleAudioEngine::isBackgroundMusicPlaying()
{
    return m_deviceOpen && Mix_PlayingMusic() && !Mix_PausedMusic();
}

void SimpleAudioEngine::setBackgroundMusicVolume(float volume)
{
    m_musicVolume = clampAudioVolume(volume);
    if (m_deviceOpen)
        Mix_VolumeMusic(musicVolume(m_musicVolume));
}

void SimpleAudioEngine::setEffectsVolume(float volume)
{
    m_effectsVolume = clampAudioVolume(volume);
    forgetFinishedEffects();
    for (int id : m_effects)
        AudioEngine::setVolume(id, m_effectsVolume);
}

unsigned int SimpleAudioEngine::playEffect(const char* path, bool loop)
{
    if (!path)
        return 0;
    forgetFinishedEffects();
    const int id = AudioEngine::play2d(path, loop, m_effectsVolume);
    if (id == AudioEngine::INVALID_AUDIO_ID)
        return 0;
    m_effects.push_back(id);
    return static_cast<unsigned int>(id);
}

void SimpleAudioEngine::pauseEffect(unsigned int soundId)
{
    AudioEngine::pause(static_cast<int>(soundId));
}

void SimpleAudioEngine::resumeEffect(unsigned int soundId)
{
    AudioEngine::resume(static_cast<int>(soundId));
}

void SimpleAudioEngine::stopEffect(unsigned int soundId)
{
    AudioEngine::stop(static_cast<int>(soundId));
}

void SimpleAudioEngine::stopAllEffects()
{
    for (int id : m_effects)
        AudioEngine::stop(id);
    m_effects.clear();
}

void SimpleAudioEngine::preloadEffect(const char* path)
{
    if (path)
        AudioEngine::preload(path);
}

void SimpleAudioEngine::unloadEffect(const char* path)
{
    if (path)
        AudioEngine::uncache(path);
}

void SimpleAudioEngine::forgetFinishedEffects()
{
    std::erase_if(m_effects, [](int id) { return AudioEngine::getState(id) == AudioState::ERROR; });
}

} // namespace CocosDenshion
