#ifndef QUORVEL_LINECONTROL_H
#define QUORVEL_LINECONTROL_H

#include <QObject>
#include <QSerialPort>
#include <QTimer>

class LinePort;

// What the user asks of the control lines (DTR, RTS, break, flow control)
// and what the input lines (CTS, DSR, DCD, RI) show: applied at each
// opening and on every change while the port is open. A port that cannot
// do something says so with a notice, never with an error box, and stays
// open.
class LineControl : public QObject
{
    Q_OBJECT

public:
    // The lamps are read at most this often, and only while the port is open.
    static constexpr int inputPollMs = 100;
    static constexpr int breakMs = 250;

    explicit LineControl(LinePort *port, QObject *parent = nullptr);

    void setDataTerminalReady(bool set);
    void setRequestToSend(bool set);
    void setFlowControl(QSerialPort::FlowControl newFlow);
    // Holds a break on the line for breakMs; nothing while closed or held.
    void sendBreak();

    // The port has just opened (its flow control was set before opening),
    // or is about to close.
    void portOpened();
    void portClosing();

signals:
    // known is false while closed or when the port cannot tell.
    void inputLinesChanged(bool known, QSerialPort::PinoutSignals lines);
    void breakActiveChanged(bool active);
    void notice(const QString &text);
    // A change of flow control the port refused: this mode stays in force.
    void flowControlRefused(QSerialPort::FlowControl inForce);

private:
    void applyOutputLines(bool quietWhenAsOpened);
    void readInputLines();
    void endBreak();
    void showInputLines(bool nowKnown, QSerialPort::PinoutSignals nowLines);

    LinePort *port;
    bool dtr = true;
    bool rts = true;
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    // One notice per opening about lines the port cannot set.
    bool outputLinesNoticeShown = false;
    bool known = false;
    QSerialPort::PinoutSignals lines = QSerialPort::NoSignal;
    QTimer pollTimer;
    QTimer breakTimer;
};

#endif // QUORVEL_LINECONTROL_H
