#pragma once
#include "ChimeState.h"

#include <QString>
#include <functional>

class SoundPlayer;

// The hourly chime and the spoken time: sequences of sound files started on
// the full hour and advanced by the clock's tick, one file per step, without
// ever waiting. "now" is a date-time value (days since 30 Dec 1899, the
// fraction the time of day) handed in by the caller.
//
// A file that fails to open is skipped (the strike file ends the chime, since
// every strike would fail alike); the first failure of a sequence is reported
// through ErrorReport, later ones of the same sequence are not. A sequence
// never starts while the other one runs, and the voice stays silent while the
// chime is chosen too, so the two never share the player.
class ChimePlayback
{
public:
    ChimePlayback(ChimeState &state, SoundPlayer &player, const QString &programFolder);

    // Read at every step, so a change of settings shows on the next tick.
    std::function<ChimeSettings()> Settings;
    // AnimationFlag of the current Clock skin record, read when a chime starts.
    std::function<bool()> AnimationFlag;
    // Shown to the user; called at most once per sequence.
    std::function<void(const QString &message)> ErrorReport;
    // Every file started, with its full path (for logs and tests).
    std::function<void(const QString &fileName)> SoundStarted;

    void StartVoice(double now);
    void ContinueVoice(double now);
    void StartChime(double now);
    void ContinueChime(double now);

    // The tick's voice and chime steps, in their order: voice, end of the
    // strikes, chime. The caller applies the quiet rule before and animates
    // the face after.
    void Tick(double now);

    const ChimeState &state() const { return m_state; }
    // The file each strike of the chime under way plays.
    const QString &strikeFile() const { return m_strikeFile; }

    // Sound file names of the spoken time.
    static QString hourFileName(int spokenHour, bool milTime);

private:
    ChimeSettings settings() const;
    // Opens, measures (length × lengthFactor) and plays; false when it failed.
    bool playFile(const QString &path, double now, int lengthFactor, bool &reported);
    void skipFile(double now);
    bool waitOver(double now) const;
    void report(const QString &message, bool &reported);

    ChimeState &m_state;
    SoundPlayer &m_player;
    QString m_strikeFile; // the file every strike of the chime plays
    QString m_folder;
    double m_measureDay = 0.0; // date of the last measure
    bool m_voiceReported = false;
    bool m_chimeReported = false;
};
