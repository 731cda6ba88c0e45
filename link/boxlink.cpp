#include "boxlink.h"

#include "markersearch.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

boxLink::boxLink(const Family &family, const QString &port, const QString &file)
    : filename(file)
    , portname(port)
    , serialPort([this](const QString &line) { emit writeLog(line); })
    , m_family(family)
{
}

boxLink::~boxLink()
{
    closePort();
}

void boxLink::setPortname(const QString &name)
{
    portname = name;
}

void boxLink::setFilename(const QString &name)
{
    filename = name;
}

void boxLink::requestStop()
{
    serialPort.requestStop();
}

bool boxLink::openPort()
{
    if (serialPort.open(portname))
        return true;
    emit sendCurrentAction(m_family.portFailed);
    emit sendCurrentAction(m_family.jobEnded);
    return false;
}

void boxLink::closePort()
{
    serialPort.close();
}

void boxLink::runJob(int code, const std::function<void()> &body)
{
    emit sendCurrentAction(m_family.jobStarted);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    body();
    closePort();
    emit sendCurrentAction(m_family.jobEnded);
}

void boxLink::lostLine(int code)
{
    // A vanished line answers every wait at once: going on would only spin,
    // and waiting out the windows on it would only hide what happened.
    serialPort.reportGone();
    emit sendCurrentAction(code);
}

// ---- sending a file ---------------------------------------------------------

bool boxLink::sendBlocks(const QString &name)
{
    emit sendCurrentAction(m_family.sendingFile);
    QFile file(name);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        // The system's own words; Qt rewords a folder, which it refuses itself.
        const int err = QFileInfo(name).isDir() ? EISDIR : errno;
        fileProblem("Error opening file ", name, err ? QString::fromLocal8Bit(std::strerror(err)) : file.errorString());
        return false;
    }
    const qint64 size = file.size();
    qint64 position = 0;
    // Written as "position + reserve < size" so that small files cannot wrap.
    for (const Tier &tier : m_family.tiers) {
        while (position + tier.reserve < size) {
            if (serialPort.halted())
                return false;
            const QByteArray block = file.read(tier.block);
            if (block.size() != tier.block) {
                // The file shrank or failed under us: never pad or cut it,
                // nor send stale bytes.
                fileProblem("Error reading file ", name,
                            file.error() != QFileDevice::NoError
                                ? file.errorString()
                                : QStringLiteral("the file is shorter than when the job started"));
                return false;
            }
            if (!writeBlock(block))
                return false;
            position += tier.block;
            progressAfterBlock(position, size, tier.block);
        }
    }
    file.close();
    progressAfterFile(size);
    emit writeLog(QStringLiteral("File sent. Wrote ") + QStringLiteral("%1 data").arg(position));
    emit sendCurrentAction(m_family.fileSent);
    return true;
}

void boxLink::fileProblem(const char *what, const QString &name, const QString &reason)
{
    emit writeLog(QLatin1String(what) + name + QStringLiteral(": ") + reason);
    emit sendCurrentAction(m_family.fileFailed);
}

bool boxLink::writeBlock(const QByteArray &block)
{
    // The port takes every block into its queue; only the drain tells
    // whether it left, so a vanished or stuck line fails here instead of
    // being reported as sent.
    if (serialPort.write(block.constData(), block.size()) == block.size() && serialPort.drain())
        return true;
    if (serialPort.halted())
        return false;
    emit writeLog(QStringLiteral("Error writing data to Port"));
    if (serialPort.gone())
        serialPort.reportGone();
    emit sendCurrentAction(m_family.writeFailed);
    return false;
}

void boxLink::progressAfterFile(qint64)
{
}

// ---- reading ----------------------------------------------------------------

serialLine::Wait boxLink::readChunk(qint64 max, const QElapsedTimer &clock, qint64 window, QByteArray &chunk)
{
    serialLine::Wait wait = serialLine::Arrived;
    if (serialPort.available() == 0)
        wait = serialPort.waitFor(clock, window);
    chunk = serialPort.read(max);
    return chunk.isEmpty() ? wait : serialLine::Arrived;
}

serialLine::Wait boxLink::findMarker(markerSearch &search, qint64 max, const QElapsedTimer &clock, qint64 window)
{
    for (;;) {
        QByteArray chunk;
        const serialLine::Wait wait = readChunk(max, clock, window, chunk);
        if (wait == serialLine::Stopped || wait == serialLine::Gone)
            return wait;
        if (chunk.isEmpty()) {
            if (wait == serialLine::TimedOut || clock.elapsed() >= window)
                return serialLine::TimedOut;
            continue;
        }
        if (search.feed(chunk))
            return serialLine::Arrived;
    }
}
