// A device that goes away and comes back (unplugged, reflashed), and the port
// list that follows what is plugged in. A link the test owns stands for the
// device's path and points at a fresh pty each time it is "plugged in".
#include "mainwindow.h"
#include "portwatcher.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>

#include <memory>
#include <unistd.h>

using namespace testsupport;

namespace {

struct Device
{
    QTemporaryDir dir;
    QString link = dir.filePath(QStringLiteral("ttyDEVICE"));
    std::unique_ptr<Pty> pty;

    Device() { plugIn(); }
    bool plugIn()
    {
        pty = std::make_unique<Pty>();
        return QFile::link(pty->slavePath(), link);
    }
    // The line hangs up first, then the path goes, as when a cable is pulled.
    void unplug()
    {
        pty->closeMaster();
        QFile::remove(link);
    }
};

// CPU time used by this process so far (user and system), in ms.
qint64 cpuTimeMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // After the command name in parentheses come the fields from "state"
    // (field 3) on; utime and stime are fields 14 and 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.at(11).toLongLong() + fields.at(12).toLongLong()) * 1000 / sysconf(_SC_CLK_TCK);
}

QComboBox *portList(QWidget *window)
{
    return byName<QComboBox>(window, QStringLiteral("portCombo"));
}

QString area(int n)
{
    return QStringLiteral("发送区%1属性").arg(n);
}

void openAndClosePopup(QComboBox *combo)
{
    combo->showPopup();
    combo->hidePopup();
}

} // namespace

class ReconnectTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void lostDeviceIsReopenedWhenItReturns();
    void userTakesOverFromTheWatch_data();
    void userTakesOverFromTheWatch();
    void numberedPtyIsNotWaitedFor();
    void returnWithinASecond_data();
    void returnWithinASecond();
    void lingeringNodeIsNotTheReturn();
    void lossDuringAnotherErrorBox();
    void portListFollowsThePopup();
};

void ReconnectTest::lostDeviceIsReopenedWhenItReturns()
{
    Device device;
    MainWindow window;
    window.show();
    ModalHandler boxes;
    QStringList messages;
    // Only the device's news: on a loaded machine a periodic send may also be
    // reported as skipped while the previous byte still waits to be written.
    connect(window.statusBar(), &QStatusBar::messageChanged, this, [&](const QString &message) {
        if (message.startsWith(QStringLiteral("设备")))
            messages << message;
    });
    QSerialPort *port = serialPortOf(&window);
    QVERIFY(openPort(&window, device.link));
    // The port in use stays listed though the system does not enumerate it.
    QComboBox *ports = portList(&window);
    openAndClosePopup(ports);
    QCOMPARE(ports->currentText(), device.link);

    // Area 1 sends on its own timer, area 3 in a rotation: both busy at the loss.
    sendArea(&window, 1)->setPlainText(QStringLiteral("01"));
    byName<QSpinBox>(&window, QStringLiteral("autoSendIntervalSpin1"))->setValue(100);
    findCheck(&window, QStringLiteral("自动发"), area(1))->setChecked(true);
    sendArea(&window, 3)->setPlainText(QStringLiteral("33"));
    byName<QSpinBox>(&window, QStringLiteral("autoSendIntervalSpin3"))->setValue(100);
    findCheck(&window, QStringLiteral("参加轮发"), area(3))->setChecked(true);
    click(findButton(&window, QStringLiteral("开始轮发")));
    QTRY_VERIFY(device.pty->collected().contains('\x01')
                && device.pty->collected().contains('\x33'));
    QVERIFY(receiveChunk(&window, *device.pty, "\x7E"));

    device.unplug();
    QTRY_COMPARE(boxes.count(), 1);
    QCOMPARE(boxes.last().title, QStringLiteral("串口错误"));
    QVERIFY(!boxes.last().text.isEmpty());
    QVERIFY(!port->isOpen());
    QVERIFY(findButton(&window, QStringLiteral("打开串口")));
    QCOMPARE(byName<QLabel>(&window, QStringLiteral("statusLamp"))->styleSheet(),
             QStringLiteral("color: red; font-weight: bold;"));
    QCOMPARE(messages.value(0),
             QStringLiteral("设备 %1 已断开，正在等待重新连接…").arg(device.link));

    // At rest while waiting: no error storm and no box, for two poll intervals.
    QSignalSpy errors(port, &QSerialPort::errorOccurred);
    const qint64 cpuBefore = cpuTimeMs();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!QTest::qWaitFor([&] { return !errors.isEmpty() || boxes.count() > 1; },
                             2 * PortWatcher::pollIntervalMs));
    qInfo("CPU while waiting: %lld ms in %lld ms", cpuTimeMs() - cpuBefore, clock.elapsed());

    // The lost port stays listed and selected while it is waited for; the
    // line settings shown when it returns are the ones it gets.
    openAndClosePopup(ports);
    QCOMPARE(ports->currentText(), device.link);
    byName<QComboBox>(&window, QStringLiteral("baudCombo"))->setCurrentText("115200");
    byName<QComboBox>(&window, QStringLiteral("stopBitsCombo"))->setCurrentText("2");

    clock.restart();
    QVERIFY(device.plugIn());
    QTRY_VERIFY_WITH_TIMEOUT(port->isOpen(), 5000);
    qInfo("Reopened %lld ms after the device returned", clock.elapsed());
    QVERIFY(findButton(&window, QStringLiteral("关闭串口")));
    const termios line = device.pty->attributes();
    QCOMPARE(cfgetospeed(&line), speed_t(B115200));
    QVERIFY(line.c_cflag & CSTOPB);
    QCOMPARE(messages.size(), 2);
    QVERIFY2(QRegularExpression(QStringLiteral("^设备 %1 已于 \\d\\d:\\d\\d:\\d\\d 重新连接$")
                                        .arg(QRegularExpression::escape(device.link)))
                     .match(messages.last())
                     .hasMatch(),
             qPrintable(messages.last()));
    // The news went to the status bar alone, not into the pane or the counters.
    QVERIFY(!receiveText(&window).contains(QStringLiteral("设备")));
    QCOMPARE(counter(&window, QStringLiteral("收帧数"))
                     + counter(&window, QStringLiteral("收字节数")),
             QStringLiteral("11"));

    // Both ways again: the auto-send goes on, the rotation stays halted.
    QVERIFY(receiveChunk(&window, *device.pty, "\x5A\xA5"));
    QVERIFY(device.pty->waitForBytes(3));
    QVERIFY(!QTest::qWaitFor([&] { return device.pty->collected().contains('\x33'); }, 1000));
    QVERIFY(device.pty->collected().contains('\x01'));
    QCOMPARE(boxes.count(), 1);
}

void ReconnectTest::userTakesOverFromTheWatch_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("open pressed while waiting") << QStringLiteral("open");
    QTest::newRow("another port chosen while waiting") << QStringLiteral("choose");
    QTest::newRow("closed by hand before unplugging") << QStringLiteral("close");
}

// Only a loss arms the watch, and any choice of the user's ends it: the
// returning device is then left alone.
void ReconnectTest::userTakesOverFromTheWatch()
{
    QFETCH(QString, action);
    Device device;
    Pty other;
    MainWindow window;
    window.show();
    ModalHandler boxes;
    QSerialPort *port = serialPortOf(&window);
    QVERIFY(openPort(&window, device.link));
    if (action == QLatin1String("close"))
        QVERIFY(closePort(&window));
    device.unplug();
    if (action != QLatin1String("close"))
        QTRY_COMPARE(boxes.count(), 1);
    // Two polls: time for a watch, if armed, to see the device gone.
    QVERIFY(!QTest::qWaitFor([&] { return port->isOpen(); }, 1000));

    if (action == QLatin1String("open")) {
        // The link is gone, so this opening fails with its own box.
        click(findButton(&window, QStringLiteral("打开串口")));
        QTRY_COMPARE(boxes.count(), 2);
        QCOMPARE(boxes.last().title, QStringLiteral("错误"));
    } else if (action == QLatin1String("choose")) {
        QComboBox *ports = portList(&window);
        ports->addItem(other.slavePath());
        QCOMPARE(ports->currentText(), device.link);
        QTest::keyClick(ports, Qt::Key_Down);
        QCOMPARE(ports->currentText(), other.slavePath());
    }
    QVERIFY(window.statusBar()->currentMessage().isEmpty());

    QVERIFY(device.plugIn());
    QVERIFY(!QTest::qWaitFor([&] { return port->isOpen(); }, 2000));
    QVERIFY(findButton(&window, QStringLiteral("打开串口")));
}

// The next pty to be made takes the lost one's number; it belongs to someone
// else and must not be opened.
void ReconnectTest::numberedPtyIsNotWaitedFor()
{
    auto lost = std::make_unique<Pty>();
    const QString path = lost->slavePath();
    MainWindow window;
    window.show();
    ModalHandler boxes;
    QSerialPort *port = serialPortOf(&window);
    QVERIFY(openPort(&window, path));
    lost.reset();
    QTRY_COMPARE(boxes.count(), 1);
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("设备 %1 已断开").arg(path));
    QVERIFY(!QTest::qWaitFor([&] { return port->isOpen(); }, 1000));

    std::vector<std::unique_ptr<Pty>> newcomers;
    do
        newcomers.push_back(std::make_unique<Pty>());
    while (newcomers.back()->slavePath() != path && newcomers.size() < 8);
    if (newcomers.back()->slavePath() != path)
        QSKIP("Another process took the pty number");
    QVERIFY(!QTest::qWaitFor([&] { return port->isOpen(); }, 2000));
}

void ReconnectTest::returnWithinASecond_data()
{
    QTest::addColumn<int>("awayMs");
    QTest::newRow("back after 150 ms") << 150;
    QTest::newRow("back after 3 s") << 3000;
}

// A board that re-enumerates at once is not lost; nor is one that takes longer.
void ReconnectTest::returnWithinASecond()
{
    QFETCH(int, awayMs);
    Device device;
    MainWindow window;
    ModalHandler boxes;
    QSerialPort *port = serialPortOf(&window);
    QVERIFY(openPort(&window, device.link));
    device.unplug();
    QElapsedTimer back;
    QTimer::singleShot(awayMs, this, [&] {
        back.start();
        device.plugIn();
    });
    // Seen at once through the folder watch (measured, not asserted: a
    // shared machine may delay any wake-up).
    QTRY_VERIFY_WITH_TIMEOUT(back.isValid() && port->isOpen(), awayMs + 5000);
    qInfo("Reopened %lld ms after the device returned", back.elapsed());
    QVERIFY(receiveChunk(&window, *device.pty, "up"));
}

// A node that lingers after the loss (here: still there and still working)
// is not the device's return; only a node that went away or was replaced is.
void ReconnectTest::lingeringNodeIsNotTheReturn()
{
    Device device;
    MainWindow window;
    ModalHandler boxes;
    QSerialPort *port = serialPortOf(&window);
    QVERIFY(openPort(&window, device.link));
    emit port->errorOccurred(QSerialPort::ResourceError);
    QTRY_COMPARE(boxes.count(), 1);
    QVERIFY(!port->isOpen());
    const QString waiting = window.statusBar()->currentMessage();
    QVERIFY(!QTest::qWaitFor([&] { return port->isOpen(); }, PortWatcher::pollIntervalMs * 2));
    QCOMPARE(window.statusBar()->currentMessage(), waiting);

    device.unplug();
    QVERIFY(device.plugIn());
    QTRY_VERIFY(port->isOpen());
    QVERIFY(receiveChunk(&window, *device.pty, "up"));
}

// A device lost while a port-error box is open closes the port without a
// second box; the box itself is shown from the event loop, not inside the
// port's signal, where closing the port would pull it from under Qt.
void ReconnectTest::lossDuringAnotherErrorBox()
{
    Device device;
    MainWindow window;
    ModalHandler boxes;
    QSerialPort *port = serialPortOf(&window);
    QVERIFY(openPort(&window, device.link));
    boxes.answerNext([&](QWidget *box) {
        device.unplug();
        (void)QTest::qWaitFor([&] { return !port->isOpen(); }, 3000);
        qobject_cast<QDialog *>(box)->accept();
    });
    emit port->errorOccurred(QSerialPort::WriteError);
    QCOMPARE(boxes.count(), 0);
    QVERIFY(boxes.waitForCount(1));
    QTRY_VERIFY(!port->isOpen());
    QVERIFY(!boxes.waitForCount(2, 500));
    QVERIFY(window.statusBar()->currentMessage().contains(device.link));
}

void ReconnectTest::portListFollowsThePopup()
{
    Device device;
    Pty kept;
    MainWindow window;
    window.show();
    QComboBox *ports = portList(&window);
    // Paths named on the command line, one of them then chosen by the user.
    window.selectPort(device.link);
    window.selectPort(kept.slavePath());
    QCOMPARE(ports->currentText(), kept.slavePath());

    device.unplug();
    openAndClosePopup(ports);
    QCOMPARE(ports->findText(device.link), -1);
    QCOMPARE(ports->currentText(), kept.slavePath());

    QVERIFY(device.plugIn());
    openAndClosePopup(ports);
    const int linkIndex = ports->findText(device.link);
    QVERIFY(linkIndex >= 0);
    QCOMPARE(ports->currentText(), kept.slavePath());

    // Each item tells where it lives; a link also what it leads to.
    QCOMPARE(ports->itemData(linkIndex, Qt::ToolTipRole).toString(),
             QStringLiteral("位置: %1\n指向: %2").arg(device.link, device.pty->slavePath()));
    const auto system = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : system) {
        const QString tip =
                ports->itemData(ports->findText(info.portName()), Qt::ToolTipRole).toString();
        QVERIFY2(tip.contains(QStringLiteral("位置: ") + info.systemLocation()), qPrintable(tip));
    }
}

QUORVEL_TEST_MAIN(ReconnectTest)
#include "tst_reconnect.moc"
