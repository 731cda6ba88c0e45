// The window's start-up, log, ports, job start, command line and closing.
#include "cmdkit.h"
#include "mainwindow.h"
#include "modalcloser.h"
#include "ptyline.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSerialPortInfo>
#include <QtTest>

namespace {

using cmdkit::g_argc;
using cmdkit::g_argv;
using cmdkit::setArguments;

QStringList logLines()
{
    QFile f(QStringLiteral("velmora.log"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        line = line.mid(9); // drop the stamp
    return lines;
}

QString writeHdUpdate(const QString &name)
{
    return cmdkit::hdUpdate(name);
}

} // namespace

class tst_window : public QObject
{
    Q_OBJECT
    MainWindow *w = nullptr;

    MainWindow *make(const QStringList &args = {})
    {
        setArguments(args);
        w = new MainWindow;
        return w;
    }

private slots:
    void init()
    {
        QFile::remove(QStringLiteral("settings.ini"));
        setArguments({});
    }
    void cleanup()
    {
        delete w;
        w = nullptr;
        for (const char *f : {"logo.ico", "logo.png", "logo.xpm"})
            QFile::remove(QLatin1String(f));
    }

    void startUpLog();
    void startUpPorts();
    void iconOrder_data();
    void iconOrder();
    void portHandOver();
    void startActionDoesNothing_data();
    void startActionDoesNothing();
    void startActionStartsFamily_data();
    void startActionStartsFamily();
    void rerunRightAfterEnd();
    void commandLine_data();
    void commandLine();
    void commandLineStartsJob();
    void closeIdle();
    void closeBusyAnswerNo();
    void closeDuringJob();
};

void tst_window::startUpLog()
{
    {
        QFile old(QStringLiteral("velmora.log"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("lines of an earlier run\nmore of them\n");
    }
    make();
    delete w;
    w = nullptr;
    QCOMPARE(logLines(), QStringList({"---------- START ----------", "Softwareversion: 3.0.0.8"}));
}

void tst_window::startUpPorts()
{
    make();
    const auto ports = QSerialPortInfo::availablePorts();
    QCOMPARE(w->form()->comboPorts->count(), ports.size());
    // With ports, the first is chosen and handed over; without, no name is set.
    const QString expected = ports.isEmpty() ? QString() : ports.first().portName();
    QCOMPARE(w->linkHD().currentPortname(), expected);
    QCOMPARE(w->linkSD().currentPortname(), expected);
    QCOMPARE(w->transfer(), quint8(0));
    QVERIFY(!w->form()->actionRerun->isEnabled());
}

void tst_window::iconOrder_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("png and xpm") << QStringList{"logo.png", "logo.xpm"} << "logo.png";
    QTest::newRow("all") << QStringList{"logo.xpm", "logo.png", "logo.ico"} << "logo.ico";
    QTest::newRow("xpm") << QStringList{"logo.xpm"} << "logo.xpm";
}

void tst_window::iconOrder()
{
    QFETCH(QStringList, present);
    for (const QString &name : present) {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QTEST(MainWindow::windowIconFile(), "chosen");
}

void tst_window::portHandOver()
{
    ptyLine a, b;
    QVERIFY(a.open());
    QVERIFY(b.open());
    make({"-p", a.devicePath(), "-p", b.devicePath()});
    QComboBox *combo = w->form()->comboPorts;
    const int first = combo->findText(a.devicePath());
    const int second = combo->findText(b.devicePath());
    QVERIFY(first >= 0 && second > first);
    QCOMPARE(combo->currentIndex(), second);
    QCOMPARE(w->linkHD().currentPortname(), b.devicePath());
    combo->setCurrentIndex(first);
    QCOMPARE(w->linkHD().currentPortname(), a.devicePath());
    QCOMPARE(w->linkSD().currentPortname(), a.devicePath());
}

void tst_window::startActionDoesNothing_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("empty label") << QStringList{"-t", "UpdateHD"};
    QTest::newRow("kind 0") << QStringList{"-f", "some.app"};
    QTest::newRow("no keyword") << QStringList{"-t", "updatehd", "-f", "some.app"};
}

void tst_window::startActionDoesNothing()
{
    QFETCH(QStringList, args);
    make(args);
    QList<QSignalSpy *> spies;
    for (auto sig : {&jobRunner::sigUpdateFirmwareHD, &jobRunner::sigUploadCHListHD,
                     &jobRunner::sigDownloadCHListHD, &jobRunner::sigUpdateFirmwareSD,
                     &jobRunner::sigUploadCHListSD, &jobRunner::sigDownloadCHListSD})
        spies << new QSignalSpy(&w->jobs(), sig);
    QMetaObject::invokeMethod(w, "slotStartAction");
    QTest::qWait(50);
    for (QSignalSpy *spy : spies) {
        QCOMPARE(spy->count(), 0);
        delete spy;
    }
    QCOMPARE(w->linkHD().currentFilename(), QString());
    QCOMPARE(w->linkSD().currentFilename(), QString());
}

void tst_window::startActionStartsFamily_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("hd");
    QTest::addColumn<int>("signal");
    QTest::newRow("UpdateHD") << "UpdateHD" << true << 0;
    QTest::newRow("SendListHD") << "SendListHD" << true << 1;
    QTest::newRow("GetListHD") << "GetListHD" << true << 2;
    QTest::newRow("UpdateSD") << "UpdateSD" << false << 3;
    QTest::newRow("SendListSD") << "SendListSD" << false << 4;
    QTest::newRow("GetListSD") << "GetListSD" << false << 5;
}

void tst_window::startActionStartsFamily()
{
    QFETCH(QString, keyword);
    QFETCH(bool, hd);
    QFETCH(int, signal);
    // A device that is no serial port: the job ends with the port error.
    make({"-t", keyword, "-f", "job.file", "-p", "/dev/null"});
    modalCloser closer;
    QList<QSignalSpy *> spies;
    for (auto sig : {&jobRunner::sigUpdateFirmwareHD, &jobRunner::sigUploadCHListHD,
                     &jobRunner::sigDownloadCHListHD, &jobRunner::sigUpdateFirmwareSD,
                     &jobRunner::sigUploadCHListSD, &jobRunner::sigDownloadCHListSD})
        spies << new QSignalSpy(&w->jobs(), sig);
    w->form()->actionRerun->setEnabled(true);
    w->form()->actionRerun->trigger();
    for (int i = 0; i < spies.size(); ++i)
        QCOMPARE(spies.at(i)->count(), i == signal ? 1 : 0);
    qDeleteAll(spies);
    QCOMPARE((hd ? w->linkHD().currentFilename() : w->linkSD().currentFilename()), QStringLiteral("job.file"));
    QCOMPARE((hd ? w->linkSD().currentFilename() : w->linkHD().currentFilename()), QString());
    // The link reports the port error and the end of the job.
    QTRY_COMPARE(closer.boxes().size(), 1);
    QCOMPARE(closer.boxes().first().title, QStringLiteral("Opening COM-Port"));
    QTRY_VERIFY(!w->jobRunning());
    QTRY_VERIFY(w->form()->btnUpdate->isEnabled());
}

void tst_window::rerunRightAfterEnd()
{
    // Each end code starts the job again at once, while the link thread is
    // still leaving its loop; every run must still happen.
    make({"-t", "GetListHD", "-f", "job.lis", "-p", "/dev/null"});
    modalCloser closer;
    int ends = 0;
    connect(&w->linkHD(), &serialComVesk::sendCurrentAction, w, [&](int code) {
        if (code == 41 && ++ends < 4)
            w->form()->actionRerun->trigger();
    }, Qt::QueuedConnection);
    w->form()->actionRerun->setEnabled(true);
    w->form()->actionRerun->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ends, 4, 5000);
    QTRY_COMPARE(closer.boxes().size(), 4);
}

void tst_window::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("transfer");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("rerun");
    QTest::newRow("keyword") << QStringList{"-t", "GetListSD"} << 6 << "" << false;
    QTest::newRow("keyword case") << QStringList{"-t", "getlistsd"} << 0 << "" << false;
    QTest::newRow("last keyword wins") << QStringList{"-t", "UpdateSD", "-t", "SendListHD"} << 2 << "" << false;
    QTest::newRow("-t last") << QStringList{"-t"} << 0 << "" << false;
    QTest::newRow("files") << QStringList{"-f", "a.app", "b.app"} << 0 << "a.app\nb.app" << false;
    QTest::newRow("-f then option") << QStringList{"-f", "a.app", "-f", "-t", "UpdateSD"} << 4 << "" << false;
    QTest::newRow("-s alone") << QStringList{"-s"} << 0 << "" << true;
    QTest::newRow("unknown option") << QStringList{"-x", "-t", "UpdateHD"} << 1 << "" << false;
    QTest::newRow("unknown bare file") << QStringList{"nothing.bin", "other.bin"} << 0 << "other.bin" << false;
}

void tst_window::commandLine()
{
    QFETCH(QStringList, args);
    make(args);
    QTEST(int(w->transfer()), "transfer");
    QTEST(w->form()->lblFilename->text(), "label");
    QTEST(w->form()->actionRerun->isEnabled(), "rerun");
}

void tst_window::commandLineStartsJob()
{
    ptyLine box; // a box that never answers
    QVERIFY(box.open());
    const QString file = writeHdUpdate(QStringLiteral("update.app"));
    make({"-t", "UpdateHD", "-f", file, "-p", box.devicePath(), "-s"});
    modalCloser closer;
    QCOMPARE(w->transfer(), quint8(1));
    QCOMPARE(w->linkHD().currentPortname(), box.devicePath());
    QCOMPARE(w->linkHD().currentFilename(), file);
    QVERIFY(w->form()->actionRerun->isEnabled());
    // The job runs against the silent box: the controls are disabled.
    QTRY_VERIFY(w->jobRunning());
    QVERIFY(!w->form()->btnUpdate->isEnabled());
}

void tst_window::closeIdle()
{
    make();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(w->close());
    QVERIFY(timer.elapsed() < 1500);
    QVERIFY(QFile::exists(QStringLiteral("settings.ini")));
    QVERIFY(!w->isVisible());
}

void tst_window::closeBusyAnswerNo()
{
    make();
    modalCloser closer;
    closer.setAnswer(QMessageBox::No);
    w->show();
    w->slotCurrentAction(40);
    QVERIFY(!w->close());
    QCOMPARE(closer.boxes().size(), 1);
    QCOMPARE(closer.boxes().first().buttons, int(QMessageBox::Yes | QMessageBox::No));
    QVERIFY(w->isVisible());
    QVERIFY(!QFile::exists(QStringLiteral("settings.ini")));
    w->slotCurrentAction(41);
    QVERIFY(w->close());
}

void tst_window::closeDuringJob()
{
    ptyLine box;
    QVERIFY(box.open());
    const QString file = writeHdUpdate(QStringLiteral("update.app"));
    make({"-t", "UpdateHD", "-f", file, "-p", box.devicePath(), "-s"});
    modalCloser closer;
    closer.setAnswer(QMessageBox::Yes);
    QTRY_VERIFY(w->jobRunning());
    QTest::qWait(300); // well inside the first step's window
    QElapsedTimer timer;
    timer.start();
    QVERIFY(w->close());
    // The job gives up at its next wait; nothing waits for a whole window.
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(QFile::exists(QStringLiteral("settings.ini")));
    delete w;
    w = nullptr;
    const QStringList lines = logLines();
    QVERIFY2(lines.contains(QStringLiteral("Job stopped: the window was closed")), qPrintable(lines.join('\n')));
    QCOMPARE(lines.first(), QStringLiteral("---------- START ----------"));
}

int main(int argc, char **argv)
{
    setArguments({});
    QApplication app(g_argc, g_argv);
    tst_window test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window.moc"
