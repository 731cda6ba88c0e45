#pragma once

#include "linetransport.h"
#include "portaddress.h"

class QTcpSocket;

// A serial server's port as a raw TCP stream ("socket://host:port"): every
// byte is the box's, both ways, and the server's own settings hold for its
// serial side. The base of the RFC 2217 client, which adds its telnet
// filter once connected.
class tcpTransport : public lineTransport
{
public:
    // A server that has not taken the connection by then counts as not
    // answering: a live one on a local network does so in milliseconds.
    static constexpr int connectMs = 5000;

    ~tcpTransport() override;

    bool open(const QString &name, const LogSink &log) override;
    void close() override;
    QIODevice *device() const override;
    bool failed() const override;
    QString failure() const override;
    QString goneText() const override;

protected:
    // After the connection is made: what the transport needs before the
    // job's first byte; false ends the opening with openFailed() set.
    virtual bool begin(const LogSink &log);
    QTcpSocket *socket() const { return m_socket; }
    const portAddress &address() const { return m_address; }
    // Logs why the port did not open and sets the failure.
    void refuse(const LogSink &log, const QString &reason);

private:
    QString connectProblem() const;

    QTcpSocket *m_socket = nullptr;
    portAddress m_address;
};
