#include "trafficpane.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

TrafficPane::TrafficPane()
{
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // The change is announced before the pane lays out the new text, so the
    // new paragraphs keep their glyphs from their first layout on.
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int from, int, int charsAdded) { keepGlyphs(from, charsAdded); });
}

void TrafficPane::paintEvent(QPaintEvent *event)
{
    QWidget *view = viewport();
    {
        QPainter painter(view);
        painter.setClipRegion(event->region());
        // The pane's background colour, which the style sheet puts into the
        // palette (the viewport's own styled background is transparent).
        painter.fillRect(event->rect(), view->palette().brush(view->backgroundRole()));
    }
    QPlainTextEdit::paintEvent(event);
    releaseGlyphsOutOfView();
}

void TrafficPane::keepGlyphs(int from, int charsAdded)
{
    const QTextDocument *doc = document();
    QTextBlock block = doc->findBlock(from);
    keptFrom = qMin(keptFrom, block.blockNumber());
    const QTextBlock last = doc->findBlock(from + charsAdded);
    for (; block.isValid(); block = block.next()) {
        block.layout()->setCacheEnabled(true);
        if (block == last)
            break;
    }
}

void TrafficPane::releaseGlyphsOutOfView()
{
    const QTextDocument *doc = document();
    QTextBlock block = doc->findBlockByNumber(keptFrom);
    if (!block.isValid()) {
        keptFrom = qMax(0, doc->blockCount() - 1);
        return;
    }
    const int firstVisible = firstVisibleBlock().blockNumber();
    while (block.isValid() && block.blockNumber() < firstVisible
           && doc->characterCount() - block.position() > keptOutOfView) {
        QTextLayout *layout = block.layout();
        if (layout->cacheEnabled()) {
            layout->setCacheEnabled(false);
            // A layout frees its glyphs when it ends without the cache; the
            // paragraph is laid out again if it comes back into view. One
            // that was never laid out holds none.
            if (layout->lineCount() > 0) {
                layout->beginLayout();
                layout->endLayout();
            }
        }
        block = block.next();
    }
    keptFrom = block.isValid() ? block.blockNumber() : qMax(0, doc->blockCount() - 1);
}
