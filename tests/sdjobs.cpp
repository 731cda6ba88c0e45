// The SD link against the simulated SD box: one table of jobs with each step's
// attempts, the StartUpControl test, verdicts, markers, failed downloads and
// windows; for both families file kinds, block tiers, stopping, port errors.
#include "filekind.h"
#include "linkclock.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"
#include "statuscode.h"
#include "testrig.h"

#include <QSerialPort>

#include <QDir>
#include <QtTest>

#include <functional>
#include <thread>

using Codes = QList<int>;
using Commands = QList<QByteArray>;
using Fault = std::function<void(sdBox::Config &)>;
using Check = std::function<void(const testRig &)>;
using S = sdCode;
using C = sdBox::Config;
using H = hdCode;
enum Job { Update, Download, Upload };
// Where a download goes: a file (an old list there), or a folder of that name.
enum class Target { File, Folder };

struct Row {
    QByteArray name{};
    Job job = Update;
    QString files{};                // download: the target
    Fault box = [](sdBox::Config &) {};
    double scale = 0.05;            // most rows need not wait out whole windows
    Codes codes{};
    Commands commands{};
    QStringList logs{};             // log lines in this order
    QString absent{};               // a text no log line may hold
    QByteArray saved{};             // download: the file afterwards; null: as before
    testRig::Window window{};
    Check check = nullptr;          // what else the row checks
    Target target = Target::File;
    bool locked = false;            // the folder admits no new file
    testRig::Line line = testRig::Line::Pty;   // how the link reaches the box
    qint64 fileLimit = -1;          // the largest file the job may write; -1: any
    bool verify = false;            // an upload is read back and compared
    bool lastRepeats = false;       // the last command came as often as its window allowed
};
Q_DECLARE_METATYPE(Row)

namespace {
const Codes menu{S::OpeningLoadMenu, S::LoadMenuOpen}, started{S::WaitingStart, S::BoxRunning};
const Codes sending{S::InitUpload, S::UploadReady, S::SendingFile, S::FileSent, S::WaitingFinish};
const Codes updateOk = Codes{S::JobStarted, S::Updating} + menu + sending + started + Codes{S::UpdateDone, S::JobEnded};
const Codes uploadOk = Codes{S::JobStarted, S::Uploading} + menu + sending + started + Codes{S::UploadDone, S::JobEnded};
const Codes downloadOk = Codes{S::JobStarted, S::Downloading} + menu
                         + Codes{S::InitDownload, S::DownloadReady, S::SearchingStart, S::Downloading, S::EndFound}
                         + started + Codes{S::DownloadDone, S::JobEnded};
const Commands updateCommands{"100", "100", "300"}, downloadCommands{"100", "500", "300"};
const QByteArray oldList("an older list that must survive");

Fault ignoring(QSet<int> numbers)
{
    return [numbers](C &c) { c.ignore = numbers; };
}
Fault answer(const QByteArray &command, const QList<sdBox::Piece> &pieces)
{
    return [=](C &c) { c.replies.insert(command, pieces); };
}
// The time before byte `at` (from 0) of the commands the box heard: at
// least `least` ms, a little more on a loaded machine. Exact only where the
// byte before it was answered, so that the box had surely read it.
Check gap(int at, qint64 least)
{
    return [=](const testRig &rig) {
        const QList<qint64> t = rig.sd->commandByteTimes();
        const qint64 ms = t.value(at) - t.value(at - 1);
        QVERIFY2(at < t.size() && ms >= least && ms < least + 180, qPrintable(QString("%1 ms before byte %2").arg(ms).arg(at)));
    };
}
// The three commands of an update went out byte by byte, 70 ms apart, the
// line end at once. Summed over the commands: a box read that comes late
// shortens one gap and lengthens the next, so only the sum says how long
// the pauses were.
void pacedCommands(const testRig &rig)
{
    const QList<qint64> times = rig.sd->commandByteTimes();
    QCOMPARE(times.size(), 15);
    qint64 paced = 0;
    for (int c = 0; c < 3; ++c) {
        paced += times[c * 5 + 3] - times[c * 5];
        QVERIFY(times[c * 5 + 4] - times[c * 5 + 3] < 35);
    }
    QVERIFY2(paced >= 9 * 70 - 90 && paced < 9 * 70 + 600, qPrintable(QString::number(paced)));
}
} // namespace

class tst_sdjobs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup() { linkClock::setScale(1.0); }
    void jobs_data();
    void jobs();
    void fileKind_data();
    void fileKind();
    void blocks_data();
    void blocks();
    void stop_data();
    void stop();
    void portErrors_data();
    void portErrors();

private:
    // bait: made of what a telnet layer must pass untouched.
    QString file(const char *signature, int size, bool bait = false)
    {
        const QString path = m_dir.filePath(QStringLiteral("file%1.bin").arg(++m_files));
        testRig::write(path, bait ? testRig::telnetBait(signature, size) : testRig::image(signature, size));
        return path;
    }
    QTemporaryDir m_dir;
    int m_files = 0;
};

void tst_sdjobs::jobs_data()
{
    const QString img = file("00000907", 300), list = file("00000a07", 300), dl = m_dir.filePath("down.lst");
    auto suc = [](const QByteArray &version, const QByteArray &menu = "Upload Ch_Data") {
        return Fault([=](C &c) { c.sucLine = version; c.menuLine = menu; });
    };
    auto flag = [](bool sdBox::Config::*member) { return Fault([=](C &c) { c.*member = true; }); };
    const Codes tooOld{S::JobStarted, S::Updating, S::OpeningLoadMenu, S::StartUpControlOld, S::JobEnded};
    const Codes refusedUpdate{S::JobStarted, S::Updating, S::WrongFileKind, S::JobEnded};
    const Codes refusedUpload{S::JobStarted, S::Uploading, S::WrongFileKind, S::JobEnded};
    const Codes noMenu{S::JobStarted, S::Updating, S::OpeningLoadMenu, S::LoadMenuFailed, S::JobEnded};
    const Codes unstarted = testRig::upTo(updateOk, S::WaitingStart) + Codes{S::StartFailed, S::UpdateDone, S::JobEnded};
    const Codes unfinished = testRig::upTo(updateOk, S::WaitingFinish) + Codes{S::FinishFailed} + started + Codes{S::JobEnded};
    const Codes rejected = testRig::upTo(updateOk, S::WaitingFinish) + Codes{S::FileRejected} + started + Codes{S::JobEnded};
    const Codes searching = testRig::upTo(downloadOk, S::SearchingStart), listing = searching + Codes{S::Downloading};
    const Codes noList = searching + Codes{S::ReceiveFailed, S::JobEnded};
    const Codes unsaved = testRig::upTo(downloadOk, S::EndFound) + Codes{S::FileFailed, S::JobEnded};
    const QString gone = "Error: the serial line is gone (device unplugged or cable pulled): *";
    const QString unknown = file("01020304", 300), sd3 = file("00000d07", 100000), sd4 = file("00501c00", 400000);
    const QStringList many = QVector<QString>(256, img).toList();

    QList<Row> rows = {
        // A good update, its whole log; then each step's two attempts and windows.
        {.name = "update", .files = img, .codes = updateOk, .commands = updateCommands,
         .logs = {"Updating Firmware", "Checking SUC", "StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\"",
                  "LoadMenu open: \"Upload Ch_Data\"", "Upload initialized: \"binary mode\"", "Sending file " + img,
                  "File sent. Wrote 300 data", "Waiting til STB finishes", "Finished: \"ready\"",
                  "Starting done: \"Press any key !!\"", "Update done after 0 s"}},
        {.name = "load menu, second try", .files = img, .box = ignoring({1}), .codes = updateOk,
         .commands = {"100", "100", "100", "300"}},
        {.name = "no box at full length", .job = Download, .files = dl, .box = flag(&sdBox::Config::silent), .scale = 1,
         .codes = {S::JobStarted, S::Downloading, S::OpeningLoadMenu, S::LoadMenuFailed, S::JobEnded},
         .commands = {"100", "100"}, .logs = {"Error while opening LoadMenu \"\""},
         .window = {S::OpeningLoadMenu, S::LoadMenuFailed, 2 * (3 * 70 + 500)}},
        {.name = "binary mode, second try", .files = img, .box = ignoring({2}), .codes = updateOk,
         .commands = {"100", "100", "100", "300"}, .logs = {"Upload initialized: \"binary mode\""}},
        {.name = "binary mode fails", .files = img, .box = ignoring({2, 3}), .scale = 0.5,
         .codes = testRig::upTo(updateOk, S::InitUpload) + Codes{S::InitUploadFailed, S::JobEnded},
         .commands = {"100", "100", "100"}, .logs = {"Error initializing upload: \"\""},
         .window = {S::InitUpload, S::InitUploadFailed, 2 * (3 * 70 + 500)}},
        {.name = "start, second try", .files = img, .box = ignoring({3}), .codes = updateOk,
         .commands = {"100", "100", "300", "300"}},
        {.name = "start fails, update still done", .files = img, .box = ignoring({3, 4}), .scale = 0.1,
         .codes = unstarted, .commands = {"100", "100", "300", "300"}, .logs = {"Starting: \"\""},
         .window = {S::WaitingStart, S::StartFailed, 2 * (3 * 70 + 5000 + 10)}},
        // The menu ends the start's attempt at once; the next follows after 10 ms.
        {.name = "start sees the menu again", .files = img, .box = flag(&sdBox::Config::startFails), .scale = 1,
         .codes = unstarted, .commands = {"100", "100", "300", "300"}, .logs = {"Starting: \"Upload Ch_Data\""},
         .check = gap(15, 10)},
        // The box may take seconds to start; the commands go out byte by byte,
        // 70 ms apart, the line end at once.
        {.name = "slow start at full length", .files = img, .box = answer("300", {{1500, "Press any key !!\r\n"}}),
         .scale = 1, .codes = updateOk, .commands = updateCommands, .check = pacedCommands},
        {.name = "download", .job = Download, .files = dl, .codes = downloadOk, .commands = downloadCommands,
         .logs = {"Downloading Channel list", "Checking SUC", "StartUpControll found, should be ok! *",
                  "LoadMenu open: \"Upload Ch_Data\"", "Download initialized: \"Get EEprom Header\"", "Saving List to " + dl,
                  "Downloading Channel list", "End of List found", "Downloading Channel list done",
                  "Starting done: \"Press any key !!\"", "Downloading done after 0 s"},
         .saved = sdBox::plausibleList()},
        {.name = "list request, second try", .job = Download, .files = dl, .box = ignoring({2}), .codes = downloadOk,
         .commands = {"100", "500", "500", "300"}},
        {.name = "list request fails", .job = Download, .files = dl, .box = ignoring({2, 3}), .scale = 1,
         .codes = testRig::upTo(downloadOk, S::InitDownload) + Codes{S::InitDownloadFailed, S::JobEnded},
         .commands = {"100", "500", "500"}, .logs = {"Error while initializing the Download: \"\""},
         .window = {S::InitDownload, S::InitDownloadFailed, 2 * (3 * 70 + 200 + 10)},
         .check = gap(10, 200 + 10 - 4)}, // the box may read the byte before it a moment late
        {.name = "no start after download", .job = Download, .files = dl, .box = ignoring({3, 4}),
         .codes = testRig::upTo(downloadOk, S::WaitingStart) + Codes{S::StartFailed, S::JobEnded},
         .commands = {"100", "500", "300", "300"}, .logs = {"Downloading Channel list done"},
         .absent = "Downloading done", .saved = sdBox::plausibleList()},

        // The StartUpControl test: 1.7 and later versions of it only.
        {.name = "SUC 1.75", .files = img, .box = suc("SUC (StartUpControl)1.75"), .codes = updateOk,
         .commands = updateCommands, .logs = {"StartUpControll found, should be ok! \"SUC (StartUpControl)1.75\""}},
        {.name = "SUC 1.6", .files = img, .box = suc("SUC (StartUpControl)1.6"), .codes = tooOld, .commands = {"100"},
         .logs = {"StartUpControll to old! \"SUC (StartUpControl)1.6\""}, .absent = "Error while opening"},
        {.name = "SUC 1.8", .files = img, .box = suc("SUC (StartUpControl)1.8"), .codes = tooOld, .commands = {"100"},
         .absent = "Error while opening"},
        {.name = "no SUC line", .files = img, .box = suc(""), .codes = updateOk, .commands = updateCommands,
         .absent = "StartUpControll"},
        {.name = "menu and old SUC in one line", .files = img, .box = suc("", "Upload Ch_Data SUC (StartUpControl)1.6"),
         .codes = updateOk, .commands = updateCommands,
         .logs = {"LoadMenu open: \"Upload Ch_Data SUC (StartUpControl)1.6\""}, .absent = "StartUpControll"},
        // The markers are case-sensitive, "successful" holds no "SUC".
        {.name = "successful is no SUC", .files = img, .box = suc("successful"), .codes = updateOk,
         .commands = updateCommands, .absent = "StartUpControll"},
        {.name = "menu in lower case", .files = img, .box = suc("", "upload ch_data"), .codes = noMenu,
         .commands = {"100", "100"}, .logs = {"Error while opening LoadMenu \"binary mode\""}},
        {.name = "start reply in lower case", .files = img, .box = answer("300", {{0, "press any key !!\r\n"}}),
         .codes = unstarted, .commands = {"100", "100", "300", "300"}},
        // The box's verdict after a file.
        {.name = "Write and ready in one line", .files = img, .box = flag(&sdBox::Config::writeReadyOneLine),
         .codes = updateOk, .commands = updateCommands, .logs = {"Finished: \"Write done, ready\""}},
        {.name = "ready alone: refused", .files = img, .box = flag(&sdBox::Config::refuse), .codes = rejected,
         .commands = updateCommands, .logs = {"Error Finishing: \"ready\""}},
        {.name = "READY is no ready", .files = img, .box = [](C &c) { c.ready = "READY"; }, .scale = 0.02,
         .codes = unfinished, .commands = updateCommands, .logs = {"Error finishing: \"READY\""}},
        {.name = "no verdict", .files = img, .box = flag(&sdBox::Config::finishSilent), .scale = 0.02,
         .codes = unfinished, .commands = updateCommands, .logs = {"Error finishing: \"\""},
         .window = {S::WaitingFinish, S::FinishFailed, 30000}},
        {.name = "upload refused", .job = Upload, .files = list, .box = flag(&sdBox::Config::refuse),
         .codes = testRig::upTo(uploadOk, S::WaitingFinish) + Codes{S::FileRejected} + started + Codes{S::JobEnded},
         .commands = updateCommands, .absent = "Uploading done"},
        // Each line is tested on its own; a line without its end counts as one.
        {.name = "marker over two lines", .files = img, .box = answer("300", {{0, "Press any\r\n"}, {0, " key !!\r\n"}}),
         .codes = unstarted, .commands = {"100", "100", "300", "300"}},
        {.name = "menu without line end", .job = Download, .files = dl, .box = answer("100", {{0, "Upload Ch_Data"}}),
         .codes = downloadOk, .commands = downloadCommands, .logs = {"LoadMenu open: \"Upload Ch_Data\""}},
        {.name = "babble before every reply", .files = img, .box = [](C &c) { c.garbage = 300; },
         .codes = updateOk, .commands = updateCommands},
        // At the line's rate a line that vanishes fails at once, however long
        // a stall may be; a box that stops reading, its line up, stalls the
        // write for 16 s.
        {.name = "line vanishes mid-file at line rate: at once", .files = sd3,
         .box = [](C &c) { c.lineRate = true; c.cutAfter = 10 + 1000; }, .scale = 1,
         .codes = testRig::upTo(updateOk, S::SendingFile) + Codes{S::WriteFailed, S::JobEnded},
         .commands = {"100", "100"},
         .logs = {"Error writing data to Port",
                  "Error: the serial line is gone (device unplugged or cable pulled): Input/output error"},
         .absent = "File sent", .window = {S::SendingFile, S::WriteFailed, 0}},
        {.name = "box stops reading: stalled", .files = sd3,
         .box = [](C &c) { c.lineRate = true; c.stopReadingAfter = 10 + 1000; },
         .codes = testRig::upTo(updateOk, S::SendingFile) + Codes{S::WriteFailed, S::JobEnded},
         .commands = {"100", "100"}, .logs = {"Error writing data to Port"}, .absent = "File sent",
         .window = {S::SendingFile, S::WriteFailed, 16000}},
        // A line that stops taking bytes in a command fails its step after
        // one stall window: neither the rest of it nor another command follows.
        {.name = "box stops reading: command stalled", .files = img, .box = [](C &c) { c.stopReadingAfter = 5; },
         .scale = 0.1, .codes = testRig::upTo(updateOk, S::InitUpload) + Codes{S::InitUploadFailed, S::JobEnded},
         .commands = {"100"}, .logs = {"Error writing data to Port: the command \"100\" did not leave whole"},
         .window = {S::InitUpload, S::InitUploadFailed, 16000}},
        // Through a relay (socat) at the line's rate: slow is not dead.
        {.name = "relay, line rate: update", .files = file("00000907", 16000), .box = [](C &c) { c.lineRate = true; },
         .scale = 1, .codes = updateOk, .commands = updateCommands,
         .logs = {"File sent. Wrote 16000 data", "Update done after # s"}, .line = testRig::Line::Relay},
        // ... or right after the whole file: the finish wait must not sit out its 30 s.
        {.name = "line vanishes after the file", .files = img, .box = [](C &c) { c.cutAfter = 10 + 300; },
         .codes = testRig::upTo(updateOk, S::WaitingFinish) + Codes{S::FinishFailed, S::JobEnded},
         .commands = {"100", "100"}, .logs = {"File sent. Wrote 300 data", gone}},

        // Several images in one visit to the load menu, one progress over all.
        {.name = "two images", .files = sd3 + "\n" + sd4,
         .codes = Codes{S::JobStarted, S::Updating} + menu + sending + sending + started + Codes{S::UpdateDone, S::JobEnded},
         .commands = {"100", "100", "100", "300"}, .logs = {"Sending file " + sd3, "Sending file " + sd4},
         .check = [](const testRig &rig) {
             const int sent = rig.trail.indexOf(QStringLiteral("c%1").arg(S::FileSent));
             QCOMPARE(rig.trail.at(sent - 2), QStringLiteral("p20"));
             QCOMPARE(rig.progress.last(), 100);
             QCOMPARE(rig.sd->files().value(1).size(), 400000);
         }},
        // Refused before anything is sent.
        {.name = "update list ends with a line feed", .files = img + "\n", .codes = refusedUpdate},
        {.name = "channel list among images", .files = img + "\n" + list, .codes = refusedUpdate},
        {.name = "unknown update file", .files = unknown, .codes = refusedUpdate,
         .logs = {"Checked FiletypeSD: unknown(01020304 " + unknown + ")"}},
        {.name = "missing update file", .files = m_dir.filePath("missing.app"), .codes = refusedUpdate, .absent = "Checked"},
        {.name = "256 update files", .files = many.join('\n'), .codes = refusedUpdate,
         .logs = {"Too many files for one update: 256, at most 255"}},
        {.name = "upload of an image", .job = Upload, .files = img, .codes = refusedUpload},
        {.name = "upload of a list of 204800 bytes", .job = Upload, .files = file("00000a07", 204800), .codes = refusedUpload},
        {.name = "upload of a list", .job = Upload, .files = list + "\nnot a list", .codes = uploadOk,
         .commands = updateCommands, .logs = {"Uploading Channel list", "Sending file " + list, "Uploading done after 0 s"}},
    };

    // Lines that the line hands over in two pieces, split at several places
    // (counted from the line's end when negative, 0: its middle), are read
    // as they would be whole: the version line, every marker, the verdict.
    auto split = [](int at, int pauseMs, const char *only = "") {
        return Fault([=](C &c) {
            c.splitMarkers = true;
            c.splitAt = at;
            c.splitPauseMs = pauseMs;
            c.splitOnly = only;
        });
    };
    const QStringList wholeUpdate = {"StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\"",
                                     "LoadMenu open: \"Upload Ch_Data\"", "Upload initialized: \"binary mode\"",
                                     "Finished: \"ready\"", "Starting done: \"Press any key !!\""};
    for (int at : {1, 4, 0, -2, -1})
        rows.append({.name = "update, every line split at " + QByteArray::number(at), .files = img, .box = split(at, 60),
                     .codes = updateOk, .commands = updateCommands, .logs = wholeUpdate});
    for (int at : {3, -2})
        rows.append({.name = "download, every line split at " + QByteArray::number(at), .job = Download, .files = dl,
                     .box = split(at, 60), .codes = downloadOk, .commands = downloadCommands,
                     .logs = {"LoadMenu open: \"Upload Ch_Data\"", "Download initialized: \"Get EEprom Header\"",
                              "Starting done: \"Press any key !!\""},
                     .saved = sdBox::plausibleList()});
    const Codes tooOldSplit{S::JobStarted, S::Updating, S::OpeningLoadMenu, S::StartUpControlOld, S::JobEnded};
    rows += {
        {.name = "upload, every line split at 5", .job = Upload, .files = list, .box = split(5, 60),
         .codes = uploadOk, .commands = updateCommands, .logs = {"Finished: \"ready\"", "Uploading done after # s"}},
        // One line split, its rest late in the step's window.
        {.name = "menu split, rest after 250 ms", .files = img, .box = split(6, 250, "Upload Ch_Data"), .scale = 1,
         .codes = updateOk, .commands = updateCommands, .logs = {"LoadMenu open: \"Upload Ch_Data\""}},
        {.name = "binary mode split, rest after 250 ms", .files = img, .box = split(5, 250, "binary"), .scale = 1,
         .codes = updateOk, .commands = updateCommands, .logs = {"Upload initialized: \"binary mode\""}},
        {.name = "list request split, rest after 80 ms", .job = Download, .files = dl, .box = split(8, 80, "EEprom"),
         .scale = 1, .codes = downloadOk, .commands = downloadCommands,
         .logs = {"Download initialized: \"Get EEprom Header\""}, .saved = sdBox::plausibleList()},
        {.name = "start split, rest after 600 ms", .files = img, .box = split(6, 600, "Press"), .scale = 1,
         .codes = updateOk, .commands = updateCommands, .logs = {"Starting done: \"Press any key !!\""}},
        {.name = "Write split, rest after 600 ms", .files = img, .box = split(3, 600, "Write"), .scale = 1,
         .codes = updateOk, .commands = updateCommands, .logs = {"Finished: \"ready\""}},
        {.name = "ready split, rest after 600 ms", .files = img, .box = split(2, 600, "ready"), .scale = 1,
         .codes = updateOk, .commands = updateCommands, .logs = {"Finished: \"ready\""}},
        {.name = "Write and ready in one line, split after Wri", .files = img,
         .box = [=](C &c) { split(3, 300, "ready")(c); c.writeReadyOneLine = true; }, .scale = 1, .codes = updateOk,
         .commands = updateCommands, .logs = {"Finished: \"Write done, ready\""}},
        // The version line is tested once its version has come: split, or cut
        // by the 49-byte read after 40 bytes of babble ("SUC (Star").
        {.name = "SUC 1.7 split in its version", .files = img, .box = split(22, 200, "SUC"), .scale = 1,
         .codes = updateOk, .commands = updateCommands,
         .logs = {"StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\""}},
        {.name = "SUC 1.6 split in its version", .files = img,
         .box = [=](C &c) { split(22, 200, "SUC")(c); c.sucLine = "SUC (StartUpControl)1.6"; }, .scale = 1,
         .codes = tooOldSplit, .commands = {"100"}, .logs = {"StartUpControll to old! \"SUC (StartUpControl)1.6\""}},
        {.name = "SUC 1.75 split after 1.7", .files = img,
         .box = [=](C &c) { split(23, 200, "SUC")(c); c.sucLine = "SUC (StartUpControl)1.75"; }, .scale = 1,
         .codes = updateOk, .commands = updateCommands,
         .logs = {"StartUpControll found, should be ok! \"SUC (StartUpControl)1.7*\""}},
        {.name = "SUC 1.7 cut by the read", .files = img, .box = [](C &c) { c.garbage = 40; }, .scale = 1,
         .codes = updateOk, .commands = updateCommands,
         .logs = {"StartUpControll found, should be ok! \"*SUC (StartUpControl)1.7\""}},
        {.name = "SUC 1.6 cut by the read", .files = img,
         .box = [](C &c) { c.garbage = 40; c.sucLine = "SUC (StartUpControl)1.6"; }, .scale = 1,
         .codes = tooOldSplit, .commands = {"100"}, .logs = {"StartUpControll to old! \"*SUC (StartUpControl)1.6\""}},
        // Power-up noise: NUL bytes before a line hide nothing of it.
        {.name = "a NUL before SUC 1.6", .files = img,
         .box = [](C &c) { c.nuls = 1; c.sucLine = "SUC (StartUpControl)1.6"; }, .codes = tooOldSplit,
         .commands = {"100"}, .logs = {"StartUpControll to old! \"SUC (StartUpControl)1.6\""}},
        {.name = "NUL bytes before every reply", .files = img, .box = [](C &c) { c.nuls = 3; }, .codes = updateOk,
         .commands = updateCommands, .logs = wholeUpdate},
        {.name = "NUL bytes before every reply: download", .job = Download, .files = dl, .box = [](C &c) { c.nuls = 3; },
         .codes = downloadOk, .commands = downloadCommands, .logs = {"Download initialized: \"Get EEprom Header\""},
         .saved = sdBox::plausibleList()},
    };

    // Verified uploads: the console asked for its load menu until it
    // answers, then the list read back as the download reads it.
    const Codes uploaded = testRig::upTo(uploadOk, S::UploadDone);
    const Codes readBack = uploaded + Codes{S::VerifyWaiting, S::Verifying, S::InitDownload, S::DownloadReady,
                                            S::SearchingStart, S::Downloading} + started;
    const Commands verifyCommands = updateCommands + Commands{"100", "500", "300"};
    rows += {
        {.name = "upload verified", .job = Upload, .files = list, .box = flag(&sdBox::Config::keepList),
         .codes = readBack + Codes{S::Verified, S::JobEnded}, .commands = verifyCommands,
         .logs = {"Uploading done after 0 s", "Verifying the Channel list: waiting for the Settopbox's console",
                  "Console answered after # ms (questions asked: 1)", "Reading the Channel list back",
                  "Receiving the Channel list to compare it with the file", "Starting done: \"Press any key !!\"", "Channel list verified: 300 bytes as in the file"},
         .absent = "Saving List", .verify = true},
        {.name = "upload stored with a changed byte", .job = Upload, .files = list,
         .box = [](C &c) { c.keepList = true; c.storeFlipAt = 299; },
         .codes = readBack + Codes{S::VerifyDiffers, S::JobEnded}, .commands = verifyCommands,
         .logs = {"Channel list differs from the file at offset 299 (file 0x*, box 0x*): "
                  "the file has 300 bytes, the box 300 bytes"},
         .verify = true},
        // A booting box reads nothing: the second question is answered.
        {.name = "console answers after a pause", .job = Upload, .files = list,
         .box = [](C &c) { c.keepList = true; c.consoleDelayMs = 1200; }, .scale = 1,
         .codes = readBack + Codes{S::Verified, S::JobEnded},
         .commands = updateCommands + Commands{"100", "100", "500", "300"},
         .logs = {"Console answered after # ms (questions asked: 2)"},
         .window = {S::VerifyWaiting, S::Verifying, 2 * 3 * 70 + 1000 + 500}, .verify = true},
        {.name = "console never answers", .job = Upload, .files = list,
         .box = [](C &c) { c.keepList = true; c.consoleDead = true; }, .scale = 0.02,
         .codes = uploaded + Codes{S::VerifyWaiting, S::VerifyNoAnswer, S::JobEnded},
         .commands = updateCommands + Commands{"100"},
         .logs = {"Could not verify the Channel list: the Settopbox's console did not answer within # s"},
         .window = {S::VerifyWaiting, S::VerifyNoAnswer, 30000}, .verify = true, .lastRepeats = true},
        // A box that stays in its load menu is not asked for it again: there
        // "100" would begin a file.
        {.name = "box left in its menu: read back at once", .job = Upload, .files = list,
         .box = [](C &c) { c.keepList = true; c.startFails = true; },
         .codes = testRig::upTo(uploadOk, S::WaitingStart) + Codes{S::StartFailed, S::UploadDone, S::VerifyWaiting,
                  S::Verifying, S::InitDownload, S::DownloadReady, S::SearchingStart, S::Downloading, S::WaitingStart,
                  S::StartFailed, S::Verified, S::JobEnded},
         .commands = {"100", "100", "300", "300", "500", "300", "300"}, .verify = true},
    };

    // Downloads: the list whole whatever precedes it; failures keep the old file.
    auto listed = [](int dashes, bool split, int size) {
        return Fault([=](C &c) { c.dashes = dashes; c.splitListMarkers = split; c.list = sdBox::plausibleList(size); });
    };
    const struct { const char *name; int dashes; bool split; int size; } lists[] = {
        {"no dashes: the list follows the marker", 0, false, 185026}, {"one dash", 1, false, 185026},
        {"list markers in pieces", 40, true, 185026}, {"tiny list in the marker's read", 0, false, 24}};
    for (const auto &l : lists)
        rows.append({.name = l.name, .job = Download, .files = dl, .box = listed(l.dashes, l.split, l.size),
                     .codes = downloadOk, .commands = downloadCommands, .saved = sdBox::plausibleList(l.size)});
    // A console may end the marker's line, and the rest may come later.
    const struct { const char *name; int dashes; QByteArray end; int pause; } ends[] = {
        {"console line end after the marker", 40, "\r\n", 0}, {"line end, dashes in a later read", 40, "\r\n", 60},
        {"line end, then the list", 0, "\r\n", 60}, {"marker alone, dashes later", 40, "", 60}};
    for (const auto &e : ends)
        rows.append({.name = e.name, .job = Download, .files = dl,
                     .box = [e](C &c) { c.dashes = e.dashes; c.markerLineEnd = e.end; c.afterMarkerPauseMs = e.pause; },
                     .codes = downloadOk, .commands = downloadCommands, .saved = sdBox::plausibleList()});
    rows += {
        {.name = "old list in a locked folder", .job = Download, .files = dl, .box = listed(40, false, 1000),
         .codes = downloadOk, .commands = downloadCommands, .saved = sdBox::plausibleList(1000), .locked = true},
        {.name = "list longer than the progress size", .job = Download, .files = dl, .box = listed(10, false, 200000),
         .codes = downloadOk, .commands = downloadCommands, .saved = sdBox::plausibleList(200000),
         .check = [](const testRig &rig) { QVERIFY(rig.progress.last() > 100); }},
        {.name = "first line of the name only", .job = Download, .files = dl + "\n" + m_dir.filePath("second.lst"),
         .codes = downloadOk, .commands = downloadCommands, .saved = sdBox::plausibleList(),
         .check = [this](const testRig &) { QVERIFY(!QFile::exists(m_dir.filePath("second.lst"))); }},
        {.name = "start later than the dash window", .job = Download, .files = dl,
         .box = [](C &c) { c.startUploadDelayMs = 1000; }, .scale = 0.5,
         .codes = searching + Codes{S::DownloadTimeout, S::JobEnded}, .commands = {"100", "500"}, .logs = {"Timeout!"}},
        {.name = "no start at all", .job = Download, .files = dl, .box = [](C &c) { c.startUploadDelayMs = 3000; },
         .codes = noList, .commands = {"100", "500"}, .logs = {"No Data received!"},
         .window = {S::SearchingStart, S::ReceiveFailed, 5000}},
        {.name = "babble without a start", .job = Download, .files = dl,
         .box = [](C &c) {
             c.startUploadDelayMs = 3000;
             c.replies.insert("500", {{0, "Get EEprom Header\r\n"}, {20, QByteArray(300, 'z')}});
         },
         .codes = noList, .commands = {"100", "500"}, .logs = {"No start of the list found!"}},
        {.name = "line vanishes mid-list", .job = Download, .files = dl, .box = [](C &c) { c.cutListAfter = 5000; },
         .codes = listing + Codes{S::ReceiveFailed, S::JobEnded}, .commands = {"100", "500"}, .logs = {gone}},
        {.name = "list without its end", .job = Download, .files = dl, .box = flag(&sdBox::Config::omitEndUpload),
         .codes = listing + Codes{S::DownloadTimeout, S::JobEnded}, .commands = {"100", "500"}, .logs = {"Timeout!"},
         .window = {S::Downloading, S::DownloadTimeout, 25000}},
        // The guard ends the flood long before the window, however slow the machine.
        {.name = "endless list", .job = Download, .files = dl, .box = flag(&sdBox::Config::listFlood), .scale = 1,
         .codes = listing + Codes{S::ReceiveFailed, S::JobEnded}, .commands = {"100", "500"},
         .logs = {"Channel list too long*"}},
        {.name = "empty list", .job = Download, .files = dl, .box = flag(&sdBox::Config::emptyList),
         .codes = listing + Codes{S::ReceiveFailed, S::JobEnded}, .commands = {"100", "500"},
         .logs = {"The box sent an empty Channel list*"}},
        {.name = "a list of one line end", .job = Download, .files = dl, .box = [](C &c) { c.list = "\r\n"; },
         .codes = listing + Codes{S::ReceiveFailed, S::JobEnded}, .commands = {"100", "500"},
         .logs = {"The box sent an empty Channel list*"}},
        {.name = "folder missing", .job = Download, .files = m_dir.filePath("no/such/new.lst"), .codes = unsaved,
         .commands = {"100", "500"}, .logs = {"Couldn't open FileNo such file or directory"}},
        {.name = "target is a folder", .job = Download, .files = m_dir.filePath("folder"), .codes = unsaved,
         .commands = {"100", "500"}, .logs = {"Couldn't open FileIs a directory"}, .target = Target::Folder},
        // A full disk keeps the old list and says why, aside and in place; in
        // place a longer old list leaves no tail.
        {.name = "full disk: old list kept", .job = Download, .files = dl, .box = listed(40, false, 1000),
         .codes = unsaved, .commands = {"100", "500"}, .logs = {"Couldn't write FileFile too large"}, .saved = oldList,
         .fileLimit = 100},
        {.name = "full disk, locked folder: old list kept", .job = Download, .files = dl, .box = listed(40, false, 1000),
         .codes = unsaved, .commands = {"100", "500"}, .logs = {"Couldn't write FileFile too large"}, .saved = oldList,
         .locked = true, .fileLimit = 100},
        {.name = "longer old list, locked folder: no tail", .job = Download, .files = dl, .box = listed(0, false, 24),
         .codes = downloadOk, .commands = downloadCommands, .saved = sdBox::plausibleList(24), .locked = true},
        {.name = "relay, line rate: download", .job = Download, .files = dl,
         .box = [=](C &c) { listed(40, false, 20000)(c); c.lineRate = true; }, .scale = 1,
         .codes = downloadOk, .commands = downloadCommands, .logs = {"Downloading done after # s"},
         .saved = sdBox::plausibleList(20000), .line = testRig::Line::Relay},
        // Through a real serial server (ser2net): the commands keep their
        // pace at the box, the file its bytes, 0xFF and CR NUL among them.
        {.name = "socket, line rate: update, commands paced", .files = file("00000907", 16000),
         .box = [](C &c) { c.lineRate = true; }, .scale = 1, .codes = updateOk, .commands = updateCommands,
         .logs = {"File sent. Wrote 16000 data"}, .check = pacedCommands, .line = testRig::Line::Socket},
        {.name = "socket, line rate: download", .job = Download, .files = dl,
         .box = [=](C &c) { listed(40, false, 20000)(c); c.lineRate = true; }, .scale = 1,
         .codes = downloadOk, .commands = downloadCommands, .saved = sdBox::plausibleList(20000),
         .line = testRig::Line::Socket},
        {.name = "rfc2217: update of 0xFF and CR NUL", .files = file("00000907", 6000, true), .scale = 1,
         .codes = updateOk, .commands = updateCommands, .check = pacedCommands, .line = testRig::Line::Rfc2217},
    };
    QTest::addColumn<Row>("row");
    for (const Row &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_sdjobs::jobs()
{
    QFETCH(Row, row);
    linkClock::setScale(row.scale);
    sdBox::Config config;
    // The box knows the size of each file it may be sent, so no pause of a
    // loaded machine mid-file is taken for its end.
    for (const QString &name : row.files.split('\n'))
        config.fileSizes << QFileInfo(name).size();
    row.box(config);
    testRig rig(config);
    QVERIFY(rig.boxStarted);
    const QString target = row.files.section('\n', 0, 0);
    if (row.job == Download && row.target == Target::Folder)
        QVERIFY(QDir().mkpath(target + "/inside"));
    else if (row.job == Download)
        testRig::write(target, oldList);
    if (row.locked && !rig.lock(m_dir.path()))
        QSKIP("no way to lock a folder here");
    QFile held(target);   // a reader of the old list
    held.open(QIODevice::ReadOnly);
    const QString port = rig.port(row.line);
    QVERIFY2(!port.isEmpty(), "the relay or the serial server did not start");
    serialComKarn link(port, row.files);
    rig.watch(link);
    link.setVerify(row.verify);
    void (serialComKarn::*const run[])() = {&serialComKarn::updateFirmware, &serialComKarn::getChannellist,
                                             &serialComKarn::sendChannellist};
    void (serialComKarn::*const job)() = run[row.job];
    testRig::withFileLimit(row.fileLimit, [&link, job] { (link.*job)(); });
    rig.unlock();

    QCOMPARE(rig.codes, row.codes);
    if (row.commands.isEmpty())
        QTest::qWait(50);
    Commands heard = rig.commands();
    while (row.lastRepeats && heard.size() > row.commands.size() && heard.last() == row.commands.last())
        heard.removeLast();
    QCOMPARE(heard, row.commands);
    QVERIFY2(rig.logged(row.logs), qPrintable(rig.logs.join('\n')));
    if (!row.absent.isEmpty())
        QVERIFY(rig.logs.filter(row.absent).isEmpty());
    QVERIFY(rig.progressRises());
    if (!rig.received().isEmpty())
        QCOMPARE(rig.seenSettings(), testRig::lineSettings());
    if (row.job != Download && row.codes.contains(S::FileSent))
        QVERIFY(rig.received().contains(testRig::read(target)));
    if (row.job == Upload && row.codes.contains(S::FileSent))
        QCOMPARE(rig.sd->files().value(0), testRig::read(target));   // the file only ever read
    if (row.job == Download && QFileInfo(target).isFile())
        QCOMPARE(testRig::read(target), !row.saved.isNull() ? row.saved : row.codes.contains(S::EndFound) ? sdBox::plausibleList() : oldList);
    // Written aside and renamed (in place only where the folder is locked).
    if (row.job == Download && held.isOpen())
        QCOMPARE(held.readAll(), row.locked ? testRig::read(target) : oldList);
    QVERIFY2(rig.windowMiss(row.window, row.scale).isEmpty(), qPrintable(rig.windowMiss(row.window, row.scale)));
    if (row.check)
        row.check(rig);
}

// The file kinds of both families, by signature (bytes 16..19) and size;
// an unknown file is logged with its signature, a missing one is not.
struct KindRow { const char *sig = ""; int size = 0; int kind = 0; };
Q_DECLARE_METATYPE(KindRow)

void tst_sdjobs::fileKind_data()
{
    QTest::addColumn<bool>("hd");
    QTest::addColumn<KindRow>("row");
    using HF = hdFile;
    using SF = sdFile;
    const QList<KindRow> hd = {
        {.sig = "00004023", .size = 1000, .kind = HF::Update}, {.sig = "00004043", .size = 1000, .kind = HF::Update},
        {.sig = "00004023", .size = 600000, .kind = HF::Update}, {.sig = "00003040", .size = 409600, .kind = HF::List},
        {.sig = "00003040", .size = 409601, .kind = HF::NotHd}, {.sig = "00004024", .size = 1000, .kind = HF::NotHd},
        {.sig = "40230000", .size = 1000, .kind = HF::NotHd}, {.sig = "00004023", .size = 19, .kind = HF::NotHd},
        {.sig = "00004023", .size = 0, .kind = HF::NotHd},
    };
    const QList<KindRow> sd = {
        {.sig = "00000a07", .size = 204799, .kind = SF::List}, {.sig = "00000a07", .size = 204800, .kind = SF::NotSd},
        {.sig = "00000907", .size = 102400, .kind = SF::ImageSmall},
        {.sig = "00000907", .size = 102401, .kind = SF::NotSd}, {.sig = "00000d07", .size = 92160, .kind = SF::NotSd},
        {.sig = "00000d07", .size = 92161, .kind = SF::ImageMedium},
        {.sig = "00000d07", .size = 153599, .kind = SF::ImageMedium},
        {.sig = "00000d07", .size = 153600, .kind = SF::NotSd}, {.sig = "00200600", .size = 358400, .kind = SF::NotSd},
        {.sig = "00200600", .size = 358401, .kind = SF::ImageLarge},
        {.sig = "00200600", .size = 460799, .kind = SF::ImageLarge},
        {.sig = "00200600", .size = 460800, .kind = SF::NotSd}, {.sig = "00501c00", .size = 358400, .kind = SF::NotSd},
        {.sig = "00501c00", .size = 358401, .kind = SF::ImageLarge},
        {.sig = "00501c00", .size = 460799, .kind = SF::ImageLarge},
        {.sig = "00501c00", .size = 460800, .kind = SF::NotSd}, {.sig = "070a0000", .size = 1000, .kind = SF::NotSd},
        {.sig = "00000a07", .size = 20, .kind = SF::List}, {.sig = "00000a07", .size = 19, .kind = SF::NotSd},
        {.sig = "00000a07", .size = 0, .kind = SF::NotSd},
    };
    for (bool family : {true, false})
        for (const KindRow &r : family ? hd : sd)
            QTest::addRow("%s %s %d", family ? "HD" : "SD", r.sig, r.size) << family << r;
}

void tst_sdjobs::fileKind()
{
    QFETCH(bool, hd);
    QFETCH(KindRow, row);
    testRig rig;
    const QString path = rig.path("file.bin");
    const QByteArray data = testRig::image(row.sig, row.size);
    QVERIFY(testRig::write(path, data));
    serialComVesk hdLink;
    serialComKarn sdLink;
    rig.watch(hdLink);
    rig.watch(sdLink);
    const auto kind = [&](const QString &file) { return hd ? int(hdLink.checkFiletype(file)) : int(sdLink.checkFiletype(file)); };
    const int got = kind(path);
    QCOMPARE(got, row.kind);
    const QString unknown = QString("Checked Filetype%1: unknown(%2 %3)").arg(hd ? "HD" : "SD", data.mid(16, 4).toHex(), path);
    QCOMPARE(rig.logs, got ? QStringList() : QStringList{unknown});
    rig.logs.clear();
    QCOMPARE(kind(rig.path("missing")), 0);   // the job's to report
    QCOMPARE(rig.logs, QStringList());
}

// Blocks of 100 bytes while more than 200 are left, then of 10 while more
// than 100 (HD) or 10 (SD) are left, then single bytes; a progress report
// after each, between the codes for sending and for the file sent.
struct BlockRow { bool hd = false; int size = 0; QList<int> tiers{}; };   // tiers: count of 100s, 10s, 1s
Q_DECLARE_METATYPE(BlockRow)

void tst_sdjobs::blocks_data()
{
    QTest::addColumn<BlockRow>("row");
    const BlockRow rows[] = {
        {.hd = true, .size = 200, .tiers = {0, 10, 100}}, {.hd = true, .size = 201, .tiers = {1, 1, 91}},
        {.hd = true, .size = 1050, .tiers = {9, 5, 100}}, {.hd = true, .size = 1099, .tiers = {9, 10, 99}},
        {.hd = true, .size = 199, .tiers = {0, 10, 99}}, {.hd = true, .size = 100, .tiers = {0, 0, 100}},
        // pos * 100 overflows 32 bits long before the end.
        {.hd = true, .size = 22000007, .tiers = {219999, 1, 97}},
        {.size = 205, .tiers = {1, 10, 5}}, {.size = 150, .tiers = {0, 14, 10}}, {.size = 20, .tiers = {0, 1, 10}},
        {.size = 21, .tiers = {0, 2, 1}}, {.size = 211, .tiers = {1, 11, 1}}, {.size = 300, .tiers = {1, 19, 10}}};
    for (const BlockRow &r : rows)
        QTest::addRow("%s %d", r.hd ? "HD" : "SD", r.size) << r;
}

void tst_sdjobs::blocks()
{
    QFETCH(BlockRow, row);
    hdBox::Behaviour b;
    b.fileSize = row.size;
    std::unique_ptr<testRig> rig(row.hd ? new testRig(b) : new testRig(sdBox::Config()));
    linkClock::setScale(row.hd ? 1 : 0.2);
    const QString path = file(row.hd ? "00004023" : "00000907", row.size);
    serialComVesk hdLink(rig->device(), path);
    serialComKarn sdLink(rig->device(), path);
    row.hd ? rig->watch(hdLink) : rig->watch(sdLink);
    row.hd ? hdLink.updateFirmware() : sdLink.updateFirmware();
    QVERIFY(rig->codes.contains(row.hd ? int(H::UpdateDone) : int(S::UpdateDone)));
    QVERIFY(row.hd ? rig->hd->file() == testRig::read(path) : rig->sd->files() == QList<QByteArray>{testRig::read(path)});
    QList<int> expected;
    qint64 sent = 0;
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < row.tiers[t]; ++i)
            expected.append(int((sent += (t == 0 ? 100 : t == 1 ? 10 : 1)) * 100 / row.size));
    QCOMPARE(sent, qint64(row.size));
    QCOMPARE(rig->progress, expected);
    const auto code = [](int c) { return QStringLiteral("c%1").arg(c); };
    const int sending = rig->trail.indexOf(code(row.hd ? int(H::SendingFile) : int(S::SendingFile)));
    QCOMPARE(rig->trail.indexOf(code(row.hd ? int(H::FileSent) : int(S::FileSent))), sending + expected.size() + 2);
    QCOMPARE(rig->trail.at(sending + expected.size() + 1), QStringLiteral("lFile sent. Wrote %1 data").arg(row.size));
}

// The window closes during a job: it ends at its next wait, with no further
// command and no failure or success report, and the old list stays.
struct StopRow {
    QByteArray name{};
    bool hd = false, download = false;
    int after = -1, nth = 1;   // stopped 300 ms after the nth code `after`; -1: before the job
    Codes codes{};
    Commands commands{};
};
Q_DECLARE_METATYPE(StopRow)

void tst_sdjobs::stop_data()
{
    QTest::addColumn<StopRow>("row");
    const StopRow rows[] = {
        {.name = "HD update in the 50 s finish wait", .hd = true, .after = H::WaitingFinish,
         .codes = {H::JobStarted, H::Updating, H::Restarting, H::Restarted, H::OpeningLoadMenu, H::LoadMenuOpen,
                   H::WaitingBinaryMode, H::BinaryMode, H::SendingFile, H::FileSent, H::WaitingFlash, H::Flashed,
                   H::WaitingFinish, H::JobEnded},
         .commands = {"r", "l"}},
        {.name = "HD download in mid-list", .hd = true, .download = true, .after = H::Downloading, .nth = 2,
         .codes = {H::JobStarted, H::Downloading, H::SearchingStart, H::Downloading, H::JobEnded},
         .commands = {"help", "chlist"}},
        {.name = "HD before the job", .hd = true, .codes = {H::JobStarted, H::Updating, H::JobEnded}},
        {.name = "SD update waiting for the verdict", .after = S::WaitingFinish,
         .codes = testRig::upTo(updateOk, S::WaitingFinish) + Codes{S::JobEnded}, .commands = {"100", "100"}},
        {.name = "SD download waiting for the list", .download = true, .after = S::SearchingStart,
         .codes = testRig::upTo(downloadOk, S::SearchingStart) + Codes{S::JobEnded}, .commands = {"100", "500"}}};
    for (const StopRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_sdjobs::stop()
{
    QFETCH(StopRow, row);
    linkClock::setScale(row.hd ? 1 : 0.2);
    hdBox::Behaviour b;
    b.fileSize = 1050;
    b.finReply = false;
    b.listSplits = {int(b.beforeList.size()) + 200};
    b.splitPauseMs = 20000;
    sdBox::Config c;
    c.finishSilent = true;
    c.startUploadDelayMs = 5000;
    std::unique_ptr<testRig> rig(row.hd ? new testRig(b) : new testRig(c));
    const QString target = row.download ? m_dir.filePath("stopped.lst") : file(row.hd ? "00004023" : "00000907", 1050);
    if (row.download)
        testRig::write(target, oldList);
    serialComVesk hdLink(rig->device(), target);
    serialComKarn sdLink(rig->device(), target);
    row.hd ? rig->watch(hdLink) : rig->watch(sdLink);
    std::thread closer;
    QElapsedTimer clock;
    const auto stopAfter = [&](int code) {
        if (code != row.after || rig->codes.count(code) != row.nth)
            return;
        clock.start();
        closer = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            row.hd ? hdLink.requestStop() : sdLink.requestStop();
        });
    };
    connect(&hdLink, &serialComVesk::sendCurrentAction, this, stopAfter);
    connect(&sdLink, &serialComKarn::sendCurrentAction, this, stopAfter);
    if (row.after < 0)
        hdLink.requestStop();
    if (row.hd)
        row.download ? hdLink.getChannellist() : hdLink.updateFirmware();
    else
        row.download ? sdLink.getChannellist() : sdLink.updateFirmware();
    if (closer.joinable())
        closer.join();
    QCOMPARE(rig->codes, row.codes);
    QVERIFY2(row.after < 0 || clock.elapsed() < 300 + 500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rig->logs.count(QStringLiteral("Job stopped: the window was closed")), 1);
    QCOMPARE(rig->commands(), row.commands);
    if (row.download)
        QCOMPARE(testRig::read(target), oldList);
}

// A port that cannot be opened: the log names it and gives the system's
// reason, for both families, and the job ends with the port codes.
struct PortRow {
    QByteArray name{};
    QString port{};
    bool busy = false;   // the box's line, held open elsewhere
    QString line{};
};
Q_DECLARE_METATYPE(PortRow)

void tst_sdjobs::portErrors_data()
{
    QTest::addColumn<bool>("hd");
    QTest::addColumn<PortRow>("row");
    const PortRow rows[] = {
        {.name = "no port chosen", .line = "Error: open Port: * (no port chosen)"},
        {.name = "device gone", .port = "/dev/velmora-no-such-port",
         .line = "Error: open Port: No such file or directory (/dev/velmora-no-such-port)"},
        {.name = "system name of a missing device", .port = "ttyVelmora9",
         .line = "Error: open Port: No such file or directory (/dev/ttyVelmora9)"},
        {.name = "port in use", .busy = true, .line = "Error: open Port: Device or resource busy (*) (/dev/pts/#)"}};
    for (bool hd : {false, true})
        for (const PortRow &r : rows)
            QTest::addRow("%s %s", hd ? "HD" : "SD", r.name.constData()) << hd << r;
}

void tst_sdjobs::portErrors()
{
    QFETCH(bool, hd);
    QFETCH(PortRow, row);
    testRig rig{sdBox::Config()};
    QSerialPort holder(rig.device());
    if (row.busy) {
        QVERIFY(holder.open(QIODevice::ReadWrite));
        row.port = rig.device();
    }
    serialComVesk hdLink(row.port, file("00000907", 300));
    serialComKarn sdLink(row.port, file("00000907", 300));
    hd ? rig.watch(hdLink) : rig.watch(sdLink);
    hd ? hdLink.updateFirmware() : sdLink.updateFirmware();
    QCOMPARE(rig.codes, hd ? Codes({H::JobStarted, H::Updating, H::PortFailed, H::JobEnded})
                           : Codes({S::JobStarted, S::Updating, S::PortFailed, S::JobEnded}));
    QCOMPARE(rig.logs.size(), 1);
    QVERIFY2(testRig::matches(rig.logs[0], row.line), qPrintable(rig.logs[0]));
    QTest::qWait(50);
    QVERIFY(rig.received().isEmpty());
}

QTEST_MAIN(tst_sdjobs)
#include "sdjobs.moc"
