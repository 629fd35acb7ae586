#include "framesplitter.h"
#include "mainwindow.h"
#include "pacer.h"
#include "plotfeed.h"
#include "trafficpane.h"
#include "trafficview.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextCursor>
#include <QTime>
#include <QTimer>

namespace {

const char *const darkLampStyle = "color: gray;";

// Counters are shown with the lines they counted, once per display update.
void showCount(QLineEdit *edit, qint64 count)
{
    const QString text = QString::number(count);
    if (edit->text() != text)
        edit->setText(text);
}

QLineEdit *newCounterEdit()
{
    auto *edit = new QLineEdit(QStringLiteral("0"));
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return edit;
}

} // namespace

void MainWindow::buildReceivePane()
{
    recvEdit = new TrafficPane;
    recvEdit->setReadOnly(true);
    recvEdit->setMinimumHeight(180);
    // A read-only log: an undo history would only grow with the traffic.
    recvEdit->setUndoRedoEnabled(false);
    // Traffic is mostly hexadecimal digits and Latin text, which read the same
    // unshaped; shaping every line that arrives dominated the display's cost.
    // Glyphs fitted to whole pixels are crisper, and cheaper to draw: most of
    // their pixels are set or left outright rather than blended.
    QFont paneFont = recvEdit->font();
    paneFont.setStyleStrategy(QFont::PreferNoShaping);
    paneFont.setHintingPreference(QFont::PreferFullHinting);
    recvEdit->setFont(paneFont);

    trafficView = new TrafficView(recvEdit, this);
    // In a stream the counters change with every flush; repainting them ten
    // times a second is enough to read them, and the last request is always
    // served. Traffic after a quiet moment is counted on the screen at once.
    // They never run ahead of the pane: with lines still to come, the flush
    // that brings them asks again.
    auto *counterPacer = new Pacer(100, Pacer::UntilIntervalEnds, this);
    connect(counterPacer, &Pacer::due, this, [this] {
        if (!trafficView->hasPending())
            showCounters();
    });
    connect(trafficView, &TrafficView::flushed, this,
            [this, counterPacer](const QVector<TrafficPiece> &pieces) {
                if (capturing && captureFile.isOpen() && !pieces.isEmpty())
                    writeCapture(pieces);
                if (trafficView->isFlushingInStream())
                    counterPacer->request();
                else
                    showCounters();
            });
    frameSplitter = new FrameSplitter(this);
    connect(frameSplitter, &FrameSplitter::silence, this, [this] { onFrameSilence(); });
    frameGapSpin = named(new QSpinBox, "frameGapSpin");
    frameGapSpin->setRange(0, 1000);
    frameGapSpin->setSuffix(tr(" ms"));
    frameGapSpin->setValue(FrameSplitter::defaultGapMs);
    frameGapSpin->setToolTip(
            tr("收到的字节之间静默达到此时长才算一帧结束；0 表示每次读取即为一帧"));
    connect(frameGapSpin, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int ms) {
        frameSplitter->setGap(ms);
        if (ms == 0)
            onFrameSilence(); // nothing would end the open frame otherwise
    });
    // Always at hand, and moves none of the window's own controls.
    auto *frameGapLabel = new QLabel(tr("帧间隔"));
    frameGapLabel->setBuddy(frameGapSpin);
    statusBar()->addPermanentWidget(frameGapLabel);
    statusBar()->addPermanentWidget(frameGapSpin);

    // Closing the port ends its traffic: show the last of it now.
    connect(serialPort, &QIODevice::aboutToClose, trafficView, &TrafficView::flush);
    connect(serialPort, &QIODevice::aboutToClose, this, &MainWindow::showCounters);

    stopDisplayButton = new QPushButton(tr("停止显示"));
    stopDisplayButton->setCheckable(true);
    connect(stopDisplayButton, &QPushButton::toggled, this, [this](bool checked) {
        stopDisplayButton->setText(checked ? tr("继续显示") : tr("停止显示"));
    });

    saveDataButton = new QPushButton(tr("保存数据"));
    connect(saveDataButton, &QPushButton::clicked, this, &MainWindow::onSaveData);

    captureFileEdit = new QLineEdit(QStringLiteral("data.txt"));
    captureFileEdit->setMaximumWidth(120);

    hexRecvCheck = new QCheckBox(tr("16进制"));
    hexRecvCheck->setChecked(true);
    autoClearCheck = new QCheckBox(tr("自动清"));
    autoClearCheck->setChecked(true);

    recvEdit->setObjectName(QStringLiteral("recvEdit"));
    stopDisplayButton->setObjectName(QStringLiteral("stopDisplayButton"));
    saveDataButton->setObjectName(QStringLiteral("saveDataButton"));
    captureFileEdit->setObjectName(QStringLiteral("captureFileEdit"));
    hexRecvCheck->setObjectName(QStringLiteral("hexRecvCheck"));
    autoClearCheck->setObjectName(QStringLiteral("autoClearCheck"));
}

void MainWindow::buildCountersAndOptions()
{
    sentFramesEdit = newCounterEdit();
    sentBytesEdit = newCounterEdit();
    recvFramesEdit = newCounterEdit();
    recvBytesEdit = newCounterEdit();
    fileLinesEdit = newCounterEdit();
    currentLineEdit = newCounterEdit();

    showSaveSendCheck = new QCheckBox(tr("显示保存发送"));
    showSaveTimeCheck = new QCheckBox(tr("显示保存时间"));
    frameNewlineCheck = new QCheckBox(tr("帧换行"));
    keywordFilterCheck = new QCheckBox(tr("关键字过滤接收"));

    keywordEdit = new QLineEdit;
    keywordEdit->setPlaceholderText(tr("关键字"));
    keywordEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    themeButton = new QPushButton(tr("切换主题"));

    sentFramesEdit->setObjectName(QStringLiteral("sentFramesEdit"));
    sentBytesEdit->setObjectName(QStringLiteral("sentBytesEdit"));
    recvFramesEdit->setObjectName(QStringLiteral("recvFramesEdit"));
    recvBytesEdit->setObjectName(QStringLiteral("recvBytesEdit"));
    fileLinesEdit->setObjectName(QStringLiteral("fileLinesEdit"));
    currentLineEdit->setObjectName(QStringLiteral("currentLineEdit"));
    showSaveSendCheck->setObjectName(QStringLiteral("showSaveSendCheck"));
    showSaveTimeCheck->setObjectName(QStringLiteral("showSaveTimeCheck"));
    frameNewlineCheck->setObjectName(QStringLiteral("frameNewlineCheck"));
    keywordFilterCheck->setObjectName(QStringLiteral("keywordFilterCheck"));
    keywordEdit->setObjectName(QStringLiteral("keywordEdit"));
    themeButton->setObjectName(QStringLiteral("themeButton"));
}

bool MainWindow::keywordAccepts(const QByteArray &data, const QString &text) const
{
    const QString keyword = keywordEdit->text().trimmed();
    if (!keywordFilterCheck->isChecked() || keyword.isEmpty())
        return true;
    return hexForm(data).contains(keyword) || text.contains(keyword);
}

QString MainWindow::lineHead(bool received, const QTime &time) const
{
    QString head;
    if (showSaveTimeCheck->isChecked())
        head += timeStampForm(time.isValid() ? time : QTime::currentTime());
    if (showSaveSendCheck->isChecked())
        head += received ? tr("[接收] ") : tr("[发送] ");
    return head;
}

// A whole frame at once: a send, or a received frame the filter let through.
void MainWindow::showFrame(const QString &line, bool ownParagraph)
{
    // The pane is cleared, if full, when the line is shown: see TrafficView.
    if (autoClearCheck->isChecked())
        trafficView->allowAutoClear();
    trafficView->addPiece(TrafficPiece::FrameStart, line, ownParagraph);
    trafficView->addPiece(TrafficPiece::FrameEnd, ownParagraph ? QStringLiteral("\n") : QString(),
                          ownParagraph);
}

void MainWindow::displayData(const QByteArray &data, bool received)
{
    if (stopDisplayButton->isChecked())
        return;
    if (autoClearCheck->isChecked())
        trafficView->allowAutoClear();
    const QString text = hexRecvCheck->isChecked() && !keywordFilterCheck->isChecked()
            ? QString()
            : textForm(data);
    if (!keywordAccepts(data, text))
        return;
    const QString body = hexRecvCheck->isChecked() ? hexForm(data) : text;
    showFrame(lineHead(received, QTime()) + body, frameNewlineCheck->isChecked());
}

void MainWindow::onPortReadyRead()
{
    frameSplitter->catchUp();
    const QByteArray chunk = serialPort->readAll();
    if (plotFeed)
        plotFeed->addReceived(chunk); // PLOT FEED: until the receive path signals its reads
    recvBytes += chunk.size();
    lightTrafficLamp(recvLamp, recvLampTimer, &recvLampLit);
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

    // An answer is complete once the line has been quiet for the frame gap;
    // with no gap every read is one.
    if (rotationMode == RotationFile && waitForAnswer && !chunk.isEmpty())
        answerPending = true;
    if (frameSplitter->gap() == 0)
        onFrameSilence();

    trafficView->scheduleFlush();
}

void MainWindow::takeInPiece(const QByteArray &piece, bool startsFrame)
{
    // The receive direction is one stream: decode every piece, shown or not,
    // so a held-back partial character never joins unrelated later bytes.
    const QString text = receiveDecoder.decode(piece);
    ReceivedFrame &frame = receivedFrame;
    if (startsFrame) {
        endReceivedFrame();
        ++recvFrames;
        frame.open = true;
        frame.shown = false;
        frame.hasBytes = false;
        frame.ownParagraph = frameNewlineCheck->isChecked();
        frame.start = showSaveTimeCheck->isChecked() ? QTime::currentTime() : QTime();
        // Filtered frames are decided when complete, on all their bytes.
        frame.filtered =
                keywordFilterCheck->isChecked() && !keywordEdit->text().trimmed().isEmpty();
        frame.bytes.clear();
        frame.text.clear();
    }
    if (frame.filtered) {
        frame.bytes += piece;
        frame.text += text;
        return;
    }
    if (stopDisplayButton->isChecked())
        return;
    if (autoClearCheck->isChecked())
        trafficView->allowAutoClear();

    QString body = hexRecvCheck->isChecked() ? hexForm(piece) : text;
    if (!frame.shown) {
        trafficView->addPiece(TrafficPiece::FrameStart, lineHead(true, frame.start) + body,
                              frame.ownParagraph);
        frame.shown = true;
    } else {
        if (hexRecvCheck->isChecked() && frame.hasBytes && !piece.isEmpty())
            body.prepend(QLatin1Char(' '));
        trafficView->addPiece(TrafficPiece::Continuation, body, frame.ownParagraph);
    }
    frame.hasBytes = frame.hasBytes || !piece.isEmpty();
}

void MainWindow::endReceivedFrame()
{
    ReceivedFrame &frame = receivedFrame;
    if (!frame.open)
        return;
    frame.open = false;
    if (frame.filtered) {
        // A frame the filter drops may still clear a full pane, as any line does.
        if (!stopDisplayButton->isChecked() && autoClearCheck->isChecked())
            trafficView->allowAutoClear();
        if (!stopDisplayButton->isChecked() && keywordAccepts(frame.bytes, frame.text)) {
            const QString body = hexRecvCheck->isChecked() ? hexForm(frame.bytes) : frame.text;
            showFrame(lineHead(true, frame.start) + body, frame.ownParagraph);
        }
        frame.bytes.clear();
        frame.text.clear();
        return;
    }
    if (frame.shown)
        trafficView->addPiece(TrafficPiece::FrameEnd,
                              frame.ownParagraph ? QStringLiteral("\n") : QString(),
                              frame.ownParagraph);
}

void MainWindow::onFrameSilence()
{
    frameSplitter->endFrame();
    endReceivedFrame();
    trafficView->scheduleFlush();
    if (!answerPending)
        return;
    answerPending = false;
    if (rotationMode == RotationFile && waitForAnswer)
        handleRotationAnswer();
}

void MainWindow::onClearReceive()
{
    trafficView->clear();
}

void MainWindow::onStopDisplayToggled(bool checked)
{
    // Display reads the button's state at every chunk; nothing to do here.
    Q_UNUSED(checked)
}

void MainWindow::onClearCount()
{
    // What was counted before is shown (and captured) before the counts go.
    trafficView->flush();
    sentFrames = 0;
    sentBytes = 0;
    recvFrames = 0;
    recvBytes = 0;
    showCounters();
}

void MainWindow::showCounters()
{
    showCount(sentBytesEdit, sentBytes);
    showCount(sentFramesEdit, sentFrames);
    showCount(recvBytesEdit, recvBytes);
    showCount(recvFramesEdit, recvFrames);
}

void MainWindow::resetSendLamp()
{
    if (!trafficLampStaysLit(sendLampTimer, sendLampLit))
        sendLamp->setStyleSheet(QLatin1String(darkLampStyle));
}

void MainWindow::resetRecvLamp()
{
    if (!trafficLampStaysLit(recvLampTimer, recvLampLit))
        recvLamp->setStyleSheet(QLatin1String(darkLampStyle));
}
