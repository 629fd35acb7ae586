#ifndef QUORVEL_SENDFILELOADER_H
#define QUORVEL_SENDFILELOADER_H

#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Reads a send file in slices of a few tens of milliseconds, so that a file
// of many megabytes does not freeze the window while it loads. A small file
// is read completely inside start().
class SendFileLoader : public QObject
{
    Q_OBJECT

public:
    explicit SendFileLoader(QObject *parent = nullptr);

    // Opens path, dropping any load in progress; false (and nothing
    // dropped) when it cannot be opened.
    bool start(const QString &path);
    // Reads one slice and schedules the next; the lines follow through
    // loaded(), for a small file before this returns.
    void readSlice();
    bool isLoading() const { return file.isOpen(); }

signals:
    void loaded(const QStringList &lines);

private:
    QFile file;
    QStringList lines;
    QTimer nextSlice;
};

#endif // QUORVEL_SENDFILELOADER_H
