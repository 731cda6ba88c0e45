#pragma once

#include "jobrunner.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTranslator>

#include <memory>
#include <vector>

class commandLine;

// A job, service query or factory reset run from the command line without a
// window or settings, on one port or on several at once (one job runner per
// port): the window's status texts and a progress display go to standard
// error, a query's answer to standard output, and the worst outcome of all
// ports becomes the exit code. Each port's steps are logged to its own
// velmora-<port>.log, or all to the file --log names, appended to.
class batchJob : public QObject
{
    Q_OBJECT
public:
    // Numbered so that a higher code is the worse outcome: a run over
    // several ports exits with the highest code of its ports.
    enum ExitCode {
        Done = 0,
        Usage = 2,
        PortFailed = 3,    // the box was not touched
        FileProblem = 4,   // found before the box took the file, or a download not written
        BoxFailed = 5,     // the box did not answer or refused: it may be left half done
        Interrupted = 130
    };

    // `args` as QCoreApplication::arguments(): the program first.
    explicit batchJob(const QStringList &args, QObject *parent = nullptr);
    ~batchJob() override;
    batchJob(const batchJob &) = delete;
    batchJob &operator=(const batchJob &) = delete;

    // The log of a port when no --log is given: velmora-<base name>.log.
    static QString logName(const QString &port);

public slots:
    // Checks the command line and starts; finished() follows in every case.
    void start();
    // A close signal: every running job gives up at its next wait.
    void interrupt();

signals:
    void finished(int exitCode);

private:
    // One port's runner and what it reported.
    struct Port {
        QString name;   // as given
        std::unique_ptr<jobRunner> jobs;
        QList<int> codes;
        bool answered = false;
        QString answer;
        bool finished = false;
        int exitCode = Done;
        QString result;   // the text of the code that decided the outcome
        QElapsedTimer clock;           // from the job's start
        QElapsedTimer progressClock;   // from its first progress
        qint64 ms = 0;
        int percent = -1;
        QElapsedTimer lineClock;   // the last plain progress line
    };

    QString check(const commandLine &line, int *exitCode) const;
    void openLogs(const commandLine &line);
    QString jobName(const commandLine &line) const;
    void startService(const commandLine &line);
    void startJob(const commandLine &line);
    void onAction(Port &port, int code);
    void onProgress(Port &port, int percent);
    void refuse(const QString &problem, int exitCode);
    void portDone(Port &port, int exitCode);
    void finish(int exitCode);
    void printSummary();
    void printAnswers();
    int outcome(Port &port) const;
    bool startUnconfirmed(const Port &port) const;
    QString portText(const Port &port, const QString &text) const;
    void say(const QString &line);
    QString barLine(const Port &port) const;
    void drawBlock();
    void clearBlock();

    QStringList m_args;
    QTranslator m_translator;
    QTranslator m_translatorQt;
    std::vector<std::unique_ptr<Port>> m_ports;
    int m_requestCode = -1;   // a service request's own code, unknown to the status table
    bool m_wantsAnswer = false;
    bool m_interrupted = false;
    bool m_finished = false;
    bool m_terminal = false;
    qint64 m_bytes = 0;       // the files sent; 0 for a download
    int m_blockLines = 0;     // progress lines drawn under the cursor
};
