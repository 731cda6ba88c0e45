// What only the whole program shows: the six jobs run from its command line
// against the simulated boxes, with the log, the files and settings.ini it
// leaves; batch mode; the close signals, from outside and inside the process.
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
    void batch_data();
    void batch();
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
    QTest::addColumn<QStringList>("expectedLog");  // in this order, between the start lines and the job's end
    QTest::addColumn<bool>("fault");               // HD: a box that refuses; SD: a silent box
    QTest::addColumn<bool>("realLine");            // the box at line rate, its console chatty, reached through socat
    QTest::addColumn<qint64>("fileLimit");         // the largest file the program may write; -1: any

    const QByteArray hdUpdate = testRig::image("00004023", 7000), hdList = hdBox::sampleList();
    const QByteArray sdUpdate = testRig::image("00000907", 6000), sdList = testRig::image("00000a07", 3000);
    const QStringList hdFlash = {"Flashing done: \"flash it\" #ms", "Starting: \"Deflat OK\" #ms"};
    const QStringList sdEnd = {"Finished: \"ready\"", "Starting done: \"Press any key !!\""};
    using L = QStringList;
    QTest::newRow("UpdateHD") << "UpdateHD" << hdUpdate << "r\r\nl\r\n" + hdUpdate + "s\r\n"
        << L{"Updating Firmware: in.bin", "File sent. Wrote 7000 data"} + hdFlash + L{"Update done after 0 s"} << false << false << qint64(-1);
    QTest::newRow("GetListHD") << "GetListHD" << QByteArray() << QByteArray("help\r\nchlist\r\n")
        << L{"Downloading Channel list: out.lis", "Start found", "End of List found", "Downloading done after 0 s"} << false << false << qint64(-1);
    QTest::newRow("UpdateSD") << "UpdateSD" << sdUpdate << "100\r\n100\r\n" + sdUpdate + "300\r\n"
        << L{"Updating Firmware", "Sending file in.bin", "File sent. Wrote 6000 data"} + sdEnd + L{"Update done after # s"}
        << false << false << qint64(-1);
    QTest::newRow("GetListSD") << "GetListSD" << QByteArray() << QByteArray("100\r\n500\r\n300\r\n")
        << L{"Downloading Channel list", "Saving List to out.lst", "End of List found", "Downloading done after # s"}
        << false << false << qint64(-1);
    // A real line through a relay: slow and bursty, yet alive; a console
    // that goes on printing after the list; a full disk that is named.
    const QByteArray hdLarge = testRig::image("00004023", 48000);
    QTest::newRow("UpdateHD, real line") << "UpdateHD" << hdLarge << "r\r\nl\r\n" + hdLarge + "s\r\n"
        << L{"Updating Firmware: in.bin", "File sent. Wrote 48000 data"} + hdFlash + L{"Update done after # s"}
        << false << true << qint64(-1);
    QTest::newRow("GetListHD, real line") << "GetListHD" << QByteArray() << QByteArray("help\r\nchlist\r\n")
        << L{"Downloading Channel list: out.lis", "Start found", "End of List found", "Downloading done after 0 s"}
        << false << true << qint64(-1);
    QTest::newRow("GetListSD, full disk") << "GetListSD" << QByteArray() << QByteArray("100\r\n500\r\n")
        << L{"Downloading Channel list", "End of List found", "Couldn't write FileFile too large"}
        << false << false << qint64(2048);
}

void tst_e2e::jobs()
{
    QFETCH(QString, job);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, expectedSent);
    QFETCH(QStringList, expectedLog);
    QFETCH(bool, fault);
    QFETCH(bool, realLine);
    QFETCH(qint64, fileLimit);
    const bool hd = job.endsWith("HD");
    hdBox::Behaviour b;
    b.list = hdBox::sampleList(80);
    b.refuse = fault;
    b.lineRate = realLine;
    if (realLine) {
        b.afterList = "\r\nCom -> ";
        b.afterListDelayMs = 200;
        b.chatterMs = 300;
    }
    sdBox::Config c;
    c.silent = fault;
    c.lineRate = realLine;
    std::unique_ptr<testRig> rig(hd ? new testRig(b) : new testRig(c));
    const QString name = !file.isEmpty() ? "in.bin" : hd ? "out.lis" : "out.lst";
    if (!file.isEmpty())
        QVERIFY(testRig::write(rig->path(name), file));
    const QString port = realLine ? rig->relay() : rig->device();
    QVERIFY2(!port.isEmpty(), "socat did not start");
    bool started = false;
    testRig::withFileLimit(fileLimit, [&] { started = rig->run({"-p", port, "-t", job, "-f", name, "-s"}); });
    QVERIFY(started);
    // A job's end leaves an empty line after the two start lines.
    QVERIFY2(QTest::qWaitFor([&] { const QStringList l = rig->programLog(); return l.size() > 2 && l.last().isEmpty(); },
                             30000), qPrintable(rig->programLog().join('\n')));
    QCOMPARE(rig->signal(SIGTERM), 0);

    QVERIFY2(rig->received() == expectedSent, qPrintable(QString("the box received %1 bytes").arg(rig->received().size())));
    QCOMPARE(rig->seenSettings(), testRig::lineSettings());
    // One job: its lines between the two start lines and one empty line.
    const QStringList log = rig->programLog();
    QCOMPARE(log.mid(0, 2), QStringList({"---------- START ----------", "Softwareversion: 3.0.0.8"}));
    QCOMPARE(log.count(QString()), 1);
    QVERIFY2(rig->logged(expectedLog + QStringList{""}, log.mid(2)), qPrintable(log.join('\n')));
    if (file.isEmpty() && (fault || fileLimit >= 0))
        QVERIFY2(!QFileInfo::exists(rig->path(name)), "a failed download left a file");
    else if (file.isEmpty())   // a download is kept exactly as the box printed it
        QVERIFY(testRig::read(rig->path(name)) == (hd ? hdBox::sampleList(80) : sdBox::plausibleList()));
    else   // a file sent is left untouched
        QVERIFY(testRig::read(rig->path(name)) == file);
    QCOMPARE(rig->setting("Velmora/Transfer").toString(), job);
    QCOMPARE(rig->setting("Velmora/Portname").toString(), port);
    QCOMPARE(rig->setting("Velmora/Filename").toString(), name);
}

void tst_e2e::batch_data()
{
    QTest::addColumn<QString>("box");          // "hd", "sd" or none
    QTest::addColumn<QString>("fault");        // the box's misbehaviour, "interrupt": SIGINT while it flashes
    QTest::addColumn<QStringList>("args");     // "@port": the box's line; "env:NAME=VALUE" for the program
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");          // all of standard output, as a pattern
    QTest::addColumn<QString>("err");          // found in standard error
    QTest::addColumn<QByteArray>("got");       // all the box received; "*": not compared

    const QString done = QStringLiteral("^done\\n\\z");
    QTest::newRow("UpdateHD") << "hd" << "" << QStringList{"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app"}
        << 0 << "" << "^\\d+%\\n[^%]*^Update done\\n" + done << QByteArray("*");
    QTest::newRow("SendListHD, by content") << "hd" << "" << QStringList{"--batch", "-p", "@port", "hd.lis"}
        << 0 << "" << "^Listupload done\\n" + done << QByteArray("*");
    QTest::newRow("GetListHD") << "hd" << "" << QStringList{"--batch", "-p", "@port", "-t", "GetListHD", "-f", "out.lis"}
        << 0 << "" << "^Listdownload complete\\n" + done << QByteArray("help\r\nchlist\r\n");
    QTest::newRow("UpdateSD") << "sd" << "" << QStringList{"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "sd.app", "sd.app"}
        << 0 << "" << "^\\d+%\\n[^%]*^Update done\\n" + done << QByteArray("*");
    QTest::newRow("GetListSD, German") << "sd" << "" << QStringList{"env:LC_ALL=de_DE.UTF-8", "--batch", "-p", "@port", "-t", "GetListSD", "-f", "out.lst"}
        << 0 << "" << "^Herunterladen der Liste abgeschlossen\\nerledigt\\n\\z" << QByteArray("100\r\n500\r\n300\r\n");
    // A box that does not confirm its start: the job counts as done, with a warning.
    QTest::newRow("HD start unconfirmed") << "hd" << "noStart" << QStringList{"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app"}
        << 0 << "" << "^velmora: warning: the box did not confirm its start" << QByteArray("*");
    QTest::newRow("SD start fails") << "sd" << "noStart" << QStringList{"--batch", "-p", "@port", "-t", "SendListSD", "-f", "sd.lst"}
        << 0 << "" << "^Error while starting the Settopbox\\n[\\s\\S]*warning: the box did not confirm" << QByteArray("*");

    QTest::newRow("no port") << "" << "" << QStringList{"--batch", "-t", "UpdateHD", "-f", "hd.app"}
        << 2 << "" << "no port given" << QByteArray("*");
    QTest::newRow("unknown keyword") << "hd" << "" << QStringList{"--batch", "-p", "@port", "-t", "UpdateHd", "-f", "hd.app"}
        << 2 << "" << "unknown option or job: UpdateHd" << QByteArray("");
    QTest::newRow("no job") << "hd" << "" << QStringList{"--batch", "-p", "@port", "text.txt"}
        << 2 << "" << "no job given" << QByteArray("");
    QTest::newRow("port gone") << "" << "" << QStringList{"--batch", "-p", "/dev/ttyNOPE7", "-t", "GetListSD", "-f", "out.lst"}
        << 3 << "" << "^Couldn't open COM-Port\\n" + done << QByteArray("*");
    QTest::newRow("file missing") << "hd" << "" << QStringList{"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "gone.app"}
        << 4 << "" << "^Couldn't open the File\\n" + done << QByteArray("");
    QTest::newRow("wrong kind") << "sd" << "" << QStringList{"--batch", "-p", "@port", "-t", "UpdateSD", "-f", "sd.lst"}
        << 4 << "" << "^Wrong Filetype detected!\\n" + done << QByteArray("");
    QTest::newRow("name with LF") << "sd" << "" << QStringList{"--batch", "-p", "@port", "-t", "GetListSD", "-f", "keep\nnew.lst"}
        << 4 << "" << "line feed refused: keep\\\\nnew.lst" << QByteArray("");
    QTest::newRow("box refuses") << "hd" << "refuse" << QStringList{"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app"}
        << 5 << "" << "^Error while flashing the File\\n" + done << QByteArray("*");
    QTest::newRow("box silent") << "sd" << "silent" << QStringList{"--batch", "-p", "@port", "-t", "GetListSD", "-f", "out.lst"}
        << 5 << "" << "^Error while opening the LoadMenu\\n" + done << QByteArray("100\r\n100\r\n");
    QTest::newRow("SIGINT") << "hd" << "interrupt" << QStringList{"--batch", "-p", "@port", "-t", "UpdateHD", "-f", "hd.app"}
        << 130 << "" << "^velmora: interrupted" << QByteArray("*");

    QTest::newRow("software") << "hd" << "" << QStringList{"--query", "software", "-p", "@port"}
        << 0 << "V2.10.04 HD 2026-03-18\\n" << done << QByteArray("swvers\r\n");
    QTest::newRow("lowpower") << "hd" << "" << QStringList{"--query", "lowpower", "-p", "@port"}
        << 0 << "1.07\\n" << done << QByteArray("lpsw\r\n");
    QTest::newRow("mac") << "hd" << "" << QStringList{"--query", "mac", "-p", "@port"}
        << 0 << "00-A1-B2-C3-D4-E5\\n" << done << QByteArray("get_mac\r\n");
    QTest::newRow("query, box silent") << "hd" << "silent" << QStringList{"--query", "lowpower", "-p", "@port"}
        << 5 << "" << "^Couldn't receive Data\\n" + done << QByteArray("*");
    QTest::newRow("unknown query") << "hd" << "" << QStringList{"--query", "serial", "-p", "@port"}
        << 2 << "" << "unknown query: serial" << QByteArray("");
    QTest::newRow("reset without --yes") << "hd" << "" << QStringList{"--factory-reset", "-p", "@port"}
        << 2 << "" << "Add --yes" << QByteArray("");
    QTest::newRow("reset") << "hd" << "" << QStringList{"--factory-reset", "--yes", "-p", "@port"}
        << 0 << "" << done << QByteArray("facreset\r\n");
}

// Batch mode, without a display: what it prints, its exit code, what the
// box received.
void tst_e2e::batch()
{
    QFETCH(QString, box);
    QFETCH(QString, fault);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, got);
    hdBox::Behaviour b;
    b.silent = fault == "silent";
    b.refuse = fault == "refuse";
    b.flashReply = fault != "interrupt";   // then it waits 16 s for the flash
    b.comPrompts = fault == "noStart" ? 5 : 0;
    sdBox::Config c;
    c.silent = fault == "silent";
    c.startFails = fault == "noStart";
    std::unique_ptr<testRig> rig(box == "hd" ? new testRig(b) : box == "sd" ? new testRig(c) : new testRig);
    rig->samples({"@hd=hd.app", "@hdList=hd.lis", "@sd2=sd.app", "@sdList=sd.lst", "@text=text.txt"});
    // No display at all, and English unless a row asks otherwise.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
        env.remove(name);
    env.insert("LC_ALL", "C");
    QStringList programArgs;
    for (const QString &a : args) {
        if (a.startsWith("env:"))
            env.insert(a.mid(4).section('=', 0, 0), a.section('=', 1));
        else
            programArgs << (a == "@port" ? rig->device() : a);
    }
    QVERIFY(rig->run(programArgs, env));
    if (fault == "interrupt") {
        QVERIFY(rig->waitForLog("File sent.*", 10000));
        ::kill(pid_t(rig->program.processId()), SIGINT);
    }
    QVERIFY(rig->program.waitForFinished(30000));
    const QString output = QString::fromUtf8(rig->program.readAllStandardOutput());
    const QString errors = QString::fromUtf8(rig->program.readAllStandardError());
    QCOMPARE(rig->program.exitStatus(), QProcess::NormalExit);
    QTEST(rig->program.exitCode(), "exitCode");
    QFETCH(QString, out);
    QFETCH(QString, err);
    QVERIFY2(QRegularExpression("\\A" + out + "\\z").match(output).hasMatch(), qPrintable(output));
    QVERIFY2(QRegularExpression(err, QRegularExpression::MultilineOption).match(errors).hasMatch(), qPrintable(errors));
    // A pipe gets plain lines, no bar drawn over itself.
    QVERIFY(!errors.contains('\r') && !errors.contains('\x1b'));
    if (got != "*")
        QCOMPARE(rig->received(), got);
    QVERIFY(!QFile::exists(rig->path("settings.ini")));
    QCOMPARE(rig->programLog().mid(0, 2), QStringList({"---------- START ----------", "Softwareversion: 3.0.0.8"}));
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
