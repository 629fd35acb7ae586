// Checksums checked by their algebra rather than by a second implementation:
// a CRC over data followed by its own CRC leaves the algorithm's residue,
// and the two byte orders of a CRC are mirror images.
#include "checksum.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

QByteArray tail(const QByteArray &bytes, int n)
{
    return bytes.right(n);
}

QByteArray reversed(QByteArray bytes)
{
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the kind, unknown ones included.
    const int kind = int(bytes[0] % (ChecksumKindCount + 3)) - 2;
    const QByteArray data(reinterpret_cast<const char *>(bytes) + 1, int(size) - 1);
    const QByteArray result = appendChecksum(data, kind);
    require(result.startsWith(data), "data kept in front");

    static const int added[ChecksumKindCount] = { 2, 2, 1, 1, 1, 4, 4 };
    if (data.isEmpty() || kind < 0 || kind >= ChecksumKindCount) {
        require(result == data, "empty data and unknown kinds unchanged");
        return 0;
    }
    require(result.size() == data.size() + added[kind], "checksum length");

    switch (kind) {
    case Crc16LowFirst:
        require(tail(appendChecksum(result, Crc16LowFirst), 2) == QByteArray(2, '\0'),
                "CRC-16/MODBUS residue 0");
        require(tail(appendChecksum(data, Crc16HighFirst), 2) == reversed(tail(result, 2)),
                "CRC-16 byte orders mirror");
        break;
    case Crc8:
        require(tail(appendChecksum(result, Crc8), 1) == QByteArray(1, '\0'), "CRC-8 residue 0");
        break;
    case Sum8: {
        const QByteArray balanced = data + char(-result.at(result.size() - 1));
        require(tail(appendChecksum(balanced, Sum8), 1) == QByteArray(1, '\0'),
                "sum with its negation is 0");
        break;
    }
    case Xor8:
        require(tail(appendChecksum(result, Xor8), 1) == QByteArray(1, '\0'), "XOR residue 0");
        break;
    case Crc32LowFirst:
        require(tail(appendChecksum(result, Crc32LowFirst), 4) == QByteArray("\x1C\xDF\x44\x21", 4),
                "CRC-32 residue 2144DF1C");
        require(tail(appendChecksum(data, Crc32HighFirst), 4) == reversed(tail(result, 4)),
                "CRC-32 byte orders mirror");
        break;
    default:
        break;
    }
    return 0;
}
