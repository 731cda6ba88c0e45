#include "platformconnect.h"

// The same on every system: look the host up, then try its addresses in
// turn; only the calls for one address differ.
platformConnect::Connection platformConnect::connect(const std::string &host, std::uint16_t port, int windowMs,
                                                     const Stop &stop)
{
    using Clock = std::chrono::steady_clock;
    Connection c;
    const Addresses addresses = lookUp(host, windowMs, &stop);
    if (addresses.result != Connected) {
        c.result = addresses.result;
        c.reason = addresses.reason;
        return c;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(windowMs);
    c.result = UnknownHost;   // a name without addresses
    for (const std::string &numeric : addresses.numeric) {
        c = tryAddress(numeric, port, stop, deadline);
        // The next address may answer where this one refused or was unreachable.
        if (c.result == Connected || c.result == Stopped || c.result == NoAnswer)
            break;
    }
    return c;
}
