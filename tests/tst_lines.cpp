// The line controls: their logic against a fake port (modem lines that a pty
// does not have), and on a real pty the baud rates, flow control, line
// endings and what DTR, RTS and break do where the lines cannot be set.
#include "linecontrol.h"
#include "lineport.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

struct FakeLinePort : LinePort
{
    bool open = false, settable = true, readable = true, dtr = false, rts = false, held = false;
    int rtsCalls = 0, reads = 0;
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    QSerialPort::PinoutSignals lines = QSerialPort::NoSignal;

    bool isOpen() const override { return open; }
    bool setDataTerminalReady(bool set) override { return settable && ((dtr = set), true); }
    bool setRequestToSend(bool set) override
    {
        ++rtsCalls;
        return settable && ((rts = set), true);
    }
    bool setBreakEnabled(bool set) override { return (held = set), true; }
    bool setFlowControl(QSerialPort::FlowControl f) override { return (flow = f), true; }
    bool readInputLines(QSerialPort::PinoutSignals *now) override
    {
        ++reads;
        *now = lines;
        return readable;
    }
};

} // namespace

class LinesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void controlLogic()
    {
        FakeLinePort port;
        LineControl control(&port);
        QVector<QPair<bool, QSerialPort::PinoutSignals>> lamps;
        connect(&control, &LineControl::inputLinesChanged, this,
                [&](bool known, QSerialPort::PinoutSignals lines) {
                    lamps.append({ known, lines });
                });
        QSignalSpy notices(&control, &LineControl::notice);
        control.setDataTerminalReady(false); // remembered while closed
        QCOMPARE(port.dtr, false);
        port.open = true;
        port.lines = QSerialPort::ClearToSendSignal | QSerialPort::DataCarrierDetectSignal;
        control.portOpened();
        QVERIFY(!port.dtr && port.rts);
        QCOMPARE(lamps.count(), 1);
        QCOMPARE(lamps.last().second, port.lines);
        // Followed at most ten times a second.
        QElapsedTimer clock;
        clock.start();
        port.lines = QSerialPort::RingIndicatorSignal;
        QTRY_COMPARE(lamps.last().second, port.lines);
        QTest::qWait(500);
        QVERIFY2(port.reads <= clock.elapsed() / 95 + 2, qPrintable(QString::number(port.reads)));
        // The driver owns RTS under RTS/CTS.
        control.setFlowControl(QSerialPort::HardwareControl);
        const int rtsCalls = port.rtsCalls;
        control.setRequestToSend(false);
        QCOMPARE(port.flow, QSerialPort::HardwareControl);
        QCOMPARE(port.rtsCalls, rtsCalls);
        // Break: held, then released; a second press meanwhile does nothing.
        clock.restart();
        control.sendBreak();
        control.sendBreak();
        QVERIFY(port.held);
        QTRY_VERIFY(!port.held);
        QVERIFY2(clock.elapsed() >= 230, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(notices.count(), 1);
        // Closing greys the lamps, stops reading and ends a break.
        control.sendBreak();
        control.portClosing();
        port.open = false;
        QVERIFY(!port.held && !control.breakActive());
        QCOMPARE(lamps.last().first, false);
        const int reads = port.reads;
        QTest::qWait(3 * LineControl::inputPollMs);
        QCOMPARE(port.reads, reads);

        // Lines that cannot be set: quiet at opening while nothing but the
        // usual was asked, then one notice per opening.
        port = FakeLinePort();
        port.open = true;
        port.settable = port.readable = false;
        control.setFlowControl(QSerialPort::NoFlowControl);
        control.setDataTerminalReady(true);
        control.setRequestToSend(true);
        notices.clear();
        lamps.clear();
        control.portOpened();
        control.setDataTerminalReady(false);
        control.setRequestToSend(false);
        QCOMPARE(notices.count(), 1);
        control.portClosing();
        control.portOpened();
        QCOMPARE(notices.count(), 2);
        QCOMPARE(port.reads, 2); // unreadable lines are not asked again
        QCOMPARE(lamps.count(), 0);
    }

    // Typed rates reach the line; the field takes nothing but digits, and a
    // rate out of range is refused at opening.
    void typedRates()
    {
        Pty pty;
        MainWindow window;
        window.show();
        ModalHandler boxes;
        auto *rates = byName<QComboBox>(&window, "baudCombo");
        const struct
        {
            const char *typed, *kept;
            bool opens;
        } cases[] = { { "250000", "250000", true },
                      { "2000000", "2000000", true },
                      { "4000001", "4000001", false },
                      { "49", "49", false } };
        for (const auto &c : cases) {
            rates->lineEdit()->clear();
            QTest::keyClicks(rates->lineEdit(), c.typed);
            QCOMPARE(rates->currentText(), QString(c.kept));
            QCOMPARE(openPort(&window, pty.slavePath()), c.opens);
            if (c.opens) {
                QCOMPARE(pty.speeds(), QStringLiteral("%1/%1").arg(c.kept));
                QVERIFY(closePort(&window));
            }
        }
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.last().title, QStringLiteral("错误"));
        QCOMPARE(rates->count(), 11); // typing never adds to the list
        QVERIFY(window.selectBaudRate(3000000));
        QVERIFY(!window.selectBaudRate(4000001));
        QVERIFY(openPort(&window, pty.slavePath()));
        QCOMPARE(pty.speeds(), QStringLiteral("3000000/3000000"));
    }

    void flowControl()
    {
        Pty pty;
        MainWindow window;
        auto *flow = byName<QComboBox>(&window, "flowControlCombo");
        auto flags = [&] {
            const tcflag_t c = pty.attributes().c_cflag, i = pty.attributes().c_iflag;
            return QStringLiteral("%1%2%3").arg(c & CRTSCTS ? "CRTSCTS " : "",
                                                i & IXON ? "IXON " : "", i & IXOFF ? "IXOFF" : "");
        };
        flow->setCurrentText("RTS/CTS"); // chosen before opening
        QVERIFY(openPort(&window, pty.slavePath()));
        QCOMPARE(flags(), QStringLiteral("CRTSCTS "));
        QVERIFY(!byName(&window, "rtsToggle")->isEnabled());
        flow->setCurrentText("XON/XOFF"); // and while open
        QCOMPARE(flags(), QStringLiteral("IXON IXOFF"));
        flow->setCurrentIndex(0);
        QCOMPARE(flags(), QString());
        QVERIFY(byName(&window, "rtsToggle")->isEnabled());
    }

    // Every text frame ends as chosen, whichever way it is sent; hex never.
    void lineEndings_data()
    {
        QTest::addColumn<int>("ending");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("none") << 0 << QByteArray();
        QTest::newRow("CR") << 1 << QByteArray("\r");
        QTest::newRow("LF") << 2 << QByteArray("\n");
        QTest::newRow("CR LF") << 3 << QByteArray("\r\n");
    }
    void lineEndings()
    {
        QFETCH(int, ending);
        QFETCH(QByteArray, bytes);
        Pty pty;
        MainWindow window;
        ModalHandler boxes;
        QTemporaryDir dir;
        QVERIFY(openPort(&window, pty.slavePath()));
        byName<QComboBox>(&window, "lineEndingCombo")->setCurrentIndex(ending);
        QByteArray expected;
        auto sent = [&](const QByteArray &frame) {
            expected += frame;
            return QTest::qWaitFor([&] {
                return pty.collected() == expected
                        && counter(&window, "发字节数").toInt() == expected.size();
            });
        };
        QVERIFY(sendFromArea1(&window, "AT", false));
        QVERIFY(sent("AT" + bytes));
        QVERIFY(sendFromArea1(&window, "41 54", true));
        QVERIFY(sent("AT"));
        QVERIFY(sendFromArea1(&window, "", false)); // nothing to end
        // A periodic send of area 2 and a line of the send file.
        sendArea(&window, 2)->setPlainText("ok");
        byName<QCheckBox>(&window, "hexSendCheck2")->setChecked(false);
        byName<QCheckBox>(&window, "autoSendCheck2")->setChecked(true);
        QVERIFY(sent("ok" + bytes));
        byName<QCheckBox>(&window, "autoSendCheck2")->setChecked(false);
        QFile file(dir.filePath("lines.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(" ls -l \r\n") > 0 && file.flush());
        boxes.chooseFile(file.fileName());
        click(byName<QAbstractButton>(&window, "chooseSendFileButton"));
        QTRY_COMPARE(counter(&window, "文件行数"), QStringLiteral("1"));
        byName<QCheckBox>(&window, "hexSendCheck1")->setChecked(false);
        click(byName<QAbstractButton>(&window, "startFileRotationButton"));
        QVERIFY(sent("ls -l" + bytes));
        QCOMPARE(counter(&window, "发帧数"), QStringLiteral("4"));
    }

    // A pty has no modem lines: one notice, no box, the port stays open and
    // the lamps stay grey.
    void linesOnAPty()
    {
        Pty pty;
        MainWindow window;
        window.show();
        ModalHandler boxes;
        QStringList notices;
        connect(window.statusBar(), &QStatusBar::messageChanged, this,
                [&](const QString &text) { notices << text; });
        const auto lamps =
                window.findChildren<QLabel *>(QRegularExpression("^(cts|dsr|dcd|ri)Lamp$"));
        QCOMPARE(lamps.size(), 4);
        const QString grey = lamps[0]->styleSheet();
        auto *button = byName<QAbstractButton>(&window, "breakButton");
        QVERIFY(!button->isEnabled());
        QVERIFY(openPort(&window, pty.slavePath()));
        QVERIFY(notices.isEmpty());
        click(byName<QAbstractButton>(&window, "dtrToggle"));
        click(byName<QAbstractButton>(&window, "rtsToggle"));
        click(byName<QAbstractButton>(&window, "dtrToggle"));
        QCOMPARE(notices.size(), 1);
        click(button);
        QTRY_VERIFY(button->isEnabled());
        QCOMPARE(notices.size(), 2);
        QVERIFY(receiveChunk(&window, pty, "still open"));
        for (QLabel *lamp : lamps)
            QCOMPARE(lamp->styleSheet(), grey);
        QCOMPARE(boxes.count(), 0);
        QVERIFY(serialPortOf(&window)->isOpen());
        QVERIFY(closePort(&window));
        QVERIFY(!button->isEnabled());
    }
};

QUORVEL_TEST_MAIN(LinesTest)
#include "tst_lines.moc"
