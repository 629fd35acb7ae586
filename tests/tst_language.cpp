// The English interface: no Chinese left anywhere the user looks, and the
// choice of language from the menu and the command line, kept for the next start.
#include "language.h"
#include "mainwindow.h"
#include "startup.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

bool hasChinese(const QString &text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

// Every text property of root and its children, combo box items and their
// tips included, that holds a Chinese character. The language menu names
// each language in its own words, on purpose.
QStringList chineseTexts(QObject *root)
{
    QObjectList objects{ root };
    for (QObject *child : root->findChildren<QObject *>())
        objects << child;
    QStringList found;
    for (QObject *object : qAsConst(objects)) {
        QObject *menu = object;
        while (menu && menu->objectName() != QLatin1String("languageMenu"))
            menu = menu->parent();
        if (menu)
            continue;
        QStringList texts;
        const QMetaObject *meta = object->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            if (meta->property(i).userType() == QMetaType::QString)
                texts << meta->property(i).read(object).toString();
        }
        if (auto *combo = qobject_cast<QComboBox *>(object)) {
            for (int item = 0; item < combo->count(); ++item)
                texts << combo->itemText(item) << combo->itemData(item, Qt::ToolTipRole).toString();
        }
        if (auto *bar = qobject_cast<QStatusBar *>(object))
            texts << bar->currentMessage();
        for (const QString &text : qAsConst(texts)) {
            if (hasChinese(text))
                found << object->metaObject()->className() + QStringLiteral(" ")
                                + object->objectName() + QStringLiteral(": ") + text;
        }
    }
    return found;
}

QString runProgram(const QStringList &arguments, const QString &configHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(QUORVEL_BINARY), arguments);
    if (!program.waitForFinished(20000))
        return QStringLiteral("(did not finish)");
    return QString::fromUtf8(program.readAll());
}

} // namespace

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void cleanup() { language::install(language::chinese); }
    void noChineseInEnglish();
    void menuChoiceIsKeptApart();
    void commandLineChoiceIsKept();
};

void LanguageTest::noChineseInEnglish()
{
    QVERIFY(language::install(language::english));
    Pty device;
    MainWindow window;
    window.installMenuBar();
    setUpMainWindow(window);
    QCOMPARE(window.windowTitle(), QStringLiteral("Quorvel -- Serial Port Debugging Tool"));
    window.selectPort(device.slavePath());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Traffic both ways with tags and time stamps, the find bar and a tip.
    for (const char *option : { "showSaveSendCheck", "showSaveTimeCheck" })
        click(byName<QAbstractButton>(&window, QLatin1String(option)));
    click(byName<QAbstractButton>(&window, QStringLiteral("openButton")));
    sendArea(&window, 1)->setPlainText(QStringLiteral("41 42"));
    click(byName<QAbstractButton>(&window, QStringLiteral("manualSendButton1")));
    QVERIFY(device.waitForBytes(2));
    QVERIFY(device.write("ok"));
    QTRY_COMPARE(byName<QLineEdit>(&window, QStringLiteral("recvBytesEdit"))->text(),
                 QStringLiteral("2"));
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(byName(&window, QStringLiteral("findEdit")), QStringLiteral("41"));
    QVERIFY(receivePane(&window)->toPlainText().contains(QStringLiteral("[TX] 41 42")));
    window.findChild<QAction *>(QStringLiteral("plotAction"))->trigger();
    QStringList found = chineseTexts(&window);

    // The boxes and dialogs the window opens, each walked while it is open.
    ModalHandler boxes;
    auto walk = [&found](QWidget *box) {
        found << chineseTexts(box);
        if (auto *dialog = qobject_cast<QDialog *>(box))
            dialog->reject();
    };
    for (int i = 0; i < 7; ++i)
        boxes.answerNext(walk);
    click(byName<QAbstractButton>(&window, QStringLiteral("startFileRotationButton")));
    click(byName<QAbstractButton>(&window, QStringLiteral("startAreaRotationButton")));
    click(byName<QAbstractButton>(&window, QStringLiteral("checksumButton1")));
    click(byName<QAbstractButton>(&window, QStringLiteral("saveDataButton")));
    click(byName<QAbstractButton>(&window, QStringLiteral("chooseSendFileButton")));
    QMenu *help = window.menuBar()->actions().last()->menu();
    for (QAction *about : help->actions())
        about->trigger();
    QCOMPARE(boxes.count(), 7);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

void LanguageTest::menuChoiceIsKeptApart()
{
    MainWindow window;
    window.installMenuBar();
    QAction *english = nullptr;
    for (QAction *action : window.findChild<QMenu *>(QStringLiteral("languageMenu"))->actions())
        english = action->text() == QLatin1String("English") ? action : english;
    QVERIFY(english && !english->isChecked());
    english->trigger();
    QCOMPARE(window.statusBar()->currentMessage(),
             QStringLiteral("The interface will use this language from the next start."));
    QVERIFY(window.close());
    QCOMPARE(language::stored(), language::english);
    // In a group of its own: the window's keys stay the 21 at the top.
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    QVERIFY(settings.childGroups().contains(QStringLiteral("ui")));
    QCOMPARE(settings.childKeys().size(), 21);

    MainWindow next;
    next.installMenuBar();
    for (QAction *action : next.findChild<QMenu *>(QStringLiteral("languageMenu"))->actions())
        QCOMPARE(action->isChecked(), action->text() == QLatin1String("English"));
}

// The command line's choice is kept like the menu's and speaks in the help.
void LanguageTest::commandLineChoiceIsKept()
{
    QTemporaryDir config;
    QVERIFY(!hasChinese(runProgram({ QStringLiteral("--help") }, config.path())));
    QVERIFY(hasChinese(
            runProgram({ QStringLiteral("--lang"), QStringLiteral("zh"), QStringLiteral("--help") },
                       config.path())));
    QVERIFY(runProgram({ QStringLiteral("--lang"), QStringLiteral("fr") }, config.path())
                    .contains(QStringLiteral("'fr' is not a language")));

    // A window started with --lang zh keeps the choice; the next help speaks it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess window;
    window.setProcessEnvironment(environment);
    window.start(QStringLiteral(QUORVEL_BINARY),
                 { QStringLiteral("--lang"), QStringLiteral("zh") });
    const QString store = config.filePath(QStringLiteral("Quorvel/Quorvel.conf"));
    QTRY_VERIFY_WITH_TIMEOUT(
            QSettings(store, QSettings::IniFormat).value(QStringLiteral("ui/language")) == "zh",
            10000);
    window.kill();
    window.waitForFinished();
    const QString help = runProgram({ QStringLiteral("--help") }, config.path());
    QVERIFY2(help.contains(QStringLiteral("启动时打开所选串口")), qPrintable(help));
    QVERIFY(!hasChinese(
            runProgram({ QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--help") },
                       config.path())));
}

QUORVEL_TEST_MAIN(LanguageTest)
#include "tst_language.moc"
