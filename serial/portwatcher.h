#ifndef QUORVEL_PORTWATCHER_H
#define QUORVEL_PORTWATCHER_H

#include <QObject>
#include <QString>
#include <QTimer>

// Waits for the device behind a lost port to come back: its path must first
// disappear and then exist again, so a node that lingers for a moment after
// the loss is not mistaken for the return. Checking one path costs next to
// nothing, unlike enumerating every port.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    // Often enough to notice a return within a second.
    static constexpr int pollIntervalMs = 500;

    explicit PortWatcher(QObject *parent = nullptr);

    // portName as the port list shows it: a name (ttyUSB0) or a path. False
    // when a node of that name later would not be the same device.
    bool watch(const QString &portName);
    void stop();
    bool isWatching() const { return pollTimer.isActive(); }
    QString portName() const { return watchedName; }

signals:
    // On every poll while the port is back, until stop(): an opening that
    // fails (permissions not yet set, say) is simply tried again.
    void portReturned(const QString &portName);

private:
    void poll();
    bool portPresent() const;

    QTimer pollTimer;
    QString watchedName;
    // Empty where ports are not files (Windows): the enumeration decides.
    QString location;
    bool seenAbsent = false;
};

#endif // QUORVEL_PORTWATCHER_H
