#pragma once

#include <chrono>

// The end of a wait on the monotonic clock, and what is left of it in whole
// milliseconds, as poll() and the Windows waits take it.
class platformDeadline
{
public:
    using Clock = std::chrono::steady_clock;
    // `timeoutMs` from now; a negative one is now.
    static Clock::time_point in(int timeoutMs);
    // 0 once it has passed.
    static int msLeft(Clock::time_point deadline);
};
