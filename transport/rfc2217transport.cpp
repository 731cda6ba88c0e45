#include "rfc2217transport.h"

#include "rfc2217device.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QtEndian>

namespace {

// RFC 2217's client commands; the server's reply to each carries code + 100.
enum ComPortCommand : unsigned char {
    SetBaudrate = 1,
    SetDatasize = 2,
    SetParity = 3,
    SetStopsize = 4,
    SetControl = 5,
};
constexpr unsigned char replyOffset = 100;
constexpr quint32 lineBaud = 115200;
constexpr unsigned char dataBits = 8;
constexpr unsigned char parityNone = 1;
constexpr unsigned char oneStopBit = 1;
constexpr unsigned char noFlowControl = 1;

QByteArray baudValue()
{
    QByteArray v(4, '\0');
    qToBigEndian(lineBaud, v.data());
    return v;
}

const struct {
    unsigned char code;
    const char *name;
} lineSettings[] = {
    {.code = SetBaudrate, .name = "SET-BAUDRATE"},
    {.code = SetDatasize, .name = "SET-DATASIZE"},
    {.code = SetParity, .name = "SET-PARITY"},
    {.code = SetStopsize, .name = "SET-STOPSIZE"},
    {.code = SetControl, .name = "SET-CONTROL"},
};

QByteArray settingValue(unsigned char code)
{
    switch (code) {
    case SetBaudrate:
        return baudValue();
    case SetDatasize:
        return QByteArray(1, char(dataBits));
    case SetParity:
        return QByteArray(1, char(parityNone));
    case SetStopsize:
        return QByteArray(1, char(oneStopBit));
    default:
        return QByteArray(1, char(noFlowControl));
    }
}

} // namespace

rfc2217Transport::~rfc2217Transport()
{
    close();
}

bool rfc2217Transport::begin(const LogSink &log)
{
    m_device = new rfc2217Device(socket());
    m_device->offer();
    if (!awaitComPort()) {
        if (failed()) {
            refuse(log, QStringLiteral("the server %1 closed the connection at once").arg(address().hostPort()));
            return false;
        }
        log(QStringLiteral("The serial server %1 does not offer RFC 2217 port control: used as a plain binary "
                           "telnet line with the server's own port settings").arg(address().hostPort()));
        return true;
    }
    if (setLine(log))
        log(QStringLiteral("RFC 2217: the serial server %1 set its port to 115200 baud, 8N1, no flow control")
                .arg(address().hostPort()));
    if (!failed())
        return true;
    refuse(log, failure());
    return false;
}

bool rfc2217Transport::awaitComPort()
{
    QDeadlineTimer deadline(negotiateMs);
    while (m_device->comPort() == rfc2217Device::Unanswered && !deadline.hasExpired() && !failed())
        m_device->waitForServer(int(qMax<qint64>(1, deadline.remainingTime())));
    return m_device->comPort() == rfc2217Device::Accepted;
}

bool rfc2217Transport::setLine(const LogSink &log)
{
    for (const auto &s : lineSettings)
        m_device->command(s.code, settingValue(s.code));
    socket()->flush();
    QList<unsigned char> confirmed;
    QDeadlineTimer deadline(negotiateMs);
    while (confirmed.size() < int(std::size(lineSettings)) && !deadline.hasExpired() && !failed()) {
        m_device->waitForServer(int(qMax<qint64>(1, deadline.remainingTime())));
        for (const QByteArray &reply : m_device->takeReplies()) {
            const unsigned char code = uchar(reply.at(0)) - replyOffset;
            if (!confirmed.contains(code))
                confirmed << code;
        }
    }
    for (const auto &s : lineSettings)
        if (!confirmed.contains(s.code)) {
            log(QStringLiteral("RFC 2217: the serial server %1 did not confirm %2 within %3 s")
                    .arg(address().hostPort(), QLatin1String(s.name)).arg(negotiateMs / 1000));
            return false;
        }
    return true;
}

void rfc2217Transport::close()
{
    delete m_device;
    m_device = nullptr;
    tcpTransport::close();
}

QIODevice *rfc2217Transport::device() const
{
    return m_device;
}
