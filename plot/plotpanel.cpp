#include "plotpanel.h"
#include "plotfeed.h"
#include "plotview.h"

#include <QAction>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QSaveFile>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString settingsGroup = QStringLiteral("plot");
const QString geometryKey = QStringLiteral("geometry");
const QString timeWindowKey = QStringLiteral("timeWindow");
const QString hiddenChannelsKey = QStringLiteral("hiddenChannels");

// At most 25 drawings a second, and drawing takes at most a sixtieth of the
// GUI thread's time: a drawing of 2 ms (a large window) waits 120 ms for the
// next. Taking samples at the 921600-baud rate costs less than a hundredth.
constexpr int drawIntervalMs = 40;
constexpr int drawCostShare = 60;
constexpr int defaultTimeWindow = 10;
constexpr int noticeMs = 10000;

QAction *newAction(QToolBar *bar, const QString &text, const char *name, bool checkable = false)
{
    QAction *action = bar->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    return action;
}

} // namespace

PlotPanel::PlotPanel(QMainWindow *window)
    : QObject(window)
    , window(window)
    , plotFeed(new PlotFeed(this))
    , plotAction(new QAction(tr("波形图"), this))
{
    plotAction->setObjectName(QStringLiteral("plotAction"));
    plotAction->setCheckable(true);
    plotAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(plotAction, &QAction::toggled, this, &PlotPanel::setOpen);
    connect(plotFeed, &PlotFeed::notice, window,
            [window](const QString &text) { window->statusBar()->showMessage(text, noticeMs); });
    window->installEventFilter(this);
}

bool PlotPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Close)
        saveSettings();
    return false;
}

void PlotPanel::setOpen(bool open)
{
    if (open && !dock)
        buildDock();
    if (dock)
        dock->setVisible(open);
    plotFeed->setTaking(open);
    if (open) {
        dock->raise();
        draw();
    }
}

void PlotPanel::buildDock()
{
    dock = new QDockWidget(tr("波形图"), window);
    dock->setObjectName(QStringLiteral("plotDock"));
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolBar());
    view = new PlotView;
    view->setObjectName(QStringLiteral("plotView"));
    layout->addWidget(view);
    dock->setWidget(content);
    window->addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->setFloating(true);

    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    settings.beginGroup(settingsGroup);
    if (!dock->restoreGeometry(settings.value(geometryKey).toByteArray())) {
        dock->resize(760, 440);
        dock->move(window->geometry().center() - dock->rect().center());
    }
    windowSpin->setValue(settings.value(timeWindowKey, defaultTimeWindow).toInt());
    hiddenChannels = settings.value(hiddenChannelsKey).toStringList();

    connect(&drawTimer, &ClockTimer::timeout, this, &PlotPanel::draw);
    connect(plotFeed, &PlotFeed::channelsChanged, this, &PlotPanel::addChannels);
    connect(plotFeed, &PlotFeed::sampled, this,
            [this](const QVector<PlotPoint> &points, double keptFromSeconds) {
                view->addPoints(points, keptFromSeconds);
                requestDraw();
            });
    connect(plotFeed, &PlotFeed::cleared, this, [this] {
        view->clear();
        channels.clear();
        draw();
    });
    connect(view, &PlotView::channelToggled, this, &PlotPanel::showChannel);
    connect(view, &PlotView::held, followAction, [this] { followAction->setChecked(false); });
    // Closed by its own button: hidden by the user, not by a minimised window.
    connect(dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            draw();
        else if (dock->isHidden())
            plotAction->setChecked(false);
    });
}

QWidget *PlotPanel::buildToolBar()
{
    auto *bar = new QToolBar;
    bar->setObjectName(QStringLiteral("plotToolBar"));
    pauseAction = newAction(bar, tr("暂停"), "plotPauseAction", true);
    pauseAction->setToolTip(tr("暂停绘图；数据照常记录"));
    connect(pauseAction, &QAction::toggled, this, [this] { draw(); });
    followAction = newAction(bar, tr("跟随"), "plotFollowAction", true);
    followAction->setChecked(true);
    followAction->setToolTip(tr("显示最新的数据；滚轮缩放或拖动后停在原处"));
    connect(followAction, &QAction::toggled, this, [this](bool on) {
        view->setFollowing(on);
        draw();
    });
    bar->addSeparator();
    connect(newAction(bar, tr("清空"), "plotClearAction"), &QAction::triggered, plotFeed,
            &PlotFeed::clear);
    connect(newAction(bar, tr("导出图片…"), "plotExportPngAction"), &QAction::triggered, this,
            &PlotPanel::exportImage);
    connect(newAction(bar, tr("导出数据…"), "plotExportCsvAction"), &QAction::triggered, this,
            &PlotPanel::exportData);
    bar->addSeparator();
    auto *label = new QLabel(tr("时间窗"));
    windowSpin = new QSpinBox;
    windowSpin->setObjectName(QStringLiteral("plotWindowSpin"));
    windowSpin->setRange(1, 600);
    windowSpin->setSuffix(tr(" s"));
    windowSpin->setValue(defaultTimeWindow);
    windowSpin->setToolTip(tr("跟随时显示的时长，1 秒到 10 分钟"));
    label->setBuddy(windowSpin);
    connect(windowSpin, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int seconds) {
        view->setTimeWindow(seconds);
        draw();
    });
    bar->addWidget(label);
    bar->addWidget(windowSpin);
    return bar;
}

void PlotPanel::requestDraw()
{
    if (drawTimer.isActive())
        return;
    const qint64 since = lastDrawMs >= 0 ? programClock().nowMs() - lastDrawMs : drawGapMs;
    drawTimer.start(std::max<qint64>(0, drawGapMs - since));
}

void PlotPanel::draw()
{
    drawTimer.stop();
    if (!dock || !dock->isVisible() || window->isMinimized() || pauseAction->isChecked())
        return;
    QElapsedTimer drawing;
    drawing.start();
    view->drawNow();
    drawGapMs = std::max<qint64>(drawIntervalMs, drawing.nsecsElapsed() * drawCostShare / 1000000);
    lastDrawMs = programClock().nowMs();
}

void PlotPanel::addChannels(const QStringList &names)
{
    view->addChannels(names);
    for (int channel = channels.size(); channel < names.size(); ++channel)
        view->setChannelHidden(channel, hiddenChannels.contains(names.at(channel)));
    channels = names;
}

void PlotPanel::showChannel(int channel, bool shown)
{
    view->setChannelHidden(channel, !shown);
    hiddenChannels.removeAll(channels.value(channel));
    if (!shown)
        hiddenChannels.append(channels.value(channel));
    draw();
}

void PlotPanel::exportImage()
{
    const QString path = QFileDialog::getSaveFileName(
            dock, tr("导出图片"), QStringLiteral("plot.png"), QStringLiteral("PNG (*.png)"));
    if (!path.isEmpty() && !view->saveImage(path))
        QMessageBox::warning(dock, tr("错误"), tr("无法写入图片: ") + path);
}

void PlotPanel::exportData()
{
    const QString path = QFileDialog::getSaveFileName(
            dock, tr("导出数据"), QStringLiteral("plot.csv"), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !plotFeed->store().writeCsv(&file) || !file.commit())
        QMessageBox::warning(dock, tr("错误"), tr("无法写入文件: ") + file.errorString());
}

void PlotPanel::saveSettings() const
{
    if (!dock)
        return;
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    settings.beginGroup(settingsGroup);
    if (dock->isFloating())
        settings.setValue(geometryKey, dock->saveGeometry());
    settings.setValue(timeWindowKey, windowSpin->value());
    settings.setValue(hiddenChannelsKey, hiddenChannels);
}
