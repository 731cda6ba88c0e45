// Fast rows without a line: how a link's outcome becomes the result a front
// end shows, how a box's reply is joined from the pieces a line hands over,
// how a marker is found however the bytes are cut, and how files are
// recognised for each front end.
#include "boxquestions.h"
#include "commandline.h"
#include "jobreport.h"
#include "jobrequest.h"
#include "progressgate.h"
#include "recordsfile.h"
#include "linetransport.h"
#include "markersearch.h"
#include "portaddress.h"
#include "replyjoin.h"
#include "statuscode.h"
#include "rfc2217device.h"
#include "testrig.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_units : public QObject
{
    Q_OBJECT
private slots:
    void outcome_data();
    void outcome();
    void replyJoinPieces_data();
    void replyJoinPieces();
    void markerCut_data();
    void markerCut();
    void markerSearchPieces_data();
    void markerSearchPieces();
    void recognise_data();
    void recognise();
    void portAddresses_data();
    void portAddresses();
    void downloadTargets_data();
    void downloadTargets();
    void recordLines_data();
    void recordLines();
    void portNamedTwice_data();
    void portNamedTwice();
    void serverSettings_data();
    void serverSettings();
    void serverFlood_data();
    void serverFlood();
    void progressGates_data();
    void progressGates();
    void boxQuestionRuns_data();
    void boxQuestionRuns();
};

// ---- link outcome -> job result ----------------------------------------------

struct OutcomeRow {
    const char *name;
    jobKind::Kind job = jobKind::UpdateHD;
    serviceRequest::Query query = serviceRequest::None;
    linkOutcome given;
    jobResult::Outcome outcome;
    jobResult::BoxState box;
    int exitCode;
    int failedStep = -1;
    linkCause::Kind cause = linkCause::None;
    bool startUnconfirmed = false;
    QString answer = QString();
    bool retry = false;   // another attempt can help
    QList<jobResult::BoxState> earlier{};   // what the earlier attempts at the box left it as
};
Q_DECLARE_METATYPE(OutcomeRow)

namespace {

linkOutcome made(linkOutcome::End end, linkOutcome::Box box, int code, int step = -1,
                 linkCause::Kind cause = linkCause::None)
{
    linkOutcome o;
    o.end = end;
    o.box = box;
    o.code = code;
    o.step = step;
    o.cause = linkCause(cause, QStringLiteral("detail"), QStringLiteral("file"));
    return o;
}

} // namespace

void tst_units::outcome_data()
{
    QTest::addColumn<OutcomeRow>("row");
    using L = linkOutcome;
    using R = jobResult;
    linkOutcome unconfirmed = made(L::Done, L::Updated, hdCode::UpdateDone);
    unconfirmed.startUnconfirmed = true;
    linkOutcome failedUnconfirmed = made(L::Failed, L::HalfUpdated, hdCode::FinishFailed, hdCode::WaitingFinish,
                                         linkCause::BoxSilent);
    failedUnconfirmed.startUnconfirmed = true;
    linkOutcome answered = made(L::Done, L::Untouched, -1);
    answered.answer = QStringLiteral(" 12-34-56-78-9A-BC\r\n");
    linkOutcome doneWithCause = made(L::Done, L::ListSaved, hdCode::DownloadDone, hdCode::EndFound, linkCause::LineGone);
    const OutcomeRow rows[] = {
        {.name = "done update", .given = made(L::Done, L::Updated, hdCode::UpdateDone), .outcome = R::Done,
         .box = R::Updated, .exitCode = R::ExitDone},
        {.name = "done, start not confirmed", .given = unconfirmed, .outcome = R::Done, .box = R::Updated,
         .exitCode = R::ExitDone, .startUnconfirmed = true},
        {.name = "failed, start not confirmed: no warning", .given = failedUnconfirmed, .outcome = R::Failed,
         .box = R::HalfUpdated, .exitCode = R::ExitBox, .failedStep = hdCode::WaitingFinish,
         .cause = linkCause::BoxSilent},
        {.name = "done clears a stale cause and step", .job = jobKind::GetListHD, .given = doneWithCause,
         .outcome = R::Done, .box = R::ListSaved, .exitCode = R::ExitDone},
        {.name = "port missing", .given = made(L::Failed, L::Untouched, hdCode::PortFailed, hdCode::Updating,
                                               linkCause::PortMissing),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitPort, .failedStep = hdCode::Updating,
         .cause = linkCause::PortMissing, .retry = true},
        {.name = "port name too long", .given = made(L::Failed, L::Untouched, hdCode::PortFailed, hdCode::Updating,
                                                     linkCause::PortNameTooLong),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitPort, .failedStep = hdCode::Updating,
         .cause = linkCause::PortNameTooLong},
        {.name = "port other", .given = made(L::Failed, L::Untouched, hdCode::PortFailed, hdCode::Updating,
                                             linkCause::PortOther),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitPort, .failedStep = hdCode::Updating,
         .cause = linkCause::PortOther, .retry = true},
        {.name = "server unreachable", .given = made(L::Failed, L::Untouched, hdCode::PortFailed, hdCode::Updating,
                                                     linkCause::ServerUnreachable),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitPort, .failedStep = hdCode::Updating,
         .cause = linkCause::ServerUnreachable, .retry = true},
        {.name = "name server silent", .given = made(L::Failed, L::Untouched, hdCode::PortFailed, hdCode::Updating,
                                                     linkCause::NameServerSilent),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitPort, .failedStep = hdCode::Updating,
         .cause = linkCause::NameServerSilent, .retry = true},
        {.name = "file of the wrong kind", .job = jobKind::UpdateSD,
         .given = made(L::Failed, L::Untouched, sdCode::WrongFileKind, sdCode::Updating, linkCause::FileWrongKind),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitFile, .failedStep = sdCode::Updating,
         .cause = linkCause::FileWrongKind},
        {.name = "list not written", .job = jobKind::GetListSD,
         .given = made(L::Failed, L::OldListKept, sdCode::FileFailed, sdCode::EndFound, linkCause::FileNotWritten),
         .outcome = R::Failed, .box = R::OldListKept, .exitCode = R::ExitFile, .failedStep = sdCode::EndFound,
         .cause = linkCause::FileNotWritten},
        {.name = "box silent", .given = made(L::Failed, L::Untouched, hdCode::RestartFailed, hdCode::Restarting,
                                             linkCause::BoxSilent),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitBox, .failedStep = hdCode::Restarting,
         .cause = linkCause::BoxSilent, .retry = true},
        // This attempt sent nothing: the box stays half-updated, and may be switched on late.
        {.name = "box silent after an earlier half-update",
         .given = made(L::Failed, L::Untouched, hdCode::RestartFailed, hdCode::Restarting, linkCause::BoxSilent),
         .outcome = R::Failed, .box = R::HalfUpdated, .exitCode = R::ExitBox, .failedStep = hdCode::Restarting,
         .cause = linkCause::BoxSilent, .retry = true, .earlier = {R::HalfUpdated}},
        {.name = "box silent in this attempt's load",
         .given = made(L::Failed, L::HalfUpdated, hdCode::FlashFailed, hdCode::WaitingFlash, linkCause::BoxSilent),
         .outcome = R::Failed, .box = R::HalfUpdated, .exitCode = R::ExitBox, .failedStep = hdCode::WaitingFlash,
         .cause = linkCause::BoxSilent, .earlier = {R::HalfUpdated}},
        {.name = "box refused after an earlier half-update",
         .given = made(L::Failed, L::Untouched, hdCode::RestartFailed, hdCode::Restarting, linkCause::BoxRefused),
         .outcome = R::Failed, .box = R::HalfUpdated, .exitCode = R::ExitBox, .failedStep = hdCode::Restarting,
         .cause = linkCause::BoxRefused, .earlier = {R::HalfUpdated}},
        {.name = "box refused mid-load", .given = made(L::Failed, L::HalfUpdated, hdCode::FlashFailed,
                                                       hdCode::WaitingFlash, linkCause::BoxRefused),
         .outcome = R::Failed, .box = R::HalfUpdated, .exitCode = R::ExitBox, .failedStep = hdCode::WaitingFlash,
         .cause = linkCause::BoxRefused},
        {.name = "line gone in the send", .job = jobKind::UpdateSD,
         .given = made(L::Failed, L::HalfUpdated, sdCode::WriteFailed, sdCode::SendingFile, linkCause::LineGone),
         .outcome = R::Failed, .box = R::HalfUpdated, .exitCode = R::ExitBox, .failedStep = sdCode::SendingFile,
         .cause = linkCause::LineGone, .retry = true},
        {.name = "upload read back differs", .job = jobKind::SendListHD,
         .given = made(L::Failed, L::HalfUpdated, hdCode::VerifyDiffers, hdCode::Verifying, linkCause::ListDiffers),
         .outcome = R::Failed, .box = R::HalfUpdated, .exitCode = R::ExitBox, .failedStep = hdCode::Verifying,
         .cause = linkCause::ListDiffers},
        {.name = "download reads disagree", .job = jobKind::GetListHD,
         .given = made(L::Failed, L::OldListKept, hdCode::ReadsDiffer, hdCode::Verifying, linkCause::ListReadsDiffer),
         .outcome = R::Failed, .box = R::OldListKept, .exitCode = R::ExitBox, .failedStep = hdCode::Verifying,
         .cause = linkCause::ListReadsDiffer, .retry = true},
        {.name = "port busy", .given = made(L::Failed, L::Untouched, hdCode::PortFailed, hdCode::Updating, linkCause::PortBusy),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitPort, .failedStep = hdCode::Updating,
         .cause = linkCause::PortBusy, .retry = true},
        {.name = "port denied", .given = made(L::Failed, L::Untouched, hdCode::PortFailed, hdCode::Updating, linkCause::PortDenied),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitPort, .failedStep = hdCode::Updating,
         .cause = linkCause::PortDenied},
        {.name = "box stalled in the load", .given = made(L::Failed, L::HalfUpdated, hdCode::WriteFailed, hdCode::SendingFile,
                                                          linkCause::LineStalled),
         .outcome = R::Failed, .box = R::HalfUpdated, .exitCode = R::ExitBox, .failedStep = hdCode::SendingFile,
         .cause = linkCause::LineStalled, .retry = true},
        {.name = "server connection gone", .job = jobKind::GetListSD,
         .given = made(L::Failed, L::OldListKept, sdCode::DownloadTimeout, sdCode::Downloading, linkCause::ConnectionGone),
         .outcome = R::Failed, .box = R::OldListKept, .exitCode = R::ExitBox, .failedStep = sdCode::Downloading,
         .cause = linkCause::ConnectionGone, .retry = true},
        {.name = "list unfinished", .job = jobKind::GetListHD,
         .given = made(L::Failed, L::OldListKept, hdCode::DownloadTimeout, hdCode::Downloading, linkCause::ListUnfinished),
         .outcome = R::Failed, .box = R::OldListKept, .exitCode = R::ExitBox, .failedStep = hdCode::Downloading,
         .cause = linkCause::ListUnfinished, .retry = true},
        {.name = "stopped in the send", .given = made(L::Stopped, L::HalfUpdated, -1), .outcome = R::Stopped,
         .box = R::HalfUpdated, .exitCode = R::ExitStopped},
        {.name = "query answered", .job = jobKind::None, .query = serviceRequest::Mac, .given = answered,
         .outcome = R::Done, .box = R::Untouched, .exitCode = R::ExitDone, .answer = QStringLiteral("12-34-56-78-9A-BC")},
        {.name = "query malformed", .job = jobKind::None, .query = serviceRequest::Software,
         .given = made(L::Failed, L::Untouched, -1, hdCode::QuerySoftware, linkCause::AnswerMalformed),
         .outcome = R::Failed, .box = R::Untouched, .exitCode = R::ExitBox, .failedStep = hdCode::QuerySoftware,
         .cause = linkCause::AnswerMalformed},
        {.name = "reset sent", .job = jobKind::None, .query = serviceRequest::FactoryReset,
         .given = made(L::Done, L::Reset, -1), .outcome = R::Done, .box = R::Reset, .exitCode = R::ExitDone},
    };
    for (const OutcomeRow &row : rows)
        QTest::newRow(row.name) << row;
}

void tst_units::outcome()
{
    QFETCH(OutcomeRow, row);
    jobResult r = jobReport::result(row.job, row.query, QStringLiteral("the.file"), row.given);
    // The attempts at one box, this one last.
    boxQuestions attempts;
    attempts.begin({});
    for (jobResult::BoxState state : row.earlier) {
        jobResult earlier;
        earlier.outcome = jobResult::Failed;
        earlier.box = state;
        attempts.attemptEnded(earlier);
    }
    attempts.attemptEnded(r);
    QCOMPARE(r.job, row.job);
    QCOMPARE(r.query, row.query);
    QCOMPARE(r.outcome, row.outcome);
    QCOMPARE(r.box, row.box);
    QCOMPARE(r.exitCode(), row.exitCode);
    QCOMPARE(r.failedStep, row.failedStep);
    QCOMPARE(int(r.cause.kind), int(row.cause));
    QCOMPARE(r.startUnconfirmed, row.startUnconfirmed);
    QCOMPARE(r.answer, row.answer);
    QCOMPARE(r.retryHelps(), row.retry);
    // A failure says why and what to do; nothing else does.
    QCOMPARE(r.causeText().isEmpty(), row.outcome == jobResult::Done);
    QCOMPARE(r.remedy().isEmpty(), row.outcome != jobResult::Failed);
    // The window has no command line: where the terminal's advice cites the
    // port list option, the window's points to its own port list.
    const QString inWindow = r.remedy(jobResult::InWindow);
    QVERIFY2(!inWindow.contains(QLatin1String("--")), qPrintable(inWindow));
    QCOMPARE(inWindow.contains(QLatin1String("port list")), r.remedy().contains(QLatin1String("--list-ports")));
}

// ---- the reply join -------------------------------------------------------------

struct JoinRow {
    const char *name;
    QList<QByteArray> pieces;
    QStringList texts;        // what each piece gives to examine
    bool lineEnded;           // after the last piece
};
Q_DECLARE_METATYPE(JoinRow)

void tst_units::replyJoinPieces_data()
{
    QTest::addColumn<JoinRow>("row");
    const JoinRow rows[] = {
        {.name = "whole line", .pieces = {"load App\r\n"}, .texts = {"load App"}, .lineEnded = true},
        {.name = "split in two", .pieces = {"loa", "d App\r\n"}, .texts = {"loa", "load App"}, .lineEnded = true},
        {.name = "line end alone", .pieces = {"binary mode", "\r\n"}, .texts = {"binary mode", "binary mode"},
         .lineEnded = true},
        {.name = "NUL bytes of power-up dropped", .pieces = {QByteArray("\0\0fl", 4), QByteArray("ash\0 it\n", 8)},
         .texts = {"fl", "flash it"}, .lineEnded = true},
        {.name = "only NULs: nothing", .pieces = {QByteArray("\0\0\0", 3)}, .texts = {""}, .lineEnded = true},
        {.name = "prompt without line end", .pieces = {"\r\nCom -> "}, .texts = {"Com -> "}, .lineEnded = false},
        {.name = "raw read ends one line, opens the next", .pieces = {"done\r\nDefl", "at OK\r\n"},
         .texts = {"doneDefl", "Deflat OK"}, .lineEnded = true},
        {.name = "a new line is not joined to an ended one", .pieces = {"first\n", "second"},
         .texts = {"first", "second"}, .lineEnded = false},
        {.name = "CR alone ends a line", .pieces = {"one\r", "two"}, .texts = {"one", "two"}, .lineEnded = false},
        {.name = "a babbling line keeps its last characters",
         .pieces = {QByteArray(300, 'x'), "tail"},
         .texts = {QString(300, 'x'), QString(replyJoin::openLineKept, 'x') + "tail"},
         .lineEnded = false},
    };
    for (const JoinRow &row : rows)
        QTest::newRow(row.name) << row;
}

void tst_units::replyJoinPieces()
{
    QFETCH(JoinRow, row);
    replyJoin join;
    QStringList texts;
    for (const QByteArray &piece : row.pieces)
        texts << join.take(piece);
    QCOMPARE(texts, row.texts);
    QCOMPARE(join.lineEnded(), row.lineEnded);
}

// A marker cut at every byte, with and without NUL bytes at the cut, is
// seen in the text of the piece that completes it, and only a part of it
// before: the engine may not decide on a part.
struct CutRow {
    const char *name;
    QByteArray reply;
    QString marker;
    QByteArray atCut;   // bytes put at the cut
};
Q_DECLARE_METATYPE(CutRow)

void tst_units::markerCut_data()
{
    QTest::addColumn<CutRow>("row");
    const CutRow rows[] = {
        {.name = "load menu", .reply = "l\r\nload App\r\n", .marker = "load App", .atCut = ""},
        {.name = "version line", .reply = "SUC (StartUpControl)1.7.2\r\n", .marker = "SUC (StartUpControl)1.7",
         .atCut = ""},
        {.name = "start with NULs at the cut", .reply = "s\r\nDeflat OK\r\n", .marker = "Deflat OK",
         .atCut = QByteArray("\0\0", 2)},
        {.name = "SD finish", .reply = "Write Flash\r\nready\r\n", .marker = "ready", .atCut = QByteArray("\0", 1)},
    };
    for (const CutRow &row : rows)
        QTest::newRow(row.name) << row;
}

void tst_units::markerCut()
{
    QFETCH(CutRow, row);
    const int end = int(row.reply.indexOf(row.marker.toLatin1())) + row.marker.size();
    for (int cut = 1; cut < row.reply.size(); ++cut) {
        replyJoin join;
        const QString first = join.take(row.reply.left(cut) + row.atCut);
        const QString second = join.take(row.atCut + row.reply.mid(cut));
        QVERIFY2(first.contains(row.marker) == (cut >= end), qPrintable(QString::number(cut)));
        QVERIFY2(first.contains(row.marker) || second.contains(row.marker), qPrintable(QString::number(cut)));
        // A marker still open at the cut is known to be possibly coming.
        if (cut < end && cut > end - row.marker.size())
            QVERIFY(replyJoin::endsInPartOf(first, row.marker.toLatin1().constData()));
    }
}

// ---- the marker search ----------------------------------------------------------

struct SearchRow {
    const char *name;
    QByteArray marker;
    QList<QByteArray> pieces;
    qint64 at;           // where the marker begins; -1: not found
    QByteArray rest;     // what followed it in the piece that completed it
};
Q_DECLARE_METATYPE(SearchRow)

void tst_units::markerSearchPieces_data()
{
    QTest::addColumn<SearchRow>("row");
    const SearchRow rows[] = {
        {.name = "in one piece", .marker = "START", .pieces = {"chlist\r\nSTART\x01\x02"}, .at = 8, .rest = "\x01\x02"},
        {.name = "split over three", .marker = "START", .pieces = {"xxST", "A", "RTdata"}, .at = 2, .rest = "data"},
        {.name = "byte by byte", .marker = "End Upload", .pieces = {"E", "n", "d", " ", "U", "p", "l", "o", "a", "d"},
         .at = 0, .rest = ""},
        {.name = "a false start before it", .marker = "START", .pieces = {"STA", "START!"}, .at = 3, .rest = "!"},
        {.name = "absent", .marker = "START", .pieces = {"STAR", "T"}, .at = 0, .rest = ""},
        {.name = "never whole", .marker = "START", .pieces = {"STAR", "t", "STAR"}, .at = -1, .rest = ""},
        {.name = "the first of two", .marker = "END", .pieces = {"aENDbEND"}, .at = 1, .rest = "bEND"},
    };
    for (const SearchRow &row : rows)
        QTest::newRow(row.name) << row;
}

void tst_units::markerSearchPieces()
{
    QFETCH(SearchRow, row);
    markerSearch search(row.marker);
    QVERIFY(!search.fedAny());
    for (const QByteArray &piece : row.pieces)
        search.feed(piece);
    QCOMPARE(search.found(), row.at >= 0);
    QCOMPARE(search.at(), row.at);
    QCOMPARE(search.rest(), row.rest);
    QVERIFY(search.fedAny());
}

// ---- recognising files ------------------------------------------------------------

struct RecogniseRow {
    const char *name;
    QStringList files;   // of the samples below
    commandLine::Policy policy;
    jobKind::Kind kind;
    QStringList chosen;
};
Q_DECLARE_METATYPE(RecogniseRow)

void tst_units::recognise_data()
{
    QTest::addColumn<RecogniseRow>("row");
    using C = commandLine;
    const RecogniseRow rows[] = {
        {.name = "HD update decides", .files = {"hd.app"}, .policy = C::FirstDecides, .kind = jobKind::UpdateHD,
         .chosen = {"hd.app"}},
        {.name = "images gather", .files = {"a.app", "b.app"}, .policy = C::FirstDecides, .kind = jobKind::UpdateSD,
         .chosen = {"a.app", "b.app"}},
        {.name = "an HD file ends the run", .files = {"a.app", "hd.lis", "b.app"}, .policy = C::FirstDecides,
         .kind = jobKind::SendListHD, .chosen = {"hd.lis"}},
        {.name = "unknown file stands alone", .files = {"junk.bin"}, .policy = C::FirstDecides,
         .kind = jobKind::None, .chosen = {"junk.bin"}},
        {.name = "several: HD files do not count", .files = {"hd.app", "a.app"}, .policy = C::SdOnly,
         .kind = jobKind::UpdateSD, .chosen = {"a.app"}},
        {.name = "several: a list empties the images before it", .files = {"a.app", "sd.lst", "b.app"},
         .policy = C::SdOnly, .kind = jobKind::UpdateSD, .chosen = {"b.app"}},
        {.name = "several: a list alone", .files = {"a.lis", "sd.lst", "junk.bin"}, .policy = C::SdOnly,
         .kind = jobKind::SendListSD, .chosen = {"sd.lst"}},
        {.name = "several: none known", .files = {"junk.bin", "hd.app"}, .policy = C::SdOnly, .kind = jobKind::None,
         .chosen = {}},
    };
    for (const RecogniseRow &row : rows)
        QTest::newRow(row.name) << row;
}

void tst_units::recognise()
{
    QFETCH(RecogniseRow, row);
    QTemporaryDir dir;
    const struct {
        const char *name;
        QByteArray bytes;
    } samples[] = {
        {.name = "hd.app", .bytes = testRig::image("00004023", 3000)},
        {.name = "hd.lis", .bytes = testRig::image("00003040", 3000)},
        {.name = "a.lis", .bytes = testRig::image("00003040", 2000)},
        {.name = "a.app", .bytes = testRig::image("00000907", 4000)},
        {.name = "b.app", .bytes = testRig::image("00000907", 5000)},
        {.name = "sd.lst", .bytes = testRig::image("00000a07", 3000)},
        {.name = "junk.bin", .bytes = QByteArray(64, 'j')},
    };
    for (const auto &s : samples)
        QVERIFY(testRig::write(dir.filePath(QLatin1String(s.name)), s.bytes));
    QStringList files, chosen;
    for (const QString &f : row.files)
        files << dir.filePath(f);
    for (const QString &f : row.chosen)
        chosen << dir.filePath(f);
    const commandLine::Run run = commandLine::recognise(files, row.policy);
    QCOMPARE(run.kind, row.kind);
    QCOMPARE(run.files.names(), chosen);
}

QTEST_GUILESS_MAIN(tst_units)
// ---- port names -------------------------------------------------------------

struct AddressRow {
    const char *name;
    QString given;
    portAddress::Kind kind;
    QString host;       // as connected to: an IPv6 address without its brackets
    int port;
    QString hostPort;   // for logs
    QString fileTag;
    bool usable;
};
Q_DECLARE_METATYPE(AddressRow)

// ---- a download's target per port --------------------------------------------

struct TargetRow {
    const char *name;
    const char *target;     // "@dir": an existing folder
    jobKind::Kind kind = jobKind::GetListHD;
    const char *port = "/dev/ttyUSB0";
    const char *mac = "";
    const char *expected;   // "@dir" as in target
    bool perPort = true;    // it splits over several ports
};
Q_DECLARE_METATYPE(TargetRow)

void tst_units::downloadTargets_data()
{
    const TargetRow rows[] = {
        {.name = "a plain name stays", .target = "out.lis", .expected = "out.lis", .perPort = false},
        {.name = "a folder, HD", .target = "@dir", .expected = "@dir/ttyUSB0.lis"},
        {.name = "a folder, SD", .target = "@dir", .kind = jobKind::GetListSD, .expected = "@dir/ttyUSB0.lst"},
        {.name = "a serial server's port and the MAC", .target = "lists/{port}-{mac}.lis", .port = "rfc2217://box.local:7000",
         .mac = "00-A1-B2-C3-D4-E5", .expected = "lists/box.local_7000-00-A1-B2-C3-D4-E5.lis"},
        {.name = "a field in the folder's name", .target = "@dir/{port}/saved.lst", .kind = jobKind::GetListSD,
         .expected = "@dir/ttyUSB0/saved.lst"},
        {.name = "a field twice", .target = "{port}-{port}.lis", .expected = "ttyUSB0-ttyUSB0.lis"},
    };
    QTest::addColumn<TargetRow>("row");
    for (const TargetRow &r : rows)
        QTest::newRow(r.name) << r;
}

void tst_units::downloadTargets()
{
    QFETCH(TargetRow, row);
    QTemporaryDir dir;
    const auto placed = [&](const char *text) { return QString(text).replace("@dir", dir.path()); };
    QCOMPARE(jobRequest::perPort(placed(row.target)), row.perPort);
    QCOMPARE(jobRequest::targetFor(placed(row.target), row.kind, row.port, row.mac), placed(row.expected));
}

// ---- one record as its file takes it -------------------------------------------

struct RecordRow {
    const char *name;
    const char *path;
    QStringList files;            // "@dir": a folder holding old.lst
    QString cause;
    QByteArray expected;          // "@dir" as in files
    jobKind::Kind job = jobKind::UpdateSD;
    jobResult::BoxState box = jobResult::Untouched;
};
Q_DECLARE_METATYPE(RecordRow)

void tst_units::recordLines_data()
{
    const QString said = QString::fromUtf8("the box answered \"Grüße\r\nok\"");
    const RecordRow rows[] = {
        {.name = "CSV: a quoted reply over two lines", .path = "r.csv", .files = {"a.app"}, .cause = said,
         .expected = ",,COM3,SD,UpdateSD,a.app,,,,,,failed,,\"the box answered \"\"Grüße\r\nok\"\"\",untouched,5,2\r\n"},
        {.name = "CSV: two files share a cell", .path = "r.csv", .files = {"a.app", "b, c.app"}, .cause = "silent",
         .expected = ",,COM3,SD,UpdateSD,\"a.app; b, c.app\",,,,,,failed,,silent,untouched,5,2\r\n"},
        {.name = "CSV: cells a spreadsheet would take for formulas", .path = "r.csv", .files = {"-x.app"},
         .cause = "=HYPERLINK(\"http://x\",\"y\")",
         .expected = ",,COM3,SD,UpdateSD,'-x.app,,,,,,failed,,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",untouched,5,2\r\n"},
        {.name = "JSON Lines: the same escaped, unknown numbers null", .path = "r.JSONL", .files = {"a.app"}, .cause = said,
         .expected = "{\"start\":\"\",\"duration_s\":null,\"port\":\"COM3\",\"family\":\"SD\",\"job\":\"UpdateSD\","
                     "\"file\":\"a.app\",\"file_size\":null,\"file_sha256\":null,\"mac\":\"\",\"version_before\":\"\","
                     "\"version_after\":\"\",\"outcome\":\"failed\",\"failed_step\":\"\","
                     "\"cause\":\"the box answered \\\"Grüße\\r\\nok\\\"\",\"box\":\"untouched\",\"exit_code\":5,\"attempt\":2}\n"},
        // The file a download did not replace is another list than the box's.
        {.name = "CSV: a failed download, the old list in its place", .path = "r.csv", .files = {"@dir/old.lst"},
         .cause = "silent", .expected = ",,COM3,SD,GetListSD,@dir/old.lst,,,,,,failed,,silent,old-list-kept,5,2\r\n",
         .job = jobKind::GetListSD, .box = jobResult::OldListKept},
        {.name = "JSON Lines: a failed download's file unknown", .path = "r.jsonl", .files = {"@dir/old.lst"},
         .cause = "silent",
         .expected = "{\"start\":\"\",\"duration_s\":null,\"port\":\"COM3\",\"family\":\"SD\",\"job\":\"GetListSD\","
                     "\"file\":\"@dir/old.lst\",\"file_size\":null,\"file_sha256\":null,\"mac\":\"\",\"version_before\":\"\","
                     "\"version_after\":\"\",\"outcome\":\"failed\",\"failed_step\":\"\",\"cause\":\"silent\","
                     "\"box\":\"old-list-kept\",\"exit_code\":5,\"attempt\":2}\n",
         .job = jobKind::GetListSD, .box = jobResult::OldListKept},
        {.name = "CSV: a saved download's size and sum", .path = "r.csv", .files = {"@dir/old.lst"}, .cause = "silent",
         .expected = ",,COM3,SD,GetListSD,@dir/old.lst,9,64e8b4904a14b471f55cf465188af5ccb6daa6c4312f20c6bd3a52c73ef63077,"
                     ",,,failed,,silent,list-saved,5,2\r\n",
         .job = jobKind::GetListSD, .box = jobResult::ListSaved},
        {.name = "CSV: a file sent, whatever the box was left as", .path = "r.csv", .files = {"@dir/old.lst"},
         .cause = "silent",
         .expected = ",,COM3,SD,SendListSD,@dir/old.lst,9,64e8b4904a14b471f55cf465188af5ccb6daa6c4312f20c6bd3a52c73ef63077,"
                     ",,,failed,,silent,half-updated,5,2\r\n",
         .job = jobKind::SendListSD, .box = jobResult::HalfUpdated},
    };
    QTest::addColumn<RecordRow>("row");
    for (const RecordRow &r : rows)
        QTest::newRow(r.name) << r;
}

void tst_units::recordLines()
{
    QFETCH(RecordRow, row);
    QTemporaryDir dir;
    QVERIFY(testRig::write(dir.filePath("old.lst"), "old list\n"));
    QStringList files = row.files;
    files.replaceInStrings("@dir", dir.path());
    jobResult result;
    result.job = row.job;
    result.port = "COM3";
    result.outcome = jobResult::Failed;
    result.box = row.box;
    result.ms = -1;
    recordsFile::Record r = recordsFile::of(result, files, QDateTime(), 2);
    r.cause = row.cause;   // as a link words it, whatever the language
    QCOMPARE(recordsFile(row.path).line(r), QByteArray(row.expected).replace("@dir", dir.path().toUtf8()));
}

void tst_units::portAddresses_data()
{
    using A = portAddress;
    const AddressRow rows[] = {
        {.name = "IPv4", .given = "socket://127.0.0.1:7001", .kind = A::Socket, .host = "127.0.0.1", .port = 7001,
         .hostPort = "127.0.0.1:7001", .fileTag = "127.0.0.1_7001", .usable = true},
        {.name = "IPv6 in brackets", .given = "rfc2217://[::1]:7000", .kind = A::Rfc2217, .host = "::1", .port = 7000,
         .hostPort = "[::1]:7000", .fileTag = "--1_7000", .usable = true},
        {.name = "IPv6 with a scope, trailing slash", .given = "socket://[fe80::1%eth0]:7001/", .kind = A::Socket,
         .host = "fe80::1%eth0", .port = 7001, .hostPort = "[fe80::1%eth0]:7001", .fileTag = "fe80--1-eth0_7001", .usable = true},
        {.name = "IPv6 without brackets", .given = "socket://::1:7001", .kind = A::Socket, .host = "", .port = 0,
         .hostPort = ":0", .fileTag = "_0", .usable = false},
        {.name = "IPv6, bracket not closed", .given = "socket://[::1:7001", .kind = A::Socket, .host = "", .port = 0,
         .hostPort = ":0", .fileTag = "_0", .usable = false},
        {.name = "upper-case scheme, blanks", .given = " RFC2217://box.local:7000 ", .kind = A::Rfc2217, .host = "box.local",
         .port = 7000, .hostPort = "box.local:7000", .fileTag = "box.local_7000", .usable = true},
        {.name = "no port", .given = "socket://127.0.0.1", .kind = A::Socket, .host = "127.0.0.1", .port = 0,
         .hostPort = "127.0.0.1:0", .fileTag = "127.0.0.1_0", .usable = false},
        {.name = "serial device", .given = "/dev/ttyUSB0", .kind = A::Serial, .host = "", .port = 0,
         .hostPort = ":0", .fileTag = "ttyUSB0", .usable = true},
    };
    QTest::addColumn<AddressRow>("row");
    for (const AddressRow &r : rows)
        QTest::newRow(r.name) << r;
}

void tst_units::portAddresses()
{
    QFETCH(AddressRow, row);
    const portAddress a = portAddress::parse(row.given);
    QCOMPARE(a.kind, row.kind);
    QCOMPARE(a.host, row.host);
    QCOMPARE(int(a.port), row.port);
    QCOMPARE(a.hostPort(), row.hostPort);
    QCOMPARE(a.fileTag(), row.fileTag);
    QCOMPARE(a.problem.isEmpty(), row.usable);
}

struct TwiceRow {
    const char *name;
    QString first, second;
    bool same;   // one server's port: a box that must not be driven twice
};
Q_DECLARE_METATYPE(TwiceRow)

void tst_units::portNamedTwice_data()
{
    const QString p = "socket://127.0.0.1:7300";
    const TwiceRow rows[] = {
        {.name = "same string", .first = p, .second = p, .same = true},
        {.name = "localhost", .first = p, .second = "socket://localhost:7300", .same = true},
        {.name = "127.1", .first = p, .second = "socket://127.1:7300", .same = true},
        {.name = "trailing slash", .first = p, .second = p + "/", .same = true},
        {.name = "upper-case scheme", .first = p, .second = "SOCKET://127.0.0.1:7300", .same = true},
        {.name = "blanks", .first = p, .second = " " + p + " ", .same = true},
        {.name = "other scheme, same server port", .first = p, .second = "rfc2217://127.0.0.1:7300", .same = true},
        {.name = "IPv6 loopback", .first = "socket://[::1]:7300", .second = "socket://[0:0::1]:7300", .same = true},
        {.name = "other port", .first = p, .second = "socket://127.0.0.1:7301", .same = false},
        {.name = "other host", .first = p, .second = "socket://192.0.2.1:7300", .same = false},
    };
    QTest::addColumn<TwiceRow>("row");
    for (const TwiceRow &r : rows)
        QTest::newRow(r.name) << r;
}

void tst_units::portNamedTwice()
{
    QFETCH(TwiceRow, row);
    QCOMPARE(portAddress::parse(row.first).key() == portAddress::parse(row.second).key(), row.same);
}

// ---- what an RFC 2217 server answers ------------------------------------------

namespace {

// A notification of the server's: IAC SB COM-PORT-OPTION <code> <value> IAC SE.
QByteArray sub(unsigned char code, char value)
{
    return QByteArray("\xff\xfa\x2c", 3) + char(code) + value + QByteArray("\xff\xf0", 2);
}
// What the program sends before its first data byte: the offer (3 x 3 bytes)
// and the five settings (10 bytes for the baud rate, 7 for each other).
constexpr int negotiationBytes = 9 + 10 + 4 * 7;

} // namespace

struct ServerRow {
    const char *name;
    QByteArray says;
    QString reason{};   // why the port did not open; empty: it opened
    QString logged{};   // a log line, literal but for "#" and "*"
    bool ipv6 = false;  // the server on [::1]
};
Q_DECLARE_METATYPE(ServerRow)

void tst_units::serverSettings_data()
{
    // SET-PARITY's values: 1 none, 2 odd, 3 even.
    const ServerRow rows[] = {
        {.name = "confirms 115200 8N1 (parity none is 1)", .says = testRig::comPortServer(),
         .logged = "RFC 2217: the serial server 127.0.0.1:# set its port to 115200 baud, 8N1, no flow control"},
        {.name = "confirms 115200 8N1, on [::1]", .says = testRig::comPortServer(),
         .logged = "RFC 2217: the serial server [::1]:# set its port to 115200 baud, 8N1, no flow control", .ipv6 = true},
        {.name = "sets 9600 baud", .says = testRig::comPortServer(9600),
         .reason = "the serial server set 9600 baud, not 115200", .logged = "Error: open Port: the serial server set 9600 baud*"},
        {.name = "sets 7 data bits", .says = testRig::comPortServer(115200, 7),
         .reason = "the serial server set 7 data bits, not 8"},
        {.name = "sets odd parity", .says = testRig::comPortServer(115200, 8, 2),
         .reason = "the serial server set parity odd, not none"},
        {.name = "sets two stop bits", .says = testRig::comPortServer(115200, 8, 1, 2),
         .reason = "the serial server set stop size 2, not 1"},
        {.name = "refuses COM-PORT-OPTION", .says = QByteArray("\xff\xfe\x2c", 3),
         .logged = "The serial server 127.0.0.1:# does not offer RFC 2217 port control*"},
        {.name = "never confirms", .says = testRig::comPortServer().left(9),
         .logged = "RFC 2217: the serial server 127.0.0.1:# did not confirm SET-BAUDRATE within 2 s"},
    };
    QTest::addColumn<ServerRow>("row");
    for (const ServerRow &r : rows)
        QTest::newRow(r.name) << r;
}

// Each confirmation is compared with what was asked: a server on another
// line rate would make the box look silent.
void tst_units::serverSettings()
{
    QFETCH(ServerRow, row);
    testRig rig;
    const QString port = rig.scriptedServer(row.says, 0, QByteArray(), row.ipv6);
    QVERIFY2(!port.isEmpty(), "socat did not start");
    QStringList logs;
    auto line = lineTransport::forPort(port);
    QCOMPARE(line->open(port, [&](const QString &l) { logs << l; }), row.reason.isEmpty());
    QCOMPARE(line->openReason(), row.reason);
    QVERIFY2(row.logged.isEmpty() || rig.logged({row.logged}, logs), qPrintable(logs.join('\n')));
}

struct FloodRow {
    const char *name;
    int notifications;   // NOTIFY-LINESTATE and NOTIFY-MODEMSTATE, in turn, before the data
    int babble;          // bytes without a line end before the last line
};
Q_DECLARE_METATYPE(FloodRow)

void tst_units::serverFlood_data()
{
    const FloodRow rows[] = {
        {.name = "quiet server", .notifications = 0, .babble = 100},
        {.name = "notification flood", .notifications = 300000, .babble = 100},
        {.name = "4 MB without a line end", .notifications = 0, .babble = 4 * 1024 * 1024},
    };
    QTest::addColumn<FloodRow>("row");
    for (const FloodRow &r : rows)
        QTest::newRow(r.name) << r;
}

// Once the port is open, the server floods it: the box's bytes come through
// whole, in lines read as a link reads them, at a cost in step with the
// bytes, and the server's notifications are not kept.
void tst_units::serverFlood()
{
    QFETCH(FloodRow, row);
    QByteArray flood;
    for (int i = 0; i < row.notifications; ++i)
        flood += sub(i % 2 ? 107 : 106, '\x30');
    const QByteArray data = QByteArray(row.babble, 'x') + "\nready\n";
    testRig rig;
    const QString port = rig.scriptedServer(testRig::comPortServer(), negotiationBytes + 3, flood + data);
    QVERIFY2(!port.isEmpty(), "socat did not start");
    auto line = lineTransport::forPort(port);
    QVERIFY(line->open(port, [](const QString &) {}));
    auto *device = qobject_cast<rfc2217Device *>(line->device());
    QVERIFY(device);
    QCOMPARE(device->write("go\n"), qint64(3));
    QByteArray got;
    QDeadlineTimer deadline(20000);   // a rescan per line would take minutes
    while (!got.endsWith("ready\n") && !deadline.hasExpired()) {
        if (!device->canReadLine() && device->bytesAvailable() < 49)
            device->waitForReadyRead(100);
        got += device->readLine(50);
    }
    QCOMPARE(got.size(), data.size());
    QVERIFY(got == data);
    QVERIFY2(device->heldReplies() <= 5, qPrintable(QString::number(device->heldReplies())));
}


// ---- which progress reports cross to the front end ----------------------------

struct GateRow {
    const char *name;
    int paceMs = 0;
    QList<int> offers;        // percentages; restartMark starts a new step
    QList<int> crossed;       // what is to cross, in order
    int latest = -1;
};
Q_DECLARE_METATYPE(GateRow)

namespace {
constexpr int restartMark = -2;
// Far longer than a row takes, so that no report crosses by its pace.
constexpr int longPaceMs = 600000;
} // namespace

void tst_units::progressGates_data()
{
    const GateRow rows[] = {
        {.name = "no pace: every change, no repeat", .offers = {0, 0, 1, 1, 1, 2, 100, 100}, .crossed = {0, 1, 2, 100},
         .latest = 100},
        {.name = "no pace: a read-back starts again lower", .offers = {98, 100, restartMark, 0, 3}, .crossed = {98, 100, 0, 3},
         .latest = 3},
        {.name = "paced: the first, then only the full 100", .paceMs = longPaceMs, .offers = {1, 2, 3, 99, 100, 100},
         .crossed = {1, 100}, .latest = 100},
        {.name = "paced: what is held back stays readable", .paceMs = longPaceMs, .offers = {5, 6, 7}, .crossed = {5},
         .latest = 7},
        {.name = "paced: a new step's first report crosses", .paceMs = longPaceMs, .offers = {5, 6, restartMark, 6, 7},
         .crossed = {5, 6}, .latest = 7},
        {.name = "paced: a list longer than its nominal size", .paceMs = longPaceMs, .offers = {50, 101, 102},
         .crossed = {50}, .latest = 102},
    };
    QTest::addColumn<GateRow>("row");
    for (const GateRow &r : rows)
        QTest::newRow(r.name) << r;
}

void tst_units::progressGates()
{
    QFETCH(GateRow, row);
    progressGate gate;
    gate.setPaceMs(row.paceMs);
    // A job before leaves nothing behind.
    gate.offer(42);
    gate.reset();
    QCOMPARE(gate.latest(), -1);
    QList<int> crossed;
    for (int percent : row.offers) {
        if (percent == restartMark)
            gate.restart();
        else if (gate.offer(percent))
            crossed << percent;
    }
    QCOMPARE(crossed, row.crossed);
    QCOMPARE(gate.latest(), row.latest);
}

// ---- the questions around an HD box's job ------------------------------------

struct QuestionsRow {
    const char *name;
    boxQuestions::Plan plan;
    QStringList replies{};            // each question's answer in turn; "-": the box was silent
    jobResult::Outcome job = jobResult::Done;
    bool goOn = true;                 // no stop came
    QStringList trail{};              // the phases in turn
    QStringList logs{};
    QString mac{}, before{}, after{}; // as kept; "-": asked, no answer
    QList<jobResult::BoxState> attempts{jobResult::Updated};
    jobResult::BoxState box = jobResult::Updated;   // what the last attempt is said to leave
};
Q_DECLARE_METATYPE(QuestionsRow)

void tst_units::boxQuestionRuns_data()
{
    using R = jobResult;
    const boxQuestions::Plan identify{.mac = true, .versions = true};
    const QuestionsRow rows[] = {
        {.name = "no plan: the job alone", .plan = {}, .trail = {"job", "over"}},
        {.name = "identify: MAC, version, job, version after", .plan = identify, .replies = {"00a1", "V1", "V2"},
         .trail = {"mac", "version", "job", "after", "over"},
         .logs = {"MAC address: 00a1", "Software version: V1", "Software version after the update: V2"},
         .mac = "00a1", .before = "V1", .after = "V2"},
        {.name = "identify: a box silent to the MAC is not asked again", .plan = identify, .replies = {"-"},
         .job = R::Failed, .trail = {"mac", "job", "over"}, .logs = {"MAC address: no answer"}, .mac = "-",
         .attempts = {R::Untouched}, .box = R::Untouched},
        {.name = "identify: no version after a failed update", .plan = identify, .replies = {"00a1", "V1"},
         .job = R::Failed, .trail = {"mac", "version", "job", "over"},
         .logs = {"MAC address: 00a1", "Software version: V1"}, .mac = "00a1", .before = "V1",
         .attempts = {R::HalfUpdated}, .box = R::HalfUpdated},
        {.name = "identify: no version after a stop", .plan = identify, .replies = {"00a1", "V1"}, .goOn = false,
         .trail = {"mac", "version", "job", "over"}, .logs = {"MAC address: 00a1", "Software version: V1"},
         .mac = "00a1", .before = "V1"},
        {.name = "loop: the MAC only", .plan = {.mac = true}, .replies = {"00a1"}, .trail = {"mac", "job", "over"},
         .logs = {"MAC address: 00a1"}, .mac = "00a1"},
        {.name = "a file named by the MAC: none, no job", .plan = {.macNeeded = true}, .replies = {"-"},
         .trail = {"mac", "over"}, .logs = {"MAC address: no answer"}, .mac = "-", .box = jobResult::Untouched},
        {.name = "half-updated, then an attempt that touched nothing", .plan = {},
         .job = R::Failed, .trail = {"job", "over"}, .attempts = {R::HalfUpdated, R::Untouched}, .box = R::HalfUpdated},
        {.name = "half-updated, then loaded whole", .plan = {}, .trail = {"job", "over"},
         .attempts = {R::HalfUpdated, R::Updated}, .box = R::Updated},
    };
    QTest::addColumn<QuestionsRow>("row");
    for (const QuestionsRow &r : rows)
        QTest::newRow(r.name) << r;
}

void tst_units::boxQuestionRuns()
{
    QFETCH(QuestionsRow, row);
    const QMap<boxQuestions::Phase, QString> names{{boxQuestions::AskMac, "mac"}, {boxQuestions::AskVersion, "version"},
                                                   {boxQuestions::RunJob, "job"}, {boxQuestions::AskVersionAfter, "after"},
                                                   {boxQuestions::Over, "over"}};
    boxQuestions q;
    q.begin(row.plan);
    QStringList trail, logs;
    QStringList replies = row.replies;
    jobResult job;
    job.job = jobKind::UpdateHD;
    job.outcome = row.job;
    // Each phase does what it asks for, until all is over; a reply that is
    // not there reads as silence.
    for (int step = 0; step < 8 && q.phase() != boxQuestions::Over; ++step) {
        trail << names.value(q.phase());
        if (q.phase() == boxQuestions::RunJob) {
            for (jobResult::BoxState state : row.attempts) {
                job.box = state;
                q.attemptEnded(job);
            }
            q.jobEnded(job, row.goOn);
            continue;
        }
        const QString reply = replies.isEmpty() ? QStringLiteral("-") : replies.takeFirst();
        jobResult answer;
        answer.outcome = reply == "-" ? jobResult::Failed : jobResult::Done;
        answer.answer = reply == "-" ? QString() : reply;
        logs << q.answered(answer);
    }
    trail << names.value(q.phase());
    QCOMPARE(trail, row.trail);
    QCOMPARE(logs, row.logs);
    QVERIFY(replies.isEmpty());
    const auto kept = [](const boxQuestions::Answer &a) { return a.given ? a.text : a.asked ? QStringLiteral("-") : QString(); };
    QCOMPARE(kept(q.mac()), row.mac);
    QCOMPARE(kept(q.versionBefore()), row.before);
    QCOMPARE(kept(q.versionAfter()), row.after);
    QCOMPARE(int(job.box), int(row.box));
}

#include "units.moc"
