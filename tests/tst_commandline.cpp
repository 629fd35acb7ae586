// The command line: its options and bad values, in-process and through the
// real program, and a port named on it kept in the list while it exists.
#include "commandline.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

using namespace testsupport;

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void parsing_data();
    void parsing();
    void programExitsBeforeAnyWindow();
    void portAndRateAppliedAndOpened();
    void pinnedPortStaysWhileItExists();
};

void CommandLineTest::parsing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("messagePart");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("baud");
    QTest::addColumn<bool>("open");
    QTest::newRow("nothing") << QStringList() << -1 << QString() << QString() << 0 << false;
    QTest::newRow("all") << QStringList{ "--port", "/dev/pts/7", "--baud", "921600", "--open" }
                         << -1 << QString() << "/dev/pts/7" << 921600 << true;
    QTest::newRow("network port") << QStringList{ "--port", "rfc2217://127.0.0.1:2000", "--open" }
                                  << -1 << QString() << "rfc2217://127.0.0.1:2000" << 0 << true;
    QTest::newRow("network port without its port")
            << QStringList{ "--port", "socket://lab-pi" } << 2 << "socket://lab-pi" << QString()
            << 0 << false;
    QTest::newRow("open alone") << QStringList{ "--open" } << -1 << QString() << QString() << 0
                                << true;
    QTest::newRow("rate off the list")
            << QStringList{ "--baud", "250000" } << -1 << QString() << QString() << 250000 << false;
    QTest::newRow("rate out of range")
            << QStringList{ "--baud", "4000001" } << 2 << "'4000001'" << QString() << 0 << false;
    QTest::newRow("rate not a number")
            << QStringList{ "--baud=fast" } << 2 << "'fast'" << QString() << 0 << false;
    QTest::newRow("missing value")
            << QStringList{ "--port" } << 2 << "Missing value" << QString() << 0 << false;
    QTest::newRow("unknown option")
            << QStringList{ "--speed", "9600" } << 2 << "Unknown option" << QString() << 0 << false;
    QTest::newRow("stray argument")
            << QStringList{ "ttyUSB0" } << 2 << "'ttyUSB0'" << QString() << 0 << false;
    QTest::newRow("Qt's own options")
            << QStringList{ "-platform", "offscreen", "-reverse", "--open" } << -1 << QString()
            << QString() << 0 << true;
    QTest::newRow("help") << QStringList{ "--help" } << 0 << "--baud <rate>" << QString() << 0
                          << false;
}

void CommandLineTest::parsing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, messagePart);
    const CommandLine line = parseCommandLine(QStringList{ "quorvel" } + arguments);
    QCOMPARE(line.exitStatus, status);
    QVERIFY2(line.message.contains(messagePart), qPrintable(line.message));
    if (status == 2)
        QVERIFY2(line.message.contains("Usage:"), qPrintable(line.message));
    QTEST(line.options.port, "port");
    QTEST(int(line.options.baudRate), "baud");
    QTEST(line.options.open, "open");
}

void CommandLineTest::programExitsBeforeAnyWindow()
{
    struct Case
    {
        QStringList arguments;
        int status;
        const char *out;
        const char *err;
    };
    const Case cases[] = {
        { { "--baud", "7" }, 2, "", "quorvel: '7'" },
        { { "--version" }, 0, "Quorvel " QUORVEL_VERSION "\n", "" },
    };
    for (const Case &c : cases) {
        // No display at all: nothing here may need one.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
            environment.remove(QLatin1String(name));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUORVEL_BINARY), c.arguments);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), c.status);
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(out, QString::fromUtf8(c.out));
        // Qt may add warnings of its own around ours.
        QVERIFY2(err.contains(QString::fromUtf8(c.err)), qPrintable(err));
        if (c.status == 2)
            QVERIFY2(err.contains("Usage:"), qPrintable(err));
    }
}

void CommandLineTest::portAndRateAppliedAndOpened()
{
    Pty pty;
    MainWindow window;
    window.show();
    const CommandLine commandLine =
            parseCommandLine({ "quorvel", "--port", pty.slavePath(), "--baud", "250000", "--open" });
    applyStartOptions(window, commandLine.options);
    window.openSelectedPort();
    QSerialPort *port = serialPortOf(&window);
    QVERIFY(port->isOpen());
    QCOMPARE(pty.speeds(), QStringLiteral("250000/250000")); // a rate off the list
    QVERIFY(findButton(&window, QStringLiteral("关闭串口")));
    QVERIFY(receiveChunk(&window, pty, "\x01\x02"));

    // A second request while open leaves the port as it is.
    window.openSelectedPort();
    QVERIFY(port->isOpen());

    // A port that is not there fails as the button does: one error box.
    MainWindow other;
    other.show();
    applyStartOptions(other, { QStringLiteral("/dev/quorvel-absent"), 0, true });
    ModalHandler boxes;
    other.openSelectedPort();
    QTRY_COMPARE(boxes.count(), 1);
    QCOMPARE(boxes.last().title, QStringLiteral("错误"));
    QVERIFY(boxes.last().text.startsWith(QStringLiteral("无法打开串口: ")));
    QVERIFY(!serialPortOf(&other)->isOpen());
}

void CommandLineTest::pinnedPortStaysWhileItExists()
{
    // A link the test owns, as /dev/serial/by-id gives: a bare pty number
    // could be handed to another process as soon as it is freed.
    Pty pty;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("usb-quorvel-if00"));
    QVERIFY(QFile::link(pty.slavePath(), path));
    MainWindow window;
    auto *ports = byName<QComboBox>(&window, QStringLiteral("portCombo"));
    window.selectPort(path);
    QCOMPARE(ports->currentText(), path);
    QVERIFY(QMetaObject::invokeMethod(&window, "refreshPortList"));
    QCOMPARE(ports->currentText(), path);

    // The link is gone: the next refresh drops it.
    QVERIFY(QFile::remove(path));
    QVERIFY(QMetaObject::invokeMethod(&window, "refreshPortList"));
    QCOMPARE(ports->findText(path), -1);
}

QUORVEL_TEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
