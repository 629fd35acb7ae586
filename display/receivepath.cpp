#include "receivepath.h"
#include "framesplitter.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>

ReceivePath::ReceivePath(const DisplayOptions &options, QObject *parent)
    : QObject(parent)
    , options(options)
    , frameSplitter(new FrameSplitter(this))
{
    connect(frameSplitter, &FrameSplitter::silence, this, &ReceivePath::onSilence);
}

void ReceivePath::setGap(int ms)
{
    frameSplitter->setGap(ms);
    if (ms == 0)
        onSilence(); // nothing would end the open frame otherwise
}

bool ReceivePath::shows() const
{
    return !options.stopDisplay->isChecked();
}

bool ReceivePath::clears() const
{
    return options.autoClear->isChecked();
}

void ReceivePath::takeRead(const QByteArray &chunk)
{
    frameSplitter->catchUp();
    emit bytesReceived(chunk);
    // Frames are made of bytes; an empty read is one only where every read is.
    if (chunk.isEmpty() && frameSplitter->gap() > 0)
        return;

    int position = 0;
    do {
        bool startsFrame = false;
        const int size = frameSplitter->nextPiece(chunk.size() - position, &startsFrame);
        takeInPiece(position == 0 && size == chunk.size() ? chunk : chunk.mid(position, size),
                    startsFrame);
        position += size;
    } while (position < chunk.size());
    frameSplitter->readDone();

    // With no gap every read is complete.
    if (frameSplitter->gap() == 0)
        onSilence();
    emit changed();
}

void ReceivePath::takeSent(const QByteArray &bytes)
{
    // Sent data starts a frame of its own: the received one ends here.
    frameSplitter->endFrame();
    endFrame();
    showChunk(bytes, false);
    emit changed();
}

void ReceivePath::showChunk(const QByteArray &data, bool received)
{
    if (!shows())
        return;
    const bool filter = options.keywordFilter->isChecked();
    const bool hex = options.hex->isChecked();
    const QString text = hex && !filter ? QString() : textForm(data);
    if (!keywordAccepts(data, text))
        return;
    showWhole(lineHead(received, QTime()) + (hex ? hexForm(data) : text),
              options.ownParagraph->isChecked());
}

void ReceivePath::showWhole(const QString &line, bool ownParagraph)
{
    emit piece(TrafficPiece::FrameStart, line, ownParagraph, clears());
    emit piece(TrafficPiece::FrameEnd, ownParagraph ? QStringLiteral("\n") : QString(),
               ownParagraph, false);
}

bool ReceivePath::keywordAccepts(const QByteArray &data, const QString &text) const
{
    const QString keyword = options.keyword->text().trimmed();
    if (!options.keywordFilter->isChecked() || keyword.isEmpty())
        return true;
    return hexForm(data).contains(keyword) || text.contains(keyword);
}

QString ReceivePath::lineHead(bool received, const QTime &time) const
{
    QString head;
    if (options.timeStamp->isChecked())
        head += timeStampForm(time.isValid() ? time : QTime::currentTime());
    if (options.directionTag->isChecked())
        head += received ? QCoreApplication::translate("MainWindow", "[接收] ")
                         : QCoreApplication::translate("MainWindow", "[发送] ");
    return head;
}

void ReceivePath::takeInPiece(const QByteArray &bytes, bool startsFrame)
{
    if (startsFrame) {
        endFrame();
        emit frameStarted();
        frame.open = true;
        frame.shown = false;
        frame.hasBytes = false;
        frame.ownParagraph = options.ownParagraph->isChecked();
        frame.start = options.timeStamp->isChecked() ? QTime::currentTime() : QTime();
        // Filtered frames are decided when complete, on all their bytes.
        frame.filtered =
                options.keywordFilter->isChecked() && !options.keyword->text().trimmed().isEmpty();
        frame.bytes.clear();
        frame.text.clear();
    }
    // The receive direction is one stream: decode every piece that text is
    // wanted of, shown or not, so a held-back partial character never joins
    // unrelated later bytes. The hex view wants none: decoding a flood there
    // would be work for nothing.
    QString text;
    if (options.hex->isChecked() && !frame.filtered)
        decoder.reset();
    else
        text = decoder.decode(bytes);
    if (frame.filtered) {
        frame.bytes += bytes;
        frame.text += text;
        return;
    }
    if (!shows())
        return;

    const bool hex = options.hex->isChecked();
    QString body = hex ? hexForm(bytes) : text;
    if (!frame.shown) {
        // A frame is never cut: only its first piece may clear the pane.
        emit piece(TrafficPiece::FrameStart, lineHead(true, frame.start) + body, frame.ownParagraph,
                   clears());
        frame.shown = true;
    } else {
        if (hex && frame.hasBytes && !bytes.isEmpty())
            body.prepend(QLatin1Char(' '));
        emit piece(TrafficPiece::Continuation, body, frame.ownParagraph, false);
    }
    frame.hasBytes = frame.hasBytes || !bytes.isEmpty();
}

void ReceivePath::endFrame()
{
    if (!frame.open)
        return;
    frame.open = false;
    if (frame.filtered) {
        if (shows() && keywordAccepts(frame.bytes, frame.text)) {
            const QString body = options.hex->isChecked() ? hexForm(frame.bytes) : frame.text;
            showWhole(lineHead(true, frame.start) + body, frame.ownParagraph);
        } else if (shows() && clears()) {
            // A frame the filter drops may still clear a full pane, as any line does.
            emit piece(TrafficPiece::FrameEnd, QString(), frame.ownParagraph, true);
        }
        frame.bytes.clear();
        frame.text.clear();
        return;
    }
    if (frame.shown)
        emit piece(TrafficPiece::FrameEnd, frame.ownParagraph ? QStringLiteral("\n") : QString(),
                   frame.ownParagraph, false);
}

void ReceivePath::onSilence()
{
    frameSplitter->endFrame();
    endFrame();
    emit frameEnded();
    emit changed();
}
