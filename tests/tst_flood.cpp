// Floods through a real pseudo-terminal: megabytes of traffic must be
// counted, shown and captured exactly, and capture trouble under a flood
// must neither crash, stall the counting nor pile up boxes.
#include "framesplitter.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

constexpr int floodTimeoutMs = 120000;

// The window as a user has it: shown ("自动清" then keeps the pane small),
// frames by the default gap.
struct FloodRig : Rig
{
    FloodRig()
        : Rig(FrameSplitter::defaultGapMs)
    {
        window.show();
    }
    // The pty served by ser2net, the window on its network port.
    explicit FloodRig(Ser2NetServer::Mode mode)
        : Rig(mode, FrameSplitter::defaultGapMs)
    {
        window.show();
    }
    qint64 received() { return count(QStringLiteral("收字节数")); }
    bool waitForReceived(qint64 total)
    {
        return QTest::qWaitFor([&] { return received() == total; }, floodTimeoutMs);
    }
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits until the file has reached size bytes: the capture may trail the
// counters a little.
bool waitForFileSize(const QString &path, qint64 size)
{
    return QTest::qWaitFor([&] { return QFileInfo(path).size() >= size; }, 10000);
}

} // namespace

class FloodTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void randomBytesInHexView_data();
    void randomBytesInHexView();
    void splitCharactersInTextView();
    void captureFailingUnderFlood();
    void captureFileDeletedMidRun();
};

void FloodTest::randomBytesInHexView_data()
{
    QTest::addColumn<int>("mode"); // -1: the pty itself
    QTest::addColumn<int>("size");
    QTest::newRow("local pty") << -1 << 4 * 1024 * 1024;
    QTest::newRow("rfc2217 through ser2net") << int(Ser2NetServer::Rfc2217) << 1024 * 1024;
    QTest::newRow("raw tcp through ser2net") << int(Ser2NetServer::RawTcp) << 1024 * 1024;
}

void FloodTest::randomBytesInHexView()
{
    QFETCH(int, mode);
    QFETCH(int, size);
    const QByteArray sent = randomBytes(size, 4242);
    QTemporaryDir dir;
    const QString path = dir.filePath("flood.txt");
    std::unique_ptr<FloodRig> rig(mode < 0 ? new FloodRig
                                           : new FloodRig(Ser2NetServer::Mode(mode)));
    FloodRig &r = *rig;
    QVERIFY(r.open);
    QVERIFY(r.startCapture(path));

    QVERIFY(r.pty.write(sent));
    QVERIFY(r.waitForReceived(size));
    // Every chunk is one line of three characters per byte (pairs, blanks, line feed).
    QVERIFY(waitForFileSize(path, 3 * qint64(size)));
    click(findButton(r.w, "停止保存"));

    const QByteArray captured = readFile(path);
    QList<QByteArray> lines = captured.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QCOMPARE(counter(r.w, "收帧数").toLongLong(), qint64(lines.size()));
    QVERIFY(lines.size() > 1);
    const QByteArray joined = lines.join(' ');
    QCOMPARE(joined.size(), 3 * size - 1);
    QVERIFY2(joined == sent.toHex(' ').toUpper(), "captured hex differs from the bytes sent");
}

void FloodTest::splitCharactersInTextView()
{
    // One to four bytes per character, no line feeds so the capture's own
    // line ends can be told apart.
    const QString alphabet = QStringLiteral("aZ9 ~éßЖ收字节数中文€\U0001F600\U00010348");
    QVector<uint> points;
    for (uint point : alphabet.toUcs4())
        points << point;
    QRandomGenerator rng(9001);
    QVector<char32_t> characters;
    const int count = 400000;
    for (int i = 0; i < count; ++i)
        characters << points.at(rng.bounded(points.size()));
    const QString text = QString::fromUcs4(characters.constData(), characters.size());
    const QByteArray bytes = text.toUtf8();

    QTemporaryDir dir;
    const QString path = dir.filePath("text.txt");
    FloodRig r;
    QVERIFY(r.open);
    findCheck(r.w, "16进制", "接收区设置")->setChecked(false);
    QVERIFY(r.startCapture(path));

    // The first pieces are waited for one by one, so each read ends at a
    // random byte, mostly inside a character; the rest floods in random cuts.
    int position = 0;
    for (int piece = 0; piece < 60; ++piece) {
        const int length = rng.bounded(1, 40);
        QVERIFY(r.pty.write(bytes.mid(position, length)));
        position += length;
        QVERIFY(r.waitForReceived(position));
    }
    while (position < bytes.size()) {
        const int length = rng.bounded(1, 5000);
        QVERIFY(r.pty.write(bytes.mid(position, length)));
        position += length;
    }
    QVERIFY(r.waitForReceived(bytes.size()));
    QVERIFY(waitForFileSize(path, bytes.size()));
    click(findButton(r.w, "停止保存"));

    const QString captured = QString::fromUtf8(readFile(path));
    QVERIFY(!captured.contains(QChar::ReplacementCharacter));
    QVERIFY(!receiveText(r.w).contains(QChar::ReplacementCharacter));
    QVERIFY2(QString(captured).remove(QLatin1Char('\n')) == text,
             "captured text differs from the text sent");
}

void FloodTest::captureFailingUnderFlood()
{
    FloodRig r;
    QVERIFY(r.open);
    QVERIFY(r.startCapture("/dev/full"));
    const int before = r.boxes.count();
    const QByteArray sent = randomBytes(512 * 1024, 77);
    QVERIFY(r.pty.write(sent));
    QVERIFY(r.waitForReceived(sent.size()));
    QVERIFY(r.boxes.waitForCount(before + 1));
    QCOMPARE(r.boxes.last().title, QStringLiteral("错误"));
    QVERIFY(findButton(r.w, "保存数据"));
    // Capture is off: more traffic must not bring a second box.
    QVERIFY(r.pty.write(sent));
    QVERIFY(r.waitForReceived(2 * sent.size()));
    QVERIFY(!r.boxes.waitForCount(before + 2, 300));
}

void FloodTest::captureFileDeletedMidRun()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("gone.txt");
    FloodRig r;
    QVERIFY(r.open);
    QVERIFY(r.startCapture(path));
    const int before = r.boxes.count();
    const QByteArray sent = randomBytes(256 * 1024, 5);
    QVERIFY(r.pty.write(sent));
    QVERIFY(r.waitForReceived(sent.size()));
    QVERIFY(QFile::remove(path));
    QVERIFY(r.pty.write(sent));
    QVERIFY(r.waitForReceived(2 * sent.size()));
    // Writing on into the unlinked file is not an error; it stops cleanly.
    QCOMPARE(r.boxes.count(), before);
    click(findButton(r.w, "停止保存"));
    QVERIFY(receiveChunk(r.w, r.pty, "after"));
}

QUORVEL_TEST_MAIN(FloodTest)
#include "tst_flood.moc"
