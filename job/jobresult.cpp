#include "jobresult.h"

#include "jobkind.h"
#include "serialline.h"
#include "statuscode.h"
#include "statustable.h"

#include <QCoreApplication>
#include <QDir>

namespace {

const char context[] = "jobResult";

QString tr(const char *source)
{
    return QCoreApplication::translate(context, source);
}

enum Blame { OnPort, OnFile, OnBox };

// Every cause a link or the job's own checks report: how it reads, what to
// do about it and whose it is. {file}, {detail}, {extra} and {needed} stand
// for the cause's parts and for the kind of file that the job needs.
const struct {
    linkCause::Kind kind;
    const char *cause;
    const char *remedy;
    Blame blame;
    const char *windowRemedy = nullptr;   // where the window's words differ: it has no command line
} causes[] = {
    {.kind = linkCause::PortMissing,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the port {file} could not be opened: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "plug the adapter in and check the port's name (velmora --list-ports)"),
     .blame = OnPort,
     .windowRemedy = QT_TRANSLATE_NOOP("jobResult", "plug the adapter in, then choose its port in the port list")},
    {.kind = linkCause::PortBusy,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the port {file} could not be opened: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "close the other program that uses the port, then start again"),
     .blame = OnPort},
    {.kind = linkCause::PortDenied,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the port {file} could not be opened: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "join the group {extra} and log in again"),
     .blame = OnPort},
    {.kind = linkCause::PortOther,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the port {file} could not be opened: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check the port's name and its adapter (velmora --list-ports)"),
     .blame = OnPort,
     .windowRemedy = QT_TRANSLATE_NOOP("jobResult", "check the adapter, then choose its port in the port list")},
    {.kind = linkCause::PortNameTooLong,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the port's name is too long: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "give the port's name as the system names it, e.g. ttyUSB0 (velmora --list-ports)"),
     .blame = OnPort,
     .windowRemedy = QT_TRANSLATE_NOOP("jobResult", "choose the port in the port list instead of typing its name")},
    {.kind = linkCause::ServerUnreachable,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the port {file} could not be opened: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check that the serial server runs and that host and port are right (its configuration, e.g. ser2net's)"),
     .blame = OnPort},
    {.kind = linkCause::NameServerSilent,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the port {file} could not be opened: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check the network's name server, or give the serial server's IP address instead of its name"),
     .blame = OnPort},
    {.kind = linkCause::ServerSettings,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the port {file} could not be opened: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "set the serial server's port so that clients may set it to 115200 baud, 8N1 (its configuration, e.g. ser2net's), or use socket:// with the server's own settings"),
     .blame = OnPort},
    {.kind = linkCause::ServerDevice,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the serial server cannot open its device: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check the device in the serial server's configuration (e.g. ser2net's): that it exists, that the adapter is plugged in, and that no other program uses it"),
     .blame = OnPort},
    {.kind = linkCause::FileMissing,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the file {file} does not exist"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check the file's name and folder"),
     .blame = OnFile},
    {.kind = linkCause::FileUnreadable,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the file {file} cannot be read: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check that you may read the file and that it is whole"),
     .blame = OnFile},
    {.kind = linkCause::FileWrongKind,
     .cause = QT_TRANSLATE_NOOP("jobResult", "{file} is {detail}; this job needs {needed}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "choose {needed}, or the job that fits the file"),
     .blame = OnFile},
    {.kind = linkCause::FileNotWritten,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the list could not be written to {file}: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "choose a folder that you may write to and that has room"),
     .blame = OnFile},
    {.kind = linkCause::FileNotRegular,
     .cause = QT_TRANSLATE_NOOP("jobResult", "{file} is {detail}, not a regular file"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "give the name of a regular file"),
     .blame = OnFile},
    {.kind = linkCause::FileNameUndecodable,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the name {detail} is not valid in the system's encoding (UTF-8): it would "
                                             "be read or written under other bytes"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "rename the file"),
     .blame = OnFile},
    {.kind = linkCause::TargetUnwritable,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the list cannot be saved in {file}: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "choose a folder that exists and that you may write to"),
     .blame = OnFile},
    {.kind = linkCause::BoxSilent,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box did not answer within {detail} s"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "the box did not answer: check the cable, the box's power and the port"),
     .blame = OnBox},
    {.kind = linkCause::BoxSaid,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box answered \"{detail}\", not what this step waits for"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check that the box is of the family the job is for, switch it off and on, and start again"),
     .blame = OnBox},
    {.kind = linkCause::BoxRefused,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box refused: \"{detail}\""),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check that the file is meant for this box, then start again"),
     .blame = OnBox},
    {.kind = linkCause::BoxTooOld,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box's start-up control is too old: \"{detail}\" (1.7 is needed)"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "this box cannot be loaded over the cable: have its start-up control renewed"),
     .blame = OnBox},
    {.kind = linkCause::ListNotFound,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box answered, but sent no channel list"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "switch the box off and on, wait until it runs, and start again"),
     .blame = OnBox},
    {.kind = linkCause::ListUnfinished,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the channel list did not end within {detail} s"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check the cable and start again"),
     .blame = OnBox},
    {.kind = linkCause::ListTooLong,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box sent more than {detail} bytes: no channel list is that long"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check that a set-top box of this family is on the port"),
     .blame = OnBox},
    {.kind = linkCause::ListEmpty,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box sent an empty channel list"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check the box's channels; the file was left as it was"),
     .blame = OnBox},
    {.kind = linkCause::LineGone,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the serial line went: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "plug the adapter and the cable in again, then start the job again"),
     .blame = OnBox},
    {.kind = linkCause::ConnectionGone,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the connection to the serial server was closed: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check that the serial server still runs and that the network reaches it, then start the job again"),
     .blame = OnBox},
    {.kind = linkCause::LineStalled,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box stopped taking the file"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check the cable and the box's power, then start the job again"),
     .blame = OnBox},
    {.kind = linkCause::ListDiffers,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the list read back from the box differs from the file {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "upload the list again"),
     .blame = OnBox},
    {.kind = linkCause::ListReadsDiffer,
     .cause = QT_TRANSLATE_NOOP("jobResult", "no two reads of the channel list agreed: the last two differ {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "a noisy cable or adapter changes bytes: check or change them, then download again"),
     .blame = OnBox},
    {.kind = linkCause::ConsoleSilent,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box's console did not answer within {detail} s of its start"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check that the box has started; the list was uploaded but not verified"),
     .blame = OnBox},
    {.kind = linkCause::AnswerMalformed,
     .cause = QT_TRANSLATE_NOOP("jobResult", "the box's answer is no {extra}: {detail}"),
     .remedy = QT_TRANSLATE_NOOP("jobResult", "check that an HD box runs on the port, then ask again"),
     .blame = OnBox},
};

// The kind of file each job needs, and the words for the kinds a file is found to be.
const struct {
    jobKind::Kind job;
    const char *needs;
} needs[] = {
    {.job = jobKind::UpdateHD, .needs = QT_TRANSLATE_NOOP("jobResult", "an HD update file (*.app)")},
    {.job = jobKind::SendListHD, .needs = QT_TRANSLATE_NOOP("jobResult", "an HD channel list (*.lis)")},
    {.job = jobKind::GetListHD, .needs = QT_TRANSLATE_NOOP("jobResult", "an HD channel list (*.lis)")},
    {.job = jobKind::UpdateSD, .needs = QT_TRANSLATE_NOOP("jobResult", "SD update images (*.app)")},
    {.job = jobKind::SendListSD, .needs = QT_TRANSLATE_NOOP("jobResult", "an SD channel list (*.lst)")},
    {.job = jobKind::GetListSD, .needs = QT_TRANSLATE_NOOP("jobResult", "an SD channel list (*.lst)")},
};
// The links' English names of file kinds and of special files, so that lupdate sees them.
[[maybe_unused]] const char *const kindWords[] = {
    QT_TRANSLATE_NOOP("jobResult", "an HD update file"), QT_TRANSLATE_NOOP("jobResult", "an HD channel list"),
    QT_TRANSLATE_NOOP("jobResult", "no HD file"),         QT_TRANSLATE_NOOP("jobResult", "an SD channel list"),
    QT_TRANSLATE_NOOP("jobResult", "an SD update image"), QT_TRANSLATE_NOOP("jobResult", "no SD file"),
    QT_TRANSLATE_NOOP("jobResult", "a FIFO"),             QT_TRANSLATE_NOOP("jobResult", "a device"),
    QT_TRANSLATE_NOOP("jobResult", "a folder"),           QT_TRANSLATE_NOOP("jobResult", "a socket"),
    QT_TRANSLATE_NOOP("jobResult", "software version"),   QT_TRANSLATE_NOOP("jobResult", "low-power version"),
    QT_TRANSLATE_NOOP("jobResult", "MAC address"),        QT_TRANSLATE_NOOP("jobResult", "neither an HD nor an SD file"),
    // Why a list save refused a node in the list's place.
    QT_TRANSLATE_NOOP("jobResult", "Is a FIFO, not a regular file"),
    QT_TRANSLATE_NOOP("jobResult", "Is a device, not a regular file"),
    QT_TRANSLATE_NOOP("jobResult", "Is a socket, not a regular file"),
};

const struct {
    jobResult::BoxState box;
    const char *text;
    const char *listText;   // for a list job, where it differs
} boxTexts[] = {
    {.box = jobResult::Untouched, .text = QT_TRANSLATE_NOOP("jobResult", "the box was not changed"), .listText = nullptr},
    {.box = jobResult::HalfUpdated,
     .text = QT_TRANSLATE_NOOP("jobResult", "the box may be left half-updated: update it again before you start it"),
     .listText = QT_TRANSLATE_NOOP("jobResult", "the box may hold a half-loaded list: upload the list again")},
    {.box = jobResult::Updated, .text = QT_TRANSLATE_NOOP("jobResult", "the box holds the new firmware"),
     .listText = QT_TRANSLATE_NOOP("jobResult", "the box holds the uploaded list")},
    {.box = jobResult::ListSaved, .text = QT_TRANSLATE_NOOP("jobResult", "the list is saved in {file}"), .listText = nullptr},
    {.box = jobResult::OldListKept, .text = QT_TRANSLATE_NOOP("jobResult", "the file {file} was left as it was"),
     .listText = nullptr},
    {.box = jobResult::Reset, .text = QT_TRANSLATE_NOOP("jobResult", "the factory reset was sent"), .listText = nullptr},
};

// The failures that a second attempt can mend; `untouchedOnly`: only while
// nothing of this attempt had reached the box.
const struct {
    linkCause::Kind kind;
    bool untouchedOnly;
} retryable[] = {
    {.kind = linkCause::PortMissing, .untouchedOnly = false},      // an adapter plugged in again
    {.kind = linkCause::PortBusy, .untouchedOnly = false},         // another program lets go
    {.kind = linkCause::PortOther, .untouchedOnly = false},
    {.kind = linkCause::ServerUnreachable, .untouchedOnly = false},
    {.kind = linkCause::NameServerSilent, .untouchedOnly = false},   // the network's name server answers later
    {.kind = linkCause::ServerDevice, .untouchedOnly = false},
    {.kind = linkCause::BoxSilent, .untouchedOnly = true},          // switched on late
    {.kind = linkCause::LineGone, .untouchedOnly = false},
    {.kind = linkCause::ConnectionGone, .untouchedOnly = false},
    {.kind = linkCause::LineStalled, .untouchedOnly = false},
    {.kind = linkCause::ListUnfinished, .untouchedOnly = false},
    {.kind = linkCause::ListReadsDiffer, .untouchedOnly = false},   // line noise
};

const statusTable::Entry *row(int code)
{
    return code >= 0 ? statusTable::find(code) : nullptr;
}

QString mainWindowText(const char *source)
{
    return source ? QCoreApplication::translate("MainWindow", source) : QString();
}

} // namespace

int jobResult::exitCode() const
{
    if (outcome == Done)
        return ExitDone;
    if (outcome == Stopped)
        return ExitStopped;
    for (const auto &c : causes)
        if (c.kind == cause.kind)
            return c.blame == OnPort ? ExitPort : c.blame == OnFile ? ExitFile : ExitBox;
    // No cause reported: the deciding code tells whose the fault is.
    const statusTable::Entry *r = row(statusCode);
    if (r && r->sdCode == sdCode::PortFailed)
        return ExitPort;
    if (r && (r->sdCode == sdCode::FileFailed || r->sdCode == sdCode::WrongFileKind))
        return ExitFile;
    return ExitBox;
}

bool jobResult::retryHelps() const
{
    if (outcome != Failed)
        return false;
    for (const auto &r : retryable)
        if (r.kind == cause.kind)
            return !r.untouchedOnly || box == Untouched || box == OldListKept || halfUpdatedBefore;
    return false;
}

QString jobResult::headline() const
{
    const statusTable::Entry *r = row(statusCode);
    if (r && r->status)
        return mainWindowText(r->status);
    return outcomeText();
}

QString jobResult::stepText() const
{
    const statusTable::Entry *r = row(failedStep);
    return r ? mainWindowText(r->status) : QString();
}

namespace {

QString filled(QString text, const jobResult &result)
{
    QString needed;
    for (const auto &n : needs)
        if (n.job == result.job)
            needed = tr(n.needs);
    const QString file = result.cause.file.isEmpty() ? result.file : result.cause.file;
    text.replace(QLatin1String("{file}"), QDir::toNativeSeparators(file));
    text.replace(QLatin1String("{detail}"), tr(result.cause.detail.toUtf8().constData()));
    text.replace(QLatin1String("{extra}"), result.cause.extra.isEmpty() ? QStringLiteral("dialout")
                                                                        : tr(result.cause.extra.toUtf8().constData()));
    text.replace(QLatin1String("{needed}"), needed);
    return text;
}

} // namespace

QString jobResult::causeText() const
{
    if (outcome == Stopped)
        return tr("the job was stopped: %1").arg(stopText(stoppedBy));
    if (outcome == Done)
        return QString();
    for (const auto &c : causes)
        if (c.kind == cause.kind)
            return filled(tr(c.cause), *this);
    return QString();
}

QString jobResult::noteText() const
{
    if (note.kind != linkCause::ListTooBigToUpload)
        return QString();
    return tr("the list has %1 bytes; the box takes at most %2 bytes in an upload, so this file cannot go back "
              "to a box")
        .arg(note.detail, note.extra);
}

QString jobResult::warningText() const
{
    if (warning.kind != linkCause::ServerUnconfirmed)
        return QString();
    return tr("%1: the box's line may not run at 115200 baud, 8N1; if the box stays silent, set the server's port "
              "to these settings")
        .arg(warning.detail);
}

QString jobResult::remedy(Audience audience) const
{
    if (outcome != Failed)
        return QString();
    for (const auto &c : causes)
        if (c.kind == cause.kind)
            return filled(tr(audience == InWindow && c.windowRemedy ? c.windowRemedy : c.remedy), *this);
    return tr("check the cable and the box, then start again");
}

QString jobResult::boxText() const
{
    for (const auto &b : boxTexts)
        if (b.box == box)
            return filled(tr(b.listText && jobKind::isList(job) ? b.listText : b.text), *this);
    return QString();
}

QString jobResult::outcomeText() const
{
    return outcomeName(outcome);
}

QString jobResult::outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Done:
        return tr("done");
    case Failed:
        return tr("failed");
    case Stopped:
        break;
    }
    return tr("stopped");
}

QString jobResult::stopText(int why)
{
    // The link's English words, which the log keeps.
    [[maybe_unused]] static const char *const words[] = {
        QT_TRANSLATE_NOOP("jobResult", "the window was closed"), QT_TRANSLATE_NOOP("jobResult", "Stop was pressed"),
        QT_TRANSLATE_NOOP("jobResult", "interrupted by SIGHUP"), QT_TRANSLATE_NOOP("jobResult", "interrupted by SIGINT"),
        QT_TRANSLATE_NOOP("jobResult", "interrupted by SIGTERM")};
    return tr(serialLine::stopText(why).toUtf8().constData());
}

QString jobResult::stopWords(int why)
{
    return serialLine::stopText(why);
}

jobResult jobResult::refused(jobKind::Kind job, const linkCause &cause)
{
    jobResult result;
    result.job = job;
    result.outcome = Failed;
    result.cause = cause;
    result.file = cause.file;
    result.box = jobKind::find(job) && !jobKind::find(job)->sendsFile ? OldListKept : Untouched;
    return result;
}
