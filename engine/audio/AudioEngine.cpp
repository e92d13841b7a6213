#include "audio/AudioEngine.h"

#include "audio/AudioMixer.h"
#include "base/CCObject.h"
#include "director/CCDirector.h"
#include "director/CCScheduler.h"
#include "platform/CCFileUtils.h"

#include <map>
#include <utility>
#include <vector>

namespace cocos2d::experimental {

namespace {

struct Sound {
    std::string path;
    std::string fullPath;
    int channel;
    bool loop;
    float volume;
    bool paused = false;
    std::function<void(int, const std::string&)> onFinish;
};

void deliverFinished();

// Scheduled for updates on the director's scheduler: delivers finishes in the frame.
class FrameHook : public CCObject {
public:
    void update(float) override { deliverFinished(); }
};

struct EngineState {
    // Ordered by id: finishes of one frame are delivered oldest sound first.
    std::map<int, Sound> sounds;
    int nextId = 1;
    bool deviceAcquired = false;
    FrameHook* hook = nullptr;
    // Retained, so that a purged director's scheduler cannot be mistaken for a new
    // one at the same address.
    CCScheduler* scheduler = nullptr;
};

EngineState state;

bool ensureDevice()
{
    // A device that failed to open stays failed until end(): one log line, not one a play.
    if (!state.deviceAcquired) {
        state.deviceAcquired = true;
        return AudioMixer::acquire();
    }
    return AudioMixer::isOpen();
}

// Puts the hook on the current director's scheduler, once a director has been
// purged and replaced, or after the scheduler dropped everything.
void ensureHooked()
{
    CCScheduler* current = CCDirector::sharedDirector()->getScheduler();
    if (!state.hook)
        state.hook = new FrameHook();
    if (state.scheduler == current && current->isUpdateScheduled(state.hook))
        return;
    if (state.scheduler) {
        state.scheduler->unscheduleUpdateForTarget(state.hook);
        state.scheduler->release();
    }
    current->retain();
    state.scheduler = current;
    current->scheduleUpdateForTarget(state.hook, 0, false);
}

Sound* find(int audioID)
{
    auto found = state.sounds.find(audioID);
    return found == state.sounds.end() ? nullptr : &found->second;
}

void deliverFinished()
{
    std::vector<int> finished;
    for (const auto& [id, sound] : state.sounds) {
        if (AudioMixer::channelPassEnded(sound.channel))
            finished.push_back(id);
    }
    for (int id : finished) {
        // An earlier callback of this frame may have stopped it.
        auto found = state.sounds.find(id);
        if (found == state.sounds.end())
            continue;
        Sound sound = std::move(found->second);
        state.sounds.erase(found);
        AudioMixer::haltChannel(sound.channel);
        if (sound.onFinish)
            sound.onFinish(id, sound.path);
    }
}

} // namespace

int AudioEngine::play2d(const std::string& path, bool loop, float volume)
{
    if (!ensureDevice())
        return INVALID_AUDIO_ID;
    const std::string fullPath = AudioMixer::resolve(path);
    if (fullPath.empty())
        return INVALID_AUDIO_ID;
    volume = clampAudioVolume(volume);
    const int channel = AudioMixer::startChannel(fullPath, loop, volume);
    if (channel < 0)
        return INVALID_AUDIO_ID;
    const int id = state.nextId++;
    state.sounds.emplace(id, Sound{path, fullPath, channel, loop, volume, false, nullptr});
    ensureHooked();
    return id;
}

void AudioEngine::setLoop(int audioID, bool loop)
{
    if (Sound* sound = find(audioID)) {
        sound->loop = loop;
        AudioMixer::setChannelLoop(sound->channel, loop);
    }
}

bool AudioEngine::isLoop(int audioID)
{
    const Sound* sound = find(audioID);
    return sound && sound->loop;
}

void AudioEngine::setVolume(int audioID, float volume)
{
    if (Sound* sound = find(audioID)) {
        sound->volume = clampAudioVolume(volume);
        AudioMixer::setChannelVolume(sound->channel, sound->volume);
    }
}

float AudioEngine::getVolume(int audioID)
{
    const Sound* sound = find(audioID);
    return sound ? sound->volume : 0.0f;
}

void AudioEngine::pause(int audioID)
{
    if (Sound* sound = find(audioID)) {
        sound->paused = true;
        AudioMixer::pauseChannel(sound->channel);
    }
}

void AudioEngine::resume(int audioID)
{
    if (Sound* sound = find(audioID)) {
        sound->paused = false;
        AudioMixer::resumeChannel(sound->channel);
    }
}

void AudioEngine::stop(int audioID)
{
    auto found = state.sounds.find(audioID);
    if (found == state.sounds.end())
        return;
    AudioMixer::haltChannel(found->second.channel);
    state.sounds.erase(found);
}

void AudioEngine::stopAll()
{
    for (const auto& [id, sound] : state.sounds)
        AudioMixer::haltChannel(sound.channel);
    state.sounds.clear();
}

AudioState AudioEngine::getState(int audioID)
{
    const Sound* sound = find(audioID);
    if (!sound)
        return AudioState::ERROR;
    return sound->paused ? AudioState::PAUSED : AudioState::PLAYING;
}

float AudioEngine::getDuration(int audioID)
{
    const Sound* sound = find(audioID);
    return sound ? AudioMixer::duration(sound->fullPath) : TIME_UNKNOWN;
}

void AudioEngine::setFinishCallback(int audioID, const std::function<void(int, const std::string&)>& callback)
{
    if (Sound* sound = find(audioID)) {
        sound->onFinish = callback;
        ensureHooked();
    }
}

bool AudioEngine::preload(const std::string& path)
{
    if (!ensureDevice())
        return false;
    const std::string fullPath = AudioMixer::resolve(path);
    return !fullPath.empty() && AudioMixer::preload(fullPath);
}

void AudioEngine::uncache(const std::string& path)
{
    const std::string fullPath = CCFileUtils::sharedFileUtils()->fullPathForFilename(path);
    for (auto it = state.sounds.begin(); it != state.sounds.end();) {
        if (it->second.fullPath == fullPath) {
            AudioMixer::haltChannel(it->second.channel);
            it = state.sounds.erase(it);
        } else {
            ++it;
        }
    }
    AudioMixer::uncache(fullPath);
}

void AudioEngine::uncacheAll()
{
    stopAll();
    AudioMixer::uncacheAll();
}

void AudioEngine::end()
{
    uncacheAll();
    if (state.scheduler) {
        state.scheduler->unscheduleUpdateForTarget(state.hook);
        CC_SAFE_RELEASE_NULL(state.scheduler);
    }
    CC_SAFE_RELEASE_NULL(state.hook);
    if (state.deviceAcquired) {
        state.deviceAcquired = false;
        AudioMixer::release();
    }
}

} // namespace cocos2d::experimental
