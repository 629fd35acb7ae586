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

// The 19 stored flags in the order they are built: every checkable button
// but the radio buttons (their choice is not kept) and Qt's own.
QList<QAbstractButton *> flagButtons(QWidget *window)
{
    QList<QAbstractButton *> flags;
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->isCheckable() && !qobject_cast<QRadioButton *>(button)
            && !button->objectName().startsWith(QLatin1String("qt_")))
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

// The theme the application's style sheet paints: 0 blue, 1 teal, 2 beige.
int shownTheme()
{
    const QString sheet = qApp->styleSheet();
    const char *const backgrounds[3] = { "QMainWindow { background-color: #07A5CA; }",
                                         "QMainWindow { background-color: #4ABDBD; }",
                                         "QMainWindow { background-color: #e8e4d9; }" };
    for (int theme = 0; theme < 3; ++theme) {
        if (sheet.contains(QLatin1String(backgrounds[theme])))
            return theme;
    }
    return -1;
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
    // Menus, line controls and status bar fit in the window's own sizes, at
    // the smallest too (a 1366x768 screen): the traffic row gives up the height.
    window.installMenuBar();
    window.show();
    QCOMPARE(window.minimumSize(), QSize(1000, 700));
    QCOMPARE(window.size(), QSize(1100, 750));
    window.resize(window.minimumSize());
    QTRY_COMPARE(window.size(), QSize(1000, 700));
    const QRect inside = window.rect();
    for (const char *name : { "lineToolBar", "frameGapSpin", "rotationGroup", "recvEdit" }) {
        QWidget *widget = byName<QWidget>(&window, name);
        QVERIFY2(
                widget->isVisible()
                        && inside.contains(QRect(widget->mapTo(&window, QPoint()), widget->size())),
                name);
    }

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
    for (const char *name : { "serialGroup", "counterGroup", "receiveGroup", "optionsGroup" }) {
        left << byName(&window, name);
        QVERIFY(left.last()->width() <= 155);
    }
    QCOMPARE(left[2]->width(), 155);
    QCOMPARE(left[3]->width(), 155);
    // The counters' clear row is captioned like its button; the two traffic
    // lamps sit side by side in the serial group's row without a caption.
    auto *counterForm = qobject_cast<QFormLayout *>(left[1]->layout());
    QCOMPARE(qobject_cast<QLabel *>(counterForm->labelForField(byName(&window, "clearCountButton")))
                     ->text(),
             QStringLiteral("清空计数"));
    const QWidget *lamps[2] = { byName(&window, "sendLamp"), byName(&window, "recvLamp") };
    QCOMPARE(lamps[0]->parentWidget(), lamps[1]->parentWidget());
    QCOMPARE(lamps[0]->y(), lamps[1]->y());
    auto *form = qobject_cast<QFormLayout *>(left[0]->layout());
    QVERIFY(form->indexOf(lamps[0]->parentWidget()) >= 0);
    QVERIFY(!form->labelForField(lamps[0]->parentWidget()));
    QPlainTextEdit *pane = receivePane(&window);
    QWidget *send = byName(&window, "sendGroup");
    QWidget *rotation = byName(&window, "rotationGroup");
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
        click(byName<QAbstractButton>(&window, QStringLiteral("themeButton")));
        byName<QComboBox>(&window, QStringLiteral("baudCombo"))->setCurrentText("115200");
        byName<QComboBox>(&window, QStringLiteral("flowControlCombo"))->setCurrentIndex(2);
        byName<QComboBox>(&window, QStringLiteral("lineEndingCombo"))->setCurrentIndex(3);
        byName<QSpinBox>(&window, QStringLiteral("rotationPeriodSpin"))->setValue(77);
        QVERIFY(stored(QStringLiteral("hex1")).isNull()); // only closing writes
        QVERIFY(window.close());
    }
    // Only the four 16进制, 自动清, DTR and RTS start on.
    QCOMPARE(defaults.size(), 19);
    QCOMPARE(defaults.count(true), 7);
    QSettings store(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    QCOMPARE(store.childKeys().join(' '),
             QStringLiteral("autoClear autoSend1 autoSend2 autoSend3 frameNewline hex1 hex2 hex3 "
                            "hexRecv joinRotation1 joinRotation2 joinRotation3 keywordFilter "
                            "send1 send2 send3 sendOnce showSaveSend showSaveTime stopDisplay "
                            "themeIndex"));
    QCOMPARE(store.childGroups(), QStringList(QStringLiteral("line")));
    MainWindow window;
    QList<bool> restored;
    for (QAbstractButton *flag : flagButtons(&window))
        restored << !flag->isChecked();
    QCOMPARE(restored, defaults);
    for (int area = 1; area <= 3; ++area)
        QCOMPARE(sendArea(&window, area)->toPlainText(), texts[area - 1]);
    QCOMPARE(byName<QAbstractButton>(&window, QStringLiteral("stopDisplayButton"))->text(),
             QStringLiteral("继续显示"));
    QCOMPARE(shownTheme(), 1);
    QCOMPARE(byName<QComboBox>(&window, "flowControlCombo")->currentText(), "XON/XOFF");
    QCOMPARE(byName<QComboBox>(&window, "lineEndingCombo")->currentText(), "CR LF");
    // Port settings and periods are not kept.
    QCOMPARE(byName<QComboBox>(&window, QStringLiteral("baudCombo"))->currentText(), "1200");
    QCOMPARE(byName<QSpinBox>(&window, QStringLiteral("rotationPeriodSpin"))->value(), 1000);
}

// Restoring "自动发" starts its timer at the built-in period of 1000 ms.
void WindowTest::storedAutoSendStartsAtOneSecond()
{
    writeStore("[General]\nautoSend2=true\nsend1=11\nsend2=A5 5A\n");
    Pty pty;
    QElapsedTimer clock;
    clock.start();
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QVERIFY(pty.waitForBytes(2));
    // Never early (a coarse timer may fire 5 % early); a busy machine may be late.
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(pty.take(), QByteArray("\xA5\x5A"));
}

void WindowTest::themes()
{
    // Stored index, then the theme shown at start and after each click.
    const QPair<QByteArray, QList<int>> cases[] = {
        { "", { 0, 1, 2, 0 } },        { "2", { 2, 0 } }, { "5", { 2, 0, 1 } }, { "-1", { 2, 0 } },
        { "-5", { 2, 2, 0 } }, // -5 steps to -1, still beige
        { "2147483647", { 2, 2, 0 } }, // the largest int must not overflow
        { "abc", { 0, 1 } },
    };
    for (const auto &[index, shown] : cases) {
        useFreshSettings();
        if (!index.isEmpty())
            writeStore("[General]\nthemeIndex=" + index + "\n");
        MainWindow window;
        auto *button = byName<QAbstractButton>(&window, QStringLiteral("themeButton"));
        for (int step = 0; step < shown.size(); ++step) {
            if (step > 0)
                click(button);
            QVERIFY2(shownTheme() == shown[step], index.constData());
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
        click(byName<QAbstractButton>(&window, QStringLiteral("checksumButton1")));
        const char *const backgrounds[3] = { "#07A5CA", "#4ABDBD", "#e8e4d9" };
        QCOMPARE(background, QColor(backgrounds[shown.last()]));
    }
}

QUORVEL_TEST_MAIN(WindowTest)
#include "tst_window.moc"
