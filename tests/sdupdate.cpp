// SD firmware updates over a real pseudo-terminal: the log of a good run,
// several files in one job, a missing port, a line that vanishes
// mid-transfer and a window closed during a job.

#include "sdrig.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using Codes = QList<int>;

class tst_sdupdate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void logOfGoodUpdate();
    void twoFilesOneProgress();
    void portMissing();
    void lineVanishes();
    void windowClosedDuringJob();

private:
    QString file(const char *signature, int size);
    QTemporaryDir m_dir;
    int m_files = 0;
};

void tst_sdupdate::initTestCase()
{
    QVERIFY(m_dir.isValid());
    linkClock::setScale(0.2);
}

QString tst_sdupdate::file(const char *signature, int size)
{
    const QString path = m_dir.filePath(QStringLiteral("f%1.app").arg(++m_files));
    sdWrite(path, sdImage(signature, size));
    return path;
}

void tst_sdupdate::logOfGoodUpdate()
{
    sdRig rig;
    const QString path = file("00000907", 5000);
    rig.link.setFilename(path);
    rig.link.updateFirmware();
    QCOMPARE(rig.codes, (Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 13, 16, 1}));
    const QStringList expected{
        "Updating Firmware",
        "Checking SUC",
        "StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\"",
        "LoadMenu open: \"Upload Ch_Data\"",
        "Upload initialized: \"binary mode\"",
        "Sending file " + path,
        "File sent. Wrote 5000 data",
        "Waiting til STB finishes",
        "Finished: \"ready\"",
        "Starting done: \"Press any key !!\"",
        "Update done after 0 s",
    };
    QCOMPARE(rig.log, expected);
    QCOMPARE(rig.box.files(), QList<QByteArray>{sdRead(path)});
    QCOMPARE(rig.progress.last(), 100);
}

void tst_sdupdate::twoFilesOneProgress()
{
    sdRig rig;
    const QString first = file("00000d07", 100000);
    const QString second = file("00501c00", 400000);
    rig.link.setFilename(first + "\n" + second);
    rig.link.updateFirmware();
    QCOMPARE(rig.count(16), 1);
    // One load menu, then one binary mode per file.
    QCOMPARE(rig.box.commands(), (QList<QByteArray>{"100", "100", "100", "300"}));
    QCOMPARE(rig.box.files(), (QList<QByteArray>{sdRead(first), sdRead(second)}));
    // Progress runs once across both files: 20 after the first, 100 at the end.
    const int firstSent = rig.events.indexOf(QStringLiteral("c10"));
    QVERIFY(firstSent > 0);
    QCOMPARE(rig.events.at(firstSent - 1), QStringLiteral("p20"));
    QCOMPARE(rig.progress.last(), 100);
    for (int i = 1; i < rig.progress.size(); ++i)
        QVERIFY(rig.progress[i] >= rig.progress[i - 1]);
}

void tst_sdupdate::portMissing()
{
    sdRig rig;
    rig.link.setPortname(QStringLiteral("/dev/velmora-no-such-port"));
    rig.link.setFilename(file("00000907", 300));
    rig.link.updateFirmware();
    QCOMPARE(rig.codes, (Codes{0, 15, 21, 1}));
    QCOMPARE(rig.log.size(), 1);
    QVERIFY(rig.log[0].startsWith(QStringLiteral("Error: open Port: ")));
    QVERIFY(rig.log[0].size() > int(qstrlen("Error: open Port: ")));
}

void tst_sdupdate::lineVanishes()
{
    // The line goes away after the two commands and part of the file.
    sdBox::Config config;
    config.cutAfter = 10 + 3000;
    sdRig rig(config);
    rig.link.setFilename(file("00000d07", 100000));
    QElapsedTimer clock;
    clock.start();
    rig.link.updateFirmware();
    QCOMPARE(rig.count(16), 0);
    QCOMPARE(rig.count(1), 1);
    QCOMPARE(rig.codes.last(), 1);
    // Reported as a failed write, not as a file sent.
    QCOMPARE(rig.codes, (Codes{0, 15, 7, 8, 17, 18, 9, 26, 1}));
    QVERIFY(rig.log.filter(QStringLiteral("File sent")).isEmpty());
    QCOMPARE(rig.log.last(), QStringLiteral("Error writing data to Port"));
    QVERIFY(clock.elapsed() < 20000);
}

void tst_sdupdate::windowClosedDuringJob()
{
    sdBox::Config config;
    config.finishSilent = true;
    sdRig rig(config);
    rig.link.setFilename(file("00000907", 300));
    QElapsedTimer clock;
    clock.start();
    std::thread closer([&rig] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        rig.link.requestStop();
    });
    rig.link.updateFirmware();
    const qint64 took = clock.elapsed();
    closer.join();
    QVERIFY2(took < 400 + 500, qPrintable(QString::number(took)));
    QCOMPARE(rig.log.count(QStringLiteral("Job stopped: the window was closed")), 1);
    // No start command after the stop, no failure or success report.
    QCOMPARE(rig.box.commands(), (QList<QByteArray>{"100", "100"}));
    QCOMPARE(rig.codes, (Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 1}));
}

QTEST_GUILESS_MAIN(tst_sdupdate)
#include "sdupdate.moc"
