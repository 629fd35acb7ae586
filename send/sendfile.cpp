#include "mainwindow.h"
#include "sendfileloader.h"

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

    if (!sendFileLoader) {
        sendFileLoader = new SendFileLoader(this);
        connect(sendFileLoader, &SendFileLoader::loaded, this, [this](const QStringList &lines) {
            sendFileLines = lines;
            fileLinesEdit->setText(QString::number(sendFileLines.size()));
            currentLine = 0;
            currentLineEdit->setText(QStringLiteral("0"));
        });
    }

    if (!sendFileLoader->start(path)) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("无法打开文件"));
        return;
    }
    // A big file arrives in slices. Until it is complete the old lines stay:
    // no rotation starts on half a file, and a running one goes on.
    sendFileLoader->readSlice();
}
