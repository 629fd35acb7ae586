#ifndef QUORVEL_PORTWATCHER_H
#define QUORVEL_PORTWATCHER_H

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Waits for the device behind a lost port to come back. The port's folder is
// watched (inotify underneath on Linux), so a board that re-enumerates within
// a fraction of a second is seen at once and nothing runs while it is away.
// A node that lingers after the loss is not the return: the path must first
// disappear, or be replaced by a new node. Checking one path costs next to
// nothing, unlike enumerating every port.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    // Where no folder can be watched (Windows), and while a returned device
    // cannot be opened yet, the path is looked at this often.
    static constexpr int pollIntervalMs = 500;

    explicit PortWatcher(QObject *parent = nullptr);

    // Notes the node of a port just opened, to tell a new node from one
    // that lingers after a loss.
    void remember(const QString &portName);
    // portName as the port list shows it: a name (ttyUSB0) or a path. False
    // when a node of that name later would not be the same device.
    bool watch(const QString &portName);
    void stop();
    bool isWatching() const { return !watchedName.isEmpty(); }
    // The node reported could not be taken yet (not openable, identity not
    // known): report it again at the next poll. Otherwise a node reported
    // once is reported again only when it changes, so a port that is not
    // the lost device costs nothing while it stays.
    void lookAgain() { again = true; }
    QString portName() const { return watchedName; }

signals:
    // Again after each change of the node, or at the next poll when asked
    // to look again, until stop().
    void portReturned(const QString &portName);

private:
    void check();
    void watchNearestFolder();
    static QString nodeStamp(const QString &portName, const QString &location);

    QTimer pollTimer;
    QFileSystemWatcher folderWatcher;
    QString watchedName;
    // Empty where ports are not files (Windows): the enumeration decides.
    QString location;
    QString rememberedName;
    QString rememberedStamp;
    // The node present at the loss; empty when none was.
    QString lostStamp;
    bool seenAbsent = false;
    QString reportedStamp;
    bool again = false;
};

#endif // QUORVEL_PORTWATCHER_H
