#include "cpuclock.h"

#include <pthread.h>
#include <time.h>
#include <unistd.h>

cpuClock cpuClock::ofThisThread()
{
    cpuClock c;
    clockid_t id = CLOCK_THREAD_CPUTIME_ID;
    pthread_getcpuclockid(pthread_self(), &id);
    c.m_id = id;
    return c;
}

double cpuClock::seconds() const
{
    timespec ts{};
    clock_gettime(clockid_t(m_id), &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double cpuClock::ticksPerSecond()
{
    return double(sysconf(_SC_CLK_TCK));
}
