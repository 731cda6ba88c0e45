#include "portlist.h"
#include "serialline.h"
#include "portaddress.h"

#include "platformdevice.h"
#include "platformerror.h"
#include "systemtext.h"

#include <QDir>
#include <QHash>
#include <QFileInfo>
#ifdef QT_SERIALPORT_LIB
#include <QSerialPortInfo>
#endif

namespace {

// Unknown fields stay visible as "-" so every line has the same columns.
QString field(QString text)
{
    text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    text = text.trimmed();
    return text.isEmpty() ? QStringLiteral("-") : text;
}

#ifdef QT_SERIALPORT_LIB
QString hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}
#else
// The highest COM number asked for where the ports are not listed by Qt.
constexpr int highestComPort = 256;
#endif

} // namespace

#ifdef QT_SERIALPORT_LIB
QList<portList::Port> portList::ports(const QString &byIdFolder)
{
    QList<Port> out;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        out << port(info, byIdFolder);
    return out;
}

portList::Port portList::port(const QSerialPortInfo &info, const QString &byIdFolder)
{
    Port p;
    p.name = info.portName();
    p.location = info.systemLocation();
    p.description = info.description();
    p.manufacturer = info.manufacturer();
    p.serialNumber = info.serialNumber();
    if (info.hasVendorIdentifier() || info.hasProductIdentifier())
        p.usbId = (info.hasVendorIdentifier() ? hex4(info.vendorIdentifier()) : QStringLiteral("????"))
                  + QLatin1Char(':')
                  + (info.hasProductIdentifier() ? hex4(info.productIdentifier()) : QStringLiteral("????"));
    p.stablePath = stablePath(p.location, byIdFolder);
    return p;
}
#else
// Without Qt's serial port (the program for Windows) the ports are the COM
// names that the system knows; it tells nothing more of them here.
QList<portList::Port> portList::ports(const QString &)
{
    QList<Port> out;
    for (int n = 1; n <= highestComPort; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        if (!exists(name))
            continue;
        Port p;
        p.name = name;
        p.location = serialLine::devicePath(name);
        out << p;
    }
    return out;
}
#endif

QString portList::stablePath(const QString &device, const QString &folder)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return QString();
    const QFileInfoList links = QDir(folder).entryInfoList(QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo &link : links)
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    return QString();
}

QString portList::Port::tooltip() const
{
    QStringList shown;
    for (const QString &text : {description, manufacturer, stablePath.isEmpty() ? location : stablePath})
        if (!text.trimmed().isEmpty())
            shown << text.trimmed();
    return shown.join(QLatin1Char('\n'));
}

QStringList portList::lines()
{
    QStringList out;
    for (const Port &p : ports())
        out << line(p);
    if (!out.isEmpty())
        out.prepend(header());
    return out;
}

// One name for each column of line(), in its order.
QString portList::header()
{
    return QStringLiteral("NAME\tLOCATION\tDESCRIPTION\tMANUFACTURER\tSERIAL\tUSB-ID\tACCESS\tSTABLE-PATH");
}

// The stable path comes last, so that scripts reading the earlier columns
// by position keep working.
QString portList::line(const Port &p)
{
    return QStringList{field(p.name), field(p.location), field(p.description), field(p.manufacturer),
                       field(p.serialNumber), field(p.usbId), access(p.location), field(p.stablePath)}
        .join(QLatin1Char('\t'));
}

QString portList::access(const QString &path)
{
    const platformDevice::Access a = platformDevice::access(systemText(path));
    if (a.error == 0)
        return QStringLiteral("ok");
    if (!a.refused)
        return QStringLiteral("no access: ") + fromSystem(platformError::text(a.error));
    const QString group = fromSystem(a.group);
    // Only a group that may read and write the device helps.
    if (!a.groupMayUse || a.inGroupNow)
        return QStringLiteral("no access: mode %1, owner %2, group %3")
            .arg(a.mode, 4, 8, QLatin1Char('0'))
            .arg(fromSystem(a.owner), group);
    if (a.inGroupOnRecord)
        return QStringLiteral("no access: member of group %1 since this login, log in again").arg(group);
    return QStringLiteral("no access: join group %1 and log in again").arg(group);
}

bool portList::exists(const QString &name)
{
    return portAddress::parse(name).network() || platformDevice::exists(systemText(serialLine::devicePath(name)));
}

QString portList::identity(const QString &name)
{
    const portAddress address = portAddress::parse(name);
    if (address.network())
        return address.key();
    const QString device = serialLine::devicePath(name);
#ifdef Q_OS_WIN
    // Windows names a port in any case, with or without the device prefix.
    const QString prefix = QStringLiteral("\\\\.\\");
    return (device.startsWith(prefix) ? device.mid(prefix.size()) : device).toUpper();
#else
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
#endif
}

QStringList portList::identities(const QStringList &names, const platformConnect::Stop *stop)
{
    QHash<QString, QString> hosts;   // by the host as given, in lower case: as resolved
    QStringList out;
    for (const QString &name : names) {
        const portAddress address = portAddress::parse(name);
        if (!address.network() || !address.problem.isEmpty()) {
            out << identity(name);
            continue;
        }
        const QString host = address.host.toLower();
        if (!hosts.contains(host))
            hosts.insert(host, portAddress::resolved(address.host, stop));
        if (stop && stop->raised())
            return QStringList();
        out << address.keyAt(hosts.value(host));
    }
    return out;
}

bool portList::needsLookUp(const QStringList &names)
{
    for (const QString &name : names)
        if (portAddress::parse(name).needsLookUp())
            return true;
    return false;
}

QString portList::where(const QString &name)
{
    return portAddress::parse(name).network() ? name : serialLine::devicePath(name);
}
