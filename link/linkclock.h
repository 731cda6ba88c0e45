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
    // A window of `ms` milliseconds as it is to be waited. A shrunk window
    // never goes below floorMs (nor above its own length): a box on a loaded
    // test machine must still be able to answer within it.
    static qint64 window(qint64 ms);
    // The same at a given scale.
    static qint64 window(qint64 ms, double scale);
    // A shrunk window that never goes below `floor` (nor above its own length).
    static qint64 windowAtLeast(qint64 ms, qint64 floor);
    static constexpr qint64 floorMs = 300;
    // A pause the program makes itself (pacing, between questions): shrunk
    // as it is, since no box has to meet it.
    static qint64 pause(qint64 ms);

private:
    static double s_scale;
};
