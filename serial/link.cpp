#include "link.h"
#include "lineport.h"

bool Link::LineSettings::operator==(const LineSettings &other) const
{
    return baudRate == other.baudRate && dataBits == other.dataBits && parity == other.parity
            && stopBits == other.stopBits && flowControl == other.flowControl;
}

SerialLink::SerialLink(QSerialPort *port, const SerialLinePort *lines, QObject *parent)
    : Link(parent)
    , port(port)
    , lines(lines)
{
    connect(port, &QSerialPort::readyRead, this, &Link::readyRead);
    connect(port, &QSerialPort::bytesWritten, this, &Link::bytesWritten);
    connect(port, &QSerialPort::errorOccurred, this, &SerialLink::onPortError);
}

bool SerialLink::open()
{
    if (!port->open(QIODevice::ReadWrite))
        return false;
    lossReported = false;
    emit opened();
    return true;
}

void SerialLink::close()
{
    port->close();
}

bool SerialLink::setLineSettings(const LineSettings &settings)
{
    // Every setter runs, so a refused one does not keep the others back.
    bool done = port->setBaudRate(settings.baudRate, QSerialPort::AllDirections);
    done = port->setDataBits(settings.dataBits) && done;
    done = port->setParity(settings.parity) && done;
    done = port->setStopBits(settings.stopBits) && done;
    done = port->setFlowControl(settings.flowControl) && done;
    return done;
}

Link::LineSettings SerialLink::lineSettings() const
{
    LineSettings settings;
    settings.baudRate = port->baudRate();
    settings.dataBits = port->dataBits();
    settings.parity = port->parity();
    settings.stopBits = port->stopBits();
    settings.flowControl = port->flowControl();
    return settings;
}

void SerialLink::onPortError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || !port->isOpen())
        return;
    // A line the port cannot set is told by the line controls; a device gone
    // meanwhile still counts as lost.
    if (lines && lines->callingPort() && error != QSerialPort::ResourceError)
        return;
    const bool gone = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (!gone) {
        emit errorOccurred(port->errorString());
        return;
    }
    // Qt signals a hung-up line again on every pass of the event loop.
    if (lossReported)
        return;
    lossReported = true;
    emit lost(port->errorString());
}
