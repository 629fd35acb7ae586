#include "checksum.h"
#include "checksumdialog.h"
#include "testsupport.h"

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
    void appendsChecksum();
    void appliedTwiceChecksThePrevious();
    void crc32MatchesZlib();
    void dialog();
};

void TestChecksum::appendsChecksum()
{
    const QByteArray check("123456789");
    const QByteArray modbus = QByteArray::fromHex("010300000001");
    const struct
    {
        QByteArray data;
        int kind;
        const char *appended;
    } cases[] = { { check, Crc16LowFirst, "374B" },
                  { check, Crc16HighFirst, "4B37" },
                  { check, Crc8, "F4" },
                  { check, Sum8, "DD" },
                  { check, Xor8, "31" },
                  { check, Crc32LowFirst, "2639F4CB" },
                  { check, Crc32HighFirst, "CBF43926" },
                  { modbus, Crc16LowFirst, "840A" },
                  { modbus, Crc16HighFirst, "0A84" },
                  { QByteArray::fromHex("FF01"), Sum8, "00" }, // wraps
                  { QByteArray::fromHex("FFFF"), Xor8, "00" },
                  { QByteArray::fromHex("80"), Crc8, "89" },
                  { modbus, NoChecksum, "" },
                  { modbus, ChecksumKindCount, "" } };
    for (const auto &c : cases)
        QCOMPARE(appendChecksum(c.data, c.kind).toHex(' '),
                 (c.data + QByteArray::fromHex(c.appended)).toHex(' '));
    for (int kind = NoChecksum; kind <= ChecksumKindCount; ++kind)
        QCOMPARE(appendChecksum(QByteArray(), kind), QByteArray());
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
        const QByteArray data =
                testsupport::randomBytes(round == 0 ? 1 : rng.bounded(1, 2001), rng.generate());
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

// The buttons' order and ids are the kinds; kinds outside the list are ignored.
void TestChecksum::dialog()
{
    ChecksumDialog dialog(nullptr);
    const QStringList captions = {
        "16 CRC, 低字节在前", "16 CRC, 高字节在前", "8 CRC", "总加和", "加总异或",
        "CRC32, 低字节在前",  "CRC32, 高字节在前"
    };
    auto *group = dialog.findChild<QButtonGroup *>();
    for (int kind = 0; kind < captions.size(); ++kind)
        QCOMPARE(group->button(kind)->text(), captions.at(kind));
    group->button(Xor8)->click();
    dialog.setCheckedKind(NoChecksum);
    dialog.setCheckedKind(ChecksumKindCount);
    QCOMPARE(dialog.checkedKind(), int(Xor8));
    auto *box = dialog.findChild<QDialogButtonBox *>();
    for (auto which : { QDialogButtonBox::Ok, QDialogButtonBox::Cancel }) {
        QTimer::singleShot(0, box->button(which), &QPushButton::click);
        QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(42); }); // a click that fails
        QCOMPARE(dialog.exec(), int(which == QDialogButtonBox::Ok));
    }
}

QTEST_MAIN(TestChecksum)
#include "tst_checksum.moc"
