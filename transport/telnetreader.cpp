#include "telnetreader.h"

#include <cstring>

void telnetReader::feed(const char *bytes, qint64 n, QByteArray &data)
{
    const char *end = bytes + n;
    while (bytes < end) {
        if (m_state == Data) {
            // Runs of plain data are copied whole: they are nearly all of it.
            const char *iac = static_cast<const char *>(memchr(bytes, IAC, size_t(end - bytes)));
            const char *stop = iac ? iac : end;
            data.append(bytes, int(stop - bytes));
            bytes = stop;
            if (iac) {
                m_state = Command;
                ++bytes;
            }
            continue;
        }
        const auto byte = static_cast<unsigned char>(*bytes++);
        switch (m_state) {
        case Command:
            if (byte == IAC) {
                data.append(char(IAC));
                m_state = Data;
            } else {
                command(byte);
            }
            break;
        case Verb:
            m_requests.append(Request{.verb = m_verb, .option = byte});
            m_state = Data;
            break;
        case Sub:
            if (byte == IAC)
                m_state = SubCommand;
            else if (m_sub.size() < longestSub)
                m_sub.append(char(byte));
            break;
        case SubCommand:
            if (byte == IAC) {
                if (m_sub.size() < longestSub)
                    m_sub.append(char(IAC));
                m_state = Sub;
                break;
            }
            // SE ends it; any other command ends it too, and is then obeyed.
            if (!m_sub.isEmpty())
                m_subs.append(m_sub);
            m_sub.clear();
            m_state = Data;
            if (byte != SE)
                command(byte);
            break;
        case Data:
            break;
        }
    }
}

void telnetReader::command(unsigned char byte)
{
    if (byte >= WILL && byte <= DONT) {
        m_verb = byte;
        m_state = Verb;
    } else if (byte == SB) {
        m_sub.clear();
        m_state = Sub;
    } else {
        // NOP, GA, a stray SE and the rest carry nothing for the box.
        m_state = Data;
    }
}

QList<telnetReader::Request> telnetReader::takeRequests()
{
    QList<Request> r;
    r.swap(m_requests);
    return r;
}

QList<QByteArray> telnetReader::takeSubnegotiations()
{
    QList<QByteArray> s;
    s.swap(m_subs);
    return s;
}

QByteArray telnetReader::escape(const char *bytes, qint64 n)
{
    QByteArray out;
    out.reserve(int(n + n / 64 + 4));
    const char *end = bytes + n;
    while (bytes < end) {
        const char *iac = static_cast<const char *>(memchr(bytes, IAC, size_t(end - bytes)));
        const char *stop = iac ? iac + 1 : end;
        out.append(bytes, int(stop - bytes));
        if (iac)
            out.append(char(IAC));
        bytes = stop;
    }
    return out;
}

QByteArray telnetReader::subnegotiation(unsigned char option, const QByteArray &parameters)
{
    QByteArray out;
    out.append(char(IAC)).append(char(SB)).append(char(option));
    out.append(escape(parameters.constData(), parameters.size()));
    out.append(char(IAC)).append(char(SE));
    return out;
}
