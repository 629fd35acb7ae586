#include "mainwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTime>
#include <QTimer>

namespace {

const char *const litLampStyle = "color: #00CC00; font-weight: bold;";
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
    recvEdit = new QPlainTextEdit;
    recvEdit->setReadOnly(true);
    recvEdit->setMinimumHeight(180);

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

    if (autoClearCheck->isChecked() && recvEdit->verticalScrollBar()->isVisible())
        recvEdit->clear();

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

    if (frameNewlineCheck->isChecked()) {
        line += QLatin1Char('\n');
        recvEdit->appendPlainText(line);
    } else {
        QTextCursor cursor = recvEdit->textCursor();
        cursor.movePosition(QTextCursor::End, QTextCursor::MoveAnchor);
        if (!recvEdit->document()->isEmpty())
            cursor.insertText(QStringLiteral(" "));
        cursor.insertText(line);
        recvEdit->setTextCursor(cursor);
        recvEdit->ensureCursorVisible();
    }

    if (capturing && captureFile.isOpen())
        writeCaptureLine(line);
}

void MainWindow::onPortReadyRead()
{
    const QByteArray chunk = serialPort->readAll();
    ++recvFrames;
    recvBytes += chunk.size();
    recvBytesEdit->setText(QString::number(recvBytes));
    recvFramesEdit->setText(QString::number(recvFrames));

    recvLamp->setStyleSheet(QLatin1String(litLampStyle));
    recvLampTimer->start(200);

    displayData(chunk, true);

    if (rotationMode == RotationFile && waitForAnswer && !chunk.isEmpty())
        handleRotationAnswer();
}

void MainWindow::onClearReceive()
{
    recvEdit->clear();
}

void MainWindow::onStopDisplayToggled(bool checked)
{
    // Display reads the button's state at every chunk; nothing to do here.
    Q_UNUSED(checked)
}

void MainWindow::onClearCount()
{
    sentFrames = 0;
    sentBytes = 0;
    recvFrames = 0;
    recvBytes = 0;
    sentFramesEdit->setText(QStringLiteral("0"));
    sentBytesEdit->setText(QStringLiteral("0"));
    recvFramesEdit->setText(QStringLiteral("0"));
    recvBytesEdit->setText(QStringLiteral("0"));
}

void MainWindow::resetSendLamp()
{
    sendLamp->setStyleSheet(QLatin1String(darkLampStyle));
}

void MainWindow::resetRecvLamp()
{
    recvLamp->setStyleSheet(QLatin1String(darkLampStyle));
}
