// A stream decoded chunk by chunk, cut anywhere, must read exactly as the
// whole stream decoded at once.
#include "trafficformat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte seeds the cut lengths (1 to 8 bytes), the rest is the stream.
    unsigned seed = bytes[0];
    const QByteArray stream(reinterpret_cast<const char *>(bytes) + 1, int(size) - 1);

    Utf8StreamDecoder decoder;
    QString pieces;
    for (int position = 0; position < stream.size();) {
        seed = seed * 1103515245u + 12345u;
        const int length = int((seed >> 16) % 8) + 1;
        pieces += decoder.decode(stream.mid(position, length));
        position += length;
    }
    // Whatever is still held back is unfinished and shows as such.
    pieces += textForm(decoder.pendingBytes());

    const QString whole = textForm(stream);
    if (pieces != whole) {
        std::fprintf(stderr, "stream %s\nsplit  %s\nwhole  %s\n", stream.toHex(' ').constData(),
                     pieces.toUtf8().toHex(' ').constData(), whole.toUtf8().toHex(' ').constData());
        std::abort();
    }
    return 0;
}
