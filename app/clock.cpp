#include "clock.h"

#include <algorithm>
#include <limits>

Clock::Clock()
{
    running.start();
}

qint64 Clock::nowMs() const
{
    return frozen ? frozenAtMs : running.elapsed() + offsetMs;
}

void Clock::freeze()
{
    if (frozen)
        return;
    frozenAtMs = nowMs();
    frozen = true;
    for (ClockTimer *timer : qAsConst(waiting))
        timer->wake->stop();
}

void Clock::thaw()
{
    if (!frozen)
        return;
    offsetMs = frozenAtMs - running.elapsed();
    frozen = false;
    const QVector<ClockTimer *> timers = waiting;
    for (ClockTimer *timer : timers)
        timer->arm();
}

void Clock::advance(qint64 ms)
{
    if (!frozen)
        return;
    const qint64 target = frozenAtMs + qMax<qint64>(0, ms);
    for (;;) {
        const auto next = std::min_element(
                waiting.begin(), waiting.end(),
                [](const ClockTimer *a, const ClockTimer *b) { return a->deadline < b->deadline; });
        if (next == waiting.end() || (*next)->deadline > target)
            break;
        ClockTimer *timer = *next;
        frozenAtMs = qMax(frozenAtMs, timer->deadline);
        timer->fire(); // may start timers again, within this same advance
    }
    frozenAtMs = target;
}

void Clock::watch(ClockTimer *timer)
{
    if (!waiting.contains(timer))
        waiting.append(timer);
}

void Clock::unwatch(ClockTimer *timer)
{
    waiting.removeOne(timer);
}

Clock &programClock()
{
    static Clock clock;
    return clock;
}

ClockTimer::ClockTimer(QObject *parent, QTimer *driver)
    : QObject(parent)
    , wake(driver ? driver : new QTimer(this))
{
    wake->setSingleShot(true);
    // A coarse timer may fire 5 % late, past a promised interval.
    wake->setTimerType(Qt::PreciseTimer);
    connect(wake, &QTimer::timeout, this, &ClockTimer::onWake);
}

ClockTimer::~ClockTimer()
{
    programClock().unwatch(this);
}

void ClockTimer::start(qint64 ms)
{
    intervalMs = qMax<qint64>(0, ms);
    deadline = programClock().nowMs() + intervalMs;
    active = true;
    programClock().watch(this);
    arm();
}

void ClockTimer::stop()
{
    active = false;
    wake->stop();
    programClock().unwatch(this);
}

qint64 ClockTimer::remainingMs() const
{
    return active ? qMax<qint64>(0, deadline - programClock().nowMs()) : -1;
}

void ClockTimer::arm()
{
    if (programClock().isFrozen())
        wake->stop();
    else
        wake->start(int(qMin<qint64>(remainingMs(), std::numeric_limits<int>::max())));
}

void ClockTimer::fire()
{
    if (repeating) {
        // Counted from now, as a QTimer does: a late tick does not bunch up.
        deadline = qMax(deadline, programClock().nowMs()) + qMax<qint64>(1, intervalMs);
        arm();
    } else {
        active = false;
        wake->stop();
        programClock().unwatch(this);
    }
    emit timeout();
}

void ClockTimer::onWake()
{
    if (!active || programClock().isFrozen())
        return;
    // A wake-up a millisecond early waits for the rest.
    if (programClock().nowMs() < deadline)
        arm();
    else
        fire();
}
