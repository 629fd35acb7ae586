// The three send areas: manual sending, auto-send and the port-error rule,
// checked on the bytes that reach a real pseudo-terminal.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSerialPort>
#include <QSpinBox>

using namespace testsupport;

namespace {

const QString litLamp = QStringLiteral("color: #00CC00; font-weight: bold;");
const QString greyLamp = QStringLiteral("color: gray;");

QString propertiesGroup(int area)
{
    return QStringLiteral("发送区%1属性").arg(area);
}

QCheckBox *hexCheck(QWidget *window, int area)
{
    return findCheck(window, QStringLiteral("16进制"), propertiesGroup(area));
}

QCheckBox *autoCheck(QWidget *window, int area)
{
    return findCheck(window, QStringLiteral("自动发"), propertiesGroup(area));
}

QCheckBox *joinCheck(QWidget *window, int area)
{
    return findCheck(window, QStringLiteral("参加轮发"), propertiesGroup(area));
}

QSpinBox *periodSpin(QWidget *window, int area)
{
    return spinOfRow(window, QStringLiteral("发送周期"), propertiesGroup(area));
}

QAbstractButton *sendButton(QWidget *window, int area)
{
    return buttonBesideLabel(window, QStringLiteral("发送区%1").arg(area),
                             QStringLiteral("手动发送"));
}

QAbstractButton *clearButton(QWidget *window, int area)
{
    return buttonBesideLabel(window, QStringLiteral("发送区%1").arg(area), QStringLiteral("清空"));
}

QLabel *sendLamp(QWidget *window)
{
    QLabel *found = nullptr;
    const auto labels = window->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text() == QStringLiteral("发送 ●"))
            found = label;
    }
    return found;
}

void fillArea(QWidget *window, int area, const QString &text, bool hex)
{
    sendArea(window, area)->setPlainText(text);
    hexCheck(window, area)->setChecked(hex);
}

qint64 sentFrames(QWidget *window)
{
    return counter(window, QStringLiteral("发帧数")).toLongLong();
}

QString hexEcho(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Sends one known byte from area 3. Because the port keeps the order of
// writes, anything an earlier action wrote arrives before it.
void sendMarker(QWidget *window)
{
    fillArea(window, 3, QStringLiteral("7E"), true);
    click(sendButton(window, 3));
}

int countOf(const QByteArray &bytes, char byte)
{
    return int(bytes.count(byte));
}

} // namespace

class SendAreasTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void widgetsFound();
    void manualSendWritesExactBytes_data();
    void manualSendWritesExactBytes();
    void echoCarriesTagWhenAsked_data();
    void echoCarriesTagWhenAsked();
    void nothingSentForEmptyOrUnreadableArea_data();
    void nothingSentForEmptyOrUnreadableArea();
    void nothingSentWhilePortClosed();
    void onSendClickedSendsAreaOne();
    void clearEmptiesOnlyItsArea();
    void autoSendRepeatsAtItsPeriod_data();
    void autoSendRepeatsAtItsPeriod();
    void autoSendKeepsPeriodUntilRechecked();
    void twoAreasKeepTheirOwnPeriods();
    void autoSendResumesAfterReopen();
    void lostDeviceDuringFastAutoSend_data();
    void lostDeviceDuringFastAutoSend();
};

void SendAreasTest::widgetsFound()
{
    MainWindow window;
    for (int area = 1; area <= 3; ++area) {
        QVERIFY(sendArea(&window, area));
        QVERIFY(hexCheck(&window, area));
        QVERIFY(hexCheck(&window, area)->isChecked());
        QVERIFY(autoCheck(&window, area));
        QVERIFY(!autoCheck(&window, area)->isChecked());
        QVERIFY(joinCheck(&window, area));
        QVERIFY(periodSpin(&window, area));
        QCOMPARE(periodSpin(&window, area)->value(), 1000);
        QVERIFY(sendButton(&window, area));
        QVERIFY(clearButton(&window, area));
    }
    QVERIFY(sendLamp(&window));
    QCOMPARE(sendLamp(&window)->styleSheet(), greyLamp);
}

void SendAreasTest::manualSendWritesExactBytes_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("text, blank and line feed kept") << 1 << false << "AB \n" << QByteArray("AB \n");
    QTest::newRow("text, blanks only") << 2 << false << "   " << QByteArray("   ");
    QTest::newRow("text, untrimmed") << 3 << false << " A " << QByteArray(" A ");
    QTest::newRow("text, lines joined by line feed")
            << 1 << false << "AB\nCD" << QByteArray("AB\nCD");
    QTest::newRow("text, Chinese") << 2 << false << QStringLiteral("你好\n串口")
                                   << QByteArray::fromHex("e4bda0e5a5bd0ae4b8b2e58fa3");
    QTest::newRow("text, hex digits sent as characters")
            << 3 << false << "01 02" << QByteArray("01 02");
    QTest::newRow("hex, pairs") << 1 << true << "01 02 03" << QByteArray::fromHex("010203");
    QTest::newRow("hex, trimmed, any white space separates")
            << 2 << true << "  0a0B\n\tff  " << QByteArray::fromHex("0a0bff");
    QTest::newRow("hex, odd digit, unreadable token dropped")
            << 3 << true << "ABC zz 0x1F" << QByteArray::fromHex("ab0c1f");
}

void SendAreasTest::manualSendWritesExactBytes()
{
    QFETCH(int, area);
    QFETCH(bool, hex);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);

    Pty pty;
    QVERIFY(pty.isValid());
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, area, text, hex);
    QLabel *lamp = sendLamp(&window);
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("0"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("0"));

    click(sendButton(&window, area));
    QCOMPARE(lamp->styleSheet(), litLamp);
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("1"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QString::number(expected.size()));
    // Sent chunks are echoed even without the direction tag.
    QCOMPARE(receiveText(&window), hexEcho(expected));
    QVERIFY(pty.waitForBytes(expected.size()));

    // A second send follows directly: the first frame carried nothing extra.
    click(sendButton(&window, area));
    QVERIFY(pty.waitForBytes(2 * expected.size()));
    QCOMPARE(pty.take(), expected + expected);
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("2"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QString::number(2 * expected.size()));
    QCOMPARE(sendArea(&window, area)->toPlainText(), text);

    QTRY_COMPARE_WITH_TIMEOUT(lamp->styleSheet(), greyLamp, 5000);
}

void SendAreasTest::echoCarriesTagWhenAsked_data()
{
    QTest::addColumn<bool>("tag");
    QTest::addColumn<bool>("hexDisplay");
    QTest::addColumn<QString>("shown");

    QTest::newRow("tag, hex display") << true << true << QStringLiteral("[发送] E4 BD A0 41");
    QTest::newRow("tag, text display") << true << false << QStringLiteral("[发送] 你A");
    QTest::newRow("no tag, text display") << false << false << QStringLiteral("你A");
}

void SendAreasTest::echoCarriesTagWhenAsked()
{
    QFETCH(bool, tag);
    QFETCH(bool, hexDisplay);
    QFETCH(QString, shown);

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    findCheck(&window, QStringLiteral("显示保存发送"))->setChecked(tag);
    findCheck(&window, QStringLiteral("16进制"), QStringLiteral("接收区设置"))
            ->setChecked(hexDisplay);
    fillArea(&window, 2, QStringLiteral("你A"), false);

    click(sendButton(&window, 2));
    QCOMPARE(receiveText(&window), shown);
    QVERIFY(pty.waitForBytes(4));
    QCOMPARE(pty.take(), QByteArray::fromHex("e4bda041"));
}

void SendAreasTest::nothingSentForEmptyOrUnreadableArea_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("text");

    QTest::newRow("text, empty") << false << QString();
    QTest::newRow("hex, empty") << true << QString();
    QTest::newRow("hex, blanks, tabs and line feeds") << true << "  \n \t ";
    QTest::newRow("hex, unreadable") << true << "zz";
    QTest::newRow("hex, only dropped tokens") << true << "12,34 0x100 -1 12h";
    QTest::newRow("hex, ideographic space inside a token") << true << QStringLiteral("12\u300034");
}

void SendAreasTest::nothingSentForEmptyOrUnreadableArea()
{
    QFETCH(bool, hex);
    QFETCH(QString, text);

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, 1, text, hex);

    click(sendButton(&window, 1));
    QMetaObject::invokeMethod(&window, "onSendClicked");
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("0"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("0"));
    QCOMPARE(sendLamp(&window)->styleSheet(), greyLamp);
    QCOMPARE(receiveText(&window), QString());

    sendMarker(&window);
    QVERIFY(pty.waitForBytes(1));
    QCOMPARE(pty.take(), QByteArray("\x7E"));
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("1"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("1"));
}

void SendAreasTest::nothingSentWhilePortClosed()
{
    Pty pty;
    MainWindow window;
    fillArea(&window, 1, QStringLiteral("AB"), false);
    fillArea(&window, 2, QStringLiteral("01 02"), true);

    // Never opened, then opened and closed again.
    for (int round = 0; round < 2; ++round) {
        click(sendButton(&window, 1));
        click(sendButton(&window, 2));
        QMetaObject::invokeMethod(&window, "onSendClicked");
        QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("0"));
        QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("0"));
        QCOMPARE(sendLamp(&window)->styleSheet(), greyLamp);
        QCOMPARE(receiveText(&window), QString());
        QVERIFY(openPort(&window, pty.slavePath()));
        if (round == 0)
            QVERIFY(closePort(&window));
    }

    sendMarker(&window);
    QVERIFY(pty.waitForBytes(1));
    QCOMPARE(pty.take(), QByteArray("\x7E"));
}

void SendAreasTest::onSendClickedSendsAreaOne()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, 1, QStringLiteral("AB\n"), false);
    fillArea(&window, 2, QStringLiteral("CD"), false);
    fillArea(&window, 3, QStringLiteral("EF"), false);

    QVERIFY(QMetaObject::invokeMethod(&window, "onSendClicked"));
    QVERIFY(pty.waitForBytes(3));
    const QByteArray invoked = pty.take();
    click(sendButton(&window, 1));
    QVERIFY(pty.waitForBytes(3));
    QCOMPARE(pty.take(), invoked);
    QCOMPARE(invoked, QByteArray("AB\n"));
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("2"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("6"));

    // It follows area 1's own "16进制" box, whatever the other areas say.
    fillArea(&window, 1, QStringLiteral("01 02"), true);
    hexCheck(&window, 2)->setChecked(false);
    hexCheck(&window, 3)->setChecked(false);
    QVERIFY(QMetaObject::invokeMethod(&window, "onSendClicked"));
    QVERIFY(pty.waitForBytes(2));
    sendMarker(&window);
    QVERIFY(pty.waitForBytes(3));
    QCOMPARE(pty.take(), QByteArray::fromHex("01027e"));
    QCOMPARE(sendLamp(&window)->styleSheet(), litLamp);
}

void SendAreasTest::clearEmptiesOnlyItsArea()
{
    MainWindow window;
    for (int area = 1; area <= 3; ++area)
        sendArea(&window, area)->setPlainText(QStringLiteral("area %1\nsecond line").arg(area));
    hexCheck(&window, 2)->setChecked(false);
    autoCheck(&window, 2)->setChecked(true);
    joinCheck(&window, 2)->setChecked(true);
    periodSpin(&window, 2)->setValue(250);

    click(clearButton(&window, 2));
    QCOMPARE(sendArea(&window, 2)->toPlainText(), QString());
    QCOMPARE(sendArea(&window, 1)->toPlainText(), QStringLiteral("area 1\nsecond line"));
    QCOMPARE(sendArea(&window, 3)->toPlainText(), QStringLiteral("area 3\nsecond line"));
    QVERIFY(!hexCheck(&window, 2)->isChecked());
    QVERIFY(autoCheck(&window, 2)->isChecked());
    QVERIFY(joinCheck(&window, 2)->isChecked());
    QCOMPARE(periodSpin(&window, 2)->value(), 250);
    for (int area : { 1, 3 }) {
        QVERIFY(hexCheck(&window, area)->isChecked());
        QVERIFY(!autoCheck(&window, area)->isChecked());
        QCOMPARE(periodSpin(&window, area)->value(), 1000);
    }
    autoCheck(&window, 2)->setChecked(false);
}

void SendAreasTest::autoSendRepeatsAtItsPeriod_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("period");
    QTest::newRow("area 1, 100 ms") << 1 << 100;
    QTest::newRow("area 3, 300 ms") << 3 << 300;
}

void SendAreasTest::autoSendRepeatsAtItsPeriod()
{
    QFETCH(int, area);
    QFETCH(int, period);
    const int ticks = 5;

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, area, QStringLiteral("A5 5A"), true);
    periodSpin(&window, area)->setValue(period);

    QElapsedTimer clock;
    clock.start();
    autoCheck(&window, area)->setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(sentFrames(&window) >= ticks, ticks * period + 10000);
    const qint64 elapsed = clock.elapsed();
    // Timers may fire a little early, never a whole period.
    QVERIFY2(elapsed >= ticks * period * 9 / 10,
             qPrintable(QStringLiteral("%1 frames after %2 ms").arg(ticks).arg(elapsed)));

    // Edits between ticks apply from the next tick on.
    sendArea(&window, area)->setPlainText(QStringLiteral("C3"));
    const qint64 before = sentFrames(&window);
    QTRY_VERIFY_WITH_TIMEOUT(sentFrames(&window) >= before + 1, period + 10000);

    autoCheck(&window, area)->setChecked(false);
    const qint64 frames = sentFrames(&window);
    QTest::qWait(3 * period);
    QCOMPARE(sentFrames(&window), frames);

    // Every tick is one frame on the line, one count and one echo.
    const qint64 later = frames - before;
    QByteArray expected = QByteArray::fromHex("a55a").repeated(int(before));
    expected += QByteArray::fromHex("c3").repeated(int(later));
    QVERIFY(pty.waitForBytes(expected.size()));
    QCOMPARE(pty.take(), expected);
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QString::number(expected.size()));
    QString echo = QStringLiteral("A5 5A ").repeated(int(before))
            + QStringLiteral("C3 ").repeated(int(later));
    QCOMPARE(receiveText(&window), echo.trimmed());
}

void SendAreasTest::autoSendKeepsPeriodUntilRechecked()
{
    const int oldPeriod = 400;
    const int newPeriod = 20;
    const int ticks = 4;

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, 1, QStringLiteral("11"), true);
    periodSpin(&window, 1)->setValue(oldPeriod);
    autoCheck(&window, 1)->setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(sentFrames(&window) >= 1, oldPeriod + 10000);

    // Just after a tick: the running timer ignores the new value.
    periodSpin(&window, 1)->setValue(newPeriod);
    QElapsedTimer clock;
    clock.start();
    qint64 start = sentFrames(&window);
    QTRY_VERIFY_WITH_TIMEOUT(sentFrames(&window) >= start + ticks, ticks * oldPeriod + 10000);
    qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= ticks * oldPeriod * 8 / 10,
             qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(elapsed)));
    QCOMPARE(periodSpin(&window, 1)->value(), newPeriod);

    // Switching off and on takes the new period.
    autoCheck(&window, 1)->setChecked(false);
    autoCheck(&window, 1)->setChecked(true);
    clock.restart();
    start = sentFrames(&window);
    const int fastTicks = 10;
    QTRY_VERIFY_WITH_TIMEOUT(sentFrames(&window) >= start + fastTicks, 10000);
    elapsed = clock.elapsed();
    QVERIFY2(elapsed >= fastTicks * newPeriod * 8 / 10 && elapsed < 3 * oldPeriod,
             qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(fastTicks).arg(elapsed)));
    autoCheck(&window, 1)->setChecked(false);
}

void SendAreasTest::twoAreasKeepTheirOwnPeriods()
{
    const int fastPeriod = 100;
    const int slowPeriod = 400;
    const int slowTicks = 5;

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, 1, QStringLiteral("01"), true);
    fillArea(&window, 2, QStringLiteral("02"), true);
    periodSpin(&window, 1)->setValue(fastPeriod);
    periodSpin(&window, 2)->setValue(slowPeriod);

    QElapsedTimer clock;
    clock.start();
    autoCheck(&window, 1)->setChecked(true);
    autoCheck(&window, 2)->setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(countOf(pty.collected(), '\x02') >= slowTicks,
                             slowTicks * slowPeriod + 15000);
    autoCheck(&window, 1)->setChecked(false);
    autoCheck(&window, 2)->setChecked(false);
    const qint64 elapsed = clock.elapsed();

    // Every counted frame reaches the line; none is lost or merged.
    const qint64 frames = sentFrames(&window);
    QVERIFY(pty.waitForBytes(int(frames)));
    const QByteArray bytes = pty.take();
    QCOMPARE(qint64(bytes.size()), frames);
    const int fast = countOf(bytes, '\x01');
    const int slow = countOf(bytes, '\x02');
    QCOMPARE(fast + slow, int(frames));

    const QString summary =
            QStringLiteral("%1 fast and %2 slow frames in %3 ms").arg(fast).arg(slow).arg(elapsed);
    // Neither timer runs faster than its own period ...
    QVERIFY2(fast <= elapsed * 10 / (fastPeriod * 9) + 1, qPrintable(summary));
    QVERIFY2(slow <= elapsed * 10 / (slowPeriod * 9) + 1, qPrintable(summary));
    // ... and the fast one clearly outpaces the slow one (four times, nominally).
    QVERIFY2(fast >= 2 * slow, qPrintable(summary));

    // Both are echoed, one hexadecimal chunk each.
    const QStringList echoed = receiveText(&window).split(QLatin1Char(' '));
    QCOMPARE(int(echoed.count(QStringLiteral("01"))), fast);
    QCOMPARE(int(echoed.count(QStringLiteral("02"))), slow);
}

void SendAreasTest::autoSendResumesAfterReopen()
{
    const int period = 100;
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, 1, QStringLiteral("A5"), true);
    periodSpin(&window, 1)->setValue(period);
    autoCheck(&window, 1)->setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(sentFrames(&window) >= 2, 10000);

    QVERIFY(closePort(&window));
    QVERIFY(autoCheck(&window, 1)->isChecked());
    const qint64 frames = sentFrames(&window);
    const QString shown = receiveText(&window);
    QTest::qWait(5 * period);
    // Ticks while closed send, count and show nothing.
    QCOMPARE(sentFrames(&window), frames);
    QCOMPARE(receiveText(&window), shown);
    QCOMPARE(sendLamp(&window)->styleSheet(), greyLamp);
    pty.take();

    QVERIFY(openPort(&window, pty.slavePath()));
    QTRY_VERIFY_WITH_TIMEOUT(sentFrames(&window) >= frames + 3, 10000);
    QVERIFY(pty.waitForBytes(3));
    QVERIFY(autoCheck(&window, 1)->isChecked());
    autoCheck(&window, 1)->setChecked(false);
    const QByteArray bytes = pty.take();
    QCOMPARE(bytes, QByteArray(bytes.size(), '\xA5'));
}

void SendAreasTest::lostDeviceDuringFastAutoSend_data()
{
    QTest::addColumn<int>("answerDelay");
    QTest::newRow("box answered at once") << 0;
    // Ticks keep coming in the box's own event loop.
    QTest::newRow("box left open for a while") << 1000;
}

void SendAreasTest::lostDeviceDuringFastAutoSend()
{
    QFETCH(int, answerDelay);

    MainWindow window;
    window.show();
    ModalHandler boxes;
    boxes.setAnswerDelay(answerDelay);

    Pty pty;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, 1, QStringLiteral("AA"), true);
    periodSpin(&window, 1)->setValue(10);
    autoCheck(&window, 1)->setChecked(true);
    QVERIFY(pty.waitForBytes(3));

    pty.closeMaster();
    QTRY_COMPARE_WITH_TIMEOUT(boxes.count(), 1, 5000);
    QTest::qWait(2500);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.last().className, QStringLiteral("QMessageBox"));
    QCOMPARE(boxes.last().title, QStringLiteral("串口错误"));
    QVERIFY(!boxes.last().text.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(boxes.openNow(), 0, 5000);

    QAbstractButton *button = findButton(&window, QStringLiteral("关闭串口"));
    QVERIFY(button);
    click(button);
    QCOMPARE(button->text(), QStringLiteral("打开串口"));
    QVERIFY(!serialPortOf(&window)->isOpen());
    QVERIFY(autoCheck(&window, 1)->isChecked());

    // Auto-send goes on ticking against the closed port, silently.
    const qint64 frames = sentFrames(&window);
    QTest::qWait(300);
    QCOMPARE(sentFrames(&window), frames);
    QCOMPARE(boxes.count(), 1);
    autoCheck(&window, 1)->setChecked(false);
}

QUORVEL_TEST_MAIN(SendAreasTest)
#include "tst_sendareas.moc"
