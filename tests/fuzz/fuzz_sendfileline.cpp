// A send-file line decodes without loss: valid UTF-8 comes back byte for
// byte once trimmed, and the result never starts or ends with white space.
#include "sendfileline.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool isAsciiSpace(QChar c)
{
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(bytes), int(size));
    const QString line = decodeSendFileLine(raw);
    bool sound = line.isEmpty() || (!isAsciiSpace(line.front()) && !isAsciiSpace(line.back()));
    // Without a replacement character the input was valid UTF-8 and must
    // come back unchanged.
    if (!line.contains(QChar::ReplacementCharacter))
        sound = sound && line.toUtf8() == raw.trimmed();
    if (!sound) {
        std::fprintf(stderr, "line %s decoded as %s\n", raw.toHex(' ').constData(),
                     line.toUtf8().toHex(' ').constData());
        std::abort();
    }
    return 0;
}
