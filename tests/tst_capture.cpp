// Capture of the shown traffic into a file: choosing, appending, the lines
// written, stopping, failures, and the suggested file name.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

using namespace testsupport;

namespace {

struct DialogSeen
{
    QString title;
    QString prefilled;
};

// Picks path in the next file dialog, noting its title and the name it
// offered. The name field ignores selectFile() while it has focus, so the
// field is set directly.
ModalHandler::Answer chooseInDialog(const QString &path, DialogSeen *seen = nullptr)
{
    return [path, seen](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        if (!dialog) {
            if (auto *other = qobject_cast<QDialog *>(widget))
                other->reject();
            return;
        }
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (seen) {
            seen->title = dialog->windowTitle();
            seen->prefilled = name ? name->text() : QString();
        }
        dialog->selectFile(path);
        if (name)
            name->setText(path);
        // Queued, so that an overwrite question is answered by a fresh poll.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    };
}

ModalHandler::Answer cancelDialog(DialogSeen *seen)
{
    return [seen](QWidget *widget) {
        if (auto *dialog = qobject_cast<QFileDialog *>(widget)) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            seen->title = dialog->windowTitle();
            seen->prefilled = name ? name->text() : QString();
        }
        if (auto *dialog = qobject_cast<QDialog *>(widget))
            dialog->reject();
    };
}

QAbstractButton *saveButton(QWidget *window)
{
    QAbstractButton *button =
            findButton(window, QStringLiteral("保存数据"), QStringLiteral("接收区设置"));
    return button ? button
                  : findButton(window, QStringLiteral("停止保存"), QStringLiteral("接收区设置"));
}

QLineEdit *captureNameEdit(QWidget *window)
{
    // The only line edit in the receive settings group.
    const auto edits = findGroup(window, QStringLiteral("接收区设置"))->findChildren<QLineEdit *>();
    return edits.size() == 1 ? edits.first() : nullptr;
}

bool startCapture(QWidget *window, ModalHandler &boxes, const QString &path)
{
    boxes.answerNext(chooseInDialog(path));
    click(saveButton(window));
    return QTest::qWaitFor([&] { return saveButton(window)->text() == QStringLiteral("停止保存"); },
                           5000);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Whether this process holds a descriptor on the file.
bool heldOpen(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/self/fd"));
    const auto entries = fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.symLinkTarget() == target)
            return true;
    }
    return false;
}

} // namespace

class CaptureTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void appendsToExistingFile();
    void capturedLines_data();
    void capturedLines();
    void stampsAndTagsMatchThePane();
    void nothingWhileStoppedOrFiltered();
    void stopCaptureClosesWithoutDialog();
    void changeFileShowsOnlyTheName();
    void openingFailure_data();
    void openingFailure();
    void writeFailureStopsCapture();
    void closingTheWindowClosesTheFile();
};

void CaptureTest::appendsToExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("existing.txt"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old line\n");
    }

    Pty pty;
    MainWindow window;
    QLineEdit *name = captureNameEdit(&window);
    QVERIFY(name);
    QCOMPARE(name->text(), QStringLiteral("data.txt"));
    name->setText(QStringLiteral("typed.txt"));

    // Capture may start before the port is open.
    ModalHandler boxes;
    DialogSeen dialog;
    boxes.answerNext(chooseInDialog(path, &dialog));
    click(saveButton(&window));
    QTRY_COMPARE_WITH_TIMEOUT(saveButton(&window)->text(), QStringLiteral("停止保存"), 5000);
    QCOMPARE(dialog.title, QStringLiteral("保存接收数据"));
    QCOMPARE(dialog.prefilled, QStringLiteral("typed.txt"));
    // The dialog asked before choosing an existing file; the answer was yes.
    QCOMPARE(boxes.count(), 2);
    QCOMPARE(boxes.seen().at(1).className, QStringLiteral("QMessageBox"));
    QCOMPARE(name->text(), QStringLiteral("typed.txt"));
    QVERIFY(!QFile::exists(QStringLiteral("typed.txt")));
    QCOMPARE(contentOf(path), QByteArray("old line\n"));

    QVERIFY(openPort(&window, pty.slavePath()));
    QVERIFY(receiveChunk(&window, pty, QByteArray("AB")));
    // Flushed per chunk: on disk while the file is still open.
    QCOMPARE(contentOf(path), QByteArray("old line\n41 42\n"));
    QVERIFY(receiveChunk(&window, pty, QByteArray("C")));
    QCOMPARE(contentOf(path), QByteArray("old line\n41 42\n43\n"));

    // Closing the port leaves capture on.
    QVERIFY(closePort(&window));
    QCOMPARE(saveButton(&window)->text(), QStringLiteral("停止保存"));
    QVERIFY(heldOpen(path));
}

void CaptureTest::capturedLines_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("frameNewline");
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("hex, continuous")
            << true << false << QList<QByteArray>{ "AB", "C" } << QByteArray("41 42\n43\n");
    QTest::newRow("hex, frame newline")
            << true << true << QList<QByteArray>{ "AB", "C" } << QByteArray("41 42\n43\n");
    QTest::newRow("text ending in line feed, continuous")
            << false << false << QList<QByteArray>{ "hi\n", "x" } << QByteArray("hi\nx\n");
    QTest::newRow("text ending in line feed, frame newline")
            << false << true << QList<QByteArray>{ "hi\n", "x" } << QByteArray("hi\n\nx\n");
    QTest::newRow("text with carriage return")
            << false << false << QList<QByteArray>{ "a\r\nb" } << QByteArray("a\r\nb\n");
    QTest::newRow("chinese without byte-order mark")
            << false << false << QList<QByteArray>{ QStringLiteral("收到").toUtf8() }
            << QStringLiteral("收到\n").toUtf8();
    QTest::newRow("zero byte keeps the rest")
            << false << false << QList<QByteArray>{ QByteArray("A\0B", 3) }
            << QByteArray("A\0B\n", 4);
    // A character split over two reads is written whole; the chunk
    // boundary stays where it was.
    QTest::newRow("split character") << false << false << QList<QByteArray>{ "x\xe6\x94", "\xb6y" }
                                     << QStringLiteral("x\n收y\n").toUtf8();
    QTest::newRow("split character, hex")
            << true << false << QList<QByteArray>{ "x\xe6\x94", "\xb6y" }
            << QByteArray("78 E6 94\nB6 79\n");
    QTest::newRow("malformed bytes") << false << false << QList<QByteArray>{ "\xff", "\xb6" }
                                     << QStringLiteral("\uFFFD\n\uFFFD\n").toUtf8();
}

void CaptureTest::capturedLines()
{
    QFETCH(bool, hex);
    QFETCH(bool, frameNewline);
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, file);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("capture.txt"));
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    findCheck(&window, QStringLiteral("16进制"), QStringLiteral("接收区设置"))->setChecked(hex);
    findCheck(&window, QStringLiteral("帧换行"))->setChecked(frameNewline);
    ModalHandler boxes;
    QVERIFY(startCapture(&window, boxes, path));
    QCOMPARE(boxes.count(), 1); // a new file needs no confirmation

    for (const QByteArray &chunk : chunks)
        QVERIFY(receiveChunk(&window, pty, chunk));
    QCOMPARE(contentOf(path), file);
}

void CaptureTest::stampsAndTagsMatchThePane()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tagged.txt"));
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    findCheck(&window, QStringLiteral("显示保存时间"))->setChecked(true);
    findCheck(&window, QStringLiteral("显示保存发送"))->setChecked(true);
    ModalHandler boxes;
    QVERIFY(startCapture(&window, boxes, path));

    QVERIFY(receiveChunk(&window, pty, QByteArray("AB")));
    QVERIFY(sendFromArea1(&window, QStringLiteral("CD"), false));
    QVERIFY(pty.waitForBytes(2));

    const QString file = QString::fromUtf8(contentOf(path));
    const QRegularExpression lines(
            QStringLiteral("^(\\[\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d\\] \\[接收\\] 41 42)\\n"
                           "(\\[\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d\\] \\[发送\\] 43 44)\\n$"));
    const QRegularExpressionMatch match = lines.match(file);
    QVERIFY2(match.hasMatch(), qPrintable(file));
    // The pane runs the same two lines on with one blank.
    QCOMPARE(receiveText(&window), match.captured(1) + QLatin1Char(' ') + match.captured(2));
}

void CaptureTest::nothingWhileStoppedOrFiltered()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("filtered.txt"));
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    ModalHandler boxes;
    QVERIFY(startCapture(&window, boxes, path));

    QVERIFY(receiveChunk(&window, pty, QByteArray("\x01")));
    QAbstractButton *stop = findButton(&window, QStringLiteral("停止显示"));
    click(stop);
    QVERIFY(receiveChunk(&window, pty, QByteArray("\x02")));
    QVERIFY(sendFromArea1(&window, QStringLiteral("03"), true));
    QVERIFY(pty.waitForBytes(1));
    QCOMPARE(contentOf(path), QByteArray("01\n"));
    click(stop);

    findCheck(&window, QStringLiteral("关键字过滤接收"))->setChecked(true);
    const auto edits = window.findChildren<QLineEdit *>();
    for (QLineEdit *edit : edits) {
        if (edit->placeholderText() == QStringLiteral("关键字"))
            edit->setText(QStringLiteral("ZZ"));
    }
    QVERIFY(receiveChunk(&window, pty, QByteArray("no")));
    QVERIFY(sendFromArea1(&window, QStringLiteral("no"), false));
    QVERIFY(pty.waitForBytes(3));
    QCOMPARE(contentOf(path), QByteArray("01\n"));
    QVERIFY(receiveChunk(&window, pty, QByteArray("ZZ")));
    QVERIFY(sendFromArea1(&window, QStringLiteral("aZZ"), false));
    QCOMPARE(contentOf(path), QByteArray("01\n5A 5A\n61 5A 5A\n"));
}

void CaptureTest::stopCaptureClosesWithoutDialog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stopped.txt"));
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    ModalHandler boxes;
    QVERIFY(startCapture(&window, boxes, path));
    QVERIFY(heldOpen(path));
    QVERIFY(receiveChunk(&window, pty, QByteArray("\x01")));

    click(saveButton(&window));
    QCOMPARE(saveButton(&window)->text(), QStringLiteral("保存数据"));
    QCOMPARE(boxes.count(), 1);
    QVERIFY(!heldOpen(path));
    QVERIFY(receiveChunk(&window, pty, QByteArray("\x02")));
    QCOMPARE(contentOf(path), QByteArray("01\n"));

    // The next press asks again, from the suggested name.
    DialogSeen dialog;
    boxes.answerNext(cancelDialog(&dialog));
    click(saveButton(&window));
    QCOMPARE(boxes.count(), 2);
    QCOMPARE(dialog.title, QStringLiteral("保存接收数据"));
    QCOMPARE(dialog.prefilled, QStringLiteral("data.txt"));
    QCOMPARE(saveButton(&window)->text(), QStringLiteral("保存数据"));
    QVERIFY(receiveChunk(&window, pty, QByteArray("\x03")));
    QCOMPARE(contentOf(path), QByteArray("01\n"));
}

void CaptureTest::changeFileShowsOnlyTheName()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub")));
    const QString suggested = dir.filePath(QStringLiteral("sub/log.txt"));
    const QString capturePath = dir.filePath(QStringLiteral("first.txt"));
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QAbstractButton *change =
            findButton(&window, QStringLiteral("更改文件"), QStringLiteral("接收区设置"));
    QVERIFY(change);
    QLineEdit *name = captureNameEdit(&window);

    ModalHandler boxes;
    DialogSeen dialog;
    boxes.answerNext(chooseInDialog(suggested, &dialog));
    click(change);
    QTRY_COMPARE_WITH_TIMEOUT(name->text(), QStringLiteral("log.txt"), 5000);
    QCOMPARE(dialog.title, QStringLiteral("选择保存文件"));
    QCOMPARE(dialog.prefilled, QStringLiteral("data.txt"));
    QVERIFY(!QFile::exists(suggested));
    QCOMPARE(saveButton(&window)->text(), QStringLiteral("保存数据"));

    // Cancelling changes nothing.
    boxes.answerNext(cancelDialog(&dialog));
    click(change);
    QCOMPARE(dialog.prefilled, QStringLiteral("log.txt"));
    QCOMPARE(name->text(), QStringLiteral("log.txt"));

    // A running capture goes on into its own file.
    QVERIFY(startCapture(&window, boxes, capturePath));
    boxes.answerNext(chooseInDialog(dir.filePath(QStringLiteral("other.txt"))));
    click(change);
    QTRY_COMPARE_WITH_TIMEOUT(name->text(), QStringLiteral("other.txt"), 5000);
    QCOMPARE(saveButton(&window)->text(), QStringLiteral("停止保存"));
    QVERIFY(receiveChunk(&window, pty, QByteArray("\x42")));
    QCOMPARE(contentOf(capturePath), QByteArray("42\n"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("other.txt"))));
}

void CaptureTest::openingFailure_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<bool>("danglingLink");
    QTest::newRow("missing folder") << "missing/none.txt" << false;
    QTest::newRow("link into a missing folder") << "link.txt" << true;
}

void CaptureTest::openingFailure()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, danglingLink);

    QTemporaryDir dir;
    const QString path = dir.filePath(relativePath);
    if (danglingLink)
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone/target.txt")), path));
    QFile probe(path);
    QVERIFY(!probe.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text));
    const QString reason = probe.errorString();

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    ModalHandler boxes;
    boxes.answerNext(chooseInDialog(path));
    click(saveButton(&window));
    QVERIFY(boxes.waitForCount(2));
    QCOMPARE(boxes.last().className, QStringLiteral("QMessageBox"));
    QCOMPARE(boxes.last().title, QStringLiteral("错误"));
    QCOMPARE(boxes.last().text, QStringLiteral("无法打开文件: ") + reason);
    QTRY_COMPARE_WITH_TIMEOUT(boxes.openNow(), 0, 5000);
    QCOMPARE(saveButton(&window)->text(), QStringLiteral("保存数据"));

    // Capture stayed off: the next press opens the dialog again.
    QVERIFY(receiveChunk(&window, pty, QByteArray("x")));
    boxes.cancelNext();
    click(saveButton(&window));
    QCOMPARE(boxes.count(), 3);
    QCOMPARE(boxes.last().title, QStringLiteral("保存接收数据"));
}

void CaptureTest::writeFailureStopsCapture()
{
    const QString full = QStringLiteral("/dev/full");
    if (!QFileInfo::exists(full))
        QSKIP("no /dev/full on this system");

    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    ModalHandler boxes;
    QVERIFY(startCapture(&window, boxes, full));
    const int before = boxes.count();

    // Keep the warning open while more chunks arrive: none adds a box.
    QString captionDuringBox;
    boxes.answerNext([&](QWidget *widget) {
        captionDuringBox = saveButton(&window)->text();
        for (int i = 0; i < 3; ++i)
            pty.write(QByteArray(1, char('a' + i)));
        QTest::qWait(100);
        if (auto *box = qobject_cast<QMessageBox *>(widget))
            box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(pty.write(QByteArray("first")));
    QVERIFY(boxes.waitForCount(before + 1));
    QTRY_COMPARE_WITH_TIMEOUT(boxes.openNow(), 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(counter(&window, QStringLiteral("收字节数")), QStringLiteral("8"),
                              5000);
    QVERIFY(receiveChunk(&window, pty, QByteArray("later")));
    QCOMPARE(boxes.count(), before + 1);

    const ModalHandler::Record warning = boxes.last();
    QCOMPARE(warning.className, QStringLiteral("QMessageBox"));
    QCOMPARE(warning.title, QStringLiteral("错误"));
    const QString prefix = QStringLiteral("无法写入文件: ");
    QVERIFY2(warning.text.startsWith(prefix) && warning.text.size() > prefix.size(),
             qPrintable(warning.text));
    // Capture was already off when the user was told.
    QCOMPARE(captionDuringBox, QStringLiteral("保存数据"));
    QCOMPARE(saveButton(&window)->text(), QStringLiteral("保存数据"));
    QVERIFY(!heldOpen(full));
    // Display is unaffected.
    QVERIFY(receiveText(&window).endsWith(QStringLiteral("6C 61 74 65 72")));
}

void CaptureTest::closingTheWindowClosesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("closed.txt"));
    Pty pty;
    {
        auto window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(openPort(window.get(), pty.slavePath()));
        ModalHandler boxes;
        QVERIFY(startCapture(window.get(), boxes, path));
        captureNameEdit(window.get())->setText(QStringLiteral("renamed.txt"));
        QVERIFY(receiveChunk(window.get(), pty, QByteArray("\x0a\x0b")));
        QVERIFY(receiveChunk(window.get(), pty, QByteArray("\x0c")));
        QVERIFY(window->close());
    }
    QVERIFY(!heldOpen(path));
    QCOMPARE(contentOf(path), QByteArray("0A 0B\n0C\n"));

    // Neither the capture state nor the name outlives the window.
    MainWindow next;
    QCOMPARE(saveButton(&next)->text(), QStringLiteral("保存数据"));
    QCOMPARE(captureNameEdit(&next)->text(), QStringLiteral("data.txt"));
}

QUORVEL_TEST_MAIN(CaptureTest)
#include "tst_capture.moc"
