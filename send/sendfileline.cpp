#include "sendfileline.h"

#include "trafficformat.h"

// Decoded as received text is, so that a line reads the same in both panes.
QString decodeSendFileLine(const QByteArray &rawLine)
{
    return textForm(rawLine.trimmed());
}

QByteArray withoutByteOrderMark(const QByteArray &firstLine)
{
    return firstLine.startsWith("\xEF\xBB\xBF") ? firstLine.mid(3) : firstLine;
}
