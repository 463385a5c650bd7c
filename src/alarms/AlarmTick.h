#pragma once

class QTimer;

// What the alarm side sees of the clock's tick: it stops it around table
// work, so that no tick (and no second alarm check) runs meanwhile.
class TickControl
{
public:
    virtual ~TickControl() = default;
    virtual bool isActive() const = 0;
    virtual void stop() = 0;
    virtual void start() = 0;
};

// The tick as a timer: the clock's Timer1.
class TimerTick : public TickControl
{
public:
    explicit TimerTick(QTimer &timer) : m_timer(timer) {}
    bool isActive() const override;
    void stop() override;
    void start() override;

private:
    QTimer &m_timer;
};

// Stops the tick for table work and starts it again afterwards, also when
// the work fails. A tick that was not running is left stopped.
class TickPause
{
public:
    explicit TickPause(TickControl &tick);
    ~TickPause();
    TickPause(const TickPause &) = delete;
    TickPause &operator=(const TickPause &) = delete;

private:
    TickControl &m_tick;
    bool m_wasActive;
};
