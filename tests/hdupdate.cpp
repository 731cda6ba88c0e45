// The HD firmware update over a pseudo-terminal: the whole chain, each step's
// outcomes, and the job's end when the line or the window goes away.
#include "hdharness.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>

using Setup = std::function<void(hdBox::Behaviour &)>;
Q_DECLARE_METATYPE(Setup)

class tst_hdupdate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void wholeUpdate();
    void steps_data();
    void steps();
    void refusedBeforeTheLine_data();
    void refusedBeforeTheLine();
    void portMissing();
    void stopBeforeTheJob();
    void stopDuringFullWindow();
    void lostLineWhileWaiting();

private:
    QTemporaryDir m_dir;
    QString m_update;
    QByteArray m_bytes;
    QString m_big;
    QByteArray m_bigBytes;
};

static const QList<int> fullChain = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 67, 41};

void tst_hdupdate::initTestCase()
{
    m_update = m_dir.filePath("box.app");
    m_bytes = hdFileBytes(1050);
    QVERIFY(hdWrite(m_update, m_bytes));
    m_big = m_dir.filePath("big.app");
    m_bigBytes = hdFileBytes(200000);
    QVERIFY(hdWrite(m_big, m_bigBytes));
}

void tst_hdupdate::wholeUpdate()
{
    hdBox box(hdQuickBox(m_bytes.size()));
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), m_update);
    hdRecord rec;
    hdWire(link, rec);
    link.updateFirmware();

    QCOMPARE(rec.codes, fullChain);
    QCOMPARE(box.file(), m_bytes);
    QCOMPARE(box.commands(), (QList<QByteArray>{"r", "l", "s"}));
    const QStringList patterns = {
        "^Updating Firmware: " + QRegularExpression::escape(m_update) + "$",
        "^Restarting done: \"Restarting \\.\\.\\.\" \\d+ms$",
        "^LoadMenu open \"load App\" 0 \\d+ms$",
        "^Ready to send file \"binary mode\" \\d+ms$",
        "^File sent\\. Wrote 1050 data$",
        "^Flashing done: \"flash it\" \\d+ms$",
        "^Finished: \"fin\" \\d+ms$",
        "^Starting: \"Deflat OK\" \\d+ms$",
        "^Update done after 0 s$",
    };
    QCOMPARE(rec.logs.size(), patterns.size());
    for (int i = 0; i < patterns.size(); ++i)
        QVERIFY2(QRegularExpression(patterns[i]).match(rec.logs[i]).hasMatch(), qPrintable(rec.logs[i]));
}

void tst_hdupdate::steps_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QString>("line");          // a log line, as a pattern
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<bool>("big");   // more than the line's buffers can hold

    const QList<int> until72 = {40, 66, 51, 72, 41};
    const QList<int> until73 = {40, 66, 51, 52, 53, 73, 41};
    const QList<int> until75 = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 75, 41};
    const QList<int> until76 = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 76, 41};
    const QList<int> noStartCode = {40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 67, 41};
    const QList<QByteArray> rls = {"r", "l", "s"};
    const QList<QByteArray> tenL = {"r", "l", "l", "l", "l", "l", "l", "l", "l", "l", "l"};

    QTest::newRow("silent box")
        << Setup([](hdBox::Behaviour &b) { b.silent = true; }) << 0.05 << until72
        << "^Error while restarting: \"\" \\(timeout\\)$" << QList<QByteArray>{"r"} << false;
    QTest::newRow("only unknown com")
        << Setup([](hdBox::Behaviour &b) { b.unknownCom = 1 << 20; }) << 0.05 << until72
        << "^Error while restarting: \"unknown com\" \\(timeout\\)$" << QList<QByteArray>() << false;
    QTest::newRow("unknown com twice, then restart")
        << Setup([](hdBox::Behaviour &b) { b.unknownCom = 2; }) << 1.0 << fullChain
        << "^Restarting done: \"Restarting \\.\\.\\.\" \\d+ms$" << QList<QByteArray>{"r", "r", "r", "l", "s"} << false;
    QTest::newRow("any text restarts")
        << Setup([](hdBox::Behaviour &b) { b.restartReply = "boot 1.3\r\n"; }) << 1.0 << fullChain
        << "^Restarting done: \"boot 1\\.3\" \\d+ms$" << rls << false;
    QTest::newRow("no load menu")
        << Setup([](hdBox::Behaviour &b) { b.ignoreLoad = 1000; }) << 0.05 << until73
        << "^Error while opening LoadMenu \"\" \\(timeout\\)$" << tenL << false;
    QTest::newRow("load menu on the third attempt")
        << Setup([](hdBox::Behaviour &b) { b.ignoreLoad = 2; }) << 0.2 << fullChain
        << "^LoadMenu open \"load App\" 2 \\d+ms$" << QList<QByteArray>{"r", "l", "l", "l", "s"} << false;
    QTest::newRow("no binary mode: sent anyway")
        << Setup([](hdBox::Behaviour &b) { b.binaryMode = false; }) << 0.05
        << QList<int>{40, 66, 51, 52, 53, 54, 55, 57, 58, 59, 60, 61, 62, 63, 64, 67, 41}
        << "^Ready to send file \"\" \\(timeout\\)$" << rls << false;
    QTest::newRow("file refused")
        << Setup([](hdBox::Behaviour &b) { b.refuse = true; }) << 1.0 << until75
        << "^Error flashing file: \"wrong\" \\d+ms$" << QList<QByteArray>{"r", "l"} << false;
    QTest::newRow("wrong beats flash it")
        << Setup([](hdBox::Behaviour &b) { b.refuse = true; b.garbage = "flash it "; }) << 1.0 << until75
        << "^Error flashing file: \"flash it wrong\" \\d+ms$" << QList<QByteArray>{"r", "l"} << false;
    QTest::newRow("flash never reported")
        << Setup([](hdBox::Behaviour &b) { b.flashReply = false; b.finReply = false; }) << 0.05 << until75
        << "^Error while flashing the file: \"\" \\(timeout\\)$" << QList<QByteArray>{"r", "l"} << false;
    QTest::newRow("never finishes")
        << Setup([](hdBox::Behaviour &b) { b.finReply = false; }) << 0.05 << until76
        << "^Error finishing: \"\" \\(timeout\\)$" << QList<QByteArray>{"r", "l"} << false;
    QTest::newRow("two prompts, then started")
        << Setup([](hdBox::Behaviour &b) { b.comPrompts = 2; }) << 1.0 << fullChain
        << "^Starting: \"Deflat OK\" \\d+ms$" << QList<QByteArray>{"r", "l", "s", "s", "s"} << false;
    QTest::newRow("only prompts: still done")
        << Setup([](hdBox::Behaviour &b) { b.comPrompts = 1000; }) << 1.0 << noStartCode
        << "^Starting: \"Com ->\"$" << QList<QByteArray>{"r", "l", "s", "s", "s", "s", "s"} << false;
    QTest::newRow("start in lower case")
        << Setup([](hdBox::Behaviour &b) { b.startReply = "deflat ok\r\n"; }) << 1.0 << fullChain
        << "^Starting: \"deflat ok\" \\d+ms$" << rls << false;
    QTest::newRow("start never reported")
        << Setup([](hdBox::Behaviour &b) { b.startReply = "booting\r\n"; }) << 0.004 << noStartCode
        << "^Starting: \"booting\"$" << QList<QByteArray>{"r", "l", "s", "s", "s", "s", "s"} << false;
    QTest::newRow("fin inside a word")
        << Setup([](hdBox::Behaviour &b) { b.garbage = "all "; }) << 1.0 << fullChain
        << "^Finished: \"all fin\" \\d+ms$" << rls << false;
    QTest::newRow("noise before replies")
        << Setup([](hdBox::Behaviour &b) { b.garbage = QByteArray("\x01\x7f#~\x1b[", 6); }) << 1.0 << fullChain
        << "^Flashing done: \"\x01\x7f#~\x1b\\[flash it\" \\d+ms$" << rls << false;
    QTest::newRow("long lines without line end")
        << Setup([](hdBox::Behaviour &b) { b.longLine = 300; }) << 1.0 << fullChain
        << "^Restarting done: \"x{15}\" \\d+ms$" << rls << false;
    QTest::newRow("slow box")
        << Setup([](hdBox::Behaviour &b) { b.replyDelayMs = 80; b.flashDelayMs = 300; b.finDelayMs = 300; })
        << 1.0 << fullChain << "^Flashing done: \"flash it\" \\d+ms$" << rls << false;
    QTest::newRow("echoing box")
        << Setup([](hdBox::Behaviour &b) { b.echo = true; }) << 1.0 << fullChain
        << "^Restarting done: \"r.{1,12}\" \\d+ms$" << rls << false;
    QTest::newRow("line cut mid-transfer")
        << Setup([](hdBox::Behaviour &b) { b.cutAfter = 500; }) << 0.05
        << QList<int>{40, 66, 51, 52, 53, 54, 55, 56, 57, 74, 41}
        << "^Error writing data to Port$" << QList<QByteArray>{"r", "l"} << true;
}

void tst_hdupdate::steps()
{
    QFETCH(Setup, setup);
    QFETCH(double, scale);
    QFETCH(QList<int>, codes);
    QFETCH(QString, line);
    QFETCH(QList<QByteArray>, commands);
    QFETCH(bool, big);
    hdScale s(scale);
    const QString path = big ? m_big : m_update;
    const QByteArray bytes = big ? m_bigBytes : m_bytes;
    hdBox::Behaviour b = hdQuickBox(bytes.size());
    setup(b);
    hdBox box(b);
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.updateFirmware();

    QCOMPARE(rec.codes, codes);
    bool found = false;
    for (const QString &l : rec.logs)
        found = found || QRegularExpression(line).match(l).hasMatch();
    QVERIFY2(found, qPrintable(rec.logs.join('\n')));
    if (!commands.isEmpty())
        QCOMPARE(box.commands(), commands);
    else
        QVERIFY(box.commands().count("r") > 3);
    if (codes.contains(58))
        QCOMPARE(box.file(), bytes);
}

void tst_hdupdate::refusedBeforeTheLine_data()
{
    QTest::addColumn<QByteArray>("bytes");   // null: no file
    QTest::addColumn<QStringList>("logs");
    QTest::addColumn<QList<int>>("codes");

    QTest::newRow("missing") << QByteArray() << QStringList{"Updatefile not exist"}
                             << QList<int>{40, 66, 71, 41, 41};
    QTest::newRow("a channel list") << hdFileBytes(3000, "00003040") << QStringList()
                                    << QList<int>{40, 66, 77, 41, 41};
    QTest::newRow("unknown kind") << hdFileBytes(3000, "12345678")
                                  << QStringList{"Checked FiletypeHD: unknown(12345678 "}
                                  << QList<int>{40, 66, 77, 41, 41};
}

void tst_hdupdate::refusedBeforeTheLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, logs);
    QFETCH(QList<int>, codes);
    QTemporaryDir dir;
    const QString path = dir.filePath("x.app");
    if (!bytes.isNull())
        QVERIFY(hdWrite(path, bytes));
    hdBox box;
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.updateFirmware();
    QCOMPARE(rec.codes, codes);
    QCOMPARE(rec.logs.size(), logs.size() + 1);
    QCOMPARE(rec.logs[0], "Updating Firmware: " + path);
    for (int i = 0; i < logs.size(); ++i)
        QVERIFY2(rec.logs[i + 1].startsWith(logs[i]), qPrintable(rec.logs[i + 1]));
    QTest::qWait(50);
    QVERIFY(box.received().isEmpty());
}

void tst_hdupdate::portMissing()
{
    for (const QString &name : {QString(), QString("/dev/velmora-no-such-port")}) {
        serialComVesk link(name, m_update);
        hdRecord rec;
        hdWire(link, rec);
        link.updateFirmware();
        QCOMPARE(rec.codes, (QList<int>{40, 66, 68, 41}));
        QCOMPARE(rec.logs.size(), 1);
        QVERIFY(rec.logs[0].startsWith("Error: open Port: "));
        QVERIFY(rec.logs[0].size() > int(strlen("Error: open Port: ")));
    }
}

void tst_hdupdate::stopBeforeTheJob()
{
    hdBox box;
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), m_update);
    hdRecord rec;
    hdWire(link, rec);
    link.requestStop();
    QVERIFY(link.stopRequested());
    link.updateFirmware();
    QCOMPARE(rec.codes, (QList<int>{40, 66, 41}));
    QCOMPARE(rec.logs.last(), QString("Job stopped: the window was closed"));
    QTest::qWait(50);
    QVERIFY(box.received().isEmpty());
}

// Full-length windows: the 50 s finish wait ends within moments of the stop.
void tst_hdupdate::stopDuringFullWindow()
{
    hdBox::Behaviour b = hdQuickBox(m_bytes.size());
    b.finReply = false;
    hdBox box(b);
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), m_update);
    hdRecord rec;
    QThread thread;
    link.moveToThread(&thread);
    QObject::connect(&link, &serialComVesk::sendCurrentAction, this, [&rec](int c) { rec.codes << c; });
    QObject::connect(&link, &serialComVesk::writeLog, this, [&rec](const QString &l) { rec.logs << l; });
    thread.start();
    QMetaObject::invokeMethod(&link, "updateFirmware", Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(rec.codes.contains(61), 10000);
    QTest::qWait(300);
    QElapsedTimer t;
    t.start();
    link.requestStop();
    QTRY_VERIFY_WITH_TIMEOUT(rec.codes.endsWith(41), 5000);
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    thread.quit();
    QVERIFY(thread.wait(2000));
    QCOMPARE(rec.codes, (QList<int>{40, 66, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 41}));
    QCOMPARE(rec.logs.last(), QString("Job stopped: the window was closed"));
    QVERIFY(!box.commands().contains("s"));
}

// A line that vanishes while a step listens ends the job at once instead of
// spinning through the rest of the window.
void tst_hdupdate::lostLineWhileWaiting()
{
    hdBox::Behaviour b;
    b.cutAfter = m_bytes.size();   // the whole file, then the line is gone
    hdBox box(b);
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), m_update);
    hdRecord rec;
    hdWire(link, rec);
    QElapsedTimer t;
    t.start();
    link.updateFirmware();
    QVERIFY2(t.elapsed() < 8000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!rec.codes.contains(67));
    QCOMPARE(rec.codes.last(), 41);
    QVERIFY(rec.codes.contains(75) || rec.codes.contains(74));
    QVERIFY(!rec.log("Error: serial line lost: ").isNull() || !rec.log("Error writing data to Port").isNull());
}

QTEST_GUILESS_MAIN(tst_hdupdate)
#include "hdupdate.moc"
