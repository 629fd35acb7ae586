#include "checksum.h"
#include "checksumdialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <zlib.h>

class TestChecksum : public QObject
{
    Q_OBJECT

private slots:
    void appendsChecksum_data();
    void appendsChecksum();
    void leavesDataUnchanged_data();
    void leavesDataUnchanged();
    void appliedTwiceChecksThePrevious();
    void doesNotModifyInput();
    void crc32MatchesZlib();

    void dialogLayout();
    void dialogSetCheckedKind_data();
    void dialogSetCheckedKind();
    void dialogReportsNoKindWhenNoneChecked();
    void dialogButtons_data();
    void dialogButtons();
};

void TestChecksum::appendsChecksum_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("appended");

    const QByteArray check("123456789");
    QTest::newRow("check crc16 low first")
            << check << int(Crc16LowFirst) << QByteArray::fromHex("374B");
    QTest::newRow("check crc16 high first")
            << check << int(Crc16HighFirst) << QByteArray::fromHex("4B37");
    QTest::newRow("check crc8") << check << int(Crc8) << QByteArray::fromHex("F4");
    QTest::newRow("check sum") << check << int(Sum8) << QByteArray::fromHex("DD");
    QTest::newRow("check xor") << check << int(Xor8) << QByteArray::fromHex("31");
    QTest::newRow("check crc32 low first")
            << check << int(Crc32LowFirst) << QByteArray::fromHex("2639F4CB");
    QTest::newRow("check crc32 high first")
            << check << int(Crc32HighFirst) << QByteArray::fromHex("CBF43926");

    const QByteArray modbus = QByteArray::fromHex("010300000001");
    QTest::newRow("modbus low first")
            << modbus << int(Crc16LowFirst) << QByteArray::fromHex("840A");
    QTest::newRow("modbus high first")
            << modbus << int(Crc16HighFirst) << QByteArray::fromHex("0A84");

    QTest::newRow("sum wraps") << QByteArray::fromHex("FF01") << int(Sum8)
                               << QByteArray::fromHex("00");
    QTest::newRow("xor cancels") << QByteArray::fromHex("FFFF") << int(Xor8)
                                 << QByteArray::fromHex("00");
    QTest::newRow("crc8 of zero") << QByteArray::fromHex("00") << int(Crc8)
                                  << QByteArray::fromHex("00");
    QTest::newRow("crc8 of one") << QByteArray::fromHex("01") << int(Crc8)
                                 << QByteArray::fromHex("07");
    QTest::newRow("crc8 high bit")
            << QByteArray::fromHex("80") << int(Crc8) << QByteArray::fromHex("89");
    QTest::newRow("text AB sum") << QByteArray("AB") << int(Sum8) << QByteArray::fromHex("83");
}

void TestChecksum::appendsChecksum()
{
    QFETCH(QByteArray, data);
    QFETCH(int, kind);
    QFETCH(QByteArray, appended);

    const QByteArray result = appendChecksum(data, kind);
    QCOMPARE(result.left(data.size()), data);
    QCOMPARE(result.mid(data.size()).toHex(' '), appended.toHex(' '));
}

void TestChecksum::leavesDataUnchanged_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("kind");

    for (int kind = 0; kind < ChecksumKindCount; ++kind)
        QTest::addRow("empty data, kind %d", kind) << QByteArray() << kind;
    QTest::newRow("no checksum") << QByteArray::fromHex("0102") << int(NoChecksum);
    QTest::newRow("kind -2") << QByteArray::fromHex("0102") << -2;
    QTest::newRow("kind 7") << QByteArray::fromHex("0102") << 7;
    QTest::newRow("kind 100") << QByteArray::fromHex("0102") << 100;
}

void TestChecksum::leavesDataUnchanged()
{
    QFETCH(QByteArray, data);
    QFETCH(int, kind);

    QCOMPARE(appendChecksum(data, kind), data);
}

void TestChecksum::appliedTwiceChecksThePrevious()
{
    const QByteArray once = appendChecksum(QByteArray("AB"), Sum8);
    QCOMPARE(appendChecksum(once, Sum8).toHex(' '), QByteArray("41 42 83 06"));

    const QByteArray modbus = appendChecksum(QByteArray::fromHex("010300000001"), Crc16LowFirst);
    // A MODBUS frame followed by its own CRC leaves a zero register.
    QCOMPARE(appendChecksum(modbus, Crc16LowFirst).right(2), QByteArray::fromHex("0000"));
}

void TestChecksum::doesNotModifyInput()
{
    const QByteArray original = QByteArray::fromHex("0102030405");
    for (int kind = 0; kind < ChecksumKindCount; ++kind) {
        QByteArray data = original;
        const QByteArray result = appendChecksum(data, kind);
        QCOMPARE(data, original);
        QVERIFY(result.size() > original.size());
    }
}

void TestChecksum::crc32MatchesZlib()
{
    QRandomGenerator rng(0x5eed1234u);
    for (int round = 0; round < 300; ++round) {
        // Rounds 0 and 1 pin the empty and the one-byte frame.
        const int length = round < 2 ? round : rng.bounded(0, 2001);
        QByteArray data(length, '\0');
        for (char &byte : data)
            byte = static_cast<char>(rng.bounded(256));

        const quint32 expected = quint32(
                crc32(0L, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
        QByteArray lowFirst(4, '\0');
        QByteArray highFirst(4, '\0');
        for (int i = 0; i < 4; ++i) {
            lowFirst[i] = static_cast<char>(expected >> (8 * i));
            highFirst[3 - i] = static_cast<char>(expected >> (8 * i));
        }
        if (data.isEmpty()) {
            lowFirst.clear();
            highFirst.clear();
        }

        QCOMPARE(appendChecksum(data, Crc32LowFirst).mid(data.size()).toHex(), lowFirst.toHex());
        QCOMPARE(appendChecksum(data, Crc32HighFirst).mid(data.size()).toHex(), highFirst.toHex());
    }
}

void TestChecksum::dialogLayout()
{
    ChecksumDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("计算校验码"));

    auto *group = dialog.findChild<QButtonGroup *>();
    auto *box = dialog.findChild<QGroupBox *>();
    QVERIFY(group);
    QVERIFY(box);
    QVERIFY(box->title().isEmpty());
    QVERIFY(group->exclusive());

    const QStringList captions = {
        QStringLiteral("16 CRC, 低字节在前"),
        QStringLiteral("16 CRC, 高字节在前"),
        QStringLiteral("8 CRC"),
        QStringLiteral("总加和"),
        QStringLiteral("加总异或"),
        QStringLiteral("CRC32, 低字节在前"),
        QStringLiteral("CRC32, 高字节在前"),
    };
    QCOMPARE(group->buttons().size(), captions.size());
    QCOMPARE(box->layout()->count(), captions.size());
    // Top to bottom in the box: the caption and the id must match the kind.
    for (int i = 0; i < captions.size(); ++i) {
        auto *button = qobject_cast<QRadioButton *>(box->layout()->itemAt(i)->widget());
        QVERIFY(button);
        QCOMPARE(button->text(), captions.at(i));
        QCOMPARE(group->id(button), i);
        QCOMPARE(button->isChecked(), i == 0);
    }
    QCOMPARE(dialog.checkedKind(), int(Crc16LowFirst));

    auto *buttonBox = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(buttonBox);
    QCOMPARE(buttonBox->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttonBox->orientation(), Qt::Horizontal);

    // A user's click on a radio button is what checkedKind reports.
    group->button(Xor8)->click();
    QCOMPARE(dialog.checkedKind(), int(Xor8));
}

void TestChecksum::dialogSetCheckedKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("expected");

    QTest::newRow("valid kind") << int(Crc8) << int(Crc8);
    QTest::newRow("last kind") << int(Crc32HighFirst) << int(Crc32HighFirst);
    QTest::newRow("no checksum ignored") << int(NoChecksum) << int(Sum8);
    QTest::newRow("kind 7 ignored") << 7 << int(Sum8);
}

void TestChecksum::dialogSetCheckedKind()
{
    QFETCH(int, kind);
    QFETCH(int, expected);

    ChecksumDialog dialog(nullptr);
    dialog.setCheckedKind(Sum8);
    dialog.setCheckedKind(kind);
    QCOMPARE(dialog.checkedKind(), expected);

    const QList<QAbstractButton *> buttons = dialog.findChild<QButtonGroup *>()->buttons();
    const int checkedCount = int(std::count_if(buttons.cbegin(), buttons.cend(),
                                               [](QAbstractButton *b) { return b->isChecked(); }));
    QCOMPARE(checkedCount, 1);
}

void TestChecksum::dialogReportsNoKindWhenNoneChecked()
{
    ChecksumDialog dialog(nullptr);
    auto *group = dialog.findChild<QButtonGroup *>();
    QVERIFY(group);
    group->setExclusive(false);
    group->button(Crc16LowFirst)->setChecked(false);
    QCOMPARE(dialog.checkedKind(), int(NoChecksum));
}

void TestChecksum::dialogButtons_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("expected");

    QTest::newRow("ok accepts") << int(QDialogButtonBox::Ok) << int(QDialog::Accepted);
    QTest::newRow("cancel rejects") << int(QDialogButtonBox::Cancel) << int(QDialog::Rejected);
}

void TestChecksum::dialogButtons()
{
    QFETCH(int, which);
    QFETCH(int, expected);

    ChecksumDialog dialog(nullptr);
    auto *buttonBox = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(buttonBox);
    QPushButton *button = buttonBox->button(QDialogButtonBox::StandardButton(which));
    QVERIFY(button);

    QTimer::singleShot(0, button, &QPushButton::click);
    // Ends a dialog that the click failed to close, with a code neither
    // accept nor reject would give.
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(42); });
    QCOMPARE(dialog.exec(), expected);
}

QTEST_MAIN(TestChecksum)
#include "tst_checksum.moc"
