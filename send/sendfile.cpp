#include "mainwindow.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

void MainWindow::chooseSendFile()
{
    const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("选择发送文件"), QString(),
                                         QStringLiteral("Text (*.txt);;All (*)"));
    if (path.isEmpty())
        return;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("无法打开文件"));
        return;
    }

    sendFileLines.clear();
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine();
        // Nothing read before the end means a read error: keep what we have.
        if (raw.isEmpty())
            break;
        const QByteArray line = raw.trimmed();
        // Decode the whole line: a zero byte must not shorten it silently.
        sendFileLines.append(QString::fromUtf8(line.constData(), line.size()));
    }
    file.close();

    fileLinesEdit->setText(QString::number(sendFileLines.size()));
    currentLine = 0;
    currentLineEdit->setText(QStringLiteral("0"));
}
