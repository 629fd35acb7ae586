#include "linetoolbar.h"
#include "mainwindow.h"
#include "portlink.h"

#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>

namespace {

// Long enough to read; the next notice or port message replaces it anyway.
constexpr int noticeMs = 10000;

} // namespace

void MainWindow::buildLineToolBar()
{
    lineToolBar = new LineToolBar(portLink, this);
    // In the menu bar's corner the controls add no height of their own: the
    // window keeps its sizes with every bar inside them.
    lineToolBar->setContentsMargins(0, 0, 0, 0);
    lineToolBar->layout()->setContentsMargins(0, 0, 0, 0);
    menuBar()->setCornerWidget(lineToolBar, Qt::TopRightCorner);
    const QList<QLabel *> lamps = lineToolBar->inputLamps();
    for (QLabel *lamp : lamps)
        statusBar()->addPermanentWidget(lamp);
    const auto showNotice = [this](const QString &text) {
        statusBar()->showMessage(text, noticeMs);
    };
    connect(lineToolBar, &LineToolBar::notice, this, showNotice);
    // What a network port's server does not do (raw TCP, unconfirmed settings).
    connect(portLink, &Link::notice, this, showNotice);
}
