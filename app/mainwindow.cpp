#include "mainwindow.h"
#include "settingsstore.h"

#include <QTimer>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , serialPort(nullptr)
    , rotationTimer(nullptr)
    , sendLampTimer(nullptr)
    , recvLampTimer(nullptr)
    , capturing(false)
    , portCombo(nullptr)
    , baudCombo(nullptr)
    , dataBitsCombo(nullptr)
    , parityCombo(nullptr)
    , stopBitsCombo(nullptr)
    , openButton(nullptr)
    , statusLamp(nullptr)
    , sendLamp(nullptr)
    , recvLamp(nullptr)
    , recvEdit(nullptr)
    , stopDisplayButton(nullptr)
    , hexRecvCheck(nullptr)
    , autoClearCheck(nullptr)
    , saveDataButton(nullptr)
    , captureFileEdit(nullptr)
    , sentFramesEdit(nullptr)
    , sentBytesEdit(nullptr)
    , recvFramesEdit(nullptr)
    , recvBytesEdit(nullptr)
    , fileLinesEdit(nullptr)
    , currentLineEdit(nullptr)
    , sentFrames(0)
    , sentBytes(0)
    , recvFrames(0)
    , recvBytes(0)
    , showSaveSendCheck(nullptr)
    , showSaveTimeCheck(nullptr)
    , frameNewlineCheck(nullptr)
    , keywordFilterCheck(nullptr)
    , keywordEdit(nullptr)
    , themeButton(nullptr)
    , themeIndex(0)
    , sendEdit1(nullptr)
    , sendEdit2(nullptr)
    , sendEdit3(nullptr)
    , hexSendCheck1(nullptr)
    , hexSendCheck2(nullptr)
    , hexSendCheck3(nullptr)
    , checksumButton1(nullptr)
    , checksumButton2(nullptr)
    , checksumButton3(nullptr)
    , lastChecksumKind{ -1, -1, -1 }
    , autoSendCheck1(nullptr)
    , autoSendCheck2(nullptr)
    , autoSendCheck3(nullptr)
    , joinRotationCheck1(nullptr)
    , joinRotationCheck2(nullptr)
    , joinRotationCheck3(nullptr)
    , autoSendIntervalSpin1(nullptr)
    , autoSendIntervalSpin2(nullptr)
    , autoSendIntervalSpin3(nullptr)
    , autoSendTimer1(nullptr)
    , autoSendTimer2(nullptr)
    , autoSendTimer3(nullptr)
    , sendOnceCheck(nullptr)
    , rotationPeriodSpin(nullptr)
    , chooseSendFileButton(nullptr)
    , waitAnswerRadio(nullptr)
    , timedRadio(nullptr)
    , answerTimeoutSpin(nullptr)
    , retryCountSpin(nullptr)
    , currentLine(0)
    , waitForAnswer(true)
    , rotationMode(RotationIdle)
    , nextDueMs{ 0, 0, 0 }
    , retriesLeft(0)
    , answerTimer(nullptr)
    , portErrorShown(false)
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

    autoSendTimer1 = new QTimer(this);
    autoSendTimer2 = new QTimer(this);
    autoSendTimer3 = new QTimer(this);
    connect(autoSendTimer1, &QTimer::timeout, this, [this] { onManualSend1(); });
    connect(autoSendTimer2, &QTimer::timeout, this, [this] { onManualSend2(); });
    connect(autoSendTimer3, &QTimer::timeout, this, [this] { onManualSend3(); });

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
    if (serialPort->isOpen())
        serialPort->close();
    if (captureFile.isOpen())
        captureFile.close();
}
