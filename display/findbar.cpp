#include "findbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>

namespace {

// Enough to cover a screenful of short matches; more would only cost time.
constexpr int mostHighlights = 2000;
constexpr int refreshIntervalMs = 100;

QToolButton *newToolButton(const QString &text, const QString &toolTip, const char *name)
{
    auto *button = new QToolButton;
    button->setText(text);
    button->setToolTip(toolTip);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    return button;
}

} // namespace

FindBar::FindBar(QPlainTextEdit *pane, QWidget *parent)
    : QWidget(parent)
    , pane(pane)
    , findEdit(new QLineEdit)
    , caseCheck(new QCheckBox(tr("区分大小写")))
    , countLabel(new QLabel)
{
    findEdit->setObjectName(QStringLiteral("findEdit"));
    findEdit->setPlaceholderText(tr("在接收区中查找"));
    findEdit->setClearButtonEnabled(true);
    caseCheck->setObjectName(QStringLiteral("findCaseCheck"));
    countLabel->setObjectName(QStringLiteral("findCountLabel"));
    countLabel->setMinimumWidth(
            countLabel->fontMetrics().horizontalAdvance(QStringLiteral("0000000 matches")));
    auto *previousButton =
            newToolButton(tr("上一个"), tr("查找上一个 (Shift+F3)"), "findPreviousButton");
    auto *nextButton = newToolButton(tr("下一个"), tr("查找下一个 (F3, Enter)"), "findNextButton");
    auto *closeButton =
            newToolButton(QStringLiteral("✕"), tr("关闭查找栏 (Esc)"), "findCloseButton");

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("查找")));
    layout->addWidget(findEdit, 1);
    layout->addWidget(previousButton);
    layout->addWidget(nextButton);
    layout->addWidget(caseCheck);
    layout->addWidget(countLabel);
    layout->addWidget(closeButton);

    refreshTimer.setSingleShot(true);
    connect(&refreshTimer, &QTimer::timeout, this, &FindBar::refresh);
    connect(findEdit, &QLineEdit::textChanged, this, [this] {
        // Find as you type, from where the last match began.
        if (current.hasSelection())
            current.setPosition(current.selectionStart());
        restartCount();
        find(false);
    });
    connect(findEdit, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(caseCheck, &QCheckBox::toggled, this, [this] {
        restartCount();
        highlightMatches();
    });
    connect(previousButton, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(nextButton, &QToolButton::clicked, this, &FindBar::findNext);
    connect(closeButton, &QToolButton::clicked, this, &FindBar::hide);
    connect(pane->document(), &QTextDocument::contentsChange, this,
            [this](int position, int charsRemoved, int) {
                if (isHidden())
                    return;
                // Anything but text added at the end (a cleared pane): count
                // from the start again.
                const QTextBlock firstUncounted =
                        this->pane->document()->findBlockByNumber(countedBlocks);
                if (charsRemoved > 0 || !firstUncounted.isValid()
                    || position < firstUncounted.position())
                    countedBlocks = -1;
                if (!refreshTimer.isActive())
                    refreshTimer.start(refreshIntervalMs);
            });
    connect(pane->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!isHidden())
            highlightMatches();
    });

    hide();
}

void FindBar::openBar()
{
    const QString selected = pane->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        findEdit->setText(selected);
    show();
    restartCount();
    highlightMatches();
    findEdit->setFocus(Qt::ShortcutFocusReason);
    findEdit->selectAll();
}

void FindBar::findNext()
{
    find(false);
}

void FindBar::findPrevious()
{
    find(true);
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        pane->setFocus(Qt::OtherFocusReason);
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindBar::hideEvent(QHideEvent *event)
{
    refreshTimer.stop();
    pane->setExtraSelections({});
    QWidget::hideEvent(event);
}

Qt::CaseSensitivity FindBar::caseSensitivity() const
{
    return caseCheck->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

void FindBar::find(bool backward)
{
    const QString needle = findEdit->text();
    if (needle.isEmpty()) {
        current = QTextCursor();
        highlightMatches();
        return;
    }
    QTextDocument *document = pane->document();
    QTextDocument::FindFlags flags;
    if (caseCheck->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (backward)
        flags |= QTextDocument::FindBackward;

    // From the last match; before the first search, from the top of the view.
    QTextCursor from = current;
    if (from.isNull() || (!from.hasSelection() && from.position() == 0))
        from = pane->cursorForPosition(QPoint(0, 0));
    QTextCursor found = document->find(needle, from, flags);
    if (found.isNull()) {
        // Wrap around to the other end.
        QTextCursor end(document);
        end.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        found = document->find(needle, end, flags);
    }
    if (!found.isNull()) {
        current = found;
        pane->setTextCursor(found);
        pane->ensureCursorVisible();
    }
    highlightMatches();
}

int FindBar::matchesIn(const QTextBlock &block) const
{
    const QString needle = findEdit->text();
    const QString text = block.text();
    int matches = 0;
    for (int at = text.indexOf(needle, 0, caseSensitivity()); at >= 0;
         at = text.indexOf(needle, at + needle.size(), caseSensitivity()))
        ++matches;
    return matches;
}

void FindBar::restartCount()
{
    countedBlocks = -1;
    refresh();
}

void FindBar::countNewText()
{
    if (countedBlocks < 0) {
        countedBlocks = 0;
        countInFinishedBlocks = 0;
    }
    if (findEdit->text().isEmpty()) {
        count = 0;
        return;
    }
    const QTextDocument *document = pane->document();
    const QTextBlock last = document->lastBlock();
    for (QTextBlock block = document->findBlockByNumber(countedBlocks);
         block.isValid() && block != last; block = block.next())
        countInFinishedBlocks += matchesIn(block);
    countedBlocks = last.blockNumber();
    count = countInFinishedBlocks + matchesIn(last);
}

void FindBar::showCount()
{
    if (findEdit->text().isEmpty())
        countLabel->clear();
    else if (count == 0)
        countLabel->setText(tr("无匹配"));
    else
        countLabel->setText(tr("%1 处匹配").arg(count));
}

void FindBar::refresh()
{
    refreshTimer.stop();
    countNewText();
    showCount();
    highlightMatches();
}

void FindBar::highlightMatches()
{
    QList<QTextEdit::ExtraSelection> selections;
    const QString needle = findEdit->text();
    if (!needle.isEmpty() && !isHidden()) {
        QTextEdit::ExtraSelection match;
        match.format.setBackground(QColor(0xff, 0xef, 0x7a));
        const QWidget *view = pane->viewport();
        const int lastVisible =
                pane->cursorForPosition(QPoint(view->width() - 1, view->height() - 1))
                        .blockNumber();
        for (QTextBlock block = pane->cursorForPosition(QPoint(0, 0)).block(); block.isValid()
             && block.blockNumber() <= lastVisible && selections.size() < mostHighlights;
             block = block.next()) {
            const QString text = block.text();
            for (int at = text.indexOf(needle, 0, caseSensitivity());
                 at >= 0 && selections.size() < mostHighlights;
                 at = text.indexOf(needle, at + needle.size(), caseSensitivity())) {
                match.cursor = QTextCursor(block);
                match.cursor.setPosition(block.position() + at);
                match.cursor.setPosition(block.position() + at + needle.size(),
                                         QTextCursor::KeepAnchor);
                selections.append(match);
            }
        }
        if (current.hasSelection()) {
            QTextEdit::ExtraSelection currentMatch;
            currentMatch.format.setBackground(QColor(0xff, 0x9a, 0x3c));
            currentMatch.cursor = current;
            selections.append(currentMatch);
        }
    }
    pane->setExtraSelections(selections);
}
