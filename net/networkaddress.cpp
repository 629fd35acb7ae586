#include "networkaddress.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace {

const QLatin1String rfc2217Scheme("rfc2217://");
const QLatin1String rawTcpScheme("socket://");

// Letters, digits and hyphens, 1 to 63 a label, no hyphen at either end.
bool isHostName(const QString &host)
{
    static const QRegularExpression label(
            QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    if (host.size() > 253)
        return false;
    const QStringList labels = host.split(QLatin1Char('.'));
    for (const QString &part : labels) {
        if (!label.match(part).hasMatch())
            return false;
    }
    return true;
}

} // namespace

bool NetworkAddress::looksLikeNetworkName(const QString &name)
{
    const QString trimmed = name.trimmed();
    return trimmed.startsWith(rfc2217Scheme, Qt::CaseInsensitive)
            || trimmed.startsWith(rawTcpScheme, Qt::CaseInsensitive);
}

bool NetworkAddress::parse(const QString &name, NetworkAddress *address, QString *error)
{
    const QString trimmed = name.trimmed();
    const auto fail = [error](const QString &text) {
        *error = text;
        return false;
    };
    NetworkAddress result;
    QString rest;
    if (trimmed.startsWith(rfc2217Scheme, Qt::CaseInsensitive)) {
        result.protocol = Rfc2217;
        rest = trimmed.mid(rfc2217Scheme.size());
    } else if (trimmed.startsWith(rawTcpScheme, Qt::CaseInsensitive)) {
        result.protocol = RawTcp;
        rest = trimmed.mid(rawTcpScheme.size());
    } else {
        return fail(tr("“%1”不是网络端口名：须为 rfc2217://主机:端口 或 socket://主机:端口")
                            .arg(trimmed));
    }

    QString portText;
    if (rest.startsWith(QLatin1Char('['))) {
        const int close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(tr("网络端口 %1 的 IPv6 地址缺少“]”").arg(trimmed));
        result.host = rest.mid(1, close - 1);
        if (QHostAddress(result.host).protocol() != QAbstractSocket::IPv6Protocol)
            return fail(tr("网络端口 %1 的“%2”不是 IPv6 地址").arg(trimmed, result.host));
        rest = rest.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            return fail(tr("网络端口 %1 的“]”之后须为“:端口”").arg(trimmed));
        portText = rest.mid(1);
    } else {
        const int colon = rest.lastIndexOf(QLatin1Char(':'));
        result.host = colon < 0 ? rest : rest.left(colon);
        portText = colon < 0 ? QString() : rest.mid(colon + 1);
        if (result.host.contains(QLatin1Char(':')))
            return fail(tr("网络端口 %1 的 IPv6 地址须写在方括号中，如 rfc2217://[::1]:2000")
                                .arg(trimmed));
        if (result.host.isEmpty())
            return fail(tr("网络端口 %1 缺少主机名").arg(trimmed));
        // All digits and dots is meant as IPv4, and must be one.
        static const QRegularExpression dotted(QStringLiteral("^[0-9.]+$"));
        const bool valid = dotted.match(result.host).hasMatch()
                ? QHostAddress(result.host).protocol() == QAbstractSocket::IPv4Protocol
                : isHostName(result.host);
        if (!valid)
            return fail(tr("网络端口 %1 的主机“%2”无效").arg(trimmed, result.host));
    }

    if (portText.isEmpty())
        return fail(
                tr("网络端口 %1 缺少端口号，如 %2:2000")
                        .arg(trimmed,
                             trimmed.endsWith(QLatin1Char(':')) ? trimmed.chopped(1) : trimmed));
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    const int port = digits.match(portText).hasMatch() ? portText.toInt() : 0;
    if (port < 1 || port > 65535)
        return fail(tr("网络端口 %1 的端口号须为 1 到 65535 之间的整数").arg(trimmed));
    result.port = quint16(port);
    *address = result;
    return true;
}

QString NetworkAddress::toString() const
{
    const QString shownHost =
            host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1%2:%3")
            .arg(protocol == Rfc2217 ? rfc2217Scheme : rawTcpScheme, shownHost)
            .arg(port);
}

bool NetworkAddress::operator==(const NetworkAddress &other) const
{
    return protocol == other.protocol && host == other.host && port == other.port;
}
