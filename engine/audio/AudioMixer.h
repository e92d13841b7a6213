#pragma once

#include <cstdint>
#include <string>

struct ZqFileBytes;

namespace cocos2d {

// The longest sound kept decoded, in seconds, and the decoded bytes all kept sounds may hold
// together. Sounds are kept decoded at the mixer's rate for the run: 180 s is 31.75 MB at
// 44.1 kHz stereo, and the budget holds eight such.
inline constexpr double kAudioMaxSoundSeconds = 180.0;
inline constexpr std::uint64_t kAudioMaxDecodedBytes = std::uint64_t(256) << 20;

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
// by their resolved path. Every file is decoded through one reader (AudioDecoder), in
// pieces converted to the mixer's format as they come: a sound is refused once its output
// passes kAudioMaxSoundSeconds or what is left of kAudioMaxDecodedBytes, whatever its header
// claims. A refusal is told once and remembered for the run, by path; one for the budget
// only until samples are freed.
//
// Music is one track at a time, streamed through the same reader a piece per mixing pass,
// so that it is never held decoded.
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
    // Decodes fullPath into the cache, by its content rather than its name. False (and a log line, the first
    // time) for a refused, undecodable or empty file; false without a device.
    static bool preload(const std::string& fullPath);
    // Frees the cached samples of fullPath. Every channel playing them must be halted.
    static void uncache(const std::string& fullPath);
    static void uncacheAll();
    // Seconds of one pass of the cached samples; < 0 when they are not cached.
    static float duration(const std::string& fullPath);
    // Bytes of decoded samples cached now, all files together.
    static std::uint64_t decodedBytes();

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

    // Opens fullPath as the music track, stopped, in place of the track before; false (and a
    // log line) when it is refused or without a device.
    static bool loadMusic(const std::string& fullPath);
    // Stops and closes the track.
    static void freeMusic();
    // Plays the loaded track from its start, once or looped forever, at volume 0..1.
    static bool playMusic(bool loop, float volume);
    static void haltMusic();
    static void pauseMusic();
    static void resumeMusic();
    static void setMusicVolume(float volume);
    // True while the track plays and is not paused.
    static bool musicPlaying();
};

// A volume clamped to 0..1 (NaN counts as 0).
inline float clampAudioVolume(float volume)
{
    if (!(volume > 0.0f))
        return 0.0f;
    return volume > 1.0f ? 1.0f : volume;
}

} // namespace cocos2d
