#include "pacer.h"

Pacer::Pacer(int intervalMs, QObject *parent)
    : QObject(parent)
    , intervalMs(intervalMs)
{
    timer.setSingleShot(true);
    // A coarse timer may fire 5 % late, past the promised interval.
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &Pacer::run);
}

void Pacer::request()
{
    if (timer.isActive())
        return;
    const qint64 since = sinceRun.isValid() ? sinceRun.elapsed() : intervalMs;
    if (since >= intervalMs)
        run();
    else
        timer.start(int(intervalMs - since));
}

void Pacer::run()
{
    sinceRun.start();
    emit due();
}
