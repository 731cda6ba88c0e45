#include "signalclose.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// One pair per process: the handler cannot find an object.
int signalFds[2] = {-1, -1};
const int closeSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void onCloseSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pair means a close is already pending; dropping the byte is fine.
    [[maybe_unused]] const ssize_t written = ::write(signalFds[0], &byte, 1);
    errno = saved;
}

bool nonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0
           && ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

signalClose::signalClose(QObject *parent)
    : QObject(parent)
{
    // A terminal or pipe that goes away must never end a job half done:
    // writes to it fail instead, and the job runs on to its real end.
    ::signal(SIGPIPE, SIG_IGN);
    if (signalFds[0] >= 0)
        return;   // another instance owns the handlers
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalFds) != 0)
        return;
    if (!nonBlocking(signalFds[0]) || !nonBlocking(signalFds[1])) {
        ::close(signalFds[0]);
        ::close(signalFds[1]);
        signalFds[0] = signalFds[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(signalFds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &signalClose::readSignal);

    struct sigaction action = {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_installed = true;
    for (int number : closeSignals)
        if (::sigaction(number, &action, nullptr) != 0)
            m_installed = false;
}

signalClose::~signalClose()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : closeSignals)
        ::sigaction(number, &action, nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(signalFds[0]);
    ::close(signalFds[1]);
    signalFds[0] = signalFds[1] = -1;
}

void signalClose::readSignal()
{
    unsigned char bytes[16];
    ssize_t got;
    int last = 0;
    while ((got = ::read(signalFds[1], bytes, sizeof bytes)) > 0)
        last = bytes[got - 1];
    if (last != 0)
        emit closeRequested(last);
}
