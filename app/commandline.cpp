#include "commandline.h"

#include "baudrates.h"
#include "mainwindow.h"
#include "networkaddress.h"

#include "language.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("CommandLine", text);
}

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
    parser.setApplicationDescription(translated(
            QT_TRANSLATE_NOOP("CommandLine", "Quorvel：用于测试和调试设备的串口终端。")));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption portOption(
            QStringLiteral("port"),
            translated(
                    QT_TRANSLATE_NOOP("CommandLine",
                                      "选择此端口：端口列表中的名称（ttyUSB0、COM3）、"
                                      "设备路径（/dev/serial/by-id/...、pty）"
                                      "或网络端口（rfc2217://主机:端口、socket://主机:端口）。")),
            QStringLiteral("name|path|url"));
    const QCommandLineOption baudOption(
            QStringLiteral("baud"),
            QCoreApplication::translate("CommandLine",
                                        "选择此波特率：%1 到 %2 之间的任一整数，如列表中的 %3。")
                    .arg(minimumBaudRate)
                    .arg(maximumBaudRate)
                    .arg(listOfRates()),
            QStringLiteral("rate"));
    const QCommandLineOption openOption(
            QStringLiteral("open"),
            translated(QT_TRANSLATE_NOOP("CommandLine", "启动时打开所选串口。")));
    const QCommandLineOption languageOption(
            QStringLiteral("lang"),
            translated(QT_TRANSLATE_NOOP("CommandLine",
                                         "界面语言：zh（简体中文，默认）或 en（英语），"
                                         "下次启动时沿用。")),
            QStringLiteral("zh|en"));
    parser.addOptions({ portOption, baudOption, openOption, languageOption });

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
    // Taken before anything else is checked: the caller needs it to tell
    // the other problems in that language.
    if (parser.isSet(languageOption)) {
        const QString code = parser.value(languageOption).trimmed().toLower();
        if (!language::isKnown(code))
            return usageError(
                    translated(QT_TRANSLATE_NOOP("CommandLine", "'%1' 不是可选的语言（zh、en）。"))
                            .arg(parser.value(languageOption)));
        result.language = code;
    }
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
        return usageError(translated(QT_TRANSLATE_NOOP("CommandLine", "意外的参数 '%1'。"))
                                  .arg(parser.positionalArguments().constFirst()));

    if (parser.isSet(portOption)) {
        const QString port = parser.value(portOption).trimmed();
        if (port.isEmpty())
            return usageError(
                    translated(QT_TRANSLATE_NOOP("CommandLine", "--port 需要端口名称或路径。")));
        NetworkAddress address;
        QString error;
        if (NetworkAddress::looksLikeNetworkName(port)
            && !NetworkAddress::parse(port, &address, &error))
            return usageError(error);
        result.options.port = port;
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
