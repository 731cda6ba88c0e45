#include "portlist.h"

#include "serialline.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Unknown fields stay visible as "-" so every line has the same columns.
QString field(QString text)
{
    text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    text = text.trimmed();
    return text.isEmpty() ? QStringLiteral("-") : text;
}

QString hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

bool inGroupNow(gid_t gid)
{
    if (getegid() == gid)
        return true;
    const int n = getgroups(0, nullptr);
    std::vector<gid_t> groups(n > 0 ? n : 0);
    if (n > 0 && getgroups(n, groups.data()) == n)
        for (gid_t g : groups)
            if (g == gid)
                return true;
    return false;
}

// Whether the user database already lists this user in the group: then only
// the login session is older than the membership.
bool inGroupOnRecord(gid_t gid)
{
    const passwd *pw = getpwuid(getuid());
    if (!pw)
        return false;
    int n = 64;
    std::vector<gid_t> groups(n);
    if (getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0) {
        groups.resize(n);
        if (getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0)
            return false;
    }
    for (int i = 0; i < n; ++i)
        if (groups[i] == gid)
            return true;
    return false;
}

} // namespace

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
    return out;
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
    const QByteArray native = path.toLocal8Bit();
    if (::access(native.constData(), R_OK | W_OK) == 0)
        return QStringLiteral("ok");
    const int err = errno;
    struct stat st;
    if (err != EACCES || stat(native.constData(), &st) != 0)
        return QStringLiteral("no access: ") + QString::fromLocal8Bit(std::strerror(err));
    const QString name = serialLine::deviceGroup(path);
    const passwd *pw = getpwuid(st.st_uid);
    const QString owner = pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(st.st_uid);
    // Only a group that may read and write the device helps.
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) || inGroupNow(st.st_gid))
        return QStringLiteral("no access: mode %1, owner %2, group %3")
            .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'))
            .arg(owner, name);
    if (inGroupOnRecord(st.st_gid))
        return QStringLiteral("no access: member of group %1 since this login, log in again").arg(name);
    return QStringLiteral("no access: join group %1 and log in again").arg(name);
}
