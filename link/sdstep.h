#pragma once

#include <QtGlobal>

// One command exchange of the SD dialogue: the command, the window the box
// gets per attempt, the pause between attempts, what its lines are tested for
// and how each outcome is reported. The four exchanges differ only in these
// constants, so they are rows of one table run by one mechanism.
class sdStep
{
public:
    enum Verdict {
        None,
        Success,       // the step is done
        EndAttempt,    // the box answered the wrong way: next attempt at once
        StartUpOk,     // the box's start-up control is recent enough: read on
        StartUpOld     // any other version of it: the step fails at once
    };
    struct Marker
    {
        const char *text = nullptr;  // null: no further marker
        Verdict verdict = None;
    };

    int startCode;
    const char *startLog;  // extra log line after the start code, or null
    const char *command;
    qint64 windowMs;
    qint64 pauseMs;
    static constexpr int maxMarkers = 3;
    Marker markers[maxMarkers];
    const char *okPrefix;
    int okCode;
    const char *failPrefix;
    int failCode;

    static const sdStep initDownload;
    static const sdStep openLoadMenu;
    static const sdStep initUpload;
    static const sdStep startSettopbox;
};
