// The serial group: line settings, opening, closing and port errors, driven
// through a real pseudo-terminal.
#include "mainwindow.h"
#include "portidentity.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSerialPort>

using namespace testsupport;

Q_DECLARE_METATYPE(PortIdentity)

namespace {

const QString redLamp = QStringLiteral("color: red; font-weight: bold;");
const QString greenLamp = QStringLiteral("color: green; font-weight: bold;");

QLabel *statusLamp(QWidget *window)
{
    return byName<QLabel>(window, QStringLiteral("statusLamp"));
}

void choose(QWidget *window, const QString &combo, const QString &item)
{
    byName<QComboBox>(window, combo)->setCurrentText(item);
}

} // namespace

class SerialTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void lineSettings();
    void failedOpenings();
    void lostDeviceShowsOneBoxPerOpening();
    void sameDevice_data();
    void sameDevice();
};

void SerialTest::sameDevice_data()
{
    QTest::addColumn<PortIdentity>("lost");
    QTest::addColumn<PortIdentity>("found");
    QTest::addColumn<QString>("verdict");
    const auto id = [](const char *serial, quint16 vendor, quint16 product, int usb) {
        return PortIdentity{ serial, vendor != 0, vendor, product,
                             QString("/dev/ttyUSB%1").arg(usb) };
    };
    const PortIdentity ftdi = id("A5XK3RJT", 0x0403, 0x6001, 0);
    const PortIdentity ch340 = id("", 0x1a86, 0x7523, 0);
    QTest::newRow("no identity: the path decides") << PortIdentity() << ftdi << "same";
    QTest::newRow("same serial, elsewhere") << ftdi << id("A5XK3RJT", 0x0403, 0x6001, 1) << "same";
    QTest::newRow("other serial") << ftdi << id("A5XK3RJU", 0x0403, 0x6001, 0) << "other";
    // A new node's serial number is known a moment after the node itself.
    QTest::newRow("serial not known yet") << ftdi << id("", 0x0403, 0x6001, 0) << "pending";
    QTest::newRow("nothing known yet") << ftdi << PortIdentity() << "pending";
    QTest::newRow("no serial yet, other ids") << ftdi << id("", 0x1a86, 0x7523, 0) << "other";
    QTest::newRow("same serial, other product")
            << ftdi << id("A5XK3RJT", 0x0403, 0x6015, 0) << "other";
    QTest::newRow("no serial: same ids and place") << ch340 << ch340 << "same";
    QTest::newRow("no serial: other place") << ch340 << id("", 0x1a86, 0x7523, 1) << "other";
    QTest::newRow("no serial: other product") << ch340 << id("", 0x1a86, 0x55d4, 0) << "other";
    QTest::newRow("no serial: one with a serial")
            << ch340 << id("X1", 0x1a86, 0x7523, 0) << "other";
    QTest::newRow("no serial: nothing known yet") << ch340 << PortIdentity() << "pending";
}

void SerialTest::sameDevice()
{
    QFETCH(PortIdentity, lost);
    QFETCH(PortIdentity, found);
    QFETCH(QString, verdict);
    const bool same = isSameDevice(lost, found);
    const bool pending = identityPending(lost, found);
    QVERIFY(!(same && pending));
    QCOMPARE(QString(pending ? "pending" : same ? "same" : "other"), verdict);
}

// Baud rate and stop bits reach the line; the pty driver forces 8N, so
// parity and data bits are read back from the window's port object. Each
// case is chosen while the previous one is open and must wait for a reopen.
void SerialTest::lineSettings()
{
    const struct
    {
        const char *baud;
        speed_t speed;
        const char *stopBits, *parity;
        QSerialPort::Parity parityValue;
        const char *dataBits;
    } cases[] = { { "1200", B1200, "1", "无", QSerialPort::NoParity, "8" },
                  { "115200", B115200, "2", "奇", QSerialPort::OddParity, "7" },
                  { "921600", B921600, "1", "偶", QSerialPort::EvenParity, "6" },
                  { "9600", B9600, "2", "标记", QSerialPort::MarkParity, "5" },
                  { "57600", B57600, "1", "空格", QSerialPort::SpaceParity, "8" } };
    Pty pty;
    MainWindow window;
    QLabel *lamp = statusLamp(&window);
    for (const auto &c : cases) {
        const termios before = pty.attributes();
        choose(&window, QStringLiteral("baudCombo"), QString::fromUtf8(c.baud));
        choose(&window, QStringLiteral("stopBitsCombo"), QString::fromUtf8(c.stopBits));
        choose(&window, QStringLiteral("parityCombo"), QString::fromUtf8(c.parity));
        choose(&window, QStringLiteral("dataBitsCombo"), QString::fromUtf8(c.dataBits));
        QCOMPARE(pty.attributes().c_cflag, before.c_cflag); // speed and stop bits
        if (serialPortOf(&window)->isOpen()) {
            QVERIFY(closePort(&window));
            QCOMPARE(lamp->styleSheet(), redLamp);
        }
        QVERIFY(openPort(&window, pty.slavePath()));
        QCOMPARE(lamp->styleSheet(), greenLamp);
        const termios line = pty.attributes();
        QCOMPARE(cfgetospeed(&line), c.speed);
        QCOMPARE(cfgetispeed(&line), c.speed);
        QCOMPARE(bool(line.c_cflag & CSTOPB), c.stopBits[0] == '2');
        QCOMPARE(serialPortOf(&window)->parity(), c.parityValue);
        QCOMPARE(int(serialPortOf(&window)->dataBits()), atoi(c.dataBits));
    }
}

void SerialTest::failedOpenings()
{
    for (const QString &portName : { QString(), QStringLiteral("/dev/quorvel-no-such-port") }) {
        MainWindow window;
        auto *ports = byName<QComboBox>(&window, QStringLiteral("portCombo"));
        ports->clear();
        if (!portName.isEmpty())
            ports->addItem(portName);
        ModalHandler boxes;
        auto *button = byName<QAbstractButton>(&window, QStringLiteral("openButton"));
        click(button);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("错误"));
        const QString reason = serialPortOf(&window)->errorString();
        QVERIFY(!reason.isEmpty());
        QCOMPARE(boxes.last().text, QStringLiteral("无法打开串口: ") + reason);
        QCOMPARE(button->text(), QStringLiteral("打开串口"));
        QCOMPARE(statusLamp(&window)->styleSheet(), redLamp);
    }
}

// A vanished device signals errors on every pass of the event loop, and every
// failed write adds one: the port is closed and each loss shows exactly one box.
void SerialTest::lostDeviceShowsOneBoxPerOpening()
{
    MainWindow window;
    window.show();
    ModalHandler boxes;
    for (int opening = 1; opening <= 2; ++opening) {
        Pty pty;
        QVERIFY(openPort(&window, pty.slavePath()));
        pty.closeMaster();
        QSerialPort *port = serialPortOf(&window);
        auto boxesWhileWriting = [&](int count, int ms) {
            return QTest::qWaitFor(
                    [&] { return (!port->isOpen() || port->write("x")) && boxes.count() >= count; },
                    ms);
        };
        QVERIFY(boxesWhileWriting(opening, 5000));
        QVERIFY(!boxesWhileWriting(opening + 1, 500));
        QCOMPARE(boxes.last().title, QStringLiteral("串口错误"));
        QVERIFY(!boxes.last().text.isEmpty());
        QCOMPARE(statusLamp(&window)->styleSheet(), redLamp);
        QVERIFY(!port->isOpen());
    }
}

QUORVEL_TEST_MAIN(SerialTest)
#include "tst_serial.moc"
