#include "platformserial.h"
#include "platformdeadline.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = platformDeadline::Clock;

constexpr int bitsPerByte = 10;        // a start bit, eight data bits, a stop bit
constexpr int shortestDrainPollMs = 1;
constexpr int longestDrainPollMs = 20;

// The poll's events for `fd` once it is ready for `events` or the deadline
// has passed (0 then); -1 with errno on failure. A signal does not end the wait.
int await(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, platformDeadline::msLeft(deadline));
        if (n > 0)
            return p.revents;
        if (n == 0)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}

int lineSettings(int fd)
{
    termios t;
    if (::tcgetattr(fd, &t) != 0)
        return errno;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSTOPB | CRTSCTS | PARENB);
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Reads never wait in the system: poll() keeps the time.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, B115200) != 0 || ::cfsetospeed(&t, B115200) != 0 || ::tcsetattr(fd, TCSANOW, &t) != 0)
        return errno;
    // Bytes from before the job are not the box's answer to it.
    ::tcflush(fd, TCIOFLUSH);
    return 0;
}

} // namespace

platformSerial::~platformSerial()
{
    close();
}

int platformSerial::open(const std::string &path)
{
    close();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // TIOCEXCL keeps other programs out, but not root; the lock keeps out
    // another instance of this program, root or not.
    int error = ::ioctl(fd, TIOCEXCL) == 0 ? 0 : errno;
    if (error == 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    if (error == 0)
        error = lineSettings(fd);
    if (error != 0) {
        ::close(fd);
        return error;
    }
    m_handle = fd;
    return 0;
}

bool platformSerial::isOpen() const
{
    return m_handle >= 0;
}

void platformSerial::close()
{
    if (m_handle < 0)
        return;
    ::ioctl(int(m_handle), TIOCNXCL);
    ::close(int(m_handle));
    m_handle = -1;
}

std::intptr_t platformSerial::handle() const
{
    return m_handle;
}

platformSerial::Result platformSerial::read(char *data, long size, int timeoutMs)
{
    Result r;
    if (m_handle < 0)
        return {0, EBADF};
    const int fd = int(m_handle);
    const int events = await(fd, POLLIN, platformDeadline::in(timeoutMs));
    if (events <= 0) {
        r.error = events < 0 ? errno : 0;
        return r;
    }
    ssize_t n;
    do
        n = ::read(fd, data, std::size_t(size));
    while (n < 0 && errno == EINTR);
    if (n > 0)
        r.bytes = long(n);
    else if (n < 0 && errno != EAGAIN)
        r.error = errno;
    // A hung-up line reads as the end of a file for ever after: told as the
    // error it is, or the caller would take it for silence and ask again.
    else if (events & (POLLHUP | POLLERR | POLLNVAL))
        r.error = (events & POLLNVAL) ? EBADF : EIO;
    return r;
}

platformSerial::Result platformSerial::write(const char *data, long size, int timeoutMs)
{
    Result r;
    if (m_handle < 0)
        return {0, EBADF};
    const int fd = int(m_handle);
    const Clock::time_point deadline = platformDeadline::in(timeoutMs);
    while (r.bytes < size) {
        const ssize_t n = ::write(fd, data + r.bytes, std::size_t(size - r.bytes));
        if (n > 0) {
            r.bytes += long(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            r.error = errno;
            break;
        }
        const int events = await(fd, POLLOUT, deadline);
        if (events < 0)
            r.error = errno;
        else if (events & (POLLHUP | POLLERR | POLLNVAL))
            r.error = (events & POLLNVAL) ? EBADF : EIO;
        if (events <= 0 || r.error != 0)
            break;
    }
    return r;
}

// tcdrain() waits without a limit (for ever on a line held by flow control),
// so the queue is watched until it is empty and tcdrain() then waits only
// for the last bytes in the hardware.
bool platformSerial::drain(int timeoutMs)
{
    if (m_handle < 0)
        return false;
    const int fd = int(m_handle);
    const Clock::time_point deadline = platformDeadline::in(timeoutMs);
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
            return false;
        if (queued <= 0)
            return ::tcdrain(fd) == 0;
        const int left = platformDeadline::msLeft(deadline);
        if (left == 0)
            return false;
        // About the time the queue takes to leave at the line's speed.
        const long leaveMs = long(queued) * bitsPerByte * 1000 / baudRate;
        const int pause = int(std::max<long>(shortestDrainPollMs, std::min<long>({leaveMs, longestDrainPollMs, left})));
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    }
}
