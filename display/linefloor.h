#ifndef QUORVEL_LINEFLOOR_H
#define QUORVEL_LINEFLOOR_H

#include <QFont>
#include <QString>

class QPlainTextEdit;

// Characters after which the pane's document starts a new paragraph when
// text is inserted (a carriage return and line feed pair counts once).
bool breaksParagraph(QChar c);

// A floor under the number of lines a text takes in a plain-text pane,
// found without laying the text out, which costs far more. It adds up the
// widths of the printable ASCII characters (anything else counts as taking
// no room) and allows every line, besides the pane's width, the widest run
// of blanks, which may hang past the end of a line. Every paragraph the
// text starts takes a line at least.
class LineFloor
{
public:
    // Measures for the pane's font (once per font) and width, and restarts.
    void setPane(const QPlainTextEdit *pane);
    // Lines of the pane's font that fit into a height, the last one cut.
    int linesIn(int height) const;

    void restart();
    // Text that follows the text added since the last restart.
    void add(const QString &text);
    int atLeast() const;

private:
    int paragraphLines() const;

    bool measured = false;
    QFont font;
    qreal advance[0x80] = {};
    qreal lineHeight = 1;
    qreal lineWidth = 0; // 0: lines are not wrapped

    int lines = 0; // of the paragraphs ended since the restart
    qreal width = 0; // of the current paragraph's characters
    qreal blanks = 0; // width of the current run of blanks
    qreal widestBlanks = 0; // in the current paragraph
    bool startedParagraph = false;
    bool afterReturn = false;
};

#endif // QUORVEL_LINEFLOOR_H
