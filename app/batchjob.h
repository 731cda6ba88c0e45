#pragma once

#include "jobrunner.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTranslator>

// A job, service query or factory reset run from the command line without a
// window or settings: the window's status texts and a progress display go to
// standard error, a query's answer to standard output, and the outcome
// becomes the exit code.
class batchJob : public QObject
{
    Q_OBJECT
public:
    enum ExitCode {
        Done = 0,
        Usage = 2,
        PortFailed = 3,
        FileProblem = 4,
        BoxFailed = 5,   // the box did not answer or refused
        Interrupted = 130
    };

    // `args` as QCoreApplication::arguments(): the program first.
    explicit batchJob(const QStringList &args, QObject *parent = nullptr);
    batchJob(const batchJob &) = delete;
    batchJob &operator=(const batchJob &) = delete;

public slots:
    // Checks the command line and starts; finished() follows in every case.
    void start();
    // A close signal: the running job gives up at its next wait.
    void interrupt();

signals:
    void finished(int exitCode);

private:
    void onAction(int code);
    void onProgress(int percent);
    void onAnswer(const QString &answer);
    void refuse(const QString &problem, int exitCode);
    void finish(int exitCode);
    int outcome() const;
    bool startUnconfirmed() const;
    void say(const QString &line);
    void drawBar(int percent);
    void clearBar();

    QStringList m_args;
    QTranslator m_translator;
    QTranslator m_translatorQt;
    jobRunner m_jobs;
    QList<int> m_codes;
    int m_requestCode = -1;   // a service request's own code, unknown to the status table
    bool m_wantsAnswer = false;
    bool m_answered = false;
    QString m_answer;
    bool m_running = false;
    bool m_interrupted = false;
    bool m_finished = false;
    bool m_terminal = false;
    qint64 m_bytes = 0;       // the files sent; 0 for a download
    QElapsedTimer m_progressClock;
    QElapsedTimer m_lineClock;
    int m_shownPercent = -1;
    bool m_barShown = false;
};
