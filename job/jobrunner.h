#pragma once

#include "jobrequest.h"
#include "jobresult.h"
#include "progressgate.h"
#include "logfile.h"
#include "servicerequest.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>
#include <vector>

class boxLink;
class linkOutcome;
class serialComKarn;
class serialComVesk;

// Runs jobs and service queries on one port, in job terms: the two box links,
// each in a worker thread of its own, and the run log in a third, are its
// own business. A job runs in its link's thread; the runner sees the job
// return and ends that thread itself, closes the job in the log with an
// empty line and hands its result on. Several runners may live in one
// process, each with its own port, threads and log.
class jobRunner : public QObject
{
    Q_OBJECT
public:
    // The window's runner: its log is velmora.log, opened with the two
    // start lines.
    explicit jobRunner(QObject *parent = nullptr);
    // A runner whose log goes to `log`, opened with `startLines`.
    jobRunner(const logfile::Target &log, const QStringList &startLines, QObject *parent = nullptr);
    ~jobRunner() override;
    jobRunner(const jobRunner &) = delete;
    jobRunner &operator=(const jobRunner &) = delete;

    // The start lines of the window's log.
    static QStringList startLines();

    // Progress crosses at most once per `ms` (0, the default: every change);
    // the newest value always follows before jobFinished(). Only while no
    // job runs.
    void setProgressPaceMs(int ms) { m_progressGate.setPaceMs(ms); }

    // The port the next jobs run on; only while no job runs.
    void setPortname(const QString &name);
    QString portname() const { return m_portname; }
    // The log as opened at the start: its file, and the log that another
    // instance held so that this runner writes its own (else empty).
    QString logPath() const { return m_logfile.path(); }
    QString logHeldElsewhere() const { return m_logfile.heldElsewhere(); }
    // How many other instances held a log of this folder then.
    int logsHeldElsewhere() const { return m_logfile.othersHolding(); }
    void writeLog(const QString &text);
    // Waits until every queued line is written; a log that failed on the way
    // is then reported through logFailed() before this returns, so a run's
    // last words can say so.
    void flushLog();

    // Starts the request's job on its files (its kind, files and verify
    // setting); false, and nothing started, without a kind or a file. Its
    // result follows in jobFinished(), also that of a file name refused
    // before the box is asked (with the file error's status code).
    bool start(const jobRequest &request);
    // Asks the HD box a service query; its answer follows in queryAnswered()
    // and its result in jobFinished().
    void startQuery(serviceRequest::Query query);
    // A running job gives up at its next wait; `why` says who asked
    // (jobResult::StopReason or a signal number), for the log and the result.
    void stop(int why = jobResult::WindowClosed);
    // A job or query runs, or its thread has yet to end.
    bool threadsBusy() const;
    // Stops a running job, waits for the threads and writes every queued
    // log line. Once only; the destructor calls it too.
    void shutDown();

    // What the last job was started with, and how many were started: for
    // test programs, which check what a front end asked for.
    const jobRequest &lastRequest() const { return m_lastRequest; }
    // Whether a link's thread still runs, also one asked to end: for test
    // programs, which ask for a job once that thread has truly ended.
    bool linkThreadRuns() const { return m_hd.thread.isRunning() || m_sd.thread.isRunning(); }
    int jobsStarted() const { return m_jobsStarted; }

signals:
    // Each status code of the running job, for the window's status display;
    // an end code's empty log line is already written.
    void statusCode(int code);
    // The job's file has begun to go to the box: from now a stop leaves it
    // half-updated; and it has gone (or failed): the box works on it.
    void sendingBegan();
    void sendingEnded();
    void progress(int percent);
    // A wait for the box has begun that lasts at most `ms` milliseconds.
    void waiting(qint64 ms);
    // Once a job's link has returned: what it came to.
    void jobFinished(const jobResult &result);
    void queryAnswered(serviceRequest::Query query, const QString &answer);
    // A link's thread was asked to end after its last job; a job started
    // now waits for that end. For tests, which start their job there.
    void linkThreadEnding();
    // The log could not be written (first failure only), and why.
    void logFailed(const QString &path, const QString &reason);

private:
    // A link's thread and the requests it has yet to finish.
    struct Family {
        QThread thread;
        int jobs = 0;           // requested and not yet returned
        bool ending = false;    // asked to quit, not yet ended
    };
    // What runs now.
    struct Running {
        jobKind::Kind job = jobKind::None;
        serviceRequest::Query query = serviceRequest::None;
        QString file;
    };

    void connectLink(boxLink &link);
    void onCode(int code);
    void onOutcome(const linkOutcome &outcome);
    void showProgress(int percent);
    void begin(const Running &running);
    // Answers a request whose files cannot be used with its result, as a job's end.
    void refuse(jobKind::Kind job, const linkCause &cause);
    // Runs `job` of `link` in `family`'s thread, starting that thread when
    // it does not run; a request right after a job's end waits for that
    // thread to end and start again.
    template <class Link>
    void dispatch(Link &link, void (Link::*job)(), Family &family);
    void jobReturned(Family &family);
    void threadEnded(Family &family);

    std::unique_ptr<serialComKarn> m_serialSD;
    Family m_sd;
    std::unique_ptr<serialComVesk> m_serialHD;
    Family m_hd;
    logfile m_logfile;
    QThread m_threadLog;
    QString m_portname;
    bool m_shutDown = false;
    Running m_running;
    std::unique_ptr<jobResult> m_result;   // the job's result, once its link has said it
    progressGate m_progressGate;
    int m_progressShown = -1;              // the last percentage passed on
    jobRequest m_lastRequest;
    int m_jobsStarted = 0;
};
