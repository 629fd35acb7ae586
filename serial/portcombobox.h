#ifndef QUORVEL_PORTCOMBOBOX_H
#define QUORVEL_PORTCOMBOBOX_H

#include <QComboBox>

class QSerialPortInfo;

// The port list: asks for a refresh each time it is opened, so a device
// plugged in after the start can be chosen without restarting.
class PortComboBox : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    void aboutToShowPopup();
};

// What the system knows about a port, one fact a line, for its tooltip.
QString portToolTip(const QSerialPortInfo &info, const QString &location);
// For a path given by the user (a link such as /dev/serial/by-id/..., a pty):
// the facts of the listed port it leads to, if any, else the path alone.
QString pathToolTip(const QString &path, const QList<QSerialPortInfo> &ports);

#endif // QUORVEL_PORTCOMBOBOX_H
