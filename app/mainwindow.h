#pragma once

#include "logfile.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"

#include <QList>
#include <QMainWindow>
#include <QSerialPortInfo>
#include <QString>
#include <QThread>
#include <QTranslator>

class QAction;
class QActionGroup;
class Ui_MainWindow;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The first of the icon files in the working directory, or empty.
    static QString windowIconFile();

    // Read-only views for test programs.
    quint8 transfer() const { return m_transfer; }
    const serialComKarn &linkSD() const { return m_serialSD; }
    const serialComVesk &linkHD() const { return m_serialHD; }
    bool jobRunning() const { return m_busy; }
    Ui_MainWindow *form() const { return ui; }

signals:
    void sigDownloadCHListHD();
    void sigUploadCHListHD();
    void sigUpdateFirmwareHD();
    void sigDownloadCHListSD();
    void sigUploadCHListSD();
    void sigUpdateFirmwareSD();
    void sigGetSoftwareVersion();
    void sigGetLowpowerVersion();
    void sigGetMACAddress();
    void sigInitFacReset();
    void sigwriteLog(QString text);

public slots:
    void slotCurrentAction(int action);
    // A close from outside (a signal): like the user's close, but a running
    // job is stopped without a question and open message boxes are dismissed.
    void closeWithoutAsking();
    void slotLanguageChanged(QAction *action);

private slots:
    void on_comboPorts_currentIndexChanged(int index);
    void on_actionGetChannellist_triggered();
    void on_actionSendChannellist_triggered();
    void on_actionUpdateSDFirmware_triggered();
    void on_actionUpdateHDFirmware_triggered();
    void on_btnUpdate_clicked();
    void on_actionAbout_triggered();
    void on_actionAboutQt_triggered();
    void slotStartAction();
    void on_actionEditChannellist_triggered();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Marks a port entry whose device is not there.
    static constexpr int missingPortRole = Qt::UserRole + 1;

    void updatePortList();
    void selectPort(const QString &name);
    void retranslatePorts();
    void readSettings();
    void writeSettings();
    bool readCommandLine();
    int readFileRun(const QStringList &args, int first);
    bool refuseFileName(const QString &name);
    void createLanguageMenu();
    void loadLanguage(const QString &code);
    void setJobControls(bool enabled);
    void shutDown();
    QString labelFirstLine() const;
    QString startDir(const QString &path) const;

    Ui_MainWindow *ui;
    serialComKarn m_serialSD;
    QThread m_threadSD;
    serialComVesk m_serialHD;
    QThread m_threadHD;
    quint8 m_transfer = 0;
    QTranslator m_translator;
    QTranslator m_translatorQt;
    QString m_langPath;
    QString m_currLang;
    logfile m_logfile;
    QThread m_threadLog;
    bool m_busy = false;
    bool m_shutDown = false;
    bool m_closeWithoutAsking = false;
    bool m_refusedName = false;
};
