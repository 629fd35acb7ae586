// The send areas and their "校验" buttons, checked on the bytes a real pty receives.
#include "mainwindow.h"
#include "testsupport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSpinBox>

using namespace testsupport;

class SendTest : public QObject
{
    Q_OBJECT

    QScopedPointer<Pty> pty;
    QScopedPointer<MainWindow> w;

    template<typename T>
    T *get(const char *name, int area)
    {
        return byName<T>(w.get(), QLatin1String(name) + QString::number(area));
    }
    QCheckBox *check(int area, const char *name) { return get<QCheckBox>(name, area); }
    QSpinBox *period(int area) { return get<QSpinBox>("autoSendIntervalSpin", area); }
    QString text(int area) { return sendArea(w.get(), area)->toPlainText(); }
    void press(int area, const char *name) { click(get<QAbstractButton>(name, area)); }
    void fill(int area, const QString &text, bool hex)
    {
        sendArea(w.get(), area)->setPlainText(text);
        check(area, "hexSendCheck")->setChecked(hex);
    }
    // Opens the area's checksum dialog, checks kind (if any), then accepts or
    // rejects it; returns the kind it came up with.
    QString runDialog(ModalHandler &boxes, int area, const QString &kind, bool ok)
    {
        QString shown;
        boxes.answerNext([&](QWidget *dialog) {
            auto *kinds = dialog->findChild<QButtonGroup *>();
            shown = kinds->checkedButton()->text();
            for (QAbstractButton *radio : kinds->buttons())
                radio->setChecked(radio->isChecked() || radio->text() == kind);
            static_cast<QDialog *>(dialog)->done(ok ? QDialog::Accepted : QDialog::Rejected);
        });
        press(area, "checksumButton");
        return shown;
    }

private slots:
    void init()
    {
        useFreshSettings();
        pty.reset(new Pty);
        w.reset(new MainWindow);
        QVERIFY(openPort(w.get(), pty->slavePath()));
    }

    void manualSend_data()
    {
        QTest::addColumn<int>("area");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("echo"); // a tagged echo turns "显示保存发送" on
        QTest::newRow("text as typed")
                << 2 << " 你\nA " << false << QByteArray::fromHex("20e4bda00a4120")
                << "[发送] 20 E4 BD A0 0A 41 20";
        QTest::newRow("hex") << 1 << "01 02 ff" << true << QByteArray("\1\2\xFF") << "01 02 FF";
        QTest::newRow("hex, trimmed") << 3 << " 7e\n" << true << QByteArray("\x7E") << "[发送] 7E";
        QTest::newRow("empty") << 1 << "" << false << QByteArray() << "";
        QTest::newRow("unparsable hex") << 3 << "zz" << true << QByteArray() << "";
    }

    void manualSend()
    {
        QFETCH(int, area);
        QFETCH(QString, text);
        QFETCH(bool, hex);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, echo);
        byName<QCheckBox>(w.get(), "showSaveSendCheck")->setChecked(echo.startsWith('['));
        fill(area, text, hex);
        press(area, "manualSendButton");
        QTRY_VERIFY(displaySettled(w.get()));
        QCOMPARE(receiveText(w.get()), echo);
        QCOMPARE(counter(w.get(), "发帧数") + ' ' + counter(w.get(), "发字节数"),
                 QStringLiteral("%1 %2").arg(bytes.isEmpty() ? 0 : 1).arg(bytes.size()));
        // Writes keep their order: a marker right behind shows nothing else was written.
        // Sent through onSendClicked, which nothing connects: it must send area 1 only.
        fill(1, "7E", true);
        QVERIFY(QMetaObject::invokeMethod(w.get(), "onSendClicked"));
        QVERIFY(pty->waitForBytes(bytes.size() + 1));
        QCOMPARE(pty->take(), bytes + '\x7E');
    }

    void autoSendAndLostDevice()
    {
        fill(1, "01", true);
        fill(2, "02", true);
        period(1)->setValue(50);
        period(2)->setValue(200);
        QElapsedTimer clock;
        clock.start();
        check(1, "autoSendCheck")->setChecked(true);
        check(2, "autoSendCheck")->setChecked(true);
        // A running timer keeps the period it was started with.
        period(1)->setValue(10);
        QTRY_VERIFY_WITH_TIMEOUT(pty->collected().count('\x02') >= 3, 10000);
        const qint64 ms = clock.elapsed();
        const QByteArray bytes = pty->take();
        const int fast = bytes.count('\x01'), slow = bytes.count('\x02');
        QVERIFY2(fast <= ms / 45 + 1 && slow <= ms / 180 + 1 && fast >= 2 * slow,
                 qPrintable(QString::asprintf("%d, %d in %lld ms", fast, slow, ms)));

        // Ticks while closed send, count and show nothing.
        QVERIFY(closePort(w.get()));
        auto shown = [&] { return counter(w.get(), "发字节数") + receiveText(w.get()); };
        const QString before = shown();
        QVERIFY(!QTest::qWaitFor([&] { return shown() != before; }, 500));
        QVERIFY(openPort(w.get(), pty->slavePath()));
        pty->take();
        check(1, "autoSendCheck")->setChecked(false);
        check(1, "autoSendCheck")->setChecked(true);
        // Area 2 goes on by itself; area 1 now runs at 10 ms (40 ticks at 50 ms need 2 s).
        QTRY_VERIFY_WITH_TIMEOUT(
                pty->collected().count('\x01') >= 40 && pty->collected().count('\x02') >= 2, 1500);

        // A lost device while ticking fast: one box, and the port is closed for it.
        ModalHandler boxes;
        boxes.setAnswerDelay(300);
        pty->closeMaster();
        QVERIFY(boxes.waitForCount(1));
        QVERIFY(!QTest::qWaitFor([&] { return boxes.count() > 1; }, 700));
        QVERIFY(!serialPortOf(w.get())->isOpen());
    }

    void checksumAndClear()
    {
        const QString defaultKind = QStringLiteral("16 CRC, 低字节在前");
        fill(1, "0a ff", true);
        fill(2, "AB", false);
        fill(3, "zz", true);
        ModalHandler boxes;
        QCOMPARE(runDialog(boxes, 1, QString(), true), defaultKind);
        QCOMPARE(boxes.last().title, QStringLiteral("计算校验码"));
        QCOMPARE(runDialog(boxes, 2, "总加和", true), defaultKind);
        QVERIFY(check(2, "hexSendCheck")->isChecked());
        QCOMPARE(runDialog(boxes, 3, "总加和", true), defaultKind);
        QCOMPARE(boxes.last().title + ": " + boxes.last().text,
                 "校验: 输入内容无法解析为有效数据，请检查是否为正确格式的十六进制或文本。");
        QCOMPARE(text(1) + '|' + text(2) + '|' + text(3), "0A FF 47 50|41 42 83|zz");
        // Each area remembers its own kind, also after the warning; Cancel changes nothing.
        QCOMPARE(runDialog(boxes, 2, "8 CRC", false), QStringLiteral("总加和"));
        QCOMPARE(runDialog(boxes, 2, QString(), false), QStringLiteral("总加和"));
        QCOMPARE(runDialog(boxes, 3, QString(), false), QStringLiteral("总加和"));
        QCOMPARE(runDialog(boxes, 1, QString(), false), defaultKind);
        press(2, "clearSendButton");
        QCOMPARE(text(1) + '|' + text(2) + '|' + text(3), "0A FF 47 50||zz");
    }
};

QUORVEL_TEST_MAIN(SendTest)
#include "tst_send.moc"
