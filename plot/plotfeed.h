#ifndef QUORVEL_PLOTFEED_H
#define QUORVEL_PLOTFEED_H

#include "plotline.h"
#include "plotstore.h"

#include <QObject>

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
    bool taking = false;
    // The last byte seen ended a line, or nothing came yet.
    bool atLineStart = true;
    bool noticeGiven = false;
    // Reused from read to read.
    PlotLine numbers;
    QVector<PlotPoint> points;
};

#endif // QUORVEL_PLOTFEED_H
