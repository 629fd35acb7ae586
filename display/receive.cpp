#include "mainwindow.h"
#include "pacer.h"
#include "trafficpane.h"
#include "trafficview.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
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
    QFont paneFont = recvEdit->font();
    paneFont.setStyleStrategy(QFont::PreferNoShaping);
    recvEdit->setFont(paneFont);

    trafficView = new TrafficView(recvEdit, this);
    // The counters change with every flush; repainting them ten times a
    // second is enough to read them, and the last request is always served.
    // They never run ahead of the pane: with lines still to come, the flush
    // that brings them asks again.
    auto *counterPacer = new Pacer(100, this);
    connect(counterPacer, &Pacer::due, this, [this] {
        if (!trafficView->hasPending())
            showCounters();
    });
    connect(trafficView, &TrafficView::flushed, this,
            [this, counterPacer](const QStringList &lines) {
                if (capturing && captureFile.isOpen() && !lines.isEmpty())
                    writeCaptureLines(lines);
                counterPacer->request();
            });
    // Closing the port ends its traffic: show the last of it now.
    connect(serialPort, &QIODevice::aboutToClose, trafficView, &TrafficView::flush);
    connect(serialPort, &QIODevice::aboutToClose, this, &MainWindow::showCounters);

    stopDisplayButton = new QPushButton(QStringLiteral("停止显示"));
    stopDisplayButton->setCheckable(true);
    connect(stopDisplayButton, &QPushButton::toggled, this, [this](bool checked) {
        stopDisplayButton->setText(checked ? QStringLiteral("继续显示")
                                           : QStringLiteral("停止显示"));
    });

    saveDataButton = new QPushButton(QStringLiteral("保存数据"));
    connect(saveDataButton, &QPushButton::clicked, this, &MainWindow::onSaveData);

    captureFileEdit = new QLineEdit(QStringLiteral("data.txt"));
    captureFileEdit->setMaximumWidth(120);

    hexRecvCheck = new QCheckBox(QStringLiteral("16进制"));
    hexRecvCheck->setChecked(true);
    autoClearCheck = new QCheckBox(QStringLiteral("自动清"));
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

    showSaveSendCheck = new QCheckBox(QStringLiteral("显示保存发送"));
    showSaveTimeCheck = new QCheckBox(QStringLiteral("显示保存时间"));
    frameNewlineCheck = new QCheckBox(QStringLiteral("帧换行"));
    keywordFilterCheck = new QCheckBox(QStringLiteral("关键字过滤接收"));

    keywordEdit = new QLineEdit;
    keywordEdit->setPlaceholderText(QStringLiteral("关键字"));
    keywordEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    themeButton = new QPushButton(QStringLiteral("切换主题"));

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
    // The receive direction is one stream: decode every chunk, shown or not,
    // so a held-back partial character never joins unrelated later bytes.
    QString text;
    bool textDecoded = false;
    if (received) {
        text = receiveDecoder.decode(data);
        textDecoded = true;
    }
    auto textOfChunk = [&]() -> const QString & {
        if (!textDecoded) {
            text = textForm(data);
            textDecoded = true;
        }
        return text;
    };

    if (stopDisplayButton->isChecked())
        return;

    // The pane is cleared, if full, when the line is shown: see TrafficView.
    if (autoClearCheck->isChecked())
        trafficView->allowAutoClear();

    const QString keyword = keywordEdit->text().trimmed();
    if (keywordFilterCheck->isChecked() && !keyword.isEmpty()) {
        if (!hexForm(data).contains(keyword) && !textOfChunk().contains(keyword))
            return;
    }

    QString line;
    if (showSaveTimeCheck->isChecked())
        line += timeStampForm(QTime::currentTime());
    if (showSaveSendCheck->isChecked())
        line += received ? QStringLiteral("[接收] ") : QStringLiteral("[发送] ");
    line += hexRecvCheck->isChecked() ? hexForm(data) : textOfChunk();

    const bool ownParagraph = frameNewlineCheck->isChecked();
    if (ownParagraph)
        line += QLatin1Char('\n');
    trafficView->addLine(line, ownParagraph);
}

void MainWindow::onPortReadyRead()
{
    const QByteArray chunk = serialPort->readAll();
    ++recvFrames;
    recvBytes += chunk.size();
    lightTrafficLamp(recvLamp, recvLampTimer);

    displayData(chunk, true);

    // The answer is the chunk itself, not its display, which may come later.
    if (rotationMode == RotationFile && waitForAnswer && !chunk.isEmpty())
        handleRotationAnswer();

    trafficView->scheduleFlush();
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
    sendLamp->setStyleSheet(QLatin1String(darkLampStyle));
}

void MainWindow::resetRecvLamp()
{
    recvLamp->setStyleSheet(QLatin1String(darkLampStyle));
}
