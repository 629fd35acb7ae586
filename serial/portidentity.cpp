#include "portidentity.h"

#include <QSerialPortInfo>

PortIdentity PortIdentity::of(const QSerialPortInfo &info)
{
    PortIdentity identity;
    if (info.isNull())
        return identity;
    identity.serialNumber = info.serialNumber();
    identity.hasIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
    if (identity.hasIds) {
        identity.vendorId = info.vendorIdentifier();
        identity.productId = info.productIdentifier();
    }
    identity.location = info.systemLocation();
    return identity;
}

bool PortIdentity::operator==(const PortIdentity &other) const
{
    return serialNumber == other.serialNumber && hasIds == other.hasIds
            && vendorId == other.vendorId && productId == other.productId
            && location == other.location;
}

bool isSameDevice(const PortIdentity &lost, const PortIdentity &found)
{
    const bool sameIds = lost.hasIds == found.hasIds && lost.vendorId == found.vendorId
            && lost.productId == found.productId;
    if (!lost.serialNumber.isEmpty())
        return found.serialNumber == lost.serialNumber && (!found.hasIds || sameIds);
    if (lost.hasIds)
        return found.serialNumber.isEmpty() && sameIds && found.location == lost.location;
    return true;
}

bool identityPending(const PortIdentity &lost, const PortIdentity &found)
{
    const bool idsPending = lost.hasIds && !found.hasIds;
    const bool idsAgree = !found.hasIds
            || (lost.hasIds && found.vendorId == lost.vendorId
                && found.productId == lost.productId);
    if (!lost.serialNumber.isEmpty())
        return found.serialNumber.isEmpty() && idsAgree;
    return idsPending && found.serialNumber.isEmpty();
}
