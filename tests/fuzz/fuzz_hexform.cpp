// What the hex view shows must read back, both as hexadecimal and through
// the send parser, to exactly the bytes received.
#include "hexparser.h"
#include "trafficformat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char *>(bytes), int(size));
    const QString shown = hexForm(data);
    bool wellFormed = shown.size() == (data.isEmpty() ? 0 : 3 * data.size() - 1);
    for (int i = 0; i < shown.size() && wellFormed; ++i) {
        const QChar c = shown.at(i);
        wellFormed = i % 3 == 2 ? c == QLatin1Char(' ')
                                : (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                        || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
    }
    if (!wellFormed || QByteArray::fromHex(shown.toLatin1()) != data
        || parseHexString(shown) != data) {
        std::fprintf(stderr, "hex form %s\n", qPrintable(shown.left(200)));
        std::abort();
    }
    return 0;
}
