// The window's form: object names, texts, shortcuts, icons, menus, tool bar,
// grid and the images of the resource bundle.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QGridLayout>
#include <QImage>
#include <QMenuBar>
#include <QtTest>

class tst_form : public QObject
{
    Q_OBJECT
    MainWindow *w = nullptr;
    Ui_MainWindow *ui = nullptr;

private slots:
    void init()
    {
        QFile::remove(QStringLiteral("settings.ini"));
        w = new MainWindow;
        ui = w->form();
        // The source texts, whatever the machine's language is.
        w->slotLanguageChanged(englishEntry());
    }
    void cleanup()
    {
        delete w;
        w = nullptr;
    }

    void actions_data();
    void actions();
    void menusAndToolBar();
    void grid_data();
    void grid();
    void fixedTexts();
    void images_data();
    void images();
    void catalogues_data();
    void catalogues();

private:
    QAction *englishEntry() const
    {
        for (QAction *a : w->form()->menuLanguage->actions())
            if (a->data().toString() == QLatin1String("en"))
                return a;
        return nullptr;
    }
};

void tst_form::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("hasIcon");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("hd") << "actionUpdateHDFirmware" << "update &HD Firmware" << "Ctrl+2" << true << true;
    QTest::newRow("sd") << "actionUpdateSDFirmware" << "update &SD Firmware" << "Ctrl+1" << true << true;
    QTest::newRow("rerun") << "actionRerun" << "&rerun" << "F5" << true << false;
    QTest::newRow("get") << "actionGetChannellist" << "&get Channellist" << "Ctrl+G" << true << true;
    QTest::newRow("send") << "actionSendChannellist" << "send &Channellist" << "Ctrl+S" << true << true;
    QTest::newRow("edit") << "actionEditChannellist" << "&edit Channellist" << "" << false << true;
    QTest::newRow("quit") << "actionQuit" << "&quit" << "Ctrl+Q" << false << true;
    QTest::newRow("about") << "actionAbout" << "&About" << "F1" << false << true;
    QTest::newRow("aboutqt") << "actionAboutQt" << "About &Qt" << "Ctrl+F1" << false << true;
    QTest::newRow("sw") << "actionGetSoftwareversion" << "Get Softwareversion" << "" << false << true;
    QTest::newRow("lp") << "actionGetLowpowerversion" << "Get Lowpowerversion" << "" << false << true;
    QTest::newRow("mac") << "actionGetMACAddress" << "Get MAC-Address" << "" << false << true;
    QTest::newRow("reset") << "actionInitializeFactoryReset" << "Initialize Factory Reset" << "" << false << true;
}

void tst_form::actions()
{
    QFETCH(QString, name);
    auto *action = w->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->parent(), w);
    QTEST(action->text(), "text");
    QTEST(action->shortcut().toString(QKeySequence::PortableText), "shortcut");
    QTEST(!action->icon().isNull(), "hasIcon");
    // Qt reports a hidden action as disabled; the edit action is hidden here.
    QFETCH(bool, enabled);
    QCOMPARE(action->isEnabled(), enabled && action->isVisible());
    QVERIFY(!action->isCheckable());
}

static QStringList names(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("|") : a->menu() ? a->menu()->objectName() : a->objectName());
    return out;
}

void tst_form::menusAndToolBar()
{
    QCOMPARE(names(ui->menuBar->actions()),
             QStringList({"menuMenu", "menuLanguage", "menuHelp", "menuInternal"}));
    QCOMPARE(names(ui->menuMenu->actions()),
             QStringList({"actionUpdateHDFirmware", "actionUpdateSDFirmware", "|", "actionRerun", "|",
                          "actionGetChannellist", "actionSendChannellist", "actionEditChannellist", "|",
                          "actionQuit"}));
    QCOMPARE(names(ui->menuHelp->actions()), QStringList({"actionAbout", "actionAboutQt"}));
    QCOMPARE(names(ui->menuInternal->actions()),
             QStringList({"actionGetSoftwareversion", "actionGetLowpowerversion", "actionGetMACAddress",
                          "actionInitializeFactoryReset"}));
    QCOMPARE(names(ui->toolBar->actions()),
             QStringList({"actionUpdateHDFirmware", "actionUpdateSDFirmware", "|", "actionRerun", "|",
                          "actionGetChannellist", "actionSendChannellist"}));
    QCOMPARE(w->toolBarArea(ui->toolBar), Qt::TopToolBarArea);
    // The Internal menu has no title, and its actions are wired to nothing.
    QCOMPARE(ui->menuInternal->title(), QString());
    QSignalSpy sw(&w->jobs(), &jobRunner::sigGetSoftwareVersion);
    ui->actionGetSoftwareversion->trigger();
    ui->actionInitializeFactoryReset->trigger();
    QCOMPARE(sw.count(), 0);
    QCOMPARE(ui->menuLanguage->title(), QStringLiteral("&Language"));
    // No editor program in the working directory: its action stays hidden.
    QVERIFY(!ui->actionEditChannellist->isVisible());
}

void tst_form::grid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("columnSpan");
    QTest::addColumn<int>("hPolicy");
    QTest::addColumn<int>("vPolicy");
    QTest::newRow("ports") << "comboPorts" << 0 << 0 << 1 << int(QSizePolicy::Preferred) << int(QSizePolicy::Preferred);
    QTest::newRow("update") << "btnUpdate" << 0 << 1 << 1 << int(QSizePolicy::Minimum) << int(QSizePolicy::Minimum);
    QTest::newRow("quit") << "btnQuit" << 0 << 2 << 1 << int(QSizePolicy::Minimum) << int(QSizePolicy::Minimum);
    QTest::newRow("progress") << "progBar" << 2 << 0 << 3 << int(QSizePolicy::Expanding) << int(QSizePolicy::Preferred);
}

void tst_form::grid()
{
    QFETCH(QString, name);
    auto *widget = w->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), ui->centralWidget);
    int row, column, rowSpan, columnSpan;
    ui->gridLayout->getItemPosition(ui->gridLayout->indexOf(widget), &row, &column, &rowSpan, &columnSpan);
    QTEST(row, "row");
    QTEST(column, "column");
    QCOMPARE(rowSpan, 1);
    QTEST(columnSpan, "columnSpan");
    QTEST(int(widget->sizePolicy().horizontalPolicy()), "hPolicy");
    QTEST(int(widget->sizePolicy().verticalPolicy()), "vPolicy");
}

void tst_form::fixedTexts()
{
    QCOMPARE(w->windowTitle(), QStringLiteral("Velmora"));
    QCOMPARE(ui->btnQuit->text(), QStringLiteral("&quit"));
    QCOMPARE(ui->btnUpdate->text(), QStringLiteral("&transmit"));
    QCOMPARE(ui->menuMenu->title(), QStringLiteral("&Menu"));
    QCOMPARE(ui->menuHelp->title(), QStringLiteral("&Help"));
    QCOMPARE(ui->toolBar->windowTitle(), QStringLiteral("toolBar"));
    QCOMPARE(ui->lblFilename->text(), QString());
    QCOMPARE(ui->progBar->value(), 0);
    QCOMPARE(ui->progBar->minimumSize(), QSize(0, 21));
    QCOMPARE(ui->gridLayout->spacing(), 6);
    QCOMPARE(ui->gridLayout->contentsMargins(), QMargins(11, 11, 11, 11));
    // Row 1 of the grid is empty: the bar sits right under the controls.
    for (int c = 0; c < 3; ++c)
        QVERIFY(!ui->gridLayout->itemAtPosition(1, c));
    QCOMPARE(ui->gridLayout->itemAtPosition(3, 0)->widget(), ui->lblFilename);
    QVERIFY(w->acceptDrops());
}

void tst_form::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("program") << ":/images/program.png" << QSize(32, 32);
    QTest::newRow("HD") << ":/images/HD" << QSize(68, 71);
    QTest::newRow("SD") << ":/images/SD" << QSize(64, 72);
    QTest::newRow("RE") << ":/images/RE" << QSize(80, 71);
    QTest::newRow("Down") << ":/images/Down" << QSize(75, 71);
    QTest::newRow("UP") << ":/images/UP" << QSize(75, 71);
}

void tst_form::images()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8));
    QImage image(path, "PNG");
    QTEST(image.size(), "size");
    QVERIFY(image.hasAlphaChannel());
}

void tst_form::catalogues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("loadable"); // Qt's German one only refers to module catalogues
    QTest::addColumn<bool>("empty");
    QTest::newRow("de") << "Velmora_de.qm" << true << false;
    QTest::newRow("en") << "Velmora_en.qm" << true << false;
    QTest::newRow("qt_de") << "qt_de.qm" << false << false;
    QTest::newRow("qt_en") << "qt_en.qm" << true << true;
}

void tst_form::catalogues()
{
    QFETCH(QString, name);
    QFETCH(bool, loadable);
    QFile file(QStringLiteral(":/languages/") + name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(16).toHex(), QByteArray("3cb86418caef9c95cd211cbf60a1bddd"));
    if (!loadable)
        return;
    QTranslator translator;
    QVERIFY(translator.load(name, QStringLiteral(":/languages")));
    QTEST(translator.isEmpty(), "empty");
}

QTEST_MAIN(tst_form)
#include "tst_form.moc"
