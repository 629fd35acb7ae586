#ifndef QUORVEL_LINEPORT_H
#define QUORVEL_LINEPORT_H

#include <QSerialPort>

// The control lines of an open port, as the line controls use them: kept
// this narrow so their logic runs against a fake where no adapter exists.
class LinePort
{
public:
    virtual ~LinePort() = default;

    virtual bool isOpen() const = 0;
    virtual bool setDataTerminalReady(bool set) = 0;
    virtual bool setRequestToSend(bool set) = 0;
    virtual bool setBreakEnabled(bool set) = 0;
    virtual bool setFlowControl(QSerialPort::FlowControl flow) = 0;
    // False when the port cannot report its input lines (a pty cannot).
    virtual bool readInputLines(QSerialPort::PinoutSignals *lines) = 0;
};

// The window's QSerialPort behind that interface. A failed call also makes
// the port signal an error; callingPort() tells the window's error handler
// that the caller already reports it.
class SerialLinePort : public LinePort
{
public:
    explicit SerialLinePort(QSerialPort *port)
        : port(port)
    {
    }

    bool callingPort() const { return calling; }

    bool isOpen() const override { return port->isOpen(); }
    bool setDataTerminalReady(bool set) override;
    bool setRequestToSend(bool set) override;
    bool setBreakEnabled(bool set) override;
    bool setFlowControl(QSerialPort::FlowControl flow) override;
    bool readInputLines(QSerialPort::PinoutSignals *lines) override;

private:
    template<typename Call>
    bool call(Call portCall);

    QSerialPort *port;
    bool calling = false;
};

#endif // QUORVEL_LINEPORT_H
