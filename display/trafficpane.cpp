#include "trafficpane.h"

#include <QPaintEvent>
#include <QPainter>

TrafficPane::TrafficPane()
{
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
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
}
