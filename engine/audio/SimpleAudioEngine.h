#pragma once

#include <string>
#include <vector>

namespace CocosDenshion {

// Background music (one track at a time, streamed) and sound effects, by path.
// Main thread only; the audio device opens with the shared engine.
//
// Effects are AudioEngine sounds (same ids, same cache) played at the effects
// volume; playEffect answers 0 when nothing plays, as real ids start at 1. A null or
// missing path does nothing. Volumes are 0..1 (clamped).
class SimpleAudioEngine {
public:
    // Created on first use.
    static SimpleAudioEngine* sharedEngine();
    // Stops the music and the effects, frees the music and lets go of the device;
    // sharedEngine() then makes a fresh engine.
    static void end();

    // Loads the track so that playing it starts at once; replaces a loaded track.
    void preloadBackgroundMusic(const char* path);
    // Plays the track from the start, once or looped forever, replacing what plays.
    void playBackgroundMusic(const char* path, bool loop = false);
    // With releaseData, the loaded track is freed too.
    void stopBackgroundMusic(bool releaseData = false);
    void pauseBackgroundMusic();
    void resumeBackgroundMusic();
    // False while paused or stopped.
    bool isBackgroundMusicPlaying();
    float getBackgroundMusicVolume() const { return m_musicVolume; }
    void setBackgroundMusicVolume(float volume);

    // Applies to the effects playing and to those played later.
    float getEffectsVolume() const { return m_effectsVolume; }
    void setEffectsVolume(float volume);
    unsigned int playEffect(const char* path, bool loop = false);
    void pauseEffect(unsigned int soundId);
    void resumeEffect(unsigned int soundId);
    void stopEffect(unsigned int soundId);
    void stopAllEffects();
    void preloadEffect(const char* path);
    // Stops the effects playing the file and frees its samples.
    void unloadEffect(const char* path);

private:
    SimpleAudioEngine();
    ~SimpleAudioEngine();
    // Loads path as the current track unless it already is; false on failure.
    bool loadTrack(const char* path);
    // Drops ids of effects that have finished.
    void forgetFinishedEffects();

    bool m_deviceOpen = false;
    // The full path of the track the mixer holds; empty when none.
    std::string m_trackPath;
    float m_musicVolume = 1.0f;
    float m_effectsVolume = 1.0f;
    std::vector<int> m_effects;
};

} // namespace CocosDenshion
