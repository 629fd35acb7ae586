// The line controls' logic against a stand-in port (modem lines a pty lacks);
// on a pty the typed rates, flow control, line endings, DTR, RTS and break.
#include "linecontrol.h"
#include "lineport.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

#include <memory>

using namespace testsupport;

struct FakeLinePort : LinePort
{
    bool dtr = true, rts = true, held = false, refusesFlow = false;
    int reads = 0;
    QSerialPort::PinoutSignals lines = QSerialPort::ClearToSendSignal;
    bool isOpen() const override { return true; }
    bool setDataTerminalReady(bool set) override { return (dtr = set), true; }
    bool setRequestToSend(bool set) override { return (rts = set), true; }
    bool setBreakEnabled(bool set) override { return (held = set), true; }
    bool setFlowControl(QSerialPort::FlowControl) override { return !refusesFlow; }
    bool readInputLines(QSerialPort::PinoutSignals *now) override
    {
        return ++reads, (*now = lines), true;
    }
};

class LinesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void controlLogic()
    {
        FakeLinePort port;
        LineControl control(&port);
        QStringList lamps;
        connect(&control, &LineControl::inputLinesChanged, this,
                [&](bool known, QSerialPort::PinoutSignals lines) {
                    lamps << QString::number(known ? int(lines) : -1);
                });
        control.setDataTerminalReady(false);
        control.portOpened();
        QVERIFY(!port.dtr && port.rts);
        // The lamps follow the lines (CTS, then RI), read at most ten times a second.
        QElapsedTimer clock;
        clock.start();
        port.lines = QSerialPort::RingIndicatorSignal;
        QTRY_COMPARE(lamps.join(' '), QStringLiteral("128 32"));
        QTest::qWait(500);
        QVERIFY2(port.reads <= clock.elapsed() / 95 + 2, qPrintable(QString::number(port.reads)));
        // A refused change leaves the mode in force, RTS the user's.
        QSignalSpy refused(&control, &LineControl::flowControlRefused);
        port.refusesFlow = true;
        control.setFlowControl(QSerialPort::HardwareControl);
        QCOMPARE(refused.value(0).value(0).value<QSerialPort::FlowControl>(),
                 QSerialPort::NoFlowControl);
        control.setRequestToSend(false);
        QVERIFY(!port.rts);
        control.setRequestToSend(true);
        port.refusesFlow = false;
        control.setFlowControl(QSerialPort::HardwareControl);
        control.setRequestToSend(false);
        QVERIFY(port.rts); // the driver owns RTS under RTS/CTS
        // A break is held for 250 ms; a press meanwhile does nothing.
        clock.restart();
        control.sendBreak();
        control.sendBreak();
        QTRY_VERIFY(!port.held);
        QVERIFY2(clock.elapsed() >= 230, qPrintable(QString::number(clock.elapsed())));
        // Closing ends a break, greys the lamps and stops reading them.
        control.sendBreak();
        control.portClosing();
        QVERIFY(!port.held && lamps.last() == "-1");
        const int reads = port.reads;
        QTest::qWait(3 * LineControl::inputPollMs);
        QCOMPARE(port.reads, reads);
    }

    void onAPty()
    {
        Pty pty;
        MainWindow window;
        ModalHandler boxes;
        QSignalSpy messages(window.statusBar(), &QStatusBar::messageChanged);
        // A message that expires changes the bar too, to nothing: not a notice.
        const auto noticeCount = [&] {
            return int(std::count_if(
                    messages.begin(), messages.end(),
                    [](const QList<QVariant> &args) { return !args.at(0).toString().isEmpty(); }));
        };
        // Typed rates reach the line; out of range, the opening is refused.
        auto *rates = byName<QComboBox>(&window, "baudCombo");
        for (const QString rate : { "4000001", "250000", "2000000" }) {
            rates->clearEditText();
            QTest::keyClicks(rates, rate);
            QCOMPARE(openPort(&window, pty.slavePath()) ? pty.speeds() : "refused",
                     rate.endsWith('1') ? QStringLiteral("refused") : rate + '/' + rate);
            closePort(&window);
        }
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(rates->count(), 11); // typing never adds to the list
        auto flags = [&] {
            const termios line = pty.attributes();
            return (line.c_cflag & CRTSCTS) | (line.c_iflag & (IXON | IXOFF));
        };
        auto *flow = byName<QComboBox>(&window, "flowControlCombo");
        flow->setCurrentText("RTS/CTS"); // before opening, then while open
        QVERIFY(openPort(&window, pty.slavePath()));
        QCOMPARE(flags(), tcflag_t(CRTSCTS));
        QVERIFY(!byName(&window, "rtsToggle")->isEnabled());
        flow->setCurrentText("XON/XOFF");
        QCOMPARE(flags(), tcflag_t(IXON | IXOFF));
        flow->setCurrentIndex(0);
        QCOMPARE(flags(), tcflag_t(0));
        // No modem lines: one notice an opening (none for what opening does
        // anyway), no box, still open, the lamps grey.
        const auto lamps =
                window.findChildren<QLabel *>(QRegularExpression("^(cts|dsr|dcd|ri)Lamp$"));
        QCOMPARE(lamps.size(), 4);
        for (const char *toggle : { "dtrToggle", "rtsToggle", "dtrToggle" })
            click(byName<QAbstractButton>(&window, toggle));
        QCOMPARE(noticeCount(), 1);
        auto *breakButton = byName<QAbstractButton>(&window, "breakButton");
        click(breakButton);
        QTRY_VERIFY(breakButton->isEnabled());
        QCOMPARE(noticeCount(), 2);
        QVERIFY(receiveChunk(&window, pty, "still open"));
        for (QLabel *lamp : lamps)
            QCOMPARE(lamp->styleSheet(), byName<QLabel>(&window, "sendLamp")->styleSheet());
        QCOMPARE(boxes.count(), 1);
        QVERIFY(closePort(&window) && !breakButton->isEnabled());
        QVERIFY(openPort(&window, pty.slavePath())); // RTS stays dropped
        QCOMPARE(noticeCount(), 3);
    }

    // Quitting during a break releases it, as any closing of the port does.
    void breakReleasedAtQuit()
    {
        Pty pty;
        auto window = std::make_unique<MainWindow>();
        QVERIFY(openPort(window.get(), pty.slavePath()));
        QSignalSpy breaks(window->findChild<LineControl *>(), &LineControl::breakActiveChanged);
        click(byName<QAbstractButton>(window.get(), "breakButton"));
        QCOMPARE(breaks.count(), 1);
        window.reset();
        QCOMPARE(breaks.count(), 2);
        QVERIFY(!breaks.last().at(0).toBool());
    }

    // Every text frame ends as chosen, however it is sent; hex frames never.
    void lineEndings()
    {
        Pty pty;
        MainWindow window;
        ModalHandler boxes;
        QTemporaryDir dir;
        QFile file(dir.filePath("lines.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(" ls -l \r\n") > 0 && file.flush());
        boxes.chooseFile(file.fileName());
        click(byName<QAbstractButton>(&window, "chooseSendFileButton"));
        QVERIFY(openPort(&window, pty.slavePath()));
        sendArea(&window, 2)->setPlainText("ok");
        byName<QCheckBox>(&window, "hexSendCheck2")->setChecked(false);
        auto *autoSend = byName<QCheckBox>(&window, "autoSendCheck2");
        auto *rotation = byName<QAbstractButton>(&window, "startFileRotationButton");
        QByteArray expected;
        auto sent = [&](const QByteArray &frame) {
            expected += frame;
            return QTest::qWaitFor([&] {
                return pty.collected() == expected
                        && counter(&window, "发字节数").toInt() == expected.size();
            });
        };
        const QByteArray endings[] = { "", "\r", "\n", "\r\n" };
        for (const QByteArray &end : endings) {
            byName<QComboBox>(&window, "lineEndingCombo")->setCurrentIndex(&end - endings);
            QVERIFY(sendFromArea1(&window, "AT", false) && sent("AT" + end));
            QVERIFY(sendFromArea1(&window, "41 54", true) && sent("AT"));
            autoSend->setChecked(true);
            QVERIFY(sent("ok" + end));
            autoSend->setChecked(false);
            byName<QCheckBox>(&window, "hexSendCheck1")->setChecked(false);
            click(rotation); // sends the file's line and waits for an answer
            QVERIFY(sent("ls -l" + end));
            click(rotation);
        }
    }
};

QUORVEL_TEST_MAIN(LinesTest)
#include "tst_lines.moc"
