// The HD link against the simulated HD box on a pseudo-terminal: one table of
// jobs (update, list upload and download, service queries) with their faults
// and the length of every waiting window; the line settings.
#include "linkclock.h"
#include "ptyline.h"
#include "serialcomvesk.h"
#include "serialline.h"
#include "testrig.h"

#include <QDir>
#include <QSerialPort>
#include <QtTest>

#include <functional>

using Setup = std::function<void(hdBox::Behaviour &)>;
enum Job { Update, Upload, Download, Software, LowPower, Mac, Reset };
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Job)

class tst_hdjobs : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { linkClock::setScale(1.0); }
    void jobs_data();
    void jobs();
    void lineSettings();
};

void tst_hdjobs::jobs_data()
{
    QTest::addColumn<Job>("job");
    QTest::addColumn<QByteArray>("file");      // sent file, or the old list; null: none; "dir": a directory
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QStringList>("lines");    // log lines (and query results), in this order
    QTest::addColumn<QByteArray>("saved");     // download: the file afterwards; null: untouched
    QTest::addColumn<QList<int>>("window");    // {from code, to code, ms at full length}
    QTest::addColumn<qint64>("fileLimit");     // the largest file the job may write; -1: any
    QTest::addColumn<bool>("locked");          // the job's folder takes no new file
    QTest::addColumn<bool>("relay");           // the link reaches the box through socat

    const QByteArray fw = testRig::image("00004023", 1050), old = "the old list", none;
    const QByteArray list = hdBox::sampleList(10), lis = testRig::image("00003040", 3000);
    const QList<int> chain = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 67, 41};
    const QList<int> noStart = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 67, 41};
    const QList<int> at75 = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 75, 41};
    const QList<int> fetched = {40, 42, 43, 42, 44, 45, 41}, noData = {40, 42, 43, 69, 41, 41};
    const QList<int> late = {40, 42, 43, 42, 70, 41, 41}, unsaved = {40, 42, 43, 42, 44, 71, 41, 41};
    const Setup plain = [](hdBox::Behaviour &) {};
    auto add = [](const char *name, Job j, const QByteArray &f, Setup s, double sc, const QList<int> &c,
                  const QStringList &l, const QByteArray &saved = QByteArray(), const QList<int> &w = {},
                  qint64 limit = -1, bool locked = false, bool relay = false) {
        QTest::newRow(name) << j << f << s << sc << c << l << saved << w << limit << locked << relay;
    };

    // The update chain, step by step, each window measured.
    add("whole update", Update, fw, plain, 1, chain,
        {"Updating Firmware: *job.app", "Restarting done: \"Restarting ...\" #ms", "LoadMenu open \"load App\" 0 #ms",
         "Ready to send file \"binary mode\" #ms", "File sent. Wrote 1050 data", "Flashing done: \"flash it\" #ms",
         "Finished: \"fin\" #ms", "Starting: \"Deflat OK\" #ms", "Update done after 0 s"});
    add("silent box", Update, fw, [](hdBox::Behaviour &b) { b.silent = true; }, 0.25, {40, 66, 51, 72, 41},
        {"Error while restarting: \"\" (timeout)"}, none, {51, 72, 2000});
    add("only unknown com", Update, fw, [](hdBox::Behaviour &b) { b.unknownCom = 1 << 20; }, 0.05,
        {40, 66, 51, 72, 41}, {"Error while restarting: \"unknown com\" (timeout)"});
    add("unknown com, then restart", Update, fw, [](hdBox::Behaviour &b) { b.unknownCom = 2; }, 1, chain,
        {"Restarting done: \"Restarting ...\" #ms"});
    add("any text restarts", Update, fw, [](hdBox::Behaviour &b) { b.restartReply = "boot 1.3\r\n"; }, 1, chain,
        {"Restarting done: \"boot 1.3\" #ms"});
    add("no load menu", Update, fw, [](hdBox::Behaviour &b) { b.ignoreLoad = 1000; }, 0.1,
        {40, 66, 51, 52, 53, 73, 41}, {"Error while opening LoadMenu \"\" (timeout)"}, none, {53, 73, 10 * 500});
    add("load menu on the third attempt", Update, fw, [](hdBox::Behaviour &b) { b.ignoreLoad = 2; }, 0.2, chain,
        {"LoadMenu open \"load App\" 2 #ms"});
    add("no binary mode: sent anyway", Update, fw, [](hdBox::Behaviour &b) { b.binaryMode = false; }, 0.5,
        {40, 66, 51, 52, 53, 54, 55, 57, 58, 59, 60, 61, 62, 63, 64, 67, 41}, {"Ready to send file \"\" (timeout)"},
        none, {55, 57, 1000});
    add("file refused", Update, fw, [](hdBox::Behaviour &b) { b.refuse = true; }, 1, at75,
        {"Error flashing file: \"wrong\" #ms"});
    add("wrong beats flash it", Update, fw, [](hdBox::Behaviour &b) { b.refuse = true; b.garbage = "flash it "; }, 1,
        at75, {"Error flashing file: \"flash it wrong\" #ms"});
    add("flash never reported", Update, fw, [](hdBox::Behaviour &b) { b.flashReply = b.finReply = false; }, 0.05,
        at75, {"Error while flashing the file: \"\" (timeout)"}, none, {59, 75, 16000});
    add("never finishes", Update, fw, [](hdBox::Behaviour &b) { b.finReply = false; }, 0.05,
        {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 76, 41}, {"Error finishing: \"\" (timeout)"}, none,
        {61, 76, 50000});
    add("fin inside a word", Update, fw, [](hdBox::Behaviour &b) { b.garbage = "all "; }, 1, chain,
        {"Finished: \"all fin\" #ms"});
    add("two prompts, then started", Update, fw, [](hdBox::Behaviour &b) { b.comPrompts = 2; }, 1, chain,
        {"Starting: \"Deflat OK\" #ms"}, none, {63, 64, 2 * 10});
    add("only prompts: still done", Update, fw, [](hdBox::Behaviour &b) { b.comPrompts = 1000; }, 1, noStart,
        {"Starting: \"Com ->\""});
    add("start in lower case", Update, fw, [](hdBox::Behaviour &b) { b.startReply = "deflat ok\r\n"; }, 1, chain,
        {"Starting: \"deflat ok\" #ms"});
    // Each line is tested on its own: a marker split by a line end is none.
    // Four prompts end four attempts; the fifth waits out its window.
    add("start marker over two lines", Update, fw,
        [](hdBox::Behaviour &b) { b.comPrompts = 4; b.startReply = "Defl\r\nat OK\r\n"; }, 0.05, noStart,
        {"Starting: \"at OK\""}, none, {63, 67, 50000});
    add("noise before replies", Update, fw, [](hdBox::Behaviour &b) { b.garbage = QByteArray("\x01\x7f~\x1b[", 5); },
        1, chain, {"Flashing done: \"\x01\x7f~\x1b[flash it\" #ms"});
    add("long lines without line end", Update, fw, [](hdBox::Behaviour &b) { b.longLine = 300; }, 1, chain,
        {"Restarting done: \"xxxxxxxxxxxxxxx\" #ms"});
    add("slow box", Update, fw, [](hdBox::Behaviour &b) { b.replyDelayMs = 80; b.flashDelayMs = b.finDelayMs = 300; },
        1, chain, {"Finished: \"fin\" #ms"});
    // The echo and the reply may come in one read or two; either restarts.
    add("echoing box", Update, fw, [](hdBox::Behaviour &b) { b.echo = true; }, 1, chain, {"Restarting done: \"r*\" #ms"});
    add("line cut mid-transfer", Update, testRig::image("00004023", 200000), [](hdBox::Behaviour &b) { b.cutAfter = 500; },
        0.05, {40, 66, 51, 52, 53, 54, 55, 56, 57, 74, 41}, {"Error writing data to Port"});
    add("line gone after the file", Update, fw, [](hdBox::Behaviour &b) { b.cutAfter = 1050; }, 1, at75,
        {"Error: the serial line is gone (device unplugged or cable pulled): *"});
    add("update file missing", Update, none, plain, 1, {40, 66, 71, 41, 41}, {"Updatefile not exist"});
    add("a list handed to the update", Update, lis, plain, 1, {40, 66, 77, 41, 41}, {"Updating Firmware: *"});
    add("update of 20 bytes", Update, testRig::image("00004043", 20), plain, 1, chain, {"File sent. Wrote 20 data"});

    // The list upload runs the same chain.
    add("upload", Upload, lis, plain, 1, {40, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 41},
        {"Uploading Channel list: *job.lis", "File sent. Wrote 3000 data", "Uploading done after 0 s"});
    add("upload not finished: started, not done", Upload, lis, [](hdBox::Behaviour &b) { b.finReply = false; }, 0.05,
        {40, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 76, 63, 64, 41}, {"Starting: \"Deflat OK\" #ms"});
    add("upload file missing", Upload, none, plain, 1, {40, 50, 71, 41, 41}, {"Channel list not exist"});
    add("upload of an update file", Upload, fw, plain, 1, {40, 50, 77, 41, 41}, {"Uploading Channel list: *"});
    add("upload of a list of 409600", Upload, testRig::image("00003040", 409600), plain, 1,
        {40, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 41}, {"File sent. Wrote 409600 data"});
    add("upload of a list of 409601", Upload, testRig::image("00003040", 409601), plain, 1, {40, 50, 77, 41, 41},
        {"Checked FiletypeHD: unknown(00003040 *job.lis)"});

    // Downloads: the list arrives whole wherever the line breaks it.
    const int lead = hdBox::Behaviour().beforeList.size();
    const int total = lead + 5 + list.size() + 3;
    for (int k = 0; k <= 5; ++k)
        add(qPrintable(QString("START split after %1").arg(k)), Download, old,
            [=](hdBox::Behaviour &b) { b.list = list; b.listSplits = {lead + k}; }, 1, fetched,
            {"Downloading Channel list: *job.lis", "Start found", "End of List found", "Downloading done after 0 s"},
            list);
    for (int k = 1; k <= 3; ++k)
        add(qPrintable(QString("END split %1 from the end").arg(k)), Download, none,
            [=](hdBox::Behaviour &b) { b.list = list; b.listSplits = {total - k}; }, 1, fetched, {"End of List found"},
            list);
    // "END" inside the list ends it only when the line then stays quiet 500 ms.
    QByteArray inner = list;
    inner.insert(100, "END");
    add("END inside, a read ends after it", Download, none,
        [=](hdBox::Behaviour &b) { b.list = inner; b.listSplits = {lead + 108}; }, 1, fetched, {}, inner);
    QByteArray innerLine = list;
    innerLine.insert(200, "END\r\n");
    for (int ms : {50, 150, 300})
        add(qPrintable(QString("END inside, more list %1 ms later").arg(ms)), Download, old, [=](hdBox::Behaviour &b) {
            b.list = innerLine;
            b.listSplits = {lead + 5 + 205};
            b.splitPauseMs = ms;
            b.afterList = "\r\nCom -> ";
        }, 1, fetched, {"Downloading done after 0 s"}, innerLine);
    // The list ends at its last "END" once the line is quiet, whatever line
    // end and prompt the console prints after it, and whenever.
    for (int ms : {0, 50, 150, 400, 2000})
        add(qPrintable(QString("prompt %1 ms after END").arg(ms)), Download, old, [=](hdBox::Behaviour &b) {
            b.list = list;
            b.afterList = "\r\nCom -> ";
            b.afterListDelayMs = ms;
        }, 1, fetched, {"End of List found"}, list);
    add("END inside, 900 ms pause after it", Download, none,
        [=](hdBox::Behaviour &b) { b.list = inner; b.listSplits = {lead + 108}; b.splitPauseMs = 900; }, 1, fetched,
        {}, inner.left(100));
    add("start in lower case before START", Download, none, [=](hdBox::Behaviour &b) {
        b.list = list;
        b.beforeList = "chlist\r\nstart sending\r\n";
    }, 1, fetched, {"Start found"}, list);
    add("START inside the list", Download, none, [=](hdBox::Behaviour &b) { b.list = "START" + list + "START"; }, 1,
        fetched, {"Start found"}, "START" + list + "START");
    for (const char *empty : {"", "\r\n"})
        add(qPrintable(QString("START, END, nothing but \"%1\" between").arg(QString(empty).toHtmlEscaped().replace("\r\n", "CR LF"))),
            Download, old, [=](hdBox::Behaviour &b) { b.list = empty; }, 1,
            {40, 42, 43, 42, 69, 41, 41}, {"The box sent an empty Channel list*"});
    add("old file in a locked folder", Download, old, [=](hdBox::Behaviour &b) { b.list = list; }, 1, fetched,
        {"Downloading done after 0 s"}, list, {}, -1, true);
    add("list above the nominal size", Download, none, [](hdBox::Behaviour &b) { b.list = hdBox::sampleList(6000); },
        1, fetched, {}, hdBox::sampleList(6000));
    // Failed downloads keep the old file.
    add("download from a silent box", Download, old, [](hdBox::Behaviour &b) { b.silent = true; }, 0.25, noData,
        {"No Data received!"}, none, {43, 69, 3000});
    add("text without START", Download, old, [](hdBox::Behaviour &b) { b.listMarkers = false; }, 0.05, noData,
        {"Start of List not found!"});
    add("END followed by more text", Download, old, [](hdBox::Behaviour &b) { b.afterList = "ing"; }, 0.02, late,
        {"Timeout!"}, none, {42, 70, 50000});
    add("END followed by binary", Download, old, [](hdBox::Behaviour &b) { b.afterList = "\r\n\x01\x02"; }, 0.05,
        late, {"Timeout!"});
    add("line cut in the list", Download, old, [](hdBox::Behaviour &b) { b.cutInList = 600; }, 0.05, late,
        {"Error: the serial line is gone*"});
    add("line cut before START", Download, old, [](hdBox::Behaviour &b) { b.cutInList = 10; }, 0.05, noData,
        {"Error: the serial line is gone*"});
    add("flooding box", Download, none, [](hdBox::Behaviour &b) { b.flood = serialLine::maxListBytes + (4 << 20); },
        1, {40, 42, 43, 42, 69, 41, 41}, {"Channel list too long*"});
    add("target directory missing", Download, none, plain, 1, unsaved, {"Couldn't open FileNo such file or directory"});
    add("target is a directory", Download, "dir", plain, 1, unsaved, {"Couldn't open FileIs a directory"});

    // Real lines. A relay (socat) forwards in bursts and holds the line still
    // for seconds while the box reads at the line's rate: slow, not dead.
    const QByteArray big = testRig::image("00004023", 200000);
    const QList<int> stalled = {40, 66, 51, 52, 53, 54, 55, 56, 57, 74, 41};
    const QStringList gone = {"Error writing data to Port",
                              "Error: the serial line is gone (device unplugged or cable pulled): Input/output error"};
    auto atRate = [](Setup more) { return Setup([=](hdBox::Behaviour &b) { b.lineRate = true; more(b); }); };
    add("relay, line rate: update", Update, testRig::image("00004023", 40000), atRate(plain), 1, chain,
        {"File sent. Wrote 40000 data", "Update done after # s"}, none, {}, -1, false, true);
    // A box that stops reading, its line up: the write stalls for 16 s.
    add("box stops reading: stalled", Update, big, atRate([](hdBox::Behaviour &b) { b.stopReadingAfter = 1000; }),
        0.05, stalled, {"Error writing data to Port"}, none, {57, 74, 16000});
    // A line that vanishes (as an unplugged adapter) fails at once, however long a stall may be.
    add("line vanishes at line rate: at once", Update, big, atRate([](hdBox::Behaviour &b) { b.cutAfter = 1000; }),
        1, stalled, gone, none, {57, 74, 0});
    // A console goes on printing after the list: the list ends at its END,
    // with or without a pause before the prompt, through a relay too.
    const Setup chatty = [=](hdBox::Behaviour &b) {
        b.list = list;
        b.afterList = "\r\nCom -> ";
        b.afterListDelayMs = 200;
        b.chatterMs = 300;
    };
    add("relay, line rate: download from a chatty console", Download, old, atRate(chatty), 1, fetched,
        {"End of List found"}, list, {}, -1, false, true);
    for (int ms : {0, 200})
        add(qPrintable(QString("chatty console, prompt %1 ms after END").arg(ms)), Download, old, [=](hdBox::Behaviour &b) {
            chatty(b);
            b.afterListDelayMs = ms;
        }, 1, fetched, {"End of List found"}, list, {42, 44, 500});
    add("console without pause, a status line says END", Download, old, [=](hdBox::Behaviour &b) {
        chatty(b);
        b.afterListDelayMs = 0;
        b.chatterMs = 15;
        b.chatter = "[disk] SEND 0x1f ok\r\n";
    }, 1, fetched, {"End of List found"}, list);
    // An END inside the list, more list after it: the console's chatter
    // after the real END changes nothing.
    for (int ms : {0, 50, 150, 300})
        add(qPrintable(QString("chatty console, END inside, more list %1 ms later").arg(ms)), Download, old,
            [=](hdBox::Behaviour &b) {
                chatty(b);
                b.list = innerLine;
                b.listSplits = {lead + 5 + 205};
                b.splitPauseMs = ms;
            }, 1, fetched, {"End of List found"}, innerLine);
    // A full disk keeps the old list and says why, aside and in place; in
    // place a longer old list leaves no tail.
    const QList<int> notSaved = {40, 42, 43, 42, 44, 71, 41, 41};
    add("full disk: old list kept", Download, old, [=](hdBox::Behaviour &b) { b.list = list; }, 1, notSaved,
        {"Couldn't write FileFile too large"}, none, {}, 100);
    add("full disk, locked folder: old list kept", Download, old, [=](hdBox::Behaviour &b) { b.list = list; }, 1,
        notSaved, {"Couldn't write FileFile too large"}, none, {}, 100, true);
    add("longer old list, locked folder: no tail", Download, QByteArray(20000, 'x'),
        [=](hdBox::Behaviour &b) { b.list = list; }, 1, fetched, {"Downloading done after 0 s"}, list, {}, -1, true);

    // The service queries: answers in upper case, a one-second window.
    const QList<int> sw = {40, 46, 41}, lp = {40, 47, 41}, mac = {40, 48, 41};
    auto answer = [](const char *command, const QByteArray &text, bool echo = false) {
        return Setup([=](hdBox::Behaviour &b) { b.replies.insert(command, text); b.echo = echo; });
    };
    add("version", Software, none, answer("swvers", "v2.10.04 hd\r\n"), 1, sw, {"V2.10.04 HD"});
    add("version unknown", Software, none, answer("swvers", "Unknown item\r\n"), 1, sw, {"----"});
    add("version after empty lines", Software, none, answer("swvers", "\r\n\n\r\n3.1\r\n"), 1, sw, {"3.1"});
    add("echo is the answer", Software, none, answer("swvers", "3.1\r\n", true), 1, sw, {"SWVERS"});
    add("version of 60 bytes", Software, none, answer("swvers", QByteArray(60, 'a') + "\r\n"), 1, sw,
        {QString(49, 'A')});
    add("low power", LowPower, none, answer("lpsw", "LPSW: 1.07\r\n"), 1, lp, {" 1.07"});
    add("low power, marker in lower case", LowPower, none, answer("lpsw", "lpsw:1.07\r\n"), 1, lp, {"1.07"});
    add("low power unknown", LowPower, none, answer("lpsw", "lpsw: unknown\r\n"), 1, lp, {"--"});
    add("mac", Mac, none, answer("get_mac", "00a1b2c3d4e5\r\n"), 1, mac, {"00-A1-B2-C3-D4-E5"});
    add("mac short", Mac, none, answer("get_mac", "abc\r\n"), 1, mac, {"AB-C -  -  -  -"});
    add("no lan device", Mac, none, answer("get_mac", "!landevice\r\n"), 1, mac, {"no LAN-Device"});
    add("unknown beats no lan", Mac, none, answer("get_mac", "!LANDEVICE unknown\r\n"), 1, mac, {"???"});
    add("mac answer without line end", Mac, none, answer("get_mac", "001122334455"), 1, mac, {"00-11-22-33-44-55"});
    add("silent box, version", Software, none, [](hdBox::Behaviour &b) { b.silent = true; }, 1, {40, 46, 69, 41}, {},
        none, {46, 69, 1000});
    add("silent box, mac", Mac, none, [](hdBox::Behaviour &b) { b.silent = true; }, 1, {40, 48, 69, 41}, {});
    add("factory reset", Reset, none, plain, 1, {40, 49, 41}, {});
    add("no port for the query", Mac, none, plain, 1, {40, 48, 68, 41}, {"Error: open Port: *"});
}

void tst_hdjobs::jobs()
{
    QFETCH(Job, job);
    QFETCH(QByteArray, file);
    QFETCH(Setup, setup);
    QFETCH(double, scale);
    QFETCH(QList<int>, codes);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, saved);
    QFETCH(QList<int>, window);
    QFETCH(qint64, fileLimit);
    QFETCH(bool, locked);
    QFETCH(bool, relay);
    const QString tag = QTest::currentDataTag();
    linkClock::setScale(scale);
    hdBox::Behaviour b;
    b.fileSize = job == Download ? -1 : file.size();   // no quiet gap to wait out
    setup(b);
    testRig rig(b);
    QVERIFY(rig.boxStarted);
    QString path = rig.path(job == Update ? "job.app" : "job.lis");
    if (tag == "target directory missing")
        path = rig.path("no/such/dir/job.lis");
    else if (file == "dir")
        QVERIFY(QDir(rig.dir.path()).mkpath("job.lis/inside"));
    else if (!file.isNull())
        QVERIFY(testRig::write(path, file));
    if (locked && !rig.lock(rig.dir.path()))
        QSKIP("no way to lock a folder here");
    QFile held(path);   // a reader of the old list
    held.open(QIODevice::ReadOnly);
    const QString port = relay ? rig.relay() : rig.device();
    QVERIFY2(!port.isEmpty(), "socat did not start");
    serialComVesk link(tag == "no port for the query" ? QStringLiteral("/dev/velmora-none") : port, path);
    rig.watch(link);
    void (serialComVesk::*const run[])() = {&serialComVesk::updateFirmware, &serialComVesk::sendChannellist,
                                             &serialComVesk::getChannellist, &serialComVesk::readSoftwareVersion,
                                             &serialComVesk::readLowPowerVersion, &serialComVesk::readMACAddress,
                                             &serialComVesk::initFactoryReset};
    testRig::withFileLimit(fileLimit, [&] { (link.*run[qBound(0, int(job), int(Reset))])(); });

    QCOMPARE(rig.codes, codes);
    QVERIFY2(rig.logged(lines, rig.logs + rig.results), qPrintable((rig.logs + rig.results).join('\n')));
    QVERIFY(rig.progressRises());
    if (codes.contains(58))
        QCOMPARE(rig.hd->file(), file);
    if (codes.contains(77) || codes.contains(68) || (codes.contains(71) && job != Download)) {
        QTest::qWait(50);
        QVERIFY(rig.received().isEmpty());
    } else if (job != Reset) {   // the reset's port may close before the box reads
        QTRY_VERIFY(!rig.received().isEmpty());
        QCOMPARE(rig.seenSettings(), testRig::lineSettings());
    }
    if (job == Download) {
        QCOMPARE(rig.commands().mid(0, 2), (QList<QByteArray>{"help", "chlist"}));
        if (!saved.isNull())
            QCOMPARE(testRig::read(path), saved);
        else if (file == "dir")
            QVERIFY(QFileInfo(path).isDir());
        else
            QCOMPARE(testRig::read(path), file);
        // Written aside and renamed (in place only where the folder is locked):
        // a reader of the old list keeps it whole, no temporary file is left.
        if (held.isOpen())
            QCOMPARE(held.readAll(), locked ? testRig::read(path) : file);
        rig.unlock();
        QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), QFileInfo(path).isFile() ? 1 : 0);
    } else if (job >= Software && job <= Mac && !codes.contains(68)) {
        static const char *const command[] = {"swvers", "lpsw", "get_mac"};
        QCOMPARE(rig.received(), QByteArray(command[job - Software]) + "\r\n");
    } else if (job == Reset) {
        QTRY_COMPARE(rig.commands(), QList<QByteArray>{"facreset"});
    }
    QVERIFY2(rig.windowMiss(window, scale).isEmpty(), qPrintable(rig.windowMiss(window, scale)));
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

QTEST_MAIN(tst_hdjobs)
#include "hdjobs.moc"
