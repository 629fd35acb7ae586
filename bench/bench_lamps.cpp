// What the input-line lamps cost with the window at rest, as GUI-thread CPU
// in % of one core, printed as one JSON line.
//
//   bench_lamps window   [seconds]  the real window, port open on a pty
//   bench_lamps steady   [seconds]  the lamps' poll against lines that never change
//   bench_lamps flipping [seconds]  ... against lines that change at every poll
//   bench_lamps bare     [seconds]  the same window and lamps, nothing polled
//
// A pty has no modem lines, so in the real window the poll stops after its
// first answer; the two others run the same poll and lamp styles on a
// window of their own against a port that always answers.
#include "linecontrol.h"
#include "lineport.h"
#include "mainwindow.h"
#include "benchclock.h"
#include "testsupport.h"

#include <QEventLoop>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include <cstdio>

using namespace testsupport;

namespace {

struct AnsweringPort : LinePort
{
    bool flipping = false;
    int reads = 0;
    bool isOpen() const override { return true; }
    bool setDataTerminalReady(bool) override { return true; }
    bool setRequestToSend(bool) override { return true; }
    bool setBreakEnabled(bool) override { return true; }
    bool setFlowControl(QSerialPort::FlowControl) override { return true; }
    bool readInputLines(QSerialPort::PinoutSignals *lines) override
    {
        ++reads;
        *lines = flipping && reads % 2 ? QSerialPort::PinoutSignals(0x1F0) : QSerialPort::NoSignal;
        return true;
    }
};

double restingCpuPercent(int seconds)
{
    const double cpu0 = threadCpuSeconds();
    // Not QTest::qWait: it polls every few milliseconds itself.
    QEventLoop rest;
    QTimer::singleShot(seconds * 1000, &rest, &QEventLoop::quit);
    rest.exec();
    return 100.0 * (threadCpuSeconds() - cpu0) / seconds;
}

} // namespace

int main(int argc, char **argv)
{
    testsupport::prepareEnvironment();
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("window");
    const int seconds = argc > 2 ? atoi(argv[2]) : 20;
    useFreshSettings();
    double cpu = 0;
    int reads = -1;
    if (mode == QLatin1String("window")) {
        Pty pty;
        MainWindow window;
        window.show();
        if (!openPort(&window, pty.slavePath()))
            return 1;
        cpu = restingCpuPercent(seconds);
    } else {
        AnsweringPort port;
        port.flipping = mode == QLatin1String("flipping");
        QMainWindow window;
        LineControl control(&port);
        for (int line = 0; line < 4; ++line) {
            auto *lamp = new QLabel(QStringLiteral("CTS ●"));
            window.statusBar()->addPermanentWidget(lamp);
            QObject::connect(&control, &LineControl::inputLinesChanged, lamp,
                             [lamp](bool known, QSerialPort::PinoutSignals lines) {
                                 lamp->setStyleSheet(known && lines ? "color: #00CC00;"
                                                                    : "color: gray;");
                             });
        }
        window.resize(1100, 750);
        window.show();
        if (mode != QLatin1String("bare"))
            control.portOpened();
        cpu = restingCpuPercent(seconds);
        reads = port.reads;
    }
    std::printf("{\"figure\":\"lamps\",\"mode\":\"%s\",\"seconds\":%d,\"cpu_pct\":%.3f,"
                "\"polls\":%d}\n",
                qPrintable(mode), seconds, cpu, reads);
    return 0;
}
