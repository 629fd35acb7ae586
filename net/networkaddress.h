#ifndef QUORVEL_NETWORKADDRESS_H
#define QUORVEL_NETWORKADDRESS_H

#include <QCoreApplication>
#include <QString>

// A serial port served over the network, named as pyserial and the tools
// built on it name one: rfc2217://HOST:PORT (telnet with the COM-PORT-OPTION,
// so the line settings travel too) or socket://HOST:PORT (the bytes alone).
struct NetworkAddress
{
    Q_DECLARE_TR_FUNCTIONS(NetworkAddress)

public:
    enum Protocol { Rfc2217, RawTcp };

    Protocol protocol = Rfc2217;
    // A name or an IPv4 address, or an IPv6 address without its brackets.
    QString host;
    quint16 port = 0;

    // Whether name is meant as a network port: one of the two schemes, in any
    // case. Anything else is a device name or path.
    static bool looksLikeNetworkName(const QString &name);
    // False with *error set (a sentence for the user) when name is not a
    // network port name that can be used.
    static bool parse(const QString &name, NetworkAddress *address, QString *error);
    // The name back, with the scheme in lower case and IPv6 in brackets.
    QString toString() const;

    bool operator==(const NetworkAddress &other) const;
};

#endif // QUORVEL_NETWORKADDRESS_H
