#include "uCalPop.h"

#include "SystemClock.h"

#include <QCalendarWidget>
#include <QVBoxLayout>

TfCalPop::TfCalPop(const SystemClock &clock, ClockWindow *window, QWidget *parent)
    : ClockDialog(window, Fade::Keep, parent), m_clock(clock)
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName("fCalPop");
    setWindowTitle("Calendar");
    MonthCalendar1 = new QCalendarWidget(this);
    MonthCalendar1->setObjectName("MonthCalendar1");
    // The platform's calendar needs more room than the classic control.
    MonthCalendar1->setMinimumSize(197, 153);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(MonthCalendar1);
}

void TfCalPop::showEvent(QShowEvent *event)
{
    // Every opening starts from today, whatever month was browsed before.
    const QDate today = m_clock.nowLocal().date();
    MonthCalendar1->setSelectedDate(today);
    MonthCalendar1->setCurrentPage(today.year(), today.month());
    ClockDialog::showEvent(event);
}
