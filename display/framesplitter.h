#ifndef QUORVEL_FRAMESPLITTER_H
#define QUORVEL_FRAMESPLITTER_H

#include <QObject>

#include "clock.h"

// Cuts the received stream into frames: bytes with no silence of the frame
// gap between them. A USB adapter passes a frame on in pieces (one common
// chip holds bytes back for up to 16 ms), so one read is not one frame.
// Costs one clock reading per read and at most two timer starts per gap: a
// flood must not pay a timer restart for every read.
class FrameSplitter : public QObject
{
    Q_OBJECT

public:
    // A frame ends here even without a pause, so a flood is shown, captured
    // and filtered in bounded pieces.
    static constexpr int longestFrame = 4096;
    static constexpr int defaultGapMs = 20;

    explicit FrameSplitter(QObject *parent = nullptr);

    // 0: every read is a frame of its own, whatever its size.
    void setGap(int ms);
    int gap() const { return gapMs; }

    // How many of the size bytes left of a read go into one piece, and
    // whether that piece starts a new frame.
    int nextPiece(int size, bool *startsFrame);
    // After each read: the line is watched for the silence that follows.
    void readDone();
    // Ends the current frame now (sent data starts a frame of its own).
    void endFrame() { frameOpen = false; }
    // Reports a silence that is already due, before a new read is taken in.
    void catchUp();

signals:
    // The line has been quiet for the gap since the last byte (never with a
    // gap of 0: every read is complete there).
    void silence();

private:
    void checkSilence();

    ClockTimer gapTimer;
    qint64 lastByteMs = 0;
    int frameBytes = 0;
    int gapMs = defaultGapMs;
    bool frameOpen = false;
};

#endif // QUORVEL_FRAMESPLITTER_H
