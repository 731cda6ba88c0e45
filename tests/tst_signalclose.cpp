// The close signals inside the program: each becomes one Qt signal, and a
// close from outside ends even the question a user's close is asking.

#include "cmdkit.h"
#include "e2erig.h"
#include "hdbox.h"
#include "mainwindow.h"
#include "signalclose.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <csignal>

class tst_signalclose : public QObject
{
    Q_OBJECT
private slots:
    void signalsBecomeEvents_data();
    void signalsBecomeEvents();
    void closeEndsTheQuestion();
};

void tst_signalclose::signalsBecomeEvents_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void tst_signalclose::signalsBecomeEvents()
{
    QFETCH(int, number);
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

void tst_signalclose::closeEndsTheQuestion()
{
    hdBox::Behaviour b;
    b.flashReply = false;   // the job waits for the flash
    hdBox box(b);
    QVERIFY(box.start());
    const QByteArray file = patterned(70000, "00004023");
    QTemporaryDir dir;
    const QString path = dir.filePath("in.bin");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
    f.close();
    cmdkit::setArguments({"-p", box.devicePath(), "-t", "UpdateHD", "-f", path, "-s"});

    signalClose closer;
    MainWindow window;
    connect(&closer, &signalClose::closeRequested, &window, &MainWindow::closeWithoutAsking);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(box.file().size() == file.size(), 10000);
    QTRY_VERIFY(window.jobRunning());

    // The user closes; while the question is open, the session ends.
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
    QVERIFY(box.received() == "r\r\nl\r\n" + file);
}

int main(int argc, char **argv)
{
    cmdkit::setArguments({});
    QApplication app(cmdkit::g_argc, cmdkit::g_argv);
    app.setQuitOnLastWindowClosed(false);
    tst_signalclose test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_signalclose.moc"
