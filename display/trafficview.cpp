#include "trafficview.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &TrafficView::flush);
}

void TrafficView::addPiece(TrafficPiece::Kind kind, const QString &text, bool ownParagraph)
{
    pending.append({ kind, text, ownParagraph });
}

void TrafficView::scheduleFlush()
{
    if (timer.isActive())
        return;
    const qint64 since = sinceFlush.isValid() ? sinceFlush.elapsed() : intervalMs;
    if (since >= intervalMs)
        flush();
    else
        timer.start(int(intervalMs - since));
}

void TrafficView::flush()
{
    timer.stop();
    sinceFlush.start();

    if (autoClearAllowed && pane->verticalScrollBar()->isVisible())
        pane->clear();
    autoClearAllowed = false;

    const QVector<TrafficPiece> pieces = std::move(pending);
    pending.clear();
    if (!pieces.isEmpty())
        insertPieces(pieces);
    emit flushed(pieces);
}

void TrafficView::clear()
{
    flush();
    pane->clear();
}

void TrafficView::insertPieces(const QVector<TrafficPiece> &pieces)
{
    QTextDocument *document = pane->document();
    const bool wasEmpty = document->isEmpty();
    bool empty = wasEmpty;
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

    if (!continuous && pieces.first().kind == TrafficPiece::FrameStart) {
        // The pane's own append starts the first paragraph and keeps the view
        // at the bottom only if it was there.
        pane->appendPlainText(wasEmpty ? text : text.mid(1));
        return;
    }
    if (!continuous) {
        // The rest of a frame's paragraph: the same, without a new paragraph.
        QScrollBar *bar = pane->verticalScrollBar();
        const bool atBottom = bar->value() >= bar->maximum();
        QTextCursor cursor(document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
        if (atBottom)
            bar->setValue(bar->maximum());
        return;
    }
    QTextCursor cursor = pane->textCursor();
    cursor.movePosition(QTextCursor::End, QTextCursor::MoveAnchor);
    cursor.insertText(text);
    pane->setTextCursor(cursor);
    pane->ensureCursorVisible();
}
