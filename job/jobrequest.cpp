#include "jobrequest.h"

#include "platformerror.h"
#include "platformfile.h"
#include "portaddress.h"
#include "systemtext.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <system_error>

namespace {

QString systemText(std::errc error)
{
    return QString::fromStdString(std::make_error_code(error).message());
}

// Where a download would write: its folder must be there and writable, and
// the name must not be a folder, nor a FIFO or a device, which the save
// would replace with a regular file (or block on, or write into).
linkCause targetProblem(const QString &name)
{
    const QFileInfo target(name);
    if (target.isDir())
        return linkCause(linkCause::TargetUnwritable, systemText(std::errc::is_a_directory), name);
    const QString special = jobRequest::specialKind(name);
    if (!special.isEmpty())
        return linkCause(linkCause::FileNotRegular, special, name);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return linkCause(linkCause::TargetUnwritable, systemText(std::errc::no_such_file_or_directory),
                         folder.filePath());
    if (!folder.isDir())
        return linkCause(linkCause::TargetUnwritable, systemText(std::errc::not_a_directory), folder.filePath());
    // The system's own reason: a read-only medium is no matter of permissions.
    const int folderError = platformFile::writeError(::systemText(folder.filePath()));
    if (folderError != 0 && !(target.exists() && platformFile::writeError(::systemText(name)) == 0))
        return linkCause(linkCause::TargetUnwritable, fromSystem(platformError::text(folderError)), folder.filePath());
    return linkCause();
}

const QString macField = QStringLiteral("{mac}");

// What each field of a download's target stands for.
struct Fields {
    QString port;
    QString mac;
};
const struct {
    const char *field;
    QString (*value)(const Fields &);
} targetFields[] = {
    {.field = "{port}", .value = [](const Fields &f) { return portAddress::parse(f.port).fileTag(); }},
    {.field = "{mac}", .value = [](const Fields &f) { return f.mac; }},
    {.field = "{date}", .value = [](const Fields &) { return QDate::currentDate().toString(Qt::ISODate); }},
};

} // namespace

bool jobRequest::perPort(const QString &target)
{
    return hasFields(target) || QFileInfo(target).isDir();
}

bool jobRequest::hasFields(const QString &target)
{
    for (const auto &f : targetFields)
        if (target.contains(QLatin1String(f.field)))
            return true;
    return false;
}

bool jobRequest::needsMac(const QString &target)
{
    return target.contains(macField);
}

QString jobRequest::targetFor(const QString &target, jobKind::Kind kind, const QString &port, const QString &mac)
{
    const Fields fields{.port = port, .mac = mac};
    QString name = target;
    bool field = false;
    for (const auto &f : targetFields) {
        field = field || name.contains(QLatin1String(f.field));
        name.replace(QLatin1String(f.field), f.value(fields));
    }
    if (field || !QFileInfo(target).isDir())
        return name;
    const QString extension = jobKind::isHd(kind) ? QStringLiteral(".lis") : QStringLiteral(".lst");
    return QDir(target).filePath(targetFields[0].value(fields) + extension);
}

QString jobRequest::specialKind(const QString &path)
{
    const platformFile::Kind kind = platformFile::kindOf(systemText(path));
    const struct {
        platformFile::Kind kind;
        const char *words;
    } kinds[] = {
        {.kind = platformFile::Fifo, .words = "a FIFO"},
        {.kind = platformFile::Device, .words = "a device"},
        {.kind = platformFile::Folder, .words = "a folder"},
        {.kind = platformFile::Socket, .words = "a socket"},
    };
    for (const auto &k : kinds)
        if (k.kind == kind)
            return QLatin1String(k.words);
    return QString();
}

linkCause jobRequest::filesProblem() const
{
    const jobKind::Row *row = jobKind::find(kind);
    if (!row)
        return linkCause();
    for (const QString &name : files.names()) {
        const QString bytes = jobFiles::undecodable(name);
        if (!bytes.isEmpty())
            return linkCause(linkCause::FileNameUndecodable, bytes, name);
    }
    if (!row->sendsFile)
        return targetProblem(files.first());
    for (const QString &name : files.names()) {
        if (!QFileInfo::exists(name))
            return linkCause(linkCause::FileMissing, QString(), name);
        const QString special = specialKind(name);
        if (!special.isEmpty())
            return linkCause(linkCause::FileNotRegular, special, name);
    }
    return linkCause();
}
