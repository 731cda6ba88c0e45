#pragma once

#include "jobkind.h"
#include "jobrunner.h"
#include "statustable.h"

#include <QDateTime>
#include <QMainWindow>
#include <QString>
#include <QTranslator>

#include <functional>

class QAction;
class QMessageBox;
class commandLine;
class QActionGroup;
class benchWindow;
class boxInfoDialog;
class waitCountdown;
class Ui_MainWindow;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // `line`: the program's parsed command line, which may prepare a job
    // and start it at once.
    explicit MainWindow(const commandLine &line, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The first of the icon files in the working directory, or empty.
    static QString windowIconFile();

    // Read-only views for test programs.
    jobKind::Kind transfer() const { return m_transfer; }
    const jobRunner &jobs() const { return m_jobs; }
    bool jobRunning() const { return m_busy; }
    // The result shown now (of the last job), for test programs.
    const jobResult &lastResult() const { return m_result; }
    Ui_MainWindow *form() const { return ui; }
    // The bench of boxes, once opened; null before.
    benchWindow *bench() const { return m_bench; }

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
    void on_actionBoxInfo_triggered();
    void on_actionOpenRecords_triggered();
    void on_btnStop_clicked();
    void on_actionBench_triggered();
    void slotStartAction();
    void on_actionEditChannellist_triggered();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void readSettings();
    void writeSettings();
    bool readCommandLine(const commandLine &line);
    void refuseFileNames(const QStringList &names);
    bool refuseNodes(const jobRequest &request);
    void createLanguageMenu();
    void loadLanguage(const QString &code);
    void setJobControls(bool enabled);
    // Where a running job stands, as far as a stop matters to the box.
    enum class Stage { Idle, Preparing, Sending, Working };
    void setStage(Stage stage);
    QString stopQuestion(Stage stage) const;
    // Whether to break off a running transfer; the user decides, unless a
    // close from outside has decided already. Passed: the moment went first.
    enum class Answer { Yes, No, Passed };
    Answer ask(const QString &question, const std::function<bool()> &stands);
    void jobFinished(const jobResult &result);
    // Appends the job's record beside the log; a records file that cannot
    // be written is said in the result panel, and the job goes on.
    void recordJob(const jobResult &result);
    void sayRecordsProblem(const QString &path, const QString &reason);
    void tellOwnLog();
    // The window's side of a job's start and end codes.
    void jobStarted(bool boxInfo);
    void jobEnded(const statusTable::Entry &row);
    // Shows a job's result below the progress bar; a result of no job clears it.
    void showResult(const jobResult &result);
    QString labelFirstLine() const;
    // Empty entries stand for files that were fine.
    void logProblems(const QStringList &problems);
    QString startDir(const QString &path) const;

    Ui_MainWindow *ui;
    jobRunner m_jobs;
    jobKind::Kind m_transfer = jobKind::None;
    QTranslator m_translator;
    QTranslator m_translatorQt;
    QString m_currLang;
    bool m_busy = false;
    Stage m_stage = Stage::Idle;
    int m_progressAtEnd = 0;  // the progress when the job ended
    bool m_errorSeen = false; // the running job reported an error
    bool m_stopAsked = false; // and Stop was pressed for it
    QMessageBox *m_question = nullptr;   // the question open now
    std::function<bool()> m_questionStands;
    bool m_questionPassed = false;
    int m_jobCount = 0;       // jobs started: tells a job from the next
    waitCountdown *m_countdown = nullptr;
    jobResult m_result;       // shown until the next job starts
    QDateTime m_jobStart;     // for the job's record
    bool m_closeWithoutAsking = false;
    boxInfoDialog *m_boxInfo = nullptr;
    benchWindow *m_bench = nullptr;
};
