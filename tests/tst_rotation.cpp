// Area rotation, the send file and file rotation (timed or waiting for
// answers), driven through a real pseudo-terminal and real files.
#include "mainwindow.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSerialPort>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace testsupport;

namespace {

QString box(Rig &rig)
{
    return rig.boxes.last().title + ':' + rig.boxes.last().text;
}

} // namespace

class RotationTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void areaRotation_data()
    {
        QTest::addColumn<int>("period1");
        QTest::addColumn<int>("period3");
        QTest::addColumn<bool>("once");
        QTest::newRow("100 and 300 ms") << 100 << 300 << false;
        QTest::newRow("below the 50 ms tick") << 10 << 20 << false;
        QTest::newRow("once through") << 100 << 300 << true;
    }
    void areaRotation()
    {
        QFETCH(int, period1);
        QFETCH(int, period3);
        QFETCH(bool, once);
        Rig rig;
        QVERIFY(rig.open);
        rig.join(1, "AA", period1);
        rig.join(3, "CC", period3);
        sendArea(&rig.window, 2)->setPlainText("BB");
        rig.set("sendOnceCheck", once);
        QElapsedTimer clock;
        clock.start();
        rig.press("startAreaRotationButton");
        QVERIFY(QTest::qWaitFor(
                [&] { return rig.pty.collected().count('\xCC') >= (once ? 1 : 3); }));
        // Stops a running rotation; a finished one starts anew.
        rig.press("startAreaRotationButton");
        const qint64 elapsed = clock.elapsed();
        const QByteArray bytes = rig.wire();
        QCOMPARE(bytes.left(2), QByteArray("\xAA\xCC"));
        QVERIFY(!bytes.contains('\xBB'));
        if (once) {
            QVERIFY(rig.pty.waitForBytes(4));
            QCOMPARE(rig.wire(), QByteArray("\xAA\xCC\xAA\xCC"));
            return;
        }
        // Never early, at most one frame per 50 ms tick; half the rate is enough under load.
        for (const auto &area : { qMakePair('\xAA', period1), qMakePair('\xCC', period3) }) {
            const int frames = bytes.count(area.first);
            QVERIFY2(frames >= elapsed / qMax(area.second, 50) / 2
                             && frames <= elapsed / qMax(area.second, 45) + 1,
                     QByteArray::number(frames));
        }
        QVERIFY(rig.silentFor(250));
    }

    void timedFileOnceThrough_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("LF") << QByteArray("a\n\n \t\nb c") << 4 << QByteArray("ab c");
        QTest::newRow("CRLF") << QByteArray("a\r\n\r\n \t\r\nb c") << 4 << QByteArray("ab c");
        QTest::newRow("zero byte") << QByteArray("x\0y\nz\n", 6) << 2 << QByteArray("x\0yz", 4);
    }
    void timedFileOnceThrough()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, lines);
        QFETCH(QByteArray, sent);
        Rig rig;
        QVERIFY(rig.open);
        // Area 1 alone decides the encoding of the lines.
        rig.set("hexSendCheck1", false);
        // A new file replaces the lines of the old one.
        if (content.startsWith('a'))
            QVERIFY(rig.load("old\n"));
        QVERIFY(rig.load(content));
        QCOMPARE(rig.count("fileLinesEdit"), qint64(lines));
        rig.press("timedRadio");
        rig.spin("rotationPeriodSpin")->setValue(10);
        rig.set("sendOnceCheck", true);
        // Ended by itself, so the second click starts a new run.
        for (int run = 1; run <= 2; ++run) {
            rig.press("startFileRotationButton");
            QVERIFY(rig.pty.waitForBytes(run * sent.size()));
            QVERIFY(rig.silentFor(150));
            QCOMPARE(rig.wire(), sent.repeated(run));
            QCOMPARE(rig.count("currentLineEdit"), qint64(lines));
        }
    }

    void answerWaitAndRefusals()
    {
        Rig rig;
        QVERIFY(rig.open);
        rig.press("startAreaRotationButton");
        QCOMPARE(box(rig), QStringLiteral("提示:请至少勾选一个发送区参加轮发"));
        QVERIFY(rig.load("")); // an empty file loads no lines
        QCOMPARE(rig.count("fileLinesEdit"), qint64(0));
        rig.press("startFileRotationButton");
        QCOMPARE(box(rig), QStringLiteral("提示:请先选择发送文件"));
        QVERIFY(rig.load("11\n22\n33\n"));
        rig.press("startFileRotationButton");
        QCOMPARE(rig.wire(), QByteArray("\x11"));
        rig.press("startAreaRotationButton");
        QCOMPARE(box(rig), QStringLiteral("提示:请至少勾选一个发送区参加轮发"));
        // A socket passes the dialog as an existing file but cannot be opened, even by root.
        const QString path = rig.dir.filePath(QStringLiteral("socket"));
        sockaddr_un address{ AF_UNIX, {} };
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        rig.boxes.chooseFile(path);
        rig.press("chooseSendFileButton");
        ::close(fd);
        QCOMPARE(box(rig), QStringLiteral("错误:无法打开文件"));
        // Neither refusal touched the rotation or its lines. With the clock
        // stopped only the answer can release line 2; unanswered, line 2 is
        // re-sent one time-out later, then gives way to line 3 after another.
        rig.spin("answerTimeoutSpin")->setValue(1);
        rig.spin("retryCountSpin")->setValue(1);
        FrozenClock clock;
        QVERIFY(rig.feed("ok"));
        QVERIFY(rig.sentExactly("\x11\x22"));
        clock.advance(999);
        QVERIFY(rig.sentExactly("\x11\x22"));
        clock.advance(1);
        QVERIFY(rig.sentExactly("\x11\x22\x22"));
        clock.advance(1000);
        QVERIFY(rig.sentExactly("\x11\x22\x22\x33"));
        // Answered, the last line wraps around; once through, its answer ends the rotation.
        for (const char *next : { "\x11", "\x22", "\x33", "" }) {
            rig.set("sendOnceCheck", *next != '\x11');
            const QByteArray expected = rig.pty.collected() + next;
            QVERIFY(rig.feed("ok"));
            QVERIFY(rig.sentExactly(expected));
        }
        clock.advance(5000);
        QCOMPARE(serialPortOf(rig.w)->bytesToWrite(), qint64(0));
        // Ended, so the click starts a new run rather than stopping one.
        const QByteArray before = rig.pty.collected();
        rig.press("startFileRotationButton");
        QVERIFY(rig.sentExactly(before + "\x11"));
    }

    void answerInPieces_data()
    {
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<int>("beginsMs");
        QTest::addColumn<int>("pieces");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("pieces within the gap") << 200 << 0 << 2 << QByteArray("\x11\x22");
        QTest::newRow("gap 0: one line per read") << 0 << 0 << 2 << QByteArray("\x11\x22\x33");
        // Begins at 0.7 s and ends at 1.3 s, past the 1 s time-out.
        QTest::newRow("across the time-out") << 20 << 700 << 61 << QByteArray("\x11\x22");
    }
    // An answer that has begun counts: the time-out no longer applies, and
    // the answer releases the next line once, when the line has been quiet
    // for the frame gap after its last piece.
    void answerInPieces()
    {
        QFETCH(int, gapMs);
        QFETCH(int, beginsMs);
        QFETCH(int, pieces);
        QFETCH(QByteArray, sent);
        Rig rig(gapMs);
        QVERIFY(rig.open);
        QVERIFY(rig.load("11\n22\n33\n"));
        rig.spin("answerTimeoutSpin")->setValue(1);
        FrozenClock clock;
        rig.press("startFileRotationButton");
        clock.advance(beginsMs);
        for (int piece = 0; piece < pieces; ++piece) {
            if (piece > 0)
                clock.advance(10);
            QVERIFY(rig.feed(piece % 2 ? "K" : "O"));
            if (gapMs)
                QCOMPARE(serialPortOf(rig.w)->bytesToWrite(), qint64(0));
            else
                QVERIFY(rig.sentExactly(sent.left(piece + 2)));
        }
        clock.advance(qMax(0, gapMs - 1));
        QVERIFY(rig.sentExactly(gapMs ? QByteArray("\x11") : sent));
        clock.advance(1);
        QVERIFY(rig.sentExactly(sent));
    }

    // A device that takes nothing: auto-send every 10 ms skips while earlier
    // bytes wait, so they do not pile up, and counts only what it handed on.
    void slowLineSkipsPeriodicSends()
    {
        Rig rig;
        QVERIFY(rig.open);
        QSerialPort *port = serialPortOf(rig.w);
        rig.set("hexSendCheck1", false);
        sendArea(rig.w, 1)->setPlainText(QString(1000, 'x'));
        rig.spin("autoSendIntervalSpin1")->setValue(10);
        rig.pty.stopReading();
        rig.set("autoSendCheck1", true);
        qint64 mostQueued = 0;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(QTest::qWaitFor(
                [&] {
                    mostQueued = qMax(mostQueued, port->bytesToWrite());
                    return clock.elapsed() >= 4000;
                },
                5000));
        rig.set("autoSendCheck1", false);
        QVERIFY2(mostQueued <= 1000, QByteArray::number(mostQueued));
        QVERIFY(rig.window.statusBar()->currentMessage().contains(QStringLiteral("已跳过")));
        rig.pty.resumeReading();
        QCOMPARE(rig.wire().size(), int(rig.count("发字节数")));
        qInfo("sent %lld bytes in 4 s; most queued %lld", rig.count("发字节数"), mostQueued);
    }

    // An area can leave a running rotation and join it again.
    void areaLeavesAndRejoins()
    {
        Rig rig;
        QVERIFY(rig.open);
        rig.join(1, "AA", 100);
        rig.join(3, "CC", 100);
        rig.press("startAreaRotationButton");
        QVERIFY(rig.pty.waitForBytes(2));
        rig.set("joinRotationCheck3", false);
        const int sent = rig.wire().count('\xCC');
        QVERIFY(!QTest::qWaitFor([&] { return rig.wire().count('\xCC') > sent; }, 300));
        QVERIFY(rig.wire().count('\xAA') > 1);
        rig.set("joinRotationCheck3", true);
        QTRY_VERIFY(rig.wire().count('\xCC') > sent);
    }

    // The tick ignores the mode; answers and time-outs obey it.
    void modeSwitchedDuringARun()
    {
        Rig rig;
        QVERIFY(rig.open);
        QVERIFY(rig.load("11\n22\n33\n"));
        rig.spin("answerTimeoutSpin")->setValue(1);
        FrozenClock clock;
        rig.press("startFileRotationButton");
        QVERIFY(rig.sentExactly("\x11"));
        // Switched to timed while waiting: nothing ticks and nothing answers,
        // also past the time-out.
        rig.press("timedRadio");
        QVERIFY(rig.feed("ok"));
        clock.advance(1300);
        QVERIFY(rig.sentExactly("\x11"));
        // Switched to answer-wait during a timed run: an answer sends at once,
        // and the ticks go on.
        rig.press("startFileRotationButton");
        rig.spin("rotationPeriodSpin")->setValue(1000);
        rig.spin("answerTimeoutSpin")->setValue(5);
        rig.press("startFileRotationButton");
        rig.press("waitAnswerRadio");
        QVERIFY(rig.feed("ok"));
        QVERIFY(rig.sentExactly("\x11\x11"));
        clock.advance(999);
        QVERIFY(rig.sentExactly("\x11\x11"));
        clock.advance(1);
        QVERIFY(rig.sentExactly("\x11\x11\x22"));
    }

    void closingThePortEndsRotation_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("mode");
        QTest::newRow("areas") << "startAreaRotationButton"
                               << "timedRadio";
        QTest::newRow("timed file") << "startFileRotationButton"
                                    << "timedRadio";
        QTest::newRow("answer-wait file") << "startFileRotationButton"
                                          << "waitAnswerRadio";
    }
    void closingThePortEndsRotation()
    {
        QFETCH(QString, start);
        QFETCH(QString, mode);
        Rig rig;
        QVERIFY(rig.open);
        QVERIFY(rig.load("11\n22\n"));
        rig.join(1, "AA", 100);
        rig.spin("rotationPeriodSpin")->setValue(100);
        rig.press(mode);
        rig.press(start);
        QVERIFY(rig.pty.waitForBytes(1));
        QVERIFY(closePort(&rig.window));
        QVERIFY(openPort(&rig.window, rig.pty.slavePath()));
        rig.pty.take();
        // Neither ticks nor answers send anything now.
        QVERIFY(rig.pty.write("x"));
        QVERIFY(!rig.pty.waitForBytes(1, 300));
        // Idle: the click starts a new run rather than stopping one.
        rig.press(start);
        QVERIFY(rig.pty.waitForBytes(1));
    }
};

QUORVEL_TEST_MAIN(RotationTest)
#include "tst_rotation.moc"
