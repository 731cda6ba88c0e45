// The language menu, switching at run time, the catalogues and their texts.
// Run twice by ctest, under a German and a French system locale; the
// expected system language comes in VELMORA_TEST_SYSTEM_LANG.
#include "cmdkit.h"
#include "modalcloser.h"
#include "ui_mainwindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QStatusBar>
#include <QToolBar>
#include <QTranslator>
#include <QtTest>

using namespace cmdkit;

namespace {

QString systemCode()
{
    const QString name = QLocale::system().name();
    const int cut = name.lastIndexOf('_');
    return cut < 0 ? QString() : name.left(cut);
}

// What the form shows, by a short name for each text and shortcut.
QString formText(Ui_MainWindow *ui, QMainWindow *w, const QString &what)
{
    const QList<QAction *> actions = {ui->actionUpdateHDFirmware, ui->actionUpdateSDFirmware, ui->actionRerun,
                                      ui->actionGetChannellist, ui->actionSendChannellist, ui->actionEditChannellist,
                                      ui->actionQuit, ui->actionAbout, ui->actionAboutQt,
                                      ui->actionGetSoftwareversion, ui->actionGetLowpowerversion,
                                      ui->actionGetMACAddress, ui->actionInitializeFactoryReset};
    for (QAction *a : actions) {
        if (what == a->objectName())
            return a->text();
        if (what == a->objectName() + ".key")
            return a->shortcut().toString(QKeySequence::PortableText);
    }
    if (what == "btnQuit") return ui->btnQuit->text();
    if (what == "btnUpdate") return ui->btnUpdate->text();
    if (what == "menuMenu") return ui->menuMenu->title();
    if (what == "menuHelp") return ui->menuHelp->title();
    if (what == "menuLanguage") return ui->menuLanguage->title();
    if (what == "menuInternal") return ui->menuInternal->title();
    if (what == "toolBar") return ui->toolBar->windowTitle();
    if (what == "window") return w->windowTitle();
    return QStringLiteral("?") + what;
}

struct FormRow {
    const char *what, *english, *german;
};
// Shortcuts compare in portable form: the German catalogue names the keys
// "Strg", but the key pressed is the same.
const FormRow formRows[] = {
    {"actionUpdateHDFirmware", "update &HD Firmware", "&HD Firmware aktualisieren"},
    {"actionUpdateHDFirmware.key", "Ctrl+2", "Ctrl+2"},
    {"actionUpdateSDFirmware", "update &SD Firmware", "&SD Firmware aktualisieren"},
    {"actionUpdateSDFirmware.key", "Ctrl+1", "Ctrl+1"},
    {"actionRerun", "&rerun", "&wiederholen"},
    {"actionRerun.key", "F5", "F5"},
    {"actionGetChannellist", "&get Channellist", "Senderliste h&olen"},
    {"actionGetChannellist.key", "Ctrl+G", "Ctrl+G"},
    {"actionSendChannellist", "send &Channellist", "Senderliste s&enden"},
    {"actionSendChannellist.key", "Ctrl+S", "Ctrl+S"},
    {"actionEditChannellist", "&edit Channellist", "Senderliste bea&rbeiten"},
    {"actionEditChannellist.key", "", ""},
    {"actionQuit", "&quit", "&beenden"},
    {"actionQuit.key", "Ctrl+Q", "Ctrl+Q"},
    {"actionAbout", "&About", "\xc3\x9c&""ber"},
    {"actionAbout.key", "F1", "F1"},
    {"actionAboutQt", "About &Qt", "\xc3\x9c""ber &Qt"},
    {"actionAboutQt.key", "Ctrl+F1", "Ctrl+F1"},
    {"actionGetSoftwareversion", "Get Softwareversion", "Softwareversion lesen"},
    {"actionGetLowpowerversion", "Get Lowpowerversion", "Lowpower-Version lesen"},
    {"actionGetMACAddress", "Get MAC-Address", "MAC-Adresse lesen"},
    {"actionInitializeFactoryReset", "Initialize Factory Reset", "Werkseinstellungen wiederherstellen"},
    {"btnQuit", "&quit", "&beenden"},
    {"btnUpdate", "&transmit", "&\xc3\xbc""bertragen"},
    {"menuMenu", "&Menu", "&Datei"},
    {"menuHelp", "&Help", "&Hilfe"},
    {"toolBar", "toolBar", "Werkzeugleiste"},
    {"window", "Velmora", "Velmora"},
    // Never translated.
    {"menuLanguage", "&Language", "&Language"},
    {"menuInternal", "", ""},
};

// Every window text outside the form, and its German text where it is fixed.
const char *const windowTexts[] = {
    "done", "Downloading Channel list", "Searching Start of List", "End of the List found",
    "Uploading Channel list", "Opening LoadMenu", "Opening LoadMenu done", "Sending file", "File sent",
    "Waiting till Settopbox finishes", "Waiting till Settopbox started", "SettopBox running",
    "Updating the Firmware", "Initializing upload", "Initializing of upload done", "Initializing the Download",
    "Ready to receive Data", "Restarting PCB", "Restarting PCB done", "Waiting to send the file",
    "Waiting to send the file done", "Waiting till File flashed", "File flashed", "Settopbox finish",
    "Listdownload complete", "Channel list", "Channel list downloaded", "Listupload done", "Channel list uploaded",
    "Update done", "Firmware", "Firmware updated", "Couldn't open COM-Port", "Opening COM-Port",
    "Couldn't open the File", "Opening File", "Error while initializing the Upload", "Initializing Upload",
    "Couldn't receive Data", "Receiving Data", "Timeout while downloading the List", "Downloading List",
    "Error while writing to the Port", "Writing to Port", "Error while Settopbox finishes", "Finishing",
    "Settopbox rejected the file", "Uploading File", "The Settopbox rejected a file",
    "Error while starting the Settopbox", "Starting Settopbox", "Error while initializing the Download",
    "Initializing Download", "Error while opening the LoadMenu", "Wrong Filetype detected!", "Upload",
    "Wrong filetype detected!\nCan't upload that file!", "The StartUpControl is to old",
    "The StartUpControl is to old!\nCan't update this Box!", "Error while restarting PCB",
    "Error while flashing the File", "Flashing File", "Error while flashing the file", "Error",
    "Received unknown message: %1", "Update file", "HD-Firmware file", "SD-Firmware file", "All Files",
    "No Channel list detected!", "Language changed to: %1",
    "Please choose a name ending in .lis (HD) or .lst (SD).",
    "A transfer is running. Stopping it now can leave the Settopbox unusable.\nStop the transfer and quit?",
    "With this program you can update your Settopbox\nand copy the Channel list from and to your PC.\n"
    "all you need a cable from RS232 to RJ11\n\n"
    "This software uses the Qt-Framework (https://www.qt.io)\n"
    "and QextSerialPort (https://github.com/qextserialport/qextserialport)\n\n"
    "Version: %1\nDate: %2",
};

} // namespace

class tst_languages : public QObject
{
    Q_OBJECT
    MainWindow *w = nullptr;
    modalCloser *closer = nullptr;

    MainWindow *make(const QString &language = QString())
    {
        QFile::remove("settings.ini");
        if (!language.isNull()) {
            QSettings s("settings.ini", QSettings::IniFormat);
            s.setValue("Language/Language", language);
        }
        setArguments({});
        w = new MainWindow;
        closer = new modalCloser(w);
        return w;
    }
    QList<QAction *> entries() const { return w->form()->menuLanguage->actions(); }
    QAction *entry(const QString &code) const
    {
        for (QAction *a : entries())
            if (a->data().toString() == code)
                return a;
        return nullptr;
    }
    QString checkedCode() const
    {
        for (QAction *a : entries())
            if (a->isChecked())
                return a->data().toString();
        return QString();
    }
    QString status() const { return w->form()->statusBar->currentMessage(); }
    void checkForm(bool german)
    {
        for (const FormRow &row : formRows)
            QCOMPARE(formText(w->form(), w, row.what), QString::fromUtf8(german ? row.german : row.english));
    }

private slots:
    void cleanup()
    {
        delete w;
        w = nullptr;
        QLocale::setDefault(QLocale::system());
    }

    void startFromSystemLocale();
    void menuEntries();
    void storedLanguage_data();
    void storedLanguage();
    void switching();
    void statusMessageTimesOut();
    void englishDeviation_data();
    void englishDeviation();
    void germanStatusAndBoxes();
    void shortcutsWorkInGerman();
    void systemLocaleChange();
    void catalogues_data();
    void catalogues();
};

void tst_languages::startFromSystemLocale()
{
    const QString expected = qEnvironmentVariable("VELMORA_TEST_SYSTEM_LANG");
    if (expected.isEmpty())
        QSKIP("run by ctest with a system locale");
    QCOMPARE(systemCode(), expected);
    make(QString()); // no settings file
    QCOMPARE(status(), QString());
    if (expected == "de") {
        QCOMPARE(checkedCode(), QStringLiteral("de"));
        checkForm(true);
    } else {
        // No catalogue for this language: source texts, nothing marked.
        QCOMPARE(checkedCode(), QString());
        checkForm(false);
    }
    QVERIFY(w->close());
    QCOMPARE(QSettings("settings.ini", QSettings::IniFormat).value("Language/Language").toString(), expected);
}

void tst_languages::menuEntries()
{
    make("en");
    const QList<QAction *> list = entries();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0]->text(), QStringLiteral("German"));
    QCOMPARE(list[0]->data(), QVariant(QStringLiteral("de")));
    QCOMPARE(list[1]->text(), QStringLiteral("English"));
    QCOMPARE(list[1]->data(), QVariant(QStringLiteral("en")));
    for (QAction *a : list) {
        QVERIFY(a->isCheckable());
        QVERIFY(a->icon().isNull());
        QVERIFY(a->shortcut().isEmpty());
        QCOMPARE(a->parent(), w);
        QVERIFY(a->actionGroup());
        QVERIFY(a->actionGroup()->isExclusive());
        QCOMPARE(a->actionGroup()->parent(), w->form()->menuLanguage);
    }
    QCOMPARE(list[0]->actionGroup(), list[1]->actionGroup());
}

void tst_languages::storedLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("german");
    QTest::newRow("de") << "de" << "de" << true;
    QTest::newRow("en") << "en" << "en" << false;
    QTest::newRow("no catalogue") << "xx" << "" << false;
    QTest::newRow("empty") << "" << "" << false;
}

void tst_languages::storedLanguage()
{
    QFETCH(QString, language);
    QFETCH(bool, german);
    make(language);
    QTEST(checkedCode(), "checked");
    checkForm(german);
    QCOMPARE(status(), QString()); // no message at start-up
    QCOMPARE(QLocale().name(), QLocale::system().name()); // default locale untouched
}

void tst_languages::switching()
{
    make("de");
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->form()->lblFilename->setText("keep me");
    entry("en")->trigger();
    QCOMPARE(status(), QStringLiteral("Language changed to: English"));
    QCOMPARE(checkedCode(), QStringLiteral("en"));
    QCOMPARE(QLocale().language(), QLocale::English);
    // Qt posts the change; the form follows with the next events.
    QTRY_COMPARE(w->form()->menuMenu->title(), QStringLiteral("&Menu"));
    checkForm(false);
    QCOMPARE(entries()[0]->text(), QStringLiteral("German"));
    QCOMPARE(entries()[1]->text(), QStringLiteral("English"));
    QCOMPARE(w->form()->lblFilename->text(), QStringLiteral("keep me"));

    // The current language once more: nothing happens.
    w->form()->statusBar->clearMessage();
    entry("en")->trigger();
    QCOMPARE(status(), QString());
    QCOMPARE(checkedCode(), QStringLiteral("en"));

    entry("de")->trigger();
    QCOMPARE(status(), QString::fromUtf8("Sprache ge\xc3\xa4ndert: German"));
    QCOMPARE(QLocale().language(), QLocale::German);
    QTRY_COMPARE(w->form()->menuMenu->title(), QStringLiteral("&Datei"));
    checkForm(true);
    QCOMPARE(w->form()->menuLanguage->title(), QStringLiteral("&Language"));

    // The choice is stored at the end.
    entry("en")->trigger();
    QVERIFY(w->close());
    QCOMPARE(QSettings("settings.ini", QSettings::IniFormat).value("Language/Language").toString(),
             QStringLiteral("en"));
}

void tst_languages::statusMessageTimesOut()
{
    make("de");
    entry("en")->trigger();
    QTest::qWait(1500);
    QCOMPARE(status(), QStringLiteral("Language changed to: English"));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString(), 1500);
}

void tst_languages::englishDeviation_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::newRow("en") << "en" << "Waiting til File flashed";
    QTest::newRow("no catalogue") << "xx" << "Waiting till File flashed";
    QTest::newRow("de") << "de" << "Warte, bis die Datei geflasht ist";
}

void tst_languages::englishDeviation()
{
    QFETCH(QString, language);
    make(language);
    w->slotCurrentAction(59);
    QTEST(status(), "text");
    // Its neighbour has no deviation.
    w->slotCurrentAction(60);
    QCOMPARE(status(), language == "de" ? QStringLiteral("Datei geflasht") : QStringLiteral("File flashed"));
}

void tst_languages::germanStatusAndBoxes()
{
    make("de");
    w->slotCurrentAction(64);
    QCOMPARE(status(), QString::fromUtf8("Receiver l\xc3\xa4uft"));
    w->slotCurrentAction(51);
    QCOMPARE(status(), QStringLiteral("starte Receiver neu"));
    w->slotCurrentAction(68);
    w->slotCurrentAction(-5);
    QCOMPARE(closer->boxes().size(), 2);
    QCOMPARE(closer->boxes()[0].title, QString::fromUtf8("COM-Port \xc3\xb6""ffnen"));
    QCOMPARE(closer->boxes()[0].text, QString::fromUtf8("COM-Port konnte nicht ge\xc3\xb6""ffnet werden"));
    QCOMPARE(closer->boxes()[1].text, QStringLiteral("Unbekannte Meldung erhalten: -5"));
    w->slotCurrentAction(41);
    QCOMPARE(status(), QStringLiteral("erledigt"));
    w->form()->actionAbout->trigger();
    QCOMPARE(closer->boxes().size(), 3);
    QCOMPARE(closer->boxes()[2].title, QStringLiteral("Velmora"));
    QVERIFY(closer->boxes()[2].text.endsWith("Datum: Oct  2 2018"));
}

// "Strg+Q" must still be Ctrl+Q, not a shortcut no key can press.
void tst_languages::shortcutsWorkInGerman()
{
    make("de");
    QCOMPARE(w->form()->actionQuit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QCOMPARE(w->form()->actionAboutQt->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F1));
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QSignalSpy about(w->form()->actionAbout, &QAction::triggered);
    QTest::keyClick(w, Qt::Key_F1);
    QTRY_COMPARE(about.count(), 1);
    QTRY_COMPARE(closer->boxes().size(), 1);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_Q, Qt::ControlModifier);
    QTRY_VERIFY(!w->isVisible());
}

// A changed system locale reloads the catalogues of the system's language
// for the moment, without touching the choice.
void tst_languages::systemLocaleChange()
{
    const QString system = systemCode();
    make("en");
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(w, &change);
    checkForm(system == "de");
    QCOMPARE(checkedCode(), QStringLiteral("en"));
    QCOMPARE(status(), QString());
    QVERIFY(w->close());
    QCOMPARE(QSettings("settings.ini", QSettings::IniFormat).value("Language/Language").toString(),
             QStringLiteral("en"));
}

void tst_languages::catalogues_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("de") << ":/languages/Velmora_de.qm";
    QTest::newRow("en") << ":/languages/Velmora_en.qm";
}

void tst_languages::catalogues()
{
    QFETCH(QString, file);
    const bool german = file.contains("_de");
    QTranslator t;
    QVERIFY(t.load(file));
    QStringList sources;
    for (const char *text : windowTexts)
        sources << QString::fromUtf8(text);
    for (const FormRow &row : formRows)
        if (*row.english && QByteArray(row.what) != "menuLanguage")
            sources << QString::fromUtf8(row.english);
    for (const QString &source : sources) {
        const QString tr = t.translate("MainWindow", source.toUtf8().constData());
        QVERIFY2(!tr.isEmpty(), qPrintable("missing: " + source));
        if (!german)
            QCOMPARE(tr, source == "Waiting till File flashed" ? QStringLiteral("Waiting til File flashed") : source);
        // German differs from the English wherever a word is translatable.
        else if (!QStringList{"Velmora", "Firmware", "F1", "F5"}.contains(source))
            QVERIFY2(tr != source, qPrintable("untranslated: " + source));
    }
    // Texts that are never looked up still live in their contexts.
    QVERIFY(!t.translate("QObject", "Channel list HD").isEmpty());
    QVERIFY(!t.translate("QObject", "Channel list SD").isEmpty());
    QVERIFY(!t.translate("QextSerialPort", "Unknown port error %1").isEmpty());
    QVERIFY(t.translate("MainWindow", "Channel list HD").isEmpty());
    if (!german)
        return;
    const char *const telling[][2] = {
        {"&Menu", "&Datei"}, {"&quit", "&beenden"}, {"&transmit", "&\xc3\xbc""bertragen"},
        {"&rerun", "&wiederholen"}, {"update &HD Firmware", "&HD Firmware aktualisieren"},
        {"send &Channellist", "Senderliste s&enden"}, {"Ctrl+Q", "Strg+Q"}, {"F5", "F5"},
        {"Channel list", "Senderliste"}, {"SettopBox running", "Receiver l\xc3\xa4uft"},
        {"Restarting PCB", "starte Receiver neu"}, {"done", "erledigt"},
        {"Language changed to: %1", "Sprache ge\xc3\xa4ndert: %1"},
        {"Received unknown message: %1", "Unbekannte Meldung erhalten: %1"},
    };
    for (const auto &row : telling)
        QCOMPARE(t.translate("MainWindow", row[0]), QString::fromUtf8(row[1]));
    QCOMPARE(t.translate("QObject", "Channel list SD"), QStringLiteral("Kanalliste SD"));
}

int main(int argc, char **argv)
{
    setArguments({});
    QApplication app(g_argc, g_argv);
    tst_languages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_languages.moc"
