#include "checksum.h"

#include <QtGlobal>

namespace {

// The CRCs run bit by bit: send areas are short, so a lookup table would only
// add state without a noticeable gain.

quint16 crc16Modbus(const QByteArray &data)
{
    quint16 crc = 0xFFFF;
    for (const char byte : data) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? quint16((crc >> 1) ^ 0xA001u) : quint16(crc >> 1);
    }
    return crc;
}

quint8 crc8(const QByteArray &data)
{
    quint8 crc = 0x00;
    for (const char byte : data) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80u) ? quint8((crc << 1) ^ 0x07u) : quint8(crc << 1);
    }
    return crc;
}

quint8 sum8(const QByteArray &data)
{
    quint8 sum = 0;
    for (const char byte : data)
        sum = quint8(sum + static_cast<quint8>(byte));
    return sum;
}

quint8 xor8(const QByteArray &data)
{
    quint8 result = 0;
    for (const char byte : data)
        result ^= static_cast<quint8>(byte);
    return result;
}

quint32 crc32Hdlc(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

char byteOf(quint32 value, int shift)
{
    return static_cast<char>((value >> shift) & 0xFFu);
}

} // namespace

QByteArray appendChecksum(const QByteArray &data, int kind)
{
    if (data.isEmpty() || kind < 0 || kind >= ChecksumKindCount)
        return data;

    QByteArray result = data;
    switch (kind) {
    case Crc16LowFirst: {
        const quint16 crc = crc16Modbus(data);
        result.append(byteOf(crc, 0));
        result.append(byteOf(crc, 8));
        break;
    }
    case Crc16HighFirst: {
        const quint16 crc = crc16Modbus(data);
        result.append(byteOf(crc, 8));
        result.append(byteOf(crc, 0));
        break;
    }
    case Crc8:
        result.append(static_cast<char>(crc8(data)));
        break;
    case Sum8:
        result.append(static_cast<char>(sum8(data)));
        break;
    case Xor8:
        result.append(static_cast<char>(xor8(data)));
        break;
    case Crc32LowFirst: {
        const quint32 crc = crc32Hdlc(data);
        for (int shift = 0; shift <= 24; shift += 8)
            result.append(byteOf(crc, shift));
        break;
    }
    case Crc32HighFirst: {
        const quint32 crc = crc32Hdlc(data);
        for (int shift = 24; shift >= 0; shift -= 8)
            result.append(byteOf(crc, shift));
        break;
    }
    default:
        break;
    }
    return result;
}
