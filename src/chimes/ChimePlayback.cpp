#include "ChimePlayback.h"

#include "DateTime.h"
#include "SoundPlayer.h"

#include <cmath>
#include <exception>

namespace {

struct HourMinSec
{
    int hour, minute, second;
};

double timeOfDay(double now) { return ZDateTime::timeOf(now); }

HourMinSec split(double now)
{
    const qint64 ms = std::llround(timeOfDay(now) * ZDateTime::MsPerDay);
    const qint64 secs = ms / 1000;
    return {int(secs / 3600 % 24), int(secs / 60 % 60), int(secs % 60)};
}

bool onFullHour(const HourMinSec &t) { return t.minute == 0 && t.second == 0; }

} // namespace

ChimePlayback::ChimePlayback(ChimeState &state, SoundPlayer &player, const QString &programFolder)
    : m_state(state), m_player(player), m_folder(programFolder)
{
    if (!m_folder.isEmpty() && !m_folder.endsWith('/'))
        m_folder += '/';
}

ChimeSettings ChimePlayback::settings() const
{
    return Settings ? Settings() : ChimeSettings{};
}

QString ChimePlayback::hourFileName(int spokenHour, bool milTime)
{
    if (milTime)
        return QStringLiteral("%1").arg(spokenHour, 2, 10, QLatin1Char('0')) + QStringLiteral("00hrs.wav");
    const int h12 = spokenHour == 0 ? 12 : spokenHour > 12 ? spokenHour - 12 : spokenHour;
    return QStringLiteral("hour%1.wav").arg(h12);
}

void ChimePlayback::report(const QString &message, bool &reported)
{
    if (reported)
        return;
    reported = true;
    if (ErrorReport)
        ErrorReport(message);
}

void ChimePlayback::skipFile(double now)
{
    // A file that cannot sound takes no time: the sequence moves on at the next tick.
    m_state.SoundLength = 0.0;
    m_state.NextSoundTime = timeOfDay(now);
    m_measureDay = ZDateTime::dateOf(now);
}

bool ChimePlayback::waitOver(double now) const
{
    // NextSoundTime is a time of day: on a later day (a sequence frozen by
    // quiet time over midnight) the wait is over too, so the sequence goes on
    // when the quiet window ends instead of a day later.
    return timeOfDay(now) > m_state.NextSoundTime || ZDateTime::dateOf(now) > m_measureDay;
}

bool ChimePlayback::playFile(const QString &path, double now, int lengthFactor, bool &reported)
{
    try {
        m_player.open(path);
        m_player.rewind();
        m_state.SoundLength = double(lengthFactor) * m_player.length() / ZDateTime::MsPerDay;
        m_state.NextSoundTime = timeOfDay(now) + m_state.SoundLength;
        m_measureDay = ZDateTime::dateOf(now);
        m_player.play();
        if (SoundStarted)
            SoundStarted(path);
        return true;
    } catch (const std::exception &e) {
        skipFile(now);
        report(QString::fromUtf8(e.what()), reported);
        return false;
    }
}

void ChimePlayback::StartVoice(double now)
{
    const ChimeSettings s = settings();
    if (!s.VoiceChime)
        return;
    // The chime wins when both are chosen, as the options dialog shows it;
    // and a sequence never starts over the other one.
    if (s.BellChime || m_state.ChimeStriking)
        return;
    const HourMinSec t = split(now);
    if (!onFullHour(t))
        return;
    m_state.SpokenHour = t.hour;
    m_state.VoiceSpeaking = true;
    m_voiceReported = false;
    playFile(m_folder + QStringLiteral("voice/timeis2ice.wav"), now, 1, m_voiceReported);
    m_state.VoiceStep = 0;
}

void ChimePlayback::ContinueVoice(double now)
{
    if (!waitOver(now))
        return;
    const bool milTime = settings().MilTime;
    ++m_state.VoiceStep;
    const int step = m_state.VoiceStep;
    const int hour = m_state.SpokenHour;
    if (step == 4 || (milTime && step == 2))
        m_state.VoiceSpeaking = false;
    const QString voice = m_folder + QStringLiteral("voice/");
    if (step == 1)
        playFile(voice + hourFileName(hour, milTime), now, 1, m_voiceReported);
    if (step == 2 && !milTime)
        playFile(voice + (hour == 12 ? QStringLiteral("noon.wav")
                          : hour == 0 ? QStringLiteral("midnight.wav")
                                      : QStringLiteral("oclock.wav")),
                 now, 1, m_voiceReported);
    if (step == 3 && !milTime && hour != 0 && hour != 12)
        playFile(voice + (hour <= 11 ? QStringLiteral("am.wav") : QStringLiteral("pm.wav")), now, 1,
                 m_voiceReported);
}

void ChimePlayback::StartChime(double now)
{
    const ChimeSettings s = settings();
    if (!s.BellChime || m_state.VoiceSpeaking)
        return;
    const HourMinSec t = split(now);
    if (!onFullHour(t))
        return;
    m_state.ChimeStriking = true;
    m_state.StrikesLeft = t.hour > 12 ? t.hour - 12 : t.hour == 0 ? 12 : t.hour;
    m_chimeReported = false;
    const QString chimes = m_folder + QStringLiteral("chimes/");
    if (s.CuckooChime) {
        // The cuckoo waits four clicks' time before its first call.
        playFile(chimes + QStringLiteral("click.wav"), now, 4, m_chimeReported);
        m_strikeFile = chimes + QStringLiteral("cuckoo.wav");
    } else {
        playFile(chimes + QStringLiteral("bigben_chime.wav"), now, 1, m_chimeReported);
        m_strikeFile = chimes + QStringLiteral("bigben_bell.wav");
    }
    m_state.AnimationFrame = -99;
    if (AnimationFlag && AnimationFlag())
        m_state.AnimationRunning = true;
}

void ChimePlayback::ContinueChime(double now)
{
    if (!waitOver(now))
        return;
    const bool ok = playFile(m_strikeFile, now, 1, m_chimeReported);
    --m_state.StrikesLeft;
    if (ok) {
        m_state.AnimationFrame = 0;
        return;
    }
    // Every strike opens the same file, so the rest would fail alike: the
    // chime ends here. An animation still waiting for its first strike ends
    // too rather than starting by itself later.
    m_state.StrikesLeft = 0;
    if (m_state.AnimationFrame < 0)
        m_state.AnimationRunning = false;
}

void ChimePlayback::Tick(double now)
{
    if (m_state.VoiceSpeaking)
        ContinueVoice(now);
    else
        StartVoice(now);
    if (m_state.StrikesLeft == 0)
        m_state.ChimeStriking = false;
    if (m_state.ChimeStriking)
        ContinueChime(now);
    else
        StartChime(now);
}
