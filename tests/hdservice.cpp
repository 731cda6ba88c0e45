// The four service queries of the HD link against the simulated box.
#include "hdharness.h"

#include <QElapsedTimer>
#include <QtTest>

class tst_hdservice : public QObject
{
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void silentBox();
    void factoryReset();
    void portMissing();
};

enum Query { Software, LowPower, Mac };
Q_DECLARE_METATYPE(Query)

static void runQuery(serialComVesk &link, Query q)
{
    switch (q) {
    case Software: link.readSoftwareVersion(); break;
    case LowPower: link.readLowPowerVersion(); break;
    case Mac: link.readMACAddress(); break;
    }
}

static const char *const commandOf[] = {"swvers", "lpsw", "get_mac"};
static const int startOf[] = {46, 47, 48};

void tst_hdservice::answers_data()
{
    QTest::addColumn<Query>("query");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("echo");
    QTest::addColumn<QString>("result");

    QTest::newRow("version") << Software << QByteArray("v2.10.04 hd\r\n") << false << "V2.10.04 HD";
    QTest::newRow("version unknown") << Software << QByteArray("Unknown item\r\n") << false << "----";
    QTest::newRow("version after empty lines") << Software << QByteArray("\r\n\n\r\n3.1\r\n") << false << "3.1";
    QTest::newRow("echo is the answer") << Software << QByteArray("3.1\r\n") << true << "SWVERS";
    QTest::newRow("version of 60 bytes") << Software << QByteArray(60, 'a') + "\r\n" << false << QString(49, 'A');
    QTest::newRow("low power") << LowPower << QByteArray("LPSW: 1.07\r\n") << false << " 1.07";
    QTest::newRow("low power, marker in lower case") << LowPower << QByteArray("lpsw:1.07\r\n") << false << "1.07";
    QTest::newRow("low power, marker twice") << LowPower << QByteArray("LPSW:LPSW:9\r\n") << false << "9";
    QTest::newRow("low power unknown") << LowPower << QByteArray("lpsw: unknown\r\n") << false << "--";
    QTest::newRow("mac") << Mac << QByteArray("00a1b2c3d4e5\r\n") << false << "00-A1-B2-C3-D4-E5";
    QTest::newRow("mac short") << Mac << QByteArray("abc\r\n") << false << "AB-C -  -  -  -";
    QTest::newRow("mac long") << Mac << QByteArray("0011223344556677\r\n") << false << "00-11-22-33-44-556677";
    QTest::newRow("no lan device") << Mac << QByteArray("!landevice\r\n") << false << "no LAN-Device";
    QTest::newRow("unknown beats no lan") << Mac << QByteArray("!LANDEVICE unknown\r\n") << false << "???";
    QTest::newRow("mac answer without line end") << Mac << QByteArray("001122334455") << false << "00-11-22-33-44-55";
}

void tst_hdservice::answers()
{
    QFETCH(Query, query);
    QFETCH(QByteArray, reply);
    QFETCH(bool, echo);
    QFETCH(QString, result);
    hdBox::Behaviour b;
    b.echo = echo;
    b.replies.insert(commandOf[query], reply);
    hdBox box(b);
    QVERIFY(box.start());
    serialComVesk link(box.devicePath());
    hdRecord rec;
    hdWire(link, rec);
    runQuery(link, query);
    QCOMPARE(rec.results, QStringList{result});
    QCOMPARE(rec.codes, (QList<int>{40, startOf[query], 41}));
    QVERIFY(rec.logs.isEmpty());
    QCOMPARE(box.received(), QByteArray(commandOf[query]) + "\r\n");
}

// Full one-second window: progress keeps moving, then 69 and the end.
void tst_hdservice::silentBox()
{
    hdBox::Behaviour b;
    b.silent = true;
    hdBox box(b);
    QVERIFY(box.start());
    for (Query q : {Software, LowPower, Mac}) {
        serialComVesk link(box.devicePath());
        hdRecord rec;
        hdWire(link, rec);
        QElapsedTimer t;
        t.start();
        runQuery(link, q);
        const qint64 took = t.elapsed();
        QVERIFY2(took >= 1000 && took < 1600, qPrintable(QString::number(took)));
        QVERIFY(rec.results.isEmpty());
        QCOMPARE(rec.codes, (QList<int>{40, startOf[q], 69, 41}));
        QVERIFY(rec.progress.size() >= 20);
        QCOMPARE(rec.progress.first(), 0);
        QVERIFY(rec.progress.last() >= 95 && rec.progress.last() <= 100);
        for (int i = 1; i < rec.progress.size(); ++i)
            QVERIFY(rec.progress[i] >= rec.progress[i - 1] && rec.progress[i] - rec.progress[i - 1] <= 6);
    }
}

void tst_hdservice::factoryReset()
{
    hdBox box;
    QVERIFY(box.start());
    serialComVesk link(box.devicePath());
    hdRecord rec;
    hdWire(link, rec);
    link.initFactoryReset();
    QCOMPARE(rec.codes, (QList<int>{40, 49, 41}));
    QVERIFY(rec.progress.isEmpty());
    QTRY_COMPARE(box.commands(), QList<QByteArray>{"facreset"});
}

void tst_hdservice::portMissing()
{
    serialComVesk link(QStringLiteral("/dev/velmora-none"));
    hdRecord rec;
    hdWire(link, rec);
    link.readMACAddress();
    QCOMPARE(rec.codes, (QList<int>{40, 48, 68, 41}));
    QVERIFY(rec.results.isEmpty());
    QCOMPARE(rec.logs.size(), 1);
}

QTEST_GUILESS_MAIN(tst_hdservice)
#include "hdservice.moc"
