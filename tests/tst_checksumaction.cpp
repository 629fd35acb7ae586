// The "校验" buttons of the send areas: the dialog they open, the kind each
// area remembers, and how the area is rewritten and then sent.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using namespace testsupport;

namespace {

const QString defaultKind = QStringLiteral("16 CRC, 低字节在前");
const QString warningText =
        QStringLiteral("输入内容无法解析为有效数据，请检查是否为正确格式的十六进制或文本。");

QString propertiesGroup(int area)
{
    return QStringLiteral("发送区%1属性").arg(area);
}

QCheckBox *hexCheck(QWidget *window, int area)
{
    return findCheck(window, QStringLiteral("16进制"), propertiesGroup(area));
}

QAbstractButton *checksumButton(QWidget *window, int area)
{
    return findButton(window, QStringLiteral("校验"), propertiesGroup(area));
}

void fillArea(QWidget *window, int area, const QString &text, bool hex)
{
    sendArea(window, area)->setPlainText(text);
    hexCheck(window, area)->setChecked(hex);
}

// What the dialog looked like when it came up.
struct DialogView
{
    QString checked;
    QStringList captions;
    bool modal = false;
    QWidget *parent = nullptr;
};

// Answers the checksum dialog: notes what it showed, checks the radio button
// captioned kind (if given) and presses OK or Cancel of its button box.
ModalHandler::Answer answerDialog(DialogView *view, const QString &kind, bool accept)
{
    return [view, kind, accept](QWidget *widget) {
        const auto radios = widget->findChildren<QRadioButton *>();
        for (QRadioButton *radio : radios) {
            view->captions << radio->text();
            if (radio->isChecked())
                view->checked += radio->text();
        }
        view->modal = widget->isModal();
        view->parent = widget->parentWidget();
        for (QRadioButton *radio : radios) {
            if (radio->text() == kind)
                radio->setChecked(true);
        }
        auto *box = widget->findChild<QDialogButtonBox *>();
        QAbstractButton *button = box
                ? box->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                : nullptr;
        if (button)
            button->click();
        else if (auto *dialog = qobject_cast<QDialog *>(widget))
            dialog->reject(); // leaves the test's expectations unmet
    };
}

// Opens the area's dialog and reports the kind it shows checked, cancelling.
QString shownKind(ModalHandler &handler, QWidget *window, int area)
{
    const int before = handler.count();
    DialogView view;
    handler.answerNext(answerDialog(&view, QString(), false));
    click(checksumButton(window, area));
    return handler.count() == before + 1 ? view.checked : QStringLiteral("<no dialog>");
}

} // namespace

class ChecksumActionTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void buttonOpensDialog();
    void rewritesArea_data();
    void rewritesArea();
    void applyingTwiceAppendsAgain();
    void eachAreaRemembersItsKind();
    void cancelChangesNothing();
    void unreadableHexWarns();
    void blankAreaDoesNothing_data();
    void blankAreaDoesNothing();
    void rewrittenAreaSendsThoseBytes();
    void portKeepsRunningWhileDialogOpen();
};

void ChecksumActionTest::buttonOpensDialog()
{
    MainWindow window;
    for (int area = 1; area <= 3; ++area) {
        fillArea(&window, area, QStringLiteral("01"), true);
        ModalHandler handler;
        DialogView view;
        handler.answerNext(answerDialog(&view, QString(), false));
        QVERIFY(checksumButton(&window, area));
        click(checksumButton(&window, area));
        QCOMPARE(handler.count(), 1);
        QCOMPARE(handler.last().className, QStringLiteral("ChecksumDialog"));
        QCOMPARE(handler.last().title, QStringLiteral("计算校验码"));
        QVERIFY(view.modal);
        QCOMPARE(view.parent, &window);
        QCOMPARE(view.captions.size(), 7);
        QCOMPARE(view.checked, defaultKind);
        // The dialog lives for one click only.
        QCOMPARE(window.findChildren<QDialog *>().size(), 0);
    }
}

void ChecksumActionTest::rewritesArea_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("result");

    QTest::newRow("hex, MODBUS low first")
            << 1 << true << "01 03 00 00 00 01" << defaultKind << "01 03 00 00 00 01 84 0A";
    QTest::newRow("hex, MODBUS high first") << 2 << true << "01 03 00 00 00 01"
                                            << "16 CRC, 高字节在前"
                                            << "01 03 00 00 00 01 0A 84";
    QTest::newRow("hex, single digits, XOR") << 3 << true << "1 2 3"
                                             << "加总异或"
                                             << "01 02 03 00";
    QTest::newRow("hex, normalised, dropped token vanishes") << 1 << true << " 12\tzz\n34 "
                                                             << "8 CRC"
                                                             << "12 34 F1";
    QTest::newRow("hex, lower case and odd digit") << 2 << true << "abc"
                                                   << "总加和"
                                                   << "AB 0C B7";
    QTest::newRow("text, trimmed, sum") << 1 << false << " AB "
                                        << "总加和"
                                        << "41 42 83";
    QTest::newRow("text, inner line feed kept") << 2 << false << "AB\nCD"
                                                << "总加和"
                                                << "41 42 0A 43 44 14";
    QTest::newRow("text, Chinese, CRC32 low first")
            << 3 << false << QStringLiteral("你") << "CRC32, 低字节在前"
            << "E4 BD A0 73 D2 17 D6";
    QTest::newRow("text, Chinese, CRC32 high first")
            << 1 << false << QStringLiteral("你") << "CRC32, 高字节在前"
            << "E4 BD A0 D6 17 D2 73";
    QTest::newRow("text, hex-looking text is taken as characters") << 3 << false << "01"
                                                                   << "加总异或"
                                                                   << "30 31 01";
}

void ChecksumActionTest::rewritesArea()
{
    QFETCH(int, area);
    QFETCH(bool, hex);
    QFETCH(QString, text);
    QFETCH(QString, kind);
    QFETCH(QString, result);

    MainWindow window;
    for (int other = 1; other <= 3; ++other)
        fillArea(&window, other, QStringLiteral("55"), true);
    fillArea(&window, area, text, hex);

    ModalHandler handler;
    DialogView view;
    handler.answerNext(answerDialog(&view, kind, true));
    click(checksumButton(&window, area));
    QCOMPARE(handler.count(), 1);
    QCOMPARE(sendArea(&window, area)->toPlainText(), result);
    QVERIFY(hexCheck(&window, area)->isChecked());
    // The other areas are not touched.
    for (int other = 1; other <= 3; ++other) {
        if (other != area)
            QCOMPARE(sendArea(&window, other)->toPlainText(), QStringLiteral("55"));
    }
    // The rewrite cannot be undone in the edit.
    QVERIFY(!sendArea(&window, area)->document()->isUndoAvailable());
}

void ChecksumActionTest::applyingTwiceAppendsAgain()
{
    MainWindow window;
    fillArea(&window, 2, QStringLiteral(" AB "), false);
    ModalHandler handler;
    DialogView first;
    DialogView second;
    handler.answerNext(answerDialog(&first, QStringLiteral("总加和"), true));
    handler.answerNext(answerDialog(&second, QString(), true));

    click(checksumButton(&window, 2));
    QCOMPARE(sendArea(&window, 2)->toPlainText(), QStringLiteral("41 42 83"));
    // Accepting the remembered kind appends over the previous result.
    click(checksumButton(&window, 2));
    QCOMPARE(handler.count(), 2);
    QCOMPARE(second.checked, QStringLiteral("总加和"));
    QCOMPARE(sendArea(&window, 2)->toPlainText(), QStringLiteral("41 42 83 06"));
}

void ChecksumActionTest::eachAreaRemembersItsKind()
{
    MainWindow window;
    for (int area = 1; area <= 3; ++area)
        fillArea(&window, area, QStringLiteral("01 02"), true);
    ModalHandler handler;
    DialogView view;

    handler.answerNext(answerDialog(&view, QStringLiteral("8 CRC"), true));
    click(checksumButton(&window, 2));
    QCOMPARE(handler.count(), 1);
    QCOMPARE(shownKind(handler, &window, 2), QStringLiteral("8 CRC"));
    QCOMPARE(shownKind(handler, &window, 1), defaultKind);
    QCOMPARE(shownKind(handler, &window, 3), defaultKind);

    handler.answerNext(answerDialog(&view, QStringLiteral("总加和"), true));
    click(checksumButton(&window, 1));
    QCOMPARE(shownKind(handler, &window, 1), QStringLiteral("总加和"));
    QCOMPARE(shownKind(handler, &window, 2), QStringLiteral("8 CRC"));
    QCOMPARE(shownKind(handler, &window, 3), defaultKind);

    // A new window starts from the default again: nothing is stored.
    MainWindow next;
    for (int area = 1; area <= 3; ++area)
        QCOMPARE(shownKind(handler, &next, area), defaultKind);
}

void ChecksumActionTest::cancelChangesNothing()
{
    MainWindow window;
    fillArea(&window, 1, QStringLiteral(" AB "), false);
    fillArea(&window, 2, QStringLiteral("01 02"), true);
    ModalHandler handler;
    DialogView view;
    handler.answerNext(answerDialog(&view, QStringLiteral("加总异或"), true));
    click(checksumButton(&window, 2));
    QCOMPARE(sendArea(&window, 2)->toPlainText(), QStringLiteral("01 02 03"));

    // Another kind picked, then Cancel.
    handler.answerNext(answerDialog(&view, QStringLiteral("CRC32, 高字节在前"), false));
    handler.answerNext(answerDialog(&view, QStringLiteral("8 CRC"), false));
    click(checksumButton(&window, 1));
    click(checksumButton(&window, 2));
    QCOMPARE(handler.count(), 3);
    QCOMPARE(sendArea(&window, 1)->toPlainText(), QStringLiteral(" AB "));
    QVERIFY(!hexCheck(&window, 1)->isChecked());
    QCOMPARE(sendArea(&window, 2)->toPlainText(), QStringLiteral("01 02 03"));
    QCOMPARE(shownKind(handler, &window, 1), defaultKind);
    QCOMPARE(shownKind(handler, &window, 2), QStringLiteral("加总异或"));

    // Escape rejects the same way.
    handler.answerNext([](QWidget *widget) {
        if (auto *radio = widget->findChild<QRadioButton *>())
            radio->setChecked(true);
        QTest::keyClick(widget, Qt::Key_Escape);
    });
    click(checksumButton(&window, 2));
    QCOMPARE(handler.count(), 6);
    QCOMPARE(sendArea(&window, 2)->toPlainText(), QStringLiteral("01 02 03"));
    QCOMPARE(shownKind(handler, &window, 2), QStringLiteral("加总异或"));
}

void ChecksumActionTest::unreadableHexWarns()
{
    MainWindow window;
    fillArea(&window, 3, QStringLiteral("zz"), true);
    ModalHandler handler;
    DialogView view;
    handler.answerNext(answerDialog(&view, QStringLiteral("总加和"), true));
    click(checksumButton(&window, 3));

    QCOMPARE(handler.count(), 2);
    QCOMPARE(handler.seen().at(0).className, QStringLiteral("ChecksumDialog"));
    QCOMPARE(handler.seen().at(1).className, QStringLiteral("QMessageBox"));
    QCOMPARE(handler.seen().at(1).title, QStringLiteral("校验"));
    QCOMPARE(handler.seen().at(1).text, warningText);
    QCOMPARE(sendArea(&window, 3)->toPlainText(), QStringLiteral("zz"));
    QVERIFY(hexCheck(&window, 3)->isChecked());
    // The choice was remembered before the text was looked at.
    QCOMPARE(shownKind(handler, &window, 3), QStringLiteral("总加和"));
}

void ChecksumActionTest::blankAreaDoesNothing_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("text");
    QTest::newRow("hex, empty") << true << QString();
    QTest::newRow("hex, blanks and line feeds") << true << " \n\t  ";
    QTest::newRow("text, blanks") << false << "   ";
    QTest::newRow("text, ideographic spaces") << false << QStringLiteral("\u3000\u3000");
}

void ChecksumActionTest::blankAreaDoesNothing()
{
    QFETCH(bool, hex);
    QFETCH(QString, text);

    MainWindow window;
    fillArea(&window, 1, text, hex);
    ModalHandler handler;
    DialogView view;
    handler.answerNext(answerDialog(&view, QStringLiteral("8 CRC"), true));
    click(checksumButton(&window, 1));

    QCOMPARE(handler.count(), 1);
    QCOMPARE(sendArea(&window, 1)->toPlainText(), text);
    QCOMPARE(hexCheck(&window, 1)->isChecked(), hex);
    QCOMPARE(shownKind(handler, &window, 1), QStringLiteral("8 CRC"));
}

void ChecksumActionTest::rewrittenAreaSendsThoseBytes()
{
    Pty pty;
    QVERIFY(pty.isValid());
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, 3, QStringLiteral(" AB "), false);
    ModalHandler handler;
    DialogView view;
    handler.answerNext(answerDialog(&view, QString(), true));
    click(checksumButton(&window, 3));
    QCOMPARE(sendArea(&window, 3)->toPlainText(), QStringLiteral("41 42 B1 D1"));
    // Computing a checksum sends nothing by itself.
    QCOMPARE(counter(&window, QStringLiteral("发帧数")), QStringLiteral("0"));

    click(buttonBesideLabel(&window, QStringLiteral("发送区3"), QStringLiteral("手动发送")));
    QVERIFY(pty.waitForBytes(4));
    // Sending adds no checksum of its own: a second frame follows directly.
    click(buttonBesideLabel(&window, QStringLiteral("发送区3"), QStringLiteral("手动发送")));
    QVERIFY(pty.waitForBytes(8));
    QCOMPARE(pty.take(), QByteArray::fromHex("4142b1d14142b1d1"));
    QCOMPARE(counter(&window, QStringLiteral("发字节数")), QStringLiteral("8"));
}

void ChecksumActionTest::portKeepsRunningWhileDialogOpen()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    fillArea(&window, 1, QStringLiteral("01 03 00 00 00 01"), true);
    spinOfRow(&window, QStringLiteral("发送周期"), propertiesGroup(1))->setValue(50);
    findCheck(&window, QStringLiteral("自动发"), propertiesGroup(1))->setChecked(true);

    // While the dialog waits for an answer, auto-send goes on with the old
    // text; afterwards the frames carry the checksum.
    ModalHandler handler;
    handler.setAnswerDelay(600);
    DialogView view;
    handler.answerNext(answerDialog(&view, QString(), true));
    const QByteArray plain = QByteArray::fromHex("010300000001");
    const QByteArray withCrc = QByteArray::fromHex("010300000001840a");
    click(checksumButton(&window, 1));
    QCOMPARE(handler.count(), 1);
    QCOMPARE(sendArea(&window, 1)->toPlainText(), QStringLiteral("01 03 00 00 00 01 84 0A"));

    QTRY_VERIFY_WITH_TIMEOUT(pty.collected().endsWith(withCrc + withCrc), 10000);
    findCheck(&window, QStringLiteral("自动发"), propertiesGroup(1))->setChecked(false);
    const int total = counter(&window, QStringLiteral("发字节数")).toInt();
    QVERIFY(pty.waitForBytes(total));
    const QByteArray bytes = pty.take();
    QCOMPARE(bytes.size(), total);

    // Whole frames of the old text, then only frames with the checksum.
    int oldFrames = 0;
    while (oldFrames * plain.size() < bytes.size()
           && bytes.mid(oldFrames * plain.size(), withCrc.size()) != withCrc)
        ++oldFrames;
    QVERIFY2(oldFrames >= 2,
             qPrintable(QStringLiteral("%1 frames during the dialog").arg(oldFrames)));
    QCOMPARE(bytes.left(oldFrames * plain.size()), plain.repeated(oldFrames));
    const QByteArray rest = bytes.mid(oldFrames * plain.size());
    QCOMPARE(rest, withCrc.repeated(rest.size() / withCrc.size()));
}

QUORVEL_TEST_MAIN(ChecksumActionTest)
#include "tst_checksumaction.moc"
