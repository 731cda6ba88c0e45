#pragma once

#include <QtGlobal>

// Lengths of the dialogue's waiting windows. The program always runs them at
// full length; test programs may shrink them with setScale() so that time-out
// cases of 16 s or 50 s do not make the suite slow.
class linkClock
{
public:
    static void setScale(double factor);
    static double scale();
    // A window of `ms` milliseconds as it is to be waited, at least 1 ms.
    static qint64 window(qint64 ms);

private:
    static double s_scale;
};
