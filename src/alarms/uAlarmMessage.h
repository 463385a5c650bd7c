#pragma once
#include "AlarmSound.h"
#include "DialogPlacement.h"

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TfClock;

// The window a due alarm opens, for the alarm at Alarm's current record:
// due time, title and message, the alarm's sound, Stop Sound, Snooze, Close.
// Closing it in any way settles the alarm (removed or moved on, and a snooze
// alarm added after Snooze).
class TfAlarmMessage : public QDialog
{
    Q_OBJECT
public:
    explicit TfAlarmMessage(TfClock &clock, QWidget *parent = nullptr);
    ~TfAlarmMessage() override;

    // The window being shown, if any.
    static TfAlarmMessage *fAlarmMessage;

    void FormShow();
    void MediaPlayer1Notify();
    void btnStopClick();
    void btnSnoozeClick();
    void FormClose();

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

protected:
    void showEvent(QShowEvent *e) override;
    void done(int result) override;

private:
    void showTitle();

    TfClock &m_clock;
    std::optional<FadePause> m_fade;
    bool m_shown = false;
    bool m_closed = false;
};
