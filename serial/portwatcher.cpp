#include "portwatcher.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

namespace {

// Where the port lives in the file system, resolved once: the device may
// already be gone, so fall back to the system's naming rule.
QString locationOf(const QString &portName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(portName)
    return {};
#else
    if (portName.startsWith(QLatin1Char('/')))
        return portName;
    const QSerialPortInfo info(portName);
    if (!info.isNull())
        return info.systemLocation();
    return QStringLiteral("/dev/") + portName;
#endif
}

// A numbered pseudo-terminal goes to whatever program asks next (a terminal
// window, an ssh login): a node of that name later is not the same device,
// and opening it would take someone else's keystrokes. A link to one (as a
// simulator creates) is another matter: its owner recreates it on purpose.
bool isNumberedPseudoTerminal(const QString &location)
{
    static const QRegularExpression numbered(QStringLiteral("^/dev/(pts/|ttys)\\d+$"));
    return numbered.match(location).hasMatch();
}

} // namespace

PortWatcher::PortWatcher(QObject *parent)
    : QObject(parent)
{
    pollTimer.setInterval(pollIntervalMs);
    connect(&pollTimer, &QTimer::timeout, this, &PortWatcher::poll);
}

bool PortWatcher::watch(const QString &portName)
{
    stop();
    const QString path = locationOf(portName);
    if (isNumberedPseudoTerminal(path))
        return false;
    watchedName = portName;
    location = path;
    pollTimer.start();
    return true;
}

void PortWatcher::stop()
{
    pollTimer.stop();
    watchedName.clear();
    location.clear();
    seenAbsent = false;
}

void PortWatcher::poll()
{
    if (!portPresent())
        seenAbsent = true;
    else if (seenAbsent)
        emit portReturned(QString(watchedName)); // a copy: handlers may stop() us
}

bool PortWatcher::portPresent() const
{
    if (location.isEmpty())
        return !QSerialPortInfo(watchedName).isNull();
    return QFileInfo::exists(location);
}
