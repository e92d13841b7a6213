#include "audio/AudioMixer.h"

#include "AudioDecoder.h"
#include "platform/CCFileUtils.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace cocos2d {

namespace {

constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
// Samples per mixing pass: about 23 ms at 44.1 kHz.
constexpr int kBufferSamples = 1024;
// Output bytes a sound is decoded by at a time.
constexpr size_t kDecodePiece = 64 * 1024;

// One mixer channel. loop and passEnded are shared with the mixing thread; the rest
// is written by the main thread only while the channel is not playing.
struct Channel {
    std::atomic<bool> loop{false};
    std::atomic<bool> passEnded{false};
    // Mixing thread only: bytes of the current pass already mixed.
    Uint32 position = 0;
    Uint32 passBytes = 0;
    bool busy = false;
};

// A sound's decoded samples, owned here: the chunk only points at them.
struct Sample {
    std::vector<Uint8> samples;
    Mix_Chunk* chunk = nullptr;

    Sample() = default;
    Sample(const Sample&) = delete;
    Sample& operator=(const Sample&) = delete;
    ~Sample() { Mix_FreeChunk(chunk); }
};

// Why a file was refused: as a file (any use), or as a sound kept decoded.
enum class Refusal { kFile, kLength, kBudget };

// The music track, shared with the mixing thread under the lock.
struct Music {
    std::mutex lock;
    std::unique_ptr<AudioDecoder> decoder;
    bool playing = false;
    bool paused = false;
    bool loop = false;
    int volume = MIX_MAX_VOLUME;
    // Mixing thread only: one pass of decoded music.
    std::vector<Uint8> pass;
};

struct MixerState {
    int users = 0;
    bool open = false;
    AudioOutputFormat output;
    int bytesPerSecond = 0;
    std::map<std::string, std::unique_ptr<Sample>> chunks;
    std::uint64_t decodedBytes = 0;
    std::map<std::string, Refusal> refusals;
    Music music;
    // Owned here so that the mixing thread's pointers stay valid when the list grows.
    std::vector<std::unique_ptr<Channel>> channels;
};

// Never destroyed: a device still open at exit keeps mixing into these channels.
MixerState& state = *new MixerState;

// Runs on the mixing thread for every piece of a playing channel. The mixer hands
// over a sound's samples in pieces that never cross the end of a pass, so counting
// bytes finds each pass end exactly.
void SDLCALL trackPass(int, void* stream, int length, void* data)
{
    Channel* channel = static_cast<Channel*>(data);
    if (channel->passEnded.load()) {
        // Signed 16-bit output: zero is silence.
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    channel->position += static_cast<Uint32>(length);
    if (channel->position >= channel->passBytes) {
        channel->position = 0;
        if (!channel->loop.load())
            channel->passEnded.store(true);
    }
}

int mixVolume(float volume)
{
    return static_cast<int>(std::lround(clampAudioVolume(volume) * MIX_MAX_VOLUME));
}

// Runs on the mixing thread for every pass: the music's next piece, decoded now, mixed at
// the music volume into the pass, which it starts.
void SDLCALL feedMusic(void*, Uint8* stream, int length)
{
    std::memset(stream, 0, static_cast<size_t>(length));
    Music& music = state.music;
    std::lock_guard<std::mutex> guard(music.lock);
    if (!music.decoder || !music.playing || music.paused || length <= 0)
        return;
    const size_t wanted = static_cast<size_t>(length);
    if (music.pass.size() < wanted)
        music.pass.resize(wanted);
    size_t done = 0;
    // A track that gives nothing after going back to its start would loop here forever.
    bool rewound = false;
    while (done < wanted) {
        const size_t got = music.decoder->read(music.pass.data() + done, wanted - done);
        done += got;
        if (done == wanted)
            break;
        if (got > 0)
            rewound = false;
        if (!music.loop || rewound || !music.decoder->rewind()) {
            music.playing = false;
            break;
        }
        rewound = true;
    }
    SDL_MixAudioFormat(stream, music.pass.data(), state.output.format, static_cast<Uint32>(done), music.volume);
}

void growChannels(int count)
{
    const int allocated = Mix_AllocateChannels(count);
    while (static_cast<int>(state.channels.size()) < allocated)
        state.channels.push_back(std::make_unique<Channel>());
}

void openDevice()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        debugLog("[AudioMixer] no audio: %s", SDL_GetError());
        return;
    }
    // SDL_mixer only mixes: every file is decoded by AudioDecoder, so none of its decoders is loaded.
    if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, kOutputChannels, kBufferSamples) != 0) {
        debugLog("[AudioMixer] no audio: %s", Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    int frequency = 0;
    int channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    state.output = AudioOutputFormat{frequency, channels, format};
    state.bytesPerSecond = frequency * state.output.frameBytes();
    growChannels(Mix_AllocateChannels(-1));
    Mix_HookMusic(feedMusic, nullptr);
    state.open = true;
}

void closeDevice()
{
    if (state.open) {
        Mix_HookMusic(nullptr, nullptr);
        AudioMixer::freeMusic();
        Mix_HaltChannel(-1);
        AudioMixer::uncacheAll();
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    state.channels.clear();
    state.open = false;
}

Channel* channelAt(int channel)
{
    if (channel < 0 || channel >= static_cast<int>(state.channels.size()))
        return nullptr;
    return state.channels[static_cast<size_t>(channel)].get();
}

// Whether fullPath was refused for a use: a file refused as a file is refused for every use.
bool wasRefused(const std::string& fullPath, bool asSound)
{
    auto found = state.refusals.find(fullPath);
    return found != state.refusals.end() && (asSound || found->second == Refusal::kFile);
}

void refuse(const std::string& fullPath, Refusal why, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Tells the refusal of fullPath in a line (format continues after its name) and remembers it.
void refuse(const std::string& fullPath, Refusal why, const char* format, ...)
{
    char text[kZqLogLineLength + 1];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    debugLog("[AudioMixer] %s: %s", zqPrintable(fullPath, kZqLogLineLength).c_str(), text);
    state.refusals[fullPath] = why;
}

// A reader over the file at fullPath, or nullptr once it has been told why not.
std::unique_ptr<AudioDecoder> openDecoder(const std::string& fullPath)
{
    ZqFileBytes bytes;
    if (!AudioMixer::readFile(fullPath, bytes)) {
        state.refusals[fullPath] = Refusal::kFile;
        return nullptr;
    }
    std::string why;
    std::unique_ptr<AudioDecoder> decoder = AudioDecoder::open(std::move(bytes), state.output, why);
    if (!decoder)
        refuse(fullPath, Refusal::kFile, "%s", why.c_str());
    return decoder;
}

Sample* loadChunk(const std::string& fullPath)
{
    if (!state.open || fullPath.empty())
        return nullptr;
    auto found = state.chunks.find(fullPath);
    if (found != state.chunks.end())
        return found->second.get();
    if (wasRefused(fullPath, true))
        return nullptr;
    std::unique_ptr<AudioDecoder> decoder = openDecoder(fullPath);
    if (!decoder)
        return nullptr;
    // Decoded a piece at a time until the output passes what the sound may hold: the
    // header's length and rate are never trusted to say how much that is.
    const std::uint64_t cap = static_cast<std::uint64_t>(kAudioMaxSoundSeconds * state.bytesPerSecond);
    const std::uint64_t left = kAudioMaxDecodedBytes - std::min(state.decodedBytes, kAudioMaxDecodedBytes);
    const std::uint64_t limit = std::min(cap, left);
    auto sample = std::make_unique<Sample>();
    std::vector<Uint8>& samples = sample->samples;
    while (samples.size() <= limit) {
        const size_t size = samples.size();
        samples.resize(size + kDecodePiece);
        const size_t got = decoder->read(samples.data() + size, kDecodePiece);
        samples.resize(size + got);
        if (got < kDecodePiece)
            break;
    }
    decoder.reset();
    if (samples.size() > limit) {
        if (limit == cap)
            refuse(fullPath, Refusal::kLength, "it holds more than the %.0f s a sound may hold - not kept",
                   kAudioMaxSoundSeconds);
        else
            refuse(fullPath, Refusal::kBudget,
                   "it would take decoded sounds past their budget of %llu MiB (%.1f MiB held) - not kept",
                   static_cast<unsigned long long>(kAudioMaxDecodedBytes >> 20),
                   static_cast<double>(state.decodedBytes) / (1 << 20));
        return nullptr;
    }
    // Looping an empty sound would spin the mixing thread forever.
    if (samples.empty()) {
        refuse(fullPath, Refusal::kFile, "no samples in it");
        return nullptr;
    }
    samples.shrink_to_fit();
    sample->chunk = Mix_QuickLoad_RAW(samples.data(), static_cast<Uint32>(samples.size()));
    if (!sample->chunk) {
        debugLog("[AudioMixer] cannot play %s: %s", zqPrintable(fullPath, kZqLogLineLength).c_str(), Mix_GetError());
        return nullptr;
    }
    state.decodedBytes += samples.size();
    return state.chunks.emplace(fullPath, std::move(sample)).first->second.get();
}

// Frees cached samples, and forgets the refusals that their room may now undo.
void freeSample(std::map<std::string, std::unique_ptr<Sample>>::iterator found)
{
    state.decodedBytes -= found->second->samples.size();
    state.chunks.erase(found);
    std::erase_if(state.refusals, [](const auto& refusal) { return refusal.second == Refusal::kBudget; });
}

} // namespace

bool AudioMixer::acquire()
{
    if (state.users++ == 0)
        openDevice();
    return state.open;
}

void AudioMixer::release()
{
    if (state.users == 0)
        return;
    if (--state.users == 0)
        closeDevice();
}

bool AudioMixer::isOpen()
{
    return state.open;
}

std::string AudioMixer::resolve(const std::string& path)
{
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    if (path.empty() || !files->isFileExist(path)) {
        debugLog("[AudioMixer] %s", files->missingFileText(path).c_str());
        return "";
    }
    return files->fullPathForFilename(path);
}

bool AudioMixer::readFile(const std::string& fullPath, ZqFileBytes& bytes)
{
    const std::string refused =
        zqReadRegularFile(fullPath, CCFileUtils::sharedFileUtils()->getResourceRoot(), kZqMaxDataFileSize, bytes);
    if (!refused.empty())
        debugLog("[AudioMixer] %s: %s", zqPrintable(fullPath, kZqLogLineLength).c_str(), refused.c_str());
    return refused.empty();
}

bool AudioMixer::preload(const std::string& fullPath)
{
    return loadChunk(fullPath) != nullptr;
}

void AudioMixer::uncache(const std::string& fullPath)
{
    auto found = state.chunks.find(fullPath);
    if (found != state.chunks.end())
        freeSample(found);
}

void AudioMixer::uncacheAll()
{
    while (!state.chunks.empty())
        freeSample(state.chunks.begin());
}

float AudioMixer::duration(const std::string& fullPath)
{
    auto found = state.chunks.find(fullPath);
    if (found == state.chunks.end() || state.bytesPerSecond <= 0)
        return -1.0f;
    return static_cast<float>(found->second->chunk->alen) / static_cast<float>(state.bytesPerSecond);
}

std::uint64_t AudioMixer::decodedBytes()
{
    return state.decodedBytes;
}

int AudioMixer::startChannel(const std::string& fullPath, bool loop, float volume)
{
    Sample* sample = loadChunk(fullPath);
    if (!sample)
        return -1;
    Mix_Chunk* chunk = sample->chunk;
    int number = 0;
    while (number < static_cast<int>(state.channels.size()) && state.channels[static_cast<size_t>(number)]->busy)
        ++number;
    if (number == static_cast<int>(state.channels.size()))
        growChannels(std::max(8, number * 2));
    Channel* channel = channelAt(number);
    if (!channel) {
        debugLog("[AudioMixer] no free channel for %s", zqPrintable(fullPath, kZqLogLineLength).c_str());
        return -1;
    }
    channel->loop.store(loop);
    channel->passEnded.store(false);
    channel->position = 0;
    channel->passBytes = chunk->alen;
    Mix_Volume(number, mixVolume(volume));
    // The tracker goes on before the first samples are mixed, so that it counts them all.
    Mix_UnregisterAllEffects(number);
    if (Mix_RegisterEffect(number, trackPass, nullptr, channel) == 0 ||
        Mix_PlayChannel(number, chunk, -1) < 0) {
        debugLog("[AudioMixer] cannot play %s: %s", zqPrintable(fullPath, kZqLogLineLength).c_str(), Mix_GetError());
        Mix_UnregisterAllEffects(number);
        return -1;
    }
    channel->busy = true;
    return number;
}

void AudioMixer::haltChannel(int number)
{
    Channel* channel = channelAt(number);
    if (!channel || !channel->busy)
        return;
    Mix_HaltChannel(number);
    channel->busy = false;
}

void AudioMixer::pauseChannel(int number)
{
    if (channelAt(number))
        Mix_Pause(number);
}

void AudioMixer::resumeChannel(int number)
{
    if (channelAt(number))
        Mix_Resume(number);
}

void AudioMixer::setChannelVolume(int number, float volume)
{
    if (channelAt(number))
        Mix_Volume(number, mixVolume(volume));
}

void AudioMixer::setChannelLoop(int number, bool loop)
{
    if (Channel* channel = channelAt(number))
        channel->loop.store(loop);
}

bool AudioMixer::channelPassEnded(int number)
{
    Channel* channel = channelAt(number);
    return channel && channel->busy && channel->passEnded.load();
}

int AudioMixer::channelCount()
{
    return static_cast<int>(state.channels.size());
}

bool AudioMixer::loadMusic(const std::string& fullPath)
{
    if (!state.open || fullPath.empty() || wasRefused(fullPath, false))
        return false;
    std::unique_ptr<AudioDecoder> decoder = openDecoder(fullPath);
    if (!decoder)
        return false;
    std::lock_guard<std::mutex> guard(state.music.lock);
    state.music.decoder.swap(decoder);
    state.music.playing = false;
    state.music.paused = false;
    // The track before is closed once the lock is let go, outside the mixing thread's pass.
    return true;
}

void AudioMixer::freeMusic()
{
    std::unique_ptr<AudioDecoder> decoder;
    std::lock_guard<std::mutex> guard(state.music.lock);
    state.music.decoder.swap(decoder);
    state.music.playing = false;
}

bool AudioMixer::playMusic(bool loop, float volume)
{
    Music& music = state.music;
    std::lock_guard<std::mutex> guard(music.lock);
    if (!music.decoder || !music.decoder->rewind())
        return false;
    music.loop = loop;
    music.volume = mixVolume(volume);
    music.paused = false;
    music.playing = true;
    return true;
}

void AudioMixer::haltMusic()
{
    std::lock_guard<std::mutex> guard(state.music.lock);
    state.music.playing = false;
}

void AudioMixer::pauseMusic()
{
    std::lock_guard<std::mutex> guard(state.music.lock);
    state.music.paused = state.music.playing;
}

void AudioMixer::resumeMusic()
{
    std::lock_guard<std::mutex> guard(state.music.lock);
    state.music.paused = false;
}

void AudioMixer::setMusicVolume(float volume)
{
    std::lock_guard<std::mutex> guard(state.music.lock);
    state.music.volume = mixVolume(volume);
}

bool AudioMixer::musicPlaying()
{
    std::lock_guard<std::mutex> guard(state.music.lock);
    return state.music.playing && !state.music.paused;
}

} // namespace cocos2d
