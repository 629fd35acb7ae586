#ifndef QUORVEL_LINK_H
#define QUORVEL_LINK_H

#include <QObject>
#include <QSerialPort>

class SerialLinePort;

// The line as the traffic code sees it, whether a port of this machine or one
// served over the network: bytes both ways, the line settings, and what went
// wrong. The control lines go through LinePort.
class Link : public QObject
{
    Q_OBJECT

public:
    struct LineSettings
    {
        qint32 baudRate = 9600;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
        QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;

        bool operator==(const LineSettings &other) const;
        bool operator!=(const LineSettings &other) const { return !(*this == other); }
    };

    using QObject::QObject;

    // False when the opening failed at once; errorString() tells why. True:
    // opened() follows, before this returns where opening is immediate (a
    // local port), or openFailed() does.
    virtual bool open() = 0;
    virtual void close() = 0;
    // Stays true after lost() until close(), as for a serial port.
    virtual bool isOpen() const = 0;
    virtual QByteArray readAll() = 0;
    virtual qint64 write(const QByteArray &bytes) = 0;
    // Bytes written that have not yet left, wherever they wait.
    virtual qint64 bytesToWrite() const = 0;
    // Taken for the next opening, and applied at once while open. False when
    // an open line refused them.
    virtual bool setLineSettings(const LineSettings &settings) = 0;
    virtual LineSettings lineSettings() const = 0;
    virtual QString errorString() const = 0;

signals:
    void opened();
    void openFailed(const QString &reason);
    void readyRead();
    void bytesWritten(qint64 bytes);
    // An error that leaves the line open.
    void errorOccurred(const QString &reason);
    // The device or the peer went away; once per opening.
    void lost(const QString &reason);
    // Something the user should know that is not an error.
    void notice(const QString &text);
};

// The window's own QSerialPort as a link; the port stays the window's.
class SerialLink : public Link
{
    Q_OBJECT

public:
    // Errors raised while lines calls the port are that caller's to report.
    SerialLink(QSerialPort *port, const SerialLinePort *lines, QObject *parent = nullptr);

    bool open() override;
    void close() override;
    bool isOpen() const override { return port->isOpen(); }
    QByteArray readAll() override { return port->readAll(); }
    qint64 write(const QByteArray &bytes) override { return port->write(bytes); }
    qint64 bytesToWrite() const override { return port->bytesToWrite(); }
    bool setLineSettings(const LineSettings &settings) override;
    LineSettings lineSettings() const override;
    QString errorString() const override { return port->errorString(); }

private:
    void onPortError(QSerialPort::SerialPortError error);

    QSerialPort *port;
    const SerialLinePort *lines;
    bool lossReported = false;
};

#endif // QUORVEL_LINK_H
