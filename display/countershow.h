#ifndef QUORVEL_COUNTERSHOW_H
#define QUORVEL_COUNTERSHOW_H

#include <QObject>

#include <array>

#include "pacer.h"

class QLineEdit;

// Shows the four traffic counters as the pane shows the traffic. In a
// stream each flush hands over the counts it showed, and they are painted
// at most every intervalMs, always the latest; the counts of a flush after
// a quiet moment are painted at once, so they are exact when data stops.
class CounterShow : public QObject
{
    Q_OBJECT

public:
    static constexpr int intervalMs = 100;

    struct Counts
    {
        qint64 sentFrames = 0;
        qint64 sentBytes = 0;
        qint64 recvFrames = 0;
        qint64 recvBytes = 0;
    };

    // The fields of "发帧数", "发字节数", "收帧数" and "收字节数".
    CounterShow(const std::array<QLineEdit *, 4> &fields, QObject *parent);

    // inStream: more counts are on their way, the paint may wait.
    void show(const Counts &counts, bool inStream);
    // The latest counts handed over are on the screen.
    bool isCurrent() const { return !pacer.isWaiting(); }

signals:
    // The fields show these counts now.
    void shown(const CounterShow::Counts &counts);

private:
    void paint();

    std::array<QLineEdit *, 4> fields;
    Pacer pacer;
    Counts latest;
};

#endif // QUORVEL_COUNTERSHOW_H
