#include "portcombobox.h"
#include "networkportdialog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStringList>

namespace {

// Marks the entry that opens the network port dialog.
constexpr int addEntryRole = Qt::UserRole + 1;

const QString recentKey = QStringLiteral("network/recentPorts");

} // namespace

PortComboBox::PortComboBox(QWidget *parent)
    : QComboBox(parent)
{
    const QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    networkNames = settings.value(recentKey).toStringList().mid(0, rememberedNetworkPorts);
    connect(this, QOverload<int>::of(&QComboBox::activated), this, &PortComboBox::onActivated);
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (index >= 0 && !isAddEntry(index))
            chosenText = itemText(index);
    });
}

void PortComboBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

void PortComboBox::appendNetworkEntries()
{
    for (const QString &name : qAsConst(networkNames)) {
        if (findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            addItem(name);
    }
    addItem(tr("网络端口…"));
    setItemData(count() - 1, true, addEntryRole);
    setItemData(count() - 1, tr("添加经网络（RFC 2217 或原始 TCP）访问的串口"), Qt::ToolTipRole);
}

void PortComboBox::rememberNetworkPort(const QString &name)
{
    networkNames.removeAll(name);
    networkNames.prepend(name);
    networkNames = networkNames.mid(0, rememberedNetworkPorts);
    QSettings settings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    settings.setValue(recentKey, networkNames);
}

bool PortComboBox::isAddEntry(int index) const
{
    return itemData(index, addEntryRole).toBool();
}

void PortComboBox::onActivated(int index)
{
    if (!isAddEntry(index)) {
        emit portChosen(itemText(index));
        return;
    }
    NetworkPortDialog dialog(window());
    if (dialog.exec() != QDialog::Accepted) {
        setCurrentIndex(findText(chosenText, Qt::MatchExactly | Qt::MatchCaseSensitive));
        return;
    }
    const QString name = dialog.portName();
    rememberNetworkPort(name);
    int found = findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found < 0) {
        found = count() - 1; // before the add entry
        insertItem(found, name);
    }
    setCurrentIndex(found);
    emit portChosen(name);
}

namespace {

QString hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

void addFact(QStringList &lines, const QString &caption, const QString &value)
{
    if (!value.isEmpty())
        lines << caption + value;
}

// A link also names what it points to, the name other tools show.
void addLocation(QStringList &lines, const QString &location)
{
    addFact(lines, QCoreApplication::translate("PortComboBox", "位置: "), location);
    const QString target = QFileInfo(location).canonicalFilePath();
    if (!target.isEmpty() && target != location)
        addFact(lines, QCoreApplication::translate("PortComboBox", "指向: "), target);
}

} // namespace

QString portToolTip(const QSerialPortInfo &info, const QString &location)
{
    QStringList lines;
    addFact(lines, QCoreApplication::translate("PortComboBox", "描述: "), info.description());
    addFact(lines, QCoreApplication::translate("PortComboBox", "制造商: "), info.manufacturer());
    addFact(lines, QCoreApplication::translate("PortComboBox", "序列号: "), info.serialNumber());
    if (info.hasVendorIdentifier())
        addFact(lines, QCoreApplication::translate("PortComboBox", "USB 厂商 ID: "),
                hex4(info.vendorIdentifier()));
    if (info.hasProductIdentifier())
        addFact(lines, QCoreApplication::translate("PortComboBox", "USB 产品 ID: "),
                hex4(info.productIdentifier()));
    addLocation(lines, location);
    return lines.join(QLatin1Char('\n'));
}

QString pathToolTip(const QString &path, const QList<QSerialPortInfo> &ports)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QSerialPortInfo &info : ports) {
        if (!target.isEmpty() && info.systemLocation() == target)
            return portToolTip(info, path);
    }
    QStringList lines;
    addLocation(lines, path);
    return lines.join(QLatin1Char('\n'));
}
