// The user's commands: file dialogs, job-kind decisions, drops, the editor
// and the about boxes.
#include "cmdkit.h"
#include "modalcloser.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

using namespace cmdkit;

namespace {

const QString HD_FIRST = QStringLiteral("Channel list HD *.lis;;Channel list SD *.lst");
const QString SD_FIRST = QStringLiteral("Channel list SD *.lst;;Channel list HD *.lis");
const QString HD_ENTRY = QStringLiteral("Channel list HD *.lis");
const QString SD_ENTRY = QStringLiteral("Channel list SD *.lst");

// The sample files by short name, made in the working directory.
QString sample(const QString &name)
{
    if (name == "hd") return hdUpdate();
    if (name == "hdList") return hdList();
    if (name == "sdList") return sdList();
    if (name == "sd2") return sdFw2();
    if (name == "sd3") return sdFw3();
    if (name == "sd4") return sdFw4();
    if (name == "text") return textFile();
    if (name == "missing") return QDir::current().absoluteFilePath("missing.app");
    // An HD list signature on a file too large for a list.
    if (name == "hdListBig") return writeFile("big.lis", "00003040", 409601);
    return QDir::current().absoluteFilePath(name); // a name that is not made
}

QStringList samples(const QStringList &names)
{
    QStringList out;
    for (const QString &n : names)
        out << sample(n);
    return out;
}

} // namespace

class tst_commands : public QObject
{
    Q_OBJECT
    MainWindow *w = nullptr;
    modalCloser *closer = nullptr;
    Dialogs *dialogs = nullptr;

    // A window whose port is no serial line: a started job fails at once.
    MainWindow *make(const QStringList &args = {})
    {
        setArguments(QStringList{"-p", "/dev/null"} + args);
        w = new MainWindow;
        closer = new modalCloser(w);
        return w;
    }
    QString label() const { return w->form()->lblFilename->text(); }
    // A started job ends with the port error box; wait for the window to be idle.
    bool settle(int started)
    {
        if (started <= 0)
            return true;
        if (!QTest::qWaitFor([&] {
                for (const auto &b : closer->boxes())
                    if (b.title == QLatin1String("Opening COM-Port") || b.title == QString::fromUtf8("COM-Port öffnen"))
                        return true;
                return false;
            }, 5000))
            return false;
        return QTest::qWaitFor([&] { return !w->jobRunning() && w->form()->btnUpdate->isEnabled(); }, 5000);
    }
    // Prepares a job through the command line without starting it.
    // Several files, given as one text with line feeds, become several -f arguments.
    void prepare(const QString &keyword, const QString &file) { make(QStringList{"-t", keyword, "-f"} + file.split('\n')); }

private slots:
    void init()
    {
        QFile::remove("settings.ini");
        QFile::remove("Morvelt.exe");
        QFile::remove("editor.out");
        dialogs = new Dialogs;
        dialogs->install();
    }
    void cleanup()
    {
        delete w;
        w = nullptr;
        delete dialogs;
        dialogs = nullptr;
    }

    void updateHD_data();
    void updateHD();
    void updateSD_data();
    void updateSD();
    void sendList_data();
    void sendList();
    void getList_data();
    void getList();
    void getListGerman_data();
    void getListGerman();
    void filterFollowsLastJob_data();
    void filterFollowsLastJob();
    void updateButton_data();
    void updateButton();
    void updateButtonRepeats_data();
    void updateButtonRepeats();
    void manyFiles_data();
    void manyFiles();
    void drop_data();
    void drop();
    void editor_data();
    void editor();
    void editorHidden();
    void about();
};

void tst_commands::updateHD_data()
{
    QTest::addColumn<QString>("chosen"); // empty: cancelled
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("sent");
    QTest::newRow("HD update") << "hd" << 1 << 1;
    // The link judges the file when the job runs, not the window.
    QTest::newRow("SD image") << "sd2" << 1 << 1;
    QTest::newRow("cancelled") << "" << 5 << 0;
}

void tst_commands::updateHD()
{
    QFETCH(QString, chosen);
    QDir().mkpath("old");
    const QString before = sdList("old/before.lst");
    prepare("SendListSD", before);
    Requests req(w);
    const QString path = chosen.isEmpty() ? QString() : sample(chosen);
    dialogs->answers << Dialogs::Answer{chosen.isEmpty() ? QStringList() : QStringList{path}, {}};
    w->form()->actionUpdateHDFirmware->trigger();
    QCOMPARE(dialogs->calls.size(), 1);
    QCOMPARE(dialogs->calls[0].kind, QStringLiteral("open"));
    QCOMPARE(dialogs->calls[0].title, QStringLiteral("Update file"));
    QCOMPARE(dialogs->calls[0].filter, QStringLiteral("HD-Firmware file *.app;;All Files *.*"));
    QCOMPARE(dialogs->calls[0].dir, QDir::current().absoluteFilePath("old"));
    QTEST(int(w->transfer()), "kind");
    QCOMPARE(label(), chosen.isEmpty() ? before : path);
    QTEST(req.sent(), "sent");
    QVERIFY(settle(req.sent()));
}

void tst_commands::updateSD_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("sent");
    QTest::newRow("one image") << QStringList{"sd2"} << QStringList{"sd2"} << 4 << 4;
    QTest::newRow("image and text") << QStringList{"sd3", "text"} << QStringList{"sd3"} << 4 << 4;
    QTest::newRow("three kinds in order") << QStringList{"sd4", "sd2", "sd3"} << QStringList{"sd4", "sd2", "sd3"} << 4 << 4;
    // Lists and HD files are no SD images.
    QTest::newRow("lists and HD") << QStringList{"sdList", "hd", "sd2", "hdList"} << QStringList{"sd2"} << 4 << 4;
    QTest::newRow("nothing usable") << QStringList{"text", "hd"} << QStringList{""} << 4 << 0;
    QTest::newRow("cancelled") << QStringList() << QStringList{"prior"} << 2 << 0;
}

void tst_commands::updateSD()
{
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, kept);
    QDir().mkpath("first");
    QDir().mkpath("second");
    const QString prior = hdList("first/prior.lis") + "\n" + hdList("second/other.lis");
    prepare("SendListHD", prior);
    // -f joins two files: the dialog starts in the directory of the first.
    QCOMPARE(label(), prior);
    Requests req(w);
    dialogs->answers << Dialogs::Answer{samples(chosen), {}};
    w->form()->actionUpdateSDFirmware->trigger();
    QCOMPARE(dialogs->calls.size(), 1);
    QCOMPARE(dialogs->calls[0].kind, QStringLiteral("opens"));
    QCOMPARE(dialogs->calls[0].title, QStringLiteral("Update file"));
    QCOMPARE(dialogs->calls[0].filter, QStringLiteral("SD-Firmware file *.app;;All Files *.*"));
    QCOMPARE(dialogs->calls[0].dir, QDir::current().absoluteFilePath("first"));
    QTEST(int(w->transfer()), "kind");
    if (kept == QStringList{"prior"})
        QCOMPARE(label(), prior);
    else if (kept == QStringList{""})
        QCOMPARE(label(), QString());
    else
        QCOMPARE(label(), samples(kept).join('\n'));
    QTEST(req.sent(), "sent");
    if (req.sent())
        QCOMPARE(w->linkSD().currentFilename(), label());
    QCOMPARE(closer->boxes().size(), 0); // nothing is said about dropped files
    QVERIFY(settle(req.sent()));
}

void tst_commands::sendList_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("sent");
    QTest::addColumn<bool>("refused");
    QTest::newRow("HD list") << "hdList" << 2 << 2 << false;
    QTest::newRow("SD list") << "sdList" << 5 << 5 << false;
    QTest::newRow("HD update") << "hd" << 6 << 0 << true;
    QTest::newRow("SD image") << "sd2" << 6 << 0 << true;
    QTest::newRow("oversized HD list") << "hdListBig" << 6 << 0 << true;
    QTest::newRow("vanished file") << "missing" << 6 << 0 << true;
    QTest::newRow("cancelled") << "" << 6 << 0 << false;
}

void tst_commands::sendList()
{
    QFETCH(QString, chosen);
    QFETCH(bool, refused);
    const QString before = QDir::current().absoluteFilePath("keep.lst");
    prepare("GetListSD", before);
    Requests req(w);
    const QString path = chosen.isEmpty() ? QString() : sample(chosen);
    dialogs->answers << Dialogs::Answer{chosen.isEmpty() ? QStringList() : QStringList{path}, {}};
    w->form()->actionSendChannellist->trigger();
    QCOMPARE(dialogs->calls.size(), 1);
    QCOMPARE(dialogs->calls[0].title, QStringLiteral("Channel list"));
    QCOMPARE(dialogs->calls[0].filter, SD_FIRST);
    QCOMPARE(dialogs->calls[0].dir, QDir::currentPath());
    QTEST(int(w->transfer()), "kind");
    QTEST(req.sent(), "sent");
    QCOMPARE(label(), (refused || chosen.isEmpty()) ? before : path);
    if (refused) {
        QCOMPARE(closer->boxes().size(), 1);
        QCOMPARE(closer->boxes()[0].title, QStringLiteral("Channel list"));
        QCOMPARE(closer->boxes()[0].text, QStringLiteral("No Channel list detected!"));
        QCOMPARE(closer->boxes()[0].icon, QMessageBox::Critical);
        QCOMPARE(closer->boxes()[0].buttons, int(QMessageBox::Ok));
    }
    QVERIFY(settle(req.sent()));
}

void tst_commands::getList_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("kind"); // 0: refused
    QTest::newRow(".lis") << "box.lis" << SD_ENTRY << 3;
    QTest::newRow(".LIS") << "BOX.LIS" << "" << 3;
    QTest::newRow(".lst") << "box.lst" << SD_ENTRY << 6;
    // The HD test comes first: the HD entry wins over a .lst name.
    QTest::newRow(".lst, HD entry") << "box.lst" << HD_ENTRY << 3;
    QTest::newRow(".Lst") << "box.Lst" << "" << 6;
    QTest::newRow("no ending, HD entry") << "box" << HD_ENTRY << 3;
    QTest::newRow("no ending, SD entry") << "box" << SD_ENTRY << 6;
    QTest::newRow("other ending, HD entry") << "box.txt" << HD_ENTRY << 3;
    // Neither ending and no filter: the family would be a guess.
    QTest::newRow("no ending, no filter") << "box" << "" << 0;
    QTest::newRow("no ending, foreign filter") << "box" << "All Files (*)" << 0;
    QTest::newRow(".lis in the middle") << "box.lis.bak" << "" << 0;
}

void tst_commands::getList()
{
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(int, kind);
    QDir().mkpath("lists");
    prepare("UpdateSD", QDir::current().absoluteFilePath("lists/a.app") + "\n/elsewhere/b.app");
    Requests req(w);
    const QString path = QDir::current().absoluteFilePath(name);
    dialogs->answers << Dialogs::Answer{{path}, filter};
    w->form()->actionGetChannellist->trigger();
    QCOMPARE(dialogs->calls.size(), 1);
    QCOMPARE(dialogs->calls[0].kind, QStringLiteral("save"));
    QCOMPARE(dialogs->calls[0].title, QStringLiteral("Channel list"));
    QCOMPARE(dialogs->calls[0].dir, QDir::current().absoluteFilePath("lists"));
    if (kind == 0) {
        QCOMPARE(int(w->transfer()), 4);
        QCOMPARE(req.sent(), 0);
        QCOMPARE(closer->boxes().size(), 1);
        QCOMPARE(closer->boxes()[0].icon, QMessageBox::Critical);
        QCOMPARE(closer->boxes()[0].title, QStringLiteral("Channel list"));
        QVERIFY(closer->boxes()[0].text.contains(".lis"));
        QCOMPARE(label(), QDir::current().absoluteFilePath("lists/a.app") + "\n/elsewhere/b.app");
        QVERIFY(w->linkSD().currentFilename().isEmpty());
        return;
    }
    QCOMPARE(int(w->transfer()), kind);
    QCOMPARE(label(), path);
    QCOMPARE(req.sent(), kind);
    QCOMPARE(kind == 3 ? w->linkHD().currentFilename() : w->linkSD().currentFilename(), path);
    QVERIFY(settle(kind));
}

// The filter entries stay English in every interface language, so the chosen
// entry decides there too.
void tst_commands::getListGerman_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::newRow("de") << "de" << QString::fromUtf8("Senderliste");
    QTest::newRow("en") << "en" << "Channel list";
}

void tst_commands::getListGerman()
{
    QFETCH(QString, language);
    {
        QSettings s("settings.ini", QSettings::IniFormat);
        s.setValue("Language/Language", language);
    }
    make();
    Requests req(w);
    for (const QString &entry : {HD_ENTRY, SD_ENTRY})
        dialogs->answers << Dialogs::Answer{{QDir::current().absoluteFilePath("noending")}, entry};
    w->form()->actionGetChannellist->trigger();
    QVERIFY(settle(3));
    QCOMPARE(int(w->transfer()), 3);
    closer->clear();
    w->form()->actionGetChannellist->trigger();
    QCOMPARE(int(w->transfer()), 6);
    QCOMPARE(dialogs->calls.size(), 2);
    QTEST(dialogs->calls[0].title, "title");
    QCOMPARE(dialogs->calls[0].filter, SD_FIRST);
    QCOMPARE(dialogs->calls[1].filter, HD_FIRST);
    QVERIFY(settle(6));
}

void tst_commands::filterFollowsLastJob_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("kind");
    QTest::newRow("none") << "" << SD_FIRST << 0;
    QTest::newRow("UpdateHD") << "UpdateHD" << HD_FIRST << 1;
    QTest::newRow("SendListHD") << "SendListHD" << HD_FIRST << 2;
    QTest::newRow("GetListHD") << "GetListHD" << HD_FIRST << 3;
    QTest::newRow("UpdateSD") << "UpdateSD" << SD_FIRST << 4;
    QTest::newRow("SendListSD") << "SendListSD" << SD_FIRST << 5;
    QTest::newRow("GetListSD") << "GetListSD" << SD_FIRST << 6;
}

void tst_commands::filterFollowsLastJob()
{
    QFETCH(QString, keyword);
    QFETCH(QString, filter);
    make(keyword.isEmpty() ? QStringList() : QStringList{"-t", keyword});
    w->form()->actionGetChannellist->trigger(); // cancelled
    w->form()->actionSendChannellist->trigger(); // cancelled
    QCOMPARE(dialogs->calls.size(), 2);
    QCOMPARE(dialogs->calls[0].filter, filter);
    QCOMPARE(dialogs->calls[1].filter, filter);
    // Cancelled dialogs change nothing.
    QTEST(int(w->transfer()), "kind");
}

void tst_commands::updateButton_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("label");
    QTest::newRow("HD update") << QStringList{"hd"} << 1 << QStringList{"hd"};
    QTest::newRow("HD list") << QStringList{"hdList"} << 2 << QStringList{"hdList"};
    QTest::newRow("SD image") << QStringList{"sd4"} << 4 << QStringList{"sd4"};
    QTest::newRow("SD list") << QStringList{"sdList"} << 5 << QStringList{"sdList"};
    QTest::newRow("text") << QStringList{"text"} << 0 << QStringList();
    QTest::newRow("three SD images") << QStringList{"sd2", "sd3", "sd4"} << 4 << QStringList{"sd2", "sd3", "sd4"};
    // Several files are asked of the SD link only.
    QTest::newRow("two HD files") << QStringList{"hd", "hdList"} << 0 << QStringList();
    QTest::newRow("image then list") << QStringList{"sd2", "sdList"} << 5 << QStringList{"sdList"};
    // A list forgets the images before it; images after it win.
    QTest::newRow("image, list, image") << QStringList{"sd2", "sdList", "sd3"} << 4 << QStringList{"sd3"};
    QTest::newRow("images among others") << QStringList{"text", "sd2", "hd", "sd3"} << 4 << QStringList{"sd2", "sd3"};
    QTest::newRow("cancelled") << QStringList() << 0 << QStringList();
}

void tst_commands::updateButton()
{
    QFETCH(QStringList, chosen);
    QFETCH(int, kind);
    QFETCH(QStringList, label);
    make();
    Requests req(w);
    dialogs->answers << Dialogs::Answer{samples(chosen), {}};
    QTest::mouseClick(w->form()->btnUpdate, Qt::LeftButton);
    QCOMPARE(dialogs->calls.size(), 1);
    QCOMPARE(dialogs->calls[0].kind, QStringLiteral("opens"));
    QCOMPARE(dialogs->calls[0].title, QStringLiteral("Update file"));
    QCOMPARE(dialogs->calls[0].filter,
             QStringLiteral("HD-Firmware file *.app;;SD-Firmware file *.app;;All Files *.*"));
    QCOMPARE(dialogs->calls[0].dir, QDir::currentPath());
    QCOMPARE(int(w->transfer()), kind);
    QCOMPARE(this->label(), samples(label).join('\n'));
    QCOMPARE(req.sent(), kind);
    QVERIFY(settle(kind));
}

void tst_commands::updateButtonRepeats_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("sent");
    QTest::newRow("prepared HD update") << "UpdateHD" << 1;
    QTest::newRow("prepared SD list") << "SendListSD" << 5;
    // A file without a job kind: the button does nothing, asks nothing.
    QTest::newRow("file, no kind") << "nokind" << 0;
}

void tst_commands::updateButtonRepeats()
{
    QFETCH(QString, keyword);
    QFETCH(int, sent);
    prepare(keyword, "prepared.file");
    Requests req(w);
    QTest::mouseClick(w->form()->btnUpdate, Qt::LeftButton);
    QCOMPARE(dialogs->calls.size(), 0);
    QCOMPARE(req.sent(), sent);
    QVERIFY(settle(sent));
    if (!sent)
        return;
    // Once more after the job ended: the same job again.
    QTest::mouseClick(w->form()->btnUpdate, Qt::LeftButton);
    QCOMPARE(req.spies[sent - 1]->count(), 2);
    QCOMPARE(label(), QStringLiteral("prepared.file"));
    closer->clear();
    QVERIFY(settle(sent));
}

// Far more files than an 8-bit counter holds: none is lost or repeated.
void tst_commands::manyFiles_data()
{
    QTest::addColumn<bool>("button");
    QTest::newRow("SD update") << false;
    QTest::newRow("Update button") << true;
}

void tst_commands::manyFiles()
{
    QFETCH(bool, button);
    QDir().mkpath("many");
    QStringList files;
    for (int i = 0; i < 300; ++i)
        files << sdFw2(QStringLiteral("many/%1.app").arg(i, 3, 10, QLatin1Char('0')));
    files.insert(256, textFile("many/text.txt")); // just past a wrap
    make();
    Requests req(w);
    dialogs->answers << Dialogs::Answer{files, {}};
    if (button)
        QTest::mouseClick(w->form()->btnUpdate, Qt::LeftButton);
    else
        w->form()->actionUpdateSDFirmware->trigger();
    files.removeAt(256);
    QCOMPARE(int(w->transfer()), 4);
    QCOMPARE(label().split('\n').size(), 300);
    QCOMPARE(label(), files.join('\n'));
    QCOMPARE(req.sent(), 4);
    QVERIFY(settle(4));
}

void tst_commands::drop_data()
{
    QTest::addColumn<QString>("before"); // job kind keyword prepared first
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("label");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("HD update") << "" << QStringList{"hd"} << 1 << QStringList{"hd"} << true;
    QTest::newRow("HD list") << "" << QStringList{"hdList"} << 2 << QStringList{"hdList"} << true;
    QTest::newRow("SD list") << "" << QStringList{"sdList"} << 5 << QStringList{"sdList"} << true;
    QTest::newRow("SD image then HD list") << "" << QStringList{"sd2", "hdList"} << 2 << QStringList{"hdList"} << true;
    QTest::newRow("HD list then SD image") << "" << QStringList{"hdList", "sd2"} << 2 << QStringList{"hdList"} << true;
    QTest::newRow("SD images then SD list") << "" << QStringList{"sd2", "sd3", "sdList"} << 5 << QStringList{"sdList"} << true;
    QTest::newRow("SD images") << "" << QStringList{"sd3", "text", "sd4"} << 4 << QStringList{"sd3", "sd4"} << true;
    QTest::newRow("SD image then text") << "" << QStringList{"sd2", "text"} << 4 << QStringList{"sd2"} << true;
    QTest::newRow("unknown after SD update") << "UpdateSD" << QStringList{"text"} << 4 << QStringList{"text"} << true;
    QTest::newRow("unknown files") << "GetListHD" << QStringList{"text", "missing"} << 3 << QStringList{"missing"} << true;
    QTest::newRow("no URLs") << "SendListHD" << QStringList() << 2 << QStringList{"prior"} << false;
    // A name with a line feed spoils the whole drop; a box says why.
    QTest::newRow("name with LF") << "GetListSD" << QStringList{"sd2", "keep\nnew.lst"} << 6 << QStringList{"prior"} << false;
}

void tst_commands::drop()
{
    QFETCH(QString, before);
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, label);
    const QString prior = QDir::current().absoluteFilePath("prior");
    make(before.isEmpty() ? QStringList() : QStringList{"-t", before, "-f", prior});
    Requests req(w);
    const bool rerunBefore = w->form()->actionRerun->isEnabled();
    QVERIFY(!rerunBefore);

    QList<QUrl> urls;
    for (const QString &p : samples(dropped))
        urls << QUrl::fromLocalFile(p);
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QVERIFY(enter.isAccepted() || urls.isEmpty());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);

    QTEST(int(w->transfer()), "kind");
    QCOMPARE(this->label(), label == QStringList{"prior"} ? prior : samples(label).join('\n'));
    QTEST(drop.isAccepted(), "accepted");
    QCOMPARE(w->form()->actionRerun->isEnabled(), drop.isAccepted());
    // A drop only prepares.
    QTest::qWait(20);
    QCOMPARE(req.sent(), 0);
    if (!drop.isAccepted() && !urls.isEmpty()) {
        QTRY_COMPARE(closer->boxes().size(), 1);
        QCOMPARE(closer->boxes()[0].title, QStringLiteral("Opening File"));
    } else {
        QCOMPARE(closer->boxes().size(), 0);
    }
    QVERIFY(!w->jobRunning());
}

void tst_commands::editor_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<QString>("chosen"); // empty: cancelled
    QTest::addColumn<QString>("opened"); // empty: no editor
    QTest::newRow("HD list prepared") << "SendListHD" << false << "" << "label";
    QTest::newRow("SD download prepared") << "GetListSD" << false << "" << "label";
    QTest::newRow("HD download prepared") << "GetListHD" << false << "" << "label";
    QTest::newRow("SD list prepared") << "SendListSD" << false << "" << "label";
    // An update file in the label is no list: ask for one.
    QTest::newRow("update prepared") << "UpdateHD" << true << "chosen" << "chosen";
    QTest::newRow("no job") << "" << true << "chosen" << "chosen";
    QTest::newRow("cancelled") << "UpdateSD" << true << "" << "";
}

void tst_commands::editor()
{
    QFETCH(QString, keyword);
    QFETCH(bool, asks);
    QFETCH(QString, chosen);
    QFETCH(QString, opened);
    // The editor lies in the working directory, which the program search
    // does not look at; it records the list it was given.
    {
        QFile exe("Morvelt.exe");
        QVERIFY(exe.open(QIODevice::WriteOnly));
        exe.write("#!/bin/sh\nprintf '%s' \"$*\" > editor.out\n");
        exe.setPermissions(exe.permissions() | QFileDevice::ExeOwner);
    }
    const QString inLabel = hdList("in label.lis");
    const QString picked = sdList("picked.lst");
    make(keyword.isEmpty() ? QStringList{"-f", inLabel} : QStringList{"-t", keyword, "-f", inLabel});
    QVERIFY(w->form()->actionEditChannellist->isVisible());
    if (!chosen.isEmpty() || asks)
        dialogs->answers << Dialogs::Answer{chosen.isEmpty() ? QStringList() : QStringList{picked}, {}};
    w->form()->actionEditChannellist->trigger();
    QCOMPARE(dialogs->calls.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(dialogs->calls[0].title, QStringLiteral("Channel list"));
        QCOMPARE(dialogs->calls[0].filter, HD_FIRST);
        QCOMPARE(dialogs->calls[0].dir, QDir::currentPath());
    }
    if (opened.isEmpty()) {
        QTest::qWait(300);
        QVERIFY(!QFile::exists("editor.out"));
    } else {
        const auto written = [] {
            QFile out("editor.out");
            return out.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(out.readAll()) : QString();
        };
        QTRY_COMPARE(written(), opened == "label" ? inLabel : picked);
    }
    // The editor changes no job.
    QCOMPARE(label(), inLabel);
}

void tst_commands::editorHidden()
{
    make();
    QVERIFY(!w->form()->actionEditChannellist->isVisible());
}

void tst_commands::about()
{
    make();
    w->form()->actionAbout->trigger();
    w->form()->actionAboutQt->trigger();
    QCOMPARE(closer->boxes().size(), 2);
    QCOMPARE(closer->boxes()[0].title, QStringLiteral("Velmora"));
    const QStringList lines = closer->boxes()[0].text.split('\n');
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines.mid(0, 3), QStringList({"With this program you can update your Settopbox",
                                           "and copy the Channel list from and to your PC.",
                                           "all you need a cable from RS232 to RJ11"}));
    QCOMPARE(lines[3], QString());
    QVERIFY(QRegularExpression("^This software uses the Qt-Framework \\(https?://\\S+\\)$").match(lines[4]).hasMatch());
    QVERIFY(QRegularExpression("^and QextSerialPort \\(https?://\\S+\\)$").match(lines[5]).hasMatch());
    QCOMPARE(lines[6], QString());
    QCOMPARE(lines[7], QStringLiteral("Version: 3.0"));
    QCOMPARE(lines[8], QStringLiteral("Date: Oct  2 2018"));
    QCOMPARE(closer->boxes()[1].title, QStringLiteral("Velmora"));
}

int main(int argc, char **argv)
{
    setArguments({});
    QApplication app(g_argc, g_argv);
    tst_commands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_commands.moc"
