#include "ptyline.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

ptyLine::ptyLine() = default;

ptyLine::~ptyLine()
{
    cut();
}

bool ptyLine::open()
{
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
        return false;
    // The slave stays open here too, so the line survives the program's own
    // open and close of the port between jobs.
    m_path = QString::fromLocal8Bit(name);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    return true;
}

QByteArray ptyLine::read(int timeoutMs, int maxBytes)
{
    if (m_master < 0)
        return {};
    pollfd p{m_master, POLLIN, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0 || !(p.revents & POLLIN))
        return {};
    QByteArray buf(maxBytes, Qt::Uninitialized);
    ssize_t n = ::read(m_master, buf.data(), size_t(maxBytes));
    if (n <= 0)
        return {};
    buf.resize(int(n));
    return buf;
}

bool ptyLine::write(const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0 && m_master >= 0) {
        ssize_t n = ::write(m_master, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                pollfd q{m_master, POLLOUT, 0};
                ::poll(&q, 1, 100);
                continue;
            }
            return false;
        }
        p += n;
        left -= n;
    }
    return left == 0;
}

void ptyLine::cut()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}
