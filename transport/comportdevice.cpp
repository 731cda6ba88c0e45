#include "comportdevice.h"

#include "platformerror.h"

#include <QtGlobal>

#include <cstring>

namespace {

// One read from the system takes at most this much; a busy line is read
// again at once, up to the most one wait gathers, so that a babbling port
// cannot hold a wait without end.
constexpr int readChunk = 4096;
constexpr int mostPerWait = 64 * 1024;

} // namespace

comPortDevice::comPortDevice(QObject *parent)
    : QIODevice(parent)
{
}

comPortDevice::~comPortDevice()
{
    comPortDevice::close();
}

int comPortDevice::openPort(const std::string &path)
{
    close();
    m_error = 0;
    const int error = m_port.open(path);
    if (error == 0)
        QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    return error;
}

void comPortDevice::close()
{
    if (isOpen())
        QIODevice::close();
    m_port.close();
    m_in.clear();
    m_out.clear();
}

bool comPortDevice::failed(int error)
{
    if (m_error == 0)
        m_error = error;
    setErrorString(QString::fromStdString(platformError::text(error)));
    return false;
}

qint64 comPortDevice::bytesAvailable() const
{
    return m_in.size() + QIODevice::bytesAvailable();
}

qint64 comPortDevice::bytesToWrite() const
{
    return m_out.size();
}

bool comPortDevice::canReadLine() const
{
    return m_in.contains('\n') || QIODevice::canReadLine();
}

bool comPortDevice::waitForReadyRead(int msecs)
{
    if (!m_port.isOpen() || m_error != 0)
        return false;
    char chunk[readChunk];
    qint64 got = 0;
    // Only the first read waits; the rest take what is already there.
    for (int wait = qMax(0, msecs); got < mostPerWait; wait = 0) {
        const platformSerial::Result r = m_port.read(chunk, readChunk, wait);
        if (r.error != 0)
            return failed(r.error);
        m_in.append(chunk, int(r.bytes));
        got += r.bytes;
        if (r.bytes < readChunk)
            break;
    }
    if (got == 0)
        return false;
    emit readyRead();
    return true;
}

bool comPortDevice::waitForBytesWritten(int msecs)
{
    if (!m_port.isOpen() || m_error != 0 || m_out.isEmpty())
        return false;
    const platformSerial::Result r = m_port.write(m_out.constData(), m_out.size(), qMax(0, msecs));
    if (r.bytes > 0) {
        m_out.remove(0, int(r.bytes));
        emit bytesWritten(r.bytes);
    }
    if (r.error != 0)
        return failed(r.error);
    return r.bytes > 0;
}

qint64 comPortDevice::readData(char *data, qint64 maxSize)
{
    const qint64 n = qMin(maxSize, qint64(m_in.size()));
    std::memcpy(data, m_in.constData(), size_t(n));
    m_in.remove(0, int(n));
    return n;
}

qint64 comPortDevice::readLineData(char *data, qint64 maxSize)
{
    const int end = m_in.indexOf('\n');
    const qint64 n = qMin(maxSize, end < 0 ? qint64(m_in.size()) : qint64(end) + 1);
    return readData(data, n);
}

qint64 comPortDevice::writeData(const char *data, qint64 maxSize)
{
    if (m_error != 0)
        return -1;
    m_out.append(data, int(maxSize));
    return maxSize;
}
