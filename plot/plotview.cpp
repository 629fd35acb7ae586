#include "plotview.h"

#include <qcustomplot.h>

#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace {

// Sixteen colours told apart on white, the first ones the most distinct.
const std::array<QRgb, PlotLine::maxChannels> channelColours = {
    0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b, 0xe377c2, 0x17becf,
    0x7f7f7f, 0xbcbd22, 0x393b79, 0xad494a, 0x637939, 0xe7969c, 0x7b4173, 0x3182bd,
};

QIcon lineIcon(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter(&pixmap).fillRect(0, 7, 16, 3, colour);
    return QIcon(pixmap);
}

// Lines that came in one read share its time: drawn, they are one upright
// stroke between their extremes. Their first, lowest, highest and last
// value, in that order of arrival, draw the same, at a fraction of the cost
// of drawing and of fitting the value axis.
QVector<QCPGraphData> thinned(const QVector<QCPGraphData> &points)
{
    QVector<QCPGraphData> kept;
    for (int first = 0; first < points.size();) {
        int last = first;
        int lowest = first;
        int highest = first;
        while (last + 1 < points.size() && points.at(last + 1).key == points.at(first).key) {
            ++last;
            if (points.at(last).value < points.at(lowest).value)
                lowest = last;
            if (points.at(last).value > points.at(highest).value)
                highest = last;
        }
        int taken = first - 1;
        for (const int index :
             { first, std::min(lowest, highest), std::max(lowest, highest), last }) {
            if (index > taken)
                kept.append(points.at(index));
            taken = std::max(taken, index);
        }
        first = last + 1;
    }
    return kept;
}

} // namespace

PlotView::PlotView(QWidget *parent)
    : QWidget(parent)
{
    plot = new QCustomPlot;
    plot->setObjectName(QStringLiteral("plotCanvas"));
    legend = new QHBoxLayout;
    legend->setContentsMargins(6, 2, 6, 0);
    legend->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(legend);
    layout->addWidget(plot);

    // Drawn without blending: the plot is redrawn many times a second beside
    // the traffic. (The library's "fast polylines" hint, segment by segment,
    // measured slower here than one polyline.)
    plot->setNotAntialiasedElements(QCP::aeAll);
    plot->setPlottingHint(QCP::phFastPolylines, false);
    // It paints all of itself, on a white background: nothing under it needs painting first.
    plot->setAttribute(Qt::WA_OpaquePaintEvent);
    plot->setAutoAddPlottableToLegend(false);
    // Solid: a dotted grid is stroked dash by dash at every drawing.
    for (QCPAxis *axis : { plot->xAxis, plot->yAxis })
        axis->grid()->setPen(QPen(QColor(225, 225, 225)));
    plot->xAxis->setLabel(tr("时间 (s)"));
    plot->xAxis->setRange(0, timeWindow);
    // Nothing is drawn over the plot: one paint buffer instead of two to
    // clear and lay over the widget at every drawing.
    plot->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);

    // Only time is zoomed and panned; the value axis fits what is shown.
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot->axisRect()->setRangeDrag(Qt::Horizontal);
    plot->axisRect()->setRangeZoom(Qt::Horizontal);
    connect(plot, &QCustomPlot::mouseWheel, this, [this] { userHeld(); });
    connect(plot, &QCustomPlot::mouseMove, this, [this](QMouseEvent *event) {
        if (event->buttons() & Qt::LeftButton)
            userHeld();
    });
    connect(plot, &QCustomPlot::beforeReplot, this, [this] { fitValueAxis(); });
}

void PlotView::addChannels(const QStringList &names)
{
    for (int channel = plot->graphCount(); channel < names.size(); ++channel) {
        const QColor colour(channelColours[size_t(channel % PlotLine::maxChannels)]);
        plot->addGraph()->setPen(QPen(colour));
        auto *entry = new QToolButton;
        entry->setObjectName(QStringLiteral("plotLegendEntry%1").arg(channel + 1));
        entry->setText(names.at(channel));
        entry->setIcon(lineIcon(colour));
        entry->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        entry->setAutoRaise(true);
        entry->setCheckable(true);
        entry->setChecked(true);
        entry->setToolTip(tr("单击以隐藏或显示此通道"));
        connect(entry, &QToolButton::clicked, this,
                [this, channel](bool shown) { emit channelToggled(channel, shown); });
        legend->insertWidget(entries.size(), entry);
        entries.append(entry);
    }
}

void PlotView::addPoints(const QVector<PlotPoint> &points, double keptFromSeconds)
{
    std::array<QVector<QCPGraphData>, PlotLine::maxChannels> byChannel;
    for (const PlotPoint &point : points) {
        if (point.channel < plot->graphCount())
            byChannel[size_t(point.channel)].append(QCPGraphData(point.seconds, point.value));
        latestSeconds = std::max(latestSeconds, point.seconds);
    }
    for (int channel = 0; channel < plot->graphCount(); ++channel) {
        QVector<QCPGraphData> &added = byChannel[size_t(channel)];
        if (!added.isEmpty())
            plot->graph(channel)->data()->add(thinned(added), true);
        if (keptFromSeconds > keptFrom)
            plot->graph(channel)->data()->removeBefore(keptFromSeconds);
    }
    keptFrom = std::max(keptFrom, keptFromSeconds);
}

void PlotView::clear()
{
    plot->clearGraphs();
    qDeleteAll(entries);
    entries.clear();
    latestSeconds = 0;
    keptFrom = 0;
}

void PlotView::setChannelHidden(int channel, bool hidden)
{
    if (channel < 0 || channel >= plot->graphCount())
        return;
    plot->graph(channel)->setVisible(!hidden);
    entries.at(channel)->setChecked(!hidden);
}

bool PlotView::isChannelHidden(int channel) const
{
    return channel >= 0 && channel < plot->graphCount() && !plot->graph(channel)->visible();
}

int PlotView::channelCount() const
{
    return plot->graphCount();
}

void PlotView::userHeld()
{
    if (!following)
        return;
    following = false;
    emit held();
}

QPair<double, double> PlotView::timeRange() const
{
    return { plot->xAxis->range().lower, plot->xAxis->range().upper };
}

void PlotView::drawNow()
{
    if (following) {
        const double end = std::max(latestSeconds, timeWindow);
        plot->xAxis->setRange(end - timeWindow, end);
    }
    // Painted at once, so that the time a drawing takes includes its paint.
    plot->replot(QCustomPlot::rpImmediateRefresh);
}

void PlotView::fitValueAxis()
{
    QCPRange values;
    bool any = false;
    for (int channel = 0; channel < plot->graphCount(); ++channel) {
        QCPGraph *graph = plot->graph(channel);
        if (!graph->visible())
            continue;
        bool found = false;
        const QCPRange range = graph->getValueRange(found, QCP::sdBoth, plot->xAxis->range());
        if (found) {
            values = any ? QCPRange(std::min(values.lower, range.lower),
                                    std::max(values.upper, range.upper))
                         : range;
            any = true;
        }
    }
    if (!any)
        return;
    const double margin = values.size() > 0 ? values.size() * 0.05 : 1;
    plot->yAxis->setRange(values.lower - margin, values.upper + margin);
}

bool PlotView::saveImage(const QString &path)
{
    return plot->savePng(path);
}
