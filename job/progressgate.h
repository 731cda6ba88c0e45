#pragma once

#include <QElapsedTimer>

#include <atomic>

// Chooses which of a link's progress reports cross to the front end's
// thread. A link reports after every block, some 650 times for a 64 KB
// file; a repeated percentage never crosses, and with a pace set, a new
// one crosses at most once per pace (a full 100 always). What was held
// back stays readable, so that the front end can show the newest value
// when the job ends.
class progressGate
{
public:
    // Any thread, while no job runs; 0 passes every change.
    void setPaceMs(int ms) { m_paceMs = ms; }
    // Any thread, while no job runs: forgets the last job's reports.
    void reset();
    // The link's thread: a new step begins, whose first report crosses.
    void restart();
    // The link's thread: a report; true when it is to cross now.
    bool offer(int percent);
    // Any thread: the newest percentage offered, -1 before any.
    int latest() const { return m_latest; }

private:
    std::atomic<int> m_paceMs{0};
    std::atomic<int> m_latest{-1};
    int m_passed = -1;           // the link's thread only
    QElapsedTimer m_sincePassed; // the link's thread only
};
