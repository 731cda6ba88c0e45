// The SD link against the simulated SD box: one table of jobs with each step's
// attempts, the StartUpControl test, verdicts, markers, failed downloads and
// windows; for both families file kinds, block tiers, stopping, port errors.
#include "linkclock.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"
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
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Check)

namespace {
const Codes updateOk{0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 13, 16, 1};
const Codes downloadOk{0, 2, 7, 8, 19, 20, 3, 2, 4, 12, 13, 5, 1};
const Codes uploadOk{0, 6, 7, 8, 17, 18, 9, 10, 11, 12, 13, 14, 1};
const Commands updateCommands{"100", "100", "300"}, downloadCommands{"100", "500", "300"};
const QByteArray oldList("an older list that must survive");

Fault ignoring(QSet<int> numbers)
{
    return [numbers](sdBox::Config &c) { c.ignore = numbers; };
}
Fault answer(const QByteArray &command, const QList<sdBox::Piece> &pieces)
{
    return [=](sdBox::Config &c) { c.replies.insert(command, pieces); };
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
    QString file(const char *signature, int size)
    {
        const QString path = m_dir.filePath(QStringLiteral("file%1.bin").arg(++m_files));
        testRig::write(path, testRig::image(signature, size));
        return path;
    }
    QTemporaryDir m_dir;
    int m_files = 0;
};

void tst_sdjobs::jobs_data()
{
    QTest::addColumn<char>("job");          // u update, g download, s upload
    QTest::addColumn<QString>("files");     // download: the target; no name: no port
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<double>("scale");
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<Commands>("commands");
    QTest::addColumn<QStringList>("lines"); // log lines in this order
    QTest::addColumn<QString>("absent");    // a text no log line may hold
    QTest::addColumn<QByteArray>("saved");  // download: the file afterwards; null: as before
    QTest::addColumn<QList<int>>("window"); // {from code, to code, ms at full length}
    QTest::addColumn<Check>("check");
    QTest::addColumn<qint64>("fileLimit");  // the largest file the job may write; -1: any
    QTest::addColumn<bool>("locked");       // the job's folder takes no new file
    QTest::addColumn<bool>("relay");        // the link reaches the box through socat

    const QString img = file("00000907", 300), list = file("00000a07", 300), dl = m_dir.filePath("down.lst");
    const Fault healthy = [](sdBox::Config &) {};
    auto suc = [](const QByteArray &version, const QByteArray &menu = "Upload Ch_Data") {
        return Fault([=](sdBox::Config &c) { c.sucLine = version; c.menuLine = menu; });
    };
    auto flag = [](bool sdBox::Config::*member) { return Fault([=](sdBox::Config &c) { c.*member = true; }); };
    auto add = [](const char *name, char job, const QString &files, Fault f, double scale, const Codes &codes,
                  const Commands &commands, const QStringList &lines = {}, const QString &absent = {},
                  const QByteArray &saved = {}, const QList<int> &window = {}, Check check = nullptr,
                  qint64 limit = -1, bool locked = false, bool relay = false) {
        QTest::newRow(name) << job << files << f << scale << codes << commands << lines << absent << saved << window
                            << check << limit << locked << relay;
    };
    const Codes tooOld{0, 15, 7, 33, 1}, refusedUpdate{0, 15, 32, 1}, refusedUpload{0, 6, 32, 1};
    const Codes noList{0, 2, 7, 8, 19, 20, 3, 24, 1};
    const QString gone = "Error: the serial line is gone (device unplugged or cable pulled): *";
    const QString unknown = file("01020304", 300), sd3 = file("00000d07", 100000), sd4 = file("00501c00", 400000);
    const QStringList many = QVector<QString>(256, img).toList();

    // A good update, its whole log; then each step's two attempts and windows.
    add("update", 'u', img, healthy, 0.2, updateOk, updateCommands,
        {"Updating Firmware", "Checking SUC", "StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\"",
         "LoadMenu open: \"Upload Ch_Data\"", "Upload initialized: \"binary mode\"", "Sending file " + img,
         "File sent. Wrote 300 data", "Waiting til STB finishes", "Finished: \"ready\"",
         "Starting done: \"Press any key !!\"", "Update done after 0 s"});
    add("load menu, second try", 'u', img, ignoring({1}), 0.2, updateOk, {"100", "100", "100", "300"});
    add("no box at full length", 'g', dl, flag(&sdBox::Config::silent), 1, {0, 2, 7, 31, 1}, {"100", "100"},
        {"Error while opening LoadMenu \"\""}, {}, {}, {7, 31, 2 * (3 * 70 + 500)});
    add("binary mode, second try", 'u', img, ignoring({2}), 0.2, updateOk, {"100", "100", "100", "300"},
        {"Upload initialized: \"binary mode\""});
    add("binary mode fails", 'u', img, ignoring({2, 3}), 0.5, {0, 15, 7, 8, 17, 23, 1}, {"100", "100", "100"},
        {"Error initializing upload: \"\""}, {}, {}, {17, 23, 2 * (3 * 70 + 500)});
    add("start, second try", 'u', img, ignoring({3}), 0.2, updateOk, {"100", "100", "300", "300"});
    add("start fails, update still done", 'u', img, ignoring({3, 4}), 0.1,
        {0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 29, 16, 1}, {"100", "100", "300", "300"}, {"Starting: \"\""}, {}, {},
        {12, 29, 2 * (3 * 70 + 5000 + 10)});
    // The menu ends the start's attempt at once; the next follows after 10 ms.
    add("start sees the menu again", 'u', img, flag(&sdBox::Config::startFails), 1,
        {0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 29, 16, 1}, {"100", "100", "300", "300"}, {"Starting: \"Upload Ch_Data\""},
        {}, {}, {}, gap(15, 10));
    // The box may take seconds to start; the commands go out byte by byte,
    // 70 ms apart, the line end at once.
    add("slow start at full length", 'u', img, answer("300", {{1500, "Press any key !!\r\n"}}), 1, updateOk,
        updateCommands, {}, {}, {}, {}, [](const testRig &rig) {
            // Summed over the three commands: a box read that comes late
            // shortens one gap and lengthens the next, so only the sum says
            // how long the pauses were.
            const QList<qint64> times = rig.sd->commandByteTimes();
            QCOMPARE(times.size(), 15);
            qint64 paced = 0;
            for (int c = 0; c < 3; ++c) {
                paced += times[c * 5 + 3] - times[c * 5];
                QVERIFY(times[c * 5 + 4] - times[c * 5 + 3] < 35);
            }
            QVERIFY2(paced >= 9 * 70 - 90 && paced < 9 * 70 + 600, qPrintable(QString::number(paced)));
        });
    add("download", 'g', dl, healthy, 0.2, downloadOk, downloadCommands,
        {"Downloading Channel list", "Checking SUC", "StartUpControll found, should be ok! *",
         "LoadMenu open: \"Upload Ch_Data\"", "Download initialized: \"Get EEprom Header\"", "Saving List to " + dl,
         "Downloading Channel list", "End of List found", "Downloading Channel list done",
         "Starting done: \"Press any key !!\"", "Downloading done after 0 s"},
        {}, sdBox::plausibleList());
    add("list request, second try", 'g', dl, ignoring({2}), 0.2, downloadOk, {"100", "500", "500", "300"});
    add("list request fails", 'g', dl, ignoring({2, 3}), 1, {0, 2, 7, 8, 19, 30, 1}, {"100", "500", "500"},
        {"Error while initializing the Download: \"\""}, {}, {}, {19, 30, 2 * (3 * 70 + 200 + 10)},
        gap(10, 200 + 10 - 4)); // the box may read the byte before it a moment late
    add("no start after download", 'g', dl, ignoring({3, 4}), 0.2, {0, 2, 7, 8, 19, 20, 3, 2, 4, 12, 29, 1},
        {"100", "500", "300", "300"}, {"Downloading Channel list done"}, "Downloading done", sdBox::plausibleList());

    // The StartUpControl test: 1.7 and later versions of it only.
    add("SUC 1.75", 'u', img, suc("SUC (StartUpControl)1.75"), 0.2, updateOk, updateCommands,
        {"StartUpControll found, should be ok! \"SUC (StartUpControl)1.75\""});
    add("SUC 1.6", 'u', img, suc("SUC (StartUpControl)1.6"), 0.2, tooOld, {"100"},
        {"StartUpControll to old! \"SUC (StartUpControl)1.6\""}, "Error while opening");
    add("SUC 1.8", 'u', img, suc("SUC (StartUpControl)1.8"), 0.2, tooOld, {"100"}, {}, "Error while opening");
    add("no SUC line", 'u', img, suc(""), 0.2, updateOk, updateCommands, {}, "StartUpControll");
    add("menu and old SUC in one line", 'u', img, suc("", "Upload Ch_Data SUC (StartUpControl)1.6"), 0.2, updateOk,
        updateCommands, {"LoadMenu open: \"Upload Ch_Data SUC (StartUpControl)1.6\""}, "StartUpControll");
    // The markers are case-sensitive, "successful" holds no "SUC".
    add("successful is no SUC", 'u', img, suc("successful"), 0.2, updateOk, updateCommands, {}, "StartUpControll");
    add("menu in lower case", 'u', img, suc("", "upload ch_data"), 0.2, {0, 15, 7, 31, 1}, {"100", "100"},
        {"Error while opening LoadMenu \"binary mode\""});
    add("start reply in lower case", 'u', img, answer("300", {{0, "press any key !!\r\n"}}), 0.2,
        {0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 29, 16, 1}, {"100", "100", "300", "300"});
    // The box's verdict after a file.
    add("Write and ready in one line", 'u', img, flag(&sdBox::Config::writeReadyOneLine), 0.2, updateOk,
        updateCommands, {"Finished: \"Write done, ready\""});
    add("ready alone: refused", 'u', img, flag(&sdBox::Config::refuse), 0.2,
        {0, 15, 7, 8, 17, 18, 9, 10, 11, 28, 12, 13, 1}, updateCommands, {"Error Finishing: \"ready\""});
    add("READY is no ready", 'u', img, [](sdBox::Config &c) { c.ready = "READY"; }, 0.05,
        {0, 15, 7, 8, 17, 18, 9, 10, 11, 27, 12, 13, 1}, updateCommands, {"Error finishing: \"READY\""});
    add("no verdict", 'u', img, flag(&sdBox::Config::finishSilent), 0.05,
        {0, 15, 7, 8, 17, 18, 9, 10, 11, 27, 12, 13, 1}, updateCommands, {"Error finishing: \"\""}, {}, {},
        {11, 27, 30000});
    add("upload refused", 's', list, flag(&sdBox::Config::refuse), 0.2, {0, 6, 7, 8, 17, 18, 9, 10, 11, 28, 12, 13, 1},
        updateCommands, {}, "Uploading done");
    // Each line is tested on its own; a line without its end counts as one.
    add("marker over two lines", 'u', img, answer("300", {{0, "Press any\r\n"}, {0, " key !!\r\n"}}), 0.2,
        {0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 29, 16, 1}, {"100", "100", "300", "300"});
    add("menu without line end", 'g', dl, answer("100", {{0, "Upload Ch_Data"}}), 0.2, downloadOk, downloadCommands,
        {"LoadMenu open: \"Upload Ch_Data\""});
    add("babble before every reply", 'u', img, [](sdBox::Config &c) { c.garbage = 300; }, 0.2, updateOk,
        updateCommands);
    add("line vanishes mid-file", 'u', sd3, [](sdBox::Config &c) { c.cutAfter = 10 + 3000; }, 0.2,
        {0, 15, 7, 8, 17, 18, 9, 26, 1}, {"100", "100"}, {"Error writing data to Port", gone}, "File sent");
    // ... or right after the whole file: the finish wait must not sit out its 30 s.
    add("line vanishes after the file", 'u', img, [](sdBox::Config &c) { c.cutAfter = 10 + 300; }, 0.2,
        {0, 15, 7, 8, 17, 18, 9, 10, 11, 27, 1}, {"100", "100"}, {"File sent. Wrote 300 data", gone});

    // Several images in one visit to the load menu, one progress over all.
    add("two images", 'u', sd3 + "\n" + sd4, healthy, 0.2, {0, 15, 7, 8, 17, 18, 9, 10, 11, 17, 18, 9, 10, 11, 12, 13, 16, 1},
        {"100", "100", "100", "300"},
        {"Sending file " + sd3, "Sending file " + sd4}, {}, {}, {}, [](const testRig &rig) {
            const int sent = rig.trail.indexOf("c10");
            QCOMPARE(rig.trail.at(sent - 2), QStringLiteral("p20"));
            QCOMPARE(rig.progress.last(), 100);
            QCOMPARE(rig.sd->files().value(1).size(), 400000);
        });
    // Refused before anything is sent.
    add("update list ends with a line feed", 'u', img + "\n", healthy, 0.2, refusedUpdate, {});
    add("channel list among images", 'u', img + "\n" + list, healthy, 0.2, refusedUpdate, {});
    add("unknown update file", 'u', unknown, healthy, 0.2, refusedUpdate, {},
        {"Checked FiletypeSD: unknown(01020304 " + unknown + ")"});
    add("missing update file", 'u', m_dir.filePath("missing.app"), healthy, 0.2, refusedUpdate, {}, {}, "Checked");
    add("256 update files", 'u', many.join('\n'), healthy, 0.2, refusedUpdate, {},
        {"Too many files for one update: 256, at most 255"});
    add("upload of an image", 's', img, healthy, 0.2, refusedUpload, {});
    add("upload of a list of 204800 bytes", 's', file("00000a07", 204800), healthy, 0.2, refusedUpload, {});
    add("upload of a list", 's', list + "\nnot a list", healthy, 0.2, uploadOk, updateCommands,
        {"Uploading Channel list", "Sending file " + list, "Uploading done after 0 s"});

    // Downloads: the list whole whatever precedes it; failures keep the old file.
    auto listed = [](int dashes, bool split, int size) {
        return Fault([=](sdBox::Config &c) { c.dashes = dashes; c.splitListMarkers = split; c.list = sdBox::plausibleList(size); });
    };
    add("no dashes: the list follows the marker", 'g', dl, listed(0, false, 185026), 0.2, downloadOk,
        downloadCommands, {}, {}, sdBox::plausibleList(185026));
    add("one dash", 'g', dl, listed(1, false, 185026), 0.2, downloadOk, downloadCommands, {}, {},
        sdBox::plausibleList(185026));
    add("list markers in pieces", 'g', dl, listed(40, true, 185026), 0.2, downloadOk, downloadCommands, {}, {},
        sdBox::plausibleList(185026));
    // A console may end the marker's line, and the rest may come later.
    const struct { const char *name; int dashes; QByteArray end; int pause; } ends[] = {
        {"console line end after the marker", 40, "\r\n", 0}, {"line end, dashes in a later read", 40, "\r\n", 60},
        {"line end, then the list", 0, "\r\n", 60}, {"marker alone, dashes later", 40, "", 60}};
    for (const auto &e : ends)
        add(e.name, 'g', dl, [e](sdBox::Config &c) { c.dashes = e.dashes; c.markerLineEnd = e.end; c.afterMarkerPauseMs = e.pause; },
            0.2, downloadOk, downloadCommands, {}, {}, sdBox::plausibleList());
    add("old list in a locked folder", 'g', dl, listed(40, false, 1000), 0.2, downloadOk, downloadCommands, {}, {},
        sdBox::plausibleList(1000), {}, nullptr, -1, true);
    add("tiny list in the marker's read", 'g', dl, listed(0, false, 24), 0.2, downloadOk, downloadCommands, {}, {},
        sdBox::plausibleList(24));
    add("list longer than the progress size", 'g', dl, listed(10, false, 200000), 0.2, downloadOk, downloadCommands,
        {}, {}, sdBox::plausibleList(200000), {}, [](const testRig &rig) { QVERIFY(rig.progress.last() > 100); });
    add("first line of the name only", 'g', dl + "\n" + m_dir.filePath("second.lst"), healthy, 0.2, downloadOk,
        downloadCommands, {}, {}, sdBox::plausibleList(), {},
        [this](const testRig &) { QVERIFY(!QFile::exists(m_dir.filePath("second.lst"))); });
    add("start later than the dash window", 'g', dl, [](sdBox::Config &c) { c.startUploadDelayMs = 300; }, 0.2,
        {0, 2, 7, 8, 19, 20, 3, 25, 1}, {"100", "500"}, {"Timeout!"});
    add("no start at all", 'g', dl, [](sdBox::Config &c) { c.startUploadDelayMs = 3000; }, 0.2, noList,
        {"100", "500"}, {"No Data received!"}, {}, {}, {3, 24, 5000});
    add("babble without a start", 'g', dl,
        [](sdBox::Config &c) {
            c.startUploadDelayMs = 3000;
            c.replies.insert("500", {{0, "Get EEprom Header\r\n"}, {20, QByteArray(300, 'z')}});
        },
        0.2, noList, {"100", "500"}, {"No start of the list found!"});
    add("line vanishes mid-list", 'g', dl, [](sdBox::Config &c) { c.cutListAfter = 5000; }, 0.2,
        {0, 2, 7, 8, 19, 20, 3, 2, 24, 1}, {"100", "500"}, {gone});
    add("list without its end", 'g', dl, flag(&sdBox::Config::omitEndUpload), 0.2, {0, 2, 7, 8, 19, 20, 3, 2, 25, 1},
        {"100", "500"}, {"Timeout!"}, {}, {}, {2, 25, 25000});
    add("endless list", 'g', dl, flag(&sdBox::Config::listFlood), 0.2, {0, 2, 7, 8, 19, 20, 3, 2, 24, 1},
        {"100", "500"}, {"Channel list too long*"});
    add("empty list", 'g', dl, flag(&sdBox::Config::emptyList), 0.2, {0, 2, 7, 8, 19, 20, 3, 2, 24, 1},
        {"100", "500"}, {"The box sent an empty Channel list*"});
    add("a list of one line end", 'g', dl, [](sdBox::Config &c) { c.list = "\r\n"; }, 0.2,
        {0, 2, 7, 8, 19, 20, 3, 2, 24, 1}, {"100", "500"}, {"The box sent an empty Channel list*"});
    // Real lines: through a relay (socat) at the line's rate, slow is not
    // dead; a box that stops reading stalls the write for 16 s; a line that
    // vanishes fails at once.
    auto atRate = [](Fault more) { return Fault([=](sdBox::Config &c) { c.lineRate = true; more(c); }); };
    const QString mid = file("00000907", 40000);
    const QStringList lost = {"Error writing data to Port",
                              "Error: the serial line is gone (device unplugged or cable pulled): Input/output error"};
    add("relay, line rate: update", 'u', mid, atRate(healthy), 1, updateOk, updateCommands,
        {"File sent. Wrote 40000 data", "Update done after # s"}, {}, {}, {}, nullptr, -1, false, true);
    add("relay, line rate: download", 'g', dl, atRate(listed(40, false, 20000)), 1, downloadOk, downloadCommands,
        {"Downloading done after # s"}, {}, sdBox::plausibleList(20000), {}, nullptr, -1, false, true);
    add("box stops reading: stalled", 'u', sd3, atRate([](sdBox::Config &c) { c.stopReadingAfter = 10 + 1000; }), 0.2,
        {0, 15, 7, 8, 17, 18, 9, 26, 1}, {"100", "100"}, {"Error writing data to Port"}, "File sent", {},
        {9, 26, 16000});
    add("line vanishes at line rate: at once", 'u', sd3, atRate([](sdBox::Config &c) { c.cutAfter = 10 + 1000; }), 1,
        {0, 15, 7, 8, 17, 18, 9, 26, 1}, {"100", "100"}, lost, "File sent", {}, {9, 26, 0});
    // A full disk keeps the old list and says why, aside and in place; in
    // place a longer old list leaves no tail.
    const Codes notSaved{0, 2, 7, 8, 19, 20, 3, 2, 4, 22, 1};
    add("full disk: old list kept", 'g', dl, listed(40, false, 1000), 0.2, notSaved, {"100", "500"},
        {"Couldn't write FileFile too large"}, {}, oldList, {}, nullptr, 100);
    add("full disk, locked folder: old list kept", 'g', dl, listed(40, false, 1000), 0.2, notSaved, {"100", "500"},
        {"Couldn't write FileFile too large"}, {}, oldList, {}, nullptr, 100, true);
    add("longer old list, locked folder: no tail", 'g', dl, listed(0, false, 24), 0.2, downloadOk, downloadCommands,
        {}, {}, sdBox::plausibleList(24), {}, nullptr, -1, true);

    add("folder missing", 'g', m_dir.filePath("no/such/new.lst"), healthy, 0.2, {0, 2, 7, 8, 19, 20, 3, 2, 4, 22, 1},
        {"100", "500"}, {"Couldn't open FileNo such file or directory"});
    add("target is a folder", 'g', m_dir.filePath("folder"), healthy, 0.2, {0, 2, 7, 8, 19, 20, 3, 2, 4, 22, 1},
        {"100", "500"}, {"Couldn't open FileIs a directory"});
}

void tst_sdjobs::jobs()
{
    QFETCH(char, job);
    QFETCH(QString, files);
    QFETCH(Fault, fault);
    QFETCH(Codes, codes);
    QFETCH(Commands, commands);
    QFETCH(QStringList, lines);
    QFETCH(QString, absent);
    QFETCH(QByteArray, saved);
    QFETCH(QList<int>, window);
    QFETCH(Check, check);
    QFETCH(double, scale);
    QFETCH(qint64, fileLimit);
    QFETCH(bool, locked);
    QFETCH(bool, relay);
    linkClock::setScale(scale);
    sdBox::Config config;
    fault(config);
    testRig rig(config);
    QVERIFY(rig.boxStarted);
    const QString target = files.section('\n', 0, 0);
    if (job == 'g' && QTest::currentDataTag() == QByteArray("target is a folder"))
        QVERIFY(QDir().mkpath(target + "/inside"));
    else if (job == 'g')
        testRig::write(target, oldList);
    if (locked && !rig.lock(m_dir.path()))
        QSKIP("no way to lock a folder here");
    QFile held(target);   // a reader of the old list
    held.open(QIODevice::ReadOnly);
    const QString port = relay ? rig.relay() : rig.device();
    QVERIFY2(!port.isEmpty(), "socat did not start");
    serialComKarn link(port, files);
    rig.watch(link);
    testRig::withFileLimit(fileLimit, [&] {
        if (job == 'u')
            link.updateFirmware();
        else if (job == 'g')
            link.getChannellist();
        else
            link.sendChannellist();
    });
    rig.unlock();

    QCOMPARE(rig.codes, codes);
    if (commands.isEmpty())
        QTest::qWait(50);
    QCOMPARE(rig.commands(), commands);
    QVERIFY2(rig.logged(lines), qPrintable(rig.logs.join('\n')));
    if (!absent.isEmpty())
        QVERIFY(rig.logs.filter(absent).isEmpty());
    QVERIFY(rig.progressRises());
    if (!rig.received().isEmpty())
        QCOMPARE(rig.seenSettings(), testRig::lineSettings());
    if (job != 'g' && codes.contains(10))
        QVERIFY(rig.received().contains(testRig::read(target)));
    if (job == 'g' && QFileInfo(target).isFile())
        QCOMPARE(testRig::read(target), !saved.isNull() ? saved : codes.contains(4) ? sdBox::plausibleList() : oldList);
    // Written aside and renamed (in place only where the folder is locked).
    if (job == 'g' && held.isOpen())
        QCOMPARE(held.readAll(), locked ? testRig::read(target) : oldList);
    QVERIFY2(rig.windowMiss(window, scale).isEmpty(), qPrintable(rig.windowMiss(window, scale)));
    if (check)
        check(rig);
}

// The file kinds of both families, by signature (bytes 16..19) and size;
// an unknown file is logged with its signature, a missing one is not.
void tst_sdjobs::fileKind_data()
{
    QTest::addColumn<bool>("hd");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("kind");
    const struct { bool hd; const char *signature; int size, kind; } rows[] = {
        {true, "00004023", 1000, 1}, {true, "00004043", 1000, 1}, {true, "00004023", 600000, 1},
        {true, "00003040", 409600, 2}, {true, "00003040", 409601, 0}, {true, "00004024", 1000, 0},
        {true, "40230000", 1000, 0}, {true, "00004023", 19, 0}, {true, "00004023", 0, 0},
        {false, "00000a07", 204799, 1}, {false, "00000a07", 204800, 0}, {false, "00000907", 102400, 2},
        {false, "00000907", 102401, 0}, {false, "00000d07", 92160, 0}, {false, "00000d07", 92161, 3},
        {false, "00000d07", 153599, 3}, {false, "00000d07", 153600, 0}, {false, "00200600", 358400, 0},
        {false, "00200600", 358401, 4}, {false, "00200600", 460799, 4}, {false, "00200600", 460800, 0},
        {false, "00501c00", 358400, 0}, {false, "00501c00", 358401, 4}, {false, "00501c00", 460799, 4},
        {false, "00501c00", 460800, 0}, {false, "070a0000", 1000, 0}, {false, "00000a07", 20, 1},
        {false, "00000a07", 19, 0}, {false, "00000a07", 0, 0}};
    for (const auto &r : rows)
        QTest::addRow("%s %s %d", r.hd ? "HD" : "SD", r.signature, r.size) << r.hd << QByteArray(r.signature) << r.size << r.kind;
}

void tst_sdjobs::fileKind()
{
    QFETCH(bool, hd);
    QFETCH(QByteArray, signature);
    QFETCH(int, size);
    testRig rig;
    const QString path = rig.path("file.bin");
    const QByteArray data = testRig::image(signature.constData(), size);
    QVERIFY(testRig::write(path, data));
    serialComVesk hdLink;
    serialComKarn sdLink;
    rig.watch(hdLink);
    rig.watch(sdLink);
    const auto kind = [&](const QString &file) { return hd ? int(hdLink.checkFiletype(file)) : int(sdLink.checkFiletype(file)); };
    const int got = kind(path);
    QTEST(got, "kind");
    const QString unknown = QString("Checked Filetype%1: unknown(%2 %3)").arg(hd ? "HD" : "SD", data.mid(16, 4).toHex(), path);
    QCOMPARE(rig.logs, got ? QStringList() : QStringList{unknown});
    rig.logs.clear();
    QCOMPARE(kind(rig.path("missing")), 0);   // the job's to report
    QCOMPARE(rig.logs, QStringList());
}

// Blocks of 100 bytes while more than 200 are left, then of 10 while more
// than 100 (HD) or 10 (SD) are left, then single bytes; a progress report
// after each, between the codes for sending and for the file sent.
void tst_sdjobs::blocks_data()
{
    QTest::addColumn<bool>("hd");
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("tiers");   // count of 100s, 10s, 1s
    const struct { bool hd; int size; QList<int> tiers; } rows[] = {
        {true, 200, {0, 10, 100}}, {true, 201, {1, 1, 91}}, {true, 1050, {9, 5, 100}}, {true, 1099, {9, 10, 99}},
        {true, 199, {0, 10, 99}}, {true, 100, {0, 0, 100}},
        // pos * 100 overflows 32 bits long before the end.
        {true, 30000007, {299999, 1, 97}},
        {false, 205, {1, 10, 5}}, {false, 150, {0, 14, 10}}, {false, 20, {0, 1, 10}}, {false, 21, {0, 2, 1}},
        {false, 211, {1, 11, 1}}, {false, 300, {1, 19, 10}}};
    for (const auto &r : rows)
        QTest::addRow("%s %d", r.hd ? "HD" : "SD", r.size) << r.hd << r.size << r.tiers;
}

void tst_sdjobs::blocks()
{
    QFETCH(bool, hd);
    QFETCH(int, size);
    QFETCH(QList<int>, tiers);
    hdBox::Behaviour b;
    b.fileSize = size;
    std::unique_ptr<testRig> rig(hd ? new testRig(b) : new testRig(sdBox::Config()));
    linkClock::setScale(hd ? 1 : 0.2);
    const QString path = file(hd ? "00004023" : "00000907", size);
    serialComVesk hdLink(rig->device(), path);
    serialComKarn sdLink(rig->device(), path);
    hd ? rig->watch(hdLink) : rig->watch(sdLink);
    hd ? hdLink.updateFirmware() : sdLink.updateFirmware();
    QVERIFY(rig->codes.contains(hd ? 67 : 16));
    QVERIFY(hd ? rig->hd->file() == testRig::read(path) : rig->sd->files() == QList<QByteArray>{testRig::read(path)});
    QList<int> expected;
    qint64 sent = 0;
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < tiers[t]; ++i)
            expected.append(int((sent += (t == 0 ? 100 : t == 1 ? 10 : 1)) * 100 / size));
    QCOMPARE(sent, qint64(size));
    QCOMPARE(rig->progress, expected);
    const int sending = rig->trail.indexOf(hd ? "c57" : "c9");
    QCOMPARE(rig->trail.indexOf(hd ? "c58" : "c10"), sending + expected.size() + 2);
    QCOMPARE(rig->trail.at(sending + expected.size() + 1), QStringLiteral("lFile sent. Wrote %1 data").arg(size));
}

// The window closes during a job: it ends at its next wait, with no further
// command and no failure or success report, and the old list stays.
void tst_sdjobs::stop_data()
{
    QTest::addColumn<bool>("hd");
    QTest::addColumn<bool>("download");
    QTest::addColumn<int>("waitCode");   // stopped 300 ms after this code (the second 42); -1: before the job
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<Commands>("commands");
    QTest::newRow("HD update in the 50 s finish wait") << true << false << 61
        << Codes{40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 41} << Commands{"r", "l"};
    QTest::newRow("HD download in mid-list") << true << true << 42 << Codes{40, 42, 43, 42, 41} << Commands{"help", "chlist"};
    QTest::newRow("HD before the job") << true << false << -1 << Codes{40, 66, 41} << Commands{};
    QTest::newRow("SD update waiting for the verdict") << false << false << 11
        << Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 1} << Commands{"100", "100"};
    QTest::newRow("SD download waiting for the list") << false << true << 3 << Codes{0, 2, 7, 8, 19, 20, 3, 1}
                                                      << Commands{"100", "500"};
}

void tst_sdjobs::stop()
{
    QFETCH(bool, hd);
    QFETCH(bool, download);
    QFETCH(int, waitCode);
    linkClock::setScale(hd ? 1 : 0.2);
    hdBox::Behaviour b;
    b.fileSize = 1050;
    b.finReply = false;
    b.listSplits = {b.beforeList.size() + 200};
    b.splitPauseMs = 20000;
    sdBox::Config c;
    c.finishSilent = true;
    c.startUploadDelayMs = 5000;
    std::unique_ptr<testRig> rig(hd ? new testRig(b) : new testRig(c));
    const QString target = download ? m_dir.filePath("stopped.lst") : file(hd ? "00004023" : "00000907", 1050);
    if (download)
        testRig::write(target, oldList);
    serialComVesk hdLink(rig->device(), target);
    serialComKarn sdLink(rig->device(), target);
    hd ? rig->watch(hdLink) : rig->watch(sdLink);
    std::thread closer;
    QElapsedTimer clock;
    const auto stopAfter = [&](int code) {
        if (code != waitCode || rig->codes.count(code) != (code == 42 ? 2 : 1))
            return;
        clock.start();
        closer = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            hd ? hdLink.requestStop() : sdLink.requestStop();
        });
    };
    connect(&hdLink, &serialComVesk::sendCurrentAction, this, stopAfter);
    connect(&sdLink, &serialComKarn::sendCurrentAction, this, stopAfter);
    if (waitCode < 0)
        hdLink.requestStop();
    if (hd)
        download ? hdLink.getChannellist() : hdLink.updateFirmware();
    else
        download ? sdLink.getChannellist() : sdLink.updateFirmware();
    if (closer.joinable())
        closer.join();
    QTEST(rig->codes, "codes");
    QVERIFY2(waitCode < 0 || clock.elapsed() < 300 + 500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rig->logs.count(QStringLiteral("Job stopped: the window was closed")), 1);
    QTEST(rig->commands(), "commands");
    if (download)
        QCOMPARE(testRig::read(target), oldList);
}

// A port that cannot be opened: the log names it and gives the system's
// reason, for both families, and the job ends with the port codes.
void tst_sdjobs::portErrors_data()
{
    QTest::addColumn<bool>("hd");
    QTest::addColumn<QString>("port");   // "busy": the box's line, held open elsewhere
    QTest::addColumn<QString>("line");
    for (bool hd : {false, true}) {
        const QString family = hd ? "HD " : "SD ";
        QTest::newRow(qPrintable(family + "no port chosen")) << hd << QString() << "Error: open Port: * (no port chosen)";
        QTest::newRow(qPrintable(family + "device gone")) << hd << "/dev/velmora-no-such-port"
                                                          << "Error: open Port: No such file or directory (/dev/velmora-no-such-port)";
        QTest::newRow(qPrintable(family + "system name of a missing device"))
            << hd << "ttyVelmora9" << "Error: open Port: No such file or directory (/dev/ttyVelmora9)";
        QTest::newRow(qPrintable(family + "port in use")) << hd << "busy"
                                                          << "Error: open Port: Device or resource busy (*) (/dev/pts/#)";
    }
}

void tst_sdjobs::portErrors()
{
    QFETCH(bool, hd);
    QFETCH(QString, port);
    QFETCH(QString, line);
    testRig rig{sdBox::Config()};
    QSerialPort holder(rig.device());
    if (port == "busy") {
        QVERIFY(holder.open(QIODevice::ReadWrite));
        port = rig.device();
    }
    serialComVesk hdLink(port, file("00000907", 300));
    serialComKarn sdLink(port, file("00000907", 300));
    hd ? rig.watch(hdLink) : rig.watch(sdLink);
    hd ? hdLink.updateFirmware() : sdLink.updateFirmware();
    QCOMPARE(rig.codes, hd ? Codes({40, 66, 68, 41}) : Codes({0, 15, 21, 1}));
    QCOMPARE(rig.logs.size(), 1);
    QVERIFY2(testRig::matches(rig.logs[0], line), qPrintable(rig.logs[0]));
    QTest::qWait(50);
    QVERIFY(rig.received().isEmpty());
}

QTEST_MAIN(tst_sdjobs)
#include "sdjobs.moc"
