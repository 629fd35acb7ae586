// Settings: what closing the window writes to the real settings store and
// what the next window takes back from it.
#include "mainwindow.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSpinBox>

using namespace testsupport;

namespace {

struct FlagKey
{
    const char *key;
    const char *caption;
    const char *group;
    bool byDefault;
};

// The 17 stored check states, in the order they are written.
const FlagKey flagKeys[] = {
    { "hex1", "16进制", "发送区1属性", true },
    { "hex2", "16进制", "发送区2属性", true },
    { "hex3", "16进制", "发送区3属性", true },
    { "hexRecv", "16进制", "接收区设置", true },
    { "autoClear", "自动清", "接收区设置", true },
    { "showSaveSend", "显示保存发送", "显示选项", false },
    { "showSaveTime", "显示保存时间", "显示选项", false },
    { "frameNewline", "帧换行", "显示选项", false },
    { "keywordFilter", "关键字过滤接收", "显示选项", false },
    { "stopDisplay", "停止显示", "接收区设置", false },
    { "autoSend1", "自动发", "发送区1属性", false },
    { "autoSend2", "自动发", "发送区2属性", false },
    { "autoSend3", "自动发", "发送区3属性", false },
    { "joinRotation1", "参加轮发", "发送区1属性", false },
    { "joinRotation2", "参加轮发", "发送区2属性", false },
    { "joinRotation3", "参加轮发", "发送区3属性", false },
    { "sendOnce", "只轮发一遍", "轮发参数", false },
};

QStringList allKeys()
{
    QStringList keys = { QStringLiteral("send1"), QStringLiteral("send2"), QStringLiteral("send3"),
                         QStringLiteral("themeIndex") };
    for (const FlagKey &flag : flagKeys)
        keys << QLatin1String(flag.key);
    keys.sort();
    return keys;
}

const FlagKey *flagKey(const QString &key)
{
    for (const FlagKey &flag : flagKeys) {
        if (key == QLatin1String(flag.key))
            return &flag;
    }
    return nullptr;
}

QAbstractButton *flagWidget(QWidget *window, const FlagKey &flag)
{
    const QString group = QString::fromUtf8(flag.group);
    QAbstractButton *button = findButton(window, QString::fromUtf8(flag.caption), group);
    // The stop-display button is captioned after its state.
    if (!button && QLatin1String(flag.key) == QLatin1String("stopDisplay"))
        button = findButton(window, QStringLiteral("继续显示"), group);
    return button;
}

// Which of the three themes the application sheet shows.
QString themeShown()
{
    const QString sheet = qApp->styleSheet();
    if (sheet.contains(QStringLiteral("#07A5CA")))
        return QStringLiteral("blue");
    if (sheet.contains(QStringLiteral("#4ABDBD")))
        return QStringLiteral("teal");
    if (sheet.contains(QStringLiteral("#e8e4d9")))
        return QStringLiteral("beige");
    return QStringLiteral("none");
}

// What the window shows for a stored key.
QVariant shownFor(QWidget *window, const QString &key)
{
    if (key.startsWith(QStringLiteral("send")) && key.size() == 5)
        return sendArea(window, key.right(1).toInt())->toPlainText();
    if (key == QStringLiteral("themeIndex"))
        return themeShown();
    const FlagKey *flag = flagKey(key);
    QAbstractButton *button = flag ? flagWidget(window, *flag) : nullptr;
    return button ? QVariant(button->isChecked()) : QVariant();
}

QString storeFile()
{
    return QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).fileName();
}

// Writes the store file as text, as a hand edit or an earlier run leaves it.
void writeStore(const QByteArray &text)
{
    const QString path = storeFile();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(text) == text.size());
}

// What the next run finds: the file as written, read by a settings object
// that has not seen these values in memory.
void restart()
{
    QFile file(storeFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    useFreshSettings();
    writeStore(text);
}

// key=value lines of the store file as written, values unparsed.
QMap<QString, QString> storedLines()
{
    QMap<QString, QString> lines;
    QFile file(storeFile());
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QStringList all = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : all) {
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            lines.insert(line.left(equals), line.mid(equals + 1));
    }
    return lines;
}

// The widget after the label in the label's row.
template<typename T>
T *besideLabel(QWidget *root, const QString &labelText, const QString &groupTitle)
{
    QGroupBox *group = findGroup(root, groupTitle);
    if (!group)
        return nullptr;
    const auto labels = group->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text() != labelText)
            continue;
        const auto layouts = group->findChildren<QBoxLayout *>();
        for (QBoxLayout *row : layouts) {
            const int index = row->indexOf(label);
            if (index >= 0 && index + 1 < row->count())
                return qobject_cast<T *>(row->itemAt(index + 1)->widget());
        }
    }
    return nullptr;
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void firstStartDefaults();
    void everyKeyWrittenOnCloseAndRestored_data();
    void everyKeyWrittenOnCloseAndRestored();
    void sendTextsSurviveARestart_data();
    void sendTextsSurviveARestart();
    void storedStopDisplay();
    void storedAutoSendSendsOncePortOpens();
    void unsavedValuesBackAtDefaults();
    void storedValuesOfTheWrongType_data();
    void storedValuesOfTheWrongType();
};

void SettingsTest::firstStartDefaults()
{
    {
        MainWindow window;
        for (int area = 1; area <= 3; ++area)
            QCOMPARE(sendArea(&window, area)->toPlainText(), QString());
        for (const FlagKey &flag : flagKeys) {
            QAbstractButton *button = flagWidget(&window, flag);
            QVERIFY2(button, flag.key);
            QVERIFY2(button->isChecked() == flag.byDefault, flag.key);
        }
        QCOMPARE(flagWidget(&window, *flagKey(QStringLiteral("stopDisplay")))->text(),
                 QStringLiteral("停止显示"));
        QCOMPARE(themeShown(), QStringLiteral("blue"));
    }
    // A window that is not closed writes nothing.
    QCOMPARE(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).allKeys(),
             QStringList());
}

void SettingsTest::everyKeyWrittenOnCloseAndRestored_data()
{
    // One row per key, only that key's widget changed from its default, so
    // a value written under another key's name shows up.
    QTest::addColumn<QString>("changed");
    for (const FlagKey &flag : flagKeys)
        QTest::newRow(flag.key) << QString::fromLatin1(flag.key);
    QTest::newRow("themeIndex") << QStringLiteral("themeIndex");
}

void SettingsTest::everyKeyWrittenOnCloseAndRestored()
{
    QFETCH(QString, changed);
    const QStringList texts = { QStringLiteral("01 02\n03 04"), QStringLiteral("第二\n区"),
                                QStringLiteral("three\n\nlines\n") };
    {
        MainWindow window;
        for (int area = 1; area <= 3; ++area)
            sendArea(&window, area)->setPlainText(texts[area - 1]);
        if (changed == QStringLiteral("themeIndex")) {
            click(findButton(&window, QStringLiteral("切换主题")));
            QCOMPARE(themeShown(), QStringLiteral("teal"));
        } else {
            QAbstractButton *button = flagWidget(&window, *flagKey(changed));
            button->setChecked(!button->isChecked());
        }
        // Nothing reaches the store before the window closes.
        QCOMPARE(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).allKeys(),
                 QStringList());
        QVERIFY(window.close());
    }

    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    QStringList keys = settings.allKeys();
    keys.sort();
    QCOMPARE(keys, allKeys());

    // Flags go out as bools, the theme as an integer.
    const QMap<QString, QString> lines = storedLines();
    for (const FlagKey &flag : flagKeys) {
        const bool expected = flag.byDefault != (changed == QLatin1String(flag.key));
        QCOMPARE(lines.value(QLatin1String(flag.key)),
                 expected ? QStringLiteral("true") : QStringLiteral("false"));
    }
    QCOMPARE(lines.value(QStringLiteral("themeIndex")),
             changed == QStringLiteral("themeIndex") ? QStringLiteral("1") : QStringLiteral("0"));
    for (int area = 1; area <= 3; ++area)
        QCOMPARE(settings.value(QStringLiteral("send%1").arg(area)).toString(), texts[area - 1]);

    MainWindow next;
    for (const FlagKey &flag : flagKeys) {
        const bool expected = flag.byDefault != (changed == QLatin1String(flag.key));
        QVERIFY2(flagWidget(&next, flag)->isChecked() == expected, flag.key);
    }
    for (int area = 1; area <= 3; ++area)
        QCOMPARE(sendArea(&next, area)->toPlainText(), texts[area - 1]);
    QCOMPARE(themeShown(),
             changed == QStringLiteral("themeIndex") ? QStringLiteral("teal")
                                                     : QStringLiteral("blue"));
}

void SettingsTest::sendTextsSurviveARestart_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("line breaks") << QStringLiteral("01 03 00 00\n00 01 84 0A");
    QTest::newRow("empty and trailing lines") << QStringLiteral("AA\n\n\nBB\n\n");
    QTest::newRow("blanks and tabs") << QStringLiteral("  x \t y  ");
    QTest::newRow("store syntax") << QStringLiteral("中文 = b; c, d \"q\" \\ #e [General]");
}

void SettingsTest::sendTextsSurviveARestart()
{
    QFETCH(QString, text);
    {
        MainWindow window;
        for (int area = 1; area <= 3; ++area)
            sendArea(&window, area)->setPlainText(QString::number(area) + text);
        window.close();
    }
    restart();
    MainWindow next;
    for (int area = 1; area <= 3; ++area)
        QCOMPARE(sendArea(&next, area)->toPlainText(), QString::number(area) + text);
}

void SettingsTest::storedStopDisplay()
{
    writeStore("[General]\nstopDisplay=true\n");
    MainWindow window;
    QAbstractButton *button =
            findButton(&window, QStringLiteral("继续显示"), QStringLiteral("接收区设置"));
    QVERIFY(button);
    QVERIFY(button->isCheckable());
    QVERIFY(button->isChecked());

    click(button);
    QCOMPARE(button->text(), QStringLiteral("停止显示"));
    QVERIFY(!button->isChecked());
}

void SettingsTest::storedAutoSendSendsOncePortOpens()
{
    writeStore("[General]\nautoSend2=true\nsend1=11\nsend2=A5 5A\nsend3=33\n");

    Pty pty;
    QVERIFY(pty.isValid());
    MainWindow window;
    QVERIFY(findCheck(&window, QStringLiteral("自动发"), QStringLiteral("发送区2属性"))
                    ->isChecked());
    QCOMPARE(spinOfRow(&window, QStringLiteral("发送周期"), QStringLiteral("发送区2属性"))->value(),
             1000);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(openPort(&window, pty.slavePath()));
    QVector<qint64> arrivals;
    for (int frame = 1; frame <= 3; ++frame) {
        QVERIFY2(pty.waitForBytes(2 * frame, 4000), qPrintable(QString::number(frame)));
        arrivals << clock.elapsed();
    }
    // The timer runs from start-up, so the first frame needs no full period
    // after the opening; then one frame per period, with room for a loaded
    // machine.
    QVERIFY2(arrivals[0] < 2000, qPrintable(QString::number(arrivals[0])));
    for (int i = 1; i < arrivals.size(); ++i) {
        const qint64 gap = arrivals[i] - arrivals[i - 1];
        QVERIFY2(gap >= 700 && gap <= 1800, qPrintable(QString::number(gap)));
    }
    QCOMPARE(pty.take(), QByteArray("\xA5\x5A\xA5\x5A\xA5\x5A"));
}

void SettingsTest::unsavedValuesBackAtDefaults()
{
    {
        MainWindow window;
        comboOfRow(&window, QStringLiteral("波特率"))->setCurrentText(QStringLiteral("115200"));
        comboOfRow(&window, QStringLiteral("数据位"))->setCurrentText(QStringLiteral("7"));
        comboOfRow(&window, QStringLiteral("校验位"))->setCurrentIndex(2);
        comboOfRow(&window, QStringLiteral("停止位"))->setCurrentIndex(1);
        for (int area = 1; area <= 3; ++area)
            spinOfRow(&window, QStringLiteral("发送周期"), QStringLiteral("发送区%1属性").arg(area))
                    ->setValue(200 + area);
        spinOfRow(&window, QStringLiteral("周期"), QStringLiteral("轮发参数"))->setValue(4321);
        spinOfRow(&window, QStringLiteral("超时时间"), QStringLiteral("轮发参数"))->setValue(9);
        spinOfRow(&window, QStringLiteral("重发次数"), QStringLiteral("轮发参数"))->setValue(4);
        click(findButton(&window, QStringLiteral("定时"), QStringLiteral("轮发参数")));
        besideLabel<QLineEdit>(&window, QStringLiteral("关键字"), QStringLiteral("显示选项"))
                ->setText(QStringLiteral("abc"));
        findGroup(&window, QStringLiteral("接收区设置"))
                ->findChild<QLineEdit *>()
                ->setText(QStringLiteral("other.txt"));
        window.close();
    }
    QStringList keys = QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).allKeys();
    keys.sort();
    QCOMPARE(keys, allKeys());

    MainWindow next;
    QCOMPARE(comboOfRow(&next, QStringLiteral("波特率"))->currentText(), QStringLiteral("1200"));
    QCOMPARE(comboOfRow(&next, QStringLiteral("数据位"))->currentText(), QStringLiteral("8"));
    QCOMPARE(comboOfRow(&next, QStringLiteral("校验位"))->currentIndex(), 0);
    QCOMPARE(comboOfRow(&next, QStringLiteral("停止位"))->currentIndex(), 0);
    for (int area = 1; area <= 3; ++area) {
        QCOMPARE(spinOfRow(&next, QStringLiteral("发送周期"),
                           QStringLiteral("发送区%1属性").arg(area))
                         ->value(),
                 1000);
    }
    QCOMPARE(spinOfRow(&next, QStringLiteral("周期"), QStringLiteral("轮发参数"))->value(), 1000);
    QCOMPARE(spinOfRow(&next, QStringLiteral("超时时间"), QStringLiteral("轮发参数"))->value(), 5);
    QCOMPARE(spinOfRow(&next, QStringLiteral("重发次数"), QStringLiteral("轮发参数"))->value(), 1);
    QVERIFY(findButton(&next, QStringLiteral("收到回答后发下一帧"))->isChecked());
    QVERIFY(!findButton(&next, QStringLiteral("定时"))->isChecked());
    QCOMPARE(besideLabel<QLineEdit>(&next, QStringLiteral("关键字"), QStringLiteral("显示选项"))
                     ->text(),
             QString());
    QCOMPARE(findGroup(&next, QStringLiteral("接收区设置"))->findChild<QLineEdit *>()->text(),
             QStringLiteral("data.txt"));
}

void SettingsTest::storedValuesOfTheWrongType_data()
{
    // Store lines as another program or a hand edit could leave them; the
    // window takes what the variant conversion of the stored value gives.
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("shown");
    QTest::newRow("hex1 no") << "hex1" << QByteArray("hex1=no") << "true";
    QTest::newRow("hex1 invalid") << "hex1" << QByteArray("hex1=@Invalid()") << "false";
    QTest::newRow("hex3 empty") << "hex3" << QByteArray("hex3=") << "false";
    QTest::newRow("autoClear FALSE") << "autoClear" << QByteArray("autoClear=FALSE") << "false";
    QTest::newRow("showSaveSend yes") << "showSaveSend" << QByteArray("showSaveSend=yes") << "true";
    QTest::newRow("sendOnce off") << "sendOnce" << QByteArray("sendOnce=off") << "true";
    QTest::newRow("autoSend3 0.5") << "autoSend3" << QByteArray("autoSend3=0.5") << "true";
    QTest::newRow("themeIndex abc") << "themeIndex" << QByteArray("themeIndex=abc") << "blue";
    QTest::newRow("themeIndex true") << "themeIndex" << QByteArray("themeIndex=true") << "blue";
    QTest::newRow("themeIndex 1") << "themeIndex" << QByteArray("themeIndex=1") << "teal";
    QTest::newRow("send1 number") << "send1" << QByteArray("send1=42") << "42";
    QTest::newRow("send2 list") << "send2" << QByteArray("send2=a, b") << "";
}

void SettingsTest::storedValuesOfTheWrongType()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);
    writeStore("[General]\n" + line + "\n");
    MainWindow window;
    QCOMPARE(shownFor(&window, key).toString(), shown);
    // Every other key keeps its default.
    for (const FlagKey &flag : flagKeys) {
        if (key != QLatin1String(flag.key))
            QVERIFY2(flagWidget(&window, flag)->isChecked() == flag.byDefault, flag.key);
    }
}

QUORVEL_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
