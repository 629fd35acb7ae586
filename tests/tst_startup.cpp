// Start-up and shut-down of the main window: identity, icon, sizes, the
// slot table, and what closing the window does with port and capture.
#include "mainwindow.h"
#include "startup.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cerrno>
#include <unistd.h>

using namespace testsupport;

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void identityAndIcons();
    void sizes();
    void slotTable();
    void timersAndPort();
    void allGroupsWithoutPorts();
    void stopDisplaySlotChangesNothing();
    void closingSavesThenClosesPortAndCapture();
};

void StartupTest::identityAndIcons()
{
    setUpApplication();
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Quorvel"));
    QVERIFY(!QApplication::windowIcon().isNull());

    MainWindow window;
    setUpMainWindow(window);
    QCOMPARE(window.windowTitle(), QStringLiteral("Quorvel -- 串口通信调试工具"));
    QVERIFY(!window.windowIcon().isNull());

    const QImage icon(QStringLiteral(":/icons/app_icon.png"));
    QCOMPARE(icon.size(), QSize(64, 64));
    QVERIFY(icon.hasAlphaChannel());
    const QImage logo(QStringLiteral(":/icons/logo.png"));
    QCOMPARE(logo.size(), QSize(200, 200));
    QVERIFY(logo.hasAlphaChannel());
}

void StartupTest::sizes()
{
    MainWindow window;
    QCOMPARE(window.minimumSize(), QSize(1000, 700));
    QCOMPARE(window.size(), QSize(1100, 750));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(600, 400);
    QTRY_VERIFY(window.width() >= 1000 && window.height() >= 700);
}

void StartupTest::slotTable()
{
    const QStringList expected = {
        "onOpenClosePort()",
        "onPortReadyRead()",
        "onSendClicked()",
        "onClearReceive()",
        "onStopDisplayToggled(bool)",
        "onSaveData()",
        "onClearCount()",
        "onManualSend1()",
        "onManualSend2()",
        "onManualSend3()",
        "onStartFileRotation()",
        "onStartAreaRotation()",
        "onRotationTimer()",
        "refreshPortList()",
        "onChecksumBtnClicked(int)",
        "onThemeClicked()",
    };
    const QMetaObject &meta = MainWindow::staticMetaObject;
    QCOMPARE(QString::fromLatin1(meta.className()), QStringLiteral("MainWindow"));
    QCOMPARE(QString::fromLatin1(meta.superClass()->className()), QStringLiteral("QMainWindow"));

    QStringList names;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
        QCOMPARE(method.returnType(), int(QMetaType::Void));
        names << QString::fromLatin1(method.methodSignature());
    }
    QCOMPARE(names, expected);
    const QMetaMethod checksum = meta.method(meta.methodOffset() + 14);
    QCOMPARE(checksum.parameterNames(), QList<QByteArray>({ "areaIndex" }));
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
}

void StartupTest::timersAndPort()
{
    MainWindow window;
    const auto timers = window.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(timers.size(), 7);
    int singleShot = 0;
    for (QTimer *timer : timers) {
        if (timer->isSingleShot())
            ++singleShot;
    }
    // The two lamp timers and the answer time-out fire once per start.
    QCOMPARE(singleShot, 3);
    QCOMPARE(window.findChildren<QSerialPort *>().size(), 1);
    QCOMPARE(serialPortOf(&window)->parent(), &window);
    QVERIFY(!serialPortOf(&window)->isOpen());
}

void StartupTest::allGroupsWithoutPorts()
{
    MainWindow window;
    // Whatever ports the machine has, emptying the list must not break the window.
    comboOfRow(&window, QStringLiteral("端口号"))->clear();
    for (const char *title :
         { "串口参数", "计数器", "接收区设置", "显示选项", "发送区", "发送区及发送文件轮发属性",
           "轮发参数", "发送区1属性", "发送区2属性", "发送区3属性" }) {
        QVERIFY2(findGroup(&window, QString::fromUtf8(title)), title);
    }
}

void StartupTest::stopDisplaySlotChangesNothing()
{
    Pty pty;
    MainWindow window;
    QVERIFY(openPort(&window, pty.slavePath()));
    QAbstractButton *stop = findButton(&window, QStringLiteral("停止显示"));
    QVERIFY(stop);
    for (bool value : { true, false, true }) {
        QVERIFY(QMetaObject::invokeMethod(&window, "onStopDisplayToggled", Q_ARG(bool, value)));
        QVERIFY(!stop->isChecked());
        QCOMPARE(stop->text(), QStringLiteral("停止显示"));
    }
    pty.write("\x41");
    QTRY_COMPARE(counter(&window, QStringLiteral("收字节数")), QStringLiteral("1"));
    QCOMPARE(receiveText(&window), QStringLiteral("41"));
}

void StartupTest::closingSavesThenClosesPortAndCapture()
{
    QTemporaryDir dir;
    const QString capturePath = dir.filePath(QStringLiteral("capture.txt"));
    Pty pty;
    {
        MainWindow window;
        window.show();
        QVERIFY(openPort(&window, pty.slavePath()));
        ModalHandler dialogs;
        dialogs.chooseFile(capturePath);
        click(findButton(&window, QStringLiteral("保存数据")));
        QCOMPARE(dialogs.count(), 1);
        QVERIFY(findButton(&window, QStringLiteral("停止保存")));
        pty.write("AB");
        QTRY_COMPARE(counter(&window, QStringLiteral("收帧数")), QStringLiteral("1"));
        sendArea(&window, 1)->setPlainText(QStringLiteral("0A"));
        QVERIFY(window.close());
        // Settings are written on close, before the port goes.
        QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
        QCOMPARE(settings.value(QStringLiteral("send1")).toString(), QStringLiteral("0A"));
        QVERIFY(serialPortOf(&window)->isOpen());
    }
    // The destructor closed the port: the device side sees the hang-up.
    QFile capture(capturePath);
    QVERIFY(capture.open(QIODevice::ReadOnly));
    QCOMPARE(capture.readAll(), QByteArray("41 42\n"));
    char byte;
    errno = 0;
    QCOMPARE(::read(pty.master(), &byte, 1), ssize_t(-1));
    QCOMPARE(errno, EIO);
}

QUORVEL_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
