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
    connectReceivePath();

    auto *clearReceiveButton = named(new QPushButton(tr("清空接收区")), "clearReceiveButton");
    connect(clearReceiveButton, &QPushButton::clicked, this, &MainWindow::onClearReceive);
    auto *changeFileButton = named(new QPushButton(tr("更改文件")), "changeFileButton");
    connect(changeFileButton, &QPushButton::clicked, this, [this] { chooseCaptureFileName(); });
    auto *clearCountButton = named(new QPushButton(tr("清空计数")), "clearCountButton");
    connect(clearCountButton, &QPushButton::clicked, this, &MainWindow::onClearCount);

    auto *upperBlock = new QVBoxLayout;
    auto *trafficRow = new QHBoxLayout;
    auto *leftColumn = new QVBoxLayout;
    leftColumn->setContentsMargins(0, 0, 0, 0);
    auto *firstLeftRow = new QHBoxLayout;

    auto *serialGroup = named(new QGroupBox(tr("串口参数")), "serialGroup");
    serialGroup->setMaximumWidth(155);
    serialGroup->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto *serialForm = new QFormLayout(serialGroup);
    serialForm->setContentsMargins(6, 6, 6, 6);
    serialForm->setSpacing(2);
    serialForm->addRow(tr("端口号"), portCombo);
    serialForm->addRow(tr("波特率"), baudCombo);
    serialForm->addRow(tr("数据位"), dataBitsCombo);
    serialForm->addRow(tr("校验位"), parityCombo);
    serialForm->addRow(tr("停止位"), stopBitsCombo);
    serialForm->addRow(tr("状态"), rowOfTwo(statusLamp, openButton));
    serialForm->addRow(QString(), rowOfTwo(sendLamp, recvLamp));
    firstLeftRow->addWidget(serialGroup);

    auto *counterGroup = named(new QGroupBox(tr("计数器")), "counterGroup");
    counterGroup->setMaximumWidth(155);
    counterGroup->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto *counterForm = new QFormLayout(counterGroup);
    counterForm->setContentsMargins(6, 6, 6, 6);
    counterForm->setSpacing(2);
    counterForm->setLabelAlignment(Qt::AlignLeft);
    counterForm->addRow(tr("发帧数"), sentFramesEdit);
    counterForm->addRow(tr("发字节数"), sentBytesEdit);
    counterForm->addRow(tr("收帧数"), recvFramesEdit);
    counterForm->addRow(tr("收字节数"), recvBytesEdit);
    counterForm->addRow(tr("清空计数"), clearCountButton);
    counterForm->addRow(tr("文件行数"), fileLinesEdit);
    counterForm->addRow(tr("当前发送行"), currentLineEdit);
    firstLeftRow->addWidget(counterGroup);
    leftColumn->addLayout(firstLeftRow);

    auto *secondLeftRow = new QHBoxLayout;
    auto *receiveGroup = named(new QGroupBox(tr("接收区设置")), "receiveGroup");
    receiveGroup->setFixedWidth(155);
    auto *receiveLayout = new QVBoxLayout(receiveGroup);
    receiveLayout->addLayout(layoutOfTwo(clearReceiveButton, hexRecvCheck));
    receiveLayout->addLayout(layoutOfTwo(stopDisplayButton, autoClearCheck));
    receiveLayout->addLayout(layoutOfTwo(saveDataButton, changeFileButton));
    receiveLayout->addWidget(captureFileEdit);
    secondLeftRow->addWidget(receiveGroup);

    auto *optionsGroup = named(new QGroupBox(tr("显示选项")), "optionsGroup");
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
    keywordRow->addWidget(new QLabel(tr("关键字")));
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
    // The find bar comes under the pane once it is first opened.
    paneColumn = new QVBoxLayout;
    paneColumn->setContentsMargins(0, 0, 0, 0);
    paneColumn->addWidget(recvEdit, 1);
    trafficRow->addLayout(paneColumn, 1);
    upperBlock->addLayout(trafficRow, 1);

    buildSendAreaWidgets();

    auto *sendGroup = named(new QGroupBox(tr("发送区")), "sendGroup");
    auto *sendLayout = new QVBoxLayout(sendGroup);
    for (int index = 0; index < 3; ++index) {
        const QString number = QString::number(index + 1);
        auto *label = new QLabel(tr("发送区%1").arg(number));
        label->setMinimumWidth(72);
        QPlainTextEdit *edit = sendAreas[index].edit;
        auto *clearButton = named(new QPushButton(tr("清空")), "clearSendButton" + number);
        connect(clearButton, &QPushButton::clicked, this, [edit] { edit->clear(); });
        auto *manualSendButton =
                named(new QPushButton(tr("手动发送")), "manualSendButton" + number);
        connect(manualSendButton, &QPushButton::clicked, this,
                [this, index] { sendFromArea(index); });
        auto *row = new QHBoxLayout;
        row->addWidget(label);
        row->addWidget(edit, 1);
        row->addWidget(clearButton);
        row->addWidget(manualSendButton);
        sendLayout->addLayout(row);
    }
    upperBlock->addWidget(sendGroup);
    mainLayout->addLayout(upperBlock);

    buildRotationGroup(mainLayout);
    buildLineToolBar();

    setCentralWidget(central);
}
