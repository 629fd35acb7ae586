#include "checksum.h"
#include "checksumdialog.h"
#include "hexparser.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPlainTextEdit>

void MainWindow::onChecksumBtnClicked(int areaIndex)
{
    const int area = areaIndex == 0 ? 0 : areaIndex == 1 ? 1 : 2;
    ChecksumDialog dialog(this);
    if (lastChecksumKind[area] >= 0)
        dialog.setCheckedKind(lastChecksumKind[area]);
    if (dialog.exec() != QDialog::Accepted)
        return;

    // Remembered before the text is looked at, so an empty or unreadable
    // area still keeps the choice.
    const int kind = dialog.checkedKind();
    lastChecksumKind[area] = kind;

    QPlainTextEdit *edit = area == 0 ? sendEdit1 : area == 1 ? sendEdit2 : sendEdit3;
    QCheckBox *hexCheck = area == 0 ? hexSendCheck1 : area == 1 ? hexSendCheck2 : hexSendCheck3;

    const QString text = edit->document()->toPlainText().trimmed();
    if (text.isEmpty())
        return;

    const QByteArray bytes = hexCheck->isChecked() ? parseHexString(text) : text.toUtf8();
    if (bytes.isEmpty()) {
        QMessageBox::warning(
                this, QStringLiteral("校验"),
                QStringLiteral(
                        "输入内容无法解析为有效数据，请检查是否为正确格式的十六进制或文本。"));
        return;
    }

    const QByteArray withChecksum = appendChecksum(bytes, kind);
    edit->setPlainText(QString::fromLatin1(withChecksum.toHex(' ').toUpper()));
    hexCheck->setChecked(true);
}
