#include "screens/ZqScreenMusic.h"

#include "app/ZqPSettingsController.h"

ZqScreenMusic& ZqScreenMusic::shared()
{
    static ZqScreenMusic music;
    return music;
}

bool ZqScreenMusic::isPlaying() const
{
    return m_track && m_track->state() == ZqSound::kPlaying;
}

void ZqScreenMusic::start()
{
    m_track = ZqSoundHandle(m_model, ZqSound::kTagInterface);
    if (m_track)
        m_track->play(m_loop, true);
}

void ZqScreenMusic::showScreen(const std::shared_ptr<ZqModelSound>& music, bool loop, bool muted)
{
    if (music && (music != m_model || !m_track || m_track->state() == ZqSound::kStopped)) {
        m_model = music;
        m_loop = loop;
        m_track.reset();
        start();
        m_silenced = false;
    }
    if (muted && !m_silenced && m_track) {
        m_track->pause();
        m_silenced = true;
    } else if (!muted && m_silenced) {
        if (m_track)
            m_track->resume();
        m_silenced = false;
    }
}

void ZqScreenMusic::applyMuteSetting()
{
    if (ZqPSettingsController::shared()->isBackgroundSoundMuted()) {
        m_track.reset();
    } else if (m_model && !m_track) {
        start();
        if (m_silenced && m_track)
            m_track->pause();
    }
}

void ZqScreenMusic::reset()
{
    m_track.reset();
    m_model.reset();
    m_silenced = false;
}
