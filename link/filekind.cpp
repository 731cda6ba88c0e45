#include "filekind.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {

// One kind of file: its signature (bytes 16 to 19 as lower-case hex) and the
// sizes it may have.
struct kindRow
{
    const char *signature;
    qint64 minSize;
    qint64 maxSize;
    unsigned char kind;
};

constexpr qint64 anySize = std::numeric_limits<qint64>::max();

// Each family's table is tested in order; the first row whose signature and
// size fit decides.
const kindRow hdKinds[] = {
    {.signature = "00003040", .minSize = 0, .maxSize = hdFile::maxListSize, .kind = hdFile::List},
    {.signature = "00004023", .minSize = 0, .maxSize = anySize, .kind = hdFile::Update},
    {.signature = "00004043", .minSize = 0, .maxSize = anySize, .kind = hdFile::Update},
};

const kindRow sdKinds[] = {
    {.signature = "00000a07", .minSize = 0, .maxSize = 204799, .kind = sdFile::List},
    {.signature = "00000907", .minSize = 0, .maxSize = 102400, .kind = sdFile::ImageSmall},
    {.signature = "00000d07", .minSize = 92161, .maxSize = 153599, .kind = sdFile::ImageMedium},
    {.signature = "00200600", .minSize = 358401, .maxSize = 460799, .kind = sdFile::ImageLarge},
    {.signature = "00501c00", .minSize = 358401, .maxSize = 460799, .kind = sdFile::ImageLarge},
};

// What a file shows of itself: read once, for both families.
struct header
{
    bool readable = false;
    QString unreadable;      // why it could not be read; empty for a missing file
    qint64 size = 0;
    QByteArray signature;    // bytes 16 to 19 as lower-case hex; shorter for a short file
};

header readHeader(const QString &path)
{
    header h;
    QFile file(path);
    // A FIFO or a device would block the open or the read for ever: only a
    // regular file is opened.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        h.unreadable = QStringLiteral("not a regular file");
        return h;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        // A missing file is the caller's to report; a directory or an
        // unreadable file would otherwise end the job without a word.
        if (file.exists())
            h.unreadable = file.errorString();
        return h;
    }
    h.readable = true;
    h.size = file.size();
    // A file shorter than 20 bytes gives fewer than eight digits: no kind.
    if (file.seek(16))
        h.signature = file.read(4).toHex();
    return h;
}

template <size_t N>
unsigned char classifyBy(const kindRow (&rows)[N], const char *family, const QString &path, const header &h,
                         QString *problem)
{
    if (problem)
        problem->clear();
    const QString checked = QStringLiteral("Checked Filetype") + QLatin1String(family);
    if (!h.readable) {
        if (problem && !h.unreadable.isEmpty())
            *problem = checked + QStringLiteral(": cannot read ") + path + QStringLiteral(": ") + h.unreadable;
        return 0;
    }
    for (const kindRow &row : rows)
        if (h.signature == row.signature && h.size >= row.minSize && h.size <= row.maxSize)
            return row.kind;
    if (problem)
        *problem = checked + QStringLiteral(": unknown(") + QString::fromLatin1(h.signature) + QLatin1Char(' ') + path
                   + QLatin1Char(')');
    return 0;
}

} // namespace

hdFile::Kind hdFile::classify(const QString &path, QString *problem)
{
    return Kind(classifyBy(hdKinds, "HD", path, readHeader(path), problem));
}

sdFile::Kind sdFile::classify(const QString &path, QString *problem, qint64 *size)
{
    const header h = readHeader(path);
    const Kind kind = Kind(classifyBy(sdKinds, "SD", path, h, problem));
    if (size && kind != NotSd)
        *size = h.size;
    return kind;
}

fileKinds fileKinds::examine(const QString &path)
{
    const header h = readHeader(path);
    fileKinds kinds;
    kinds.hd = hdFile::Kind(classifyBy(hdKinds, "HD", path, h, &kinds.hdProblem));
    kinds.sd = sdFile::Kind(classifyBy(sdKinds, "SD", path, h, &kinds.sdProblem));
    kinds.size = h.size;
    return kinds;
}

QString fileKinds::name(const QString &path)
{
    const fileKinds kinds = examine(path);
    if (kinds.hd != hdFile::NotHd)
        return hdFile::name(kinds.hd);
    if (kinds.sd != sdFile::NotSd)
        return sdFile::name(kinds.sd);
    return QStringLiteral("neither an HD nor an SD file");
}

QString hdFile::name(Kind kind)
{
    switch (kind) {
    case Update:
        return QStringLiteral("an HD update file");
    case List:
        return QStringLiteral("an HD channel list");
    case NotHd:
        break;
    }
    return QStringLiteral("no HD file");
}

QString sdFile::name(Kind kind)
{
    switch (kind) {
    case List:
        return QStringLiteral("an SD channel list");
    case ImageSmall:
    case ImageMedium:
    case ImageLarge:
        return QStringLiteral("an SD update image");
    case NotSd:
        break;
    }
    return QStringLiteral("no SD file");
}
