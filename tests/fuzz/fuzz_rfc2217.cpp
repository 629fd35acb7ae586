// The telnet codec against arbitrary input. The line's bytes come back
// exactly through encode and decode, in either mode and whatever the
// chunking; a setting sent comes back confirmed with its value; and whatever
// a server sends, nothing held grows past the subnegotiation cap.
#include "rfc2217codec.h"

#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char *what, const QByteArray &input)
{
    std::fprintf(stderr, "%s for input %s\n", what, input.toHex(' ').constData());
    std::abort();
}

// Decodes in chunks whose sizes cycle through the input's own bytes.
Rfc2217Codec::Decoded decodeChunked(Rfc2217Codec *codec, const QByteArray &bytes,
                                    const QByteArray &sizes, const QByteArray &input)
{
    Rfc2217Codec::Decoded all;
    for (int done = 0, turn = 0; done < bytes.size(); ++turn) {
        const int size = sizes.isEmpty() ? 1 : 1 + quint8(sizes[turn % sizes.size()]) % 16;
        const QByteArray chunk = bytes.mid(done, size);
        done += chunk.size();
        const Rfc2217Codec::Decoded part = codec->decode(chunk);
        if (part.data.size() > chunk.size() || part.reply.size() > 3 * chunk.size() + 64
            || codec->bufferedBytes() > Rfc2217Codec::maxSubnegotiation)
            fail("unbounded output or buffer", input);
        all.data += part.data;
        all.events += part.events;
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(bytes), int(size));
    const bool binaryMode = !input.isEmpty() && (quint8(input[0]) & 1);
    const QByteArray data = input.mid(1);

    // Our encoding, read back by a client whose server speaks the same mode.
    Rfc2217Codec sender;
    sender.start();
    Rfc2217Codec receiver;
    receiver.start();
    if (binaryMode) {
        sender.decode(QByteArray("\xff\xfd\x00", 3));
        receiver.decode(QByteArray("\xff\xfb\x00", 3));
    }
    const Rfc2217Codec::Decoded back = decodeChunked(&receiver, sender.encode(data), data, input);
    if (back.data != data || !back.events.isEmpty())
        fail("data changed on the way", input);

    // A baud rate request turned into the server's answer confirms that rate.
    if (data.size() >= 4) {
        sender.decode(QByteArray("\xff\xfd\x2c", 3));
        const quint32 rate = qFromBigEndian<quint32>(data.constData());
        QByteArray answer = sender.setBaudRate(rate);
        answer[3] = char(101);
        const Rfc2217Codec::Decoded confirmed = decodeChunked(&receiver, answer, data, input);
        if (confirmed.events.size() != 1
            || confirmed.events[0].setting != Rfc2217Codec::Setting::BaudRate
            || confirmed.events[0].value != rate || !confirmed.data.isEmpty())
            fail("baud rate not confirmed as sent", input);
    }

    // Whatever a server sends: bounded (checked per chunk).
    Rfc2217Codec client;
    client.start();
    decodeChunked(&client, data, input.left(3), input);
    return 0;
}
