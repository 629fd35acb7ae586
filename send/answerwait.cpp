#include "answerwait.h"

AnswerWait::AnswerWait(QObject *parent)
    : QObject(parent)
    , timeout(this)
{
    connect(&timeout, &ClockTimer::timeout, this, &AnswerWait::timedOut);
}

void AnswerWait::start(int ms)
{
    begun = false;
    timeout.start(ms);
}

void AnswerWait::stop()
{
    begun = false;
    timeout.stop();
}

void AnswerWait::answerBegun()
{
    timeout.stop();
    begun = true;
}

void AnswerWait::lineQuiet()
{
    if (!begun)
        return;
    begun = false;
    emit answered();
}
