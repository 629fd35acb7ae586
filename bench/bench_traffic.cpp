// Throughput of the pure conversions and of the whole receive path.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_traffic
#include "checksum.h"
#include "hexparser.h"
#include "mainwindow.h"
#include "testsupport.h"
#include "trafficformat.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

using namespace testsupport;

namespace {

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

void report(const char *what, qint64 bytes, qint64 nanoseconds)
{
    const double seconds = nanoseconds / 1e9;
    QTextStream(stdout) << QString::asprintf("%-40s %10.1f MB/s\n", what, bytes / seconds / 1e6);
}

void benchPureFunctions()
{
    const QByteArray data = randomBytes(64 * 1024);
    const QString hexText = hexForm(data);
    QElapsedTimer clock;
    const int rounds = 20;

    clock.start();
    qint64 total = 0;
    for (int i = 0; i < rounds; ++i)
        total += parseHexString(hexText).size();
    report("parseHexString", total, clock.nsecsElapsed());

    clock.restart();
    total = 0;
    for (int i = 0; i < rounds; ++i)
        total += hexForm(data).size() / 3;
    report("hexForm", total, clock.nsecsElapsed());

    clock.restart();
    total = 0;
    for (int kind = 0; kind < 7; ++kind)
        total += appendChecksum(data, kind).size();
    report("appendChecksum (all kinds)", total, clock.nsecsElapsed());
}

// A device flooding the window: how fast do bytes get counted and shown?
void benchReceivePath(bool hex)
{
    Pty pty;
    MainWindow window;
    findCheck(&window, QStringLiteral("16进制"), QStringLiteral("接收区设置"))->setChecked(hex);
    findCheck(&window, QStringLiteral("自动清"))->setChecked(true);
    window.show();
    if (!openPort(&window, pty.slavePath()))
        return;
    const QByteArray chunk = randomBytes(4096);
    const qint64 target = 4 * 1024 * 1024;
    QElapsedTimer clock;
    clock.start();
    for (qint64 sent = 0; sent < target; sent += chunk.size()) {
        pty.write(chunk);
        QCoreApplication::processEvents();
    }
    while (counter(&window, QStringLiteral("收字节数")).toLongLong() < target
           && clock.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    report(hex ? "receive path, hexadecimal" : "receive path, text", target, clock.nsecsElapsed());
}

} // namespace

int main(int argc, char **argv)
{
    prepareEnvironment();
    QApplication app(argc, argv);
    useFreshSettings();
    benchPureFunctions();
    benchReceivePath(true);
    benchReceivePath(false);
    return 0;
}
