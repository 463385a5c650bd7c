#pragma once
#include <QDialog>

class QDateTimeEdit;
class QLabel;
class QPushButton;
class QStatusBar;
class QTimer;
class SystemClock;

// "Set System Time": a time field and a date field that follow the clock
// until the user edits one of them; OK sets the clock to the date of the one
// and the time of day of the other.
class TfSystemTime : public QDialog
{
    Q_OBJECT
public:
    explicit TfSystemTime(SystemClock &clock, QWidget *parent = nullptr);
    ~TfSystemTime() override;

    bool edited() const { return Edited; }
    // The local date and time OK would set.
    QDateTime chosenDateTime() const;

public slots:
    void Timer1Timer();
    void btnOKClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void FormShow();
    void showNow();
    void setRefused(const QString &reason);

    SystemClock &m_clock;
    bool m_opened = false;
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
