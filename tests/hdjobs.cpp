// The HD link against the simulated HD box on a pseudo-terminal: one table of
// jobs (update, list upload and download, service queries) with their faults
// and the length of every waiting window; the line settings.
#include "comporttransport.h"
#include "jobreport.h"
#include "linkclock.h"
#include "ptyline.h"
#include "serialcomvesk.h"
#include "serialline.h"
#include "serialtransport.h"
#include "statuscode.h"
#include "testrig.h"

#include <QDir>
#include <QSerialPort>
#include <QtTest>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using Setup = std::function<void(hdBox::Behaviour &)>;
using Codes = QList<int>;
using H = hdCode;
using B = hdBox::Behaviour;
enum Job { Update, Upload, Download, Software, LowPower, Mac, Reset };
// Where the job's file lies: its own name in the rig's folder, a folder or a
// FIFO of that name, or in a folder that is not there.
enum class Target { File, Folder, MissingFolder, Fifo };

struct Row {
    QByteArray name{};
    double scale = 0.3;       // rows that time the box against the windows give their own
    Job job = Update;
    QByteArray file{};        // sent file, or the old list; null: none
    Setup box = [](hdBox::Behaviour &) {};
    Codes codes{};
    QStringList logs{};       // log lines, in this order
    QStringList results{};    // a query's answers, all of them
    QByteArray saved{};       // download: the file afterwards; null: as before
    testRig::Window window{};
    Target target = Target::File;
    bool locked = false;      // the folder admits no new file
    bool noPort = false;      // the link gets a port that is not there
    testRig::Line line = testRig::Line::Pty;   // how the link reaches the box
    qint64 killServerAt = -1; // the serial server dies once the box has received this many bytes
    int killDelayMs = 0;      // ... and this much later
    qint64 fileLimit = -1;    // the largest file the job may write; -1: any
    bool verify = false;      // an upload is read back and compared
    QString cause = "*";      // the result's cause and remedy in words, as patterns
    QString remedy = "*";
};
Q_DECLARE_METATYPE(Row)

class tst_hdjobs : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { linkClock::setScale(1.0); }
    void jobs_data();
    void jobs();
    void lineSettings();
    void drain_data();
    void drain();
    void transports_data();
    void transports();
};

void tst_hdjobs::jobs_data()
{
    const QByteArray fw = testRig::image("00004023", 1050), old = "the old list";
    const QByteArray list = hdBox::sampleList(10), lis = testRig::image("00003040", 3000);
    const Codes steps = {H::Restarting, H::Restarted, H::OpeningLoadMenu, H::LoadMenuOpen, H::WaitingBinaryMode,
                         H::BinaryMode, H::SendingFile, H::FileSent, H::WaitingFlash, H::Flashed, H::WaitingFinish,
                         H::Finished, H::WaitingStart, H::BoxRunning};
    const Codes chain = Codes{H::JobStarted, H::Updating} + steps + Codes{H::UpdateDone, H::JobEnded};
    const Codes upload = Codes{H::JobStarted, H::Uploading} + steps + Codes{H::UploadDone, H::JobEnded};
    Codes noStart = chain, noBinary = chain;
    noStart.removeOne(H::BoxRunning);
    noBinary.removeOne(H::BinaryMode);
    const Codes at75 = testRig::upTo(chain, H::WaitingFlash) + Codes{H::FlashFailed, H::JobEnded};
    const Codes listing = {H::JobStarted, H::Downloading, H::SearchingStart, H::Downloading};
    const Codes fetched = listing + Codes{H::EndFound, H::DownloadDone, H::JobEnded};
    const Codes noData = {H::JobStarted, H::Downloading, H::SearchingStart, H::ReceiveFailed, H::JobEnded, H::JobEnded};
    const Codes noList = listing + Codes{H::ReceiveFailed, H::JobEnded, H::JobEnded};
    const Codes late = listing + Codes{H::DownloadTimeout, H::JobEnded, H::JobEnded};
    const Codes unsaved = listing + Codes{H::EndFound, H::FileFailed, H::JobEnded, H::JobEnded};
    const Codes readBack = testRig::upTo(upload, H::UploadDone)
                           + Codes{H::VerifyWaiting, H::Verifying, H::SearchingStart, H::Downloading};
    const Setup keeping = [](B &b) { b.keepList = true; };
    QList<Row> rows = {
        // The update chain, step by step, each window measured.
        {.name = "whole update", .file = fw, .codes = chain,
         .logs = {"Updating Firmware: *job.app", "Restarting done: \"Restarting ...\" #ms", "LoadMenu open \"load App\" 0 #ms",
                  "Ready to send file \"binary mode\" #ms", "File sent. Wrote 1050 data", "Flashing done: \"flash it\" #ms",
                  "Finished: \"fin\" #ms", "Starting: \"Deflat OK\" #ms", "Update done after 0 s"}},
        {.name = "silent box", .scale = 0.25, .file = fw, .box = [](B &b) { b.silent = true; }, .codes = {H::JobStarted, H::Updating, H::Restarting, H::RestartFailed, H::JobEnded},
         .logs = {"Error while restarting: \"\" (timeout)"}, .window = {H::Restarting, H::RestartFailed, 2000}},
        {.name = "only unknown com", .scale = 0.01, .file = fw, .box = [](B &b) { b.unknownCom = 1 << 20; }, .codes = {H::JobStarted, H::Updating, H::Restarting, H::RestartFailed, H::JobEnded},
         .logs = {"Error while restarting: \"unknown com\" (timeout)"}},
        {.name = "unknown com, then restart", .file = fw, .box = [](B &b) { b.unknownCom = 2; },
         .codes = chain, .logs = {"Restarting done: \"Restarting ...\" #ms"}},
        {.name = "any text restarts", .file = fw, .box = [](B &b) { b.restartReply = "boot 1.3\r\n"; },
         .codes = chain, .logs = {"Restarting done: \"boot 1.3\" #ms"}},
        {.name = "no load menu", .scale = 0.1, .file = fw, .box = [](B &b) { b.ignoreLoad = 1000; }, .codes = testRig::upTo(chain, H::OpeningLoadMenu) + Codes{H::LoadMenuFailed, H::JobEnded},
         .logs = {"Error while opening LoadMenu \"\" (timeout)"}, .window = {H::OpeningLoadMenu, H::LoadMenuFailed, 500, 10}},
        {.name = "load menu on the third attempt", .scale = 0.2, .file = fw, .box = [](B &b) { b.ignoreLoad = 2; },
         .codes = chain, .logs = {"LoadMenu open \"load App\" 2 #ms"}},
        {.name = "no binary mode: sent anyway", .scale = 0.5, .file = fw, .box = [](B &b) { b.binaryMode = false; },
         .codes = noBinary, .logs = {"Ready to send file \"\" (timeout)"},
         .window = {H::WaitingBinaryMode, H::SendingFile, 1000}},
        {.name = "file refused", .file = fw, .box = [](B &b) { b.refuse = true; }, .codes = at75,
         .logs = {"Error flashing file: \"wrong\" #ms"}},
        {.name = "wrong beats flash it", .file = fw, .box = [](B &b) { b.refuse = true; b.garbage = "flash it "; },
         .codes = at75, .logs = {"Error flashing file: \"flash it wrong\" #ms"}},
        {.name = "flash never reported", .scale = 0.01, .file = fw, .box = [](B &b) { b.flashReply = b.finReply = false; },
         .codes = at75, .logs = {"Error while flashing the file: \"\" (timeout)"},
         .window = {H::WaitingFlash, H::FlashFailed, 16000}},
        {.name = "never finishes", .scale = 0.01, .file = fw, .box = [](B &b) { b.finReply = false; }, .codes = testRig::upTo(chain, H::WaitingFinish) + Codes{H::FinishFailed, H::JobEnded},
         .logs = {"Error finishing: \"\" (timeout)"}, .window = {H::WaitingFinish, H::FinishFailed, 50000}},
        {.name = "fin inside a word", .file = fw, .box = [](B &b) { b.garbage = "all "; }, .codes = chain,
         .logs = {"Finished: \"all fin\" #ms"}},
        {.name = "two prompts, then started", .scale = 1, .file = fw, .box = [](B &b) { b.comPrompts = 2; },
         .codes = chain, .logs = {"Starting: \"Deflat OK\" #ms"}, .window = {H::WaitingStart, H::BoxRunning, 2 * 10}},
        {.name = "only prompts: still done", .file = fw, .box = [](B &b) { b.comPrompts = 1000; },
         .codes = noStart, .logs = {"Starting: \"Com ->\""}},
        {.name = "start in lower case", .file = fw, .box = [](B &b) { b.startReply = "deflat ok\r\n"; },
         .codes = chain, .logs = {"Starting: \"deflat ok\" #ms"}},
        // Each line is tested on its own: a marker split by a line end is none.
        // Four prompts end four attempts; the fifth waits out its window.
        {.name = "start marker over two lines", .scale = 0.01, .file = fw,
         .box = [](B &b) { b.comPrompts = 4; b.startReply = "Defl\r\nat OK\r\n"; }, .codes = noStart, .logs = {"Starting: \"at OK\""}, .window = {H::WaitingStart, H::UpdateDone, 50000}},
        {.name = "noise before replies", .file = fw, .box = [](B &b) { b.garbage = QByteArray("\x01\x7f~\x1b[", 5); },
         .codes = chain, .logs = {"Flashing done: \"\x01\x7f~\x1b[flash it\" #ms"}},
        {.name = "long lines without line end", .file = fw, .box = [](B &b) { b.longLine = 300; },
         .codes = chain, .logs = {"Restarting done: \"xxxxxxxxxxxxxxx\" #ms"}},
        {.name = "slow box", .file = fw, .box = [](B &b) { b.replyDelayMs = 80; b.flashDelayMs = b.finDelayMs = 300; },
         .codes = chain, .logs = {"Finished: \"fin\" #ms"}},
        // The echo and the reply may come in one read or two; either restarts.
        {.name = "echoing box", .file = fw, .box = [](B &b) { b.echo = true; }, .codes = chain,
         .logs = {"Restarting done: \"r*\" #ms"}},
        {.name = "line gone after the file", .file = fw, .box = [](B &b) { b.cutAfter = 1050; },
         .codes = at75, .logs = {"Error: the serial line is gone (device unplugged or cable pulled): *"}},
        {.name = "update file missing", .codes = {H::JobStarted, H::Updating, H::FileFailed, H::JobEnded, H::JobEnded},
         .logs = {"Updatefile not exist"}},
        {.name = "a list handed to the update", .file = lis,
         .codes = {H::JobStarted, H::Updating, H::WrongFileKind, H::JobEnded, H::JobEnded}, .logs = {"Updating Firmware: *"}},
        {.name = "update of 20 bytes", .file = testRig::image("00004043", 20), .codes = chain,
         .logs = {"File sent. Wrote 20 data"}},

        // Power-up noise: NUL bytes are dropped wherever they stand; alone
        // they are no reply.
        {.name = "a NUL before every reply", .file = fw, .box = [](B &b) { b.garbage = QByteArray(1, '\0'); },
         .codes = chain,
         .logs = {"Restarting done: \"Restarting ...\" #ms", "LoadMenu open \"load App\" 0 #ms",
                  "Flashing done: \"flash it\" #ms", "Finished: \"fin\" #ms", "Starting: \"Deflat OK\" #ms"}},
        {.name = "power-up noise before every reply", .file = fw,
         .box = [](B &b) { b.garbage = QByteArray("\0\x01\x7f#%?~\x1b[", 10); }, .codes = chain,
         .logs = {"LoadMenu open \"\x01\x7f*?~\x1b[load App\" 0 #ms"}},   // "#" stands for a number
        {.name = "NUL bytes alone are no restart", .scale = 0.25, .file = fw, .box = [](B &b) { b.restartReply = QByteArray(3, '\0'); },
         .codes = {H::JobStarted, H::Updating, H::Restarting, H::RestartFailed, H::JobEnded},
         .logs = {"Error while restarting: \"\" (timeout)"}},
        // A reply cut by a line step's 49-byte read (48 in the start step)
        // is joined up to its line end; so is "wrong" after "flash it".
        {.name = "noise of 44 bytes: replies cut by the read", .file = fw,
         .box = [](B &b) { b.garbage = QByteArray(44, '.'); }, .codes = chain,
         .logs = {"LoadMenu open \"*load App\" 0 #ms", "Flashing done: \"*flash it\" #ms", "Finished: \"*fin\" #ms",
                  "Starting: \"*Deflat OK\" #ms"}},
        {.name = "wrong cut by the read after flash it", .file = fw,
         .box = [](B &b) { b.refuse = true; b.garbage = QByteArray(38, '.') + "flash it "; }, .codes = at75,
         .logs = {"Error flashing file: \"*flash it wrong\" #ms"}},
    };
    // Replies that the line hands over in two pieces, split at several places
    // (counted from the end when negative), are read as they would be whole;
    // the restart takes any text, so its first piece may already do.
    for (int at : {1, 3, 6, -2, -1})
        rows.append({.name = "every reply split at " + QByteArray::number(at), .file = fw,
                     .box = [=](B &b) { b.splitAt = at; }, .codes = chain,
                     .logs = {"Restarting done: \"R*\" #ms", "LoadMenu open \"load App\" 0 #ms",
                              "Ready to send file \"binary mode\" #ms", "Flashing done: \"flash it\" #ms",
                              "Finished: \"fin\" #ms", "Starting: \"Deflat OK\" #ms"}});
    // One reply split, its rest late in the step's window.
    auto split = [](const char *only, int at, int pauseMs, Setup more = [](B &) {}) {
        return Setup([=](B &b) {
            b.splitOnly = only;
            b.splitAt = at;
            b.replySplitPauseMs = pauseMs;
            more(b);
        });
    };
    const Setup onceUnknown = [](B &b) { b.unknownCom = 1; };
    rows += {
        {.name = "unknown com split after 3: sent again", .scale = 1, .file = fw, .box = split("unknown", 3, 600, onceUnknown),
         .codes = chain, .logs = {"Restarting done: \"Restarting ...\" #ms"}},
        {.name = "unknown com split after 10: sent again", .scale = 1, .file = fw, .box = split("unknown", 10, 600, onceUnknown),
         .codes = chain, .logs = {"Restarting done: \"Restarting ...\" #ms"}},
        {.name = "load App split, rest after 250 ms", .file = fw, .box = split("load", 4, 250), .codes = chain,
         .logs = {"LoadMenu open \"load App\" 0 #ms"}},
        {.name = "binary mode split, rest after 600 ms", .scale = 1, .file = fw, .box = split("binary", 5, 600), .codes = chain,
         .logs = {"Ready to send file \"binary mode\" #ms"}},
        {.name = "binary mode split, rest after the window", .file = fw, .box = split("binary", 5, 1500),
         .codes = noBinary, .logs = {"Ready to send file \"binar\" (timeout)"},
         .window = {H::WaitingBinaryMode, H::SendingFile, 1000}},
        {.name = "flash it split, rest after 600 ms", .file = fw, .box = split("flash", 5, 600), .codes = chain,
         .logs = {"Flashing done: \"flash it\" #ms"}},
        {.name = "fin split, rest after 600 ms", .file = fw, .box = split("fin", 2, 600), .codes = chain,
         .logs = {"Finished: \"fin\" #ms"}},
        {.name = "Deflat OK split, rest after 600 ms", .file = fw, .box = split("Deflat", 4, 600), .codes = chain,
         .logs = {"Starting: \"Deflat OK\" #ms"}},
        {.name = "prompt split, rest after 600 ms: sent again", .file = fw,
         .box = split("Com", 3, 600, [](B &b) { b.comPrompts = 1; }), .codes = chain,
         .logs = {"Starting: \"Deflat OK\" #ms"}},

        // The list upload runs the same chain.
        {.name = "upload", .job = Upload, .file = lis, .codes = upload,
         .logs = {"Uploading Channel list: *job.lis", "File sent. Wrote 3000 data", "Uploading done after 0 s"}},
        {.name = "upload not finished: started, not done", .scale = 0.01, .job = Upload, .file = lis,
         .box = [](B &b) { b.finReply = false; }, .codes = testRig::upTo(upload, H::WaitingFinish) + Codes{H::FinishFailed, H::WaitingStart, H::BoxRunning, H::JobEnded},
         .logs = {"Starting: \"Deflat OK\" #ms"}},
        {.name = "upload file missing", .job = Upload,
         .codes = {H::JobStarted, H::Uploading, H::FileFailed, H::JobEnded, H::JobEnded}, .logs = {"Channel list not exist"}},
        {.name = "upload of an update file", .job = Upload, .file = fw,
         .codes = {H::JobStarted, H::Uploading, H::WrongFileKind, H::JobEnded, H::JobEnded},
         .logs = {"Uploading Channel list: *"}},
        {.name = "upload of a list of 409600", .job = Upload, .file = testRig::image("00003040", 409600),
         .codes = upload, .logs = {"File sent. Wrote 409600 data"}},
        {.name = "upload of a list of 409601", .job = Upload, .file = testRig::image("00003040", 409601),
         .codes = {H::JobStarted, H::Uploading, H::WrongFileKind, H::JobEnded, H::JobEnded},
         .logs = {"Checked FiletypeHD: unknown(00003040 *job.lis)"}},
        // Verified uploads: the list read back from the box, byte for byte.
        {.name = "upload verified", .job = Upload, .file = lis, .box = keeping,
         .codes = readBack + Codes{H::Verified, H::JobEnded},
         .logs = {"Uploading done after 0 s", "Verifying the Channel list: waiting for the Settopbox's console",
                  "Console answered after # ms (questions asked: 1)", "Reading the Channel list back", "Start found",
                  "Channel list verified: 3000 bytes as in the file"},
         .verify = true},
        {.name = "upload stored with a changed byte", .job = Upload, .file = lis,
         .box = [](B &b) { b.keepList = true; b.storeFlipAt = 1234; },
         .codes = readBack + Codes{H::VerifyDiffers, H::JobEnded},
         .logs = {"Channel list differs from the file at offset 1234 (file 0x*, box 0x*): "
                  "the file has 3000 bytes, the box 3000 bytes"},
         .verify = true},
        {.name = "box that keeps its old list", .job = Upload, .file = lis,
         .codes = readBack + Codes{H::VerifyDiffers, H::JobEnded},
         .logs = {"Channel list differs from the file at offset 0 *: the file has 3000 bytes, the box # bytes"},
         .verify = true},
        // The console reads nothing while the box boots: the second question,
        // after one unanswered window and a pause, is answered, whatever the
        // console's answer says; the answer's end is awaited (200 ms quiet).
        {.name = "console answers after a pause", .scale = 1, .job = Upload, .file = lis,
         .box = [](B &b) { b.keepList = true; b.consoleDelayMs = 1200; b.replies.insert("help", "?\r\nCom -> "); },
         .codes = readBack + Codes{H::Verified, H::JobEnded}, .logs = {"Console answered after # ms (questions asked: 2)"},
         .window = {H::VerifyWaiting, H::Verifying, 1000 + 500 + 200}, .verify = true},
        {.name = "console never answers", .scale = 0.01, .job = Upload, .file = lis,
         .box = [](B &b) { b.keepList = true; b.consoleDead = true; }, .codes = testRig::upTo(upload, H::UploadDone) + Codes{H::VerifyWaiting, H::VerifyNoAnswer, H::JobEnded},
         .logs = {"Could not verify the Channel list: the Settopbox's console did not answer within # s"},
         .window = {H::VerifyWaiting, H::VerifyNoAnswer, 30000}, .verify = true},
        {.name = "no verify: nothing read back", .job = Upload, .file = lis, .box = keeping, .codes = upload},
    };

    // Downloads: the list arrives whole wherever the line breaks it.
    const int lead = hdBox::Behaviour().beforeList.size();
    const int total = lead + 5 + list.size() + 3;
    for (int k = 0; k <= 5; ++k)
        rows.append({.name = "START split after " + QByteArray::number(k), .job = Download, .file = old,
                     .box = [=](B &b) { b.list = list; b.listSplits = {lead + k}; }, .codes = fetched,
                     .logs = {"Downloading Channel list: *job.lis", "Start found", "End of List found",
                              "Downloading done after 0 s"},
                     .saved = list});
    for (int k = 1; k <= 3; ++k)
        rows.append({.name = "END split " + QByteArray::number(k) + " from the end", .job = Download,
                     .box = [=](B &b) { b.list = list; b.listSplits = {total - k}; }, .codes = fetched,
                     .logs = {"End of List found"}, .saved = list});
    // "END" inside the list ends it only when the line then stays quiet 500 ms.
    QByteArray inner = list;
    inner.insert(100, "END");
    rows.append({.name = "END inside, a read ends after it", .job = Download,
                 .box = [=](B &b) { b.list = inner; b.listSplits = {lead + 108}; }, .codes = fetched, .saved = inner});
    QByteArray innerLine = list;
    innerLine.insert(200, "END\r\n");
    // A console goes on printing after the list: its chatter after the real
    // END changes nothing.
    const Setup chatty = [=](B &b) {
        b.list = list;
        b.afterList = "\r\nCom -> ";
        b.afterListDelayMs = 200;
        b.chatterMs = 300;
    };
    for (int ms : {0, 50, 150, 300})
        rows.append({.name = "END inside, more list " + QByteArray::number(ms) + " ms later, chatty console", .scale = 1,
                     .job = Download, .file = old, .box = [=](B &b) {
                         chatty(b);
                         b.list = innerLine;
                         b.listSplits = {lead + 5 + 205};
                         b.splitPauseMs = ms;
                     },
                     .codes = fetched, .logs = {"End of List found", "Downloading done after 0 s"}, .saved = innerLine});
    for (int ms : {0, 200})
        rows.append({.name = "chatty console, prompt " + QByteArray::number(ms) + " ms after END", .scale = 1, .job = Download,
                     .file = old, .box = [=](B &b) { chatty(b); b.afterListDelayMs = ms; }, .codes = fetched,
                     .logs = {"End of List found"}, .saved = list, .window = {H::Downloading, H::EndFound, 500}});
    // The list ends at its last "END" once the line is quiet, whatever line
    // end and prompt the console prints after it, and whenever.
    for (int ms : {0, 50, 150, 400, 2000})
        rows.append({.name = "prompt " + QByteArray::number(ms) + " ms after END", .job = Download, .file = old,
                     .box = [=](B &b) { b.list = list; b.afterList = "\r\nCom -> "; b.afterListDelayMs = ms; },
                     .codes = fetched, .logs = {"End of List found"}, .saved = list});
    for (const char *empty : {"", "\r\n"})
        rows.append({.name = QByteArray("START, END, ") + (*empty ? "a line end" : "nothing") + " between",
                     .job = Download, .file = old, .box = [=](B &b) { b.list = empty; }, .codes = noList,
                     .logs = {"The box sent an empty Channel list*"}});
    // The settle time runs from the last "END": one that held for a while and
    // was then dropped gives a later one no head start.
    QByteArray innerTwice = list;
    innerTwice.insert(200, "END\r\n");
    innerTwice.insert(400, "END\r\n");
    rows.append({.name = "two inner ENDs, the second 700 ms after the first", .scale = 1, .job = Download, .file = old,
                 .box = [=](B &b) {
                     b.list = innerTwice;
                     b.listSplits = {lead + 5 + 300, lead + 5 + 405};
                     b.splitPausesMs = {700, 100};
                 },
                 .codes = fetched, .logs = {"End of List found"}, .saved = innerTwice});
    // What counts as a console's text after the list's end: tabs do, a DEL
    // byte is list data, so such an "END" is no end.
    rows.append({.name = "tab in the console's text after END", .job = Download, .file = old,
                 .box = [=](B &b) { b.list = list; b.afterList = "\r\n\tCom -> "; }, .codes = fetched,
                 .logs = {"End of List found"}, .saved = list});
    rows.append({.name = "DEL after END's line end", .scale = 0.01, .job = Download, .file = old,
                 .box = [=](B &b) { b.list = list; b.afterList = "\r\n\x7f"; }, .codes = late,
                 .logs = {"Timeout!"}});
    rows += {
        {.name = "END inside, 900 ms pause after it", .job = Download,
         .box = [=](B &b) { b.list = inner; b.listSplits = {lead + 108}; b.splitPauseMs = 900; },
         .codes = fetched, .saved = inner.left(100)},
        {.name = "start in lower case before START", .job = Download,
         .box = [=](B &b) { b.list = list; b.beforeList = "chlist\r\nstart sending\r\n"; },
         .codes = fetched, .logs = {"Start found"}, .saved = list},
        {.name = "START inside the list", .job = Download, .box = [=](B &b) { b.list = "START" + list + "START"; },
         .codes = fetched, .logs = {"Start found"}, .saved = "START" + list + "START"},
        {.name = "old file in a locked folder", .job = Download, .file = old, .box = [=](B &b) { b.list = list; },
         .codes = fetched, .logs = {"Downloading done after 0 s"}, .saved = list, .locked = true},
        {.name = "list above the nominal size", .job = Download, .box = [](B &b) { b.list = hdBox::sampleList(6000); },
         .codes = fetched, .saved = hdBox::sampleList(6000)},
        // A list longer than an upload takes is the box's all the same: saved, with a word why it cannot go back.
        {.name = "list above what an upload takes", .job = Download,
         .box = [](B &b) { b.list = hdBox::sampleList(6500); }, .codes = fetched,
         .logs = {"End of List found", "The Channel list has 416024 bytes; an upload takes at most 409600 bytes, "
                                       "so this file cannot be uploaded to a box again", "Downloading done after # s"},
         .saved = hdBox::sampleList(6500)},
        // Failed downloads keep the old file.
        {.name = "download from a silent box", .scale = 0.25, .job = Download, .file = old,
         .box = [](B &b) { b.silent = true; }, .codes = noData,
         .logs = {"No Data received!"}, .window = {H::SearchingStart, H::ReceiveFailed, 3000}},
        {.name = "text without START", .scale = 0.01, .job = Download, .file = old, .box = [](B &b) { b.listMarkers = false; },
         .codes = noData, .logs = {"Start of List not found!"}},
        {.name = "END followed by more text", .scale = 0.01, .job = Download, .file = old, .box = [](B &b) { b.afterList = "ing"; },
         .codes = late, .logs = {"Timeout!"}, .window = {H::Downloading, H::DownloadTimeout, 50000}},
        {.name = "END followed by binary", .scale = 0.01, .job = Download, .file = old,
         .box = [](B &b) { b.afterList = "\r\n\x01\x02"; }, .codes = late, .logs = {"Timeout!"}},
        {.name = "line cut in the list", .scale = 0.01, .job = Download, .file = old, .box = [](B &b) { b.cutInList = 600; },
         .codes = late, .logs = {"Error: the serial line is gone*"}},
        {.name = "line cut before START", .scale = 0.01, .job = Download, .file = old, .box = [](B &b) { b.cutInList = 10; },
         .codes = noData, .logs = {"Error: the serial line is gone*"}},
        {.name = "flooding box", .job = Download, .box = [](B &b) { b.flood = serialLine::maxListBytes + (4 << 20); },
         .codes = noList, .logs = {"Channel list too long*"}},
        {.name = "target directory missing", .job = Download, .codes = unsaved,
         .logs = {"Couldn't open FileNo such file or directory"}, .target = Target::MissingFolder},
        {.name = "target is a directory", .job = Download, .codes = unsaved, .logs = {"Couldn't open FileIs a directory"},
         .target = Target::Folder},
        // A rename would put a regular file in the FIFO's place.
        {.name = "target is a FIFO", .job = Download, .codes = unsaved,
         .logs = {"Couldn't open FileIs a FIFO, not a regular file"}, .target = Target::Fifo},
        {.name = "console without pause, a status line says END", .job = Download, .file = old,
         .box = [=](B &b) {
             chatty(b);
             b.afterListDelayMs = 0;
             b.chatterMs = 15;
             b.chatter = "[disk] SEND 0x1f ok\r\n";
         },
         .codes = fetched, .logs = {"End of List found"}, .saved = list},
        // A full disk keeps the old list and says why, aside and in place; in
        // place a longer old list leaves no tail.
        {.name = "full disk: old list kept", .job = Download, .file = old, .box = [=](B &b) { b.list = list; },
         .codes = unsaved, .logs = {"Couldn't write FileFile too large"}, .fileLimit = 100},
        {.name = "full disk, locked folder: old list kept", .job = Download, .file = old,
         .box = [=](B &b) { b.list = list; }, .codes = unsaved, .logs = {"Couldn't write FileFile too large"},
         .locked = true, .fileLimit = 100},
        {.name = "longer old list, locked folder: no tail", .job = Download, .file = QByteArray(20000, 'x'),
         .box = [=](B &b) { b.list = list; }, .codes = fetched, .logs = {"Downloading done after 0 s"}, .saved = list,
         .locked = true},
    };

    // Real lines. A relay (socat) forwards in bursts and holds the line still
    // for seconds while the box reads at the line's rate: slow, not dead. A
    // box that stops reading, its line up, stalls the write for 16 s; a line
    // that vanishes (an unplugged adapter) fails at once, however long a
    // stall may be.
    const QByteArray big = testRig::image("00004023", 200000);
    const Codes stalled = testRig::upTo(chain, H::SendingFile) + Codes{H::WriteFailed, H::JobEnded};
    auto atRate = [](Setup more) { return Setup([=](B &b) { b.lineRate = true; more(b); }); };
    rows += {
        {.name = "relay, line rate: update", .file = testRig::image("00004023", 16000), .box = atRate([](B &) {}),
         .codes = chain, .logs = {"File sent. Wrote 16000 data", "Update done after # s"}, .line = testRig::Line::Relay},
        {.name = "box stops reading: stalled", .scale = 0.01, .file = big, .box = atRate([](B &b) { b.stopReadingAfter = 1000; }),
         .codes = stalled, .logs = {"Error writing data to Port"},
         .window = {H::SendingFile, H::WriteFailed, 16000}},
        {.name = "line cut mid-transfer at line rate: at once", .file = big, .box = atRate([](B &b) { b.cutAfter = 1000; }),
         .codes = stalled,
         .logs = {"Error writing data to Port",
                  "Error: the serial line is gone (device unplugged or cable pulled): Input/output error"},
         .window = {H::SendingFile, H::WriteFailed, 0}},
        {.name = "relay, line rate: download from a chatty console", .job = Download, .file = old, .box = atRate(chatty),
         .codes = fetched, .logs = {"End of List found"}, .saved = list, .line = testRig::Line::Relay},
    };

    // Through a real serial server (ser2net). Over RFC 2217 its port starts at
    // 9600 baud: only the link's own settings give the box its line. The
    // bait is full of 0xFF, CR NUL and look-alikes of telnet commands, which
    // must pass unchanged both ways. A dying server fails the job at once.
    using L = testRig::Line;
    const QByteArray bait = testRig::telnetBait("00004023", 20000), baitList = testRig::telnetBait("00003040", 3000);
    const QByteArray longList = testRig::image("00003040", 60000);
    const QString gone = QStringLiteral("Error: the connection to the serial server 127.0.0.1:# is gone: *");
    // Far more than a line takes in the step's five shrunk windows.
    const Setup babble = [](B &b) { b.startReply = QByteArray(16 << 20, 'x'); };
    rows += {
        {.name = "rfc2217, line rate: update", .file = testRig::image("00004023", 16000), .box = atRate([](B &) {}),
         .codes = chain, .logs = {"RFC 2217: the serial server 127.0.0.1:# set its port to 115200 baud, 8N1, no flow control",
                                  "File sent. Wrote 16000 data", "Update done after # s"}, .line = L::Rfc2217},
        {.name = "rfc2217, line rate: download", .job = Download, .file = old, .box = atRate(chatty),
         .codes = fetched, .logs = {"End of List found"}, .saved = list, .line = L::Rfc2217},
        {.name = "rfc2217: update of 0xFF and CR NUL", .file = bait, .codes = chain, .logs = {"File sent. Wrote 20000 data"},
         .line = L::Rfc2217},
        {.name = "rfc2217: list of 0xFF and CR NUL", .job = Download, .file = old,
         .box = [=](B &b) { b.list = baitList; }, .codes = fetched, .saved = baitList, .line = L::Rfc2217},
        // A box (or server) that babbles without a line end in the start
        // step is judged when its five windows end, on both schemes alike:
        // reading it costs in step with its bytes, never with their square.
        {.name = "rfc2217: 16 MB babble for the start", .scale = 0.01, .file = fw, .box = babble, .codes = noStart,
         .logs = {"Starting: \"xxx*"}, .window = {H::WaitingStart, H::UpdateDone, 50000, 5}, .line = L::Rfc2217},
        {.name = "socket: 16 MB babble for the start", .scale = 0.01, .file = fw, .box = babble, .codes = noStart,
         .logs = {"Starting: \"xxx*"}, .window = {H::WaitingStart, H::UpdateDone, 50000, 5}, .line = L::Socket},
        {.name = "socket: update of 0xFF and CR NUL", .file = bait, .codes = chain, .line = L::Socket},
        {.name = "socket: list of 0xFF and CR NUL", .job = Download, .file = old,
         .box = [=](B &b) { b.list = baitList; }, .codes = fetched, .saved = baitList, .line = L::Socket},
        {.name = "rfc2217: server killed mid-update", .file = big, .box = atRate([](B &) {}), .codes = stalled,
         .logs = {"Error writing data to Port", gone}, .line = L::Rfc2217, .killServerAt = 20000},
        {.name = "rfc2217: server killed mid-download", .job = Download, .file = old,
         .box = atRate([=](B &b) { b.list = longList; }), .codes = late, .logs = {gone}, .line = L::Rfc2217,
         .killServerAt = 14, .killDelayMs = 1000,
         // The status line stays the timeout's; its cause and remedy tell the connection's end.
         .cause = "the connection to the serial server was closed: *",
         .remedy = "check that the serial server still runs and that the network reaches it, then start the job again"},
        {.name = "nothing listens", .file = fw, .codes = {H::JobStarted, H::Updating, H::PortFailed, H::JobEnded},
         .logs = {"Error: open Port: connection refused by 127.0.0.1:# (no serial server listens there) (socket://127.0.0.1:#)"},
         .line = L::Nobody},
    };

    // The service queries: answers in upper case, a one-second window; the
    // echo of the command and what came before the question are no answer,
    // nor is an answer of the wrong shape, which is logged instead.
    const Codes sw = {H::JobStarted, H::QuerySoftware, H::JobEnded}, lp = {H::JobStarted, H::QueryLowPower, H::JobEnded};
    const Codes mac = {H::JobStarted, H::QueryMac, H::JobEnded};
    auto answer = [](const char *command, const QByteArray &text, bool echo = false) {
        return Setup([=](B &b) { b.replies.insert(command, text); b.echo = echo; });
    };
    QByteArray noise(100 * 1024, Qt::Uninitialized);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 131 + 7) & 0xff);
    const QString noMac = "The Settopbox's answer to get_mac is no MAC address: ";
    rows += {
        {.name = "version", .job = Software, .box = answer("swvers", "v2.10.04 hd\r\n"), .codes = sw,
         .results = {"V2.10.04 HD"}},
        {.name = "version unknown", .job = Software, .box = answer("swvers", "Unknown item\r\n"), .codes = sw,
         .results = {"----"}},
        {.name = "version after empty lines", .job = Software, .box = answer("swvers", "\r\n\n\r\n3.1\r\n"),
         .codes = sw, .results = {"3.1"}},
        // The box speaks Latin-1: each byte is its own character.
        {.name = "version in Latin-1", .job = Software, .box = answer("swvers", "v2.10 \xe9t\xe9 \xb0" "c\r\n"),
         .codes = sw, .results = {"V2.10 \u00c9T\u00c9 \u00b0C"}},
        {.name = "version of 60 bytes", .job = Software, .box = answer("swvers", QByteArray(60, 'a') + "\r\n"),
         .codes = sw, .results = {QString(49, 'A')}},
        {.name = "version after a NUL", .job = Software, .box = answer("swvers", QByteArray("\0V2.10\r\n", 8)),
         .codes = sw, .results = {"V2.10"}},
        {.name = "version, power-up noise before the answer", .job = Software,
         .box = [](B &b) { b.garbage = QByteArray("\0\0\0", 3); }, .codes = sw, .results = {"V2.10.04 HD 2026-03-18"}},
        {.name = "echo skipped: version", .job = Software, .box = answer("swvers", "3.1\r\n", true), .codes = sw,
         .results = {"3.1"}},
        {.name = "echo skipped: low power", .job = LowPower, .box = answer("lpsw", "LPSW: 1.07\r\n", true), .codes = lp,
         .results = {" 1.07"}},
        {.name = "echo skipped: mac", .job = Mac, .box = answer("get_mac", "00a1b2c3d4e5\r\n", true), .codes = mac,
         .results = {"00-A1-B2-C3-D4-E5"}},
        {.name = "more than the echo is the answer", .job = Software, .box = answer("swvers", "swvers 3.1\r\n"),
         .codes = sw, .results = {"SWVERS 3.1"}},
        {.name = "echo only: nothing received", .job = Software, .box = answer("swvers", "", true),
         .codes = {H::JobStarted, H::QuerySoftware, H::ReceiveFailed, H::JobEnded}},
        {.name = "an earlier job's output is dropped", .job = Mac,
         .box = [](B &b) { b.leftover = "flash it\r\nfin\r\nDeflat OK\r\n"; }, .codes = mac,
         .results = {"00-A1-B2-C3-D4-E5"}},
        {.name = "version with control bytes", .job = Software, .box = answer("swvers", "V2.10\x1b[31m\x7f\r\n"),
         .codes = sw, .logs = {"The Settopbox's answer to swvers is no software version: \"V2.10\\x1b[31m\\x7f\""}},
        {.name = "low power with a tab", .job = LowPower, .box = answer("lpsw", "LPSW:\t1.07\r\n"), .codes = lp,
         .logs = {"The Settopbox's answer to lpsw is no low-power version: \"LPSW:\\x091.07\""}},
        {.name = "version without line end past 256 bytes", .job = Software,
         .box = answer("swvers", QByteArray(300, 'v')), .codes = sw,
         .logs = {"The Settopbox's answer to swvers is no software version: \"" + QString(60, 'v')
                  + "\"... (256 bytes), without a line end"}},
        {.name = "low power", .job = LowPower, .box = answer("lpsw", "LPSW: 1.07\r\n"), .codes = lp, .results = {" 1.07"}},
        {.name = "low power, marker in lower case", .job = LowPower, .box = answer("lpsw", "lpsw:1.07\r\n"),
         .codes = lp, .results = {"1.07"}},
        {.name = "low power unknown", .job = LowPower, .box = answer("lpsw", "lpsw: unknown\r\n"), .codes = lp,
         .results = {"--"}},
        {.name = "mac", .job = Mac, .box = answer("get_mac", "00a1b2c3d4e5\r\n"), .codes = mac,
         .results = {"00-A1-B2-C3-D4-E5"}},
        {.name = "mac of 3 digits", .job = Mac, .box = answer("get_mac", "abc\r\n"), .codes = mac,
         .logs = {noMac + "\"abc\""}},
        {.name = "mac of 11 digits", .job = Mac, .box = answer("get_mac", "00a1b2c3d4e\r\n"), .codes = mac,
         .logs = {noMac + "\"00a1b2c3d4e\""}},
        {.name = "mac of 13 digits", .job = Mac, .box = answer("get_mac", "00a1b2c3d4e5f\r\n"), .codes = mac,
         .logs = {noMac + "\"00a1b2c3d4e5f\""}},
        {.name = "mac with a letter past f", .job = Mac, .box = answer("get_mac", "00a1b2c3d4eg\r\n"), .codes = mac,
         .logs = {noMac + "\"00a1b2c3d4eg\""}},
        {.name = "mac with separators", .job = Mac, .box = answer("get_mac", "00:a1:b2:c3:d4:e5\r\n"), .codes = mac,
         .logs = {noMac + "\"00:a1:b2:c3:d4:e5\""}},
        {.name = "mac of 100 KB noise", .job = Mac, .box = answer("get_mac", noise), .codes = mac, .logs = {noMac + "*"}},
        {.name = "no lan device", .job = Mac, .box = answer("get_mac", "!landevice\r\n"), .codes = mac,
         .results = {"no LAN-Device"}},
        // The placeholder's word comes in any letter case; its check must not
        // hang on the upper case the result is made in.
        {.name = "mac unknown, first letter upper", .job = Mac, .box = answer("get_mac", "Unknown\r\n"), .codes = mac,
         .results = {"???"}},
        {.name = "mac unknown, lower case", .job = Mac, .box = answer("get_mac", "unknown\r\n"), .codes = mac,
         .results = {"???"}},
        {.name = "unknown beats no lan", .job = Mac, .box = answer("get_mac", "!LANDEVICE unknown\r\n"), .codes = mac,
         .results = {"???"}},
        {.name = "mac answer split, rest after 500 ms", .scale = 1, .job = Mac,
         .box = [](B &b) { b.splitOnly = "00a1"; b.splitAt = 5; b.replySplitPauseMs = 500; }, .codes = mac,
         .results = {"00-A1-B2-C3-D4-E5"}},
        {.name = "mac answer without line end", .job = Mac, .box = answer("get_mac", "001122334455"), .codes = mac,
         .results = {"00-11-22-33-44-55"}},
        {.name = "silent box, version", .job = Software, .box = [](B &b) { b.silent = true; },
         .codes = {H::JobStarted, H::QuerySoftware, H::ReceiveFailed, H::JobEnded},
         .window = {H::QuerySoftware, H::ReceiveFailed, 1000}},
        {.name = "silent box, mac", .job = Mac, .box = [](B &b) { b.silent = true; },
         .codes = {H::JobStarted, H::QueryMac, H::ReceiveFailed, H::JobEnded}},
        {.name = "factory reset", .job = Reset, .codes = {H::JobStarted, H::FactoryReset, H::JobEnded}},
        {.name = "no port for the query", .job = Mac, .codes = {H::JobStarted, H::QueryMac, H::PortFailed, H::JobEnded},
         .logs = {"Error: open Port: *"}, .noPort = true},
    };
    QTest::addColumn<Row>("row");
    for (const Row &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_hdjobs::jobs()
{
    QFETCH(Row, row);
    linkClock::setScale(row.scale);
    hdBox::Behaviour b;
    b.fileSize = row.job == Download ? -1 : row.file.size();   // no quiet gap to wait out
    row.box(b);
    testRig rig(b);
    QVERIFY(rig.boxStarted);
    QString path = rig.path(row.job == Update ? "job.app" : "job.lis");
    if (row.target == Target::MissingFolder)
        path = rig.path("no/such/dir/job.lis");
    else if (row.target == Target::Folder)
        QVERIFY(QDir(rig.dir.path()).mkpath("job.lis/inside"));
    else if (row.target == Target::Fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (!row.file.isNull())
        QVERIFY(testRig::write(path, row.file));
    if (row.locked && !rig.lock(rig.dir.path()))
        QSKIP("no way to lock a folder here");
    QFile held(path);   // a reader of the old list (a FIFO would block the open)
    if (row.target != Target::Fifo)
        held.open(QIODevice::ReadOnly);
    const QString port = rig.port(row.line);
    QVERIFY2(!port.isEmpty(), "the relay or the serial server did not start");
    if (row.killServerAt >= 0)
        rig.killServerAfter(row.killServerAt, row.killDelayMs);
    serialComVesk link(row.noPort ? QStringLiteral("/dev/velmora-none") : port, path);
    rig.watch(link);
    linkOutcome outcome;
    connect(&link, &boxLink::sendOutcome, &link, [&outcome](const linkOutcome &o) { outcome = o; });
    link.setVerify(row.verify);
    void (serialComVesk::*const run[])() = {&serialComVesk::updateFirmware, &serialComVesk::sendChannellist,
                                             &serialComVesk::getChannellist, &serialComVesk::readSoftwareVersion,
                                             &serialComVesk::readLowPowerVersion, &serialComVesk::readMACAddress,
                                             &serialComVesk::initFactoryReset};
    void (serialComVesk::*const job)() = run[row.job];
    testRig::withFileLimit(row.fileLimit, [&link, job] { (link.*job)(); });

    QCOMPARE(rig.codes, row.codes);
    QVERIFY2(rig.logged(row.logs), qPrintable(rig.logs.join('\n')));
    static const struct {
        jobKind::Kind kind;
        serviceRequest::Query query;
    } asked[] = {{jobKind::UpdateHD, serviceRequest::None},       {jobKind::SendListHD, serviceRequest::None},
                 {jobKind::GetListHD, serviceRequest::None},      {jobKind::None, serviceRequest::Software},
                 {jobKind::None, serviceRequest::LowPower},       {jobKind::None, serviceRequest::Mac},
                 {jobKind::None, serviceRequest::FactoryReset}};
    const jobResult result = jobReport::result(asked[row.job].kind, asked[row.job].query, path, outcome);
    QVERIFY2(testRig::matches(result.causeText(), row.cause), qPrintable(result.causeText()));
    QVERIFY2(testRig::matches(result.remedy(), row.remedy), qPrintable(result.remedy()));
    QCOMPARE(rig.results, row.results);
    QVERIFY(rig.progressRises());
    if (row.codes.contains(H::FileSent)) {
        QCOMPARE(rig.hd->file(), row.file);
        QCOMPARE(testRig::read(path), row.file);   // only ever read
    }
    if (row.codes.contains(H::WrongFileKind) || row.codes.contains(H::PortFailed)
        || (row.codes.contains(H::FileFailed) && row.job != Download)) {
        QTest::qWait(50);
        QVERIFY(rig.received().isEmpty());
    } else if (row.job != Reset) {   // the reset's port may close before the box reads
        QTRY_VERIFY(!rig.received().isEmpty());
        QCOMPARE(rig.seenSettings(), testRig::lineSettings());
    }
    if (row.job == Download) {
        QCOMPARE(rig.commands().mid(0, 2), (QList<QByteArray>{"help", "chlist"}));
        if (!row.saved.isNull())
            QCOMPARE(testRig::read(path), row.saved);
        else if (row.target == Target::Folder)
            QVERIFY(QFileInfo(path).isDir());
        else if (row.target == Target::Fifo)
            QVERIFY(QFileInfo::exists(path) && !QFileInfo(path).isFile());   // still the FIFO
        else
            QCOMPARE(testRig::read(path), row.file);
        // Written aside and renamed (in place only where the folder is locked):
        // a reader of the old list keeps it whole, no temporary file is left.
        if (held.isOpen())
            QCOMPARE(held.readAll(), row.locked ? testRig::read(path) : row.file);
        rig.unlock();
        QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), QFileInfo(path).isFile() ? 1 : 0);
    } else if (row.job >= Software && row.job <= Mac && !row.codes.contains(H::PortFailed)) {
        static const char *const command[] = {"swvers", "lpsw", "get_mac"};
        QCOMPARE(rig.received(), QByteArray(command[row.job - Software]) + "\r\n");
    } else if (row.job == Reset) {
        QTRY_COMPARE(rig.commands(), QList<QByteArray>{"facreset"});
    }
    QVERIFY2(rig.windowMiss(row.window, row.scale).isEmpty(), qPrintable(rig.windowMiss(row.window, row.scale)));
}

// Both links open their port here. A pseudo-terminal keeps 8 data bits and
// no parity whatever it is told (the boxes check speed, stop bits and flow
// control on their end), so the port's own settings are read back too.
void tst_hdjobs::lineSettings()
{
    ptyLine line;
    QVERIFY(line.open());
    serialLine port([](const QString &) {});
    QVERIFY(port.open(line.devicePath()));
    QCOMPARE(port.port()->openMode(), QIODevice::ReadWrite);
    QCOMPARE(line.settings(), testRig::lineSettings());
    QCOMPARE(port.port()->dataBits(), QSerialPort::Data8);
    QCOMPARE(port.port()->parity(), QSerialPort::NoParity);
}

// The line's drain waits while the box takes bytes, however long that
// takes, and fails only once it has taken none for the whole stall window:
// every byte that leaves restarts that window.
struct DrainRow {
    QByteArray name{};
    int total = 0;          // bytes written at once, far more than the line's buffers hold
    int perTick = 0;        // the box reads this many bytes each tick
    int tickMs = 0;
    int stopsAfter = -1;    // the box reads no more after this many bytes; -1: it reads all
    bool drained = false;
};
Q_DECLARE_METATYPE(DrainRow)

void tst_hdjobs::drain_data()
{
    // The stall window is scaled to 1 s; the box's ticks are a tenth of it.
    const DrainRow rows[] = {
        {.name = "slow box that keeps reading", .total = 48 * 1024, .perTick = 1000, .tickMs = 100, .drained = true},
        {.name = "box that stops reading", .total = 48 * 1024, .perTick = 1000, .tickMs = 100, .stopsAfter = 16 * 1024},
    };
    QTest::addColumn<DrainRow>("row");
    for (const DrainRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_hdjobs::drain()
{
    QFETCH(DrainRow, row);
    linkClock::setScale(1000.0 / serialLine::stallMs);
    ptyLine line;
    QVERIFY(line.open());
    serialLine port([](const QString &) {});
    QVERIFY(port.open(line.devicePath()));
    std::atomic<bool> done{false};
    std::thread box([&] {
        int taken = 0;
        const int last = row.stopsAfter < 0 ? row.total : row.stopsAfter;
        while (!done && taken < last) {
            taken += int(line.read(row.tickMs, qMin(row.perTick, last - taken)).size());
            std::this_thread::sleep_for(std::chrono::milliseconds(row.tickMs));
        }
    });
    const QByteArray bytes(row.total, 'x');
    QCOMPARE(port.write(bytes.constData(), bytes.size()), qint64(bytes.size()));
    const bool drained = port.drain();
    done = true;
    box.join();
    QCOMPARE(drained, row.drained);
}

// The two serial transports, Qt's (Linux) and the platform layer's (the
// program for Windows; here its POSIX side), pass the same rows: the boxes'
// settings, bytes both ways, a port held by another refused as busy, a
// missing one as missing, and an unplugged adapter told twice over: the port
// fails (on the error of its next read) and the tty is hung up, so that
// either alone ends a job.
struct TransportRow {
    QByteArray name{};
    std::unique_ptr<lineTransport> (*make)() = nullptr;
};
Q_DECLARE_METATYPE(TransportRow)

void tst_hdjobs::transports_data()
{
    const TransportRow rows[] = {
        {.name = "Qt's serial port", .make = [] { return std::unique_ptr<lineTransport>(new serialTransport); }},
        {.name = "the platform's serial port", .make = [] { return std::unique_ptr<lineTransport>(new comPortTransport); }},
    };
    QTest::addColumn<TransportRow>("row");
    for (const TransportRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_hdjobs::transports()
{
    QFETCH(TransportRow, row);
    ptyLine line;
    QVERIFY(line.open());
    QStringList logs;
    const auto log = [&](const QString &l) { logs << l; };
    const std::unique_ptr<lineTransport> port = row.make();
    QVERIFY2(port->open(line.devicePath(), log), qPrintable(logs.join('\n')));
    QCOMPARE(line.settings(), testRig::lineSettings());
    QVERIFY(!port->failed());
    QVERIFY(port->hungUp().isEmpty());

    QIODevice *device = port->device();
    const QByteArray command = "chlist\r\n";
    QCOMPARE(device->write(command), qint64(command.size()));
    port->push();
    QVERIFY(device->bytesToWrite() == 0 || device->waitForBytesWritten(5000));
    QByteArray taken;
    QDeadlineTimer deadline(5000);
    while (taken.size() < command.size() && !deadline.hasExpired())
        taken += line.read(100);
    QVERIFY(taken == command);
    const QByteArray reply = QByteArray("START\r\n") + QByteArray(3000, 'x') + "\r\nEND\r\n";
    QVERIFY(line.write(reply));
    QByteArray got;
    while (got.size() < reply.size() && !deadline.hasExpired()) {
        if (device->bytesAvailable() == 0)
            device->waitForReadyRead(100);
        got += device->readAll();
    }
    QVERIFY(got == reply);

    const std::unique_ptr<lineTransport> second = row.make();
    QVERIFY(!second->open(line.devicePath(), log));
    QCOMPARE(second->openFailure(), lineTransport::Busy);
    const std::unique_ptr<lineTransport> missing = row.make();
    QVERIFY(!missing->open(line.devicePath() + "-gone", log));
    QCOMPARE(missing->openFailure(), lineTransport::Missing);

    line.cut();
    device->waitForReadyRead(100);
    QVERIFY(port->failed());
    QVERIFY(!port->hungUp().isEmpty());
}

QTEST_MAIN(tst_hdjobs)
#include "hdjobs.moc"
