#include "serialline.h"

#include "linkclock.h"
#include "tcptransport.h"

#include <QElapsedTimer>
#include <QIODevice>
#ifdef QT_SERIALPORT_LIB
#include <QSerialPort>
#endif
#include <QThread>

#include <utility>

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
    return lineTransport::devicePath(name);
}

bool serialLine::open(const QString &name)
{
    close();
    m_halted = false;
    m_openFailure = NotFailed;
    m_openReason.clear();
    m_openGroup.clear();
    m_goneReason.clear();
    m_head.clear();
    m_line = lineTransport::forPort(name);
    m_line->setStop(&m_wake);
    if (m_line->open(name, m_log)) {
        m_port = m_line->device();
        return true;
    }
    m_openFailure = m_line->openFailure();
    m_openReason = m_line->openReason();
    m_openGroup = m_line->openGroup();
    m_line.reset();
    return false;
}

void serialLine::close()
{
    if (m_port)
        release();
    m_held.clear();
    m_port = nullptr;
    m_line.reset();
}

#ifdef QT_SERIALPORT_LIB
const QSerialPort *serialLine::port() const
{
    return qobject_cast<const QSerialPort *>(m_port);
}
#endif

bool serialLine::isOpen() const
{
    return m_port && m_port->isOpen();
}

void serialLine::requestStop(int why)
{
    // The reason first: whoever sees the flag reads it.
    m_stopReason.store(why);
    m_stop.store(true);
    m_wake.raise();
}

void serialLine::clearStop()
{
    m_stop.store(false);
    m_stopReason.store(WindowClosed);
    m_wake.clear();
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

bool serialLine::portFailed() const
{
    return !isOpen() || m_line->failed();
}

bool serialLine::gone() const
{
    return portFailed() || !m_line->hungUp().isEmpty();
}

void serialLine::reportGone()
{
    if (m_halted)
        return;
    const QString hungUp = m_line ? m_line->hungUp() : QString();
    m_goneReason = !hungUp.isEmpty() ? hungUp : m_line ? m_line->failure() : QString();
    m_log(QStringLiteral("Error: ") + (m_line ? m_line->goneText() : QStringLiteral("the line is gone")) + QStringLiteral(": ")
          + m_goneReason);
    m_halted = true;
}

serialLine::Wait serialLine::waitFor(const QElapsedTimer &clock, qint64 window, qint64 slice)
{
    if (halted())
        return Stopped;
    // Whatever waits for an answer, the box must have all of the question.
    release();
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

const QByteArray &serialLine::noted(const QByteArray &bytes)
{
    if (network() && m_head.size() < tcpTransport::refusalHeadBytes)
        m_head += bytes.left(tcpTransport::refusalHeadBytes - m_head.size());
    return bytes;
}

QString serialLine::serverRefusal() const
{
    return network() ? tcpTransport::serverRefusal(m_head) : QString();
}

QByteArray serialLine::read(qint64 max)
{
    return noted(m_port->read(max));
}

QByteArray serialLine::readNow(qint64 max)
{
    m_port->waitForReadyRead(0);
    return noted(m_port->read(max));
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
    noted(to.mid(old));
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
    return noted(line);
}

qint64 serialLine::write(const char *data, qint64 size, Gather gather)
{
    if (gather == MayGather && size > 0 && m_held.size() < tcpTransport::leadBytes && m_line->lineAheadBytes() >= gatherAheadBytes) {
        m_held.append(data, int(size));
        m_line->handedOn(size);
        return size;
    }
    // Gathered blocks go first, so the box gets the bytes in their order.
    if (!release())
        return -1;
    const qint64 n = m_port->write(data, size);
    if (n > 0)
        m_line->handedOn(n);
    return n;
}

bool serialLine::release()
{
    if (m_held.isEmpty())
        return true;
    const QByteArray held = std::exchange(m_held, QByteArray());
    const bool taken = m_port->write(held) == held.size();
    m_line->push();
    return taken;
}

bool serialLine::send(const char *text, qint64 waitMs)
{
    const qint64 length = qint64(qstrlen(text));
    const bool taken = write(text, length) == length && release();
    // A connection the server already dropped has nothing left to wait for.
    if (taken && !gone())
        m_port->waitForBytesWritten(int(waitMs));
    return taken;
}

bool serialLine::drain()
{
    if (!handOn() || !keepPace())
        return false;
    // Whether bytes the system took just before the line went still left
    // cannot be told; only a port that failed them says so. The box's
    // verdict, or the vanished line at the next wait, tells the rest.
    return !portFailed();
}

bool serialLine::handOn()
{
    // Counting the bytes the port merely buffered would report a lost file
    // as sent. The stall clock restarts whenever a byte leaves, so only a
    // line that takes nothing for the whole window fails; the wait goes in
    // slices, so that a stop or a vanished line is seen within moments.
    m_line->push();
    const qint64 window = linkClock::windowAtLeast(stallMs, stallFloorMs);
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
    return true;
}

bool serialLine::keepPace()
{
    for (qint64 busy = m_line->lineBusyMs(); busy > 0; busy = m_line->lineBusyMs()) {
        if (halted() || gone())
            return false;
        // The gathered blocks leave before the wait, in one send.
        if (!m_held.isEmpty() && (!release() || !handOn()))
            return false;
        const qint64 slice = qMin(busy, sliceMs);
        QElapsedTimer waited;
        waited.start();
        // A wait on the input, not a sleep: a connection that closes ends it at once.
        m_port->waitForReadyRead(int(slice));
        if (gone())
            return false;
        const qint64 rest = slice - waited.elapsed();
        if (rest > 0)
            QThread::msleep(ulong(rest));
    }
    return true;
}
