// The one-pass hexadecimal parser must read any text exactly as the first,
// regular-expression based parser did.
#include "hexparser.h"
#include "hexparser_reference.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QByteArray parsed = parseHexString(text);
    const QByteArray expected = referenceParseHexString(text);
    if (parsed != expected) {
        std::fprintf(stderr, "parsed %s, expected %s\n", parsed.toHex(' ').constData(),
                     expected.toHex(' ').constData());
        std::abort();
    }
    return 0;
}
