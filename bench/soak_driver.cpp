// Soak: the real window, offscreen, fed at the pace of 921600 baud (92,160
// bytes per second) through a pseudo-terminal with capture, a periodic send
// and an area rotation running. Prints the resident memory every minute and
// checks at the end that the capture file holds every received byte.
// Usage: soak_driver MINUTES [--no-auto-clear] [--frame-newline] (run by tools/soak.sh)
#include "mainwindow.h"
#include "startup.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace testsupport;

namespace {

constexpr double bytesPerMs = 92.16;
constexpr qint64 maxBacklog = 16 * 1024;

// "VmRSS" or "VmHWM" (the peak) of this process, in MiB.
double memoryMiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field)) + 1).trimmed().split(' ').value(0).toDouble()
                    / 1024.0;
    }
    return -1;
}

void say(const QString &text)
{
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

// The received stream is generated, not stored, so checking it costs no memory.
class Stream
{
public:
    QByteArray next(int count)
    {
        QByteArray bytes(count, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = static_cast<char>(generator.bounded(256));
        return bytes;
    }

private:
    QRandomGenerator generator{ 20261207u };
};

} // namespace

int main(int argc, char *argv[])
{
    prepareEnvironment();
    keepFreedMemoryForReuse(); // as the program does
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    useFreshSettings();
    const int minutes = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    const QStringList options = QCoreApplication::arguments().mid(2);
    const bool autoClear = !options.contains(QStringLiteral("--no-auto-clear"));
    const bool frameNewline = options.contains(QStringLiteral("--frame-newline"));

    QTemporaryDir folder;
    const QString capturePath = folder.filePath(QStringLiteral("soak.txt"));
    ModalHandler boxes;
    Pty pty;
    MainWindow window;
    QWidget *w = &window;
    window.show();

    byName<QComboBox>(w, QStringLiteral("baudCombo"))->setCurrentText(QStringLiteral("921600"));
    if (!openPort(w, pty.slavePath())) {
        say(QStringLiteral("cannot open the pseudo-terminal"));
        return 1;
    }
    findCheck(w, QStringLiteral("自动清"))->setChecked(autoClear);
    findCheck(w, QStringLiteral("显示保存发送"))->setChecked(true);
    findCheck(w, QStringLiteral("帧换行"))->setChecked(frameNewline);
    boxes.chooseFile(capturePath);
    click(findButton(w, QStringLiteral("保存数据")));

    const QString area2 = QStringLiteral("发送区2属性");
    const QString area3 = QStringLiteral("发送区3属性");
    sendArea(w, 2)->setPlainText(QStringLiteral("AA 55 01 02"));
    byName<QSpinBox>(w, QStringLiteral("autoSendIntervalSpin2"))->setValue(100);
    findCheck(w, QStringLiteral("自动发"), area2)->setChecked(true);
    sendArea(w, 3)->setPlainText(QStringLiteral("5A A5"));
    byName<QSpinBox>(w, QStringLiteral("autoSendIntervalSpin3"))->setValue(250);
    findCheck(w, QStringLiteral("参加轮发"), area3)->setChecked(true);
    click(findButton(w, QStringLiteral("开始轮发")));

    say(QStringLiteral("soak: %1 min at 92160 B/s, 自动清 %2, 帧换行 %3, capture %4")
                .arg(minutes)
                .arg(autoClear ? "on" : "off", frameNewline ? "on" : "off", capturePath));

    Stream stream;
    qint64 written = 0;
    qint64 behind = 0;
    QElapsedTimer clock;
    clock.start();
    double rssAfterFirstMinute = -1;
    double peakAfterFirstMinute = -1;
    int reported = 0;
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        // A window that falls behind is not flooded further: the kernel's
        // buffer is small, and a real line would be losing bytes by then.
        const qint64 due = qint64(clock.elapsed() * bytesPerMs);
        const qint64 received = counter(w, QStringLiteral("收字节数")).toLongLong();
        if (due > written && written - received < maxBacklog) {
            const int count = int(qMin(due - written, maxBacklog - (written - received)));
            pty.write(stream.next(count));
            written += count;
        }
        behind = due - written;
        pty.take(); // what the window sends is not kept
        const int minute = int(clock.elapsed() / 60000);
        if (minute > reported) {
            reported = minute;
            const double rss = memoryMiB("VmRSS:");
            if (minute == 1) {
                rssAfterFirstMinute = rss;
                peakAfterFirstMinute = memoryMiB("VmHWM:");
            }
            say(QStringLiteral("minute %1: RSS %2 MiB, peak %3 MiB, received %4 of %5 bytes, "
                               "pane %6 characters, sent %7 frames, %8 bytes behind the line")
                        .arg(minute)
                        .arg(rss, 0, 'f', 1)
                        .arg(memoryMiB("VmHWM:"), 0, 'f', 1)
                        .arg(counter(w, QStringLiteral("收字节数")))
                        .arg(written)
                        .arg(receivePane(w)->document()->characterCount())
                        .arg(counter(w, QStringLiteral("发帧数")))
                        .arg(behind));
        }
        if (minute >= minutes)
            QCoreApplication::quit();
    });
    feeder.start(10);
    app.exec();
    feeder.stop();

    const bool caughtUp = QTest::qWaitFor(
            [&] { return counter(w, QStringLiteral("收字节数")).toLongLong() == written; }, 120000);
    const double rssEnd = memoryMiB("VmRSS:");
    const double peakEnd = memoryMiB("VmHWM:");
    click(findButton(w, QStringLiteral("停止保存")));

    // Every "[接收] " line, read back as hexadecimal, against the stream.
    QFile capture(capturePath);
    capture.open(QIODevice::ReadOnly);
    Stream expected;
    qint64 matched = 0;
    bool intact = true;
    const QByteArray tag = QStringLiteral("[接收] ").toUtf8();
    while (intact && !capture.atEnd()) {
        const QByteArray line = capture.readLine().trimmed();
        if (!line.startsWith(tag))
            continue;
        const QByteArray bytes = QByteArray::fromHex(line.mid(tag.size()));
        intact = bytes == expected.next(bytes.size());
        matched += intact ? bytes.size() : 0;
    }
    const qint64 captureSize = capture.size();

    say(QStringLiteral("received %1 of %2 bytes written; %3 bytes behind the line's pace%4")
                .arg(counter(w, QStringLiteral("收字节数")))
                .arg(written)
                .arg(behind)
                .arg(caughtUp ? QString() : QStringLiteral(" (the window did not catch up)")));
    say(QStringLiteral("peak RSS: %1 MiB after the first minute, %2 MiB at the end; "
                       "RSS %3 -> %4 MiB")
                .arg(peakAfterFirstMinute, 0, 'f', 1)
                .arg(peakEnd, 0, 'f', 1)
                .arg(rssAfterFirstMinute, 0, 'f', 1)
                .arg(rssEnd, 0, 'f', 1));
    if (minutes > 1)
        say(QStringLiteral("memory growth: %1 MiB per hour")
                    .arg((rssEnd - rssAfterFirstMinute) / (minutes - 1) * 60, 0, 'f', 0));
    const bool complete = intact && matched == written;
    say(QStringLiteral("capture file %1 MiB holds every received byte: %2 (%3 of %4)")
                .arg(captureSize / 1048576.0, 0, 'f', 1)
                .arg(complete ? "yes" : "NO")
                .arg(matched)
                .arg(written));
    // Keeping pace is part of passing: a real line does not wait.
    return complete && caughtUp && behind < maxBacklog ? 0 : 1;
}
