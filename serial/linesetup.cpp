#include "linetoolbar.h"
#include "mainwindow.h"

#include <QLabel>
#include <QStatusBar>

namespace {

// Long enough to read; the next notice or port message replaces it anyway.
constexpr int noticeMs = 10000;

} // namespace

void MainWindow::buildLineToolBar()
{
    lineToolBar = new LineToolBar(serialPort, this);
    addToolBar(Qt::TopToolBarArea, lineToolBar);
    const QList<QLabel *> lamps = lineToolBar->inputLamps();
    for (QLabel *lamp : lamps)
        statusBar()->addPermanentWidget(lamp);
    connect(lineToolBar, &LineToolBar::notice, this,
            [this](const QString &text) { statusBar()->showMessage(text, noticeMs); });
}
