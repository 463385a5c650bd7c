#include "AlarmTick.h"

#include <QTimer>

bool TimerTick::isActive() const { return m_timer.isActive(); }

void TimerTick::stop() { m_timer.stop(); }

void TimerTick::start() { m_timer.start(); }

TickPause::TickPause(TickControl &tick) : m_tick(tick), m_wasActive(tick.isActive())
{
    m_tick.stop();
}

TickPause::~TickPause()
{
    if (m_wasActive)
        m_tick.start();
}
