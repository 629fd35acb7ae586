#ifndef QUORVEL_PORTLINK_H
#define QUORVEL_PORTLINK_H

#include "lineport.h"
#include "link.h"
#include "networkaddress.h"

class ClockTimer;
class NetworkLink;

// The link the window's traffic goes through: the window's own serial port,
// or a port served over the network when the chosen name is rfc2217:// or
// socket://. Only the link in use is heard; the control lines go to it too.
// A network port that was lost is tried again on the program's clock until
// it takes the connection.
class PortLink : public Link, public LinePort
{
    Q_OBJECT

public:
    // Tried this often after a loss, so a server back again is reached
    // within a second.
    static constexpr int retryMs = 500;

    explicit PortLink(QSerialPort *port, QObject *parent = nullptr);
    ~PortLink() override;

    // Takes name for the next opening: the link it needs, and for a serial
    // port its name. False, with errorString() telling why, for a network
    // name that does not parse.
    bool choose(const QString &name);
    bool isNetwork() const { return active != &serial; }
    QString name() const { return chosenName; }
    // A network opening under way: neither opened nor failed yet.
    bool isConnecting() const { return connecting; }

    // After a loss: tries the chosen network port again every retryMs,
    // quietly, until it opens (opened(), then returned()) or stopRetrying().
    // Nothing for a serial port, whose return the port watch sees.
    void retryUntilBack();
    void stopRetrying();
    bool isRetrying() const { return retrying; }

    bool open() override;
    void close() override;
    bool isOpen() const override { return active->isOpen(); }
    QByteArray readAll() override { return active->readAll(); }
    qint64 write(const QByteArray &bytes) override { return active->write(bytes); }
    qint64 bytesToWrite() const override { return active->bytesToWrite(); }
    bool setLineSettings(const LineSettings &settings) override;
    LineSettings lineSettings() const override { return active->lineSettings(); }
    QString errorString() const override;

    bool setDataTerminalReady(bool set) override;
    bool setRequestToSend(bool set) override;
    bool setBreakEnabled(bool set) override;
    bool setFlowControl(QSerialPort::FlowControl flow) override;
    bool readInputLines(QSerialPort::PinoutSignals *lines) override;

signals:
    // A retry opened the lost network port again.
    void returned();

private:
    void follow(Link *link);
    LinePort *activeLines();
    void tryAgain();

    QSerialPort *port;
    SerialLinePort serialLines;
    SerialLink serial;
    NetworkLink *network = nullptr;
    Link *active = &serial;
    QString chosenName;
    QString chooseError;
    bool connecting = false;
    ClockTimer *retryTimer = nullptr;
    bool retrying = false;
};

#endif // QUORVEL_PORTLINK_H
