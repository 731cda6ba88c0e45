// What only the whole program shows: the six jobs run from its command line
// against the simulated boxes, with the log, the files and settings.ini it
// leaves; the close signals, from outside and inside the process.
#include "mainwindow.h"
#include "signalclose.h"
#include "testrig.h"

#include <QApplication>
#include <QtTest>

#include <csignal>

class tst_e2e : public QObject
{
    Q_OBJECT
private slots:
    void jobs_data();
    void jobs();
    void closeSignals_data();
    void closeSignals();
    void signalsBecomeEvents();
    void closeEndsTheQuestion();
};

void tst_e2e::jobs_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<QByteArray>("file");          // the file handed over; empty: a download
    QTest::addColumn<QByteArray>("expectedSent");  // every byte the box received
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<bool>("fault");               // HD: a box that refuses; SD: a silent box

    const QByteArray hdUpdate = testRig::image("00004023", 7000), hdList = hdBox::sampleList();
    const QByteArray sdUpdate = testRig::image("00000907", 6000), sdList = testRig::image("00000a07", 3000);
    const QStringList head = {"---------- START ----------", "Softwareversion: 3.0.0.8"};
    const QStringList hdLoad = {"Restarting done: \"Restarting ...\" #ms", "LoadMenu open \"load App\" 0 #ms",
                                "Ready to send file \"binary mode\" #ms"};
    const QStringList hdFlash = {"Flashing done: \"flash it\" #ms", "Finished: \"fin\" #ms", "Starting: \"Deflat OK\" #ms"};
    const QStringList sdLoad = {"Checking SUC", "StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\"",
                                "LoadMenu open: \"Upload Ch_Data\""};
    const QStringList sdSend = {"Upload initialized: \"binary mode\"", "Sending file in.bin"};
    const QStringList sdEnd = {"Waiting til STB finishes", "Finished: \"ready\"", "Starting done: \"Press any key !!\""};

    QTest::newRow("UpdateHD") << "UpdateHD" << hdUpdate << "r\r\nl\r\n" + hdUpdate + "s\r\n"
        << head + QStringList{"Updating Firmware: in.bin"} + hdLoad + QStringList{"File sent. Wrote 7000 data"} + hdFlash
               + QStringList{"Update done after 0 s", ""} << false;
    QTest::newRow("SendListHD") << "SendListHD" << hdList << "r\r\nl\r\n" + hdList + "s\r\n"
        << head + QStringList{"Uploading Channel list: in.bin"} + hdLoad + QStringList{"File sent. Wrote 3864 data"}
               + hdFlash + QStringList{"Uploading done after 0 s", ""} << false;
    QTest::newRow("GetListHD") << "GetListHD" << QByteArray() << QByteArray("help\r\nchlist\r\n")
        << head + QStringList{"Downloading Channel list: out.lis", "Start found", "End of List found",
                              "Downloading done after 0 s", ""} << false;
    QTest::newRow("UpdateSD") << "UpdateSD" << sdUpdate << "100\r\n100\r\n" + sdUpdate + "300\r\n"
        << head + QStringList{"Updating Firmware"} + sdLoad + sdSend + QStringList{"File sent. Wrote 6000 data"} + sdEnd
               + QStringList{"Update done after # s", ""} << false;
    QTest::newRow("SendListSD") << "SendListSD" << sdList << "100\r\n100\r\n" + sdList + "300\r\n"
        << head + QStringList{"Uploading Channel list"} + sdLoad + sdSend + QStringList{"File sent. Wrote 3000 data"}
               + sdEnd + QStringList{"Uploading done after # s", ""} << false;
    QTest::newRow("GetListSD") << "GetListSD" << QByteArray() << QByteArray("100\r\n500\r\n300\r\n")
        << head + QStringList{"Downloading Channel list"} + sdLoad
               + QStringList{"Download initialized: \"Get EEprom Header\"", "Saving List to out.lst",
                             "Downloading Channel list", "End of List found", "Downloading Channel list done",
                             "Starting done: \"Press any key !!\"", "Downloading done after # s", ""} << false;
    QTest::newRow("UpdateHD refused") << "UpdateHD" << hdUpdate << "r\r\nl\r\n" + hdUpdate
        << head + QStringList{"Updating Firmware: in.bin"} + hdLoad
               + QStringList{"File sent. Wrote 7000 data", "Error flashing file: \"wrong\" #ms", ""} << true;
    QTest::newRow("GetListSD silent") << "GetListSD" << QByteArray() << QByteArray("100\r\n100\r\n")
        << head + QStringList{"Downloading Channel list", "Checking SUC", "Error while opening LoadMenu \"\"", ""}
        << true;
}

void tst_e2e::jobs()
{
    QFETCH(QString, job);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, expectedSent);
    QFETCH(QStringList, expectedLog);
    QFETCH(bool, fault);
    const bool hd = job.endsWith("HD");
    hdBox::Behaviour b;
    b.list = hdBox::sampleList(80);
    b.refuse = fault;
    sdBox::Config c;
    c.silent = fault;
    std::unique_ptr<testRig> rig(hd ? new testRig(b) : new testRig(c));
    const QString name = !file.isEmpty() ? "in.bin" : hd ? "out.lis" : "out.lst";
    if (!file.isEmpty())
        QVERIFY(testRig::write(rig->path(name), file));
    QVERIFY(rig->run({"-p", rig->device(), "-t", job, "-f", name, "-s"}));
    // A job's end leaves an empty line after the two start lines.
    QVERIFY2(QTest::qWaitFor([&] { const QStringList l = rig->programLog(); return l.size() > 2 && l.last().isEmpty(); },
                             30000), qPrintable(rig->programLog().join('\n')));
    QCOMPARE(rig->signal(SIGTERM), 0);

    QVERIFY2(rig->received() == expectedSent, qPrintable(QString("the box received %1 bytes").arg(rig->received().size())));
    QCOMPARE(rig->seenSettings(), testRig::lineSettings());
    const QStringList log = rig->programLog();
    QCOMPARE(log.size(), expectedLog.size());
    QVERIFY2(rig->logged(expectedLog, log), qPrintable(log.join('\n')));
    if (file.isEmpty() && fault)
        QVERIFY2(!QFileInfo::exists(rig->path(name)), "a failed download left a file");
    else if (file.isEmpty())   // a download is kept exactly as the box printed it
        QVERIFY(testRig::read(rig->path(name)) == (hd ? hdBox::sampleList(80) : sdBox::plausibleList()));
    else   // a file sent is left untouched
        QVERIFY(testRig::read(rig->path(name)) == file);
    QCOMPARE(rig->setting("Velmora/Transfer").toString(), job);
    QCOMPARE(rig->setting("Velmora/Portname").toString(), rig->device());
    QCOMPARE(rig->setting("Velmora/Filename").toString(), name);
}

void tst_e2e::closeSignals_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("duringJob");
    QTest::newRow("SIGTERM idle") << int(SIGTERM) << false;
    QTest::newRow("SIGHUP idle") << int(SIGHUP) << false;
    QTest::newRow("SIGINT during a job") << int(SIGINT) << true;
    QTest::newRow("SIGHUP during a job") << int(SIGHUP) << true;
}

// Every close signal ends the program as a close of its window does: the
// settings written, a running job stopped at once, exit code 0.
void tst_e2e::closeSignals()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, duringJob);
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
    QCOMPARE(rig.signal(signalNumber, 5000), 0);
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
