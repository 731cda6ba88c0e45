// What only the whole program shows: the six jobs run from its command line
// against the simulated boxes, with the log, the files and settings.ini it
// leaves; batch mode; the close signals, from outside and inside the process.
#include "batchjob.h"
#include "jobkind.h"
#include "jobresult.h"
#include "jobrunner.h"
#include "linkclock.h"
#include "statuscode.h"
#include "commandline.h"
#include "mainwindow.h"
#include "signalclose.h"
#include "testrig.h"

#include <QApplication>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <functional>
#include <optional>

class tst_e2e : public QObject
{
    Q_OBJECT
private slots:
    void jobs_data();
    void jobs();
    void batch_data();
    void batch();
    void ports_data();
    void ports();
    void closeSignals_data();
    void closeSignals();
    void signalsBecomeEvents();
    void closeEndsTheQuestion();
    void results_data();
    void results();
    void requestWhileThreadEnds();
    void shell_data();
    void shell();
    void networkAndLocalPorts();
    void instancesInOneFolder();
};

// Started from a terminal, or from the desktop entry (--desktop) with the XDG
// folders named, or with only a home folder.
enum class Places { WorkingDir, Xdg, Home };
const struct {
    const char *name;
    // Under the rig's folder: where the settings, the log and the records go.
    const char *settings, *log, *records;
} places[] = {
    {.name = "", .settings = "settings.ini", .log = "velmora.log", .records = "velmora-records.csv"},
    {.name = " from the desktop", .settings = "config/velmora/settings.ini", .log = "state/velmora/velmora.log",
     .records = "data/velmora/velmora-records.csv"},
    {.name = " from the desktop, no XDG folders named", .settings = "home/.config/velmora/settings.ini",
     .log = "home/.local/state/velmora/velmora.log", .records = "home/.local/share/velmora/velmora-records.csv"},
};

struct JobRow {
    QByteArray name{};                // also the job's keyword
    QByteArray file{};                // the file handed over; empty: a download
    QByteArray sent{};                // every byte the box received
    QStringList log{};                // in this order, between the start lines and the job's end
    Places places = Places::WorkingDir;  // where the program is told to keep its own files
    bool byId = false;                // the port named by a stable by-id link to the box's line
    bool realLine = false;            // the box at line rate, its console chatty, reached through socat
    qint64 fileLimit = -1;            // the largest file the program may write; -1: any
};
Q_DECLARE_METATYPE(JobRow)

void tst_e2e::jobs_data()
{
    const QByteArray hdUpdate = testRig::image("00004023", 7000);
    const QByteArray sdUpdate = testRig::image("00000907", 6000);
    const QByteArray hdLarge = testRig::image("00004023", 48000);
    const JobRow rows[] = {
        {.name = "UpdateHD", .file = hdUpdate, .sent = "r\r\nl\r\n" + hdUpdate + "s\r\n",
         .log = {"Updating Firmware: in.bin", "File sent. Wrote 7000 data", "Flashing done: \"flash it\" #ms",
                 "Starting: \"Deflat OK\" #ms", "Update done after 0 s"}},
        {.name = "GetListHD", .sent = "help\r\nchlist\r\n",
         .log = {"Downloading Channel list: out.lis", "Start found", "End of List found", "Downloading done after 0 s"}},
        {.name = "UpdateSD", .file = sdUpdate, .sent = "100\r\n100\r\n" + sdUpdate + "300\r\n",
         .log = {"Updating Firmware", "Sending file in.bin", "File sent. Wrote 6000 data", "Finished: \"ready\"",
                 "Starting done: \"Press any key !!\"", "Update done after # s"}},
        {.name = "GetListSD", .sent = "100\r\n500\r\n300\r\n",
         .log = {"Downloading Channel list", "Saving List to out.lst", "End of List found", "Downloading done after # s"}},
        {.name = "GetListHD", .sent = "help\r\nchlist\r\n", .log = {"Start found", "Downloading done after # s"},
         .places = Places::Xdg, .byId = true},
        {.name = "UpdateSD", .file = sdUpdate, .sent = "100\r\n100\r\n" + sdUpdate + "300\r\n",
         .log = {"Update done after # s"}, .places = Places::Home},
        // A real line through a relay: slow and bursty, yet alive; a console
        // that goes on printing after the list; a full disk that is named.
        {.name = "UpdateHD", .file = hdLarge, .sent = "r\r\nl\r\n" + hdLarge + "s\r\n",
         .log = {"Updating Firmware: in.bin", "File sent. Wrote 48000 data", "Flashing done: \"flash it\" #ms",
                 "Starting: \"Deflat OK\" #ms", "Update done after # s"},
         .realLine = true},
        {.name = "GetListHD", .sent = "help\r\nchlist\r\n",
         .log = {"Downloading Channel list: out.lis", "Start found", "End of List found", "Downloading done after # s"},
         .realLine = true},
        {.name = "GetListSD", .sent = "100\r\n500\r\n",
         .log = {"Downloading Channel list", "End of List found", "Couldn't write FileFile too large"},
         .fileLimit = 2048}};
    QTest::addColumn<JobRow>("row");
    for (const JobRow &r : rows)
        QTest::addRow("%s%s%s", r.name.constData(), places[int(r.places)].name,
                      r.realLine ? ", real line" : r.fileLimit >= 0 ? ", full disk" : "") << r;
}

void tst_e2e::jobs()
{
    QFETCH(JobRow, row);
    const bool hd = jobKind::isHd(jobKind::fromKeyword(row.name));
    hdBox::Behaviour b;
    b.list = hdBox::sampleList(80);
    b.lineRate = row.realLine;
    if (row.realLine) {
        b.afterList = "\r\nCom -> ";
        b.afterListDelayMs = 200;
        b.chatterMs = 300;
    }
    sdBox::Config c;
    c.lineRate = row.realLine;
    std::unique_ptr<testRig> rig(hd ? new testRig(b) : new testRig(c));
    const QString name = !row.file.isEmpty() ? "in.bin" : hd ? "out.lis" : "out.lst";
    if (!row.file.isEmpty())
        QVERIFY(testRig::write(rig->path(name), row.file));
    // A re-plugged adapter comes back under another name; its by-id link follows it.
    const QString port = row.realLine ? rig->relay() : row.byId ? rig->path("usb-Velmora_Adapter_A1-if00-port0") : rig->device();
    QVERIFY2(!port.isEmpty(), "socat did not start");
    if (row.byId)
        QVERIFY(QFile::link(rig->device(), port));
    QStringList args = {"-p", port, "-t", row.name, "-f", name, "-s"};
    QProcessEnvironment env;
    if (row.places != Places::WorkingDir) {
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", rig->path("home"));
        env.remove("XDG_CONFIG_HOME");
        env.remove("XDG_STATE_HOME");
        env.remove("XDG_DATA_HOME");
        if (row.places == Places::Xdg) {
            env.insert("XDG_CONFIG_HOME", rig->path("config"));
            env.insert("XDG_STATE_HOME", rig->path("state"));
            env.insert("XDG_DATA_HOME", rig->path("data"));
        }
        args.prepend("--desktop");
    }
    const auto &place = places[int(row.places)];
    rig->settingsName = place.settings;
    rig->logName = place.log;
    bool started = false;
    testRig::withFileLimit(row.fileLimit, [&] { started = rig->run(args, env); });
    QVERIFY(started);
    // A job's end leaves an empty line after the two start lines.
    QVERIFY2(QTest::qWaitFor([&] { const QStringList l = rig->programLog(); return l.size() > 2 && l.last().isEmpty(); },
                             30000), qPrintable(rig->programLog().join('\n')));
    // Beside the log, or in the data folder from the desktop: the header and the job's record.
    const auto records = [&] { return QString::fromUtf8(testRig::read(rig->path(place.records))).split("\r\n"); };
    QVERIFY(QTest::qWaitFor([&] { return records().size() == 3; }, 10000));
    QCOMPARE(rig->signal(SIGTERM), 0);
    QVERIFY2(records().at(0).startsWith("start,duration_s,port,family,job,file,") &&
                 testRig::matches(records().at(1), "*," + port + (hd ? ",HD," : ",SD,") + row.name + "," + name + ",*,1"),
             qPrintable(records().join('\n')));

    QVERIFY2(rig->received() == row.sent, qPrintable(QString("the box received %1 bytes").arg(rig->received().size())));
    QCOMPARE(rig->seenSettings(), testRig::lineSettings());
    // One job: its lines between the two start lines and one empty line.
    const QStringList log = rig->programLog();
    QCOMPARE(log.mid(0, 2), QStringList({"---------- START ----------", "Softwareversion: 3.0.0.8"}));
    QCOMPARE(log.count(QString()), 1);
    QVERIFY2(rig->logged(row.log + QStringList{""}, log.mid(2)), qPrintable(log.join('\n')));
    if (row.file.isEmpty() && row.fileLimit >= 0)
        QVERIFY2(!QFileInfo::exists(rig->path(name)), "a failed download left a file");
    else if (row.file.isEmpty())   // a download is kept exactly as the box printed it
        QVERIFY(testRig::read(rig->path(name)) == (hd ? hdBox::sampleList(80) : sdBox::plausibleList()));
    else   // a file sent is left untouched
        QVERIFY(testRig::read(rig->path(name)) == row.file);
    QCOMPARE(rig->setting("Velmora/Transfer").toString(), QString(row.name));
    QCOMPARE(rig->setting("Velmora/Portname").toString(), port);
    QCOMPARE(rig->setting("Velmora/Filename").toString(), name);
    // Nothing of the program's own is left in the working directory but where asked.
    QCOMPARE(QFile::exists(rig->path("settings.ini")), row.places == Places::WorkingDir);
    QCOMPARE(QFile::exists(rig->path("velmora.log")), row.places == Places::WorkingDir);
    QCOMPARE(QFile::exists(rig->path("velmora-records.csv")), row.places == Places::WorkingDir);
}

enum class Box { None, HD, SD };
// How the box misbehaves; Interrupt: SIGINT while it flashes. KeepList: it
// keeps a list it loads, ChangedByte: with one byte changed.
// CutOnQuery: the line goes when the query comes.
// NoisyReads: the first three prints of the list differ; CutInLoad: the line goes in the file.
enum class Fault { None, Silent, Refuse, NoStart, Interrupt, KeepList, ChangedByte, LineRate, BadMac, HugeList, CutOnQuery,
                   NoisyReads, CutInLoad };
struct BatchRow {
    QByteArray name{};
    Box box = Box::HD;
    Fault fault = Fault::None;
    QStringList args{};          // "@port": the box's line
    QString german{};            // LC_ALL for the program, else C
    int exitCode = batchJob::Done;
    QString out{};               // all of standard output, as a pattern
    QString err{};               // found in standard error
    std::optional<QByteArray> got{};   // all the box received; none: not compared
    bool logged = true;          // refused before its port's log is opened
    int progressLines[2] = {0, 1000};   // how many plain progress lines, at least and at most
    testRig::Line line = testRig::Line::Pty;   // how "@port" reaches the box
    std::function<bool(testRig &)> interruptWhen{};   // SIGINT goes once this holds
    QString records = "\\A\\z";   // all of the file --record names, as a pattern
    QString logEnd = "*";        // what the log's END line says after its exit code
    // --loop: boxes put on the port in turn after the first, each once the
    // program waits for it.
    int nextBoxes = 0;
    void (*swap)(testRig &, int box) = nullptr;
};
Q_DECLARE_METATYPE(BatchRow)

// A stop acts at once in every phase: far sooner than the shortest window a
// job waits in (a connect's and a look-up's 5 s), however loaded the machine.
constexpr qint64 stopBoundMs = 2500;

// No display at all, and English unless a locale is given.
static QProcessEnvironment batchEnvironment(const QString &locale = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
        env.remove(name);
    env.insert("LC_ALL", locale.isEmpty() ? "C" : locale);
    return env;
}

void tst_e2e::batch_data()
{
    // The last line: the outcome and the exit code, never "done" after a failure.
    const auto ended = [](const char *job, const char *outcome, int code) {
        return QStringLiteral("^velmora: %1 %2 \\(exit code %3\\)\\n\\z").arg(job, outcome).arg(code);
    };
    const QString done = ended("[-\\w ]+", "done", 0);
    const QString usage = QStringLiteral("^velmora: nothing was run \\(exit code 2\\)\\n\\z");
    const QStringList updateHd{"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app"};
    const QStringList getListHd{"--batch", "-p", "@port", "-t", "GetListHD", "-f", "out.lis"};
    // The job waits for the flash: the stop cannot come before its words.
    const auto flashWait = [](testRig &r) { return r.saidOnStderr("(waiting at most 16 s)\n"); };
    // Beside the pending server's own filler, the program's connect.
    const auto connecting = [](testRig &r) {
        return testRig::connectsPending(quint16(r.program.arguments().at(2).section(':', -1).toUInt())) > 1;
    };
    const auto lookingUp = [](testRig &r) { return r.nameAsked(); };
    // A record's start: ISO 8601 with its zone.
    const QString isoTime = "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}(Z|[+-]\\d\\d:\\d\\d)";
    const QString csvHeader = "\\A\\x{FEFF}start,duration_s,port,family,job,file,file_size,file_sha256,mac,version_before,"
                              "version_after,outcome,failed_step,cause,box,exit_code,attempt\r\n";
    // --loop's boxes: HD told by its MAC, SD by its start-up text after a quiet second.
    static const QByteArray macs[] = {"00a1b2c3d4e5", "00a1b2c3d4f6", "00a1b2c3d507"};
    const auto loopRecord = [&](const char *family, const char *job, const QString &mac, const char *box) {
        return isoTime + ",[\\d.]+,[^,]+," + family + "," + job + ",[^,]+,\\d+,[0-9a-f]{64}," + mac + ",,,done,,," + box +
               ",0,1\r\n";
    };
    // A loop logs to one file, whatever its port.
    const QStringList loopArgs = {"--loop", "--record", "rec.csv", "--log", "loop.log"};
    const auto loopEnd = [](int box) {
        return [box](testRig &r) {
            return r.waitForLog(QStringLiteral("[*] Waiting for the next box after box %1").arg(box), 1, "loop.log");
        };
    };
    // Three boxes on one port, each run and recorded once; the box of the
    // last job, still there, is not run again; Ctrl-C ends the loop.
    const auto hdLoop = [&](const QByteArray &name, testRig::Line line) -> BatchRow {
        return {.name = name, .args = updateHd + loopArgs,
             .exitCode = batchJob::Interrupted,
             .err = "^waiting for the next box: HD console\\n[\\s\\S]*^next box: UpdateHD runs on box 3\\n[\\s\\S]*"
                    "^velmora: interrupted; the jobs stop at their next wait\\n"
                    "velmora: boxes: 3 done, 0 failed, 0 stopped\\n" + ended("UpdateHD", "stopped", 130),
             .line = line, .interruptWhen = loopEnd(3),
             .records = csvHeader + loopRecord("HD", "UpdateHD", "00-A1-B2-C3-D4-E5", "updated") +
                        loopRecord("HD", "UpdateHD", "00-A1-B2-C3-D4-F6", "updated") +
                        loopRecord("HD", "UpdateHD", "00-A1-B2-C3-D5-07", "updated") + "\\z",
             .nextBoxes = 2,
             .swap = [](testRig &r, int box) {
                 hdBox::Behaviour next;
                 next.replies.insert("get_mac", macs[box] + "\r\n");
                 r.hd->swap(next, 300);
             }};
    };
    const auto sdLoop = [&](const QByteArray &name, testRig::Line line) -> BatchRow {
        return {.name = name, .box = Box::SD,
             .args = QStringList{"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "sd.app"} + loopArgs,
             .exitCode = batchJob::Interrupted,
             // The last box may still print its start-up text when the watch begins.
             .err = "^waiting for the next box: (silent|SD box starting)\\n[\\s\\S]*^next box: UpdateSD runs on box 3\\n[\\s\\S]*"
                    "velmora: boxes: 3 done, 0 failed, 0 stopped\\n" + ended("UpdateSD", "stopped", 130),
             .line = line, .interruptWhen = loopEnd(3),
             .records = csvHeader + loopRecord("SD", "UpdateSD", "", "updated") + loopRecord("SD", "UpdateSD", "", "updated") +
                        loopRecord("SD", "UpdateSD", "", "updated") + "\\z",
             .nextBoxes = 2,
             .swap = [](testRig &r, int) {
                 sdBox::Config next;
                 next.startupText = "SUC (StartUpControl)1.7\r\n";
                 // Longer than the quiet spell a start-up text must follow.
                 r.sd->swap(next, 1500);
             }};
    };
    const BatchRow rows[] = {
        hdLoop("--loop, three HD boxes", testRig::Line::Pty),
        sdLoop("--loop, three SD boxes", testRig::Line::Pty),
        // The watch between jobs wakes on a network port's bytes too.
        hdLoop("--loop, three HD boxes over rfc2217://", testRig::Line::Rfc2217),
        sdLoop("--loop, three SD boxes over socket://", testRig::Line::Socket),
        {.name = "--loop with a download to one file", .args = getListHd + QStringList{"--loop"}, .exitCode = batchJob::Usage,
         .err = "^velmora: --loop with a download writes a file for each box: put \\{mac\\} in the name", .got = ""},
        {.name = "UpdateHD", .args = updateHd, .err = "^\\d+%\\n[^%]*^Update done\\n" + done},
        {.name = "SendListHD, by content", .args = {"--batch", "-p", "@port", "hd.lis"}, .err = "^Listupload done\\n" + done},
        {.name = "GetListHD", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "out.lis"},
         .err = "^Listdownload complete\\n" + done, .got = "help\r\nchlist\r\n"},
        // A spreadsheet's quoting: a name with a comma, quotes and an umlaut.
        {.name = "GetListHD, recorded", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "a, \"b\" ü.lis",
                                                   "--record", "rec.csv"},
         .german = "C.UTF-8", .err = "^Listdownload complete\\n" + done, .got = "help\r\nchlist\r\n",
         .records = csvHeader + isoTime + ",[\\d.]+,[^,]+,HD,GetListHD,\"a, \"\"b\"\" ü.lis\",\\d+,[0-9a-f]{64},,,,done,,,"
                    "list-saved,0,1\r\n\\z"},
        {.name = "records file unwritable", .args = updateHd + QStringList{"--record", "."},
         .err = "^velmora: the records file . cannot be written: Is a directory; the job goes on\\n[\\s\\S]*^Update done\\n" + done},
        {.name = "UpdateSD", .box = Box::SD, .args = {"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "sd.app", "sd.app"},
         .err = "^\\d+%\\n[^%]*^Update done\\n" + done},
        {.name = "SD samples, two files", .box = Box::SD,
         .args = {"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "first.app", "second.app"}, .err = "^Update done\\n" + done},
        {.name = "SD samples, one file, by content", .box = Box::SD, .args = {"--batch", "-p", "@port", "single.app"},
         .err = "^Update done\\n" + done},
        {.name = "SD samples, the list", .box = Box::SD, .args = {"--batch", "-p", "@port", "sample.lst"},
         .err = "^Listupload done\\n" + done},
        {.name = "HD samples", .args = {"--batch", "-p", "@port", "sample.app"}, .err = "^Update done\\n" + done},
        // --identify records the box before and after its update.
        {.name = "identify, HD answered, recorded", .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "sample.app",
                                                              "--identify", "--record", "rec.jsonl"},
         .err = "^port +MAC +version +result +time\\n\\S+ +00-A1-B2-C3-D4-E5 +V2.10.04 HD 2026-03-18 -> V2.10.04 HD 2026-03-18 "
                "+done: Update done +[\\d.]+ s\\n" + done,
         .records = "\\A\\{\"start\":\"" + isoTime + "\",\"duration_s\":[\\d.]+,\"port\":\"[^\"]+\",\"family\":\"HD\","
                    "\"job\":\"UpdateHD\",\"file\":\"sample.app\",\"file_size\":\"\\d+\",\"file_sha256\":\"[0-9a-f]{64}\","
                    "\"mac\":\"00-A1-B2-C3-D4-E5\",\"version_before\":\"V2.10.04 HD 2026-03-18\","
                    "\"version_after\":\"V2.10.04 HD 2026-03-18\",\"outcome\":\"done\",\"failed_step\":\"\",\"cause\":\"\","
                    "\"box\":\"updated\",\"exit_code\":0,\"attempt\":1\\}\\n\\z"},
        {.name = "identify, HD silent", .fault = Fault::Silent,
         .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "sample.app", "--identify"}, .exitCode = batchJob::BoxFailed,
         .err = "^\\S+ +no answer +no answer +failed: Error while restarting PCB +[\\d.]+ s\\n" +
                ended("UpdateHD", "failed", 5)},
        {.name = "identify, SD", .box = Box::SD, .args = {"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "single.app", "--identify"},
         .err = "^velmora: --identify: an SD box has no service commands; the job runs without them\\n[\\s\\S]*^Update done\\n" + done},
        {.name = "GetListSD, German", .box = Box::SD,
         .args = {"--batch", "-p", "@port", "-t", "GetListSD", "-f", "out.lst"}, .german = "de_DE.UTF-8",
         .err = "^Herunterladen der Liste abgeschlossen\\nvelmora: GetListSD erledigt \\(Exit-Code 0\\)\\n\\z", .got = "100\r\n500\r\n300\r\n"},
        // A box that does not confirm its start: the job counts as done, with a warning.
        {.name = "HD start unconfirmed", .fault = Fault::NoStart, .args = updateHd,
         .err = "^velmora: warning: the box did not confirm its start"},
        {.name = "SD start fails", .box = Box::SD, .fault = Fault::NoStart,
         .args = {"--batch", "-p", "@port", "-t", "SendListSD", "-f", "sd.lst"},
         .err = "^Error while starting the Settopbox\\n[\\s\\S]*warning: the box did not confirm"},

        // A list upload read back and compared.
        {.name = "SendListHD, verified", .fault = Fault::KeepList,
         .args = {"--batch", "-p", "@port", "-t", "SendListHD", "-f", "hd.lis", "--verify"},
         .err = "^Listupload done\\n[\\s\\S]*^Channel list verified\\n" + done},
        {.name = "SendListHD, a byte changed", .fault = Fault::ChangedByte,
         .args = {"--batch", "-p", "@port", "-t", "SendListHD", "-f", "hd.lis", "--verify"}, .exitCode = batchJob::BoxFailed,
         .err = "^Listupload done\\n[\\s\\S]*^Channel list differs from the file\\n  cause: the list read back from the box differs from the file at offset 100 "
                "\\(file 0x.., box 0x..\\)[^\\n]*\\n  what to do: upload the list again\\n  box: the box may hold a half-loaded list"
                "[^\\n]*\\n" + ended("SendListHD", "failed", 5)},
        {.name = "SendListSD, verified", .box = Box::SD, .fault = Fault::KeepList,
         .args = {"--batch", "-p", "@port", "-t", "SendListSD", "-f", "sd.lst", "--verify"},
         .err = "^Listupload done\\n[\\s\\S]*^Channel list verified\\n" + done},
        {.name = "verify with an update", .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app", "--verify"},
         .exitCode = batchJob::Usage, .err = "--verify goes only with a channel list job", .got = ""},

        {.name = "no port", .box = Box::None, .args = {"--batch", "-t", "UpdateHD", "-f", "hd.app"},
         .exitCode = batchJob::Usage, .err = "no port given", .logged = false},
        {.name = "misspelt keyword", .args = {"--batch", "-p", "@port", "-t", "UpateHD", "-f", "hd.app"},
         .exitCode = batchJob::Usage,
         .err = "^velmora: unknown option or job: UpateHD\\nvelmora: did you mean UpdateHD\\?\\n"
                "velmora: the jobs are UpdateHD, SendListHD, GetListHD, UpdateSD, SendListSD, GetListSD\\n[\\s\\S]*" + usage,
         .got = ""},
        {.name = "unknown keyword, nothing near", .args = {"--batch", "-p", "@port", "-t", "Bogus", "-f", "hd.app"},
         .exitCode = batchJob::Usage, .err = "^velmora: unknown option or job: Bogus\\nvelmora: the jobs are ", .got = ""},
        {.name = "keyword in lower case", .args = {"--batch", "-p", "@port", "-t", "updatehd", "-f", "hd.app"},
         .err = "^Update done\\n" + ended("UpdateHD", "done", 0)},
        {.name = "no job", .args = {"--batch", "-p", "@port", "text.txt"}, .exitCode = batchJob::Usage,
         .err = "no job given", .got = ""},
        // Retried where another attempt can help, each attempt recorded; never where it cannot.
        {.name = "port gone, retried", .box = Box::None,
         .args = {"--batch", "-p", "/dev/ttyNOPE7", "-t", "GetListSD", "-f", "out.lst", "--retries", "1", "--record", "rec.csv"},
         .exitCode = batchJob::PortFailed,
         .err = "^Couldn't open COM-Port\\n  cause: the port /dev/ttyNOPE7 could not be opened: No such file or directory\\n"
                "  what to do: plug the adapter in[^\\n]*\\nattempt 1 of 2 failed; trying again in 1 s\\n[\\s\\S]*"
                "  what to do: plug the adapter in[^\\n]*\\n" + ended("GetListSD", "failed", 3),
         .records = csvHeader + isoTime + ",[\\d.]+,/dev/ttyNOPE7,SD,GetListSD,out.lst,,,,,,failed,[^,]+,the port [^\\n]+,untouched,3,1\r\n" +
                    isoTime + ",[\\d.]+,/dev/ttyNOPE7,SD,GetListSD,out.lst,,,,,,failed,[^,]+,the port [^\\n]+,untouched,3,2\r\n\\z"},
        {.name = "reads differ, retried, then agree", .fault = Fault::NoisyReads,
         .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "out.lis", "--verify", "--retries", "2", "--record", "rec.csv"},
         .err = "^  cause: no two reads of the channel list agreed[^\\n]+\\n[^\\n]+\\nattempt 1 of 3 failed; trying again in 1 s\\n"
                "[\\s\\S]*^Listdownload complete\\n" + done,
         .records = csvHeader + isoTime + ",[\\d.]+,[^,]+,HD,GetListHD,out.lis,,,,,,failed,[^,]+,\"no two reads [^\"]+\",old-list-kept,5,1\r\n" +
                    isoTime + ",[\\d.]+,[^,]+,HD,GetListHD,out.lis,\\d+,[0-9a-f]{64},,,,done,,,list-saved,0,2\r\n\\z"},
        {.name = "line cut in the load, retried", .fault = Fault::CutInLoad,
         .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app", "--retries", "1", "--record", "rec.csv"},
         .exitCode = batchJob::PortFailed,
         .err = "^  cause: the serial line went: [^\\n]+\\n[^\\n]+\\n  box: the box may be left half-updated[^\\n]+\\n"
                "attempt 1 of 2 failed; trying again in 1 s\\n  the load had begun: the box is half-updated until an attempt loads it whole\\n"
                "[\\s\\S]*  box: the box may be left half-updated[^\\n]+\\n" + ended("UpdateHD", "failed", 3),
         .records = csvHeader + isoTime + ",[^\\n]+,failed,[^,]+,the serial line went: [^\\n]+,half-updated,5,1\r\n" + isoTime +
                    ",[^\\n]+,failed,[^,]+,the port [^\\n]+,half-updated,3,2\r\n\\z"},
        {.name = "file missing", .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "gone.app"},
         .exitCode = batchJob::FileProblem,
         .err = "^velmora: the file gone.app does not exist\\n  what to do: check the file's name and folder\\n" +
                ended("UpdateHD", "failed", 4), .got = ""},
        {.name = "wrong kind, not retried", .box = Box::SD,
         .args = {"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "sd.lst", "--retries", "2"},
         .exitCode = batchJob::FileProblem,
         .err = "^Wrong Filetype detected!\\n  cause: sd.lst is an SD channel list; this job needs SD update images \\(\\*.app\\)\\n"
                "  what to do: choose SD update images[^\\n]*\\n" + ended("UpdateSD", "failed", 4), .got = ""},
        {.name = "name with LF", .box = Box::SD, .args = {"--batch", "-p", "@port", "-t", "GetListSD", "-f", "keep\nnew.lst"},
         .exitCode = batchJob::FileProblem, .err = "line feed refused: keep\\\\nnew.lst", .got = ""},
        {.name = "box refuses, not retried", .fault = Fault::Refuse, .args = updateHd + QStringList{"--retries", "2"},
         .exitCode = batchJob::BoxFailed,
         .err = "^Error while flashing the File\\n  cause: the box refused: \"wrong\"\\n  what to do: [^\\n]*\\n"
                "  box: the box may be left half-updated: update it again before you start it\\n" +
                ended("UpdateHD", "failed", 5)},
        {.name = "box silent, retried", .box = Box::SD, .fault = Fault::Silent,
         .args = {"--batch", "-p", "@port", "-t", "GetListSD", "-f", "out.lst", "--record", "rec.csv", "--retries", "1"},
         .exitCode = batchJob::BoxFailed,
         .err = "^attempt 1 of 2 failed; trying again in 1 s\\n[\\s\\S]*^Error while opening the LoadMenu\\n  cause: the box did not answer within \\d+ s\\n"
                "  what to do: the box did not answer: check the cable, the box's power and the port\\n" +
                ended("GetListSD", "failed", 5), .got = "100\r\n100\r\n100\r\n100\r\n",
         .records = csvHeader + isoTime + ",[\\d.]+,[^,]+,SD,GetListSD,out.lst,,,,,,failed,[^,]+,"
                    "the box did not answer within \\d+ s,old-list-kept,5,1\r\n" + isoTime + ",[\\d.]+,[^,]+,SD,GetListSD,out.lst,,,,,,failed,[^,]+,"
                    "the box did not answer within \\d+ s,old-list-kept,5,2\r\n\\z"},
        {.name = "SIGINT, not retried", .fault = Fault::Interrupt, .args = updateHd + QStringList{"--retries", "2"},
         .exitCode = batchJob::Interrupted,
         .err = "^Waiting till File flashed\\n\\(waiting at most 16 s\\)\\n"
                "velmora: interrupted[\\s\\S]*  cause: the job was stopped: interrupted by SIGINT\\n"
                "  box: the box may be left half-updated: update it again before you start it\\n" +
                ended("UpdateHD", "stopped", 130), .interruptWhen = flashWait},
        // A server that never takes the connection, a name server that never
        // answers: the stop acts at once; the look-up's window is the connect's.
        {.name = "SIGINT while connecting", .box = Box::None, .args = getListHd, .exitCode = batchJob::Interrupted,
         .err = "^velmora: interrupted[\\s\\S]*  cause: the job was stopped: interrupted by SIGINT\\n" +
                ended("GetListHD", "stopped", 130), .line = testRig::Line::Pending, .interruptWhen = connecting},
        {.name = "name server silent", .box = Box::None, .args = getListHd, .exitCode = batchJob::PortFailed,
         .err = "^  cause: the port socket://box.velmora.test:7000 could not be opened: the name server did not answer for "
                "box.velmora.test within 5 s\\n  what to do: check the network's name server, or give the serial server's "
                "IP address instead of its name\\n" + ended("GetListHD", "failed", 3), .line = testRig::Line::SilentNames},
        {.name = "SIGINT while looking up a name", .box = Box::None, .args = getListHd, .exitCode = batchJob::Interrupted,
         .err = "^  cause: the job was stopped: interrupted by SIGINT\\n" + ended("GetListHD", "stopped", 130),
         .line = testRig::Line::SilentNames, .interruptWhen = lookingUp},
        // Two ports: the check that no box is named twice looks the host up
        // before any log is opened; the stop acts there too.
        {.name = "SIGINT while two ports' names are looked up", .box = Box::None,
         .args = {"--batch", "-p", "@port", "-p", "socket://box.velmora.test:7001", "-t", "GetListHD", "-f", "lists/{port}.lis"},
         .exitCode = batchJob::Interrupted, .err = "\\Avelmora: GetListHD stopped \\(exit code 130\\)\\n\\z", .logged = false,
         .line = testRig::Line::SilentNames, .interruptWhen = lookingUp},

        {.name = "software", .args = {"--query", "software", "-p", "@port"}, .out = "V2.10.04 HD 2026-03-18\\n",
         .err = done, .got = "swvers\r\n"},
        {.name = "lowpower", .args = {"--query", "lowpower", "-p", "@port"}, .out = "1.07\\n", .err = done,
         .got = "lpsw\r\n"},
        {.name = "mac", .args = {"--query", "mac", "-p", "@port"}, .out = "00-A1-B2-C3-D4-E5\\n", .err = done,
         .got = "get_mac\r\n"},
        {.name = "mac of ten digits", .fault = Fault::BadMac, .args = {"--query", "mac", "-p", "@port"},
         .exitCode = batchJob::BoxFailed,
         .err = "^  cause: the box's answer is no MAC address: \"00A1B2C3D4\"\\n[^\\n]*\\n" + ended("--query mac", "failed", 5)},
        {.name = "list longer than an upload takes", .fault = Fault::HugeList,
         .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "out.lis"},
         .err = "^velmora: note: the list has 416024 bytes; the box takes at most 409600 bytes in an upload, so this "
                "file cannot go back to a box\\n" + done},
        // Network ports through a real serial server: the answer, the job, the log named by host and port.
        {.name = "query over rfc2217://", .args = {"--query", "software", "-p", "@port"}, .out = "V2.10.04 HD 2026-03-18\\n",
         .err = done, .got = "swvers\r\n", .line = testRig::Line::Rfc2217},
        {.name = "server without port control: a warning", .args = {"--query", "software", "-p", "@port"},
         .exitCode = batchJob::BoxFailed,
         .err = "^velmora: warning: the serial server 127.0.0.1:\\d+ does not offer RFC 2217 port control: the box's line "
                "may not run at 115200 baud, 8N1; if the box stays silent, set the server's port to these settings\n",
         .got = "", .line = testRig::Line::Uncontrolled},
        {.name = "update over socket://", .args = updateHd, .err = "^Update done\\n" + done, .line = testRig::Line::Socket},
        {.name = "nothing listens at socket://", .box = Box::SD, .args = {"--batch", "-p", "socket://127.0.0.1:1", "-t", "GetListSD", "-f", "out.lst"},
         .exitCode = batchJob::PortFailed,
         .err = "^  cause: the port socket://127.0.0.1:1 could not be opened: connection refused by 127.0.0.1:1[^\\n]*\\n"
                "  what to do: check that the serial server runs[^\\n]*\\n" + ended("GetListSD", "failed", 3), .got = ""},
        {.name = "query, box silent", .fault = Fault::Silent, .args = {"--query", "lowpower", "-p", "@port"},
         .exitCode = batchJob::BoxFailed,
         .err = "^Couldn't receive Data\\n  cause: the box did not answer within 1 s\\n[^\\n]*\\n" +
                ended("--query lowpower", "failed", 5)},
        // A query whose line goes says why, on a local line and behind a serial server.
        {.name = "query, line cut", .fault = Fault::CutOnQuery, .args = {"--query", "software", "-p", "@port"},
         .exitCode = batchJob::BoxFailed,
         .err = "^  cause: the serial line went: [^\\n]+\\n  what to do: [^\\n]+\\n" + ended("--query software", "failed", 5),
         .logEnd = "failed: Couldn't receive Data"},
        {.name = "query, line cut behind socket://", .fault = Fault::CutOnQuery, .args = {"--query", "software", "-p", "@port"},
         .exitCode = batchJob::BoxFailed,
         .err = "^  cause: the connection to the serial server was closed: the connection was closed by the server [^\\n]+\\n"
                "  what to do: check that the serial server still runs[^\\n]+\\n" +
                ended("--query software", "failed", 5), .line = testRig::Line::Socket},
        {.name = "unknown query", .args = {"--query", "serial", "-p", "@port"}, .exitCode = batchJob::Usage,
         .err = "unknown query: serial", .got = ""},
        {.name = "reset without --yes", .args = {"--factory-reset", "-p", "@port"}, .exitCode = batchJob::Usage,
         .err = "Add --yes", .got = ""},
        {.name = "reset", .args = {"--factory-reset", "--yes", "-p", "@port"}, .err = done, .got = "facreset\r\n"},
        // A reset that never reached the box is never done.
        {.name = "reset, server closes at once", .box = Box::None, .args = {"--factory-reset", "--yes", "-p", "@port"},
         .exitCode = batchJob::BoxFailed, .err = "^  cause: the connection to the serial server was closed: [^\\n]+\\n"
         "[\\s\\S]*" + ended("--factory-reset", "failed", 5), .line = testRig::Line::Closing,
         .logEnd = "failed: the connection to the serial server was closed: *"},
        {.name = "reset, line cut after two bytes", .box = Box::None, .args = {"--factory-reset", "--yes", "-p", "@port"},
         .exitCode = batchJob::BoxFailed, .err = "^  cause: the connection to the serial server was closed: [^\\n]+\\n"
         "[\\s\\S]*" + ended("--factory-reset", "failed", 5), .line = testRig::Line::CutAfterTwo,
         .logEnd = "failed: the connection to the serial server was closed: *"},
        {.name = "reset, server resets the connection", .box = Box::None, .args = {"--factory-reset", "--yes", "-p", "@port"},
         .exitCode = batchJob::BoxFailed, .err = "^  cause: the connection to the serial server was closed: [^\\n]+\\n"
         "[\\s\\S]*" + ended("--factory-reset", "failed", 5), .line = testRig::Line::Resetting,
         .logEnd = "failed: the connection to the serial server was closed: *"},

        // A value given twice is refused, never silently the last one.
        {.name = "-t twice", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-t", "UpdateHD", "-f", "hd.app"},
         .exitCode = batchJob::Usage, .err = "^velmora: -t may be given only once\n", .got = "", .logged = false},
        {.name = "--log twice", .args = updateHd + QStringList{"--log", "a.log", "--log", "b.log"},
         .exitCode = batchJob::Usage, .err = "^velmora: --log may be given only once\n", .got = "", .logged = false},
        {.name = "--query twice", .args = {"--query", "mac", "-p", "@port", "--query", "software"},
         .exitCode = batchJob::Usage, .err = "^velmora: --query may be given only once\n", .got = "", .logged = false},
        {.name = "port twice", .args = {"--query", "mac", "-p", "@port", "-p", "@port"}, .exitCode = batchJob::Usage,
         .err = "^velmora: port named twice: ", .got = "", .logged = false},
        {.name = "server port twice, spelt two ways", .args = {"--query", "mac", "-p", "socket://127.0.0.1:7300", "-p", " SOCKET://localhost:7300/"},
         .exitCode = batchJob::Usage, .err = "^velmora: port named twice:  SOCKET://localhost:7300/\n", .got = "", .logged = false},
        // Files that are not files are refused before the box is asked.
        {.name = "update file is a FIFO", .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "fifo.app"},
         .exitCode = batchJob::FileProblem, .err = "^velmora: \\S*fifo.app is a FIFO, not a regular file\\n", .got = ""},
        {.name = "update file is a folder", .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "."},
         .exitCode = batchJob::FileProblem, .err = "^velmora: \\S* is a folder, not a regular file\\n", .got = ""},
        {.name = "download into a missing folder", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "no/out.lis"},
         .exitCode = batchJob::FileProblem,
         .err = "^velmora: the list cannot be saved in \\S*no: No such file or directory\\n", .got = ""},
        {.name = "download onto a folder", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "."},
         .exitCode = batchJob::FileProblem, .err = "^velmora: the list cannot be saved in \\S+: Is a directory\\n", .got = ""},
        {.name = "update file is a device", .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "/dev/null"},
         .exitCode = batchJob::FileProblem, .err = "^velmora: /dev/null is a device, not a regular file\\n", .got = ""},
        // A download would replace the node with a regular file, or write into it.
        {.name = "download into a FIFO", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "fifo.app"},
         .exitCode = batchJob::FileProblem,
         .err = "^velmora: fifo.app is a FIFO, not a regular file\\n  what to do: give the name of a regular file\\n" +
                ended("GetListHD", "failed", 4), .got = ""},
        {.name = "download onto a device", .args = {"--batch", "-p", "@port", "-t", "GetListSD", "-f", "@port"},
         .exitCode = batchJob::FileProblem, .err = "^velmora: /dev/\\S+ is a device, not a regular file\\n", .got = ""},
        {.name = "download into a file's place of a folder", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "hd.app/out.lis"},
         .exitCode = batchJob::FileProblem, .err = "^velmora: the list cannot be saved in \\S*hd.app: Not a directory\\n", .got = ""},
        {.name = "empty port name", .args = {"--batch", "-p", "", "-t", "UpdateHD", "-f", "hd.app"},
         .exitCode = batchJob::Usage, .err = "^velmora: an empty port name was given", .got = "", .logged = false},
        {.name = "a file named like an option, after --", .args = {"--batch", "-p", "@port", "--", "-x.app"},
         .err = "^Update done\\n" + done},
        // A log that cannot be written is said once; the job goes on.
        {.name = "log into a missing folder", .args = updateHd + QStringList{"--log", "no/such.log"},
         .err = "^velmora: the log no/such.log cannot be written: No such file or directory; the job goes on\\n"
                "[\\s\\S]*^velmora: the log no/such.log is incomplete\\n" + done, .logged = false},
        {.name = "log is a folder", .args = updateHd + QStringList{"--log", "."},
         .err = "^velmora: the log . cannot be written: Is a directory;[\\s\\S]*is incomplete\\n" + done, .logged = false},
        // A FIFO without a reader would hold the open for good.
        {.name = "log is a FIFO", .args = updateHd + QStringList{"--log", "fifo.app"},
         .err = "^velmora: the log fifo.app cannot be written: it is a FIFO, not a regular file; the job goes on\\n"
                "[\\s\\S]*^Update done\\n[\\s\\S]*is incomplete\\n" + done, .logged = false},
        {.name = "log on a full disk", .args = updateHd + QStringList{"--log", "/dev/full"},
         .err = "^velmora: the log /dev/full cannot be written: No space left on device;[\\s\\S]*is incomplete\\n" + done,
         .logged = false},
        {.name = "port twice, once by a link", .args = {"--query", "mac", "-p", "@link", "-p", "@port"},
         .exitCode = batchJob::Usage, .err = "^velmora: port named twice: ", .got = "", .logged = false},
        // On a pipe, progress is a plain line at most once a second: an update
        // of some 6 s at the line rate prints a handful, never one per percent.
        {.name = "progress lines at the line rate", .fault = Fault::LineRate,
         .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "sample.app"}, .err = "^Update done\\n" + done,
         .progressLines = {2, 30}},
        {.name = "usage error, German", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-t", "UpdateHD"},
         .german = "de_DE.UTF-8", .exitCode = batchJob::Usage,
         .err = "^velmora: -t darf nur einmal angegeben werden\nSiehe 'velmora --help'.\nvelmora: nichts wurde ausgeführt \\(Exit-Code 2\\)\n\\z", .got = "", .logged = false}};
    QTest::addColumn<BatchRow>("row");
    for (const BatchRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

// Batch mode, without a display: what it prints, its exit code, what the
// box received.
void tst_e2e::batch()
{
    QFETCH(BatchRow, row);
    hdBox::Behaviour b;
    b.silent = row.fault == Fault::Silent;
    b.refuse = row.fault == Fault::Refuse;
    b.flashReply = row.fault != Fault::Interrupt;   // then it waits 16 s for the flash
    b.comPrompts = row.fault == Fault::NoStart ? 5 : 0;
    b.keepList = row.fault == Fault::KeepList || row.fault == Fault::ChangedByte;
    b.storeFlipAt = row.fault == Fault::ChangedByte ? 100 : -1;
    b.lineRate = row.fault == Fault::LineRate;
    b.replies.insert("get_mac", row.fault == Fault::BadMac ? "00A1B2C3D4\r\n" : b.replies.value("get_mac"));
    b.list = row.fault == Fault::HugeList ? hdBox::sampleList(6500) : b.list;
    b.cutOnCommand = row.fault == Fault::CutOnQuery ? "swvers" : "";
    b.noisyReads = row.fault == Fault::NoisyReads ? QList<int>{1, 2, 3} : QList<int>{};
    b.cutAfter = row.fault == Fault::CutInLoad ? 1000 : -1;
    sdBox::Config c;
    c.silent = row.fault == Fault::Silent;
    c.startFails = row.fault == Fault::NoStart;
    c.keepList = row.fault == Fault::KeepList;
    std::unique_ptr<testRig> rig(row.box == Box::HD ? new testRig(b) : row.box == Box::SD ? new testRig(c) : new testRig);
    rig->samples({"@hd=hd.app", "@hdList=hd.lis", "@sd2=sd.app", "@sdList=sd.lst", "@text=text.txt", "@hd=-x.app"});
    // A FIFO would block whoever opens it for reading until a writer comes.
    QCOMPARE(::mkfifo(QFile::encodeName(rig->path("fifo.app")).constData(), 0600), 0);
    // The samples the README's examples use, as the simulated boxes write them.
    for (const char *box : {HDBOX_PROGRAM, SDBOX_PROGRAM})
        QCOMPARE(QProcess::execute(box, {"--make-samples", rig->dir.path()}), 0);
    // The box's line by another name, as a by-id link names an adapter.
    QFile::link(rig->device(), rig->path("box-by-id"));
    const QString port = rig->port(row.line);
    if (port.isEmpty() && !rig->missing.isEmpty())
        QSKIP(qPrintable(rig->missing));
    QVERIFY(rig->run(row.args.replaceInStrings(QRegularExpression("^@port$"), port)
                         .replaceInStrings(QRegularExpression("^@link$"), rig->path("box-by-id")),
                     batchEnvironment(row.german)));
    for (int box = 1; box <= row.nextBoxes; ++box) {
        // Else what the program said and logged tells why it did not wait.
        QVERIFY2(rig->waitForLog(QStringLiteral("[*] Waiting for the next box after box %1").arg(box), 60000, "loop.log"),
                 qPrintable(rig->program.readAllStandardError() + rig->programLog("loop.log").join('\n')));
        row.swap(*rig, box);
    }
    QElapsedTimer interrupted;
    if (row.interruptWhen) {
        QVERIFY(QTest::qWaitFor([&] { return row.interruptWhen(*rig); }, 10000));
        ::kill(pid_t(rig->program.processId()), SIGINT);
        interrupted.start();
    }
    QVERIFY(rig->program.waitForFinished(30000));
    QVERIFY2(!interrupted.isValid() || interrupted.elapsed() < stopBoundMs, qPrintable(QString::number(interrupted.elapsed())));
    const QString output = QString::fromUtf8(rig->program.readAllStandardOutput());
    const QString errors = QString::fromUtf8(rig->program.readAllStandardError());
    QCOMPARE(rig->program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(rig->program.exitCode(), row.exitCode);
    QVERIFY2(QRegularExpression("\\A" + row.out + "\\z").match(output).hasMatch(), qPrintable(output));
    QVERIFY2(QRegularExpression(row.err, QRegularExpression::MultilineOption).match(errors).hasMatch(), qPrintable(errors));
    // A pipe gets plain lines, no bar drawn over itself.
    QVERIFY(!errors.contains('\r') && !errors.contains('\x1b'));
    const int progressLines = int(errors.count(QRegularExpression("^\\d+%$", QRegularExpression::MultilineOption)));
    QVERIFY2(progressLines >= row.progressLines[0] && progressLines <= row.progressLines[1], qPrintable(errors));
    // The bytes are in the line once the program ends; the box's thread may
    // not have read them yet on a loaded machine.
    if (row.got)
        QTRY_COMPARE_WITH_TIMEOUT(rig->received(), *row.got, 5000);
    const int r = row.args.indexOf("--record");
    // Behind another character, a UTF-8 mark is decoded, not dropped.
    const QString records =
        QString::fromUtf8("|" + (r < 0 ? QByteArray() : testRig::read(rig->path(row.args.at(r + 1))))).mid(1);
    QVERIFY2(QRegularExpression(row.records).match(records).hasMatch(), qPrintable(records));
    QVERIFY(!QFile::exists(rig->path("settings.ini")));
    // The port's own log, from its header to its end.
    const int p = row.args.indexOf("-p");
    if (!row.logged) {
        QVERIFY(QDir(rig->dir.path()).entryList({"*.log"}).isEmpty());
        return;
    }
    const int l = row.args.indexOf("--log");
    const QStringList log = rig->programLog(l < 0 ? batchJob::logName(row.args.at(p + 1)) : row.args.at(l + 1));
    QVERIFY2(!log.isEmpty() && testRig::matches(log.first(), "[*] ========== #-#-# #:#:# Velmora 3.0.0.8: * on " +
                                                                 row.args.at(p + 1) + "*"), qPrintable(log.join('\n')));
    QVERIFY2(testRig::matches(log.last(), QString("[*] ========== END: exit code %1, %2 ==========").arg(row.exitCode).arg(row.logEnd)),
             qPrintable(log.join('\n')));
}

// A simulated HD box of a run over several ports, and what its log must show.
struct PortBox {
    Fault fault = Fault::None;
    int exitCode = batchJob::Done;   // in the end line of its log
    QStringList log{};               // between its header and end, in this order
    QByteArray got{};                // all it received in each round; "@update": an update's dialogue; "@none":
                                     // nothing; empty: not compared
};
struct PortsRow {
    QByteArray name{};
    QList<PortBox> boxes{};
    QList<QStringList> runs{};       // one process each, all started at once; "@1".. the boxes' lines
    int rounds = 1;                  // the runs again after the first have ended: the logs keep both
    QList<int> exitCodes{};          // of each run
    QString out{};                   // all of the first run's standard output, a pattern
    QString err{};                   // found in the first run's standard error
    QStringList logs{};              // every log file left; "@1".. a box's own
};
Q_DECLARE_METATYPE(PortsRow)

void tst_e2e::ports_data()
{
    const QStringList update{"--batch", "-t", "UpdateHD", "-f", "hd.app", "-p"};
    const QStringList updateLog{"Updating Firmware: hd.app", "File sent. Wrote 4096 data", "Update done after # s", ""};
    const PortBox updated{.log = updateLog, .got = "@update"};
    const PortBox listed{.log = {"Downloading Channel list: out.lis", "Downloading done after # s", ""},
                         .got = "help\r\nchlist\r\n"};
    const PortBox interrupted{.fault = Fault::Interrupt, .exitCode = batchJob::Interrupted,
                              .log = {"Updating Firmware: hd.app", "File sent. Wrote 4096 data",
                                      "Job stopped: interrupted by SIGINT", ""}};
    const QString version = "V2.10.04 HD 2026-03-18";
    const QStringList download{"--batch", "-t", "GetListHD", "-p", "@1", "-p", "@2", "-f"};
    const auto savedAs = [](const QString &target, const QByteArray &asked) {
        return PortBox{.log = {"Downloading Channel list: " + target, "Downloading done after # s", ""},
                       .got = asked + "help\r\nchlist\r\n"};
    };
    const auto refused = [](const QString &why, int exitCode) {
        return PortBox{.exitCode = exitCode, .log = {why}, .got = "@none"};
    };
    const PortsRow rows[] = {
        // Downloads from several boxes: a file each, or none asked at all.
        {.name = "downloads into a folder", .boxes = {savedAs("./*.lis", ""), savedAs("./*.lis", "")},
         .runs = {download + QStringList{"."}}, .exitCodes = {0}, .logs = {"@1", "@2"}},
        {.name = "downloads named by port and MAC",
         .boxes = {savedAs("*-00-A1-B2-C3-D4-E5.lis", "get_mac\r\n"), savedAs("*-00-A1-B2-C3-D4-E5.lis", "get_mac\r\n")},
         .runs = {download + QStringList{"{port}-{mac}.lis"}}, .exitCodes = {0}, .logs = {"@1", "@2"}},
        {.name = "two ports, one target", .boxes = {refused("the ports * would both write *", 2), refused("*", 2)},
         .runs = {download + QStringList{"{date}.lis"}}, .exitCodes = {batchJob::Usage},
         .err = "^velmora: the ports @1 and @2 would both write [^\\n]+: put \\{port\\} in the name\\n", .logs = {"@1", "@2"}},
        {.name = "targets in a missing folder", .boxes = {refused("the list cannot be saved in *", 4), refused("*", 4)},
         .runs = {download + QStringList{"gone/{port}.lis"}}, .exitCodes = {batchJob::FileProblem}, .logs = {"@1", "@2"}},
        {.name = "two updates and a download at once", .boxes = {updated, updated, listed},
         .runs = {update + QStringList{"@1"}, update + QStringList{"@2"},
                  {"--batch", "-t", "GetListHD", "-f", "out.lis", "-p", "@3"}},
         .exitCodes = {0, 0, 0}, .err = "^Update done\\nvelmora: UpdateHD done \\(exit code 0\\)\\n\\z", .logs = {"@1", "@2", "@3"}},
        {.name = "a later run appends", .boxes = {updated}, .runs = {update + QStringList{"@1"}}, .rounds = 2,
         .exitCodes = {0}, .err = "^velmora: UpdateHD done \\(exit code 0\\)\\n\\z", .logs = {"@1"}},
        {.name = "two runs, one --log", .boxes = {updated, updated},
         .runs = {update + QStringList{"@1", "--log", "bench.log"}, update + QStringList{"@2", "--log", "bench.log"}},
         .exitCodes = {0, 0}, .err = "^velmora: UpdateHD done \\(exit code 0\\)\\n\\z", .logs = {"bench.log"}},
        {.name = "two ports, one run", .boxes = {updated, updated}, .runs = {update + QStringList{"@1", "-p", "@2"}},
         .exitCodes = {0}, .err = "^@1: \\d+%\\n[\\s\\S]*^port +result +time\\n@1 +done: Update done +[\\d.]+ s\\n@2 +done: Update done +",
         .logs = {"@1", "@2"}},
        {.name = "one port fails", .boxes = {updated, {.fault = Fault::Refuse, .exitCode = batchJob::BoxFailed,
                                                       .log = {"Updating Firmware: hd.app", ""}}},
         .runs = {update + QStringList{"@1", "-p", "@2"}}, .exitCodes = {batchJob::BoxFailed},
         .err = "^@2: Error while flashing the File\\n[\\s\\S]*^@1 +done: Update done +[\\d.]+ s\\n@2 +failed: Error while flashing the File +",
         .logs = {"@1", "@2"}},
        // The worst code wins, wherever its port stands.
        {.name = "first port fails", .boxes = {{.fault = Fault::Refuse, .exitCode = batchJob::BoxFailed,
                                                .log = {"Updating Firmware: hd.app", ""}}, updated},
         .runs = {update + QStringList{"@1", "-p", "@2"}}, .exitCodes = {batchJob::BoxFailed},
         .err = "^@1 +failed: Error while flashing the File +[\\d.]+ s\\n@2 +done: Update done +", .logs = {"@1", "@2"}},
        {.name = "query, two ports", .boxes = {{.log = {""}, .got = "swvers\r\n"}, {.log = {""}, .got = "swvers\r\n"}},
         .runs = {{"--query", "software", "-p", "@1", "-p", "@2"}}, .exitCodes = {0},
         .out = "@1\\t" + version + "\\n@2\\t" + version + "\\n", .logs = {"@1", "@2"}},
        {.name = "reset, two ports", .boxes = {{.log = {""}, .got = "facreset\r\n"}, {.log = {""}, .got = "facreset\r\n"}},
         .runs = {{"--factory-reset", "--yes", "-p", "@1", "-p", "@2"}}, .exitCodes = {0}, .logs = {"@1", "@2"}},
        {.name = "SIGINT stops both", .boxes = {interrupted, interrupted}, .runs = {update + QStringList{"@1", "-p", "@2"}},
         .exitCodes = {batchJob::Interrupted},
         .err = "^velmora: interrupted[\\s\\S]*^@1 +stopped: interrupted by SIGINT +[\\d.]+ s\\n@2 +stopped: interrupted by SIGINT +",
         .logs = {"@1", "@2"}},
    };
    QTest::addColumn<PortsRow>("row");
    for (const PortsRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

// Several boxes at once from one folder: each box gets its job, each run
// its exit code, and every port a whole log of its own runs.
void tst_e2e::ports()
{
    QFETCH(PortsRow, row);
    testRig rig;
    const QByteArray file = testRig::read(rig.sample("@hd=hd.app"));
    std::vector<std::unique_ptr<hdBox>> boxes;
    QStringList ports;
    for (const PortBox &box : row.boxes) {
        hdBox::Behaviour b;
        b.list = hdBox::sampleList(20);
        b.refuse = box.fault == Fault::Refuse;
        b.flashReply = box.fault != Fault::Interrupt;
        boxes.emplace_back(new hdBox(b));
        QVERIFY(boxes.back()->start());
        ports << boxes.back()->devicePath();
    }
    const auto place = [&](QString text) {
        for (int i = ports.size(); i >= 1; --i)
            text.replace("@" + QString::number(i), i <= ports.size() ? ports.at(i - 1) : QString());
        return text;
    };
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int round = 0; round < row.rounds; ++round) {
        runs.clear();
        for (const QStringList &args : row.runs) {
            runs.emplace_back(new QProcess);
            QStringList placed;
            for (const QString &arg : args)
                placed << place(arg);
            QVERIFY(rig.run(*runs.back(), placed, batchEnvironment()));
        }
        // Stopped once every box that hangs in its flash has the whole file.
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (row.boxes.at(int(i)).fault == Fault::Interrupt)
                QTRY_VERIFY_WITH_TIMEOUT(boxes.at(i)->file().size() == file.size(), 20000);
        if (row.exitCodes.contains(batchJob::Interrupted))
            for (const auto &run : runs)
                ::kill(pid_t(run->processId()), SIGINT);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            QVERIFY(runs.at(i)->waitForFinished(30000));
            QCOMPARE(runs.at(i)->exitStatus(), QProcess::NormalExit);
            QCOMPARE(runs.at(i)->exitCode(), row.exitCodes.at(int(i)));
        }
    }
    const QString output = QString::fromUtf8(runs.front()->readAllStandardOutput());
    const QString errors = QString::fromUtf8(runs.front()->readAllStandardError());
    QVERIFY2(QRegularExpression("\\A" + place(row.out) + "\\z").match(output).hasMatch(), qPrintable(output));
    QVERIFY2(QRegularExpression(place(row.err), QRegularExpression::MultilineOption).match(errors).hasMatch(), qPrintable(errors));

    QStringList logs;
    for (const QString &log : row.logs)
        logs << (log.startsWith('@') ? batchJob::logName(place(log)) : log);
    QCOMPARE(QDir(rig.dir.path()).entryList({"*.log"}, QDir::Files, QDir::Name), (logs.sort(), logs));
    QStringList lines;
    for (const QString &log : logs)
        lines << rig.programLog(log);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const PortBox &box = row.boxes.at(int(i));
        const QByteArray got = box.got == "@update" ? "r\r\nl\r\n" + file + "s\r\n" : box.got == "@none" ? "" : box.got;
        // A command the box need not answer may still wait in its line.
        if (!box.got.isEmpty())
            QTRY_VERIFY2_WITH_TIMEOUT(boxes.at(i)->received() == got.repeated(row.rounds),
                                      qPrintable(boxes.at(i)->devicePath()), 5000);
        // The port's lines: whole, and each round's from its header to its end.
        const QString tag = "[" + QFileInfo(ports.at(int(i))).fileName() + "] ";
        QStringList own;
        for (const QString &line : lines)
            if (line.startsWith(tag))
                own << line.mid(tag.size());
        QStringList expected;
        for (int round = 0; round < row.rounds; ++round)
            expected << "========== #-#-# #:#:# Velmora 3.0.0.8: * on " + ports.at(int(i)) + "*" << box.log
                     << QString("========== END: exit code %1, *").arg(box.exitCode);
        QVERIFY2(rig.logged(expected, own), qPrintable(own.join('\n')));
        QCOMPARE(own.filter(QRegularExpression("^========== ")).size(), 2 * row.rounds);
    }
    // No line cut, none mixed into another, none without its port.
    for (const QString &line : lines)
        QVERIFY2(QRegularExpression("^\\[[^\\]]+\\] (?!.*\\d\\d:\\d\\d:\\d\\d \\[)").match(line).hasMatch(), qPrintable(line));
}

struct SignalRow { QByteArray name{}; int signalNumber = 0; bool duringJob = false; };
Q_DECLARE_METATYPE(SignalRow)

void tst_e2e::closeSignals_data()
{
    QTest::addColumn<SignalRow>("row");
    const SignalRow rows[] = {{.name = "SIGTERM idle", .signalNumber = SIGTERM},
                              {.name = "SIGHUP idle", .signalNumber = SIGHUP},
                              {.name = "SIGINT during a job", .signalNumber = SIGINT, .duringJob = true},
                              {.name = "SIGHUP during a job", .signalNumber = SIGHUP, .duringJob = true}};
    for (const SignalRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

// Every close signal ends the program as a close of its window does: the
// settings written, a running job stopped at once, exit code 0.
void tst_e2e::closeSignals()
{
    QFETCH(SignalRow, row);
    const bool duringJob = row.duringJob;
    hdBox::Behaviour b;
    b.flashReply = false;   // the job waits 16 s for the flash
    testRig rig(b);
    const QByteArray file = testRig::image("00004023", 7000);
    QVERIFY(testRig::write(rig.path("in.bin"), file));
    QStringList args = {"-p", rig.device(), "-t", "UpdateHD", "-f", "in.bin"};
    if (duringJob)
        args << "-s";
    QVERIFY(rig.run(args));
    QVERIFY(rig.waitForLog(duringJob ? "File sent.*" : "Softwareversion*", 10000));
    QTest::qWait(300);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(rig.signal(row.signalNumber, 5000), 0);
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(rig.setting("Velmora/Transfer").toString(), QStringLiteral("UpdateHD"));
    QCOMPARE(rig.setting("Velmora/Filename").toString(), QStringLiteral("in.bin"));
    QCOMPARE(rig.programLog().contains("Job stopped: the window was closed"), duringJob);
    QVERIFY(rig.received() == (duringJob ? "r\r\nl\r\n" + file : QByteArray()));
}

void tst_e2e::signalsBecomeEvents()
{
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
        signalClose closer;
        QVERIFY(closer.isInstalled());
        QSignalSpy spy(&closer, &signalClose::closeRequested);
        QCOMPARE(::raise(number), 0);   // would end this program without the handler
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), number);
        // A burst before the loop runs is one close, not several.
        ::raise(number);
        ::raise(number);
        QTRY_COMPARE(spy.count(), 2);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 2);
    }
}

// A close from outside ends even the question a user's close is asking.
void tst_e2e::closeEndsTheQuestion()
{
    hdBox::Behaviour b;
    b.flashReply = false;   // the job waits for the flash
    testRig rig(b);
    const QByteArray file = testRig::image("00004023", 7000);
    QVERIFY(testRig::write(rig.path("in.bin"), file));
    testRig::setArguments({"-p", rig.device(), "-t", "UpdateHD", "-f", rig.path("in.bin"), "-s"});
    signalClose closer;
    MainWindow window(commandLine({"velmora", "-p", rig.device(), "-t", "UpdateHD", "-f", rig.path("in.bin"), "-s"}));
    connect(&closer, &signalClose::closeRequested, &window, &MainWindow::closeWithoutAsking);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.hd->file().size() == file.size(), 10000);
    QTRY_VERIFY(window.jobRunning());
    QString asked;
    QTimer::singleShot(300, [&] {
        if (auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            asked = question->text();
        ::raise(SIGTERM);
    });
    window.close();
    QVERIFY2(asked.startsWith("A transfer is running."), qPrintable(asked));
    QTRY_VERIFY(!window.isVisible());
    QTRY_VERIFY(!window.jobs().threadsBusy());
    QCOMPARE(window.lastResult().outcome, jobResult::Stopped);
    QTRY_VERIFY(!window.jobRunning());
    QTest::qWait(200);
    QVERIFY2(!QApplication::activeModalWidget(), "a message box opened after the close");
    QVERIFY(rig.received() == "r\r\nl\r\n" + file);
}

int main(int argc, char **argv)
{
    testRig::setArguments({});
    QApplication app(testRig::argc, testRig::argv);
    app.setQuitOnLastWindowClosed(false);
    tst_e2e test;
    return QTest::qExec(&test, argc, argv);
}

// How every failure that the links know ends, as the job layer reports it to
// both front ends: outcome, cause, remedy, the box's state and the exit code.
// The runner runs in process against a simulated box, windows scaled down.
struct ResultRow {
    QByteArray name{};
    std::function<testRig *()> box{};   // the box on the far side, with its fault
    jobKind::Kind kind = jobKind::UpdateHD;
    QString file{};                      // in the rig's folder
    QString port{};                      // empty: the box's line
    std::function<QString(testRig &)> line{};   // where given: the port it makes, a serial server's
    bool verify = false;
    int stopAt = -1;                     // Stop is pressed when this code comes
    double scale = 0.05;                 // of the link's windows
    jobResult::Outcome outcome = jobResult::Failed;
    linkCause::Kind cause = linkCause::None;
    QString says{};                      // a pattern the cause's words match
    jobResult::BoxState state = jobResult::Untouched;
    int exitCode = jobResult::ExitBox;
    // The job's file afterwards, from what it held before (an old list in
    // every download's place).
    std::function<QByteArray(const QByteArray &)> fileAfter = [](const QByteArray &before) { return before; };
};
Q_DECLARE_METATYPE(ResultRow)

static std::function<testRig *()> hdWith(const std::function<void(hdBox::Behaviour &)> &fault)
{
    return [fault] {
        hdBox::Behaviour b;
        b.list = hdBox::sampleList(20);
        fault(b);
        return new testRig(b);
    };
}

static std::function<testRig *()> sdWith(const std::function<void(sdBox::Config &)> &fault)
{
    return [fault] {
        sdBox::Config c;
        fault(c);
        return new testRig(c);
    };
}

void tst_e2e::results_data()
{
    const auto healthy = [](auto &) {};
    const auto hdList = [](const QByteArray &) { return hdBox::sampleList(20); };
    const auto sdList = [](const QByteArray &) { return sdBox::plausibleList(); };
    const auto keep = [](hdBox::Behaviour &b) { b.keepList = true; };
    const ResultRow rows[] = {
        {.name = "HD update done", .box = hdWith(healthy), .file = "hd.app", .outcome = jobResult::Done,
         .state = jobResult::Updated, .exitCode = jobResult::ExitDone},
        {.name = "HD download done", .box = hdWith(healthy), .kind = jobKind::GetListHD, .file = "out.lis",
         .outcome = jobResult::Done, .state = jobResult::ListSaved, .exitCode = jobResult::ExitDone, .fileAfter = hdList},
        // A verified download is read until two reads agree, and only the agreed list is saved.
        {.name = "HD download verified", .box = hdWith(healthy), .kind = jobKind::GetListHD, .file = "out.lis",
         .verify = true, .outcome = jobResult::Done, .state = jobResult::ListSaved, .exitCode = jobResult::ExitDone,
         .fileAfter = hdList},
        {.name = "HD download, first read noisy", .box = hdWith([](hdBox::Behaviour &b) { b.noisyReads = {1}; }),
         .kind = jobKind::GetListHD, .file = "out.lis", .verify = true, .outcome = jobResult::Done,
         .state = jobResult::ListSaved, .exitCode = jobResult::ExitDone, .fileAfter = hdList},
        {.name = "HD download, second read noisy", .box = hdWith([](hdBox::Behaviour &b) { b.noisyReads = {2}; }),
         .kind = jobKind::GetListHD, .file = "out.lis", .verify = true, .outcome = jobResult::Done,
         .state = jobResult::ListSaved, .exitCode = jobResult::ExitDone, .fileAfter = hdList},
        {.name = "HD download, every read noisy", .box = hdWith([](hdBox::Behaviour &b) { b.noisyReads = {1, 2, 3}; }),
         .kind = jobKind::GetListHD, .file = "out.lis", .verify = true, .cause = linkCause::ListReadsDiffer,
         .says = "the last two differ at offset 102, 103$", .state = jobResult::OldListKept},
        {.name = "HD download, line goes in the second read",
         .box = hdWith([](hdBox::Behaviour &b) { b.cutInList = 500; b.cutInRead = 2; }), .kind = jobKind::GetListHD,
         .file = "out.lis", .verify = true, .cause = linkCause::LineGone, .state = jobResult::OldListKept},
        {.name = "SD download, first read noisy", .box = sdWith([](sdBox::Config &c) { c.noisyReads = {1}; }),
         .kind = jobKind::GetListSD, .file = "out.lst", .verify = true, .outcome = jobResult::Done,
         .state = jobResult::ListSaved, .exitCode = jobResult::ExitDone, .fileAfter = sdList},
        {.name = "SD download, second read noisy", .box = sdWith([](sdBox::Config &c) { c.noisyReads = {2}; }),
         .kind = jobKind::GetListSD, .file = "out.lst", .verify = true, .outcome = jobResult::Done,
         .state = jobResult::ListSaved, .exitCode = jobResult::ExitDone, .fileAfter = sdList},
        {.name = "SD download, every read noisy", .box = sdWith([](sdBox::Config &c) { c.noisyReads = {1, 2, 3}; }),
         .kind = jobKind::GetListSD, .file = "out.lst", .verify = true, .cause = linkCause::ListReadsDiffer,
         .state = jobResult::OldListKept},
        {.name = "SD download, line goes in the second read",
         .box = sdWith([](sdBox::Config &c) { c.cutListAfter = 500; c.cutInRead = 2; }), .kind = jobKind::GetListSD,
         .file = "out.lst", .verify = true, .cause = linkCause::LineGone, .state = jobResult::OldListKept},
        {.name = "port missing", .box = hdWith(healthy), .file = "hd.app", .port = "/dev/ttyNOPE9",
         .cause = linkCause::PortMissing, .says = "^the port /dev/ttyNOPE9 could not be opened: No such file or directory$",
         .exitCode = jobResult::ExitPort},
        {.name = "port name too long", .box = hdWith(healthy), .file = "hd.app", .port = QString(300, 'a'),
         .cause = linkCause::PortNameTooLong,
         .says = "^the port's name is too long: 300 bytes, where a port's name has at most 250$", .exitCode = jobResult::ExitPort},
        {.name = "nothing listens at a network port", .box = hdWith(healthy), .file = "hd.app",
         .port = "socket://127.0.0.1:1", .cause = linkCause::ServerUnreachable,
         .says = "^the port socket://127.0.0.1:1 could not be opened: connection refused", .exitCode = jobResult::ExitPort},
        // Serial servers: a lost connection, a server on other settings, one
        // that cannot open its device and says so in place of the box.
        {.name = "connection to the serial server closed while sending",
         .box = hdWith([](hdBox::Behaviour &b) { b.lineRate = true; }), .file = "big.app",
         .line = [](testRig &r) { const QString p = r.port(testRig::Line::Socket); r.killServerAfter(3000); return p; },
         .cause = linkCause::ConnectionGone, .says = "^the connection to the serial server was closed: ",
         .state = jobResult::HalfUpdated},
        {.name = "serial server sets 9600 baud", .box = hdWith(healthy), .file = "hd.app",
         .line = [](testRig &r) { return r.scriptedServer(testRig::comPortServer(9600)); }, .cause = linkCause::ServerSettings,
         .says = "^the port rfc2217://127.0.0.1:\\d+ could not be opened: the serial server set 9600 baud, not 115200$",
         .exitCode = jobResult::ExitPort},
        {.name = "serial server cannot open its device, socket", .box = hdWith(healthy), .file = "hd.app",
         .line = [](testRig &r) { return r.serve(false, "/dev/ttyNOPE42"); }, .cause = linkCause::ServerDevice,
         .says = "^the serial server cannot open its device: Device open failure", .exitCode = jobResult::ExitPort},
        {.name = "serial server cannot open its device, rfc2217", .box = hdWith(healthy), .kind = jobKind::GetListHD,
         .file = "out.lis", .line = [](testRig &r) { return r.serve(true, "/dev/ttyNOPE42"); }, .cause = linkCause::ServerDevice,
         .says = "^the serial server cannot open its device: Device open failure", .exitCode = jobResult::ExitPort},
        {.name = "file missing", .box = hdWith(healthy), .file = "gone.app", .cause = linkCause::FileMissing,
         .says = "^the file .*gone.app does not exist$", .exitCode = jobResult::ExitFile},
        {.name = "HD wrong kind", .box = hdWith(healthy), .file = "hd.lis", .cause = linkCause::FileWrongKind,
         .says = "hd.lis is an HD channel list; this job needs an HD update file \\(\\*.app\\)$", .exitCode = jobResult::ExitFile},
        // A file of the other family is named as what it is.
        {.name = "HD update of an SD image", .box = hdWith(healthy), .file = "sd.app", .cause = linkCause::FileWrongKind,
         .says = "^\\S*sd.app is an SD update image; this job needs an HD update file \\(\\*.app\\)$", .exitCode = jobResult::ExitFile},
        {.name = "HD silent", .box = hdWith([](hdBox::Behaviour &b) { b.silent = true; }), .file = "hd.app",
         .cause = linkCause::BoxSilent, .says = "^the box did not answer within \\d+ s$"},
        {.name = "HD refuses the file", .box = hdWith([](hdBox::Behaviour &b) { b.refuse = true; }), .file = "hd.app",
         .cause = linkCause::BoxRefused, .says = "^the box refused: \"wrong\"$", .state = jobResult::HalfUpdated},
        {.name = "HD line cut while sending", .box = hdWith([](hdBox::Behaviour &b) { b.cutAfter = 3000; }),
         .file = "hd.app", .cause = linkCause::LineGone, .says = "^the serial line went: ", .state = jobResult::HalfUpdated},
        {.name = "HD stops reading", .box = hdWith([](hdBox::Behaviour &b) { b.stopReadingAfter = 3000; }),
         .file = "big.app", .cause = linkCause::LineStalled, .says = "^the box stopped taking the file$",
         .state = jobResult::HalfUpdated},
        {.name = "HD never finishes", .box = hdWith([](hdBox::Behaviour &b) { b.finReply = false; }), .file = "hd.app",
         .cause = linkCause::BoxSilent, .state = jobResult::HalfUpdated},
        {.name = "HD list without markers", .box = hdWith([](hdBox::Behaviour &b) { b.listMarkers = false; }),
         .kind = jobKind::GetListHD, .file = "out.lis", .cause = linkCause::ListNotFound, .state = jobResult::OldListKept},
        {.name = "HD list never ends", .box = hdWith([](hdBox::Behaviour &b) { b.flood = 20000; }),
         .kind = jobKind::GetListHD, .file = "out.lis", .cause = linkCause::ListUnfinished, .state = jobResult::OldListKept},
        {.name = "HD line cut in the list", .box = hdWith([](hdBox::Behaviour &b) { b.cutInList = 500; }),
         .kind = jobKind::GetListHD, .file = "out.lis", .cause = linkCause::LineGone, .state = jobResult::OldListKept},
        {.name = "HD empty list", .box = hdWith([](hdBox::Behaviour &b) { b.list.clear(); }), .kind = jobKind::GetListHD,
         .file = "out.lis", .cause = linkCause::ListEmpty, .state = jobResult::OldListKept},
        {.name = "HD list not written", .box = hdWith(healthy), .kind = jobKind::GetListHD, .file = "no/such/out.lis",
         .cause = linkCause::FileNotWritten, .says = "^the list could not be written to .*out.lis: \\S",
         .state = jobResult::OldListKept, .exitCode = jobResult::ExitFile},
        {.name = "HD verified", .box = hdWith(keep), .kind = jobKind::SendListHD, .file = "hd.lis", .verify = true,
         .outcome = jobResult::Done, .state = jobResult::Updated, .exitCode = jobResult::ExitDone},
        {.name = "HD verify, a byte changed",
         .box = hdWith([](hdBox::Behaviour &b) { b.keepList = true; b.storeFlipAt = 100; }), .kind = jobKind::SendListHD,
         .file = "hd.lis", .verify = true, .cause = linkCause::ListDiffers, .says = "at offset 100 ",
         .state = jobResult::HalfUpdated},
        {.name = "HD verify, stored shorter",
         .box = hdWith([](hdBox::Behaviour &b) { b.keepList = true; b.storeLengthChange = -10; }),
         .kind = jobKind::SendListHD, .file = "hd.lis", .verify = true, .cause = linkCause::ListDiffers,
         .says = "the box \\d+ bytes$", .state = jobResult::HalfUpdated},
        {.name = "HD verify, stored longer",
         .box = hdWith([](hdBox::Behaviour &b) { b.keepList = true; b.storeLengthChange = 10; }),
         .kind = jobKind::SendListHD, .file = "hd.lis", .verify = true, .cause = linkCause::ListDiffers,
         .state = jobResult::HalfUpdated},
        {.name = "HD verify, console dead",
         .box = hdWith([](hdBox::Behaviour &b) { b.keepList = true; b.consoleDead = true; }),
         .kind = jobKind::SendListHD, .file = "hd.lis", .verify = true, .cause = linkCause::ConsoleSilent,
         .state = jobResult::Updated},
        // A silent box holds the restart for its whole window: Stop comes within it.
        {.name = "HD stopped before the load", .box = hdWith([](hdBox::Behaviour &b) { b.silent = true; }),
         .file = "hd.app", .stopAt = hdCode::Restarting, .scale = 1, .outcome = jobResult::Stopped, .says = "^the job was stopped: Stop was pressed$", .exitCode = jobResult::ExitStopped},
        {.name = "HD stopped while sending", .box = hdWith([](hdBox::Behaviour &b) { b.lineRate = true; }),
         .file = "big.app", .stopAt = hdCode::SendingFile, .outcome = jobResult::Stopped, .state = jobResult::HalfUpdated,
         .exitCode = jobResult::ExitStopped},
        {.name = "SD update done", .box = sdWith(healthy), .kind = jobKind::UpdateSD, .file = "sd.app",
         .outcome = jobResult::Done, .state = jobResult::Updated, .exitCode = jobResult::ExitDone},
        {.name = "SD too old", .box = sdWith([](sdBox::Config &c) { c.sucLine = "SUC (StartUpControl)1.6"; }),
         .kind = jobKind::UpdateSD, .file = "sd.app", .cause = linkCause::BoxTooOld,
         .says = "too old: \"SUC \\(StartUpControl\\)1.6\""},
        {.name = "SD refuses the file", .box = sdWith([](sdBox::Config &c) { c.refuse = true; }), .kind = jobKind::UpdateSD,
         .file = "sd.app", .cause = linkCause::BoxRefused, .state = jobResult::HalfUpdated},
        {.name = "SD silent", .box = sdWith([](sdBox::Config &c) { c.silent = true; }), .kind = jobKind::GetListSD,
         .file = "out.lst", .cause = linkCause::BoxSilent, .state = jobResult::OldListKept},
        {.name = "SD wrong kind", .box = sdWith(healthy), .kind = jobKind::UpdateSD, .file = "sd.lst",
         .cause = linkCause::FileWrongKind, .says = "sd.lst is an SD channel list; this job needs SD update images",
         .exitCode = jobResult::ExitFile},
        {.name = "SD update of an HD file", .box = sdWith(healthy), .kind = jobKind::UpdateSD, .file = "hd.app",
         .cause = linkCause::FileWrongKind, .says = "hd.app is an HD update file; this job needs SD update images",
         .exitCode = jobResult::ExitFile},
        {.name = "SD list upload of an HD list", .box = sdWith(healthy), .kind = jobKind::SendListSD, .file = "hd.lis",
         .cause = linkCause::FileWrongKind, .says = "hd.lis is an HD channel list; this job needs an SD channel list",
         .exitCode = jobResult::ExitFile},
        {.name = "SD list never ends", .box = sdWith([](sdBox::Config &c) { c.omitEndUpload = true; }),
         .kind = jobKind::GetListSD, .file = "out.lst", .cause = linkCause::ListUnfinished, .state = jobResult::OldListKept},
        {.name = "SD start answered otherwise", .box = sdWith([](sdBox::Config &c) { c.startFails = true; }),
         .kind = jobKind::GetListSD, .file = "out.lst", .cause = linkCause::BoxSaid, .says = "^the box answered \"",
         .state = jobResult::ListSaved, .fileAfter = sdList},
        {.name = "SD line cut while sending", .box = sdWith([](sdBox::Config &c) { c.cutAfter = 3000; }),
         .kind = jobKind::UpdateSD, .file = "sd.app", .cause = linkCause::LineGone, .state = jobResult::HalfUpdated},
    };
    QTest::addColumn<ResultRow>("row");
    for (const ResultRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_e2e::results()
{
    QFETCH(ResultRow, row);
    linkClock::setScale(row.scale);
    std::unique_ptr<testRig> rig(row.box());
    rig->samples({"@hd=hd.app", "@hdList=hd.lis", "@sd2=sd.app", "@sdList=sd.lst"});
    // More than a pseudo-terminal's buffers hold, so that a box that stops
    // reading stalls the send.
    QVERIFY(testRig::write(rig->path("big.app"), hdBox::sampleUpdate(256 * 1024)));
    for (const char *list : {"out.lis", "out.lst"})
        QVERIFY(testRig::write(rig->path(list), "the old list"));
    const QByteArray before = testRig::read(rig->path(row.file));
    jobRunner runner(logfile::Target{.path = rig->path("run.log")}, {});
    runner.setPortname(row.line ? row.line(*rig) : row.port.isEmpty() ? rig->device() : row.port);
    std::optional<jobResult> result;
    connect(&runner, &jobRunner::statusCode, &runner, [&](int code) {
        if (code == row.stopAt)
            runner.stop(jobResult::StopPressed);
    });
    connect(&runner, &jobRunner::jobFinished, &runner, [&](const jobResult &r) { result = r; });
    jobRequest request;
    request.kind = row.kind;
    request.files = jobFiles({rig->path(row.file)});
    request.verify = row.verify;
    QVERIFY(runner.start(request));
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 30000);
    linkClock::setScale(1.0);
    QCOMPARE(result->outcome, row.outcome);
    QCOMPARE(int(result->cause.kind), int(row.cause));
    QCOMPARE(result->box, row.state);
    QCOMPARE(result->exitCode(), row.exitCode);
    QVERIFY2(QRegularExpression(row.says).match(result->causeText()).hasMatch(), qPrintable(result->causeText()));
    // A failure always says what to do and what the box was left as; a done
    // or stopped job gives no remedy.
    QCOMPARE(result->remedy().isEmpty(), result->outcome != jobResult::Failed);
    QVERIFY(!result->boxText().isEmpty());
    QVERIFY(!result->headline().isEmpty());
    QVERIFY(testRig::read(rig->path(row.file)) == row.fileAfter(before));
}

// A job asked for just as the thread of the one before ends waits for that
// end and runs in a thread started anew, with its own result. It is asked
// for once that thread has truly ended but before the runner has heard of
// it: a job handed to the old thread's loop could not show the restart.
void tst_e2e::requestWhileThreadEnds()
{
    hdBox::Behaviour b;
    b.list = hdBox::sampleList(20);
    testRig rig(b);
    rig.samples({"@hd=hd.app"});
    jobRunner runner(logfile::Target{.path = rig.path("run.log")}, {});
    runner.setPortname(rig.device());
    jobRequest update;
    update.kind = jobKind::UpdateHD;
    update.files = jobFiles({rig.path("hd.app")});
    jobRequest download;
    download.kind = jobKind::GetListHD;
    download.files = jobFiles({rig.path("out.lis")});
    QList<jobResult> results;
    int endings = 0;
    connect(&runner, &jobRunner::jobFinished, &runner, [&](const jobResult &r) { results << r; });
    bool ended = false;
    connect(&runner, &jobRunner::linkThreadEnding, &runner, [&] {
        if (endings++ != 0)
            return;
        // Without events: the runner learns of the end only after this returns.
        QDeadlineTimer deadline(10000);
        while (runner.linkThreadRuns() && !deadline.hasExpired())
            QThread::yieldCurrentThread();
        ended = !runner.linkThreadRuns();
        runner.start(download);
    });
    QVERIFY(runner.start(update));
    QTRY_COMPARE_WITH_TIMEOUT(results.size(), 2, 30000);
    QVERIFY(ended);
    QCOMPARE(endings, 2);
    QCOMPARE(results.at(0).job, jobKind::UpdateHD);
    QCOMPARE(results.at(1).job, jobKind::GetListHD);
    QVERIFY(results.at(0).done() && results.at(1).done());
    QCOMPARE(testRig::read(rig.path("out.lis")), b.list);
    QTRY_VERIFY(!runner.threadsBusy());
}

// The program's ends as a shell gives them: a pipe that closes early, a
// terminal without a type, a standard output on a full disk. "@velmora" and
// "@port" stand for the program and the box's line.
struct ShellRow {
    QByteArray name{};
    QString command{};
    int exitCode = 0;
    QString out{};            // a pattern found in what the command printed
    QString absent{};         // a pattern that must not be found there
    QString logEnd{};         // the port log's last line; empty: no log
};
Q_DECLARE_METATYPE(ShellRow)

// Said by a row's command where it cannot make what it needs.
static const QString noNamespace = QStringLiteral("no namespace to mount in");

void tst_e2e::shell_data()
{
    const QString update = "@velmora --batch -p @port -t UpdateHD -f hd.app";
    const ShellRow rows[] = {
        // head ends after a line: the job must not die of SIGPIPE half way.
        {.name = "stderr closed by head", .command = update + " 2>&1 | head -n 1; exit ${PIPESTATUS[0]}",
         .out = "^Updating the Firmware\\n\\z", .logEnd = "========== END: exit code 0, done: Update done =========="},
        {.name = "no terminal type", .command = "TERM=dumb script -qec '" + update + "' /dev/null",
         .out = "Update done", .absent = "\\x1b", .logEnd = "========== END: exit code 0, *"},
        {.name = "a terminal draws its bar", .command = "TERM=xterm script -qec '" + update + "' /dev/null",
         .out = "\\x1b\\[\\d+A", .logEnd = "========== END: exit code 0, *"},
        {.name = "answer onto a full disk", .command = "@velmora --query mac -p @port >/dev/full",
         .exitCode = batchJob::FileProblem,
         // The last line comes once the lost answer has settled the exit code.
         .out = "^velmora: the answer could not be written to standard output\\nvelmora: --query mac failed \\(exit code 4\\)\\n\\z",
         .logEnd = "========== END: exit code 4, 00-A1-B2-C3-D4-E5; the answer could not be written to standard output =========="},
        // The simulated box refuses a reply to a command it does not know.
        {.name = "simulated box, unknown reply key", .command = "timeout 5 @hdbox --reply mac=00-11 </dev/null",
         .exitCode = 2, .out = "^velmora-hdbox: --reply mac=00-11: unknown command; the service commands are get_mac, lpsw, swvers\\n"},
        // Qt cannot hold such a name: a download would write under other
        // bytes, an upload look for a file that is not there.
        {.name = "download to a name not in UTF-8",
         .command = "LC_ALL=C.UTF-8 @velmora --batch -p @port -t GetListHD -f $'Liste-\\xe4.lis'; s=$?; ls; exit $s",
         .exitCode = batchJob::FileProblem,
         .out = "^velmora: the name Liste-\\\\xE4.lis is not valid in the system's encoding \\(UTF-8\\)",
         .absent = "\\x{fffd}", .logEnd = "========== END: exit code 4, the name Liste-\\xE4.lis *"},
        // The window refuses the name as a batch run does, before the box is
        // asked; a close signal ends it once its log says so.
        {.name = "window download to a name not in UTF-8",
         .command = "LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen @velmora -p @port -t GetListHD -f $'Liste-\\xe4.lis' -s & p=$!; "
                    "for i in $(seq 200); do grep -q 'Not started' velmora.log 2>/dev/null && break; sleep 0.05; done; "
                    "kill -TERM $p; wait $p; s=$?; cat velmora.log; ls; exit $s",
         .out = "^[\\d:]+ Not started: the name Liste-\\\\xE4.lis is not valid in the system's encoding \\(UTF-8\\): it would be "
                "read or written under other bytes$",
         .absent = "\\x{fffd}"},
        // A read-only medium is no matter of permissions: the system's reason.
        {.name = "download onto a read-only medium",
         .command = "mkdir ro && unshare -rm bash -c 'mount --bind ro ro && mount -o remount,bind,ro ro "
                    "|| { echo " + noNamespace + "; exit 0; }; exec @velmora --batch -p @port -t GetListHD -f ro/list.lis'",
         .exitCode = batchJob::FileProblem,
         .out = "^velmora: the list cannot be saved in [^\\n]*/ro: Read-only file system\\n",
         .logEnd = "========== END: exit code 4, *Read-only file system*"},
        {.name = "upload of a name not in UTF-8",
         .command = "cp hd.lis $'Senden-\\xe4.lis' && LC_ALL=C.UTF-8 @velmora --batch -p @port -t SendListHD -f $'Senden-\\xe4.lis'",
         .exitCode = batchJob::FileProblem, .out = "^velmora: the name Senden-\\\\xE4.lis is not valid", .absent = "does not exist",
         .logEnd = "========== END: exit code 4, *"},
    };
    QTest::addColumn<ShellRow>("row");
    for (const ShellRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_e2e::shell()
{
    QFETCH(ShellRow, row);
    hdBox::Behaviour b;
    b.lineRate = true;   // long enough a send that the pipe is gone before it ends
    testRig rig(b);
    rig.samples({"@hd=hd.app", "@hdList=hd.lis"});
    QProcess shell;
    shell.setWorkingDirectory(rig.dir.path());
    shell.setProcessEnvironment(batchEnvironment());
    shell.setProcessChannelMode(QProcess::MergedChannels);
    shell.start("bash", {"-c", QString(row.command).replace("@velmora", VELMORA_PROGRAM).replace("@hdbox", HDBOX_PROGRAM)
                                   .replace("@port", rig.device())});
    QVERIFY(shell.waitForFinished(60000));
    const QString output = QString::fromUtf8(shell.readAll());
    if (output.startsWith(noNamespace))
        QSKIP("no user and mount namespace here: a read-only mount cannot be made");
    QCOMPARE(shell.exitCode(), row.exitCode);
    QVERIFY2(QRegularExpression(row.out, QRegularExpression::MultilineOption).match(output).hasMatch(), qPrintable(output));
    QVERIFY2(row.absent.isEmpty() || !QRegularExpression(row.absent).match(output).hasMatch(), qPrintable(output));
    const QStringList log = rig.programLog(batchJob::logName(rig.device()));
    // No log end asked: the program was not run.
    QVERIFY2(row.logEnd.isEmpty() ? log.isEmpty() : !log.isEmpty() && testRig::matches(log.last(), "[*] " + row.logEnd),
             qPrintable(log.join('\n')));
}

// A network port and a local one in one run: each box gets its update, each
// port its own log, named by host and port for the network one.
void tst_e2e::networkAndLocalPorts()
{
    testRig served{hdBox::Behaviour()};
    testRig local{hdBox::Behaviour()};
    const QByteArray update = testRig::read(local.sample("@hd=hd.app"));
    const QString network = served.port(testRig::Line::Rfc2217);
    QVERIFY(!network.isEmpty());
    QVERIFY(local.run({"--batch", "-t", "UpdateHD", "-f", "hd.app", "-p", network, "-p", local.device()}, batchEnvironment()));
    QVERIFY(local.program.waitForFinished(60000));
    const QString errors = QString::fromUtf8(local.program.readAllStandardError());
    QCOMPARE(local.program.exitCode(), 0);
    QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(network) + " +done: Update done +[\\d.]+ s\\n" +
                                QRegularExpression::escape(local.device()) + " +done: Update done ",
                                QRegularExpression::MultilineOption)
                 .match(errors)
                 .hasMatch(),
             qPrintable(errors));
    QVERIFY(served.hd->file() == update && local.hd->file() == update);
    for (const QString &port : {network, local.device()}) {
        const QStringList log = local.programLog(batchJob::logName(port));
        QVERIFY2(!log.isEmpty() && testRig::matches(log.last(), "[*] ========== END: exit code 0, *"), qPrintable(port));
    }
}

// Windows and batch runs started in one folder: none empties or writes into
// the log that another holds; a later window takes the log again once it is free.
void tst_e2e::instancesInOneFolder()
{
    testRig rig{hdBox::Behaviour()};
    const QStringList startLines{"---------- START ----------", "Softwareversion: 3.0.0.8"};
    // The first window downloads the list and stays open.
    QVERIFY(rig.run({"-p", rig.device(), "-t", "GetListHD", "-f", "out.lis", "-s"}));
    QVERIFY(QTest::qWaitFor([&] { const QStringList l = rig.programLog(); return l.size() > 2 && l.last().isEmpty(); }, 30000));
    const QStringList first = rig.programLog();
    // A second window, and a batch run that appends to the same log.
    QProcess second, batch;
    QVERIFY(rig.run(second, {"-p", rig.device()}));
    const QString own = QStringLiteral("velmora-%1.log").arg(second.processId());
    QVERIFY(QTest::qWaitFor([&] { return rig.programLog(own).size() == 3; }, 10000));
    QCOMPARE(rig.programLog(own), startLines + QStringList{"velmora.log is written by another instance: this window logs here"});
    QVERIFY(rig.run(batch, {"--query", "software", "-p", rig.device(), "--log", "velmora.log"}, batchEnvironment()));
    QVERIFY(batch.waitForFinished(30000));
    QCOMPARE(batch.exitCode(), 0);
    // The first window's lines are all there, the batch run's whole behind them, each naming its port.
    const QStringList shared = rig.programLog();
    QCOMPARE(shared.mid(0, first.size()), first);
    const QString tag = "[" + QFileInfo(rig.device()).fileName() + "] ";
    QVERIFY2(shared.size() > first.size() + 2 && shared.mid(first.size()).filter(QRegularExpression("^(?!" + QRegularExpression::escape(tag) + ")")).isEmpty(),
             qPrintable(shared.join('\n')));
    // Once the first window has closed, the next one empties the log again.
    QCOMPARE(rig.signal(SIGTERM), 0);
    second.terminate();
    QVERIFY(second.waitForFinished(10000));
    QVERIFY(rig.run({"-p", rig.device()}));
    QVERIFY(QTest::qWaitFor([&] { return rig.programLog() == startLines; }, 10000));
    QCOMPARE(rig.signal(SIGTERM), 0);
}

#include "e2e.moc"
