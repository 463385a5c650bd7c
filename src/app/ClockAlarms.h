#pragma once
#include "AlarmCheck.h"
#include "AlarmContext.h"
#include "AlarmTick.h"

#include <QObject>

class TfClock;

// The alarm subsystem wired to the program's clock: the store on the clock's
// two alarm tables, Timer1 as the tick the alarm side stops, the clock's
// folders and window, and the check with the message window as its way to
// show a due alarm. The clock owns it.
class ClockAlarms : public QObject
{
    Q_OBJECT
public:
    explicit ClockAlarms(TfClock &clock);

    // The clock's alarms (made on first use).
    static ClockAlarms &of(TfClock &clock);
    // Makes the clock's tick run the alarm check.
    static void install(TfClock &clock);

    AlarmContext &context() { return m_context; }
    AlarmStore &store() { return m_context.store; }
    AlarmChecker &checker() { return m_checker; }

private:
    TimerTick m_tick;
    AlarmContext m_context;
    AlarmChecker m_checker;
};
