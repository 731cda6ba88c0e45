// SD firmware updates over a real pseudo-terminal: the log of a good run,
// several files in one job, ports that cannot be opened (both families), a
// line that vanishes and a window closed during a job.

#include "sdrig.h"
#include "serialcomvesk.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSerialPort>
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
    void portErrors_data();
    void portErrors();
    void lineVanishes_data();
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

// A port that cannot be opened: the log names it and gives the system's
// reason, for both families, and the job ends with the port codes.
void tst_sdupdate::portErrors_data()
{
    QTest::addColumn<bool>("hd");
    QTest::addColumn<QString>("port");   // "busy": the box's line, held open elsewhere
    QTest::addColumn<QString>("line");
    for (bool hd : {false, true}) {
        const char *family = hd ? "HD " : "SD ";
        QTest::newRow(qPrintable(family + QString("no port chosen"))) << hd << QString()
            << "^Error: open Port: .+ \\(no port chosen\\)$";
        QTest::newRow(qPrintable(family + QString("device gone"))) << hd << "/dev/velmora-no-such-port"
            << "^Error: open Port: No such file or directory \\(/dev/velmora-no-such-port\\)$";
        QTest::newRow(qPrintable(family + QString("system name of a missing device"))) << hd << "ttyVelmora9"
            << "^Error: open Port: No such file or directory \\(/dev/ttyVelmora9\\)$";
        QTest::newRow(qPrintable(family + QString("port in use"))) << hd << "busy"
            << "^Error: open Port: Device or resource busy \\(.+\\) \\(/dev/pts/\\d+\\)$";
    }
}

void tst_sdupdate::portErrors()
{
    QFETCH(bool, hd);
    QFETCH(QString, port);
    QFETCH(QString, line);
    sdRig rig;
    QSerialPort holder(rig.box.devicePath());
    if (port == QLatin1String("busy")) {
        QVERIFY(holder.open(QIODevice::ReadWrite));
        port = rig.box.devicePath();
    }
    const QString job = file("00000907", 300);
    QList<int> codes;
    QStringList log;
    serialComVesk hdLink(port, job);
    connect(&hdLink, &serialComVesk::sendCurrentAction, this, [&](int c) { codes << c; });
    connect(&hdLink, &serialComVesk::writeLog, this, [&](const QString &l) { log << l; });
    if (hd) {
        hdLink.updateFirmware();
    } else {
        rig.link.setPortname(port);
        rig.link.setFilename(job);
        rig.link.updateFirmware();
        codes = rig.codes;
        log = rig.log;
    }
    QCOMPARE(codes, hd ? (Codes{40, 66, 68, 41}) : (Codes{0, 15, 21, 1}));
    QCOMPARE(log.size(), 1);
    QVERIFY2(QRegularExpression(line).match(log[0]).hasMatch(), qPrintable(log[0]));
    QTest::qWait(50);
    QVERIFY(rig.box.received().isEmpty());
}

void tst_sdupdate::lineVanishes_data()
{
    QTest::addColumn<qint64>("cutAfter");   // received bytes
    QTest::addColumn<int>("size");
    // The line goes away after the two commands and part of the file.
    QTest::newRow("in mid-file") << qint64(10 + 3000) << 100000;
    // ... or right after the whole file: the finish wait must not sit out its 30 s.
    QTest::newRow("after the file") << qint64(10 + 300) << 300;
}

void tst_sdupdate::lineVanishes()
{
    QFETCH(qint64, cutAfter);
    QFETCH(int, size);
    sdBox::Config config;
    config.cutAfter = cutAfter;
    sdRig rig(config);
    rig.link.setFilename(file(size > 102400 ? "00000d07" : "00000907", size));
    rig.link.updateFirmware();
    QCOMPARE(rig.count(16), 0);
    QCOMPARE(rig.count(1), 1);
    QCOMPARE(rig.codes.last(), 1);
    // Told in words a user understands, with nothing sent after it.
    QVERIFY2(rig.log.last().startsWith("Error: the serial line is gone (device unplugged or cable pulled): "),
             qPrintable(rig.log.join('\n')));
    QVERIFY(!rig.box.commands().contains("300"));
    if (size == 100000) {
        // Reported as a failed write, not as a file sent.
        QCOMPARE(rig.codes, (Codes{0, 15, 7, 8, 17, 18, 9, 26, 1}));
        QVERIFY(rig.log.filter(QStringLiteral("File sent")).isEmpty());
        QVERIFY(rig.log.contains(QStringLiteral("Error writing data to Port")));
    }
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
