#include "platformsignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalFds[2] = {-1, -1};
const int closeSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void onCloseSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // One byte into a socket pair is all a signal handler may safely do. A
    // full pair means a close is already pending; dropping the byte is fine.
    [[maybe_unused]] const ssize_t written = ::write(signalFds[0], &byte, 1);
    errno = saved;
}

bool nonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

void closeChannel()
{
    ::close(signalFds[0]);
    ::close(signalFds[1]);
    signalFds[0] = signalFds[1] = -1;
}

} // namespace

bool platformSignals::openChannel()
{
    if (signalFds[0] >= 0)
        return false;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalFds) != 0)
        return false;
    if (!nonBlocking(signalFds[0]) || !nonBlocking(signalFds[1])) {
        closeChannel();
        return false;
    }
    return true;
}

bool platformSignals::catchClose()
{
    struct sigaction action = {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool caught = true;
    for (int number : closeSignals)
        if (::sigaction(number, &action, nullptr) != 0)
            caught = false;
    return caught;
}

void platformSignals::release()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : closeSignals)
        ::sigaction(number, &action, nullptr);
    closeChannel();
}

int platformSignals::wakeDescriptor()
{
    return signalFds[1];
}

int platformSignals::take()
{
    unsigned char bytes[16];
    ssize_t got;
    int last = 0;
    while ((got = ::read(signalFds[1], bytes, sizeof bytes)) > 0)
        last = bytes[got - 1];
    return last;
}

void platformSignals::ignoreBrokenPipe()
{
    ::signal(SIGPIPE, SIG_IGN);
}
