#pragma once

#include "jobreport.h"
#include "jobrequest.h"
#include "logfile.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>
#include <vector>

class jobFiles;

// The two links to one port, each in a worker thread of its own, and the run
// log in a third: what a front end (the window, batch mode) drives and
// presents. A job is started by a request signal, so that it runs in its
// link's thread; the runner sees the job's slot return and ends that thread
// itself, and closes each end code's job in the log with an empty line.
// Several runners may live in one process, each with its own log writer.
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

    serialComKarn &linkSD() { return m_serialSD; }
    serialComVesk &linkHD() { return m_serialHD; }
    const serialComKarn &linkSD() const { return m_serialSD; }
    const serialComVesk &linkHD() const { return m_serialHD; }

    // The start lines of the window's log.
    static QStringList startLines();

    void setPortname(const QString &name);
    // Whether the list uploads that follow are read back and compared.
    void setVerify(bool on);
    void writeLog(const QString &text);

    // Starts a job kind on its files; false, and nothing started, without a
    // kind or a file. Its result follows in jobFinished().
    bool start(int kind, const jobFiles &files);
    bool start(const jobRequest &request);
    // Sends a service request (its code and request signal); its result,
    // with the answer, follows in jobFinished().
    void startService(int code, void (jobRunner::*signal)());
    // The result of the job that runs or ran last, as far as it has come.
    jobResult lastResult() const;
    // The request signal that starts a job kind, or nullptr.
    static void (jobRunner::*requestSignal(int kind))();
    // Emits a request signal (a job's or a service request's) once the
    // thread of its link runs; a request right after a job's end waits for
    // that thread to end and start again.
    void request(void (jobRunner::*signal)());
    // A link thread runs or is asked for.
    bool threadsBusy() const;
    // A running job gives up at its next wait; `why` says who asked
    // (serialLine::StopReason or a signal number), for the log and the result.
    void requestStop(int why = serialLine::WindowClosed);
    // Stops a running job, waits for the threads and writes every queued
    // log line. Once only; the destructor calls it too.
    void shutDown();

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
    void sigGetSoftwareVersionOnceUp();
    void sigwriteLog(QString text);
    // Each status code and progress of either link, for the front end;
    // an end code's empty log line is already written.
    void statusCode(int code);
    void progress(int percent);
    // A wait for the box has begun that lasts at most `ms` milliseconds.
    void waiting(qint64 ms);
    // Once a job's link has returned after its end code: what it came to.
    void jobFinished(const jobResult &result);
    // A link's thread was asked to end after its last job; a request made
    // now waits for that end. For tests, which make their request there.
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

    template <class Link>
    void wire(void (jobRunner::*signal)(), Link &link, void (Link::*job)(), Family &family);
    void onCode(int code);
    void begin(int job, const QString &file, qint64 bytes);
    void jobReturned(Family &family);
    void threadEnded(Family &family);

    serialComKarn m_serialSD;
    Family m_sd;
    serialComVesk m_serialHD;
    Family m_hd;
    logfile m_logfile;
    QThread m_threadLog;
    struct Route {
        void (jobRunner::*signal)();
        Family *family;
    };
    std::vector<Route> m_routes;
    bool m_shutDown = false;
    std::unique_ptr<jobReport> m_report;
    bool m_resultDue = false;   // the job has ended; its result goes out once its link returned
    QElapsedTimer m_clock;
};
