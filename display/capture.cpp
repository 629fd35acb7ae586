#include "capturewriter.h"
#include "mainwindow.h"
#include "trafficview.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

void MainWindow::onSaveData()
{
    // Lines are captured when shown: what came before the click is settled first.
    trafficView->flush();
    if (capturing) {
        finishCaptureLine();
        captureFile.close();
        capturing = false;
        saveDataButton->setText(tr("保存数据"));
        return;
    }

    const QString path = QFileDialog::getSaveFileName(
            this, tr("保存接收数据"), captureFileEdit->text(), QStringLiteral("Text (*.txt)"));
    if (path.isEmpty())
        return;

    // Nothing that arrived while the dialog was open belongs to the new file.
    trafficView->flush();
    captureFile.setFileName(path);
    if (captureFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        capturing = true;
        captureWriter.started();
        saveDataButton->setText(tr("停止保存"));
    } else {
        QMessageBox::warning(this, tr("错误"), tr("无法打开文件: ") + captureFile.errorString());
    }
}

void MainWindow::chooseCaptureFileName()
{
    const QString path = QFileDialog::getSaveFileName(
            this, tr("选择保存文件"), captureFileEdit->text(), QStringLiteral("Text (*.txt)"));
    if (!path.isEmpty())
        captureFileEdit->setText(QFileInfo(path).fileName());
}

void MainWindow::writeCapture(const QVector<TrafficPiece> &pieces)
{
    if (captureWriter.write(pieces))
        return;

    // Data the user asked to record is being lost: stop capturing before
    // telling, so the box cannot be followed by one per chunk.
    const QString reason = captureFile.errorString();
    captureFile.close();
    capturing = false;
    saveDataButton->setText(tr("保存数据"));
    // Told once the ready-read handler has returned: the port does not signal
    // again while its handler runs, so data arriving during the box would
    // otherwise wait unseen for the next arrival.
    QTimer::singleShot(0, this, [this, reason] {
        QMessageBox::warning(this, tr("错误"), tr("无法写入文件: ") + reason);
    });
}

void MainWindow::finishCaptureLine()
{
    if (capturing)
        captureWriter.finishLine();
}
