#pragma once

#include "jobkind.h"
#include "linkcause.h"
#include "servicerequest.h"

#include <QString>
#include <QtGlobal>

// What a job came to, for a front end to present: the outcome, the step
// that failed, the cause and a remedy in words, what the box was left as,
// and bytes and time. Made by jobReport from the link's outcome;
// the words are made when asked, in the language then installed.
class jobResult
{
public:
    enum Outcome { Done, Failed, Stopped };
    enum BoxState {
        Untouched,     // nothing on the box was changed
        HalfUpdated,   // its load began and did not end: it must be loaded again
        Updated,       // the firmware or the list was loaded
        ListSaved,     // a download was saved
        OldListKept,   // a download failed; the file on the PC is as it was
        Reset,         // a factory reset was sent
    };
    // Numbered so that a higher code is the worse outcome: a run over
    // several ports exits with the highest code of its ports.
    enum ExitCode {
        ExitDone = 0,
        ExitUsage = 2,
        ExitPort = 3,       // the box was not touched
        ExitFile = 4,       // found before the box took the file, or a download not written
        ExitBox = 5,        // the box did not answer or refused: it may be left half done
        ExitStopped = 130
    };

    // Who asks for a stop: the window's close, its Stop, or a signal's number.
    enum StopReason : int { WindowClosed = 0, StopPressed = -1 };

    jobKind::Kind job = jobKind::None;                      // the job it belongs to, or
    serviceRequest::Query query = serviceRequest::None;     // the service request
    Outcome outcome = Done;
    int statusCode = -1;          // the result or error code that decided, or -1
    int failedStep = -1;          // the progress code of the step that failed, or -1
    linkCause cause;
    linkCause note;               // a done job's note (a list that cannot go back to a box)
    int stoppedBy = 0;            // who stopped it (StopReason, or a signal)
    BoxState box = Untouched;
    bool halfUpdatedBefore = false;   // `box` is an earlier attempt's half-update: this one sent nothing
    linkCause warning;            // the serial server did not confirm the line settings
    bool startUnconfirmed = false;   // done, but the box did not report its start
    QString port;                 // the port it ran on
    QString file;                 // the job's (first) file
    QString answer;               // a service query's answer
    qint64 bytes = 0;             // sent or received
    qint64 ms = 0;

    bool done() const { return outcome == Done; }
    // Whether running the job again can help: the port could not be opened
    // or reached, the box was silent before this attempt sent anything (also
    // after an earlier attempt's half-update), the line went or stalled, a
    // download's reads failed. Never a box that refused the file, a wrong
    // file or a stop.
    bool retryHelps() const;
    int exitCode() const;
    // The status text of the deciding code, as the window shows it.
    QString headline() const;
    QString stepText() const;
    QString causeText() const;
    // Who reads the remedy: the terminal's may name options, the window's its controls.
    enum Audience { OnTerminal, InWindow };
    QString remedy(Audience audience = OnTerminal) const;
    // The note of a done job in words, or empty.
    QString noteText() const;
    // The warning of any job in words, or empty.
    QString warningText() const;
    QString boxText() const;
    QString outcomeText() const;
    static QString outcomeName(Outcome outcome);
    // Why a job stopped, for the log and the screen ("Stop was pressed", "SIGINT").
    static QString stopText(int why);
    // The same in English, as the logs keep it.
    static QString stopWords(int why);
    // A refusal found before the box was touched.
    static jobResult refused(jobKind::Kind job, const linkCause &cause);
};
