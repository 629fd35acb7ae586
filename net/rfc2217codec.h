#ifndef QUORVEL_RFC2217CODEC_H
#define QUORVEL_RFC2217CODEC_H

#include <QByteArray>
#include <QVector>

#include <array>

// The client side of telnet with the COM-PORT-OPTION (RFC 854, 856, 858 and
// 2217) as pure conversions: what the server sent becomes the line's bytes,
// answers to send back and events; the line's bytes and the settings become
// what to send. No socket and no clock, so every byte sequence can be tried.
class Rfc2217Codec
{
public:
    // What a confirmation from the server is about.
    enum class Setting : quint8 {
        BaudRate,
        DataSize,
        Parity,
        StopSize,
        FlowControl,
        Break,
        Dtr,
        Rts,
        LineStateMask,
        ModemStateMask,
        Purge,
        Other
    };
    enum class Parity : quint8 { None = 1, Odd, Even, Mark, Space };
    enum class StopSize : quint8 { One = 1, Two, OneAndHalf };
    enum class Control : quint8 {
        NoFlowControl = 1,
        XonXoff = 2,
        Hardware = 3,
        BreakOn = 5,
        BreakOff = 6,
        DtrOn = 8,
        DtrOff = 9,
        RtsOn = 11,
        RtsOff = 12
    };
    // The upper half of a modem state: the lines themselves.
    enum ModemLine : quint8 { Cts = 0x10, Dsr = 0x20, RingIndicator = 0x40, Dcd = 0x80 };

    struct Event
    {
        enum Kind : quint8 { Confirmed, ModemState, LineState, ComPortRefused };
        Kind kind = Confirmed;
        // Of a confirmation; value is then the setting's value as the server
        // has it (the baud rate, the data bits, a Parity, ...).
        Setting setting = Setting::Other;
        quint32 value = 0;
    };
    struct Decoded
    {
        QByteArray data;
        // Answers to the server's negotiation, to be sent at once.
        QByteArray reply;
        QVector<Event> events;
    };

    // A longer subnegotiation is dropped whole: its bytes are not kept.
    static constexpr int maxSubnegotiation = 1024;

    // What a new connection begins with; forgets everything of the last one.
    QByteArray start();
    Decoded decode(const QByteArray &bytes);
    QByteArray encode(const QByteArray &data) const;

    // Each gives the bytes to send, or nothing while the server has not yet
    // taken the COM-PORT-OPTION: the latest request of each kind is then
    // kept, and sent in the reply that takes it. Nothing once refused.
    QByteArray setBaudRate(quint32 rate);
    QByteArray setDataSize(quint8 bits);
    QByteArray setParity(Parity parity);
    QByteArray setStopSize(StopSize size);
    QByteArray setControl(Control control);
    QByteArray setModemStateMask(quint8 mask);

    // Until the server answers our binary request, a carriage return would
    // be sent in a form that depends on the answer.
    bool transmitModeKnown() const;
    bool comPortAgreed() const;
    bool comPortRefused() const { return refused; }
    // Bytes held between calls: a subnegotiation begun, requests kept.
    int bufferedBytes() const;

    static Setting settingOf(quint8 command, quint32 value);

private:
    enum class Phase : quint8 { Data, Command, Option, Sub, SubCommand };
    // Each side of an option (RFC 1143, without the queue bit).
    enum State : quint8 { No, Yes, WantYes };

    void command(quint8 byte, Decoded *out);
    void negotiate(quint8 verb, quint8 option, Decoded *out);
    void takeData(char byte, QByteArray *data);
    void appendSub(char byte);
    void finishSub(Decoded *out);
    QByteArray request(quint8 command, const QByteArray &payload, Setting setting);

    Phase phase = Phase::Data;
    quint8 verb = 0;
    bool carriageReturn = false;
    QByteArray sub;
    bool subTooLong = false;
    bool refused = false;
    // Our side (WILL/WONT) and the server's (DO/DONT) of each option.
    std::array<State, 256> ours{};
    std::array<State, 256> theirs{};
    // Options we have already declined once; a repeated request gets no answer.
    std::array<bool, 256> declinedOurs{};
    std::array<bool, 256> declinedTheirs{};
    std::array<QByteArray, int(Setting::Other) + 1> kept;
};

#endif // QUORVEL_RFC2217CODEC_H
