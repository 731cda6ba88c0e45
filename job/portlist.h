#pragma once

#include "platformconnect.h"

#include <QList>
#include <QString>
#include <QStringList>

class QSerialPortInfo;

// What `velmora --list-ports` prints: one tab-separated line per serial port
// Qt knows, ending with whether this user may open it and, if not, what to do.
// Needs no display, so it runs before any application object exists.
class portList
{
public:
    // What the system tells of one port; empty where it tells nothing.
    struct Port {
        QString name{};          // the system name, as settings.ini keeps it
        QString location{};      // the device path
        QString description{};
        QString manufacturer{};
        QString serialNumber{};
        QString usbId{};         // "vendor:product" in hex
        QString stablePath{};    // /dev/serial/by-id/...: survives a re-plug under another name
        // The window's tooltip: the lines the system has of the above.
        QString tooltip() const;
    };
    static QList<Port> ports(const QString &byIdFolder = defaultByIdFolder());
    static Port port(const QSerialPortInfo &info, const QString &byIdFolder = defaultByIdFolder());
    // What --list-ports prints: a header row, then one line per port; no
    // line without a port.
    static QStringList lines();
    static QString header();
    // Whether a named port is there: a local port is asked of the system
    // (Windows' ports are no files); whether a serial server answers shows
    // only when a job opens its port.
    static bool exists(const QString &name);
    // Where a named port is: its device path, or a serial server's URL.
    static QString where(const QString &name);
    // The same for every name of one line: a device by its canonical path
    // (a /dev/serial/by-id link is its device), a serial server's port by
    // its address however spelt. Two jobs on one identity would share a box.
    static QString identity(const QString &name);
    // The identities of `names`, in order, each server's host looked up at
    // most once; empty when `stop` was raised before they were all known.
    static QStringList identities(const QStringList &names, const platformConnect::Stop *stop = nullptr);
    // Whether identities() would ask the name server.
    static bool needsLookUp(const QStringList &names);
    static QString line(const Port &port);
    // Where udev keeps a link per adapter that names it by its own id.
    static QString defaultByIdFolder() { return QStringLiteral("/dev/serial/by-id"); }
    // The link in `folder` that leads to `device`, or empty.
    static QString stablePath(const QString &device, const QString &folder);
    // "ok", or why the device cannot be opened for reading and writing.
    static QString access(const QString &path);
};
