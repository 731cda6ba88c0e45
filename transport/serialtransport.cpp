#include "serialtransport.h"

#include "platformdevice.h"
#include "platformerror.h"
#include "systemtext.h"

#include <QFileInfo>
#include <QSerialPort>

namespace {

// File systems take names of at most 255 bytes; the port's lock file adds
// "LCK.." to the device's name. A longer name is a mistyped one, and the
// lock's failure would read as a refused permission.
constexpr int longestFileName = 255;
constexpr int lockPrefix = 5;

} // namespace

serialTransport::~serialTransport()
{
    close();
}


bool serialTransport::open(const QString &name, const LogSink &log)
{
    close();
    clearFailure();
    const qsizetype length = qsizetype(systemText(QFileInfo(devicePath(name)).fileName()).size());
    if (length > longestFileName - lockPrefix) {
        const QString reason = QStringLiteral("%1 bytes, where a port's name has at most %2")
                                   .arg(length).arg(longestFileName - lockPrefix);
        log(QStringLiteral("Error: open Port: ") + reason);
        openFailed(NameTooLong, reason);
        return false;
    }
    m_port = new QSerialPort;
    m_port->setPortName(name);
    // Settings given to a closed port are applied when it opens, so one
    // opening suffices and the line is never touched with wrong settings.
    m_port->setBaudRate(115200, QSerialPort::AllDirections);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setParity(QSerialPort::NoParity);
    if (m_port->open(QIODevice::ReadWrite))
        return true;
    // The reason is read before the port is closed: closing replaces it.
    const QSerialPort::SerialPortError error = m_port->error();
    const QString path = devicePath(name);
    QString reason = m_port->errorString();
    const platformDevice::Access access = platformDevice::access(systemText(path));
    const bool allowed = access.error == 0;
    const bool denied = access.refused;
    // Qt reports a port that another program holds as a permission error.
    if (error == QSerialPort::PermissionError && allowed)
        reason = QStringLiteral("Device or resource busy (") + reason + QLatin1Char(')');
    log(QStringLiteral("Error: open Port: ") + reason
        + (name.isEmpty() ? QStringLiteral(" (no port chosen)") : QStringLiteral(" (") + path + QLatin1Char(')')));
    const QString group = denied ? fromSystem(access.group) : QString();
    openFailed(error == QSerialPort::DeviceNotFoundError ? Missing
               : error == QSerialPort::PermissionError   ? (allowed ? Busy : Denied)
                                                         : Other,
               name.isEmpty() ? QStringLiteral("no port chosen") : reason, group);
    if (!group.isEmpty())
        log(QStringLiteral("To use %1, join the group %2 (sudo adduser $USER %2) and log in again").arg(path, group));
    close();
    return false;
}

void serialTransport::close()
{
    if (!m_port)
        return;
    m_port->close();
    delete m_port;
    m_port = nullptr;
}

QIODevice *serialTransport::device() const
{
    return m_port;
}

bool serialTransport::failed() const
{
    if (!m_port || !m_port->isOpen())
        return true;
    const QSerialPort::SerialPortError e = m_port->error();
    return e == QSerialPort::ResourceError || e == QSerialPort::ReadError || e == QSerialPort::WriteError;
}

// A vanished line (an unplugged USB adapter, a closed relay) is hung up by
// the system: every request on it then fails with an I/O error. Qt notices
// only when it next reads or writes, and its text then may be that of an
// unrelated earlier call, so the line itself is asked.
QString serialTransport::hungUp() const
{
    // The handle is a descriptor on POSIX and a pointer on Windows.
    const int lost = m_port ? platformDevice::lineLost(std::intptr_t(m_port->handle())) : 0;
    return lost ? fromSystem(platformError::text(lost)) : QString();
}

QString serialTransport::failure() const
{
    return m_port ? m_port->errorString() : QString();
}

QString serialTransport::goneText() const
{
    return QStringLiteral("the serial line is gone (device unplugged or cable pulled)");
}
