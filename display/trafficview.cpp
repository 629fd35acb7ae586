#include "trafficview.h"
#include "pacer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Characters after which the document starts a new paragraph when text is
// inserted (a carriage return and line feed pair counts once).
bool breaksParagraph(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator
            || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

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

void lightTrafficLamp(QLabel *lamp, QTimer *lampTimer)
{
    // Setting a style sheet re-polishes the label: only on a change.
    const QLatin1String lit("color: #00CC00; font-weight: bold;");
    if (lamp->styleSheet() != lit)
        lamp->setStyleSheet(lit);
    lampTimer->start(200);
}

TrafficView::TrafficView(QPlainTextEdit *pane, QObject *parent)
    : QObject(parent)
    , pane(pane)
{
#if defined(__GLIBC__)
    // Every auto-clear frees the layout of a pane full of text and the next
    // flush builds it again. By default glibc hands the freed pages back to
    // the system at once and faults them in again on the next flush; keep
    // up to 64 MiB of them (a pane full of text needs a few).
    static const bool keepFreedMemory = [] {
        mallopt(M_MMAP_THRESHOLD, 4 << 20);
        return mallopt(M_TRIM_THRESHOLD, 64 << 20) == 1;
    }();
    Q_UNUSED(keepFreedMemory)
#endif
    pacer = new Pacer(intervalMs, Pacer::OneInterval, this);
    connect(pacer, &Pacer::due, this, [this](bool inStream) {
        flushingInStream = inStream;
        flush();
        flushingInStream = false;
    });
}

void TrafficView::addPiece(TrafficPiece::Kind kind, const QString &text, bool ownParagraph)
{
    pending.append({ kind, text, ownParagraph });
}

void TrafficView::scheduleFlush()
{
    pacer->request();
}

void TrafficView::flush()
{
    pacer->ranNow();

    const bool clearFirst = autoClearAllowed && pane->verticalScrollBar()->isVisible();
    autoClearAllowed = false;

    const QVector<TrafficPiece> pieces = std::move(pending);
    pending.clear();
    if (!pieces.isEmpty()) {
        // The edit repaints the whole pane anyway: with updates held back,
        // moving to the new end of the pane does not first scroll the old
        // picture and lay out the paragraphs it scrolls past.
        QWidget *view = pane->viewport();
        const bool holdUpdates = view->updatesEnabled();
        if (holdUpdates)
            view->setUpdatesEnabled(false);
        insertPieces(pieces, clearFirst);
        if (holdUpdates)
            view->setUpdatesEnabled(true);
    }
    else if (clearFirst)
        pane->clear();
    emit flushed(pieces);
}

void TrafficView::clear()
{
    flush();
    pane->clear();
}

void TrafficView::insertPieces(const QVector<TrafficPiece> &pieces, bool clearFirst)
{
    QTextDocument *document = pane->document();
    QScrollBar *bar = pane->verticalScrollBar();
    const bool atBottom = clearFirst || bar->value() >= bar->maximum();

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

    bool empty = document->isEmpty();
    int run = document->lastBlock().length() - 1;
    bool continuous = false;

    // The text the piece-by-piece inserts would have added, in one piece.
    QString text;
    for (const TrafficPiece &piece : pieces) {
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
    edit.setPosition(document->characterCount() - 1);
    edit.insertText(text);
    edit.endEditBlock();

    if (!continuous) {
        // As the pane's own append does: the view stays at the bottom only if
        // it was there, and the user's cursor stays where it was.
        if (atBottom)
            bar->setValue(bar->maximum());
        return;
    }
    // The pane's own cursor moves with text inserted where it stands, so it
    // is usually at the end already; setting it again and asking for its
    // rectangle to scroll there would lay out and measure the last line
    // once more on every flush. At the end of the document, showing the
    // cursor is showing the last line: the bottom of the scroll range.
    const QTextCursor current = pane->textCursor();
    if (current.hasSelection() || current.position() != edit.position())
        pane->setTextCursor(edit);
    bar->setValue(bar->maximum());
}
