#include "serialline.h"

#include "linkclock.h"
#include "platformdevice.h"
#include "platformerror.h"
#include "systemtext.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

serialLine::serialLine(LogSink log)
    : m_log(std::move(log))
{
}

serialLine::~serialLine()
{
    close();
}

QString serialLine::devicePath(const QString &name)
{
    return fromSystem(platformDevice::portPath(systemText(name)));
}

bool serialLine::open(const QString &name)
{
    close();
    m_halted = false;
    m_openFailure = NotFailed;
    m_openReason.clear();
    m_openGroup.clear();
    m_goneReason.clear();
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
    m_openFailure = error == QSerialPort::DeviceNotFoundError ? Missing
                    : error == QSerialPort::PermissionError ? (allowed ? Busy : Denied)
                                                            : Other;
    // Qt reports a port that another program holds as a permission error.
    if (error == QSerialPort::PermissionError && allowed)
        reason = QStringLiteral("Device or resource busy (") + reason + QLatin1Char(')');
    m_openReason = name.isEmpty() ? QStringLiteral("no port chosen") : reason;
    m_log(QStringLiteral("Error: open Port: ") + reason
          + (name.isEmpty() ? QStringLiteral(" (no port chosen)") : QStringLiteral(" (") + path + QLatin1Char(')')));
    const QString group = access.refused ? fromSystem(access.group) : QString();
    m_openGroup = group;
    if (!group.isEmpty())
        m_log(QStringLiteral("To use %1, join the group %2 (sudo adduser $USER %2) and log in again").arg(path, group));
    close();
    return false;
}

void serialLine::close()
{
    if (!m_port)
        return;
    m_port->close();
    delete m_port;
    m_port = nullptr;
}

bool serialLine::isOpen() const
{
    return m_port && m_port->isOpen();
}

void serialLine::requestStop(int why)
{
    // The reason first: whoever sees the flag reads it.
    m_stopReason.store(why);
    m_stop.store(true);
}

void serialLine::clearStop()
{
    m_stop.store(false);
    m_stopReason.store(WindowClosed);
}

QString serialLine::stopText(int why)
{
    switch (why) {
    case serialLine::WindowClosed:
        return QStringLiteral("the window was closed");
    case serialLine::StopPressed:
        return QStringLiteral("Stop was pressed");
    default:
        break;
    }
    const struct {
        int number;
        const char *name;
    } names[] = {{.number = 1, .name = "SIGHUP"}, {.number = 2, .name = "SIGINT"}, {.number = 15, .name = "SIGTERM"}};
    for (const auto &n : names)
        if (n.number == why)
            return QStringLiteral("interrupted by %1").arg(QLatin1String(n.name));
    return QStringLiteral("interrupted by signal %1").arg(why);
}

bool serialLine::halted()
{
    if (m_halted)
        return true;
    if (!stopRequested())
        return false;
    m_log(QStringLiteral("Job stopped: ") + stopText(m_stopReason.load()));
    m_halted = true;
    return true;
}

// A vanished line (an unplugged USB adapter, a closed relay) is hung up by
// the system: every request on it then fails with an I/O error.
int serialLine::hungUp() const
{
    // The handle is a descriptor on POSIX and a pointer on Windows.
    return m_port ? platformDevice::lineLost(std::intptr_t(m_port->handle())) : 0;
}

bool serialLine::portFailed() const
{
    if (!isOpen())
        return true;
    const QSerialPort::SerialPortError e = m_port->error();
    return e == QSerialPort::ResourceError || e == QSerialPort::ReadError || e == QSerialPort::WriteError;
}

bool serialLine::gone() const
{
    return portFailed() || hungUp() != 0;
}

void serialLine::reportGone()
{
    if (m_halted)
        return;
    const int lost = hungUp();
    m_goneReason = lost ? fromSystem(platformError::text(lost)) : m_port ? m_port->errorString() : QString();
    m_log(QStringLiteral("Error: the serial line is gone (device unplugged or cable pulled): ") + m_goneReason);
    m_halted = true;
}

serialLine::Wait serialLine::waitFor(const QElapsedTimer &clock, qint64 window, qint64 slice)
{
    if (halted())
        return Stopped;
    const qint64 wait = qMin(slice, window - clock.elapsed());
    if (wait <= 0)
        return TimedOut;
    const qint64 before = m_port->bytesAvailable();
    QElapsedTimer waited;
    waited.start();
    m_port->waitForReadyRead(int(qBound(qint64(1), wait, qint64(60000))));
    if (m_port->bytesAvailable() > before)
        return Arrived;
    if (gone())
        return Gone;
    // A wait that returns early with nothing must not turn the caller's loop
    // into a spin: sleep out the rest of the slice.
    const qint64 rest = wait - waited.elapsed();
    if (rest > 0)
        QThread::msleep(ulong(rest));
    return clock.elapsed() >= window ? TimedOut : Quiet;
}

qint64 serialLine::available() const
{
    return m_port ? m_port->bytesAvailable() : 0;
}

QByteArray serialLine::read(qint64 max)
{
    return m_port->read(max);
}

QByteArray serialLine::readNow(qint64 max)
{
    m_port->waitForReadyRead(0);
    return m_port->read(max);
}

qint64 serialLine::readInto(QByteArray &to, qint64 max)
{
    const qint64 n = qMin(max, m_port->bytesAvailable());
    if (n <= 0)
        return 0;
    const int old = to.size();
    to.resize(old + int(n));
    const qint64 got = m_port->read(to.data() + old, n);
    to.resize(old + int(qMax<qint64>(0, got)));
    return qMax<qint64>(0, got);
}

bool serialLine::lineReady(qint64 longest) const
{
    return m_port->canReadLine() || m_port->bytesAvailable() >= longest;
}

QByteArray serialLine::readLine(qint64 longest)
{
    QByteArray line(int(longest) + 1, '\0');
    const qint64 n = m_port->readLine(line.data(), longest + 1);
    line.truncate(int(qMax<qint64>(0, n)));
    return line;
}

qint64 serialLine::write(const char *data, qint64 size)
{
    return m_port->write(data, size);
}

void serialLine::send(const char *text, qint64 waitMs)
{
    m_port->write(text);
    m_port->waitForBytesWritten(int(waitMs));
}

bool serialLine::drain()
{
    // Counting the bytes the port merely buffered would report a lost file
    // as sent. The stall clock restarts whenever a byte leaves, so only a
    // line that takes nothing for the whole window fails; the wait goes in
    // slices, so that a stop or a vanished line is seen within moments.
    const qint64 window = linkClock::window(stallMs);
    QElapsedTimer still;
    still.start();
    while (m_port->bytesToWrite() > 0) {
        if (halted() || gone())
            return false;
        const qint64 before = m_port->bytesToWrite();
        QElapsedTimer waited;
        waited.start();
        const qint64 slice = qMin(sliceMs, window - still.elapsed());
        m_port->waitForBytesWritten(int(qMax<qint64>(1, slice)));
        if (m_port->bytesToWrite() < before) {
            still.restart();
            continue;
        }
        if (gone())
            return false;
        if (still.elapsed() >= window)
            return false;
        // A wait that gives up early must not become a spin.
        const qint64 rest = slice - waited.elapsed();
        if (rest > 0)
            QThread::msleep(ulong(rest));
    }
    // Whether bytes the system took just before the line went still left
    // cannot be told; only a port that failed them says so. The box's
    // verdict, or the vanished line at the next wait, tells the rest.
    return !portFailed();
}
