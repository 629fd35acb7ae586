// The longest stall of the event loop that one user action causes at
// hostile sizes: a 50 MiB send file, "手动发送" and "校验" on a 1 MiB
// hexadecimal text, a 10 MB send text stored in the settings, and what Qt
// itself takes to show a huge text, and find in a 1 MiB receive pane.
// Usage: QT_QPA_PLATFORM=offscreen build/bench/bench_stalls [sendfile|hex|stored|find]
#include "../tests/fuzz/hexparser_reference.h"
#include "findbar.h"
#include "hexparser.h"
#include "mainwindow.h"
#include "sendfileline.h"
#include "testsupport.h"
#include "trafficformat.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

using namespace testsupport;

namespace {

void report(const char *what, qint64 stallMs, qint64 totalMs)
{
    QTextStream(stdout) << QString::asprintf("%-48s longest stall %6lld ms, done after %6lld ms\n",
                                             what, stallMs, totalMs);
}

// Runs action from inside the event loop and records the longest time
// between two turns of the loop until done() holds.
void measure(const char *what, const std::function<void()> &action,
             const std::function<bool()> &done)
{
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longest = 0;
    QEventLoop loop;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = qMax(longest, now - lastTick);
        lastTick = now;
        if (done() || now > 600000)
            loop.quit();
    });
    watchdog.start(1);
    clock.start();
    QTimer::singleShot(0, action);
    loop.exec();
    const bool finished = done();
    const qint64 total = clock.elapsed();
    // The last stretch, if the action ended inside it.
    longest = qMax(longest, total - lastTick);
    report(finished ? what : "(timed out)", longest, total);
}

qint64 timeOf(const std::function<void()> &action)
{
    QElapsedTimer clock;
    clock.start();
    action();
    return clock.elapsed();
}

QString hexText(int characters)
{
    QByteArray bytes(characters / 3 + 1, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    return hexForm(bytes).left(characters);
}

void benchSendFile(const QString &folder)
{
    const QString path = folder + QStringLiteral("/send.txt");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    const QByteArray line = "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10\n";
    const int lines = 50 * 1024 * 1024 / line.size();
    for (int i = 0; i < lines; ++i)
        file.write(line);
    file.close();

    // The former loader: the whole file in one go inside the click.
    const qint64 oneGoMs = timeOf([&] {
        QFile whole(path);
        whole.open(QIODevice::ReadOnly | QIODevice::Text);
        QStringList decoded;
        while (!whole.atEnd())
            decoded.append(decodeSendFileLine(whole.readLine()));
    });
    report("load a 50 MiB send file in one go (before)", oneGoMs, oneGoMs);

    ModalHandler boxes;
    MainWindow window;
    boxes.chooseFile(path);
    measure(
            "load a 50 MiB send file",
            [&] { click(findButton(&window, QStringLiteral("选择发送文件"))); },
            [&] { return counter(&window, QStringLiteral("文件行数")) == QString::number(lines); });
}

void benchHexText()
{
    const QString text = hexText(1024 * 1024);
    QByteArray bytes;
    const qint64 beforeMs = timeOf([&] { bytes = referenceParseHexString(text); });
    const qint64 afterMs = timeOf([&] { bytes = parseHexString(text); });
    for (qint64 ms : { beforeMs, afterMs })
        QTextStream(stdout) << QString::asprintf("%-48s %6lld ms (%.1f MB/s)\n",
                                                 ms == beforeMs ? "parse 1 MiB of hex text, before"
                                                                : "parse 1 MiB of hex text, now",
                                                 ms, text.size() / 1e3 / qMax<qint64>(ms, 1));

    ModalHandler boxes;
    Pty pty;
    MainWindow window;
    window.show();
    openPort(&window, pty.slavePath());
    QPlainTextEdit *area = sendArea(&window, 1);
    area->setPlainText(text);
    // Let Qt lay the area out before anything is timed.
    QTest::qWait(2000);
    QAbstractButton *stop = findButton(&window, QStringLiteral("停止显示"));
    QAbstractButton *send = byName<QAbstractButton>(&window, QStringLiteral("manualSendButton1"));
    // Ours alone first: with "停止显示" the echo into the pane is skipped.
    for (const bool shown : { false, true }) {
        stop->setChecked(!shown);
        const QString total = QString::number((shown ? 2 : 1) * bytes.size());
        measure(
                shown ? "\"手动发送\" of a 1 MiB hex text"
                      : "\"手动发送\" of a 1 MiB hex text, display stopped",
                [&] { click(send); },
                [&] { return counter(&window, QStringLiteral("发字节数")) == total; });
    }
    measure(
            "\"校验\" (CRC-16) on a 1 MiB hex text",
            [&] {
                findButton(&window, QStringLiteral("校验"), QStringLiteral("发送区1属性"))->click();
            },
            [&] { return area->toPlainText().size() > text.size(); });
}

void benchStoredText()
{
    const QString text = hexText(10 * 1000 * 1000);
    {
        QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
        settings.setValue(QStringLiteral("send1"), text);
    }
    // QSettings keeps a parsed store per process: read a copy it has not seen.
    const QString store =
            QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).fileName();
    const QString copy = store + QStringLiteral(".copy.conf");
    QFile::copy(store, copy);
    const qint64 readMs = timeOf([&] {
        QSettings settings(copy, QSettings::IniFormat);
        settings.value(QStringLiteral("send1")).toString();
    });
    report("read a 10 MB send text from the settings", readMs, readMs);

    for (int size : { 3 * 1000 * 1000, 10 * 1000 * 1000 }) {
        QPlainTextEdit edit;
        edit.setMaximumHeight(28);
        const QString shown = text.left(size);
        const qint64 setMs = timeOf([&] { edit.setPlainText(shown); });
        const qint64 showMs = timeOf([&] {
            edit.show();
            (void)QTest::qWaitForWindowExposed(&edit);
        });
        const QByteArray what =
                QStringLiteral("Qt: setPlainText of %1 MB, then show").arg(size / 1000000).toUtf8();
        report(what.constData(), qMax(setMs, showMs), setMs + showMs);
    }

    MainWindow *window = nullptr;
    const qint64 buildMs = timeOf([&] { window = new MainWindow; });
    const qint64 showMs = timeOf([&] {
        window->show();
        (void)QTest::qWaitForWindowExposed(window);
    });
    report("window with a 10 MB stored send text", qMax(buildMs, showMs), buildMs + showMs);
    delete window;
}

// Find in a receive pane holding 1 MiB of hexadecimal traffic: typing the
// text, stepping through matches, a text found nowhere (a search of the whole
// pane both ways), and counting on while more traffic arrives.
void benchFind()
{
    Pty pty;
    MainWindow window;
    window.installMenuBar();
    window.show();
    // Every read a frame of its own, so each chunk is counted as it arrives.
    byName<QSpinBox>(&window, QStringLiteral("frameGapSpin"))->setValue(0);
    openPort(&window, pty.slavePath());
    findCheck(&window, QStringLiteral("自动清"))->setChecked(false);
    QByteArray chunk;
    for (int i = 0; i < 1024; ++i)
        chunk += static_cast<char>(i % 251);
    const int chunks = 1024 * 1024 / (3 * chunk.size()) + 1;
    for (int i = 0; i < chunks; ++i)
        receiveChunk(&window, pty, chunk);
    QPlainTextEdit *pane = receivePane(&window);
    QTest::qWait(500);
    QTextStream(stdout) << QString::asprintf("pane holds %d characters in %d paragraphs\n",
                                             pane->document()->characterCount(),
                                             pane->document()->blockCount());

    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    auto *edit = byName<QLineEdit>(&window, QStringLiteral("findEdit"));
    auto *bar = byName<FindBar>(&window, QStringLiteral("findBar"));
    const int expected = chunks * 5; // "0A 0B" is in every chunk five times
    // Each key counts the whole pane again.
    for (const char key : QByteArray("0A 0B")) {
        const QByteArray what = QByteArray("find: type '") + key + "' of \"0A 0B\" in a 1 MiB pane";
        measure(
                what.constData(), [&] { QTest::keyClick(edit, key); }, [] { return true; });
    }
    if (bar->matchCount() != expected)
        QTextStream(stdout) << "find: counted " << bar->matchCount() << ", not " << expected
                            << "\n";
    int steps = 0;
    measure(
            "find: next match, 200 times", [&] { ++steps; },
            [&] {
                bar->findNext();
                return ++steps > 200;
            });
    measure(
            "find: a text in no line (both ends searched)",
            [&] {
                edit->setText(QStringLiteral("ZZ"));
                bar->findPrevious();
            },
            [&] { return bar->matchCount() == 0; });
    edit->setText(QStringLiteral("0A 0B"));
    int more = 0;
    measure(
            "find: counting on while 100 chunks arrive",
            [&] {
                more = 1;
                pty.write(chunk);
            },
            [&] {
                if (bar->matchCount() == expected + 5 * more && more < 100) {
                    ++more;
                    pty.write(chunk);
                }
                return more == 100 && bar->matchCount() == expected + 5 * more;
            });
}

} // namespace

int main(int argc, char *argv[])
{
    prepareEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    useFreshSettings();
    // Optional argument: only one of sendfile, hex, stored.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTemporaryDir folder;
    if (only.isEmpty() || only == QLatin1String("sendfile"))
        benchSendFile(folder.path());
    if (only.isEmpty() || only == QLatin1String("hex"))
        benchHexText();
    if (only.isEmpty() || only == QLatin1String("stored"))
        benchStoredText();
    if (only.isEmpty() || only == QLatin1String("find"))
        benchFind();
    return 0;
}
