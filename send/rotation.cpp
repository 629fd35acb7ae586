#include "answerwait.h"
#include "clock.h"
#include "mainwindow.h"
#include "portlink.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 notDueAgain = std::numeric_limits<qint64>::max();

// A monotonic clock: a system clock set back (by a time sync, say) must
// not hold back the areas' due times.
qint64 monotonicNowMs()
{
    return programClock().nowMs();
}

QHBoxLayout *leftAlignedRow()
{
    auto *row = new QHBoxLayout;
    row->setAlignment(Qt::AlignLeft);
    return row;
}

} // namespace

void MainWindow::buildRotationGroup(QVBoxLayout *mainLayout)
{
    sendOnceCheck = named(new QCheckBox(tr("只轮发一遍")), "sendOnceCheck");
    rotationPeriodSpin = named(new QSpinBox, "rotationPeriodSpin");
    rotationPeriodSpin->setRange(10, 3600000);
    rotationPeriodSpin->setSuffix(QStringLiteral(" ms"));
    rotationPeriodSpin->setValue(1000);
    chooseSendFileButton = named(new QPushButton(tr("选择发送文件")), "chooseSendFileButton");
    waitAnswerRadio = named(new QRadioButton(tr("收到回答后发下一帧")), "waitAnswerRadio");
    waitAnswerRadio->setChecked(true);
    timedRadio = named(new QRadioButton(tr("定时")), "timedRadio");

    auto *startFileButton = named(new QPushButton(tr("开始文件轮发")), "startFileRotationButton");
    const int buttonWidth = startFileButton->sizeHint().width();
    for (const SendArea &area : sendAreas)
        area.checksum->setMinimumWidth(buttonWidth);

    answerTimeoutSpin = named(new QSpinBox, "answerTimeoutSpin");
    answerTimeoutSpin->setRange(1, 300);
    answerTimeoutSpin->setSuffix(QStringLiteral(" s"));
    answerTimeoutSpin->setValue(5);
    retryCountSpin = named(new QSpinBox, "retryCountSpin");
    retryCountSpin->setRange(0, 99);
    retryCountSpin->setValue(1);
    auto *startAreasButton = named(new QPushButton(tr("开始轮发")), "startAreaRotationButton");
    startAreasButton->setMinimumWidth(buttonWidth);

    auto *parametersGroup = named(new QGroupBox(tr("轮发参数")), "rotationParametersGroup");
    auto *parametersLayout = new QVBoxLayout(parametersGroup);
    parametersLayout->setSpacing(4);
    parametersLayout->setContentsMargins(6, 6, 6, 6);
    parametersLayout->setAlignment(Qt::AlignLeft);

    QHBoxLayout *firstRow = leftAlignedRow();
    firstRow->addWidget(sendOnceCheck);
    firstRow->addWidget(new QLabel(tr("周期")));
    firstRow->addWidget(rotationPeriodSpin);
    firstRow->addStretch();
    firstRow->addWidget(chooseSendFileButton);
    parametersLayout->addLayout(firstRow);

    QHBoxLayout *secondRow = leftAlignedRow();
    secondRow->addWidget(waitAnswerRadio);
    secondRow->addWidget(timedRadio);
    secondRow->addStretch();
    secondRow->addWidget(startFileButton);
    parametersLayout->addLayout(secondRow);

    QHBoxLayout *thirdRow = leftAlignedRow();
    thirdRow->addWidget(new QLabel(tr("超时时间")));
    thirdRow->addWidget(answerTimeoutSpin);
    thirdRow->addWidget(new QLabel(tr("重发次数")));
    thirdRow->addWidget(retryCountSpin);
    thirdRow->addStretch();
    thirdRow->addWidget(startAreasButton);
    parametersLayout->addLayout(thirdRow);

    auto *outerGroup = named(new QGroupBox(tr("发送区及发送文件轮发属性")), "rotationGroup");
    auto *outerLayout = new QHBoxLayout(outerGroup);
    outerLayout->addWidget(parametersGroup);

    for (int index = 0; index < 3; ++index) {
        const SendArea &area = sendAreas[index];
        auto *group = named(new QGroupBox(tr("发送区%1属性").arg(index + 1)),
                            QStringLiteral("sendAreaGroup%1").arg(index + 1));
        auto *form = new QFormLayout(group);
        form->setSpacing(4);
        form->addRow(area.hex, area.checksum);
        form->addRow(area.autoSend, area.joinRotation);
        form->addRow(new QLabel(tr("发送周期")), area.interval);
        outerLayout->addWidget(group);
        connect(area.autoSend, &QCheckBox::toggled, this,
                [this, index](bool checked) { startAutoSend(index, checked); });
        connect(area.checksum, &QPushButton::clicked, this,
                [this, index] { onChecksumBtnClicked(index); });
    }

    connect(chooseSendFileButton, &QPushButton::clicked, this, &MainWindow::chooseSendFile);
    connect(waitAnswerRadio, &QRadioButton::toggled, this,
            [this](bool checked) { waitForAnswer = checked; });
    connect(timedRadio, &QRadioButton::toggled, this,
            [this](bool checked) { waitForAnswer = !checked; });
    connect(startFileButton, &QPushButton::clicked, this, &MainWindow::onStartFileRotation);
    connect(startAreasButton, &QPushButton::clicked, this, &MainWindow::onStartAreaRotation);

    if (mainLayout)
        mainLayout->addWidget(outerGroup);
}

void MainWindow::onStartAreaRotation()
{
    if (rotationMode == RotationAreas) {
        rotationMode = RotationIdle;
        rotationTick->stop();
        return;
    }

    // Checked before anything is stopped, so a running file rotation is left
    // undisturbed when no area can take over.
    if (std::none_of(sendAreas.begin(), sendAreas.end(),
                     [](const SendArea &area) { return area.joinRotation->isChecked(); })) {
        QMessageBox::information(this, tr("提示"), tr("请至少勾选一个发送区参加轮发"));
        return;
    }

    rotationTick->stop();
    answerWait->stop();
    rotationMode = RotationAreas;
    const qint64 now = monotonicNowMs();
    for (const SendArea &area : sendAreas)
        *area.nextDueMs = area.joinRotation->isChecked() ? now : notDueAgain;
    rotationTick->start(50);
}

void MainWindow::onStartFileRotation()
{
    if (sendFileLines.isEmpty()) {
        QMessageBox::information(this, tr("提示"), tr("请先选择发送文件"));
        return;
    }
    if (rotationMode == RotationFile) {
        rotationMode = RotationIdle;
        rotationTick->stop();
        answerWait->stop();
        return;
    }

    rotationMode = RotationFile;
    rotationTick->stop();
    answerWait->stop();
    currentLine = 0;
    if (!waitForAnswer)
        rotationTick->start(rotationPeriodSpin->value());
    else if (portLink->isOpen())
        sendNextLine();
}

void MainWindow::onRotationTimer()
{
    if (rotationMode == RotationAreas) {
        const qint64 now = monotonicNowMs();
        const bool once = sendOnceCheck->isChecked();
        bool finished = true;
        for (int index = 0; index < 3; ++index) {
            const SendArea &area = sendAreas[index];
            if (!area.joinRotation->isChecked())
                continue;
            if (now >= *area.nextDueMs) {
                sendPeriodically(index);
                *area.nextDueMs = once ? notDueAgain : now + area.interval->value();
            }
            finished = finished && *area.nextDueMs == notDueAgain;
        }
        if (once && finished) {
            rotationTick->stop();
            rotationMode = RotationIdle;
        }
        return;
    }

    // A timed file rotation waits for a slow line rather than lose a line.
    if (rotationMode == RotationFile && lineBusy())
        return;
    if (rotationMode == RotationFile && wrapOrEndFileRotation()) {
        if (portLink->isOpen())
            sendText(sendFileLines.at(currentLine), 0);
        ++currentLine;
        currentLineEdit->setText(QString::number(currentLine));
    }
}

// At the end of the file the rotation starts over, or ends when
// "只轮发一遍" is on or nothing is loaded; false when it has ended.
bool MainWindow::wrapOrEndFileRotation()
{
    if (currentLine >= sendFileLines.size() && !sendOnceCheck->isChecked())
        currentLine = 0;
    if (currentLine < sendFileLines.size())
        return true;
    rotationTick->stop();
    rotationMode = RotationIdle;
    return false;
}

void MainWindow::sendNextLine()
{
    sendText(sendFileLines.at(currentLine), 0);
    ++currentLine;
    currentLineEdit->setText(QString::number(currentLine));
    retriesLeft = retryCountSpin->value();
    answerWait->start(answerTimeoutSpin->value() * 1000);
}

void MainWindow::handleRotationAnswer()
{
    answerWait->stop();
    continueFileRotationAfterAnswer();
}

void MainWindow::continueFileRotationAfterAnswer()
{
    if (wrapOrEndFileRotation() && portLink->isOpen())
        sendNextLine();
}

void MainWindow::handleAnswerTimeout()
{
    if (rotationMode != RotationFile || !waitForAnswer)
        return;
    answerWait->stop();

    if (retriesLeft > 0) {
        --retriesLeft;
        if (portLink->isOpen() && currentLine > 0 && currentLine <= sendFileLines.size())
            sendText(sendFileLines.at(currentLine - 1), 0);
        answerWait->start(answerTimeoutSpin->value() * 1000);
        return;
    }
    continueFileRotationAfterAnswer();
}
