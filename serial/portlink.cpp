#include "portlink.h"
#include "clock.h"
#include "networklink.h"

PortLink::PortLink(QSerialPort *port, QObject *parent)
    : Link(parent)
    , port(port)
    , serialLines(port)
    , serial(port, &serialLines)
{
    network = new NetworkLink(this);
    follow(&serial);
    follow(network);
    retryTimer = new ClockTimer(this);
    retryTimer->setRepeating(true);
    connect(retryTimer, &ClockTimer::timeout, this, &PortLink::tryAgain);
}

PortLink::~PortLink()
{
    // The serial link is a member: it must not hear the port after this.
    serial.disconnect(this);
    network->disconnect(this);
}

// Passes on what the link in use says.
void PortLink::follow(Link *link)
{
    const auto inUse = [this, link] { return active == link; };
    connect(link, &Link::opened, this, [this, inUse] {
        if (!inUse())
            return;
        connecting = false;
        emit opened();
        if (!retrying)
            return;
        stopRetrying();
        emit returned();
    });
    connect(link, &Link::openFailed, this, [this, inUse](const QString &reason) {
        if (!inUse())
            return;
        connecting = false;
        // A retry that failed is not news: the next one follows.
        if (!retrying)
            emit openFailed(reason);
    });
    connect(link, &Link::readyRead, this, [this, inUse] {
        if (inUse())
            emit readyRead();
    });
    connect(link, &Link::bytesWritten, this, [this, inUse](qint64 bytes) {
        if (inUse())
            emit bytesWritten(bytes);
    });
    connect(link, &Link::errorOccurred, this, [this, inUse](const QString &reason) {
        if (inUse())
            emit errorOccurred(reason);
    });
    connect(link, &Link::lost, this, [this, inUse](const QString &reason) {
        if (inUse())
            emit lost(reason);
    });
    connect(link, &Link::notice, this, [this, inUse](const QString &text) {
        if (inUse())
            emit notice(text);
    });
}

bool PortLink::choose(const QString &name)
{
    if (active->isOpen() || connecting)
        close();
    chosenName = name;
    chooseError.clear();
    if (!NetworkAddress::looksLikeNetworkName(name)) {
        active = &serial;
        port->setPortName(name);
        return true;
    }
    NetworkAddress address;
    if (!NetworkAddress::parse(name, &address, &chooseError))
        return false;
    network->setAddress(address);
    active = network;
    return true;
}

bool PortLink::open()
{
    if (!chooseError.isEmpty())
        return false;
    connecting = isNetwork();
    if (active->open())
        return true;
    connecting = false;
    return false;
}

void PortLink::close()
{
    connecting = false;
    active->close();
}

bool PortLink::setLineSettings(const LineSettings &settings)
{
    return active->setLineSettings(settings);
}

QString PortLink::errorString() const
{
    return chooseError.isEmpty() ? active->errorString() : chooseError;
}

void PortLink::retryUntilBack()
{
    if (!isNetwork())
        return;
    retrying = true;
    retryTimer->start(retryMs);
}

void PortLink::stopRetrying()
{
    retrying = false;
    retryTimer->stop();
    if (connecting)
        close();
}

void PortLink::tryAgain()
{
    // An attempt still under way ends by itself (refused, or its time-out).
    if (connecting || active->isOpen())
        return;
    open();
}

LinePort *PortLink::activeLines()
{
    if (isNetwork())
        return network;
    return &serialLines;
}

bool PortLink::setDataTerminalReady(bool set)
{
    return activeLines()->setDataTerminalReady(set);
}

bool PortLink::setRequestToSend(bool set)
{
    return activeLines()->setRequestToSend(set);
}

bool PortLink::setBreakEnabled(bool set)
{
    return activeLines()->setBreakEnabled(set);
}

bool PortLink::setFlowControl(QSerialPort::FlowControl flow)
{
    return activeLines()->setFlowControl(flow);
}

bool PortLink::readInputLines(QSerialPort::PinoutSignals *lines)
{
    return activeLines()->readInputLines(lines);
}
