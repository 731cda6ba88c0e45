// The window in process: menus and images, status codes, the job frame,
// ports, running again, closing, languages and keys; the log writer. Run
// under a German and (language cases only) a French system locale, named in
// VELMORA_TEST_SYSTEM_LANG.
#include "jobrunner.h"
#include "logfile.h"
#include "mainwindow.h"
#include "ptyline.h"
#include "testrig.h"
#include "ui_mainwindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QSerialPortInfo>
#include <QtTest>

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
        for (bool on : {ui->btnQuit->isEnabled(), ui->btnUpdate->isEnabled(), ui->menuBar->isEnabled(),
                        ui->comboPorts->isEnabled(), ui->toolBar->isEnabled(), w->acceptDrops()})
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
    void rerunRightAfterEnd();
    void close_data();
    void close();
    void languages_data();
    void languages();
    void switching();
    void systemLocaleChange();
    void shortcuts();
    void logWriter_data();
    void logWriter();
};

void tst_window::menusAndImages()
{
    auto *ui = make()->form();
    QCOMPARE(names(ui->menuBar->actions()), QStringList({"menuMenu", "menuLanguage", "menuHelp", "menuInternal"}));
    QCOMPARE(names(ui->menuMenu->actions()),
             QStringList({"actionUpdateHDFirmware", "actionUpdateSDFirmware", "|", "actionRerun", "|",
                          "actionGetChannellist", "actionSendChannellist", "actionEditChannellist", "|", "actionQuit"}));
    QCOMPARE(names(ui->toolBar->actions()),
             QStringList({"actionUpdateHDFirmware", "actionUpdateSDFirmware", "|", "actionRerun", "|",
                          "actionGetChannellist", "actionSendChannellist"}));
    // The Internal menu's actions are wired to nothing.
    QSignalSpy sw(&w->jobs(), &jobRunner::sigGetSoftwareVersion);
    ui->actionGetSoftwareversion->trigger();
    QCOMPARE(sw.count(), 0);
    // No editor program in the working directory: its action stays hidden.
    QVERIFY(!ui->actionEditChannellist->isVisible());
    const QList<QPair<QString, QSize>> images = {{":/images/program.png", {32, 32}}, {":/images/HD", {68, 71}},
                                                 {":/images/SD", {64, 72}}, {":/images/RE", {80, 71}},
                                                 {":/images/Down", {75, 71}}, {":/images/UP", {75, 71}}};
    for (const auto &image : images)
        QCOMPARE(QImage(image.first, "PNG").size(), image.second);
}

void tst_window::status_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("timeout");     // ms; 0: the text stays
    QTest::addColumn<QString>("title");   // of the message box; empty: none
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    const int info = QMessageBox::Information, crit = QMessageBox::Critical;
    QTest::newRow("2") << 2 << "Downloading Channel list" << 0 << "" << "" << 0;
    QTest::newRow("51") << 51 << "Restarting PCB" << 0 << "" << "" << 0;
    // The English catalogue renders this one differently.
    QTest::newRow("59") << 59 << "Waiting til File flashed" << 0 << "" << "" << 0;
    QTest::newRow("20") << 20 << "Ready to receive Data" << 0 << "" << "" << 0;
    QTest::newRow("5") << 5 << "Listdownload complete" << 0 << "Channel list" << "Channel list downloaded" << info;
    QTest::newRow("67") << 67 << "Update done" << 0 << "Firmware" << "Firmware updated" << info;
    QTest::newRow("21") << 21 << "Couldn't open COM-Port" << 2000 << "Opening COM-Port" << "Couldn't open COM-Port" << crit;
    QTest::newRow("75") << 75 << "Error while flashing the File" << 2000 << "Flashing File"
                        << "Error while flashing the file" << crit;
    QTest::newRow("28") << 28 << "Settopbox rejected the file" << 0 << "Uploading File" << "The Settopbox rejected a file"
                        << crit;
    QTest::newRow("33") << 33 << "The StartUpControl is to old" << 0 << "Upload"
                        << "The StartUpControl is to old!\nCan't update this Box!" << crit;
    QTest::newRow("77") << 77 << "Wrong Filetype detected!" << 0 << "Upload"
                        << "Wrong filetype detected!\nCan't upload that file!" << crit;
    QTest::newRow("73") << 73 << "Error while opening the LoadMenu" << 2000 << "Opening LoadMenu"
                        << "Error while opening the LoadMenu" << crit;
    // Codes no link sends: said in a box, the status text stays.
    for (int code : {34, 39, 46, -1, 78})
        QTest::addRow("unknown %d", code) << code << "before" << 0 << "Error"
                                          << QStringLiteral("Received unknown message: %1").arg(code) << crit;
}

void tst_window::status()
{
    QFETCH(int, code);
    QFETCH(QString, status);
    QFETCH(int, timeout);
    QFETCH(QString, title);
    make();
    w->form()->statusBar->showMessage("before");
    w->form()->progBar->setValue(37);
    w->slotCurrentAction(code);
    QCOMPARE(w->form()->statusBar->currentMessage(), status);
    QCOMPARE(w->form()->progBar->value(), 37);
    QVERIFY(controls(true));
    if (title.isEmpty()) {
        QTest::qWait(30);
        QVERIFY(rig->boxes.isEmpty());
    } else {
        QTRY_COMPARE(rig->boxes.size(), 1);
        QCOMPARE(rig->boxes[0].title, title);
        QTEST(rig->boxes[0].text, "text");
        QTEST(rig->boxes[0].icon, "icon");
        QCOMPARE(rig->boxes[0].buttons, int(QMessageBox::Ok));
    }
    QTimer *timer = statusTimer(w->form()->statusBar);
    QCOMPARE(timer ? timer->interval() : 0, timeout);
    if (timer) {   // its end, without waiting it out
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(w->form()->statusBar->currentMessage(), QString());
    }
}

// A job's start code disables the controls and empties the bar; its end
// enables them, fills the bar, says "done" for two seconds (waited out once)
// and leaves an empty log line.
void tst_window::jobFrame_data()
{
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<bool>("wait");
    QTest::newRow("sd") << QList<int>{0, 1} << true;
    QTest::newRow("hd") << QList<int>{40, 41} << false;
    QTest::newRow("crossed") << QList<int>{0, 41} << false;
    QTest::newRow("error, end twice") << QList<int>{40, 68, 41, 41} << false;
}

void tst_window::jobFrame()
{
    QFETCH(QList<int>, codes);
    QFETCH(bool, wait);
    make();
    auto *ui = w->form();
    QVERIFY(!ui->actionRerun->isEnabled());
    ui->progBar->setValue(55);
    // As a link sends them: the job runner writes each end code's empty line.
    const auto send = [this](int code) {
        if (code < 40)
            emit const_cast<serialComKarn &>(w->linkSD()).sendCurrentAction(code);
        else
            emit const_cast<serialComVesk &>(w->linkHD()).sendCurrentAction(code);
    };
    send(codes.first());
    QVERIFY(controls(false));
    QVERIFY(w->jobRunning());
    QCOMPARE(ui->progBar->value(), 0);
    QCOMPARE(ui->statusBar->currentMessage(), QString());
    QVERIFY(!ui->actionRerun->isEnabled());   // the start code never touches it
    for (int c : codes.mid(1)) {
        send(c);
        QVERIFY(controls(c == 1 || c == 41));   // an error does not end the job
    }
    QVERIFY(controls(true));
    QVERIFY(!w->jobRunning());
    QCOMPARE(ui->progBar->value(), 100);
    QVERIFY(ui->actionRerun->isEnabled());
    QCOMPARE(ui->statusBar->currentMessage(), QStringLiteral("done"));
    QCOMPARE(statusTimer(ui->statusBar)->interval(), 2000);
    if (wait) {
        QTest::qWait(1700);
        QCOMPARE(ui->statusBar->currentMessage(), QStringLiteral("done"));
        QTRY_COMPARE_WITH_TIMEOUT(ui->statusBar->currentMessage(), QString(), 1000);
    }
    end();
    const QStringList lines = logLines(true);
    const int ends = codes.count(1) + codes.count(41);
    QCOMPARE(lines.size(), 2 + ends + 1);
    for (int i = 0; i < ends; ++i)
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d $").match(lines.at(2 + i)).hasMatch());
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
    for (const QString &name : present)
        QVERIFY(testRig::write(name, ""));
    QTEST(MainWindow::windowIconFile(), "chosen");
}

void tst_window::portHandOver()
{
    ptyLine a, b;
    QVERIFY(a.open() && b.open());
    make({"-p", a.devicePath(), "-p", b.devicePath()});
    QComboBox *combo = w->form()->comboPorts;
    const int first = combo->findText(a.devicePath());
    QVERIFY(first >= 0 && combo->findText(b.devicePath()) > first);
    QCOMPARE(w->linkHD().currentPortname(), b.devicePath());
    combo->setCurrentIndex(first);
    QCOMPARE(w->linkHD().currentPortname(), a.devicePath());
    QCOMPARE(w->linkSD().currentPortname(), a.devicePath());
}

// Each end code starts the job again at once, while the link thread is still
// leaving its loop; every run must still happen.
void tst_window::rerunRightAfterEnd()
{
    make({"-t", "GetListHD", "-f", "job.lis", "-p", "/dev/null"});
    int ends = 0;
    connect(&w->linkHD(), &serialComVesk::sendCurrentAction, w, [&](int code) {
        if (code == 41 && ++ends < 4)
            w->form()->actionRerun->trigger();
    }, Qt::QueuedConnection);
    w->form()->actionRerun->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ends, 4, 5000);
    QTRY_COMPARE(rig->boxes.size(), 4);
    // Once the last job has returned, its thread ends by itself.
    QTRY_VERIFY(!w->jobs().threadsBusy());
}

// Closing: idle at once; during a job only after the question, and then the
// job gives up at its next wait instead of its whole window.
void tst_window::close_data()
{
    QTest::addColumn<bool>("job");
    QTest::addColumn<int>("answer");
    QTest::newRow("idle") << false << 0;
    QTest::newRow("busy, answer no") << true << int(QMessageBox::No);
    QTest::newRow("busy, answer yes") << true << int(QMessageBox::Yes);
}

void tst_window::close()
{
    QFETCH(bool, job);
    QFETCH(int, answer);
    ptyLine box;   // a box that never answers
    QVERIFY(box.open());
    const QString file = rig->path("update.app");
    QVERIFY(testRig::write(file, testRig::image("00004023", 4096)));
    make(job ? QStringList{"-t", "UpdateHD", "-f", file, "-p", box.devicePath(), "-s"} : QStringList{});
    rig->closeBoxes(QMessageBox::StandardButton(answer));
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
void tst_window::languages_data()
{
    QTest::addColumn<QString>("stored");   // null: none stored
    QTest::addColumn<QString>("code");     // the language in force
    QTest::addColumn<QString>("flashed");  // the English catalogue words this one differently
    const QString system = qEnvironmentVariable("VELMORA_TEST_SYSTEM_LANG");
    const QString german = "Warte, bis die Datei geflasht ist", source = "Waiting till File flashed";
    QTest::newRow("de") << "de" << "de" << german;
    QTest::newRow("en") << "en" << "en" << "Waiting til File flashed";
    QTest::newRow("no catalogue") << "xx" << "xx" << source;
    QTest::newRow("empty") << "" << "" << source;
    QTest::newRow("system") << QString() << system << (system == "de" ? german : source);
}

void tst_window::languages()
{
    QFETCH(QString, stored);
    QFETCH(QString, code);
    if (code.isNull())
        QSKIP("run by ctest with a system locale");
    if (!stored.isNull())
        QVERIFY(testRig::write("settings.ini", "[Language]\nLanguage=" + stored.toUtf8() + "\n"));
    make({}, false);
    const bool de = code == "de";
    QCOMPARE(checked(), code == "de" || code == "en" ? code : QString());
    QCOMPARE(bar(), QString());   // nothing said at start-up
    QCOMPARE(QLocale().name(), QLocale::system().name());
    auto *ui = w->form();
    QCOMPARE(ui->actionGetChannellist->text(), de ? QString::fromUtf8("Senderliste h&olen") : "&get Channellist");
    QCOMPARE(ui->menuLanguage->title(), QStringLiteral("&Language"));   // never translated
    QCOMPARE(ui->actionQuit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    w->slotCurrentAction(64);
    QCOMPARE(bar(), de ? QString::fromUtf8("Receiver l\xc3\xa4uft") : "SettopBox running");
    w->slotCurrentAction(59);
    QTEST(bar(), "flashed");
    w->slotCurrentAction(68);
    QCOMPARE(rig->boxes.size(), 1);
    QCOMPARE(rig->boxes[0].title, de ? QString::fromUtf8("COM-Port \xc3\xb6""ffnen") : "Opening COM-Port");
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
    QCOMPARE(w->linkHD().currentFilename(), QStringLiteral("job.app"));
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

void tst_window::logWriter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");   // physical lines after the stamp
    QTest::newRow("plain") << "Restarting done: \"ok\" 12ms" << QStringList{"Restarting done: \"ok\" 12ms"};
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("newline") << "first\nsecond" << QStringList{"first", "second"};
}

// Lines stamped with the time of day, "HH:mm:ss ", flushed at once, the file
// emptied at each start, and a directory in its place tolerated quietly.
void tst_window::logWriter()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    {
        logfile earlier;
        earlier.writeLine("an earlier run");
    }
    logfile log;
    const int from = QTime(0, 0).secsTo(QTime::currentTime());
    log.writeLine(text);
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

int main(int argc, char **argv)
{
    testRig::setArguments({});
    QApplication app(testRig::argc, testRig::argv);
    tst_window test;
    return QTest::qExec(&test, argc, argv);
}

#include "window.moc"
