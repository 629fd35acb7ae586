#include "commandline.h"

#include "baudrates.h"
#include "mainwindow.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

// Usage errors exit with 2, as command-line tools conventionally do.
constexpr int usageErrorStatus = 2;

QString listOfRates()
{
    QStringList names;
    for (const qint32 rate : standardBaudRates())
        names << QString::number(rate);
    return names.join(QStringLiteral(", "));
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Quorvel: a serial port terminal for testing and debugging devices."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption portOption(
            QStringLiteral("port"),
            QStringLiteral("Select this port: a name from the port list (ttyUSB0, COM3) or a "
                           "device path (/dev/serial/by-id/..., a pty)."),
            QStringLiteral("name|path"));
    const QCommandLineOption baudOption(
            QStringLiteral("baud"),
            QCoreApplication::translate("CommandLine",
                                        "选择此波特率：%1 到 %2 之间的任一整数，如列表中的 %3。")
                    .arg(minimumBaudRate)
                    .arg(maximumBaudRate)
                    .arg(listOfRates()),
            QStringLiteral("rate"));
    const QCommandLineOption openOption(QStringLiteral("open"),
                                        QStringLiteral("Open the port at start."));
    parser.addOptions({ portOption, baudOption, openOption });

    // Read before the application exists (so --help works without a display),
    // the arguments still hold Qt's own options: accept and leave them to Qt.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const char *const qtOptionsWithValue[] = { "platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "qwindowicon",
                                               "qwindowtitle",
                                               "session",
                                               "style",
                                               "stylesheet",
                                               "display",
                                               "geometry",
                                               "title",
                                               "name",
                                               "visual",
                                               "ncols",
                                               "cmap",
                                               "im",
                                               "inputstyle",
                                               "fn",
                                               "font",
                                               "bg",
                                               "background",
                                               "fg",
                                               "foreground",
                                               "btn",
                                               "button",
                                               "qmljsdebugger" };
    const char *const qtFlags[] = { "reverse", "widgetcount", "nograb",
                                    "dograb",  "sync",        "testability" };
    for (const char *name : qtOptionsWithValue) {
        QCommandLineOption option{ QString::fromLatin1(name) };
        option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : qtFlags) {
        QCommandLineOption option{ QString::fromLatin1(name) };
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine result;
    auto usageError = [&](const QString &problem) {
        result.exitStatus = usageErrorStatus;
        result.message = QStringLiteral("quorvel: %1\n\n%2").arg(problem, parser.helpText());
        return result;
    };

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        result.exitStatus = 0;
        result.message = parser.helpText();
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.exitStatus = 0;
        result.message = QStringLiteral("Quorvel " QUORVEL_VERSION "\n");
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument '%1'.")
                                  .arg(parser.positionalArguments().constFirst()));

    if (parser.isSet(portOption)) {
        result.options.port = parser.value(portOption).trimmed();
        if (result.options.port.isEmpty())
            return usageError(QStringLiteral("--port needs a port name or path."));
    }
    if (parser.isSet(baudOption)) {
        const qint32 rate = baudRateFromText(parser.value(baudOption));
        if (rate == 0)
            return usageError(
                    QCoreApplication::translate("CommandLine", "'%1' 不是 %2 到 %3 之间的波特率。")
                            .arg(parser.value(baudOption))
                            .arg(minimumBaudRate)
                            .arg(maximumBaudRate));
        result.options.baudRate = rate;
    }
    result.options.open = parser.isSet(openOption);
    return result;
}

void applyStartOptions(MainWindow &window, const StartOptions &options)
{
    if (!options.port.isEmpty())
        window.selectPort(options.port);
    if (options.baudRate > 0)
        window.selectBaudRate(options.baudRate);
}
