#pragma once

#include <QMetaType>
#include <QString>

// Why a job failed, sent beside the failure's status code: the plain facts a
// user needs in order to act (the system's reason, the file, what the box
// said or that it said nothing). The job layer words them and adds a remedy;
// the log keeps its own lines.
class linkCause
{
public:
    enum Kind {
        None,
        PortMissing,      // detail: the system's reason
        PortBusy,         // detail: the system's reason
        PortDenied,       // detail: the system's reason; extra: the group that may open the port
        PortOther,        // detail: the system's reason
        PortNameTooLong,  // detail: how long the name is, and the limit
        ServerUnreachable,  // a network port: detail: refused, unknown host or no answer, in words
        NameServerSilent,   // a network port whose host's name got no answer: detail: in words
        ServerSettings,   // a network port: detail: what the server set instead of what was asked
        ServerDevice,     // a network port whose server cannot open its device: detail: the server's words
        FileMissing,      // file
        FileUnreadable,   // file; detail: the system's reason
        FileWrongKind,    // file; detail: the kind it was found to be
        FileNotWritten,   // file; detail: the system's reason
        FileNotRegular,   // file; detail: what it is instead (a FIFO, a device, a folder, a socket)
        FileNameUndecodable,  // file: the name as decoded; detail: its bytes, the odd ones as \xHH
        TargetUnwritable, // file: the folder a download would write to; detail: the system's reason
        BoxSilent,        // detail: the seconds the box was given
        BoxSaid,          // detail: its last reply, which was not the one awaited
        BoxRefused,       // detail: the refusing reply
        BoxTooOld,        // detail: the version line
        ListNotFound,     // the box talked but sent no list
        ListUnfinished,   // detail: the seconds the list was given to end
        ListTooLong,      // detail: the limit in bytes
        ListEmpty,
        LineGone,         // detail: the system's reason
        ConnectionGone,   // a network port's connection was closed; detail: the reason
        LineStalled,      // the box stopped taking bytes
        ListDiffers,      // detail: where
        ConsoleSilent,    // detail: the seconds waited for the console
        ListReadsDiffer,  // detail: how many reads, and where the last two differ
        AnswerMalformed,  // detail: what came, shown safely; extra: what the answer should have been
        // Not a failure, a note on a job that is done:
        ListTooBigToUpload,   // file: the saved list; detail: its size; extra: the upload's limit
        // Not a failure, a warning beside any end:
        ServerUnconfirmed,    // detail: what the serial server did not confirm, in words
    };

    linkCause() = default;
    linkCause(Kind kind, const QString &detail = QString(), const QString &file = QString(),
              const QString &extra = QString());

    Kind kind = None;
    QString detail;
    QString file;
    QString extra;

    // For queued connections across the link's thread.
    static void registerType();
};
Q_DECLARE_METATYPE(linkCause)
