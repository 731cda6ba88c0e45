#pragma once

#include "jobresult.h"
#include "linkcause.h"

// Fills a job's result from what its link reports while it runs: every
// status code, the causes sent beside failures, the bytes moved. The one
// place where a job's codes are read; front ends only see the result.
class jobReport
{
public:
    // `job` is a jobKind, or a service request's code; `file` the job's file.
    jobReport(int job, const QString &file, qint64 bytes);

    void code(int code);
    void cause(const linkCause &cause);
    void answer(const QString &text);
    // A stop was asked for, by `why` (serialLine::StopReason or a signal).
    void stop(int why);
    void elapsed(qint64 ms) { m_result.ms = ms; }
    // The job's end code has come.
    bool ended() const { return m_ended; }
    // The result as far as the job has come.
    jobResult result() const;

private:
    void onProgress(int code);
    void onResult(int code);
    void onError(int code);
    void end();

    jobResult m_result;
    bool m_ended = false;
    bool m_stopAsked = false;
    bool m_touched = false;      // the box's load menu opened: its load has begun
    bool m_loaded = false;       // the box reported the load done
    bool m_startBegun = false;   // the start at the end of a load began
    bool m_started = false;      // and the box confirmed it
    bool m_answered = false;
    bool m_listSaved = false;    // a download found its list's end and wrote no error
    int m_lastStep = -1;
    int m_resultCode = -1;
    int m_errorCode = -1;
};
