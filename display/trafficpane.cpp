#include "trafficpane.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

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
        // What the window would have painted behind the text: the palette's
        // background and over it the style sheet's, if there is one.
        painter.fillRect(event->rect(), view->palette().brush(view->backgroundRole()));
        if (view->testAttribute(Qt::WA_StyledBackground)) {
            QStyleOption option;
            option.initFrom(view);
            style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, view);
        }
    }
    QPlainTextEdit::paintEvent(event);
}
