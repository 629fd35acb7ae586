#ifndef QUORVEL_CAPTUREWRITER_H
#define QUORVEL_CAPTUREWRITER_H

#include <QVector>

#include "trafficview.h"

class QFile;

// Writes the traffic into the capture file as the pane shows it: one line
// per frame, its pieces as they came, ended by a line feed unless its text
// ends with one.
class CaptureWriter
{
public:
    explicit CaptureWriter(QFile *file)
        : file(file)
    {
    }

    // A capture begins: the file has no line of ours open.
    void started() { lineOpen = false; }
    // False when the file did not take all of it.
    bool write(const QVector<TrafficPiece> &pieces);
    // Ends the file's last line if its frame has not ended yet.
    void finishLine();

private:
    QFile *file;
    bool lineOpen = false;
    bool lineEnded = false;
};

#endif // QUORVEL_CAPTUREWRITER_H
