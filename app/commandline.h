#ifndef QUORVEL_COMMANDLINE_H
#define QUORVEL_COMMANDLINE_H

#include <QString>
#include <QStringList>

class MainWindow;

// What the command line asks the window to do once it is built.
struct StartOptions
{
    QString port; // a name from the port list, or a device path
    qint32 baudRate = 0; // 0: keep the window's default
    bool open = false;
};

struct CommandLine
{
    // -1: start the window; otherwise print the message and exit with this status.
    int exitStatus = -1;
    // For stdout when exiting with 0 (help, version), stderr otherwise.
    QString message;
    StartOptions options;
    // The interface language asked for, "zh" or "en"; empty when not given.
    QString language;
};

// arguments[0] is the program name, as in QCoreApplication::arguments().
CommandLine parseCommandLine(const QStringList &arguments);

// Selects the port and rate; opening is left to the caller, once the window
// is shown, so an error box has a window to belong to.
void applyStartOptions(MainWindow &window, const StartOptions &options);

#endif // QUORVEL_COMMANDLINE_H
