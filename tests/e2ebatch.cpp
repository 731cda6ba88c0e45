// Batch mode of the real program, without a display, against the simulated
// boxes: what it prints, its exit code, what the box received.

#include "e2erig.h"
#include "hdbox.h"
#include "sdbox.h"

#include <QtTest>

#include <memory>

class tst_e2ebatch : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
};

void tst_e2ebatch::run_data()
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
    QTest::newRow("SendListSD") << "sd" << "" << QStringList{"--batch", "-p", "@port", "-t", "SendListSD", "-f", "sd.lst"}
        << 0 << "" << "^Listupload done\\n" + done << QByteArray("*");
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
    QTest::newRow("software UNKNOWN") << "hd" << "swvers=UNKNOWN" << QStringList{"--query", "software", "-p", "@port"}
        << 0 << "----\\n" << done << QByteArray("*");
    QTest::newRow("mac !LANDEVICE") << "hd" << "get_mac=!LANDEVICE" << QStringList{"--query", "mac", "-p", "@port"}
        << 0 << "no LAN-Device\\n" << done << QByteArray("*");
    QTest::newRow("query, box silent") << "hd" << "silent" << QStringList{"--query", "lowpower", "-p", "@port"}
        << 5 << "" << "^Couldn't receive Data\\n" + done << QByteArray("*");
    QTest::newRow("unknown query") << "hd" << "" << QStringList{"--query", "serial", "-p", "@port"}
        << 2 << "" << "unknown query: serial" << QByteArray("");
    QTest::newRow("reset without --yes") << "hd" << "" << QStringList{"--factory-reset", "-p", "@port"}
        << 2 << "" << "Add --yes" << QByteArray("");
    QTest::newRow("reset") << "hd" << "" << QStringList{"--factory-reset", "--yes", "-p", "@port"}
        << 0 << "" << done << QByteArray("facreset\r\n");
}

void tst_e2ebatch::run()
{
    QFETCH(QString, box);
    QFETCH(QString, fault);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, got);

    std::unique_ptr<hdBox> hdb;
    std::unique_ptr<sdBox> sdb;
    QString device;
    if (box == "hd") {
        hdBox::Behaviour b;
        b.silent = fault == "silent";
        b.refuse = fault == "refuse";
        b.flashReply = fault != "interrupt";   // then it waits 16 s for the flash
        b.comPrompts = fault == "noStart" ? 5 : 0;
        if (fault.contains('='))
            b.replies.insert(fault.section('=', 0, 0).toLatin1(), fault.section('=', 1).toLatin1() + "\r\n");
        hdb.reset(new hdBox(b));
        QVERIFY(hdb->start());
        device = hdb->devicePath();
    } else if (box == "sd") {
        sdBox::Config c;
        c.silent = fault == "silent";
        c.startFails = fault == "noStart";
        sdb.reset(new sdBox(c));
        QVERIFY(sdb->start());
        device = sdb->devicePath();
    }

    velmoraRun run;
    QVERIFY(run.write("hd.app", patterned(70000, "00004023")));
    QVERIFY(run.write("hd.lis", hdBox::sampleList()));
    QVERIFY(run.write("sd.app", patterned(60000, "00000907")));
    QVERIFY(run.write("sd.lst", patterned(30000, "00000a07")));
    QVERIFY(run.write("text.txt", "no box takes this\n"));
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
            programArgs << (a == "@port" ? device : a);
    }
    run.m_proc.setProcessEnvironment(env);
    run.m_proc.start(QStringLiteral(VELMORA_PROGRAM), programArgs);
    QVERIFY(run.m_proc.waitForStarted(10000));
    if (fault == "interrupt") {
        QVERIFY(run.waitForLogLine("File sent.", 10000));
        ::kill(pid_t(run.m_proc.processId()), SIGINT);
    }
    QVERIFY(run.m_proc.waitForFinished(30000));
    const QString output = QString::fromUtf8(run.m_proc.readAllStandardOutput());
    const QString errors = QString::fromUtf8(run.m_proc.readAllStandardError());
    QCOMPARE(run.m_proc.exitStatus(), QProcess::NormalExit);
    QTEST(run.m_proc.exitCode(), "exitCode");
    QFETCH(QString, out);
    QFETCH(QString, err);
    QVERIFY2(QRegularExpression("\\A" + out + "\\z").match(output).hasMatch(), qPrintable(output));
    QVERIFY2(QRegularExpression(err, QRegularExpression::MultilineOption).match(errors).hasMatch(), qPrintable(errors));
    // A pipe gets plain lines, no bar drawn over itself.
    QVERIFY(!errors.contains('\r') && !errors.contains('\x1b'));
    if (got != "*")
        QCOMPARE(hdb ? hdb->received() : sdb->received(), got);
    QVERIFY(!QFile::exists(run.path("settings.ini")));
    QCOMPARE(run.log().mid(0, 2), QStringList({"---------- START ----------", "Softwareversion: 3.0.0.8"}));
}

QTEST_GUILESS_MAIN(tst_e2ebatch)
#include "e2ebatch.moc"
