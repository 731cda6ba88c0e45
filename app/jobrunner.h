#pragma once

#include "logfile.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"

#include <QObject>
#include <QString>
#include <QThread>

// The two links, each in a worker thread of its own, and the run log in a
// third: what the window and batch mode both drive. A job is started by a
// request signal, so that it runs in its link's thread.
class jobRunner : public QObject
{
    Q_OBJECT
public:
    explicit jobRunner(QObject *parent = nullptr);
    ~jobRunner() override;
    jobRunner(const jobRunner &) = delete;
    jobRunner &operator=(const jobRunner &) = delete;

    serialComKarn &linkSD() { return m_serialSD; }
    serialComVesk &linkHD() { return m_serialHD; }
    const serialComKarn &linkSD() const { return m_serialSD; }
    const serialComVesk &linkHD() const { return m_serialHD; }

    void setPortname(const QString &name);
    void writeLog(const QString &text);

    // Starts job kind 1..6 on its file label (several SD update files joined
    // by line feeds); false, and nothing started, without a kind or a file.
    bool start(int kind, const QString &files);
    // Emits a request signal once the thread of its family runs.
    void request(void (jobRunner::*signal)(), bool hd);
    // After a job's end code: the threads leave their loops, the log gets
    // the empty line that closes a job.
    void jobEnded();
    // Thread-safe: a running job gives up at its next wait.
    void requestStop();
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
    void sigwriteLog(QString text);

private:
    serialComKarn m_serialSD;
    QThread m_threadSD;
    serialComVesk m_serialHD;
    QThread m_threadHD;
    logfile m_logfile;
    QThread m_threadLog;
    bool m_shutDown = false;
};
