#include "uCalPop.h"

#include "SystemClock.h"

#include <QCalendarWidget>

TfCalPop::TfCalPop(const SystemClock &clock, QWidget *parent) : QDialog(parent, Qt::Tool), m_clock(clock)
{
    setObjectName("fCalPop");
    setWindowTitle("Calendar");
    MonthCalendar1 = new QCalendarWidget(this);
    MonthCalendar1->setObjectName("MonthCalendar1");
    // The platform's calendar needs more room than the classic control.
    const QSize size = QSize(197, 153).expandedTo(MonthCalendar1->sizeHint());
    MonthCalendar1->setGeometry(0, 0, size.width(), size.height());
    setFixedSize(size);
}

void TfCalPop::showEvent(QShowEvent *event)
{
    // Every opening starts from today, whatever month was browsed before.
    const QDate today = m_clock.nowLocal().date();
    MonthCalendar1->setSelectedDate(today);
    MonthCalendar1->setCurrentPage(today.year(), today.month());
    QDialog::showEvent(event);
}
