#ifndef QUORVEL_PLOTPANEL_H
#define QUORVEL_PLOTPANEL_H

#include "clock.h"

#include <QObject>
#include <QStringList>

class QAction;
class QDockWidget;
class QMainWindow;
class QSpinBox;
class PlotFeed;
class PlotView;

// The plot window of a main window: a dock that starts floating, opened and
// closed by one checkable action, built the first time it opens. Its
// settings live in the group "plot" and are written when the main window
// closes.
class PlotPanel : public QObject
{
    Q_OBJECT

public:
    explicit PlotPanel(QMainWindow *window);

    QAction *openAction() const { return plotAction; }
    // Give it every received read (PlotFeed::addReceived).
    PlotFeed *feed() const { return plotFeed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setOpen(bool open);
    void buildDock();
    QWidget *buildToolBar();
    // Drawing is paced; a user's change is drawn at once.
    void requestDraw();
    void draw();
    void addChannels(const QStringList &names);
    void showChannel(int channel, bool shown);
    void exportImage();
    void exportData();
    void saveSettings() const;

    QMainWindow *window;
    PlotFeed *plotFeed;
    QAction *plotAction;
    QDockWidget *dock = nullptr;
    PlotView *view = nullptr;
    ClockTimer drawTimer;
    qint64 lastDrawMs = -1;
    qint64 drawGapMs = 0;
    QAction *pauseAction = nullptr;
    QAction *followAction = nullptr;
    QSpinBox *windowSpin = nullptr;
    QStringList channels;
    // By name, so a channel stays hidden through a clear and the next run.
    QStringList hiddenChannels;
};

#endif // QUORVEL_PLOTPANEL_H
