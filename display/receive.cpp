#include "answerwait.h"
#include "countershow.h"
#include "framesplitter.h"
#include "mainwindow.h"
#include "portlink.h"
#include "receivepath.h"
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
#include <QTimer>

namespace {

const char *const darkLampStyle = "color: gray;";

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

    trafficView = named(new TrafficView(recvEdit, this), "trafficView");
    frameGapSpin = named(new QSpinBox, "frameGapSpin");
    frameGapSpin->setRange(0, 1000);
    frameGapSpin->setSuffix(tr(" ms"));
    frameGapSpin->setValue(FrameSplitter::defaultGapMs);
    frameGapSpin->setToolTip(
            tr("收到的字节之间静默达到此时长才算一帧结束；0 表示每次读取即为一帧"));
    // Always at hand, and moves none of the window's own controls.
    auto *frameGapLabel = new QLabel(tr("帧间隔"));
    frameGapLabel->setBuddy(frameGapSpin);
    statusBar()->addPermanentWidget(frameGapLabel);
    statusBar()->addPermanentWidget(frameGapSpin);

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

// The receive path and its listeners, once every option widget exists.
void MainWindow::connectReceivePath()
{
    DisplayOptions options;
    options.stopDisplay = stopDisplayButton;
    options.autoClear = autoClearCheck;
    options.hex = hexRecvCheck;
    options.timeStamp = showSaveTimeCheck;
    options.directionTag = showSaveSendCheck;
    options.ownParagraph = frameNewlineCheck;
    options.keywordFilter = keywordFilterCheck;
    options.keyword = keywordEdit;
    receivePath = named(new ReceivePath(options, this), "receivePath");
    connect(frameGapSpin, QOverload<int>::of(&QSpinBox::valueChanged), receivePath,
            &ReceivePath::setGap);

    connect(receivePath, &ReceivePath::piece, trafficView, &TrafficView::addPiece);
    connect(receivePath, &ReceivePath::changed, trafficView, &TrafficView::scheduleFlush);
    connect(receivePath, &ReceivePath::frameStarted, this, [this] { ++recvFrames; });
    connect(receivePath, &ReceivePath::bytesReceived, this, [this](const QByteArray &chunk) {
        recvBytes += chunk.size();
        recvLampControl->light();
        // An answer that has begun counts: its time-out no longer applies.
        if (rotationMode == RotationFile && waitForAnswer && !chunk.isEmpty())
            answerWait->answerBegun();
    });
    connect(receivePath, &ReceivePath::frameEnded, answerWait, &AnswerWait::lineQuiet);

    counterShow = named(
            new CounterShow({ sentFramesEdit, sentBytesEdit, recvFramesEdit, recvBytesEdit }, this),
            "counterShow");
    // The counters are shown with the lines they counted.
    connect(trafficView, &TrafficView::flushed, this, [this](const QVector<TrafficPiece> &pieces) {
        if (capturing && captureFile.isOpen() && !pieces.isEmpty())
            writeCapture(pieces);
        showCounters(trafficView->isFlushingInStream());
    });
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

void MainWindow::displayData(const QByteArray &data, bool received)
{
    if (received)
        receivePath->showChunk(data, true);
    else
        receivePath->takeSent(data);
}

void MainWindow::onPortReadyRead()
{
    receivePath->takeRead(portLink->readAll());
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

void MainWindow::showCounters(bool inStream)
{
    counterShow->show({ sentFrames, sentBytes, recvFrames, recvBytes }, inStream);
}

void MainWindow::resetSendLamp()
{
    sendLamp->setStyleSheet(QLatin1String(darkLampStyle));
}

void MainWindow::resetRecvLamp()
{
    recvLamp->setStyleSheet(QLatin1String(darkLampStyle));
}
