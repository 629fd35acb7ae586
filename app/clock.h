#ifndef QUORVEL_CLOCK_H
#define QUORVEL_CLOCK_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVector>

class ClockTimer;

// The one clock that every rule about time reads: frame gaps, display and
// counter pacing, lamps, answer time-outs and rotation due times. Normally
// it runs with a monotonic clock; a test can stop it and move it on by
// hand, and the timers that come due on the way fire in order, at once.
class Clock
{
public:
    Clock();

    // Milliseconds on a monotonic scale (never set back by the system clock).
    qint64 nowMs() const;

    // Stops the clock where it is: from now on time moves only by advance().
    void freeze();
    // Runs again from where it stood; waiting timers keep their deadlines.
    void thaw();
    bool isFrozen() const { return frozen; }
    // Moves a stopped clock on by ms, firing every timer due on the way at
    // its own deadline, earliest first.
    void advance(qint64 ms);

private:
    friend class ClockTimer;
    void watch(ClockTimer *timer);
    void unwatch(ClockTimer *timer);

    QElapsedTimer running;
    qint64 offsetMs = 0;
    qint64 frozenAtMs = 0;
    bool frozen = false;
    QVector<ClockTimer *> waiting;
};

// The program's clock.
Clock &programClock();

// A single-shot timer on the program's clock. It wakes the program with a
// QTimer (given, or its own) while the clock runs, and fires from advance()
// while it is stopped.
class ClockTimer : public QObject
{
    Q_OBJECT

public:
    // driver: the QTimer that wakes the program; owned by the caller. Null:
    // one of its own.
    explicit ClockTimer(QObject *parent = nullptr, QTimer *driver = nullptr);
    ~ClockTimer() override;

    void start(qint64 ms);
    // Repeating: after each time-out the next comes one interval later.
    void setRepeating(bool on) { repeating = on; }
    void stop();
    bool isActive() const { return active; }
    qint64 remainingMs() const;
    QTimer *driver() const { return wake; }

signals:
    void timeout();

private:
    friend class Clock;
    void arm();
    void fire();
    void onWake();

    QTimer *wake;
    qint64 deadline = 0;
    qint64 intervalMs = 0;
    bool active = false;
    bool repeating = false;
};

#endif // QUORVEL_CLOCK_H
