#include "platformconnect.h"
#include "platformdeadline.h"

#include "platformerror.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <chrono>
#include <mutex>
#include <thread>

// Named, not anonymous: the stop's wake-up (a member of a public class) holds one.
namespace winConnect {

// A manual-reset event: set, it stays so until reset.
struct Event {
    HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Event() = default;
    ~Event()
    {
        if (handle)
            CloseHandle(handle);
    }
    Event(const Event &) = delete;
    Event &operator=(const Event &) = delete;
};

} // namespace winConnect

namespace {

using Clock = platformDeadline::Clock;
using winConnect::Event;

// The socket calls need Winsock started once in the process; Qt starts it
// too, and the counts add up.
bool winsockStarted()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

enum Woken { Ready, StopRaised, WindowOver };

Woken waitFor(HANDLE ready, HANDLE stop, Clock::time_point deadline)
{
    const HANDLE both[2] = {stop, ready};
    const DWORD got = WaitForMultipleObjects(2, both, FALSE, DWORD(platformDeadline::msLeft(deadline)));
    if (got == WAIT_OBJECT_0)
        return StopRaised;
    return got == WAIT_OBJECT_0 + 1 ? Ready : WindowOver;
}

struct Asked {
    std::string host;
    Event done;
    std::mutex lock;
    int code = 0;
    std::vector<std::string> numeric;
};

int resolve(const std::string &host, int flags, std::vector<std::string> *numeric)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo *list = nullptr;
    const int code = getaddrinfo(host.c_str(), nullptr, &hints, &list);
    if (code != 0)
        return code;
    for (const addrinfo *a = list; a; a = a->ai_next) {
        char text[NI_MAXHOST];
        if (getnameinfo(a->ai_addr, socklen_t(a->ai_addrlen), text, sizeof text, nullptr, 0, NI_NUMERICHOST) == 0)
            numeric->emplace_back(text);
    }
    freeaddrinfo(list);
    return 0;
}

platformConnect::Addresses fromCode(int code, std::vector<std::string> numeric)
{
    platformConnect::Addresses a;
    if (code == 0) {
        a.result = platformConnect::Connected;
        a.numeric = std::move(numeric);
    } else if (code == WSAHOST_NOT_FOUND || code == WSANO_DATA) {
        a.result = platformConnect::UnknownHost;
    } else if (code == WSATRY_AGAIN) {
        a.result = platformConnect::NameServerSilent;
    } else {
        a.reason = platformError::text(code);
    }
    return a;
}

} // namespace

struct platformConnect::Stop::Wake {
    Event event;
};

platformConnect::Stop::Stop()
    : m_wake(std::make_unique<Wake>())
{
}

platformConnect::Stop::~Stop() = default;

void platformConnect::Stop::raise()
{
    SetEvent(m_wake->event.handle);
}

void platformConnect::Stop::clear()
{
    ResetEvent(m_wake->event.handle);
}

bool platformConnect::Stop::raised() const
{
    return WaitForSingleObject(m_wake->event.handle, 0) == WAIT_OBJECT_0;
}

platformConnect::Addresses platformConnect::lookUp(const std::string &host, int windowMs, const Stop *stop)
{
    Addresses a;
    if (!winsockStarted()) {
        a.reason = platformError::text(WSANOTINITIALISED);
        return a;
    }
    if (stop && stop->raised()) {
        a.result = Stopped;
        return a;
    }
    std::vector<std::string> numeric;
    if (resolve(host, AI_NUMERICHOST, &numeric) == 0)
        return fromCode(0, numeric);
    auto asked = std::make_shared<Asked>();
    asked->host = host;
    std::thread([asked] {
        std::vector<std::string> found;
        const int code = resolve(asked->host, AI_ADDRCONFIG, &found);
        {
            std::lock_guard<std::mutex> hold(asked->lock);
            asked->code = code;
            asked->numeric = std::move(found);
        }
        SetEvent(asked->done.handle);
    }).detach();
    // Without a stop, one that is never raised.
    Event never;
    const Woken woken = waitFor(asked->done.handle, stop ? stop->m_wake->event.handle : never.handle,
                                Clock::now() + std::chrono::milliseconds(windowMs));
    if (woken != Ready) {
        a.result = woken == StopRaised ? Stopped : NameServerSilent;
        return a;
    }
    std::lock_guard<std::mutex> hold(asked->lock);
    return fromCode(asked->code, asked->numeric);
}

namespace {

platformConnect::Connection connectTo(const std::string &numeric, std::uint16_t port, HANDLE stop,
                                      Clock::time_point deadline)
{
    platformConnect::Connection c;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo *list = nullptr;
    if (getaddrinfo(numeric.c_str(), std::to_string(port).c_str(), &hints, &list) != 0 || !list) {
        c.reason = "not an address: " + numeric;
        return c;
    }
    const SOCKET s = socket(list->ai_family, SOCK_STREAM, IPPROTO_TCP);
    Event connected;
    int error = s == INVALID_SOCKET ? WSAGetLastError() : 0;
    // The event makes the socket non-blocking and tells when the connect is over.
    if (s != INVALID_SOCKET && WSAEventSelect(s, connected.handle, FD_CONNECT) != 0)
        error = WSAGetLastError();
    if (!error && ::connect(s, list->ai_addr, int(list->ai_addrlen)) != 0)
        error = WSAGetLastError();
    freeaddrinfo(list);
    if (error == WSAEWOULDBLOCK) {
        const Woken woken = waitFor(connected.handle, stop, deadline);
        WSANETWORKEVENTS events{};
        if (woken == Ready)
            error = WSAEnumNetworkEvents(s, connected.handle, &events) != 0 ? WSAGetLastError()
                                                                             : events.iErrorCode[FD_CONNECT_BIT];
        if (woken != Ready) {
            closesocket(s);
            c.result = woken == StopRaised ? platformConnect::Stopped : platformConnect::NoAnswer;
            return c;
        }
    }
    if (error == 0) {
        // The socket goes on without the event; it stays non-blocking.
        WSAEventSelect(s, nullptr, 0);
        c.result = platformConnect::Connected;
        c.socket = std::intptr_t(s);
        return c;
    }
    if (s != INVALID_SOCKET)
        closesocket(s);
    c.result = error == WSAECONNREFUSED ? platformConnect::Refused : platformConnect::Failed;
    c.reason = platformError::text(error);
    return c;
}

} // namespace

platformConnect::Connection platformConnect::tryAddress(const std::string &numeric, std::uint16_t port,
                                                        const Stop &stop, Clock::time_point deadline)
{
    return connectTo(numeric, port, stop.m_wake->event.handle, deadline);
}

void platformConnect::closeSocket(std::intptr_t socket)
{
    if (socket >= 0 && SOCKET(socket) != INVALID_SOCKET)
        closesocket(SOCKET(socket));
}
