#include "lineport.h"

template<typename Call>
bool SerialLinePort::call(Call portCall)
{
    calling = true;
    port->clearError();
    const bool done = portCall() && port->error() == QSerialPort::NoError;
    port->clearError();
    calling = false;
    return done;
}

bool SerialLinePort::setDataTerminalReady(bool set)
{
    return call([&] { return port->setDataTerminalReady(set); });
}

bool SerialLinePort::setRequestToSend(bool set)
{
    return call([&] { return port->setRequestToSend(set); });
}

bool SerialLinePort::setBreakEnabled(bool set)
{
    return call([&] { return port->setBreakEnabled(set); });
}

bool SerialLinePort::setFlowControl(QSerialPort::FlowControl flow)
{
    return call([&] { return port->setFlowControl(flow); });
}

bool SerialLinePort::readInputLines(QSerialPort::PinoutSignals *lines)
{
    // NoSignal is also what a failed query returns: only the error tells.
    return call([&] {
        *lines = port->pinoutSignals();
        return true;
    });
}
