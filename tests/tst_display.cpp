// The receive pane under a stream of many chunks: what it holds once the
// display has caught up, auto-clear, capture and answer-driven file rotation.
// Chunks are written as the device one at a time, each read by the window
// before the next is written, so many of them share one display update.
#include "countershow.h"
#include "framesplitter.h"
#include "linefloor.h"
#include "mainwindow.h"
#include "receivepath.h"
#include "testsupport.h"
#include "trafficview.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>

using namespace testsupport;

namespace {

const int longestRun = 4096; // continuous display may start a paragraph beyond this

QList<QByteArray> randomChunks(int count, int largest, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<QByteArray> chunks;
    for (int i = 0; i < count; ++i)
        chunks.append(randomBytes(random.bounded(1, largest + 1), random.generate()));
    return chunks;
}

// Pixels of the pane's text area that are not white, as on the screen.
int inkedPixels(QPlainTextEdit *pane)
{
    QWidget *view = pane->viewport();
    const QPoint origin = view->mapTo(view->window(), QPoint(0, 0));
    const QImage shot = view->screen()
                                ->grabWindow(view->window()->winId(), origin.x(), origin.y(),
                                             view->width(), view->height())
                                .toImage();
    int inked = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            inked += shot.pixelColor(x, y) != Qt::white;
    }
    return inked;
}

QString hexOf(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Lines the pane's layout gives the text, inserted as the display inserts.
int laidOutLines(QPlainTextEdit *pane, const QString &text)
{
    pane->clear();
    QTextCursor(pane->document()).insertText(text);
    int lines = 0;
    QAbstractTextDocumentLayout *layout = pane->document()->documentLayout();
    for (QTextBlock block = pane->document()->firstBlock(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block);
        lines += block.layout()->lineCount();
    }
    return lines;
}

void addFrame(TrafficView *view, const QString &text)
{
    view->allowAutoClear();
    view->addPiece(TrafficPiece::FrameStart, text, false);
    view->addPiece(TrafficPiece::FrameEnd, QString(), false);
}

} // namespace

class DisplayTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { useFreshSettings(); }

    void streamShowsEveryChunk_data()
    {
        QTest::addColumn<bool>("frames");
        QTest::newRow("continuous") << false;
        QTest::newRow("帧换行, tags, a send in the middle") << true;
    }
    // A long random stream in many chunks: exactly the hex of every chunk, in order.
    void streamShowsEveryChunk()
    {
        QFETCH(bool, frames);
        Rig rig;
        QVERIFY(rig.open);
        rig.window.show();
        rig.set("autoClearCheck", false);
        rig.set("frameNewlineCheck", frames);
        rig.set("showSaveSendCheck", frames);
        const QList<QByteArray> chunks = randomChunks(frames ? 150 : 400, 300, 10);
        QStringList lines;
        for (int i = 0; i < chunks.size(); ++i) {
            QVERIFY(rig.feed(chunks[i]));
            lines << (frames ? QStringLiteral("[接收] ") : QString()) + hexOf(chunks[i]);
            if (frames && i == chunks.size() / 2) {
                QVERIFY(sendFromArea1(rig.w, "7E 00", true));
                lines << QStringLiteral("[发送] 7E 00");
            }
        }
        QTRY_COMPARE(rig.count("收帧数"), qint64(chunks.size()));
        QCOMPARE(rig.count("发帧数"), qint64(frames ? 1 : 0));
        const QString shown = receiveText(rig.w);
        if (frames) {
            QCOMPARE(shown, lines.join(QStringLiteral("\n\n")) + QLatin1Char('\n'));
            return;
        }
        const QString expected = lines.join(QLatin1Char(' '));
        QCOMPARE(QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' ')), expected);
        // Paragraphs start only at chunk boundaries, and only where the run
        // would otherwise have grown beyond the longest run.
        int paragraphs = 0;
        int line = 0;
        int run = 0;
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                const QChar separator = shown.at(line - 1);
                if (separator == QLatin1Char('\n')) {
                    ++paragraphs;
                    QVERIFY2(run + 1 + lines[i].size() > longestRun,
                             qPrintable(QString::number(i)));
                    run = 0;
                } else {
                    QCOMPARE(separator, QLatin1Char(' '));
                    run += 1;
                }
            }
            QCOMPARE(shown.mid(line, lines[i].size()), lines[i]);
            line += lines[i].size() + 1;
            run += lines[i].size();
        }
        QVERIFY(paragraphs > 10); // the run was broken, so no paragraph keeps growing
    }

    // The pane is cleared only when it is full, and then shows what followed.
    void autoClearOnlyWhenFull()
    {
        Rig rig;
        QVERIFY(rig.open);
        rig.window.show();
        rig.set("hexRecvCheck", false);
        QPlainTextEdit *pane = receivePane(rig.w);
        QScrollBar *bar = pane->verticalScrollBar();
        int clears = 0;
        int clearsWhileNotFull = 0;
        int lastLength = 0;
        connect(pane, &QPlainTextEdit::textChanged, this, [&] {
            const int length = pane->document()->characterCount();
            if (length < lastLength) {
                ++clears;
                // The bar is shown and hidden after the change, so it still
                // tells whether the pane had to scroll before it.
                if (!bar->isVisible())
                    ++clearsWhileNotFull;
            }
            lastLength = length;
        });

        QString stream;
        for (int i = 0; i < 60; ++i) {
            const QByteArray chunk = QByteArray("row ") + QByteArray::number(i) + "\nmore\n";
            QVERIFY(rig.feed(chunk));
            stream += (stream.isEmpty() ? QString() : QStringLiteral(" "))
                    + QString::fromLatin1(chunk);
            if (i % 10 == 9) // now and then the display catches up, and the bar may show
                QTRY_COMPARE(rig.count("收帧数"), qint64(i + 1));
        }
        QTRY_COMPARE(rig.count("收帧数"), qint64(60));
        QVERIFY(clears > 0);
        QCOMPARE(clearsWhileNotFull, 0);
        // Whatever is left starts at a chunk and runs on to the last one.
        const QString shown = receiveText(rig.w);
        QVERIFY(shown.startsWith(QStringLiteral("row ")));
        QVERIFY(stream.endsWith(shown));

        // A pane that never fills is never cleared.
        click(findButton(rig.w, "清空接收区"));
        clears = 0;
        lastLength = 0;
        for (int i = 0; i < 20; ++i)
            QVERIFY(rig.feed("ab"));
        QTRY_COMPARE(rig.count("收帧数"), qint64(80));
        QCOMPARE(clears, 0);
        QCOMPARE(receiveText(rig.w), QStringLiteral("ab ").repeated(20).chopped(1));

        // Switched off, a full pane is left alone, though it was cleared before.
        rig.set("autoClearCheck", false);
        QVERIFY(rig.feed(QByteArray("row\n").repeated(120)));
        QTRY_VERIFY(bar->isVisible());
        QVERIFY(rig.feed("last"));
        QTRY_COMPARE(rig.count("收帧数"), qint64(82));
        QCOMPARE(clears, 0);
    }

    // The floor under a text's lines, by which a flush leaves out what it
    // clears away again, is never above the lines the pane lays out (a
    // higher one would drop text the pane has to show), and near them for
    // hexadecimal text.
    void lineFloorStaysUnderTheLayout()
    {
        QPlainTextEdit pane;
        pane.resize(300, 200);
        pane.show();
        QRandomGenerator random(7);
        const QString texts[] = {
            hexOf(randomBytes(3000, 1)),
            QStringLiteral("ab      cd\t\t\tef   ").repeated(200),
            QStringLiteral("line\r\nline\r\rx\n\n").repeated(50),
            QStringLiteral("中文和 ASCII mixed 文字 ").repeated(100),
            QString(2000, QLatin1Char('W')) + QStringLiteral(" i").repeated(900),
        };
        LineFloor floor;
        for (const QString &text : texts) {
            floor.setPane(&pane);
            // Added in pieces, as flushes add them.
            for (int at = 0; at < text.size();) {
                const int size = random.bounded(1, 400);
                floor.add(text.mid(at, size));
                at += size;
            }
            QVERIFY2(floor.atLeast() <= laidOutLines(&pane, text), qPrintable(text.left(40)));
        }
        floor.setPane(&pane);
        floor.add(texts[0]);
        QVERIFY(floor.atLeast() * 10 >= laidOutLines(&pane, texts[0]) * 6);
    }

    // Within one flush, what a later frame certainly clears away is not put
    // into the pane, as long as the pane stays overflowing; the capture sees
    // every frame all the same.
    void flushLeavesOutWhatItClearsAway()
    {
        QWidget window;
        auto *pane = new QPlainTextEdit(&window);
        pane->resize(300, 200);
        window.show();
        TrafficView view(pane, &window);
        QVector<TrafficPiece> captured;
        connect(&view, &TrafficView::flushed, this,
                [&](const QVector<TrafficPiece> &pieces) { captured += pieces; });
        const QString page = QStringLiteral("x\n").repeated(60); // three panes and more

        addFrame(&view, QStringLiteral("first"));
        addFrame(&view, QStringLiteral("second"));
        view.flush();
        QCOMPARE(pane->toPlainText(), QStringLiteral("first second"));

        addFrame(&view, QLatin1Char('a') + page);
        addFrame(&view, QLatin1Char('b') + page);
        addFrame(&view, QStringLiteral("tail"));
        view.flush();
        // "a…" overflowed the pane before "b…", which does before "tail"; the
        // pane keeps "b…" too, so that it stays full.
        QCOMPARE(pane->toPlainText(), QLatin1Char('b') + page + QStringLiteral(" tail"));
        QTRY_VERIFY(pane->verticalScrollBar()->isVisible());
        QCOMPARE(captured.size(), 10);

        // Unchecked, nothing is cleared.
        view.addPiece(TrafficPiece::FrameStart, QLatin1Char('c') + page, false);
        view.addPiece(TrafficPiece::FrameStart, QStringLiteral("end"), false);
        view.flush();
        QVERIFY(pane->toPlainText().startsWith(QLatin1Char('b') + page));
        QVERIFY(pane->toPlainText().endsWith(QStringLiteral("tail c") + page
                                             + QStringLiteral(" end")));
    }

    // Continuous text runs on in one paragraph up to exactly the longest
    // run; one character more starts the next frame on a paragraph of its own.
    void longRunBreaksAtItsBoundary()
    {
        Rig rig;
        QVERIFY(rig.open);
        rig.set("autoClearCheck", false);
        rig.set("hexRecvCheck", false);
        rig.spin("frameGapSpin")->setValue(20);
        const QByteArray first(2000, 'a');
        const QByteArray second(longestRun - 1 - first.size(), 'b');
        // Each write is one frame, however many reads the kernel makes of it.
        FrozenClock clock;
        for (const QByteArray &chunk : { first, second, QByteArray("c") }) {
            QVERIFY(rig.take(chunk));
            clock.advance(20);
        }
        clock.advance(TrafficView::intervalMs);
        QCOMPARE(receiveText(rig.w), QString::fromLatin1(first + ' ' + second + "\nc"));
    }

    void piecesOfAFrame_data()
    {
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<QString>("lines");
        QTest::newRow("pieces within the gap") << 100 << "[R] 41 42 43 44\n[R] 45 46 47 48\n";
        QTest::newRow("gap 0: every read")
                << 0 << "[R] 41 42\n[R] 43 44\n[R] 45\n[R] 46\n[R] 47\n[R] 48\n";
    }
    // Pieces of one frame are one line in the pane and in the capture file;
    // so is a frame at the pace of a slow line (1200 baud, 8 ms a byte).
    void piecesOfAFrame()
    {
        QFETCH(int, gapMs);
        QFETCH(QString, lines);
        Rig rig(gapMs);
        QVERIFY(rig.open);
        rig.set("frameNewlineCheck", true);
        rig.set("showSaveSendCheck", true);
        rig.set("showSaveTimeCheck", true);
        QVERIFY(rig.startCapture(rig.dir.filePath("capture.txt")));
        FrozenClock clock;
        QVERIFY(rig.take("AB"));
        clock.advance(gapMs - 1);
        QVERIFY(rig.take("CD"));
        // The frame ends, with its empty line, once the line has been quiet.
        clock.advance(gapMs);
        clock.advance(TrafficView::intervalMs);
        QVERIFY(receiveText(rig.w).endsWith("44\n"));
        for (const char byte : QByteArray("EFGH")) {
            QVERIFY(rig.take(QByteArray(1, byte)));
            clock.advance(8);
        }
        clock.advance(gapMs + CounterShow::intervalMs);
        QCOMPARE(rig.count("收帧数"), qint64(lines.count(QLatin1Char('\n'))));

        const QRegularExpression stamp("\\[\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d\\] \\[接收\\]");
        QCOMPARE(receiveText(rig.w).replace(stamp, "[R]"),
                 QString(lines).replace("\n", "\n\n").chopped(1));
        rig.press("saveDataButton");
        QFile file(rig.dir.filePath("capture.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).replace(stamp, "[R]"), lines);
    }

    // The pane paints its own white background: nothing of the text is left
    // on the screen once the pane is cleared, in every theme.
    void clearedPaneIsWhite()
    {
        Rig rig;
        QVERIFY(rig.open);
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QPlainTextEdit *pane = receivePane(rig.w);
        for (int theme = 0; theme < 3; ++theme) {
            QVERIFY(rig.feed(QByteArray(40, char(0xAA))));
            QTRY_VERIFY(inkedPixels(pane) > 0);
            click(findButton(rig.w, "清空接收区"));
            QTRY_COMPARE(inkedPixels(pane), 0);
            click(byName<QAbstractButton>(rig.w, QStringLiteral("themeButton")));
        }
    }

    // After a flood the capture file holds exactly the lines the pane shows,
    // each with the time stamp and tag of its chunk.
    void captureMatchesPaneAfterFlood()
    {
        Rig rig;
        QVERIFY(rig.open);
        rig.set("autoClearCheck", false);
        rig.set("showSaveTimeCheck", true);
        rig.set("showSaveSendCheck", true);
        const QString path = rig.dir.filePath("capture.txt");
        rig.boxes.chooseFile(path);
        click(findButton(rig.w, "保存数据"));
        QVERIFY(findButton(rig.w, "停止保存"));

        QByteArray all;
        for (const QByteArray &chunk : randomChunks(40, 2000, 20)) {
            QVERIFY(rig.pty.write(chunk)); // no waiting: the kernel chunks it
            all += chunk;
        }
        QTRY_COMPARE(rig.count("收字节数"), qint64(all.size()));
        // Everything counted is on disk already, before capture is stopped.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        QCOMPARE(lines.last(), QString());
        const QStringList captured = lines.mid(0, lines.size() - 1);
        QCOMPARE(captured.size(), int(rig.count("收帧数")));

        const QRegularExpression form(
                "^\\[\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d\\] \\[接收\\] ([0-9A-F ]+)$");
        QStringList bodies;
        for (const QString &line : captured) {
            const QRegularExpressionMatch match = form.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line.left(60)));
            bodies << match.captured(1);
        }
        QCOMPARE(bodies.join(' '), hexOf(all));
        QCOMPARE(receiveText(rig.w).replace('\n', ' '), captured.join(' '));
    }

    // Answer-wait rotation releases one line per received chunk, whatever the
    // display is doing, and the pane keeps sent and received lines in order.
    // The rules about time, with the program's clock stopped and moved on
    // by hand. A frame ends after the gap of silence, or at 4096 bytes.
    void gapAndLongestFrame()
    {
        QCheckBox box[7];
        QLineEdit keyword;
        ReceivePath path({ box, box + 1, box + 2, box + 3, box + 4, box + 5, box + 6, &keyword },
                         nullptr);
        path.setGap(20);
        QString events; // S: a frame starts, E: the gap has passed, |: the next step
        connect(&path, &ReceivePath::frameStarted, this, [&] { events += 'S'; });
        connect(&path, &ReceivePath::frameEnded, this, [&] { events += 'E'; });
        FrozenClock clock;
        const auto step = [&](const QByteArray &read, int ms) {
            path.takeRead(read);
            clock.advance(ms);
            events += '|';
        };
        step(QByteArray(5000, 'x'), 19);
        step(QByteArray(FrameSplitter::longestFrame - 904, 'x'), 19); // fills the second
        step("y", 19);
        step("z", 20);
        step("w", 0);
        QCOMPARE(events, QStringLiteral("SS||S|E|S|"));
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
        QTRY_VERIFY(bar->maximum() > end && bar->value() == bar->maximum());
    }

    void answerWaitAnswersPerChunk()
    {
        Rig rig;
        QVERIFY(rig.open);
        rig.set("frameNewlineCheck", true);
        rig.set("showSaveSendCheck", true);
        rig.set("sendOnceCheck", true);
        QFile file(rig.dir.filePath("lines.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const int count = 30;
        for (int i = 1; i <= count; ++i)
            file.write(QByteArray::number(i, 16).rightJustified(2, '0') + "\n");
        file.close();
        rig.boxes.chooseFile(file.fileName());
        click(findButton(rig.w, "选择发送文件"));
        QTRY_COMPARE(rig.count("文件行数"), qint64(count));

        click(findButton(rig.w, "开始文件轮发"));
        QStringList expected;
        for (int i = 1; i <= count; ++i) {
            // Exactly one line is out until it is answered.
            QVERIFY(rig.pty.waitForBytes(1));
            QCOMPARE(rig.pty.take(), QByteArray(1, char(i)));
            expected << QStringLiteral("[发送] %1").arg(hexOf(QByteArray(1, char(i))));
            if (i < count) {
                QVERIFY(rig.feed("OK"));
                expected << QStringLiteral("[接收] 4F 4B");
            }
        }
        QVERIFY(!rig.pty.waitForBytes(1, 200));
        QTRY_COMPARE(rig.count("发帧数"), qint64(count));
        QCOMPARE(receiveText(rig.w), expected.join(QStringLiteral("\n\n")) + QLatin1Char('\n'));
    }
};

QUORVEL_TEST_MAIN(DisplayTest)
#include "tst_display.moc"
