// What only the whole program shows: the six jobs run from its command line
// against the simulated boxes, with the log, the files and settings.ini it
// leaves; batch mode; the close signals, from outside and inside the process.
#include "batchjob.h"
#include "jobkind.h"
#include "mainwindow.h"
#include "signalclose.h"
#include "testrig.h"

#include <QApplication>
#include <QtTest>

#include <csignal>
#include <optional>

class tst_e2e : public QObject
{
    Q_OBJECT
private slots:
    void jobs_data();
    void jobs();
    void batch_data();
    void batch();
    void closeSignals_data();
    void closeSignals();
    void signalsBecomeEvents();
    void closeEndsTheQuestion();
};

// Started from a terminal, or from the desktop entry (--desktop) with the XDG
// folders named, or with only a home folder.
enum class Places { WorkingDir, Xdg, Home };
const char *const placeNames[] = {"", " from the desktop", " from the desktop, no XDG folders named"};

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
        {.name = "GetListHD", .sent = "help\r\nchlist\r\n", .log = {"Start found", "Downloading done after 0 s"},
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
        QTest::addRow("%s%s%s", r.name.constData(), placeNames[int(r.places)],
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
        const bool xdg = row.places == Places::Xdg;
        if (xdg) {
            env.insert("XDG_CONFIG_HOME", rig->path("config"));
            env.insert("XDG_STATE_HOME", rig->path("state"));
        }
        rig->settingsName = xdg ? "config/velmora/settings.ini" : "home/.config/velmora/settings.ini";
        rig->logName = xdg ? "state/velmora/velmora.log" : "home/.local/state/velmora/velmora.log";
        args.prepend("--desktop");
    }
    bool started = false;
    testRig::withFileLimit(row.fileLimit, [&] { started = rig->run(args, env); });
    QVERIFY(started);
    // A job's end leaves an empty line after the two start lines.
    QVERIFY2(QTest::qWaitFor([&] { const QStringList l = rig->programLog(); return l.size() > 2 && l.last().isEmpty(); },
                             30000), qPrintable(rig->programLog().join('\n')));
    QCOMPARE(rig->signal(SIGTERM), 0);

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
}

enum class Box { None, HD, SD };
// How the box misbehaves; Interrupt: SIGINT while it flashes. KeepList: it
// keeps a list it loads, ChangedByte: with one byte changed.
enum class Fault { None, Silent, Refuse, NoStart, Interrupt, KeepList, ChangedByte };
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
};
Q_DECLARE_METATYPE(BatchRow)

void tst_e2e::batch_data()
{
    const QString done = QStringLiteral("^done\\n\\z");
    const QStringList updateHd{"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app"};
    const BatchRow rows[] = {
        {.name = "UpdateHD", .args = updateHd, .err = "^\\d+%\\n[^%]*^Update done\\n" + done},
        {.name = "SendListHD, by content", .args = {"--batch", "-p", "@port", "hd.lis"}, .err = "^Listupload done\\n" + done},
        {.name = "GetListHD", .args = {"--batch", "-p", "@port", "-t", "GetListHD", "-f", "out.lis"},
         .err = "^Listdownload complete\\n" + done, .got = "help\r\nchlist\r\n"},
        {.name = "UpdateSD", .box = Box::SD, .args = {"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "sd.app", "sd.app"},
         .err = "^\\d+%\\n[^%]*^Update done\\n" + done},
        {.name = "GetListSD, German", .box = Box::SD,
         .args = {"--batch", "-p", "@port", "-t", "GetListSD", "-f", "out.lst"}, .german = "de_DE.UTF-8",
         .err = "^Herunterladen der Liste abgeschlossen\\nerledigt\\n\\z", .got = "100\r\n500\r\n300\r\n"},
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
         .err = "^Listupload done\\n[\\s\\S]*^Channel list differs from the file\\n" + done},
        {.name = "SendListSD, verified", .box = Box::SD, .fault = Fault::KeepList,
         .args = {"--batch", "-p", "@port", "-t", "SendListSD", "-f", "sd.lst", "--verify"},
         .err = "^Listupload done\\n[\\s\\S]*^Channel list verified\\n" + done},
        {.name = "verify with an update", .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app", "--verify"},
         .exitCode = batchJob::Usage, .err = "--verify goes only with SendListHD or SendListSD", .got = ""},

        {.name = "no port", .box = Box::None, .args = {"--batch", "-t", "UpdateHD", "-f", "hd.app"},
         .exitCode = batchJob::Usage, .err = "no port given"},
        {.name = "unknown keyword", .args = {"--batch", "-p", "@port", "-t", "UpdateHd", "-f", "hd.app"},
         .exitCode = batchJob::Usage, .err = "unknown option or job: UpdateHd", .got = ""},
        {.name = "no job", .args = {"--batch", "-p", "@port", "text.txt"}, .exitCode = batchJob::Usage,
         .err = "no job given", .got = ""},
        {.name = "port gone", .box = Box::None, .args = {"--batch", "-p", "/dev/ttyNOPE7", "-t", "GetListSD", "-f", "out.lst"},
         .exitCode = batchJob::PortFailed, .err = "^Couldn't open COM-Port\\n" + done},
        {.name = "file missing", .args = {"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "gone.app"},
         .exitCode = batchJob::FileProblem, .err = "^Couldn't open the File\\n" + done, .got = ""},
        {.name = "wrong kind", .box = Box::SD, .args = {"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "sd.lst"},
         .exitCode = batchJob::FileProblem, .err = "^Wrong Filetype detected!\\n" + done, .got = ""},
        {.name = "name with LF", .box = Box::SD, .args = {"--batch", "-p", "@port", "-t", "GetListSD", "-f", "keep\nnew.lst"},
         .exitCode = batchJob::FileProblem, .err = "line feed refused: keep\\\\nnew.lst", .got = ""},
        {.name = "box refuses", .fault = Fault::Refuse, .args = updateHd, .exitCode = batchJob::BoxFailed,
         .err = "^Error while flashing the File\\n" + done},
        {.name = "box silent", .box = Box::SD, .fault = Fault::Silent,
         .args = {"--batch", "-p", "@port", "-t", "GetListSD", "-f", "out.lst"}, .exitCode = batchJob::BoxFailed,
         .err = "^Error while opening the LoadMenu\\n" + done, .got = "100\r\n100\r\n"},
        {.name = "SIGINT", .fault = Fault::Interrupt, .args = updateHd, .exitCode = batchJob::Interrupted,
         .err = "^velmora: interrupted"},

        {.name = "software", .args = {"--query", "software", "-p", "@port"}, .out = "V2.10.04 HD 2026-03-18\\n",
         .err = done, .got = "swvers\r\n"},
        {.name = "lowpower", .args = {"--query", "lowpower", "-p", "@port"}, .out = "1.07\\n", .err = done,
         .got = "lpsw\r\n"},
        {.name = "mac", .args = {"--query", "mac", "-p", "@port"}, .out = "00-A1-B2-C3-D4-E5\\n", .err = done,
         .got = "get_mac\r\n"},
        {.name = "query, box silent", .fault = Fault::Silent, .args = {"--query", "lowpower", "-p", "@port"},
         .exitCode = batchJob::BoxFailed, .err = "^Couldn't receive Data\\n" + done},
        {.name = "unknown query", .args = {"--query", "serial", "-p", "@port"}, .exitCode = batchJob::Usage,
         .err = "unknown query: serial", .got = ""},
        {.name = "reset without --yes", .args = {"--factory-reset", "-p", "@port"}, .exitCode = batchJob::Usage,
         .err = "Add --yes", .got = ""},
        {.name = "reset", .args = {"--factory-reset", "--yes", "-p", "@port"}, .err = done, .got = "facreset\r\n"}};
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
    sdBox::Config c;
    c.silent = row.fault == Fault::Silent;
    c.startFails = row.fault == Fault::NoStart;
    c.keepList = row.fault == Fault::KeepList;
    std::unique_ptr<testRig> rig(row.box == Box::HD ? new testRig(b) : row.box == Box::SD ? new testRig(c) : new testRig);
    rig->samples({"@hd=hd.app", "@hdList=hd.lis", "@sd2=sd.app", "@sdList=sd.lst", "@text=text.txt"});
    // No display at all, and English unless a row asks otherwise.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
        env.remove(name);
    env.insert("LC_ALL", row.german.isEmpty() ? "C" : row.german);
    QVERIFY(rig->run(row.args.replaceInStrings(QRegularExpression("^@port$"), rig->device()), env));
    if (row.fault == Fault::Interrupt) {
        QVERIFY(rig->waitForLog("File sent.*", 10000));
        ::kill(pid_t(rig->program.processId()), SIGINT);
    }
    QVERIFY(rig->program.waitForFinished(30000));
    const QString output = QString::fromUtf8(rig->program.readAllStandardOutput());
    const QString errors = QString::fromUtf8(rig->program.readAllStandardError());
    QCOMPARE(rig->program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(rig->program.exitCode(), row.exitCode);
    QVERIFY2(QRegularExpression("\\A" + row.out + "\\z").match(output).hasMatch(), qPrintable(output));
    QVERIFY2(QRegularExpression(row.err, QRegularExpression::MultilineOption).match(errors).hasMatch(), qPrintable(errors));
    // A pipe gets plain lines, no bar drawn over itself.
    QVERIFY(!errors.contains('\r') && !errors.contains('\x1b'));
    if (row.got)
        QCOMPARE(rig->received(), *row.got);
    QVERIFY(!QFile::exists(rig->path("settings.ini")));
    QCOMPARE(rig->programLog().mid(0, 2), QStringList({"---------- START ----------", "Softwareversion: 3.0.0.8"}));
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
    MainWindow window;
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
    QVERIFY(window.linkHD().stopRequested());
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

#include "e2e.moc"
