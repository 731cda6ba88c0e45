// The SD command exchanges over a real pseudo-terminal: two attempts per
// step, the StartUpControl test, waiting for the box to finish, command
// pacing, block tiers and lines that arrive in pieces.

#include "sdrig.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using Codes = QList<int>;
using Commands = QList<QByteArray>;
Q_DECLARE_METATYPE(QSet<int>)

namespace {
const Codes updateOk{0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 13, 16, 1};
const Codes downloadOk{0, 2, 7, 8, 19, 20, 3, 2, 4, 12, 13, 5, 1};
} // namespace

class tst_sdsteps : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void attempts_data();
    void attempts();
    void startUpControl_data();
    void startUpControl();
    void finish_data();
    void finish();
    void blockTiers_data();
    void blockTiers();
    void pieces_data();
    void pieces();
    void babblingBox();
    void pacingAtFullLength();
    void noBoxAtFullLength();
    void portMissing();

private:
    QString image(int size);
    QTemporaryDir m_dir;
    int m_files = 0;
};

void tst_sdsteps::initTestCase()
{
    QVERIFY(m_dir.isValid());
    linkClock::setScale(0.2);
}

QString tst_sdsteps::image(int size)
{
    const QString path = m_dir.filePath(QStringLiteral("image%1.app").arg(++m_files));
    sdWrite(path, sdImage("00000907", size));
    return path;
}

void tst_sdsteps::attempts_data()
{
    QTest::addColumn<bool>("download");
    QTest::addColumn<QSet<int>>("ignore");
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<Commands>("commands");

    QTest::newRow("update at once") << false << QSet<int>{} << updateOk << Commands{"100", "100", "300"};
    QTest::newRow("load menu, second try") << false << QSet<int>{1} << updateOk
                                           << Commands{"100", "100", "100", "300"};
    QTest::newRow("load menu fails") << false << QSet<int>{1, 2} << Codes{0, 15, 7, 31, 1}
                                     << Commands{"100", "100"};
    QTest::newRow("binary mode, second try") << false << QSet<int>{2} << updateOk
                                             << Commands{"100", "100", "100", "300"};
    QTest::newRow("binary mode fails") << false << QSet<int>{2, 3} << Codes{0, 15, 7, 8, 17, 23, 1}
                                       << Commands{"100", "100", "100"};
    QTest::newRow("start, second try") << false << QSet<int>{3} << updateOk
                                       << Commands{"100", "100", "300", "300"};
    QTest::newRow("start fails, update still done")
        << false << QSet<int>{3, 4} << Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 12, 29, 16, 1}
        << Commands{"100", "100", "300", "300"};
    QTest::newRow("download at once") << true << QSet<int>{} << downloadOk << Commands{"100", "500", "300"};
    QTest::newRow("list request, second try") << true << QSet<int>{2} << downloadOk
                                              << Commands{"100", "500", "500", "300"};
    QTest::newRow("list request fails") << true << QSet<int>{2, 3} << Codes{0, 2, 7, 8, 19, 30, 1}
                                        << Commands{"100", "500", "500"};
    QTest::newRow("start after download fails")
        << true << QSet<int>{3, 4} << Codes{0, 2, 7, 8, 19, 20, 3, 2, 4, 12, 29, 1}
        << Commands{"100", "500", "300", "300"};
}

void tst_sdsteps::attempts()
{
    QFETCH(bool, download);
    QFETCH(QSet<int>, ignore);
    QFETCH(Codes, codes);
    QFETCH(Commands, commands);
    sdBox::Config config;
    config.ignore = ignore;
    sdRig rig(config);
    QVERIFY(rig.boxStarted);
    if (download) {
        rig.link.setFilename(m_dir.filePath(QStringLiteral("attempt.lst")));
        rig.link.getChannellist();
    } else {
        rig.link.setFilename(image(300));
        rig.link.updateFirmware();
    }
    // Progress codes of the download phase may repeat; the step codes are exact.
    Codes seen = rig.codes;
    QCOMPARE(seen, codes);
    QCOMPARE(rig.box.commands(), commands);
}

void tst_sdsteps::startUpControl_data()
{
    QTest::addColumn<QByteArray>("sucLine");
    QTest::addColumn<QByteArray>("menuLine");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<QString>("sucLog");

    const QByteArray menu("Upload Ch_Data");
    QTest::newRow("1.7") << QByteArray("SUC (StartUpControl)1.7") << menu << true
                         << "StartUpControll found, should be ok! \"SUC (StartUpControl)1.7\"";
    QTest::newRow("1.75") << QByteArray("SUC (StartUpControl)1.75") << menu << true
                          << "StartUpControll found, should be ok! \"SUC (StartUpControl)1.75\"";
    QTest::newRow("1.6") << QByteArray("SUC (StartUpControl)1.6") << menu << false
                         << "StartUpControll to old! \"SUC (StartUpControl)1.6\"";
    QTest::newRow("1.8") << QByteArray("SUC (StartUpControl)1.8") << menu << false
                         << "StartUpControll to old! \"SUC (StartUpControl)1.8\"";
    QTest::newRow("no version line") << QByteArray() << menu << true << QString();
    QTest::newRow("menu and old version in one line")
        << QByteArray() << QByteArray("Upload Ch_Data SUC (StartUpControl)1.6") << true << QString();
}

void tst_sdsteps::startUpControl()
{
    QFETCH(QByteArray, sucLine);
    QFETCH(QByteArray, menuLine);
    QFETCH(bool, passes);
    QFETCH(QString, sucLog);
    sdBox::Config config;
    config.sucLine = sucLine;
    config.menuLine = menuLine;
    sdRig rig(config);
    rig.link.setFilename(image(300));
    rig.link.updateFirmware();

    QCOMPARE(rig.log.value(1), QStringLiteral("Checking SUC"));
    const QStringList suc = rig.log.filter(QStringLiteral("StartUpControll"));
    QCOMPARE(suc, sucLog.isEmpty() ? QStringList() : QStringList{sucLog});
    if (passes) {
        QCOMPARE(rig.codes, updateOk);
        QVERIFY(rig.log.contains(QStringLiteral("LoadMenu open: \"") + QString::fromLatin1(menuLine) + "\""));
    } else {
        // Too old: no second attempt, no failure line of the step.
        QCOMPARE(rig.codes, (Codes{0, 15, 7, 33, 1}));
        QCOMPARE(rig.box.commands(), Commands{"100"});
        QVERIFY(rig.log.filter(QStringLiteral("Error while opening LoadMenu")).isEmpty());
    }
}

void tst_sdsteps::finish_data()
{
    QTest::addColumn<int>("verdict"); // 0 Write then ready, 1 one line, 2 ready alone, 3 nothing
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<Codes>("codes");

    QTest::newRow("Write, then ready") << 0 << "Finished: \"ready\"" << updateOk;
    QTest::newRow("both in one line") << 1 << "Finished: \"Write done, ready\"" << updateOk;
    QTest::newRow("ready alone: refused")
        << 2 << "Error Finishing: \"ready\"" << Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 28, 12, 13, 1};
    QTest::newRow("no verdict: time-out")
        << 3 << "Error finishing: \"\"" << Codes{0, 15, 7, 8, 17, 18, 9, 10, 11, 27, 12, 13, 1};
}

void tst_sdsteps::finish()
{
    QFETCH(int, verdict);
    QFETCH(QString, logLine);
    QFETCH(Codes, codes);
    sdBox::Config config;
    config.writeReadyOneLine = verdict == 1;
    config.refuse = verdict == 2;
    config.finishSilent = verdict == 3;
    sdRig rig(config);
    rig.link.setFilename(image(300));
    QElapsedTimer clock;
    rig.link.updateFirmware();
    QCOMPARE(rig.codes, codes);
    const int waiting = rig.log.indexOf(QStringLiteral("Waiting til STB finishes"));
    QVERIFY(waiting > 0);
    QCOMPARE(rig.log.value(waiting + 1), logLine);
    if (verdict == 3) {
        // The whole window was waited, and not much longer.
        clock.start();
        sdRig again(config);
        again.link.setFilename(image(300));
        again.link.updateFirmware();
        QVERIFY2(clock.elapsed() >= linkClock::window(30000), qPrintable(QString::number(clock.elapsed())));
        QVERIFY(clock.elapsed() < linkClock::window(30000) + 3000);
    }
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
    const QString path = image(size);
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

void tst_sdsteps::pieces_data()
{
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<bool>("matches");
    // A marker in two pieces with a real pause between them is two lines;
    // pieces that follow at once are one line.
    QTest::newRow("split marker") << 25 << false;
    QTest::newRow("pieces at once") << 0 << true;
}

void tst_sdsteps::pieces()
{
    QFETCH(int, gapMs);
    QFETCH(bool, matches);
    sdBox::Config config;
    config.replies.insert("500", {{0, "Get EEp"}, {gapMs, "rom Header\r\n"}});
    sdRig rig(config);
    rig.link.setFilename(m_dir.filePath(QStringLiteral("pieces.lst")));
    rig.link.getChannellist();
    QCOMPARE(rig.count(20), matches ? 1 : 0);
    QCOMPARE(rig.count(30), matches ? 0 : 1);
    QCOMPARE(rig.codes.last(), 1);
}

void tst_sdsteps::babblingBox()
{
    // Long runs without a line end before every reply: read in 49-byte lines,
    // the markers after them are still found.
    sdBox::Config config;
    config.garbage = 300;
    sdRig rig(config);
    rig.link.setFilename(image(300));
    rig.link.updateFirmware();
    QCOMPARE(rig.codes, updateOk);
}

void tst_sdsteps::pacingAtFullLength()
{
    linkClock::setScale(1.0);
    sdRig rig;
    rig.link.setFilename(image(300));
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
            QVERIFY2(gap >= 65 && gap < 150, qPrintable(QStringLiteral("command %1 byte %2: %3 ms").arg(c).arg(i).arg(gap)));
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
    QVERIFY2(took >= 2 * (210 + 500) && took < 2 * (210 + 500) + 600, qPrintable(QString::number(took)));
}

void tst_sdsteps::portMissing()
{
    serialComKarn link;
    link.setPortname(QStringLiteral("/dev/velmora-no-such-port"));
    link.setFilename(image(300));
    QList<int> codes;
    QStringList log;
    connect(&link, &serialComKarn::sendCurrentAction, this, [&](int c) { codes.append(c); });
    connect(&link, &serialComKarn::writeLog, this, [&](const QString &l) { log.append(l); });
    link.updateFirmware();
    QCOMPARE(codes, (Codes{0, 15, 21, 1}));
    QCOMPARE(log.size(), 1);
    QVERIFY(log[0].startsWith(QStringLiteral("Error: open Port: ")));
    QVERIFY(log[0].size() > int(qstrlen("Error: open Port: ")));
}

QTEST_GUILESS_MAIN(tst_sdsteps)
#include "sdsteps.moc"
