// The pure conversions behind the receive pane: hexadecimal and text forms,
// the time stamp, and the UTF-8 stream decoder that joins split characters.
#include "trafficformat.h"

#include <QRandomGenerator>
#include <QTime>
#include <QtTest>

class TrafficFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void hexFormOfBytes_data();
    void hexFormOfBytes();
    void hexFormOfEveryByte();
    void textFormKeepsWholeChunk_data();
    void textFormKeepsWholeChunk();
    void timeStamp_data();
    void timeStamp();
    void incompleteTail_data();
    void incompleteTail();
    void decoderJoinsSplitCharacters_data();
    void decoderJoinsSplitCharacters();
    void decoderMatchesWholeDecodeForAnySplit();
    void decoderPassesMalformedBytesOn();
    void decoderReset();
};

void TrafficFormatTest::hexFormOfBytes_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("one byte") << QByteArray("\x0a", 1) << QStringLiteral("0A");
    QTest::newRow("line end") << QByteArray("H\r\n") << QStringLiteral("48 0D 0A");
    QTest::newRow("zero bytes") << QByteArray("\0A\0", 3) << QStringLiteral("00 41 00");
    QTest::newRow("high bytes") << QByteArray("\xff\xab\xcd") << QStringLiteral("FF AB CD");
}

void TrafficFormatTest::hexFormOfBytes()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, expected);
    QCOMPARE(hexForm(data), expected);
}

void TrafficFormatTest::hexFormOfEveryByte()
{
    QByteArray all;
    QStringList pairs;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(char(byte));
        pairs << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    QCOMPARE(hexForm(all), pairs.join(QLatin1Char(' ')));
}

void TrafficFormatTest::textFormKeepsWholeChunk_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii with line end") << QByteArray("ok\r\n") << QStringLiteral("ok\r\n");
    QTest::newRow("chinese") << QByteArray("\xe6\x94\xb6\xe5\x88\xb0") << QStringLiteral("收到");
    QTest::newRow("zero in the middle")
            << QByteArray("AB\0CD", 5) << QStringLiteral("AB") + QChar(0) + QStringLiteral("CD");
    QTest::newRow("zero first") << QByteArray("\0xyz", 4) << QChar(0) + QStringLiteral("xyz");
    QTest::newRow("malformed byte") << QByteArray("a\xff"
                                                  "b")
                                    << QStringLiteral("a\uFFFDb");
    QTest::newRow("truncated character at the end")
            << QByteArray("a\xe6\x94") << QStringLiteral("a\uFFFD\uFFFD");
}

void TrafficFormatTest::textFormKeepsWholeChunk()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, expected);
    const QString text = textForm(data);
    QCOMPARE(text, expected);
    QCOMPARE(text.size(), expected.size());
}

void TrafficFormatTest::timeStamp_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded") << QTime(9, 5, 3, 7) << QStringLiteral("[09:05:03:007] ");
    QTest::newRow("midnight") << QTime(0, 0, 0, 0) << QStringLiteral("[00:00:00:000] ");
    QTest::newRow("last ms of day") << QTime(23, 59, 59, 999) << QStringLiteral("[23:59:59:999] ");
    QTest::newRow("two-digit ms") << QTime(12, 34, 56, 78) << QStringLiteral("[12:34:56:078] ");
}

void TrafficFormatTest::timeStamp()
{
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    QCOMPARE(timeStampForm(time), expected);
}

void TrafficFormatTest::incompleteTail_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("tail");
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("ascii") << QByteArray("abc") << 0;
    QTest::newRow("complete 2-byte") << QByteArray("\xc3\xa9") << 0;
    QTest::newRow("complete 3-byte") << QByteArray("\xe6\x94\xb6") << 0;
    QTest::newRow("complete 4-byte") << QByteArray("\xf0\x9f\x98\x80") << 0;
    QTest::newRow("2-byte lead") << QByteArray("x\xc3") << 1;
    QTest::newRow("3-byte lead") << QByteArray("x\xe6") << 1;
    QTest::newRow("3-byte, two of three") << QByteArray("x\xe6\x94") << 2;
    QTest::newRow("4-byte lead") << QByteArray("\xf0") << 1;
    QTest::newRow("4-byte, two of four") << QByteArray("\xf0\x9f") << 2;
    QTest::newRow("4-byte, three of four") << QByteArray("\xf0\x9f\x98") << 3;
    QTest::newRow("lead after complete character") << QByteArray("\xe6\x94\xb6\xe5") << 1;
    QTest::newRow("lone continuation") << QByteArray("a\x80") << 0;
    QTest::newRow("three continuations") << QByteArray("\x80\x80\x80") << 0;
    QTest::newRow("invalid lead C0") << QByteArray("\xc0") << 0;
    QTest::newRow("invalid lead C1") << QByteArray("\xc1") << 0;
    QTest::newRow("invalid lead F5") << QByteArray("\xf5") << 0;
    QTest::newRow("invalid lead FF") << QByteArray("\xff") << 0;
    QTest::newRow("overlong E0 80") << QByteArray("\xe0\x80") << 0;
    QTest::newRow("valid E0 A0") << QByteArray("\xe0\xa0") << 2;
    QTest::newRow("surrogate ED A0") << QByteArray("\xed\xa0") << 0;
    QTest::newRow("valid ED 9F") << QByteArray("\xed\x9f") << 2;
    QTest::newRow("overlong F0 80") << QByteArray("\xf0\x80") << 0;
    QTest::newRow("beyond range F4 90") << QByteArray("\xf4\x90") << 0;
    QTest::newRow("valid F4 8F BF") << QByteArray("\xf4\x8f\xbf") << 3;
    QTest::newRow("lead then ascii") << QByteArray("\xe6"
                                                   "a")
                                     << 0;
    QTest::newRow("continuation too many") << QByteArray("\xc3\xa9\xa9") << 0;
}

void TrafficFormatTest::incompleteTail()
{
    QFETCH(QByteArray, data);
    QFETCH(int, tail);
    QCOMPARE(incompleteUtf8TailLength(data), tail);
}

void TrafficFormatTest::decoderJoinsSplitCharacters_data()
{
    QTest::addColumn<QByteArray>("stream");
    const QString sample = QStringLiteral("收到 é 😀 ok\r\n数据");
    QTest::newRow("mixed text") << sample.toUtf8();
    QTest::newRow("emoji only") << QStringLiteral("😀😀").toUtf8();
    QTest::newRow("with zero bytes") << QByteArray("\xe6\x94\xb6\0\xe5\x88\xb0\0", 8);
}

void TrafficFormatTest::decoderJoinsSplitCharacters()
{
    QFETCH(QByteArray, stream);
    const QString whole = textForm(stream);
    QVERIFY(!whole.contains(QChar(QChar::ReplacementCharacter)));

    // Byte by byte.
    Utf8StreamDecoder decoder;
    QString joined;
    for (char byte : stream)
        joined += decoder.decode(QByteArray(1, byte));
    QCOMPARE(joined, whole);
    QVERIFY(decoder.pendingBytes().isEmpty());

    // Every split into two chunks.
    for (int cut = 0; cut <= stream.size(); ++cut) {
        Utf8StreamDecoder split;
        QString text = split.decode(stream.left(cut));
        text += split.decode(stream.mid(cut));
        QCOMPARE(text, whole);
        QVERIFY(split.pendingBytes().isEmpty());
    }
}

void TrafficFormatTest::decoderMatchesWholeDecodeForAnySplit()
{
    // Random streams rich in lead, continuation and invalid bytes, cut at
    // random places: the pieces must decode to what the whole stream gives.
    static const char alphabet[] = { '\0',   'A',    '\x80', '\x94', '\x9f', '\xa0', '\xb6',
                                     '\xbf', '\xc2', '\xc3', '\xe0', '\xe6', '\xed', '\xf0',
                                     '\xf4', '\x90', '\x8f', '\xff', '\xc0', '\xf5' };
    QRandomGenerator random(20240611);
    for (int round = 0; round < 3000; ++round) {
        QByteArray stream;
        const int length = random.bounded(1, 24);
        for (int i = 0; i < length; ++i)
            stream.append(alphabet[random.bounded(int(sizeof alphabet))]);

        Utf8StreamDecoder decoder;
        QString text;
        int position = 0;
        while (position < stream.size()) {
            const int size = random.bounded(1, 5);
            text += decoder.decode(stream.mid(position, size));
            QVERIFY(decoder.pendingBytes().size() <= 3);
            position += size;
        }
        text += textForm(decoder.pendingBytes());
        QVERIFY2(text == textForm(stream), stream.toHex(' ').constData());
    }
}

void TrafficFormatTest::decoderPassesMalformedBytesOn()
{
    Utf8StreamDecoder decoder;
    QCOMPARE(decoder.decode(QByteArray("\xff\xfe")), QStringLiteral("\uFFFD\uFFFD"));
    QCOMPARE(decoder.decode(QByteArray("a\xe6")), QStringLiteral("a"));
    QCOMPARE(decoder.pendingBytes(), QByteArray("\xe6"));
    // The held lead byte is not continued: it becomes a replacement
    // character in front of what follows.
    QCOMPARE(decoder.decode(QByteArray("b")), QStringLiteral("\uFFFDb"));
    QVERIFY(decoder.pendingBytes().isEmpty());
    // A lone continuation byte is never held back.
    QCOMPARE(decoder.decode(QByteArray("\xb6")), QStringLiteral("\uFFFD"));
    QVERIFY(decoder.pendingBytes().isEmpty());
}

void TrafficFormatTest::decoderReset()
{
    Utf8StreamDecoder decoder;
    QCOMPARE(decoder.decode(QByteArray("\xe6\x94")), QString());
    QCOMPARE(decoder.pendingBytes(), QByteArray("\xe6\x94"));
    decoder.reset();
    QVERIFY(decoder.pendingBytes().isEmpty());
    // Without the held bytes the rest of the character is malformed.
    QCOMPARE(decoder.decode(QByteArray("\xb6Z")), QStringLiteral("\uFFFDZ"));
}

QTEST_GUILESS_MAIN(TrafficFormatTest)
#include "tst_trafficformat.moc"
