#include "networkportdialog.h"
#include "networkaddress.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QVBoxLayout>

NetworkPortDialog::NetworkPortDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("networkPortDialog"));
    setWindowTitle(tr("网络端口"));

    hostEdit = new QLineEdit;
    hostEdit->setObjectName(QStringLiteral("networkHostEdit"));
    hostEdit->setPlaceholderText(tr("主机名或 IP 地址"));
    portSpin = new QSpinBox;
    portSpin->setObjectName(QStringLiteral("networkPortSpin"));
    portSpin->setRange(1, 65535);
    portSpin->setValue(2000);
    protocolCombo = new QComboBox;
    protocolCombo->setObjectName(QStringLiteral("networkProtocolCombo"));
    protocolCombo->addItem(tr("RFC 2217（线路参数随之设置）"), int(NetworkAddress::Rfc2217));
    protocolCombo->addItem(tr("原始 TCP（仅传字节）"), int(NetworkAddress::RawTcp));

    auto *form = new QFormLayout;
    form->addRow(tr("主机"), hostEdit);
    form->addRow(tr("端口"), portSpin);
    form->addRow(tr("协议"), protocolCombo);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &NetworkPortDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NetworkPortDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void NetworkPortDialog::accept()
{
    NetworkAddress wanted;
    wanted.protocol = NetworkAddress::Protocol(protocolCombo->currentData().toInt());
    // An IPv6 address may come with its brackets or without.
    QString host = hostEdit->text().trimmed();
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    wanted.host = host;
    wanted.port = quint16(portSpin->value());
    NetworkAddress parsed;
    QString error;
    if (!NetworkAddress::parse(wanted.toString(), &parsed, &error)) {
        QMessageBox::warning(this, tr("错误"), error);
        return;
    }
    name = parsed.toString();
    QDialog::accept();
}
