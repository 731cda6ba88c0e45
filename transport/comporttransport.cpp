#include "comporttransport.h"

#include "comportdevice.h"
#include "platformdevice.h"
#include "platformerror.h"
#include "systemtext.h"

comPortTransport::~comPortTransport()
{
    close();
}

bool comPortTransport::open(const QString &name, const LogSink &log)
{
    close();
    clearFailure();
    const QString path = devicePath(name);
    if (name.isEmpty()) {
        log(QStringLiteral("Error: open Port: no port chosen"));
        openFailed(Other, QStringLiteral("no port chosen"));
        return false;
    }
    m_port = new comPortDevice;
    const int error = m_port->openPort(systemText(path));
    if (error == 0)
        return true;
    const QString reason = fromSystem(platformError::text(error));
    log(QStringLiteral("Error: open Port: ") + reason + QStringLiteral(" (") + path + QLatin1Char(')'));
    const platformDevice::Access access = platformDevice::access(systemText(path));
    const QString group = access.refused ? fromSystem(access.group) : QString();
    const platformError::Kind kind = platformError::kind(error);
    openFailed(kind == platformError::NotFound ? Missing
               : kind == platformError::Busy   ? Busy
               : kind == platformError::Denied ? (access.error == 0 ? Busy : Denied)
                                               : Other,
               reason, group);
    if (!group.isEmpty())
        log(QStringLiteral("To use %1, join the group %2 (sudo adduser $USER %2) and log in again").arg(path, group));
    close();
    return false;
}

void comPortTransport::close()
{
    delete m_port;
    m_port = nullptr;
}

QIODevice *comPortTransport::device() const
{
    return m_port;
}

bool comPortTransport::failed() const
{
    return !m_port || !m_port->isOpen() || m_port->error() != 0;
}

QString comPortTransport::hungUp() const
{
    const int lost = m_port ? platformDevice::lineLost(m_port->handle()) : 0;
    return lost ? fromSystem(platformError::text(lost)) : QString();
}

QString comPortTransport::failure() const
{
    return m_port ? m_port->errorString() : QString();
}

QString comPortTransport::goneText() const
{
    return QStringLiteral("the serial line is gone (device unplugged or cable pulled)");
}

namespace {

// A moment: a Windows write given no time at all would wait for good.
constexpr int pushWaitMs = 1;

} // namespace

void comPortTransport::push()
{
    if (m_port && m_port->bytesToWrite() > 0)
        m_port->waitForBytesWritten(pushWaitMs);
}
