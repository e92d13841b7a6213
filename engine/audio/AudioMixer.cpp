#include "audio/AudioMixer.h"

#include "platform/CCFileUtils.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace cocos2d {

namespace {

constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
// Samples per mixing pass: about 23 ms at 44.1 kHz.
constexpr int kBufferSamples = 1024;
// The longest sound kept decoded, in seconds. Sounds are decoded whole at the mixer's rate
// and kept for the run: a header claiming a rate of 1 Hz turns each byte of a 2 KB file into
// a second of audio, 0.7 GB once converted.
constexpr double kMaxSoundSeconds = 180.0;

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

struct MixerState {
    int users = 0;
    bool open = false;
    int bytesPerSecond = 0;
    std::map<std::string, Mix_Chunk*> chunks;
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
    const int decoders = Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);
    if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, kOutputChannels, kBufferSamples) != 0) {
        debugLog("[AudioMixer] no audio: %s", Mix_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    if (!(decoders & MIX_INIT_MP3))
        debugLog("[AudioMixer] no MP3 decoder: %s", Mix_GetError());
    int frequency = 0;
    int channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    state.bytesPerSecond = frequency * channels * static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8);
    growChannels(Mix_AllocateChannels(-1));
    state.open = true;
}

void closeDevice()
{
    if (state.open) {
        Mix_HaltChannel(-1);
        AudioMixer::uncacheAll();
        Mix_CloseAudio();
        Mix_Quit();
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

// Seconds of audio in a sound file, read before its samples are converted to the mixer's
// rate; < 0 when they cannot be told. A WAV is read as the mixer reads it (its samples at
// their own rate, a few times the file at most); any other format by its decoder's length,
// read without decoding.
double soundSeconds(const ZqFileBytes& bytes)
{
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data.get(), static_cast<int>(bytes.size));
    const char* magic = reinterpret_cast<const char*>(bytes.data.get());
    if (bytes.size >= 4 && (std::memcmp(magic, "RIFF", 4) == 0 || std::memcmp(magic, "WAVE", 4) == 0)) {
        SDL_AudioSpec wav{};
        Uint8* samples = nullptr;
        Uint32 length = 0;
        if (!SDL_LoadWAV_RW(source, 1, &wav, &samples, &length))
            return -1.0;
        SDL_FreeWAV(samples);
        const Uint32 frameBytes = SDL_AUDIO_BITSIZE(wav.format) / 8 * wav.channels;
        return frameBytes > 0 && wav.freq > 0 ? static_cast<double>(length / frameBytes) / wav.freq : -1.0;
    }
    Mix_Music* music = Mix_LoadMUS_RW(source, 1);
    if (!music)
        return -1.0;
    // A decoder that does not know its length says 0 (a FLAC stream may leave it out).
    const double seconds = Mix_MusicDuration(music);
    Mix_FreeMusic(music);
    return seconds > 0.0 ? seconds : -1.0;
}

Mix_Chunk* loadChunk(const std::string& fullPath)
{
    if (!state.open || fullPath.empty())
        return nullptr;
    auto found = state.chunks.find(fullPath);
    if (found != state.chunks.end())
        return found->second;
    ZqFileBytes bytes;
    if (!AudioMixer::readFile(fullPath, bytes))
        return nullptr;
    const std::string shown = zqPrintable(fullPath, kZqLogLineLength);
    const double seconds = soundSeconds(bytes);
    if (seconds < 0.0) {
        debugLog("[AudioMixer] cannot decode %s: its length cannot be read (%s)", shown.c_str(), Mix_GetError());
        return nullptr;
    }
    if (seconds > kMaxSoundSeconds) {
        debugLog("[AudioMixer] %s holds %.0f s of audio, more than the %.0f s a sound may hold - not decoded",
                 shown.c_str(), seconds, kMaxSoundSeconds);
        return nullptr;
    }
    // Decoded by content, whatever the name says; the samples are copied out.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data.get(), static_cast<int>(bytes.size)), 1);
    if (!chunk) {
        debugLog("[AudioMixer] cannot decode %s: %s", shown.c_str(), Mix_GetError());
        return nullptr;
    }
    // Looping an empty sound would spin the mixing thread forever.
    if (chunk->alen == 0) {
        debugLog("[AudioMixer] no samples in %s", shown.c_str());
        Mix_FreeChunk(chunk);
        return nullptr;
    }
    state.chunks.emplace(fullPath, chunk);
    return chunk;
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
    if (found == state.chunks.end())
        return;
    Mix_FreeChunk(found->second);
    state.chunks.erase(found);
}

void AudioMixer::uncacheAll()
{
    for (auto& [path, chunk] : state.chunks)
        Mix_FreeChunk(chunk);
    state.chunks.clear();
}

float AudioMixer::duration(const std::string& fullPath)
{
    auto found = state.chunks.find(fullPath);
    if (found == state.chunks.end() || state.bytesPerSecond <= 0)
        return -1.0f;
    return static_cast<float>(found->second->alen) / static_cast<float>(state.bytesPerSecond);
}

int AudioMixer::startChannel(const std::string& fullPath, bool loop, float volume)
{
    Mix_Chunk* chunk = loadChunk(fullPath);
    if (!chunk)
        return -1;
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

} // namespace cocos2d
