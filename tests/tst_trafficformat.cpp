// The pure conversions behind the receive pane and the UTF-8 stream decoder
// that joins characters split across chunks.
#include "trafficformat.h"

#include <QRandomGenerator>
#include <QTime>
#include <QtTest>

class TrafficFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void forms();
    void malformedText_data();
    void malformedText();
    void decoderMatchesWholeDecodeForAnySplit();
    void decoderMalformedAndReset();
};

void TrafficFormatTest::forms()
{
    QByteArray all;
    QStringList pairs;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(char(byte));
        pairs << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    QCOMPARE(hexForm(all), pairs.join(QLatin1Char(' ')));
    QCOMPARE(hexForm(QByteArray()), QString());

    // Nothing may be lost: not what follows a zero byte, not a byte-order mark.
    QCOMPARE(textForm(QByteArray("AB\0CD", 5)), QStringLiteral("AB") + QChar(0) + "CD");
    QCOMPARE(textForm(QByteArray::fromHex("efbbbf42efbbbf")), QStringLiteral("\uFEFFB\uFEFF"));
    QCOMPARE(textForm("\xe6\x94\xb6 a\xff\xe6\x94"), QStringLiteral("收 a\uFFFD\uFFFD\uFFFD"));

    QCOMPARE(timeStampForm(QTime(9, 5, 3, 7)), QStringLiteral("[09:05:03:007] "));
    QCOMPARE(timeStampForm(QTime(23, 59, 59, 999)), QStringLiteral("[23:59:59:999] "));
}

// Pinned, not compared with Qt's decoder, as the program decodes with it:
// one U+FFFD for each byte that cannot start a character, on every Qt.
void TrafficFormatTest::malformedText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QChar bad = QChar::ReplacementCharacter;
    QTest::newRow("overlong pair") << QByteArray("\xc0\xaf") << QString(2, bad);
    QTest::newRow("overlong triple") << QByteArray("\xe0\x80\xaf") << QString(3, bad);
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << QString(3, bad);
    QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << QString(4, bad);
    QTest::newRow("five-byte form") << QByteArray("\xf8\x88\x80\x80\x80") << QString(5, bad);
    QTest::newRow("cut short") << QByteArray::fromHex("e69441") << QString(2, bad) + 'A';
    QTest::newRow("unfinished at the end") << QByteArray("A\xf0\x9f\x98") << 'A' + QString(3, bad);
    QTest::newRow("noncharacter kept") << QByteArray("\xef\xbf\xbe") << QStringLiteral("\uFFFE");
    QTest::newRow("marks first and inside")
            << QByteArray::fromHex("efbbbfefbbbf41efbbbf") << QStringLiteral("\uFEFF\uFEFFA\uFEFF");
}

void TrafficFormatTest::malformedText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(textForm(bytes), text);
}

// Random streams rich in lead, continuation, invalid and byte-order-mark
// bytes, cut at random places: the pieces must decode to every character of
// the whole stream.
void TrafficFormatTest::decoderMatchesWholeDecodeForAnySplit()
{
    static const char alphabet[] = { '\0',   'A',    '\x80', '\x94', '\x9f', '\xa0', '\xb6', '\xbf',
                                     '\xc2', '\xc3', '\xe0', '\xe6', '\xed', '\xf0', '\xf4', '\x90',
                                     '\x8f', '\xff', '\xc0', '\xf5', '\xef', '\xbb', '\xbf' };
    QRandomGenerator random(20240611);
    for (int round = 0; round < 3000; ++round) {
        QByteArray stream;
        const int length = random.bounded(1, 24);
        for (int i = 0; i < length; ++i)
            stream.append(alphabet[random.bounded(int(sizeof alphabet))]);
        Utf8StreamDecoder decoder;
        QString text;
        for (int position = 0; position < stream.size();) {
            const int size = random.bounded(1, 5);
            text += decoder.decode(stream.mid(position, size));
            QVERIFY(decoder.pendingBytes().size() <= 3);
            position += size;
        }
        text += textForm(decoder.pendingBytes());
        // Qt's plain decode, kept from dropping a leading mark by a blank before it.
        const QByteArray blankFirst = ' ' + stream;
        const QString whole = QString::fromUtf8(blankFirst.constData(), blankFirst.size()).mid(1);
        QVERIFY2(text == whole, stream.toHex(' ').constData());
    }
    // Valid text split byte by byte comes out whole, nothing left over.
    const QByteArray valid = QStringLiteral("收到 é 😀 ok\r\n").toUtf8();
    Utf8StreamDecoder decoder;
    QString joined;
    for (char byte : valid)
        joined += decoder.decode(QByteArray(1, byte));
    QCOMPARE(joined, QStringLiteral("收到 é 😀 ok\r\n"));
    QVERIFY(decoder.pendingBytes().isEmpty());
}

void TrafficFormatTest::decoderMalformedAndReset()
{
    Utf8StreamDecoder decoder;
    QCOMPARE(decoder.decode("a\xe6"), QStringLiteral("a"));
    // A held lead byte that is not continued becomes a replacement character.
    QCOMPARE(decoder.decode("b"), QStringLiteral("\uFFFDb"));
    QCOMPARE(decoder.decode("\xe6\x94"), QString());
    // A held pair that proves malformed gives one U+FFFD per byte, as a whole decode does.
    QCOMPARE(decoder.decode("Z\xef\xbb"), QStringLiteral("\uFFFD\uFFFDZ"));
    QCOMPARE(decoder.decode(QByteArray::fromHex("bf42")), QStringLiteral("\uFEFFB"));
    QCOMPARE(decoder.decode("\xe6\x94"), QString());
    decoder.reset();
    // A pair that can never become valid is shown at once, not held.
    QCOMPARE(decoder.decode("a\xe0\x80"), QStringLiteral("a\uFFFD\uFFFD"));
    QVERIFY(decoder.pendingBytes().isEmpty());
    QVERIFY(decoder.pendingBytes().isEmpty());
    QCOMPARE(decoder.decode("\xb6Z"), QStringLiteral("\uFFFDZ"));
}

QTEST_GUILESS_MAIN(TrafficFormatTest)
#include "tst_trafficformat.moc"
