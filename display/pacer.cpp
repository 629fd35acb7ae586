#include "pacer.h"

Pacer::Pacer(int intervalMs, Wait wait, QObject *parent)
    : QObject(parent)
    , intervalMs(intervalMs)
    , wait(wait)
    , timer(this)
{
    connect(&timer, &ClockTimer::timeout, this, [this] { run(true); });
}

void Pacer::request()
{
    if (timer.isActive())
        return;
    const qint64 since = hasRun ? programClock().nowMs() - lastRunMs : intervalMs;
    if (since >= intervalMs)
        run(false);
    else
        timer.start(wait == OneInterval ? intervalMs : intervalMs - since);
}

void Pacer::ranNow()
{
    timer.stop();
    lastRunMs = programClock().nowMs();
    hasRun = true;
}

void Pacer::run(bool inStream)
{
    lastRunMs = programClock().nowMs();
    hasRun = true;
    emit due(inStream);
}
