#include "listbuffer.h"

#include "platformerror.h"
#include "platformfile.h"
#include "serialline.h"
#include "systemtext.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

QByteArray &listBuffer::room()
{
    if (m_blocks.isEmpty() || m_blocks.last().size() >= blockSize) {
        m_blocks.append(QByteArray());
        m_blocks.last().reserve(blockSize);
    }
    return m_blocks.last();
}

qint64 listBuffer::take(serialLine &line, qint64 max)
{
    qint64 taken = 0;
    while (taken < max && line.available() > 0) {
        QByteArray &block = room();
        const qint64 n = line.readInto(block, qMin<qint64>(max - taken, blockSize - block.size()));
        if (n <= 0)
            break;
        taken += n;
    }
    m_size += taken;
    return taken;
}

bool listBuffer::isBlank() const
{
    for (const QByteArray &block : m_blocks)
        for (char c : block)
            if (c != '\r' && c != '\n')
                return false;
    return true;
}

void listBuffer::append(const QByteArray &bytes)
{
    int at = 0;
    while (at < bytes.size()) {
        QByteArray &block = room();
        const int n = qMin(bytes.size() - at, blockSize - block.size());
        block.append(bytes.constData() + at, n);
        at += n;
    }
    m_size += bytes.size();
}

QByteArray listBuffer::tail(qint64 n) const
{
    QByteArray out;
    for (int i = m_blocks.size() - 1; i >= 0 && out.size() < n; --i)
        out.prepend(m_blocks.at(i).right(int(n - out.size())));
    return out;
}

void listBuffer::truncate(qint64 size)
{
    while (m_size > size && !m_blocks.isEmpty()) {
        QByteArray &last = m_blocks.last();
        const qint64 cut = qMin<qint64>(m_size - size, last.size());
        last.chop(int(cut));
        m_size -= cut;
        if (last.isEmpty())
            m_blocks.removeLast();
    }
}

// A short write says nothing of its cause, so the rest is written again
// until the device names the reason.
bool listBuffer::writeAll(QFileDevice &file, QString *error) const
{
    for (const QByteArray &block : m_blocks) {
        for (qint64 done = 0; done < block.size();) {
            const qint64 n = file.write(block.constData() + done, block.size() - done);
            if (n <= 0) {
                *error = QStringLiteral("Couldn't write File") + file.errorString();
                return false;
            }
            done += n;
        }
    }
    return true;
}

// What stands in the list's place when it is no regular file and no folder,
// in the style of the system's words; empty when a list may go there.
QString listBuffer::notAFile(const QString &path)
{
    const struct {
        platformFile::Kind kind;
        const char *words;
    } kinds[] = {
        {.kind = platformFile::Fifo, .words = "Is a FIFO, not a regular file"},
        {.kind = platformFile::Device, .words = "Is a device, not a regular file"},
        {.kind = platformFile::Socket, .words = "Is a socket, not a regular file"},
    };
    const platformFile::Kind kind = platformFile::kindOf(systemText(path));
    for (const auto &k : kinds)
        if (k.kind == kind)
            return QLatin1String(k.words);
    return QString();
}

QString listBuffer::reason(const QString &error)
{
    for (const QLatin1String fixed : {QLatin1String("Couldn't open File"), QLatin1String("Couldn't write File")})
        if (error.startsWith(fixed))
            return error.mid(fixed.size());
    return error;
}

bool listBuffer::save(const QString &path, QString *error) const
{
    // A rename would replace a FIFO or a device node with a regular file,
    // and writing in place would feed the list to whoever reads there.
    const QString special = notAFile(path);
    if (!special.isEmpty()) {
        *error = QStringLiteral("Couldn't open File") + special;
        return false;
    }
    // Unbuffered, so that every failing write carries its reason.
    QSaveFile aside(path);
    if (aside.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (!writeAll(aside, error)) {
            aside.cancelWriting();
            return false;
        }
        if (!aside.commit()) {
            *error = QStringLiteral("Couldn't write File") + aside.errorString();
            return false;
        }
        return true;
    }
    // No file can be made beside it; an existing list the user may write is
    // then replaced in place.
    const QFileInfo target(path);
    if (!target.isFile()) {
        // For a folder in the list's place Qt has words of its own.
        *error = QStringLiteral("Couldn't open File")
                 + (target.isDir() ? QString::fromLocal8Bit(::strerror(EISDIR)) : aside.errorString());
        return false;
    }
    return saveInPlace(path, error);
}

bool listBuffer::saveInPlace(const QString &path, QString *error) const
{
    platformFile file;
    const auto reason = [&] { return fromSystem(platformError::text(file.error())); };
    if (!file.open(systemText(path), platformFile::Existing)) {
        *error = QStringLiteral("Couldn't open File") + reason();
        return false;
    }
    const auto failed = [&] {
        *error = QStringLiteral("Couldn't write File") + reason();
        return false;
    };
    // Room for the whole list first: a full disk then fails before a byte of
    // the old list is overwritten (where the file system can tell).
    if (!file.reserve(m_size))
        return failed();
    qint64 offset = 0;
    for (const QByteArray &block : m_blocks) {
        if (!file.writeAt(offset, block.constData(), std::size_t(block.size())))
            return failed();
        offset += block.size();
    }
    // An old list longer than the new one must leave no tail behind.
    if (!file.finish(m_size) || !file.close())
        return failed();
    return true;
}
