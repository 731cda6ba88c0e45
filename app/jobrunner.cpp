#include "jobrunner.h"

#include "jobfiles.h"
#include "fileplaces.h"
#include "jobkind.h"
#include "statuscode.h"
#include "velmoraversion.h"

namespace {

// Which link slot each request signal runs.
const struct {
    void (jobRunner::*signal)();
    void (serialComKarn::*job)();
} sdJobs[] = {
    {.signal = &jobRunner::sigDownloadCHListSD, .job = &serialComKarn::getChannellist},
    {.signal = &jobRunner::sigUploadCHListSD, .job = &serialComKarn::sendChannellist},
    {.signal = &jobRunner::sigUpdateFirmwareSD, .job = &serialComKarn::updateFirmware},
};
const struct {
    void (jobRunner::*signal)();
    void (serialComVesk::*job)();
} hdJobs[] = {
    {.signal = &jobRunner::sigDownloadCHListHD, .job = &serialComVesk::getChannellist},
    {.signal = &jobRunner::sigUploadCHListHD, .job = &serialComVesk::sendChannellist},
    {.signal = &jobRunner::sigUpdateFirmwareHD, .job = &serialComVesk::updateFirmware},
    {.signal = &jobRunner::sigGetSoftwareVersion, .job = &serialComVesk::readSoftwareVersion},
    {.signal = &jobRunner::sigGetLowpowerVersion, .job = &serialComVesk::readLowPowerVersion},
    {.signal = &jobRunner::sigGetMACAddress, .job = &serialComVesk::readMACAddress},
    {.signal = &jobRunner::sigInitFacReset, .job = &serialComVesk::initFactoryReset},
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
    for (const QString &line : startLines)
        writeLog(line);

    connect(&m_serialSD, &serialComKarn::writeLog, &m_logfile, &logfile::writeLine);
    connect(&m_serialHD, &serialComVesk::writeLog, &m_logfile, &logfile::writeLine);
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
    request(job->request);
    return true;
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
    if ((code == sdCode::JobEnded || code == hdCode::JobEnded) && !m_shutDown)
        writeLog(QString());
    emit statusCode(code);
}

void jobRunner::jobReturned(Family &family)
{
    if (--family.jobs > 0 || m_shutDown)
        return;
    family.ending = true;
    family.thread.quit();
}

void jobRunner::threadEnded(Family &family)
{
    family.ending = false;
    if (m_shutDown)
        return;
    if (family.jobs > 0)
        family.thread.start();
}

void jobRunner::requestStop()
{
    m_serialSD.requestStop();
    m_serialHD.requestStop();
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
