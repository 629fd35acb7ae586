#include "hexparser.h"

#include <QRandomGenerator>
#include <QtTest>

class TestHexParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void roundTrip_data();
    void roundTrip();
};

void TestHexParser::parse_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("expected");

    const auto row = [](const char *name, const QString &input, const char *hex) {
        QTest::newRow(name) << input << QByteArray::fromHex(hex);
    };

    row("empty", QString(), "");
    row("blanks only", QStringLiteral(" \t\r\n "), "");
    row("ideographic spaces only", QStringLiteral("\u3000\u3000"), "");
    row("spaced pairs", QStringLiteral("01 02 03"), "010203");
    row("joined pairs", QStringLiteral("010203"), "010203");
    row("single digits", QStringLiteral("1 2 3"), "010203");
    row("odd digit stands last", QStringLiteral("ABC"), "AB0C");
    row("lone digit", QStringLiteral("A"), "0A");
    row("lower case", QStringLiteral("abc"), "AB0C");
    row("mixed case", QStringLiteral("aB Cd"), "ABCD");
    row("long token", QStringLiteral("0102030405"), "0102030405");
    row("no prefix splits pairs", QStringLiteral("1234"), "1234");
    row("prefixed tokens", QStringLiteral("0x1F 0X20"), "1F20");
    row("prefix with leading zeros", QStringLiteral("0x00FF"), "FF");
    row("plus sign", QStringLiteral("+7F"), "7F");
    row("minus zero", QStringLiteral("-0"), "00");
    row("signed prefix", QStringLiteral("+0x1"), "01");
    row("negative dropped", QStringLiteral("-1"), "");
    row("bare prefix dropped", QStringLiteral("0x"), "");
    row("prefixed too large", QStringLiteral("0x100"), "");
    row("prefixed word dropped", QStringLiteral("0x1234"), "");
    row("bare signs dropped", QStringLiteral("+ -"), "");
    row("unreadable middle", QStringLiteral("12 zz 34"), "1234");
    row("comma token", QStringLiteral("12,34"), "");
    row("trailing h", QStringLiteral("12h"), "");
    row("decimal point", QStringLiteral("1.5"), "");
    row("letter beyond F", QStringLiteral("0G 01"), "01");
    row("full-width digits", QStringLiteral("\uFF11\uFF12 34"), "34");
    row("inner ideographic space", QStringLiteral("12\u300034"), "");
    row("inner no-break space", QStringLiteral("12\u00A034"), "");
    row("ideographic space at token end", QStringLiteral("12\u3000 34"), "1234");
    row("ideographic space after pairs", QStringLiteral("1234\u3000 ABC\u3000\t56"), "1234AB0C56");
    row("outer ideographic spaces", QStringLiteral("\u300012 34\u3000"), "1234");
    row("tabs", QStringLiteral("01\t02\t\t03"), "010203");
    row("line breaks", QStringLiteral("01\r\n02\n03"), "010203");
    row("vertical tab and form feed", QStringLiteral("01\v02\f03"), "010203");
    row("several blanks", QStringLiteral("  01    02   03  "), "010203");
    row("mixed token kinds", QStringLiteral("0x0A B 0C0D +E"), "0A0B0C0D0E");
}

void TestHexParser::parse()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, expected);

    QCOMPARE(parseHexString(input).toHex(' '), expected.toHex(' '));
}

void TestHexParser::roundTrip_data()
{
    QTest::addColumn<int>("style");

    QTest::newRow("lower case, spaced") << 0;
    QTest::newRow("upper case, spaced") << 1;
    QTest::newRow("no separators") << 2;
}

// Whatever toHex renders must parse back to the same bytes.
void TestHexParser::roundTrip()
{
    QFETCH(int, style);

    QRandomGenerator rng(20240611u + quint32(style));
    for (int round = 0; round < 400; ++round) {
        // Round 0 is always empty; the others cover short and long frames.
        const int length = round == 0 ? 0 : rng.bounded(0, 300);
        QByteArray bytes(length, '\0');
        for (char &byte : bytes)
            byte = static_cast<char>(rng.bounded(256));

        QByteArray rendered;
        switch (style) {
        case 0:
            rendered = bytes.toHex(' ');
            break;
        case 1:
            rendered = bytes.toHex(' ').toUpper();
            break;
        default:
            rendered = bytes.toHex();
            break;
        }

        const QByteArray parsed = parseHexString(QString::fromLatin1(rendered));
        if (parsed != bytes)
            QFAIL(qPrintable(QStringLiteral("round %1 failed for %2")
                                     .arg(round)
                                     .arg(QString::fromLatin1(rendered))));
    }
}

QTEST_GUILESS_MAIN(TestHexParser)
#include "tst_hexparser.moc"
