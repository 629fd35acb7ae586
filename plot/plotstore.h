#ifndef QUORVEL_PLOTSTORE_H
#define QUORVEL_PLOTSTORE_H

#include "plotline.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QVector>

#include <deque>

class QIODevice;

// A number to draw: its channel's index, when it came, its value.
struct PlotPoint
{
    int channel;
    double seconds;
    double value;
};

// The samples of the plot, each with its time and its numbers as they were
// received, the newest `capacity` of them: older ones are dropped. Channels
// are numbered in the order their names first came, up to 16.
class PlotStore
{
public:
    static constexpr int defaultCapacity = 1000000;

    explicit PlotStore(int capacity = defaultCapacity);

    // Takes a line as one sample at clockMs (any origin, read once per read).
    // Appends the numbers it keeps to *points; false when it keeps none.
    bool add(qint64 clockMs, const PlotLine &line, QVector<PlotPoint> *points);
    void clear();

    const QStringList &channels() const { return channelNames; }
    int size() const { return count; }
    // Milliseconds since the first sample after the last clear.
    qint64 oldestMs() const;
    // A sample held numbers of more channels than are kept.
    bool channelsLeftOut() const { return leftOut; }

    // The export: a header `time_ms,<channel>,...`, then one row per sample,
    // each number as received and an empty cell where the sample had none.
    bool writeCsv(QIODevice *device) const;

private:
    // Samples go in segments, so dropping the oldest frees whole blocks and
    // moves nothing.
    struct Segment
    {
        QVector<qint64> times;
        // End of each sample's cells in cells: its numbers, comma-separated,
        // in channel order, without the empty cells at the end.
        QVector<int> ends;
        QByteArray cells;
    };
    static constexpr int segmentSamples = 16384;

    int channelOf(const QString &name);

    const int capacity;
    std::deque<Segment> segments;
    // Samples dropped from the front of the first segment.
    int dropped = 0;
    int count = 0;
    bool started = false;
    qint64 originMs = 0;
    qint64 lastMs = 0;
    QStringList channelNames;
    QHash<QString, int> channelIndex;
    bool leftOut = false;
};

#endif // QUORVEL_PLOTSTORE_H
