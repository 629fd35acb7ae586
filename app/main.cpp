#include "commandline.h"
#include "language.h"
#include "mainwindow.h"
#include "resources.h"
#include "startup.h"

#include <QApplication>
#include <QTimer>

#ifdef Q_OS_WIN
#include <QMessageBox>
#endif

#include <cstdio>

int main(int argc, char **argv)
{
    // The translations are resources too.
    registerQuorvelResources();

    // Read under a core application first: help, version and usage errors
    // must not need a display.
    CommandLine commandLine;
    {
        QCoreApplication reader(argc, argv);
        const QStringList arguments = QCoreApplication::arguments();
        // Told in the language asked for, else the one chosen before; a
        // terminal that never chose gets English, as it always has.
        QString terminalLanguage = parseCommandLine(arguments).language;
        if (terminalLanguage.isEmpty())
            terminalLanguage = language::stored();
        language::install(terminalLanguage.isEmpty() ? language::english : terminalLanguage);
        commandLine = parseCommandLine(arguments);
    }
    if (commandLine.exitStatus >= 0) {
#ifdef Q_OS_WIN
        // A GUI program has no console here: show what would be printed.
        QApplication box(argc, argv);
        if (commandLine.exitStatus == 0)
            QMessageBox::information(nullptr, QStringLiteral("Quorvel"), commandLine.message);
        else
            QMessageBox::warning(nullptr, QStringLiteral("Quorvel"), commandLine.message);
#else
        std::fputs(commandLine.message.toLocal8Bit().constData(),
                   commandLine.exitStatus == 0 ? stdout : stderr);
#endif
        return commandLine.exitStatus;
    }

    QApplication app(argc, argv);
    // Chinese unless English was chosen; a choice on the command line is kept.
    if (!commandLine.language.isEmpty())
        language::store(commandLine.language);
    const QString chosen = language::stored();
    language::install(chosen.isEmpty() ? language::chinese : chosen);
    setUpApplication();
    keepFreedMemoryForReuse();

    MainWindow window;
    applyStartOptions(window, commandLine.options);
    window.installMenuBar();
    setUpMainWindow(window);
    window.show();
    if (commandLine.options.open)
        QTimer::singleShot(0, &window, [&window] { window.openSelectedPort(); });
    return app.exec();
}
