#include "pacer.h"

Pacer::Pacer(int intervalMs, Wait wait, QObject *parent)
    : QObject(parent)
    , intervalMs(intervalMs)
    , wait(wait)
{
    timer.setSingleShot(true);
    // A coarse timer may fire 5 % late, past the promised interval.
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, [this] { run(true); });
}

void Pacer::request()
{
    if (timer.isActive())
        return;
    const qint64 since = sinceRun.isValid() ? sinceRun.elapsed() : intervalMs;
    if (since >= intervalMs)
        run(false);
    else
        timer.start(wait == OneInterval ? intervalMs : int(intervalMs - since));
}

void Pacer::ranNow()
{
    timer.stop();
    sinceRun.start();
}

void Pacer::run(bool inStream)
{
    sinceRun.start();
    emit due(inStream);
}
