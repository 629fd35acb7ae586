// Renders the main window to PNG files, with some traffic in the pane.
// Usage: quorvel-screenshot <output-folder>
//   writes theme-0.png (blue), theme-1.png (teal) and theme-2.png (beige)
//   in Chinese, english.png (blue, English, the find bar open), and plot.png
//   (the plot window with a control loop's three channels).
#include "language.h"
#include "mainwindow.h"
#include "plotfeed.h"
#include "resources.h"
#include "startup.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFont>
#include <QFontDatabase>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

// A Modbus read and write with their answers, as a device would give them.
const char *const requests[2] = { "01 03 00 00 00 01 84 0A", "01 06 00 01 00 17 98 04" };
const QByteArray answers[2] = { QByteArray::fromHex("010302002AB85B"),
                                QByteArray::fromHex("0106000100179804") };

// The window as the program starts it, open on the device's port.
void showOpenOn(MainWindow &window, testsupport::Pty &device)
{
    window.installMenuBar();
    setUpMainWindow(window);
    window.selectPort(device.slavePath());
    window.show();
    window.openSelectedPort();
}

bool exchange(QWidget &window, testsupport::Pty &device, int area)
{
    auto *send = testsupport::byName<QAbstractButton>(
            &window, QStringLiteral("manualSendButton%1").arg(area + 1));
    send->click();
    if (!device.waitForBytes(8))
        return false;
    device.take();
    auto *received = testsupport::byName<QLineEdit>(&window, QStringLiteral("recvBytesEdit"));
    const int before = received->text().toInt();
    device.write(answers[area]);
    return QTest::qWaitFor(
            [&] { return received->text().toInt() == before + answers[area].size(); });
}

bool render(const QString &path, int theme, const QString &code)
{
    language::install(code);
    {
        // The window takes its theme, options and send texts from the store.
        QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
        settings.clear();
        settings.setValue(QStringLiteral("themeIndex"), theme);
        settings.setValue(QStringLiteral("send1"), QLatin1String(requests[0]));
        settings.setValue(QStringLiteral("send2"), QLatin1String(requests[1]));
        settings.setValue(QStringLiteral("showSaveSend"), true);
        settings.setValue(QStringLiteral("showSaveTime"), true);
        settings.setValue(QStringLiteral("frameNewline"), true);
    }
    testsupport::Pty device;
    MainWindow window;
    showOpenOn(window, device);
    for (int round = 0; round < 2; ++round) {
        if (!exchange(window, device, 0) || !exchange(window, device, 1)) {
            std::fprintf(stderr, "no traffic through %s\n", qPrintable(device.slavePath()));
            return false;
        }
    }
    if (code == language::english) {
        // Shows the find bar at work: all matches marked, the current one stronger.
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("01 06"));
    }
    QTest::qWait(100);
    const bool saved = window.grab().save(path);
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
    window.close();
    return saved;
}

// A PI loop following set points, printed as a device would: 50 lines a second.
bool renderPlot(const QString &path)
{
    language::install(language::chinese);
    QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).clear();
    testsupport::Pty device;
    MainWindow window;
    showOpenOn(window, device);
    auto *feed = window.findChild<PlotFeed *>();
    // The program's clock, moved on by the lines written: 12 s of samples at once.
    testsupport::FrozenClock clock;
    window.findChild<QAction *>(QStringLiteral("plotAction"))->trigger();
    auto *dock = window.findChild<QDockWidget *>(QStringLiteral("plotDock"));
    dock->resize(820, 440);

    double measured = 20;
    double rate = 0;
    double integral = 0;
    for (int line = 0; line < 600; ++line) {
        const double target = line < 100 ? 20 : line < 350 ? 60 : 35;
        const double error = target - measured;
        integral += error * 0.02;
        const double output = std::clamp(2.0 * error + 1.5 * integral, 0.0, 100.0);
        rate += ((output - 0.5 * measured) * 0.9 - rate) * 0.12;
        measured += rate * 0.02;
        device.write(QStringLiteral("sp:%1 pv:%2 out:%3\r\n")
                             .arg(target, 0, 'f', 1)
                             .arg(measured, 0, 'f', 2)
                             .arg(output, 0, 'f', 1)
                             .toLatin1());
        if (!QTest::qWaitFor([&] { return feed->store().size() == line + 1; })) {
            std::fprintf(stderr, "the plot took no sample from %s\n",
                         qPrintable(device.slavePath()));
            return false;
        }
        clock.advance(20);
    }
    QTest::qWait(200);
    const bool saved = dock->grab().save(path);
    std::printf("%s\n", qPrintable(path));
    window.close();
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-folder>\n", argv[0]);
        return 2;
    }
    registerQuorvelResources();
    QApplication app(argc, argv);
    setUpApplication();
    // The offscreen platform defaults to 12 points; a desktop's 9 points
    // shows the window as its users see it.
    QFont font = QApplication::font();
    font.setPointSize(9);
    QApplication::setFont(font);

    // Without a CJK font every caption would come out as boxes. Qt 6 made
    // the font database's functions static and deprecated its instances.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QStringList chineseFonts = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
#else
    const QStringList chineseFonts = QFontDatabase().families(QFontDatabase::SimplifiedChinese);
#endif
    if (chineseFonts.isEmpty()) {
        std::fprintf(stderr, "no Chinese font found (install fonts-wqy-microhei)\n");
        return 1;
    }

    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    // A private store: the user's own settings must not show up in the
    // pictures, and the window's close must not overwrite them.
    QTemporaryDir store;
    if (!store.isValid()) {
        std::fprintf(stderr, "cannot create a temporary settings folder\n");
        return 1;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store.path());

    for (int theme = 0; theme < 3; ++theme) {
        if (!render(QDir(folder).filePath(QStringLiteral("theme-%1.png").arg(theme)), theme,
                    language::chinese))
            return 1;
    }
    return render(QDir(folder).filePath(QStringLiteral("english.png")), 0, language::english)
                    && renderPlot(QDir(folder).filePath(QStringLiteral("plot.png")))
            ? 0
            : 1;
}
