// SD channel lists over a real pseudo-terminal: downloads with and without
// a dash run, markers in pieces, late, missing, vanishing and endless lists,
// unwritable targets; the first line of the file name; the program.

#include "lockedfolder.h"
#include "sdrig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using Codes = QList<int>;
using Commands = QList<QByteArray>;

namespace {
const Codes downloadOk{0, 2, 7, 8, 19, 20, 3, 2, 4, 12, 13, 5, 1};
const QByteArray oldList("an older list that must survive");
} // namespace

class tst_sdlist : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void downloads_data();
    void downloads();
    void failedDownloads_data();
    void failedDownloads();
    void firstLineOnly();
    void windowClosedDuringDownload();
    void programServes();

private:
    QString path(const QString &name) { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_sdlist::initTestCase()
{
    QVERIFY(m_dir.isValid());
    linkClock::setScale(0.2);
}

void tst_sdlist::downloads_data()
{
    QTest::addColumn<int>("dashes");
    QTest::addColumn<bool>("split");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("lineEnd");   // after the marker
    QTest::addColumn<int>("pauseMs");          // after the marker's line
    QTest::addColumn<bool>("locked");          // the old list's folder takes no new file

    QTest::newRow("dash run") << 40 << false << 185026 << QByteArray() << 0 << false;
    QTest::newRow("no dashes: list follows the marker at once") << 0 << false << 185026 << QByteArray() << 0 << false;
    QTest::newRow("one dash") << 1 << false << 185026 << QByteArray() << 0 << false;
    QTest::newRow("markers in pieces") << 40 << true << 185026 << QByteArray() << 0 << false;
    QTest::newRow("tiny list in the marker's read") << 0 << false << 24 << QByteArray() << 0 << false;
    QTest::newRow("longer than the progress size") << 10 << false << 200000 << QByteArray() << 0 << false;
    QTest::newRow("console line end after the marker") << 40 << false << 185026 << QByteArray("\r\n") << 0 << false;
    QTest::newRow("line end, dashes in a later read") << 40 << false << 185026 << QByteArray("\r\n") << 60 << false;
    QTest::newRow("line end, then the list") << 0 << false << 185026 << QByteArray("\r\n") << 60 << false;
    QTest::newRow("marker alone, dashes later") << 40 << false << 185026 << QByteArray() << 60 << false;
    QTest::newRow("old list in a locked folder") << 40 << false << 1000 << QByteArray() << 0 << true;
}

void tst_sdlist::downloads()
{
    QFETCH(int, dashes);
    QFETCH(bool, split);
    QFETCH(int, size);
    QFETCH(QByteArray, lineEnd);
    QFETCH(int, pauseMs);
    QFETCH(bool, locked);
    sdBox::Config config;
    config.dashes = dashes;
    config.splitListMarkers = split;
    config.markerLineEnd = lineEnd;
    config.afterMarkerPauseMs = pauseMs;
    config.list = sdBox::plausibleList(size);
    sdRig rig(config);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("down.lst"));
    QVERIFY(sdWrite(target, oldList));
    QScopedPointer<lockedFolder> lock(locked ? new lockedFolder(folder.path()) : nullptr);
    if (lock && !lock->locked)
        QSKIP("no way to lock a folder here");
    rig.link.setFilename(target);
    rig.link.getChannellist();
    lock.reset();

    QCOMPARE(rig.codes, downloadOk);
    QCOMPARE(sdRead(target), config.list);
    QCOMPARE(rig.box.commands(), (Commands{"100", "500", "300"}));
    const int saving = rig.log.indexOf(QStringLiteral("Saving List to ") + target);
    QVERIFY(saving > 0);
    QCOMPARE(rig.log.mid(saving + 1, 2),
             (QStringList{"Downloading Channel list", "End of List found"}));
    QVERIFY(rig.log.contains(QStringLiteral("Downloading Channel list done")));
    QCOMPARE(rig.log.last(), QStringLiteral("Downloading done after 0 s"));
    QVERIFY(!rig.progress.isEmpty());
    for (int i = 1; i < rig.progress.size(); ++i)
        QVERIFY(rig.progress[i] >= rig.progress[i - 1]);
    // Progress counts what came before the end marker's read, against 185026 bytes.
    QVERIFY(rig.progress.last() <= qint64(size) * 100 / 185026);
    if (size > 185026)
        QVERIFY(rig.progress.last() > 100);
    else if (size == 185026)
        QVERIFY(rig.progress.last() >= 95);
}

void tst_sdlist::failedDownloads_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("logged");

    QTest::newRow("start later than the dash window") << 0 << 25 << "Timeout!";
    QTest::newRow("no start at all") << 1 << 24 << "No Data received!";
    QTest::newRow("babble without a start") << 2 << 24 << "No start of the list found!";
    QTest::newRow("line vanishes mid-list") << 3 << 24 << "Error: the serial line is gone";
    QTest::newRow("list without its end") << 4 << 25 << "Timeout!";
    QTest::newRow("endless list") << 5 << 24 << "Channel list too long";
    QTest::newRow("folder missing") << 6 << 22 << "Couldn't open File";
    QTest::newRow("target is a folder") << 7 << 22 << "Couldn't open File";
    QTest::newRow("empty list") << 8 << 24 << "The box sent an empty Channel list";
}

void tst_sdlist::failedDownloads()
{
    QFETCH(int, fault);
    QFETCH(int, code);
    QFETCH(QString, logged);
    sdBox::Config config;
    QString target = path(QStringLiteral("kept.lst"));
    switch (fault) {
    case 0: config.startUploadDelayMs = 300; break;
    case 1: config.startUploadDelayMs = 3000; break;
    case 2:
        config.startUploadDelayMs = 3000;
        config.replies.insert("500", {{0, "Get EEprom Header\r\n"}, {20, QByteArray(300, 'z')}});
        break;
    case 3: config.cutListAfter = 5000; break;
    case 4: config.omitEndUpload = true; break;
    case 5: config.listFlood = true; break;
    case 8: config.emptyList = true; break;
    case 6: target = path(QStringLiteral("no/such/folder/new.lst")); break;
    case 7:
        target = path(QStringLiteral("a folder"));
        QVERIFY(QDir().mkpath(target));
        QVERIFY(sdWrite(target + QStringLiteral("/inside"), oldList));
        break;
    }
    if (fault < 6 || fault == 8)
        QVERIFY(sdWrite(target, oldList));
    sdRig rig(config);
    rig.link.setFilename(target);
    rig.link.getChannellist();

    QCOMPARE(rig.count(5), 0);
    QCOMPARE(rig.count(1), 1);
    QCOMPARE(rig.codes.last(), 1);
    QVERIFY2(!rig.log.filter(logged).isEmpty(), qPrintable(rig.log.join(" | ")));
    QVERIFY2(rig.count(code) == 1, qPrintable(rig.log.join(" | ")));
    // No start of the box after a failed download.
    QVERIFY(!rig.box.commands().contains("300"));
    if (fault < 6 || fault == 8)
        QCOMPARE(sdRead(target), oldList);
    else if (fault == 6)
        QVERIFY(!QFile::exists(target));
    else
        QCOMPARE(sdRead(target + QStringLiteral("/inside")), oldList);
    if (code == 22) {
        // After the end of the list, the fixed text directly followed by the reason.
        QCOMPARE(rig.codes.mid(rig.codes.size() - 3), (Codes{4, 22, 1}));
        const QString line = rig.log.filter(logged).first();
        QVERIFY(line.size() > logged.size() && line.at(logged.size()) != QLatin1Char(' '));
    }
}

void tst_sdlist::firstLineOnly()
{
    const QString first = path(QStringLiteral("first.lst"));
    const QString second = path(QStringLiteral("second.lst"));
    {
        sdRig rig;
        rig.link.setFilename(first + "\n" + second);
        rig.link.getChannellist();
        QCOMPARE(rig.count(5), 1);
        QVERIFY(QFile::exists(first));
        QVERIFY(!QFile::exists(second));
    }
    {
        // The upload takes the first line too: a valid list, then a file that is none.
        QVERIFY(sdWrite(second, "not a list"));
        sdRig rig;
        rig.link.setFilename(first + "\n" + second);
        rig.link.sendChannellist();
        QCOMPARE(rig.count(14), 1);
        QCOMPARE(rig.box.files(), QList<QByteArray>{sdRead(first)});
        QCOMPARE(rig.progress.last(), 100);
    }
}

void tst_sdlist::windowClosedDuringDownload()
{
    // The box is slow to start its list; the window closes meanwhile.
    sdBox::Config config;
    config.startUploadDelayMs = 5000;
    sdRig rig(config);
    const QString target = path(QStringLiteral("stopped.lst"));
    QVERIFY(sdWrite(target, oldList));
    rig.link.setFilename(target);
    QElapsedTimer clock;
    clock.start();
    std::thread closer([&rig] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        rig.link.requestStop();
    });
    rig.link.getChannellist();
    const qint64 took = clock.elapsed();
    closer.join();
    QVERIFY2(took < 300 + 500, qPrintable(QString::number(took)));
    QCOMPARE(rig.log.last(), QStringLiteral("Job stopped: the window was closed"));
    QCOMPARE(rig.codes, (Codes{0, 2, 7, 8, 19, 20, 3, 1}));
    QCOMPARE(rig.box.commands(), (Commands{"100", "500"}));
    QCOMPARE(sdRead(target), oldList);
}

void tst_sdlist::programServes()
{
    // The program users run: device path first, a healthy box by default,
    // gone when its input closes.
    QProcess program;
    program.start(QStringLiteral(SDBOX_PROGRAM), {QStringLiteral("--dashes"), QStringLiteral("5")});
    QVERIFY(program.waitForStarted());
    QVERIFY(program.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(program.readLine()).trimmed();
    QVERIFY(device.startsWith(QStringLiteral("/dev/")));

    serialComKarn link;
    QList<int> codes;
    connect(&link, &serialComKarn::sendCurrentAction, this, [&](int c) { codes.append(c); });
    link.setPortname(device);
    const QString target = path(QStringLiteral("program.lst"));
    link.setFilename(target);
    link.getChannellist();
    QCOMPARE(codes, downloadOk);
    const QByteArray list = sdRead(target);
    QVERIFY(list.size() < 204800);
    QCOMPARE(list.mid(16, 4), QByteArray::fromHex("00000a07"));
    QCOMPARE(int(link.checkFiletype(target)), 1);

    // And the list goes back up.
    codes.clear();
    link.sendChannellist();
    QCOMPARE(codes, (Codes{0, 6, 7, 8, 17, 18, 9, 10, 11, 12, 13, 14, 1}));

    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_sdlist)
#include "sdlist.moc"
