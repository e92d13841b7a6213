#include "audio/SimpleAudioEngine.h"

#include "audio/AudioEngine.h"
#include "audio/AudioMixer.h"

#include <ZqLog.h>

namespace CocosDenshion {

using cocos2d::AudioMixer;
using cocos2d::clampAudioVolume;
using cocos2d::experimental::AudioEngine;
using cocos2d::experimental::AudioState;

namespace {

SimpleAudioEngine* sharedInstance = nullptr;

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
        AudioMixer::freeMusic();
    AudioMixer::release();
}

bool SimpleAudioEngine::loadTrack(const char* path)
{
    if (!path || !m_deviceOpen)
        return false;
    const std::string fullPath = AudioMixer::resolve(path);
    if (fullPath.empty())
        return false;
    if (m_trackPath == fullPath)
        return true;
    // Decoded by content like the sound effects, whatever the name says; a refused track
    // leaves the one before loaded.
    if (!AudioMixer::loadMusic(fullPath))
        return false;
    m_trackPath = fullPath;
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
    if (!AudioMixer::playMusic(loop, m_musicVolume))
        debugLog("[SimpleAudioEngine] cannot play %s: it cannot go back to its start",
                 zqPrintable(path, kZqLogLineLength).c_str());
}

void SimpleAudioEngine::stopBackgroundMusic(bool releaseData)
{
    if (!m_deviceOpen)
        return;
    AudioMixer::haltMusic();
    if (releaseData) {
        AudioMixer::freeMusic();
        m_trackPath.clear();
    }
}

void SimpleAudioEngine::pauseBackgroundMusic()
{
    if (m_deviceOpen)
        AudioMixer::pauseMusic();
}

void SimpleAudioEngine::resumeBackgroundMusic()
{
    if (m_deviceOpen)
        AudioMixer::resumeMusic();
}

bool SimpleAudioEngine::isBackgroundMusicPlaying()
{
    return m_deviceOpen && AudioMixer::musicPlaying();
}

void SimpleAudioEngine::setBackgroundMusicVolume(float volume)
{
    m_musicVolume = clampAudioVolume(volume);
    if (m_deviceOpen)
        AudioMixer::setMusicVolume(m_musicVolume);
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
