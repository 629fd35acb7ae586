#include "countershow.h"

#include <QLineEdit>

CounterShow::CounterShow(const std::array<QLineEdit *, 4> &fields, QObject *parent)
    : QObject(parent)
    , fields(fields)
    , pacer(intervalMs, Pacer::UntilIntervalEnds, this)
{
    connect(&pacer, &Pacer::due, this, &CounterShow::paint);
}

void CounterShow::show(const Counts &counts, bool inStream)
{
    latest = counts;
    if (inStream) {
        pacer.request();
    } else {
        pacer.ranNow();
        paint();
    }
}

void CounterShow::paint()
{
    const qint64 values[] = { latest.sentFrames, latest.sentBytes, latest.recvFrames,
                              latest.recvBytes };
    for (int i = 0; i < 4; ++i) {
        const QString text = QString::number(values[i]);
        // Setting the same text again would still repaint the field.
        if (fields[i]->text() != text)
            fields[i]->setText(text);
    }
    emit shown(latest);
}
