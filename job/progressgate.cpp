#include "progressgate.h"

namespace {
constexpr int fullPercent = 100;
}

void progressGate::reset()
{
    m_latest = -1;
    restart();
}

void progressGate::restart()
{
    m_passed = -1;
    m_sincePassed.invalidate();
}

bool progressGate::offer(int percent)
{
    m_latest = percent;
    if (percent == m_passed)
        return false;
    const int pace = m_paceMs;
    if (pace > 0 && m_sincePassed.isValid() && m_sincePassed.elapsed() < pace && percent != fullPercent)
        return false;
    m_passed = percent;
    m_sincePassed.start();
    return true;
}
