// The fault matrix, run by the real program: each fault must end in its
// message, a free line, a program that closes at once and no file lost.

#include "e2erig.h"
#include "hdbox.h"
#include "sdbox.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

enum FileKind { Bytes, Directory, Sparse };

struct faultCase
{
    const char *name;
    const char *job;
    std::function<void(hdBox::Behaviour &)> hd;
    std::function<void(sdBox::Config &)> sd;
    QByteArray file;            // the job's file; for a download, what lies there before
    FileKind kind = Bytes;
    QString fileName = QStringLiteral("in.bin");
    QString stopAfter;          // empty: the job ends by itself; else SIGTERM once this log line is there
    int stopDelayMs = 0;        // ... and this much later
    int withinMs = 15000;       // the job's end (or the line to stop at) must come this soon
    QStringList logHas;         // log lines, by prefix, in this order
    std::function<void(const QByteArray &received, const QStringList &log)> check;
};

const QByteArray oldList = "an older list that a failed download must not destroy";
const QString stopped = QStringLiteral("Job stopped: the window was closed");

std::vector<faultCase> cases()
{
    const QByteArray hdUpdate = patterned(70000, "00004023");
    const QByteArray hdList = hdBox::sampleList();
    const QByteArray sdUpdate = patterned(60000, "00000907");
    const QByteArray sdList = patterned(30000, "00000a07");
    const auto onlyCommands = [](const QByteArray &expected) {
        return [expected](const QByteArray &received, const QStringList &) {
            QVERIFY2(received == expected, received.left(200).constData());
        };
    };
    std::vector<faultCase> c;
    // ---- HD box faults, one per step
    c.push_back({"hd silent at restart", "UpdateHD", [](hdBox::Behaviour &b) { b.silent = true; }, {},
                 hdUpdate, Bytes, "in.bin", {}, 0, 8000,
                 {"Updating Firmware: in.bin", "Error while restarting: \"\" (timeout)"},
                 [](const QByteArray &r, const QStringList &) {
                     QVERIFY(r.startsWith("r\r\n"));
                     QVERIFY2(QByteArray(r).replace("r\r\n", "").isEmpty(), "more than restarts sent to a silent box");
                 }});
    c.push_back({"hd silent at load menu", "UpdateHD", [](hdBox::Behaviour &b) { b.ignoreLoad = 1000; }, {},
                 hdUpdate, Bytes, "in.bin", {}, 0, 15000,
                 {"Restarting done: ", "Error while opening LoadMenu "}, {}});
    c.push_back({"hd silent at binary mode", "UpdateHD", [](hdBox::Behaviour &b) { b.binaryMode = false; }, {},
                 hdUpdate, Bytes, "in.bin", {}, 0, 15000,
                 // The announcement is only waited for: the file goes out after its window.
                 {"LoadMenu open ", "Ready to send file \"\" (timeout)", "File sent. Wrote 70000 data", "Update done after"}, {}});
    c.push_back({"hd silent at flashing", "UpdateHD", [](hdBox::Behaviour &b) { b.flashReply = false; }, {},
                 hdUpdate, Bytes, "in.bin", "File sent.", 1500, 10000, {"File sent. Wrote 70000 data", stopped},
                 [hdUpdate](const QByteArray &r, const QStringList &) {
                     QVERIFY2(r == "r\r\nl\r\n" + hdUpdate, "a command after the stop");
                 }});
    c.push_back({"hd silent at finish", "SendListHD", [](hdBox::Behaviour &b) { b.finReply = false; }, {},
                 hdList, Bytes, "in.lis", "Flashing done", 1500, 10000, {"Flashing done: ", stopped}, {}});
    c.push_back({"hd refuses the file", "UpdateHD", [](hdBox::Behaviour &b) { b.refuse = true; }, {},
                 hdUpdate, Bytes, "in.bin", {}, 0, 15000, {"File sent.", "Error flashing file: \"wrong\""}, {}});
    c.push_back({"hd garbage before replies", "UpdateHD", [](hdBox::Behaviour &b) { b.garbage = QByteArray("\x01\xfe\x7fzz#", 6); }, {},
                 hdUpdate, Bytes, "in.bin", {}, 0, 40000,
                 {"Restarting done: ", "LoadMenu open ", "File sent. Wrote 70000 data", "Update done after"}, onlyCommands("r\r\nl\r\n" + hdUpdate + "s\r\n")});
    // Reading through 100000 bytes of noise may outlast one load-menu attempt,
    // so "l" may go out more than once; everything else is exact.
    c.push_back({"hd endless line", "UpdateHD", [](hdBox::Behaviour &b) { b.longLine = 100000; }, {},
                 hdUpdate, Bytes, "in.bin", {}, 0, 40000,
                 {"Restarting done: ", "LoadMenu open ", "File sent. Wrote 70000 data", "Update done after"},
                 [hdUpdate](const QByteArray &r, const QStringList &) {
                     QVERIFY2(r.startsWith("r\r\nl\r\n") && r.endsWith(hdUpdate + "s\r\n"), r.left(200).constData());
                     const QByteArray loads = r.mid(3, r.size() - 3 - hdUpdate.size() - 3);
                     QVERIFY2(!loads.isEmpty() && loads.size() <= 30 && loads == QByteArray("l\r\n").repeated(loads.size() / 3),
                              loads.left(60).constData());
                 }});
    c.push_back({"hd line cut during update", "UpdateHD", [](hdBox::Behaviour &b) { b.cutAfter = 20000; }, {},
                 hdUpdate, Bytes, "in.bin", {}, 0, 15000, {"Ready to send file \"binary mode\"", "Error writing data to Port"},
                 [](const QByteArray &r, const QStringList &) {
                     QVERIFY(r.startsWith("r\r\nl\r\n"));
                     QVERIFY2(r.size() < 6 + 70000 && !r.endsWith("s\r\n"), "went on after the cut");
                 }});
    c.push_back({"hd line cut during list download", "GetListHD",
                 [](hdBox::Behaviour &b) { b.list = hdBox::sampleList(200); b.cutInList = 3000; }, {},
                 oldList, Bytes, "out.lis", {}, 0, 15000, {"Downloading Channel list: out.lis", "Start found", "Error: the serial line is gone"},
                 onlyCommands("help\r\nchlist\r\n")});
    c.push_back({"hd list without end", "GetListHD", [](hdBox::Behaviour &b) { b.flood = 9 * 1024 * 1024; }, {},
                 oldList, Bytes, "out.lis", {}, 0, 15000, {"Start found", "Channel list too long"}, {}});
    // ---- HD files
    c.push_back({"hd update empty", "UpdateHD", {}, {}, QByteArray(), Bytes, "in.bin", {}, 0, 5000,
                 {"Updating Firmware: in.bin", "Checked FiletypeHD: unknown( in.bin)"}, onlyCommands({})});
    c.push_back({"hd update directory", "UpdateHD", {}, {}, QByteArray(), Directory, "in.bin", {}, 0, 5000,
                 {"Updating Firmware: in.bin", "Checked FiletypeHD: cannot read in.bin: "}, onlyCommands({})});
    c.push_back({"hd update short", "UpdateHD", {}, {}, hdUpdate.left(19), Bytes, "in.bin", {}, 0, 5000,
                 {"Updating Firmware: in.bin", "Checked FiletypeHD: unknown("}, onlyCommands({})});
    c.push_back({"hd list too big", "SendListHD", {}, {}, patterned(409601, "00003040"), Bytes, "in.lis", {}, 0, 5000,
                 {"Uploading Channel list: in.lis", "Checked FiletypeHD: unknown(00003040 in.lis)"}, onlyCommands({})});
    c.push_back({"hd list name with spaces and umlauts", "SendListHD", {}, {}, hdList, Bytes,
                 QStringLiteral("Kanäle für Öl.lis"), {}, 0, 15000,
                 {QStringLiteral("Uploading Channel list: Kanäle für Öl.lis"), "File sent. Wrote 3864 data",
                  "Uploading done after"},
                 onlyCommands("r\r\nl\r\n" + hdList + "s\r\n")});
    c.push_back({"hd huge update, window closed mid-transfer", "UpdateHD", {}, {}, QByteArray(), Sparse, "big.bin",
                 "Ready to send file", 300, 10000, {"Ready to send file ", stopped},
                 [](const QByteArray &r, const QStringList &) {
                     QVERIFY2(r.size() < 50 * 1024 * 1024, "the whole file went out after the stop");
                     QVERIFY(!r.endsWith("s\r\n"));
                 }});
    c.push_back({"hd huge update sent whole", "UpdateHD", {}, {}, QByteArray(), Sparse, "big.bin", {}, 0, 60000,
                 {"Ready to send file ", "File sent. Wrote 52428800 data", "Update done after"},
                 [](const QByteArray &r, const QStringList &) {
                     QCOMPARE(r.size(), 6 + 50 * 1024 * 1024 + 3);
                     QVERIFY(r.mid(6, 4096) == patterned(4096, "00004023"));
                     QVERIFY(r.mid(6 + 4096, 50 * 1024 * 1024 - 4096) == QByteArray(50 * 1024 * 1024 - 4096, '\0'));
                 }});
    c.push_back({"hd window closed during list download", "GetListHD",
                 [](hdBox::Behaviour &b) { b.list = hdBox::sampleList(200); b.listSplits = {2000}; b.splitPauseMs = 20000; }, {},
                 oldList, Bytes, "out.lis", "Start found", 500, 10000, {"Start found", stopped}, onlyCommands("help\r\nchlist\r\n")});
    // ---- SD box faults
    c.push_back({"sd silent", "UpdateSD", {}, [](sdBox::Config &s) { s.silent = true; },
                 sdUpdate, Bytes, "in.bin", {}, 0, 20000, {"Updating Firmware", "Checking SUC", "Error while opening LoadMenu \"\""},
                 [](const QByteArray &r, const QStringList &) {
                     QVERIFY(r.startsWith("100\r\n"));
                     QVERIFY2(QByteArray(r).replace("100\r\n", "").isEmpty(), "more than the menu asked of a silent box");
                 }});
    c.push_back({"sd silent after the load menu", "UpdateSD", {}, [](sdBox::Config &s) { s.ignore = {2, 3, 4, 5, 6, 7, 8}; },
                 sdUpdate, Bytes, "in.bin", {}, 0, 20000, {"LoadMenu open: ", "Error initializing upload: "}, {}});
    c.push_back({"sd babble before replies", "SendListSD", {}, [](sdBox::Config &s) { s.garbage = 5000; },
                 sdList, Bytes, "in.lst", {}, 0, 40000,
                 {"LoadMenu open: ", "File sent. Wrote 30000 data", "Uploading done after"},
                 onlyCommands("100\r\n100\r\n" + sdList + "300\r\n")});
    c.push_back({"sd line cut during update", "UpdateSD", {}, [](sdBox::Config &s) { s.cutAfter = 20000; },
                 sdUpdate, Bytes, "in.bin", {}, 0, 15000, {"Sending file in.bin", "Error writing data to Port"},
                 [](const QByteArray &r, const QStringList &) { QVERIFY(!r.contains("300")); }});
    c.push_back({"sd line cut during list download", "GetListSD", {}, [](sdBox::Config &s) { s.cutListAfter = 50000; },
                 oldList, Bytes, "out.lst", {}, 0, 8000, {"Downloading Channel list", "Error: the serial line is gone"}, {}});
    c.push_back({"sd window closed waiting for the verdict", "UpdateSD", {}, [](sdBox::Config &s) { s.finishSilent = true; },
                 sdUpdate, Bytes, "in.bin", "Waiting til STB finishes", 1000, 10000, {"File sent.", stopped},
                 [sdUpdate](const QByteArray &r, const QStringList &) {
                     QVERIFY2(r == "100\r\n100\r\n" + sdUpdate, "a command after the stop");
                 }});
    c.push_back({"sd window closed during list upload", "SendListSD", {}, [](sdBox::Config &s) { s.finishSilent = true; },
                 sdList, Bytes, "in.lst", "Waiting til STB finishes", 1000, 10000, {"File sent.", stopped}, {}});
    c.push_back({"sd window closed during list download", "GetListSD", {}, [](sdBox::Config &s) { s.startUploadDelayMs = 20000; },
                 oldList, Bytes, "out.lst", "Download initialized", 1000, 10000, {"Download initialized", stopped}, {}});
    // ---- SD files
    c.push_back({"sd update empty", "UpdateSD", {}, {}, QByteArray(), Bytes, "in.bin", {}, 0, 5000,
                 {"Updating Firmware", "Checked FiletypeSD: unknown( in.bin)"}, onlyCommands({})});
    c.push_back({"sd update directory", "UpdateSD", {}, {}, QByteArray(), Directory, "in.bin", {}, 0, 5000,
                 {"Updating Firmware", "Checked FiletypeSD: cannot read in.bin: "}, onlyCommands({})});
    c.push_back({"sd update short", "UpdateSD", {}, {}, sdUpdate.left(19), Bytes, "in.bin", {}, 0, 5000,
                 {"Updating Firmware", "Checked FiletypeSD: unknown("}, onlyCommands({})});
    c.push_back({"sd list empty", "SendListSD", {}, {}, QByteArray(), Bytes, "in.lst", {}, 0, 5000,
                 {"Uploading Channel list", "Checked FiletypeSD: unknown( in.lst)"}, onlyCommands({})});
    c.push_back({"sd update name with spaces and umlauts", "UpdateSD", {}, {}, sdUpdate, Bytes,
                 QStringLiteral("Ä neue Version ß.app"), {}, 0, 15000,
                 {QStringLiteral("Sending file Ä neue Version ß.app"), "File sent. Wrote 60000 data", "Update done after"},
                 onlyCommands("100\r\n100\r\n" + sdUpdate + "300\r\n")});
    return c;
}

} // namespace

class tst_e2efaults : public QObject
{
    Q_OBJECT
private slots:
    void faults_data();
    void faults();
    void portHeldByAnotherProgram();
    void unwritableWorkingDirectory();
    void unreadableFile();
};

void tst_e2efaults::faults_data()
{
    QTest::addColumn<int>("index");
    const auto all = cases();
    for (int i = 0; i < int(all.size()); ++i)
        QTest::newRow(all[size_t(i)].name) << i;
}

void tst_e2efaults::faults()
{
    QFETCH(int, index);
    const faultCase fc = cases()[size_t(index)];
    const QString job = QLatin1String(fc.job);
    const bool hd = job.endsWith(QLatin1String("HD"));
    const bool download = job.startsWith(QLatin1String("GetList"));

    std::unique_ptr<hdBox> hdb;
    std::unique_ptr<sdBox> sdb;
    QString device;
    bool cut = false;   // a cut line takes its device with it
    if (hd) {
        hdBox::Behaviour b;
        if (fc.hd)
            fc.hd(b);
        cut = b.cutAfter >= 0 || b.cutInList >= 0;
        hdb.reset(new hdBox(b));
        QVERIFY(hdb->start());
        device = hdb->devicePath();
    } else {
        sdBox::Config s;
        if (fc.sd)
            fc.sd(s);
        cut = s.cutAfter >= 0 || s.cutListAfter >= 0;
        sdb.reset(new sdBox(s));
        QVERIFY(sdb->start());
        device = sdb->devicePath();
    }

    velmoraRun run;
    if (fc.kind == Directory) {
        QVERIFY(QDir(run.path({})).mkdir(fc.fileName));
    } else if (fc.kind == Sparse) {
        // 50 MB, nearly all hole: only the head with the update signature is real.
        QVERIFY(run.write(fc.fileName, patterned(4096, "00004023")));
        QVERIFY(::truncate(QFile::encodeName(run.path(fc.fileName)).constData(), 50 * 1024 * 1024) == 0);
    } else {
        QVERIFY(run.write(fc.fileName, fc.file));
    }

    QElapsedTimer clock;
    clock.start();
    QVERIFY(run.start({"-p", device, "-t", job, "-f", fc.fileName, "-s"}));
    if (fc.stopAfter.isEmpty()) {
        QVERIFY2(run.waitForJobEnd(fc.withinMs), qPrintable(run.log().join('\n')));
        QVERIFY2(!holdsDevice(run.m_proc.processId(), device), "the port is still open after the job");
        if (!cut)
            QVERIFY2(lineFree(device), "the line is still held after the job");
        QCOMPARE(run.terminate(), 0);
    } else {
        QVERIFY2(run.waitForLogLine(fc.stopAfter, fc.withinMs), qPrintable(run.log().join('\n')));
        QTest::qWait(fc.stopDelayMs);
        QCOMPARE(run.terminate(), 0);
        // The job stops at its next wait, which is at most a slice of a window.
        QVERIFY2(run.tookMs < 3000, qPrintable(QString::number(run.tookMs)));
        if (!cut)
            QVERIFY2(lineFree(device), "the line is still held after the close");
    }
    QVERIFY2(clock.elapsed() < fc.withinMs + fc.stopDelayMs + 5000, qPrintable(QString::number(clock.elapsed())));

    const QStringList log = run.log();
    int at = 0;
    for (const QString &prefix : fc.logHas) {
        while (at < log.size() && !log.at(at).startsWith(prefix))
            ++at;
        QVERIFY2(at < log.size(), qPrintable(QStringLiteral("no \"%1\" in order in:\n%2").arg(prefix, log.join('\n'))));
        ++at;
    }
    // No file lost: what was sent is untouched, and a failed or stopped
    // download leaves the older list as it was.
    if (fc.kind == Bytes && (!download || !fc.logHas.contains(QStringLiteral("Downloading done after"))))
        QVERIFY2(run.read(fc.fileName) == fc.file, "the job's file changed");
    QCOMPARE(run.setting("Velmora/Transfer").toString(), job);
    if (fc.check)
        fc.check(hd ? hdb->received() : sdb->received(), log);
}

void tst_e2efaults::portHeldByAnotherProgram()
{
    hdBox box;
    QVERIFY(box.start());
    QSerialPort holder;
    holder.setPortName(box.devicePath());
    QVERIFY(holder.open(QIODevice::ReadWrite));

    velmoraRun run;
    const QByteArray file = patterned(70000, "00004023");
    QVERIFY(run.write("in.bin", file));
    QVERIFY(run.start({"-p", box.devicePath(), "-t", "UpdateHD", "-f", "in.bin", "-s"}));
    QVERIFY2(run.waitForJobEnd(5000), qPrintable(run.log().join('\n')));
    QCOMPARE(run.terminate(), 0);
    const QStringList log = run.log();
    QVERIFY2(log.size() > 3 && log.at(2).startsWith("Error: open Port: "), qPrintable(log.join('\n')));
    QVERIFY(box.received().isEmpty());
    holder.close();

    // Released by its holder, the same line serves the next run.
    velmoraRun again;
    QVERIFY(again.write("in.bin", file));
    QVERIFY(again.start({"-p", box.devicePath(), "-t", "UpdateHD", "-f", "in.bin", "-s"}));
    QVERIFY2(again.waitForJobEnd(15000), qPrintable(again.log().join('\n')));
    QCOMPARE(again.terminate(), 0);
    QVERIFY(again.log().contains("Update done after # s"));
    QVERIFY(box.file() == file);
}

void tst_e2efaults::unwritableWorkingDirectory()
{
    sdBox box;
    QVERIFY(box.start());
    velmoraRun run;
    // A log that cannot be written: the name is taken by a directory.
    QVERIFY(QDir(run.path({})).mkdir("velmora.log"));
    const QByteArray file = patterned(30000, "00000a07");
    QVERIFY(run.write("in.lst", file));
    QVERIFY(run.start({"-p", box.devicePath(), "-t", "SendListSD", "-f", "in.lst", "-s"}));
    QVERIFY(run.waitFor([&] { return box.received().endsWith("300\r\n"); }, 15000));
    QTest::qWait(300);
    QVERIFY(lineFree(box.devicePath()));
    QCOMPARE(run.terminate(), 0);
    QVERIFY(box.files() == QList<QByteArray>{file});
    QVERIFY(QFileInfo(run.path("velmora.log")).isDir());
    QCOMPARE(run.setting("Velmora/Transfer").toString(), QStringLiteral("SendListSD"));
}

void tst_e2efaults::unreadableFile()
{
    if (::geteuid() == 0)
        QSKIP("root reads a file of mode 000; the directory rows cover a file that cannot be read");
    hdBox box;
    QVERIFY(box.start());
    velmoraRun run;
    QVERIFY(run.write("in.bin", patterned(70000, "00004023")));
    QVERIFY(QFile::setPermissions(run.path("in.bin"), QFileDevice::Permissions()));
    QVERIFY(run.start({"-p", box.devicePath(), "-t", "UpdateHD", "-f", "in.bin", "-s"}));
    QVERIFY(run.waitForJobEnd(5000));
    QCOMPARE(run.terminate(), 0);
    QVERIFY2(run.log().value(3).startsWith("Checked FiletypeHD: cannot read in.bin: "), qPrintable(run.log().join('\n')));
    QVERIFY(box.received().isEmpty());
}

QTEST_GUILESS_MAIN(tst_e2efaults)
#include "e2efaults.moc"
