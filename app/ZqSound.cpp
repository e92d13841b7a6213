#include "app/ZqSound.h"

#include "app/ZqPSettingsController.h"
#include "model/scene/ZqModelMedia.h"

#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"

#include <algorithm>
#include <vector>

using cocos2d::experimental::AudioEngine;
using CocosDenshion::SimpleAudioEngine;

namespace {

// The sound whose track the music engine plays: the engine cannot say which track plays,
// and a sound must not stop a track that another sound started since.
uint64_t musicOwner = 0;

} // namespace

ZqSound::ZqSound(uint64_t serial, std::shared_ptr<ZqModelSound> model, int ownerTag)
    : m_serial(serial), m_model(std::move(model)), m_ownerTag(ownerTag)
{
}

ZqSound::~ZqSound()
{
    halt();
}

void ZqSound::play(bool loop, bool music)
{
    if (!m_model)
        return;
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    if (music ? settings->isBackgroundSoundMuted() : settings->isEffectsSoundMuted())
        return;
    halt();
    const std::string path = m_model->soundPath();
    if (music) {
        SimpleAudioEngine* engine = SimpleAudioEngine::sharedEngine();
        engine->setBackgroundMusicVolume(m_volume);
        engine->playBackgroundMusic(path.c_str(), loop);
        musicOwner = m_serial;
        m_music = true;
        m_state = kPlaying;
        return;
    }
    m_music = false;
    m_audioId = AudioEngine::play2d(path, loop, m_volume);
    if (m_audioId == AudioEngine::INVALID_AUDIO_ID)
        return;
    m_state = kPlaying;
    const uint64_t serial = m_serial;
    AudioEngine::setFinishCallback(m_audioId, [serial](int, const std::string&) {
        ZqSoundRegistry::shared().finished(serial);
    });
}

void ZqSound::halt()
{
    if (m_state != kStopped) {
        if (!m_music)
            AudioEngine::stop(m_audioId);
        else if (musicOwner == m_serial)
            SimpleAudioEngine::sharedEngine()->stopBackgroundMusic();
    }
    if (musicOwner == m_serial)
        musicOwner = 0;
    m_state = kStopped;
    m_audioId = -1;
    m_pauses = 0;
}

void ZqSound::stop()
{
    halt();
    // Last: the release frees this sound.
    if (m_deleteWhenFinished)
        ZqSoundRegistry::shared().release(m_serial);
}

void ZqSound::stopLooping()
{
    if (m_state != kStopped && !m_music)
        AudioEngine::setLoop(m_audioId, false);
}

void ZqSound::pause()
{
    addPause(kPausedByOwner);
}

void ZqSound::resume()
{
    removePause(kPausedByOwner);
}

void ZqSound::addPause(int reason)
{
    if (m_state == kStopped)
        return;
    if (m_pauses == 0) {
        if (!m_music)
            AudioEngine::pause(m_audioId);
        else if (musicOwner == m_serial)
            SimpleAudioEngine::sharedEngine()->pauseBackgroundMusic();
        m_state = kPaused;
    }
    m_pauses |= reason;
}

void ZqSound::removePause(int reason)
{
    if (m_state != kPaused || (m_pauses & reason) == 0)
        return;
    m_pauses &= ~reason;
    if (m_pauses != 0)
        return;
    if (!m_music)
        AudioEngine::resume(m_audioId);
    else if (musicOwner == m_serial)
        SimpleAudioEngine::sharedEngine()->resumeBackgroundMusic();
    m_state = kPlaying;
}

float ZqSound::getVolume() const
{
    if (m_state == kStopped)
        return 0.0f;
    if (m_music)
        return SimpleAudioEngine::sharedEngine()->getBackgroundMusicVolume();
    return AudioEngine::getVolume(m_audioId);
}

void ZqSound::setVolume(float volume)
{
    m_volume = std::clamp(volume, 0.0f, 1.0f);
    if (m_state == kStopped)
        return;
    if (!m_music)
        AudioEngine::setVolume(m_audioId, m_volume);
    else if (musicOwner == m_serial)
        SimpleAudioEngine::sharedEngine()->setBackgroundMusicVolume(m_volume);
}

ZqSoundHandle::ZqSoundHandle(std::shared_ptr<ZqModelSound> model, int ownerTag)
    : m_serial(ZqSoundRegistry::shared().create(std::move(model), ownerTag))
{
}

ZqSoundHandle& ZqSoundHandle::operator=(ZqSoundHandle&& other) noexcept
{
    if (this != &other) {
        reset();
        m_serial = other.m_serial;
        other.m_serial = 0;
    }
    return *this;
}

void ZqSoundHandle::reset()
{
    const uint64_t serial = m_serial;
    m_serial = 0;
    if (serial != 0)
        ZqSoundRegistry::shared().release(serial);
}

ZqSoundRegistry& ZqSoundRegistry::shared()
{
    // Never destroyed: sounds left at exit would otherwise stop after the audio engine
    // was torn down.
    static ZqSoundRegistry* instance = new ZqSoundRegistry();
    return *instance;
}

uint64_t ZqSoundRegistry::create(std::shared_ptr<ZqModelSound> model, int ownerTag)
{
    const uint64_t serial = m_nextSerial++;
    m_sounds.emplace(serial, std::unique_ptr<ZqSound>(new ZqSound(serial, std::move(model), ownerTag)));
    return serial;
}

ZqSound* ZqSoundRegistry::find(uint64_t serial) const
{
    auto found = m_sounds.find(serial);
    return found == m_sounds.end() ? nullptr : found->second.get();
}

void ZqSoundRegistry::release(uint64_t serial)
{
    auto found = m_sounds.find(serial);
    if (found == m_sounds.end())
        return;
    // Out of the map before the destructor runs, so nothing it reaches finds it again.
    std::unique_ptr<ZqSound> sound = std::move(found->second);
    m_sounds.erase(found);
}

uint64_t ZqSoundRegistry::playOnce(std::shared_ptr<ZqModelSound> model, int ownerTag)
{
    const uint64_t serial = create(std::move(model), ownerTag);
    ZqSound* sound = find(serial);
    sound->setDeleteWhenFinished(true);
    sound->play(false, false);
    if (sound->state() == ZqSound::kPlaying)
        return serial;
    release(serial);
    return 0;
}

void ZqSoundRegistry::finished(uint64_t serial)
{
    ZqSound* sound = find(serial);
    if (!sound)
        return;
    sound->m_state = ZqSound::kStopped;
    sound->m_audioId = -1;
    sound->m_pauses = 0;
    // The callback may release or replay the sound: copied, and the sound looked up again.
    const std::function<void()> callback = sound->m_finished;
    if (callback)
        callback();
    sound = find(serial);
    if (sound && sound->m_deleteWhenFinished && sound->m_state == ZqSound::kStopped)
        release(serial);
}

template <class Visit>
void ZqSoundRegistry::forEach(Visit visit)
{
    // A visit may free sounds (a stop of a self-deleting one): walk the serials.
    std::vector<uint64_t> serials;
    serials.reserve(m_sounds.size());
    for (const auto& [serial, sound] : m_sounds)
        serials.push_back(serial);
    std::sort(serials.begin(), serials.end());
    for (uint64_t serial : serials) {
        if (ZqSound* sound = find(serial))
            visit(*sound);
    }
}

void ZqSoundRegistry::pauseTag(int ownerTag)
{
    forEach([ownerTag](ZqSound& sound) {
        if (sound.ownerTag() == ownerTag)
            sound.addPause(ZqSound::kPausedByOwner);
    });
}

void ZqSoundRegistry::resumeTag(int ownerTag)
{
    forEach([ownerTag](ZqSound& sound) {
        if (sound.ownerTag() == ownerTag)
            sound.removePause(ZqSound::kPausedByOwner);
    });
}

void ZqSoundRegistry::stopTag(int ownerTag)
{
    forEach([ownerTag](ZqSound& sound) {
        if (sound.ownerTag() == ownerTag)
            sound.stop();
    });
}

void ZqSoundRegistry::pauseAll()
{
    forEach([](ZqSound& sound) { sound.addPause(ZqSound::kPausedByAll); });
}

void ZqSoundRegistry::resumeAll()
{
    forEach([](ZqSound& sound) { sound.removePause(ZqSound::kPausedByAll); });
}

void ZqSoundRegistry::clear()
{
    forEach([this](ZqSound& sound) { release(sound.m_serial); });
}
