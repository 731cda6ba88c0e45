// HD channel list download and upload over a pseudo-terminal.
#include "hdharness.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>

using Setup = std::function<void(hdBox::Behaviour &)>;
Q_DECLARE_METATYPE(Setup)

class tst_hdlist : public QObject
{
    Q_OBJECT
private slots:
    void download();
    void splitMarkers_data();
    void splitMarkers();
    void failedDownloads_data();
    void failedDownloads();
    void flood();
    void unwritableTarget_data();
    void unwritableTarget();
    void longList();
    void stopWhileReceiving();
    void upload();
    void uploadRefused_data();
    void uploadRefused();
    void uploadNotFinished();
};

static const QList<int> goodDownload = {40, 42, 43, 42, 44, 45, 41};

static QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void tst_hdlist::download()
{
    hdBox box;
    QVERIFY(box.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("box.lis");
    QVERIFY(hdWrite(path, "an older list"));
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.getChannellist();

    QCOMPARE(rec.codes, goodDownload);
    QCOMPARE(readAll(path), hdBox::sampleList());
    QCOMPARE(int(link.checkFiletype(path)), 2);
    QCOMPARE(box.received(), QByteArray("help\r\nchlist\r\n"));
    QCOMPARE(rec.logs.size(), 4);
    QCOMPARE(rec.logs[0], "Downloading Channel list: " + path);
    QCOMPARE(rec.logs[1], QString("Start found"));
    QCOMPARE(rec.logs[2], QString("End of List found"));
    QCOMPARE(rec.logs[3], QString("Downloading done after 0 s"));
    QVERIFY(!rec.progress.isEmpty());
    for (int i = 1; i < rec.progress.size(); ++i)
        QVERIFY(rec.progress[i] >= rec.progress[i - 1]);
    QCOMPARE(rec.progress.last(), int(qint64(hdBox::sampleList().size() + 3) * 100 / 297472));
}

// The line may deliver the markers in pieces; the list must come out whole
// and exact wherever the pieces break.
void tst_hdlist::splitMarkers_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QList<int>>("splits");   // from the end of the chatter, or negative from the end

    const QByteArray plain = hdBox::sampleList(10);
    for (int k = 0; k <= 5; ++k)
        QTest::newRow(qPrintable(QString("START split after %1").arg(k))) << plain << QList<int>{k};
    for (int k = 1; k <= 3; ++k)
        QTest::newRow(qPrintable(QString("END split before %1 from the end").arg(k))) << plain << QList<int>{-k};
    QByteArray inner = plain;
    inner.insert(100, "END");
    const int afterInnerEnd = 5 + 100 + 3;
    QTest::newRow("END inside, a read ends after it") << inner << QList<int>{afterInnerEnd};
    QTest::newRow("END inside, split in it") << inner << QList<int>{afterInnerEnd - 1};
    QTest::newRow("START inside the list") << QByteArray("START") + plain + "START" << QList<int>{};
    QTest::newRow("every piece small") << plain << QList<int>{2, 4, 7, 9, 11, -1, -2};
    QTest::newRow("empty list") << QByteArray() << QList<int>{5};
}

void tst_hdlist::splitMarkers()
{
    QFETCH(QByteArray, list);
    QFETCH(QList<int>, splits);
    hdBox::Behaviour b;
    b.list = list;
    const int start = b.beforeList.size();
    const int total = start + 5 + list.size() + 3;
    for (int s : splits)
        b.listSplits << (s >= 0 ? start + s : total + s);
    hdBox box(b);
    QVERIFY(box.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("split.lis");
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.getChannellist();
    QCOMPARE(rec.codes, goodDownload);
    QCOMPARE(readAll(path), list);
    QVERIFY(QFile::exists(path));
}

void tst_hdlist::failedDownloads_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QString>("line");

    QTest::newRow("silent box")
        << Setup([](hdBox::Behaviour &b) { b.silent = true; })
        << QList<int>{40, 42, 43, 69, 41, 41} << "No Data received!";
    QTest::newRow("text without START")
        << Setup([](hdBox::Behaviour &b) { b.listMarkers = false; })
        << QList<int>{40, 42, 43, 69, 41, 41} << "Start of List not found!";
    QTest::newRow("no END")
        << Setup([](hdBox::Behaviour &b) { b.list += "more"; b.afterList = "\r\n"; })
        << QList<int>{40, 42, 43, 42, 70, 41, 41} << "Timeout!";
    QTest::newRow("line cut in the list")
        << Setup([](hdBox::Behaviour &b) { b.cutInList = 600; })
        << QList<int>{40, 42, 43, 42, 70, 41, 41} << "Error: serial line lost: ";
    QTest::newRow("line cut before START")
        << Setup([](hdBox::Behaviour &b) { b.cutInList = 10; })
        << QList<int>{40, 42, 43, 69, 41, 41} << "Error: serial line lost: ";
}

// A failed download never touches the file that was there.
void tst_hdlist::failedDownloads()
{
    QFETCH(Setup, setup);
    QFETCH(QList<int>, codes);
    QFETCH(QString, line);
    hdScale s(0.05);
    hdBox::Behaviour b;
    setup(b);
    hdBox box(b);
    QVERIFY(box.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.lis");
    QVERIFY(hdWrite(path, "the old list"));
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.getChannellist();
    QCOMPARE(rec.codes, codes);
    QVERIFY2(!rec.log(line).isNull(), qPrintable(rec.logs.join('\n')));
    QCOMPARE(readAll(path), QByteArray("the old list"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.lis"});
}

void tst_hdlist::flood()
{
    hdBox::Behaviour b;
    b.flood = serialComVesk::maxListBytes + 4 * 1024 * 1024;
    hdBox box(b);
    QVERIFY(box.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("flood.lis");
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.getChannellist();
    QCOMPARE(rec.codes, (QList<int>{40, 42, 43, 42, 69, 41, 41}));
    QVERIFY(!rec.log("Channel list too long").isNull());
    QVERIFY(!QFile::exists(path));
}

void tst_hdlist::unwritableTarget_data()
{
    QTest::addColumn<int>("target");   // 0 missing directory, 1 read-only file, 2 a directory
    QTest::newRow("directory missing") << 0;
    QTest::newRow("read-only file") << 1;
    QTest::newRow("a directory") << 2;
}

void tst_hdlist::unwritableTarget()
{
    QFETCH(int, target);
    hdBox box;
    QVERIFY(box.start());
    QTemporaryDir dir;
    QString path = dir.filePath("no/such/dir/box.lis");
    if (target == 1) {
        path = dir.filePath("ro.lis");
        QVERIFY(hdWrite(path, "protected"));
        QVERIFY(QFile(path).setPermissions(QFileDevice::ReadOwner));
        if (QFileInfo(path).isWritable())
            QSKIP("permissions do not bind this user");
    } else if (target == 2) {
        path = dir.filePath("adir");
        QVERIFY(QDir(dir.path()).mkdir("adir"));
        QVERIFY(hdWrite(path + "/inside", "kept"));
    }
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.getChannellist();
    QCOMPARE(rec.codes, (QList<int>{40, 42, 43, 42, 44, 71, 41, 41}));
    QVERIFY2(rec.logs.last().startsWith("Couldn't open File") || rec.logs.last().startsWith("Couldn't write File"),
             qPrintable(rec.logs.last()));
    QVERIFY(!rec.logs.contains("Downloading done after 0 s"));
    if (target == 1)
        QCOMPARE(readAll(path), QByteArray("protected"));
    else if (target == 2)
        QCOMPARE(readAll(path + "/inside"), QByteArray("kept"));
    else
        QVERIFY(!QFile::exists(path));
}

void tst_hdlist::longList()
{
    hdBox::Behaviour b;
    b.list = hdBox::sampleList(6000);   // about 384 kB, above the nominal size
    hdBox box(b);
    QVERIFY(box.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("long.lis");
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.getChannellist();
    QCOMPARE(rec.codes, goodDownload);
    QCOMPARE(readAll(path), b.list);
    QVERIFY(rec.progress.last() > 100);
}

// The window closes during a download: the job ends at once, the old file stays.
void tst_hdlist::stopWhileReceiving()
{
    hdBox::Behaviour b;
    b.listSplits << b.beforeList.size() + 200;
    b.splitPauseMs = 20000;
    hdBox box(b);
    QVERIFY(box.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.lis");
    QVERIFY(hdWrite(path, "the old list"));
    serialComVesk link(box.devicePath(), path);
    QList<int> codes;
    QStringList logs;
    QThread thread;
    link.moveToThread(&thread);
    connect(&link, &serialComVesk::sendCurrentAction, this, [&codes](int c) { codes << c; });
    connect(&link, &serialComVesk::writeLog, this, [&logs](const QString &l) { logs << l; });
    thread.start();
    QMetaObject::invokeMethod(&link, "getChannellist", Qt::QueuedConnection);
    QTRY_COMPARE_WITH_TIMEOUT(codes, (QList<int>{40, 42, 43, 42}), 5000);
    QTest::qWait(200);
    QElapsedTimer t;
    t.start();
    link.requestStop();
    QTRY_COMPARE_WITH_TIMEOUT(codes, (QList<int>{40, 42, 43, 42, 41}), 2000);
    QVERIFY(t.elapsed() < 1000);
    thread.quit();
    QVERIFY(thread.wait(2000));
    QCOMPARE(logs.last(), QString("Job stopped: the window was closed"));
    QCOMPARE(readAll(path), QByteArray("the old list"));
    box.stop();
}

static const QList<int> goodUpload = {40, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 41};

void tst_hdlist::upload()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("up.lis");
    const QByteArray list = hdBox::sampleList(40);
    QVERIFY(hdWrite(path, list));
    hdBox box(hdQuickBox(list.size()));
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.sendChannellist();
    QCOMPARE(rec.codes, goodUpload);
    QCOMPARE(box.file(), list);
    QCOMPARE(rec.logs.size(), 9);
    QCOMPARE(rec.logs.first(), "Uploading Channel list: " + path);
    QVERIFY(rec.logs[4].startsWith("File sent. Wrote "));
    QCOMPARE(rec.logs.last(), QString("Uploading done after 0 s"));
}

void tst_hdlist::uploadRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");   // null: no file
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QString>("line");

    QTest::newRow("missing") << QByteArray() << QList<int>{40, 50, 71, 41, 41} << "Channel list not exist";
    QTest::newRow("an update file") << hdFileBytes(2000, "00004023") << QList<int>{40, 50, 77, 41, 41} << "";
    QTest::newRow("list above 409600") << hdFileBytes(409601, "00003040") << QList<int>{40, 50, 77, 41, 41}
                                       << "Checked FiletypeHD: unknown(00003040 ";
}

void tst_hdlist::uploadRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, codes);
    QFETCH(QString, line);
    QTemporaryDir dir;
    const QString path = dir.filePath("up.lis");
    if (!bytes.isNull())
        QVERIFY(hdWrite(path, bytes));
    hdBox box;
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.sendChannellist();
    QCOMPARE(rec.codes, codes);
    QCOMPARE(rec.logs.size(), line.isEmpty() ? 1 : 2);
    if (!line.isEmpty())
        QVERIFY(rec.logs[1].startsWith(line));
    QTest::qWait(50);
    QVERIFY(box.received().isEmpty());
}

// A box that never reports its finish is still started, but the upload is
// not reported as done.
void tst_hdlist::uploadNotFinished()
{
    hdScale s(0.05);
    QTemporaryDir dir;
    const QString path = dir.filePath("up.lis");
    const QByteArray list = hdBox::sampleList(40);
    QVERIFY(hdWrite(path, list));
    hdBox::Behaviour b = hdQuickBox(list.size());
    b.finReply = false;
    hdBox box(b);
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.sendChannellist();
    QCOMPARE(rec.codes, (QList<int>{40, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 76, 63, 64, 41}));
    QVERIFY(box.commands().contains("s"));
    QVERIFY(rec.log("Uploading done").isNull());
    QVERIFY(!rec.log("Error finishing: ").isNull());
}

QTEST_GUILESS_MAIN(tst_hdlist)
#include "hdlist.moc"
