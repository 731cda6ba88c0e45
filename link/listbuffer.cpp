#include "listbuffer.h"

#include "serialline.h"

#include <QFileInfo>
#include <QSaveFile>

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

bool listBuffer::save(const QString &path, QString *error) const
{
    QSaveFile aside(path);
    QFile inPlace(path);
    QFileDevice *file = &aside;
    if (!aside.open(QIODevice::WriteOnly)) {
        // No file can be made beside it; an existing list the user may
        // write is then replaced in place.
        if (!QFileInfo(path).isFile() || !inPlace.open(QIODevice::WriteOnly)) {
            *error = QStringLiteral("Couldn't open File") + aside.errorString();
            return false;
        }
        file = &inPlace;
    }
    for (const QByteArray &block : m_blocks) {
        if (file->write(block) != block.size()) {
            *error = QStringLiteral("Couldn't write File") + file->errorString();
            aside.cancelWriting();
            return false;
        }
    }
    if (file == &aside ? !aside.commit() : !inPlace.flush()) {
        *error = QStringLiteral("Couldn't write File") + file->errorString();
        return false;
    }
    return true;
}
