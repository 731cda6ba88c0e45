#include "logfile.h"

#include <QFile>
#include <QTime>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

logfile::logfile(QObject *parent)
    : logfile(Target(), parent)
{
}

logfile::logfile(const Target &target, QObject *parent)
    : QObject(parent), m_target(target)
{
}

logfile::~logfile()
{
    close();
}

void logfile::write(const QString &text)
{
    if (open())
        put(text.toLocal8Bit());
    else
        fail(errno);
}

void logfile::writeLine(const QString &text)
{
    if (!open())
        return fail(errno);
    QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss "));
    if (!m_target.tag.isEmpty())
        line += QLatin1Char('[') + m_target.tag + QStringLiteral("] ");
    put((line + text + QLatin1Char('\n')).toLocal8Bit());
}

bool logfile::open()
{
    if (m_fd >= 0)
        return true;
    // The window's log holds the current run only; a batch log keeps the
    // bench's history. O_APPEND puts every write at the end of the file as
    // it is then, whoever else appends.
    const int mode = m_target.append ? O_APPEND : O_TRUNC;
    m_fd = ::open(QFile::encodeName(m_target.path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC | mode, 0666);
    return m_fd >= 0;
}

void logfile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

// One call for the whole line; a regular file takes it whole unless the disk
// is full, and then the rest is tried once more rather than lost.
void logfile::put(const QByteArray &bytes)
{
    qsizetype done = 0;
    for (int tries = 0; done < bytes.size() && tries < 2;) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ++tries;
        else
            done += n;
    }
    if (done < bytes.size())
        fail(errno ? errno : ENOSPC);
}

void logfile::fail(int error)
{
    if (m_failed)
        return;
    m_failed = true;
    emit failed(m_target.path, QString::fromLocal8Bit(std::strerror(error)));
}
