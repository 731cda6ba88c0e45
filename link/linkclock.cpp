#include "linkclock.h"

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
    if (s_scale == 1.0)
        return ms;
    return std::max<qint64>(1, qint64(std::llround(double(ms) * s_scale)));
}
