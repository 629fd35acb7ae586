#ifndef QUORVEL_PLOTVIEW_H
#define QUORVEL_PLOTVIEW_H

#include "plotstore.h"

#include <QPair>
#include <QStringList>
#include <QWidget>

class QCustomPlot;
class QHBoxLayout;
class QToolButton;

// The drawing of the plot: one line per channel, time on the x axis, and a
// legend above it whose entries show and hide the channels. The only class
// that knows the plotting library, so that it could change. It keeps the
// points it draws; drawing happens only when asked.
class PlotView : public QWidget
{
    Q_OBJECT

public:
    explicit PlotView(QWidget *parent = nullptr);

    // Channels only come after the ones there are, until clear().
    void addChannels(const QStringList &names);
    void addPoints(const QVector<PlotPoint> &points, double keptFromSeconds);
    void clear();

    void setChannelHidden(int channel, bool hidden);
    bool isChannelHidden(int channel) const;
    int channelCount() const;

    void setTimeWindow(double seconds) { timeWindow = seconds; }
    // Following, the x axis shows the last time window of samples at each
    // drawing; held, it stays where it is.
    void setFollowing(bool on) { following = on; }
    bool isFollowing() const { return following; }
    // The x axis range now, in seconds.
    QPair<double, double> timeRange() const;

    void drawNow();
    bool saveImage(const QString &path);

signals:
    // The user zoomed or panned: the view stays where it was put.
    void held();
    // A click on the channel's legend entry.
    void channelToggled(int channel, bool shown);

private:
    void fitValueAxis();
    void userHeld();

    QCustomPlot *plot = nullptr;
    // The legend is made of widgets of its own: the library would lay out and
    // measure its legend's texts again at every drawing.
    QHBoxLayout *legend = nullptr;
    QList<QToolButton *> entries;
    double timeWindow = 10;
    double latestSeconds = 0;
    double keptFrom = 0;
    bool following = true;
};

#endif // QUORVEL_PLOTVIEW_H
