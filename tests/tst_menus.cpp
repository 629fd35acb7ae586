// The menu bar and its shortcuts, find in the receive pane, and About.
#include "findbar.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>

using namespace testsupport;

class MenusTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void barAddsItsHeight();
    void findInHexAndText();
    void shortcutsAndAbout();
};

// The menus share the bar with the line controls: the window keeps its
// sizes, and everything under the bar its size and place.
void MenusTest::barAddsItsHeight()
{
    MainWindow plain;
    MainWindow withMenus;
    withMenus.installMenuBar();
    QVERIFY(withMenus.menuBar()->actions().size() > 3);
    QCOMPARE(withMenus.minimumSize(), plain.minimumSize());
    QCOMPARE(withMenus.size(), plain.size());
    plain.show();
    withMenus.show();
    QVERIFY(QTest::qWaitForWindowExposed(&withMenus));
    for (QWidget *widget : plain.centralWidget()->findChildren<QWidget *>()) {
        const auto *other = withMenus.centralWidget()->findChild<QWidget *>(widget->objectName());
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_"))
            QCOMPARE(other->geometry(), widget->geometry());
    }
}

void MenusTest::findInHexAndText()
{
    Rig rig;
    MainWindow &window = rig.window;
    window.installMenuBar();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    rig.set(QStringLiteral("frameNewlineCheck"), true);
    QVERIFY(rig.rx("\xAB\xCD\xAB")); // "AB CD AB"
    rig.set(QStringLiteral("hexRecvCheck"), false);
    QVERIFY(rig.rx("xab-AB"));

    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    auto *edit = byName<QLineEdit>(&window, QStringLiteral("findEdit"));
    QVERIFY(edit && edit->isVisible() && edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("ab"));
    auto *bar = byName<FindBar>(&window, QStringLiteral("findBar"));
    auto *count = byName<QLabel>(&window, QStringLiteral("findCountLabel"));
    QCOMPARE(bar->matchCount(), 4);
    QVERIFY(count->text().contains(QLatin1Char('4')));
    QPlainTextEdit *pane = receivePane(&window);
    QCOMPARE(pane->extraSelections().size(), 5); // every match and the current one

    // Enter steps on and wraps; previous wraps back.
    QList<int> starts{ pane->textCursor().selectionStart() };
    for (int step = 0; step < 4; ++step) {
        QTest::keyClick(edit, Qt::Key_Return);
        starts << pane->textCursor().selectionStart();
    }
    QCOMPARE(pane->textCursor().selectedText().toLower(), QStringLiteral("ab"));
    QCOMPARE(QSet<int>(starts.begin(), starts.end()).size(), 4);
    QCOMPARE(starts.last(), starts.first());
    click(byName<QAbstractButton>(&window, QStringLiteral("findPreviousButton")));
    QCOMPARE(pane->textCursor().selectionStart(), starts[3]);

    click(byName<QAbstractButton>(&window, QStringLiteral("findCaseCheck")));
    QCOMPARE(bar->matchCount(), 1);
    // Counting goes on while traffic arrives, and a cleared pane has none.
    QVERIFY(rig.rx("ab ab"));
    QTRY_COMPARE(bar->matchCount(), 3);
    click(byName<QAbstractButton>(&window, QStringLiteral("clearReceiveButton")));
    QTRY_COMPARE(bar->matchCount(), 0);

    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QVERIFY(pane->extraSelections().isEmpty());
}

void MenusTest::shortcutsAndAbout()
{
    Pty device;
    MainWindow window;
    window.installMenuBar();
    window.selectPort(device.slavePath());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(serialPortOf(&window)->isOpen());

    // Ctrl+Return sends the area being typed in.
    sendArea(&window, 1)->setPlainText(QStringLiteral("11"));
    sendArea(&window, 3)->setPlainText(QStringLiteral("33"));
    sendArea(&window, 3)->setFocus();
    QTest::keyClick(sendArea(&window, 3), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(device.waitForBytes(1));
    QCOMPARE(device.take(), QByteArray("\x33"));
    QCOMPARE(sendArea(&window, 3)->toPlainText(), QStringLiteral("33"));

    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!window.isVisible());

    ModalHandler boxes;
    window.menuBar()->actions().last()->menu()->actions().first()->trigger();
    QCOMPARE(boxes.count(), 1);
    QVERIFY(boxes.last().text.contains(QStringLiteral("Quorvel " QUORVEL_VERSION)));
    QVERIFY(boxes.last().text.contains(QStringLiteral("GPL-3.0-or-later")));
}

QUORVEL_TEST_MAIN(MenusTest)
#include "tst_menus.moc"
