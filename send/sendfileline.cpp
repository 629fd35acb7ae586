#include "sendfileline.h"

#include <cstring>

namespace {

const char utf8ByteOrderMark[] = "\xEF\xBB\xBF";

bool byteOrderMarkAt(const QByteArray &bytes, int position)
{
    return position + 3 <= bytes.size()
            && std::memcmp(bytes.constData() + position, utf8ByteOrderMark, 3) == 0;
}

} // namespace

QString decodeSendFileLine(const QByteArray &rawLine)
{
    const QByteArray line = rawLine.trimmed();
    // QString::fromUtf8 drops a byte-order mark at the start; inside a line
    // it is an ordinary character, so the leading ones are kept by hand.
    int marks = 0;
    while (byteOrderMarkAt(line, 3 * marks))
        ++marks;
    const int rest = 3 * marks;
    // The pointer-and-size overload does not stop at a zero byte.
    const QString text = QString::fromUtf8(line.constData() + rest, line.size() - rest);
    return marks == 0 ? text : QString(marks, QChar(0xFEFF)) + text;
}

QByteArray withoutByteOrderMark(const QByteArray &firstLine)
{
    return byteOrderMarkAt(firstLine, 0) ? firstLine.mid(3) : firstLine;
}
