#include "checksum.h"
#include "checksumdialog.h"
#include "hexparser.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPlainTextEdit>

void MainWindow::onChecksumBtnClicked(int areaIndex)
{
    const SendArea &area = sendAreas[unsigned(areaIndex) < 3 ? areaIndex : 2];
    ChecksumDialog dialog(this);
    if (*area.checksumKind >= 0)
        dialog.setCheckedKind(*area.checksumKind);
    if (dialog.exec() != QDialog::Accepted)
        return;

    // Remembered before the text is looked at, so an empty or unreadable
    // area still keeps the choice.
    const int kind = dialog.checkedKind();
    *area.checksumKind = kind;

    const QString text = area.edit->document()->toPlainText().trimmed();
    if (text.isEmpty())
        return;

    const QByteArray bytes = area.hex->isChecked() ? parseHexString(text) : text.toUtf8();
    if (bytes.isEmpty()) {
        QMessageBox::warning(
                this, tr("校验"),
                tr("输入内容无法解析为有效数据，请检查是否为正确格式的十六进制或文本。"));
        return;
    }

    area.edit->setPlainText(hexForm(appendChecksum(bytes, kind)));
    area.hex->setChecked(true);
}
