#include "mainwindow.h"

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

#include <chrono>
#include <limits>

namespace {

constexpr qint64 notDueAgain = std::numeric_limits<qint64>::max();

// A monotonic clock: a system clock set back (by a time sync, say) must
// not hold back the areas' due times.
qint64 monotonicNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
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
    sendOnceCheck = new QCheckBox(QStringLiteral("只轮发一遍"));
    rotationPeriodSpin = new QSpinBox;
    rotationPeriodSpin->setRange(10, 3600000);
    rotationPeriodSpin->setSuffix(QStringLiteral(" ms"));
    rotationPeriodSpin->setValue(1000);
    chooseSendFileButton = new QPushButton(QStringLiteral("选择发送文件"));
    waitAnswerRadio = new QRadioButton(QStringLiteral("收到回答后发下一帧"));
    waitAnswerRadio->setChecked(true);
    timedRadio = new QRadioButton(QStringLiteral("定时"));

    auto *startFileButton = new QPushButton(QStringLiteral("开始文件轮发"));
    const int buttonWidth = startFileButton->sizeHint().width();
    for (QPushButton *button : { checksumButton1, checksumButton2, checksumButton3 })
        button->setMinimumWidth(buttonWidth);

    answerTimeoutSpin = new QSpinBox;
    answerTimeoutSpin->setRange(1, 300);
    answerTimeoutSpin->setSuffix(QStringLiteral(" s"));
    answerTimeoutSpin->setValue(5);
    retryCountSpin = new QSpinBox;
    retryCountSpin->setRange(0, 99);
    retryCountSpin->setValue(1);
    auto *startAreasButton = new QPushButton(QStringLiteral("开始轮发"));
    startAreasButton->setMinimumWidth(buttonWidth);

    auto *parametersGroup = new QGroupBox(QStringLiteral("轮发参数"));
    auto *parametersLayout = new QVBoxLayout(parametersGroup);
    parametersLayout->setSpacing(4);
    parametersLayout->setContentsMargins(6, 6, 6, 6);
    parametersLayout->setAlignment(Qt::AlignLeft);

    QHBoxLayout *firstRow = leftAlignedRow();
    firstRow->addWidget(sendOnceCheck);
    firstRow->addWidget(new QLabel(QStringLiteral("周期")));
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
    thirdRow->addWidget(new QLabel(QStringLiteral("超时时间")));
    thirdRow->addWidget(answerTimeoutSpin);
    thirdRow->addWidget(new QLabel(QStringLiteral("重发次数")));
    thirdRow->addWidget(retryCountSpin);
    thirdRow->addStretch();
    thirdRow->addWidget(startAreasButton);
    parametersLayout->addLayout(thirdRow);

    auto *outerGroup = new QGroupBox(QStringLiteral("发送区及发送文件轮发属性"));
    auto *outerLayout = new QHBoxLayout(outerGroup);
    outerLayout->addWidget(parametersGroup);

    struct AreaWidgets
    {
        QCheckBox *hex;
        QPushButton *checksum;
        QCheckBox *autoSend;
        QCheckBox *join;
        QSpinBox *interval;
    };
    const AreaWidgets areas[3] = {
        { hexSendCheck1, checksumButton1, autoSendCheck1, joinRotationCheck1,
          autoSendIntervalSpin1 },
        { hexSendCheck2, checksumButton2, autoSendCheck2, joinRotationCheck2,
          autoSendIntervalSpin2 },
        { hexSendCheck3, checksumButton3, autoSendCheck3, joinRotationCheck3,
          autoSendIntervalSpin3 },
    };
    for (int area = 0; area < 3; ++area) {
        auto *group = new QGroupBox(QStringLiteral("发送区%1属性").arg(area + 1));
        auto *form = new QFormLayout(group);
        form->setSpacing(4);
        form->addRow(areas[area].hex, areas[area].checksum);
        form->addRow(areas[area].autoSend, areas[area].join);
        form->addRow(new QLabel(QStringLiteral("发送周期")), areas[area].interval);
        outerLayout->addWidget(group);
    }

    connect(chooseSendFileButton, &QPushButton::clicked, this, &MainWindow::chooseSendFile);
    connect(waitAnswerRadio, &QRadioButton::toggled, this,
            [this](bool checked) { waitForAnswer = checked; });
    connect(timedRadio, &QRadioButton::toggled, this,
            [this](bool checked) { waitForAnswer = !checked; });
    connect(startFileButton, &QPushButton::clicked, this, &MainWindow::onStartFileRotation);
    connect(startAreasButton, &QPushButton::clicked, this, &MainWindow::onStartAreaRotation);
    connect(autoSendCheck1, &QCheckBox::toggled, this,
            [this](bool checked) { startAutoSend(0, checked); });
    connect(checksumButton1, &QPushButton::clicked, this, [this] { onChecksumBtnClicked(0); });
    connect(autoSendCheck2, &QCheckBox::toggled, this,
            [this](bool checked) { startAutoSend(1, checked); });
    connect(checksumButton2, &QPushButton::clicked, this, [this] { onChecksumBtnClicked(1); });
    connect(autoSendCheck3, &QCheckBox::toggled, this,
            [this](bool checked) { startAutoSend(2, checked); });
    connect(checksumButton3, &QPushButton::clicked, this, [this] { onChecksumBtnClicked(2); });

    if (mainLayout)
        mainLayout->addWidget(outerGroup);
}

void MainWindow::onStartAreaRotation()
{
    if (rotationMode == RotationAreas) {
        rotationMode = RotationIdle;
        rotationTimer->stop();
        return;
    }

    QCheckBox *const joined[3] = { joinRotationCheck1, joinRotationCheck2, joinRotationCheck3 };
    // Checked before anything is stopped, so a running file rotation is left
    // undisturbed when no area can take over.
    if (!joined[0]->isChecked() && !joined[1]->isChecked() && !joined[2]->isChecked()) {
        QMessageBox::information(this, QStringLiteral("提示"),
                                 QStringLiteral("请至少勾选一个发送区参加轮发"));
        return;
    }

    rotationTimer->stop();
    answerTimer->stop();
    rotationMode = RotationAreas;
    const qint64 now = monotonicNowMs();
    for (int area = 0; area < 3; ++area)
        nextDueMs[area] = joined[area]->isChecked() ? now : notDueAgain;
    rotationTimer->start(50);
}

void MainWindow::onStartFileRotation()
{
    if (sendFileLines.isEmpty()) {
        QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("请先选择发送文件"));
        return;
    }
    if (rotationMode == RotationFile) {
        rotationMode = RotationIdle;
        rotationTimer->stop();
        answerTimer->stop();
        return;
    }

    rotationMode = RotationFile;
    rotationTimer->stop();
    answerTimer->stop();
    currentLine = 0;
    if (!waitForAnswer)
        rotationTimer->start(rotationPeriodSpin->value());
    else if (serialPort->isOpen())
        sendNextLine();
}

void MainWindow::onRotationTimer()
{
    if (rotationMode == RotationAreas) {
        const qint64 now = monotonicNowMs();
        const bool once = sendOnceCheck->isChecked();
        QCheckBox *const joined[3] = { joinRotationCheck1, joinRotationCheck2, joinRotationCheck3 };
        QPlainTextEdit *const edits[3] = { sendEdit1, sendEdit2, sendEdit3 };
        QSpinBox *const periods[3] = { autoSendIntervalSpin1, autoSendIntervalSpin2,
                                       autoSendIntervalSpin3 };
        for (int area = 0; area < 3; ++area) {
            if (!joined[area]->isChecked() || now < nextDueMs[area])
                continue;
            sendText(edits[area]->document()->toPlainText(), area);
            nextDueMs[area] = once ? notDueAgain : now + periods[area]->value();
        }
        if (once) {
            bool finished = true;
            for (int area = 0; area < 3; ++area) {
                if (joined[area]->isChecked() && nextDueMs[area] != notDueAgain)
                    finished = false;
            }
            if (finished) {
                rotationTimer->stop();
                rotationMode = RotationIdle;
            }
        }
        return;
    }

    if (rotationMode == RotationFile) {
        if (sendFileLines.isEmpty()) {
            rotationTimer->stop();
            rotationMode = RotationIdle;
            return;
        }
        if (currentLine >= sendFileLines.size()) {
            if (sendOnceCheck->isChecked()) {
                rotationTimer->stop();
                rotationMode = RotationIdle;
                return;
            }
            currentLine = 0;
        }
        if (serialPort->isOpen())
            sendText(sendFileLines.at(currentLine), 0);
        ++currentLine;
        currentLineEdit->setText(QString::number(currentLine));
    }
}

void MainWindow::sendNextLine()
{
    sendText(sendFileLines.at(currentLine), 0);
    ++currentLine;
    currentLineEdit->setText(QString::number(currentLine));
    retriesLeft = retryCountSpin->value();
    answerTimer->start(answerTimeoutSpin->value() * 1000);
}

void MainWindow::handleRotationAnswer()
{
    answerTimer->stop();
    continueFileRotationAfterAnswer();
}

void MainWindow::continueFileRotationAfterAnswer()
{
    if (sendFileLines.isEmpty()) {
        rotationMode = RotationIdle;
        return;
    }
    if (currentLine >= sendFileLines.size()) {
        if (sendOnceCheck->isChecked()) {
            rotationMode = RotationIdle;
            return;
        }
        currentLine = 0;
    }
    if (!serialPort->isOpen())
        return;
    sendNextLine();
}

void MainWindow::handleAnswerTimeout()
{
    if (rotationMode != RotationFile || !waitForAnswer)
        return;
    answerTimer->stop();

    if (retriesLeft > 0) {
        --retriesLeft;
        if (serialPort->isOpen() && currentLine > 0 && currentLine <= sendFileLines.size())
            sendText(sendFileLines.at(currentLine - 1), 0);
        answerTimer->start(answerTimeoutSpin->value() * 1000);
        return;
    }
    continueFileRotationAfterAnswer();
}
