#ifndef QUORVEL_NETWORKLINK_H
#define QUORVEL_NETWORKLINK_H

#include "clock.h"
#include "lineport.h"
#include "link.h"
#include "networkaddress.h"
#include "rfc2217codec.h"

#include <QTcpSocket>

#include <deque>

// A serial port served over TCP: with rfc2217:// through telnet and the
// COM-PORT-OPTION, so the line settings and the control lines travel and the
// server reports its input lines; with socket:// the bytes alone. Only ever
// a client: nothing listens.
class NetworkLink : public Link, public LinePort
{
    Q_OBJECT

public:
    // A refused or unreachable address is told within this (the window
    // promises 5 s from the click).
    static constexpr int connectTimeoutMs = 4000;
    // A setting the server has not confirmed by then is told once.
    static constexpr int confirmTimeoutMs = 2000;

    explicit NetworkLink(QObject *parent = nullptr);
    ~NetworkLink() override;

    // Taken at the next opening.
    void setAddress(const NetworkAddress &address) { target = address; }
    NetworkAddress address() const { return target; }

    bool open() override;
    void close() override;
    bool isOpen() const override { return state == Open; }
    QByteArray readAll() override;
    qint64 write(const QByteArray &bytes) override;
    qint64 bytesToWrite() const override;
    bool setLineSettings(const LineSettings &settings) override;
    LineSettings lineSettings() const override { return settings; }
    QString errorString() const override { return lastError; }
    // The line settings as the server last confirmed them; a setting not yet
    // confirmed has its Unknown value.
    LineSettings serverSettings() const { return confirmed; }

    // Sent to the server under rfc2217; false under socket:// (the server
    // owns the lines) or once the server has refused the COM-PORT-OPTION.
    bool setDataTerminalReady(bool set) override;
    bool setRequestToSend(bool set) override;
    bool setBreakEnabled(bool set) override;
    bool setFlowControl(QSerialPort::FlowControl flow) override;
    // The state the server last reported.
    bool readInputLines(QSerialPort::PinoutSignals *lines) override;

signals:
    void inputLinesChanged(QSerialPort::PinoutSignals lines);
    void serverSettingsChanged();

private:
    enum State { Closed, Connecting, Negotiating, Open };

    void onConnected();
    void onSocketReadyRead();
    void onSocketBytesWritten(qint64 bytes);
    void onSocketError();
    void onConnectTimeout();
    void finishOpening();
    void failOpening(const QString &reason);
    void handleEvents(const QVector<Rfc2217Codec::Event> &events);
    void sendSettings(const LineSettings *old);
    bool control(Rfc2217Codec::Control value);
    void sendCommand(const QByteArray &bytes, Rfc2217Codec::Setting setting);
    void sendEncoded(const QByteArray &bytes, qint64 dataBytes);
    void reportUnconfirmed();
    bool usesTelnet() const { return target.protocol == NetworkAddress::Rfc2217; }
    QString socketReason() const;

    QTcpSocket socket;
    Rfc2217Codec codec;
    NetworkAddress target;
    LineSettings settings;
    LineSettings confirmed;
    State state = Closed;
    QString lastError;
    QByteArray received;
    // What waits in the socket, as encoded bytes and as the line's bytes
    // they carry (commands carry none), oldest first.
    struct Waiting
    {
        qint64 encoded;
        qint64 data;
    };
    std::deque<Waiting> waiting;
    qint64 waitingData = 0;
    // Time-outs on the program's clock, as every rule about time is.
    ClockTimer connectTimer;
    ClockTimer confirmTimer;
    QVector<Rfc2217Codec::Setting> unconfirmed;
    bool unconfirmedShown = false;
    bool lossReported = false;
    bool linesKnown = false;
    QSerialPort::PinoutSignals lines = QSerialPort::NoSignal;
};

#endif // QUORVEL_NETWORKLINK_H
