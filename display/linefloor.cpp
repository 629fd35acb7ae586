#include "linefloor.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>

#include <cmath>

bool breaksParagraph(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator
            || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

void LineFloor::setPane(const QPlainTextEdit *pane)
{
    if (!measured || pane->font() != font) {
        measured = true;
        font = pane->font();
        const QFontMetricsF metrics(font);
        // A tenth off for rounding and for anything that sets glyphs closer.
        for (int c = 0x20; c < 0x7F; ++c)
            advance[c] = 0.9 * metrics.horizontalAdvance(QLatin1Char(char(c)));
        lineHeight = qMax(qreal(1), metrics.lineSpacing());
    }
    lineWidth = pane->lineWrapMode() == QPlainTextEdit::NoWrap ? 0 : qMax(1, pane->viewport()->width());
    restart();
}

int LineFloor::linesIn(int height) const
{
    return int(std::ceil(height / lineHeight));
}

void LineFloor::restart()
{
    lines = 0;
    width = 0;
    blanks = 0;
    widestBlanks = 0;
    startedParagraph = false;
    afterReturn = false;
}

void LineFloor::add(const QString &text)
{
    for (const QChar c : text) {
        const bool pairedFeed = afterReturn && c == QLatin1Char('\n');
        afterReturn = c == QLatin1Char('\r');
        if (breaksParagraph(c)) {
            if (!pairedFeed) {
                lines += paragraphLines();
                width = blanks = widestBlanks = 0;
                startedParagraph = true;
            }
            continue;
        }
        const ushort code = c.unicode();
        if (code >= 0x80)
            continue;
        width += advance[code];
        if (code == ' ') {
            blanks += advance[code];
            widestBlanks = qMax(widestBlanks, blanks);
        } else {
            blanks = 0;
        }
    }
}

int LineFloor::atLeast() const
{
    return lines + paragraphLines();
}

int LineFloor::paragraphLines() const
{
    const int wrapped = lineWidth > 0 ? int(width / (lineWidth + widestBlanks)) : 0;
    return qMax(startedParagraph ? 1 : 0, wrapped);
}
