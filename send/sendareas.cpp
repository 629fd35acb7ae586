#include "hexparser.h"
#include "linetoolbar.h"
#include "mainwindow.h"
#include "portlink.h"
#include "trafficview.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>

void MainWindow::buildSendAreaWidgets()
{
    for (int index = 0; index < 3; ++index) {
        SendArea &area = sendAreas[index];
        const QByteArray number = QByteArray::number(index + 1);
        area.edit = named(new QPlainTextEdit, "sendEdit" + number);
        area.edit->setMaximumHeight(28);
        area.edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

        area.hex = named(new QCheckBox(tr("16进制")), "hexSendCheck" + number);
        area.hex->setChecked(true);
        area.checksum = named(new QPushButton(tr("校验")), "checksumButton" + number);
        area.autoSend = named(new QCheckBox(tr("自动发")), "autoSendCheck" + number);
        area.joinRotation = named(new QCheckBox(tr("参加轮发")), "joinRotationCheck" + number);

        area.interval = named(new QSpinBox, "autoSendIntervalSpin" + number);
        area.interval->setRange(10, 3600000);
        area.interval->setSuffix(QStringLiteral(" ms"));
        area.interval->setValue(1000);
        area.interval->setMinimumWidth(60);
        area.interval->setMaximumWidth(90);

        area.timer = new QTimer(this);
        connect(area.timer, &QTimer::timeout, this, [this, index] { sendPeriodically(index); });
        area.checksumKind = &lastChecksumKind[index];
        area.nextDueMs = &nextDueMs[index];
    }
}

void MainWindow::sendText(const QString &text, int areaIndex)
{
    if (!portLink->isOpen())
        return;

    const bool hex = sendAreas[unsigned(areaIndex) < 3 ? areaIndex : 2].hex->isChecked();
    QByteArray bytes = hex ? parseHexString(text.trimmed()) : text.toUtf8();
    if (bytes.isEmpty())
        return;
    // Text frames end as the user chose; hex frames are sent as written.
    if (!hex)
        bytes += lineToolBar->lineEnding();

    portLink->write(bytes);
    // Other sends due at this moment (several timers, a tick of several
    // areas) run before the port passes the bytes on: they are not a backlog.
    if (bytesWrittenThisPass == 0)
        QTimer::singleShot(0, this, [this] { bytesWrittenThisPass = 0; });
    bytesWrittenThisPass += bytes.size();
    ++sentFrames;
    sentBytes += bytes.size();
    sendLampControl->light();
    displayData(bytes, false);
}

void MainWindow::sendFromArea(int areaIndex)
{
    sendText(sendAreas[areaIndex].edit->document()->toPlainText(), areaIndex);
}

bool MainWindow::lineBusy() const
{
    return portLink->isOpen() && portLink->bytesToWrite() > bytesWrittenThisPass;
}

// A periodic send that comes due while earlier bytes still wait to leave is
// skipped: on a line slower than the sends they would pile up without end.
void MainWindow::sendPeriodically(int areaIndex)
{
    if (lineBusy())
        noteSkippedSend();
    else
        sendFromArea(areaIndex);
}

void MainWindow::noteSkippedSend()
{
    ++skippedSends;
    statusBar()->showMessage(
            tr("线路跟不上：前面的数据尚未发完，已跳过 %1 次定时发送").arg(skippedSends));
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
