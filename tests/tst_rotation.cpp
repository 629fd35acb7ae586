// The rotation engine: area rotation on the shared tick and file rotation,
// timed or waiting for answers, driven through a real pseudo-terminal.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

using namespace testsupport;

namespace {

const QString parametersGroup = QStringLiteral("轮发参数");
const QString noAreaText = QStringLiteral("请至少勾选一个发送区参加轮发");
const QString noFileText = QStringLiteral("请先选择发送文件");

// Every frame in these tests is one byte, so bytes and frames match.
const char area1Byte = char(0xAA);
const char area2Byte = char(0xBB);
const char area3Byte = char(0xCC);
const char line1Byte = char(0x11);
const char line2Byte = char(0x22);
const char line3Byte = char(0x33);

struct Arrival
{
    qint64 at;
    char byte;
    QString currentLine;
};

// One window on one pty, with a handler answering every box.
struct Rig
{
    Pty pty;
    MainWindow window;
    ModalHandler boxes;
    QTemporaryDir dir;
    int files = 0;

    bool open() { return openPort(&window, pty.slavePath()); }

    QAbstractButton *button(const QString &caption)
    {
        return findButton(&window, caption, parametersGroup);
    }
    void press(const QString &caption) { click(button(caption)); }

    QCheckBox *areaCheck(int area, const QString &caption)
    {
        return findCheck(&window, caption, QStringLiteral("发送区%1属性").arg(area));
    }
    QSpinBox *areaPeriod(int area)
    {
        return spinOfRow(&window, QStringLiteral("发送周期"),
                         QStringLiteral("发送区%1属性").arg(area));
    }
    QSpinBox *spin(const QString &label) { return spinOfRow(&window, label, parametersGroup); }
    QCheckBox *once() { return findCheck(&window, QStringLiteral("只轮发一遍"), parametersGroup); }
    QRadioButton *radio(const QString &caption)
    {
        return qobject_cast<QRadioButton *>(button(caption));
    }

    void joinArea(int area, const QString &text, int periodMs)
    {
        sendArea(&window, area)->setPlainText(text);
        areaPeriod(area)->setValue(periodMs);
        areaCheck(area, QStringLiteral("参加轮发"))->setChecked(true);
    }

    // Loads a send file through the dialog.
    bool loadLines(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("lines%1.txt").arg(++files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
        file.close();
        const int before = boxes.count();
        boxes.chooseFile(path);
        press(QStringLiteral("选择发送文件"));
        return boxes.count() == before + 1;
    }

    QString currentLine() { return counter(&window, QStringLiteral("当前发送行")); }
};

// Stamps every byte arriving on the master with the time since construction.
class Watch
{
public:
    explicit Watch(Rig &rig)
        : rig(rig)
    {
        rig.pty.take();
        clock.start();
    }

    qint64 now() const { return clock.elapsed(); }

    bool waitForCount(int count, int timeoutMs)
    {
        const qint64 end = clock.elapsed() + timeoutMs;
        while (arrivals.size() < count && clock.elapsed() < end)
            poll();
        return arrivals.size() >= count;
    }

    bool waitUntil(const std::function<bool()> &done, int timeoutMs)
    {
        const qint64 end = clock.elapsed() + timeoutMs;
        while (!done() && clock.elapsed() < end)
            poll();
        return done();
    }

    void runUntil(qint64 atMs)
    {
        while (clock.elapsed() < atMs)
            poll();
    }

    QByteArray bytes() const
    {
        QByteArray result;
        for (const Arrival &arrival : arrivals)
            result.append(arrival.byte);
        return result;
    }

    QVector<qint64> timesOf(char byte) const
    {
        QVector<qint64> times;
        for (const Arrival &arrival : arrivals) {
            if (arrival.byte == byte)
                times.append(arrival.at);
        }
        return times;
    }

    QVector<Arrival> arrivals;

private:
    void poll()
    {
        QTest::qWait(5);
        const QByteArray bytes = rig.pty.take();
        const qint64 at = clock.elapsed();
        for (char byte : bytes)
            arrivals.append({ at, byte, rig.currentLine() });
    }

    Rig &rig;
    QElapsedTimer clock;
};

QVector<qint64> intervals(const QVector<qint64> &times)
{
    QVector<qint64> result;
    for (int i = 1; i < times.size(); ++i)
        result.append(times.at(i) - times.at(i - 1));
    return result;
}

} // namespace

class RotationTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void widgetsAndDefaults();
    void areaRotationNeedsAJoinedArea();
    void noJoinedAreaLeavesFileRotationRunning();
    void areasGoOutInOrderAtTheirPeriods();
    void areaRotationOnceThroughEndsByItself();
    void areaUncheckedAndRecheckedDuringRun();
    void shortPeriodGivesOneFramePerTick();
    void fileRotationNeedsLinesCheckedFirst();
    void timedOnceThroughSendsEachLineOnce();
    void timedCyclicWrapsUntilStopped();
    void timedRotationPassesLinesWhilePortClosed();
    void answerWaitSendsOnEachAnswer_data();
    void answerWaitSendsOnEachAnswer();
    void answerWaitStartedClosedWaitsForData();
    void answerTimeoutResendsThenMovesOn();
    void answerTimeoutWithoutResends();
    void switchToAnswerWaitDuringTimedRun();
    void switchToTimedWhileWaitingHaltsRotation();
    void areaAndFileRotationExcludeEachOther();
    void closingThePortEndsRotation_data();
    void closingThePortEndsRotation();
};

void RotationTest::widgetsAndDefaults()
{
    Rig rig;
    QSpinBox *period = rig.spin(QStringLiteral("周期"));
    QSpinBox *timeout = rig.spin(QStringLiteral("超时时间"));
    QSpinBox *retries = rig.spin(QStringLiteral("重发次数"));
    QVERIFY(period && timeout && retries);
    QCOMPARE(period->minimum(), 10);
    QCOMPARE(period->maximum(), 3600000);
    QCOMPARE(period->value(), 1000);
    QCOMPARE(period->suffix(), QStringLiteral(" ms"));
    QCOMPARE(timeout->minimum(), 1);
    QCOMPARE(timeout->maximum(), 300);
    QCOMPARE(timeout->value(), 5);
    QCOMPARE(timeout->suffix(), QStringLiteral(" s"));
    QCOMPARE(retries->minimum(), 0);
    QCOMPARE(retries->maximum(), 99);
    QCOMPARE(retries->value(), 1);
    QVERIFY(retries->suffix().isEmpty());

    QVERIFY(rig.radio(QStringLiteral("收到回答后发下一帧"))->isChecked());
    QVERIFY(!rig.radio(QStringLiteral("定时"))->isChecked());
    QVERIFY(!rig.once()->isChecked());
    QVERIFY(findGroup(&rig.window, QStringLiteral("发送区及发送文件轮发属性")));

    // The two buttons keep their captions, and the file button sets the width.
    QAbstractButton *startFile = rig.button(QStringLiteral("开始文件轮发"));
    QAbstractButton *startAreas = rig.button(QStringLiteral("开始轮发"));
    QVERIFY(startFile && startAreas && rig.button(QStringLiteral("选择发送文件")));
    QCOMPARE(startAreas->minimumWidth(), startFile->sizeHint().width());
    for (int area = 1; area <= 3; ++area) {
        QVERIFY(!rig.areaCheck(area, QStringLiteral("参加轮发"))->isChecked());
        QAbstractButton *checksum = findButton(&rig.window, QStringLiteral("校验"),
                                               QStringLiteral("发送区%1属性").arg(area));
        QVERIFY(checksum);
        QCOMPARE(checksum->minimumWidth(), startFile->sizeHint().width());
    }
}

void RotationTest::areaRotationNeedsAJoinedArea()
{
    Rig rig;
    QVERIFY(rig.open());
    sendArea(&rig.window, 1)->setPlainText(QStringLiteral("AA"));
    rig.areaPeriod(1)->setValue(10);

    rig.press(QStringLiteral("开始轮发"));
    QCOMPARE(rig.boxes.count(), 1);
    QCOMPARE(rig.boxes.last().className, QStringLiteral("QMessageBox"));
    QCOMPARE(rig.boxes.last().title, QStringLiteral("提示"));
    QCOMPARE(rig.boxes.last().text, noAreaText);

    // Nothing runs: joining an area afterwards sends nothing by itself.
    rig.areaCheck(1, QStringLiteral("参加轮发"))->setChecked(true);
    QVERIFY(!rig.pty.waitForBytes(1, 300));
    QCOMPARE(counter(&rig.window, QStringLiteral("发帧数")), QStringLiteral("0"));

    // ...and the next click starts rather than stops.
    rig.press(QStringLiteral("开始轮发"));
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    rig.press(QStringLiteral("开始轮发"));
    QCOMPARE(rig.boxes.count(), 1);
}

void RotationTest::noJoinedAreaLeavesFileRotationRunning()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n"));
    rig.spin(QStringLiteral("超时时间"))->setValue(1);

    Watch watch(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(watch.waitForCount(1, 2000));
    rig.press(QStringLiteral("开始轮发"));
    QCOMPARE(rig.boxes.last().title, QStringLiteral("提示"));
    QCOMPARE(rig.boxes.last().text, noAreaText);

    // The time-out armed for line 1 still runs: it re-sends line 1.
    QVERIFY(watch.waitForCount(2, 4000));
    QCOMPARE(watch.bytes(), QByteArray(2, line1Byte));
    QVERIFY(watch.arrivals.at(1).at >= 900);
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));

    // Answers still release lines.
    rig.pty.write("ok");
    QVERIFY(watch.waitForCount(3, 2000));
    QCOMPARE(watch.arrivals.at(2).byte, line2Byte);
    QCOMPARE(rig.currentLine(), QStringLiteral("2"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void RotationTest::areasGoOutInOrderAtTheirPeriods()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.joinArea(1, QStringLiteral("AA"), 200);
    rig.joinArea(3, QStringLiteral("CC"), 600);
    sendArea(&rig.window, 2)->setPlainText(QStringLiteral("BB"));

    Watch watch(rig);
    rig.press(QStringLiteral("开始轮发"));
    watch.runUntil(2400);
    rig.press(QStringLiteral("开始轮发"));
    const qint64 stoppedAt = watch.now();

    // Both are due at the first tick, area 1 first.
    QVERIFY(watch.arrivals.size() >= 2);
    QCOMPARE(watch.bytes().left(2), QByteArray() + area1Byte + area3Byte);
    QVERIFY2(watch.arrivals.first().at < 1000, QByteArray::number(watch.arrivals.first().at));
    QVERIFY(!watch.bytes().contains(area2Byte));

    // A send is never early, and intervals stay near the period rounded up
    // to the 50 ms tick (generous upper bounds for loaded machines).
    const struct
    {
        char byte;
        qint64 period;
    } areas[] = { { area1Byte, 200 }, { area3Byte, 600 } };
    for (const auto &area : areas) {
        const QVector<qint64> gaps = intervals(watch.timesOf(area.byte));
        QVERIFY2(gaps.size() >= 2, QByteArray::number(gaps.size()));
        const qint64 shortest = *std::min_element(gaps.begin(), gaps.end());
        qint64 total = 0;
        for (qint64 gap : gaps)
            total += gap;
        const qint64 mean = total / gaps.size();
        QVERIFY2(shortest >= area.period - 30, QByteArray::number(shortest));
        QVERIFY2(mean <= 2 * area.period + 100, QByteArray::number(mean));
    }
    const int ones = watch.timesOf(area1Byte).size();
    const int threes = watch.timesOf(area3Byte).size();
    QVERIFY2(ones > threes, QByteArray::number(ones) + " " + QByteArray::number(threes));

    // Stopped by the second click (bytes already written may still trickle in).
    watch.runUntil(stoppedAt + 700);
    for (const Arrival &arrival : watch.arrivals)
        QVERIFY2(arrival.at <= stoppedAt + 150, QByteArray::number(arrival.at - stoppedAt));
}

void RotationTest::areaRotationOnceThroughEndsByItself()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.joinArea(1, QStringLiteral("AA"), 10);
    rig.joinArea(3, QStringLiteral("CC"), 10);
    rig.once()->setChecked(true);

    for (int run = 1; run <= 2; ++run) {
        Watch watch(rig);
        rig.press(QStringLiteral("开始轮发"));
        QVERIFY(watch.waitForCount(2, 2000));
        watch.runUntil(watch.now() + 400);
        // A second run proves the first ended by itself: a running one
        // would have been stopped by the click instead.
        QCOMPARE(watch.bytes(), QByteArray() + area1Byte + area3Byte);
        QCOMPARE(counter(&rig.window, QStringLiteral("发帧数")), QString::number(2 * run));
    }
    QCOMPARE(rig.boxes.count(), 0);
}

void RotationTest::areaUncheckedAndRecheckedDuringRun()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.joinArea(1, QStringLiteral("AA"), 100);
    rig.joinArea(2, QStringLiteral("BB"), 100);
    sendArea(&rig.window, 3)->setPlainText(QStringLiteral("CC"));
    rig.areaPeriod(3)->setValue(10);

    Watch watch(rig);
    rig.press(QStringLiteral("开始轮发"));
    QVERIFY(watch.waitForCount(2, 2000));
    QCOMPARE(watch.bytes(), QByteArray() + area1Byte + area2Byte);

    // Unchecked: skipped. Area 3, not joined at start, stays out of this run.
    rig.areaCheck(2, QStringLiteral("参加轮发"))->setChecked(false);
    rig.areaCheck(3, QStringLiteral("参加轮发"))->setChecked(true);
    const int before = watch.arrivals.size();
    watch.runUntil(watch.now() + 500);
    const QByteArray skipped = watch.bytes().mid(before);
    QVERIFY(skipped.size() >= 2);
    QCOMPARE(skipped, QByteArray(skipped.size(), area1Byte));

    // Checked again: its due time has long passed, so it goes at once.
    rig.areaCheck(2, QStringLiteral("参加轮发"))->setChecked(true);
    const qint64 recheckedAt = watch.now();
    QVERIFY(watch.waitUntil([&] { return watch.timesOf(area2Byte).size() >= 2; }, 2000));
    QVERIFY2(watch.timesOf(area2Byte).at(1) - recheckedAt < 500,
             QByteArray::number(watch.timesOf(area2Byte).at(1) - recheckedAt));
    watch.runUntil(watch.now() + 300);
    QVERIFY(!watch.bytes().contains(area3Byte));
    rig.press(QStringLiteral("开始轮发"));
}

void RotationTest::shortPeriodGivesOneFramePerTick()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.joinArea(1, QStringLiteral("AA"), 10);

    Watch watch(rig);
    rig.press(QStringLiteral("开始轮发"));
    watch.runUntil(1000);
    rig.press(QStringLiteral("开始轮发"));

    const QVector<qint64> times = watch.timesOf(area1Byte);
    QCOMPARE(times.size(), watch.arrivals.size());
    QVERIFY2(times.size() >= 5, QByteArray::number(times.size()));
    const qint64 span = times.last() - times.first();
    // Every 10 ms would give about 100 frames; the 50 ms tick gives about 20.
    QVERIFY2(span / (times.size() - 1) >= 40,
             QByteArray::number(span) + " / " + QByteArray::number(times.size()));
    QVERIFY2(times.size() <= 24, QByteArray::number(times.size()));
}

void RotationTest::fileRotationNeedsLinesCheckedFirst()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(rig.boxes.count(), 1);
    QCOMPARE(rig.boxes.last().className, QStringLiteral("QMessageBox"));
    QCOMPARE(rig.boxes.last().title, QStringLiteral("提示"));
    QCOMPARE(rig.boxes.last().text, noFileText);
    QVERIFY(!rig.pty.waitForBytes(1, 100));

    QVERIFY(rig.loadLines("11\n22\n"));
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QCOMPARE(rig.pty.take(), QByteArray(1, line1Byte));

    // An empty file loaded during the run: the click only shows the hint,
    // it does not stop the running rotation.
    const int boxesBefore = rig.boxes.count();
    QVERIFY(rig.loadLines(""));
    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(rig.boxes.count(), boxesBefore + 2);
    QCOMPARE(rig.boxes.last().title, QStringLiteral("提示"));
    QCOMPARE(rig.boxes.last().text, noFileText);

    // Still running: with new lines, the next answer sends the first of them.
    QVERIFY(rig.loadLines("33\n"));
    rig.pty.write("?");
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QCOMPARE(rig.pty.take(), QByteArray(1, line3Byte));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void RotationTest::timedOnceThroughSendsEachLineOnce()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n33\n"));
    click(rig.radio(QStringLiteral("定时")));
    rig.spin(QStringLiteral("周期"))->setValue(200);
    rig.once()->setChecked(true);

    Watch watch(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(rig.currentLine(), QStringLiteral("0"));
    QVERIFY(watch.waitForCount(3, 4000));
    watch.runUntil(watch.now() + 600);
    QCOMPARE(watch.bytes(), QByteArray() + line1Byte + line2Byte + line3Byte);
    QCOMPARE(rig.currentLine(), QStringLiteral("3"));

    // The first line waits one period; the rest follow period by period.
    QVERIFY2(watch.arrivals.at(0).at >= 180, QByteArray::number(watch.arrivals.at(0).at));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(watch.arrivals.at(i).currentLine, QString::number(i + 1));
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = watch.arrivals.at(i).at - watch.arrivals.at(i - 1).at;
        QVERIFY2(gap >= 170, QByteArray::number(gap));
    }

    // The run has ended: the next click starts a new one.
    rig.spin(QStringLiteral("周期"))->setValue(500);
    Watch again(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(again.waitForCount(3, 4000));
    QCOMPARE(again.bytes(), QByteArray() + line1Byte + line2Byte + line3Byte);

    // Right after the last line the run still waits for tick n+1, which
    // ends it, so a click now stops it rather than starting another.
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY2(again.now() - again.arrivals.at(2).at < 400,
             QByteArray::number(again.now() - again.arrivals.at(2).at));
    again.runUntil(again.now() + 800);
    QCOMPARE(again.arrivals.size(), 3);
}

void RotationTest::timedCyclicWrapsUntilStopped()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n"));
    click(rig.radio(QStringLiteral("定时")));
    rig.spin(QStringLiteral("周期"))->setValue(50);

    Watch watch(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(watch.waitForCount(5, 4000));
    rig.press(QStringLiteral("开始文件轮发"));
    const int sent = watch.arrivals.size();
    watch.runUntil(watch.now() + 300);
    QCOMPARE(watch.arrivals.size(), sent);

    const QByteArray bytes = watch.bytes();
    for (int i = 0; i < bytes.size(); ++i)
        QCOMPARE(bytes.at(i), i % 2 ? line2Byte : line1Byte);
    // Not reset when the rotation stops.
    QCOMPARE(rig.currentLine(), QString::number(2 - sent % 2));
}

void RotationTest::timedRotationPassesLinesWhilePortClosed()
{
    Rig rig;
    QVERIFY(rig.loadLines("11\n22\n33\n"));
    click(rig.radio(QStringLiteral("定时")));
    rig.spin(QStringLiteral("周期"))->setValue(30);

    rig.press(QStringLiteral("开始文件轮发"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.currentLine(), QStringLiteral("3"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.currentLine(), QStringLiteral("1"), 3000);
    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(counter(&rig.window, QStringLiteral("发帧数")), QStringLiteral("0"));
    QCOMPARE(rig.boxes.count(), 1); // the file dialog only
}

void RotationTest::answerWaitSendsOnEachAnswer_data()
{
    QTest::addColumn<bool>("once");
    QTest::newRow("cyclic") << false;
    QTest::newRow("once through") << true;
}

void RotationTest::answerWaitSendsOnEachAnswer()
{
    QFETCH(bool, once);
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n33\n"));

    // Line 1 goes out from the click itself.
    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QCOMPARE(rig.pty.take(), QByteArray(1, line1Byte));

    // Any non-empty chunk is an answer, shown or not.
    QAbstractButton *stopDisplay = findButton(&rig.window, QStringLiteral("停止显示"));
    QVERIFY(stopDisplay);
    click(stopDisplay);
    const QString shown = receiveText(&rig.window);
    const QByteArray answers[] = { QByteArray(1, '\0'), QByteArrayLiteral("any reply") };
    const char expected[] = { line2Byte, line3Byte };
    for (int i = 0; i < 2; ++i) {
        QVERIFY(rig.pty.write(answers[i]));
        QVERIFY(rig.pty.waitForBytes(1, 2000));
        QCOMPARE(rig.pty.take(), QByteArray(1, expected[i]));
        QCOMPARE(rig.currentLine(), QString::number(i + 2));
    }
    QCOMPARE(receiveText(&rig.window), shown);

    // "只轮发一遍" is read when the end is reached, not when the run started.
    rig.once()->setChecked(once);
    rig.pty.write("x");
    if (once) {
        QVERIFY(!rig.pty.waitForBytes(1, 500));
        QCOMPARE(rig.currentLine(), QStringLiteral("3"));
        // Ended: the click starts a new run at line 1.
        rig.press(QStringLiteral("开始文件轮发"));
    }
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QCOMPARE(rig.pty.take(), QByteArray(1, line1Byte));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));
    QCOMPARE(rig.boxes.count(), 1);
}

void RotationTest::answerWaitStartedClosedWaitsForData()
{
    Rig rig;
    QVERIFY(rig.loadLines("11\n22\n"));
    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(rig.currentLine(), QStringLiteral("0"));

    // Opening the port starts nothing; the first data received sends line 1.
    QVERIFY(rig.open());
    QVERIFY(!rig.pty.waitForBytes(1, 300));
    rig.pty.write("hello");
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QCOMPARE(rig.pty.take(), QByteArray(1, line1Byte));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void RotationTest::answerTimeoutResendsThenMovesOn()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n"));
    rig.spin(QStringLiteral("超时时间"))->setValue(1);
    rig.spin(QStringLiteral("重发次数"))->setValue(1);
    rig.once()->setChecked(true);

    // No answers: each line twice, one time-out apart, then the end.
    Watch watch(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(watch.waitForCount(4, 8000));
    QCOMPARE(watch.bytes(), QByteArray() + line1Byte + line1Byte + line2Byte + line2Byte);
    const QString lines[] = { "1", "1", "2", "2" };
    for (int i = 0; i < 4; ++i)
        QCOMPARE(watch.arrivals.at(i).currentLine, lines[i]);
    for (int i = 1; i < 4; ++i) {
        const qint64 gap = watch.arrivals.at(i).at - watch.arrivals.at(i - 1).at;
        QVERIFY2(gap >= 900 && gap <= 2500, QByteArray::number(gap));
    }

    // The final time-out ends the once-through run instead of wrapping.
    watch.runUntil(watch.arrivals.last().at + 1600);
    QCOMPARE(watch.arrivals.size(), 4);
    QCOMPARE(rig.currentLine(), QStringLiteral("2"));
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(watch.waitForCount(5, 2000));
    QCOMPARE(watch.arrivals.at(4).byte, line1Byte);
    rig.press(QStringLiteral("开始文件轮发"));
}

void RotationTest::answerTimeoutWithoutResends()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n"));
    rig.spin(QStringLiteral("超时时间"))->setValue(1);
    rig.spin(QStringLiteral("重发次数"))->setValue(0);

    Watch watch(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(watch.waitForCount(3, 6000));
    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(watch.bytes().left(3), QByteArray() + line1Byte + line2Byte + line1Byte);
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = watch.arrivals.at(i).at - watch.arrivals.at(i - 1).at;
        QVERIFY2(gap >= 900 && gap <= 2500, QByteArray::number(gap));
    }
}

void RotationTest::switchToAnswerWaitDuringTimedRun()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n33\n"));
    click(rig.radio(QStringLiteral("定时")));
    rig.spin(QStringLiteral("周期"))->setValue(800);

    Watch watch(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(watch.waitForCount(1, 4000));
    const qint64 firstTick = watch.arrivals.at(0).at;
    QVERIFY(firstTick >= 750);

    // An answer now sends the next line at once, between two ticks...
    click(rig.radio(QStringLiteral("收到回答后发下一帧")));
    const qint64 answeredAt = watch.now();
    rig.pty.write("x");
    QVERIFY(watch.waitForCount(2, 2000));
    QCOMPARE(watch.arrivals.at(1).byte, line2Byte);
    QVERIFY2(watch.arrivals.at(1).at - answeredAt < 500,
             QByteArray::number(watch.arrivals.at(1).at - answeredAt));
    QCOMPARE(rig.currentLine(), QStringLiteral("2"));

    // ...and the tick goes on from the same position.
    QVERIFY(watch.waitForCount(3, 3000));
    QCOMPARE(watch.arrivals.at(2).byte, line3Byte);
    QVERIFY(watch.arrivals.at(2).at - firstTick >= 750);
    QCOMPARE(rig.currentLine(), QStringLiteral("3"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void RotationTest::switchToTimedWhileWaitingHaltsRotation()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n"));
    rig.spin(QStringLiteral("超时时间"))->setValue(1);
    rig.spin(QStringLiteral("周期"))->setValue(200);

    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QCOMPARE(rig.pty.take(), QByteArray(1, line1Byte));

    // Halted: the answer and the pending time-out are both ignored.
    click(rig.radio(QStringLiteral("定时")));
    rig.pty.write("x");
    QVERIFY(!rig.pty.waitForBytes(1, 1500));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));

    // Still a file rotation: the first click stops it, the second starts timed.
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(!rig.pty.waitForBytes(1, 400));
    Watch watch(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(watch.waitForCount(2, 3000));
    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(watch.bytes().left(2), QByteArray() + line1Byte + line2Byte);
    QVERIFY2(watch.arrivals.at(0).at >= 180, QByteArray::number(watch.arrivals.at(0).at));
    QCOMPARE(rig.boxes.count(), 1);
}

void RotationTest::areaAndFileRotationExcludeEachOther()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n"));
    rig.joinArea(1, QStringLiteral("AA"), 100);

    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QCOMPARE(rig.pty.take(), QByteArray(1, line1Byte));

    // Area rotation ends the file rotation: answers release nothing.
    Watch areas(rig);
    rig.press(QStringLiteral("开始轮发"));
    QVERIFY(areas.waitForCount(1, 2000));
    rig.pty.write("x");
    areas.runUntil(areas.now() + 500);
    const QByteArray duringAreas = areas.bytes();
    QCOMPARE(duringAreas, QByteArray(duringAreas.size(), area1Byte));

    // File rotation ends the area rotation and starts from line 1.
    Watch file(rig);
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(file.waitForCount(1, 2000));
    file.runUntil(file.now() + 400);
    QCOMPARE(file.bytes(), QByteArray(1, line1Byte));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void RotationTest::closingThePortEndsRotation_data()
{
    QTest::addColumn<QString>("startButton");
    QTest::addColumn<bool>("timed");
    QTest::newRow("area rotation") << "开始轮发" << false;
    QTest::newRow("timed file rotation") << "开始文件轮发" << true;
    QTest::newRow("answer-wait file rotation") << "开始文件轮发" << false;
}

void RotationTest::closingThePortEndsRotation()
{
    QFETCH(QString, startButton);
    QFETCH(bool, timed);
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.loadLines("11\n22\n"));
    rig.joinArea(1, QStringLiteral("AA"), 100);
    rig.spin(QStringLiteral("周期"))->setValue(100);
    rig.spin(QStringLiteral("超时时间"))->setValue(1);
    if (timed)
        click(rig.radio(QStringLiteral("定时")));

    rig.press(startButton);
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QVERIFY(closePort(&rig.window));
    QVERIFY(rig.open());
    rig.pty.take();

    // Neither ticks, nor answers, nor the time-out send anything now.
    const QString line = rig.currentLine();
    rig.pty.write("x");
    QVERIFY(!rig.pty.waitForBytes(1, 1400));
    QCOMPARE(rig.currentLine(), line);

    // Idle: the button starts a new run instead of stopping one.
    rig.press(startButton);
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    rig.press(startButton);
    QCOMPARE(rig.boxes.count(), 1);
}

QUORVEL_TEST_MAIN(RotationTest)
#include "tst_rotation.moc"
