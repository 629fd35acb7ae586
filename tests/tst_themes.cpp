// Colour themes: the application style sheet for every stored index, the
// "切换主题" cycle, and what the sheet does to the window and the checksum
// dialog on screen.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QSettings>

#include <climits>

using namespace testsupport;

namespace {

struct Theme
{
    QString background;
    QString border;
};

const Theme blue = { QStringLiteral("#07A5CA"), QStringLiteral("#0690B0") };
const Theme teal = { QStringLiteral("#4ABDBD"), QStringLiteral("#3DA8A8") };
const Theme beige = { QStringLiteral("#e8e4d9"), QStringLiteral("#c4beb0") };

QString sheetTemplate()
{
    return QStringLiteral(
            "QMainWindow { background-color: %1; }QGroupBox { font-weight: bold; "
            "background-color: %1; border: 1px solid %2; border-radius: 4px; margin-top: 8px; "
            "}QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; "
            "}QDialog { background-color: %1; }QDialog QGroupBox { background-color: %1; "
            "border: 1px solid %2; }");
}

QString expectedSheet(const Theme &theme)
{
    QString sheet = sheetTemplate();
    sheet.replace(QStringLiteral("%1"), theme.background);
    sheet.replace(QStringLiteral("%2"), theme.border);
    return sheet;
}

QString themeName(const QString &sheet)
{
    if (sheet == expectedSheet(blue))
        return QStringLiteral("blue");
    if (sheet == expectedSheet(teal))
        return QStringLiteral("teal");
    if (sheet == expectedSheet(beige))
        return QStringLiteral("beige");
    return QStringLiteral("unknown sheet: ") + sheet;
}

Theme themeNamed(const QString &name)
{
    return name == QStringLiteral("blue") ? blue : name == QStringLiteral("teal") ? teal : beige;
}

void storeThemeIndex(const QVariant &index)
{
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    settings.setValue(QStringLiteral("themeIndex"), index);
}

QColor pixel(QWidget *widget, int x, int y)
{
    return widget->grab().toImage().pixelColor(x, y);
}

QLabel *labelWithText(QWidget *root, const QString &text)
{
    const auto labels = root->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text() == text)
            return label;
    }
    return nullptr;
}

} // namespace

class ThemesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void templateText();
    void sheetForStoredIndex_data();
    void sheetForStoredIndex();
    void clicksCycleThemes_data();
    void clicksCycleThemes();
    void ownSheetsUntouched();
    void checksumDialogTakesTheTheme_data();
    void checksumDialogTakesTheTheme();
};

void ThemesTest::templateText()
{
    QCOMPARE(sheetTemplate().size(), 323);
    QCOMPARE(sheetTemplate().count(QStringLiteral("%1")), 4);
    QCOMPARE(sheetTemplate().count(QStringLiteral("%2")), 2);
}

void ThemesTest::sheetForStoredIndex_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("theme");
    QTest::newRow("nothing stored") << QVariant() << "blue";
    QTest::newRow("0") << QVariant(0) << "blue";
    QTest::newRow("1") << QVariant(1) << "teal";
    QTest::newRow("2") << QVariant(2) << "beige";
    QTest::newRow("5") << QVariant(5) << "beige";
    QTest::newRow("-1") << QVariant(-1) << "beige";
    QTest::newRow("-5") << QVariant(-5) << "beige";
    QTest::newRow("INT_MAX") << QVariant(INT_MAX) << "beige";
    QTest::newRow("INT_MIN") << QVariant(INT_MIN) << "beige";
}

void ThemesTest::sheetForStoredIndex()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, theme);
    if (stored.isValid())
        storeThemeIndex(stored);

    qApp->setStyleSheet(QStringLiteral("QWidget { color: red; }"));
    MainWindow window;
    const Theme colours = themeNamed(theme);
    // Set on the application, replacing what was there, not on the window.
    QCOMPARE(qApp->styleSheet(), expectedSheet(colours));
    QCOMPARE(window.styleSheet(), QString());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The window's margin shows its background; a group box has the border
    // colour on its left edge, the background inside and a bold title.
    QCOMPARE(pixel(&window, 2, 2), QColor(colours.background));
    QGroupBox *group = findGroup(&window, QStringLiteral("计数器"));
    QVERIFY(group);
    QCOMPARE(pixel(group, 0, group->height() / 2), QColor(colours.border));
    QCOMPARE(pixel(group, group->width() - 3, group->height() - 3), QColor(colours.background));
    QVERIFY(group->font().bold());
    QVERIFY(!labelWithText(group, QStringLiteral("发帧数"))->font().bold());
}

void ThemesTest::clicksCycleThemes_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QStringList>("afterClicks");
    QTest::addColumn<int>("storedAtClose");
    QTest::newRow("from 0") << QVariant() << QStringList({ "teal", "beige", "blue" }) << 0;
    QTest::newRow("from 1") << QVariant(1) << QStringList({ "beige", "blue", "teal" }) << 1;
    QTest::newRow("from 2") << QVariant(2) << QStringList({ "blue" }) << 0;
    QTest::newRow("from 5") << QVariant(5) << QStringList({ "blue", "teal" }) << 1;
    QTest::newRow("from -1") << QVariant(-1) << QStringList({ "blue" }) << 0;
    // -5 -> -1 (still beige) -> 0.
    QTest::newRow("from -5") << QVariant(-5) << QStringList({ "beige", "blue", "teal" }) << 1;
    // The largest int steps on to 2 rather than overflowing.
    QTest::newRow("from INT_MAX") << QVariant(INT_MAX) << QStringList({ "beige", "blue", "teal" })
                                  << 1;
    QTest::newRow("from INT_MIN") << QVariant(INT_MIN) << QStringList({ "beige", "blue" }) << 0;
}

void ThemesTest::clicksCycleThemes()
{
    QFETCH(QVariant, stored);
    QFETCH(QStringList, afterClicks);
    QFETCH(int, storedAtClose);
    if (stored.isValid())
        storeThemeIndex(stored);

    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QAbstractButton *button =
                findButton(&window, QStringLiteral("切换主题"), QStringLiteral("显示选项"));
        QVERIFY(button);
        for (const QString &expected : afterClicks) {
            click(button);
            QCOMPARE(themeName(qApp->styleSheet()), expected);
            QCOMPARE(pixel(&window, 2, 2), QColor(themeNamed(expected).background));
        }
        // A change reaches the store only when the window closes.
        QCOMPARE(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"))
                         .value(QStringLiteral("themeIndex")),
                 stored);
        window.close();
    }
    QCOMPARE(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"))
                     .value(QStringLiteral("themeIndex"))
                     .toInt(),
             storedAtClose);
}

void ThemesTest::ownSheetsUntouched()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPlainTextEdit *pane = receivePane(&window);
    QVERIFY(pane);
    QList<QLabel *> lamps = { labelWithText(&window, QStringLiteral("●")),
                              labelWithText(&window, QStringLiteral("发送 ●")),
                              labelWithText(&window, QStringLiteral("接收 ●")) };
    QStringList lampSheets;
    for (QLabel *lamp : lamps) {
        QVERIFY(lamp);
        lampSheets << lamp->styleSheet();
    }

    QAbstractButton *button = findButton(&window, QStringLiteral("切换主题"));
    for (int click = 0; click < 3; ++click) {
        QCOMPARE(pane->styleSheet(), QStringLiteral("QPlainTextEdit { background-color: white; }"));
        QWidget *viewport = pane->viewport();
        QCOMPARE(pixel(viewport, viewport->width() / 2, viewport->height() / 2), QColor(Qt::white));
        for (int i = 0; i < lamps.size(); ++i)
            QCOMPARE(lamps[i]->styleSheet(), lampSheets[i]);
        testsupport::click(button);
    }
}

void ThemesTest::checksumDialogTakesTheTheme_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("theme");
    QTest::newRow("blue") << 0 << "blue";
    QTest::newRow("teal") << 1 << "teal";
    QTest::newRow("beige") << 2 << "beige";
}

void ThemesTest::checksumDialogTakesTheTheme()
{
    QFETCH(int, stored);
    QFETCH(QString, theme);
    storeThemeIndex(stored);
    const Theme colours = themeNamed(theme);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    sendArea(&window, 1)->setPlainText(QStringLiteral("01 02"));

    QColor background;
    QColor groupBorder;
    QColor groupInside;
    ModalHandler modals;
    modals.answerNext([&](QWidget *widget) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (!dialog)
            return;
        background = pixel(dialog, 2, 2);
        if (QGroupBox *group = dialog->findChild<QGroupBox *>()) {
            groupBorder = pixel(group, 0, group->height() / 2);
            groupInside = pixel(group, group->width() - 3, group->height() - 3);
        }
        dialog->reject();
    });
    QAbstractButton *checksum =
            findButton(&window, QStringLiteral("校验"), QStringLiteral("发送区1属性"));
    QVERIFY(checksum);
    click(checksum);
    QVERIFY(modals.waitForCount(1));
    QCOMPARE(modals.last().className, QStringLiteral("ChecksumDialog"));
    QCOMPARE(background, QColor(colours.background));
    QCOMPARE(groupBorder, QColor(colours.border));
    QCOMPARE(groupInside, QColor(colours.background));
    QCOMPARE(sendArea(&window, 1)->toPlainText(), QStringLiteral("01 02"));
}

QUORVEL_TEST_MAIN(ThemesTest)
#include "tst_themes.moc"
