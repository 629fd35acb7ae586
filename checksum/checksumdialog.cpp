#include "checksumdialog.h"

#include "checksum.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

ChecksumDialog::ChecksumDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("计算校验码"));

    auto *mainLayout = new QVBoxLayout(this);

    auto *kindBox = new QGroupBox(this);
    auto *kindLayout = new QVBoxLayout(kindBox);

    buttonGroup = new QButtonGroup(this);

    // Listed in ChecksumKind order: the index is the button id.
    const QString captions[ChecksumKindCount] = {
        tr("16 CRC, 低字节在前"), tr("16 CRC, 高字节在前"), QStringLiteral("8 CRC"), tr("总加和"),
        tr("加总异或"),           tr("CRC32, 低字节在前"),  tr("CRC32, 高字节在前"),
    };
    for (int id = 0; id < ChecksumKindCount; ++id) {
        auto *button = new QRadioButton(captions[id], kindBox);
        if (id == Crc16LowFirst)
            button->setChecked(true);
        buttonGroup->addButton(button, id);
        kindLayout->addWidget(button);
    }

    mainLayout->addWidget(kindBox);

    auto *buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                           Qt::Horizontal, this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    mainLayout->addWidget(buttonBox);
}

int ChecksumDialog::checkedKind() const
{
    return buttonGroup->checkedId();
}

void ChecksumDialog::setCheckedKind(int kind)
{
    if (QAbstractButton *button = buttonGroup->button(kind))
        button->setChecked(true);
}
