#pragma once

#include "linkstep.h"

// The SD family's command exchanges, rows of the step table. Each sends its
// command twice at most, paced byte by byte (serialComKarn).
class sdStep
{
public:
    static const linkStep initDownload;
    static const linkStep openLoadMenu;
    static const linkStep initUpload;
    static const linkStep startSettopbox;
};
