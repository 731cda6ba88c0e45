#pragma once

#include "platformconnect.h"

#include <QString>

// What a port's name stands for: a serial device (any name or path), or a
// serial server on the network, "rfc2217://host:port" or
// "socket://host:port", the host an IPv4 address, an IPv6 address in
// brackets or a host name.
class portAddress
{
public:
    enum Kind { Serial, Socket, Rfc2217 };

    static portAddress parse(const QString &name);

    Kind kind = Serial;
    QString name;      // as given
    QString host;      // without brackets
    quint16 port = 0;
    QString problem;   // why a network name cannot be used, in words; empty when it can

    bool network() const { return kind != Serial; }
    // "host:port" ("[::1]:port" for IPv6), for logs and log names.
    QString hostPort() const;
    // The same for every spelling of one server's port (scheme, case,
    // blanks, a trailing slash, a host name or any form of its address):
    // the resolved address and the port; for a serial device its name.
    // A host's name is looked up within the connect's window; `stop`
    // abandons that at once.
    QString key(const platformConnect::Stop *stop = nullptr) const;
    // key() of a network port whose host resolved() has named `where`.
    QString keyAt(const QString &where) const;
    // Whether key() asks the name server: a network port whose host is a
    // name, not an address nor localhost.
    bool needsLookUp() const;
    // How key() names a host: "loopback", its address, or the name in lower
    // case where no address was found (or the look-up was stopped).
    static QString resolved(const QString &host, const platformConnect::Stop *stop = nullptr);
    // A name fit for a file: "host_port" for a network port, else the device's base name.
    QString fileTag() const;
};
