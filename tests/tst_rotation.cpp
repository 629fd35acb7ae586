// Area rotation, the send file and file rotation (timed or waiting for
// answers), driven through a real pseudo-terminal and real files.
#include "mainwindow.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace testsupport;

struct Rig
{
    Pty pty;
    MainWindow window;
    ModalHandler boxes;
    QTemporaryDir dir;

    Rig() { QVERIFY(openPort(&window, pty.slavePath())); }
    static QString area(int n) { return QStringLiteral("发送区%1属性").arg(n); }
    void press(const QString &caption) { click(findButton(&window, caption)); }
    int count(const QString &caption) { return counter(&window, caption).toInt(); }
    QString box() { return boxes.last().title + ':' + boxes.last().text; }
    // Everything the window has sent, once all of it reached the device.
    QByteArray wire() { return pty.waitForBytes(count("发字节数")) ? pty.collected() : "lost"; }
    // Keeps the window running for ms while the device side collects.
    void run(int ms) { pty.waitForBytes(1 << 30, ms); }
    void join(int n, const QString &text, int periodMs)
    {
        sendArea(&window, n)->setPlainText(text);
        fieldOfRow<QSpinBox>(&window, "发送周期", area(n))->setValue(periodMs);
        findCheck(&window, "参加轮发", area(n))->setChecked(true);
    }
    bool load(const QByteArray &content)
    {
        QFile file(dir.filePath(QString::number(boxes.count())));
        const bool written = file.open(QIODevice::WriteOnly)
                && file.write(content) == content.size() && file.flush();
        boxes.chooseFile(file.fileName());
        press("选择发送文件");
        return written;
    }
};

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
        QTest::newRow("200 and 600 ms") << 200 << 600 << false;
        QTest::newRow("below the 50 ms tick") << 10 << 20 << false;
        QTest::newRow("once through") << 200 << 600 << true;
    }
    void areaRotation()
    {
        QFETCH(int, period1);
        QFETCH(int, period3);
        QFETCH(bool, once);
        Rig rig;
        rig.join(1, "AA", period1);
        rig.join(3, "CC", period3);
        sendArea(&rig.window, 2)->setPlainText("BB");
        findCheck(&rig.window, "只轮发一遍")->setChecked(once);
        QElapsedTimer clock;
        clock.start();
        rig.press("开始轮发");
        rig.run(2000);
        rig.press("开始轮发");
        const QByteArray bytes = rig.wire();
        QCOMPARE(bytes.left(2), QByteArray("\xAA\xCC"));
        QVERIFY(!bytes.contains('\xBB'));
        // Never early, at most one frame per 50 ms tick; half the rate is enough under load.
        for (const auto &area : { qMakePair('\xAA', period1), qMakePair('\xCC', period3) }) {
            const int frames = bytes.count(area.first);
            QVERIFY2(once ? frames == 1
                          : frames >= clock.elapsed() / qMax(area.second, 50) / 2
                                     && frames <= clock.elapsed() / qMax(area.second, 45) + 1,
                     QByteArray::number(frames));
        }
        // The second click stops a running rotation; a finished one starts anew.
        rig.run(300);
        QCOMPARE(rig.wire(), once ? bytes + "\xAA\xCC" : bytes);
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
        // Area 1 alone decides the encoding of the lines.
        findCheck(&rig.window, "16进制", rig.area(1))->setChecked(false);
        // A new file replaces the lines of the old one.
        QVERIFY(rig.load("old\n"));
        QVERIFY(rig.load(content));
        QCOMPARE(rig.count("文件行数"), lines);
        rig.press("定时");
        fieldOfRow<QSpinBox>(&rig.window, "周期")->setValue(50);
        findCheck(&rig.window, "只轮发一遍")->setChecked(true);
        // Ended by itself, so the second click starts a new run.
        for (int run = 1; run <= 2; ++run) {
            rig.press("开始文件轮发");
            QVERIFY(rig.pty.waitForBytes(run * sent.size()));
            rig.run(400);
            QCOMPARE(rig.wire(), sent.repeated(run));
            QCOMPARE(rig.count("当前发送行"), lines);
        }
    }

    void answerWaitAndRefusals()
    {
        Rig rig;
        rig.press("开始轮发");
        QCOMPARE(rig.box(), QStringLiteral("提示:请至少勾选一个发送区参加轮发"));
        QVERIFY(rig.load("")); // an empty file loads no lines
        QCOMPARE(rig.count("文件行数"), 0);
        rig.press("开始文件轮发");
        QCOMPARE(rig.box(), QStringLiteral("提示:请先选择发送文件"));
        QVERIFY(rig.load("11\n22\n33\n"));
        rig.press("开始文件轮发");
        QCOMPARE(rig.wire(), QByteArray("\x11"));
        rig.press("开始轮发");
        QCOMPARE(rig.box(), QStringLiteral("提示:请至少勾选一个发送区参加轮发"));
        // A socket passes the dialog as an existing file but cannot be opened, even by root.
        const QString path = rig.dir.filePath(QStringLiteral("socket"));
        sockaddr_un address{ AF_UNIX, {} };
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        rig.boxes.chooseFile(path);
        rig.press("选择发送文件");
        ::close(fd);
        QCOMPARE(rig.box(), QStringLiteral("错误:无法打开文件"));
        // Neither refusal touched the rotation or its lines: the answer releases
        // line 2 well before the 5 s time-out.
        fieldOfRow<QSpinBox>(&rig.window, "超时时间")->setValue(1);
        fieldOfRow<QSpinBox>(&rig.window, "重发次数")->setValue(0);
        QVERIFY(rig.pty.write("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(rig.count("当前发送行"), 2, 2500);
        // Unanswered, line 2 gives way to line 3 after one time-out; line 3 is
        // re-sent twice, one time-out apart, before the rotation wraps around.
        fieldOfRow<QSpinBox>(&rig.window, "重发次数")->setValue(2);
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.wire(), QByteArray("\x11\x22\x33\x33\x33\x11"), 9000);
        QVERIFY2(clock.elapsed() >= 3000, QByteArray::number(clock.elapsed()));
    }

    // An area can leave a running rotation and join it again.
    void areaLeavesAndRejoins()
    {
        Rig rig;
        rig.join(1, "AA", 100);
        rig.join(3, "CC", 100);
        rig.press("开始轮发");
        QVERIFY(rig.pty.waitForBytes(2));
        findCheck(&rig.window, "参加轮发", rig.area(3))->setChecked(false);
        const int sent = rig.wire().count('\xCC');
        rig.run(500);
        QCOMPARE(rig.wire().count('\xCC'), sent);
        findCheck(&rig.window, "参加轮发", rig.area(3))->setChecked(true);
        QTRY_VERIFY(rig.wire().count('\xCC') > sent);
    }

    // The tick ignores the mode; answers and time-outs obey it.
    void modeSwitchedDuringARun()
    {
        Rig rig;
        QVERIFY(rig.load("11\n22\n33\n"));
        fieldOfRow<QSpinBox>(&rig.window, "超时时间")->setValue(1);
        rig.press("开始文件轮发");
        QCOMPARE(rig.wire(), QByteArray("\x11"));
        // Switched to timed while waiting: nothing ticks and nothing answers.
        rig.press("定时");
        QVERIFY(rig.pty.write("ok"));
        rig.run(2500);
        QCOMPARE(rig.wire(), QByteArray("\x11"));
        // Switched to answer-wait during a timed run: an answer sends at once,
        // and the ticks go on.
        rig.press("开始文件轮发");
        fieldOfRow<QSpinBox>(&rig.window, "周期")->setValue(1500);
        fieldOfRow<QSpinBox>(&rig.window, "超时时间")->setValue(5);
        rig.press("开始文件轮发");
        rig.press("收到回答后发下一帧");
        QVERIFY(rig.pty.write("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(rig.wire(), QByteArray("\x11\x11"), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.wire(), QByteArray("\x11\x11\x22"), 4000);
    }

    void closingThePortEndsRotation_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("mode");
        QTest::newRow("areas") << QStringLiteral("开始轮发") << QStringLiteral("定时");
        QTest::newRow("timed file") << QStringLiteral("开始文件轮发") << QStringLiteral("定时");
        QTest::newRow("answer-wait file")
                << QStringLiteral("开始文件轮发") << QStringLiteral("收到回答后发下一帧");
    }
    void closingThePortEndsRotation()
    {
        QFETCH(QString, start);
        QFETCH(QString, mode);
        Rig rig;
        QVERIFY(rig.load("11\n22\n"));
        rig.join(1, "AA", 100);
        rig.press(mode);
        rig.press(start);
        QVERIFY(rig.pty.waitForBytes(1));
        QVERIFY(closePort(&rig.window));
        QVERIFY(openPort(&rig.window, rig.pty.slavePath()));
        rig.pty.take();
        // Neither ticks nor answers send anything now.
        QVERIFY(rig.pty.write("x"));
        QVERIFY(!rig.pty.waitForBytes(1, 1500));
        // Idle: the click starts a new run rather than stopping one.
        rig.press(start);
        QVERIFY(rig.pty.waitForBytes(1));
    }
};

QUORVEL_TEST_MAIN(RotationTest)
#include "tst_rotation.moc"
