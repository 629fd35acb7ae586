#include "portwatcher.h"

#include <QFileInfo>
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

} // namespace

PortWatcher::PortWatcher(QObject *parent)
    : QObject(parent)
{
    pollTimer.setInterval(pollIntervalMs);
    connect(&pollTimer, &QTimer::timeout, this, &PortWatcher::poll);
}

void PortWatcher::watch(const QString &portName)
{
    watchedName = portName;
    location = locationOf(portName);
    seenAbsent = false;
    pollTimer.start();
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
