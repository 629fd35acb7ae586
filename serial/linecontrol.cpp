#include "linecontrol.h"
#include "lineport.h"

LineControl::LineControl(LinePort *port, QObject *parent)
    : QObject(parent)
    , port(port)
{
    pollTimer.setInterval(inputPollMs);
    connect(&pollTimer, &QTimer::timeout, this, &LineControl::readInputLines);
    breakTimer.setSingleShot(true);
    breakTimer.setInterval(breakMs);
    connect(&breakTimer, &QTimer::timeout, this, &LineControl::endBreak);
}

void LineControl::setDataTerminalReady(bool set)
{
    dtr = set;
    if (port->isOpen())
        applyOutputLines(false);
}

void LineControl::setRequestToSend(bool set)
{
    rts = set;
    if (port->isOpen())
        applyOutputLines(false);
}

void LineControl::setFlowControl(QSerialPort::FlowControl newFlow)
{
    const QSerialPort::FlowControl inForce = flow;
    flow = newFlow;
    if (!port->isOpen())
        return;
    if (!port->setFlowControl(flow)) {
        // The mode in force stays, and so does the choice shown.
        flow = inForce;
        emit notice(tr("此端口无法设置流控"));
        emit flowControlRefused(flow);
        return;
    }
    // Under RTS/CTS the driver owns RTS; afterwards it is the user's again.
    applyOutputLines(true);
}

void LineControl::sendBreak()
{
    if (!port->isOpen() || breakTimer.isActive())
        return;
    if (!port->setBreakEnabled(true)) {
        emit notice(tr("此端口无法发送断开信号"));
        return;
    }
    breakTimer.start();
    emit breakActiveChanged(true);
}

void LineControl::endBreak()
{
    if (port->isOpen() && port->setBreakEnabled(false))
        emit notice(tr("已发送 %1 ms 断开信号").arg(breakMs));
    emit breakActiveChanged(false);
}

void LineControl::portOpened()
{
    outputLinesNoticeShown = false;
    // Opening asserts DTR and RTS on most systems, not on all: set them, and
    // speak only when the user asked for something else.
    applyOutputLines(true);
    QSerialPort::PinoutSignals first = QSerialPort::NoSignal;
    const bool readable = port->readInputLines(&first);
    showInputLines(readable, first);
    if (readable)
        pollTimer.start();
}

void LineControl::portClosing()
{
    pollTimer.stop();
    if (breakTimer.isActive()) {
        // A break left on would outlast the program on some drivers.
        breakTimer.stop();
        port->setBreakEnabled(false);
        emit breakActiveChanged(false);
    }
    showInputLines(false, QSerialPort::NoSignal);
}

void LineControl::applyOutputLines(bool quietWhenAsOpened)
{
    bool done = port->setDataTerminalReady(dtr);
    if (flow != QSerialPort::HardwareControl)
        done = port->setRequestToSend(rts) && done;
    const bool asOpened = dtr && rts;
    if (done || outputLinesNoticeShown || (quietWhenAsOpened && asOpened))
        return;
    outputLinesNoticeShown = true;
    emit notice(tr("此端口无法设置 DTR/RTS，线路保持原状"));
}

void LineControl::readInputLines()
{
    QSerialPort::PinoutSignals now = QSerialPort::NoSignal;
    const bool readable = port->readInputLines(&now);
    if (!readable)
        pollTimer.stop();
    showInputLines(readable, now);
}

void LineControl::showInputLines(bool nowKnown, QSerialPort::PinoutSignals nowLines)
{
    if (nowKnown == known && nowLines == lines)
        return;
    known = nowKnown;
    lines = nowLines;
    emit inputLinesChanged(known, lines);
}
