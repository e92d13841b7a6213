#pragma once

#include <functional>
#include <string>

namespace cocos2d::experimental {

enum class AudioState {
    ERROR = -1,
    INITIALIZING,
    PLAYING,
    PAUSED,
};

// Sounds played by id. Main thread only; the audio device opens on first use.
//
// An id names one play of a file. Ids are positive, unique and never reused while
// the process runs; an id is known from play2d until its sound finishes or is
// stopped, and calls with an unknown id do nothing (getState answers ERROR).
//
// A sound finishes when a pass ends while looping is off: the finish callback then
// runs once, on the main thread, inside the next director frame (the engine's
// per-frame hook on the director's scheduler; while the director is paused, no
// finishes are delivered). An explicit stop, stopAll, uncache, uncacheAll or end
// forgets the sound without a callback.
//
// Volumes are 0..1 (clamped). Paths are resolved by CCFileUtils.
class AudioEngine {
public:
    static constexpr int INVALID_AUDIO_ID = -1;
    static constexpr float TIME_UNKNOWN = -1.0f;

    // Starts a sound; its id, or INVALID_AUDIO_ID (and a log line) for a missing or
    // undecodable file or without an audio device.
    static int play2d(const std::string& path, bool loop = false, float volume = 1.0f);

    // On a playing sound, turning looping off lets the current pass finish.
    static void setLoop(int audioID, bool loop);
    static bool isLoop(int audioID);
    static void setVolume(int audioID, float volume);
    // 0 for an unknown id.
    static float getVolume(int audioID);
    static void pause(int audioID);
    static void resume(int audioID);
    static void stop(int audioID);
    static void stopAll();
    static AudioState getState(int audioID);
    // Seconds of one pass; TIME_UNKNOWN for an unknown id.
    static float getDuration(int audioID);

    // Replaces the sound's finish callback; ignored for an unknown id. The callback
    // gets the id and the path given to play2d.
    static void setFinishCallback(int audioID, const std::function<void(int, const std::string&)>& callback);

    // Decodes a file ahead of its first play; false (and a log line) on failure.
    static bool preload(const std::string& path);
    // Stops the sounds playing the file (no callbacks) and frees its samples.
    static void uncache(const std::string& path);
    static void uncacheAll();

    // Stops everything (no callbacks), frees the samples, leaves the director's frame
    // and lets go of the audio device. The next call starts afresh.
    static void end();
};

} // namespace cocos2d::experimental
