#include "capturewriter.h"

#include <QFile>

bool CaptureWriter::write(const QVector<TrafficPiece> &pieces)
{
    QByteArray bytes;
    for (const TrafficPiece &piece : pieces) {
        if (piece.kind == TrafficPiece::FrameStart) {
            if (lineOpen && !lineEnded)
                bytes += '\n';
            lineOpen = true;
            lineEnded = false;
        }
        bytes += piece.text.toUtf8();
        if (!piece.text.isEmpty())
            lineEnded = piece.text.endsWith(QLatin1Char('\n'));
        if (piece.kind == TrafficPiece::FrameEnd) {
            if (!lineEnded)
                bytes += '\n';
            lineOpen = false;
        }
    }
    const bool written = file->write(bytes) == bytes.size() && file->flush();
    if (!written)
        lineOpen = false;
    return written;
}

void CaptureWriter::finishLine()
{
    if (file->isOpen() && lineOpen && !lineEnded) {
        file->write("\n");
        file->flush();
    }
    lineOpen = false;
}
