#pragma once
#include "ClockDialog.h"

class QCalendarWidget;
class ClockWindow;
class SystemClock;

// "Calendar": a month calendar with today selected, for looking only.
class TfCalPop : public ClockDialog
{
    Q_OBJECT
public:
    // window: the clock it opens beside (null: where Qt puts it).
    explicit TfCalPop(const SystemClock &clock, ClockWindow *window = nullptr, QWidget *parent = nullptr);

    QCalendarWidget *calendar() const { return MonthCalendar1; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    const SystemClock &m_clock;
    QCalendarWidget *MonthCalendar1;
};
