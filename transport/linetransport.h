#pragma once

#include "platformconnect.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QIODevice;

// One transport of the line to a box: a serial port, or a serial server's
// port on the network. It opens with the boxes' line settings (115200 baud,
// 8 data bits, no parity, one stop bit, no flow control), gives its bytes as
// a QIODevice whose waits block the calling thread, and tells whether the
// line has gone. The waits, the stop and the stall rule are the caller's and
// hold the same on every transport. Made, used and closed in one thread.
class lineTransport
{
public:
    using LogSink = std::function<void(const QString &)>;
    // Why a port did not open, for the one who has to mend it.
    enum OpenFailure {
        NotFailed,
        Missing,   // no such device
        Busy,      // another program holds it
        Denied,    // this user may not open it
        Unreachable,   // a serial server that refuses, is unknown or does not answer
        ServerSettings,   // a serial server that set its port to other settings than asked
        ServerDevice,     // a serial server that cannot open its own device
        NameTooLong,      // a port's name longer than a system can have
        NameServer,       // the name server did not answer about a serial server's host
        Stopped,          // the job was stopped while the port opened
        Other      // anything else
    };

    virtual ~lineTransport();
    // The transport that the port's name asks for: a serial port unless
    // the name is an rfc2217:// or socket:// address.
    static std::unique_ptr<lineTransport> forPort(const QString &name);
    // The path the system opens a serial port by ("/dev/" before a bare
    // name on POSIX, "\\.\" before COM10 and above on Windows).
    static QString devicePath(const QString &name);

    // Opens for one job; on failure the log has the reason and openFailure(),
    // openReason() and openGroup() tell it.
    virtual bool open(const QString &name, const LogSink &log) = 0;
    // What ends a wait of open() at once when raised from another thread
    // (a connect, a look-up, a server's negotiation); set before open().
    void setStop(const platformConnect::Stop *stop) { m_stop = stop; }
    virtual void close() = 0;
    // The line's bytes while open, else null. Its bytesToWrite() counts
    // what is not yet handed on; see drained().
    virtual QIODevice *device() const = 0;
    // The transport reported a failed read or write, or a closed connection:
    // what it took last may not have left.
    virtual bool failed() const = 0;
    // The line went without the port noticing yet (a hung-up tty): its
    // reason in words, else empty.
    virtual QString hungUp() const { return QString(); }
    // Why the line failed, in words; asked once it has.
    virtual QString failure() const = 0;
    // What the log calls the line when it goes.
    virtual QString goneText() const = 0;
    // A serial server's port on the network: a line that goes is a lost
    // connection, not a pulled cable.
    virtual bool network() const { return false; }
    // Books bytes handed on to the device.
    virtual void handedOn(qint64 bytes) { Q_UNUSED(bytes) }
    // How long until the box's line can have carried all but a tty queue's
    // worth of what was handed on. On a serial port the system's queue is
    // the line's own, so never; a network port's buffers (the socket's, the
    // server's) would take megabytes without a word, so the line's rate is
    // kept by the clock.
    virtual qint64 lineBusyMs() const { return 0; }
    // How many of the bytes handed on the box's line has yet to carry, by
    // the clock; 0 on a serial port, whose queue is the line's own.
    virtual qint64 lineAheadBytes() const { return 0; }
    // Hands what the device holds to the system without waiting.
    virtual void push() {}

    OpenFailure openFailure() const { return m_openFailure; }
    QString openReason() const { return m_openReason; }
    QString openGroup() const { return m_openGroup; }
    // An opened port that may not carry the boxes' line settings (a serial
    // server that did not confirm them): why, in words; else empty.
    QString openWarning() const { return m_openWarning; }

protected:
    void openFailed(OpenFailure failure, const QString &reason, const QString &group = QString());
    void clearFailure()
    {
        openFailed(NotFailed, QString());
        m_openWarning.clear();
    }
    void warn(const QString &warning) { m_openWarning = warning; }
    // The stop given, or one never raised.
    const platformConnect::Stop &stop() const { return m_stop ? *m_stop : m_never; }

private:
    OpenFailure m_openFailure = NotFailed;
    QString m_openReason;
    QString m_openGroup;
    QString m_openWarning;
    const platformConnect::Stop *m_stop = nullptr;
    platformConnect::Stop m_never;
};
