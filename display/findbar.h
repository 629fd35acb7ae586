#ifndef QUORVEL_FINDBAR_H
#define QUORVEL_FINDBAR_H

#include <QTextCursor>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTextBlock;

// Finds text in the receive pane: highlights the matches in view, counts
// them all and steps through them, while traffic goes on arriving. The
// pane only grows at its end until it is cleared, so the count is kept up
// to date by looking at the new text only.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QPlainTextEdit *pane, QWidget *parent = nullptr);

    // Shows the bar, ready to type; a selection in the pane is the text to find.
    void openBar();
    void findNext();
    void findPrevious();
    int matchCount() const { return count; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void find(bool backward);
    void restartCount();
    void countNewText();
    void showCount();
    void highlightMatches();
    void refresh();
    int matchesIn(const QTextBlock &block) const;
    Qt::CaseSensitivity caseSensitivity() const;

    QPlainTextEdit *pane;
    QLineEdit *findEdit;
    QCheckBox *caseCheck;
    QLabel *countLabel;
    // The match last stepped to; follows the text as the pane grows.
    QTextCursor current;
    // Matches in the blocks before countedBlocks, which no longer change;
    // the last block may still grow and is counted again each time.
    int count = 0;
    int countInFinishedBlocks = 0;
    int countedBlocks = 0;
    // Traffic can change the pane every 30 ms: count and highlight at most
    // this often.
    QTimer refreshTimer;
};

#endif // QUORVEL_FINDBAR_H
