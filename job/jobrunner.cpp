#include "jobrunner.h"

#include "jobfiles.h"
#include "fileplaces.h"
#include "jobkind.h"
#include "statuscode.h"
#include "velmoraversion.h"

#include <QFileInfo>

namespace {

// Which link slot each request signal runs, and the job kind it serves
// (None: a service request).
const struct {
    jobKind::Kind kind;
    void (jobRunner::*signal)();
    void (serialComKarn::*job)();
} sdJobs[] = {
    {.kind = jobKind::GetListSD, .signal = &jobRunner::sigDownloadCHListSD, .job = &serialComKarn::getChannellist},
    {.kind = jobKind::SendListSD, .signal = &jobRunner::sigUploadCHListSD, .job = &serialComKarn::sendChannellist},
    {.kind = jobKind::UpdateSD, .signal = &jobRunner::sigUpdateFirmwareSD, .job = &serialComKarn::updateFirmware},
};
const struct {
    jobKind::Kind kind;
    void (jobRunner::*signal)();
    void (serialComVesk::*job)();
} hdJobs[] = {
    {.kind = jobKind::GetListHD, .signal = &jobRunner::sigDownloadCHListHD, .job = &serialComVesk::getChannellist},
    {.kind = jobKind::SendListHD, .signal = &jobRunner::sigUploadCHListHD, .job = &serialComVesk::sendChannellist},
    {.kind = jobKind::UpdateHD, .signal = &jobRunner::sigUpdateFirmwareHD, .job = &serialComVesk::updateFirmware},
    {.kind = jobKind::None, .signal = &jobRunner::sigGetSoftwareVersion, .job = &serialComVesk::readSoftwareVersion},
    {.kind = jobKind::None, .signal = &jobRunner::sigGetLowpowerVersion, .job = &serialComVesk::readLowPowerVersion},
    {.kind = jobKind::None, .signal = &jobRunner::sigGetMACAddress, .job = &serialComVesk::readMACAddress},
    {.kind = jobKind::None, .signal = &jobRunner::sigInitFacReset, .job = &serialComVesk::initFactoryReset},
    {.kind = jobKind::None, .signal = &jobRunner::sigGetSoftwareVersionOnceUp,
     .job = &serialComVesk::readSoftwareVersionOnceUp},
};

} // namespace

jobRunner::jobRunner(QObject *parent)
    : jobRunner(logfile::Target{.path = filePlaces::logFile()}, startLines(), parent)
{
}

jobRunner::jobRunner(const logfile::Target &log, const QStringList &startLines, QObject *parent)
    : QObject(parent), m_logfile(log)
{
    m_serialSD.moveToThread(&m_sd.thread);
    for (const auto &row : sdJobs)
        wire(row.signal, m_serialSD, row.job, m_sd);
    m_serialHD.moveToThread(&m_hd.thread);
    for (const auto &row : hdJobs)
        wire(row.signal, m_serialHD, row.job, m_hd);

    m_logfile.moveToThread(&m_threadLog);
    m_logfile.open();
    m_threadLog.start();

    connect(this, &jobRunner::sigwriteLog, &m_logfile, &logfile::writeLine);
    connect(&m_logfile, &logfile::failed, this, &jobRunner::logFailed);
    for (const QString &line : startLines)
        writeLog(line);

    connect(&m_serialSD, &serialComKarn::writeLog, &m_logfile, &logfile::writeLine);
    connect(&m_serialHD, &serialComVesk::writeLog, &m_logfile, &logfile::writeLine);
    connect(&m_serialSD, &serialComKarn::sendCause, this, [this](const linkCause &cause) {
        if (m_report)
            m_report->cause(cause);
    });
    connect(&m_serialHD, &serialComVesk::sendCause, this, [this](const linkCause &cause) {
        if (m_report)
            m_report->cause(cause);
    });
    for (void (serialComVesk::*answer)(QString) :
         {&serialComVesk::sendSoftwareVersion, &serialComVesk::sendLowPowerVersion, &serialComVesk::sendMACAddress})
        connect(&m_serialHD, answer, this, [this](const QString &text) {
            if (m_report)
                m_report->answer(text.trimmed());
        });
    connect(&m_serialSD, &serialComKarn::sendWaiting, this, &jobRunner::waiting);
    connect(&m_serialHD, &serialComVesk::sendWaiting, this, &jobRunner::waiting);
    connect(&m_serialSD, &serialComKarn::sendCurrentAction, this, &jobRunner::onCode);
    connect(&m_serialSD, &serialComKarn::sendProgress, this, &jobRunner::progress);
    connect(&m_serialHD, &serialComVesk::sendCurrentAction, this, &jobRunner::onCode);
    connect(&m_serialHD, &serialComVesk::sendProgress, this, &jobRunner::progress);
    for (Family *family : {&m_sd, &m_hd})
        connect(&family->thread, &QThread::finished, this, [this, family] { threadEnded(*family); });
}

jobRunner::~jobRunner()
{
    // Never leave a running thread behind.
    shutDown();
}

// The job runs in the link's thread; its return is reported back here, where
// every decision about the thread is taken, so that none races a request.
template <class Link>
void jobRunner::wire(void (jobRunner::*signal)(), Link &link, void (Link::*job)(), Family &family)
{
    connect(this, signal, &link, [this, &link, job, &family] {
        (link.*job)();
        QMetaObject::invokeMethod(this, [this, &family] { jobReturned(family); }, Qt::QueuedConnection);
    });
    m_routes.push_back({.signal = signal, .family = &family});
}

QStringList jobRunner::startLines()
{
    return {QStringLiteral("---------- START ----------"), QStringLiteral("Softwareversion: ") + QLatin1String(VELMORA_VERSION)};
}

void jobRunner::setPortname(const QString &name)
{
    m_serialSD.setPortname(name);
    m_serialHD.setPortname(name);
}

void jobRunner::setVerify(bool on)
{
    m_serialSD.setVerify(on);
    m_serialHD.setVerify(on);
}

void jobRunner::writeLog(const QString &text)
{
    emit sigwriteLog(text);
}

bool jobRunner::start(int kind, const jobFiles &files)
{
    const jobKind::Row *job = jobKind::find(kind);
    if (!job || files.isEmpty())
        return false;
    if (job->hd)
        m_serialHD.setFilename(files.label());
    else
        m_serialSD.setFilename(files.label());
    qint64 bytes = 0;
    if (job->sendsFile)
        for (const QString &name : files.names())
            bytes += QFileInfo(name).size();
    begin(job->kind, files.first(), bytes);
    request(requestSignal(job->kind));
    return true;
}

bool jobRunner::start(const jobRequest &request)
{
    setVerify(request.verify);
    return start(request.kind, request.files);
}

void jobRunner::startService(int code, void (jobRunner::*signal)())
{
    begin(code, QString(), 0);
    request(signal);
}

void jobRunner::begin(int job, const QString &file, qint64 bytes)
{
    // A Stop meant the job before (whose end code has come, so its link
    // looks at the flag no more); after a shut-down nothing may start.
    if (!m_shutDown) {
        m_serialSD.clearStop();
        m_serialHD.clearStop();
    }
    m_report = std::make_unique<jobReport>(job, file, bytes);
    m_clock.start();
}

jobResult jobRunner::lastResult() const
{
    if (!m_report)
        return jobResult();
    jobReport report = *m_report;
    report.elapsed(m_clock.isValid() ? m_clock.elapsed() : 0);
    return report.result();
}

void (jobRunner::*jobRunner::requestSignal(int kind))()
{
    for (const auto &row : sdJobs)
        if (row.kind == kind)
            return row.signal;
    for (const auto &row : hdJobs)
        if (row.kind == kind && kind != jobKind::None)
            return row.signal;
    return nullptr;
}

void jobRunner::request(void (jobRunner::*signal)())
{
    for (const Route &route : m_routes) {
        if (route.signal != signal)
            continue;
        ++route.family->jobs;
        // An ending thread is started again once it has ended; the request
        // waits in its queue meanwhile.
        if (!route.family->ending)
            route.family->thread.start();
        emit(this->*signal)();
        return;
    }
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
    const bool end = code == sdCode::JobEnded || code == hdCode::JobEnded;
    if (end && !m_shutDown)
        writeLog(QString());
    const bool reported = m_report && !m_report->ended();
    if (reported)
        m_report->code(code);
    if (reported && m_report->ended())
        m_resultDue = true;
    emit statusCode(code);
}

void jobRunner::jobReturned(Family &family)
{
    // The result follows the link's return, not its end code: every line the
    // link logged is then queued to the writer before whatever the front end
    // logs about the result.
    if (m_resultDue) {
        m_resultDue = false;
        emit jobFinished(lastResult());
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

void jobRunner::requestStop(int why)
{
    if (m_report)
        m_report->stop(why);
    m_serialSD.requestStop(why);
    m_serialHD.requestStop(why);
}

void jobRunner::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    requestStop();
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
