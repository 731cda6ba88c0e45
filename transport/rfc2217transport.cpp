#include "rfc2217transport.h"

#include "rfc2217device.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QtEndian>

namespace {

// RFC 2217's client commands; the server's reply to each carries code + rfc2217Device::replyOffset.
enum ComPortCommand : unsigned char {
    SetBaudrate = 1,
    SetDatasize = 2,
    SetParity = 3,
    SetStopsize = 4,
    SetControl = 5,
};
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

// The words for what a server confirmed, where it is not what was asked.
QString parityName(unsigned char value)
{
    static const char *const names[] = {"none", "odd", "even", "mark", "space"};
    return value >= parityNone && value < parityNone + std::size(names) ? QLatin1String(names[value - parityNone])
                                                                        : QString::number(value);
}

QString plainValue(unsigned char code, const QByteArray &value)
{
    const unsigned char first = value.isEmpty() ? 0 : uchar(value.at(0));
    if (code == SetBaudrate)
        return QString::number(value.size() == 4 ? qFromBigEndian<quint32>(value.constData()) : 0);
    if (code == SetParity)
        return parityName(first);
    return QString::number(first);
}

// "9600 baud", "7 data bits", "parity odd", "stop size 2".
QString settingText(unsigned char code, const QByteArray &value)
{
    const QString v = plainValue(code, value);
    switch (code) {
    case SetBaudrate:
        return v + QStringLiteral(" baud");
    case SetDatasize:
        return v + QStringLiteral(" data bits");
    case SetParity:
        return QStringLiteral("parity ") + v;
    default:
        return QStringLiteral("stop size ") + v;
    }
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
    const bool comPort = awaitComPort();
    if (stoppedWhileOpening())
        return false;
    if (refusedByServer(log))
        return false;
    if (!comPort) {
        if (failed()) {
            refuse(log, QStringLiteral("the server %1 closed the connection at once").arg(address().hostPort()));
            return false;
        }
        log(QStringLiteral("The serial server %1 does not offer RFC 2217 port control: used as a plain binary "
                           "telnet line with the server's own port settings").arg(address().hostPort()));
        warn(QStringLiteral("the serial server %1 does not offer RFC 2217 port control").arg(address().hostPort()));
        return true;
    }
    QString mismatch;
    const bool confirmed = setLine(log, &mismatch);
    if (stoppedWhileOpening())
        return false;
    if (confirmed)
        log(QStringLiteral("RFC 2217: the serial server %1 set its port to 115200 baud, 8N1, no flow control")
                .arg(address().hostPort()));
    if (!mismatch.isEmpty()) {
        // A wrong line rate would make the box look silent: say so at once.
        refuse(log, mismatch, ServerSettings);
        return false;
    }
    if (!failed())
        return true;
    if (!refusedByServer(log))
        refuse(log, failure());
    return false;
}

bool rfc2217Transport::refusedByServer(const LogSink &log)
{
    // A server that refuses writes its words and closes: what the socket
    // still holds after the close is read too.
    m_device->waitForServer(0);
    const QString refusal = serverRefusal(m_device->waiting(refusalHeadBytes));
    if (refusal.isEmpty())
        return false;
    refuse(log, refusal, ServerDevice);
    return true;
}

bool rfc2217Transport::awaitComPort()
{
    QDeadlineTimer deadline(negotiateMs);
    while (m_device->comPort() == rfc2217Device::Unanswered && !deadline.hasExpired() && !failed() && !stop().raised())
        m_device->waitForServer(int(qBound<qint64>(1, deadline.remainingTime(), stopSliceMs)));
    return m_device->comPort() == rfc2217Device::Accepted;
}

bool rfc2217Transport::setLine(const LogSink &log, QString *mismatch)
{
    for (const auto &s : lineSettings)
        m_device->command(s.code, settingValue(s.code));
    socket()->flush();
    QMap<unsigned char, QByteArray> confirmed;
    QDeadlineTimer deadline(negotiateMs);
    // Replies already read with the negotiation count before any wait.
    const auto take = [&] {
        for (const QByteArray &reply : m_device->takeReplies())
            confirmed.insert(uchar(reply.at(0)) - rfc2217Device::replyOffset, reply.mid(1));
        return confirmed.size() < int(std::size(lineSettings));
    };
    while (take() && !deadline.hasExpired() && !failed() && !stop().raised())
        m_device->waitForServer(int(qBound<qint64>(1, deadline.remainingTime(), stopSliceMs)));
    for (const auto &s : lineSettings) {
        const auto it = confirmed.constFind(s.code);
        if (s.code != SetControl && it != confirmed.constEnd() && *it != settingValue(s.code)) {
            *mismatch = QStringLiteral("the serial server set %1, not %2")
                            .arg(settingText(s.code, *it), plainValue(s.code, settingValue(s.code)));
            return false;
        }
    }
    for (const auto &s : lineSettings)
        if (!confirmed.contains(s.code)) {
            warn(QStringLiteral("the serial server %1 did not confirm %2 within %3 s")
                     .arg(address().hostPort(), QLatin1String(s.name))
                     .arg(negotiateMs / 1000));
            log(QStringLiteral("RFC 2217: ") + openWarning());
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
