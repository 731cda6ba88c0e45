#include "jobrunner.h"

#include "fileplaces.h"
#include "jobkind.h"
#include "jobreport.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"
#include "statuscode.h"
#include "statustable.h"
#include "velmoraversion.h"


namespace {

// Which link call runs each job and each query.
const struct {
    jobKind::Kind kind;
    void (serialComKarn::*job)();
} sdJobs[] = {
    {.kind = jobKind::GetListSD, .job = &serialComKarn::getChannellist},
    {.kind = jobKind::SendListSD, .job = &serialComKarn::sendChannellist},
    {.kind = jobKind::UpdateSD, .job = &serialComKarn::updateFirmware},
};
const struct {
    jobKind::Kind kind;
    void (serialComVesk::*job)();
} hdJobs[] = {
    {.kind = jobKind::GetListHD, .job = &serialComVesk::getChannellist},
    {.kind = jobKind::SendListHD, .job = &serialComVesk::sendChannellist},
    {.kind = jobKind::UpdateHD, .job = &serialComVesk::updateFirmware},
};
// A query's own start code is the link's: no front end has a text for it.
const struct {
    serviceRequest::Query query;
    void (serialComVesk::*ask)();
    int code;
} queries[] = {
    {.query = serviceRequest::Software, .ask = &serialComVesk::readSoftwareVersion, .code = hdCode::QuerySoftware},
    {.query = serviceRequest::LowPower, .ask = &serialComVesk::readLowPowerVersion, .code = hdCode::QueryLowPower},
    {.query = serviceRequest::Mac, .ask = &serialComVesk::readMACAddress, .code = hdCode::QueryMac},
    {.query = serviceRequest::FactoryReset, .ask = &serialComVesk::initFactoryReset, .code = hdCode::FactoryReset},
    {.query = serviceRequest::SoftwareOnceUp, .ask = &serialComVesk::readSoftwareVersionOnceUp,
     .code = hdCode::QuerySoftware},
};

} // namespace

jobRunner::jobRunner(QObject *parent)
    : jobRunner(logfile::Target{.path = filePlaces::logFile()}, startLines(), parent)
{
}

jobRunner::jobRunner(const logfile::Target &log, const QStringList &startLines, QObject *parent)
    : QObject(parent)
    , m_serialSD(std::make_unique<serialComKarn>())
    , m_serialHD(std::make_unique<serialComVesk>())
    , m_logfile(log)
{
    qRegisterMetaType<serviceRequest::Query>("serviceRequest::Query");
    m_serialSD->moveToThread(&m_sd.thread);
    m_serialHD->moveToThread(&m_hd.thread);

    m_logfile.moveToThread(&m_threadLog);
    m_logfile.open();
    m_threadLog.start();
    connect(&m_logfile, &logfile::failed, this, &jobRunner::logFailed);
    for (const QString &line : startLines)
        writeLog(line);

    connectLink(*m_serialSD);
    connectLink(*m_serialHD);
    for (void (serialComVesk::*answer)(QString) :
         {&serialComVesk::sendSoftwareVersion, &serialComVesk::sendLowPowerVersion, &serialComVesk::sendMACAddress})
        connect(m_serialHD.get(), answer, this, [this](const QString &text) {
            emit queryAnswered(m_running.query, text.trimmed());
        });
    for (Family *family : {&m_sd, &m_hd})
        connect(&family->thread, &QThread::finished, this, [this, family] { threadEnded(*family); });
}

jobRunner::~jobRunner()
{
    // Never leave a running thread behind.
    shutDown();
}

void jobRunner::connectLink(boxLink &link)
{
    connect(&link, &boxLink::writeLog, &m_logfile, &logfile::writeLine);
    connect(&link, &boxLink::sendWaiting, this, &jobRunner::waiting);
    connect(&link, &boxLink::sendCurrentAction, this, &jobRunner::onCode);
    // Only what the gate lets through crosses to the front end's thread; it
    // runs in the link's thread, and each status code starts it afresh.
    connect(&link, &boxLink::sendCurrentAction, this, [this](int) { m_progressGate.restart(); }, Qt::DirectConnection);
    connect(&link, &boxLink::sendProgress, this, [this](int percent) {
        if (m_progressGate.offer(percent))
            QMetaObject::invokeMethod(this, [this, percent] { showProgress(percent); }, Qt::QueuedConnection);
    }, Qt::DirectConnection);
    connect(&link, &boxLink::sendFileBegan, this, &jobRunner::sendingBegan);
    connect(&link, &boxLink::sendFileEnded, this, &jobRunner::sendingEnded);
    connect(&link, &boxLink::sendOutcome, this, &jobRunner::onOutcome);
}

QStringList jobRunner::startLines()
{
    return {QStringLiteral("---------- START ----------"), QStringLiteral("Softwareversion: ") + QLatin1String(VELMORA_VERSION)};
}

void jobRunner::setPortname(const QString &name)
{
    m_portname = name;
    m_serialSD->setPortname(name);
    m_serialHD->setPortname(name);
}

void jobRunner::writeLog(const QString &text)
{
    QMetaObject::invokeMethod(&m_logfile, [this, text] { m_logfile.writeLine(text); }, Qt::QueuedConnection);
}

void jobRunner::flushLog()
{
    QString path, reason;
    const auto look = [&] {
        path = m_logfile.path();
        reason = m_logfile.failure();
    };
    if (m_threadLog.isRunning())
        QMetaObject::invokeMethod(&m_logfile, look, Qt::BlockingQueuedConnection);
    else
        look();
    if (!reason.isEmpty())
        emit logFailed(path, reason);
}

bool jobRunner::start(const jobRequest &request)
{
    const jobKind::Row *job = jobKind::find(request.kind);
    if (!job || request.files.isEmpty())
        return false;
    // A name that stands for other bytes is refused before the box is asked:
    // the job would read or write another file.
    const linkCause problem = request.filesProblem();
    if (problem.kind == linkCause::FileNameUndecodable) {
        refuse(job->kind, problem);
        return true;
    }
    m_lastRequest = request;
    ++m_jobsStarted;
    begin({.job = job->kind, .query = serviceRequest::None, .file = request.files.first()});
    if (job->hd) {
        m_serialHD->setFilename(request.files.label());
        m_serialHD->setVerify(request.verify);
        for (const auto &row : hdJobs)
            if (row.kind == job->kind)
                dispatch(*m_serialHD, row.job, m_hd);
    } else {
        m_serialSD->setFilename(request.files.label());
        m_serialSD->setVerify(request.verify);
        for (const auto &row : sdJobs)
            if (row.kind == job->kind)
                dispatch(*m_serialSD, row.job, m_sd);
    }
    return true;
}

void jobRunner::refuse(jobKind::Kind job, const linkCause &cause)
{
    jobResult result = jobResult::refused(job, cause);
    result.port = m_portname;
    writeLog(QStringLiteral("Not started: %1").arg(result.causeText()));
    // Queued, as a job's end is: the caller may be a window still being made.
    const int code = statusTable::fileFailed(jobKind::isHd(job));
    QMetaObject::invokeMethod(this, [this, code, result] {
        emit statusCode(code);
        emit jobFinished(result);
    }, Qt::QueuedConnection);
}

void jobRunner::startQuery(serviceRequest::Query query)
{
    for (const auto &row : queries) {
        if (row.query != query)
            continue;
        begin({.job = jobKind::None, .query = query, .file = QString()});
        dispatch(*m_serialHD, row.ask, m_hd);
    }
}

void jobRunner::begin(const Running &running)
{
    // A Stop meant the job before (which has ended, so its link looks at the
    // flag no more); after a shut-down nothing may start.
    if (!m_shutDown) {
        m_serialSD->clearStop();
        m_serialHD->clearStop();
    }
    m_running = running;
    m_result.reset();
    m_progressGate.reset();
    m_progressShown = -1;
}

// The job runs in the link's thread; its return is reported back here, where
// every decision about the thread is taken, so that none races a request.
template <class Link>
void jobRunner::dispatch(Link &link, void (Link::*job)(), Family &family)
{
    ++family.jobs;
    // An ending thread is started again once it has ended; the job waits in
    // its queue meanwhile.
    if (!family.ending)
        family.thread.start();
    QMetaObject::invokeMethod(
        &link,
        [this, &link, job, &family] {
            (link.*job)();
            QMetaObject::invokeMethod(this, [this, &family] { jobReturned(family); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

bool jobRunner::threadsBusy() const
{
    for (const Family *family : {&m_sd, &m_hd})
        if (family->jobs > 0 || family->ending || family->thread.isRunning())
            return true;
    return false;
}

void jobRunner::onCode(int code)
{
    // Before the front end's reaction: batch mode shuts down on it. After a
    // shut-down the writer is gone; the front end still learns of the end.
    if ((code == sdCode::JobEnded || code == hdCode::JobEnded) && !m_shutDown)
        writeLog(QString());
    for (const auto &row : queries)
        if (row.query == m_running.query && row.code == code)
            return;
    emit statusCode(code);
}

void jobRunner::onOutcome(const linkOutcome &outcome)
{
    m_result = std::make_unique<jobResult>(jobReport::result(m_running.job, m_running.query, m_running.file, outcome));
    m_result->port = m_portname;
}

void jobRunner::showProgress(int percent)
{
    if (percent == m_progressShown)
        return;
    m_progressShown = percent;
    emit progress(percent);
}

void jobRunner::jobReturned(Family &family)
{
    // The result follows the link's return, not its end code: every line the
    // link logged is then queued to the writer before whatever the front end
    // logs about the result.
    if (m_result) {
        // A value the gate held back is shown before the result.
        if (m_progressGate.latest() >= 0)
            showProgress(m_progressGate.latest());
        const jobResult result = *m_result;
        m_result.reset();
        emit jobFinished(result);
    }
    if (--family.jobs > 0 || m_shutDown)
        return;
    family.ending = true;
    family.thread.quit();
    emit linkThreadEnding();
}

void jobRunner::threadEnded(Family &family)
{
    family.ending = false;
    if (m_shutDown)
        return;
    if (family.jobs > 0)
        family.thread.start();
}

void jobRunner::stop(int why)
{
    m_serialSD->requestStop(why);
    m_serialHD->requestStop(why);
}

void jobRunner::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    stop();
    m_sd.thread.quit();
    m_hd.thread.quit();
    m_sd.thread.wait(500);
    m_hd.thread.wait(500);
    // A busy link gives up at its next wait; a thread object must never be
    // destroyed while it runs, so wait for that end.
    m_sd.thread.wait();
    m_hd.thread.wait();
    // Let the writer take every line that is still queued before its loop ends.
    if (m_threadLog.isRunning())
        QMetaObject::invokeMethod(&m_logfile, "open", Qt::BlockingQueuedConnection);
    m_threadLog.quit();
    m_threadLog.wait(500);
    m_threadLog.wait();
}
