#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A TCP connection to a serial server, and the look-up of its host name,
// made so that another thread can abandon either at once: the system's
// blocking calls would hold a job's thread for as long as the name server or
// the network take, deaf to Stop, a close request or a closed window. The
// look-up runs in a helper thread that is left to finish alone when it is
// abandoned or its window passes (its result is then dropped); the connect
// is a non-blocking one, watched together with the stop.
class platformConnect
{
public:
    // A stop that wakes a waiting connect or look-up at once. Raised from
    // any thread; it stays raised until cleared.
    class Stop
    {
    public:
        Stop();
        ~Stop();
        Stop(const Stop &) = delete;
        Stop &operator=(const Stop &) = delete;
        void raise();
        // Only while nobody waits on it.
        void clear();
        bool raised() const;

    private:
        friend class platformConnect;
        struct Wake;
        std::unique_ptr<Wake> m_wake;
    };

    enum Result {
        Connected,
        Refused,         // nothing listens at the address (or the system refused it)
        UnknownHost,     // the name server says the name does not exist
        NameServerSilent,   // no answer about the name within the window
        NoAnswer,        // the server did not take the connection within the window
        Stopped,         // the stop was raised
        Failed           // anything else: `error` has the system's number
    };

    struct Addresses {
        Result result = Failed;
        std::vector<std::string> numeric{};   // the host's addresses, in the system's order
        std::string reason{};   // the system's words, for Failed
    };
    // The addresses of `host` (a name, or an address in any form the system
    // takes), within `windowMs`; `stop` may be null.
    static Addresses lookUp(const std::string &host, int windowMs, const Stop *stop);

    struct Connection {
        Result result = Failed;
        std::intptr_t socket = -1;   // the connected socket, the caller's to close; -1 when none
        std::string reason{};        // the system's words, for Failed
    };
    // Looks `host` up (within `windowMs`), then connects to its addresses in
    // turn (within another `windowMs` for all of them).
    static Connection connect(const std::string &host, std::uint16_t port, int windowMs, const Stop &stop);
    // Closes a socket that connect() gave and nobody took over.
    static void closeSocket(std::intptr_t socket);

private:
    // One of the host's addresses, by the system's own calls.
    static Connection tryAddress(const std::string &numeric, std::uint16_t port, const Stop &stop,
                                 std::chrono::steady_clock::time_point deadline);
};
