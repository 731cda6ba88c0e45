#pragma once

// CPU time for the benchmarks, from the system's clocks (POSIX, as the
// simulated boxes are): the product itself asks for none.
class cpuClock
{
public:
    // The calling thread's CPU clock, to be read later from any thread.
    static cpuClock ofThisThread();
    // Seconds of CPU its thread has used so far.
    double seconds() const;
    // The unit of the CPU times in /proc/<pid>/task/<tid>/stat.
    static double ticksPerSecond();

private:
    long long m_id = 0;   // the clock's id
};
