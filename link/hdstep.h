#pragma once

#include <QtGlobal>

// One listening step of the HD dialogue: its optional command, how long the
// box gets, how each pass reads, what the replies are tested for and how each
// outcome is reported. The six steps differ only in these constants, so they
// are rows of one table run by one mechanism (serialComVesk::exchange).
class hdStep
{
public:
    enum Verdict {
        None,
        Success,     // the step is done
        Failure,     // the box refused: the step fails before its time-out
        Resend,      // send the command again, the window keeps running
        EndAttempt   // end this attempt at once and start the next one
    };
    enum ReadMode {
        RawRead,     // one raw read of at most readMax bytes
        LineRead,    // one line, also a part line that has arrived
        WholeLine    // one line, only once it is complete
    };
    struct Marker
    {
        const char *text = nullptr;  // null: no further marker
        Verdict verdict = None;
        bool anyCase = false;
    };

    static constexpr int maxMarkers = 2;
    // A step that reports no error code of its own.
    static constexpr int noCode = 0;

    int startCode;
    const char *command;     // null for steps that only listen
    int writeWaitMs;
    int attempts;
    qint64 windowMs;         // per attempt
    int pauseMs;             // after each attempt that did not succeed
    int passWaitMs;          // longest single wait, so a stop is seen soon
    ReadMode readMode;
    int readMax;             // bytes per read
    Marker markers[maxMarkers];
    int okCode;
    const char *okPrefix;
    int failCode;            // noCode: the step reports no error code
    const char *failPrefix;  // a refusing reply
    const char *timeoutPrefix;
    bool logAttempt;         // success line names the attempt
    bool timeoutTail;        // time-out line ends in " (timeout)"
    bool trace;              // debug output of the restart

    static const hdStep restartPCB;
    static const hdStep openLoadMenu;
    static const hdStep waitForBinaryMode;
    static const hdStep waitForFlashing;
    static const hdStep waitForFinish;
    static const hdStep startSettopbox;
};
