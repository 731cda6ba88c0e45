#include "jobrunner.h"

#include "jobkind.h"

namespace {

const char *const SOFTWARE_VERSION = "3.0.0.8";

} // namespace

jobRunner::jobRunner(QObject *parent)
    : QObject(parent)
{
    m_serialSD.moveToThread(&m_threadSD);
    connect(this, &jobRunner::sigDownloadCHListSD, &m_serialSD, &serialComKarn::getChannellist);
    connect(this, &jobRunner::sigUploadCHListSD, &m_serialSD, &serialComKarn::sendChannellist);
    connect(this, &jobRunner::sigUpdateFirmwareSD, &m_serialSD, &serialComKarn::updateFirmware);

    m_serialHD.moveToThread(&m_threadHD);
    connect(this, &jobRunner::sigDownloadCHListHD, &m_serialHD, &serialComVesk::getChannellist);
    connect(this, &jobRunner::sigUploadCHListHD, &m_serialHD, &serialComVesk::sendChannellist);
    connect(this, &jobRunner::sigUpdateFirmwareHD, &m_serialHD, &serialComVesk::updateFirmware);
    connect(this, &jobRunner::sigGetSoftwareVersion, &m_serialHD, &serialComVesk::readSoftwareVersion);
    connect(this, &jobRunner::sigGetLowpowerVersion, &m_serialHD, &serialComVesk::readLowPowerVersion);
    connect(this, &jobRunner::sigGetMACAddress, &m_serialHD, &serialComVesk::readMACAddress);
    connect(this, &jobRunner::sigInitFacReset, &m_serialHD, &serialComVesk::initFactoryReset);

    m_logfile.moveToThread(&m_threadLog);
    m_logfile.open();
    m_threadLog.start();

    connect(this, &jobRunner::sigwriteLog, &m_logfile, &logfile::writeLine);
    writeLog(QStringLiteral("---------- START ----------"));
    writeLog(QStringLiteral("Softwareversion: ") + QLatin1String(SOFTWARE_VERSION));

    connect(&m_serialSD, &serialComKarn::writeLog, &m_logfile, &logfile::writeLine);
    connect(&m_serialHD, &serialComVesk::writeLog, &m_logfile, &logfile::writeLine);
}

jobRunner::~jobRunner()
{
    // Never leave a running thread behind.
    shutDown();
}

void jobRunner::setPortname(const QString &name)
{
    m_serialSD.setPortname(name);
    m_serialHD.setPortname(name);
}

void jobRunner::writeLog(const QString &text)
{
    emit sigwriteLog(text);
}

bool jobRunner::start(int kind, const QString &files)
{
    const jobKind::Row *job = jobKind::find(kind);
    if (!job || files.isEmpty())
        return false;
    if (job->hd)
        m_serialHD.setFilename(files);
    else
        m_serialSD.setFilename(files);
    request(job->request, job->hd);
    return true;
}

void jobRunner::request(void (jobRunner::*signal)(), bool hd)
{
    QThread &thread = hd ? m_threadHD : m_threadSD;
    // Right after a job's end the thread may still be leaving its loop; a
    // start then would be lost and the request would wait for a later one.
    if (thread.isRunning())
        thread.wait(200);
    thread.start();
    emit(this->*signal)();
}

void jobRunner::jobEnded()
{
    m_threadSD.quit();
    m_threadHD.quit();
    writeLog(QString());
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
    m_threadSD.quit();
    m_threadHD.quit();
    m_threadSD.wait(500);
    m_threadHD.wait(500);
    // A busy link gives up at its next wait; a thread object must never be
    // destroyed while it runs, so wait for that end.
    m_threadSD.wait();
    m_threadHD.wait();
    // Let the writer take every line that is still queued before its loop ends.
    if (m_threadLog.isRunning())
        QMetaObject::invokeMethod(&m_logfile, "open", Qt::BlockingQueuedConnection);
    m_threadLog.quit();
    m_threadLog.wait(500);
    m_threadLog.wait();
}
