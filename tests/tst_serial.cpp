// The serial group: port list, line settings, opening, closing and errors,
// driven through a real pseudo-terminal.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSerialPort>
#include <QSerialPortInfo>

using namespace testsupport;

class SerialTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void defaultsAndLists();
    void lineSettingsReachTheDevice_data();
    void lineSettingsReachTheDevice();
    void everyParityAndDataBits_data();
    void everyParityAndDataBits();
    void settingsChangedWhileOpenApplyAfterReopen();
    void captionsAndLamp();
    void failedOpeningsAreReported_data();
    void failedOpeningsAreReported();
    void lostDeviceShowsOneBoxPerOpening();
    void refreshKeepsSelection();
};

static speed_t outputSpeed(const Pty &pty)
{
    const termios attributes = pty.attributes();
    return cfgetospeed(&attributes);
}

static QLabel *statusLamp(QWidget *window)
{
    auto *row = fieldOfRow(window, QStringLiteral("状态"));
    if (!row)
        return nullptr;
    const auto labels = row->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text() == QStringLiteral("●"))
            return label;
    }
    return nullptr;
}

void SerialTest::defaultsAndLists()
{
    MainWindow window;
    QComboBox *baud = comboOfRow(&window, QStringLiteral("波特率"));
    QComboBox *dataBits = comboOfRow(&window, QStringLiteral("数据位"));
    QComboBox *parity = comboOfRow(&window, QStringLiteral("校验位"));
    QComboBox *stopBits = comboOfRow(&window, QStringLiteral("停止位"));
    QComboBox *ports = comboOfRow(&window, QStringLiteral("端口号"));
    QVERIFY(baud && dataBits && parity && stopBits && ports);

    auto items = [](QComboBox *combo) {
        QStringList list;
        for (int i = 0; i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    };
    QCOMPARE(items(baud),
             QStringList({ "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200",
                           "230400", "460800", "921600" }));
    QCOMPARE(baud->currentText(), QStringLiteral("1200"));
    QCOMPARE(items(dataBits), QStringList({ "5", "6", "7", "8" }));
    QCOMPARE(dataBits->currentText(), QStringLiteral("8"));
    QCOMPARE(items(parity), QStringList({ "无", "奇", "偶", "标记", "空格" }));
    QCOMPARE(parity->currentIndex(), 0);
    QCOMPARE(items(stopBits), QStringList({ "1", "2" }));
    QCOMPARE(stopBits->currentIndex(), 0);

    for (QComboBox *combo : { ports, baud, dataBits, parity, stopBits }) {
        QVERIFY(!combo->isEditable());
        QCOMPARE(combo->minimumWidth(), 90);
    }

    // The port list shows exactly what the system reports, by name only.
    QStringList present;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        present << info.portName();
    QCOMPARE(items(ports), present);
    QCOMPARE(ports->currentIndex(), present.isEmpty() ? -1 : 0);
}

void SerialTest::lineSettingsReachTheDevice_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<int>("stopIndex");
    QTest::addColumn<speed_t>("speed");
    QTest::addColumn<bool>("twoStopBits");
    QTest::newRow("1200, 1 stop") << "1200" << 0 << speed_t(B1200) << false;
    QTest::newRow("115200, 2 stops") << "115200" << 1 << speed_t(B115200) << true;
    QTest::newRow("921600, 1 stop") << "921600" << 0 << speed_t(B921600) << false;
    QTest::newRow("921600, 2 stops") << "921600" << 1 << speed_t(B921600) << true;
}

void SerialTest::lineSettingsReachTheDevice()
{
    QFETCH(QString, baud);
    QFETCH(int, stopIndex);
    QFETCH(speed_t, speed);
    QFETCH(bool, twoStopBits);

    Pty pty;
    QVERIFY(pty.isValid());
    MainWindow window;
    comboOfRow(&window, QStringLiteral("波特率"))->setCurrentText(baud);
    comboOfRow(&window, QStringLiteral("停止位"))->setCurrentIndex(stopIndex);
    QVERIFY(openPort(&window, pty.slavePath()));

    const termios attributes = pty.attributes();
    QCOMPARE(cfgetospeed(&attributes), speed);
    QCOMPARE(cfgetispeed(&attributes), speed);
    QCOMPARE(bool(attributes.c_cflag & CSTOPB), twoStopBits);
    QCOMPARE(serialPortOf(&window)->baudRate(QSerialPort::Input), baud.toInt());
    QCOMPARE(serialPortOf(&window)->baudRate(QSerialPort::Output), baud.toInt());
}

void SerialTest::everyParityAndDataBits_data()
{
    QTest::addColumn<int>("parityIndex");
    QTest::addColumn<int>("parity");
    QTest::addColumn<QString>("dataBits");
    QTest::newRow("无, 8") << 0 << int(QSerialPort::NoParity) << "8";
    QTest::newRow("奇, 7") << 1 << int(QSerialPort::OddParity) << "7";
    QTest::newRow("偶, 6") << 2 << int(QSerialPort::EvenParity) << "6";
    QTest::newRow("标记, 5") << 3 << int(QSerialPort::MarkParity) << "5";
    QTest::newRow("空格, 8") << 4 << int(QSerialPort::SpaceParity) << "8";
}

void SerialTest::everyParityAndDataBits()
{
    QFETCH(int, parityIndex);
    QFETCH(int, parity);
    QFETCH(QString, dataBits);

    // The pty driver forces 8N1 on the line, so read back what the window
    // asked of its port object.
    Pty pty;
    MainWindow window;
    comboOfRow(&window, QStringLiteral("校验位"))->setCurrentIndex(parityIndex);
    comboOfRow(&window, QStringLiteral("数据位"))->setCurrentText(dataBits);
    openPort(&window, pty.slavePath());
    QSerialPort *port = serialPortOf(&window);
    QVERIFY(port->isOpen());
    QCOMPARE(int(port->parity()), parity);
    QCOMPARE(int(port->dataBits()), dataBits.toInt());
    QCOMPARE(port->flowControl(), QSerialPort::NoFlowControl);
}

void SerialTest::settingsChangedWhileOpenApplyAfterReopen()
{
    Pty pty;
    MainWindow window;
    comboOfRow(&window, QStringLiteral("波特率"))->setCurrentText(QStringLiteral("9600"));
    QVERIFY(openPort(&window, pty.slavePath()));
    QCOMPARE(outputSpeed(pty), speed_t(B9600));

    comboOfRow(&window, QStringLiteral("波特率"))->setCurrentText(QStringLiteral("57600"));
    comboOfRow(&window, QStringLiteral("停止位"))->setCurrentIndex(1);
    comboOfRow(&window, QStringLiteral("校验位"))->setCurrentIndex(2);
    QCOMPARE(outputSpeed(pty), speed_t(B9600));
    QVERIFY(!(pty.attributes().c_cflag & CSTOPB));
    QCOMPARE(serialPortOf(&window)->parity(), QSerialPort::NoParity);

    QVERIFY(closePort(&window));
    QVERIFY(openPort(&window, pty.slavePath()));
    QCOMPARE(outputSpeed(pty), speed_t(B57600));
    QVERIFY(pty.attributes().c_cflag & CSTOPB);
    QCOMPARE(serialPortOf(&window)->parity(), QSerialPort::EvenParity);
}

void SerialTest::captionsAndLamp()
{
    Pty pty;
    MainWindow window;
    QAbstractButton *button =
            findButton(&window, QStringLiteral("打开串口"), QStringLiteral("串口参数"));
    QVERIFY(button);
    QLabel *lamp = statusLamp(&window);
    QVERIFY(lamp);
    QCOMPARE(lamp->styleSheet(), QStringLiteral("color: red; font-weight: bold;"));

    QVERIFY(openPort(&window, pty.slavePath()));
    QCOMPARE(button->text(), QStringLiteral("关闭串口"));
    QCOMPARE(lamp->text(), QStringLiteral("●"));
    QCOMPARE(lamp->styleSheet(), QStringLiteral("color: green; font-weight: bold;"));
    QVERIFY(serialPortOf(&window)->isOpen());
    QCOMPARE(serialPortOf(&window)->openMode(), QIODevice::ReadWrite);

    click(button);
    QCOMPARE(button->text(), QStringLiteral("打开串口"));
    QCOMPARE(lamp->styleSheet(), QStringLiteral("color: red; font-weight: bold;"));
    QVERIFY(!serialPortOf(&window)->isOpen());
}

void SerialTest::failedOpeningsAreReported_data()
{
    QTest::addColumn<QString>("portName");
    QTest::newRow("empty port list") << QString();
    QTest::newRow("missing device") << QStringLiteral("/dev/quorvel-no-such-port");
}

void SerialTest::failedOpeningsAreReported()
{
    QFETCH(QString, portName);
    MainWindow window;
    QComboBox *ports = comboOfRow(&window, QStringLiteral("端口号"));
    ports->clear();
    if (!portName.isEmpty())
        ports->addItem(portName);

    ModalHandler boxes;
    QAbstractButton *button = findButton(&window, QStringLiteral("打开串口"));
    click(button);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.last().className, QStringLiteral("QMessageBox"));
    QCOMPARE(boxes.last().title, QStringLiteral("错误"));
    const QString libraryText = serialPortOf(&window)->errorString();
    QVERIFY(!libraryText.isEmpty());
    QCOMPARE(boxes.last().text, QStringLiteral("无法打开串口: ") + libraryText);
    QCOMPARE(button->text(), QStringLiteral("打开串口"));
    QCOMPARE(statusLamp(&window)->styleSheet(), QStringLiteral("color: red; font-weight: bold;"));
    QVERIFY(!serialPortOf(&window)->isOpen());
}

void SerialTest::lostDeviceShowsOneBoxPerOpening()
{
    MainWindow window;
    window.show();
    ModalHandler boxes;

    for (int opening = 1; opening <= 2; ++opening) {
        Pty pty;
        QVERIFY(openPort(&window, pty.slavePath()));
        pty.closeMaster();
        // Writes to the dead device add errors of their own.
        QSerialPort *port = serialPortOf(&window);
        for (int i = 0; i < 20; ++i) {
            port->write("x");
            QTest::qWait(50);
        }
        QTRY_COMPARE_WITH_TIMEOUT(boxes.count(), opening, 5000);
        QTest::qWait(1500);
        QCOMPARE(boxes.count(), opening);
        QCOMPARE(boxes.last().title, QStringLiteral("串口错误"));
        QVERIFY(!boxes.last().text.isEmpty());

        // The window still shows the port open until the user closes it.
        QAbstractButton *button = findButton(&window, QStringLiteral("关闭串口"));
        QVERIFY(button);
        QCOMPARE(statusLamp(&window)->styleSheet(),
                 QStringLiteral("color: green; font-weight: bold;"));
        click(button);
        QCOMPARE(button->text(), QStringLiteral("打开串口"));
        QVERIFY(!port->isOpen());
    }
}

void SerialTest::refreshKeepsSelection()
{
    MainWindow window;
    QComboBox *ports = comboOfRow(&window, QStringLiteral("端口号"));
    const int present = ports->count();
    QMetaObject::invokeMethod(&window, "refreshPortList");
    QCOMPARE(ports->count(), present);
    if (present > 1) {
        ports->setCurrentIndex(present - 1);
        const QString chosen = ports->currentText();
        QMetaObject::invokeMethod(&window, "refreshPortList");
        QCOMPARE(ports->currentText(), chosen);
    }
    // A port that has gone away gives way to the first port found.
    ports->addItem(QStringLiteral("gone-port"));
    ports->setCurrentIndex(ports->count() - 1);
    QMetaObject::invokeMethod(&window, "refreshPortList");
    QCOMPARE(ports->findText(QStringLiteral("gone-port")), -1);
    QCOMPARE(ports->currentIndex(), present > 0 ? 0 : -1);
}

QUORVEL_TEST_MAIN(SerialTest)
#include "tst_serial.moc"
