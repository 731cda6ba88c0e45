#include "portaddress.h"

#include "platformconnect.h"
#include "tcptransport.h"

#include <QFileInfo>
#include <QHostAddress>

namespace {

const struct {
    portAddress::Kind kind;
    const char *scheme;
} schemes[] = {
    {.kind = portAddress::Rfc2217, .scheme = "rfc2217://"},
    {.kind = portAddress::Socket, .scheme = "socket://"},
};

} // namespace

portAddress portAddress::parse(const QString &name)
{
    portAddress a;
    a.name = name;
    // Blanks around a pasted URL are no part of it.
    const QString given = name.trimmed();
    QString rest;
    for (const auto &s : schemes)
        if (given.startsWith(QLatin1String(s.scheme), Qt::CaseInsensitive)) {
            a.kind = s.kind;
            rest = given.mid(int(qstrlen(s.scheme)));
        }
    if (a.kind == Serial)
        return a;
    // A trailing slash is what people type after a URL's authority.
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    int colon = -1;
    if (rest.startsWith(QLatin1Char('['))) {
        const int close = rest.indexOf(QLatin1Char(']'));
        if (close > 1) {
            a.host = rest.mid(1, close - 1);
            colon = rest.mid(close + 1).startsWith(QLatin1Char(':')) ? close + 1 : -1;
        }
    } else {
        colon = rest.lastIndexOf(QLatin1Char(':'));
        a.host = rest.left(colon);
        // An IPv6 address without brackets cannot be told from its port.
        if (a.host.contains(QLatin1Char(':')))
            a.host.clear();
    }
    bool number = false;
    const uint port = colon >= 0 ? rest.mid(colon + 1).toUInt(&number) : 0;
    if (a.host.isEmpty() || a.host.contains(QLatin1Char('/')))
        a.problem = QStringLiteral("no host in %1 (write %2host:port, an IPv6 address in brackets)")
                        .arg(name, name.left(name.indexOf(QLatin1String("//")) + 2));
    else if (!number || port == 0 || port > 65535)
        a.problem = QStringLiteral("no TCP port number (1 to 65535) in %1").arg(name);
    else
        a.port = quint16(port);
    return a;
}

QString portAddress::hostPort() const
{
    const QString host = this->host.contains(QLatin1Char(':')) ? QLatin1Char('[') + this->host + QLatin1Char(']') : this->host;
    return host + QLatin1Char(':') + QString::number(port);
}

namespace {

// The names of this machine itself, which no name server is asked about.
bool isLocalhost(const QString &host)
{
    const QString local = QStringLiteral("localhost");
    return host.compare(local, Qt::CaseInsensitive) == 0 || host.endsWith(QLatin1Char('.') + local, Qt::CaseInsensitive);
}

} // namespace

QString portAddress::key(const platformConnect::Stop *stop) const
{
    if (!network() || !problem.isEmpty())
        return name;
    return keyAt(resolved(host, stop));
}

QString portAddress::keyAt(const QString &where) const
{
    return QStringLiteral("net:%1:%2").arg(where).arg(port);
}

bool portAddress::needsLookUp() const
{
    return network() && problem.isEmpty() && QHostAddress(host).isNull() && !isLocalhost(host);
}

QString portAddress::resolved(const QString &host, const platformConnect::Stop *stop)
{
    // Both loopbacks reach this machine's server alike.
    const QString loopback = QStringLiteral("loopback");
    if (isLocalhost(host))
        return loopback;
    QHostAddress address;
    if (!address.setAddress(host)) {
        // "127.1" and names: as the connection would resolve them, and
        // within its window, never longer.
        const platformConnect::Addresses found =
            platformConnect::lookUp(host.toStdString(), tcpTransport::connectMs, stop);
        for (const std::string &text : found.numeric) {
            const QHostAddress a(QString::fromStdString(text));
            if (address.isNull() || a.protocol() == QAbstractSocket::IPv4Protocol)
                address = a;
        }
    }
    return address.isLoopback() ? loopback : address.isNull() ? host.toLower() : address.toString();
}

QString portAddress::fileTag() const
{
    if (!network()) {
        const QString base = QFileInfo(name).fileName();
        return base.isEmpty() ? name : base;
    }
    QString tag = host + QLatin1Char('_') + QString::number(port);
    // An IPv6 address's colons and a scope's percent sign do not belong in a file name.
    tag.replace(QLatin1Char(':'), QLatin1Char('-'));
    tag.replace(QLatin1Char('%'), QLatin1Char('-'));
    return tag;
}
