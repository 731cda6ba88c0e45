#pragma once

#include "linkstep.h"

// The steps of the HD family's load chain, rows of the step table.
class hdStep
{
public:
    static const linkStep restartPCB;
    static const linkStep openLoadMenu;
    static const linkStep waitForBinaryMode;
    static const linkStep waitForFlashing;
    static const linkStep waitForFinish;
    static const linkStep startSettopbox;
};
