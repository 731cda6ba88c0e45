// File kinds of the SD link: every row at its size edges, short and missing
// files, and the log line of a failed classification.

#include "sdrig.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_sdfiletype : public QObject
{
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void missingFile();
};

void tst_sdfiletype::kinds_data()
{
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("kind");

    QTest::newRow("list small") << QByteArray("00000a07") << 20 << 1;
    QTest::newRow("list 204799") << QByteArray("00000a07") << 204799 << 1;
    QTest::newRow("list 204800") << QByteArray("00000a07") << 204800 << 0;
    QTest::newRow("image2 102400") << QByteArray("00000907") << 102400 << 2;
    QTest::newRow("image2 102401") << QByteArray("00000907") << 102401 << 0;
    QTest::newRow("image3 92160") << QByteArray("00000d07") << 92160 << 0;
    QTest::newRow("image3 92161") << QByteArray("00000d07") << 92161 << 3;
    QTest::newRow("image3 100000") << QByteArray("00000d07") << 100000 << 3;
    QTest::newRow("image3 153599") << QByteArray("00000d07") << 153599 << 3;
    QTest::newRow("image3 153600") << QByteArray("00000d07") << 153600 << 0;
    QTest::newRow("image4a 358400") << QByteArray("00200600") << 358400 << 0;
    QTest::newRow("image4a 358401") << QByteArray("00200600") << 358401 << 4;
    QTest::newRow("image4a 460799") << QByteArray("00200600") << 460799 << 4;
    QTest::newRow("image4a 460800") << QByteArray("00200600") << 460800 << 0;
    QTest::newRow("image4b 400000") << QByteArray("00501c00") << 400000 << 4;
    QTest::newRow("image4b 358400") << QByteArray("00501c00") << 358400 << 0;
    QTest::newRow("list signature, wrong order") << QByteArray("070a0000") << 1000 << 0;
    QTest::newRow("unknown signature") << QByteArray("12345678") << 1000 << 0;
    QTest::newRow("19 bytes") << QByteArray("00000a07") << 19 << 0;
    QTest::newRow("16 bytes") << QByteArray("00000a07") << 16 << 0;
    QTest::newRow("empty") << QByteArray("00000a07") << 0 << 0;
}

void tst_sdfiletype::kinds()
{
    QFETCH(QByteArray, signature);
    QFETCH(int, size);
    QFETCH(int, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file.bin"));
    const QByteArray data = sdImage(signature.constData(), size);
    QVERIFY(sdWrite(path, data));

    serialComKarn link;
    QSignalSpy logs(&link, &serialComKarn::writeLog);
    QCOMPARE(int(link.checkFiletype(path)), kind);
    if (kind) {
        QCOMPARE(logs.count(), 0);
    } else {
        QCOMPARE(logs.count(), 1);
        const QString hex = QString::fromLatin1(data.mid(16, 4).toHex());
        QCOMPARE(logs.at(0).at(0).toString(),
                 QStringLiteral("Checked FiletypeSD: unknown(") + hex + QLatin1Char(' ') + path + QLatin1Char(')'));
        QVERIFY(hex.size() == qMax(0, qMin(4, size - 16)) * 2);
    }
}

void tst_sdfiletype::missingFile()
{
    serialComKarn link;
    QSignalSpy logs(&link, &serialComKarn::writeLog);
    QCOMPARE(int(link.checkFiletype(QStringLiteral("/nonexistent/dir/file.app"))), 0);
    QCOMPARE(int(link.checkFiletype(QString())), 0);
    QCOMPARE(logs.count(), 0);
}

QTEST_GUILESS_MAIN(tst_sdfiletype)
#include "sdfiletype.moc"
