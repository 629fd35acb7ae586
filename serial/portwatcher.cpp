#include "portwatcher.h"

#include <QDateTime>
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
    connect(&pollTimer, &QTimer::timeout, this, &PortWatcher::check);
    connect(&folderWatcher, &QFileSystemWatcher::directoryChanged, this, &PortWatcher::check);
}

void PortWatcher::remember(const QString &portName)
{
    rememberedName = portName;
    rememberedStamp = nodeStamp(portName, locationOf(portName));
}

bool PortWatcher::watch(const QString &portName)
{
    stop();
    const QString path = locationOf(portName);
    if (isNumberedPseudoTerminal(path))
        return false;
    watchedName = portName;
    location = path;
    // The node opened, if known: it may have gone and come back already.
    lostStamp = portName == rememberedName ? rememberedStamp : nodeStamp(portName, path);
    watchNearestFolder();
    if (folderWatcher.directories().isEmpty())
        pollTimer.start();
    // Looked at once the loss is handled, not inside it.
    QMetaObject::invokeMethod(this, &PortWatcher::check, Qt::QueuedConnection);
    return true;
}

void PortWatcher::stop()
{
    pollTimer.stop();
    if (!folderWatcher.directories().isEmpty())
        folderWatcher.removePaths(folderWatcher.directories());
    watchedName.clear();
    location.clear();
    lostStamp.clear();
    seenAbsent = false;
    reportedStamp.clear();
    again = false;
}

void PortWatcher::check()
{
    if (!isWatching())
        return;
    watchNearestFolder();
    const QString stamp = nodeStamp(watchedName, location);
    if (stamp.isEmpty()) {
        seenAbsent = true;
        return;
    }
    if (!seenAbsent && stamp == lostStamp)
        return; // the lost node lingers
    if (stamp == reportedStamp && !again)
        return; // looked at already, and not the device
    reportedStamp = stamp;
    again = false;
    // Polled from now on, for the retries a handler may ask for.
    pollTimer.start();
    emit portReturned(QString(watchedName)); // a copy: handlers may stop() us
}

// The folder of the port, or the nearest one above it that exists (a
// /dev/serial/by-id folder goes with its last device).
void PortWatcher::watchNearestFolder()
{
    if (location.isEmpty())
        return;
    QString folder = QFileInfo(location).absolutePath();
    while (!QFileInfo(folder).isDir() && folder.count(QLatin1Char('/')) > 1)
        folder = QFileInfo(folder).absolutePath();
    const QStringList watched = folderWatcher.directories();
    if (watched == QStringList(folder))
        return;
    if (!watched.isEmpty())
        folderWatcher.removePaths(watched);
    folderWatcher.addPath(folder);
}

// Tells nodes apart: where a link leads, and when the node was made or last
// changed; a link removed and made again at once is a new node too. Empty
// while the port is absent.
QString PortWatcher::nodeStamp(const QString &portName, const QString &location)
{
    if (location.isEmpty())
        return QSerialPortInfo(portName).isNull() ? QString() : QStringLiteral("present");
    const QFileInfo node(location);
    if (!node.exists())
        return {};
    return node.symLinkTarget() + QLatin1Char('|')
            + QString::number(node.fileTime(QFileDevice::FileBirthTime).toMSecsSinceEpoch())
            + QLatin1Char('|')
            + QString::number(
                    node.fileTime(QFileDevice::FileMetadataChangeTime).toMSecsSinceEpoch());
}
