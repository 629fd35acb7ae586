#include "hexparser.h"
#include "mainwindow.h"
#include "trafficview.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

void MainWindow::buildSendAreaWidgets()
{
    auto newSendEdit = [] {
        auto *edit = new QPlainTextEdit;
        edit->setMaximumHeight(28);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        return edit;
    };
    sendEdit1 = newSendEdit();
    sendEdit2 = newSendEdit();
    sendEdit3 = newSendEdit();

    hexSendCheck1 = new QCheckBox(QStringLiteral("16进制"));
    hexSendCheck2 = new QCheckBox(QStringLiteral("16进制"));
    hexSendCheck3 = new QCheckBox(QStringLiteral("16进制"));
    hexSendCheck1->setChecked(true);
    hexSendCheck2->setChecked(true);
    hexSendCheck3->setChecked(true);

    checksumButton1 = new QPushButton(QStringLiteral("校验"));
    checksumButton2 = new QPushButton(QStringLiteral("校验"));
    checksumButton3 = new QPushButton(QStringLiteral("校验"));

    autoSendCheck1 = new QCheckBox(QStringLiteral("自动发"));
    autoSendCheck2 = new QCheckBox(QStringLiteral("自动发"));
    autoSendCheck3 = new QCheckBox(QStringLiteral("自动发"));

    joinRotationCheck1 = new QCheckBox(QStringLiteral("参加轮发"));
    joinRotationCheck2 = new QCheckBox(QStringLiteral("参加轮发"));
    joinRotationCheck3 = new QCheckBox(QStringLiteral("参加轮发"));

    auto newIntervalSpin = [] {
        auto *spin = new QSpinBox;
        spin->setRange(10, 3600000);
        spin->setSuffix(QStringLiteral(" ms"));
        spin->setValue(1000);
        spin->setMinimumWidth(60);
        spin->setMaximumWidth(90);
        return spin;
    };
    autoSendIntervalSpin1 = newIntervalSpin();
    autoSendIntervalSpin2 = newIntervalSpin();
    autoSendIntervalSpin3 = newIntervalSpin();
}

void MainWindow::sendText(const QString &text, int areaIndex)
{
    if (!serialPort->isOpen())
        return;

    QCheckBox *hexCheck = areaIndex == 0 ? hexSendCheck1
            : areaIndex == 1             ? hexSendCheck2
                                         : hexSendCheck3;
    const QByteArray bytes = hexCheck->isChecked() ? parseHexString(text.trimmed()) : text.toUtf8();
    if (bytes.isEmpty())
        return;

    serialPort->write(bytes);
    ++sentFrames;
    sentBytes += bytes.size();
    lightTrafficLamp(sendLamp, sendLampTimer);
    displayData(bytes, false);
    trafficView->scheduleUpdate();
}

void MainWindow::onSendClicked()
{
    onManualSend1();
}

void MainWindow::onManualSend1()
{
    sendText(sendEdit1->document()->toPlainText(), 0);
}

void MainWindow::onManualSend2()
{
    sendText(sendEdit2->document()->toPlainText(), 1);
}

void MainWindow::onManualSend3()
{
    sendText(sendEdit3->document()->toPlainText(), 2);
}

void MainWindow::startAutoSend(int areaIndex, bool checked)
{
    QTimer *timer = areaIndex == 0 ? autoSendTimer1
            : areaIndex == 1       ? autoSendTimer2
                                   : autoSendTimer3;
    QSpinBox *interval = areaIndex == 0 ? autoSendIntervalSpin1
            : areaIndex == 1            ? autoSendIntervalSpin2
                                        : autoSendIntervalSpin3;
    // The period is taken only now: a running timer keeps its interval.
    if (checked)
        timer->start(interval->value());
    else
        timer->stop();
}
