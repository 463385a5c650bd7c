#pragma once
#include <QDialog>

class QCalendarWidget;
class SystemClock;

// "Calendar": a month calendar with today selected, for looking only.
class TfCalPop : public QDialog
{
    Q_OBJECT
public:
    explicit TfCalPop(const SystemClock &clock, QWidget *parent = nullptr);

    QCalendarWidget *calendar() const { return MonthCalendar1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    const SystemClock &m_clock;
    QCalendarWidget *MonthCalendar1;
};
