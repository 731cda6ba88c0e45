#include "tcptransport.h"

#include <QTcpSocket>
#include <QUrl>

namespace {

// What serial servers say, in place of the box, when they cannot serve the port.
const char *const refusals[] = {"Device open failure", "Port already in use", "Port is disabled"};

} // namespace

QString tcpTransport::serverRefusal(const QByteArray &head)
{
    // Power-up noise and telnet's leftovers may come first.
    const QByteArray text = head.trimmed();
    for (const char *refusal : refusals)
        if (text.startsWith(refusal)) {
            const int end = text.indexOf('\n');
            return QString::fromLatin1(text.left(end < 0 ? text.size() : end)).trimmed();
        }
    return QString();
}

tcpTransport::~tcpTransport()
{
    close();
}

bool tcpTransport::open(const QString &name, const LogSink &log)
{
    close();
    clearFailure();
    m_address = portAddress::parse(name);
    if (!m_address.problem.isEmpty()) {
        refuse(log, m_address.problem);
        return false;
    }
    // Qt's own connect looks the name up in one blocking call and cannot be
    // abandoned; this one wakes at once on a stop.
    const QByteArray ace = QUrl::toAce(m_address.host);
    const platformConnect::Connection c = platformConnect::connect(
        (ace.isEmpty() ? m_address.host.toUtf8() : ace).toStdString(), m_address.port, connectMs, stop());
    if (c.result != platformConnect::Connected) {
        connectFailed(log, c);
        return false;
    }
    m_socket = new QTcpSocket;
    if (!m_socket->setSocketDescriptor(qintptr(c.socket), QAbstractSocket::ConnectedState)) {
        platformConnect::closeSocket(c.socket);
        refuse(log, QStringLiteral("cannot connect to %1: %2").arg(m_address.hostPort(), m_socket->errorString()));
        return false;
    }
    // The SD link hands on its commands a byte at a time, paced for the
    // box; Nagle's rule would hold each byte back until the one before is
    // acknowledged and so bunch them up on their way to the box.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_clock.start();
    m_lineFreeAtUs = 0;
    if (begin(log))
        return true;
    close();
    return false;
}

void tcpTransport::connectFailed(const LogSink &log, const platformConnect::Connection &c)
{
    const QString where = m_address.hostPort();
    const int seconds = connectMs / 1000;
    switch (c.result) {
    case platformConnect::Stopped:
        // Not a failure of the port: the job says that it was stopped.
        openFailed(Stopped, QStringLiteral("stopped while connecting to %1").arg(where));
        return;
    case platformConnect::Refused:
        return refuse(log, QStringLiteral("connection refused by %1 (no serial server listens there)").arg(where));
    case platformConnect::UnknownHost:
        return refuse(log, QStringLiteral("unknown host %1").arg(m_address.host));
    case platformConnect::NameServerSilent:
        return refuse(log, QStringLiteral("the name server did not answer for %1 within %2 s").arg(m_address.host).arg(seconds),
                      NameServer);
    case platformConnect::NoAnswer:
        return refuse(log, QStringLiteral("no answer from %1 within %2 s").arg(where).arg(seconds));
    default:
        return refuse(log, QStringLiteral("cannot connect to %1: %2").arg(where, QString::fromLocal8Bit(c.reason.c_str())));
    }
}

bool tcpTransport::stoppedWhileOpening()
{
    if (!stop().raised())
        return false;
    openFailed(Stopped, QStringLiteral("stopped while opening %1").arg(m_address.hostPort()));
    return true;
}

void tcpTransport::refuse(const LogSink &log, const QString &reason, OpenFailure failure)
{
    log(QStringLiteral("Error: open Port: ") + reason + QStringLiteral(" (") + m_address.name + QLatin1Char(')'));
    openFailed(failure, reason);
    if (m_socket) {
        m_socket->abort();
        delete m_socket;
        m_socket = nullptr;
    }
}

bool tcpTransport::begin(const LogSink &)
{
    return true;
}

void tcpTransport::close()
{
    if (!m_socket)
        return;
    // What is still queued goes out first, within moments; a server that
    // no longer takes it loses nothing the job still counted on.
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->waitForDisconnected(100);
    m_socket->abort();
    delete m_socket;
    m_socket = nullptr;
}

QIODevice *tcpTransport::device() const
{
    return m_socket;
}

bool tcpTransport::failed() const
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return true;
    // A wait that ran out sets an error too, and so does a full buffer for a moment.
    const QAbstractSocket::SocketError e = m_socket->error();
    return e != QAbstractSocket::UnknownSocketError && e != QAbstractSocket::SocketTimeoutError
           && e != QAbstractSocket::TemporaryError;
}

QString tcpTransport::failure() const
{
    if (!m_socket)
        return QString();
    if (m_socket->error() == QAbstractSocket::RemoteHostClosedError)
        return QStringLiteral("the connection was closed by the server %1").arg(m_address.hostPort());
    return QStringLiteral("the connection to %1 failed: %2").arg(m_address.hostPort(), m_socket->errorString());
}

QString tcpTransport::goneText() const
{
    return QStringLiteral("the connection to the serial server %1 is gone").arg(m_address.hostPort());
}

void tcpTransport::handedOn(qint64 bytes)
{
    const qint64 now = m_clock.nsecsElapsed() / 1000;
    m_lineFreeAtUs = qMax(m_lineFreeAtUs, now) + bytes * 1000000 / lineBytesPerSecond;
}

qint64 tcpTransport::lineBusyMs() const
{
    const qint64 aheadUs = m_lineFreeAtUs - m_clock.nsecsElapsed() / 1000;
    const qint64 leadUs = leadBytes * 1000000 / lineBytesPerSecond;
    if (aheadUs > leadUs)
        m_catchingUp = true;
    const qint64 busyUs = aheadUs - (m_catchingUp ? leadUs - catchUpBytes * 1000000 / lineBytesPerSecond : leadUs);
    if (busyUs <= 0)
        m_catchingUp = false;
    return busyUs > 0 ? (busyUs + 999) / 1000 : 0;
}

qint64 tcpTransport::lineAheadBytes() const
{
    const qint64 aheadUs = m_lineFreeAtUs - m_clock.nsecsElapsed() / 1000;
    return aheadUs > 0 ? aheadUs * lineBytesPerSecond / 1000000 : 0;
}

void tcpTransport::push()
{
    // A write without a poll first: the socket nearly always has room.
    if (m_socket)
        m_socket->flush();
}
