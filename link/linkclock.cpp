#include "linkclock.h"

#include <algorithm>
#include <cmath>

double linkClock::s_scale = 1.0;

void linkClock::setScale(double factor)
{
    s_scale = factor > 0 ? factor : 1.0;
}

double linkClock::scale()
{
    return s_scale;
}

qint64 linkClock::window(qint64 ms)
{
    return window(ms, s_scale);
}

qint64 linkClock::window(qint64 ms, double scale)
{
    if (scale == 1.0)
        return ms;
    return std::max<qint64>({1, std::min(ms, floorMs), qint64(std::llround(double(ms) * scale))});
}

qint64 linkClock::windowAtLeast(qint64 ms, qint64 floor)
{
    return std::max(window(ms), std::min(ms, floor));
}

qint64 linkClock::pause(qint64 ms)
{
    if (s_scale == 1.0)
        return ms;
    return std::max<qint64>(1, qint64(std::llround(double(ms) * s_scale)));
}
