// Hostile input: a damaged settings store, send texts and files of many
// megabytes, and a port opened and closed a thousand times.
#include "fuzz/hexparser_reference.h"
#include "hexparser.h"
#include "mainwindow.h"
#include "sendfileline.h"
#include "sendfileloader.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThreadPool>

using namespace testsupport;

namespace {

int openFileDescriptors()
{
    // Qt 6 runs some of its own work on pooled threads, which end (closing
    // their descriptors) after 30 s idle: on a loaded machine, during a count.
    QThreadPool::globalInstance()->waitForDone();
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class HostileTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void damagedSettingsStoreIsSetAside();
    void hexParserMatchesFirstParser();
    void sendFileLineDecoding_data();
    void sendFileLineDecoding();
    void bigSendFileLoadsInSlices();
    void thousandOpenCloseCyclesKeepNoDescriptor();
};

void HostileTest::damagedSettingsStoreIsSetAside()
{
    const QString store =
            QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).fileName();
    const QByteArray junk = randomBytes(64 * 1024, 31337);
    QVERIFY(QDir().mkpath(QFileInfo(store).path()));
    QVERIFY(writeFile(store, junk));
    // Junk like this reads as dozens of keys with control characters, with
    // or without a format error.
    QVERIFY(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).allKeys().size() > 21);

    {
        MainWindow window;
        // Started from the defaults.
        QVERIFY(findCheck(&window, "自动清")->isChecked());
        QVERIFY(sendArea(&window, 1)->toPlainText().isEmpty());
        QFile aside(store + QStringLiteral(".bad"));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QVERIFY(aside.readAll() == junk);
        sendArea(&window, 1)->setPlainText(QStringLiteral("AB CD"));
        window.close();
    }

    const QSettings written(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    QCOMPARE(written.status(), QSettings::NoError);
    QCOMPARE(written.childKeys().size(), 21); // the line controls' keys are in a group
    QCOMPARE(written.value("send1").toString(), QStringLiteral("AB CD"));

    // A store that reads well is left where it is.
    MainWindow again;
    QCOMPARE(sendArea(&again, 1)->toPlainText(), QStringLiteral("AB CD"));
    QVERIFY(QFile::exists(store));
}

// The one-pass parser against the first, regular-expression based one,
// over texts made of the characters that matter to either.
void HostileTest::hexParserMatchesFirstParser()
{
    const QString alphabet =
            QStringLiteral("0123456789abcdefABCDEFxXg+-,. \t\r\n\v\f\u3000\u00A0\u2212\u0085"
                           "\uFF11\u200B\uFEFF");
    QRandomGenerator rng(1234);
    for (int round = 0; round < 4000; ++round) {
        QString text;
        const int length = rng.bounded(0, 40);
        for (int i = 0; i < length; ++i)
            text += alphabet.at(rng.bounded(alphabet.size()));
        QVERIFY2(parseHexString(text) == referenceParseHexString(text),
                 qPrintable(text.toUtf8().toHex(' ')));
    }
}

void HostileTest::sendFileLineDecoding_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("line");
    QTest::newRow("trimmed") << QByteArray(" \t41 42\r\n") << QStringLiteral("41 42");
    QTest::newRow("zero byte kept")
            << QByteArray("A\0B\n", 4) << QStringLiteral("A") + QChar(0) + "B";
    QTest::newRow("inner byte-order mark kept")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx\n") << QStringLiteral("\uFEFF\uFEFFx");
    QTest::newRow("malformed") << QByteArray("A\xFF ") << QStringLiteral("A\uFFFD");
}

void HostileTest::sendFileLineDecoding()
{
    QFETCH(QByteArray, raw);
    QFETCH(QString, line);
    QCOMPARE(decodeSendFileLine(raw), line);
}

void HostileTest::bigSendFileLoadsInSlices()
{
    // About 30 MB: far more than one slice reads, on any machine.
    const int lineCount = 500000;
    QByteArray content("\xEF\xBB\xBF");
    content.reserve(lineCount * 64);
    for (int i = 0; i < lineCount; ++i)
        content +=
                QByteArray::number(i) + " 0123456789ABCDEF 0123456789ABCDEF 0123456789ABCDEF\r\n";
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("big.txt"), content));
    QVERIFY(writeFile(dir.filePath("small.txt"), "hello\n"));

    ModalHandler boxes;
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    findCheck(&window, "16进制", "发送区1属性")->setChecked(false);
    findButton(&window, "定时")->setChecked(true);

    boxes.chooseFile(dir.filePath("small.txt"));
    click(findButton(&window, "选择发送文件"));
    QCOMPARE(counter(&window, "文件行数"), QStringLiteral("1"));
    byName<QSpinBox>(&window, "rotationPeriodSpin")->setValue(10);
    click(findButton(&window, "开始文件轮发"));
    QVERIFY(pty.waitForBytes(5));

    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(0);
    boxes.chooseFile(dir.filePath("big.txt"));
    click(findButton(&window, "选择发送文件"));
    // The new lines are not complete: the running rotation goes on with the old.
    QCOMPARE(counter(&window, "文件行数"), QStringLiteral("1"));
    pty.take();
    QVERIFY(pty.waitForBytes(10));
    QVERIFY(pty.take().startsWith("hellohello"));

    QTRY_COMPARE_WITH_TIMEOUT(counter(&window, "文件行数"), QString::number(lineCount), 60000);
    // The event loop went on turning while the file loaded.
    QVERIFY(ticks > 1);

    // The rotation went on with the new lines from the first, whose
    // byte-order mark is no part of it.
    QTRY_VERIFY(pty.collected().contains("0 0123456789ABCDEF"));
    const QByteArray sent = pty.collected();
    const int first = sent.indexOf("0 0123456789ABCDEF");
    QCOMPARE(sent.left(first), QByteArray("hello").repeated(first / 5));
}

void HostileTest::thousandOpenCloseCyclesKeepNoDescriptor()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QVERIFY(closePort(&window));
    const int descriptors = openFileDescriptors();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        QVERIFY(openPort(&window, pty.slavePath()));
        QVERIFY(closePort(&window));
    }
    QCOMPARE(openFileDescriptors(), descriptors);
    // Still working after all that.
    QVERIFY(openPort(&window, pty.slavePath()));
    QVERIFY(receiveChunk(&window, pty, "ok"));
}

QUORVEL_TEST_MAIN(HostileTest)
#include "tst_hostile.moc"
