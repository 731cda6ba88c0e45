// The six jobs run by the real program from its command line, each against a
// simulated box: what the box received, the files, the log and the settings.

#include "e2erig.h"
#include "hdbox.h"
#include "sdbox.h"

#include <QtTest>

#include <memory>

class tst_e2ejobs : public QObject
{
    Q_OBJECT
private slots:
    void jobs_data();
    void jobs();
    void closeSignals_data();
    void closeSignals();
};

void tst_e2ejobs::jobs_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<QByteArray>("file");       // the file handed over; empty: a download
    QTest::addColumn<QByteArray>("expectedSent"); // every byte the box received
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<QString>("fault");         // "refuse" or "silent" box, or none

    const QByteArray hdUpdate = patterned(70000, "00004023");
    const QByteArray hdList = hdBox::sampleList();
    const QByteArray sdUpdate = patterned(60000, "00000907");
    const QByteArray sdList = patterned(30000, "00000a07");
    const QStringList head = {QStringLiteral("---------- START ----------"), QStringLiteral("Softwareversion: 3.0.0.8")};

    QTest::newRow("UpdateHD") << "UpdateHD" << hdUpdate
        << QByteArray("r\r\nl\r\n" + hdUpdate + "s\r\n")
        << head + QStringList{"Updating Firmware: in.bin", "Restarting done: \"Restarting ...\" #ms",
                              "LoadMenu open \"load App\" 0 #ms", "Ready to send file \"binary mode\" #ms",
                              "File sent. Wrote 70000 data", "Flashing done: \"flash it\" #ms",
                              "Finished: \"fin\" #ms", "Starting: \"Deflat OK\" #ms",
                              "Update done after # s", ""} << QString();
    const QStringList hdTail = {"Restarting done: \"Restarting ...\" #ms", "LoadMenu open \"load App\" 0 #ms",
                                "Ready to send file \"binary mode\" #ms"};
    const QStringList hdFlash = {"Flashing done: \"flash it\" #ms", "Finished: \"fin\" #ms",
                                 "Starting: \"Deflat OK\" #ms"};
    const QStringList sdLoad = {"Checking SUC", "StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\"",
                                "LoadMenu open: \"Upload Ch_Data\""};
    const QStringList sdSend = {"Upload initialized: \"binary mode\"", "Sending file in.bin"};
    const QStringList sdEnd = {"Waiting til STB finishes", "Finished: \"ready\"", "Starting done: \"Press any key !!\""};

    QTest::newRow("SendListHD") << "SendListHD" << hdList << QByteArray("r\r\nl\r\n" + hdList + "s\r\n")
        << head + QStringList{"Uploading Channel list: in.bin"} + hdTail + QStringList{"File sent. Wrote 3864 data"}
               + hdFlash + QStringList{"Uploading done after # s", ""} << QString();
    QTest::newRow("GetListHD") << "GetListHD" << QByteArray() << QByteArray("help\r\nchlist\r\n")
        << head + QStringList{"Downloading Channel list: out.lis", "Start found", "End of List found",
                              "Downloading done after # s", ""} << QString();
    QTest::newRow("UpdateSD") << "UpdateSD" << sdUpdate << QByteArray("100\r\n100\r\n" + sdUpdate + "300\r\n")
        << head + QStringList{"Updating Firmware"} + sdLoad + sdSend + QStringList{"File sent. Wrote 60000 data"}
               + sdEnd + QStringList{"Update done after # s", ""} << QString();
    QTest::newRow("SendListSD") << "SendListSD" << sdList << QByteArray("100\r\n100\r\n" + sdList + "300\r\n")
        << head + QStringList{"Uploading Channel list"} + sdLoad + sdSend + QStringList{"File sent. Wrote 30000 data"}
               + sdEnd + QStringList{"Uploading done after # s", ""} << QString();
    QTest::newRow("GetListSD") << "GetListSD" << QByteArray() << QByteArray("100\r\n500\r\n300\r\n")
        << head + QStringList{"Downloading Channel list"} + sdLoad
               + QStringList{"Download initialized: \"Get EEprom Header\"", "Saving List to out.lst",
                             "Downloading Channel list", "End of List found", "Downloading Channel list done",
                             "Starting done: \"Press any key !!\"", "Downloading done after # s", ""} << QString();

    // The main failures: a box that refuses the file, a box that says nothing.
    QTest::newRow("UpdateHD refused") << "UpdateHD" << hdUpdate << QByteArray("r\r\nl\r\n" + hdUpdate)
        << head + QStringList{"Updating Firmware: in.bin"} + hdTail
               + QStringList{"File sent. Wrote 70000 data", "Error flashing file: \"wrong\" #ms", ""}
        << "refuse";
    QTest::newRow("GetListSD silent") << "GetListSD" << QByteArray() << QByteArray("100\r\n100\r\n")
        << head + QStringList{"Downloading Channel list", "Checking SUC", "Error while opening LoadMenu \"\"", ""}
        << "silent";
}

void tst_e2ejobs::jobs()
{
    QFETCH(QString, job);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, expectedSent);
    QFETCH(QStringList, expectedLog);
    QFETCH(QString, fault);

    const bool hd = job.endsWith(QLatin1String("HD"));
    std::unique_ptr<hdBox> hdb;
    std::unique_ptr<sdBox> sdb;
    QString device;
    if (hd) {
        hdBox::Behaviour b;
        b.list = hdBox::sampleList(80);
        b.refuse = fault == QLatin1String("refuse");
        hdb.reset(new hdBox(b));
        QVERIFY(hdb->start());
        device = hdb->devicePath();
    } else {
        sdBox::Config c;
        c.silent = fault == QLatin1String("silent");
        sdb.reset(new sdBox(c));
        QVERIFY(sdb->start());
        device = sdb->devicePath();
    }

    velmoraRun run;
    const QString name = file.isEmpty() ? (hd ? QStringLiteral("out.lis") : QStringLiteral("out.lst"))
                                        : QStringLiteral("in.bin");
    if (!file.isEmpty())
        QVERIFY(run.write(name, file));
    QVERIFY(run.start({"-p", device, "-t", job, "-f", name, "-s"}));
    QVERIFY2(run.waitForJobEnd(30000), qPrintable(run.log().join('\n')));
    QVERIFY2(lineFree(device), "the program still holds the line after the job");
    QCOMPARE(run.terminate(), 0);

    const QByteArray sent = hd ? hdb->received() : sdb->received();
    QVERIFY2(sent == expectedSent, qPrintable(QStringLiteral("the box received %1 other bytes").arg(sent.size())));
    if (file.isEmpty() && !fault.isEmpty()) {
        QVERIFY2(!QFileInfo::exists(run.path(name)), "a failed download left a file");
    } else if (file.isEmpty()) {
        // A download is kept exactly as the box printed it.
        const QByteArray list = hd ? hdBox::sampleList(80) : sdBox::plausibleList();
        QVERIFY2(run.read(name) == list, "the list written differs from the box's list");
    } else {
        QCOMPARE(run.read(name), file);   // a file sent is left untouched
        if (hd)
            QVERIFY(hdb->file() == file);
        else if (!fault.isEmpty())
            QVERIFY(sdb->files().isEmpty());
        else
            QVERIFY(sdb->files() == QList<QByteArray>{file});
    }
    QCOMPARE(run.log(), expectedLog);

    QCOMPARE(run.setting("Velmora/Transfer").toString(), job);
    QCOMPARE(run.setting("Velmora/Portname").toString(), device);
    QCOMPARE(run.setting("Velmora/Filename").toString(), name);
}

void tst_e2ejobs::closeSignals_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("duringJob");
    QTest::newRow("SIGTERM idle") << int(SIGTERM) << false;
    QTest::newRow("SIGINT idle") << int(SIGINT) << false;
    QTest::newRow("SIGHUP idle") << int(SIGHUP) << false;
    QTest::newRow("SIGINT during a job") << int(SIGINT) << true;
    QTest::newRow("SIGHUP during a job") << int(SIGHUP) << true;
}

// Every close signal ends the program as a close of its window does: the
// settings written, a running job stopped, exit code 0.
void tst_e2ejobs::closeSignals()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, duringJob);
    hdBox::Behaviour b;
    b.flashReply = false;   // the job waits 16 s for the flash
    hdBox box(b);
    QVERIFY(box.start());
    velmoraRun run;
    QVERIFY(run.write("in.bin", patterned(70000, "00004023")));
    QStringList args = {"-p", box.devicePath(), "-t", "UpdateHD", "-f", "in.bin"};
    if (duringJob)
        args << "-s";
    QVERIFY(run.start(args));
    QVERIFY(run.waitForLogLine(duringJob ? QStringLiteral("File sent.") : QStringLiteral("Softwareversion"), 10000));
    QTest::qWait(300);
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(run.m_proc.processId()), signalNumber);
    QVERIFY(run.m_proc.waitForFinished(5000));
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(run.m_proc.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.m_proc.exitCode(), 0);
    QCOMPARE(run.setting("Velmora/Transfer").toString(), QStringLiteral("UpdateHD"));
    QCOMPARE(run.setting("Velmora/Filename").toString(), QStringLiteral("in.bin"));
    const QStringList log = run.log();
    QCOMPARE(log.contains(QStringLiteral("Job stopped: the window was closed")), duringJob);
    QVERIFY(!log.contains(QStringLiteral("Flashing done")));
    QVERIFY(box.received() == (duringJob ? QByteArray("r\r\nl\r\n" + patterned(70000, "00004023")) : QByteArray()));
}

QTEST_GUILESS_MAIN(tst_e2ejobs)
#include "e2ejobs.moc"
