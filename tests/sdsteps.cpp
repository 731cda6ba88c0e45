// The SD dialogue over a real pseudo-terminal, one table of jobs: each
// step's two attempts, the StartUpControl test, the box's verdict after a
// file, lines in pieces, a babbling box, files refused before anything is
// sent. Then block tiers, command pacing and full-length windows.

#include "sdrig.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using Codes = QList<int>;
using Commands = QList<QByteArray>;
using Fault = std::function<void(sdBox::Config &)>;
Q_DECLARE_METATYPE(Fault)

namespace {
const Codes updateOk{0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 13, 16, 1};
const Codes downloadOk{0, 2, 7, 8, 19, 20, 3, 2, 4, 12, 13, 5, 1};
const Codes uploadOk{0, 6, 7, 8, 17, 18, 9, 10, 11, 12, 13, 14, 1};
const Commands updateCommands{"100", "100", "300"};

Fault ignoring(QSet<int> numbers)
{
    return [numbers](sdBox::Config &c) { c.ignore = numbers; };
}
} // namespace

class tst_sdsteps : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void jobs_data();
    void jobs();
    void blockTiers_data();
    void blockTiers();
    void finishWaitsItsWindow();
    void pacingAtFullLength();
    void noBoxAtFullLength();

private:
    QString file(const char *signature, int size);
    QTemporaryDir m_dir;
    int m_files = 0;
};

void tst_sdsteps::initTestCase()
{
    QVERIFY(m_dir.isValid());
    linkClock::setScale(0.2);
}

QString tst_sdsteps::file(const char *signature, int size)
{
    const QString path = m_dir.filePath(QStringLiteral("file%1.bin").arg(++m_files));
    sdWrite(path, sdImage(signature, size));
    return path;
}

void tst_sdsteps::jobs_data()
{
    QTest::addColumn<char>("job"); // u update, g download, s upload
    QTest::addColumn<QString>("files");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<Commands>("commands");
    QTest::addColumn<QString>("logged"); // a line the log must hold
    QTest::addColumn<QString>("absent"); // a text no log line may hold

    const QString img = file("00000907", 300);
    const QString list = file("00000a07", 300);
    const QString dl = m_dir.filePath(QStringLiteral("down.lst"));
    const Fault healthy = [](sdBox::Config &) {};
    auto suc = [](const QByteArray &version, const QByteArray &menu = "Upload Ch_Data") {
        return Fault([=](sdBox::Config &c) { c.sucLine = version; c.menuLine = menu; });
    };
    const Codes tooOld{0, 15, 7, 33, 1};
    const Codes refusedUpdate{0, 15, 32, 1}, refusedUpload{0, 6, 32, 1};
    const QString unknown = file("01020304", 300);
    QStringList many;
    for (int i = 0; i < 256; ++i)
        many.append(img);

    // Each step's two attempts.
    QTest::newRow("update at once") << 'u' << img << healthy << updateOk << updateCommands << "LoadMenu open: \"Upload Ch_Data\"" << "";
    QTest::newRow("load menu, second try") << 'u' << img << ignoring({1}) << updateOk << Commands{"100", "100", "100", "300"} << "" << "";
    QTest::newRow("load menu fails") << 'u' << img << ignoring({1, 2}) << Codes{0, 15, 7, 31, 1} << Commands{"100", "100"} << "Error while opening LoadMenu \"\"" << "";
    QTest::newRow("binary mode, second try") << 'u' << img << ignoring({2}) << updateOk << Commands{"100", "100", "100", "300"} << "Upload initialized: \"binary mode\"" << "";
    QTest::newRow("binary mode fails") << 'u' << img << ignoring({2, 3}) << Codes{0, 15, 7, 8, 17, 23, 1} << Commands{"100", "100", "100"} << "" << "";
    QTest::newRow("start, second try") << 'u' << img << ignoring({3}) << updateOk << Commands{"100", "100", "300", "300"} << "" << "";
    QTest::newRow("start fails, update still done") << 'u' << img << ignoring({3, 4}) << Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 29, 16, 1} << Commands{"100", "100", "300", "300"} << "Starting: \"\"" << "";
    QTest::newRow("start sees the menu again") << 'u' << img << Fault([](sdBox::Config &c) { c.startFails = true; }) << Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 29, 16, 1} << Commands{"100", "100", "300", "300"} << "Starting: \"Upload Ch_Data\"" << "";
    QTest::newRow("download at once") << 'g' << dl << healthy << downloadOk << Commands{"100", "500", "300"} << "Download initialized: \"Get EEprom Header\"" << "";
    QTest::newRow("list request, second try") << 'g' << dl << ignoring({2}) << downloadOk << Commands{"100", "500", "500", "300"} << "" << "";
    QTest::newRow("list request fails") << 'g' << dl << ignoring({2, 3}) << Codes{0, 2, 7, 8, 19, 30, 1} << Commands{"100", "500", "500"} << "" << "";
    QTest::newRow("no start after download") << 'g' << dl << ignoring({3, 4}) << Codes{0, 2, 7, 8, 19, 20, 3, 2, 4, 12, 29, 1} << Commands{"100", "500", "300", "300"} << "" << "Downloading done";
    // The StartUpControl test.
    QTest::newRow("SUC 1.7") << 'u' << img << suc("SUC (StartUpControl)1.7") << updateOk << updateCommands << "StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\"" << "";
    QTest::newRow("SUC 1.75") << 'u' << img << suc("SUC (StartUpControl)1.75") << updateOk << updateCommands << "StartUpControll found, should be ok! \"SUC (StartUpControl)1.75\"" << "";
    QTest::newRow("SUC 1.6") << 'u' << img << suc("SUC (StartUpControl)1.6") << tooOld << Commands{"100"} << "StartUpControll to old! \"SUC (StartUpControl)1.6\"" << "Error while opening";
    QTest::newRow("SUC 1.8") << 'u' << img << suc("SUC (StartUpControl)1.8") << tooOld << Commands{"100"} << "StartUpControll to old! \"SUC (StartUpControl)1.8\"" << "Error while opening";
    QTest::newRow("no SUC line") << 'u' << img << suc("") << updateOk << updateCommands << "" << "StartUpControll";
    QTest::newRow("menu and old SUC in one line") << 'u' << img << suc("", "Upload Ch_Data SUC (StartUpControl)1.6") << updateOk << updateCommands << "LoadMenu open: \"Upload Ch_Data SUC (StartUpControl)1.6\"" << "StartUpControll";
    // The box's verdict after a file.
    QTest::newRow("Write, then ready") << 'u' << img << healthy << updateOk << updateCommands << "Finished: \"ready\"" << "";
    QTest::newRow("Write and ready in one line") << 'u' << img << Fault([](sdBox::Config &c) { c.writeReadyOneLine = true; }) << updateOk << updateCommands << "Finished: \"Write done, ready\"" << "";
    QTest::newRow("ready alone: refused") << 'u' << img << Fault([](sdBox::Config &c) { c.refuse = true; }) << Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 28, 12, 13, 1} << updateCommands << "Error Finishing: \"ready\"" << "";
    QTest::newRow("no verdict") << 'u' << img << Fault([](sdBox::Config &c) { c.finishSilent = true; }) << Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 27, 12, 13, 1} << updateCommands << "Error finishing: \"\"" << "";
    QTest::newRow("upload refused") << 's' << list << Fault([](sdBox::Config &c) { c.refuse = true; }) << Codes{0, 6, 7, 8, 17, 18, 9, 10, 11, 28, 12, 13, 1} << updateCommands << "" << "Uploading done";
    // Lines in pieces: a real pause makes two lines, pieces at once are one.
    QTest::newRow("marker split by a pause") << 'g' << dl << Fault([](sdBox::Config &c) { c.replies.insert("500", {{0, "Get EEp"}, {25, "rom Header\r\n"}}); }) << Codes{0, 2, 7, 8, 19, 30, 1} << Commands{"100", "500", "500"} << "" << "";
    QTest::newRow("marker in pieces at once") << 'g' << dl << Fault([](sdBox::Config &c) { c.replies.insert("500", {{0, "Get EEp"}, {0, "rom Header\r\n"}}); }) << downloadOk << Commands{"100", "500", "300"} << "" << "";
    QTest::newRow("babble before every reply") << 'u' << img << Fault([](sdBox::Config &c) { c.garbage = 300; }) << updateOk << updateCommands << "" << "";
    // Refused before anything is sent.
    QTest::newRow("update list ends with a line feed") << 'u' << img + "\n" << healthy << refusedUpdate << Commands{} << "" << "";
    QTest::newRow("channel list among images") << 'u' << img + "\n" + list << healthy << refusedUpdate << Commands{} << "" << "";
    QTest::newRow("unknown update file") << 'u' << unknown << healthy << refusedUpdate << Commands{} << "Checked FiletypeSD: unknown(01020304 " + unknown + ")" << "";
    QTest::newRow("missing update file") << 'u' << m_dir.filePath("missing.app") << healthy << refusedUpdate << Commands{} << "" << "Checked";
    QTest::newRow("256 update files") << 'u' << many.join('\n') << healthy << refusedUpdate << Commands{} << "Too many files for one update: 256, at most 255" << "";
    QTest::newRow("upload of an image") << 's' << img << healthy << refusedUpload << Commands{} << "" << "";
    QTest::newRow("upload of a list of 204800 bytes") << 's' << file("00000a07", 204800) << healthy << refusedUpload << Commands{} << "" << "";
    QTest::newRow("upload of a short file") << 's' << file("00000a07", 18) << healthy << refusedUpload << Commands{} << "" << "";
    QTest::newRow("upload of a missing file") << 's' << m_dir.filePath("missing.lst") << healthy << refusedUpload << Commands{} << "" << "";
    QTest::newRow("upload of a list") << 's' << list << healthy << uploadOk << updateCommands << "Uploading done after 0 s" << "";
}

void tst_sdsteps::jobs()
{
    QFETCH(char, job);
    QFETCH(QString, files);
    QFETCH(Fault, fault);
    QFETCH(Codes, codes);
    QFETCH(Commands, commands);
    QFETCH(QString, logged);
    QFETCH(QString, absent);
    sdBox::Config config;
    fault(config);
    sdRig rig(config);
    QVERIFY(rig.boxStarted);
    rig.link.setFilename(files);
    if (job == 'u')
        rig.link.updateFirmware();
    else if (job == 'g')
        rig.link.getChannellist();
    else
        rig.link.sendChannellist();
    QCOMPARE(rig.codes, codes);
    if (commands.isEmpty())
        QTest::qWait(50);
    QCOMPARE(rig.box.commands(), commands);
    if (!logged.isEmpty())
        QVERIFY2(rig.log.contains(logged), qPrintable(rig.log.join(" | ")));
    if (!absent.isEmpty())
        QVERIFY(rig.log.filter(absent).isEmpty());
    if (job != 'g' && codes.contains(9))
        QCOMPARE(rig.box.files().value(0), sdRead(files.section('\n', 0, 0)));
}

void tst_sdsteps::blockTiers_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("blocks");

    auto run = [](QList<int> &b, int n, int len) {
        for (int i = 0; i < n; ++i)
            b.append(len);
    };
    QList<int> b205, b150, b20, b21, b211, b300;
    run(b205, 1, 100), run(b205, 10, 10), run(b205, 5, 1);
    run(b150, 14, 10), run(b150, 10, 1);
    run(b20, 1, 10), run(b20, 10, 1);
    run(b21, 2, 10), run(b21, 1, 1);
    run(b211, 1, 100), run(b211, 11, 10), run(b211, 1, 1);
    run(b300, 1, 100), run(b300, 19, 10), run(b300, 10, 1);
    QTest::newRow("205") << 205 << b205;
    QTest::newRow("150") << 150 << b150;
    QTest::newRow("20") << 20 << b20;
    QTest::newRow("21") << 21 << b21;
    QTest::newRow("211") << 211 << b211;
    QTest::newRow("300") << 300 << b300;
}

void tst_sdsteps::blockTiers()
{
    QFETCH(int, size);
    QFETCH(QList<int>, blocks);
    sdRig rig;
    const QString path = file("00000907", size);
    rig.link.setFilename(path);
    rig.link.updateFirmware();
    QCOMPARE(rig.codes, updateOk);
    QList<int> expected;
    qint64 sent = 0;
    for (int len : blocks) {
        sent += len;
        expected.append(int(sent * 100 / size));
    }
    QCOMPARE(rig.progress, expected);
    QCOMPARE(rig.box.files(), QList<QByteArray>{sdRead(path)});
    QVERIFY(rig.log.contains(QStringLiteral("File sent. Wrote %1 data").arg(size)));
}

void tst_sdsteps::finishWaitsItsWindow()
{
    sdBox::Config config;
    config.finishSilent = true;
    sdRig rig(config);
    rig.link.setFilename(file("00000907", 300));
    QElapsedTimer clock;
    qint64 waited = -1;
    connect(&rig.link, &serialComKarn::sendCurrentAction, this, [&](int code) {
        if (code == 11)
            clock.start();
        else if (code == 27)
            waited = clock.elapsed();
    });
    rig.link.updateFirmware();
    QVERIFY2(waited >= linkClock::window(30000) && waited < linkClock::window(30000) + 1000,
             qPrintable(QString::number(waited)));
}

void tst_sdsteps::pacingAtFullLength()
{
    linkClock::setScale(1.0);
    sdRig rig;
    rig.link.setFilename(file("00000907", 300));
    rig.link.updateFirmware();
    linkClock::setScale(0.2);
    QCOMPARE(rig.codes, updateOk);

    // Three commands of three digits, each digit 70 ms after the previous
    // byte, the line end as one write right after the last pause.
    const QByteArray received = rig.box.received();
    const QList<qint64> times = rig.box.commandByteTimes();
    QCOMPARE(times.size(), 15);
    for (int c = 0; c < 3; ++c) {
        for (int i = 1; i < 4; ++i) {
            const qint64 gap = times[c * 5 + i] - times[c * 5 + i - 1];
            QVERIFY2(gap >= 65 && gap < 250, qPrintable(QStringLiteral("command %1 byte %2: %3 ms").arg(c).arg(i).arg(gap)));
        }
        QVERIFY(times[c * 5 + 4] - times[c * 5 + 3] < 20);
    }
    QVERIFY(received.startsWith("100\r\n100\r\n"));
    QVERIFY(received.endsWith("300\r\n"));
}

void tst_sdsteps::noBoxAtFullLength()
{
    linkClock::setScale(1.0);
    sdBox::Config config;
    config.silent = true;
    sdRig rig(config);
    rig.link.setFilename(m_dir.filePath(QStringLiteral("none.lst")));
    QElapsedTimer clock;
    clock.start();
    rig.link.getChannellist();
    const qint64 took = clock.elapsed();
    linkClock::setScale(0.2);
    QCOMPARE(rig.codes, (Codes{0, 2, 7, 31, 1}));
    QCOMPARE(rig.box.commands(), (Commands{"100", "100"}));
    QCOMPARE(rig.log.last(), QStringLiteral("Error while opening LoadMenu \"\""));
    // Two attempts: 3 paced bytes and a 500 ms window each.
    QVERIFY2(took >= 2 * (210 + 500) && took < 2 * (210 + 500) + 1000, qPrintable(QString::number(took)));
}

QTEST_GUILESS_MAIN(tst_sdsteps)
#include "sdsteps.moc"
