#include "mainwindow.h"
#include "settingsstore.h"
#include "trafficview.h"

#include <QTimer>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    serialPort = new QSerialPort(this);
    connect(serialPort, &QSerialPort::readyRead, this, &MainWindow::onPortReadyRead);
    connect(serialPort, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { onPortError(error); });

    rotationTimer = new QTimer(this);
    rotationTimer->setSingleShot(false);
    connect(rotationTimer, &QTimer::timeout, this, &MainWindow::onRotationTimer);

    sendLampTimer = new QTimer(this);
    sendLampTimer->setSingleShot(true);
    connect(sendLampTimer, &QTimer::timeout, this, &MainWindow::resetSendLamp);

    recvLampTimer = new QTimer(this);
    recvLampTimer->setSingleShot(true);
    connect(recvLampTimer, &QTimer::timeout, this, &MainWindow::resetRecvLamp);

    answerTimer = new QTimer(this);
    answerTimer->setSingleShot(true);
    connect(answerTimer, &QTimer::timeout, this, &MainWindow::handleAnswerTimeout);

    buildLayout();
    refreshPortList();
    setAsideDamagedSettings();
    loadSendAreaSettings();
    loadOptionSettings();
    applyTheme();

    setMinimumSize(1000, 700);
    resize(1100, 750);
}

MainWindow::~MainWindow()
{
    trafficView->flush(); // the capture file gets the last lines too
    finishCaptureLine();
    if (serialPort->isOpen())
        serialPort->close();
    if (captureFile.isOpen())
        captureFile.close();
}
