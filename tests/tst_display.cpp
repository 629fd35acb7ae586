// The receive pane: bodies, time stamps, tags, keyword filter, stop display,
// auto-clear, paragraph modes, counters and lamps, driven through a real
// pseudo-terminal and the window's own buttons.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTime>

using namespace testsupport;

namespace {

QCheckBox *receiveOption(QWidget *window, const QString &caption)
{
    return findCheck(window, caption, QStringLiteral("接收区设置"));
}

QCheckBox *displayOption(QWidget *window, const QString &caption)
{
    return findCheck(window, caption, QStringLiteral("显示选项"));
}

QLineEdit *keywordEdit(QWidget *window)
{
    const auto edits = window->findChildren<QLineEdit *>();
    for (QLineEdit *edit : edits) {
        if (edit->placeholderText() == QStringLiteral("关键字"))
            return edit;
    }
    return nullptr;
}

QLabel *lamp(QWidget *window, const QString &caption)
{
    const auto labels = window->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text() == caption)
            return label;
    }
    return nullptr;
}

// Records every style sheet a widget is given, with the time it came.
class StyleRecorder : public QObject
{
public:
    explicit StyleRecorder(QWidget *watched)
        : widget(watched)
    {
        clock.start();
        watched->installEventFilter(this);
    }
    struct Change
    {
        qint64 ms;
        QString sheet;
    };
    QVector<Change> changes;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (object == widget && event->type() == QEvent::StyleChange) {
            const QString sheet = widget->styleSheet();
            if (changes.isEmpty() || changes.last().sheet != sheet)
                changes.append({ clock.elapsed(), sheet });
        }
        return false;
    }

private:
    QWidget *widget;
    QElapsedTimer clock;
};

const QString litStyle = QStringLiteral("color: #00CC00; font-weight: bold;");
const QString darkStyle = QStringLiteral("color: gray;");

} // namespace

class DisplayTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void bodies_data();
    void bodies();
    void timeStampAndTags_data();
    void timeStampAndTags();
    void sentChunkIsShownWithReceiveOptions();
    void keywordFilter_data();
    void keywordFilter();
    void stopDisplay();
    void stopDisplaySlotDoesNothing();
    void autoClear_data();
    void autoClear();
    void continuousDisplay();
    void frameNewline();
    void countersAndClearCount();
    void lamps_data();
    void lamps();
    void splitCharacters_data();
    void splitCharacters();
    void splitStateResetOnReopen();
    void splitStateIgnoresSentChunks();
    void splitStateFollowsStreamWhileStopped();
};

void DisplayTest::bodies_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QString>("shown");
    QTest::newRow("hex line end") << true << QByteArray("H\r\n") << QStringLiteral("48 0D 0A");
    QTest::newRow("hex zero bytes")
            << true << QByteArray("AB\0CD", 5) << QStringLiteral("41 42 00 43 44");
    QTest::newRow("hex high bytes") << true << QByteArray("\xff\x80") << QStringLiteral("FF 80");
    QTest::newRow("text ascii") << false << QByteArray("Hello") << QStringLiteral("Hello");
    QTest::newRow("text chinese") << false << QStringLiteral("收到数据").toUtf8()
                                  << QStringLiteral("收到数据");
    QTest::newRow("text malformed") << false
                                    << QByteArray("a\xff"
                                                  "b")
                                    << QStringLiteral("a\uFFFDb");
    // Nothing after a zero byte may be lost.
    QTest::newRow("text zero byte") << false << QByteArray("AB\0CD", 5)
                                    << QStringLiteral("AB") + QChar(0) + QStringLiteral("CD");
    QTest::newRow("text line break")
            << false << QByteArray("one\ntwo") << QStringLiteral("one\ntwo");
}

void DisplayTest::bodies()
{
    QFETCH(bool, hex);
    QFETCH(QByteArray, chunk);
    QFETCH(QString, shown);

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QCheckBox *hexRecv = receiveOption(&window, QStringLiteral("16进制"));
    QVERIFY(hexRecv);
    QVERIFY(hexRecv->isChecked());
    hexRecv->setChecked(hex);

    QVERIFY(receiveChunk(&window, pty, chunk));
    QCOMPARE(receiveText(&window), shown);
}

void DisplayTest::timeStampAndTags_data()
{
    QTest::addColumn<bool>("time");
    QTest::addColumn<bool>("tag");
    QTest::newRow("neither") << false << false;
    QTest::newRow("time only") << true << false;
    QTest::newRow("tag only") << false << true;
    QTest::newRow("time and tag") << true << true;
}

void DisplayTest::timeStampAndTags()
{
    QFETCH(bool, time);
    QFETCH(bool, tag);

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    displayOption(&window, QStringLiteral("显示保存时间"))->setChecked(time);
    displayOption(&window, QStringLiteral("显示保存发送"))->setChecked(tag);
    displayOption(&window, QStringLiteral("帧换行"))->setChecked(true);

    const QTime before = QTime::currentTime();
    QVERIFY(receiveChunk(&window, pty, QByteArray("AB")));
    QVERIFY(sendFromArea1(&window, QStringLiteral("CD"), false));
    const QTime after = QTime::currentTime();
    QVERIFY(pty.waitForBytes(2));
    QCOMPARE(pty.take(), QByteArray("CD"));

    const QString stampPattern = QStringLiteral("\\[(\\d\\d):(\\d\\d):(\\d\\d):(\\d\\d\\d)\\] ");
    const QString stamp = time ? stampPattern : QString();
    const QRegularExpression expected(
            QStringLiteral("^%1%2%3\\n\\n%1%4%5\\n$")
                    .arg(stamp, tag ? QStringLiteral("\\[接收\\] ") : QString(),
                         QStringLiteral("41 42"), tag ? QStringLiteral("\\[发送\\] ") : QString(),
                         QStringLiteral("43 44")));
    const QString text = receiveText(&window);
    QVERIFY2(expected.match(text).hasMatch(), qPrintable(text));

    if (!time)
        return;
    // Both stamps were read between the two clock readings above.
    auto it = QRegularExpression(stampPattern).globalMatch(text);
    int stamps = 0;
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QTime stamped(match.captured(1).toInt(), match.captured(2).toInt(),
                            match.captured(3).toInt(), match.captured(4).toInt());
        QVERIFY(stamped.isValid());
        ++stamps;
        // Too close to midnight for the bounds to be compared.
        if (before.msecsSinceStartOfDay() < 1000 || after > QTime(23, 59, 59) || after < before)
            continue;
        QVERIFY2(stamped >= before.addMSecs(-50) && stamped <= after.addMSecs(50),
                 qPrintable(match.captured(0)));
    }
    QCOMPARE(stamps, 2);
}

void DisplayTest::sentChunkIsShownWithReceiveOptions()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    displayOption(&window, QStringLiteral("帧换行"))->setChecked(true);

    // The receive pane's hex option decides the form, not the send area's.
    QVERIFY(sendFromArea1(&window, QStringLiteral("héllo"), false));
    QVERIFY(pty.waitForBytes(6));
    QCOMPARE(pty.take(), QStringLiteral("héllo").toUtf8());
    receiveOption(&window, QStringLiteral("16进制"))->setChecked(false);
    QVERIFY(sendFromArea1(&window, QStringLiteral("68 69"), true));
    QVERIFY(pty.waitForBytes(2));
    QCOMPARE(pty.take(), QByteArray("hi"));

    QCOMPARE(receiveText(&window), QStringLiteral("68 C3 A9 6C 6C 6F\n\nhi\n"));
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("2"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("8"));
}

void DisplayTest::keywordFilter_data()
{
    QTest::addColumn<bool>("filterOn");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("hexBody");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QString>("shown"); // empty: dropped

    const QByteArray crlf("ok\r\n");
    QTest::newRow("hex pairs with blank")
            << true << "0D 0A" << true << false << crlf << "6F 6B 0D 0A";
    QTest::newRow("hex pairs match in text mode")
            << true << "0D 0A" << false << false << crlf << "ok\n";
    QTest::newRow("lower-case hex misses") << true << "0d 0a" << true << false << crlf << "";
    QTest::newRow("lower-case hex found as text")
            << true << "0d 0a" << false << false << QByteArray("x0d 0ay") << "x0d 0ay";
    QTest::newRow("hex pairs without blank") << true << "0D0A" << true << false << crlf << "";
    QTest::newRow("text form") << true << "ok" << false << false << QByteArray("it is ok")
                               << "it is ok";
    QTest::newRow("case-sensitive")
            << true << "OK" << false << false << QByteArray("it is ok") << "";
    QTest::newRow("chinese text") << true << "收" << true << false
                                  << QStringLiteral("收到").toUtf8() << "E6 94 B6 E5 88 B0";
    QTest::newRow("blanks only") << true << "   " << true << false << QByteArray("abc")
                                 << "61 62 63";
    QTest::newRow("keyword trimmed") << true << "  41 " << true << false << QByteArray("A") << "41";
    QTest::newRow("text after zero byte")
            << true << "needle" << false << false << QByteArray("A\0needle", 8)
            << QStringLiteral("A") + QChar(0) + QStringLiteral("needle");
    QTest::newRow("filter off") << false << "zz" << true << false << QByteArray("abc")
                                << "61 62 63";
    QTest::newRow("sent without keyword")
            << true << "zz" << true << true << QByteArray("abc") << "";
    QTest::newRow("sent with keyword")
            << true << "zz" << true << true << QByteArray("has zz") << "68 61 73 20 7A 7A";
    QTest::newRow("sent hex keyword")
            << true << "61 62" << false << true << QByteArray("ab") << "ab";
}

void DisplayTest::keywordFilter()
{
    QFETCH(bool, filterOn);
    QFETCH(QString, keyword);
    QFETCH(bool, hexBody);
    QFETCH(bool, sent);
    QFETCH(QByteArray, chunk);
    QFETCH(QString, shown);

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QCheckBox *filter = displayOption(&window, QStringLiteral("关键字过滤接收"));
    QVERIFY(filter);
    QVERIFY(!filter->isChecked());
    filter->setChecked(filterOn);
    QVERIFY(keywordEdit(&window));
    keywordEdit(&window)->setText(keyword);
    receiveOption(&window, QStringLiteral("16进制"))->setChecked(hexBody);

    if (sent) {
        QVERIFY(sendFromArea1(&window, QString::fromUtf8(chunk), false));
        QVERIFY(pty.waitForBytes(chunk.size()));
        QCOMPARE(pty.take(), chunk);
        QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("1"));
    } else {
        QVERIFY(receiveChunk(&window, pty, chunk));
    }
    // A dropped chunk is still counted.
    const QString sizeText = QString::number(chunk.size());
    QCOMPARE(counter(&window, sent ? QStringLiteral("发字节数") : QStringLiteral("收字节数")),
             sizeText);
    QCOMPARE(receiveText(&window), shown);
}

void DisplayTest::stopDisplay()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QAbstractButton *stop =
            findButton(&window, QStringLiteral("停止显示"), QStringLiteral("接收区设置"));
    QVERIFY(stop);
    QVERIFY(stop->isCheckable());
    QVERIFY(!stop->isChecked());

    QVERIFY(receiveChunk(&window, pty, QByteArray("\x01")));
    click(stop);
    QCOMPARE(stop->text(), QStringLiteral("继续显示"));
    QVERIFY(stop->isChecked());

    QVERIFY(receiveChunk(&window, pty, QByteArray("\x02\x03")));
    QVERIFY(sendFromArea1(&window, QStringLiteral("04"), true));
    QVERIFY(pty.waitForBytes(1));
    QCOMPARE(receiveText(&window), QStringLiteral("01"));
    QCOMPARE(counter(&window, QStringLiteral("收帧数")), QStringLiteral("2"));
    QCOMPARE(counter(&window, QStringLiteral("收字节数")), QStringLiteral("3"));
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("1"));

    click(stop);
    QCOMPARE(stop->text(), QStringLiteral("停止显示"));
    QVERIFY(receiveChunk(&window, pty, QByteArray("\x05")));
    QCOMPARE(receiveText(&window), QStringLiteral("01 05"));
}

void DisplayTest::stopDisplaySlotDoesNothing()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QAbstractButton *stop = findButton(&window, QStringLiteral("停止显示"));
    QVERIFY(stop);

    // Display follows the button alone, not the slot.
    QVERIFY(QMetaObject::invokeMethod(&window, "onStopDisplayToggled", Q_ARG(bool, true)));
    QCOMPARE(stop->text(), QStringLiteral("停止显示"));
    QVERIFY(!stop->isChecked());
    QVERIFY(receiveChunk(&window, pty, QByteArray("\x11")));
    QCOMPARE(receiveText(&window), QStringLiteral("11"));

    click(stop);
    QVERIFY(QMetaObject::invokeMethod(&window, "onStopDisplayToggled", Q_ARG(bool, false)));
    QCOMPARE(stop->text(), QStringLiteral("继续显示"));
    QVERIFY(stop->isChecked());
    QVERIFY(receiveChunk(&window, pty, QByteArray("\x22")));
    QCOMPARE(receiveText(&window), QStringLiteral("11"));
}

void DisplayTest::autoClear_data()
{
    QTest::addColumn<bool>("autoClear");
    QTest::addColumn<QString>("last"); // "shown", "filtered" or "stopped"
    QTest::newRow("cleared, then shown alone") << true << "shown";
    QTest::newRow("no auto-clear") << false << "shown";
    QTest::newRow("dropped chunk still clears") << true << "filtered";
    QTest::newRow("stopped display clears nothing") << true << "stopped";
}

void DisplayTest::autoClear()
{
    QFETCH(bool, autoClear);
    QFETCH(QString, last);

    Pty pty;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(openPort(&window, pty.slavePath()));
    QCheckBox *clearCheck = receiveOption(&window, QStringLiteral("自动清"));
    QVERIFY(clearCheck);
    QVERIFY(clearCheck->isChecked());
    clearCheck->setChecked(autoClear);
    receiveOption(&window, QStringLiteral("16进制"))->setChecked(false);
    QScrollBar *bar = receivePane(&window)->verticalScrollBar();

    // Nothing is cleared while the whole content fits.
    for (const char *chunk : { "a", "b", "c" })
        QVERIFY(receiveChunk(&window, pty, QByteArray(chunk)));
    QVERIFY(!bar->isVisible());
    QCOMPARE(receiveText(&window), QStringLiteral("a b c"));

    QByteArray tall;
    for (int i = 0; i < 120; ++i)
        tall += "row\n";
    QVERIFY(receiveChunk(&window, pty, tall));
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 5000);
    const QString full = receiveText(&window);
    QCOMPARE(full, QStringLiteral("a b c ") + QString::fromLatin1(tall));

    if (last == QStringLiteral("filtered")) {
        displayOption(&window, QStringLiteral("关键字过滤接收"))->setChecked(true);
        keywordEdit(&window)->setText(QStringLiteral("zz"));
    } else if (last == QStringLiteral("stopped")) {
        click(findButton(&window, QStringLiteral("停止显示")));
    }
    QVERIFY(receiveChunk(&window, pty, QByteArray("END")));

    QString expected;
    if (last == QStringLiteral("stopped"))
        expected = full;
    else if (!autoClear)
        expected = full + QStringLiteral(" END");
    else if (last == QStringLiteral("shown"))
        expected = QStringLiteral("END");
    QCOMPARE(receiveText(&window), expected);
}

void DisplayTest::continuousDisplay()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QCheckBox *hexRecv = receiveOption(&window, QStringLiteral("16进制"));

    QVERIFY(receiveChunk(&window, pty, QByteArray("A")));
    // Options apply from the next chunk on.
    hexRecv->setChecked(false);
    QVERIFY(receiveChunk(&window, pty, QByteArray("one")));
    QVERIFY(receiveChunk(&window, pty, QByteArray("two\nthree")));
    QVERIFY(receiveChunk(&window, pty, QByteArray("four")));
    QCOMPARE(receiveText(&window), QStringLiteral("41 one two\nthree four"));

    // The user's selection is dropped and the cursor follows the data.
    QPlainTextEdit *pane = receivePane(&window);
    QTextCursor selection = pane->textCursor();
    selection.setPosition(0);
    selection.setPosition(2, QTextCursor::KeepAnchor);
    pane->setTextCursor(selection);
    QVERIFY(receiveChunk(&window, pty, QByteArray("five")));
    QVERIFY(!pane->textCursor().hasSelection());
    QVERIFY(pane->textCursor().atEnd());

    QAbstractButton *clear =
            findButton(&window, QStringLiteral("清空接收区"), QStringLiteral("接收区设置"));
    QVERIFY(clear);
    click(clear);
    QCOMPARE(receiveText(&window), QString());
    QCOMPARE(counter(&window, QStringLiteral("收帧数")), QStringLiteral("5"));

    QVERIFY(receiveChunk(&window, pty, QByteArray("six")));
    QCOMPARE(receiveText(&window), QStringLiteral("six"));
}

void DisplayTest::frameNewline()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QCheckBox *newline = displayOption(&window, QStringLiteral("帧换行"));
    QVERIFY(newline);
    QVERIFY(!newline->isChecked());
    newline->setChecked(true);

    QVERIFY(receiveChunk(&window, pty, QByteArray("A")));
    QVERIFY(receiveChunk(&window, pty, QByteArray("BC")));
    QCOMPARE(receiveText(&window), QStringLiteral("41\n\n42 43\n"));

    receiveOption(&window, QStringLiteral("16进制"))->setChecked(false);
    QVERIFY(receiveChunk(&window, pty, QByteArray("x\n")));
    QCOMPARE(receiveText(&window), QStringLiteral("41\n\n42 43\n\nx\n\n"));

    click(findButton(&window, QStringLiteral("清空接收区")));
    QVERIFY(receiveChunk(&window, pty, QByteArray("y")));
    QCOMPARE(receiveText(&window), QStringLiteral("y\n"));

    // Back to continuous: the next chunk runs on after one blank.
    newline->setChecked(false);
    QVERIFY(receiveChunk(&window, pty, QByteArray("z")));
    QCOMPARE(receiveText(&window), QStringLiteral("y\n z"));
}

void DisplayTest::countersAndClearCount()
{
    QTemporaryDir dir;
    const QString sendFile = dir.filePath(QStringLiteral("lines.txt"));
    {
        QFile file(sendFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("11\n22\n33\n");
    }

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    for (const QString &caption :
         { QStringLiteral("发帧数"), QStringLiteral("发字节数"), QStringLiteral("收帧数"),
           QStringLiteral("收字节数"), QStringLiteral("文件行数"), QStringLiteral("当前发送行") }) {
        QLineEdit *edit = lineEditOfRow(&window, caption);
        QVERIFY2(edit, qPrintable(caption));
        QCOMPARE(edit->text(), QStringLiteral("0"));
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    }

    QVERIFY(receiveChunk(&window, pty, QByteArray("1")));
    QVERIFY(receiveChunk(&window, pty, QByteArray("12345")));
    QVERIFY(receiveChunk(&window, pty, QByteArray(1000, 'x')));
    QCOMPARE(counter(&window, QStringLiteral("收帧数")), QStringLiteral("3"));
    QCOMPARE(counter(&window, QStringLiteral("收字节数")), QStringLiteral("1006"));

    QVERIFY(sendFromArea1(&window, QStringLiteral("abc"), false));
    QVERIFY(sendFromArea1(&window, QStringLiteral("01 02"), true));
    QVERIFY(pty.waitForBytes(5));
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("2"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("5"));

    // Give "文件行数" and "当前发送行" values of their own.
    ModalHandler dialogs;
    dialogs.answerNext(typeFileName(sendFile));
    click(findButton(&window, QStringLiteral("选择发送文件")));
    QCOMPARE(counter(&window, QStringLiteral("文件行数")), QStringLiteral("3"));
    QAbstractButton *startFile = findButton(&window, QStringLiteral("开始文件轮发"));
    QVERIFY(startFile);
    // Sends the first line (area 1 is still in hexadecimal mode), then stops.
    click(startFile);
    QCOMPARE(counter(&window, QStringLiteral("当前发送行")), QStringLiteral("1"));
    click(startFile);
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("3"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("6"));

    QAbstractButton *clearCount =
            findButton(&window, QStringLiteral("清空计数"), QStringLiteral("计数器"));
    QVERIFY(clearCount);
    click(clearCount);
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("0"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("0"));
    QCOMPARE(counter(&window, QStringLiteral("收帧数")), QStringLiteral("0"));
    QCOMPARE(counter(&window, QStringLiteral("收字节数")), QStringLiteral("0"));
    QCOMPARE(counter(&window, QStringLiteral("文件行数")), QStringLiteral("3"));
    QCOMPARE(counter(&window, QStringLiteral("当前发送行")), QStringLiteral("1"));
    QVERIFY(!receiveText(&window).isEmpty());

    // Counting starts again from zero.
    QVERIFY(receiveChunk(&window, pty, QByteArray("ab")));
    QCOMPARE(counter(&window, QStringLiteral("收帧数")), QStringLiteral("1"));
    QCOMPARE(counter(&window, QStringLiteral("收字节数")), QStringLiteral("2"));
    QVERIFY(sendFromArea1(&window, QStringLiteral("x"), false));
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("1"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("1"));
}

void DisplayTest::lamps_data()
{
    QTest::addColumn<bool>("sent");
    QTest::newRow("receive lamp") << false;
    QTest::newRow("send lamp") << true;
}

void DisplayTest::lamps()
{
    QFETCH(bool, sent);

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    // Shown, so that every style sheet change reaches the lamp at once.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLabel *watched = lamp(&window, sent ? QStringLiteral("发送 ●") : QStringLiteral("接收 ●"));
    QLabel *other = lamp(&window, sent ? QStringLiteral("接收 ●") : QStringLiteral("发送 ●"));
    QVERIFY(watched && other);
    QCOMPARE(watched->styleSheet(), darkStyle);

    StyleRecorder recorder(watched);
    if (sent)
        QVERIFY(sendFromArea1(&window, QStringLiteral("ping"), false));
    else
        QVERIFY(receiveChunk(&window, pty, QByteArray("ping")));
    QTRY_COMPARE_WITH_TIMEOUT(watched->styleSheet(), darkStyle, 5000);

    QCOMPARE(recorder.changes.size(), 2);
    QCOMPARE(recorder.changes.at(0).sheet, litStyle);
    QCOMPARE(recorder.changes.at(1).sheet, darkStyle);
    const qint64 litFor = recorder.changes.at(1).ms - recorder.changes.at(0).ms;
    // 200 ms on a coarse timer; generous above for loaded machines.
    QVERIFY2(litFor >= 150 && litFor <= 3000, qPrintable(QString::number(litFor)));
    QCOMPARE(other->styleSheet(), darkStyle);
}

void DisplayTest::splitCharacters_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QString>("shown");

    const QList<QByteArray> chinese = { QByteArray("\xe6\x94"), QByteArray("\xb6\xe5\x88"),
                                        QByteArray("\xb0") };
    const QList<QByteArray> emoji = { QByteArray("\xf0"), QByteArray("\x9f"), QByteArray("\x98"),
                                      QByteArray("\x80") };
    QTest::newRow("text, chinese in three writes") << false << chinese << QStringLiteral("收 到");
    QTest::newRow("hex keeps chunk bytes")
            << true << chinese << QStringLiteral("E6 94\n\nB6 E5 88\n\nB0\n");
    QTest::newRow("text, emoji byte by byte") << false << emoji << QStringLiteral("😀");
    QTest::newRow("hex, emoji byte by byte")
            << true << emoji << QStringLiteral("F0\n\n9F\n\n98\n\n80\n");
    QTest::newRow("lead byte then ascii")
            << false << QList<QByteArray>{ QByteArray("x\xe6"), QByteArray("A") }
            << QStringLiteral("x \uFFFDA");
    QTest::newRow("malformed bytes")
            << false << QList<QByteArray>{ QByteArray("\xff\xfe"), QByteArray("\xb6") }
            << QStringLiteral("\uFFFD\uFFFD \uFFFD");
}

void DisplayTest::splitCharacters()
{
    QFETCH(bool, hex);
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QString, shown);

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    receiveOption(&window, QStringLiteral("16进制"))->setChecked(hex);
    displayOption(&window, QStringLiteral("帧换行"))->setChecked(hex);

    int total = 0;
    for (const QByteArray &bytes : writes) {
        // receiveChunk() waits for each part before the next is written.
        QVERIFY(receiveChunk(&window, pty, bytes));
        total += bytes.size();
    }
    QCOMPARE(receiveText(&window), shown);
    QCOMPARE(counter(&window, QStringLiteral("收帧数")), QString::number(writes.size()));
    QCOMPARE(counter(&window, QStringLiteral("收字节数")), QString::number(total));
}

void DisplayTest::splitStateResetOnReopen()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    receiveOption(&window, QStringLiteral("16进制"))->setChecked(false);

    QVERIFY(receiveChunk(&window, pty, QByteArray("\xe6\x94")));
    QVERIFY(closePort(&window));
    QVERIFY(openPort(&window, pty.slavePath()));
    // The held bytes belonged to the old connection.
    QVERIFY(receiveChunk(&window, pty, QByteArray("\xb6Z")));
    QCOMPARE(receiveText(&window), QStringLiteral("\uFFFDZ"));
}

void DisplayTest::splitStateIgnoresSentChunks()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    receiveOption(&window, QStringLiteral("16进制"))->setChecked(false);

    QVERIFY(receiveChunk(&window, pty, QByteArray("\xe6\x94")));
    // A sent chunk is decoded alone and leaves the received half untouched.
    QVERIFY(sendFromArea1(&window, QStringLiteral("B6"), true));
    QVERIFY(pty.waitForBytes(1));
    QVERIFY(receiveChunk(&window, pty, QByteArray("\xb6")));
    QCOMPARE(receiveText(&window), QStringLiteral("\uFFFD 收"));
}

void DisplayTest::splitStateFollowsStreamWhileStopped()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    receiveOption(&window, QStringLiteral("16进制"))->setChecked(false);
    QAbstractButton *stop = findButton(&window, QStringLiteral("停止显示"));

    QVERIFY(receiveChunk(&window, pty, QByteArray("A\xe6\x94")));
    click(stop);
    // Completes the held character out of sight.
    QVERIFY(receiveChunk(&window, pty,
                         QByteArray("\xb6"
                                    "B")));
    click(stop);
    // So this byte cannot be joined to bytes from before the pause.
    QVERIFY(receiveChunk(&window, pty,
                         QByteArray("\xb6"
                                    "C")));
    QCOMPARE(receiveText(&window), QStringLiteral("A \uFFFDC"));
}

QUORVEL_TEST_MAIN(DisplayTest)
#include "tst_display.moc"
