#ifndef QUORVEL_TRAFFICPANE_H
#define QUORVEL_TRAFFICPANE_H

#include <QPlainTextEdit>

// The receive pane: a plain-text edit whose viewport paints its own
// background. A style-sheet background makes the viewport transparent, so
// every update of the pane would repaint the window and the pane's frame
// behind it first; an opaque viewport repaints only itself.
class TrafficPane : public QPlainTextEdit
{
public:
    TrafficPane();

protected:
    void paintEvent(QPaintEvent *event) override;
};

#endif // QUORVEL_TRAFFICPANE_H
