#ifndef QUORVEL_PLOTFEED_H
#define QUORVEL_PLOTFEED_H

#include "plotline.h"
#include "plotstore.h"

#include <QElapsedTimer>
#include <QObject>

// Milliseconds on a clock that never goes back, read once per read that
// brings samples. Tests and pictures set the time with one of their own.
class PlotClock
{
public:
    virtual ~PlotClock() = default;
    virtual qint64 nowMs() = 0;
};

// Takes the plot's samples from the received bytes: lines, their numbers,
// the store. It says what it took with signals; the drawing follows them.
class PlotFeed : public QObject
{
    Q_OBJECT

public:
    explicit PlotFeed(QObject *parent = nullptr);

    // Samples are taken only while the plot is open; closed, a read costs one
    // look at its last byte, so that the first line after opening is whole.
    void setTaking(bool on);
    bool isTaking() const { return taking; }
    // Null: the feed's own steady clock. The clock must outlive its use.
    void setClock(PlotClock *clock) { testClock = clock; }
    const PlotStore &store() const { return samples; }

public slots:
    // Every read of received bytes, in the order they arrived.
    void addReceived(const QByteArray &bytes);
    void clear();

signals:
    // The numbers of new samples; points before keptFromSeconds are no longer kept.
    void sampled(const QVector<PlotPoint> &points, double keptFromSeconds);
    void channelsChanged(const QStringList &channels);
    void cleared();
    void notice(const QString &text);

private:
    LineAssembler lines;
    PlotStore samples;
    QElapsedTimer steadyClock;
    PlotClock *testClock = nullptr;
    bool taking = false;
    // The last byte seen ended a line, or nothing came yet.
    bool atLineStart = true;
    bool noticeGiven = false;
    // Reused from read to read.
    PlotLine numbers;
    QVector<PlotPoint> points;
};

#endif // QUORVEL_PLOTFEED_H
