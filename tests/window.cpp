// The window in process: menus and images, status codes, the job frame,
// ports, running again, closing, languages and keys; the log writer. Run
// under a German and (language cases only) a French system locale, named in
// VELMORA_TEST_SYSTEM_LANG.
#include "fileplaces.h"
#include "jobkind.h"
#include "jobresult.h"
#include "jobrunner.h"
#include "jobsummary.h"
#include "linkclock.h"
#include "logfile.h"
#include "benchwindow.h"
#include "boxinfodialog.h"
#include "mainwindow.h"
#include "portcombo.h"
#include "portlist.h"
#include "ptyline.h"
#include "statuscode.h"
#include "testrig.h"
#include "ui_benchwindow.h"
#include "ui_mainwindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMutex>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QtTest>

#include <optional>
#include <sys/stat.h>

using S = sdCode;
using H = hdCode;

namespace {
QStringList logLines(bool stamps = false)
{
    QStringList lines = QString::fromLocal8Bit(testRig::read("velmora.log")).split('\n');
    for (QString &line : lines)
        line = stamps ? line : line.mid(9);
    return lines;
}

// The status bar's time-out runs on a timer of its own; none runs for a
// text that stays.
QTimer *statusTimer(QStatusBar *bar)
{
    for (QTimer *t : bar->findChildren<QTimer *>())
        if (t->isActive())
            return t;
    return nullptr;
}

// What the link's trace category printed; the link prints from its thread.
QMutex traceLock;
QStringList traced;
QtMessageHandler otherMessages = nullptr;
void catchTrace(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (context.category && QByteArray(context.category) == "velmora.link.trace") {
        const QMutexLocker locked(&traceLock);
        traced << text;
        return;
    }
    if (otherMessages)
        otherMessages(type, context, text);
}

QStringList names(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("|") : a->menu() ? a->menu()->objectName() : a->objectName());
    return out;
}
} // namespace

class tst_window : public QObject
{
    Q_OBJECT
    MainWindow *w = nullptr;
    std::unique_ptr<testRig> rig;

    // In English unless told otherwise.
    MainWindow *make(const QStringList &args = {}, bool english = true)
    {
        rig->closeBoxes(QMessageBox::Yes);
        w = rig->makeWindow(args);
        if (english && entry("en"))
            w->slotLanguageChanged(entry("en"));
        w->form()->statusBar->clearMessage();
        return w;
    }
    // Deletes the window, which completes its log.
    void end()
    {
        delete rig->window;
        rig->window = w = nullptr;
    }
    QAction *entry(const QString &code) const
    {
        for (QAction *a : w->form()->menuLanguage->actions())
            if (a->data().toString() == code)
                return a;
        return nullptr;
    }
    QString checked() const
    {
        for (QAction *a : w->form()->menuLanguage->actions())
            if (a->isChecked())
                return a->data().toString();
        return QString();
    }
    QString bar() const { return w->form()->statusBar->currentMessage(); }
    bool controls(bool enabled) const
    {
        auto *ui = w->form();
        // Stop is the other way round: usable only while a job runs.
        for (bool on : {ui->btnQuit->isEnabled(), ui->btnUpdate->isEnabled(), ui->menuBar->isEnabled(),
                        ui->comboPorts->isEnabled(), ui->toolBar->isEnabled(), w->acceptDrops(),
                        ui->actionVerifyUpload->isEnabled(), !ui->btnStop->isEnabled()})
            if (on != enabled)
                return false;
        return true;
    }

private slots:
    void init()
    {
        rig.reset(new testRig);
        rig->enter();
    }
    void cleanup()
    {
        linkClock::setScale(1.0);
        QLoggingCategory::setFilterRules(QString());
        rig.reset();
        w = nullptr;
        QLocale::setDefault(QLocale::system());
    }

    void menusAndImages();
    void status_data();
    void status();
    void jobFrame_data();
    void jobFrame();
    void iconOrder_data();
    void iconOrder();
    void portHandOver();
    void boxInfo_data();
    void boxInfo();
    void stablePortPath();
    void rerunRightAfterEnd();
    void steer_data();
    void steer();
    void close_data();
    void close();
    void closeQuestionPasses();
    void questionPasses();
    void portBoxWidth();
    void languages_data();
    void languages();
    void switching();
    void systemLocaleChange();
    void shortcuts();
    void logWriter_data();
    void logWriter();
    void logInstances();
    void windowsOffset_data();
    void windowsOffset();
    void bench_data();
    void bench();
    void benchStopAll();
    void nextBox_data();
    void nextBox();
    void benchPortTwice_data();
    void benchPortTwice();
};

void tst_window::menusAndImages()
{
    auto *ui = make()->form();
    QCOMPARE(names(ui->menuBar->actions()), QStringList({"menuMenu", "menuLanguage", "menuHelp", "menuInternal"}));
    QCOMPARE(names(ui->menuMenu->actions()),
             QStringList({"actionUpdateHDFirmware", "actionUpdateSDFirmware", "|", "actionRerun", "|",
                          "actionGetChannellist", "actionSendChannellist", "actionVerifyUpload", "actionEditChannellist",
                          "|", "actionBench", "|", "actionQuit"}));
    QCOMPARE(names(ui->menuHelp->actions()),
             QStringList({"actionAbout", "actionAboutQt", "|", "actionBoxInfo", "actionOpenRecords"}));
    QCOMPARE(names(ui->toolBar->actions()),
             QStringList({"actionUpdateHDFirmware", "actionUpdateSDFirmware", "|", "actionRerun", "|",
                          "actionGetChannellist", "actionSendChannellist", "|", "actionBench"}));
    // The bench opens beside the window, once, with a row to start from.
    QVERIFY(!w->bench());
    ui->actionBench->trigger();
    QVERIFY(w->bench() && w->bench()->isWindow() && w->bench()->isVisible());
    ui->actionBench->trigger();
    QCOMPARE(w->bench()->rowCount(), 1);
    // The Internal menu's actions are wired to nothing.
    QSignalSpy codes(&w->jobs(), &jobRunner::statusCode);
    ui->actionGetSoftwareversion->trigger();
    QTest::qWait(50);
    QCOMPARE(codes.count(), 0);
    QVERIFY(!w->jobs().threadsBusy());
    // No editor program in the working directory: its action stays hidden.
    QVERIFY(!ui->actionEditChannellist->isVisible());
    const QList<QPair<QString, QSize>> images = {{":/images/program.png", {32, 32}}, {":/images/HD", {68, 71}},
                                                 {":/images/SD", {64, 72}}, {":/images/RE", {80, 71}},
                                                 {":/images/Down", {75, 71}}, {":/images/UP", {75, 71}}};
    for (const auto &image : images)
        QCOMPARE(QImage(image.first, "PNG").size(), image.second);
}

struct StatusRow {
    QByteArray name{};
    int code = 0;
    QString status{};
    int timeout = 0;     // ms; 0: the text stays
    QString title{};     // of the message box; empty: none
    QString text{};
    int icon = QMessageBox::NoIcon;
};
Q_DECLARE_METATYPE(StatusRow)

void tst_window::status_data()
{
    const int info = QMessageBox::Information, crit = QMessageBox::Critical;
    QList<StatusRow> rows = {
        {.name = "SD downloading", .code = S::Downloading, .status = "Downloading Channel list"},
        {.name = "HD restarting", .code = H::Restarting, .status = "Restarting PCB"},
        // The English catalogue renders this one differently.
        {.name = "HD waiting for the flash", .code = H::WaitingFlash, .status = "Waiting til File flashed"},
        {.name = "SD download ready", .code = S::DownloadReady, .status = "Ready to receive Data"},
        {.name = "SD download done", .code = S::DownloadDone, .status = "Listdownload complete",
         .title = "Channel list", .text = "Channel list downloaded", .icon = info},
        {.name = "HD update done", .code = H::UpdateDone, .status = "Update done", .title = "Firmware",
         .text = "Firmware updated", .icon = info},
        {.name = "SD port failed", .code = S::PortFailed, .status = "Couldn't open COM-Port", .timeout = 2000,
         .title = "Opening COM-Port", .text = "Couldn't open COM-Port", .icon = crit},
        {.name = "HD flash failed", .code = H::FlashFailed, .status = "Error while flashing the File", .timeout = 2000,
         .title = "Flashing File", .text = "Error while flashing the file", .icon = crit},
        {.name = "SD file rejected", .code = S::FileRejected, .status = "Settopbox rejected the file",
         .title = "Uploading File", .text = "The Settopbox rejected a file", .icon = crit},
        {.name = "SD StartUpControl too old", .code = S::StartUpControlOld, .status = "The StartUpControl is to old",
         .title = "Upload", .text = "The StartUpControl is to old!\nCan't update this Box!", .icon = crit},
        {.name = "HD wrong file kind", .code = H::WrongFileKind, .status = "Wrong Filetype detected!",
         .title = "Upload", .text = "Wrong filetype detected!\nCan't upload that file!", .icon = crit},
        {.name = "HD load menu failed", .code = H::LoadMenuFailed, .status = "Error while opening the LoadMenu",
         .timeout = 2000, .title = "Opening LoadMenu", .text = "Error while opening the LoadMenu", .icon = crit},
        {.name = "SD reading back", .code = S::Verifying, .status = "Verify: reading the Channel list back"},
        {.name = "HD verified", .code = H::Verified, .status = "Channel list verified", .title = "Channel list",
         .text = "Channel list verified:\nthe Settopbox holds it as in the file", .icon = info},
        {.name = "SD list differs", .code = S::VerifyDiffers, .status = "Channel list differs from the file",
         .title = "Verifying Channel list",
         .text = "The Channel list in the Settopbox differs from the file!\nThe log names the first difference.", .icon = crit},
        {.name = "HD not verified", .code = H::VerifyNoAnswer, .status = "Couldn't verify the Channel list",
         .title = "Verifying Channel list", .text = "The Settopbox did not answer:\nthe Channel list could not be verified",
         .icon = crit},
        {.name = "HD reads differ", .code = H::ReadsDiffer, .status = "The reads of the Channel list differ",
         .title = "Verifying Channel list",
         .text = "No two reads of the Channel list from the Settopbox agreed!\nThe file was left as it was; the log names "
                 "the differences.", .icon = crit},
    };
    // Codes no link sends, and a query's start that has no text: said in a
    // box, the status text stays.
    for (int code : {S::StartUpControlOld + 1, H::JobStarted - 1, int(H::QuerySoftware), -1, H::ReadsDiffer + 1})
        rows.append({.name = "unknown " + QByteArray::number(code), .code = code, .status = "before", .title = "Error",
                     .text = QStringLiteral("Received unknown message: %1").arg(code), .icon = crit});
    QTest::addColumn<StatusRow>("row");
    for (const StatusRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_window::status()
{
    QFETCH(StatusRow, row);
    make();
    w->form()->statusBar->showMessage("before");
    w->form()->progBar->setValue(37);
    w->slotCurrentAction(row.code);
    QCOMPARE(w->form()->statusBar->currentMessage(), row.status);
    QCOMPARE(w->form()->progBar->value(), 37);
    QVERIFY(controls(true));
    if (row.title.isEmpty()) {
        QTest::qWait(30);
        QVERIFY(rig->boxes.isEmpty());
    } else {
        QTRY_COMPARE(rig->boxes.size(), 1);
        QCOMPARE(rig->boxes[0].title, row.title);
        QCOMPARE(rig->boxes[0].text, row.text);
        QCOMPARE(rig->boxes[0].icon, row.icon);
        QCOMPARE(rig->boxes[0].buttons, int(QMessageBox::Ok));
    }
    QTimer *timer = statusTimer(w->form()->statusBar);
    QCOMPARE(timer ? timer->interval() : 0, row.timeout);
    if (timer) {   // its end, without waiting it out
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(w->form()->statusBar->currentMessage(), QString());
    }
}

// A job's start code disables the controls and empties the bar; its end
// enables them, fills the bar, says "done" for two seconds (waited out once)
// and leaves an empty log line.
// `ended`: the status bar after the end code, for `endedMs` (0: it stays);
// `bar`: the progress bar then (a failed job's stays where it broke off).
struct FrameRow { QByteArray name{}; QList<int> codes{}; bool wait = false; QString ended = "done"; int endedMs = 2000; int bar = 100; };
Q_DECLARE_METATYPE(FrameRow)

void tst_window::jobFrame_data()
{
    QTest::addColumn<FrameRow>("row");
    const FrameRow rows[] = {{.name = "sd", .codes = {S::JobStarted, S::JobEnded}, .wait = true},
                             {.name = "hd", .codes = {H::JobStarted, H::JobEnded}},
                             {.name = "crossed", .codes = {S::JobStarted, H::JobEnded}},
                             // A job with an error never reads "done".
                             {.name = "error, end twice", .codes = {H::JobStarted, H::PortFailed, H::JobEnded, H::JobEnded},
                              .ended = "failed", .endedMs = 0, .bar = 0}};
    for (const FrameRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_window::jobFrame()
{
    QFETCH(FrameRow, row);
    make();
    auto *ui = w->form();
    QVERIFY(!ui->actionRerun->isEnabled());
    ui->progBar->setValue(55);
    // As the job runner passes them on.
    const auto send = [this](int code) { emit const_cast<jobRunner &>(w->jobs()).statusCode(code); };
    send(row.codes.first());
    QVERIFY(controls(false));
    QVERIFY(w->jobRunning());
    QCOMPARE(ui->progBar->value(), 0);
    QCOMPARE(ui->statusBar->currentMessage(), QString());
    QVERIFY(!ui->actionRerun->isEnabled());   // the start code never touches it
    for (int c : row.codes.mid(1)) {
        send(c);
        QVERIFY(controls(c == S::JobEnded || c == H::JobEnded));   // an error does not end the job
    }
    QVERIFY(controls(true));
    QVERIFY(!w->jobRunning());
    QCOMPARE(ui->progBar->value(), row.bar);
    QVERIFY(ui->actionRerun->isEnabled());
    QCOMPARE(ui->statusBar->currentMessage(), row.ended);
    const QTimer *timer = statusTimer(ui->statusBar);
    QCOMPARE(timer ? timer->interval() : 0, row.endedMs);
    if (row.wait) {
        QTest::qWait(1700);
        QCOMPARE(ui->statusBar->currentMessage(), QStringLiteral("done"));
        QTRY_COMPARE_WITH_TIMEOUT(ui->statusBar->currentMessage(), QString(), 1000);
    }
    end();
}

struct IconRow { QByteArray name{}; QStringList present{}; QString chosen{}; };
Q_DECLARE_METATYPE(IconRow)

void tst_window::iconOrder_data()
{
    QTest::addColumn<IconRow>("row");
    const IconRow rows[] = {{.name = "none"},
                            {.name = "png and xpm", .present = {"logo.png", "logo.xpm"}, .chosen = "logo.png"},
                            {.name = "all", .present = {"logo.xpm", "logo.png", "logo.ico"}, .chosen = "logo.ico"},
                            {.name = "xpm", .present = {"logo.xpm"}, .chosen = "logo.xpm"}};
    for (const IconRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_window::iconOrder()
{
    QFETCH(IconRow, row);
    for (const QString &name : row.present)
        QVERIFY(testRig::write(name, ""));
    QCOMPARE(MainWindow::windowIconFile(), row.chosen);
}

void tst_window::portHandOver()
{
    ptyLine a, b;
    QVERIFY(a.open() && b.open());
    make({"-p", a.devicePath(), "-p", b.devicePath()});
    QComboBox *combo = w->form()->comboPorts;
    const int first = combo->findText(a.devicePath());
    QVERIFY(first >= 0 && combo->findText(b.devicePath()) > first);
    QCOMPARE(w->jobs().portname(), b.devicePath());
    combo->setCurrentIndex(first);
    QCOMPARE(w->jobs().portname(), a.devicePath());
    QCOMPARE(w->jobs().portname(), a.devicePath());

    // Read again when opened: the choice stays, the named ports stay, and
    // one whose device went away is marked, still chosen, never another.
    combo->setCurrentIndex(combo->findData(b.devicePath()));
    b.cut();
    QTRY_VERIFY(!QFile::exists(b.devicePath()));
    w->form()->comboPorts->refresh();
    QCOMPARE(combo->currentData().toString(), b.devicePath());
    QCOMPARE(w->jobs().portname(), b.devicePath());
    QVERIFY(combo->currentText() != b.devicePath() && combo->currentText().startsWith(b.devicePath() + " ("));
    QCOMPARE(combo->itemText(combo->findData(a.devicePath())), a.devicePath());
    const int before = combo->count();
    w->form()->comboPorts->refresh();
    QCOMPARE(combo->count(), before);
}

// The box information asks its three questions one after the other; each
// line shows its answer or "no answer", and Copy puts the lines on the
// clipboard. The window shows no error box of its own meanwhile.
struct BoxInfoRow {
    QByteArray name{};
    QHash<QByteArray, QByteArray> replies{};   // the box's answers by command
    QStringList shown{};                       // the dialog's lines; "-": no answer
    bool noted = false;                        // it says below them that no box answered
};
Q_DECLARE_METATYPE(BoxInfoRow)

void tst_window::boxInfo_data()
{
    QTest::addColumn<BoxInfoRow>("row");
    const BoxInfoRow rows[] = {
        {.name = "answering box",
         .replies = {{"swvers", "v2.10.04 hd\r\n"}, {"lpsw", "LPSW:1.07\r\n"}, {"get_mac", "0011223344AB\r\n"}},
         .shown = {"V2.10.04 HD", "1.07", "00-11-22-33-44-AB"}},
        {.name = "silent box", .shown = {"-", "-", "-"}, .noted = true},
        {.name = "unknown items, no LAN", .replies = {{"get_mac", "!LANDEVICE\r\n"}}, .shown = {"----", "--", "no LAN-Device"}},
    };
    for (const BoxInfoRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_window::boxInfo()
{
    QFETCH(BoxInfoRow, row);
    hdBox::Behaviour behaviour;
    behaviour.replies = row.replies;
    behaviour.silent = row.replies.isEmpty();
    rig.reset(new testRig(behaviour));
    rig->enter();
    make({"-p", rig->device()});
    QVERIFY(w->form()->actionBoxInfo->isEnabled());
    w->form()->actionBoxInfo->trigger();
    auto *dialog = w->findChild<boxInfoDialog *>();
    QVERIFY(dialog && dialog->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->running(), 10000);
    QVERIFY(!w->jobRunning());
    const QString none = QCoreApplication::translate("MainWindow", "no answer");
    QStringList expected;
    const QStringList titles = {"Software version", "Low-power version", "MAC address"};
    for (int i = 0; i < titles.size(); ++i)
        expected << QCoreApplication::translate("MainWindow", titles[i].toLatin1()) + ": "
                        + (row.shown[i] == "-" ? none : row.shown[i]);
    QCOMPARE(dialog->text(), expected.join('\n'));
    // A box with no service commands (an SD box) is named as the likely reason.
    QCOMPARE(dialog->note().contains("SD boxes have no service commands"), row.noted);
    // And which port it is about.
    const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.cbegin(), labels.cend(), [&](const QLabel *l) { return l->text() == rig->device(); }));
    QApplication::clipboard()->clear();
    const auto buttons = dialog->findChildren<QPushButton *>();
    const auto copy = std::find_if(buttons.begin(), buttons.end(),
                                   [](QPushButton *b) { return b->text() == QCoreApplication::translate("MainWindow", "Copy"); });
    QVERIFY(copy != buttons.end() && (*copy)->isEnabled());
    (*copy)->click();
    QCOMPARE(QApplication::clipboard()->text(), expected.join('\n'));
    QCOMPARE(rig->boxes.size(), 0);   // neither unknown codes nor a silent box's errors
    QCOMPARE(rig->commands(), QList<QByteArray>({"swvers", "lpsw", "get_mac"}));
}

// An adapter's stable by-id link leads to whichever name it came back under.
void tst_window::stablePortPath()
{
    ptyLine a, b;
    QVERIFY(a.open() && b.open());
    QVERIFY(QDir(rig->dir.path()).mkpath("by-id"));
    const QString link = rig->path("by-id/usb-Velmora_Adapter_A1-if00-port0");
    QVERIFY(QFile::link(a.devicePath(), link));
    QCOMPARE(portList::stablePath(a.devicePath(), rig->path("by-id")), link);
    QCOMPARE(portList::stablePath(b.devicePath(), rig->path("by-id")), QString());
    QCOMPARE(portList::stablePath(a.devicePath(), rig->path("nowhere")), QString());
    const portList::Port port{.name = "ttyUSB1", .location = "/dev/ttyUSB1", .description = "FT232R USB UART",
                              .manufacturer = "FTDI", .stablePath = link};
    QCOMPARE(port.tooltip(), "FT232R USB UART\nFTDI\n" + link);
    const portList::Port bare{.name = "ttyS0", .location = "/dev/ttyS0"};
    QCOMPARE(bare.tooltip(), QString("/dev/ttyS0"));
    QVERIFY(portList::line(port).endsWith("\t" + link));
    // The header names every column of a port's line.
    QCOMPARE(portList::header().split('\t').size(), portList::line(port).split('\t').size());
    QVERIFY(portList::header().endsWith("\tSTABLE-PATH"));
}

// Each end code starts the job again at once, while the link thread is still
// leaving its loop; every run must still happen.
void tst_window::rerunRightAfterEnd()
{
    make({"-t", "GetListHD", "-f", "job.lis", "-p", "/dev/null"});
    int ends = 0;
    connect(&w->jobs(), &jobRunner::statusCode, w, [&](int code) {
        if (code == H::JobEnded && ++ends < 4)
            w->form()->actionRerun->trigger();
    }, Qt::QueuedConnection);
    // Started as a user would: Rerun is enabled only once a job has ended
    // (and Qt 6 ignores a disabled action's trigger).
    w->form()->btnUpdate->click();
    QTRY_COMPARE_WITH_TIMEOUT(ends, 4, 5000);
    QTRY_COMPARE(rig->boxes.size(), 4);
    // Once the last job has returned, its thread ends by itself.
    QTRY_VERIFY(!w->jobs().threadsBusy());
}

// A job steered from the window: Stop (or Esc) at a status code, the
// question once the file goes out, the seconds left of a long wait, and the
// result in words kept below the progress bar. The HD update against the
// simulated box; its windows scaled so that a wait outlasts the steps taken.
namespace {
void clickStop(MainWindow *w) { w->form()->btnStop->click(); }
void pressEsc(MainWindow *w) { QTest::keyClick(w, Qt::Key_Escape); }
} // namespace

struct SteerRow {
    QByteArray name{};
    QString file = "@hd";                // the update file
    bool silent = false;                 // the box answers nothing
    bool finReply = true;                // the box reports its flash finished
    QString port{};                      // a port of that name in the rig's folder; empty: `line`'s
    testRig::Line line = testRig::Line::Pty;   // how the port reaches the box
    double scale = 1;                    // of the link's waiting windows
    int stopAt = -1;                     // the status code at which Stop is pressed; -1: never
    void (*press)(MainWindow *) = clickStop;
    QMessageBox::StandardButton answer = QMessageBox::No;   // to the question
    bool asked = false;                  // the question came
    QStringList boxes{};                 // the titles of the other message boxes
    QString outcome{};                   // the result's style key
    QStringList shown{};                 // the result label's lines ("*": anything)
    enum Sent { Nothing, Whole, Any } sent = Nothing;   // of the file, as the box took it
    QString counted{};                   // a status text whose wait counted down; empty: none
    int window = 0;                      // that wait's full length, ms
    int counts = 0;                      // at least this many seconds shown for it, falling
    QString after{};                     // the bar's text that ended its count
    QStringList trace{};                 // the trace category turned on, printing these
    QList<int> barJumps{};               // progress values the window showed that the job never reported
    bool (*prepare)(testRig &) = [](testRig &) { return true; };   // before the window opens
    QString atStart{};                   // the result label as the job starts
};
Q_DECLARE_METATYPE(SteerRow)

void tst_window::steer_data()
{
    QTest::addColumn<SteerRow>("row");
    const QString untouched = "Box: the box was not changed";
    const QString stopped = "Cause: the job was stopped: Stop was pressed";
    const QString half = "Box: the box may be left half-updated: update it again before you start it";
    const QString unrecorded = "The records file velmora-records.csv cannot be written: *. The job goes on without its record.";
    const SteerRow rows[] = {
        {.name = "stop before the send", .silent = true, .scale = 5, .stopAt = H::Restarting, .outcome = "stopped",
         .shown = {"HD firmware update: stopped", "Port: *", stopped, untouched}, .counted = "Restarting PCB", .window = 2000,
         .counts = 1, .after = "stopped"},
        {.name = "esc before the send", .silent = true, .scale = 5, .stopAt = H::Restarting, .press = pressEsc,
         .outcome = "stopped", .shown = {"HD firmware update: stopped", "Port: *", stopped, untouched},
         .counted = "Restarting PCB", .window = 2000, .counts = 1, .after = "stopped"},
        {.name = "stop in the send, answer no", .stopAt = H::SendingFile, .asked = true, .boxes = {"Firmware"},
         .outcome = "done",
         .shown = {"HD firmware update: done", "Port: *", "Box: the box holds the new firmware"}, .sent = SteerRow::Whole},
        {.name = "stop in the send, answer yes", .finReply = false, .stopAt = H::SendingFile,
         .answer = QMessageBox::Yes, .asked = true, .outcome = "stopped", .shown = {"HD firmware update: stopped", "Port: *", stopped, half},
         .sent = SteerRow::Any},
        {.name = "esc in the send, answer yes", .finReply = false, .stopAt = H::SendingFile, .press = pressEsc,
         .answer = QMessageBox::Yes, .asked = true, .outcome = "stopped", .shown = {"HD firmware update: stopped", "Port: *", stopped, half},
         .sent = SteerRow::Any},
        {.name = "silent box, a long wait", .silent = true, .scale = 3, .boxes = {"Restarting PCB"}, .outcome = "failed",
         .shown = {"HD firmware update: failed", "Port: *", "Step: Restarting PCB", "Cause: the box did not answer within 6 s",
                   "Remedy: the box did not answer: check the cable, the box's power and the port", untouched},
         .counted = "Restarting PCB", .window = 2000, .counts = 2, .after = "Error while restarting PCB",
         .trace = {"is port open? true", "wrote 3 bytes", "no data received"}},
        // Stopped while the server has yet to take the connection: no port error beside it.
        {.name = "stop while connecting", .line = testRig::Line::Pending, .stopAt = H::Updating, .outcome = "stopped",
         .shown = {"HD firmware update: stopped", "Port: socket://*", stopped, untouched}},
        // The file is named as what it is, not only as what it is not.
        {.name = "HD update of an SD image", .file = "@sd2", .boxes = {"Upload"}, .outcome = "failed",
         .shown = {"HD firmware update: failed", "Port: *", "Step: *",
                   "Cause: */sd2 is an SD update image; this job needs an HD update file (*.app)",
                   "Remedy: choose an HD update file (*.app), or the job that fits the file", untouched}},
        // A server that takes no port control: the window warns beside the result.
        {.name = "server without port control", .line = testRig::Line::Uncontrolled, .scale = 0.2,
         .boxes = {"Restarting PCB"}, .outcome = "failed",
         .shown = {"HD firmware update: failed", "Port: rfc2217://*", "Step: Restarting PCB", "Cause: *", "Remedy: *", untouched,
                   "Warning: the serial server * does not offer RFC 2217 port control*"}},
        // Said as the job starts, and again at its end; the job runs all the same.
        {.name = "records file unwritable", .boxes = {"Firmware"}, .outcome = "done",
         .shown = {"HD firmware update: done", "Port: *", "Box: the box holds the new firmware", unrecorded},
         .sent = SteerRow::Whole, .prepare = [](testRig &r) { return QDir().mkdir(r.path("velmora-records.csv")); },
         .atStart = unrecorded},
        {.name = "missing port", .port = "ttyGone", .boxes = {"Opening COM-Port"}, .outcome = "failed",
         .shown = {"HD firmware update: failed", "Port: *", "Step: Updating the Firmware", "Cause: the port * could not be opened: *",
                   "Remedy: plug the adapter in, then choose its port in the port list", untouched}},
    };
    for (const SteerRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_window::steer()
{
    QFETCH(SteerRow, row);
    hdBox::Behaviour behaviour;
    behaviour.silent = row.silent;
    behaviour.finReply = row.finReply;
    rig.reset(new testRig(behaviour));
    rig->enter();
    QVERIFY(rig->boxStarted);
    QVERIFY(row.prepare(*rig));
    linkClock::setScale(row.scale);
    QLoggingCategory::setFilterRules(row.trace.isEmpty() ? QString() : "velmora.link.trace.debug=true");
    traced.clear();
    otherMessages = qInstallMessageHandler(catchTrace);
    const auto restore = qScopeGuard([] { qInstallMessageHandler(otherMessages); });

    const QString file = rig->sample(row.file);
    make({"-t", "UpdateHD", "-f", file, "-p", row.port.isEmpty() ? rig->port(row.line) : rig->path(row.port)});
    rig->closeBoxes(row.answer);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    auto *ui = w->form();
    QVERIFY(!ui->btnStop->isEnabled());
    QTest::keyClick(w, Qt::Key_Escape);   // idle: nothing to stop, nothing asked
    QVERIFY(!ui->lblResult->isVisible());
    ui->lblResult->setText("an earlier job's result");   // to go when the job starts

    QStringList bar;
    connect(ui->statusBar, &QStatusBar::messageChanged, w, [&](const QString &text) { bar << text; });
    QString resultAtStart = "?";
    bool stopAtStart = false;
    connect(&w->jobs(), &jobRunner::statusCode, w, [&](int code) {
        if (code == H::JobStarted) {
            resultAtStart = ui->lblResult->text();
            stopAtStart = ui->btnStop->isEnabled();
        }
        if (code == row.stopAt)
            row.press(w);
    });
    std::optional<jobResult> result;
    connect(&w->jobs(), &jobRunner::jobFinished, w, [&](const jobResult &r) { result = r; });
    // A failed or stopped job's bar stays where the job broke off: it shows
    // only what the job reported, not even briefly a full bar.
    QList<int> reported{0}, shownBar;
    connect(&w->jobs(), &jobRunner::progress, w, [&](int percent) { reported << percent; });
    connect(ui->progBar, &QProgressBar::valueChanged, w, [&](int value) { shownBar << value; });
    ui->btnUpdate->click();
    QTRY_VERIFY_WITH_TIMEOUT(result && !w->jobRunning(), 30000);
    QTRY_VERIFY(!QApplication::activeModalWidget());

    QList<int> jumps;
    for (int value : shownBar)
        if (!reported.contains(value))
            jumps << value;
    QCOMPARE(jumps, row.barJumps);
    QCOMPARE(ui->progBar->value(), row.barJumps.isEmpty() ? reported.last() : row.barJumps.last());
    QVERIFY2(testRig::matches(resultAtStart, row.atStart), qPrintable(resultAtStart));
    QVERIFY(stopAtStart);
    QVERIFY(controls(true));
    QList<testRig::Box> questions;
    QStringList others;
    for (const testRig::Box &box : rig->boxes) {
        if (box.buttons == int(QMessageBox::Yes | QMessageBox::No))
            questions << box;
        else
            others << box.title;
    }
    QCOMPARE(others, row.boxes);
    // Stop asks; a send that ends before the answer closes the question,
    // and the box's work on the file asks anew, in its own words.
    QCOMPARE(!questions.isEmpty(), row.asked);
    QVERIFY(questions.size() <= 2);
    for (const testRig::Box &box : questions)
        QVERIFY2(box.text.contains("half-updated") && box.text.contains("updated again"), qPrintable(box.text));

    // The result in words, styled by its outcome, after every box is closed.
    QCOMPARE(jobSummary::outcomeKey(result->outcome), row.outcome);
    QVERIFY(ui->lblResult->isVisible());
    QCOMPARE(ui->lblResult->property("outcome").toString(), row.outcome);
    const QStringList lines = ui->lblResult->text().split('\n');
    QVERIFY2(lines.size() == row.shown.size(), qPrintable(lines.join(" / ")));
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(testRig::matches(lines[i], row.shown[i]), qPrintable(lines[i] + " / " + row.shown[i]));

    // Stopped in the send, the box may or may not have taken it all.
    const QByteArray whole = testRig::read(file), taken = rig->hd->file();
    QVERIFY(row.sent == SteerRow::Any || taken.isEmpty() == (row.sent == SteerRow::Nothing));
    QVERIFY(row.sent == SteerRow::Any || (taken == whole) == (row.sent == SteerRow::Whole));

    // Every count stands beside the text of the wait it belongs to; the
    // seconds of the row's wait fall from at most its length, and the next
    // text ends them.
    static const QRegularExpression count("^(.*) \\((\\d+) s\\)$");
    QString standing;
    QList<int> seconds;
    int last = -1;
    for (int i = 0; i < bar.size(); ++i) {
        const QRegularExpressionMatch m = count.match(bar[i]);
        if (!m.hasMatch()) {
            standing = bar[i];
            continue;
        }
        QCOMPARE(m.captured(1), standing);
        if (standing != row.counted)
            continue;
        if (seconds.isEmpty() || m.captured(2).toInt() != seconds.last())
            seconds << m.captured(2).toInt();
        last = i;
    }
    QVERIFY2(seconds.size() >= row.counts, qPrintable(bar.join(" | ")));
    for (int i = 1; i < seconds.size(); ++i)
        QVERIFY(seconds[i] < seconds[i - 1]);
    QVERIFY(seconds.isEmpty() || seconds.first() <= qRound(row.window * row.scale / 1000));
    QCOMPARE(last < 0 ? QString() : bar.value(last + 1), row.after);
    QVERIFY(!count.match(ui->statusBar->currentMessage()).hasMatch());

    const QMutexLocker locked(&traceLock);
    QCOMPARE(traced.isEmpty(), row.trace.isEmpty());
    QVERIFY2(rig->logged(row.trace, traced), qPrintable(traced.join(" | ")));
}

// The port box takes the window's extra width, so that a widened window
// shows a serial server's URL whole; no port name, however long, decides
// the window's width.
void tst_window::portBoxWidth()
{
    const QString url = "rfc2217://127.0.0.1:7000";
    QVERIFY(testRig::write("settings.ini", "[Velmora]\nPortname=" + QByteArray(20000, 'x') + "\n"));
    make({}, false);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QComboBox *combo = w->form()->comboPorts;
    QVERIFY(w->width() < 1000);
    // Typed, a serial server's URL shows whole at once, without widening the window by hand.
    combo->lineEdit()->setText(url);
    QTRY_VERIFY(combo->lineEdit()->width() >= combo->lineEdit()->fontMetrics().horizontalAdvance(url));
    const int before = combo->width(), button = w->form()->btnQuit->width();
    w->resize(w->width() + 300, w->height());
    QTRY_VERIFY(combo->width() >= before + 250);
    QCOMPARE(w->form()->btnQuit->width(), button);
    QVERIFY(combo->lineEdit()->width() >= combo->lineEdit()->fontMetrics().horizontalAdvance(url));
    QVERIFY(w->close());
    QVERIFY(rig->setting("Velmora/Size").toSize().width() < 1400);
}

// Hands each message box to `seen` as it shows.
class showWatch : public QObject
{
public:
    explicit showWatch(std::function<void(QMessageBox *)> seen) : m_seen(std::move(seen)) { qApp->installEventFilter(this); }
    ~showWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (auto *box = qobject_cast<QMessageBox *>(object); box && event->type() == QEvent::Show)
            m_seen(box);
        return false;
    }

private:
    std::function<void(QMessageBox *)> m_seen;
};

// A question outlives no moment: Stop, asked while the file is sent and left
// unanswered, is closed once the file has gone; the box's work on the file
// then asks anew in its own words.
void tst_window::questionPasses()
{
    hdBox::Behaviour behaviour;
    behaviour.flashReply = false;   // the job waits for the flash after the file
    rig.reset(new testRig(behaviour));
    rig->enter();
    linkClock::setScale(0.05);
    make({"-t", "UpdateHD", "-f", rig->sample("@hd"), "-p", rig->device()});
    // Every question as it shows: the second is answered No, the first left open.
    QStringList asked;
    showWatch watch([&](QMessageBox *box) {
        if (!(box->standardButtons() & QMessageBox::Yes))
            return;   // the job's own message boxes
        asked << box->text();
        if (asked.size() == 2)
            QTimer::singleShot(0, box, [box] { box->button(QMessageBox::No)->click(); });
    });
    // Pressed at once, so that the question is open before the file has gone.
    connect(&w->jobs(), &jobRunner::sendingBegan, w, [&] { w->form()->btnStop->click(); });
    std::optional<jobResult> result;
    connect(&w->jobs(), &jobRunner::jobFinished, w, [&](const jobResult &r) { result = r; });
    w->form()->btnUpdate->click();
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 20000);
    linkClock::setScale(1.0);
    QCOMPARE(asked.size(), 2);
    QVERIFY2(asked[0].startsWith("The file is being sent."), qPrintable(asked[0]));
    QVERIFY2(asked[1].startsWith("The Settopbox is writing the file"), qPrintable(asked[1]));
    // Neither question stopped the job: it failed on its own, and says so.
    QCOMPARE(result->outcome, jobResult::Failed);
    QCOMPARE(w->form()->statusBar->currentMessage(), QStringLiteral("failed"));
    QVERIFY(!QApplication::activeModalWidget() || !qobject_cast<QMessageBox *>(QApplication::activeModalWidget())
            || !qobject_cast<QMessageBox *>(QApplication::activeModalWidget())->text().contains("Stop the transfer"));
}

// The close question, left open, passes with the job: the window stays and
// shows how the job ended; closing it then asks nothing.
void tst_window::closeQuestionPasses()
{
    rig->enter();
    linkClock::setScale(0.05);
    ptyLine box;   // a box that never answers: the job fails on its own
    QVERIFY(box.open());
    make({"-t", "UpdateHD", "-f", rig->sample("@hd"), "-p", box.devicePath()});
    rig->leaveBoxes();
    QStringList asked, told;
    showWatch watch([&](QMessageBox *shown) {
        if (shown->standardButtons() & QMessageBox::Yes)
            asked << shown->text();
        else
            QTimer::singleShot(0, shown, [shown, &told] { told << shown->windowTitle(); shown->accept(); });
    });
    w->show();
    w->form()->btnUpdate->click();
    QTRY_VERIFY(w->jobRunning());
    const bool closed = w->close();   // returns once the question has passed
    linkClock::setScale(1.0);
    QVERIFY(!closed);
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].contains("Stop the transfer and quit?"), qPrintable(asked[0]));
    QCOMPARE(told, QStringList{"Restarting PCB"});
    QVERIFY(w->isVisible() && !w->jobRunning());
    QCOMPARE(w->form()->statusBar->currentMessage(), QStringLiteral("failed"));
    QVERIFY(w->close());
    QCOMPARE(asked.size(), 1);
}

// Closing: idle at once; during a job only after the question, and then the
// job gives up at its next wait instead of its whole window.
// The port: a box that never answers, or a server that never takes the connection.
QString silentBox(testRig &, const ptyLine &box) { return box.devicePath(); }
QString pendingServer(testRig &rig, const ptyLine &) { return rig.port(testRig::Line::Pending); }
struct CloseRow {
    QByteArray name{};
    bool job = false;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    QString (*port)(testRig &, const ptyLine &) = silentBox;
};
Q_DECLARE_METATYPE(CloseRow)

void tst_window::close_data()
{
    QTest::addColumn<CloseRow>("row");
    const CloseRow rows[] = {{.name = "idle"}, {.name = "busy, answer no", .job = true, .answer = QMessageBox::No},
                             {.name = "busy, answer yes", .job = true, .answer = QMessageBox::Yes},
                             {.name = "connecting, answer yes", .job = true, .answer = QMessageBox::Yes, .port = pendingServer}};
    for (const CloseRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_window::close()
{
    QFETCH(CloseRow, row);
    const bool job = row.job;
    const QMessageBox::StandardButton answer = row.answer;
    ptyLine box;   // a box that never answers
    QVERIFY(box.open());
    const QString file = rig->path("update.app");
    QVERIFY(testRig::write(file, testRig::image("00004023", 4096)));
    make(job ? QStringList{"-t", "UpdateHD", "-f", file, "-p", row.port(*rig, box), "-s"} : QStringList{});
    rig->closeBoxes(answer);
    w->show();
    if (job) {
        QTRY_VERIFY(w->jobRunning());
        QVERIFY(controls(false));
        QTest::qWait(300);   // well inside the first step's window
    }
    QElapsedTimer timer;
    timer.start();
    const bool closed = w->close();
    QCOMPARE(closed, answer != QMessageBox::No);
    QCOMPARE(rig->boxes.size(), job ? 1 : 0);
    QCOMPARE(QFile::exists("settings.ini"), closed);
    if (!closed) {
        QCOMPARE(rig->boxes.first().buttons, int(QMessageBox::Yes | QMessageBox::No));
        QVERIFY(w->isVisible());
        rig->closeBoxes(QMessageBox::Yes);
        QVERIFY(w->close());
        return;
    }
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    end();
    QCOMPARE(logLines().contains("Job stopped: the window was closed"), job);
}

// The stored language, else the system's: its menu entry checked and a few
// telling texts from its catalogue (a menu entry, status texts, a box title,
// a shortcut that must still be Ctrl+Q where German names it "Strg+Q").
struct LanguageRow {
    QByteArray name{};
    std::optional<QString> stored{};   // none: nothing stored
    QString code{};                    // the language in force; null: the system's is not known
    QString flashed{};                 // the English catalogue words this one differently
    QStringList labels{};              // the result panel's labels, in its order
    QStringList bench{};               // the bench's column headers, buttons and counters
};
Q_DECLARE_METATYPE(LanguageRow)

void tst_window::languages_data()
{
    const QString system = qEnvironmentVariable("VELMORA_TEST_SYSTEM_LANG");
    const QString german = "Warte, bis die Datei geflasht ist", source = "Waiting till File flashed";
    const QStringList labelsDe = {"Port: ", "Schritt: ", "Ursache: ", "Abhilfe: ", "Receiver: ", "Hinweis: ", "Warnung: "};
    const QStringList labelsEn = {"Port: ", "Step: ", "Cause: ", "Remedy: ", "Box: ", "Note: ", "Warning: "};
    const QStringList benchDe = {
        "Port", "Aufgabe", "Dateien", "Fortschritt", "Schritt", "Rest", "Ergebnis", "Receiver",
        QString::fromUtf8("N\xc3\xa4" "chster Receiver"), "Wiederholungen", "Stopp", "Protokoll", "Alle starten",
        "Alle stoppen", QString::fromUtf8("Zeile hinzuf\xc3\xbc" "gen"), "Zeile entfernen", "Aufgabe auf alle Zeilen kopieren",
        QString::fromUtf8("N\xc3\xa4" "chster Receiver in allen Zeilen"),
        QString::fromUtf8("Seit dem \xc3\x96" "ffnen des Pr\xc3\xbc" "fplatzes: 0 fertig, 0 fehlgeschlagen, 0 gestoppt")};
    const QStringList benchEn = {"Port", "Job", "Files", "Progress", "Step", "Left", "Result", "Box", "Next box",
                                 "Retries", "Stop", "Log", "Start all", "Stop all", "Add row", "Remove row",
                                 "Copy job to all rows", "Next box on all rows",
                                 "Since the bench was opened: 0 done, 0 failed, 0 stopped"};
    const LanguageRow rows[] = {{.name = "de", .stored = "de", .code = "de", .flashed = german, .labels = labelsDe,
                                 .bench = benchDe},
                                {.name = "en", .stored = "en", .code = "en", .flashed = "Waiting til File flashed",
                                 .labels = labelsEn, .bench = benchEn},
                                {.name = "no catalogue", .stored = "xx", .code = "xx", .flashed = source, .labels = labelsEn,
                                 .bench = benchEn},
                                {.name = "empty", .stored = "", .code = "", .flashed = source, .labels = labelsEn,
                                 .bench = benchEn},
                                {.name = "system", .code = system, .flashed = system == "de" ? german : source,
                                 .labels = system == "de" ? labelsDe : labelsEn, .bench = system == "de" ? benchDe : benchEn}};
    QTest::addColumn<LanguageRow>("row");
    for (const LanguageRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

void tst_window::languages()
{
    QFETCH(LanguageRow, row);
    const QString code = row.code;
    if (code.isNull())
        QSKIP("run by ctest with a system locale");
    if (row.stored)
        QVERIFY(testRig::write("settings.ini", "[Language]\nLanguage=" + row.stored->toUtf8() + "\n"));
    make({}, false);
    const bool de = code == "de";
    QCOMPARE(checked(), code == "de" || code == "en" ? code : QString());
    QCOMPARE(bar(), QString());   // nothing said at start-up
    QCOMPARE(QLocale().name(), QLocale::system().name());
    auto *ui = w->form();
    QCOMPARE(ui->actionGetChannellist->text(), de ? QString::fromUtf8("Senderliste h&olen") : "&get Channellist");
    QCOMPARE(ui->menuLanguage->title(), QStringLiteral("&Language"));   // never translated
    QCOMPARE(ui->actionQuit->shortcut(), QKeySequence(int(Qt::CTRL) | int(Qt::Key_Q)));
    w->slotCurrentAction(H::BoxRunning);
    QCOMPARE(bar(), de ? QString::fromUtf8("Receiver l\xc3\xa4uft") : "SettopBox running");
    w->slotCurrentAction(H::WaitingFlash);
    QCOMPARE(bar(), row.flashed);
    w->slotCurrentAction(H::PortFailed);
    QCOMPARE(rig->boxes.size(), 1);
    QCOMPARE(rig->boxes[0].title, de ? QString::fromUtf8("COM-Port \xc3\xb6""ffnen") : "Opening COM-Port");
    // Every label of the result panel: a failed job's, then a done one's note.
    jobResult failed;
    failed.job = jobKind::UpdateHD;
    failed.outcome = jobResult::Failed;
    failed.port = "ttyS0";
    failed.failedStep = H::Restarting;
    failed.cause = linkCause(linkCause::BoxSilent, "2");
    jobResult noted;
    noted.job = jobKind::GetListHD;
    noted.box = jobResult::ListSaved;
    noted.note = linkCause(linkCause::ListTooBigToUpload, "500000", "big.lis", "409600");
    noted.warning = linkCause(linkCause::ServerUnconfirmed, "no port control");
    const QStringList lines = jobSummary::text(failed).split('\n').mid(1) + jobSummary::text(noted).split('\n').mid(2);
    QCOMPARE(lines.size(), row.labels.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(lines[i].startsWith(row.labels[i]), qPrintable(lines[i]));
    // The bench speaks the window's language.
    ui->actionBench->trigger();
    const QTableWidget *table = w->bench()->form()->table;
    QStringList bench;
    for (int column = 0; column < table->columnCount(); ++column)
        bench << table->horizontalHeaderItem(column)->text();
    const auto *benchUi = w->bench()->form();
    const QList<QAbstractButton *> buttons{benchUi->btnStartAll, benchUi->btnStopAll,  benchUi->btnAddRow,
                                           benchUi->btnRemoveRow, benchUi->btnCopyJob, benchUi->chkNextBoxAll};
    for (const QAbstractButton *button : buttons)
        bench << button->text();
    bench << benchUi->lblCounters->text();
    QCOMPARE(bench, row.bench);
    QVERIFY(w->close());
    QCOMPARE(rig->setting("Language/Language").toString(), code);
}

// The menu offers a checkable entry per catalogue; a choice applies at once,
// says so for two seconds and is stored at the end.
void tst_window::switching()
{
    QVERIFY(testRig::write("settings.ini", "[Language]\nLanguage=de\n"));
    make({}, false);
    const QList<QAction *> entries = w->form()->menuLanguage->actions();
    QCOMPARE(entries.size(), 2);
    for (QAction *a : entries)
        QVERIFY(a->isCheckable() && a->actionGroup() && a->actionGroup()->isExclusive());
    QCOMPARE(entries[0]->text() + entries[0]->data().toString(), QStringLiteral("Germande"));
    QCOMPARE(entries[1]->text() + entries[1]->data().toString(), QStringLiteral("Englishen"));
    w->form()->lblFilename->setText("keep me");
    entry("en")->trigger();
    QCOMPARE(bar(), QStringLiteral("Language changed to: English"));
    QCOMPARE(statusTimer(w->form()->statusBar)->interval(), 2000);
    QCOMPARE(checked(), QStringLiteral("en"));
    QCOMPARE(QLocale().language(), QLocale::English);
    // Qt posts the change; the form follows with the next events.
    QTRY_COMPARE(w->form()->menuMenu->title(), QStringLiteral("&Menu"));
    QCOMPARE(w->form()->lblFilename->text(), QStringLiteral("keep me"));
    // The language in force once more: nothing happens.
    w->form()->statusBar->clearMessage();
    entry("en")->trigger();
    QCOMPARE(bar(), QString());
    entry("de")->trigger();
    QCOMPARE(bar(), QString::fromUtf8("Sprache ge\xc3\xa4ndert: German"));
    QTRY_COMPARE(w->form()->menuMenu->title(), QStringLiteral("&Datei"));
    entry("en")->trigger();
    QVERIFY(w->close());
    QCOMPARE(rig->setting("Language/Language").toString(), QStringLiteral("en"));
}

// A changed system locale brings the system's catalogue for the moment,
// without touching the choice.
void tst_window::systemLocaleChange()
{
    QVERIFY(testRig::write("settings.ini", "[Language]\nLanguage=en\n"));
    make({}, false);
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(w, &change);
    QCOMPARE(w->form()->menuMenu->title(), QLocale::system().name().startsWith("de_") ? "&Datei" : "&Menu");
    QCOMPARE(checked(), QStringLiteral("en"));
    QVERIFY(w->close());
    QCOMPARE(rig->setting("Language/Language").toString(), QStringLiteral("en"));
}

// The keys in a German window: F5 runs the stored job again, F1 shows the
// about box, Ctrl+Q quits.
void tst_window::shortcuts()
{
    QVERIFY(testRig::write("settings.ini", "[Language]\nLanguage=de\n[Velmora]\nPortname=/dev/null\n"
                                           "Transfer=UpdateHD\nFilename=job.app\n"));
    make({}, false);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F5);
    QCOMPARE(rig->sent(), 1);
    QCOMPARE(w->jobs().lastRequest().files.label(), QStringLiteral("job.app"));
    QVERIFY(rig->portErrorShown());
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F1);
    QTRY_COMPARE(rig->boxes.size(), 2);
    QVERIFY(rig->boxes[1].text.endsWith("Datum: Oct  2 2018"));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_Q, Qt::ControlModifier);
    QTRY_VERIFY(!w->isVisible());
}

struct LogRow { QByteArray name{}; QString text{}; QStringList expected{}; };   // expected: the lines after the stamp
Q_DECLARE_METATYPE(LogRow)

void tst_window::logWriter_data()
{
    QTest::addColumn<LogRow>("row");
    const LogRow rows[] = {{.name = "plain", .text = "Restarting done: \"ok\" 12ms",
                            .expected = {"Restarting done: \"ok\" 12ms"}},
                           {.name = "empty", .text = "", .expected = {""}},
                           {.name = "newline", .text = "first\nsecond", .expected = {"first", "second"}}};
    for (const LogRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

// Lines stamped with the time of day, "HH:mm:ss ", flushed at once, the file
// emptied at each start, and a directory in its place tolerated quietly.
void tst_window::logWriter()
{
    QFETCH(LogRow, row);
    const QStringList &expected = row.expected;
    {
        logfile earlier;
        earlier.writeLine("an earlier run");
    }
    logfile log;
    const int from = QTime(0, 0).secsTo(QTime::currentTime());
    log.writeLine(row.text);
    const int to = QTime(0, 0).secsTo(QTime::currentTime());
    const QStringList got = logLines(true);
    QCOMPARE(got.size(), expected.size() + 1);
    QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d $").match(got.first().left(9)).hasMatch());
    const int at = QTime(0, 0).secsTo(QTime::fromString(got.first().left(8), "HH:mm:ss"));
    QVERIFY2(to < from || (at >= from && at <= to), qPrintable(got.first()));   // unless midnight passed
    QCOMPARE(got.first().mid(9), expected.first());
    QCOMPARE(got.mid(1, expected.size() - 1), expected.mid(1));   // no stamp on continuation lines
    log.close();
    QVERIFY(QFile::remove("velmora.log") && QDir().mkdir("velmora.log"));
    logfile blocked;
    QVERIFY(!blocked.open());
    blocked.writeLine("dropped");
    QVERIFY(QFileInfo("velmora.log").isDir());
    QVERIFY(QDir().rmdir("velmora.log"));
}

// Windows started in one folder: each later one logs to a log of its own
// and knows how many were there first, counting a batch run's shared log,
// so that it opens that many steps away.
void tst_window::logInstances()
{
    const QString pid = QString::number(QCoreApplication::applicationPid());
    logfile batch(logfile::Target{.path = "velmora-ttyS0.log", .append = true});
    logfile first, second, third;
    QVERIFY(first.open() && second.open());
    QCOMPARE(first.path(), QStringLiteral("velmora.log"));
    QCOMPARE(first.othersHolding(), 0);
    QCOMPARE(second.path(), "velmora-" + pid + ".log");
    QCOMPARE(second.othersHolding(), 1);
    QVERIFY(batch.open() && third.open());
    QCOMPARE(third.path(), "velmora-" + pid + "-2.log");
    QCOMPARE(third.othersHolding(), 3);
    // A log that its window let go of is taken again, and not counted.
    second.close();
    logfile fourth;
    QVERIFY(fourth.open());
    QCOMPARE(fourth.path(), "velmora-" + pid + ".log");
    QCOMPARE(fourth.othersHolding(), 3);
    for (logfile *log : {&first, &third, &fourth, &batch})
        log->close();
    for (const QString &name : {QStringLiteral("velmora.log"), "velmora-" + pid + ".log", "velmora-" + pid + "-2.log",
                                QStringLiteral("velmora-ttyS0.log")})
        QVERIFY(QFile::remove(name));
}

struct OffsetRow { QByteArray name{}; int before = 1; QPoint moved{}; };
Q_DECLARE_METATYPE(OffsetRow)

void tst_window::windowsOffset_data()
{
    QTest::addColumn<OffsetRow>("row");
    const OffsetRow rows[] = {{.name = "a second window", .before = 1, .moved = {40, 40}},
                              {.name = "a third window", .before = 2, .moved = {80, 80}}};
    for (const OffsetRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

// A window started while others hold the folder's log opens beside them,
// a step further for each, and logs to a file of its own.
void tst_window::windowsOffset()
{
    QFETCH(OffsetRow, row);
    std::vector<std::unique_ptr<MainWindow>> earlier;
    for (int i = 0; i < row.before; ++i) {
        earlier.emplace_back(make());
        rig->window = w = nullptr;
    }
    make();
    QCOMPARE(w->pos() - earlier.front()->pos(), row.moved);
    QVERIFY2(testRig::matches(QFileInfo(w->jobs().logPath()).fileName(), "velmora-*.log"), qPrintable(w->jobs().logPath()));
    end();
}

int main(int argc, char **argv)
{
    testRig::setArguments({});
    QApplication app(testRig::argc, testRig::argv);
    tst_window test;
    return QTest::qExec(&test, argc, argv);
}

#include "window.moc"

// ---------------------------------------------------------------- the bench

namespace {
// The boxes of one bench test; each row starts its own.
struct Boxes {
    std::vector<std::unique_ptr<hdBox>> hd;
    std::vector<std::unique_ptr<sdBox>> sd;
};
QString startHd(Boxes &boxes, const hdBox::Behaviour &behaviour)
{
    boxes.hd.push_back(std::make_unique<hdBox>(behaviour));
    return boxes.hd.back()->start() ? boxes.hd.back()->devicePath() : QString();
}
QString startSd(Boxes &boxes, const sdBox::Config &config)
{
    boxes.sd.push_back(std::make_unique<sdBox>(config));
    return boxes.sd.back()->start() ? boxes.sd.back()->devicePath() : QString();
}
hdBox::Behaviour hdWith(bool silent, bool finReply, const QByteArray &mac = "00a1b2c3d4e5")
{
    hdBox::Behaviour b;
    b.silent = silent;
    b.finReply = finReply;
    b.replies.insert("get_mac", mac + "\r\n");
    return b;
}
// The SD box's start-up control names itself when the box powers up.
sdBox::Config sdWith(bool refuse)
{
    sdBox::Config c;
    c.refuse = refuse;
    c.startupText = "SUC (StartUpControl)1.7\r\n";
    return c;
}
} // namespace

// One box on the bench and what its row comes to.
struct BenchBox {
    QByteArray name{};
    QString (*start)(Boxes &) = nullptr;
    QString job{}, sample{};
    void (*inSend)(benchRow &) = [](benchRow &) {};   // once its file begins to go
    QString atStart{};    // the row's result as the bench starts
    QString outcome{};
    QString result{};     // the row's result ("*": anything)
    QString tip{};        // a line of its tooltip
    QString identity{};
    int retries = 1;
    QStringList records{};   // each attempt's record: "outcome,…,attempt"
    int progressLeast = 0, progressMost = 100;   // the row's bar once it ended
    bool asks = false;    // its Stop asked first: its file was on its way
};
struct BenchRun {
    QByteArray name{};
    QList<BenchBox> boxes{};
    bool (*prepare)(testRig &) = [](testRig &) { return true; };   // before the bench opens
    benchWindow::Counters counted{};
    QString counters{};
    bool recordsWritable = true;
};
Q_DECLARE_METATYPE(BenchRun)

void tst_window::bench_data()
{
    const BenchBox finishes{
        .name = "finishes", .start = [](Boxes &b) { return startHd(b, hdWith(false, true)); }, .job = "UpdateHD",
        .sample = "@hd", .outcome = "done", .result = "Update done", .tip = "Box: the box holds the new firmware",
        .identity = "00-A1-B2-C3-D4-E5, V2.10.04 HD 2026-03-18 → *",
        .records = {"00-A1-B2-C3-D4-E5,V2.10.04 HD 2026-03-18,V2.10.04 HD 2026-03-18,done,,,updated,0,1"},
        .progressLeast = 100, .progressMost = 100};
    const BenchBox silent{
        .name = "silent", .start = [](Boxes &b) { return startHd(b, hdWith(true, true)); }, .job = "UpdateHD",
        .sample = "@hd", .outcome = "failed",
        .result = "failed: the box did not answer within * — the box did not answer: check the cable*",
        .tip = "Box: the box was not changed", .identity = "no answer", .retries = 2,
        .records = {",,,failed,*,untouched,5,1", ",,,failed,*,untouched,5,2", ",,,failed,*,untouched,5,3"},
        .progressMost = 0};
    const BenchBox refuses{
        .name = "refuses", .start = [](Boxes &b) { return startSd(b, sdWith(true)); }, .job = "UpdateSD",
        .sample = "@sd2", .outcome = "failed", .result = "failed: * — *", .tip = "Cause: *", .identity = "",
        .records = {",,,failed,*,5,1"},
        // It refuses once the whole file has left: the bar says so.
        .progressLeast = 100, .progressMost = 100};
    const BenchBox stopped{
        .name = "stopped in its send", .start = [](Boxes &b) { return startHd(b, hdWith(false, false)); },
        .job = "UpdateHD", .sample = "@hd", .inSend = [](benchRow &r) { r.stop(); }, .outcome = "stopped",
        .result = "stopped: the job was stopped: Stop was pressed — *",
        .tip = "Box: the box may be left half-updated: update it again before you start it",
        .identity = "00-A1-B2-C3-D4-E5, V2.10.04 HD 2026-03-18",
        .records = {"00-A1-B2-C3-D4-E5,V2.10.04 HD 2026-03-18,,stopped,*,half-updated,130,1"}, .asks = true};
    // A records file that cannot be written is said as the rows start, and
    // their jobs run all the same, retries too.
    const QString unwritable =
        "The records file velmora-records.csv cannot be written: *. The job goes on without its record.";
    BenchBox finishesUnrecorded = finishes, silentUnrecorded = silent;
    for (BenchBox *b : {&finishesUnrecorded, &silentUnrecorded}) {
        b->atStart = unwritable;
        b->tip = unwritable;
        b->records.clear();
        b->retries = 1;
    }
    const BenchRun runs[] = {
        {.name = "four boxes: done, silent, refusing, stopped in its send", .boxes = {finishes, silent, refuses, stopped},
         .counted = {.done = 1, .failed = 2, .stopped = 1}, .counters = "1 done, 2 failed, 1 stopped"},
        {.name = "records file unwritable", .boxes = {finishesUnrecorded, silentUnrecorded},
         .prepare = [](testRig &r) { return QDir().mkdir(r.path("velmora-records.csv")); },
         .counted = {.done = 1, .failed = 1}, .counters = "1 done, 1 failed, 0 stopped", .recordsWritable = false},
    };
    QTest::addColumn<BenchRun>("run");
    for (const BenchRun &r : runs)
        QTest::newRow(r.name.constData()) << r;
}

// Boxes side by side: each row has its own result, log, identity and
// records, and the counters add them up.
void tst_window::bench()
{
    QFETCH(BenchRun, run);
    linkClock::setScale(0.3);
    Boxes boxes;
    QVERIFY(run.prepare(*rig));
    make();
    rig->closeBoxes(QMessageBox::Yes);
    w->form()->actionBench->trigger();
    benchWindow *bench = w->bench();
    QVERIFY(bench->removeRow(0));
    for (const BenchBox &box : run.boxes) {
        const QString device = box.start(boxes);
        QVERIFY2(!device.isEmpty(), box.name.constData());
        bench->addRow({.port = device, .kind = jobKind::fromKeyword(box.job), .files = {rig->sample(box.sample)},
                       .retries = box.retries});
    }
    bench->startAll();
    for (int i = 0; i < bench->rowCount(); ++i) {
        benchRow *r = bench->row(i);
        QVERIFY(r->busy() && r->jobs());
        // Said at once, before any box is asked anything.
        QVERIFY2(testRig::matches(r->resultText(), run.boxes[i].atStart), qPrintable(r->resultText()));
        connect(r->jobs(), &jobRunner::sendingBegan, r, [r, act = run.boxes[i].inSend] { act(*r); });
    }
    const int rows = int(run.boxes.size());
    QTRY_VERIFY_WITH_TIMEOUT(bench->counters().done + bench->counters().failed + bench->counters().stopped == rows, 60000);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(bench->counters().done, run.counted.done);
    QCOMPARE(bench->counters().failed, run.counted.failed);
    QCOMPARE(bench->counters().stopped, run.counted.stopped);
    QVERIFY2(bench->countersText().contains(run.counters), qPrintable(bench->countersText()));

    // Only a row stopped in its send asked (again when its stage passed),
    // in the window's words, naming its port.
    QSet<QString> askedFor;
    for (const testRig::Box &box : rig->boxes)
        if (box.buttons == int(QMessageBox::Yes | QMessageBox::No)) {
            QVERIFY2(box.text.contains("half-updated"), qPrintable(box.text));
            askedFor << box.text.section(": ", 0, 0);
        }
    QStringList ports;
    for (int i = 0; i < bench->rowCount(); ++i)
        ports << bench->row(i)->port();
    for (int i = 0; i < bench->rowCount(); ++i) {
        const BenchBox &row = run.boxes[i];
        const benchRow *r = bench->row(i);
        QCOMPARE(askedFor.contains(ports[i]), row.asks);
        QCOMPARE(jobSummary::outcomeKey(r->lastResult().outcome), row.outcome);
        QVERIFY2(testRig::matches(r->resultText(), row.result), qPrintable(r->resultText()));
        QVERIFY2(r->resultTip().split('\n').filter(QRegularExpression("^" + QRegularExpression::escape(row.tip).replace("\\*", ".*") + "$")).size() == 1,
                 qPrintable(r->resultTip()));
        QVERIFY2(testRig::matches(r->identityText(), row.identity), qPrintable(r->identityText()));
        QVERIFY(r->state() == benchRow::State::Idle);
        // A bar shows the job's last value once it ended, however late it came.
        QVERIFY2(r->progress() >= row.progressLeast && r->progress() <= row.progressMost, qPrintable(row.name + ": " + QString::number(r->progress())));
        // Each row's log is its own: every line names its port, no other's.
        const QStringList log = QString::fromUtf8(testRig::read(r->logPath())).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(log.size() > 3, qPrintable(r->logPath()));
        for (const QString &line : log)
            QVERIFY2(line.mid(9).startsWith("[" + ports[i] + "] "), qPrintable(line));
        QCOMPARE(log.filter("The records file velmora-records.csv cannot be written: ").isEmpty(), run.recordsWritable);
        // Each attempt recorded in the window's records file, retried only
        // where another attempt can help.
        const QStringList records = QString::fromUtf8(testRig::read(filePlaces::recordsFile())).split("\r\n").filter("," + ports[i] + ",");
        QCOMPARE(records.size(), row.records.size());
        for (int a = 0; a < records.size(); ++a)
            QVERIFY2(testRig::matches(records[a], "*," + ports[i] + "," + row.job.right(2) + "," + row.job + ",*," +
                                                      row.records[a]), qPrintable(records[a]));
    }
    // The first box, which finishes in every run, took the whole file, however the others ended.
    QCOMPARE(boxes.hd[0]->file(), testRig::read(rig->path("hd")));
}

// Rows that ran go; a row's job copied to all rows; on a box that never
// says "fin" the wait counts its seconds down; Stop all asks once, in its
// own words, not each row. The counters count since the bench was opened.
void tst_window::benchStopAll()
{
    linkClock::setScale(0.3);
    Boxes boxes;
    make();
    rig->closeBoxes(QMessageBox::Yes);
    w->form()->actionBench->trigger();
    benchWindow *bench = w->bench();
    while (bench->rowCount() > 0)
        QVERIFY(bench->removeRow(0));
    const QString device = startHd(boxes, hdWith(false, false));
    QVERIFY(!device.isEmpty());
    benchRow *waits = bench->addRow({.port = device});
    bench->addRow({.kind = jobKind::UpdateHD, .files = {rig->sample("@hd")}, .retries = 2});
    bench->form()->table->setCurrentCell(1, benchRow::Step);
    bench->copyJobToAll();
    QCOMPARE(waits->setup().kind, jobKind::UpdateHD);
    QCOMPARE(waits->setup().files, bench->row(1)->setup().files);
    QCOMPARE(waits->setup().retries, 0);   // the job, not the row's own settings
    QVERIFY(bench->removeRow(1));
    bench->startAll();
    QTRY_VERIFY_WITH_TIMEOUT(testRig::matches(waits->leftText(), "# s") && waits->sending(), 20000);
    const qsizetype asked = rig->boxes.size();
    bench->stopAll();
    QTRY_COMPARE(bench->counters().stopped, 1);
    QCOMPARE(rig->boxes.size(), asked + 1);
    QVERIFY2(rig->boxes.last().text.startsWith("1 row is sending a file or its box is writing it."),
             qPrintable(rig->boxes.last().text));
    QVERIFY(waits->state() == benchRow::State::Idle && waits->leftText().isEmpty());
    // Brought to the front while open, the bench goes on counting; opened
    // anew, it counts from zero.
    w->form()->actionBench->trigger();
    QCOMPARE(bench->counters().stopped, 1);
    QVERIFY(bench->close());
    w->form()->actionBench->trigger();
    QCOMPARE(w->bench(), bench);
    QCOMPARE(bench->counters().done + bench->counters().failed + bench->counters().stopped, 0);
    QVERIFY2(bench->form()->lblCounters->text().contains("0 done, 0 failed, 0 stopped"),
             qPrintable(bench->form()->lblCounters->text()));
}


struct NextRow {
    QByteArray name{};
    QString job{}, sample{};
    // Starts the first box, on the port the row keeps; its device.
    QString (*begin)(Boxes &) = nullptr;
    // The next box on the same port, after the cable has been moved.
    void (*swap)(Boxes &, int box) = nullptr;
    // How many files the box on the port took.
    int (*loads)(const Boxes &, qint64 fileSize) = nullptr;
    QString waiting{};    // what the row hears from the box of its last job
    // All the box on the port received, and the only lines the watch may send it.
    QByteArray (*received)(const Boxes &) = nullptr;
    QList<QByteArray> watchSends{};
};
Q_DECLARE_METATYPE(NextRow)

void tst_window::nextBox_data()
{
    QTest::addColumn<NextRow>("row");
    static const QByteArray macs[] = {"00a1b2c3d4e5", "00a1b2c3d4f6", "00a1b2c3d507"};
    const NextRow rows[] = {
        {.name = "HD: another MAC", .job = "UpdateHD", .sample = "@hd",
         .begin = [](Boxes &b) { return startHd(b, hdWith(false, true, macs[0])); },
         .swap = [](Boxes &b, int box) { b.hd[0]->swap(hdWith(false, true, macs[box]), 300); },
         .loads = [](const Boxes &b, qint64 size) { return int(b.hd[0]->file().size() / size); },
         .waiting = "HD console", .received = [](const Boxes &b) { return b.hd[0]->received(); },
         .watchSends = {"get_mac\r\n"}},
        {.name = "SD: a start-up text after quiet", .job = "UpdateSD", .sample = "@sd2",
         .begin = [](Boxes &b) { return startSd(b, sdWith(false)); },
         .swap = [](Boxes &b, int) { b.sd[0]->swap(sdWith(false), 300); },
         .loads = [](const Boxes &b, qint64) { return int(b.sd[0]->files().size()); },
         .waiting = "silent", .received = [](const Boxes &b) { return b.sd[0]->received(); }},
    };
    for (const NextRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

// Three boxes in turn on one port: each is run once; the box of the last
// job, still there, is not run again.
void tst_window::nextBox()
{
    QFETCH(NextRow, row);
    linkClock::setScale(0.3);
    Boxes boxes;
    const QString device = row.begin(boxes);
    QVERIFY(!device.isEmpty());
    make();
    w->form()->actionBench->trigger();
    benchWindow *bench = w->bench();
    benchRow *r = bench->row(0);
    const QString file = rig->sample(row.sample);
    r->setSetup({.port = device, .kind = jobKind::fromKeyword(row.job), .files = {file}});
    bench->form()->chkNextBoxAll->setChecked(true);
    QVERIFY(r->setup().nextBox);
    bench->startAll();
    const qint64 size = QFileInfo(file).size();
    for (int box = 0; box < 3; ++box) {
        QTRY_COMPARE_WITH_TIMEOUT(bench->counters().done, box + 1, 30000);
        QCOMPARE(bench->counters().failed + bench->counters().stopped, 0);
        QTRY_COMPARE_WITH_TIMEOUT(r->stepText(), "Waiting for the next box: " + row.waiting, 10000);
        // The job's last line has ended; a question the watch began counts whole.
        const qsizetype watchFrom = row.received(boxes).lastIndexOf('\n') + 1;
        // Longer than the watch's quiet spell and question period.
        QTest::qWait(1500);
        // The watch changes nothing on a box: an HD box is asked its MAC at most, an SD box nothing.
        QList<QByteArray> heard = row.received(boxes).mid(watchFrom).split('\n');
        QCOMPARE(heard.takeLast(), QByteArray());
        for (const QByteArray &line : heard)
            QVERIFY2(row.watchSends.contains(line + '\n'), line.constData());
        QCOMPARE(r->jobsRun(), box + 1);
        QCOMPARE(row.loads(boxes, size), 1);
        QVERIFY(r->state() == benchRow::State::Watching);
        if (box < 2)
            row.swap(boxes, box + 1);
    }
    // Stop ends the wait at once and frees the port.
    r->stop();
    QVERIFY(r->state() == benchRow::State::Idle);
    QCOMPARE(bench->counters().done, 3);
    // A header and one record per box.
    QCOMPARE(QString::fromUtf8(testRig::read(filePlaces::recordsFile())).split("\r\n", Qt::SkipEmptyParts).size(), 4);
}

struct TwiceRow {
    QByteArray name{};
    // The two rows' ports, made from the box's device in the rig's folder.
    QString (*first)(const QString &device, testRig &rig) = nullptr;
    QString (*second)(const QString &device, testRig &rig) = nullptr;
    jobKind::Kind kind = jobKind::UpdateHD;
    const char *file = "@hd";          // a sample, or a name in the rig's folder made a FIFO
    QString refused = "not started: port named twice: ";
};
Q_DECLARE_METATYPE(TwiceRow)

void tst_window::benchPortTwice_data()
{
    QTest::addColumn<TwiceRow>("row");
    const auto same = [](const QString &device, testRig &) { return device; };
    const TwiceRow rows[] = {
        {.name = "one device twice", .first = same, .second = same},
        {.name = "a link to the device", .first = same,
         .second = [](const QString &device, testRig &rig) {
             QFile::link(device, rig.path("by-id-box"));
             return rig.path("by-id-box");
         }},
        {.name = "one server spelt two ways", .first = [](const QString &, testRig &) { return QString("socket://127.0.0.1:9"); },
         .second = [](const QString &, testRig &) { return QString("SOCKET://localhost:9/"); }},
        // Two ports, but a download into a FIFO would replace it with a file.
        {.name = "a FIFO as the list's file", .first = same,
         .second = [](const QString &, testRig &) { return QString("socket://127.0.0.1:9"); }, .kind = jobKind::GetListHD,
         .file = "list.fifo", .refused = "not started: *list.fifo is a FIFO, not a regular file"},
    };
    for (const TwiceRow &r : rows)
        QTest::newRow(r.name.constData()) << r;
}

// Rows on one box, or with a FIFO in a file's place, are refused before any
// box is asked; the rows are kept in settings.ini's group of their own, the
// window's keys untouched.
void tst_window::benchPortTwice()
{
    QFETCH(TwiceRow, row);
    rig.reset(new testRig(hdBox::Behaviour()));
    rig->enter();
    QVERIFY(rig->boxStarted);
    const QString file = QString(row.file).startsWith('@') ? rig->sample(row.file) : rig->path(row.file);
    ::mkfifo(QFile::encodeName(rig->path("list.fifo")).constData(), 0600);
    make({"-p", rig->device()});
    w->form()->actionBench->trigger();
    benchWindow *bench = w->bench();
    const benchRow::Setup setups[] = {
        {.port = row.first(rig->device(), *rig), .kind = row.kind, .files = {file}, .nextBox = true},
        {.port = row.second(rig->device(), *rig), .kind = row.kind, .files = {file}, .retries = 3},
    };
    bench->row(0)->setSetup(setups[0]);
    bench->addRow(setups[1]);
    bench->startAll();
    for (int i = 0; i < 2; ++i) {
        QVERIFY2(testRig::matches(bench->row(i)->resultText(), row.refused + "*"), qPrintable(bench->row(i)->resultText()));
        QVERIFY(QFileInfo(rig->path("list.fifo")).isFile() == false);
        QVERIFY(!bench->row(i)->jobs());
        QVERIFY(bench->row(i)->state() == benchRow::State::Idle);
    }
    QTest::qWait(100);
    QVERIFY(rig->received().isEmpty());

    QVERIFY(w->close());
    QVERIFY(!w->bench()->isVisible());
    end();
    QCOMPARE(rig->setting("Velmora/Portname").toString(), rig->device());
    QCOMPARE(rig->setting("Bench/Rows/size").toInt(), 2);
    make();
    w->form()->actionBench->trigger();
    QCOMPARE(w->bench()->rowCount(), 2);
    for (int i = 0; i < 2; ++i) {
        const benchRow::Setup kept = w->bench()->row(i)->setup();
        QCOMPARE(kept.port, setups[i].port);
        QCOMPARE(kept.kind, setups[i].kind);
        QCOMPARE(kept.files, setups[i].files);
        QCOMPARE(kept.nextBox, setups[i].nextBox);
        QCOMPARE(kept.retries, setups[i].retries);
    }
}
