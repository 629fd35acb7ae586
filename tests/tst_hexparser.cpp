#include "hexparser.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QtTest>

class TestHexParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void roundTrip();
};

void TestHexParser::parse_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char *name, const QString &input, const char *hex) {
        QTest::newRow(name) << input << QByteArray::fromHex(hex);
    };
    row("blanks only", QStringLiteral(" \t\r\n\u3000"), "");
    row("spaced pairs", QStringLiteral("01 02 03"), "010203");
    row("joined pairs", QStringLiteral("010203"), "010203");
    row("single digits", QStringLiteral("1 2 3"), "010203");
    row("odd digit stands last", QStringLiteral("abC"), "AB0C");
    row("prefixed tokens", QStringLiteral("0x1F 0X20 0x00FF"), "1F20FF");
    row("signs", QStringLiteral("+7F -0 +0x1"), "7F0001");
    row("out of range dropped", QStringLiteral("-1 0x 0x100 0x1234 + -"), "");
    row("unreadable dropped", QStringLiteral("12 zz 34 12,34 12h 1.5 0G"), "1234");
    row("full-width digits dropped", QStringLiteral("\uFF11\uFF12 34"), "34");
    row("inner wide space joins a token", QStringLiteral("12\u300034 12\u00A034"), "");
    row("wide spaces between tokens", QStringLiteral("\u300012\u3000 ABC\u3000\t56"), "12AB0C56");
    row("line breaks and tabs", QStringLiteral("01\r\n02\t\v03\f04"), "01020304");
    row("mixed token kinds", QStringLiteral("0x0A B 0C0D +E"), "0A0B0C0D0E");
}

void TestHexParser::parse()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(parseHexString(input).toHex(' '), expected.toHex(' '));
}

// Whatever toHex renders, spaced or not, upper or lower case, parses back.
void TestHexParser::roundTrip()
{
    QRandomGenerator rng(20240611u);
    for (int round = 0; round < 600; ++round) {
        const QByteArray bytes =
                testsupport::randomBytes(round == 0 ? 0 : rng.bounded(0, 300), rng.generate());
        const QByteArray rendered = round % 3 == 0 ? bytes.toHex(' ')
                : round % 3 == 1                   ? bytes.toHex(' ').toUpper()
                                                   : bytes.toHex();
        QVERIFY2(parseHexString(QString::fromLatin1(rendered)) == bytes, rendered.constData());
    }
}

QTEST_GUILESS_MAIN(TestHexParser)
#include "tst_hexparser.moc"
