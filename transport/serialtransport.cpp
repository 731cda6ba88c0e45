#include "serialtransport.h"

#include <QFile>
#include <QSerialPort>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <unistd.h>
#include <sys/stat.h>
#include <termios.h>

serialTransport::~serialTransport()
{
    close();
}

QString serialTransport::devicePath(const QString &name)
{
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}

QString serialTransport::deviceGroup(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    const struct group *g = ::getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
}

bool serialTransport::open(const QString &name, const LogSink &log)
{
    close();
    clearFailure();
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
    const bool allowed = ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
    const bool denied = !allowed && errno == EACCES;
    // Qt reports a port that another program holds as a permission error.
    if (error == QSerialPort::PermissionError && allowed)
        reason = QStringLiteral("Device or resource busy (") + reason + QLatin1Char(')');
    log(QStringLiteral("Error: open Port: ") + reason
        + (name.isEmpty() ? QStringLiteral(" (no port chosen)") : QStringLiteral(" (") + path + QLatin1Char(')')));
    const QString group = denied ? deviceGroup(path) : QString();
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
    termios t;
    if (!m_port || m_port->handle() < 0 || ::tcgetattr(m_port->handle(), &t) == 0 || errno == ENOTTY)
        return QString();
    return QString::fromLocal8Bit(::strerror(errno));
}

QString serialTransport::failure() const
{
    return m_port ? m_port->errorString() : QString();
}

QString serialTransport::goneText() const
{
    return QStringLiteral("the serial line is gone (device unplugged or cable pulled)");
}
