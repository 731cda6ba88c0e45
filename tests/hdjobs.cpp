// HD jobs over a pseudo-terminal against the simulated box: the update
// chain, the list upload and download, each with its faults, and stopping.
#include "hdharness.h"
#include "lockedfolder.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>

using Setup = std::function<void(hdBox::Behaviour &)>;
Q_DECLARE_METATYPE(Setup)
enum Job { Update, Upload, Download };
Q_DECLARE_METATYPE(Job)

class tst_hdjobs : public QObject
{
    Q_OBJECT
private slots:
    void wholeUpdate();
    void jobs_data();
    void jobs();
    void stop_data();
    void stop();
};

static QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

static void run(serialComVesk &link, Job job)
{
    if (job == Update)
        link.updateFirmware();
    else if (job == Upload)
        link.sendChannellist();
    else
        link.getChannellist();
}

void tst_hdjobs::wholeUpdate()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("box.app");
    const QByteArray bytes = hdFileBytes(1050);
    QVERIFY(hdWrite(path, bytes));
    hdBox box(hdQuickBox(bytes.size()));
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.updateFirmware();
    QCOMPARE(rec.codes, (QList<int>{40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 67, 41}));
    QCOMPARE(box.file(), bytes);
    QCOMPARE(box.commands(), (QList<QByteArray>{"r", "l", "s"}));
    const QStringList patterns = {
        "Updating Firmware: " + QRegularExpression::escape(path), "Restarting done: \"Restarting \\.\\.\\.\" \\d+ms",
        "LoadMenu open \"load App\" 0 \\d+ms", "Ready to send file \"binary mode\" \\d+ms",
        "File sent\\. Wrote 1050 data", "Flashing done: \"flash it\" \\d+ms", "Finished: \"fin\" \\d+ms",
        "Starting: \"Deflat OK\" \\d+ms", "Update done after 0 s"};
    QCOMPARE(rec.logs.size(), patterns.size());
    for (int i = 0; i < patterns.size(); ++i)
        QVERIFY2(QRegularExpression("^" + patterns[i] + "$").match(rec.logs[i]).hasMatch(), qPrintable(rec.logs[i]));
}

void tst_hdjobs::jobs_data()
{
    QTest::addColumn<Job>("job");
    QTest::addColumn<QByteArray>("file");     // sent file, or the old list file; null: none
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QString>("line");        // one log line must match this
    QTest::addColumn<QByteArray>("saved");    // download: the file afterwards; null: untouched

    const QByteArray fw = hdFileBytes(1050), big = hdFileBytes(200000), old = "the old list";
    const QByteArray list = hdBox::sampleList(10), lis = hdFileBytes(3000, "00003040");
    const QList<int> chain = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 67, 41};
    const QList<int> noStart = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 67, 41};
    const QList<int> at75 = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 75, 41};
    const QList<int> fetched = {40, 42, 43, 42, 44, 45, 41};
    const QList<int> noData = {40, 42, 43, 69, 41, 41};
    const QList<int> late = {40, 42, 43, 42, 70, 41, 41};
    const QList<int> unsaved = {40, 42, 43, 42, 44, 71, 41, 41};
    const QByteArray none;
    auto plain = [](hdBox::Behaviour &) {};
    auto add = [](const char *name, Job j, const QByteArray &f, Setup s, double sc, const QList<int> &c,
                  const QString &l, const QByteArray &saved) {
        QTest::newRow(name) << j << f << s << sc << c << l << saved;
    };

    // The update chain, step by step.
    add("silent box", Update, fw, [](hdBox::Behaviour &b) { b.silent = true; }, 0.05,
        {40, 66, 51, 72, 41}, "^Error while restarting: \"\" \\(timeout\\)$", none);
    add("only unknown com", Update, fw, [](hdBox::Behaviour &b) { b.unknownCom = 1 << 20; }, 0.05,
        {40, 66, 51, 72, 41}, "^Error while restarting: \"unknown com\" \\(timeout\\)$", none);
    add("unknown com, then restart", Update, fw, [](hdBox::Behaviour &b) { b.unknownCom = 2; }, 1,
        chain, "^Restarting done: \"Restarting \\.\\.\\.\"", none);
    add("any text restarts", Update, fw, [](hdBox::Behaviour &b) { b.restartReply = "boot 1.3\r\n"; }, 1,
        chain, "^Restarting done: \"boot 1\\.3\" \\d+ms$", none);
    add("no load menu", Update, fw, [](hdBox::Behaviour &b) { b.ignoreLoad = 1000; }, 0.05,
        {40, 66, 51, 52, 53, 73, 41}, "^Error while opening LoadMenu \"\" \\(timeout\\)$", none);
    add("load menu on the third attempt", Update, fw, [](hdBox::Behaviour &b) { b.ignoreLoad = 2; }, 0.2,
        chain, "^LoadMenu open \"load App\" 2 \\d+ms$", none);
    add("no binary mode: sent anyway", Update, fw, [](hdBox::Behaviour &b) { b.binaryMode = false; }, 0.05,
        {40, 66, 51, 52, 53, 54, 55, 57, 58, 59, 60, 61, 62, 63, 64, 67, 41}, "^Ready to send file \"\" \\(timeout\\)$", none);
    add("file refused", Update, fw, [](hdBox::Behaviour &b) { b.refuse = true; }, 1,
        at75, "^Error flashing file: \"wrong\" \\d+ms$", none);
    add("wrong beats flash it", Update, fw, [](hdBox::Behaviour &b) { b.refuse = true; b.garbage = "flash it "; }, 1,
        at75, "^Error flashing file: \"flash it wrong\" \\d+ms$", none);
    add("flash never reported", Update, fw, [](hdBox::Behaviour &b) { b.flashReply = b.finReply = false; }, 0.05,
        at75, "^Error while flashing the file: \"\" \\(timeout\\)$", none);
    add("never finishes", Update, fw, [](hdBox::Behaviour &b) { b.finReply = false; }, 0.05,
        {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 76, 41}, "^Error finishing: \"\" \\(timeout\\)$", none);
    add("fin inside a word", Update, fw, [](hdBox::Behaviour &b) { b.garbage = "all "; }, 1,
        chain, "^Finished: \"all fin\" \\d+ms$", none);
    add("two prompts, then started", Update, fw, [](hdBox::Behaviour &b) { b.comPrompts = 2; }, 1,
        chain, "^Starting: \"Deflat OK\" \\d+ms$", none);
    add("only prompts: still done", Update, fw, [](hdBox::Behaviour &b) { b.comPrompts = 1000; }, 1,
        noStart, "^Starting: \"Com ->\"$", none);
    add("start in lower case", Update, fw, [](hdBox::Behaviour &b) { b.startReply = "deflat ok\r\n"; }, 1,
        chain, "^Starting: \"deflat ok\" \\d+ms$", none);
    add("start never reported", Update, fw, [](hdBox::Behaviour &b) { b.startReply = "booting\r\n"; }, 0.004,
        noStart, "^Starting: \"booting\"$", none);
    add("noise before replies", Update, fw, [](hdBox::Behaviour &b) { b.garbage = QByteArray("\x01\x7f#~\x1b[", 6); }, 1,
        chain, "^Flashing done: \"\x01\x7f#~\x1b\\[flash it\" \\d+ms$", none);
    add("long lines without line end", Update, fw, [](hdBox::Behaviour &b) { b.longLine = 300; }, 1,
        chain, "^Restarting done: \"x{15}\" \\d+ms$", none);
    add("slow box", Update, fw, [](hdBox::Behaviour &b) { b.replyDelayMs = 80; b.flashDelayMs = b.finDelayMs = 300; }, 1,
        chain, "^Finished: \"fin\" \\d+ms$", none);
    add("echoing box", Update, fw, [](hdBox::Behaviour &b) { b.echo = true; }, 1,
        chain, "^Restarting done: \"r", none);
    add("line cut mid-transfer", Update, big, [](hdBox::Behaviour &b) { b.cutAfter = 500; }, 0.05,
        {40, 66, 51, 52, 53, 54, 55, 56, 57, 74, 41}, "^Error writing data to Port$", none);
    add("line gone after the file", Update, fw, [](hdBox::Behaviour &b) { b.cutAfter = 1050; }, 1,
        at75, "^Error: the serial line is gone \\(device unplugged or cable pulled\\): .+", none);
    add("update file missing", Update, none, plain, 1, {40, 66, 71, 41, 41}, "^Updatefile not exist$", none);
    add("a list handed to the update", Update, lis, plain, 1, {40, 66, 77, 41, 41}, "^Updating Firmware: ", none);
    add("unknown kind", Update, hdFileBytes(3000, "12345678"), plain, 1, {40, 66, 77, 41, 41},
        "^Checked FiletypeHD: unknown\\(12345678 ", none);

    // The list upload runs the same chain.
    add("upload", Upload, lis, plain, 1, {40, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 41},
        "^Uploading done after 0 s$", none);
    add("upload not finished: started, not done", Upload, lis, [](hdBox::Behaviour &b) { b.finReply = false; }, 0.05,
        {40, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 76, 63, 64, 41}, "^Starting: \"Deflat OK\"", none);
    add("upload file missing", Upload, none, plain, 1, {40, 50, 71, 41, 41}, "^Channel list not exist$", none);
    add("upload of an update file", Upload, fw, plain, 1, {40, 50, 77, 41, 41}, "^Uploading Channel list: ", none);
    add("upload of a list above 409600", Upload, hdFileBytes(409601, "00003040"), plain, 1, {40, 50, 77, 41, 41},
        "^Checked FiletypeHD: unknown\\(00003040 ", none);

    // Downloads: the list arrives whole wherever the line breaks it.
    const int lead = hdBox::Behaviour().beforeList.size();
    const int total = lead + 5 + list.size() + 3;
    for (int k = 0; k <= 5; ++k)
        add(qPrintable(QString("START split after %1").arg(k)), Download, old,
            [=](hdBox::Behaviour &b) { b.list = list; b.listSplits = {lead + k}; }, 1, fetched, "^Start found$", list);
    for (int k = 1; k <= 3; ++k)
        add(qPrintable(QString("END split %1 from the end").arg(k)), Download, none,
            [=](hdBox::Behaviour &b) { b.list = list; b.listSplits = {total - k}; }, 1, fetched, "^End of List found$", list);
    QByteArray inner = list;
    inner.insert(100, "END");
    add("END inside, a read ends after it", Download, none,
        [=](hdBox::Behaviour &b) { b.list = inner; b.listSplits = {lead + 108}; }, 1, fetched, "^Downloading done", inner);
    add("START inside the list", Download, none,
        [=](hdBox::Behaviour &b) { b.list = "START" + list + "START"; }, 1, fetched, "^Start found$", "START" + list + "START");
    // The list ends at its last "END" once the line is quiet, whatever
    // line end and prompt the console prints after it, and whenever.
    for (int ms : {0, 50, 150, 400, 2000})
        add(qPrintable(QString("prompt %1 ms after END").arg(ms)), Download, old, [=](hdBox::Behaviour &b) {
            b.list = list;
            b.afterList = "\r\nCom -> ";
            b.afterListDelayMs = ms;
        }, 1, fetched, "^End of List found$", list);
    QByteArray innerLine = list;
    innerLine.insert(200, "END\r\n");
    for (int ms : {50, 150, 300})
        add(qPrintable(QString("END inside, more list %1 ms later").arg(ms)), Download, old, [=](hdBox::Behaviour &b) {
            b.list = innerLine;
            b.listSplits = {lead + 5 + 205};
            b.splitPauseMs = ms;
            b.afterList = "\r\nCom -> ";
        }, 1, fetched, "^Downloading done", innerLine);
    add("START, at once END", Download, old, [](hdBox::Behaviour &b) { b.list.clear(); }, 1,
        {40, 42, 43, 42, 69, 41, 41}, "^The box sent an empty Channel list", none);
    add("old file in a locked folder", Download, old, [=](hdBox::Behaviour &b) { b.list = list; }, 1,
        fetched, "^Downloading done", list);
    add("list above the nominal size", Download, none, [](hdBox::Behaviour &b) { b.list = hdBox::sampleList(6000); }, 1,
        fetched, "^Downloading done", hdBox::sampleList(6000));
    // Failed downloads keep the old file.
    add("download from a silent box", Download, old, [](hdBox::Behaviour &b) { b.silent = true; }, 0.05,
        noData, "^No Data received!$", none);
    add("text without START", Download, old, [](hdBox::Behaviour &b) { b.listMarkers = false; }, 0.05,
        noData, "^Start of List not found!$", none);
    add("END followed by more text", Download, old, [](hdBox::Behaviour &b) { b.afterList = "ing"; }, 0.05, late,
        "^Timeout!$", none);
    add("END followed by binary", Download, old, [](hdBox::Behaviour &b) { b.afterList = "\r\n\x01\x02"; }, 0.05,
        late, "^Timeout!$", none);
    add("line cut in the list", Download, old, [](hdBox::Behaviour &b) { b.cutInList = 600; }, 0.05,
        late, "^Error: the serial line is gone", none);
    add("line cut before START", Download, old, [](hdBox::Behaviour &b) { b.cutInList = 10; }, 0.05,
        noData, "^Error: the serial line is gone", none);
    add("flooding box", Download, none, [](hdBox::Behaviour &b) { b.flood = serialLine::maxListBytes + (4 << 20); }, 1,
        {40, 42, 43, 42, 69, 41, 41}, "^Channel list too long", none);
    add("target directory missing", Download, none, plain, 1, unsaved, "^Couldn't open File.+", none);
    add("target is a directory", Download, "dir", plain, 1, unsaved, "^Couldn't (open|write) File.+", none);
}

void tst_hdjobs::jobs()
{
    QFETCH(Job, job);
    QFETCH(QByteArray, file);
    QFETCH(Setup, setup);
    QFETCH(double, scale);
    QFETCH(QList<int>, codes);
    QFETCH(QString, line);
    QFETCH(QByteArray, saved);
    hdScale s(scale);
    QTemporaryDir dir;
    QString path = dir.filePath(job == Update ? "job.app" : "job.lis");
    if (QByteArray(QTest::currentDataTag()) == "target directory missing")
        path = dir.filePath("no/such/dir/job.lis");
    else if (file == "dir")
        QVERIFY(QDir(dir.path()).mkpath("job.lis/inside"));
    else if (!file.isNull())
        QVERIFY(hdWrite(path, file));
    QScopedPointer<lockedFolder> lock;
    if (QByteArray(QTest::currentDataTag()) == "old file in a locked folder") {
        lock.reset(new lockedFolder(dir.path()));
        if (!lock->locked)
            QSKIP("no way to lock a folder here");
    }
    hdBox::Behaviour b = hdQuickBox(job == Download ? -1 : file.size());
    setup(b);
    hdBox box(b);
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    run(link, job);

    QCOMPARE(rec.codes, codes);
    bool found = false;
    for (const QString &l : rec.logs)
        found = found || QRegularExpression(line).match(l).hasMatch();
    QVERIFY2(found, qPrintable(rec.logs.join('\n')));
    if (codes.contains(58))
        QCOMPARE(box.file(), file);
    if (codes.contains(77) || (codes.contains(71) && job != Download)) {
        QTest::qWait(50);
        QVERIFY(box.received().isEmpty());
    }
    if (job == Download) {
        QCOMPARE(box.commands().mid(0, 2), (QList<QByteArray>{"help", "chlist"}));
        if (!saved.isNull())
            QCOMPARE(readAll(path), saved);
        else if (file == "dir")
            QVERIFY(QFileInfo(path).isDir());
        else
            QCOMPARE(readAll(path), file);
        // No temporary file is left behind.
        lock.reset();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), QFileInfo(path).isFile() ? 1 : 0);
    }
}

// The window closes during a job: it ends within moments, with no further
// command, and a list file that was there stays as it was.
void tst_hdjobs::stop_data()
{
    QTest::addColumn<Job>("job");
    QTest::addColumn<int>("waitCode");   // the job is stopped once this code came
    QTest::addColumn<QList<int>>("codes");

    QTest::newRow("update in the 50 s finish wait") << Update << 61
                                                    << QList<int>{40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 41};
    QTest::newRow("download in mid-list") << Download << 42 << QList<int>{40, 42, 43, 42, 41};
    QTest::newRow("before the job") << Update << -1 << QList<int>{40, 66, 41};
}

void tst_hdjobs::stop()
{
    QFETCH(Job, job);
    QFETCH(int, waitCode);
    QFETCH(QList<int>, codes);
    QTemporaryDir dir;
    const QString path = dir.filePath("job");
    QVERIFY(hdWrite(path, job == Update ? hdFileBytes(1050) : QByteArray("the old list")));
    hdBox::Behaviour b = hdQuickBox(1050);
    b.finReply = false;
    b.listSplits = {b.beforeList.size() + 200};
    b.splitPauseMs = 20000;
    hdBox box(b);
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    QList<int> got;
    QStringList logs;
    QThread thread;
    link.moveToThread(&thread);
    connect(&link, &serialComVesk::sendCurrentAction, this, [&got](int c) { got << c; });
    connect(&link, &serialComVesk::writeLog, this, [&logs](const QString &l) { logs << l; });
    if (waitCode < 0)
        link.requestStop();
    thread.start();
    QMetaObject::invokeMethod(&link, job == Update ? "updateFirmware" : "getChannellist", Qt::QueuedConnection);
    if (waitCode >= 0) {
        QTRY_VERIFY_WITH_TIMEOUT(got.count(waitCode) == (waitCode == 42 ? 2 : 1), 10000);
        QTest::qWait(300);
        link.requestStop();
    }
    QElapsedTimer t;
    t.start();
    QTRY_VERIFY_WITH_TIMEOUT(got.endsWith(41), 5000);
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    thread.quit();
    QVERIFY(thread.wait(2000));
    QCOMPARE(got, codes);
    QCOMPARE(logs.last(), QString("Job stopped: the window was closed"));
    QVERIFY(!box.commands().contains("s"));
    if (job == Download)
        QCOMPARE(readAll(path), QByteArray("the old list"));
    if (waitCode < 0) {
        QTest::qWait(50);
        QVERIFY(box.received().isEmpty());
    }
}

QTEST_GUILESS_MAIN(tst_hdjobs)
#include "hdjobs.moc"
