#pragma once

#include "boxquestions.h"
#include "boxwatch.h"
#include "jobresult.h"
#include "jobrunner.h"
#include "portcheck.h"
#include "recordsfile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QTranslator>

#include <memory>
#include <vector>

class commandLine;

// A job, service query or factory reset run from the command line without a
// window or settings, on one port or on several at once (one job runner per
// port): the window's status texts, each failure's cause and remedy and a
// progress display go to standard error, a query's answer to standard
// output, and the worst outcome of all ports becomes the exit code. Each
// port's steps are logged to its own velmora-<port>.log, or all to the file
// --log names, appended to; with --record one record per job and port goes
// to a records file. With --loop each port, once its job has ended, waits
// for the next box and runs the job on it, until a close signal.
class batchJob : public QObject
{
    Q_OBJECT
public:
    // Numbered so that a higher code is the worse outcome: a run over
    // several ports exits with the highest code of its ports.
    enum ExitCode {
        Done = jobResult::ExitDone,
        Usage = jobResult::ExitUsage,
        PortFailed = jobResult::ExitPort,
        FileProblem = jobResult::ExitFile,
        BoxFailed = jobResult::ExitBox,
        Interrupted = jobResult::ExitStopped
    };

    // `line`: the program's parsed command line.
    explicit batchJob(const commandLine &line, QObject *parent = nullptr);
    ~batchJob() override;
    batchJob(const batchJob &) = delete;
    batchJob &operator=(const batchJob &) = delete;

    // The log of a port when no --log is given: velmora-<base name>.log, for
    // a serial server's port velmora-<host>_<port>.log.
    static QString logName(const QString &port);

public slots:
    // Checks the command line and starts; finished() follows in every case.
    void start();
    // A close signal (its number): every running job gives up at its next wait.
    void interrupt(int signalNumber = 0);

signals:
    void finished(int exitCode);

private:
    // One port's runner and what it reported.
    struct Port {
        QString name;   // as given
        std::unique_ptr<jobRunner> jobs;
        boxQuestions questions;   // around the job, and where the run stands
        bool finished = false;
        int exitCode = Done;
        jobResult result;
        QString summary;   // the result's words in the summary table
        jobRequest request;   // the port's own: a download's target per port
        QDateTime started;             // the job's (attempt's) start, for its record
        int attempt = 1;
        QElapsedTimer clock;           // from the job's start
        QElapsedTimer progressClock;   // from its first progress
        qint64 ms = 0;
        int percent = -1;
        QElapsedTimer lineClock;   // the last plain progress line
        QString status;            // the last status text said
        bool waiting = false;      // a long wait for the box runs
        QDeadlineTimer waitEnd;
        std::unique_ptr<boxWatch> watch;   // --loop: made for the first wait
        bool waitingForBox = false;        // --loop: the job is over, the next box not yet there
        int box = 1;                       // --loop: the boxes run on the port so far
        bool answerLost = false;           // its query's answer could not be written
    };

    void portsChecked(const QStringList &identities);
    void startChecked();
    QString check(const commandLine &line, int *exitCode) const;
    QString sharedTarget(const commandLine &line) const;
    bool refuseFiles(const commandLine &line);
    jobRequest requestFor(const Port &port) const;
    bool targetFree(Port &port);
    void openLogs(const commandLine &line);
    void openRecords(const commandLine &line);
    void record(Port &port, const jobResult &result, int exitCode);
    QString jobName(const commandLine &line) const;
    void startService(const commandLine &line);
    void startJob(const commandLine &line);
    boxQuestions::Plan plan() const;
    void nextPhase(Port &port);
    void onAction(Port &port, int code);
    void onFinished(Port &port, const jobResult &result);
    bool retry(Port &port, const jobResult &result);
    void retryNow(Port &port);
    void onIdentified(Port &port, const jobResult &result);
    void tellResult(Port &port, const jobResult &result);
    void onProgress(Port &port, int percent);
    void onWaiting(Port &port, qint64 ms);
    void onLogFailed(const QString &path, const QString &reason);
    void refuse(const QString &problem, int exitCode, const QStringList &more = {});
    static QString summary(const jobResult &result);
    void portDone(Port &port, int exitCode);
    void writeEnd(Port &port);
    void endIfAllDone();
    void count(int exitCode);
    void watchNext(Port &port);
    void onHeard(Port &port, int family);
    void nextBox(Port &port);
    void finish(int exitCode);
    void printSummary();
    void printAnswers();
    void printOutcome(int exitCode);
    QString portText(const Port &port, const QString &text) const;
    void say(const QString &line);
    QString barLine(const Port &port) const;
    void drawBlock();
    void clearBlock();
    bool put(const QString &text);

    std::unique_ptr<commandLine> m_line;
    portCheck m_portCheck;    // that no port is named twice
    QTranslator m_translator;
    QTranslator m_translatorQt;
    std::vector<std::unique_ptr<Port>> m_ports;
    QString m_jobName;
    bool m_service = false;   // a service request runs, no job
    bool m_wantsAnswer = false;
    bool m_identify = false;
    bool m_macTarget = false; // a download's target holds {mac}: the MAC is asked first
    bool m_looping = false;   // --loop, once the jobs have started
    int m_retries = 0;        // --retries
    jobRequest m_request;
    int m_stoppedBy = 0;      // the signal that interrupted the run
    bool m_interrupted = false;
    bool m_finished = false;
    bool m_terminal = false;  // standard error takes cursor movements
    bool m_quiet = false;     // standard error went away: nothing more is drawn
    bool m_answerLost = false;   // an answer could not be written to standard output
    QStringList m_lostLogs;   // logs that could not be written
    std::unique_ptr<recordsFile> m_records;   // --record
    bool m_recordsLost = false;   // a record could not be written
    qint64 m_bytes = 0;       // the files sent; 0 for a download
    int m_blockLines = 0;     // progress lines drawn under the cursor
    QTimer m_tick;            // redraws the seconds left of long waits
    struct {
        int done = 0, failed = 0, stopped = 0;
    } m_counters;             // --loop: every box's last attempt
};
