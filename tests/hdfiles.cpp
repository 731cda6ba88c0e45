// File kinds and the paced file transfer of the HD link.
#include "hdharness.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_hdfiles : public QObject
{
    Q_OBJECT
private slots:
    void fileKind_data();
    void fileKind();
    void blocks_data();
    void blocks();
    void largeFileProgress();
};

void tst_hdfiles::fileKind_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("logged");   // hex text in the log line, null: no line

    QTest::newRow("update 4023") << hdFileBytes(1000, "00004023") << 1 << QString();
    QTest::newRow("update 4043") << hdFileBytes(1000, "00004043") << 1 << QString();
    QTest::newRow("update of 20 bytes") << hdFileBytes(20, "00004043") << 1 << QString();
    QTest::newRow("update far above list limit") << hdFileBytes(600000, "00004023") << 1 << QString();
    QTest::newRow("list") << hdFileBytes(5000, "00003040") << 2 << QString();
    QTest::newRow("list at 409600") << hdFileBytes(409600, "00003040") << 2 << QString();
    QTest::newRow("list at 409601") << hdFileBytes(409601, "00003040") << 0 << QString("00003040");
    QTest::newRow("other signature") << hdFileBytes(1000, "00004024") << 0 << QString("00004024");
    QTest::newRow("upper half of a word") << hdFileBytes(1000, "40230000") << 0 << QString("40230000");
    QTest::newRow("19 bytes") << hdFileBytes(19, "00004023") << 0 << QString("000040");
    QTest::newRow("16 bytes") << hdFileBytes(16, "00004023") << 0 << QString("");
    QTest::newRow("empty") << QByteArray("") << 0 << QString("");
    QTest::newRow("missing: no line") << QByteArray() << 0 << QString();
}

void tst_hdfiles::fileKind()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(QString, logged);
    QTemporaryDir dir;
    const QString path = dir.filePath("f.bin");
    if (!bytes.isNull())
        QVERIFY(hdWrite(path, bytes));
    serialComVesk link;
    hdRecord rec;
    hdWire(link, rec);
    QCOMPARE(int(link.checkFiletype(path)), kind);
    if (logged.isNull()) {
        QVERIFY(rec.logs.isEmpty());
    } else {
        QCOMPARE(rec.logs, QStringList{"Checked FiletypeHD: unknown(" + logged + " " + path + ")"});
    }
}

void tst_hdfiles::blocks_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("hundreds");
    QTest::addColumn<int>("tens");
    QTest::addColumn<int>("singles");

    QTest::newRow("200") << 200 << 0 << 10 << 100;
    QTest::newRow("201") << 201 << 1 << 1 << 91;
    QTest::newRow("1000") << 1000 << 8 << 10 << 100;
    QTest::newRow("1050") << 1050 << 9 << 5 << 100;
    QTest::newRow("1099") << 1099 << 9 << 10 << 99;
    QTest::newRow("199, short") << 199 << 0 << 10 << 99;
    QTest::newRow("150, short") << 150 << 0 << 5 << 100;
    QTest::newRow("100, short") << 100 << 0 << 0 << 100;
    QTest::newRow("20, short") << 20 << 0 << 0 << 20;
}

void tst_hdfiles::blocks()
{
    QFETCH(int, size);
    QFETCH(int, hundreds);
    QFETCH(int, tens);
    QFETCH(int, singles);
    QTemporaryDir dir;
    const QString path = dir.filePath("u.app");
    const QByteArray bytes = hdFileBytes(size);
    QVERIFY(hdWrite(path, bytes));

    hdBox box(hdQuickBox(size));
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.updateFirmware();

    QCOMPARE(box.file(), bytes);
    QVERIFY(rec.codes.contains(67));
    QCOMPARE(rec.progress.size(), hundreds + tens + singles);
    // Recompute each block's end from the sizes and compare the percentages.
    QList<int> expected;
    qint64 pos = 0;
    for (int i = 0; i < hundreds; ++i)
        expected << int((pos += 100) * 100 / size);
    for (int i = 0; i < tens; ++i)
        expected << int((pos += 10) * 100 / size);
    for (int i = 0; i < singles; ++i)
        expected << int((pos += 1) * 100 / size);
    QCOMPARE(pos, qint64(size));
    QCOMPARE(rec.progress, expected);
    if (size == 1000) {   // the sequence spelt out once: 10..80, 81..90, 90..100
        QCOMPARE(rec.progress.mid(0, 9), (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 81}));
        QCOMPARE(rec.progress.mid(17, 3), (QList<int>{90, 90, 90}));
    }
    // Progress comes only between "sending" and "sent".
    QCOMPARE(rec.codes.indexOf(58), rec.codes.indexOf(57) + 1);
    QCOMPARE(rec.log("File sent. Wrote "), QString("File sent. Wrote %1 data").arg(size));
}

void tst_hdfiles::largeFileProgress()
{
    // 30 MB: pos * 100 overflows 32 bits long before the end.
    QTemporaryDir dir;
    const QString path = dir.filePath("big.app");
    const qint64 size = 30 * 1000 * 1000 + 7;
    QVERIFY(hdWrite(path, hdFileBytes(size)));
    hdBox box(hdQuickBox(size));
    QVERIFY(box.start());
    serialComVesk link(box.devicePath(), path);
    hdRecord rec;
    hdWire(link, rec);
    link.updateFirmware();
    QCOMPARE(box.file().size(), int(size));
    QVERIFY(rec.codes.contains(67));
    for (int i = 1; i < rec.progress.size(); ++i)
        QVERIFY2(rec.progress[i] >= rec.progress[i - 1] && rec.progress[i] <= 100,
                 qPrintable(QString::number(i)));
    QCOMPARE(rec.progress.last(), 100);
}

QTEST_GUILESS_MAIN(tst_hdfiles)
#include "hdfiles.moc"
