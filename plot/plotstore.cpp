#include "plotstore.h"

#include <QIODevice>

#include <algorithm>
#include <array>

namespace {

QByteArray csvField(const QString &text)
{
    QByteArray field = text.toUtf8();
    if (field.contains('"'))
        field = '"' + field.replace("\"", "\"\"") + '"';
    return field;
}

} // namespace

PlotStore::PlotStore(int capacity)
    : capacity(std::max(1, capacity))
{
}

int PlotStore::channelOf(const QString &name)
{
    const auto found = channelIndex.constFind(name);
    if (found != channelIndex.constEnd())
        return found.value();
    if (channelNames.size() == PlotLine::maxChannels) {
        leftOut = true;
        return -1;
    }
    channelIndex.insert(name, channelNames.size());
    channelNames.append(name);
    return channelNames.size() - 1;
}

bool PlotStore::add(qint64 clockMs, const PlotLine &line, QVector<PlotPoint> *points)
{
    leftOut = leftOut || line.overflow;
    std::array<const QByteArray *, PlotLine::maxChannels> cells{};
    std::array<int, PlotLine::maxChannels> channelOfValue{};
    const int values = std::min(int(line.values.size()), PlotLine::maxChannels);
    int lastCell = -1;
    for (int index = 0; index < values; ++index) {
        // Lines mostly name their channels in the same order.
        const QString &name = line.values.at(index).channel;
        const int channel = index < channelNames.size() && channelNames.at(index) == name
                ? index
                : channelOf(name);
        channelOfValue[size_t(index)] = channel;
        if (channel >= 0) {
            cells[size_t(channel)] = &line.values.at(index).text;
            lastCell = std::max(lastCell, channel);
        }
    }
    if (lastCell < 0)
        return false;

    if (!started) {
        started = true;
        originMs = clockMs;
    }
    // Never back in time, whatever the clock does.
    lastMs = std::max(lastMs, clockMs - originMs);
    if (segments.empty() || segments.back().times.size() == segmentSamples) {
        segments.emplace_back();
        segments.back().times.reserve(segmentSamples);
        segments.back().ends.reserve(segmentSamples);
    }
    Segment &segment = segments.back();
    segment.times.append(lastMs);
    for (int channel = 0; channel <= lastCell; ++channel) {
        if (channel > 0)
            segment.cells += ',';
        if (cells[size_t(channel)])
            segment.cells += *cells[size_t(channel)];
    }
    segment.ends.append(segment.cells.size());

    const double seconds = lastMs / 1000.0;
    for (int index = 0; index < values; ++index) {
        if (channelOfValue[size_t(index)] >= 0)
            points->append({ channelOfValue[size_t(index)], seconds, line.values.at(index).value });
    }

    if (count < capacity) {
        ++count;
    } else if (++dropped == segments.front().times.size()) {
        segments.pop_front();
        dropped = 0;
    }
    return true;
}

void PlotStore::clear()
{
    segments.clear();
    dropped = 0;
    count = 0;
    started = false;
    lastMs = 0;
    channelNames.clear();
    channelIndex.clear();
    leftOut = false;
}

qint64 PlotStore::oldestMs() const
{
    return segments.empty() ? 0 : segments.front().times.at(dropped);
}

bool PlotStore::writeCsv(QIODevice *device) const
{
    QByteArray out = "time_ms";
    for (const QString &name : channelNames)
        out += ',' + csvField(name);
    out += '\n';
    bool written = true;
    const int columns = channelNames.size();
    for (size_t index = 0; index < segments.size() && written; ++index) {
        const Segment &segment = segments[index];
        for (int sample = index == 0 ? dropped : 0; sample < segment.times.size() && written;
             ++sample) {
            const int begin = sample == 0 ? 0 : segment.ends.at(sample - 1);
            const int size = segment.ends.at(sample) - begin;
            out += QByteArray::number(segment.times.at(sample));
            out += ',';
            out.append(segment.cells.constData() + begin, size);
            const int cellCount = 1
                    + int(std::count(segment.cells.constData() + begin,
                                     segment.cells.constData() + begin + size, ','));
            out += QByteArray(columns - cellCount, ',');
            out += '\n';
            if (out.size() >= 1 << 16) {
                written = device->write(out) == out.size();
                out.clear();
            }
        }
    }
    return written && device->write(out) == out.size();
}
