#ifndef QUORVEL_ANSWERWAIT_H
#define QUORVEL_ANSWERWAIT_H

#include <QObject>

#include "clock.h"

class QTimer;

// The wait of an answer-driven file rotation for the peer's answer. The
// time-out counts only until the first byte of an answer: an answer that
// has begun is waited for until the line has been quiet for the frame gap,
// and then releases exactly one line.
class AnswerWait : public QObject
{
    Q_OBJECT

public:
    explicit AnswerWait(QObject *parent);

    // The QTimer that wakes the program for the time-out.
    QTimer *timer() const { return timeout.driver(); }
    // A line has gone out: its answer is due within ms.
    void start(int ms);
    void stop();

    // Bytes arrived while a file rotation waits for answers.
    void answerBegun();
    // The line has been quiet for the frame gap.
    void lineQuiet();

signals:
    void answered();
    // No byte came within the time-out.
    void timedOut();

private:
    ClockTimer timeout;
    bool begun = false;
};

#endif // QUORVEL_ANSWERWAIT_H
