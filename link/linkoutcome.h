#pragma once

#include "linkcause.h"

#include <QMetaType>
#include <QString>
#include <QtGlobal>

// What one job of a link came to, sent once when the job has ended, after
// its last log line: how it ended, the step it was in, why it failed, what
// the box was left as, and what the job moved in how long. The link decides
// it as the job goes; nothing has to be read back from the status codes.
class linkOutcome
{
public:
    enum End { Done, Failed, Stopped };
    enum Box {
        Untouched,     // nothing on the box was changed
        HalfUpdated,   // its load began and did not end
        Updated,       // the firmware or the list was loaded
        ListSaved,     // a download was saved
        OldListKept,   // a download failed; the file on the PC is as it was
        Reset,         // a factory reset reached the box
    };

    End end = Failed;
    int step = -1;           // the status code of the step it was in when it failed, or -1
    int code = -1;           // the result or error code that decided, or -1
    linkCause cause;         // why it failed (None when done)
    linkCause note;          // a done job's note
    linkCause warning;       // the line may not carry the boxes' settings, done or failed
    Box box = Untouched;
    bool startUnconfirmed = false;   // done, but the box did not report its start
    int stoppedBy = 0;       // who stopped it, when it was stopped
    QString answer;          // a service query's answer
    qint64 bytes = 0;        // sent to or received from the box
    qint64 ms = 0;

    static void registerType();
};
Q_DECLARE_METATYPE(linkOutcome)
