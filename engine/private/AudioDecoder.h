#pragma once

#include <ZqFileRead.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cocos2d {

// The rates a sound file may be made at, in Hz. Below the floor a file's every byte becomes
// a long stretch of output (a WAV claiming 1 Hz turns 2 KB into 2,000 s), and no real sound
// is made so slowly; above the ceiling the rate converter's window grows with the ratio.
inline constexpr int kAudioMinRate = 4000;
inline constexpr int kAudioMaxRate = 384000;

// The format decoded sound is converted to: the mixer's rate (Hz), channel count and SDL
// sample format.
struct AudioOutputFormat {
    int rate = 0;
    int channels = 0;
    std::uint16_t format = 0;

    int frameBytes() const;
};

// A sound file's samples read through one reader (libsndfile: WAV, AIFF, FLAC, Ogg Vorbis and
// Opus, MP3, told by content) in pieces of a few thousand frames, each converted to the
// output format as it is read. What it holds at any time is a piece, whatever the file's
// header claims; a caller that keeps the output bounds it by what it keeps. Not thread-safe:
// one thread at a time.
class AudioDecoder {
public:
    // A decoder over bytes, which it owns. nullptr, and why in refused, for bytes no reader
    // knows, a stream whose rate is outside kAudioMinRate..kAudioMaxRate, or channels that
    // cannot be converted.
    static std::unique_ptr<AudioDecoder> open(ZqFileBytes bytes, const AudioOutputFormat& output, std::string& refused);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // Writes up to length bytes of output, whole frames; fewer only at the end of the
    // stream (or where it cannot be read on), 0 after it.
    std::size_t read(unsigned char* out, std::size_t length);
    // Back to the first sample; false when the stream cannot go back.
    bool rewind();

private:
    struct Impl;
    explicit AudioDecoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m;
};

} // namespace cocos2d
