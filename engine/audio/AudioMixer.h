#pragma once

#include <string>

struct ZqFileBytes;

namespace cocos2d {

// The audio device and the decoded samples shared by AudioEngine and
// SimpleAudioEngine. Engine-internal: game code uses those two front ends.
// Main thread only, like the rest of the engine.
//
// The device is opened by the first user (acquire) and closed, with every sample
// freed, when the last user lets go (release). When it cannot open (no driver, no
// device), one log line says so and every later call fails quietly until the last
// user has released it.
//
// Channels: a sound plays on a channel of its own, looping forever inside the mixer;
// the mixing thread marks the channel when a pass ends while looping is off, and
// plays silence from there on. The owner notices the mark between frames
// (channelPassEnded) and halts the channel. So looping can be switched off (or back
// on) while a sound plays, and the pass under way is always finished. The channel
// count grows when every channel is taken.
//
// Paths are resolved with CCFileUtils (case-insensitive fallback); samples are cached
// by their resolved path.
class AudioMixer {
public:
    // True when the device is open.
    static bool acquire();
    static void release();
    static bool isOpen();

    // The resolved path of an existing file; "" (and a log line) when it is missing.
    static std::string resolve(const std::string& path);

    // The whole file at fullPath, within the data file limits and inside the resource root
    // (zqReadRegularFile); false and a log line when it is refused.
    static bool readFile(const std::string& fullPath, ZqFileBytes& bytes);
    // Decodes fullPath into the cache, by its content rather than its name. False (and a log line) for a missing,
    // undecodable or empty file, or without a device.
    static bool preload(const std::string& fullPath);
    // Frees the cached samples of fullPath. Every channel playing them must be halted.
    static void uncache(const std::string& fullPath);
    static void uncacheAll();
    // Seconds of one pass of the cached samples; < 0 when they are not cached.
    static float duration(const std::string& fullPath);

    // Starts the samples of fullPath (decoded on demand) on a free channel at volume
    // 0..1. The channel number, or -1 (and a log line) on failure.
    static int startChannel(const std::string& fullPath, bool loop, float volume);
    // Stops the channel at once and frees it for the next start.
    static void haltChannel(int channel);
    static void pauseChannel(int channel);
    static void resumeChannel(int channel);
    static void setChannelVolume(int channel, float volume);
    static void setChannelLoop(int channel, bool loop);
    // Whether the channel's last pass has ended (looping was off at its end).
    static bool channelPassEnded(int channel);
    // Channels the mixer has now (grown on demand, never shrunk while open).
    static int channelCount();
};

// A volume clamped to 0..1 (NaN counts as 0).
inline float clampAudioVolume(float volume)
{
    if (!(volume > 0.0f))
        return 0.0f;
    return volume > 1.0f ? 1.0f : volume;
}

} // namespace cocos2d
