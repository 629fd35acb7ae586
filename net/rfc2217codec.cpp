#include "rfc2217codec.h"

namespace {

constexpr quint8 iac = 255;
constexpr quint8 dont = 254;
constexpr quint8 doOption = 253;
constexpr quint8 wont = 252;
constexpr quint8 will = 251;
constexpr quint8 sb = 250;
constexpr quint8 se = 240;

constexpr quint8 binary = 0;
constexpr quint8 suppressGoAhead = 3;
constexpr quint8 comPort = 44;

// A server's answer carries the client's command code plus this.
constexpr quint8 serverOffset = 100;
constexpr quint8 notifyLineState = 106;
constexpr quint8 notifyModemState = 107;

bool wantedOurs(quint8 option)
{
    return option == binary || option == suppressGoAhead || option == comPort;
}

bool wantedTheirs(quint8 option)
{
    return option == binary || option == suppressGoAhead;
}

QByteArray negotiation(quint8 verb, quint8 option)
{
    const char bytes[] = { char(iac), char(verb), char(option) };
    return QByteArray(bytes, 3);
}

// IAC doubled; outside binary mode a carriage return is padded with a NUL.
void appendEscaped(QByteArray *out, const QByteArray &bytes, bool padCarriageReturn = false)
{
    for (const char byte : bytes) {
        out->append(byte);
        if (quint8(byte) == iac)
            out->append(byte);
        else if (byte == '\r' && padCarriageReturn)
            out->append('\0');
    }
}

} // namespace

QByteArray Rfc2217Codec::start()
{
    *this = Rfc2217Codec();
    ours[binary] = ours[suppressGoAhead] = ours[comPort] = WantYes;
    theirs[binary] = theirs[suppressGoAhead] = WantYes;
    return negotiation(will, binary) + negotiation(doOption, binary)
            + negotiation(will, suppressGoAhead) + negotiation(doOption, suppressGoAhead)
            + negotiation(will, comPort);
}

Rfc2217Codec::Decoded Rfc2217Codec::decode(const QByteArray &bytes)
{
    Decoded out;
    out.data.reserve(bytes.size());
    for (const char byte : bytes) {
        const quint8 value = quint8(byte);
        switch (phase) {
        case Phase::Data:
            if (value == iac)
                phase = Phase::Command;
            else
                takeData(byte, &out.data);
            break;
        case Phase::Command:
            command(value, &out);
            break;
        case Phase::Option:
            negotiate(verb, value, &out);
            phase = Phase::Data;
            break;
        case Phase::Sub:
            if (value == iac)
                phase = Phase::SubCommand;
            else
                appendSub(byte);
            break;
        case Phase::SubCommand:
            if (value == se) {
                finishSub(&out);
                phase = Phase::Data;
            } else if (value == iac) {
                appendSub(byte);
                phase = Phase::Sub;
            } else {
                // A command inside a subnegotiation ends it unfinished.
                sub.clear();
                command(value, &out);
            }
            break;
        }
    }
    return out;
}

void Rfc2217Codec::command(quint8 byte, Decoded *out)
{
    phase = Phase::Data;
    if (byte == iac) {
        takeData(char(byte), &out->data);
    } else if (byte >= will) {
        verb = byte;
        phase = Phase::Option;
    } else if (byte == sb) {
        sub.clear();
        subTooLong = false;
        phase = Phase::Sub;
    }
    // Anything else (NOP, go-ahead, a stray SE, ...) means nothing to a line.
}

void Rfc2217Codec::negotiate(quint8 verb, quint8 option, Decoded *out)
{
    const bool enable = verb == will || verb == doOption;
    const bool isOurs = verb == doOption || verb == dont;
    State &state = isOurs ? ours[option] : theirs[option];
    const bool wanted = isOurs ? wantedOurs(option) : wantedTheirs(option);
    const quint8 agree = isOurs ? will : doOption;
    const quint8 decline = isOurs ? wont : dont;
    if (enable) {
        if (!wanted) {
            // Declined once; answering every repeat could keep a loop going.
            bool &declined = isOurs ? declinedOurs[option] : declinedTheirs[option];
            if (!declined)
                out->reply += negotiation(decline, option);
            declined = true;
            return;
        }
        if (state == No)
            out->reply += negotiation(agree, option);
        const bool taken = state != Yes;
        state = Yes;
        if (taken && isOurs && option == comPort) {
            refused = false;
            for (QByteArray &request : kept) {
                out->reply += request;
                request.clear();
            }
        }
        return;
    }
    if (state == No)
        return;
    // Our own request refused needs no answer; an option in force does.
    if (state == Yes)
        out->reply += negotiation(decline, option);
    state = No;
    if (isOurs && option == comPort && !refused) {
        refused = true;
        for (QByteArray &request : kept)
            request.clear();
        Event event;
        event.kind = Event::ComPortRefused;
        out->events.append(event);
    }
}

void Rfc2217Codec::takeData(char byte, QByteArray *data)
{
    // Outside binary mode a carriage return is followed by a NUL that is not data.
    if (theirs[binary] != Yes) {
        const bool padding = carriageReturn && byte == '\0';
        carriageReturn = byte == '\r';
        if (padding)
            return;
    }
    data->append(byte);
}

void Rfc2217Codec::appendSub(char byte)
{
    if (subTooLong)
        return;
    if (sub.size() >= maxSubnegotiation) {
        subTooLong = true;
        sub = QByteArray();
        return;
    }
    sub.append(byte);
}

void Rfc2217Codec::finishSub(Decoded *out)
{
    const QByteArray whole = sub;
    sub = QByteArray();
    if (subTooLong || whole.size() < 3 || quint8(whole[0]) != comPort)
        return;
    const quint8 code = quint8(whole[1]);
    const QByteArray payload = whole.mid(2);
    Event event;
    if (code == serverOffset + 1) {
        if (payload.size() != 4)
            return;
        for (const char byte : payload)
            event.value = (event.value << 8) | quint8(byte);
    } else if (payload.size() == 1) {
        event.value = quint8(payload[0]);
    } else {
        return;
    }
    if (code == notifyModemState) {
        event.kind = Event::ModemState;
    } else if (code == notifyLineState) {
        event.kind = Event::LineState;
    } else if (code > serverOffset) {
        event.setting = settingOf(code - serverOffset, event.value);
        if (event.setting == Setting::Other)
            return;
    } else {
        return; // a client's command, or the server's signature
    }
    out->events.append(event);
}

Rfc2217Codec::Setting Rfc2217Codec::settingOf(quint8 command, quint32 value)
{
    switch (command) {
    case 1:
        return Setting::BaudRate;
    case 2:
        return Setting::DataSize;
    case 3:
        return Setting::Parity;
    case 4:
        return Setting::StopSize;
    case 5:
        // One command sets flow control, break, DTR and RTS: the value tells.
        if (value <= 3 || (value >= 13 && value <= 19))
            return Setting::FlowControl;
        if (value <= 6)
            return Setting::Break;
        if (value <= 9)
            return Setting::Dtr;
        return value <= 12 ? Setting::Rts : Setting::Other;
    case 10:
        return Setting::LineStateMask;
    case 11:
        return Setting::ModemStateMask;
    case 12:
        return Setting::Purge;
    default:
        return Setting::Other;
    }
}

QByteArray Rfc2217Codec::encode(const QByteArray &data) const
{
    QByteArray out;
    out.reserve(data.size() + data.size() / 8);
    appendEscaped(&out, data, ours[binary] != Yes);
    return out;
}

QByteArray Rfc2217Codec::request(quint8 command, const QByteArray &payload, Setting setting)
{
    QByteArray bytes;
    bytes.append(char(iac));
    bytes.append(char(sb));
    bytes.append(char(comPort));
    bytes.append(char(command));
    appendEscaped(&bytes, payload);
    bytes.append(char(iac));
    bytes.append(char(se));
    if (comPortAgreed())
        return bytes;
    if (!refused)
        kept[int(setting)] = bytes;
    return QByteArray();
}

QByteArray Rfc2217Codec::setBaudRate(quint32 rate)
{
    const char bytes[] = { char(rate >> 24), char(rate >> 16), char(rate >> 8), char(rate) };
    return request(1, QByteArray(bytes, 4), Setting::BaudRate);
}

QByteArray Rfc2217Codec::setDataSize(quint8 bits)
{
    return request(2, QByteArray(1, char(bits)), Setting::DataSize);
}

QByteArray Rfc2217Codec::setParity(Parity parity)
{
    return request(3, QByteArray(1, char(parity)), Setting::Parity);
}

QByteArray Rfc2217Codec::setStopSize(StopSize size)
{
    return request(4, QByteArray(1, char(size)), Setting::StopSize);
}

QByteArray Rfc2217Codec::setControl(Control control)
{
    return request(5, QByteArray(1, char(control)), settingOf(5, quint32(control)));
}

QByteArray Rfc2217Codec::setModemStateMask(quint8 mask)
{
    return request(11, QByteArray(1, char(mask)), Setting::ModemStateMask);
}

bool Rfc2217Codec::transmitModeKnown() const
{
    return ours[binary] != WantYes;
}

bool Rfc2217Codec::comPortAgreed() const
{
    return ours[comPort] == Yes;
}

int Rfc2217Codec::bufferedBytes() const
{
    int total = sub.size();
    for (const QByteArray &request : kept)
        total += request.size();
    return total;
}
