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
    for (int index = 0; index < 3; ++index) {
        SendArea &area = sendAreas[index];
        const QByteArray number = QByteArray::number(index + 1);
        area.edit = named(new QPlainTextEdit, "sendEdit" + number);
        area.edit->setMaximumHeight(28);
        area.edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

        area.hex = named(new QCheckBox(QStringLiteral("16进制")), "hexSendCheck" + number);
        area.hex->setChecked(true);
        area.checksum = named(new QPushButton(QStringLiteral("校验")), "checksumButton" + number);
        area.autoSend = named(new QCheckBox(QStringLiteral("自动发")), "autoSendCheck" + number);
        area.joinRotation =
                named(new QCheckBox(QStringLiteral("参加轮发")), "joinRotationCheck" + number);

        area.interval = named(new QSpinBox, "autoSendIntervalSpin" + number);
        area.interval->setRange(10, 3600000);
        area.interval->setSuffix(QStringLiteral(" ms"));
        area.interval->setValue(1000);
        area.interval->setMinimumWidth(60);
        area.interval->setMaximumWidth(90);

        area.timer = new QTimer(this);
        connect(area.timer, &QTimer::timeout, this, [this, index] { sendFromArea(index); });
        area.checksumKind = &lastChecksumKind[index];
        area.nextDueMs = &nextDueMs[index];
    }
}

void MainWindow::sendText(const QString &text, int areaIndex)
{
    if (!serialPort->isOpen())
        return;

    const bool hex = sendAreas[unsigned(areaIndex) < 3 ? areaIndex : 2].hex->isChecked();
    const QByteArray bytes = hex ? parseHexString(text.trimmed()) : text.toUtf8();
    if (bytes.isEmpty())
        return;

    serialPort->write(bytes);
    ++sentFrames;
    sentBytes += bytes.size();
    lightTrafficLamp(sendLamp, sendLampTimer);
    displayData(bytes, false);
    trafficView->scheduleFlush();
}

void MainWindow::sendFromArea(int areaIndex)
{
    sendText(sendAreas[areaIndex].edit->document()->toPlainText(), areaIndex);
}

void MainWindow::onSendClicked()
{
    onManualSend1();
}

void MainWindow::onManualSend1()
{
    sendFromArea(0);
}

void MainWindow::onManualSend2()
{
    sendFromArea(1);
}

void MainWindow::onManualSend3()
{
    sendFromArea(2);
}

void MainWindow::startAutoSend(int areaIndex, bool checked)
{
    const SendArea &area = sendAreas[areaIndex];
    // The period is taken only now: a running timer keeps its interval.
    if (checked)
        area.timer->start(area.interval->value());
    else
        area.timer->stop();
}
