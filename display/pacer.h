#ifndef QUORVEL_PACER_H
#define QUORVEL_PACER_H

#include <QObject>

#include "clock.h"

// Lets a costly refresh run at most once per interval: at once when the last
// run is an interval old, otherwise later, so the last request is never lost
// and a request after a quiet moment is served at once.
class Pacer : public QObject
{
    Q_OBJECT

public:
    enum Wait {
        // A waiting request runs when the interval since the last run ends.
        UntilIntervalEnds,
        // A waiting request runs one interval after it was made: no request
        // waits longer than that, and runs are at least that far apart and
        // usually a little further, so fewer of them serve a steady stream.
        OneInterval,
    };

    Pacer(int intervalMs, Wait wait, QObject *parent);

    void request();
    // The refresh ran on its own (shown at once on demand): the interval
    // counts from now and a waiting request is dropped.
    void ranNow();
    bool isWaiting() const { return timer.isActive(); }

signals:
    // inStream: the request waited for the interval, so traffic keeps coming.
    void due(bool inStream);

private:
    void run(bool inStream);

    const int intervalMs;
    const Wait wait;
    ClockTimer timer;
    qint64 lastRunMs = 0;
    bool hasRun = false;
};

#endif // QUORVEL_PACER_H
