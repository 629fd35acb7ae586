#include "commandline.h"
#include "mainwindow.h"
#include "resources.h"
#include "startup.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    // Read under a core application first: help, version and usage errors
    // must not need a display.
    CommandLine commandLine;
    {
        QCoreApplication reader(argc, argv);
        commandLine = parseCommandLine(QCoreApplication::arguments());
    }
    if (commandLine.exitStatus >= 0) {
        std::fputs(commandLine.message.toLocal8Bit().constData(),
                   commandLine.exitStatus == 0 ? stdout : stderr);
        return commandLine.exitStatus;
    }

    registerQuorvelResources();
    QApplication app(argc, argv);
    setUpApplication();

    MainWindow window;
    applyStartOptions(window, commandLine.options);
    setUpMainWindow(window);
    window.show();
    if (commandLine.options.open)
        QTimer::singleShot(0, &window, [&window] { window.openSelectedPort(); });
    return app.exec();
}
