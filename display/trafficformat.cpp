#include "trafficformat.h"

#include <QTextCodec>
#include <QTime>

namespace {

// Qt's UTF-8 decoder from a clean state. IgnoreHeader keeps a leading
// byte-order mark as a character (QString::fromUtf8 drops it); an
// incomplete sequence at the end is left in the state, counted by
// remainingChars.
QString decodeUtf8(const QByteArray &data, QTextCodec::ConverterState *state)
{
    static QTextCodec *const codec = QTextCodec::codecForName("UTF-8");
    return codec->toUnicode(data.constData(), data.size(), state);
}

} // namespace

QString hexForm(const QByteArray &data)
{
    return QString::fromLatin1(data.toHex(' ').toUpper());
}

QString textForm(const QByteArray &data)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString text = decodeUtf8(data, &state);
    // Nothing follows: each byte of an unfinished sequence is malformed.
    return text + QString(state.remainingChars, QChar::ReplacementCharacter);
}

QString timeStampForm(const QTime &time)
{
    return time.toString(QStringLiteral("[HH:mm:ss:zzz] "));
}

// The held-back bytes are decoded again together with the next chunk, from
// a clean state: Qt's decoder carrying them in its own state would turn a
// held sequence that proves malformed into fewer U+FFFD than a whole decode.
QString Utf8StreamDecoder::decode(const QByteArray &chunk)
{
    const QByteArray data = pending + chunk;
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString text = decodeUtf8(data, &state);
    pending = data.right(state.remainingChars);
    return text;
}

void Utf8StreamDecoder::reset()
{
    pending.clear();
}
