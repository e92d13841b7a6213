#include "AudioDecoder.h"

#include <SDL.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace cocos2d {

namespace {

// Frames read from the file at a time.
constexpr sf_count_t kPieceFrames = 1024;

} // namespace

int AudioOutputFormat::frameBytes() const
{
    return channels * static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8);
}

struct AudioDecoder::Impl {
    ZqFileBytes bytes;
    sf_count_t position = 0;
    SNDFILE* file = nullptr;
    SF_INFO info{};
    SDL_AudioStream* stream = nullptr;
    std::vector<short> piece;
    int outputRate = 0;
    int frameBytes = 0;
    // Frames put in and bytes taken out since the start.
    std::uint64_t framesIn = 0;
    std::uint64_t bytesOut = 0;
    // The file has given its last sample; the output ends at outputEnd bytes.
    bool ended = false;
    std::uint64_t outputEnd = 0;

    // Ends the input. SDL 2.26's converter keeps back the frames its resampler's window
    // spans, and its flush loses them when the input ended on its staging boundary: a
    // silence longer than the window pushes them out instead, and the output is cut where
    // the file's own frames end at the output's rate.
    void endInput()
    {
        ended = true;
        outputEnd = (framesIn * static_cast<std::uint64_t>(outputRate) + static_cast<std::uint64_t>(info.samplerate) - 1) /
                    static_cast<std::uint64_t>(info.samplerate) * static_cast<std::uint64_t>(frameBytes);
        const sf_count_t window = 2 * kPieceFrames + 512 * static_cast<sf_count_t>(info.samplerate) / outputRate;
        std::fill(piece.begin(), piece.end(), 0);
        for (sf_count_t pushed = 0; pushed < window; pushed += kPieceFrames)
            SDL_AudioStreamPut(stream, piece.data(), static_cast<int>(piece.size() * sizeof(short)));
        SDL_AudioStreamFlush(stream);
    }

    ~Impl()
    {
        if (stream)
            SDL_FreeAudioStream(stream);
        if (file)
            sf_close(file);
    }

    // libsndfile reads the bytes through these, as from a file.
    static sf_count_t length(void* self) { return static_cast<sf_count_t>(static_cast<Impl*>(self)->bytes.size); }

    static sf_count_t seek(sf_count_t offset, int whence, void* self)
    {
        Impl* impl = static_cast<Impl*>(self);
        const sf_count_t size = static_cast<sf_count_t>(impl->bytes.size);
        const sf_count_t base = whence == SEEK_CUR ? impl->position : whence == SEEK_END ? size : 0;
        // A position past the end reads nothing; one before the start is refused.
        if ((offset < 0 && -offset > base) || (offset > 0 && offset > INT64_MAX - base))
            return -1;
        impl->position = base + offset;
        return impl->position;
    }

    static sf_count_t readBytes(void* out, sf_count_t count, void* self)
    {
        Impl* impl = static_cast<Impl*>(self);
        const sf_count_t size = static_cast<sf_count_t>(impl->bytes.size);
        const sf_count_t n = impl->position >= size ? 0 : std::min(count, size - impl->position);
        if (n > 0) {
            std::memcpy(out, impl->bytes.data.get() + impl->position, static_cast<size_t>(n));
            impl->position += n;
        }
        return n;
    }

    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t tell(void* self) { return static_cast<Impl*>(self)->position; }
};

AudioDecoder::AudioDecoder(std::unique_ptr<Impl> impl) : m(std::move(impl)) {}

AudioDecoder::~AudioDecoder() = default;

std::unique_ptr<AudioDecoder> AudioDecoder::open(ZqFileBytes bytes, const AudioOutputFormat& output, std::string& refused)
{
    auto impl = std::make_unique<Impl>();
    impl->bytes = std::move(bytes);
    SF_VIRTUAL_IO io{Impl::length, Impl::seek, Impl::readBytes, Impl::write, Impl::tell};
    impl->file = sf_open_virtual(&io, SFM_READ, &impl->info, impl.get());
    if (!impl->file) {
        refused = std::string("no sound decoder knows it (") + sf_strerror(nullptr) + ")";
        return nullptr;
    }
    const SF_INFO& info = impl->info;
    if (info.samplerate < kAudioMinRate || info.samplerate > kAudioMaxRate) {
        refused = "its rate of " + std::to_string(info.samplerate) + " Hz is outside the " +
                  std::to_string(kAudioMinRate) + " to " + std::to_string(kAudioMaxRate) + " Hz of sound files";
        return nullptr;
    }
    // SDL converts up to 8 channels (7.1).
    if (info.channels < 1 || info.channels > 8) {
        refused = "its " + std::to_string(info.channels) + " channels are outside the 1 to 8 the mixer converts";
        return nullptr;
    }
    impl->stream = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(info.channels), info.samplerate, output.format,
                                      static_cast<Uint8>(output.channels), output.rate);
    if (!impl->stream) {
        refused = std::string("it cannot be converted to the mixer's format (") + SDL_GetError() + ")";
        return nullptr;
    }
    impl->piece.resize(static_cast<size_t>(kPieceFrames * info.channels));
    impl->frameBytes = output.frameBytes();
    impl->outputRate = output.rate;
    return std::unique_ptr<AudioDecoder>(new AudioDecoder(std::move(impl)));
}

std::size_t AudioDecoder::read(unsigned char* out, std::size_t length)
{
    Impl& d = *m;
    length -= length % static_cast<size_t>(d.frameBytes);
    size_t done = 0;
    while (done < length) {
        const int available = SDL_AudioStreamAvailable(d.stream);
        size_t wanted = std::min(length - done, static_cast<size_t>(std::max(available, 0)));
        if (d.ended)
            wanted = static_cast<size_t>(std::min<std::uint64_t>(wanted, d.outputEnd - std::min(d.bytesOut, d.outputEnd)));
        if (wanted > 0) {
            const int got = SDL_AudioStreamGet(d.stream, out + done, static_cast<int>(wanted));
            if (got <= 0)
                break;
            done += static_cast<size_t>(got);
            d.bytesOut += static_cast<std::uint64_t>(got);
            continue;
        }
        if (d.ended)
            break;
        const sf_count_t frames = sf_readf_short(d.file, d.piece.data(), kPieceFrames);
        if (frames <= 0 ||
            SDL_AudioStreamPut(d.stream, d.piece.data(), static_cast<int>(frames * d.info.channels * sizeof(short))) != 0)
            d.endInput();
        else
            d.framesIn += static_cast<std::uint64_t>(frames);
    }
    return done;
}

bool AudioDecoder::rewind()
{
    if (sf_seek(m->file, 0, SEEK_SET) != 0)
        return false;
    SDL_AudioStreamClear(m->stream);
    m->ended = false;
    m->framesIn = 0;
    m->bytesOut = 0;
    return true;
}

} // namespace cocos2d
