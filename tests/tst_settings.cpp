// settings.ini, the command line with bare file runs, and the stored job.
#include "cmdkit.h"
#include "modalcloser.h"
#include "ptyline.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSerialPortInfo>
#include <QtTest>

using namespace cmdkit;

namespace {

// "@name" stands for a sample file made in the working directory.
QString resolve(const QString &arg)
{
    if (!arg.startsWith('@'))
        return arg;
    const QString n = arg.mid(1);
    if (n == "hd") return hdUpdate();
    if (n == "hdList") return hdList();
    if (n == "sdList") return sdList();
    if (n == "sd2") return sdFw2();
    if (n == "sd3") return sdFw3();
    if (n == "sd4") return sdFw4();
    if (n == "text") return textFile();
    return QDir::current().absoluteFilePath(n); // not made: unreadable
}

QStringList resolveAll(const QStringList &args)
{
    QStringList out;
    for (const QString &a : args)
        out << resolve(a);
    return out;
}

void writeIni(const QByteArray &text)
{
    QFile f("settings.ini");
    f.open(QIODevice::WriteOnly);
    f.write(text);
}

QByteArray readIni()
{
    QFile f("settings.ini");
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QVariant stored(const QString &key)
{
    return QSettings("settings.ini", QSettings::IniFormat).value(key);
}

} // namespace

class tst_settings : public QObject
{
    Q_OBJECT
    MainWindow *w = nullptr;
    modalCloser *closer = nullptr;

    MainWindow *make(const QStringList &args = {})
    {
        setArguments(args);
        w = new MainWindow;
        closer = new modalCloser(w);
        return w;
    }
    void closeWindow()
    {
        QVERIFY(w->close());
        delete w;
        w = nullptr;
    }
    QString label() const { return w->form()->lblFilename->text(); }
    bool portErrorShown()
    {
        return QTest::qWaitFor([&] { return closer->boxes().size() == 1; }, 5000)
            && closer->boxes().first().title == QLatin1String("Opening COM-Port")
            && QTest::qWaitFor([&] { return !w->jobRunning() && w->form()->btnUpdate->isEnabled(); }, 5000);
    }

private slots:
    void init()
    {
        QFile::remove("settings.ini");
        QDir().rmdir("settings.ini");
    }
    void cleanup()
    {
        delete w;
        w = nullptr;
        QDir().rmdir("settings.ini");
    }

    void firstRun();
    void roundTrip_data();
    void roundTrip();
    void iniNotation();
    void transferValue_data();
    void transferValue();
    void noKeywordKeepsStoredJob();
    void storedJobF5();
    void storedJobStartsWithS_data();
    void storedJobStartsWithS();
    void brokenFile_data();
    void brokenFile();
    void position_data();
    void position();
    void fileRuns_data();
    void fileRuns();
    void commandLineOverridesSettings();
    void unknownPort_data();
    void unknownPort();
};

void tst_settings::firstRun()
{
    make();
    QCOMPARE(w->pos(), QPoint(0, 0));
    QCOMPARE(w->size(), QSize(400, 161));
    QCOMPARE(label(), QString());
    QCOMPARE(int(w->transfer()), 0);
    QVERIFY(!w->form()->actionRerun->isEnabled());
    QCOMPARE(w->form()->comboPorts->currentIndex(), QSerialPortInfo::availablePorts().isEmpty() ? -1 : 0);
    closeWindow();
    // A run without a job writes no job kind.
    QVERIFY(!QSettings("settings.ini", QSettings::IniFormat).contains("Velmora/Transfer"));
    QCOMPARE(stored("Velmora/Filename").toString(), QString());
}

void tst_settings::roundTrip_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::newRow("UpdateHD") << "UpdateHD" << 1 << "/boxes/hd.app";
    QTest::newRow("SendListHD") << "SendListHD" << 2 << "/boxes/my list.lis";
    QTest::newRow("GetListHD") << "GetListHD" << 3 << "rel/list.lis";
    QTest::newRow("UpdateSD, two files") << "UpdateSD" << 4 << "/boxes/a.app\n/boxes/b=c;d.app";
    QTest::newRow("SendListSD") << "SendListSD" << 5 << QString::fromUtf8("/Sender/Liste für Oma.lst");
    QTest::newRow("GetListSD") << "GetListSD" << 6 << "C:\\boxes\\list.lst";
}

void tst_settings::roundTrip()
{
    QFETCH(QString, keyword);
    QFETCH(QString, file);
    make(QStringList{"-t", keyword, "-f"} + file.split('\n') + QStringList{"-p", "/dev/null"});
    w->move(37, 44);
    w->resize(420, 210);
    closeWindow();
    QCOMPARE(stored("Velmora/Transfer").toString(), keyword);
    QCOMPARE(stored("Velmora/Portname").toString(), QStringLiteral("/dev/null"));

    make({"-p", "/dev/null"}); // the port must exist to be chosen again
    QCOMPARE(w->pos(), QPoint(37, 44));
    QCOMPARE(w->size(), QSize(420, 210));
    QCOMPARE(label(), file);
    QTEST(int(w->transfer()), "kind");
    QVERIFY(w->form()->actionRerun->isEnabled());
    QCOMPARE(w->linkHD().currentPortname(), QStringLiteral("/dev/null"));
}

void tst_settings::iniNotation()
{
    make({"-t", "GetListSD", "-f", "x.lst"});
    w->move(12, 34);
    w->resize(456, 178);
    closeWindow();
    const QByteArray ini = readIni();
    QVERIFY2(ini.contains("[Language]\nLanguage="), ini);
    QVERIFY2(ini.contains("[Velmora]\n"), ini);
    QVERIFY2(ini.contains("Position=@Point(12 34)\n"), ini);
    QVERIFY2(ini.contains("Size=@Size(456 178)\n"), ini);
    QVERIFY2(ini.contains("Transfer=GetListSD\n"), ini);
    QVERIFY2(ini.contains("Filename=x.lst\n"), ini);
}

void tst_settings::transferValue_data()
{
    QTest::addColumn<QByteArray>("value"); // empty: key missing
    QTest::addColumn<int>("kind");
    QTest::newRow("UpdateHD") << QByteArray("UpdateHD") << 1;
    QTest::newRow("SendListHD") << QByteArray("SendListHD") << 2;
    QTest::newRow("GetListHD") << QByteArray("GetListHD") << 3;
    QTest::newRow("UpdateSD") << QByteArray("UpdateSD") << 4;
    QTest::newRow("SendListSD") << QByteArray("SendListSD") << 5;
    QTest::newRow("GetListSD") << QByteArray("GetListSD") << 6;
    QTest::newRow("lower case") << QByteArray("updatehd") << 0;
    QTest::newRow("number") << QByteArray("1") << 0;
    QTest::newRow("empty value") << QByteArray("\"\"") << 0;
    QTest::newRow("missing") << QByteArray() << 0;
}

void tst_settings::transferValue()
{
    QFETCH(QByteArray, value);
    QFETCH(int, kind);
    writeIni("[Velmora]\nFilename=stored.app\n" + (value.isEmpty() ? QByteArray() : "Transfer=" + value + "\n"));
    make();
    QCOMPARE(int(w->transfer()), kind);
    QCOMPARE(label(), QStringLiteral("stored.app"));
    QCOMPARE(w->form()->actionRerun->isEnabled(), kind != 0);
}

// "-t" with no keyword empties the job kind for this run, but the stored
// kind is not overwritten.
void tst_settings::noKeywordKeepsStoredJob()
{
    writeIni("[Velmora]\nFilename=old.lst\nTransfer=SendListSD\n");
    make({"-t", "Bogus", "-f", "new.lst", "-p", "/dev/null"});
    QCOMPARE(int(w->transfer()), 0);
    Requests req(w);
    w->form()->actionRerun->trigger();
    QCOMPARE(req.sent(), 0);
    closeWindow();
    QCOMPARE(stored("Velmora/Transfer").toString(), QStringLiteral("SendListSD"));
    QCOMPARE(stored("Velmora/Filename").toString(), QStringLiteral("new.lst"));
}

void tst_settings::storedJobF5()
{
    const QString file = hdUpdate();
    writeIni("[Velmora]\nPortname=/dev/null\nTransfer=UpdateHD\nFilename=" + file.toUtf8() + "\n");
    make();
    QVERIFY(w->form()->actionRerun->isEnabled());
    QCOMPARE(w->linkHD().currentFilename(), QString()); // nothing started yet
    Requests req(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F5);
    QCOMPARE(req.sent(), 1);
    QCOMPARE(w->linkHD().currentFilename(), file);
    QCOMPARE(w->linkHD().currentPortname(), QStringLiteral("/dev/null"));
    QVERIFY(portErrorShown());
    // And once more, the same job.
    closer->clear();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F5);
    QCOMPARE(req.spies.first()->count(), 2);
    QVERIFY(portErrorShown());
}

void tst_settings::storedJobStartsWithS_data()
{
    QTest::addColumn<bool>("storedFile");
    QTest::newRow("stored job") << true;
    QTest::newRow("no stored file") << false;
}

void tst_settings::storedJobStartsWithS()
{
    QFETCH(bool, storedFile);
    const QString file = sdList();
    writeIni("[Velmora]\nPortname=/dev/null\nTransfer=SendListSD\n"
             + (storedFile ? "Filename=" + file.toUtf8() + "\n" : QByteArray()));
    make({"-s"});
    QVERIFY(w->form()->actionRerun->isEnabled());
    if (!storedFile) {
        QTest::qWait(100);
        QCOMPARE(w->linkSD().currentFilename(), QString());
        QCOMPARE(closer->boxes().size(), 0);
        QVERIFY(!w->jobRunning());
        return;
    }
    // Started in the constructor: the link already holds the file.
    QCOMPARE(w->linkSD().currentFilename(), file);
    QVERIFY(portErrorShown());
}

void tst_settings::brokenFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("directory");
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\x13[[[\x01=\x02\n\xfe", 11) << false;
    QTest::newRow("wrong types")
        << QByteArray("[Velmora]\nPosition=rubbish\nSize=@Size(-3 -3)\nTransfer=@Point(1 2)\n") << false;
    QTest::newRow("zero size") << QByteArray("[Velmora]\nSize=@Size(0 0)\n") << false;
    QTest::newRow("no group headers") << QByteArray("Position=@Point(\nSize=@Size(\n") << false;
    QTest::newRow("a directory") << QByteArray() << true;
}

void tst_settings::brokenFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, directory);
    if (directory)
        QVERIFY(QDir().mkdir("settings.ini"));
    else
        writeIni(content);
    make();
    QCOMPARE(w->pos(), QPoint(0, 0));
    QCOMPARE(w->size(), QSize(400, 161));
    QCOMPARE(int(w->transfer()), 0);
    QVERIFY(!w->form()->actionRerun->isEnabled());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    closeWindow(); // writing may fail; it must not crash
}

void tst_settings::position_data()
{
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("sizeKept");
    QTest::newRow("on screen") << QPoint(100, 80) << true << QSize(420, 210) << true;
    QTest::newRow("far left above") << QPoint(-20000, -20000) << false << QSize(420, 210) << true;
    QTest::newRow("far right below") << QPoint(30000, 30000) << false << QSize(420, 210) << true;
    QTest::newRow("a screen that is gone") << QPoint(2000, 100) << false << QSize(420, 210) << true;
    // Far beyond any screen: would cost a backing store of a gigabyte.
    QTest::newRow("oversized") << QPoint(100, 80) << true << QSize(16000, 16000) << false;
    QTest::newRow("too tall") << QPoint(100, 80) << true << QSize(500, 9000) << false;
}

void tst_settings::position()
{
    QFETCH(QPoint, stored);
    QFETCH(bool, kept);
    QFETCH(QSize, size);
    QFETCH(bool, sizeKept);
    {
        QSettings s("settings.ini", QSettings::IniFormat);
        s.setValue("Velmora/Position", stored);
        s.setValue("Velmora/Size", size);
    }
    const QRect screens = QGuiApplication::primaryScreen()->virtualGeometry();
    QVERIFY2(screens.contains(QPoint(100, 80)) && !screens.contains(QPoint(2000, 100)),
             "the test expects one screen of the offscreen platform's size");
    make();
    if (kept)
        QCOMPARE(w->pos(), stored);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    if (sizeKept)
        QCOMPARE(w->size(), size);
    else
        QVERIFY2(screen.expandedTo(w->size()) == screen && !w->size().isEmpty(),
                 qPrintable(QStringLiteral("%1x%2").arg(w->width()).arg(w->height())));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    // The title bar corner must lie on some screen.
    QVERIFY2(QGuiApplication::screenAt(w->pos() + QPoint(10, 10)),
             qPrintable(QStringLiteral("%1,%2").arg(w->pos().x()).arg(w->pos().y())));
}

void tst_settings::fileRuns_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("label");
    QTest::addColumn<QString>("ends"); // "port": started, the port fails; "file": refused
    QTest::newRow("HD update") << QStringList{"@hd"} << 1 << QStringList{"@hd"} << "";
    QTest::newRow("HD update, -s after") << QStringList{"@hd", "-p", "/dev/null", "-s"} << 1 << QStringList{"@hd"} << "port";
    QTest::newRow("-s first, HD list") << QStringList{"-s", "-p", "/dev/null", "@hdList"} << 2 << QStringList{"@hdList"} << "port";
    QTest::newRow("two SD images") << QStringList{"@sd2", "@sd3"} << 4 << QStringList{"@sd2", "@sd3"} << "";
    QTest::newRow("images around text") << QStringList{"@sd4", "@text", "@sd2"} << 4 << QStringList{"@sd4", "@sd2"} << "";
    QTest::newRow("SD list") << QStringList{"@sdList"} << 5 << QStringList{"@sdList"} << "";
    // A recognised list or HD file ends its run; what follows starts a new one.
    QTest::newRow("HD list then image") << QStringList{"@hdList", "@sd2"} << 4 << QStringList{"@sd2"} << "";
    QTest::newRow("image, SD list, image") << QStringList{"@sd2", "@sdList", "@sd3"} << 4 << QStringList{"@sd3"} << "";
    QTest::newRow("image then HD update") << QStringList{"@sd2", "@hd"} << 1 << QStringList{"@hd"} << "";
    QTest::newRow("HD update then unknown") << QStringList{"@hd", "@text"} << 1 << QStringList{"@text"} << "";
    QTest::newRow("unknown") << QStringList{"@text"} << 0 << QStringList{"@text"} << "";
    QTest::newRow("unreadable") << QStringList{"@gone.app", "@text"} << 0 << QStringList{"@text"} << "";
    QTest::newRow("runs split by -t") << QStringList{"@sd2", "-t", "GetListHD", "@text"} << 3 << QStringList{"@text"} << "";
    // Behind -f nothing is examined.
    QTest::newRow("-f files unexamined") << QStringList{"-f", "@hd", "@sdList"} << 0 << QStringList{"@hd", "@sdList"} << "";
    QTest::newRow("-f then bare file") << QStringList{"-f", "@text", "-x", "@sd2"} << 4 << QStringList{"@sd2"} << "";
    QTest::newRow("-t, -f, -p, -s") << QStringList{"-t", "UpdateHD", "-f", "@text", "-p", "/dev/null", "-s"} << 1 << QStringList{"@text"} << "port";
    QTest::newRow("-p last") << QStringList{"@sdList", "-p"} << 5 << QStringList{"@sdList"} << "";
    // A line feed in a name would make the SD link take another file: refused,
    // nothing started; a joined -f run of several files stays a job.
    QTest::newRow("-f name with LF") << QStringList{"-t", "GetListSD", "-f", "keep\nnew.lst", "-p", "/dev/null", "-s"} << 6 << QStringList() << "file";
    QTest::newRow("bare name with LF") << QStringList{"@sdList", "keep\nnew.lst", "-p", "/dev/null", "-s"} << 5 << QStringList{"@sdList"} << "file";
    QTest::newRow("several -f files, -s") << QStringList{"-t", "UpdateSD", "-f", "@sd2", "@sd3", "-p", "/dev/null", "-s"} << 4 << QStringList{"@sd2", "@sd3"} << "port";
}

void tst_settings::fileRuns()
{
    QFETCH(QStringList, args);
    QFETCH(int, kind);
    QFETCH(QStringList, label);
    QFETCH(QString, ends);
    const bool started = ends == "port";
    make(resolveAll(args));
    QCOMPARE(int(w->transfer()), kind);
    QCOMPARE(this->label(), resolveAll(label).join('\n'));
    QCOMPARE(w->form()->actionRerun->isEnabled(), started);
    const QString given = kind >= 1 && kind <= 3 ? w->linkHD().currentFilename() : w->linkSD().currentFilename();
    QCOMPARE(given, started ? this->label() : QString());
    if (started)
        QVERIFY(portErrorShown());
    if (ends != "file")
        return;
    QTRY_COMPARE(closer->boxes().size(), 1);
    QCOMPARE(closer->boxes().first().title, QStringLiteral("Opening File"));
    QTest::qWait(100);
    QVERIFY(!w->jobRunning());
    delete w;
    w = nullptr;
    QFile log("velmora.log");
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("line feed refused: keep\\nnew.lst\n"));
}

void tst_settings::commandLineOverridesSettings()
{
    writeIni("[Velmora]\nFilename=stored.lst\nTransfer=SendListSD\n");
    const QString file = hdUpdate();
    make({file});
    QCOMPARE(int(w->transfer()), 1);
    QCOMPARE(label(), file);
    closeWindow();
    QCOMPARE(stored("Velmora/Transfer").toString(), QStringLiteral("UpdateHD"));
    QCOMPARE(stored("Velmora/Filename").toString(), file);
}

void tst_settings::unknownPort_data()
{
    QTest::addColumn<QStringList>("args");  // "@pty": a pseudo-terminal that is there
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("port");      // the one named, whether there or not
    QTest::addColumn<bool>("missing");
    QTest::newRow("command line") << QStringList{"-p", "ttyNOPE"} << QByteArray() << "ttyNOPE" << true;
    QTest::newRow("settings") << QStringList() << QByteArray("[Velmora]\nPortname=ttyNOPE\n") << "ttyNOPE" << true;
    QTest::newRow("vanished device") << QStringList{"-p", "/dev/nonexistent-tty"} << QByteArray() << "/dev/nonexistent-tty" << true;
    // The job fails on the port named; the stored line hears nothing.
    QTest::newRow("-p gone over stored line, -s")
        << QStringList{"-p", "/dev/nonexistent-tty", "-t", "UpdateHD", "-f", "@hd", "-s"}
        << QByteArray("[Velmora]\nPortname=@pty\n") << "/dev/nonexistent-tty" << true;
    QTest::newRow("stored port gone, -s") << QStringList{"-t", "GetListSD", "-f", "x.lst", "-s"}
        << QByteArray("[Velmora]\nPortname=ttyNOPE\n") << "ttyNOPE" << true;
    QTest::newRow("line there over stored port gone") << QStringList{"-p", "@pty"}
        << QByteArray("[Velmora]\nPortname=ttyNOPE\n") << "@pty" << false;
}

void tst_settings::unknownPort()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, ini);
    QFETCH(QString, port);
    QFETCH(bool, missing);
    ptyLine line;
    QVERIFY(line.open());
    args.replaceInStrings("@pty", line.devicePath());
    port.replace("@pty", line.devicePath());
    if (!ini.isEmpty())
        writeIni(ini.replace("@pty", line.devicePath().toUtf8()));
    make(resolveAll(args));
    QComboBox *combo = w->form()->comboPorts;
    const int added = !ini.isEmpty() && args.contains("-p") ? 2 : 1;
    QCOMPARE(combo->count(), QSerialPortInfo::availablePorts().size() + added);
    QCOMPARE(combo->currentIndex(), combo->count() - 1);
    QCOMPARE(combo->currentText(), missing ? port + " (not found)" : port);
    QCOMPARE(w->linkHD().currentPortname(), port);
    QCOMPARE(w->linkSD().currentPortname(), port);
    if (args.contains("-s"))
        QVERIFY(portErrorShown());
    closeWindow();
    QCOMPARE(stored("Velmora/Portname").toString(), port);
    QVERIFY(line.read(200).isEmpty());
}

int main(int argc, char **argv)
{
    setArguments({});
    QApplication app(g_argc, g_argv);
    tst_settings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
