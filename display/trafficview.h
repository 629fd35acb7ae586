#ifndef QUORVEL_TRAFFICVIEW_H
#define QUORVEL_TRAFFICVIEW_H

#include <QObject>
#include <QStringList>
#include <QVector>

#include "linefloor.h"

class QElapsedTimer;
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

// Lights a traffic lamp for 200 ms from now; lit tells when it was lit last.
void lightTrafficLamp(QLabel *lamp, QTimer *lampTimer, QElapsedTimer *lit);
// When the lamp timer runs out: true, and the timer started again for the
// rest of the 200 ms, if the lamp was lit again meanwhile.
bool trafficLampStaysLit(QTimer *lampTimer, const QElapsedTimer &lit);

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

    void addPiece(TrafficPiece::Kind kind, const QString &text, bool ownParagraph);
    // A piece reached the pane while "自动清" was checked: the next flush
    // clears the pane first if it is full.
    void allowAutoClear()
    {
        autoClearAllowed = true;
        nextMayClear = true;
    }
    // Something changed that the user should see: flush now when the last
    // flush is an interval old, otherwise when the interval ends.
    void scheduleFlush();
    bool hasPending() const { return !pending.isEmpty(); }
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
    bool autoClearAllowed = false;
    bool nextMayClear = false;
    bool flushingInStream = false;
};

#endif // QUORVEL_TRAFFICVIEW_H
