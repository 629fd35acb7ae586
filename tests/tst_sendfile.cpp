// The send file: choosing it, turning its lines into entries, and what those
// entries put on the wire through file rotation on a real pseudo-terminal.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace testsupport;

namespace {

const QString parametersGroup = QStringLiteral("轮发参数");

struct Rig
{
    Pty pty;
    MainWindow window;
    ModalHandler boxes;
    QTemporaryDir dir;
    int files = 0;

    bool open() { return openPort(&window, pty.slavePath()); }
    void press(const QString &caption) { click(findButton(&window, caption, parametersGroup)); }
    QCheckBox *hexCheck(int area)
    {
        return findCheck(&window, QStringLiteral("16进制"),
                         QStringLiteral("发送区%1属性").arg(area));
    }
    QString currentLine() { return counter(&window, QStringLiteral("当前发送行")); }
    QString fileLines() { return counter(&window, QStringLiteral("文件行数")); }

    QString writeFile(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("lines%1.txt").arg(++files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return QString();
        return path;
    }

    // Chooses path in the dialog of "选择发送文件".
    void choose(const QString &path)
    {
        boxes.chooseFile(path);
        press(QStringLiteral("选择发送文件"));
    }

    bool loadLines(const QByteArray &content)
    {
        const QString path = writeFile(content);
        if (path.isEmpty())
            return false;
        const int before = boxes.count();
        choose(path);
        return boxes.count() == before + 1;
    }

    // One step of an answer-wait rotation: the start click for the first
    // line, an answer from the device for the others. Returns whether the
    // step happened; sent gets exactly the bytes it wrote.
    bool step(bool first, QByteArray *sent)
    {
        const qint64 bytesBefore = counter(&window, QStringLiteral("发字节数")).toLongLong();
        pty.take();
        if (first) {
            press(QStringLiteral("开始文件轮发"));
        } else {
            // The answer is handled in the same pass that counts it.
            const qint64 chunks = counter(&window, QStringLiteral("收帧数")).toLongLong() + 1;
            pty.write("k");
            if (!QTest::qWaitFor(
                        [&] {
                            return counter(&window, QStringLiteral("收帧数")).toLongLong()
                                    == chunks;
                        },
                        3000))
                return false;
        }
        const qint64 written =
                counter(&window, QStringLiteral("发字节数")).toLongLong() - bytesBefore;
        if (!pty.waitForBytes(int(written), 3000))
            return false;
        *sent = pty.take();
        return true;
    }
};

// A Unix socket file: the dialog accepts it as an existing file, but
// opening it for reading fails, whatever the user's rights.
class SocketFile
{
public:
    explicit SocketFile(const QString &path)
    {
        fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        if (fd < 0 || name.size() >= int(sizeof address.sun_path))
            return;
        qstrcpy(address.sun_path, name.constData());
        bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~SocketFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool isValid() const { return bound; }

private:
    int fd = -1;
    bool bound = false;
};

} // namespace

class SendFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void linesOfAFile_data();
    void linesOfAFile();
    void dialogAndCancel();
    void emptyFileReplacesTheList();
    void unopenableFileKeepsOldLines();
    void newFileDuringRunStartsAtItsFirstLine();
    void emptyFileDuringRunEndsRotation_data();
    void emptyFileDuringRunEndsRotation();
    void areaOneDecidesEncoding_data();
    void areaOneDecidesEncoding();
};

void SendFileTest::linesOfAFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArrayList>("lines");

    const QByteArrayList abc{ "a", "b", "c" };
    QTest::newRow("line feeds") << QByteArray("a\nb\nc\n") << abc;
    QTest::newRow("last line without line feed") << QByteArray("a\nb\nc") << abc;
    QTest::newRow("Windows line ends") << QByteArray("a\r\nb\r\nc\r\n") << abc;
    QTest::newRow("Windows, last line open") << QByteArray("a\r\nb\r\nc") << abc;
    QTest::newRow("empty line kept") << QByteArray("a\n\nb\n") << QByteArrayList{ "a", "", "b" };
    QTest::newRow("blanks and tabs only")
            << QByteArray(" \t \nx\n\t\n") << QByteArrayList{ "", "x", "" };
    QTest::newRow("outer blanks trimmed, inner kept")
            << QByteArray("  hello \t world \t\n") << QByteArrayList{ "hello \t world" };
    QTest::newRow("Windows ends with blanks")
            << QByteArray(" a b \r\n\r\n c") << QByteArrayList{ "a b", "", "c" };
    QTest::newRow("vertical tab and form feed")
            << QByteArray("\x0b\x0cv w\x0b \x0c\n") << QByteArrayList{ "v w" };
    QTest::newRow("only a line feed") << QByteArray("\n") << QByteArrayList{ "" };
    // A zero byte inside a line must not cut it short.
    QTest::newRow("zero byte inside a line")
            << QByteArray("a\0b\nc\0\n", 7)
            << QByteArrayList{ QByteArray("a\0b", 3), QByteArray("c\0", 2) };
    QTest::newRow("UTF-8") << QByteArray("你好 世界\n") << QByteArrayList{ "你好 世界" };
    QTest::newRow("invalid UTF-8 replaced")
            << QByteArray("x\xff y\n") << QByteArrayList{ "x\xef\xbf\xbd y" };
    QTest::newRow("long line") << QByteArray(5000, 'L') + "\nS"
                               << QByteArrayList{ QByteArray(5000, 'L'), "S" };
}

void SendFileTest::linesOfAFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArrayList, lines);

    Rig rig;
    QVERIFY(rig.open());
    rig.hexCheck(1)->setChecked(false);
    QVERIFY(rig.loadLines(content));
    QCOMPARE(rig.fileLines(), QString::number(lines.size()));
    QCOMPARE(rig.currentLine(), QStringLiteral("0"));

    // Each entry takes its turn; empty ones send nothing.
    QByteArrayList sent;
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray bytes;
        QVERIFY2(rig.step(i == 0, &bytes), QByteArray::number(i));
        QCOMPARE(rig.currentLine(), QString::number(i + 1));
        sent << bytes;
    }
    QCOMPARE(sent, lines);
    const int nonEmpty = int(std::count_if(lines.begin(), lines.end(),
                                           [](const QByteArray &line) { return !line.isEmpty(); }));
    QCOMPARE(counter(&rig.window, QStringLiteral("发帧数")), QString::number(nonEmpty));

    // The list ends there: the next answer wraps around to the first entry.
    QByteArray wrapped;
    QVERIFY(rig.step(false, &wrapped));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));
    QCOMPARE(wrapped, lines.first());
    rig.press(QStringLiteral("开始文件轮发"));
}

void SendFileTest::dialogAndCancel()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.hexCheck(1)->setChecked(false);
    const QString path = rig.writeFile("one\ntwo\n");

    QString title;
    QStringList filters;
    QString selectedFilter;
    QWidget *parent = nullptr;
    rig.boxes.answerNext([&](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        QVERIFY(dialog);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        selectedFilter = dialog->selectedNameFilter();
        parent = dialog->parentWidget();
        typeFileName(path)(widget);
    });
    rig.press(QStringLiteral("选择发送文件"));
    QCOMPARE(rig.boxes.count(), 1);
    QCOMPARE(rig.boxes.last().className, QStringLiteral("QFileDialog"));
    QCOMPARE(title, QStringLiteral("选择发送文件"));
    QCOMPARE(filters, QStringList({ QStringLiteral("Text (*.txt)"), QStringLiteral("All (*)") }));
    QCOMPARE(selectedFilter, QStringLiteral("Text (*.txt)"));
    QCOMPARE(parent, static_cast<QWidget *>(&rig.window));
    QCOMPARE(rig.fileLines(), QStringLiteral("2"));

    QByteArray sent;
    QVERIFY(rig.step(true, &sent));
    QCOMPARE(sent, QByteArray("one"));

    // Cancelled: nothing changes, not even the position.
    rig.boxes.cancelNext();
    rig.press(QStringLiteral("选择发送文件"));
    QCOMPARE(rig.boxes.count(), 2);
    QCOMPARE(rig.fileLines(), QStringLiteral("2"));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));
    QVERIFY(rig.step(false, &sent));
    QCOMPARE(sent, QByteArray("two"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void SendFileTest::emptyFileReplacesTheList()
{
    Rig rig;
    QVERIFY(rig.loadLines("a\nb\nc\n"));
    QCOMPARE(rig.fileLines(), QStringLiteral("3"));
    QVERIFY(rig.loadLines(""));
    QCOMPARE(rig.fileLines(), QStringLiteral("0"));
    QCOMPARE(rig.currentLine(), QStringLiteral("0"));

    rig.press(QStringLiteral("开始文件轮发"));
    QCOMPARE(rig.boxes.count(), 3);
    QCOMPARE(rig.boxes.last().className, QStringLiteral("QMessageBox"));
    QCOMPARE(rig.boxes.last().title, QStringLiteral("提示"));
    QCOMPARE(rig.boxes.last().text, QStringLiteral("请先选择发送文件"));
}

void SendFileTest::unopenableFileKeepsOldLines()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.hexCheck(1)->setChecked(false);
    QVERIFY(rig.loadLines("first\nsecond\n"));
    QByteArray sent;
    QVERIFY(rig.step(true, &sent));
    QCOMPARE(sent, QByteArray("first"));

    const QString socketPath = rig.dir.filePath(QStringLiteral("socket.txt"));
    SocketFile socket(socketPath);
    QVERIFY(socket.isValid());
    QVERIFY(QFile::exists(socketPath));
    const int before = rig.boxes.count();
    rig.choose(socketPath);
    QCOMPARE(rig.boxes.count(), before + 2);
    QCOMPARE(rig.boxes.last().className, QStringLiteral("QMessageBox"));
    QCOMPARE(rig.boxes.last().title, QStringLiteral("错误"));
    QCOMPARE(rig.boxes.last().text, QStringLiteral("无法打开文件"));
    QCOMPARE(rig.fileLines(), QStringLiteral("2"));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));

    // The rotation goes on with the old lines, from where it was.
    QVERIFY(rig.step(false, &sent));
    QCOMPARE(sent, QByteArray("second"));
    QVERIFY(rig.step(false, &sent));
    QCOMPARE(sent, QByteArray("first"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void SendFileTest::newFileDuringRunStartsAtItsFirstLine()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.hexCheck(1)->setChecked(false);
    QVERIFY(rig.loadLines("a\nb\nc\n"));
    QByteArray sent;
    QVERIFY(rig.step(true, &sent));
    QVERIFY(rig.step(false, &sent));
    QCOMPARE(sent, QByteArray("b"));

    QVERIFY(rig.loadLines("x\ny\nz\n"));
    QCOMPARE(rig.fileLines(), QStringLiteral("3"));
    QCOMPARE(rig.currentLine(), QStringLiteral("0"));

    // From the new first line; replaced, not appended: x, y, z, then x again.
    QByteArrayList next;
    for (int i = 0; i < 4; ++i) {
        QVERIFY(rig.step(false, &sent));
        next << sent;
    }
    QCOMPARE(next, QByteArrayList({ "x", "y", "z", "x" }));
    QCOMPARE(rig.currentLine(), QStringLiteral("1"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void SendFileTest::emptyFileDuringRunEndsRotation_data()
{
    QTest::addColumn<bool>("timed");
    QTest::newRow("timed") << true;
    QTest::newRow("answer-wait") << false;
}

void SendFileTest::emptyFileDuringRunEndsRotation()
{
    QFETCH(bool, timed);
    Rig rig;
    QVERIFY(rig.open());
    rig.hexCheck(1)->setChecked(false);
    if (timed)
        click(qobject_cast<QRadioButton *>(
                findButton(&rig.window, QStringLiteral("定时"), parametersGroup)));
    spinOfRow(&rig.window, QStringLiteral("周期"), parametersGroup)->setValue(100);
    QVERIFY(rig.loadLines("a\nb\n"));
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(rig.pty.waitForBytes(1, 2000));

    QVERIFY(rig.loadLines(""));
    if (timed) {
        // Let one tick find the list empty.
        QTimer *tick = nullptr;
        const auto timers = rig.window.findChildren<QTimer *>();
        for (QTimer *timer : timers) {
            if (timer->isActive() && timer->interval() == 100)
                tick = timer;
        }
        QVERIFY(tick);
        QSignalSpy ticks(tick, &QTimer::timeout);
        QVERIFY(ticks.wait(2000));
    } else {
        rig.pty.write("k");
        QTRY_COMPARE_WITH_TIMEOUT(counter(&rig.window, QStringLiteral("收帧数")),
                                  QStringLiteral("1"), 2000);
    }
    rig.pty.take();

    // Ended: new lines go nowhere until the rotation is started again.
    QVERIFY(rig.loadLines("z\n"));
    rig.pty.write("k");
    QVERIFY(!rig.pty.waitForBytes(1, 400));
    rig.press(QStringLiteral("开始文件轮发"));
    QVERIFY(rig.pty.waitForBytes(1, 2000));
    QCOMPARE(rig.pty.take(), QByteArray("z"));
    rig.press(QStringLiteral("开始文件轮发"));
}

void SendFileTest::areaOneDecidesEncoding_data()
{
    QTest::addColumn<bool>("hexArea1");
    QTest::addColumn<bool>("hexOthers");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("area 1 hex, others text")
            << true << false << QByteArray("41 42 0d") << QByteArray("AB\r");
    QTest::newRow("area 1 text, others hex")
            << false << true << QByteArray("41 42 0d") << QByteArray("41 42 0d");
    QTest::newRow("all hex") << true << true << QByteArray("00 7F") << QByteArray("\x00\x7f", 2);
}

void SendFileTest::areaOneDecidesEncoding()
{
    QFETCH(bool, hexArea1);
    QFETCH(bool, hexOthers);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, wire);

    Rig rig;
    QVERIFY(rig.open());
    rig.hexCheck(1)->setChecked(hexArea1);
    rig.hexCheck(2)->setChecked(hexOthers);
    rig.hexCheck(3)->setChecked(hexOthers);
    QVERIFY(rig.loadLines(line + "\n"));
    QByteArray sent;
    QVERIFY(rig.step(true, &sent));
    QCOMPARE(sent, wire);
    rig.press(QStringLiteral("开始文件轮发"));
}

QUORVEL_TEST_MAIN(SendFileTest)
#include "tst_sendfile.moc"
