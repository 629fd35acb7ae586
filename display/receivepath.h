#ifndef QUORVEL_RECEIVEPATH_H
#define QUORVEL_RECEIVEPATH_H

#include <QObject>
#include <QTime>

#include "trafficformat.h"
#include "trafficview.h"

class QAbstractButton;
class QLineEdit;
class FrameSplitter;

// The display options, read at every frame so a change applies from the
// next one on.
struct DisplayOptions
{
    QAbstractButton *stopDisplay = nullptr;
    QAbstractButton *autoClear = nullptr;
    QAbstractButton *hex = nullptr;
    QAbstractButton *timeStamp = nullptr;
    QAbstractButton *directionTag = nullptr;
    QAbstractButton *ownParagraph = nullptr;
    QAbstractButton *keywordFilter = nullptr;
    QLineEdit *keyword = nullptr;
};

// All traffic on its way to the pane and the capture file. Received bytes
// are cut into frames by the gap, decoded as one UTF-8 stream, filtered by
// the keyword and formed into pieces of lines; sent chunks are formed into
// whole frames. What happened is said through signals; the pane, the
// capture file, the counters and the rotation listen.
class ReceivePath : public QObject
{
    Q_OBJECT

public:
    ReceivePath(const DisplayOptions &options, QObject *parent);

    // A new opening: nothing held back from the last one belongs to it.
    void portOpened() { decoder.reset(); }
    void setGap(int ms);

    // One read of the port, possibly empty.
    void takeRead(const QByteArray &chunk);
    // A chunk written to the port: the received frame ends before it.
    void takeSent(const QByteArray &bytes);
    // Shows one chunk whole, as one frame (the formatter's own rule).
    void showChunk(const QByteArray &data, bool received);

signals:
    // Every read as it came, shown or not.
    void bytesReceived(const QByteArray &chunk);
    // A received frame began: the frame counters count these.
    void frameStarted();
    // A piece of a line for the pane and the capture file. mayClear: a full
    // pane is cleared before it ("自动清"); only a frame's start may do so.
    void piece(TrafficPiece::Kind kind, const QString &text, bool ownParagraph, bool mayClear);
    // The line has been quiet for the frame gap (with no gap: after each
    // read): the frame, and an answer, are complete.
    void frameEnded();
    // A read or a sent chunk has been taken in: the pane may be refreshed.
    void changed();

private:
    struct Frame
    {
        bool open = false;
        // Its line is in the pane (it may have started while display was stopped).
        bool shown = false;
        bool hasBytes = false;
        bool ownParagraph = false;
        // Held back and decided when complete, for the keyword filter.
        bool filtered = false;
        QTime start;
        QByteArray bytes;
        QString text;
    };

    void takeInPiece(const QByteArray &bytes, bool startsFrame);
    void endFrame();
    void onSilence();
    bool keywordAccepts(const QByteArray &data, const QString &text) const;
    QString lineHead(bool received, const QTime &time) const;
    void showWhole(const QString &line, bool ownParagraph);
    bool shows() const;
    bool clears() const;

    DisplayOptions options;
    FrameSplitter *frameSplitter;
    Utf8StreamDecoder decoder;
    Frame frame;
};

#endif // QUORVEL_RECEIVEPATH_H
