#ifndef QUORVEL_PORTCOMBOBOX_H
#define QUORVEL_PORTCOMBOBOX_H

#include <QComboBox>

class QSerialPortInfo;

// The port list: asks for a refresh each time it is opened, so a device
// plugged in after the start can be chosen without restarting. After the
// ports of this machine come the network ports added before, newest first,
// and last the entry that adds one; those are remembered in the settings
// group "network".
class PortComboBox : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int rememberedNetworkPorts = 8;

    explicit PortComboBox(QWidget *parent = nullptr);
    void showPopup() override;

    // Called last when the list is filled.
    void appendNetworkEntries();
    // name as NetworkAddress writes it: the newest network port from now on.
    void rememberNetworkPort(const QString &name);
    QStringList networkPorts() const { return networkNames; }

signals:
    void aboutToShowPopup();
    // The user chose this port, or added it in the network port dialog.
    void portChosen(const QString &name);

private:
    void onActivated(int index);
    bool isAddEntry(int index) const;

    QStringList networkNames;
    // Where a cancelled dialog goes back to.
    QString chosenText;
};

// What the system knows about a port, one fact a line, for its tooltip.
QString portToolTip(const QSerialPortInfo &info, const QString &location);
// For a path given by the user (a link such as /dev/serial/by-id/..., a pty):
// the facts of the listed port it leads to, if any, else the path alone.
QString pathToolTip(const QString &path, const QList<QSerialPortInfo> &ports);

#endif // QUORVEL_PORTCOMBOBOX_H
