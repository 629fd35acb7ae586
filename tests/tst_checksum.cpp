#include "checksum.h"
#include "checksumdialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <zlib.h>

class TestChecksum : public QObject
{
    Q_OBJECT

private slots:
    void appendsChecksum_data();
    void appendsChecksum();
    void appliedTwiceChecksThePrevious();
    void crc32MatchesZlib();
    void dialog();
};

void TestChecksum::appendsChecksum_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("appended");
    const QByteArray check("123456789");
    const QByteArray modbus = QByteArray::fromHex("010300000001");
    const auto row = [](const char *name, const QByteArray &data, int kind, const char *hex) {
        QTest::newRow(name) << data << kind << QByteArray::fromHex(hex);
    };
    row("crc16 low first", check, Crc16LowFirst, "374B");
    row("crc16 high first", check, Crc16HighFirst, "4B37");
    row("crc8", check, Crc8, "F4");
    row("sum", check, Sum8, "DD");
    row("xor", check, Xor8, "31");
    row("crc32 low first", check, Crc32LowFirst, "2639F4CB");
    row("crc32 high first", check, Crc32HighFirst, "CBF43926");
    row("modbus low first", modbus, Crc16LowFirst, "840A");
    row("modbus high first", modbus, Crc16HighFirst, "0A84");
    row("sum wraps", QByteArray::fromHex("FF01"), Sum8, "00");
    row("xor cancels", QByteArray::fromHex("FFFF"), Xor8, "00");
    row("crc8 high bit", QByteArray::fromHex("80"), Crc8, "89");
    for (int kind = -1; kind <= ChecksumKindCount; ++kind)
        QTest::addRow("empty data, kind %d", kind) << QByteArray() << kind << QByteArray();
    row("no checksum", modbus, NoChecksum, "");
    row("kind 7", modbus, ChecksumKindCount, "");
}

void TestChecksum::appendsChecksum()
{
    QFETCH(QByteArray, data);
    QFETCH(int, kind);
    QFETCH(QByteArray, appended);
    QCOMPARE(appendChecksum(data, kind).toHex(' '), (data + appended).toHex(' '));
}

void TestChecksum::appliedTwiceChecksThePrevious()
{
    QCOMPARE(appendChecksum(appendChecksum("AB", Sum8), Sum8).toHex(' '),
             QByteArray("41 42 83 06"));
    // A MODBUS frame followed by its own CRC leaves a zero register.
    const QByteArray frame = appendChecksum(QByteArray::fromHex("010300000001"), Crc16LowFirst);
    QCOMPARE(appendChecksum(frame, Crc16LowFirst).right(2), QByteArray::fromHex("0000"));
}

void TestChecksum::crc32MatchesZlib()
{
    QRandomGenerator rng(0x5eed1234u);
    for (int round = 0; round < 300; ++round) {
        QByteArray data(round == 0 ? 1 : rng.bounded(1, 2001), '\0');
        for (char &byte : data)
            byte = static_cast<char>(rng.bounded(256));
        const quint32 crc = quint32(
                crc32(0L, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
        QByteArray lowFirst;
        for (int i = 0; i < 4; ++i)
            lowFirst.append(static_cast<char>(crc >> (8 * i)));
        QByteArray highFirst = lowFirst;
        std::reverse(highFirst.begin(), highFirst.end());
        QCOMPARE(appendChecksum(data, Crc32LowFirst).mid(data.size()).toHex(), lowFirst.toHex());
        QCOMPARE(appendChecksum(data, Crc32HighFirst).mid(data.size()).toHex(), highFirst.toHex());
    }
}

void TestChecksum::dialog()
{
    ChecksumDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("计算校验码"));
    const QStringList captions = {
        "16 CRC, 低字节在前", "16 CRC, 高字节在前", "8 CRC", "总加和", "加总异或",
        "CRC32, 低字节在前",  "CRC32, 高字节在前"
    };
    auto *group = dialog.findChild<QButtonGroup *>();
    QVERIFY(group && group->exclusive());
    for (int kind = 0; kind < captions.size(); ++kind)
        QCOMPARE(group->button(kind)->text(), captions.at(kind));
    QCOMPARE(dialog.checkedKind(), int(Crc16LowFirst));
    group->button(Xor8)->click();
    QCOMPARE(dialog.checkedKind(), int(Xor8));
    dialog.setCheckedKind(Crc32HighFirst);
    QCOMPARE(dialog.checkedKind(), int(Crc32HighFirst));
    dialog.setCheckedKind(NoChecksum); // out of range: ignored
    dialog.setCheckedKind(ChecksumKindCount);
    QCOMPARE(dialog.checkedKind(), int(Crc32HighFirst));

    auto *box = dialog.findChild<QDialogButtonBox *>();
    for (auto which : { QDialogButtonBox::Ok, QDialogButtonBox::Cancel }) {
        QTimer::singleShot(0, box->button(which), &QPushButton::click);
        QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(42); }); // a click that fails
        QCOMPARE(dialog.exec(),
                 which == QDialogButtonBox::Ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
    }
}

QTEST_MAIN(TestChecksum)
#include "tst_checksum.moc"
