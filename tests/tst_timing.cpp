// The rules about time, with the program's clock stopped and moved on by
// hand: frame gap and size limit, counters that follow a stream, frames
// never cut by auto-clear, and a view that stays where the user put it.
#include "countershow.h"
#include "framesplitter.h"
#include "mainwindow.h"
#include "receivepath.h"
#include "testsupport.h"
#include "trafficview.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

using namespace testsupport;

class TimingTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    // A frame ends after the gap of silence, or at 4096 bytes in a flood.
    void gapAndLongestFrame()
    {
        QCheckBox stop, clear, hex, stamp, tag, paragraph, filter;
        QLineEdit keyword;
        ReceivePath path({ &stop, &clear, &hex, &stamp, &tag, &paragraph, &filter, &keyword },
                         nullptr);
        path.setGap(20);
        QSignalSpy starts(&path, &ReceivePath::frameStarted);
        QSignalSpy ends(&path, &ReceivePath::frameEnded);
        FrozenClock clock;
        path.takeRead(QByteArray(5000, 'x'));
        QCOMPARE(starts.count(), 2);
        path.takeRead(QByteArray(FrameSplitter::longestFrame - 904, 'x'));
        clock.advance(19);
        QCOMPARE(starts.count(), 2);
        QCOMPARE(ends.count(), 0);
        path.takeRead("y"); // the 4097th byte of the frame
        QCOMPARE(starts.count(), 3);
        clock.advance(19);
        path.takeRead("z");
        QCOMPARE(starts.count(), 3);
        clock.advance(20);
        QCOMPARE(ends.count(), 1);
        path.takeRead("w");
        QCOMPARE(starts.count(), 4);
    }

    // 32 bytes every 3 ms: the counters are repainted at least every 150 ms,
    // and are exact once the data stops.
    void countersFollowTheStream()
    {
        QVector<qint64> paints; // outlives the window, which paints as it goes
        Rig rig(20);
        QVERIFY(rig.open);
        auto *counters = rig.window.findChild<CounterShow *>();
        FrozenClock clock;
        paints.append(programClock().nowMs());
        connect(counters, &CounterShow::shown, this,
                [&] { paints.append(programClock().nowMs()); });
        const QByteArray chunk(32, 'c');
        for (int i = 0; i < 300; ++i) {
            QVERIFY(rig.take(chunk));
            clock.advance(3);
        }
        qint64 longest = 0;
        for (int i = 1; i < paints.size(); ++i)
            longest = qMax(longest, paints[i] - paints[i - 1]);
        QVERIFY2(longest <= 150, QByteArray::number(longest));
        clock.advance(TrafficView::intervalMs + CounterShow::intervalMs);
        QCOMPARE(rig.count("收字节数"), qint64(300 * chunk.size()));
    }

    // A frame whose first piece fills the pane goes on in the pane; the next
    // frame clears it and is shown whole, with its tag.
    void autoClearNeverCutsAFrame()
    {
        Rig rig(50);
        QVERIFY(rig.open);
        rig.window.show();
        rig.set("showSaveSendCheck", true);
        QPlainTextEdit *pane = receivePane(rig.w);
        FrozenClock clock;
        QVERIFY(rig.take(QByteArray(3000, 'A')));
        clock.advance(TrafficView::intervalMs);
        QTRY_VERIFY(pane->verticalScrollBar()->isVisible());
        QVERIFY(rig.take("CD"));
        clock.advance(TrafficView::intervalMs);
        QVERIFY(pane->toPlainText().startsWith(QStringLiteral("[接收] 41 41")));
        QVERIFY(pane->toPlainText().endsWith(QStringLiteral("41 43 44")));
        clock.advance(50);
        QVERIFY(rig.take("EF"));
        clock.advance(TrafficView::intervalMs);
        QCOMPARE(pane->toPlainText(), QStringLiteral("[接收] 45 46"));
    }

    void viewStaysWhereTheUserPutIt_data()
    {
        QTest::addColumn<bool>("paragraphs");
        QTest::newRow("continuous") << false;
        QTest::newRow("帧换行") << true;
    }
    // Scrolled up with a selection, the view and the selection stay through
    // a second of traffic; back at the end, the view follows again.
    void viewStaysWhereTheUserPutIt()
    {
        QFETCH(bool, paragraphs);
        Rig rig(10);
        QVERIFY(rig.open);
        rig.window.show();
        rig.set("autoClearCheck", false);
        rig.set("frameNewlineCheck", paragraphs);
        QPlainTextEdit *pane = receivePane(rig.w);
        QScrollBar *bar = pane->verticalScrollBar();
        FrozenClock clock;
        const auto traffic = [&](int ms) {
            for (int t = 0; t < ms; t += 50) {
                QVERIFY(rig.take(QByteArray(200, 'a')));
                clock.advance(50);
            }
        };
        traffic(1000);
        QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
        // As a click above the bar's handle does.
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        QTextCursor selection(pane->document());
        selection.setPosition(3);
        selection.setPosition(9, QTextCursor::KeepAnchor);
        pane->setTextCursor(selection);
        const int held = bar->value();
        traffic(1000);
        QCOMPARE(bar->value(), held);
        QCOMPARE(pane->textCursor().selectionStart(), 3);
        QCOMPARE(pane->textCursor().selectionEnd(), 9);
        // Back at the end, without a selection: the view follows.
        pane->moveCursor(QTextCursor::End);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        const int end = bar->maximum();
        traffic(500);
        QTRY_VERIFY(bar->maximum() > end);
        clock.advance(TrafficView::intervalMs);
        QVERIFY(rig.take("z"));
        clock.advance(TrafficView::intervalMs);
        QTRY_COMPARE(bar->value(), bar->maximum());
    }
};

QUORVEL_TEST_MAIN(TimingTest)
#include "tst_timing.moc"
