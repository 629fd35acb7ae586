// How long "收字节数" stands still while a steady stream arrives: 32 bytes
// every 3 ms for 3 s through a pty into the real window, on the real clock.
// Prints one JSON line: the longest time the field did not change while
// bytes flowed, and whether it was exact once the stream stopped.
#include "mainwindow.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

using namespace testsupport;

int main(int argc, char *argv[])
{
    prepareEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    const int seconds = argc > 1 ? atoi(argv[1]) : 3;
    Rig rig(20);
    if (!rig.open)
        return 1;
    rig.window.show();
    auto *field = byName<QLineEdit>(rig.w, QStringLiteral("recvBytesEdit"));
    QElapsedTimer clock;
    qint64 lastChange = 0;
    qint64 longestStill = 0;
    bool flowing = true;
    QObject::connect(field, &QLineEdit::textChanged, [&] {
        if (flowing)
            longestStill = qMax(longestStill, clock.elapsed() - lastChange);
        lastChange = clock.elapsed();
    });
    const QByteArray chunk(32, 'c');
    qint64 written = 0;
    QTimer feeder;
    feeder.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        if (clock.elapsed() >= seconds * 1000) {
            feeder.stop();
            // The stretch from the last change to the end of the stream counts too.
            longestStill = qMax(longestStill, clock.elapsed() - lastChange);
            flowing = false;
            return;
        }
        if (rig.pty.write(chunk))
            written += chunk.size();
    });
    clock.start();
    feeder.start(3);
    if (!QTest::qWaitFor([&] { return !flowing; }, seconds * 1000 + 5000))
        return 1;
    const bool exact = QTest::qWaitFor([&] { return field->text().toLongLong() == written; }, 2000);
    std::printf("{\"figure\": \"counters still\", \"seconds\": %d, \"bytes\": %lld, "
                "\"longest_still_ms\": %lld, \"exact_after\": %s}\n",
                seconds, written, longestStill, exact ? "true" : "false");
    return exact ? 0 : 1;
}
