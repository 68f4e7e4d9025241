#include "lineaddress.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

struct Scheme {
    QLatin1StringView prefix;
    LineAddress::Protocol protocol;
};

constexpr Scheme Schemes[] = {
    {QLatin1StringView("socket://"), LineAddress::Raw},
    {QLatin1StringView("rfc2217://"), LineAddress::Rfc2217},
};

constexpr qsizetype MaximumHostNameLength = 253;
constexpr qsizetype MaximumLabelLength = 63;
constexpr quint32 HighestPort = 65535;

bool isIpv4Like(const QString &host)
{
    static const QRegularExpression digitsAndDots(QStringLiteral("^[0-9.]+$"));
    return digitsAndDots.match(host).hasMatch();
}

bool isIpv4(const QString &host)
{
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        bool ok = false;
        if (part.isEmpty() || part.size() > 3 || part.toUInt(&ok) > 255 || !ok)
            return false;
    }
    return true;
}

// Letters, digits and hyphens in dot-separated labels, none beginning or ending with a
// hyphen.
bool isHostName(const QString &host)
{
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?$"));
    const QStringList labels = host.split(QLatin1Char('.'));
    for (const QString &part : labels) {
        if (!label.match(part).hasMatch())
            return false;
    }
    return true;
}

// At most 253 characters, 63 between dots.
bool isTooLong(const QString &host)
{
    if (host.size() > MaximumHostNameLength)
        return true;
    const QStringList labels = host.split(QLatin1Char('.'));
    return std::any_of(labels.begin(), labels.end(),
                       [](const QString &part) { return part.size() > MaximumLabelLength; });
}

AddressProblem checkHost(const QString &host)
{
    if (host.isEmpty())
        return AddressProblem::NoHost;
    if (host.contains(QLatin1Char(':')))
        return AddressProblem::Ipv6WithoutBrackets;
    if (isIpv4Like(host))
        return isIpv4(host) ? AddressProblem::None : AddressProblem::BadIpv4;
    if (!isHostName(host))
        return AddressProblem::BadHostName;
    return isTooLong(host) ? AddressProblem::HostTooLong : AddressProblem::None;
}

// The options after the question mark, joined by &. `option` is set to the one at fault.
AddressProblem readOptions(const QString &options, LineAddress *address, QString *option)
{
    static const QRegularExpression seconds(QStringLiteral("^[0-9]{1,4}(\\.[0-9]{1,3})?$"));
    const QStringList parts = options.split(QLatin1Char('&'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString name = part.section(QLatin1Char('='), 0, 0).toLower();
        const bool hasValue = part.contains(QLatin1Char('='));
        const QString value = part.section(QLatin1Char('='), 1);
        if (name == QLatin1String("timeout") && hasValue) {
            const qint64 ms = seconds.match(value).hasMatch() ? qRound64(value.toDouble() * 1000) : 0;
            if (ms <= 0 || ms > LineAddress::LongestOpenTimeoutMs) {
                *option = part;
                return AddressProblem::BadTimeout;
            }
            address->openTimeoutMs = int(ms);
        } else if (!(name == QLatin1String("ign_set_control") && !hasValue)
                   && !(name == QLatin1String("logging") && hasValue)) {
            *option = part;
            return AddressProblem::UnknownOption;
        }
    }
    return AddressProblem::None;
}

} // namespace

QString LineAddress::text() const
{
    const QString scheme = protocol == Rfc2217 ? QStringLiteral("rfc2217://") : QStringLiteral("socket://");
    const QString shownHost = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return scheme + shownHost + QLatin1Char(':') + QString::number(port);
}

bool looksLikeLineAddress(const QString &name)
{
    static const QRegularExpression scheme(QStringLiteral("^\\s*[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(name).hasMatch();
}

ParsedLineAddress parseLineAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    ParsedLineAddress result;
    const Scheme *scheme = nullptr;
    for (const Scheme &candidate : Schemes) {
        if (trimmed.startsWith(candidate.prefix, Qt::CaseInsensitive))
            scheme = &candidate;
    }
    if (!scheme) {
        result.problem = AddressProblem::UnknownScheme;
        return result;
    }
    result.address.protocol = scheme->protocol;
    QString rest = trimmed.mid(scheme->prefix.size());
    // Neither a host nor a port holds a question mark: what follows it are options.
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    const QString options = question < 0 ? QString() : rest.mid(question + 1);
    if (question >= 0)
        rest.truncate(question);
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);

    QString host, port;
    bool hasPort = false;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        host = rest.mid(1, close - 1);
        const QHostAddress ip(host);
        if (close < 0 || host.isEmpty() || ip.protocol() != QAbstractSocket::IPv6Protocol) {
            result.problem = host.isEmpty() && close > 0 ? AddressProblem::NoHost : AddressProblem::BadIpv6;
            return result;
        }
        hasPort = rest.mid(close + 1, 1) == QLatin1String(":");
        port = rest.mid(close + 2);
    } else {
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        hasPort = colon >= 0;
        host = hasPort ? rest.left(colon) : rest;
        port = hasPort ? rest.mid(colon + 1) : QString();
        if (hasPort && host.contains(QLatin1Char(':'))) {
            // An IPv6 address (with or without a port after it) wants brackets; anything
            // else with a colon in its host, such as two addresses, is no host name.
            const bool ipv6 = QHostAddress(rest).protocol() == QAbstractSocket::IPv6Protocol
                              || QHostAddress(host).protocol() == QAbstractSocket::IPv6Protocol;
            result.problem = ipv6 ? AddressProblem::Ipv6WithoutBrackets : AddressProblem::BadHostName;
            return result;
        }
        result.problem = checkHost(host);
        if (result.problem != AddressProblem::None)
            return result;
    }
    if (!hasPort || port.isEmpty()) {
        result.problem = AddressProblem::NoPort;
        return result;
    }
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    const quint32 number = port.toUInt();
    if (!digits.match(port).hasMatch() || number < 1 || number > HighestPort) {
        result.problem = AddressProblem::BadPort;
        return result;
    }
    result.problem = readOptions(options, &result.address, &result.option);
    if (result.problem != AddressProblem::None)
        return result;
    result.address.host = host;
    result.address.port = quint16(number);
    return result;
}
