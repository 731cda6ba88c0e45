// The window's commands (file dialogs, the transmit button, drops, the
// editor, the about box), what it reads from and writes to settings.ini, and
// its command line with files recognised by their content.
#include "jobkind.h"
#include "mainwindow.h"
#include "ptyline.h"
#include "testrig.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QMimeData>
#include <QScreen>
#include <QSerialPortInfo>
#include <QSettings>
#include <QUrl>
#include <QtTest>

namespace {
const QString HD_ENTRY = QStringLiteral("Channel list HD *.lis");
const QString SD_ENTRY = QStringLiteral("Channel list SD *.lst");

// The dialogs' filters by a short name.
QString filter(const QString &code)
{
    const QString hd = "HD-Firmware file *.app;;", sd = "SD-Firmware file *.app;;", all = "All Files *.*";
    return QHash<QString, QString>{{"HD", HD_ENTRY + ";;" + SD_ENTRY}, {"SD", SD_ENTRY + ";;" + HD_ENTRY},
                                   {"hdapp", hd + all}, {"sdapp", sd + all}, {"both", hd + sd + all}}.value(code);
}
} // namespace

class tst_commands : public QObject
{
    Q_OBJECT
    std::unique_ptr<testRig> rig;

    // "@many": 300 SD images, far more than an 8-bit counter holds; "@many+text"
    // has a text file among them just past 256.
    QStringList resolve(const QStringList &names)
    {
        QStringList out;
        for (const QString &name : names) {
            if (!name.startsWith(QLatin1String("@many"))) {
                out << rig->sample(name);
                continue;
            }
            for (int i = 0; i < 300; ++i)
                out << rig->sample(QStringLiteral("@sd2=many/%1.app").arg(i, 3, 10, QLatin1Char('0')));
            if (name.endsWith(QLatin1String("+text")))
                out.insert(256, rig->sample("@text=many/text.txt"));
        }
        return out;
    }
    QStringList titles() const
    {
        QStringList out;
        for (const testRig::Box &b : rig->boxes)
            out << b.title;
        return out;
    }

private slots:
    void init()
    {
        rig.reset(new testRig);
        rig->enter();
        rig->answerDialogs();
    }
    void cleanup() { rig.reset(); }
    void commands_data();
    void commands();
    void startUp_data();
    void startUp();
    void geometry_data();
    void geometry();
    void about();
};

void tst_commands::commands_data()
{
    QTest::addColumn<QStringList>("args");    // the command line ("-p /dev/null" follows)
    QTest::addColumn<QString>("action");      // hd, sd, send, get, button, edit, drop
    QTest::addColumn<QStringList>("chosen");  // the dialog's answer, or the files dropped
    QTest::addColumn<QString>("selected");    // the filter a save dialog reports
    QTest::addColumn<QString>("asked");       // "kind|title|dir|filter"; empty: no dialog
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("label");   // "=": as before
    QTest::addColumn<int>("sent");            // the job kind requested, 0: none
    QTest::addColumn<QString>("box");         // a box's title, besides a sent job's port error
    using L = QStringList;
    auto add = [](const QString &name, const L &args, const char *action, const L &chosen, const QString &selected,
                  const char *asked, int kind, const L &label, int sent, const char *box = "") {
        QTest::newRow(qPrintable(name)) << args << QString(action) << chosen << selected << QString(asked) << kind
                                        << label << sent << QString(box);
    };
    const L same{"="}, old{"-t", "SendListSD", "-f", "@old/before.lst"};
    // The HD update takes any file: the link judges it when the job runs.
    add("HD update", old, "hd", {"@hd"}, "", "open|Update file|old|hdapp", 1, {"@hd"}, 1);
    add("HD update of an SD image", {}, "hd", {"@sd2"}, "", "open|Update file|.|hdapp", 1, {"@sd2"}, 1);
    add("HD update cancelled", old, "hd", {}, "", "open|Update file|old|hdapp", 5, same, 0);
    // The SD update keeps the SD images, in order; the dialog starts at the first file.
    const L two{"-t", "SendListHD", "-f", "@first/prior.lis", "@second/other.lis"};
    add("SD images among others", two, "sd", {"@sd4", "@sdList", "@sd2", "@hd", "@sd3", "@hdList", "@text"}, "",
        "opens|Update file|first|sdapp", 4, {"@sd4", "@sd2", "@sd3"}, 4);
    add("SD update, nothing usable", {}, "sd", {"@text", "@hd"}, "", "opens|Update file|.|sdapp", 4, {}, 0);
    add("SD update cancelled", two, "sd", {}, "", "opens|Update file|first|sdapp", 2, same, 0);
    add("SD update of 300 files", {}, "sd", {"@many+text"}, "", "opens|Update file|.|sdapp", 4, {"@many"}, 4);

    // Sending a list: the file decides the family; no list, no job.
    const L keep{"-t", "GetListSD", "-f", "@keep.lst"};
    add("send an HD list", keep, "send", {"@hdList"}, "", "open|Channel list|.|SD", 2, {"@hdList"}, 2);
    add("send an SD list", keep, "send", {"@sdList"}, "", "open|Channel list|.|SD", 5, {"@sdList"}, 5);
    for (const char *file : {"@hd", "@sd2", "@bigList", "@gone.lis"})
        add(QString("send %1").arg(file), keep, "send", {file}, "", "open|Channel list|.|SD", 6, same, 0, "Channel list");
    add("send cancelled", keep, "send", {}, "", "open|Channel list|.|SD", 6, same, 0);
    add("send after an HD job", {"-t", "GetListHD"}, "send", {}, "", "open|Channel list|.|HD", 3, {}, 0);

    // Getting a list: the name's ending or the chosen entry decides, the HD test first.
    const L lists{"-t", "UpdateSD", "-f", "@lists/a.app", "/elsewhere/b.app"};
    const struct { const char *name, *file, *entry; int kind; } gets[] = {
        {".lis", "@box.lis", "SD", 3}, {".LIS", "@BOX.LIS", "", 3}, {".lst", "@box.lst", "SD", 6},
        {".lst, HD entry", "@box.lst", "HD", 3}, {".Lst", "@box.Lst", "", 6}, {"no ending, HD entry", "@box", "HD", 3},
        {"no ending, SD entry", "@box", "SD", 6}, {"other ending, HD entry", "@box.txt", "HD", 3},
        // Neither: the family would be a guess.
        {"no ending, no entry", "@box", "", 0}, {"no ending, foreign filter", "@box", "All Files (*)", 0},
        {".lis in the middle", "@box.lis.bak", "", 0}};
    for (const auto &g : gets) {
        const QString entry = QLatin1String(g.entry) == "HD" ? HD_ENTRY : QLatin1String(g.entry) == "SD" ? SD_ENTRY : g.entry;
        add(QString("get: ") + g.name, lists, "get", {g.file}, entry, "save|Channel list|lists|SD", g.kind ? g.kind : 4,
            g.kind ? L{g.file} : same, g.kind, g.kind ? "" : "Channel list");
    }
    // The entries stay English in every language, so they decide there too.
    add("get in German, HD entry", {"lang=de"}, "get", {"@box"}, HD_ENTRY, "save|Senderliste|.|SD", 3, {"@box"}, 3);
    add("get in German, SD entry", {"lang=de", "-t", "GetListHD"}, "get", {"@box"}, SD_ENTRY, "save|Senderliste|.|HD",
        6, {"@box"}, 6);
    const char *const keywords[] = {"UpdateHD", "SendListHD", "GetListHD", "UpdateSD", "SendListSD", "GetListSD"};
    for (int k = 0; k < 6; ++k)
        add(QString("get after ") + keywords[k], {"-t", keywords[k]}, "get", {}, "",
            k < 3 ? "save|Channel list|.|HD" : "save|Channel list|.|SD", k + 1, {}, 0);
    add("get without a job", {}, "get", {}, "", "save|Channel list|.|SD", 0, {}, 0);

    // The transmit button asks for files when the label is empty; several go to the SD link only.
    const char *const both = "opens|Update file|.|both";
    add("button: HD update", {}, "button", {"@hd"}, "", both, 1, {"@hd"}, 1);
    add("button: HD list", {}, "button", {"@hdList"}, "", both, 2, {"@hdList"}, 2);
    add("button: SD image", {}, "button", {"@sd4"}, "", both, 4, {"@sd4"}, 4);
    add("button: SD list", {}, "button", {"@sdList"}, "", both, 5, {"@sdList"}, 5);
    add("button: text", {}, "button", {"@text"}, "", both, 0, {}, 0);
    add("button: three SD images", {}, "button", {"@sd2", "@sd3", "@sd4"}, "", both, 4, {"@sd2", "@sd3", "@sd4"}, 4);
    add("button: two HD files", {}, "button", {"@hd", "@hdList"}, "", both, 0, {}, 0);
    // A list forgets the images before it; images after it win.
    add("button: image, list", {}, "button", {"@sd2", "@sdList"}, "", both, 5, {"@sdList"}, 5);
    add("button: image, list, image", {}, "button", {"@sd2", "@sdList", "@sd3"}, "", both, 4, {"@sd3"}, 4);
    add("button: images among others", {}, "button", {"@text", "@sd2", "@hd", "@sd3"}, "", both, 4, {"@sd2", "@sd3"}, 4);
    add("button cancelled", {}, "button", {}, "", both, 0, {}, 0);
    add("button: 300 files", {}, "button", {"@many+text"}, "", both, 4, {"@many"}, 4);
    add("button with a prepared job", {"-t", "SendListSD", "-f", "job.file"}, "button", {}, "", "", 5, same, 5);
    add("button with a file, no job", {"-f", "job.file"}, "button", {}, "", "", 0, same, 0);

    // A drop only prepares; a name with a line feed spoils the whole drop.
    add("drop HD update", {}, "drop", {"@hd"}, "", "", 1, {"@hd"}, 0);
    add("drop SD image, HD list", {}, "drop", {"@sd2", "@hdList"}, "", "", 2, {"@hdList"}, 0);
    add("drop SD images, SD list", {}, "drop", {"@sd2", "@sd3", "@sdList"}, "", "", 5, {"@sdList"}, 0);
    add("drop SD images and text", {}, "drop", {"@sd3", "@text", "@sd4"}, "", "", 4, {"@sd3", "@sd4"}, 0);
    add("drop unknown after an SD update", {"-t", "UpdateSD", "-f", "@prior"}, "drop", {"@text"}, "", "", 4, {"@text"}, 0);
    add("drop unknown files", {"-t", "GetListHD", "-f", "@prior"}, "drop", {"@text", "@missing"}, "", "", 3,
        {"@missing"}, 0);
    add("drop nothing", {"-t", "SendListHD", "-f", "@prior"}, "drop", {}, "", "", 2, same, 0);
    add("drop a name with LF", {"-t", "GetListSD", "-f", "@prior"}, "drop", {"@sd2", "keep\nnew.lst"}, "", "", 6, same,
        0, "Opening File");

    // The editor opens the list in the label, else asks for one; it changes no job.
    const QString inLabel = "@hdList=in label.lis";
    for (int k : {2, 3, 5, 6})
        add(QString("edit after ") + keywords[k - 1], {"-t", keywords[k - 1], "-f", inLabel}, "edit", {}, "", "", k, same, 0);
    add("edit after an update", {"-t", "UpdateHD", "-f", inLabel}, "edit", {"@sdList=picked.lst"}, "",
        "open|Channel list|.|HD", 1, same, 0);
    add("edit without a job", {"-f", inLabel}, "edit", {"@sdList=picked.lst"}, "", "open|Channel list|.|HD", 0, same, 0);
    add("edit cancelled", {"-t", "UpdateSD", "-f", inLabel}, "edit", {}, "", "open|Channel list|.|HD", 4, same, 0);
}

void tst_commands::commands()
{
    QFETCH(QStringList, args);
    QFETCH(QString, action);
    QFETCH(QStringList, chosen);
    QFETCH(QString, asked);
    QFETCH(QStringList, label);
    QFETCH(int, sent);
    QFETCH(QString, box);
    const bool german = args.removeAll("lang=de");
    if (german)
        QSettings("settings.ini", QSettings::IniFormat).setValue("Language/Language", "de");
    if (action == "edit") {   // lies in the working directory, records the list it was given
        QVERIFY(testRig::write("Morvelt.exe", "#!/bin/sh\nprintf '%s' \"$*\" > editor.out\n"));
        QFile::setPermissions("Morvelt.exe", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    MainWindow *w = rig->makeWindow(resolve(args) + QStringList{"-p", "/dev/null"});
    auto *ui = w->form();
    const QString before = rig->label();
    const QStringList files = resolve(chosen);
    if (action == "drop") {
        QList<QUrl> urls;
        for (const QString &f : files)
            urls << QUrl::fromLocalFile(f);
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
        QVERIFY(enter.isAccepted() || urls.isEmpty());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &drop);
        QCOMPARE(drop.isAccepted(), label != QStringList{"="});
        QCOMPARE(ui->actionRerun->isEnabled(), drop.isAccepted());
        QTest::qWait(20);
    } else {
        QFETCH(QString, selected);
        rig->answers << qMakePair(files, selected);
        QAction *const act[] = {ui->actionUpdateHDFirmware, ui->actionUpdateSDFirmware, ui->actionSendChannellist,
                                ui->actionGetChannellist, ui->actionEditChannellist};
        const int which = QStringList{"hd", "sd", "send", "get", "edit"}.indexOf(action);
        if (which >= 0)
            act[which]->trigger();
        else
            QTest::mouseClick(ui->btnUpdate, Qt::LeftButton);
    }
    if (asked.isEmpty()) {
        QCOMPARE(rig->dialogs.size(), 0);
    } else {
        QCOMPARE(rig->dialogs.size(), 1);
        const QStringList a = asked.split('|');
        QCOMPARE(rig->dialogs[0].kind, a[0]);
        QCOMPARE(rig->dialogs[0].title, a[1]);
        QCOMPARE(rig->dialogs[0].dir, a[2] == "." ? QDir::currentPath() : rig->path(a[2]));
        QCOMPARE(rig->dialogs[0].filter, filter(a[3]));
    }
    QTEST(int(w->transfer()), "kind");
    QCOMPARE(rig->label(), label == QStringList{"="} ? before : resolve(label).join('\n'));
    QCOMPARE(rig->sent(), sent);
    // The job's files go to its family's link, nothing to the other.
    QCOMPARE(w->linkHD().currentFilename(), sent >= 1 && sent <= 3 ? rig->label() : QString());
    QCOMPARE(w->linkSD().currentFilename(), sent > 3 ? rig->label() : QString());
    if (sent)
        QVERIFY(rig->portErrorShown());
    const QString portError = german ? QString::fromUtf8("COM-Port öffnen") : "Opening COM-Port";
    QTRY_COMPARE(titles(), (box.isEmpty() ? QStringList() : QStringList{box}) + (sent ? QStringList{portError} : QStringList()));
    if (action == "edit") {
        const QString opened = asked.isEmpty() ? before : files.value(0);
        if (opened.isEmpty()) {
            QTest::qWait(300);
            QVERIFY(!QFile::exists("editor.out"));
        } else {
            QTRY_COMPARE(QString::fromLocal8Bit(testRig::read("editor.out")), opened);
        }
    }
}

void tst_commands::startUp_data()
{
    QTest::addColumn<QByteArray>("ini");       // settings.ini before; "@pty": a line that is there
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("label");
    QTest::addColumn<bool>("rerun");
    QTest::addColumn<QString>("ends");         // "port": started, the port fails; "file": a name refused
    QTest::addColumn<QString>("port");         // the port chosen as the list shows it; empty: not compared
    QTest::addColumn<QStringList>("stored");   // "key=value" in settings.ini after the close; "!key": absent
    using L = QStringList;
    auto add = [](const QString &name, const QByteArray &ini, const L &args, int kind, const L &label, bool rerun,
                  const char *ends = "", const char *port = "", const L &stored = {}) {
        QTest::newRow(qPrintable(name)) << ini << args << kind << label << rerun << QString(ends) << QString(port) << stored;
    };
    add("first run", "", {}, 0, {}, false, "", "", {"Velmora/Filename=", "!Velmora/Transfer"});
    // The job kind is stored by its keyword, case and all; others leave the stored one.
    const char *const keywords[] = {"UpdateHD", "SendListHD", "GetListHD", "UpdateSD", "SendListSD", "GetListSD"};
    for (int k = 0; k < 6; ++k)
        add(QString("stored ") + keywords[k], QByteArray("[Velmora]\nFilename=stored.app\nTransfer=") + keywords[k] + "\n",
            {}, k + 1, {"stored.app"}, true, "", "", {QString("Velmora/Transfer=") + keywords[k]});
    for (const char *bad : {"updatehd", "1", "\"\""})
        add(QString("stored ") + bad, QByteArray("[Velmora]\nFilename=stored.app\nTransfer=") + bad + "\n", {}, 0,
            {"stored.app"}, false);
    const char *const files[] = {"/boxes/hd.app", "/boxes/my list.lis", "rel/list.lis", "/boxes/a.app\n/boxes/b=c;d.app",
                                 "/Sender/Liste für Oma.lst", "C:\\boxes\\list.lst"};
    for (int k = 0; k < 6; ++k)
        add(QString("-t ") + keywords[k], "", L{"-t", keywords[k], "-f"} + QString(files[k]).split('\n'), k + 1,
            {files[k]}, false, "", "", {QString("Velmora/Transfer=") + keywords[k], QString("Velmora/Filename=") + files[k]});
    const QByteArray storedList = "[Velmora]\nFilename=old.lst\nTransfer=SendListSD\n";
    add("unknown keyword keeps the stored one", storedList, {"-t", "Bogus", "-f", "new.lst"}, 0, {"new.lst"}, true, "",
        "", {"Velmora/Transfer=SendListSD", "Velmora/Filename=new.lst"});
    add("a bare file over the stored job", storedList, {"@hd"}, 1, {"@hd"}, true, "", "",
        {"Velmora/Transfer=UpdateHD", "Velmora/Filename=@hd"});
    add("stored job started by -s", "[Velmora]\nPortname=/dev/null\nTransfer=SendListSD\nFilename=@sdList\n", {"-s"}, 5,
        {"@sdList"}, true, "port");
    add("-s without a stored file", "[Velmora]\nPortname=/dev/null\nTransfer=SendListSD\n", {"-s"}, 5, {}, true);

    // Bare files by their content; a recognised list or HD file ends its run.
    add("HD update", "", {"@hd"}, 1, {"@hd"}, false);
    add("HD update, -s after", "", {"@hd", "-p", "/dev/null", "-s"}, 1, {"@hd"}, true, "port");
    add("-s first, HD list", "", {"-s", "-p", "/dev/null", "@hdList"}, 2, {"@hdList"}, true, "port");
    add("two SD images", "", {"@sd2", "@sd3"}, 4, {"@sd2", "@sd3"}, false);
    add("images around text", "", {"@sd4", "@text", "@sd2"}, 4, {"@sd4", "@sd2"}, false);
    add("SD list", "", {"@sdList"}, 5, {"@sdList"}, false);
    add("HD list, image", "", {"@hdList", "@sd2"}, 4, {"@sd2"}, false);
    add("image, SD list, image", "", {"@sd2", "@sdList", "@sd3"}, 4, {"@sd3"}, false);
    add("image, HD update", "", {"@sd2", "@hd"}, 1, {"@hd"}, false);
    add("HD update, unknown", "", {"@hd", "@text"}, 1, {"@text"}, false);
    add("unknown", "", {"@text"}, 0, {"@text"}, false);
    add("unreadable", "", {"@gone.app", "@text"}, 0, {"@text"}, false);
    add("runs split by -t", "", {"@sd2", "-t", "GetListHD", "@text"}, 3, {"@text"}, false);
    // Behind -f nothing is examined.
    add("-f files unexamined", "", {"-f", "@hd", "@sdList"}, 0, {"@hd", "@sdList"}, false);
    add("-f, bare file", "", {"-f", "@text", "-x", "@sd2"}, 4, {"@sd2"}, false);
    add("-t, -f, -p, -s", "", {"-t", "UpdateHD", "-f", "@text", "-p", "/dev/null", "-s"}, 1, {"@text"}, true, "port");
    add("-p last", "", {"@sdList", "-p"}, 5, {"@sdList"}, false);
    add("several -f files, -s", "", {"-t", "UpdateSD", "-f", "@sd2", "@sd3", "-p", "/dev/null", "-s"}, 4,
        {"@sd2", "@sd3"}, true, "port");
    // A line feed in a name would make the SD link take another file.
    add("-f name with LF", "", {"-t", "GetListSD", "-f", "keep\nnew.lst", "-p", "/dev/null", "-s"}, 6, {}, false, "file");
    add("bare name with LF", "", {"@sdList", "keep\nnew.lst", "-p", "/dev/null", "-s"}, 5, {"@sdList"}, false, "file");

    // A port that is not there is kept, marked and used: a job never goes to another.
    add("port not there", "", {"-p", "ttyNOPE"}, 0, {}, false, "", "ttyNOPE (not found)", {"Velmora/Portname=ttyNOPE"});
    add("stored port not there", "[Velmora]\nPortname=ttyNOPE\n", {}, 0, {}, false, "", "ttyNOPE (not found)",
        {"Velmora/Portname=ttyNOPE"});
    add("device gone", "", {"-p", "/dev/velmora-gone"}, 0, {}, false, "", "/dev/velmora-gone (not found)");
    add("-p gone over the stored line, -s", "[Velmora]\nPortname=@pty\n",
        {"-p", "/dev/velmora-gone", "-t", "UpdateHD", "-f", "@hd", "-s"}, 1, {"@hd"}, true, "port",
        "/dev/velmora-gone (not found)", {"Velmora/Portname=/dev/velmora-gone"});
    add("stored port gone, -s", "[Velmora]\nPortname=ttyNOPE\n", {"-t", "GetListSD", "-f", "x.lst", "-s"}, 6, {"x.lst"},
        true, "port", "ttyNOPE (not found)");
    add("line there over the stored port", "[Velmora]\nPortname=ttyNOPE\n", {"-p", "@pty"}, 0, {}, false, "", "@pty",
        {"Velmora/Portname=@pty"});
}

void tst_commands::startUp()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, args);
    QFETCH(int, kind);
    QFETCH(QString, ends);
    QFETCH(QString, port);
    ptyLine line;
    QVERIFY(line.open());
    const auto fill = [&](QString text) {
        text.replace("@pty", line.devicePath());
        for (QRegularExpressionMatch m; (m = QRegularExpression("@\\w+").match(text)).hasMatch();)
            text.replace(m.capturedStart(), m.capturedLength(), rig->sample(m.captured()));
        return text;
    };
    if (!ini.isEmpty())
        QVERIFY(testRig::write("settings.ini", fill(QString::fromUtf8(ini)).toUtf8()));
    MainWindow *w = rig->makeWindow(rig->samples(args.replaceInStrings("@pty", line.devicePath())));
    QCOMPARE(int(w->transfer()), kind);
    QFETCH(QStringList, label);
    QCOMPARE(rig->label(), rig->samples(label).join('\n'));
    QTEST(w->form()->actionRerun->isEnabled(), "rerun");
    const QString given = jobKind::isHd(kind) ? w->linkHD().currentFilename() : w->linkSD().currentFilename();
    QCOMPARE(given, ends == "port" ? rig->label() : QString());
    if (!port.isEmpty()) {
        QComboBox *combo = w->form()->comboPorts;
        QCOMPARE(combo->currentIndex(), combo->count() - 1);
        QCOMPARE(combo->currentText(), fill(port));
        QCOMPARE(w->linkHD().currentPortname(), fill(port).section(" (", 0, 0));
        QCOMPARE(w->linkSD().currentPortname(), fill(port).section(" (", 0, 0));
    }
    if (ends == "port")
        QVERIFY(rig->portErrorShown());
    if (ends == "file") {
        QTRY_COMPARE(rig->boxes.size(), 1);
        QCOMPARE(rig->boxes[0].title, QStringLiteral("Opening File"));
        QTest::qWait(100);
        QVERIFY(!w->jobRunning());
    }
    QVERIFY(w->close());
    delete rig->window;   // its log is complete
    rig->window = nullptr;
    QFETCH(QStringList, stored);
    const QSettings settings("settings.ini", QSettings::IniFormat);
    for (const QString &entry : stored) {
        if (entry.startsWith('!'))
            QVERIFY2(!settings.contains(entry.mid(1)), qPrintable(entry));
        else
            QCOMPARE(settings.value(entry.section('=', 0, 0)).toString(), fill(entry.section('=', 1)));
    }
    if (ends == "file")
        QVERIFY(testRig::read("velmora.log").contains("line feed refused: keep\\nnew.lst\n"));
    if (ini.contains("@pty") || args.contains(line.devicePath()))
        QVERIFY(line.read(200).isEmpty());
}

void tst_commands::geometry_data()
{
    QTest::addColumn<QByteArray>("ini");   // "dir": settings.ini is a directory
    QTest::addColumn<QPoint>("pos");       // (-1,-1): anywhere on the screen
    QTest::addColumn<QSize>("size");       // invalid: within the screen
    const QPoint anywhere(-1, -1), origin(0, 0);
    const QSize within, standard(400, 161), chosen(420, 210);
    const QByteArray place = "[Velmora]\nPosition=@Point(%1)\nSize=@Size(%2)\n";
    auto at = [&](const char *pos, const char *size) { return QString(place).arg(pos, size).toUtf8(); };
    QTest::newRow("none") << QByteArray() << origin << standard;
    QTest::newRow("on screen") << at("100 80", "420 210") << QPoint(100, 80) << chosen;
    QTest::newRow("far left above") << at("-20000 -20000", "420 210") << anywhere << chosen;
    QTest::newRow("far right below") << at("30000 30000", "420 210") << anywhere << chosen;
    QTest::newRow("a screen that is gone") << at("2000 100", "420 210") << anywhere << chosen;
    // Far beyond any screen: would cost a backing store of a gigabyte.
    QTest::newRow("oversized") << at("100 80", "16000 16000") << QPoint(100, 80) << within;
    QTest::newRow("too tall") << at("100 80", "500 9000") << QPoint(100, 80) << within;
    QTest::newRow("zero size") << at("100 80", "0 0") << QPoint(100, 80) << standard;
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\x13[[[\x01=\x02\n\xfe", 11) << origin << standard;
    QTest::newRow("wrong types") << QByteArray("[Velmora]\nPosition=rubbish\nSize=@Size(-3 -3)\nTransfer=@Point(1 2)\n")
                                 << origin << standard;
    QTest::newRow("no group headers") << QByteArray("Position=@Point(\nSize=@Size(\n") << origin << standard;
    QTest::newRow("a directory") << QByteArray("dir") << origin << standard;
}

void tst_commands::geometry()
{
    QFETCH(QByteArray, ini);
    QFETCH(QPoint, pos);
    QFETCH(QSize, size);
    if (ini == "dir")
        QVERIFY(QDir().mkdir("settings.ini"));
    else if (!ini.isEmpty())
        QVERIFY(testRig::write("settings.ini", ini));
    const QRect screens = QGuiApplication::primaryScreen()->virtualGeometry();
    QVERIFY2(screens.contains(QPoint(100, 80)) && !screens.contains(QPoint(2000, 100)),
             "the test expects one screen of the offscreen platform's size");
    MainWindow *w = rig->makeWindow();
    if (pos != QPoint(-1, -1))
        QCOMPARE(w->pos(), pos);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    if (size.isValid())
        QCOMPARE(w->size(), size);
    else
        QVERIFY(screen.expandedTo(w->size()) == screen && !w->size().isEmpty());
    QCOMPARE(int(w->transfer()), 0);
    QVERIFY(!w->form()->actionRerun->isEnabled());
    QCOMPARE(w->linkHD().currentPortname(), QSerialPortInfo::availablePorts().value(0).portName());   // the first
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(QGuiApplication::screenAt(w->pos() + QPoint(10, 10)));   // the title bar can be reached
    w->hide();
    w->move(37, 44);
    w->resize(456, 234);
    QVERIFY(w->close());   // writing into a directory fails quietly
    if (ini == "dir")
        return;
    const QSettings settings("settings.ini", QSettings::IniFormat);
    QCOMPARE(settings.value("Velmora/Position").toPoint(), QPoint(37, 44));
    QCOMPARE(settings.value("Velmora/Size").toSize(), QSize(456, 234));
}

void tst_commands::about()
{
    auto *ui = rig->makeWindow()->form();
    ui->actionAbout->trigger();
    ui->actionAboutQt->trigger();
    QCOMPARE(titles(), QStringList({"Velmora", "Velmora"}));
    QVERIFY2(QRegularExpression("^With this program you can update your Settopbox\n"
                                "and copy the Channel list from and to your PC\\.\nall you need a cable from RS232 to RJ11\n\n"
                                "This software uses the Qt-Framework \\(https?://\\S+\\)\n"
                                "and QextSerialPort \\(https?://\\S+\\)\n\nVersion: 3\\.0\nDate: Oct  2 2018$")
                 .match(rig->boxes[0].text).hasMatch(), qPrintable(rig->boxes[0].text));
}

int main(int argc, char **argv)
{
    // English texts, whatever the machine's language; file names in UTF-8.
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    testRig::setArguments({});
    QApplication app(testRig::argc, testRig::argv);
    tst_commands test;
    return QTest::qExec(&test, argc, argv);
}

#include "commands.moc"
