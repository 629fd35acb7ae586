// The plot: reading numbers from lines, the kept samples and their export,
// and the plot window driven through the real window and a pseudo-terminal.
#include "mainwindow.h"
#include "plotfeed.h"
#include "plotview.h"
#include "testsupport.h"

#include <QAction>
#include <QBuffer>
#include <QDockWidget>
#include <QSettings>
#include <QWheelEvent>

using namespace testsupport;

namespace {

QString shown(const PlotLine &line)
{
    QStringList values;
    for (const PlotValue &value : line.values)
        values << value.channel + '=' + QString::fromUtf8(value.text);
    return values.join(' ') + (line.overflow ? "+" : "");
}

QByteArray csv(const PlotStore &store)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return store.writeCsv(&buffer) ? buffer.data() : "failed";
}

} // namespace

class PlotTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }
    void parse_data();
    void parse();
    void lines();
    void store();
    void window();
    void view();
};

void PlotTest::parse_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("values"); // "+": more channels than kept
    QTest::newRow("by position") << QByteArray("0,-2,1") << "CH1=0 CH2=-2 CH3=1";
    QTest::newRow("every separator") << QByteArray(" 1\t2;3 ,4") << "CH1=1 CH2=2 CH3=3 CH4=4";
    QTest::newRow("named") << QByteArray("temp:21.5 hum=40") << "temp=21.5 hum=40";
    QTest::newRow("name, then its number") << QByteArray("temp: 21.5") << "temp=21.5";
    QTest::newRow("forms as received")
            << QByteArray("+.5 1e3 -2.50E-2 7.") << "CH1=+.5 CH2=1e3 CH3=-2.50E-2 CH4=7.";
    QTest::newRow("no number") << QByteArray("ready.") << "";
    QTest::newRow("not numbers") << QByteArray("1.2.3 5x 0x10 inf nan 1e . - 4") << "CH1=4";
    QTest::newRow("time stamp") << QByteArray("12:30:45 7") << "CH1=7";
    QTest::newRow("unnamed") << QByteArray("=5 :6 a:\x01:7") << "";
    QTest::newRow("a channel once") << QByteArray("a:1 a:2 CH1=3 4") << "a=1 CH1=3";
    QTest::newRow("too large") << QByteArray("1e999,2") << "CH2=2";
    QTest::newRow("UTF-8 name") << QByteArray("温度=3") << "温度=3";
    QByteArray many;
    for (int i = 1; i <= 17; ++i)
        many += QByteArray::number(i) + ',';
    QString first16 = "CH1=1";
    for (int i = 2; i <= 16; ++i)
        first16 += QString(" CH%1=%1").arg(i);
    QTest::newRow("17 numbers") << many << first16 + '+';
}

void PlotTest::parse()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, values);
    QCOMPARE(shown(parsePlotLine(line)), values);
}

// Lines come out the same however the bytes are cut; too long ones are dropped.
void PlotTest::lines()
{
    const QByteArray stream = "1,2\r\n\n" + QByteArray(30, 'x') + "\n3\r" + "\n4\r5\n";
    const QList<QByteArray> expected = { "1,2", "", "3", "4\r5" };
    for (int cut = 0; cut <= stream.size(); ++cut) {
        QList<QByteArray> got;
        LineAssembler lines(16);
        const auto take = [&](const QByteArray &line) {
            got << QByteArray(line.data(), line.size());
        };
        lines.add(stream.left(cut), take);
        lines.add(stream.mid(cut), take);
        QCOMPARE(got, expected);
    }
    QList<QByteArray> got;
    LineAssembler lines;
    lines.restart(true); // bytes before the first line end started unseen
    lines.add("9\n8\n",
              [&](const QByteArray &line) { got << QByteArray(line.data(), line.size()); });
    QCOMPARE(got, QList<QByteArray>{ "8" });
}

void PlotTest::store()
{
    PlotStore store(3);
    QVector<PlotPoint> points;
    QVERIFY(!store.add(100, parsePlotLine("none"), &points));
    for (const auto &[ms, line] : { std::make_pair(100, "a:1 b:2"), std::make_pair(130, "b:3"),
                                    std::make_pair(120, "c:4.0"), std::make_pair(200, "a:5") })
        QVERIFY(store.add(ms, parsePlotLine(line), &points));
    // The oldest is dropped; time never goes back; empty cells stand for no number.
    QCOMPARE(csv(store), QByteArray("time_ms,a,b,c\n30,,3,\n30,,,4.0\n100,5,,\n"));
    QCOMPARE(points.size(), 5);
    QCOMPARE(points.last().channel, 0);
    QCOMPARE(points.last().seconds, 0.1);
    QCOMPARE(store.oldestMs(), 30);

    store.clear();
    QVERIFY(store.add(5000, parsePlotLine("x\"y:1"), &points));
    QCOMPARE(csv(store), QByteArray("time_ms,\"x\"\"y\"\n0,1\n"));
    QVERIFY(!store.channelsLeftOut());
    QByteArray fields;
    for (int i = 1; i <= 16; ++i)
        fields += QByteArray("n") + QByteArray::number(i) + ":1 ";
    QVERIFY(store.add(5000, parsePlotLine(fields), &points)); // room for 15 of them
    QVERIFY(store.channelsLeftOut());
    QCOMPARE(store.channels().size(), 16);
}

// End to end: a real port, lines cut anywhere, the window's own actions.
void PlotTest::window()
{
    Rig r;
    QVERIFY(r.open);
    r.window.installMenuBar();
    auto *plotAction = r.window.findChild<QAction *>("plotAction");
    auto *feed = r.window.findChild<PlotFeed *>();
    FrozenClock clock;
    const qint64 start = programClock().nowMs();
    plotAction->trigger();
    QVERIFY(byName<QDockWidget>(r.w, "plotDock")->isFloating());

    QByteArray stream;
    for (int i = 0; i < 200; ++i) {
        stream += QByteArray::number(i) + ',' + QByteArray::number(2 * i) + ','
                + QByteArray::number(-i) + "\r\n";
        if (i == 100)
            stream += "no numbers here\r\n";
    }
    // A line's time is the clock at the read that brings its end.
    QByteArray expected = "time_ms,CH1,CH2,CH3\n";
    const int piece = 13;
    int lines = 0;
    for (int from = 0; from < stream.size(); from += piece, clock.advance(5)) {
        QVERIFY(r.pty.write(stream.mid(from, piece)));
        const QList<QByteArray> ended = stream.left(from + piece).split('\n');
        for (; lines < ended.size() - 1; ++lines) {
            if (ended[lines].startsWith("no"))
                continue;
            expected += QByteArray::number(programClock().nowMs() - start) + ','
                    + ended[lines].chopped(1) + '\n';
        }
        QTRY_COMPARE(feed->store().size(), lines - (lines > 101 ? 1 : 0));
    }
    const QString path = r.dir.filePath("plot.csv");
    const auto exported = [&] {
        r.boxes.chooseFile(path);
        r.window.findChild<QAction *>("plotExportCsvAction")->trigger();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    };
    QCOMPARE(exported(), expected);

    r.window.findChild<QAction *>("plotClearAction")->trigger();
    const auto receive = [&](const QByteArray &bytes) { return r.take(bytes); };
    QVERIFY(receive("temp:21.5 hum=40\r\n"));
    // Closed, the plot takes nothing; reopened, it leaves out the line it met halfway.
    plotAction->trigger();
    QVERIFY(receive("5,6\r\n7"));
    plotAction->trigger();
    QVERIFY(receive("8\r\ntemp:1 hum=2\r\n"));
    QCOMPARE(exported(), QByteArray("time_ms,temp,hum\n0,21.5,40\n0,1,2\n"));
}

void PlotTest::view()
{
    Rig r;
    QVERIFY(r.open);
    r.window.installMenuBar();
    r.window.findChild<QAction *>("plotAction")->trigger();
    auto *view = byName<PlotView>(r.w, "plotView");
    auto *canvas = byName(r.w, "plotCanvas");
    QVERIFY(QTest::qWaitForWindowExposed(canvas));
    QVERIFY(r.feed("1,2\n"));
    QTRY_COMPARE(view->channelCount(), 2);

    // A click on a channel in the legend hides it, and it stays hidden next time.
    click(byName<QAbstractButton>(r.w, "plotLegendEntry1"));
    QVERIFY(view->isChannelHidden(0) && !view->isChannelHidden(1));

    // The wheel holds the view; follow brings it back to the newest samples.
    const QPoint inside = canvas->rect().center();
    QWheelEvent wheel(inside, canvas->mapToGlobal(inside), {}, { 0, 120 }, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    auto *follow = r.window.findChild<QAction *>("plotFollowAction");
    QVERIFY(!follow->isChecked());
    const auto held = view->timeRange();
    QVERIFY(held.second < 10);
    byName<QSpinBox>(r.w, "plotWindowSpin")->setValue(3);
    QCOMPARE(view->timeRange(), held);
    follow->trigger();
    QCOMPARE(view->timeRange(), qMakePair(0.0, 3.0));

    r.window.close();
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    QCOMPARE(settings.value("plot/hiddenChannels").toStringList(), QStringList{ "CH1" });
    QCOMPARE(settings.value("plot/timeWindow").toInt(), 3);
}

QUORVEL_TEST_MAIN(PlotTest)
#include "tst_plot.moc"
