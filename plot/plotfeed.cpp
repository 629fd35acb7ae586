#include "plotfeed.h"
#include "clock.h"

PlotFeed::PlotFeed(QObject *parent)
    : QObject(parent)
{
}

void PlotFeed::setTaking(bool on)
{
    if (on && !taking)
        lines.restart(!atLineStart);
    taking = on;
}

void PlotFeed::addReceived(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (!taking) {
        atLineStart = bytes.endsWith('\n');
        return;
    }
    const int channelsBefore = samples.channels().size();
    qint64 nowMs = -1;
    lines.add(bytes, [&](const QByteArray &line) {
        parsePlotLine(line, &numbers);
        if (numbers.isEmpty())
            return;
        // All lines of one read came at once.
        if (nowMs < 0)
            nowMs = programClock().nowMs();
        samples.add(nowMs, numbers, &points);
    });
    if (samples.channelsLeftOut() && !noticeGiven) {
        noticeGiven = true;
        emit notice(tr("波形图最多画 %1 个通道，其余通道的数值已忽略").arg(PlotLine::maxChannels));
    }
    if (points.isEmpty())
        return;
    if (samples.channels().size() != channelsBefore)
        emit channelsChanged(samples.channels());
    emit sampled(points, samples.oldestMs() / 1000.0);
    points.clear();
}

void PlotFeed::clear()
{
    samples.clear();
    noticeGiven = false;
    emit cleared();
}
