#ifndef QUORVEL_NETWORKPORTDIALOG_H
#define QUORVEL_NETWORKPORTDIALOG_H

#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;

// Asks for a serial port served over the network: host, TCP port and
// protocol. Accepted only with an address that parses; the name is then
// rfc2217://HOST:PORT or socket://HOST:PORT.
class NetworkPortDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NetworkPortDialog(QWidget *parent = nullptr);

    QString portName() const { return name; }
    void accept() override;

private:
    QLineEdit *hostEdit = nullptr;
    QSpinBox *portSpin = nullptr;
    QComboBox *protocolCombo = nullptr;
    QString name;
};

#endif // QUORVEL_NETWORKPORTDIALOG_H
