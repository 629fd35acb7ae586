#ifndef QUORVEL_TRAFFICPANE_H
#define QUORVEL_TRAFFICPANE_H

#include <QPlainTextEdit>

// The receive pane: a plain-text edit tuned for text that keeps arriving.
//
// Its viewport paints its own background. A style-sheet background makes the
// viewport transparent, so every update of the pane would repaint the window
// and the pane's frame behind it first; an opaque viewport repaints only
// itself.
//
// New paragraphs keep their shaped glyphs. By default a paragraph's layout
// drops them once its lines are known, and every paint and every cursor
// measurement shapes the paragraph's text again; at a fast line the same new
// paragraphs are laid out, measured and painted within one update. Paragraphs
// that have scrolled out of view give the memory back once the kept glyphs
// exceed a bound, so a pane that is never cleared does not grow by them.
class TrafficPane : public QPlainTextEdit
{
public:
    TrafficPane();

    // Characters whose glyphs may stay kept in paragraphs out of view.
    static constexpr int keptOutOfView = 256 * 1024;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void keepGlyphs(int from, int charsAdded);
    void releaseGlyphsOutOfView();

    // Paragraphs from this number on may keep their glyphs.
    int keptFrom = 0;
};

#endif // QUORVEL_TRAFFICPANE_H
