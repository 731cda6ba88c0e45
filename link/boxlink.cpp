#include "boxlink.h"

#include "linkclock.h"
#include "listbuffer.h"
#include "markersearch.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// A console that boots reads no input, and a command that it does answer
// only says that it is there, so asking again and again is harmless.
// Between two questions to a console that has not answered yet.
constexpr qint64 askPauseMs = 500;
// An answer's lines follow each other within moments; this much quiet ends it.
constexpr qint64 replySettleMs = 200;
// Dropping what a box sent before a question reads it in pieces of this
// size, and never more than the longest list in all.
constexpr qint64 dropPiece = 4096;
constexpr qint64 dropLimit = serialLine::maxListBytes;

} // namespace

boxLink::boxLink(const Family &family, const QString &port, const QString &file)
    : filename(file)
    , portname(port)
    , serialPort([this](const QString &line) { emit writeLog(line); })
    , m_family(family)
{
    linkCause::registerType();
}

boxLink::~boxLink()
{
    closePort();
}

void boxLink::setPortname(const QString &name)
{
    portname = name;
}

void boxLink::setFilename(const QString &name)
{
    filename = name;
}

void boxLink::setVerify(bool on)
{
    m_verify = on;
}

void boxLink::requestStop(int why)
{
    serialPort.requestStop(why);
}

bool boxLink::openPort()
{
    if (serialPort.open(portname))
        return true;
    const struct {
        serialLine::OpenFailure failure;
        linkCause::Kind cause;
    } causes[] = {
        {.failure = serialLine::Missing, .cause = linkCause::PortMissing},
        {.failure = serialLine::Busy, .cause = linkCause::PortBusy},
        {.failure = serialLine::Denied, .cause = linkCause::PortDenied},
        {.failure = serialLine::Unreachable, .cause = linkCause::ServerUnreachable},
    };
    linkCause::Kind kind = linkCause::PortOther;
    for (const auto &c : causes)
        if (c.failure == serialPort.openFailure())
            kind = c.cause;
    emit sendCause(linkCause(kind, serialPort.openReason(), portname, serialPort.openGroup()));
    emit sendCurrentAction(m_family.portFailed);
    emit sendCurrentAction(m_family.jobEnded);
    return false;
}

void boxLink::closePort()
{
    serialPort.close();
}

void boxLink::runJob(int code, const std::function<void()> &body)
{
    emit sendCurrentAction(m_family.jobStarted);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    body();
    closePort();
    emit sendCurrentAction(m_family.jobEnded);
}

void boxLink::lostLine(int code)
{
    // A vanished line answers every wait at once: going on would only spin,
    // and waiting out the windows on it would only hide what happened.
    serialPort.reportGone();
    emit sendCause(linkCause(linkCause::LineGone, serialPort.goneReason()));
    emit sendCurrentAction(code);
}

void boxLink::noReply(const QString &lastReply, qint64 windowMs, int attempts)
{
    if (lastReply.isEmpty())
        emit sendCause(linkCause(linkCause::BoxSilent, QString::number((windowMs * attempts + 500) / 1000)));
    else
        emit sendCause(linkCause(linkCause::BoxSaid, lastReply));
}

// ---- sending a file ---------------------------------------------------------

bool boxLink::sendBlocks(const QString &name)
{
    emit sendCurrentAction(m_family.sendingFile);
    QFile file(name);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        // The system's own words; Qt rewords a folder, which it refuses itself.
        const int err = QFileInfo(name).isDir() ? EISDIR : errno;
        fileProblem("Error opening file ", name, err ? QString::fromLocal8Bit(std::strerror(err)) : file.errorString());
        return false;
    }
    const qint64 size = file.size();
    qint64 position = 0;
    // Written as "position + reserve < size" so that small files cannot wrap.
    for (const Tier &tier : m_family.tiers) {
        while (position + tier.reserve < size) {
            if (serialPort.halted())
                return false;
            const QByteArray block = file.read(tier.block);
            if (block.size() != tier.block) {
                // The file shrank or failed under us: never pad or cut it,
                // nor send stale bytes.
                fileProblem("Error reading file ", name,
                            file.error() != QFileDevice::NoError
                                ? file.errorString()
                                : QStringLiteral("the file is shorter than when the job started"));
                return false;
            }
            if (!writeBlock(block))
                return false;
            position += tier.block;
            progressAfterBlock(position, size, tier.block);
        }
    }
    file.close();
    progressAfterFile(size);
    emit writeLog(QStringLiteral("File sent. Wrote ") + QStringLiteral("%1 data").arg(position));
    emit sendCurrentAction(m_family.fileSent);
    return true;
}

void boxLink::fileProblem(const char *what, const QString &name, const QString &reason)
{
    emit writeLog(QLatin1String(what) + name + QStringLiteral(": ") + reason);
    emit sendCause(linkCause(linkCause::FileUnreadable, reason, name));
    emit sendCurrentAction(m_family.fileFailed);
}

bool boxLink::writeBlock(const QByteArray &block)
{
    // The port takes every block into its queue; only the drain tells
    // whether it left, so a vanished or stuck line fails here instead of
    // being reported as sent.
    if (serialPort.write(block.constData(), block.size()) == block.size() && serialPort.drain())
        return true;
    if (serialPort.halted())
        return false;
    emit writeLog(QStringLiteral("Error writing data to Port"));
    if (serialPort.gone()) {
        serialPort.reportGone();
        emit sendCause(linkCause(linkCause::LineGone, serialPort.goneReason()));
    } else {
        emit sendCause(linkCause(linkCause::LineStalled));
    }
    emit sendCurrentAction(m_family.writeFailed);
    return false;
}

void boxLink::progressAfterFile(qint64)
{
}

// ---- reading ----------------------------------------------------------------

serialLine::Wait boxLink::readChunk(qint64 max, const QElapsedTimer &clock, qint64 window, QByteArray &chunk)
{
    serialLine::Wait wait = serialLine::Arrived;
    if (serialPort.available() == 0)
        wait = serialPort.waitFor(clock, window);
    chunk = serialPort.read(max);
    return chunk.isEmpty() ? wait : serialLine::Arrived;
}

serialLine::Wait boxLink::findMarker(markerSearch &search, qint64 max, const QElapsedTimer &clock, qint64 window)
{
    for (;;) {
        QByteArray chunk;
        const serialLine::Wait wait = readChunk(max, clock, window, chunk);
        if (wait == serialLine::Stopped || wait == serialLine::Gone)
            return wait;
        if (chunk.isEmpty()) {
            if (wait == serialLine::TimedOut || clock.elapsed() >= window)
                return serialLine::TimedOut;
            continue;
        }
        if (search.feed(chunk))
            return serialLine::Arrived;
    }
}

bool boxLink::answered(const QByteArray &marker, qint64 window)
{
    QElapsedTimer clock;
    clock.start();
    markerSearch search(marker);
    const serialLine::Wait wait = findMarker(search, 256, clock, window);
    if (wait == serialLine::Gone)
        lostLine(m_family.verifyNoAnswer);
    return wait == serialLine::Arrived;
}

void boxLink::dropInput()
{
    // Also what the system holds for the port and has not handed over yet;
    // a box that floods the line cannot keep this going for ever.
    for (qint64 dropped = 0; dropped < dropLimit;) {
        const QByteArray gone = serialPort.readNow(dropPiece);
        if (gone.isEmpty())
            break;
        dropped += gone.size();
    }
}

bool boxLink::anyReply(qint64 window)
{
    QElapsedTimer clock;
    clock.start();
    serialLine::Wait wait = serialLine::Quiet;
    while (serialPort.available() == 0 && wait != serialLine::TimedOut) {
        wait = serialPort.waitFor(clock, window);
        if (wait == serialLine::Gone)
            lostLine(m_family.verifyNoAnswer);
        if (wait == serialLine::Gone || wait == serialLine::Stopped)
            return false;
    }
    if (serialPort.available() == 0)
        return false;
    // The rest of the answer, so that it is not taken for the next reply.
    const qint64 settle = linkClock::window(replySettleMs);
    QElapsedTimer quiet;
    quiet.start();
    for (;;) {
        dropInput();
        wait = serialPort.waitFor(quiet, settle);
        if (wait == serialLine::Arrived && clock.elapsed() < 2 * window)
            quiet.restart();
        else if (wait != serialLine::Quiet)
            break;
    }
    dropInput();
    return !serialPort.halted();
}

// ---- verifying an upload -----------------------------------------------------

void boxLink::verifyUpload(const QString &name)
{
    if (!m_verify || serialPort.halted())
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        emit writeLog(QStringLiteral("Could not verify: cannot read the file again: ") + file.errorString());
        emit sendCause(linkCause(linkCause::FileUnreadable, file.errorString(), name));
        emit sendCurrentAction(m_family.fileFailed);
        return;
    }
    const QByteArray expected = file.readAll();
    file.close();
    emit writeLog(QStringLiteral("Verifying the Channel list: waiting for the Settopbox's console"));
    emit sendCurrentAction(m_family.verifyWaiting);
    emit sendWaiting(linkClock::window(consoleWindowMs));
    if (!awaitConsole()) {
        if (serialPort.halted())
            return;
        emit writeLog(QStringLiteral("Could not verify the Channel list: the Settopbox's console did not answer "
                                     "within %L1 s").arg(linkClock::window(consoleWindowMs) / 1000.0));
        emit sendCause(linkCause(linkCause::ConsoleSilent, QString::number(linkClock::window(consoleWindowMs) / 1000)));
        emit sendCurrentAction(m_family.verifyNoAnswer);
        return;
    }
    QByteArray back;
    if (!readForComparison(QStringLiteral("Reading the Channel list back"), expected.size(), &boxLink::readListBack, back)) {
        // The read-back's own error code has been shown.
        if (!serialPort.halted())
            emit writeLog(QStringLiteral("Could not verify the Channel list: it could not be read back"));
        return;
    }
    compareList(expected, back);
}

bool boxLink::readForComparison(const QString &logLine, qint64 size, bool (boxLink::*read)(QByteArray &),
                                QByteArray &bytes)
{
    emit writeLog(logLine);
    emit sendCurrentAction(m_family.verifying);
    emit sendProgress(0);
    m_readBackSize = size;
    const bool got = (this->*read)(bytes);
    m_readBackSize = 0;
    return got;
}

bool boxLink::awaitConsole()
{
    const qint64 window = linkClock::window(consoleWindowMs);
    QElapsedTimer clock;
    clock.start();
    for (int asked = 1; !serialPort.halted(); ++asked) {
        if (probeConsole()) {
            emit writeLog(QStringLiteral("Console answered after %L1 ms (questions asked: %2)").arg(clock.elapsed()).arg(asked));
            return true;
        }
        if (serialPort.halted() || clock.elapsed() >= window)
            return false;
        QThread::msleep(ulong(linkClock::window(askPauseMs)));
    }
    return false;
}

void boxLink::compareList(const QByteArray &file, const QByteArray &box)
{
    const int common = qMin(file.size(), box.size());
    const auto differ = std::mismatch(file.constBegin(), file.constBegin() + common, box.constBegin());
    const int at = int(differ.first - file.constBegin());
    if (at == common && file.size() == box.size()) {
        emit writeLog(QStringLiteral("Channel list verified: %1 bytes as in the file").arg(file.size()));
        emit sendCurrentAction(m_family.verified);
        return;
    }
    QString where = QStringLiteral("Channel list differs from the file at offset %1").arg(at);
    if (at < common)
        where += QStringLiteral(" (file 0x%1, box 0x%2)")
                     .arg(uchar(file.at(at)), 2, 16, QLatin1Char('0'))
                     .arg(uchar(box.at(at)), 2, 16, QLatin1Char('0'));
    where += QStringLiteral(": the file has %1 bytes, the box %2 bytes").arg(file.size()).arg(box.size());
    emit writeLog(where);
    emit sendCause(linkCause(linkCause::ListDiffers, where.mid(where.indexOf(QLatin1String("at offset")))));
    emit sendCurrentAction(m_family.verifyDiffers);
}

namespace {

// Where two reads of a list differ, for the log: the first few offsets and
// the lengths.
QString differences(const QByteArray &a, const QByteArray &b)
{
    constexpr int shownOffsets = 8;
    QStringList at;
    int count = 0;
    const int common = qMin(a.size(), b.size());
    for (int i = 0; i < common; ++i)
        if (a.at(i) != b.at(i) && count++ < shownOffsets)
            at << QString::number(i);
    QString text = count > 0 ? QStringLiteral("at offset %1").arg(at.join(QStringLiteral(", "))) : QString();
    if (count > shownOffsets)
        text += QStringLiteral(" and %1 more").arg(count - shownOffsets);
    if (a.size() != b.size())
        text += (text.isEmpty() ? QString() : QStringLiteral("; ")) +
                QStringLiteral("%1 bytes against %2").arg(a.size()).arg(b.size());
    return text;
}

} // namespace

bool boxLink::confirmDownload(listBuffer &received)
{
    if (!m_verify)
        return true;
    const QByteArray list = received.tail(received.size());
    QList<QByteArray> reads{list};
    for (int read = 2; read <= maxListReads; ++read) {
        QByteArray again;
        const QString what = QStringLiteral("Reading the Channel list again to compare: read %1 of at most %2")
                                 .arg(read)
                                 .arg(maxListReads);
        if (!readForComparison(what, list.size(), &boxLink::readListAgain, again))
            return false;
        for (const QByteArray &earlier : reads) {
            if (earlier == again) {
                emit writeLog(QStringLiteral("Channel list read alike twice: %1 bytes").arg(again.size()));
                received = listBuffer();
                received.append(again);
                return true;
            }
        }
        emit writeLog(QStringLiteral("Read %1 of the Channel list differs from read %2 %3")
                          .arg(read)
                          .arg(read - 1)
                          .arg(differences(reads.last(), again)));
        reads << again;
    }
    emit writeLog(QStringLiteral("No two of %1 reads of the Channel list agree: nothing saved").arg(maxListReads));
    emit sendCause(linkCause(linkCause::ListReadsDiffer,
                             differences(reads.at(reads.size() - 2), reads.last()), filename));
    reportFailure(m_family.readsDiffer);
    return false;
}

int boxLink::listProgress(qint64 received, qint64 nominal) const
{
    return int(received * 100 / (m_readBackSize > 0 ? m_readBackSize : nominal));
}
