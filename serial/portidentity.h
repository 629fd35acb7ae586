#ifndef QUORVEL_PORTIDENTITY_H
#define QUORVEL_PORTIDENTITY_H

#include <QString>

class QSerialPortInfo;

// What tells one serial device from another under the same port name.
struct PortIdentity
{
    QString serialNumber;
    bool hasIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    // Where the system shows the port (its device node).
    QString location;

    static PortIdentity of(const QSerialPortInfo &info);
    bool operator==(const PortIdentity &other) const;
};

// Whether a device found under a lost port's name is the one that was lost:
// the same serial number; without one, the same vendor and product at the
// same place. A port with no identity at all (a pseudo-terminal, a link to
// one) is matched by its path alone, which the caller has already done.
bool isSameDevice(const PortIdentity &lost, const PortIdentity &found);
// The system does not know yet what would tell the found device from the
// lost one (a new node's serial number comes a moment after the node): it
// is neither the same nor another device, only a device to look at again.
bool identityPending(const PortIdentity &lost, const PortIdentity &found);

#endif // QUORVEL_PORTIDENTITY_H
