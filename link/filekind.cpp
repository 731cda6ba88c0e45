#include "filekind.h"

#include <QFile>

// The same rules as the links' checkFiletype(), for callers outside a link.

namespace {

// Bytes 16 to 19 as lower-case hex, and the size; false when unreadable.
bool readHeader(const QString &path, const char *family, QString *hex, qint64 *size, QString *problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists() && problem)
            *problem = QStringLiteral("Checked Filetype%1: cannot read ").arg(QLatin1String(family)) + path
                       + QStringLiteral(": ") + file.errorString();
        return false;
    }
    *size = file.size();
    if (file.seek(16))
        *hex = QString::fromLatin1(file.read(4).toHex());
    return true;
}

QString unknown(const char *family, const QString &hex, const QString &path)
{
    return QStringLiteral("Checked Filetype%1: unknown(").arg(QLatin1String(family)) + hex + QLatin1Char(' ') + path
           + QLatin1Char(')');
}

struct sdRow {
    const char *signature;
    qint64 minSize;
    qint64 maxSize;
    sdFile::Kind kind;
};

const sdRow sdRows[] = {
    {"00000a07", 0, 204799, sdFile::List},
    {"00000907", 0, 102400, sdFile::ImageSmall},
    {"00000d07", 92161, 153599, sdFile::ImageMedium},
    {"00200600", 358401, 460799, sdFile::ImageLarge},
    {"00501c00", 358401, 460799, sdFile::ImageLarge},
};

} // namespace

hdFile::Kind hdFile::classify(const QString &path, QString *problem)
{
    if (problem)
        problem->clear();
    QString hex;
    qint64 size = 0;
    if (!readHeader(path, "HD", &hex, &size, problem))
        return NotHd;
    if (size <= 409600 && hex == QLatin1String("00003040"))
        return List;
    if (hex == QLatin1String("00004023") || hex == QLatin1String("00004043"))
        return Update;
    if (problem)
        *problem = unknown("HD", hex, path);
    return NotHd;
}

sdFile::Kind sdFile::classify(const QString &path, QString *problem)
{
    if (problem)
        problem->clear();
    QString hex;
    qint64 size = 0;
    if (path.isEmpty() || !readHeader(path, "SD", &hex, &size, problem))
        return NotSd;
    for (const sdRow &row : sdRows)
        if (hex == QLatin1String(row.signature) && size >= row.minSize && size <= row.maxSize)
            return row.kind;
    if (problem)
        *problem = unknown("SD", hex, path);
    return NotSd;
}
