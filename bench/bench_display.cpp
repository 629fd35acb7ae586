// Drives the real window through a pseudo-terminal and measures one figure,
// printed as one JSON line. bench/run.sh runs every figure in a process of
// its own (so the resident size of one does not carry into the next).
//
//   bench_display drain   hex|text|frames|stamps|capture|rfc2217|socket  [MiB]
//                         (rfc2217, socket: the hex flood through a real ser2net)
//   bench_display growth  continuous|frames               [MiB]
//   bench_display paced   hex|text                        [seconds]
//   bench_display answer  [lines]
//   bench_display rotation [seconds]
//   bench_display plot    open|closed                    [seconds]
//
// The device side runs in a thread of its own on the pty's master; CPU figures
// are the GUI thread's own CPU time, which the device thread does not disturb.
#include "benchclock.h"
#include "mainwindow.h"
#include "plotfeed.h"
#include "ser2netserver.h"
#include "startup.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

using namespace testsupport;

namespace {

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Runs the event loop until the condition holds, checking it every checkMs.
// (QTest::qWaitFor sleeps 10 ms between event-loop passes, which would be
// measured as the window's own latency.) Every wait is bounded; a figure
// that cannot finish says so and fails.
template<typename Condition>
void waitFor(Condition condition, int timeoutMs, const char *what, int checkMs = 5)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, [what] { qFatal("timed out waiting for %s", what); });
    check.start(checkMs);
    if (!condition())
        loop.exec();
}

void printJson(const QString &json)
{
    QTextStream(stdout) << json << '\n';
}

// A raw pseudo-terminal whose master the device thread owns.
struct Device
{
    int master = -1;
    QString slave;

    Device()
    {
        int slaveFd = -1;
        char name[256] = {};
        if (openpty(&master, &slaveFd, name, nullptr, nullptr) != 0)
            return;
        termios raw{};
        tcgetattr(slaveFd, &raw);
        cfmakeraw(&raw);
        tcsetattr(slaveFd, TCSANOW, &raw);
        // The window opens the slave by name; the master must see no hang-up
        // before that, so this end stays open until then.
        // Non-blocking writes waited for with poll, as a device simulator
        // would: a blocking write on a pty master trickles.
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        slave = QString::fromLocal8Bit(name);
        keepSlave = slaveFd;
    }
    ~Device()
    {
        if (keepSlave >= 0)
            ::close(keepSlave);
        if (master >= 0)
            ::close(master);
    }
    void writeAll(const char *data, size_t size) const
    {
        while (size > 0) {
            const ssize_t n = ::write(master, data, std::min<size_t>(size, 65536));
            if (n < 0 && errno != EINTR && errno != EAGAIN)
                return;
            if (n > 0) {
                data += n;
                size -= size_t(n);
            } else if (n < 0 && errno == EAGAIN) {
                pollfd writable{ master, POLLOUT, 0 };
                ::poll(&writable, 1, 100);
            }
        }
    }
    int keepSlave = -1;
};

QByteArray randomBytes(qint64 size)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    QRandomGenerator generator(12345);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QByteArray textLines(qint64 size)
{
    QByteArray bytes;
    bytes.reserve(int(size) + 100);
    for (int line = 0; bytes.size() < size; ++line)
        bytes += QByteArray("line ") + QByteArray::number(line).rightJustified(7, '0')
                + " the quick brown fox jumps over the lazy dog 0123456789\r\n";
    bytes.truncate(int(size));
    return bytes;
}

// Records the longest gap between ticks of a 10 ms timer: how long the event
// loop was unable to serve anything else.
class StallWatch
{
public:
    StallWatch()
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const double now = monotonicSeconds();
            if (last > 0)
                longest = std::max(longest, now - last - 0.010);
            last = now;
            if (onTick)
                onTick();
        });
        timer.start(10);
    }
    double longestMs() const { return std::max(0.0, longest * 1000); }
    std::function<void()> onTick;

private:
    QTimer timer;
    double last = 0;
    double longest = 0;
};

struct Rig
{
    ModalHandler boxes;
    Device device;
    MainWindow window;
    QWidget *w = &window;

    // The pty itself, or the network port of a server that serves it.
    bool open(const QString &networkName = {})
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        if (!networkName.isEmpty())
            return openPort(w, networkName); // the slave stays open: ser2net's opening may trail
        const bool opened = openPort(w, device.slave);
        ::close(device.keepSlave);
        device.keepSlave = -1;
        return opened;
    }
    void check(const QString &caption, bool on, const QString &group = {})
    {
        if (QCheckBox *box = findCheck(w, caption, group))
            box->setChecked(on);
        else
            qFatal("no check box %s", qPrintable(caption));
    }
    qint64 shownBytes() const { return counter(const_cast<QWidget *>(w), "收字节数").toLongLong(); }
};

// Writes the payload from a thread of its own, one slice every 10 ms, as a
// line at that rate delivers it; sliced() runs after each slice. fed is set
// once all of it is written.
template<typename Sliced>
std::thread feedPaced(Rig &rig, const QByteArray &payload, int slice, std::atomic<bool> &fed,
                      Sliced sliced)
{
    return std::thread([&rig, &payload, slice, &fed, sliced] {
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        for (int done = 0; done < payload.size(); done += slice) {
            rig.device.writeAll(payload.constData() + done,
                                size_t(std::min<qsizetype>(slice, payload.size() - done)));
            sliced();
            next.tv_nsec += 10000000;
            if (next.tv_nsec >= 1000000000) {
                next.tv_nsec -= 1000000000;
                ++next.tv_sec;
            }
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
        }
        fed = true;
    });
}

const QString receiveGroup = QStringLiteral("接收区设置");

// Floods the payload and waits until every byte is counted and shown.
void drain(const QString &view, qint64 mib)
{
    Rig rig;
    QTemporaryDir dir;
    const bool text = view == QLatin1String("text");
    rig.check(QStringLiteral("16进制"), !text, receiveGroup);
    std::unique_ptr<Ser2NetServer> server;
    if (view == QLatin1String("rfc2217") || view == QLatin1String("socket")) {
        server.reset(new Ser2NetServer(rig.device.slave,
                                       view == QLatin1String("rfc2217") ? Ser2NetServer::Rfc2217
                                                                        : Ser2NetServer::RawTcp));
        if (!server->start() || !rig.open(server->name()))
            qFatal("cannot open %s through ser2net", qPrintable(rig.device.slave));
    }
    if (view == QLatin1String("frames"))
        rig.check(QStringLiteral("帧换行"), true);
    if (view == QLatin1String("stamps")) {
        rig.check(QStringLiteral("显示保存时间"), true);
        rig.check(QStringLiteral("显示保存发送"), true);
    }
    if (!server && !rig.open())
        qFatal("cannot open %s", qPrintable(rig.device.slave));
    if (view == QLatin1String("capture")) {
        rig.boxes.chooseFile(dir.filePath(QStringLiteral("capture.txt")));
        click(findButton(rig.w, QStringLiteral("保存数据")));
        if (!findButton(rig.w, QStringLiteral("停止保存")))
            qFatal("capture did not start");
    }
    const qint64 total = mib * 1024 * 1024;
    const QByteArray payload = text ? textLines(total) : randomBytes(total);
    StallWatch stalls;

    const double wall0 = monotonicSeconds();
    const double cpu0 = threadCpuSeconds();
    std::thread feeder([&] { rig.device.writeAll(payload.constData(), size_t(payload.size())); });
    waitFor([&] { return rig.shownBytes() >= total; }, 600000, "the flood to be shown");
    QCoreApplication::sendPostedEvents(); // the last paint
    QCoreApplication::processEvents();
    const double seconds = monotonicSeconds() - wall0;
    const double cpu = threadCpuSeconds() - cpu0;
    feeder.join();
    printJson(QStringLiteral("{\"figure\":\"drain\",\"view\":\"%1\",\"bytes\":%2,\"seconds\":%3,"
                             "\"mb_per_s\":%4,\"cpu_s\":%5,\"mb_per_cpu_s\":%6,\"stall_ms\":%7}")
                      .arg(view)
                      .arg(total)
                      .arg(seconds, 0, 'f', 3)
                      .arg(total / seconds / 1e6, 0, 'f', 2)
                      .arg(cpu, 0, 'f', 3)
                      .arg(total / cpu / 1e6, 0, 'f', 2)
                      .arg(stalls.longestMs(), 0, 'f', 1));
}

// "自动清" off: does each MiB cost the same while the pane keeps growing?
void growth(const QString &view, int mib)
{
    Rig rig;
    rig.check(QStringLiteral("自动清"), false, receiveGroup);
    rig.check(QStringLiteral("帧换行"), view == QLatin1String("frames"));
    if (!rig.open())
        qFatal("cannot open %s", qPrintable(rig.device.slave));
    const qint64 step = 1024 * 1024;
    const QByteArray payload = randomBytes(step * mib);
    StallWatch stalls;
    // Each MiB is a flood of its own, sent once the one before is shown, so
    // every MiB meets the same conditions except the pane's size.
    std::atomic<int> shownMiB{ 0 };
    QVector<double> wallAt{ monotonicSeconds() }, cpuAt{ threadCpuSeconds() };
    stalls.onTick = [&] {
        if (wallAt.size() <= mib && rig.shownBytes() >= step * wallAt.size()) {
            wallAt.append(monotonicSeconds());
            cpuAt.append(threadCpuSeconds());
            shownMiB = wallAt.size() - 1;
        }
    };
    std::thread feeder([&] {
        for (int part = 0; part < mib; ++part) {
            while (shownMiB < part)
                usleep(1000);
            rig.device.writeAll(payload.constData() + part * step, size_t(step));
        }
    });
    waitFor([&] { return wallAt.size() > mib; }, 1800000, "the flood to be shown");
    feeder.join();
    QStringList walls, cpus;
    for (int i = 1; i < wallAt.size(); ++i) {
        walls << QString::number(wallAt[i] - wallAt[i - 1], 'f', 3);
        cpus << QString::number(cpuAt[i] - cpuAt[i - 1], 'f', 3);
    }
    const double firstCpu = cpuAt.value(1) - cpuAt.value(0);
    const double lastCpu = cpuAt.value(mib) - cpuAt.value(mib - 1);
    printJson(QStringLiteral("{\"figure\":\"growth\",\"view\":\"%1\",\"mib\":%2,"
                             "\"s_per_mib\":[%3],\"cpu_s_per_mib\":[%4],\"last_to_first_cpu\":%5,"
                             "\"rss_mib\":%6,\"stall_ms\":%7}")
                      .arg(view)
                      .arg(mib)
                      .arg(walls.join(','))
                      .arg(cpus.join(','))
                      .arg(lastCpu / firstCpu, 0, 'f', 2)
                      .arg(residentMiB(), 0, 'f', 0)
                      .arg(stalls.longestMs(), 0, 'f', 1));
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t index =
            std::min(values.size() - 1, size_t(std::ceil(fraction * values.size())) - 1);
    return values[index];
}

// How much of the payload the pane shows: found from the text at its end,
// which is what a paint of the pane at the bottom draws last.
class ShownOffset
{
public:
    ShownOffset(const QByteArray &payload, bool text)
        : payload(payload)
        , text(text)
    {
    }

    qint64 at(QPlainTextEdit *pane)
    {
        // The tail of the last few paragraphs, enough to hold a line number
        // or eight bytes in hexadecimal.
        QString tail;
        QTextBlock block = pane->document()->lastBlock();
        for (int blocks = 0; block.isValid() && blocks < 4 && tail.size() < 80; ++blocks) {
            tail.prepend(block.text().right(80) + (blocks > 0 ? QStringLiteral("\n") : QString()));
            block = block.previous();
        }
        return text ? fromText(tail) : fromHex(tail);
    }

private:
    // Text lines are all as long as the first and carry their number.
    qint64 fromText(const QString &tail)
    {
        static const int lineLength = payload.indexOf('\n') + 1;
        for (int marker = tail.lastIndexOf(QLatin1String("line ")); marker >= 0;
             marker = tail.lastIndexOf(QLatin1String("line "), marker - 1)) {
            bool ok = false;
            const qint64 line = tail.mid(marker + 5, 7).toLongLong(&ok);
            if (ok && tail.size() >= marker + 12) {
                // A paragraph break stands for the two bytes of CR LF.
                const qint64 after =
                        tail.size() - marker + tail.mid(marker).count(QLatin1Char('\n'));
                shown = std::max(shown, line * lineLength + after);
                break;
            }
            if (marker == 0)
                break;
        }
        return shown;
    }
    // Random bytes: the last eight shown are found once in the payload.
    qint64 fromHex(const QString &tail)
    {
        QByteArray digits;
        for (int i = tail.size() - 1; i >= 0 && digits.size() < 16; --i) {
            if (isxdigit(tail.at(i).toLatin1()))
                digits.prepend(tail.at(i).toLatin1());
        }
        if (digits.size() < 16)
            return shown;
        const QByteArray last = QByteArray::fromHex(digits);
        const qint64 from = std::max<qint64>(0, shown - 8);
        const int found = payload.indexOf(last, int(from));
        if (found >= 0)
            shown = found + last.size();
        return shown;
    }

    const QByteArray &payload;
    const bool text;
    qint64 shown = 0;
};

// Times each paint of the pane and learns from it which slices of the
// payload it shows; its own CPU time is kept apart so the figure is the
// window's alone.
class PaintWatch : public QObject
{
public:
    PaintWatch(QPlainTextEdit *pane, const QByteArray &payload, bool text, int slice,
               const std::vector<double> &writtenAt, std::atomic<int> &written)
        : pane(pane)
        , offset(payload, text)
        , slice(slice)
        , writtenAt(writtenAt)
        , written(written)
    {
        pane->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const double cpu0 = threadCpuSeconds();
        const double now = monotonicSeconds();
        const qint64 shown = offset.at(pane);
        const int slices = written;
        for (; seen < slices && qint64(seen + 1) * slice <= shown; ++seen)
            delays.push_back((now - writtenAt[size_t(seen)]) * 1000);
        ++paints;
        ownCpu += threadCpuSeconds() - cpu0;
        return false;
    }
    std::vector<double> delays;
    double ownCpu = 0;
    int paints = 0;

private:
    QPlainTextEdit *pane;
    ShownOffset offset;
    const int slice;
    const std::vector<double> &writtenAt;
    std::atomic<int> &written;
    int seen = 0;
};

// The 921600-baud rate: 92,160 bytes a second in 10 ms slices. Besides the
// CPU, the delay of each slice from its write to the first paint of the pane
// that shows it.
void paced(const QString &view, int seconds)
{
    Rig rig;
    const bool text = view == QLatin1String("text");
    rig.check(QStringLiteral("16进制"), !text, receiveGroup);
    if (!rig.open())
        qFatal("cannot open %s", qPrintable(rig.device.slave));
    const int rate = 92160;
    const int slice = rate / 100;
    const QByteArray payload =
            text ? textLines(qint64(rate) * seconds) : randomBytes(qint64(rate) * seconds);
    const int slices = payload.size() / slice;
    std::vector<double> writtenAt(size_t(slices) + 1);
    std::atomic<int> written{ 0 };
    PaintWatch paints(byName<QPlainTextEdit>(rig.w, QStringLiteral("recvEdit")), payload, text,
                      slice, writtenAt, written);
    StallWatch stalls;
    std::atomic<bool> fed{ false };
    const double wall0 = monotonicSeconds();
    const double cpu0 = threadCpuSeconds();
    std::thread feeder = feedPaced(rig, payload, slice, fed, [&] {
        if (written < slices) {
            writtenAt[size_t(written.load())] = monotonicSeconds();
            ++written;
        }
    });
    waitFor([&] { return fed && rig.shownBytes() >= payload.size(); }, seconds * 10000,
            "the paced stream to be shown", 50);
    const double wall = monotonicSeconds() - wall0;
    const double cpu = threadCpuSeconds() - cpu0 - paints.ownCpu;
    feeder.join();
    printJson(QStringLiteral("{\"figure\":\"paced\",\"view\":\"%1\",\"rate\":%2,\"seconds\":%3,"
                             "\"cpu_pct\":%4,\"stall_ms\":%5,\"shown\":%6,\"paints\":%7,"
                             "\"slices_seen\":%8,\"slices\":%9,\"shown_p99_ms\":%10,"
                             "\"shown_max_ms\":%11}")
                      .arg(view)
                      .arg(rate)
                      .arg(wall, 0, 'f', 2)
                      .arg(100.0 * cpu / wall, 0, 'f', 1)
                      .arg(stalls.longestMs(), 0, 'f', 1)
                      .arg(rig.shownBytes() >= payload.size() ? "true" : "false")
                      .arg(paints.paints)
                      .arg(paints.delays.size())
                      .arg(slices)
                      .arg(percentile(paints.delays, 0.99), 0, 'f', 1)
                      .arg(percentile(paints.delays, 1.0), 0, 'f', 1));
}

// A file rotation waiting for answers, answered at once: from the answer
// written to the next line readable on the master.
void answer(int lines)
{
    Rig rig;
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("lines.txt")));
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the send file");
    for (int line = 0; line < lines; ++line)
        file.write("L" + QByteArray::number(line % 10000).rightJustified(4, '0') + "\n");
    file.close();
    rig.check(QStringLiteral("16进制"), false, QStringLiteral("发送区1属性"));
    rig.check(QStringLiteral("只轮发一遍"), true);
    if (!rig.open())
        qFatal("cannot open %s", qPrintable(rig.device.slave));
    rig.boxes.chooseFile(file.fileName());
    click(findButton(rig.w, QStringLiteral("选择发送文件")));
    waitFor([&] { return counter(rig.w, "文件行数").toInt() == lines; }, 5000, "the send file");

    std::vector<double> turnarounds;
    std::atomic<bool> done{ false };
    std::thread device([&] {
        QByteArray got;
        char buffer[256];
        double answeredAt = 0;
        for (int seen = 0; seen < lines;) {
            pollfd readable{ rig.device.master, POLLIN, 0 };
            if (::poll(&readable, 1, 5000) <= 0)
                break;
            const ssize_t n = ::read(rig.device.master, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            const double now = monotonicSeconds();
            got.append(buffer, int(n));
            while (got.size() >= 5) {
                got.remove(0, 5);
                ++seen;
                if (answeredAt > 0)
                    turnarounds.push_back((now - answeredAt) * 1000);
                answeredAt = monotonicSeconds();
                rig.device.writeAll("OK", 2);
            }
        }
        done = true;
    });
    StallWatch stalls;
    click(findButton(rig.w, QStringLiteral("开始文件轮发")));
    waitFor([&] { return bool(done); }, lines * 100 + 10000, "the file rotation");
    device.join();
    printJson(QStringLiteral("{\"figure\":\"answer\",\"lines\":%1,\"answered\":%2,\"median_ms\":%3,"
                             "\"p99_ms\":%4,\"max_ms\":%5,\"stall_ms\":%6}")
                      .arg(lines)
                      .arg(turnarounds.size() + 1)
                      .arg(percentile(turnarounds, 0.5), 0, 'f', 3)
                      .arg(percentile(turnarounds, 0.99), 0, 'f', 3)
                      .arg(percentile(turnarounds, 1.0), 0, 'f', 3)
                      .arg(stalls.longestMs(), 0, 'f', 1));
}

// Area rotation with the three areas at 100, 250 and 1000 ms at once.
void rotation(int seconds)
{
    Rig rig;
    const int periods[3] = { 100, 250, 1000 };
    for (int area = 1; area <= 3; ++area) {
        const QString group = QStringLiteral("发送区%1属性").arg(area);
        sendArea(rig.w, area)->setPlainText(QStringLiteral("0%1").arg(area));
        rig.check(QStringLiteral("参加轮发"), true, group);
        byName<QSpinBox>(rig.w, QStringLiteral("autoSendIntervalSpin%1").arg(area))
                ->setValue(periods[area - 1]);
    }
    if (!rig.open())
        qFatal("cannot open %s", qPrintable(rig.device.slave));
    std::vector<double> arrivals[3];
    std::atomic<bool> stop{ false };
    std::thread device([&] {
        char buffer[256];
        while (!stop) {
            pollfd readable{ rig.device.master, POLLIN, 0 };
            if (::poll(&readable, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(rig.device.master, buffer, sizeof buffer);
            const double now = monotonicSeconds();
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] >= 1 && buffer[i] <= 3)
                    arrivals[buffer[i] - 1].push_back(now);
            }
        }
    });
    StallWatch stalls;
    click(findButton(rig.w, QStringLiteral("开始轮发")));
    QEventLoop running;
    QTimer::singleShot(seconds * 1000, &running, &QEventLoop::quit);
    running.exec();
    click(findButton(rig.w, QStringLiteral("开始轮发")));
    stop = true;
    device.join();
    for (int area = 0; area < 3; ++area) {
        double sum = 0, worst = 0;
        const std::vector<double> &times = arrivals[area];
        for (size_t i = 1; i < times.size(); ++i) {
            const double gap = (times[i] - times[i - 1]) * 1000;
            sum += gap;
            worst = std::max(worst, std::fabs(gap - periods[area]));
        }
        const size_t gaps = times.size() > 1 ? times.size() - 1 : 1;
        printJson(QStringLiteral("{\"figure\":\"rotation\",\"period_ms\":%1,\"sends\":%2,"
                                 "\"mean_ms\":%3,\"max_deviation_ms\":%4,\"stall_ms\":%5}")
                          .arg(periods[area])
                          .arg(times.size())
                          .arg(sum / gaps, 0, 'f', 1)
                          .arg(worst, 0, 'f', 1)
                          .arg(stalls.longestMs(), 0, 'f', 1));
    }
}

class PaintCount : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

// The plot's cost at the 921600-baud rate: lines of three numbers as a device
// prints them ("123,456,789\r\n", about 7,000 a second) in the text view, the
// plot open (following, drawn) or closed. Every line must become a sample.
void plotted(const QString &state, int seconds)
{
    Rig rig;
    rig.window.installMenuBar();
    rig.check(QStringLiteral("16进制"), false, receiveGroup);
    if (!rig.open())
        qFatal("cannot open %s", qPrintable(rig.device.slave));
    const bool open = state == QLatin1String("open");
    auto *feed = rig.window.findChild<PlotFeed *>();
    if (open) {
        rig.window.findChild<QAction *>(QStringLiteral("plotAction"))->trigger();
        if (!QTest::qWaitForWindowExposed(rig.window.findChild<QDockWidget *>()))
            qFatal("the plot did not show");
    }
    PaintCount draws;
    if (QWidget *canvas = rig.window.findChild<QWidget *>(QStringLiteral("plotCanvas")))
        canvas->installEventFilter(&draws);
    const int rate = 92160;
    QByteArray payload;
    int lines = 0;
    // Three slow waves, as sensors or a control loop give them.
    for (; payload.size() < qint64(rate) * seconds; ++lines) {
        const double t = lines / 7089.0;
        for (const double period : { 2.0, 3.0, 5.0 }) {
            payload += QByteArray::number(500 + int(399 * std::sin(2 * M_PI * t / period)));
            payload += period < 5 ? "," : "\r\n";
        }
    }
    const int slice = rate / 100;
    StallWatch stalls;
    std::atomic<bool> fed{ false };
    const double wall0 = monotonicSeconds();
    const double cpu0 = threadCpuSeconds();
    std::thread feeder = feedPaced(rig, payload, slice, fed, [] {});
    waitFor([&] { return fed && rig.shownBytes() >= payload.size(); }, seconds * 10000,
            "the lines to be shown", 50);
    const double wall = monotonicSeconds() - wall0;
    const double cpu = threadCpuSeconds() - cpu0;
    feeder.join();
    const int kept = feed->store().size();
    printJson(QStringLiteral("{\"figure\":\"plot\",\"plot\":\"%1\",\"seconds\":%2,\"lines\":%3,"
                             "\"samples\":%4,\"all_kept\":%5,\"cpu_pct\":%6,\"stall_ms\":%7,"
                             "\"draws\":%8}")
                      .arg(state)
                      .arg(wall, 0, 'f', 2)
                      .arg(lines)
                      .arg(kept)
                      .arg(!open || kept == lines ? "true" : "false")
                      .arg(100.0 * cpu / wall, 0, 'f', 1)
                      .arg(stalls.longestMs(), 0, 'f', 1)
                      .arg(draws.paints));
}

} // namespace

int main(int argc, char **argv)
{
    prepareEnvironment();
    keepFreedMemoryForReuse(); // as the program does
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    useFreshSettings();
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString figure = args.value(0);
    const QString view = args.value(1);
    if (figure == QLatin1String("drain"))
        drain(view, args.value(2, QStringLiteral("2")).toInt());
    else if (figure == QLatin1String("growth"))
        growth(view, args.value(2, QStringLiteral("16")).toInt());
    else if (figure == QLatin1String("paced"))
        paced(view, args.value(2, QStringLiteral("10")).toInt());
    else if (figure == QLatin1String("answer"))
        answer(args.value(1, QStringLiteral("1000")).toInt());
    else if (figure == QLatin1String("rotation"))
        rotation(args.value(1, QStringLiteral("10")).toInt());
    else if (figure == QLatin1String("plot"))
        plotted(view, args.value(2, QStringLiteral("10")).toInt());
    else {
        QTextStream(stderr)
                << "usage: bench_display drain|growth|paced|answer|rotation|plot [view] [size]\n";
        return 2;
    }
    return 0;
}
