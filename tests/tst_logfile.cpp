// The log writer: stamps, truncation at each start, odd texts, order.
#include "logfile.h"

#include <QThread>
#include <QtTest>

class tst_logfile : public QObject
{
    Q_OBJECT

    static QStringList lines()
    {
        QFile f(QStringLiteral("velmora.log"));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'));
    }

private slots:
    void init()
    {
        QDir().rmdir(QStringLiteral("velmora.log"));
        QFile::remove(QStringLiteral("velmora.log"));
    }

    void stamps_data();
    void stamps();
    void truncatedAtEachOpen();
    void orderAcrossThreads();
    void unwritableDirectory();
};

void tst_logfile::stamps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // physical lines after the stamp
    QTest::newRow("plain") << "---------- START ----------" << QStringList{"---------- START ----------"};
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("quotes") << "Restarting done: \"ok\" 12ms" << QStringList{"Restarting done: \"ok\" 12ms"};
    QTest::newRow("newline") << "first\nsecond" << QStringList{"first", "second"};
}

void tst_logfile::stamps()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    {
        logfile log;
        log.writeLine(text);
        // Flushed at once: readable while the writer still holds the file.
        const QStringList got = lines();
        QCOMPARE(got.size(), expected.size() + 1);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d $"))
                    .match(got.first().left(9)).hasMatch());
        QCOMPARE(got.first().mid(9), expected.first());
        for (int i = 1; i < expected.size(); ++i)
            QCOMPARE(got.at(i), expected.at(i)); // no stamp on continuation lines
        QCOMPARE(got.last(), QString());
    }
}

void tst_logfile::truncatedAtEachOpen()
{
    {
        logfile first;
        first.writeLine(QStringLiteral("run one"));
        first.writeLine(QStringLiteral("run one again"));
    }
    logfile second;
    QVERIFY(second.open());
    second.writeLine(QStringLiteral("run two"));
    const QStringList got = lines();
    QCOMPARE(got.size(), 2);
    QVERIFY(got.first().endsWith(QLatin1String(" run two")));
}

void tst_logfile::orderAcrossThreads()
{
    logfile log;
    QThread thread;
    log.moveToThread(&thread);
    QVERIFY(log.open());
    thread.start();
    for (int i = 0; i < 500; ++i)
        QMetaObject::invokeMethod(&log, "writeLine", Qt::QueuedConnection,
                                  Q_ARG(QString, QStringLiteral("line %1 %2").arg(i).arg(QString(40, QLatin1Char('x')))));
    QMetaObject::invokeMethod(&log, "open", Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    const QStringList got = lines();
    QCOMPARE(got.size(), 501);
    for (int i = 0; i < 500; ++i)
        QCOMPARE(got.at(i).mid(9), QStringLiteral("line %1 %2").arg(i).arg(QString(40, QLatin1Char('x'))));
}

void tst_logfile::unwritableDirectory()
{
    // A directory where the file should be: no log can be made, even as root.
    QVERIFY(QDir().mkdir(QStringLiteral("velmora.log")));
    {
        logfile log;
        QVERIFY(!log.open());
        log.writeLine(QStringLiteral("dropped"));
        log.write(QStringLiteral("dropped too"));
        QVERIFY(!log.open()); // tried again, still failing quietly
    }
    QVERIFY(QFileInfo(QStringLiteral("velmora.log")).isDir());
    QVERIFY(QDir().rmdir(QStringLiteral("velmora.log")));
}

QTEST_GUILESS_MAIN(tst_logfile)
#include "tst_logfile.moc"
