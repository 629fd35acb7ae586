#include "answerwait.h"
#include "baudrates.h"
#include "clock.h"
#include "linetoolbar.h"
#include "mainwindow.h"
#include "portcombobox.h"
#include "portidentity.h"
#include "portlink.h"
#include "portwatcher.h"
#include "receivepath.h"
#include "trafficview.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QStatusBar>
#include <QTimer>

namespace {

const char *const closedLampStyle = "color: red; font-weight: bold;";
const char *const openLampStyle = "color: green; font-weight: bold;";

// A path counts while it exists; a bare name (COM7) cannot be checked here
// and stays.
bool pinnedPortPresent(const QString &port)
{
    const bool isPath = port.contains(QLatin1Char('/')) || port.contains(QLatin1Char('\\'));
    return !isPath || QFileInfo::exists(port);
}

} // namespace

void MainWindow::buildSerialGroup()
{
    buildPortCombo();
    baudCombo = named(new QComboBox, "baudCombo");
    for (const qint32 rate : standardBaudRates())
        baudCombo->addItem(QString::number(rate), rate);
    baudCombo->setCurrentText(QStringLiteral("1200"));
    // Any rate may be typed; the list itself never changes, and no inline
    // completion turns a typed "1" into 1200.
    baudCombo->setEditable(true);
    baudCombo->setInsertPolicy(QComboBox::NoInsert);
    baudCombo->setCompleter(nullptr);
    baudCombo->setValidator(newBaudRateValidator(baudCombo));
    baudCombo->setToolTip(
            tr("选择或输入 %1 到 %2 之间的任一波特率").arg(minimumBaudRate).arg(maximumBaudRate));

    dataBitsCombo = named(new QComboBox, "dataBitsCombo");
    for (QSerialPort::DataBits bits :
         { QSerialPort::Data5, QSerialPort::Data6, QSerialPort::Data7, QSerialPort::Data8 })
        dataBitsCombo->addItem(QString::number(bits), bits);
    dataBitsCombo->setCurrentIndex(3);

    parityCombo = named(new QComboBox, "parityCombo");
    parityCombo->addItem(tr("无"), QSerialPort::NoParity);
    parityCombo->addItem(tr("奇"), QSerialPort::OddParity);
    parityCombo->addItem(tr("偶"), QSerialPort::EvenParity);
    parityCombo->addItem(tr("标记"), QSerialPort::MarkParity);
    parityCombo->addItem(tr("空格"), QSerialPort::SpaceParity);
    parityCombo->setCurrentIndex(0);

    stopBitsCombo = named(new QComboBox, "stopBitsCombo");
    stopBitsCombo->addItem(QStringLiteral("1"), QSerialPort::OneStop);
    stopBitsCombo->addItem(QStringLiteral("2"), QSerialPort::TwoStop);
    stopBitsCombo->setCurrentIndex(0);

    for (QComboBox *combo : { portCombo, baudCombo, dataBitsCombo, parityCombo, stopBitsCombo })
        combo->setMinimumWidth(90);

    statusLamp = named(new QLabel(QStringLiteral("●")), "statusLamp");
    statusLamp->setStyleSheet(QLatin1String(closedLampStyle));

    openButton = named(new QPushButton(tr("打开串口")), "openButton");
    connect(openButton, &QPushButton::clicked, this, &MainWindow::onOpenClosePort);

    sendLamp = named(new QLabel(tr("发送 ●")), "sendLamp");
    sendLamp->setStyleSheet(QStringLiteral("color: gray;"));
    recvLamp = named(new QLabel(tr("接收 ●")), "recvLamp");
    recvLamp->setStyleSheet(QStringLiteral("color: gray;"));
    sendLampControl = new TrafficLamp(sendLamp, sendLampTimer, this);
    connect(sendLampControl, &TrafficLamp::dark, this, &MainWindow::resetSendLamp);
    recvLampControl = new TrafficLamp(recvLamp, recvLampTimer, this);
    connect(recvLampControl, &TrafficLamp::dark, this, &MainWindow::resetRecvLamp);
}

void MainWindow::refreshPortList()
{
    const QString previous = portCombo->currentText();
    portCombo->clear();
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        portCombo->addItem(info.portName());
        portCombo->setItemData(portCombo->count() - 1, portToolTip(info, info.systemLocation()),
                               Qt::ToolTipRole);
    }
    QStringList extraPorts;
    for (const QString &pinned : qAsConst(pinnedPorts)) {
        if (pinnedPortPresent(pinned))
            extraPorts << pinned;
    }
    // The port in use, or waited for, stays listed, so the selection holds
    // until the user chooses another. Network ports have their own place.
    if (portLink->isOpen())
        extraPorts << openedPortName;
    if (portWatcher->isWatching())
        extraPorts << portWatcher->portName();
    for (const QString &extra : qAsConst(extraPorts)) {
        if (NetworkAddress::looksLikeNetworkName(extra)
            || portCombo->findText(extra, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
            continue;
        portCombo->addItem(extra);
        portCombo->setItemData(portCombo->count() - 1, pathToolTip(extra, ports), Qt::ToolTipRole);
    }
    static_cast<PortComboBox *>(portCombo)->appendNetworkEntries();

    const int found = portCombo->findText(previous, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0 && found < portCombo->count() - 1)
        portCombo->setCurrentIndex(found);
    else if (portCombo->count() > 1)
        portCombo->setCurrentIndex(0);
    else
        portCombo->setCurrentIndex(-1); // only the entry that adds a network port
}

void MainWindow::applyPortParameters()
{
    Link::LineSettings settings;
    // An unfinished typed rate gives 0, which the port refuses at opening.
    settings.baudRate = baudRateFromText(baudCombo->currentText());
    settings.dataBits = static_cast<QSerialPort::DataBits>(dataBitsCombo->currentData().toInt());
    settings.parity = static_cast<QSerialPort::Parity>(parityCombo->currentData().toInt());
    settings.stopBits = static_cast<QSerialPort::StopBits>(stopBitsCombo->currentData().toInt());
    settings.flowControl = lineToolBar->flowControl();
    portLink->setLineSettings(settings);
}

void MainWindow::onOpenClosePort()
{
    // Any press of the button takes the choice back from the reconnect watch.
    stopWatchingPort();
    if (portLink->isOpen()) {
        closePort();
        return;
    }
    if (baudRateFromText(baudCombo->currentText()) == 0) {
        QMessageBox::warning(this, tr("错误"),
                             tr("无法打开串口: ")
                                     + tr("波特率须为 %1 到 %2 之间的整数")
                                               .arg(minimumBaudRate)
                                               .arg(maximumBaudRate));
        return;
    }
    // A network port answers later: linkOpened, or the box of connectPortLink.
    if (!openPortNamed(portCombo->currentText()))
        QMessageBox::warning(this, tr("错误"), tr("无法打开串口: ") + portLink->errorString());
}

bool MainWindow::openPortNamed(const QString &portName)
{
    if (!portLink->choose(portName))
        return false;
    applyPortParameters();
    if (!portLink->open())
        return false;
    if (portLink->isConnecting())
        statusBar()->showMessage(tr("正在连接 %1…").arg(portName));
    return true;
}

void MainWindow::linkOpened()
{
    openedPortName = portLink->name();
    if (portLink->isNetwork()) {
        statusBar()->clearMessage();
    } else {
        // The reconnect watch tells this device from a lingering node or another one.
        openedIdentity = PortIdentity::of(QSerialPortInfo(openedPortName));
        portWatcher->remember(openedPortName);
    }
    portErrorShown = false;
    skippedSends = 0;
    receivePath->portOpened();
    openButton->setText(tr("关闭串口"));
    statusLamp->setText(QStringLiteral("●"));
    statusLamp->setStyleSheet(QLatin1String(openLampStyle));
    lineToolBar->portOpened();
}

void MainWindow::closePort()
{
    // Closing the port ends its traffic: show the last of it now.
    trafficView->flush();
    lineToolBar->portClosing();
    portLink->close();
    openButton->setText(tr("打开串口"));
    statusLamp->setText(QStringLiteral("●"));
    statusLamp->setStyleSheet(QLatin1String(closedLampStyle));
    rotationTick->stop();
    answerWait->stop();
    rotationMode = RotationIdle;
}

void MainWindow::connectPortLink()
{
    connect(portLink, &Link::opened, this, &MainWindow::linkOpened);
    // Only a network port fails after the press: told as a failed opening is.
    connect(portLink, &Link::openFailed, this, [this](const QString &reason) {
        statusBar()->clearMessage();
        QTimer::singleShot(0, this, [this, reason] {
            QMessageBox::warning(this, tr("错误"), tr("无法打开串口: ") + reason);
        });
    });
    connect(portLink, &Link::lost, this, &MainWindow::handleDeviceLoss);
    // Other errors leave the port open; one box per opening is enough.
    connect(portLink, &Link::errorOccurred, this, [this](const QString &reason) {
        if (portErrorShown)
            return;
        portErrorShown = true;
        QTimer::singleShot(0, this, [this, reason] { showPortErrorBox(reason); });
    });
    connect(portLink, &PortLink::returned, this, [this] { showReconnected(portLink->name()); });
    // A network port takes line settings while open, and one waited for at
    // its return; a serial port takes them at the next opening, as it always
    // has.
    const auto settingsChanged = [this] {
        if (portLink->isNetwork() && (portLink->isOpen() || portLink->isRetrying())
            && baudRateFromText(baudCombo->currentText()) > 0)
            applyPortParameters();
    };
    // A typed rate counts once finished, not at each keystroke on the way.
    connect(baudCombo->lineEdit(), &QLineEdit::editingFinished, this, settingsChanged);
    for (QComboBox *combo : { baudCombo, dataBitsCombo, parityCombo, stopBitsCombo })
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, settingsChanged);
}
