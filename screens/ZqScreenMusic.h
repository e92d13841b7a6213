#pragma once

#include "app/ZqSound.h"

#include <memory>

class ZqModelSound;

// The music of the screens: one track at a time. The engine cannot say which track
// plays, so this owner remembers the sound model it started. Main thread only.
class ZqScreenMusic {
public:
    static ZqScreenMusic& shared();

    // A screen shows: its music replaces the track unless that sound already plays; a
    // screen without music leaves the track as it is; a muted screen silences the track
    // while it shows, and the next screen that is not muted lets it play on.
    void showScreen(const std::shared_ptr<ZqModelSound>& music, bool loop, bool muted);
    // After the saved music mute changed: stops the track, or starts the remembered one.
    void applyMuteSetting();

    const std::shared_ptr<ZqModelSound>& current() const { return m_model; }
    bool isPlaying() const;
    // Stops and forgets the track (a game over that stops the music, tests, a new game).
    void reset();

private:
    void start();

    ZqSoundHandle m_track;
    std::shared_ptr<ZqModelSound> m_model;
    bool m_loop = true;
    bool m_silenced = false;
};
