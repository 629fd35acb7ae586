#include "networklink.h"

#include <utility>

namespace {

// "Not confirmed yet": Qt 6 has no Unknown values of its own, and -1 is
// what Qt 5 gave them.
constexpr auto unknownDataBits = QSerialPort::DataBits(-1);
constexpr auto unknownParity = QSerialPort::Parity(-1);
constexpr auto unknownStopBits = QSerialPort::StopBits(-1);
constexpr auto unknownFlowControl = QSerialPort::FlowControl(-1);

using Codec = Rfc2217Codec;

// Settings as the confirmation notice names them, in the codec's order.
const char *const settingNames[] = {
    QT_TRANSLATE_NOOP("NetworkLink", "波特率"),
    QT_TRANSLATE_NOOP("NetworkLink", "数据位"),
    QT_TRANSLATE_NOOP("NetworkLink", "校验位"),
    QT_TRANSLATE_NOOP("NetworkLink", "停止位"),
    QT_TRANSLATE_NOOP("NetworkLink", "流控"),
    QT_TRANSLATE_NOOP("NetworkLink", "断开信号"),
    "DTR",
    "RTS",
};

Codec::Parity parityOf(QSerialPort::Parity parity)
{
    switch (parity) {
    case QSerialPort::OddParity:
        return Codec::Parity::Odd;
    case QSerialPort::EvenParity:
        return Codec::Parity::Even;
    case QSerialPort::MarkParity:
        return Codec::Parity::Mark;
    case QSerialPort::SpaceParity:
        return Codec::Parity::Space;
    default:
        return Codec::Parity::None;
    }
}

Codec::StopSize stopSizeOf(QSerialPort::StopBits bits)
{
    if (bits == QSerialPort::TwoStop)
        return Codec::StopSize::Two;
    return bits == QSerialPort::OneAndHalfStop ? Codec::StopSize::OneAndHalf : Codec::StopSize::One;
}

Codec::Control flowOf(QSerialPort::FlowControl flow)
{
    if (flow == QSerialPort::HardwareControl)
        return Codec::Control::Hardware;
    return flow == QSerialPort::SoftwareControl ? Codec::Control::XonXoff
                                                : Codec::Control::NoFlowControl;
}

// Nothing confirmed yet.
Link::LineSettings unknownSettings()
{
    Link::LineSettings settings;
    settings.baudRate = 0;
    settings.dataBits = unknownDataBits;
    settings.parity = unknownParity;
    settings.stopBits = unknownStopBits;
    settings.flowControl = unknownFlowControl;
    return settings;
}

// A confirmed value into settings; false when it is not a line setting.
bool takeConfirmed(Codec::Setting setting, quint32 value, Link::LineSettings *settings)
{
    switch (setting) {
    case Codec::Setting::BaudRate:
        settings->baudRate = qint32(qMin<quint32>(value, INT32_MAX));
        return true;
    case Codec::Setting::DataSize:
        settings->dataBits =
                value >= 5 && value <= 8 ? QSerialPort::DataBits(value) : unknownDataBits;
        return true;
    case Codec::Setting::Parity: {
        const QSerialPort::Parity parities[] = { QSerialPort::NoParity, QSerialPort::OddParity,
                                                 QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                 QSerialPort::SpaceParity };
        settings->parity = value >= 1 && value <= 5 ? parities[value - 1] : unknownParity;
        return true;
    }
    case Codec::Setting::StopSize: {
        const QSerialPort::StopBits stops[] = { QSerialPort::OneStop, QSerialPort::TwoStop,
                                                QSerialPort::OneAndHalfStop };
        settings->stopBits = value >= 1 && value <= 3 ? stops[value - 1] : unknownStopBits;
        return true;
    }
    case Codec::Setting::FlowControl: {
        const QSerialPort::FlowControl flows[] = { QSerialPort::NoFlowControl,
                                                   QSerialPort::SoftwareControl,
                                                   QSerialPort::HardwareControl };
        settings->flowControl = value >= 1 && value <= 3 ? flows[value - 1] : unknownFlowControl;
        return true;
    }
    default:
        return false;
    }
}

QSerialPort::PinoutSignals pinoutOf(quint32 modemState)
{
    QSerialPort::PinoutSignals lines = QSerialPort::NoSignal;
    if (modemState & Codec::Cts)
        lines |= QSerialPort::ClearToSendSignal;
    if (modemState & Codec::Dsr)
        lines |= QSerialPort::DataSetReadySignal;
    if (modemState & Codec::RingIndicator)
        lines |= QSerialPort::RingIndicatorSignal;
    if (modemState & Codec::Dcd)
        lines |= QSerialPort::DataCarrierDetectSignal;
    return lines;
}

} // namespace

NetworkLink::NetworkLink(QObject *parent)
    : Link(parent)
    , confirmed(unknownSettings())
{
    connect(&connectTimer, &ClockTimer::timeout, this, &NetworkLink::onConnectTimeout);
    connect(&confirmTimer, &ClockTimer::timeout, this, &NetworkLink::reportUnconfirmed);
    connect(&socket, &QTcpSocket::connected, this, &NetworkLink::onConnected);
    connect(&socket, &QTcpSocket::readyRead, this, &NetworkLink::onSocketReadyRead);
    connect(&socket, &QTcpSocket::bytesWritten, this, &NetworkLink::onSocketBytesWritten);
    connect(&socket, &QTcpSocket::errorOccurred, this, &NetworkLink::onSocketError);
    connect(&socket, &QTcpSocket::disconnected, this, &NetworkLink::onSocketError);
}

NetworkLink::~NetworkLink()
{
    // The socket is destroyed after the members it would report into: its
    // closing must not reach this half-destroyed link.
    socket.disconnect(this);
    connectTimer.stop();
    confirmTimer.stop();
}

bool NetworkLink::open()
{
    close();
    if (target.host.isEmpty() || target.port == 0) {
        lastError = tr("未指定网络端口的地址");
        return false;
    }
    codec = Rfc2217Codec();
    confirmed = unknownSettings();
    unconfirmed.clear();
    unconfirmedShown = false;
    lossReported = false;
    state = Connecting;
    connectTimer.start(connectTimeoutMs);
    socket.connectToHost(target.host, target.port);
    return true;
}

void NetworkLink::close()
{
    // Closed first: the socket's own signals during abort() then mean nothing.
    state = Closed;
    connectTimer.stop();
    confirmTimer.stop();
    socket.abort();
    received.clear();
    waiting.clear();
    waitingData = 0;
    linesKnown = false;
    lines = QSerialPort::NoSignal;
}

QByteArray NetworkLink::readAll()
{
    return usesTelnet() ? std::exchange(received, QByteArray()) : socket.readAll();
}

qint64 NetworkLink::write(const QByteArray &bytes)
{
    if (state != Open || socket.state() != QAbstractSocket::ConnectedState) {
        lastError = tr("连接已断开");
        return -1;
    }
    sendEncoded(usesTelnet() ? codec.encode(bytes) : bytes, bytes.size());
    return bytes.size();
}

qint64 NetworkLink::bytesToWrite() const
{
    return waitingData;
}

bool NetworkLink::setLineSettings(const LineSettings &newSettings)
{
    const LineSettings old = std::exchange(settings, newSettings);
    if (usesTelnet() && (state == Negotiating || state == Open))
        sendSettings(&old);
    return true;
}

// Those that differ from old, or all without old.
void NetworkLink::sendSettings(const LineSettings *old)
{
    if (!old || settings.baudRate != old->baudRate)
        sendCommand(codec.setBaudRate(quint32(settings.baudRate)), Codec::Setting::BaudRate);
    if (!old || settings.dataBits != old->dataBits)
        sendCommand(codec.setDataSize(quint8(settings.dataBits)), Codec::Setting::DataSize);
    if (!old || settings.parity != old->parity)
        sendCommand(codec.setParity(parityOf(settings.parity)), Codec::Setting::Parity);
    if (!old || settings.stopBits != old->stopBits)
        sendCommand(codec.setStopSize(stopSizeOf(settings.stopBits)), Codec::Setting::StopSize);
    if (!old || settings.flowControl != old->flowControl) {
        const Codec::Control flow = flowOf(settings.flowControl);
        sendCommand(codec.setControl(flow), Codec::settingOf(5, quint32(flow)));
    }
}

bool NetworkLink::setDataTerminalReady(bool set)
{
    return control(set ? Codec::Control::DtrOn : Codec::Control::DtrOff);
}

bool NetworkLink::setRequestToSend(bool set)
{
    return control(set ? Codec::Control::RtsOn : Codec::Control::RtsOff);
}

bool NetworkLink::setBreakEnabled(bool set)
{
    return control(set ? Codec::Control::BreakOn : Codec::Control::BreakOff);
}

bool NetworkLink::setFlowControl(QSerialPort::FlowControl flow)
{
    settings.flowControl = flow;
    return control(flowOf(flow));
}

bool NetworkLink::readInputLines(QSerialPort::PinoutSignals *now)
{
    // Known from the opening on, so that the line controls keep asking; all
    // off until the server's first report.
    if (state != Open || !usesTelnet() || codec.comPortRefused())
        return false;
    *now = lines;
    return true;
}

bool NetworkLink::control(Codec::Control value)
{
    if (state != Open || !usesTelnet() || codec.comPortRefused())
        return false;
    sendCommand(codec.setControl(value), Codec::settingOf(5, quint32(value)));
    return true;
}

void NetworkLink::onConnected()
{
    if (state != Connecting)
        return;
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!usesTelnet()) {
        finishOpening();
        return;
    }
    // The settings wait in the codec until the server takes the option.
    state = Negotiating;
    sendEncoded(codec.start(), 0);
    sendSettings(nullptr);
    sendEncoded(
            codec.setModemStateMask(Codec::Cts | Codec::Dsr | Codec::RingIndicator | Codec::Dcd),
            0);
}

void NetworkLink::finishOpening()
{
    connectTimer.stop();
    state = Open;
    emit opened();
    if (state == Open && !usesTelnet())
        emit notice(tr("%1 是原始 TCP 连接：波特率等线路参数由服务器决定，此处的设置不会发送")
                            .arg(target.toString()));
}

void NetworkLink::onSocketReadyRead()
{
    if (state == Closed || state == Connecting)
        return;
    if (usesTelnet()) {
        const Codec::Decoded decoded = codec.decode(socket.readAll());
        sendEncoded(decoded.reply, 0);
        received += decoded.data;
        handleEvents(decoded.events);
        // Data is sent only once it is settled how a carriage return goes.
        if (state == Negotiating && codec.transmitModeKnown())
            finishOpening();
        if (received.isEmpty())
            return;
    }
    if (state == Open)
        emit readyRead();
}

void NetworkLink::handleEvents(const QVector<Codec::Event> &events)
{
    for (const Codec::Event &event : events) {
        switch (event.kind) {
        case Codec::Event::Confirmed:
            unconfirmed.removeAll(event.setting);
            if (takeConfirmed(event.setting, event.value, &confirmed))
                emit serverSettingsChanged();
            break;
        case Codec::Event::ModemState: {
            const QSerialPort::PinoutSignals now = pinoutOf(event.value);
            if (linesKnown && now == lines)
                break;
            linesKnown = true;
            lines = now;
            emit inputLinesChanged(lines);
            break;
        }
        case Codec::Event::LineState:
            break;
        case Codec::Event::ComPortRefused:
            unconfirmed.clear();
            confirmTimer.stop();
            emit notice(tr("%1 不支持 RFC 2217 串口控制：线路参数与控制线由服务器决定")
                                .arg(target.toString()));
            break;
        }
    }
}

void NetworkLink::sendCommand(const QByteArray &bytes, Codec::Setting setting)
{
    sendEncoded(bytes, 0);
    if (codec.comPortRefused())
        return;
    if (!unconfirmed.contains(setting))
        unconfirmed.append(setting);
    confirmTimer.start(confirmTimeoutMs);
}

void NetworkLink::sendEncoded(const QByteArray &bytes, qint64 dataBytes)
{
    if (bytes.isEmpty() || socket.write(bytes) < 0)
        return;
    waiting.push_back({ bytes.size(), dataBytes });
    waitingData += dataBytes;
}

void NetworkLink::onSocketBytesWritten(qint64 bytes)
{
    qint64 written = 0;
    while (bytes > 0 && !waiting.empty()) {
        Waiting &oldest = waiting.front();
        if (bytes >= oldest.encoded) {
            bytes -= oldest.encoded;
            written += oldest.data;
            waiting.pop_front();
            continue;
        }
        // Part of a write has left: the line's bytes in it in proportion.
        const qint64 part = oldest.data * bytes / oldest.encoded;
        oldest.encoded -= bytes;
        oldest.data -= part;
        written += part;
        bytes = 0;
    }
    waitingData -= written;
    if (written > 0 && state == Open)
        emit bytesWritten(written);
}

void NetworkLink::reportUnconfirmed()
{
    if (unconfirmed.isEmpty() || unconfirmedShown || state != Open)
        return;
    unconfirmedShown = true;
    QStringList names;
    for (const Codec::Setting setting : qAsConst(unconfirmed)) {
        const int index = int(setting);
        if (index < int(sizeof settingNames / sizeof *settingNames))
            names << tr(settingNames[index]);
    }
    emit notice(
            tr("%1 未确认以下设置：%2；连接照常工作").arg(target.toString(), names.join(tr("、"))));
}

void NetworkLink::onConnectTimeout()
{
    if (state == Connecting)
        failOpening(tr("%1 秒内未连上").arg(connectTimeoutMs / 1000));
    else if (state == Negotiating)
        failOpening(tr("服务器未应答 telnet 协商；若它只转发字节，请用 socket://"));
}

void NetworkLink::onSocketError()
{
    if (state == Connecting || state == Negotiating) {
        failOpening(socketReason());
        return;
    }
    // The link stays open until closed, as a serial port does after a loss.
    if (state != Open || lossReported)
        return;
    lossReported = true;
    lastError = tr("与 %1 的连接已断开（%2）").arg(target.toString(), socketReason());
    emit lost(lastError);
}

void NetworkLink::failOpening(const QString &reason)
{
    close();
    lastError = tr("无法连接 %1：%2").arg(target.toString(), reason);
    emit openFailed(lastError);
}

QString NetworkLink::socketReason() const
{
    switch (socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return tr("连接被拒绝，该端口没有服务在监听");
    case QAbstractSocket::RemoteHostClosedError:
    case QAbstractSocket::UnknownSocketError:
        return tr("对方关闭了连接");
    case QAbstractSocket::HostNotFoundError:
        return tr("找不到该主机");
    case QAbstractSocket::NetworkError:
        return tr("网络不可达");
    case QAbstractSocket::SocketTimeoutError:
        return tr("连接超时");
    default:
        return socket.errorString();
    }
}
