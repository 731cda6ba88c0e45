#include "ptyline.h"

#include <cerrno>
#include <chrono>
#include <thread>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

ptyLine::ptyLine() = default;

int ptyLine::room(Direction d, int want)
{
    if (!m_paced)
        return want;
    const qint64 wait = m_freeAt[d] - nowNs();
    if (wait > 0)
        std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
    return qMin(want, usbPiece);
}

void ptyLine::carried(Direction d, qint64 n)
{
    if (!m_paced || n <= 0)
        return;
    // Idle time earns no credit: a line never carries faster than its rate.
    m_freeAt[d] = qMax(m_freeAt[d], nowNs()) + n * 1000000000 / lineRate;
}

void ptyLine::waitRead(int timeoutMs)
{
    const qint64 until = nowNs() + qint64(timeoutMs) * 1000000;
    int quiet = 0;
    while (m_slave >= 0 && nowNs() < until && quiet < 2) {
        int queued = 0;
        if (::ioctl(m_slave, FIONREAD, &queued) != 0)
            return;
        quiet = queued == 0 ? quiet + 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ptyLine::~ptyLine()
{
    cut();
    if (m_slave >= 0)
        ::close(m_slave);
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
    const int max = room(In, maxBytes);
    QByteArray buf(max, Qt::Uninitialized);
    ssize_t n = ::read(m_master, buf.data(), size_t(max));
    if (n <= 0)
        return {};
    buf.resize(int(n));
    carried(In, n);
    return buf;
}

bool ptyLine::write(const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0 && m_master >= 0) {
        ssize_t n = ::write(m_master, p, size_t(room(Out, int(qMin<qint64>(left, 1 << 20)))));
        if (n > 0)
            carried(Out, n);
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

QString ptyLine::settings() const
{
    termios t{};
    if (m_master < 0 || ::tcgetattr(m_master, &t) != 0)
        return QString();
    static const struct { speed_t code; int baud; } speeds[] = {
        {B1200, 1200}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600}, {B19200, 19200},
        {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400}};
    auto baud = [](speed_t s) {
        for (const auto &row : speeds)
            if (row.code == s)
                return row.baud;
        return -1;
    };
    const int out = baud(::cfgetospeed(&t));
    const int in = baud(::cfgetispeed(&t));
    const int sizes[] = {5, 6, 7, 8};
    const int bits = sizes[(t.c_cflag & CSIZE) == CS8 ? 3 : (t.c_cflag & CSIZE) == CS7 ? 2 : (t.c_cflag & CSIZE) == CS6 ? 1 : 0];
    const char parity = !(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
    const char *flow = (t.c_cflag & CRTSCTS) ? "rtscts" : (t.c_iflag & (IXON | IXOFF)) ? "xonxoff" : "none";
    return QStringLiteral("%1%2 %3%4%5 %6")
        .arg(out)
        .arg(in == out ? QString() : QStringLiteral("/%1").arg(in))
        .arg(bits)
        .arg(QLatin1Char(parity))
        .arg((t.c_cflag & CSTOPB) ? 2 : 1)
        .arg(QLatin1String(flow));
}

void ptyLine::stopTaking()
{
    if (m_slave >= 0)
        ::tcflow(m_slave, TCOOFF);
}

void ptyLine::cut()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
