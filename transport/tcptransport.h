#pragma once

#include "linetransport.h"
#include "portaddress.h"

#include <QElapsedTimer>

class QTcpSocket;

// A serial server's port as a raw TCP stream ("socket://host:port"): every
// byte is the box's, both ways, and the server's own settings hold for its
// serial side. The base of the RFC 2217 client, which adds its telnet
// filter once connected.
class tcpTransport : public lineTransport
{
public:
    // A server that has not taken the connection by then counts as not
    // answering: a live one on a local network does so in milliseconds. A
    // host name's look-up gets as long, before.
    static constexpr int connectMs = 5000;

    ~tcpTransport() override;

    bool open(const QString &name, const LogSink &log) override;
    void close() override;
    QIODevice *device() const override;
    bool failed() const override;
    QString failure() const override;
    QString goneText() const override;
    bool network() const override { return true; }
    void handedOn(qint64 bytes) override;
    qint64 lineBusyMs() const override;
    qint64 lineAheadBytes() const override;
    void push() override;

    // The serial server's own refusal at the start of a connection (ser2net
    // prints such a line when it cannot open its device, then closes): that
    // line, else empty. `head` is the first bytes the connection brought.
    static QString serverRefusal(const QByteArray &head);
    // Enough of a connection's first bytes to tell such a refusal.
    static constexpr int refusalHeadBytes = 128;

    // What the box's line carries: 115200 baud, ten bits a byte.
    static constexpr qint64 lineBytesPerSecond = 11520;
    // How far the program may run ahead of the line: a tty queue's worth,
    // as on a serial port, so that a file's progress, the wait for its
    // verdict and a stop all mean the same on every transport.
    static constexpr qint64 leadBytes = 4096;

protected:
    // After the connection is made: what the transport needs before the
    // job's first byte; false ends the opening with openFailed() set.
    virtual bool begin(const LogSink &log);
    QTcpSocket *socket() const { return m_socket; }
    const portAddress &address() const { return m_address; }
    // Longest single wait while opening, so that a stop is seen soon.
    static constexpr qint64 stopSliceMs = 100;
    // A stop came while the port opened: the failure says so (without an
    // error in the log: the job says it was stopped).
    bool stoppedWhileOpening();
    // Logs why the port did not open and sets the failure.
    void refuse(const LogSink &log, const QString &reason, OpenFailure failure = Unreachable);

private:
    // Why the connection was not made, in words, and its class.
    void connectFailed(const LogSink &log, const platformConnect::Connection &c);

    QTcpSocket *m_socket = nullptr;
    portAddress m_address;
    QElapsedTimer m_clock;
    qint64 m_lineFreeAtUs = 0;   // when the line has carried all that was handed on, on m_clock
    // Once the lead is full, the link waits until this much of it has gone:
    // a wait per few blocks instead of one per block keeps many links cheap,
    // and the pause a box with no line of its own would see stays far below
    // the quiet that ends a file (a box behind a real line sees none).
    static constexpr qint64 catchUpBytes = 2048;
    mutable bool m_catchingUp = false;
};
