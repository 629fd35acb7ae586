#include "trafficview.h"
#include "linefloor.h"
#include "pacer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// Length of the last paragraph after text was added to a paragraph that
// already held run characters.
int runAfter(int run, const QString &text)
{
    for (int i = text.size() - 1; i >= 0; --i) {
        if (breaksParagraph(text.at(i)))
            return text.size() - 1 - i;
    }
    return run + text.size();
}

} // namespace

TrafficLamp::TrafficLamp(QLabel *lamp, QTimer *driver, QObject *parent)
    : QObject(parent)
    , lamp(lamp)
    , timer(this, driver)
{
    connect(&timer, &ClockTimer::timeout, this, &TrafficLamp::onTimeout);
}

void TrafficLamp::light()
{
    // Setting a style sheet re-polishes the label: only on a change.
    const QLatin1String litStyle("color: #00CC00; font-weight: bold;");
    if (lamp->styleSheet() != litStyle)
        lamp->setStyleSheet(litStyle);
    litAtMs = programClock().nowMs();
    if (!timer.isActive())
        timer.start(litMs);
}

void TrafficLamp::onTimeout()
{
    const qint64 left = litAtMs + litMs - programClock().nowMs();
    if (left > 0)
        timer.start(left);
    else
        emit dark();
}

TrafficView::TrafficView(QPlainTextEdit *pane, QObject *parent)
    : QObject(parent)
    , pane(pane)
{
    // Only the user's own scrolling decides (wheel, bar, drag): the pane
    // moves its bar itself when it lays out a long paragraph later.
    QScrollBar *bar = pane->verticalScrollBar();
    connect(bar, &QScrollBar::actionTriggered, this,
            [this, bar] { following = bar->sliderPosition() >= bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (following && !this->pane->textCursor().hasSelection())
            bar->setValue(maximum);
    });
    pacer = new Pacer(intervalMs, Pacer::OneInterval, this);
    connect(pacer, &Pacer::due, this, [this](bool inStream) {
        flushingInStream = inStream;
        flush();
        flushingInStream = false;
    });
}

void TrafficView::addPiece(TrafficPiece::Kind kind, const QString &text, bool ownParagraph,
                           bool mayClear)
{
    mayClear = mayClear && kind == TrafficPiece::FrameStart;
    // A clear point waiting for the next frame is that frame's own.
    if (clearAtEnd && kind == TrafficPiece::FrameStart) {
        mayClear = true;
        clearAtEnd = false;
    }
    pending.append({ kind, text, ownParagraph, mayClear });
}

void TrafficView::scheduleFlush()
{
    pacer->request();
}

void TrafficView::flush()
{
    pacer->ranNow();

    const bool clearAfterAll = clearAtEnd;
    clearAtEnd = false;

    const QVector<TrafficPiece> pieces = std::move(pending);
    pending.clear();
    // Pieces that a later piece clears away again are never shown.
    int from = firstPieceShown(pieces);
    bool clearFirst = from > 0;
    // A pane already full is cleared at the first frame start that may
    // clear it; what comes before it belongs to frames the clear takes away.
    if (!clearFirst && pane->verticalScrollBar()->isVisible()) {
        const auto clearing =
                std::find_if(pieces.begin(), pieces.end(),
                             [](const TrafficPiece &piece) { return piece.mayClear; });
        if (clearing != pieces.end() || clearAfterAll) {
            from = int(clearing - pieces.begin());
            clearFirst = true;
        }
    }
    // An empty pane shows its end.
    following = following || clearFirst;
    if (from < pieces.size())
        insertPieces(pieces, from, clearFirst);
    else if (clearFirst)
        pane->clear();
    emit flushed(pieces);
}

void TrafficView::clear()
{
    flush();
    pane->clear();
    following = true;
}

// Shown one at a time, a piece that may clear the pane clears it when what
// came before fills the pane. Within one flush that is known for sure only
// where the text before is too long for the pane by any layout (LineFloor),
// and all that comes before the last such clear is never seen. It is left
// out of the pane, so that the pane does not lay out text that the same
// flush clears away again; where that can be done by a few pieces less,
// only as much of it as leaves the pane overflowing, so that its scroll bar
// and width stay put instead of changing with every flush. Any other clear
// is done, as before, at the next flush.
int TrafficView::firstPieceShown(const QVector<TrafficPiece> &pieces)
{
    const auto mayClear = [](const TrafficPiece &piece) { return piece.mayClear; };
    if (pieces.size() < 2 || !pane->isVisible()
        || std::none_of(pieces.begin() + 1, pieces.end(), mayClear))
        return 0;
    lineFloor.setPane(pane);
    const int fullPane = lineFloor.linesIn(pane->viewport()->height()) + 1;
    int clearBefore = 0;
    int lastClear = 0;
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > lastClear && pieces.at(i).mayClear && lineFloor.atLeast() > fullPane) {
            clearBefore = lastClear;
            lastClear = i;
            lineFloor.restart();
        }
        lineFloor.add(pieces.at(i).text);
    }
    // A few pieces back at most: each step measures the rest again.
    const int earliest = qMax(qMax(1, clearBefore), lastClear - 8);
    for (int from = lastClear; from >= earliest; --from) {
        // Whole frames only: a frame is never shown without its start.
        if (pieces.at(from).kind != TrafficPiece::FrameStart)
            continue;
        lineFloor.restart();
        for (int i = from; i < pieces.size(); ++i)
            lineFloor.add(pieces.at(i).text);
        if (lineFloor.atLeast() > fullPane)
            return from;
    }
    return lastClear;
}

void TrafficView::insertPieces(const QVector<TrafficPiece> &pieces, int from, bool clearFirst)
{
    QTextDocument *document = pane->document();
    bool empty = clearFirst || document->isEmpty();
    int run = clearFirst ? 0 : document->lastBlock().length() - 1;
    bool continuous = false;

    // The text the piece-by-piece inserts would have added, in one piece.
    QString text;
    for (int i = from; i < pieces.size(); ++i) {
        const TrafficPiece &piece = pieces.at(i);
        continuous = continuous || !piece.ownParagraph;
        if (piece.kind == TrafficPiece::FrameStart) {
            if (piece.ownParagraph) {
                if (!empty)
                    text += QChar::ParagraphSeparator;
                run = 0;
            } else if (!empty) {
                const bool breakRun = run > 0 && run + 1 + piece.text.size() > longestRun;
                text += breakRun ? QChar::ParagraphSeparator : QChar(QLatin1Char(' '));
                run = breakRun ? 0 : run + 1;
            }
        }
        text += piece.text;
        run = runAfter(run, piece.text);
        empty = empty && text.isEmpty();
    }
    // The end of a frame often adds nothing: no edit, and no repaint.
    if (text.isEmpty() && !clearFirst)
        return;

    QScrollBar *bar = pane->verticalScrollBar();
    const bool atBottom =
            clearFirst || (bar->value() >= bar->maximum() && !pane->textCursor().hasSelection());
    // The edit repaints the whole pane anyway: with updates held back,
    // moving to the new end of the pane does not first scroll the old
    // picture and lay out the paragraphs it scrolls past.
    QWidget *view = pane->viewport();
    const bool holdUpdates = view->updatesEnabled();
    if (holdUpdates)
        view->setUpdatesEnabled(false);

    // Clearing and adding in one edit: the pane lays itself out, sets its
    // scroll bar and repaints once, not once for the empty pane and again
    // for the new lines.
    // Positions are set rather than moved to: moving a cursor lays out its
    // paragraph, here one that is about to go or to grow.
    QTextCursor edit(document);
    edit.beginEditBlock();
    if (clearFirst) {
        edit.setPosition(document->characterCount() - 1, QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    }
    edit.setPosition(document->characterCount() - 1);
    edit.insertText(text);
    edit.endEditBlock();
    scrollToEnd(edit, atBottom, continuous);
    if (holdUpdates)
        view->setUpdatesEnabled(true);
}

void TrafficView::scrollToEnd(const QTextCursor &edit, bool atBottom, bool continuous)
{
    // The view follows the end only while it shows the end: a user who
    // scrolled up, selected text or has a find match keeps the view and the
    // selection while traffic flows.
    if (!atBottom)
        return;
    QScrollBar *bar = pane->verticalScrollBar();
    // The pane's own cursor moves with text inserted where it stands, so it
    // is usually at the end already; setting it again and asking for its
    // rectangle to scroll there would lay out and measure the last line
    // once more on every flush. At the end of the document, showing the
    // cursor is showing the last line: the bottom of the scroll range.
    if (continuous && pane->textCursor().position() != edit.position())
        pane->setTextCursor(edit);
    bar->setValue(bar->maximum());
}
