// The receive pane and the capture file, driven through a real
// pseudo-terminal, the window's own buttons and real files.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

QString captureButtonText(QWidget *w)
{
    return byName<QAbstractButton>(w, QStringLiteral("saveDataButton"))->text();
}

} // namespace

class ReceiveTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void display_data();
    void display();
    void clearingCountingAndLamp();
    void capture();
};

void ReceiveTest::display_data()
{
    QTest::addColumn<QString>("option"); // switched on, if any
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QString>("shown"); // time stamps read "[T] "
    using L = QList<QByteArray>;
    QTest::newRow("hex") << "" << true << "" << L{ "H\r\n" } << "48 0D 0A";
    QTest::newRow("text keeps what follows a zero byte")
            << "" << false << "" << L{ QByteArray("AB\0CD", 5) }
            << QStringLiteral("AB") + QChar(0) + QStringLiteral("CD");
    const QByteArray markFirst = QByteArray::fromHex("efbbbf42");
    QTest::newRow("byte-order mark mid-stream")
            << "" << false << "" << L{ "A", markFirst } << QStringLiteral("A \uFEFFB");
    QTest::newRow("time stamp") << "showSaveTimeCheck" << false << "" << L{ "A" } << "[T] A";
    QTest::newRow("continuous, split character")
            << "" << false << "" << L{ "x\xe6\x94", "\xb6y" } << "x 收y";
    QTest::newRow("frame newline")
            << "frameNewlineCheck" << false << "" << L{ "A", "BC" } << "A\n\nBC\n";
    QTest::newRow("stopped") << "stopDisplayButton" << false << "" << L{ "A", "B" } << "";
    // Filtering is on throughout; dropped chunks are still counted by rx().
    QTest::newRow("hex keyword") << "" << true << "0D 0A" << L{ "ok\r\n" } << "6F 6B 0D 0A";
    QTest::newRow("lower-case hex misses") << "" << true << "0d 0a" << L{ "ok\r\n" } << "";
    QTest::newRow("text keyword") << "" << false << "ok" << L{ "it is ok" } << "it is ok";
    // The filter looks at both forms, whichever is shown.
    QTest::newRow("hex keyword, text shown") << "" << false << "6F 6B" << L{ "ok" } << "ok";
    QTest::newRow("text keyword, hex shown") << "" << true << "ok" << L{ "ok" } << "6F 6B";
    QTest::newRow("blanks only") << "" << false << "   " << L{ "abc" } << "abc";
    QTest::newRow("no match") << "" << false << "zz" << L{ "abc" } << "";
}

void ReceiveTest::display()
{
    QFETCH(QString, option);
    QFETCH(bool, hex);
    QFETCH(QString, keyword);
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QString, shown);
    Rig r;
    QVERIFY(r.open);
    r.set("hexRecvCheck", hex);
    r.set("keywordFilterCheck", true);
    if (!option.isEmpty())
        r.set(option, true);
    byName<QLineEdit>(r.w, "keywordEdit")->setText(keyword);

    for (const QByteArray &chunk : chunks)
        QVERIFY(r.rx(chunk));
    const QRegularExpression stamp("^\\[\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d\\] ");
    QCOMPARE(receiveText(r.w).replace(stamp, "[T] "), shown);
}

void ReceiveTest::clearingCountingAndLamp()
{
    Rig r;
    QVERIFY(r.open);
    r.window.show(); // the scroll bar shows only in a shown window
    r.set("hexRecvCheck", false);
    auto *lamp = byName<QLabel>(r.w, "recvLamp");
    QElapsedTimer clock;
    clock.start();
    QVERIFY(r.rx("12345"));
    QCOMPARE(lamp->styleSheet(), QStringLiteral("color: #00CC00; font-weight: bold;"));
    QTRY_COMPARE_WITH_TIMEOUT(lamp->styleSheet(), QStringLiteral("color: gray;"), 5000);
    QVERIFY(clock.elapsed() >= 150); // 200 ms on a coarse timer

    QVERIFY(sendFromArea1(r.w, "x", false));
    r.press("clearReceiveButton");
    r.press("clearCountButton");
    for (const char *caption : { "发帧数", "发字节数", "收帧数", "收字节数" })
        QCOMPARE(counter(r.w, caption), QStringLiteral("0"));
    // Counting starts again from zero; rx() checks one chunk and two bytes.
    QVERIFY(sendFromArea1(r.w, "yz", false));
    QTRY_COMPARE(counter(r.w, "发帧数") + ' ' + counter(r.w, "发字节数"), QStringLiteral("1 2"));
    r.press("clearReceiveButton");
    QVERIFY(r.rx("ab"));
    QCOMPARE(receiveText(r.w), QStringLiteral("ab"));

    // Auto-clear waits until the pane has to scroll.
    const QByteArray tall = QByteArray("row\n").repeated(120);
    QVERIFY(r.rx(tall));
    QCOMPARE(receiveText(r.w), QStringLiteral("ab ") + QString::fromLatin1(tall));
    QTRY_VERIFY_WITH_TIMEOUT(receivePane(r.w)->verticalScrollBar()->isVisible(), 5000);
    QVERIFY(r.rx("END"));
    QCOMPARE(receiveText(r.w), QStringLiteral("END"));
}

void ReceiveTest::capture()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("capture.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old\n") == 4);
    file.close();
    Rig r;
    QVERIFY(r.open);
    r.set("hexRecvCheck", false);
    r.set("showSaveSendCheck", true);
    QVERIFY(r.startCapture(file.fileName()));

    QVERIFY(r.rx("x\xe6\x94"));
    QVERIFY(r.rx("\xb6y"));
    QVERIFY(sendFromArea1(r.w, "C", false));
    QTRY_COMPARE(receiveText(r.w), QStringLiteral("[接收] x [接收] 收y [发送] C"));
    r.set("frameNewlineCheck", true); // the line's own line feed is not doubled
    QVERIFY(r.rx("D"));
    r.set("stopDisplayButton", true);
    QVERIFY(r.rx("E"));
    r.set("stopDisplayButton", false);
    // A lead byte left before reopening must not spoil the next character.
    QVERIFY(r.rx("A\xe6"));
    QVERIFY(closePort(r.w));
    QVERIFY(openPort(r.w, r.pty.slavePath()));
    QVERIFY(r.rx(QStringLiteral("收").toUtf8()));
    r.set("keywordFilterCheck", true);
    byName<QLineEdit>(r.w, "keywordEdit")->setText("zz");
    QVERIFY(r.rx("F"));
    QVERIFY(sendFromArea1(r.w, "G", false)); // the filter drops sent chunks too
    // Every line is in the file while capture is still on.
    const QString lines = QStringLiteral("old\n[接收] x\n[接收] 收y\n[发送] C\n[接收] D\n"
                                         "[接收] A\n[接收] 收\n");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), lines);
    file.close();
    r.press("saveDataButton");
    QVERIFY(r.rx("zz"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), lines);

    // "更改文件" only names the file; nothing is created.
    r.boxes.chooseFile(dir.filePath("log.txt"));
    r.press("changeFileButton");
    QCOMPARE(byName<QLineEdit>(r.w, "captureFileEdit")->text(), QStringLiteral("log.txt"));
    QVERIFY(!QFile::exists(dir.filePath("log.txt")));

    const int before = r.boxes.count();
    QVERIFY(!r.startCapture(dir.filePath("missing/none.txt")));
    QVERIFY(r.boxes.waitForCount(before + 2));
    QCOMPARE(r.boxes.last().title, QStringLiteral("错误"));
    QVERIFY(r.boxes.last().text.startsWith(QStringLiteral("无法打开文件: ")));

    r.set("keywordFilterCheck", false);
    QVERIFY(r.startCapture("/dev/full"));
    const int opened = r.boxes.count();
    QVERIFY(r.rx("first"));
    QVERIFY(r.boxes.waitForCount(opened + 1));
    QCOMPARE(r.boxes.last().title, QStringLiteral("错误"));
    QVERIFY(r.boxes.last().text.startsWith(QStringLiteral("无法写入文件: ")));
    QCOMPARE(captureButtonText(r.w), QStringLiteral("保存数据"));
    // Capture is off, so the next chunk must not warn again.
    QVERIFY(r.rx("later"));
    QVERIFY(!r.boxes.waitForCount(opened + 2, 300));
}

QUORVEL_TEST_MAIN(ReceiveTest)
#include "tst_receive.moc"
