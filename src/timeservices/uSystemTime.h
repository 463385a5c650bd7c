#pragma once
#include "ClockDialog.h"

class QDateTimeEdit;
class QLabel;
class QPushButton;
class QStatusBar;
class QTimer;
class ClockWindow;
class SystemClock;

// "Set System Time": a time field and a date field that follow the clock
// until the user edits one of them; OK sets the clock to the date of the one
// and the time of day of the other.
class TfSystemTime : public ClockDialog
{
    Q_OBJECT
public:
    // window: the clock it opens beside (null: where Qt puts it).
    explicit TfSystemTime(SystemClock &clock, ClockWindow *window = nullptr, QWidget *parent = nullptr);
    ~TfSystemTime() override;

    bool edited() const { return Edited; }
    // The local date and time OK would set.
    QDateTime chosenDateTime() const;

public slots:
    void Timer1Timer();
    void btnOKClick();

protected:
    void FormActivate() override;
    void FormClose() override;

private:
    void showNow();
    void setRefused(const QString &reason);

    SystemClock &m_clock;
    bool Edited = false;
    bool m_setting = false;

    QDateTimeEdit *DateTimePicker1; // time of day
    QDateTimeEdit *DateTimePicker2; // date
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QStatusBar *StatusBar1;
    QLabel *StatusPanel;
    QTimer *Timer1;
};
