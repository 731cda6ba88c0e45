#pragma once

#include "linkcause.h"

#include <QtGlobal>

// One listening step of a box dialogue: its optional command, how long the
// box gets, how its replies are read, what they are tested for and how each
// outcome is reported and logged. The steps of both families differ only in
// these constants, so they are rows of tables (hdStep, sdStep) that one
// mechanism runs (boxLink::runStep).
class linkStep
{
public:
    enum Verdict {
        None,
        Success,     // the step is done
        Failure,     // the box refused: the step fails before its time-out
        Resend,      // send the command again; the window keeps running
        EndAttempt,  // end this attempt at once and start the next one
        Note,        // log the reply and read on
    };
    enum ReadMode {
        RawRead,     // one raw read of at most readMax bytes
        LineRead,    // one line, also a part line that has arrived
        WholeLine,   // one line, only once it is complete
        SettledLine, // one line, or a part line once the line has paused
    };
    // What the log line of a reply adds after it.
    enum Timing {
        NoTime,      // nothing
        Ms,          // the milliseconds since the attempt began
        AttemptMs,   // the attempt's number and the milliseconds
    };
    // A reply is tested for the markers in order; the first one found decides.
    struct Marker
    {
        const char *text = nullptr;  // null: no further marker
        Verdict verdict = None;
        bool anyCase = false;
        const char *prefix = nullptr;  // Failure, Note: the log line's own prefix; null: the step's failPrefix
        int code = 0;                  // Failure: its own error code; 0: the step's failCode
        linkCause::Kind cause = linkCause::BoxRefused;  // Failure: the cause reported
    };

    static constexpr int maxMarkers = 3;
    // A step that reports no error code of its own.
    static constexpr int noCode = 0;

    int startCode;
    const char *startLog;    // a log line after the start code, or null
    const char *command;     // null for steps that only listen
    int writeWaitMs;         // how long the command gets to leave
    int attempts;
    qint64 windowMs;         // per attempt
    int pauseMs;             // after each attempt that did not succeed
    int passWaitMs;          // longest single wait, so a stop is seen soon
    ReadMode readMode;
    int readMax;             // bytes per read
    Marker markers[maxMarkers];
    int okCode;
    const char *okPrefix;
    Timing timing;
    int failCode;            // noCode: the step reports no error code
    const char *failPrefix;  // a refusing reply
    const char *timeoutPrefix;
    bool timeoutTail;        // the time-out line ends in " (timeout)"
    bool trace;              // debug output of the step (category velmora.link.trace)
};
