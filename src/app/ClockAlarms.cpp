#include "ClockAlarms.h"
#include "uAlarmMessage.h"
#include "uClock.h"

ClockAlarms::ClockAlarms(TfClock &clock)
    : QObject(&clock), m_tick(clock.Timer1), m_context(clock.tblAlarm, clock.tblAlarm2, m_tick, clock.Folders, &clock),
      m_checker(m_context.store, m_tick, [this] { ShowAlarmMessage(m_context); })
{
}

ClockAlarms &ClockAlarms::of(TfClock &clock)
{
    if (auto *alarms = clock.findChild<ClockAlarms *>(QString(), Qt::FindDirectChildrenOnly))
        return *alarms;
    return *new ClockAlarms(clock);
}

void ClockAlarms::install(TfClock &clock)
{
    AlarmChecker *checker = &of(clock).checker();
    clock.alarmCheck = [checker] { checker->CheckAlarms(); };
}
