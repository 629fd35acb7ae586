#include "mainwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QWidget *rowOfTwo(QWidget *left, QWidget *right)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(left);
    layout->addWidget(right);
    return row;
}

QHBoxLayout *layoutOfTwo(QWidget *left, QWidget *right)
{
    auto *row = new QHBoxLayout;
    row->addWidget(left);
    row->addWidget(right);
    return row;
}

} // namespace

void MainWindow::buildLayout()
{
    auto *central = new QWidget(this);
    auto *mainLayout = new QVBoxLayout(central);
    mainLayout->setSpacing(6);
    mainLayout->setContentsMargins(8, 8, 8, 8);

    buildSerialGroup();
    buildReceivePane();
    buildCountersAndOptions();

    auto *clearReceiveButton = new QPushButton(QStringLiteral("清空接收区"));
    connect(clearReceiveButton, &QPushButton::clicked, this, &MainWindow::onClearReceive);
    auto *changeFileButton = new QPushButton(QStringLiteral("更改文件"));
    connect(changeFileButton, &QPushButton::clicked, this, [this] { chooseCaptureFileName(); });
    auto *clearCountButton = new QPushButton(QStringLiteral("清空计数"));
    connect(clearCountButton, &QPushButton::clicked, this, &MainWindow::onClearCount);

    auto *upperBlock = new QVBoxLayout;
    auto *trafficRow = new QHBoxLayout;
    auto *leftColumn = new QVBoxLayout;
    leftColumn->setContentsMargins(0, 0, 0, 0);
    auto *firstLeftRow = new QHBoxLayout;

    auto *serialGroup = new QGroupBox(QStringLiteral("串口参数"));
    serialGroup->setMaximumWidth(155);
    serialGroup->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto *serialForm = new QFormLayout(serialGroup);
    serialForm->setContentsMargins(6, 6, 6, 6);
    serialForm->setSpacing(2);
    serialForm->addRow(QStringLiteral("端口号"), portCombo);
    serialForm->addRow(QStringLiteral("波特率"), baudCombo);
    serialForm->addRow(QStringLiteral("数据位"), dataBitsCombo);
    serialForm->addRow(QStringLiteral("校验位"), parityCombo);
    serialForm->addRow(QStringLiteral("停止位"), stopBitsCombo);
    serialForm->addRow(QStringLiteral("状态"), rowOfTwo(statusLamp, openButton));
    serialForm->addRow(QString(), rowOfTwo(sendLamp, recvLamp));
    firstLeftRow->addWidget(serialGroup);

    auto *counterGroup = new QGroupBox(QStringLiteral("计数器"));
    counterGroup->setMaximumWidth(155);
    counterGroup->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto *counterForm = new QFormLayout(counterGroup);
    counterForm->setContentsMargins(6, 6, 6, 6);
    counterForm->setSpacing(2);
    counterForm->setLabelAlignment(Qt::AlignLeft);
    counterForm->addRow(QStringLiteral("发帧数"), sentFramesEdit);
    counterForm->addRow(QStringLiteral("发字节数"), sentBytesEdit);
    counterForm->addRow(QStringLiteral("收帧数"), recvFramesEdit);
    counterForm->addRow(QStringLiteral("收字节数"), recvBytesEdit);
    counterForm->addRow(QStringLiteral("清空计数"), clearCountButton);
    counterForm->addRow(QStringLiteral("文件行数"), fileLinesEdit);
    counterForm->addRow(QStringLiteral("当前发送行"), currentLineEdit);
    firstLeftRow->addWidget(counterGroup);
    leftColumn->addLayout(firstLeftRow);

    auto *secondLeftRow = new QHBoxLayout;
    auto *receiveGroup = new QGroupBox(QStringLiteral("接收区设置"));
    receiveGroup->setFixedWidth(155);
    auto *receiveLayout = new QVBoxLayout(receiveGroup);
    receiveLayout->addLayout(layoutOfTwo(clearReceiveButton, hexRecvCheck));
    receiveLayout->addLayout(layoutOfTwo(stopDisplayButton, autoClearCheck));
    receiveLayout->addLayout(layoutOfTwo(saveDataButton, changeFileButton));
    receiveLayout->addWidget(captureFileEdit);
    secondLeftRow->addWidget(receiveGroup);

    auto *optionsGroup = new QGroupBox(QStringLiteral("显示选项"));
    optionsGroup->setFixedWidth(155);
    auto *optionsLayout = new QVBoxLayout(optionsGroup);
    optionsLayout->setContentsMargins(8, 4, 8, 2);
    optionsLayout->setSpacing(4);
    optionsLayout->setAlignment(Qt::AlignLeft);
    optionsLayout->addWidget(showSaveSendCheck);
    optionsLayout->addWidget(showSaveTimeCheck);
    optionsLayout->addWidget(frameNewlineCheck);
    optionsLayout->addWidget(keywordFilterCheck);
    auto *keywordRow = new QHBoxLayout;
    keywordRow->setAlignment(Qt::AlignLeft);
    keywordRow->addWidget(new QLabel(QStringLiteral("关键字")));
    keywordEdit->setMaximumWidth(80);
    keywordRow->addWidget(keywordEdit);
    optionsLayout->addLayout(keywordRow);
    optionsLayout->addWidget(themeButton);
    connect(themeButton, &QPushButton::clicked, this, &MainWindow::onThemeClicked);
    secondLeftRow->addWidget(optionsGroup);

    secondLeftRow->addStretch(0);
    leftColumn->addLayout(secondLeftRow);
    trafficRow->addLayout(leftColumn);

    recvEdit->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: white; }"));
    trafficRow->addWidget(recvEdit, 1);
    upperBlock->addLayout(trafficRow, 1);

    buildSendAreaWidgets();

    QLabel *areaLabels[3];
    for (int area = 0; area < 3; ++area) {
        areaLabels[area] = new QLabel(QStringLiteral("发送区%1").arg(area + 1));
        areaLabels[area]->setMinimumWidth(72);
    }
    auto *sendGroup = new QGroupBox(QStringLiteral("发送区"));
    auto *sendLayout = new QVBoxLayout(sendGroup);
    QPlainTextEdit *const edits[3] = { sendEdit1, sendEdit2, sendEdit3 };
    for (int area = 0; area < 3; ++area) {
        auto *row = new QHBoxLayout;
        row->addWidget(areaLabels[area]);
        row->addWidget(edits[area], 1);
        auto *clearButton = new QPushButton(QStringLiteral("清空"));
        QPlainTextEdit *edit = edits[area];
        connect(clearButton, &QPushButton::clicked, this, [edit] { edit->clear(); });
        auto *manualSendButton = new QPushButton(QStringLiteral("手动发送"));
        if (area == 0)
            connect(manualSendButton, &QPushButton::clicked, this, &MainWindow::onManualSend1);
        else if (area == 1)
            connect(manualSendButton, &QPushButton::clicked, this, &MainWindow::onManualSend2);
        else
            connect(manualSendButton, &QPushButton::clicked, this, &MainWindow::onManualSend3);
        row->addWidget(clearButton);
        row->addWidget(manualSendButton);
        sendLayout->addLayout(row);
    }
    upperBlock->addWidget(sendGroup);
    mainLayout->addLayout(upperBlock);

    buildRotationGroup(mainLayout);

    setCentralWidget(central);
}
