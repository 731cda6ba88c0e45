// The window's commands (file dialogs, the transmit button, drops, the
// editor, the about box), what it reads from and writes to settings.ini, and
// its command line with files recognised by their content.
#include "fileplaces.h"
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

#include <optional>

#include <sys/stat.h>

namespace {
const QString HD_ENTRY = QStringLiteral("Channel list HD *.lis");
const QString SD_ENTRY = QStringLiteral("Channel list SD *.lst");

// What a command does: a menu action, the transmit button, or a drop.
enum class Action { UpdateHD, UpdateSD, Send, Get, Edit, Transmit, Drop };
// The file dialog a command asks with, as the rig records its kind.
enum class Dialog { None, Open, OpenMany, Save };
// The dialogs' filter lists: lists with the HD or SD entry first, update files
// of one family or both, each with "All Files".
enum class Filter { ListsHD, ListsSD, UpdateHD, UpdateSD, UpdateAny };
struct Asked {
    Dialog kind = Dialog::None;
    QString title{};
    QString dir{};             // a folder in the rig; empty: the working directory
    Filter filter = Filter::ListsSD;
};
struct CommandRow {
    QByteArray name{};
    QStringList args{};        // the command line ("-p /dev/null" follows)
    bool german = false;       // settings.ini names German
    Action action = Action::UpdateHD;
    QStringList chosen{};      // the dialog's answer, or the files dropped
    QString selected{};        // the filter a save dialog reports
    Asked asked{};
    int kind = jobKind::None;  // the job kind afterwards
    bool keepLabel = false;    // the label stays as it was, else shows `label`
    QStringList label{};
    int sent = jobKind::None;  // the job requested
    QString box{};             // a box's title, besides a sent job's port error
    QString says = "*";        // that box's text
};

QString filterText(Filter filter)
{
    const QString hd = "HD-Firmware file *.app;;", sd = "SD-Firmware file *.app;;", all = "All Files *.*";
    const QString texts[] = {HD_ENTRY + ";;" + SD_ENTRY, SD_ENTRY + ";;" + HD_ENTRY, hd + all, sd + all, hd + sd + all};
    return texts[int(filter)];
}
const char *keyword(int kind)
{
    return jobKind::find(kind)->keyword;
}
} // namespace
Q_DECLARE_METATYPE(CommandRow)

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
    using L = QStringList;
    using A = Action;
    using J = jobKind;
    const L old{"-t", "SendListSD", "-f", "@old/before.lst"};
    const Asked updateHd{.kind = Dialog::Open, .title = "Update file", .filter = Filter::UpdateHD};
    const Asked updateSd{.kind = Dialog::OpenMany, .title = "Update file", .filter = Filter::UpdateSD};
    const Asked sendList{.kind = Dialog::Open, .title = "Channel list", .filter = Filter::ListsSD};
    const Asked any{.kind = Dialog::OpenMany, .title = "Update file", .filter = Filter::UpdateAny};
    const Asked editList{.kind = Dialog::Open, .title = "Channel list", .filter = Filter::ListsHD};
    const auto in = [](Asked asked, const QString &dir) { asked.dir = dir; return asked; };
    QList<CommandRow> rows = {
        // The HD update takes any file: the link judges it when the job runs.
        {.name = "HD update", .args = old, .chosen = {"@hd"}, .asked = in(updateHd, "old"),
         .kind = J::UpdateHD, .label = {"@hd"}, .sent = J::UpdateHD},
        {.name = "HD update of an SD image", .chosen = {"@sd2"}, .asked = updateHd, .kind = J::UpdateHD,
         .label = {"@sd2"}, .sent = J::UpdateHD},
        {.name = "HD update cancelled", .args = old, .asked = in(updateHd, "old"),
         .kind = J::SendListSD, .keepLabel = true},
        // A node is refused before any box is asked, in the words of a batch run.
        {.name = "HD update of a FIFO", .chosen = {"@fifo=pipe.app"}, .asked = updateHd, .kind = J::UpdateHD,
         .label = {"@fifo=pipe.app"}, .box = "HD firmware update",
         .says = "HD firmware update: failed\nPort: /dev/null\nCause: *pipe.app is a FIFO, not a regular file\n"
                 "Remedy: give the name of a regular file\nBox: the box was not changed"},
        {.name = "HD update of a device", .chosen = {"/dev/null"}, .asked = updateHd, .kind = J::UpdateHD,
         .label = {"/dev/null"}, .box = "HD firmware update",
         .says = "*Cause: /dev/null is a device, not a regular file\nRemedy: give the name of a regular file*"},
    };
    // The SD update keeps the SD images, in order; the dialog starts at the first file.
    const L two{"-t", "SendListHD", "-f", "@first/prior.lis", "@second/other.lis"};
    const Asked atFirst = in(updateSd, "first");
    rows += {
        {.name = "SD images among others", .args = two, .action = A::UpdateSD,
         .chosen = {"@sd4", "@sdList", "@sd2", "@hd", "@sd3", "@hdList", "@text"}, .asked = atFirst,
         .kind = J::UpdateSD, .label = {"@sd4", "@sd2", "@sd3"}, .sent = J::UpdateSD},
        {.name = "SD update, nothing usable", .action = A::UpdateSD, .chosen = {"@text", "@hd"}, .asked = updateSd,
         .kind = J::UpdateSD},
        {.name = "SD update cancelled", .args = two, .action = A::UpdateSD, .asked = atFirst, .kind = J::SendListHD,
         .keepLabel = true},
        {.name = "SD update of 300 files", .action = A::UpdateSD, .chosen = {"@many+text"}, .asked = updateSd,
         .kind = J::UpdateSD, .label = {"@many"}, .sent = J::UpdateSD},
    };

    // Sending a list: the file decides the family; no list, no job.
    const L keep{"-t", "GetListSD", "-f", "@keep.lst"};
    rows += {
        {.name = "send an HD list", .args = keep, .action = A::Send, .chosen = {"@hdList"}, .asked = sendList,
         .kind = J::SendListHD, .label = {"@hdList"}, .sent = J::SendListHD},
        {.name = "send an SD list", .args = keep, .action = A::Send, .chosen = {"@sdList"}, .asked = sendList,
         .kind = J::SendListSD, .label = {"@sdList"}, .sent = J::SendListSD},
        {.name = "send cancelled", .args = keep, .action = A::Send, .asked = sendList, .kind = J::GetListSD, .keepLabel = true},
        {.name = "send after an HD job", .args = {"-t", "GetListHD"}, .action = A::Send,
         .asked = editList, .kind = J::GetListHD},
    };
    for (const char *file : {"@hd", "@sd2", "@bigList", "@gone.lis"})
        rows.append({.name = QByteArray("send ") + file, .args = keep, .action = A::Send, .chosen = {file},
                     .asked = sendList, .kind = J::GetListSD, .keepLabel = true, .box = "Channel list"});

    // Getting a list: the name's ending or the chosen entry decides, the HD test first.
    const L lists{"-t", "UpdateSD", "-f", "@lists/a.app", "/elsewhere/b.app"};
    const Asked saveLists{.kind = Dialog::Save, .title = "Channel list", .dir = "lists", .filter = Filter::ListsSD};
    rows += {
        {.name = "get: .lis", .args = lists, .action = A::Get, .chosen = {"@box.lis"}, .selected = SD_ENTRY,
         .asked = saveLists, .kind = J::GetListHD, .label = {"@box.lis"}, .sent = J::GetListHD},
        {.name = "get: .LIS", .args = lists, .action = A::Get, .chosen = {"@BOX.LIS"}, .asked = saveLists,
         .kind = J::GetListHD, .label = {"@BOX.LIS"}, .sent = J::GetListHD},
        {.name = "get: .lst", .args = lists, .action = A::Get, .chosen = {"@box.lst"}, .selected = SD_ENTRY,
         .asked = saveLists, .kind = J::GetListSD, .label = {"@box.lst"}, .sent = J::GetListSD},
        {.name = "get: .lst, HD entry", .args = lists, .action = A::Get, .chosen = {"@box.lst"}, .selected = HD_ENTRY,
         .asked = saveLists, .kind = J::GetListHD, .label = {"@box.lst"}, .sent = J::GetListHD},
        {.name = "get: .Lst", .args = lists, .action = A::Get, .chosen = {"@box.Lst"}, .asked = saveLists,
         .kind = J::GetListSD, .label = {"@box.Lst"}, .sent = J::GetListSD},
        {.name = "get: no ending, HD entry", .args = lists, .action = A::Get, .chosen = {"@box"},
         .selected = HD_ENTRY, .asked = saveLists, .kind = J::GetListHD, .label = {"@box"}, .sent = J::GetListHD},
        {.name = "get: no ending, SD entry", .args = lists, .action = A::Get, .chosen = {"@box"},
         .selected = SD_ENTRY, .asked = saveLists, .kind = J::GetListSD, .label = {"@box"}, .sent = J::GetListSD},
        {.name = "get: other ending, HD entry", .args = lists, .action = A::Get, .chosen = {"@box.txt"},
         .selected = HD_ENTRY, .asked = saveLists, .kind = J::GetListHD, .label = {"@box.txt"}, .sent = J::GetListHD},
        // Neither: the family would be a guess.
        {.name = "get: no ending, no entry", .args = lists, .action = A::Get, .chosen = {"@box"}, .asked = saveLists,
         .kind = J::UpdateSD, .keepLabel = true, .box = "Channel list"},
        {.name = "get: no ending, foreign filter", .args = lists, .action = A::Get, .chosen = {"@box"},
         .selected = "All Files (*)", .asked = saveLists, .kind = J::UpdateSD, .keepLabel = true,
         .box = "Channel list"},
        {.name = "get: .lis in the middle", .args = lists, .action = A::Get, .chosen = {"@box.lis.bak"},
         .asked = saveLists, .kind = J::UpdateSD, .keepLabel = true, .box = "Channel list"},
        // Saved there, the list would replace the node, or feed whoever reads it.
        {.name = "get into a FIFO", .args = lists, .action = A::Get, .chosen = {"@fifo=lists/pipe.lis"},
         .asked = saveLists, .kind = J::GetListHD, .label = {"@fifo=lists/pipe.lis"}, .box = "HD channel list download",
         .says = "HD channel list download: failed\nPort: /dev/null\nCause: *lists/pipe.lis is a FIFO, not a regular file\n"
                 "Remedy: give the name of a regular file\nBox: the file *pipe.lis was left as it was"},
        {.name = "get into a device", .args = lists, .action = A::Get, .chosen = {"/dev/null"}, .selected = SD_ENTRY,
         .asked = saveLists, .kind = J::GetListSD, .label = {"/dev/null"}, .box = "SD channel list download",
         .says = "*Cause: /dev/null is a device, not a regular file\n*"},
    };
    // The entries stay English in every language, so they decide there too.
    rows += {
        {.name = "get in German, HD entry", .german = true, .action = A::Get, .chosen = {"@box"}, .selected = HD_ENTRY,
         .asked = {.kind = Dialog::Save, .title = "Senderliste", .filter = Filter::ListsSD}, .kind = J::GetListHD,
         .label = {"@box"}, .sent = J::GetListHD},
        {.name = "get in German, SD entry", .args = {"-t", "GetListHD"}, .german = true, .action = A::Get,
         .chosen = {"@box"}, .selected = SD_ENTRY, .asked = {.kind = Dialog::Save, .title = "Senderliste", .filter = Filter::ListsHD},
         .kind = J::GetListSD, .label = {"@box"}, .sent = J::GetListSD},
        {.name = "get without a job", .action = A::Get, .asked = in(saveLists, "")},
    };
    for (int k = J::UpdateHD; k <= J::GetListSD; ++k)
        rows.append({.name = QByteArray("get after ") + keyword(k), .args = {"-t", keyword(k)}, .action = A::Get,
                     .asked = {.kind = Dialog::Save, .title = "Channel list", .filter = jobKind::isHd(k) ? Filter::ListsHD : Filter::ListsSD},
                     .kind = k});

    // The transmit button asks for files when the label is empty; several go to the SD link only.
    rows += {
        {.name = "button: HD update", .action = A::Transmit, .chosen = {"@hd"}, .asked = any, .kind = J::UpdateHD,
         .label = {"@hd"}, .sent = J::UpdateHD},
        {.name = "button: HD list", .action = A::Transmit, .chosen = {"@hdList"}, .asked = any, .kind = J::SendListHD,
         .label = {"@hdList"}, .sent = J::SendListHD},
        {.name = "button: SD image", .action = A::Transmit, .chosen = {"@sd4"}, .asked = any, .kind = J::UpdateSD,
         .label = {"@sd4"}, .sent = J::UpdateSD},
        {.name = "button: SD list", .action = A::Transmit, .chosen = {"@sdList"}, .asked = any, .kind = J::SendListSD,
         .label = {"@sdList"}, .sent = J::SendListSD},
        {.name = "button: text", .action = A::Transmit, .chosen = {"@text"}, .asked = any},
        {.name = "button: three SD images", .action = A::Transmit, .chosen = {"@sd2", "@sd3", "@sd4"}, .asked = any,
         .kind = J::UpdateSD, .label = {"@sd2", "@sd3", "@sd4"}, .sent = J::UpdateSD},
        {.name = "button: two HD files", .action = A::Transmit, .chosen = {"@hd", "@hdList"}, .asked = any},
        // A list forgets the images before it; images after it win.
        {.name = "button: image, list", .action = A::Transmit, .chosen = {"@sd2", "@sdList"}, .asked = any,
         .kind = J::SendListSD, .label = {"@sdList"}, .sent = J::SendListSD},
        {.name = "button: image, list, image", .action = A::Transmit, .chosen = {"@sd2", "@sdList", "@sd3"},
         .asked = any, .kind = J::UpdateSD, .label = {"@sd3"}, .sent = J::UpdateSD},
        {.name = "button: images among others", .action = A::Transmit, .chosen = {"@text", "@sd2", "@hd", "@sd3"},
         .asked = any, .kind = J::UpdateSD, .label = {"@sd2", "@sd3"}, .sent = J::UpdateSD},
        {.name = "button: cancelled", .action = A::Transmit, .asked = any},
        {.name = "button: 300 files", .action = A::Transmit, .chosen = {"@many+text"}, .asked = any,
         .kind = J::UpdateSD, .label = {"@many"}, .sent = J::UpdateSD},
        {.name = "button with a prepared job", .args = {"-t", "SendListSD", "-f", "job.file"}, .action = A::Transmit,
         .kind = J::SendListSD, .keepLabel = true, .sent = J::SendListSD},
        {.name = "button with a file, no job", .args = {"-f", "job.file"}, .action = A::Transmit, .keepLabel = true},
        {.name = "button with a download into a FIFO", .args = {"-t", "GetListSD", "-f", "@fifo=pipe.lst"},
         .action = A::Transmit, .kind = J::GetListSD, .keepLabel = true, .box = "SD channel list download",
         .says = "*Cause: *pipe.lst is a FIFO, not a regular file\n*"},
    };

    // A drop only prepares; a name with a line feed spoils the whole drop.
    rows += {
        {.name = "drop HD update", .action = A::Drop, .chosen = {"@hd"}, .kind = J::UpdateHD, .label = {"@hd"}},
        {.name = "drop SD image, HD list", .action = A::Drop, .chosen = {"@sd2", "@hdList"}, .kind = J::SendListHD,
         .label = {"@hdList"}},
        {.name = "drop SD images, SD list", .action = A::Drop, .chosen = {"@sd2", "@sd3", "@sdList"},
         .kind = J::SendListSD, .label = {"@sdList"}},
        {.name = "drop SD images and text", .action = A::Drop, .chosen = {"@sd3", "@text", "@sd4"},
         .kind = J::UpdateSD, .label = {"@sd3", "@sd4"}},
        {.name = "drop unknown after an SD update", .args = {"-t", "UpdateSD", "-f", "@prior"}, .action = A::Drop,
         .chosen = {"@text"}, .kind = J::UpdateSD, .label = {"@text"}},
        {.name = "drop unknown files", .args = {"-t", "GetListHD", "-f", "@prior"}, .action = A::Drop,
         .chosen = {"@text", "@missing"}, .kind = J::GetListHD, .label = {"@missing"}},
        // A FIFO is never opened: it would hold the window until a writer came.
        {.name = "drop a FIFO", .args = {"-t", "GetListHD", "-f", "@prior"}, .action = A::Drop,
         .chosen = {"@fifo=pipe.app"}, .kind = J::GetListHD, .label = {"@fifo=pipe.app"}},
        {.name = "drop nothing", .args = {"-t", "SendListHD", "-f", "@prior"}, .action = A::Drop, .kind = J::SendListHD,
         .keepLabel = true},
        {.name = "drop a name with LF", .args = {"-t", "GetListSD", "-f", "@prior"}, .action = A::Drop,
         .chosen = {"@sd2", "keep\nnew.lst"}, .kind = J::GetListSD, .keepLabel = true, .box = "Opening File"},
    };

    // The editor opens the list in the label, else asks for one; it changes no job.
    const QString inLabel = "@hdList=in label.lis";
    for (int k : {J::SendListHD, J::GetListHD, J::SendListSD, J::GetListSD})
        rows.append({.name = QByteArray("edit after ") + keyword(k), .args = {"-t", keyword(k), "-f", inLabel},
                     .action = A::Edit, .kind = k, .keepLabel = true});
    rows += {
        {.name = "edit after an update", .args = {"-t", "UpdateHD", "-f", inLabel}, .action = A::Edit,
         .chosen = {"@sdList=picked.lst"}, .asked = editList, .kind = J::UpdateHD, .keepLabel = true},
        {.name = "edit without a job", .args = {"-f", inLabel}, .action = A::Edit, .chosen = {"@sdList=picked.lst"},
         .asked = editList, .keepLabel = true},
        {.name = "edit cancelled", .args = {"-t", "UpdateSD", "-f", inLabel}, .action = A::Edit, .asked = editList,
         .kind = J::UpdateSD, .keepLabel = true},
    };
    QTest::addColumn<CommandRow>("row");
    for (const CommandRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_commands::commands()
{
    QFETCH(CommandRow, row);
    if (row.german)
        QSettings("settings.ini", QSettings::IniFormat).setValue("Language/Language", "de");
    if (row.action == Action::Edit) {   // lies in the working directory, records the list it was given
        QVERIFY(testRig::write("Morvelt.exe", "#!/bin/sh\nprintf '%s' \"$*\" > editor.out\n"));
        QFile::setPermissions("Morvelt.exe", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    MainWindow *w = rig->makeWindow(resolve(row.args) + QStringList{"-p", "/dev/null"});
    auto *ui = w->form();
    const QString before = rig->label();
    const QStringList files = resolve(row.chosen);
    // What each named file is (its type bits, or -1 when absent): no command
    // turns a node into a regular file, nor makes a file it does not send to.
    const auto nodes = [&] {
        QList<int> types;
        for (const QString &name : files + resolve(row.args)) {
            struct stat info;
            types << (::stat(QFile::encodeName(name).constData(), &info) == 0 ? int(info.st_mode & S_IFMT) : -1);
        }
        return types;
    };
    const QList<int> nodesBefore = nodes();
    if (row.action == Action::Drop) {
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
        QCOMPARE(drop.isAccepted(), !row.keepLabel);
        QCOMPARE(ui->actionRerun->isEnabled(), drop.isAccepted());
        QTest::qWait(20);
    } else if (row.action == Action::Transmit) {
        rig->answers << qMakePair(files, row.selected);
        QTest::mouseClick(ui->btnUpdate, Qt::LeftButton);
    } else {
        rig->answers << qMakePair(files, row.selected);
        QAction *const act[] = {ui->actionUpdateHDFirmware, ui->actionUpdateSDFirmware, ui->actionSendChannellist,
                                ui->actionGetChannellist, ui->actionEditChannellist};
        act[int(row.action)]->trigger();
    }
    if (row.asked.kind == Dialog::None) {
        QCOMPARE(rig->dialogs.size(), 0);
    } else {
        const char *const kinds[] = {"", "open", "opens", "save"};
        QCOMPARE(rig->dialogs.size(), 1);
        QCOMPARE(rig->dialogs[0].kind, QString(kinds[int(row.asked.kind)]));
        QCOMPARE(rig->dialogs[0].title, row.asked.title);
        QCOMPARE(rig->dialogs[0].dir, row.asked.dir.isEmpty() ? QDir::currentPath() : rig->path(row.asked.dir));
        QCOMPARE(rig->dialogs[0].filter, filterText(row.asked.filter));
    }
    QCOMPARE(int(w->transfer()), row.kind);
    QCOMPARE(rig->label(), row.keepLabel ? before : resolve(row.label).join('\n'));
    QCOMPARE(rig->sent(), row.sent);
    // The job's files go with its request.
    QCOMPARE(w->jobs().lastRequest().files.label(), row.sent > 0 ? rig->label() : QString());
    if (row.sent)
        QVERIFY(rig->portErrorShown());
    const QString portError = row.german ? QString::fromUtf8("COM-Port öffnen") : "Opening COM-Port";
    QTRY_COMPARE(titles(), (row.box.isEmpty() ? QStringList() : QStringList{row.box})
                               + (row.sent ? QStringList{portError} : QStringList()));
    for (const testRig::Box &b : rig->boxes)
        QVERIFY2(b.title != row.box || testRig::matches(b.text, row.says), qPrintable(b.text));
    QCOMPARE(nodes(), nodesBefore);
    if (row.action == Action::Edit) {
        const QString opened = row.asked.kind == Dialog::None ? before : files.value(0);
        if (opened.isEmpty()) {
            QTest::qWait(300);
            QVERIFY(!QFile::exists("editor.out"));
        } else {
            QTRY_COMPARE(QString::fromLocal8Bit(testRig::read("editor.out")), opened);
        }
    }
}

// How a start-up ends besides preparing a job: the job started and its
// port failed, or a file name was refused.
enum class End { Prepared, PortError, NameRefused };
struct Stored {
    QString key{};
    QString value{};
    bool absent = false;   // the key is not in settings.ini at all
};
struct StartRow {
    QByteArray name{};
    QByteArray ini{};         // settings.ini before; "@pty": a line that is there
    QStringList args{};
    int kind = jobKind::None;
    QStringList label{};
    bool rerun = false;
    End ends = End::Prepared;
    QString port{};           // the port chosen as the list shows it; empty: not compared
    QList<Stored> stored{};   // in settings.ini after the close
    QByteArray bytes{};       // and among its bytes, as the Qt 5 and the Qt 6 build read them
    bool verify = false;      // "Verify after upload" checked after the start-up
    bool flipVerify = false;  // the user then flips it
};
Q_DECLARE_METATYPE(StartRow)

void tst_commands::startUp_data()
{
    using J = jobKind;
    const QString transfer = "Velmora/Transfer", filename = "Velmora/Filename", portname = "Velmora/Portname";
    const QString verify = "Velmora/VerifyUpload";
    QList<StartRow> rows = {
        {.name = "first run", .stored = {{.key = filename}, {.key = transfer, .absent = true}, {.key = verify, .value = "false"}}},
        // Verifying uploads is kept, off unless stored; a job takes it along.
        {.name = "verify stored", .ini = "[Velmora]\nVerifyUpload=true\n", .stored = {{.key = verify, .value = "true"}},
         .verify = true},
        {.name = "verify on the command line", .args = {"--verify"}, .stored = {{.key = verify, .value = "true"}},
         .verify = true},
        {.name = "verify switched on", .stored = {{.key = verify, .value = "true"}}, .flipVerify = true},
        {.name = "verify switched off", .ini = "[Velmora]\nVerifyUpload=true\n", .stored = {{.key = verify, .value = "false"}},
         .verify = true, .flipVerify = true},
        {.name = "verify stored, job started by -s",
         .ini = "[Velmora]\nPortname=/dev/null\nTransfer=SendListHD\nFilename=@hdList\nVerifyUpload=true\n",
         .args = {"-s"}, .kind = jobKind::SendListHD, .label = {"@hdList"}, .rerun = true, .ends = End::PortError,
         .stored = {{.key = verify, .value = "true"}, {.key = transfer, .value = "SendListHD"}}, .verify = true},
    };
    // The job kind is stored by its keyword, case and all; others leave the stored one.
    const char *const files[] = {"/boxes/hd.app", "/boxes/my list.lis", "rel/list.lis", "/boxes/a.app\n/boxes/b=c;d.app",
                                 "/Sender/Liste für Oma.lst", "C:\\boxes\\list.lst"};
    for (int k = J::UpdateHD; k <= J::GetListSD; ++k) {
        rows.append({.name = QByteArray("stored ") + keyword(k),
                     .ini = QByteArray("[Velmora]\nFilename=stored.app\nTransfer=") + keyword(k) + "\n", .kind = k,
                     .label = {"stored.app"}, .rerun = true, .stored = {{.key = transfer, .value = keyword(k)}}});
        rows.append({.name = QByteArray("-t ") + keyword(k), .args = QStringList{"-t", keyword(k), "-f"} + QString(files[k - 1]).split('\n'),
                     .kind = k, .label = {files[k - 1]},
                     .stored = {{.key = transfer, .value = keyword(k)}, {.key = filename, .value = files[k - 1]}}});
    }
    for (const char *bad : {"updatehd", "1", "\"\""})
        rows.append({.name = QByteArray("stored ") + bad, .ini = QByteArray("[Velmora]\nFilename=stored.app\nTransfer=") + bad + "\n",
                     .label = {"stored.app"}});
    const QByteArray storedList = "[Velmora]\nFilename=old.lst\nTransfer=SendListSD\n";
    rows += {
        {.name = "unknown keyword keeps the stored one", .ini = storedList, .args = {"-t", "Bogus", "-f", "new.lst"},
         .label = {"new.lst"}, .rerun = true,
         .stored = {{.key = transfer, .value = "SendListSD"}, {.key = filename, .value = "new.lst"}}},
        {.name = "a bare file over the stored job", .ini = storedList, .args = {"@hd"}, .kind = J::UpdateHD, .label = {"@hd"},
         .rerun = true, .stored = {{.key = transfer, .value = "UpdateHD"}, {.key = filename, .value = "@hd"}}},
        {.name = "stored job started by -s", .ini = "[Velmora]\nPortname=/dev/null\nTransfer=SendListSD\nFilename=@sdList\n",
         .args = {"-s"}, .kind = J::SendListSD, .label = {"@sdList"}, .rerun = true, .ends = End::PortError},
        {.name = "-s without a stored file", .ini = "[Velmora]\nPortname=/dev/null\nTransfer=SendListSD\n",
         .args = {"-s"}, .kind = J::SendListSD, .rerun = true},

        // Bare files by their content; a recognised list or HD file ends its run.
        {.name = "HD update", .args = {"@hd"}, .kind = J::UpdateHD, .label = {"@hd"}},
        {.name = "HD update, -s after", .args = {"@hd", "-p", "/dev/null", "-s"}, .kind = J::UpdateHD, .label = {"@hd"},
         .rerun = true, .ends = End::PortError},
        {.name = "-s first, HD list", .args = {"-s", "-p", "/dev/null", "@hdList"}, .kind = J::SendListHD,
         .label = {"@hdList"}, .rerun = true, .ends = End::PortError},
        {.name = "two SD images", .args = {"@sd2", "@sd3"}, .kind = J::UpdateSD, .label = {"@sd2", "@sd3"}},
        {.name = "images around text", .args = {"@sd4", "@text", "@sd2"}, .kind = J::UpdateSD, .label = {"@sd4", "@sd2"}},
        {.name = "SD list", .args = {"@sdList"}, .kind = J::SendListSD, .label = {"@sdList"}},
        {.name = "HD list, image", .args = {"@hdList", "@sd2"}, .kind = J::UpdateSD, .label = {"@sd2"}},
        {.name = "image, SD list, image", .args = {"@sd2", "@sdList", "@sd3"}, .kind = J::UpdateSD, .label = {"@sd3"}},
        {.name = "image, HD update", .args = {"@sd2", "@hd"}, .kind = J::UpdateHD, .label = {"@hd"}},
        {.name = "HD update, unknown", .args = {"@hd", "@text"}, .kind = J::UpdateHD, .label = {"@text"}},
        {.name = "unknown", .args = {"@text"}, .label = {"@text"}},
        {.name = "unreadable", .args = {"@gone.app", "@text"}, .label = {"@text"}},
        {.name = "runs split by -t", .args = {"@sd2", "-t", "GetListHD", "@text"}, .kind = J::GetListHD, .label = {"@text"}},
        // Behind -f nothing is examined.
        {.name = "-f files unexamined", .args = {"-f", "@hd", "@sdList"}, .label = {"@hd", "@sdList"}},
        {.name = "-f, bare file", .args = {"-f", "@text", "-x", "@sd2"}, .kind = J::UpdateSD, .label = {"@sd2"}},
        {.name = "-t, -f, -p, -s", .args = {"-t", "UpdateHD", "-f", "@text", "-p", "/dev/null", "-s"},
         .kind = J::UpdateHD, .label = {"@text"}, .rerun = true, .ends = End::PortError},
        {.name = "-p last", .args = {"@sdList", "-p"}, .kind = J::SendListSD, .label = {"@sdList"}},
        {.name = "several -f files, -s", .args = {"-t", "UpdateSD", "-f", "@sd2", "@sd3", "-p", "/dev/null", "-s"},
         .kind = J::UpdateSD, .label = {"@sd2", "@sd3"}, .rerun = true, .ends = End::PortError},
        // A line feed in a name would make the SD link take another file.
        {.name = "-f name with LF", .args = {"-t", "GetListSD", "-f", "keep\nnew.lst", "-p", "/dev/null", "-s"},
         .kind = J::GetListSD, .ends = End::NameRefused},
        {.name = "bare name with LF", .args = {"@sdList", "keep\nnew.lst", "-p", "/dev/null", "-s"},
         .kind = J::SendListSD, .label = {"@sdList"}, .ends = End::NameRefused},

        // A port that is not there is kept, marked and used: a job never goes to another.
        {.name = "port not there", .args = {"-p", "ttyNOPE"}, .port = "ttyNOPE (not found)",
         .stored = {{.key = portname, .value = "ttyNOPE"}}},
        {.name = "stored port not there", .ini = "[Velmora]\nPortname=ttyNOPE\n", .port = "ttyNOPE (not found)",
         .stored = {{.key = portname, .value = "ttyNOPE"}}},
        {.name = "device gone", .args = {"-p", "/dev/velmora-gone"}, .port = "/dev/velmora-gone (not found)"},
        {.name = "-p gone over the stored line, -s", .ini = "[Velmora]\nPortname=@pty\n",
         .args = {"-p", "/dev/velmora-gone", "-t", "UpdateHD", "-f", "@hd", "-s"}, .kind = J::UpdateHD,
         .label = {"@hd"}, .rerun = true, .ends = End::PortError, .port = "/dev/velmora-gone (not found)",
         .stored = {{.key = portname, .value = "/dev/velmora-gone"}}},
        {.name = "stored port gone, -s", .ini = "[Velmora]\nPortname=ttyNOPE\n", .args = {"-t", "GetListSD", "-f", "x.lst", "-s"},
         .kind = J::GetListSD, .label = {"x.lst"}, .rerun = true, .ends = End::PortError, .port = "ttyNOPE (not found)"},
        {.name = "line there over the stored port", .ini = "[Velmora]\nPortname=ttyNOPE\n", .args = {"-p", "@pty"},
         .port = "@pty", .stored = {{.key = portname, .value = "@pty"}}},
        // A serial server's port is kept as typed, never marked missing; one
        // where nothing listens ends the job as a port that does not open.
        {.name = "network port", .args = {"-p", "rfc2217://127.0.0.1:7000"}, .port = "rfc2217://127.0.0.1:7000",
         .stored = {{.key = portname, .value = "rfc2217://127.0.0.1:7000"}}},
        {.name = "network port where nothing listens, -s", .args = {"-p", "socket://127.0.0.1:1", "-t", "UpdateHD", "-f", "@hd", "-s"},
         .kind = J::UpdateHD, .label = {"@hd"}, .rerun = true, .ends = End::PortError, .port = "socket://127.0.0.1:1",
         .stored = {{.key = portname, .value = "socket://127.0.0.1:1"}}},

        // settings.ini is shared by the Qt 5 and the Qt 6 build. Qt 6 writes
        // non-ASCII as UTF-8, older Qt 5 runs wrote escapes; both read right
        // and are written back as UTF-8, which both builds read.
        {.name = "UTF-8 file name", .ini = "[Velmora]\nFilename=Senderliste_\xc3\x96sterreich.lis\nTransfer=GetListHD\n",
         .kind = J::GetListHD, .label = {"Senderliste_\u00d6sterreich.lis"}, .rerun = true,
         .stored = {{.key = filename, .value = "Senderliste_\u00d6sterreich.lis"}},
         .bytes = "\nFilename=Senderliste_\xc3\x96sterreich.lis\n"},
        {.name = "escaped file name", .ini = "[Velmora]\nFilename=Senderliste_\\xd6sterreich.lis\nTransfer=GetListHD\n",
         .kind = J::GetListHD, .label = {"Senderliste_\u00d6sterreich.lis"}, .rerun = true,
         .stored = {{.key = filename, .value = "Senderliste_\u00d6sterreich.lis"}},
         .bytes = "\nFilename=Senderliste_\xc3\x96sterreich.lis\n"},
        {.name = "file name from -f", .args = {"-t", "GetListSD", "-f", "/Sender/Liste f\u00fcr \u00d6sterreich.lis"},
         .kind = J::GetListSD, .label = {"/Sender/Liste f\u00fcr \u00d6sterreich.lis"},
         .stored = {{.key = filename, .value = "/Sender/Liste f\u00fcr \u00d6sterreich.lis"}},
         .bytes = "\nFilename=/Sender/Liste f\xc3\xbcr \xc3\x96sterreich.lis\n"},
        {.name = "UTF-8 port name", .ini = "[Velmora]\nPortname=tty\xc3\x96\n", .port = "tty\u00d6 (not found)",
         .stored = {{.key = portname, .value = "tty\u00d6"}}, .bytes = "\nPortname=tty\xc3\x96\n"},
        {.name = "escaped port name", .ini = "[Velmora]\nPortname=tty\\xd6\n", .port = "tty\u00d6 (not found)",
         .stored = {{.key = portname, .value = "tty\u00d6"}}, .bytes = "\nPortname=tty\xc3\x96\n"},
        {.name = "port name from -p", .args = {"-p", "/dev/tty\u00dcber"}, .port = "/dev/tty\u00dcber (not found)",
         .stored = {{.key = portname, .value = "/dev/tty\u00dcber"}}, .bytes = "\nPortname=/dev/tty\xc3\x9c" "ber\n"},
    };
    QTest::addColumn<StartRow>("row");
    for (const StartRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_commands::startUp()
{
    QFETCH(StartRow, row);
    ptyLine line;
    QVERIFY(line.open());
    const auto fill = [&](QString text) {
        text.replace("@pty", line.devicePath());
        for (QRegularExpressionMatch m; (m = QRegularExpression("@\\w+").match(text)).hasMatch();)
            text.replace(m.capturedStart(), m.capturedLength(), rig->sample(m.captured()));
        return text;
    };
    if (!row.ini.isEmpty())
        QVERIFY(testRig::write("settings.ini", fill(QString::fromUtf8(row.ini)).toUtf8()));
    MainWindow *w = rig->makeWindow(rig->samples(row.args.replaceInStrings("@pty", line.devicePath())));
    QCOMPARE(int(w->transfer()), row.kind);
    QCOMPARE(rig->label(), rig->samples(row.label).join('\n'));
    QCOMPARE(w->form()->actionRerun->isEnabled(), row.rerun);
    QCOMPARE(w->form()->actionVerifyUpload->isChecked(), row.verify);
    // The runner learns it when a job starts.
    QCOMPARE(w->jobs().lastRequest().verify, row.verify && row.ends == End::PortError);
    QCOMPARE(w->jobs().lastRequest().files.label(), row.ends == End::PortError ? rig->label() : QString());
    if (!row.port.isEmpty()) {
        QComboBox *combo = w->form()->comboPorts;
        QCOMPARE(combo->currentIndex(), combo->count() - 1);
        QCOMPARE(combo->currentText(), fill(row.port));
        QCOMPARE(w->jobs().portname(), fill(row.port).section(" (", 0, 0));
    }
    if (row.ends == End::PortError)
        QVERIFY(rig->portErrorShown());
    if (row.ends == End::NameRefused) {
        QTRY_COMPARE(rig->boxes.size(), 1);
        QCOMPARE(rig->boxes[0].title, QStringLiteral("Opening File"));
        QTest::qWait(100);
        QVERIFY(!w->jobRunning());
    }
    if (row.flipVerify)
        w->form()->actionVerifyUpload->trigger();
    QVERIFY(w->close());
    delete rig->window;   // its log is complete
    rig->window = nullptr;
    QSettings settings("settings.ini", QSettings::IniFormat);
    filePlaces::shareEncoding(settings);
    QVERIFY2(testRig::read("settings.ini").contains(row.bytes), testRig::read("settings.ini").constData());
    for (const Stored &entry : row.stored) {
        if (entry.absent)
            QVERIFY2(!settings.contains(entry.key), qPrintable(entry.key));
        else
            QCOMPARE(settings.value(entry.key).toString(), fill(entry.value));
    }
    if (row.ends == End::NameRefused)
        QVERIFY(testRig::read("velmora.log").contains("line feed refused: keep\\nnew.lst\n"));
    if (row.ini.contains("@pty") || row.args.contains(line.devicePath()))
        QVERIFY(line.read(200).isEmpty());
}

struct GeometryRow {
    QByteArray name{};
    QByteArray ini{};
    bool folder = false;          // settings.ini is a directory
    std::optional<QPoint> pos{};  // none: anywhere on the screen
    std::optional<QSize> size{};  // none: within the screen
};
Q_DECLARE_METATYPE(GeometryRow)

void tst_commands::geometry_data()
{
    const QPoint origin(0, 0), given(100, 80);
    const QSize standard(400, 161), chosen(420, 210);
    const QByteArray place = "[Velmora]\nPosition=@Point(%1)\nSize=@Size(%2)\n";
    auto at = [&](const char *pos, const char *size) { return QString(place).arg(pos, size).toUtf8(); };
    const GeometryRow rows[] = {
        {.name = "none", .pos = origin, .size = standard},
        {.name = "on screen", .ini = at("100 80", "420 210"), .pos = given, .size = chosen},
        {.name = "far left above", .ini = at("-20000 -20000", "420 210"), .size = chosen},
        {.name = "far right below", .ini = at("30000 30000", "420 210"), .size = chosen},
        {.name = "a screen that is gone", .ini = at("2000 100", "420 210"), .size = chosen},
        // Far beyond any screen: would cost a backing store of a gigabyte.
        {.name = "oversized", .ini = at("100 80", "16000 16000"), .pos = given},
        {.name = "too tall", .ini = at("100 80", "500 9000"), .pos = given},
        {.name = "zero size", .ini = at("100 80", "0 0"), .pos = given, .size = standard},
        {.name = "binary garbage", .ini = QByteArray("\x00\xff\x13[[[\x01=\x02\n\xfe", 11), .pos = origin, .size = standard},
        {.name = "wrong types", .ini = "[Velmora]\nPosition=rubbish\nSize=@Size(-3 -3)\nTransfer=@Point(1 2)\n",
         .pos = origin, .size = standard},
        {.name = "no group headers", .ini = "Position=@Point(\nSize=@Size(\n", .pos = origin, .size = standard},
        {.name = "a directory", .folder = true, .pos = origin, .size = standard}};
    QTest::addColumn<GeometryRow>("row");
    for (const GeometryRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_commands::geometry()
{
    QFETCH(GeometryRow, row);
    if (row.folder)
        QVERIFY(QDir().mkdir("settings.ini"));
    else if (!row.ini.isEmpty())
        QVERIFY(testRig::write("settings.ini", row.ini));
    const QRect screens = QGuiApplication::primaryScreen()->virtualGeometry();
    QVERIFY2(screens.contains(QPoint(100, 80)) && !screens.contains(QPoint(2000, 100)),
             "the test expects one screen of the offscreen platform's size");
    MainWindow *w = rig->makeWindow();
    if (row.pos)
        QCOMPARE(w->pos(), *row.pos);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    if (row.size)
        QCOMPARE(w->size(), *row.size);
    else
        QVERIFY(screen.expandedTo(w->size()) == screen && !w->size().isEmpty());
    QCOMPARE(int(w->transfer()), int(jobKind::None));
    QVERIFY(!w->form()->actionRerun->isEnabled());
    QCOMPARE(w->jobs().portname(), QSerialPortInfo::availablePorts().value(0).portName());   // the first
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(QGuiApplication::screenAt(w->pos() + QPoint(10, 10)));   // the title bar can be reached
    w->hide();
    w->move(37, 44);
    w->resize(456, 234);
    QVERIFY(w->close());   // writing into a directory fails quietly
    if (row.folder)
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
