#include "rfc2217device.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include <cstring>

namespace {

// The replies to SET-BAUDRATE .. SET-CONTROL, the only ones the program uses.
constexpr unsigned char firstSetReply = rfc2217Device::replyOffset + 1;
constexpr unsigned char lastSetReply = rfc2217Device::replyOffset + 5;
// Only what the socket holds at once is taken, so memory stays bounded.
constexpr qint64 pumpBytes = 64 * 1024;

} // namespace

rfc2217Device::rfc2217Device(QTcpSocket *socket, QObject *parent)
    : QIODevice(parent), m_socket(socket)
{
    // Reads come from m_data directly; a second buffer would only copy.
    open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    // Whoever waits on the event loop instead of a blocking read (a watch
    // between jobs) is woken by the connection's bytes; what they carry is
    // read, and unwrapped, when asked for.
    connect(m_socket, &QIODevice::readyRead, this, &QIODevice::readyRead);
}

void rfc2217Device::offer()
{
    tell(telnetReader::WILL, telnetReader::Binary);
    tell(telnetReader::DO, telnetReader::Binary);
    tell(telnetReader::WILL, telnetReader::ComPort);
}

void rfc2217Device::tell(unsigned char verb, unsigned char option)
{
    const size_t bit = size_t(verb - telnetReader::WILL) * 256 + option;
    if (m_told.test(bit))
        return;
    m_told.set(bit);
    const char bytes[] = {char(telnetReader::IAC), char(verb), char(option)};
    m_socket->write(bytes, sizeof bytes);
}

void rfc2217Device::command(unsigned char code, const QByteArray &value)
{
    m_socket->write(telnetReader::subnegotiation(telnetReader::ComPort, QByteArray(1, char(code)) + value));
}

void rfc2217Device::answer(const telnetReader::Request &r)
{
    const bool wanted = r.option == telnetReader::Binary || r.option == telnetReader::ComPort;
    switch (r.verb) {
    case telnetReader::DO:
        // We offered both of ours already; tell() sends nothing twice.
        tell(wanted ? telnetReader::WILL : telnetReader::WONT, r.option);
        if (r.option == telnetReader::ComPort)
            m_comPort = Accepted;
        break;
    case telnetReader::DONT:
        if (r.option == telnetReader::ComPort)
            m_comPort = Refused;
        break;
    case telnetReader::WILL:
        tell(r.option == telnetReader::Binary ? telnetReader::DO : telnetReader::DONT, r.option);
        break;
    case telnetReader::WONT:
        // A server that will not send COM-PORT replies will not take our commands either.
        if (r.option == telnetReader::ComPort && m_comPort == Unanswered)
            m_comPort = Refused;
        break;
    default:
        break;
    }
}

void rfc2217Device::pump()
{
    for (;;) {
        const qint64 n = qMin(m_socket->bytesAvailable(), pumpBytes);
        if (n <= 0)
            break;
        const QByteArray raw = m_socket->read(n);
        if (m_dataStart > 0 && m_dataStart >= m_data.size() / 2) {
            m_data.remove(0, m_dataStart);
            m_scanned = qMax(0, m_scanned - m_dataStart);
            m_dataStart = 0;
        }
        m_reader.feed(raw.constData(), raw.size(), m_data);
        for (const telnetReader::Request &r : m_reader.takeRequests())
            answer(r);
        // The line and modem state notifications (NOTIFY-LINESTATE,
        // NOTIFY-MODEMSTATE) are the server's news about its port; they
        // have no place among the box's bytes, nor in memory, and end here.
        for (const QByteArray &sub : m_reader.takeSubnegotiations())
            if (sub.size() >= 2 && uchar(sub.at(0)) == telnetReader::ComPort && uchar(sub.at(1)) >= firstSetReply
                && uchar(sub.at(1)) <= lastSetReply)
                m_replies.insert(uchar(sub.at(1)), sub.mid(1));
        if (raw.size() < n)
            break;
    }
}

QList<QByteArray> rfc2217Device::takeReplies()
{
    const QList<QByteArray> r = m_replies.values();
    m_replies.clear();
    return r;
}

bool rfc2217Device::waitForServer(int ms)
{
    const bool got = m_socket->waitForReadyRead(ms);
    pump();
    return got;
}

qint64 rfc2217Device::bytesAvailable() const
{
    return m_data.size() - m_dataStart + QIODevice::bytesAvailable();
}

qint64 rfc2217Device::bytesToWrite() const
{
    return m_socket->bytesToWrite();
}

int rfc2217Device::lineEnd() const
{
    const int from = qMax(m_scanned, m_dataStart);
    const int nl = m_data.indexOf('\n', from);
    m_scanned = nl < 0 ? m_data.size() : nl;
    return nl;
}

bool rfc2217Device::canReadLine() const
{
    return lineEnd() >= 0 || QIODevice::canReadLine();
}

bool rfc2217Device::waitForReadyRead(int msecs)
{
    const qint64 before = m_data.size() - m_dataStart;
    pump();
    if (m_data.size() - m_dataStart > before)
        return true;
    // A read that brings only telnet commands is no data: wait on within the time.
    QDeadlineTimer deadline(msecs < 0 ? -1 : msecs);
    for (;;) {
        if (!m_socket->waitForReadyRead(int(qMax<qint64>(0, deadline.remainingTime()))))
            return false;
        pump();
        if (m_data.size() - m_dataStart > before)
            return true;
        if (deadline.hasExpired())
            return false;
    }
}

bool rfc2217Device::waitForBytesWritten(int msecs)
{
    return m_socket->waitForBytesWritten(msecs);
}

qint64 rfc2217Device::readData(char *data, qint64 maxSize)
{
    pump();
    const qint64 n = qMin<qint64>(maxSize, m_data.size() - m_dataStart);
    if (n <= 0)
        return m_socket->state() == QAbstractSocket::ConnectedState ? 0 : -1;
    std::memcpy(data, m_data.constData() + m_dataStart, size_t(n));
    m_dataStart += int(n);
    return n;
}

qint64 rfc2217Device::readLineData(char *data, qint64 maxSize)
{
    const int nl = lineEnd();
    const qint64 line = nl < 0 ? m_data.size() - m_dataStart : nl - m_dataStart + 1;
    return readData(data, qMin(maxSize, line));
}

qint64 rfc2217Device::writeData(const char *data, qint64 size)
{
    const QByteArray escaped = telnetReader::escape(data, size);
    return m_socket->write(escaped) == escaped.size() ? size : -1;
}
