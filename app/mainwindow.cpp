#include "mainwindow.h"
#include "answerwait.h"
#include "clock.h"
#include "linetoolbar.h"
#include "portlink.h"
#include "settingsstore.h"
#include "trafficview.h"

#include <QTimer>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    serialPort = new QSerialPort(this);
    // The port's errors reach the window through the link, which tells a
    // lost device from an error that leaves the port open.
    portLink = named(new PortLink(serialPort, this), "portLink");
    connect(portLink, &Link::readyRead, this, &MainWindow::onPortReadyRead);

    // The rotation ticks on the program's clock; rotationTimer wakes it.
    rotationTimer = new QTimer(this);
    rotationTimer->setSingleShot(false);
    rotationTick = new ClockTimer(this, rotationTimer);
    rotationTick->setRepeating(true);
    connect(rotationTick, &ClockTimer::timeout, this, &MainWindow::onRotationTimer);

    // The lamps' timers go back to grey through the lamps (buildLayout),
    // which read the program's clock.
    sendLampTimer = new QTimer(this);
    sendLampTimer->setSingleShot(true);
    recvLampTimer = new QTimer(this);
    recvLampTimer->setSingleShot(true);

    answerWait = named(new AnswerWait(this), "answerWait");
    answerTimer = answerWait->timer();
    connect(answerWait, &AnswerWait::timedOut, this, &MainWindow::handleAnswerTimeout);
    connect(answerWait, &AnswerWait::answered, this, [this] {
        if (rotationMode == RotationFile && waitForAnswer)
            handleRotationAnswer();
    });

    buildLayout();
    connectPortLink();
    refreshPortList();
    setAsideDamagedSettings();
    loadSendAreaSettings();
    loadOptionSettings();
    applyTheme();

    // The menu bar, its corner's line controls and the status bar are
    // inside these sizes: the traffic row gives up the height.
    setMinimumSize(1000, 700);
    resize(1100, 750);
}

MainWindow::~MainWindow()
{
    trafficView->flush(); // the capture file gets the last lines too
    finishCaptureLine();
    // Closed as any closing does: a break still held is released first.
    if (portLink->isOpen()) {
        lineToolBar->portClosing();
        portLink->close();
    }
    if (captureFile.isOpen())
        captureFile.close();
}
