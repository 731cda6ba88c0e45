#include "platformconnect.h"
#include "platformdeadline.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// Named, not anonymous: the stop's wake-up (a member of a public class) holds one.
namespace posixConnect {

// A pipe whose read end turns readable once something is written to it; it
// stays so until read empty.
struct Pipe {
    int fds[2] = {-1, -1};
    Pipe()
    {
        if (::pipe(fds) != 0)
            fds[0] = fds[1] = -1;
        for (int fd : fds)
            if (fd >= 0) {
                ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
                ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            }
    }
    ~Pipe()
    {
        for (int fd : fds)
            if (fd >= 0)
                ::close(fd);
    }
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;
    void ring() const
    {
        const char byte = 1;
        // A full pipe is rung already.
        [[maybe_unused]] const ssize_t n = ::write(fds[1], &byte, 1);
    }
    void empty() const
    {
        char bytes[64];
        while (::read(fds[0], bytes, sizeof bytes) > 0) {
        }
    }
    bool rung() const
    {
        pollfd p{fds[0], POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }
};

} // namespace posixConnect

namespace {

using Clock = platformDeadline::Clock;
using posixConnect::Pipe;

enum Woken { Ready, StopRaised, WindowOver };

// Waits until `fd` shows `events`, the stop is raised or the deadline passes.
Woken waitFor(int fd, short events, const Pipe *stop, Clock::time_point deadline)
{
    for (;;) {
        pollfd p[2] = {{fd, events, 0}, {stop ? stop->fds[0] : -1, POLLIN, 0}};
        const int n = ::poll(p, 2, platformDeadline::msLeft(deadline));
        if (n < 0 && errno == EINTR)
            continue;
        if (p[1].revents & POLLIN)
            return StopRaised;
        if (n > 0 && p[0].revents)
            return Ready;
        if (Clock::now() >= deadline)
            return WindowOver;
    }
}

// One look-up, shared by the thread that asked and the helper that runs it:
// whichever lets go last frees it.
struct Asked {
    std::string host;
    Pipe done;
    std::mutex lock;
    int code = 0;
    int savedErrno = 0;
    std::vector<std::string> numeric;
};

std::vector<std::string> numericOf(const addrinfo *list)
{
    std::vector<std::string> out;
    for (const addrinfo *a = list; a; a = a->ai_next) {
        char text[NI_MAXHOST];
        if (::getnameinfo(a->ai_addr, a->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) == 0)
            out.emplace_back(text);
    }
    return out;
}

int resolve(const std::string &host, int flags, std::vector<std::string> *numeric)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo *list = nullptr;
    const int code = ::getaddrinfo(host.c_str(), nullptr, &hints, &list);
    if (code == 0) {
        *numeric = numericOf(list);
        ::freeaddrinfo(list);
    }
    return code;
}

platformConnect::Addresses fromCode(int code, int savedErrno, std::vector<std::string> numeric)
{
    platformConnect::Addresses a;
    switch (code) {
    case 0:
        a.result = platformConnect::Connected;
        a.numeric = std::move(numeric);
        break;
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        a.result = platformConnect::UnknownHost;
        break;
    case EAI_AGAIN:
        a.result = platformConnect::NameServerSilent;
        break;
    case EAI_SYSTEM:
        a.reason = std::strerror(savedErrno);
        break;
    default:
        a.reason = ::gai_strerror(code);
        break;
    }
    return a;
}

} // namespace

struct platformConnect::Stop::Wake {
    Pipe pipe;
};

platformConnect::Stop::Stop()
    : m_wake(std::make_unique<Wake>())
{
}

platformConnect::Stop::~Stop() = default;

void platformConnect::Stop::raise()
{
    m_wake->pipe.ring();
}

void platformConnect::Stop::clear()
{
    m_wake->pipe.empty();
}

bool platformConnect::Stop::raised() const
{
    return m_wake->pipe.rung();
}

platformConnect::Addresses platformConnect::lookUp(const std::string &host, int windowMs, const Stop *stop)
{
    if (stop && stop->raised()) {
        Addresses a;
        a.result = Stopped;
        return a;
    }
    // An address needs no name server, nor a thread.
    std::vector<std::string> numeric;
    if (resolve(host, AI_NUMERICHOST, &numeric) == 0)
        return fromCode(0, 0, numeric);
    auto asked = std::make_shared<Asked>();
    asked->host = host;
    std::thread([asked] {
        std::vector<std::string> found;
        const int code = resolve(asked->host, AI_ADDRCONFIG, &found);
        const int savedErrno = errno;
        {
            std::lock_guard<std::mutex> hold(asked->lock);
            asked->code = code;
            asked->savedErrno = savedErrno;
            asked->numeric = std::move(found);
        }
        asked->done.ring();
    }).detach();
    const Woken woken = waitFor(asked->done.fds[0], POLLIN, stop ? &stop->m_wake->pipe : nullptr,
                                Clock::now() + std::chrono::milliseconds(windowMs));
    Addresses a;
    if (woken == StopRaised) {
        a.result = Stopped;
        return a;
    }
    if (woken == WindowOver) {
        a.result = NameServerSilent;
        return a;
    }
    std::lock_guard<std::mutex> hold(asked->lock);
    return fromCode(asked->code, asked->savedErrno, asked->numeric);
}

namespace {

// One address in turn: connected (a socket), or why not.
platformConnect::Connection connectTo(const std::string &numeric, std::uint16_t port, const Pipe &stop,
                                      Clock::time_point deadline)
{
    platformConnect::Connection c;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo *list = nullptr;
    if (::getaddrinfo(numeric.c_str(), std::to_string(port).c_str(), &hints, &list) != 0 || !list) {
        c.reason = "not an address: " + numeric;
        return c;
    }
    const int fd = ::socket(list->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0 && ::connect(fd, list->ai_addr, list->ai_addrlen) != 0)
        error = errno;
    ::freeaddrinfo(list);
    if (fd >= 0 && error == EINPROGRESS) {
        const Woken woken = waitFor(fd, POLLOUT, &stop, deadline);
        socklen_t size = sizeof error;
        if (woken == Ready && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            error = errno;
        if (woken != Ready) {
            ::close(fd);
            c.result = woken == StopRaised ? platformConnect::Stopped : platformConnect::NoAnswer;
            return c;
        }
    }
    if (error == 0) {
        c.result = platformConnect::Connected;
        c.socket = fd;
        return c;
    }
    if (fd >= 0)
        ::close(fd);
    c.result = error == ECONNREFUSED ? platformConnect::Refused : platformConnect::Failed;
    c.reason = std::strerror(error);
    return c;
}

} // namespace

platformConnect::Connection platformConnect::tryAddress(const std::string &numeric, std::uint16_t port,
                                                        const Stop &stop, Clock::time_point deadline)
{
    return connectTo(numeric, port, stop.m_wake->pipe, deadline);
}

void platformConnect::closeSocket(std::intptr_t socket)
{
    if (socket >= 0)
        ::close(int(socket));
}
