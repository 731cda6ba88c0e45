// What the window shows for every status code.
#include "mainwindow.h"
#include "modalcloser.h"
#include "ui_mainwindow.h"

#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

class tst_status : public QObject
{
    Q_OBJECT
    MainWindow *w = nullptr;
    modalCloser *closer = nullptr;

    Ui_MainWindow *ui() const { return w->form(); }
    bool controlsEnabled() const
    {
        return ui()->btnQuit->isEnabled() && ui()->btnUpdate->isEnabled() && ui()->menuBar->isEnabled() &&
               ui()->comboPorts->isEnabled() && ui()->toolBar->isEnabled() && w->acceptDrops();
    }
    bool controlsDisabled() const
    {
        return !ui()->btnQuit->isEnabled() && !ui()->btnUpdate->isEnabled() && !ui()->menuBar->isEnabled() &&
               !ui()->comboPorts->isEnabled() && !ui()->toolBar->isEnabled() && !w->acceptDrops();
    }

private slots:
    void init()
    {
        QFile::remove(QStringLiteral("settings.ini"));
        w = new MainWindow;
        for (QAction *a : ui()->menuLanguage->actions())
            if (a->data().toString() == QLatin1String("en"))
                w->slotLanguageChanged(a);
        ui()->statusBar->clearMessage();
        closer = new modalCloser(w);
    }
    void cleanup()
    {
        delete w;
        w = nullptr;
    }

    void progressCodes_data();
    void progressCodes();
    void boxCodes_data();
    void boxCodes();
    void unknownCodes_data();
    void unknownCodes();
    void startAndEnd_data();
    void startAndEnd();
    void errorKeepsControlsDisabled();
    void textDisappearsAfterTimeout();
    void endTwiceWritesTwoEmptyLines();
    void germanTexts();
};

void tst_status::progressCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    const struct { int sd, hd; const char *text; } rows[] = {
        {2, 42, "Downloading Channel list"}, {3, 43, "Searching Start of List"},
        {4, 44, "End of the List found"}, {6, 50, "Uploading Channel list"},
        {7, 53, "Opening LoadMenu"}, {8, 54, "Opening LoadMenu done"},
        {9, 57, "Sending file"}, {10, 58, "File sent"},
        {11, 61, "Waiting till Settopbox finishes"}, {12, 63, "Waiting till Settopbox started"},
        {13, 64, "SettopBox running"}, {15, 66, "Updating the Firmware"},
        {17, -1, "Initializing upload"}, {18, -1, "Initializing of upload done"},
        {19, -1, "Initializing the Download"}, {20, -1, "Ready to receive Data"},
        {-1, 51, "Restarting PCB"}, {-1, 52, "Restarting PCB done"},
        {-1, 55, "Waiting to send the file"}, {-1, 56, "Waiting to send the file done"},
        // The English catalogue deliberately renders this one differently.
        {-1, 59, "Waiting til File flashed"}, {-1, 60, "File flashed"}, {-1, 62, "Settopbox finish"},
    };
    for (const auto &r : rows)
        for (int code : {r.sd, r.hd})
            if (code >= 0)
                QTest::addRow("%d", code) << code << QString::fromLatin1(r.text);
}

void tst_status::progressCodes()
{
    QFETCH(int, code);
    ui()->progBar->setValue(37);
    w->slotCurrentAction(code);
    QTEST(ui()->statusBar->currentMessage(), "text");
    QVERIFY(closer->boxes().isEmpty());
    QCOMPARE(ui()->progBar->value(), 37);
    QVERIFY(controlsEnabled());
}

void tst_status::boxCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    const int info = QMessageBox::Information, crit = QMessageBox::Critical;
    const struct { int sd, hd; const char *status; int timeout; const char *title, *text; int icon; } rows[] = {
        {5, 45, "Listdownload complete", 0, "Channel list", "Channel list downloaded", info},
        {14, 65, "Listupload done", 0, "Channel list", "Channel list uploaded", info},
        {16, 67, "Update done", 0, "Firmware", "Firmware updated", info},
        {21, 68, "Couldn't open COM-Port", 2000, "Opening COM-Port", "Couldn't open COM-Port", crit},
        {22, 71, "Couldn't open the File", 2000, "Opening File", "Couldn't open the File", crit},
        {23, -1, "Error while initializing the Upload", 0, "Initializing Upload", "Error while initializing the Upload", crit},
        {24, 69, "Couldn't receive Data", 2000, "Receiving Data", "Couldn't receive Data", crit},
        {25, 70, "Timeout while downloading the List", 2000, "Downloading List", "Timeout while downloading the List", crit},
        {26, 74, "Error while writing to the Port", 2000, "Writing to Port", "Error while writing to the Port", crit},
        {27, 76, "Error while Settopbox finishes", 2000, "Finishing", "Error while Settopbox finishes", crit},
        {28, -1, "Settopbox rejected the file", 0, "Uploading File", "The Settopbox rejected a file", crit},
        {29, -1, "Error while starting the Settopbox", 0, "Starting Settopbox", "Error while starting the Settopbox", crit},
        {30, -1, "Error while initializing the Download", 0, "Initializing Download", "Error while initializing the Download", crit},
        {31, 73, "Error while opening the LoadMenu", 2000, "Opening LoadMenu", "Error while opening the LoadMenu", crit},
        {32, 77, "Wrong Filetype detected!", 0, "Upload", "Wrong filetype detected!\nCan't upload that file!", crit},
        {33, -1, "The StartUpControl is to old", 0, "Upload", "The StartUpControl is to old!\nCan't update this Box!", crit},
        {-1, 72, "Error while restarting PCB", 2000, "Restarting PCB", "Error while restarting PCB", crit},
        {-1, 75, "Error while flashing the File", 2000, "Flashing File", "Error while flashing the file", crit},
    };
    for (const auto &r : rows)
        for (int code : {r.sd, r.hd})
            if (code >= 0)
                QTest::addRow("%d", code) << code << QString::fromLatin1(r.status) << r.timeout
                                          << QString::fromLatin1(r.title) << QString::fromLatin1(r.text) << r.icon;
}

void tst_status::boxCodes()
{
    QFETCH(int, code);
    QFETCH(QString, status);
    QFETCH(int, timeout);
    w->slotCurrentAction(code);
    QCOMPARE(closer->boxes().size(), 1);
    const modalCloser::Box box = closer->boxes().first();
    QTEST(box.title, "title");
    QTEST(box.text, "text");
    QTEST(int(box.icon), "icon");
    QCOMPARE(box.buttons, int(QMessageBox::Ok));
    QCOMPARE(ui()->statusBar->currentMessage(), status);
    if (timeout > 0) {
        QTest::qWait(timeout - 500);
        QCOMPARE(ui()->statusBar->currentMessage(), status);
        QTRY_COMPARE_WITH_TIMEOUT(ui()->statusBar->currentMessage(), QString(), 1000);
    }
    QVERIFY(controlsEnabled());
}

void tst_status::unknownCodes_data()
{
    QTest::addColumn<int>("code");
    for (int code : {34, 35, 39, 46, 47, 48, 49, -1, 78, 1000, -40})
        QTest::addRow("%d", code) << code;
}

void tst_status::unknownCodes()
{
    QFETCH(int, code);
    ui()->statusBar->showMessage(QStringLiteral("before"));
    w->slotCurrentAction(code);
    QCOMPARE(closer->boxes().size(), 1);
    QCOMPARE(closer->boxes().first().title, QStringLiteral("Error"));
    QCOMPARE(closer->boxes().first().text, QStringLiteral("Received unknown message: %1").arg(code));
    QCOMPARE(int(closer->boxes().first().icon), int(QMessageBox::Critical));
    QCOMPARE(ui()->statusBar->currentMessage(), QStringLiteral("before"));
    QVERIFY(controlsEnabled());
}

void tst_status::startAndEnd_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::newRow("sd") << 0 << 1;
    QTest::newRow("hd") << 40 << 41;
    QTest::newRow("crossed") << 0 << 41;
}

void tst_status::startAndEnd()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QVERIFY(!ui()->actionRerun->isEnabled());
    ui()->progBar->setValue(55);
    w->slotCurrentAction(start);
    QVERIFY(controlsDisabled());
    QVERIFY(w->jobRunning());
    QCOMPARE(ui()->progBar->value(), 0);
    QCOMPARE(ui()->statusBar->currentMessage(), QString());
    QVERIFY(!ui()->actionRerun->isEnabled()); // the start code never touches it
    w->slotCurrentAction(end);
    QVERIFY(controlsEnabled());
    QVERIFY(!w->jobRunning());
    QCOMPARE(ui()->progBar->value(), 100);
    QVERIFY(ui()->actionRerun->isEnabled());
    QCOMPARE(ui()->statusBar->currentMessage(), QStringLiteral("done"));
    QTRY_COMPARE_WITH_TIMEOUT(ui()->statusBar->currentMessage(), QString(), 2600);
    QVERIFY(closer->boxes().isEmpty());
}

void tst_status::errorKeepsControlsDisabled()
{
    w->slotCurrentAction(0);
    w->slotCurrentAction(21);
    QCOMPARE(closer->boxes().size(), 1);
    QCOMPARE(closer->boxes().first().title, QStringLiteral("Opening COM-Port"));
    QVERIFY(controlsDisabled());
    w->slotCurrentAction(1);
    QVERIFY(controlsEnabled());
}

void tst_status::textDisappearsAfterTimeout()
{
    // Time-out 0: the text stays until the next one replaces it.
    w->slotCurrentAction(23);
    QTest::qWait(2300);
    QCOMPARE(ui()->statusBar->currentMessage(), QStringLiteral("Error while initializing the Upload"));
    w->slotCurrentAction(42);
    QTest::qWait(2300);
    QCOMPARE(ui()->statusBar->currentMessage(), QStringLiteral("Downloading Channel list"));
}

void tst_status::endTwiceWritesTwoEmptyLines()
{
    w->slotCurrentAction(40);
    w->slotCurrentAction(68);
    w->slotCurrentAction(41);
    w->slotCurrentAction(41);
    QVERIFY(controlsEnabled());
    QCOMPARE(ui()->progBar->value(), 100);
    delete w; // flushes and closes the log
    w = nullptr;
    QFile log(QStringLiteral("velmora.log"));
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    const QRegularExpression stampOnly(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d $"));
    QVERIFY(stampOnly.match(lines.at(2)).hasMatch());
    QVERIFY(stampOnly.match(lines.at(3)).hasMatch());
}

void tst_status::germanTexts()
{
    for (QAction *a : ui()->menuLanguage->actions())
        if (a->data().toString() == QLatin1String("de"))
            w->slotLanguageChanged(a);
    w->slotCurrentAction(64);
    QCOMPARE(ui()->statusBar->currentMessage(), QStringLiteral("Receiver läuft"));
    w->slotCurrentAction(40);
    w->slotCurrentAction(41);
    QCOMPARE(ui()->statusBar->currentMessage(), QStringLiteral("erledigt"));
    w->slotCurrentAction(36);
    QCOMPARE(closer->boxes().last().text, QStringLiteral("Unbekannte Meldung erhalten: 36"));
}

QTEST_MAIN(tst_status)
#include "tst_status.moc"
