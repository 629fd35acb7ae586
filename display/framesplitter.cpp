#include "framesplitter.h"

FrameSplitter::FrameSplitter(QObject *parent)
    : QObject(parent)
    , gapTimer(this)
{
    connect(&gapTimer, &ClockTimer::timeout, this, &FrameSplitter::checkSilence);
}

void FrameSplitter::setGap(int ms)
{
    gapMs = qMax(0, ms);
    if (gapMs == 0)
        gapTimer.stop();
}

int FrameSplitter::nextPiece(int size, bool *startsFrame)
{
    if (gapMs == 0) {
        *startsFrame = true;
        frameOpen = true;
        return size;
    }
    // A silence not yet reported by the timer ends the frame all the same.
    const bool quiet = programClock().nowMs() - lastByteMs >= gapMs;
    *startsFrame = !frameOpen || quiet || frameBytes >= longestFrame;
    if (*startsFrame) {
        frameOpen = true;
        frameBytes = 0;
    }
    const int piece = qMin(size, longestFrame - frameBytes);
    frameBytes += piece;
    return piece;
}

void FrameSplitter::readDone()
{
    if (gapMs == 0)
        return;
    lastByteMs = programClock().nowMs();
    // Not restarted per read: the timeout looks at the last byte's time. But
    // pushed back once half the gap has passed, so that a steady stream
    // (a read every few milliseconds) does not wake the program for the
    // timer at every gap as well.
    if (!gapTimer.isActive() || gapTimer.remainingMs() <= gapMs / 2)
        gapTimer.start(gapMs);
}

void FrameSplitter::catchUp()
{
    if (gapTimer.isActive() && programClock().nowMs() - lastByteMs >= gapMs) {
        gapTimer.stop();
        emit silence();
    }
}

void FrameSplitter::checkSilence()
{
    const qint64 quietMs = programClock().nowMs() - lastByteMs;
    if (quietMs < gapMs) {
        gapTimer.start(gapMs - quietMs);
        return;
    }
    emit silence();
}
