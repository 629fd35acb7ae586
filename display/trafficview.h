#ifndef QUORVEL_TRAFFICVIEW_H
#define QUORVEL_TRAFFICVIEW_H

#include <QObject>
#include <QStringList>
#include <QVector>

#include "clock.h"
#include "linefloor.h"

class QLabel;
class QPlainTextEdit;
class QTextCursor;
class QTimer;
class Pacer;

// A piece of traffic for the pane and the capture file. A frame is one
// FrameStart (time stamp, tag and the first bytes), the Continuations that
// arrived before the frame gap passed, and one FrameEnd.
struct TrafficPiece
{
    enum Kind { FrameStart, Continuation, FrameEnd };
    Kind kind;
    // FrameEnd: empty, or the line feed that ends a "帧换行" paragraph.
    QString text;
    // The frame has a paragraph of its own ("帧换行") rather than running on
    // after the pane's text, separated by one blank.
    bool ownParagraph;
    // "自动清" was checked when the piece came: a full pane is cleared
    // before it.
    bool mayClear = false;
};

// A traffic lamp: lit by every chunk, dark 200 ms after the last one.
// Restarting a timer for every chunk of a stream costs more than the
// chunk's own handling; the timer runs out at most once per lamp period and
// looks at the time of the last chunk then.
class TrafficLamp : public QObject
{
    Q_OBJECT

public:
    static constexpr int litMs = 200;

    // driver: the QTimer that wakes the program for it.
    TrafficLamp(QLabel *lamp, QTimer *driver, QObject *parent);
    void light();

signals:
    // 200 ms have passed since the lamp was last lit.
    void dark();

private:
    void onTimeout();

    QLabel *lamp;
    ClockTimer timer;
    qint64 litAtMs = 0;
};

// Puts the lines of traffic into the receive pane at most once per display
// interval. Laying out and painting the pane costs far more than forming a
// line, so lines that arrive close together go in with one edit; a line that
// follows a quiet interval is shown at once.
class TrafficView : public QObject
{
    Q_OBJECT

public:
    // Longest wait of a line for its flush: under the 50 ms in which a user
    // takes a line as shown at once, with room for the flush and the paint
    // that follow.
    static constexpr int intervalMs = 42;
    // Continuous display breaks a longer run into paragraphs at frame
    // starts, so that no flush lays out an ever-growing paragraph.
    static constexpr int longestRun = 4096;

    TrafficView(QPlainTextEdit *pane, QObject *parent);

    // mayClear: a full pane is cleared before the piece ("自动清"); only a
    // frame's start may carry it, so no frame is ever cut.
    void addPiece(TrafficPiece::Kind kind, const QString &text, bool ownParagraph,
                  bool mayClear = false);
    // A full pane is cleared after the pieces so far (a frame the keyword
    // filter dropped): before the next frame's start, or at the next flush.
    void allowAutoClear() { clearAtEnd = true; }
    // Something changed that the user should see: flush now when the last
    // flush is an interval old, otherwise when the interval ends.
    void scheduleFlush();
    bool hasPending() const { return !pending.isEmpty() || clearAtEnd; }
    // True during a flush that waited for its interval: lines are arriving
    // close together, and more are likely to follow.
    bool isFlushingInStream() const { return flushingInStream; }
    // Shows everything pending now.
    void flush();
    // Empties the pane after showing (and so capturing) what is pending.
    void clear();

signals:
    // After every flush, with the pieces it put into the pane, in order
    // (capture and counters keep step with the pane there).
    void flushed(const QVector<TrafficPiece> &pieces);

private:
    void insertPieces(const QVector<TrafficPiece> &pieces, int from, bool clearFirst);
    void scrollToEnd(const QTextCursor &edit, bool atBottom, bool continuous);
    int firstPieceShown(const QVector<TrafficPiece> &pieces);

    QPlainTextEdit *pane;
    Pacer *pacer = nullptr;
    LineFloor lineFloor;
    QVector<TrafficPiece> pending;
    bool clearAtEnd = false;
    // The user left the view at the end (or never moved it): it follows.
    // Judged when the user scrolls, not at a flush, since the pane may lay
    // out a long paragraph, and grow its range, later.
    bool following = true;
    bool flushingInStream = false;
};

#endif // QUORVEL_TRAFFICVIEW_H
