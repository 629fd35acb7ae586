// The window as a whole: identity, how it grows, what survives a restart,
// and the colour themes.
#include "mainwindow.h"
#include "startup.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>

using namespace testsupport;

namespace {

// The 17 stored flags in the order they are built: every checkable button
// but the radio buttons, whose choice is not kept.
QList<QAbstractButton *> flagButtons(QWidget *window)
{
    QList<QAbstractButton *> flags;
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->isCheckable() && !qobject_cast<QRadioButton *>(button))
            flags << button;
    }
    return flags;
}

QVariant stored(const QString &key)
{
    return QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).value(key);
}

void writeStore(const QByteArray &text)
{
    const QString path = QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).fileName();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}

const QString sheetTemplate = QStringLiteral(
        "QMainWindow { background-color: %1; }QGroupBox { font-weight: bold; "
        "background-color: %1; border: 1px solid %2; border-radius: 4px; margin-top: 8px; "
        "}QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; "
        "}QDialog { background-color: %1; }QDialog QGroupBox { background-color: %1; "
        "border: 1px solid %2; }");

QString themeSheet(int theme)
{
    const char *const colours[3][2] = { { "#07A5CA", "#0690B0" },
                                        { "#4ABDBD", "#3DA8A8" },
                                        { "#e8e4d9", "#c4beb0" } };
    return sheetTemplate.arg(QLatin1String(colours[theme][0]), QLatin1String(colours[theme][1]));
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void identityAndSlots();
    void growth();
    void settingsSurviveARestart();
    void storedAutoSendStartsAtOneSecond();
    void storedValuesOfTheWrongType();
    void themes();
};

void WindowTest::identityAndSlots()
{
    setUpApplication();
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Quorvel"));
    MainWindow window;
    setUpMainWindow(window);
    QCOMPARE(window.windowTitle(), QStringLiteral("Quorvel -- 串口通信调试工具"));
    QVERIFY(!window.windowIcon().isNull());
    for (auto icon : { qMakePair(QStringLiteral(":/icons/app_icon.png"), 64),
                       qMakePair(QStringLiteral(":/icons/logo.png"), 200) }) {
        const QImage image(icon.first);
        QCOMPARE(image.size(), QSize(icon.second, icon.second));
        QVERIFY(image.hasAlphaChannel());
    }
    QCOMPARE(window.minimumSize(), QSize(1000, 700));
    QCOMPARE(window.size(), QSize(1100, 750));

    const QMetaObject &meta = MainWindow::staticMetaObject;
    QStringList names;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        names << QString::fromLatin1(meta.method(i).methodSignature());
    QCOMPARE(names.join(' '),
             QStringLiteral("onOpenClosePort() onPortReadyRead() onSendClicked() onClearReceive() "
                            "onStopDisplayToggled(bool) onSaveData() onClearCount() "
                            "onManualSend1() onManualSend2() onManualSend3() "
                            "onStartFileRotation() onStartAreaRotation() onRotationTimer() "
                            "refreshPortList() onChecksumBtnClicked(int) onThemeClicked()"));
}

// Extra width goes to the pane, the send areas and the rotation group, extra
// height to the traffic row only; the left groups keep their width.
void WindowTest::growth()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QList<QWidget *> left;
    for (const char *title : { "串口参数", "计数器", "接收区设置", "显示选项" }) {
        left << findGroup(&window, QString::fromUtf8(title));
        QVERIFY(left.last()->width() <= 155);
    }
    QCOMPARE(left[2]->width(), 155);
    QCOMPARE(left[3]->width(), 155);
    // The counters' clear row is captioned like its button; the two traffic
    // lamps sit side by side in the serial group's row without a caption.
    QCOMPARE(fieldOfRow<QPushButton>(&window, "清空计数")->text(), QStringLiteral("清空计数"));
    QList<QLabel *> lamps;
    for (QLabel *label : left[0]->findChildren<QLabel *>())
        if (label->text().endsWith(QStringLiteral(" ●")))
            lamps << label;
    QCOMPARE(lamps.size(), 2);
    QCOMPARE(lamps[0]->parentWidget(), lamps[1]->parentWidget());
    QCOMPARE(lamps[0]->y(), lamps[1]->y());
    auto *form = qobject_cast<QFormLayout *>(left[0]->layout());
    QVERIFY(form->indexOf(lamps[0]->parentWidget()) >= 0);
    QVERIFY(!form->labelForField(lamps[0]->parentWidget()));
    QPlainTextEdit *pane = receivePane(&window);
    QWidget *send = findGroup(&window, QStringLiteral("发送区"));
    QWidget *rotation = findGroup(&window, QStringLiteral("发送区及发送文件轮发属性"));
    QWidget *area = sendArea(&window, 2);
    const QList<QWidget *> all = QList<QWidget *>({ pane, send, rotation, area }) + left;
    QVector<QSize> before;
    for (QWidget *widget : all)
        before << widget->size();

    window.resize(window.width() + 300, window.height() + 200);
    QTRY_COMPARE(pane->size(), before[0] + QSize(300, 200));
    for (int i = 1; i < 4; ++i)
        QCOMPARE(all[i]->size(), before[i] + QSize(300, 0));
    for (int i = 4; i < all.size(); ++i)
        QCOMPARE(all[i]->width(), before[i].width());
}

void WindowTest::settingsSurviveARestart()
{
    const QString texts[3] = { QStringLiteral("01 02\n03"), QStringLiteral("收到\nok "), {} };
    QList<bool> defaults;
    {
        MainWindow window;
        for (QAbstractButton *flag : flagButtons(&window)) {
            defaults << flag->isChecked();
            flag->toggle();
        }
        for (int area = 1; area <= 3; ++area)
            sendArea(&window, area)->setPlainText(texts[area - 1]);
        click(findButton(&window, QStringLiteral("切换主题")));
        fieldOfRow<QComboBox>(&window, QStringLiteral("波特率"))->setCurrentText("115200");
        fieldOfRow<QSpinBox>(&window, QStringLiteral("周期"))->setValue(77);
        QVERIFY(stored(QStringLiteral("hex1")).isNull()); // only closing writes
        QVERIFY(window.close());
    }
    // Only the four 16进制 and 自动清 start on.
    QCOMPARE(defaults.size(), 17);
    QCOMPARE(defaults.count(true), 5);
    QCOMPARE(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).allKeys().join(' '),
             QStringLiteral("autoClear autoSend1 autoSend2 autoSend3 frameNewline hex1 hex2 hex3 "
                            "hexRecv joinRotation1 joinRotation2 joinRotation3 keywordFilter "
                            "send1 send2 send3 sendOnce showSaveSend showSaveTime stopDisplay "
                            "themeIndex"));
    MainWindow window;
    QList<bool> restored;
    for (QAbstractButton *flag : flagButtons(&window))
        restored << !flag->isChecked();
    QCOMPARE(restored, defaults);
    for (int area = 1; area <= 3; ++area)
        QCOMPARE(sendArea(&window, area)->toPlainText(), texts[area - 1]);
    QVERIFY(findButton(&window, QStringLiteral("继续显示")));
    QCOMPARE(qApp->styleSheet(), themeSheet(1));
    // Port settings and periods are not kept.
    QCOMPARE(fieldOfRow<QComboBox>(&window, QStringLiteral("波特率"))->currentText(), "1200");
    QCOMPARE(fieldOfRow<QSpinBox>(&window, QStringLiteral("周期"))->value(), 1000);
}

// Restoring "自动发" starts its timer at the built-in period of 1000 ms.
void WindowTest::storedAutoSendStartsAtOneSecond()
{
    writeStore("[General]\nautoSend2=true\nsend1=11\nsend2=A5 5A\n");
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QVERIFY(pty.waitForBytes(2, 3000));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(pty.waitForBytes(6, 5000));
    QVERIFY2(clock.elapsed() >= 1500 && clock.elapsed() <= 3500,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(pty.take().left(6), QByteArray("\xA5\x5A\xA5\x5A\xA5\x5A"));
}

// Hand-edited values take what the variant conversion gives.
void WindowTest::storedValuesOfTheWrongType()
{
    writeStore("[General]\nhex1=no\nhex2=@Invalid()\nautoClear=FALSE\nsendOnce=off\nsend1=42\n"
               "themeIndex=abc\n");
    MainWindow window;
    QCOMPARE(findCheck(&window, "16进制", "发送区1属性")->isChecked(), true);
    QCOMPARE(findCheck(&window, "16进制", "发送区2属性")->isChecked(), false);
    QCOMPARE(findCheck(&window, "自动清")->isChecked(), false);
    QCOMPARE(findCheck(&window, "只轮发一遍")->isChecked(), true);
    QCOMPARE(sendArea(&window, 1)->toPlainText(), QStringLiteral("42"));
    QCOMPARE(qApp->styleSheet(), themeSheet(0));
}

void WindowTest::themes()
{
    QCOMPARE(sheetTemplate.size(), 323);
    // Stored index, then the theme shown at start and after each click.
    const QPair<QByteArray, QList<int>> cases[] = {
        { "", { 0, 1, 2, 0 } },        { "2", { 2, 0 } }, { "5", { 2, 0, 1 } }, { "-1", { 2, 0 } },
        { "-5", { 2, 2, 0 } }, // -5 steps to -1, still beige
        { "2147483647", { 2, 2, 0 } }, // the largest int must not overflow
    };
    for (const auto &[index, shown] : cases) {
        useFreshSettings();
        if (!index.isEmpty())
            writeStore("[General]\nthemeIndex=" + index + "\n");
        MainWindow window;
        QAbstractButton *button = findButton(&window, QStringLiteral("切换主题"));
        for (int step = 0; step < shown.size(); ++step) {
            if (step > 0)
                click(button);
            QVERIFY2(qApp->styleSheet() == themeSheet(shown[step]), index.constData());
        }
        QCOMPARE(window.styleSheet(), QString());
        QCOMPARE(receivePane(&window)->styleSheet(),
                 QStringLiteral("QPlainTextEdit { background-color: white; }"));
        // The checksum dialog is painted under the application's sheet.
        window.show();
        ModalHandler dialogs;
        QColor background;
        dialogs.answerNext([&background](QWidget *dialog) {
            background = dialog->grab().toImage().pixelColor(2, 2);
            qobject_cast<QDialog *>(dialog)->reject();
        });
        click(findButton(&window, QStringLiteral("校验"), QStringLiteral("发送区1属性")));
        const char *const backgrounds[3] = { "#07A5CA", "#4ABDBD", "#e8e4d9" };
        QCOMPARE(background, QColor(backgrounds[shown.last()]));
    }
}

QUORVEL_TEST_MAIN(WindowTest)
#include "tst_window.moc"
