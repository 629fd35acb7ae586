#ifndef QUORVEL_CHECKSUM_H
#define QUORVEL_CHECKSUM_H

#include <QByteArray>

// The values double as radio-button ids in ChecksumDialog and as the kind
// remembered per send area, so they must never be renumbered.
using ChecksumKind = int;

constexpr ChecksumKind NoChecksum = -1;
constexpr ChecksumKind Crc16LowFirst = 0;
constexpr ChecksumKind Crc16HighFirst = 1;
constexpr ChecksumKind Crc8 = 2;
constexpr ChecksumKind Sum8 = 3;
constexpr ChecksumKind Xor8 = 4;
constexpr ChecksumKind Crc32LowFirst = 5;
constexpr ChecksumKind Crc32HighFirst = 6;
constexpr int ChecksumKindCount = 7;

// Returns data followed by its checksum of the given kind. Empty data and
// unknown kinds come back unchanged.
QByteArray appendChecksum(const QByteArray &data, int kind);

#endif // QUORVEL_CHECKSUM_H
