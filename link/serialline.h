#pragma once

#include "linetransport.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QElapsedTimer;
class QIODevice;
class QSerialPort;

// The line under both box links, on whichever transport the port's name
// picks (a serial port, a serial server's port over TCP or RFC 2217): opens
// it with the boxes' line settings (115200 baud, 8 data bits, no parity, one
// stop bit, no flow control), waits on it in short slices while watching the
// stop flag, notices a line that has gone, reads and writes with limits that
// keep a babbling or stuck box from growing buffers or hanging a job. The
// line exists only for one job, in the thread that runs the job.
class serialLine
{
public:
    enum Wait {
        Arrived,   // more bytes are waiting
        Quiet,     // a slice passed without a byte; the window runs on
        TimedOut,  // the window is over
        Stopped,   // the job was asked to stop
        Gone       // the line vanished
    };
    using LogSink = std::function<void(const QString &)>;
    // Why a port did not open, for the one who has to mend it.
    using OpenFailure = lineTransport::OpenFailure;
    static constexpr OpenFailure NotFailed = lineTransport::NotFailed;
    static constexpr OpenFailure Missing = lineTransport::Missing;
    static constexpr OpenFailure Busy = lineTransport::Busy;
    static constexpr OpenFailure Denied = lineTransport::Denied;
    static constexpr OpenFailure Unreachable = lineTransport::Unreachable;
    static constexpr OpenFailure ServerSettings = lineTransport::ServerSettings;
    static constexpr OpenFailure ServerDevice = lineTransport::ServerDevice;
    static constexpr OpenFailure NameTooLong = lineTransport::NameTooLong;
    static constexpr OpenFailure NameServer = lineTransport::NameServer;
    static constexpr OpenFailure OpenStopped = lineTransport::Stopped;
    static constexpr OpenFailure Other = lineTransport::Other;
    // Who asked a job to stop; a positive number is the signal that did.
    enum StopReason : int {
        WindowClosed = 0,
        StopPressed = -1,
    };

    // A list download gives up beyond this many bytes (far above any real
    // list), so a flooding box cannot exhaust memory.
    static constexpr qint64 maxListBytes = 8 * 1024 * 1024;
    // Longest single wait, so that a stop request is seen within moments.
    static constexpr qint64 sliceMs = 100;
    // How long a write may make no progress before the line counts as
    // stuck. A live line can hold still for seconds: a relay (socat, a
    // virtual machine's serial port, a serial server) forwards in bursts and
    // keeps what it has taken until the slow side has read it; at 11,520
    // bytes/s the 4 KB of a tty buffer alone take a third of a second, the
    // 64 KB that a pseudo-terminal or a socket buffer may hold take almost
    // six. So a write counts as stalled only after as long as the box itself
    // is given to report a flashed file (16 s): a line that has not taken a
    // byte in that time would lose the update anyway. A port error or a
    // vanished line still ends the wait at once.
    static constexpr qint64 stallMs = 16000;
    // Shrunk for a test, the stall window still outlasts the moments a
    // loaded machine leaves a reader unscheduled.
    static constexpr qint64 stallFloorMs = 1000;
    // On a network port whose line still has this much to carry (about
    // 90 ms at 11,520 bytes/s), a file's block stays here until the link
    // next waits: the few blocks that go between two waits for the line's
    // pace then leave in one send, not one send each, and the box's line
    // never runs dry meanwhile.
    static constexpr qint64 gatherAheadBytes = 1024;

    explicit serialLine(LogSink log);
    ~serialLine();
    serialLine(const serialLine &) = delete;
    serialLine &operator=(const serialLine &) = delete;

    // Opens the named port for one job; on failure the log gets the system's
    // reason (and, for a permission failure, what the user can do about it).
    bool open(const QString &name);
    void close();
    bool isOpen() const;

    // Why the last open() failed: its class, the system's reason in words
    // and, for a permission failure, the group that may open the port.
    OpenFailure openFailure() const { return m_openFailure; }
    QString openReason() const { return m_openReason; }
    QString openGroup() const { return m_openGroup; }
    // Why the opened line may not carry the boxes' settings, else empty.
    QString openWarning() const { return m_line ? m_line->openWarning() : QString(); }
    // Why the line went, once reportGone() has said it.
    QString goneReason() const { return m_goneReason; }

    // Who asked a job to stop, in words for the log.
    static QString stopText(int why);
    // Thread-safe; stays set. `why` names who asked, for the log.
    void requestStop(int why = WindowClosed);
    // Lets the next job run after a stop that was meant for one job only
    // (the window's Stop). Only while no job runs.
    void clearStop();
    bool stopRequested() const { return m_stop.load(); }
    // Who asked for the stop (StopReason or a signal number).
    int stopReason() const { return m_stopReason.load(); }
    // True once the job must end: a stop request (logged once) or a line
    // that was reported gone.
    bool halted();
    bool gone() const;
    // The line is a connection to a serial server.
    bool network() const { return m_line && m_line->network(); }
    // What the serial server said in place of the box when it could not
    // open its device (its first line), else empty.
    QString serverRefusal() const;
    // Logs in words a user understands that the line is gone; the job then
    // counts as halted.
    void reportGone();

    // Waits until more bytes arrive than are waiting now, the window on
    // `clock` is over, a stop is requested or the line vanishes. Never longer
    // than `slice` at a time, never past the window, never spinning.
    Wait waitFor(const QElapsedTimer &clock, qint64 window, qint64 slice = sliceMs);

    qint64 available() const;
    QByteArray read(qint64 max);
    // Like read(), but first takes in what the system holds for the port
    // without waiting.
    QByteArray readNow(qint64 max);
    // Appends what is waiting, at most `max` bytes, to `to` without an
    // intermediate copy; returns the number of bytes taken.
    qint64 readInto(QByteArray &to, qint64 max);
    // A whole line waits, or `longest` bytes without a line end do: a box
    // that never ends its line is read in pieces instead of being buffered.
    bool lineReady(qint64 longest) const;
    // One line of at most `longest` bytes (its line end included), or what
    // there is of it.
    QByteArray readLine(qint64 longest);

    // Whether a write may wait for the next ones to leave with them: only a
    // file's blocks may; a command byte reaches the box when it is written.
    enum Gather { AtOnce, MayGather };
    qint64 write(const char *data, qint64 size, Gather gather = AtOnce);
    // Writes a command and gives it up to `waitMs` to leave; as the boxes'
    // dialogue does, the outcome is seen in the replies. False only when the
    // port did not take all of it.
    bool send(const char *text, qint64 waitMs);
    // Waits until every byte has been handed on: to the system's tty queue
    // on a serial port, to the system's socket on a network port; false on a
    // stall of `stallMs` (scaled by linkClock), a stop, a port error or a
    // vanished line.
    bool drain();

    // The path the system opens the named port by.
    static QString devicePath(const QString &name);
#ifdef QT_SERIALPORT_LIB
    // For tests: the open serial port's own settings, which a pseudo-terminal
    // does not all keep; null on a network port.
    const QSerialPort *port() const;
#endif

private:
    // The port reported a failed read or write.
    bool portFailed() const;
    // Waits while the line is still carrying what was handed on beyond a
    // tty queue's worth (a network port only); false on a stop or a
    // vanished line.
    bool keepPace();
    // Waits until the port has handed on all it was given; false as drain().
    bool handOn();
    // Hands the gathered blocks to the port; false when it did not take them.
    bool release();

    std::unique_ptr<lineTransport> m_line;
    QIODevice *m_port = nullptr;
    LogSink m_log;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_stopReason{WindowClosed};
    // Wakes a connect or a look-up that the opening waits on.
    platformConnect::Stop m_wake;
    OpenFailure m_openFailure = NotFailed;
    QString m_openReason;
    QString m_openGroup;
    QString m_goneReason;
    bool m_halted = false;
    QByteArray m_head;   // a network line's first bytes, for serverRefusal()
    QByteArray m_held;   // blocks gathered for one send (network ports only)
    // Keeps the start of what a network line brought; returns `bytes`.
    const QByteArray &noted(const QByteArray &bytes);
};
