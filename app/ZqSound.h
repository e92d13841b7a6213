#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

class ZqModelSound;
class ZqSoundRegistry;

// One sound of a sound model, played as an effect (AudioEngine, with an id and a finish
// callback) or as the music track (SimpleAudioEngine). Every ZqSound is owned by the
// live-sound registry; its owner holds a ZqSoundHandle. Main thread only.
//
// Owner tags group sounds: 0 interface sounds (play on while the field pauses), 1 field
// objects, 2 a character's death.
class ZqSound {
public:
    enum State { kStopped = 0, kPlaying = 1, kPaused = 2 };
    static constexpr int kTagInterface = 0;
    static constexpr int kTagField = 1;
    static constexpr int kTagDeath = 2;

    ZqSound(const ZqSound&) = delete;
    ZqSound& operator=(const ZqSound&) = delete;
    // Stops the sound; never frees anything else.
    ~ZqSound();

    const std::shared_ptr<ZqModelSound>& model() const { return m_model; }
    int ownerTag() const { return m_ownerTag; }
    int state() const { return m_state; }
    // The effect's engine id; -1 when stopped or playing as music.
    int audioId() const { return m_audioId; }

    // With it, the sound is released (freed) when it ends or is stopped: the caller must
    // not touch it after a stop() or once it ended.
    bool deletesWhenFinished() const { return m_deleteWhenFinished; }
    void setDeleteWhenFinished(bool deletes) { m_deleteWhenFinished = deletes; }
    // Runs when an effect ends by itself (not on stop), inside a director frame. The
    // engine reports no end of music.
    void setFinishedCallback(std::function<void()> callback) { m_finished = std::move(callback); }

    // Starts from the beginning, replacing what this sound played. Nothing when the
    // matching mute setting of the saved progress is on ("ZqP_muteBackgroundSound" for
    // music, "ZqP_muteEffectsSound" for effects) or the model is empty.
    void play(bool loop, bool music);
    void stop();
    // A playing effect finishes its current pass.
    void stopLooping();
    // The owner's pause; a sound paused both by its group or owner and by pauseAll plays
    // again once both resumed it.
    void pause();
    void resume();
    // 0 when stopped.
    float getVolume() const;
    void setVolume(float volume);

private:
    friend class ZqSoundRegistry;
    ZqSound(uint64_t serial, std::shared_ptr<ZqModelSound> model, int ownerTag);
    enum PauseReason { kPausedByOwner = 1, kPausedByAll = 2 };
    void halt();
    void addPause(int reason);
    void removePause(int reason);

    uint64_t m_serial;
    std::shared_ptr<ZqModelSound> m_model;
    int m_ownerTag;
    int m_state = kStopped;
    int m_audioId = -1;
    bool m_music = false;
    bool m_deleteWhenFinished = false;
    int m_pauses = 0; // PauseReason bits
    float m_volume = 1.0f;
    std::function<void()> m_finished;
};

// An owner's hold on a sound: move-only; releasing it (reset or destruction) frees the
// sound unless it freed itself already. get() answers null once the sound is gone.
class ZqSoundHandle {
public:
    ZqSoundHandle() = default;
    // A new stopped sound in the registry.
    ZqSoundHandle(std::shared_ptr<ZqModelSound> model, int ownerTag);
    ZqSoundHandle(ZqSoundHandle&& other) noexcept : m_serial(other.m_serial) { other.m_serial = 0; }
    ZqSoundHandle& operator=(ZqSoundHandle&& other) noexcept;
    ~ZqSoundHandle() { reset(); }

    // Inline: most owners hold no sound, and ask every frame.
    ZqSound* get() const;
    ZqSound* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }
    void reset();

private:
    uint64_t m_serial = 0;
};

// Owns every live ZqSound. An owner's release and a sound's own release (when it ends or
// is stopped with delete-when-finished) are one request, handled once.
class ZqSoundRegistry {
public:
    static ZqSoundRegistry& shared();

    // A new stopped sound; its serial names it to find and release.
    uint64_t create(std::shared_ptr<ZqModelSound> model, int ownerTag);
    // Null once released.
    ZqSound* find(uint64_t serial) const;
    // Stops and frees the sound; nothing when it is gone already.
    void release(uint64_t serial);
    // A sound of the model that plays once and frees itself when it ends; its serial, or 0
    // (nothing kept) when it does not start (muted, no model, no file).
    uint64_t playOnce(std::shared_ptr<ZqModelSound> model, int ownerTag);

    // Groups by owner tag.
    void pauseTag(int ownerTag);
    void resumeTag(int ownerTag);
    void stopTag(int ownerTag);
    // Every live sound (the window goes to the background and back).
    void pauseAll();
    void resumeAll();
    // Frees every sound (shutdown, tests).
    void clear();

    std::size_t liveCount() const { return m_sounds.size(); }

private:
    friend class ZqSound;
    void finished(uint64_t serial);
    template <class Visit>
    void forEach(Visit visit);

    std::unordered_map<uint64_t, std::unique_ptr<ZqSound>> m_sounds;
    uint64_t m_nextSerial = 1;
};

inline ZqSound* ZqSoundHandle::get() const
{
    return m_serial == 0 ? nullptr : ZqSoundRegistry::shared().find(m_serial);
}
