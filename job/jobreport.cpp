#include "jobreport.h"

#include "jobkind.h"
#include "statuscode.h"
#include "statustable.h"

namespace {

// The codes that mark where a job stands with the box, by family.
bool is(int code, int sd, int hd)
{
    return code == sd || code == hd;
}

bool isQuery(int job)
{
    return job == hdCode::QuerySoftware || job == hdCode::QueryLowPower || job == hdCode::QueryMac;
}

} // namespace

jobReport::jobReport(int job, const QString &file, qint64 bytes)
{
    m_result.job = job;
    m_result.file = file;
    m_result.bytes = bytes;
}

void jobReport::code(int code)
{
    if (m_ended)
        return;   // a second end code of the same job
    if (is(code, sdCode::JobEnded, hdCode::JobEnded))
        return end();
    const statusTable::Entry *row = statusTable::find(code);
    if (!row)
        return;   // a service request's own start code
    if (row->kind == statusTable::Progress)
        onProgress(code);
    else if (row->kind == statusTable::Result)
        onResult(code);
    else if (row->kind == statusTable::Error)
        onError(code);
}

void jobReport::onProgress(int code)
{
    m_lastStep = code;
    // Once its load menu is open a box waits for the file and takes it in
    // place of what it had: from here a failure leaves it half loaded.
    if (is(code, sdCode::LoadMenuOpen, hdCode::LoadMenuOpen) && jobKind::find(m_result.job) &&
        jobKind::find(m_result.job)->sendsFile)
        m_touched = true;
    if (is(code, sdCode::WaitingStart, hdCode::WaitingStart))
        m_startBegun = true;
    if (is(code, sdCode::BoxRunning, hdCode::BoxRunning))
        m_started = true;
    // The list is written right after its end was found; a failure to write
    // it is the next code.
    if (is(code, sdCode::EndFound, hdCode::EndFound) && jobKind::find(m_result.job) &&
        !jobKind::find(m_result.job)->sendsFile)
        m_listSaved = true;
}

void jobReport::onResult(int code)
{
    // The last result tells (an upload, then its read-back).
    m_resultCode = code;
    if (is(code, sdCode::UpdateDone, hdCode::UpdateDone) || is(code, sdCode::UploadDone, hdCode::UploadDone))
        m_loaded = true;
}

void jobReport::onError(int code)
{
    // The first error tells, unless a result came after it; an error after a
    // result undoes it: an upload that its read-back does not confirm is no
    // success.
    if (m_resultCode < 0 && m_errorCode >= 0)
        return;
    m_resultCode = -1;
    m_errorCode = code;
    if (is(code, sdCode::FileFailed, hdCode::FileFailed))
        m_listSaved = false;
    m_result.failedStep = m_lastStep;
}

void jobReport::cause(const linkCause &cause)
{
    if (cause.kind == linkCause::ListTooBigToUpload) {
        m_result.note = cause;
        return;
    }
    // The cause that comes with the deciding error; later ones (a box
    // started again after a failure) do not replace it.
    if (m_ended || (m_errorCode >= 0 && m_resultCode < 0))
        return;
    m_result.cause = cause;
}

void jobReport::answer(const QString &text)
{
    m_answered = true;
    m_result.answer = text;
}

void jobReport::stop(int why)
{
    if (m_stopAsked || m_ended)
        return;
    m_stopAsked = true;
    m_result.stoppedBy = why;
}

void jobReport::end()
{
    m_ended = true;
    const int job = m_result.job;
    const bool reset = job == hdCode::FactoryReset;
    bool done = m_resultCode >= 0;
    if (isQuery(job))
        done = m_answered;
    else if (reset)
        done = m_errorCode < 0 && !m_stopAsked;
    m_result.outcome = done ? jobResult::Done : m_stopAsked ? jobResult::Stopped : jobResult::Failed;
    m_result.statusCode = m_resultCode >= 0 ? m_resultCode : m_errorCode;
    if (done)
        m_result.cause = linkCause();
    m_result.startUnconfirmed = done && m_startBegun && !m_started;

    const jobKind::Row *row = jobKind::find(job);
    const bool verifyFailed = is(m_errorCode, sdCode::VerifyDiffers, hdCode::VerifyDiffers) && !done;
    if (reset)
        m_result.box = done ? jobResult::Reset : jobResult::Untouched;
    else if (row && !row->sendsFile)
        m_result.box = done || m_listSaved ? jobResult::ListSaved : jobResult::OldListKept;
    else if (m_loaded)
        m_result.box = verifyFailed ? jobResult::HalfUpdated : jobResult::Updated;
    else
        m_result.box = m_touched ? jobResult::HalfUpdated : jobResult::Untouched;
}

jobResult jobReport::result() const
{
    return m_result;
}
