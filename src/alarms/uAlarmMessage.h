#pragma once
#include "AlarmSound.h"
#include "ClockDialog.h"

#include <memory>

class AlarmContext;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The alarm check's way to show a due alarm: creates the message window for
// the alarm at Alarm's current record, shows it modally and frees it.
void ShowAlarmMessage(AlarmContext &alarms);

// The window a due alarm opens, for the alarm at Alarm's current record:
// due time, title and message, the alarm's sound, Stop Sound, Snooze, Close.
// Closing it in any way settles the alarm (removed or moved on, and a snooze
// alarm added after Snooze).
class TfAlarmMessage : public ClockDialog
{
    Q_OBJECT
public:
    explicit TfAlarmMessage(AlarmContext &alarms, QWidget *parent = nullptr);
    ~TfAlarmMessage() override;

    // The window being shown, if any.
    static TfAlarmMessage *fAlarmMessage;

    void FormActivate() override;
    void MediaPlayer1Notify();
    void btnStopClick();
    void btnSnoozeClick();
    void FormClose() override;

    QLabel *lblAlarmTime;
    QLabel *DBText1;
    QPlainTextEdit *DBMemo1;
    QString Memo1;
    std::unique_ptr<AlarmSound> MediaPlayer1;
    QPushButton *btnSnooze;
    QPushButton *btnStop;
    QPushButton *BitBtn1;

    bool SoundPlaying = false;
    bool SoundStopped = false;
    bool Snoozed = false;
    bool SavedFadeEnabled = false;

private:
    void showTitle();

    AlarmContext &m_alarms;
};
