#include "boxlink.h"

#include "linkclock.h"
#include "linktrace.h"
#include "listbuffer.h"
#include "markersearch.h"
#include "replyjoin.h"

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
// A whole-line step that sees this much text without a line end reads it in
// pieces, so a babbling box cannot grow the input buffer without bound.
constexpr qint64 floodGuard = 4096;
// Bytes without a line end get this long for the rest of their line before
// they are examined as they are. At 115200 baud a line arrives in about a
// millisecond, so a whole line is never split by this; a box that stops in
// the middle of a line is still examined at once after it.
constexpr qint64 fragmentSettleMs = 10;

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

boxLink::boxLink(const Family &family, const QString &port, const QString &file)
    : filename(file)
    , portname(port)
    , serialPort([this](const QString &line) { emit writeLog(line); })
    , m_family(family)
{
    linkCause::registerType();
    linkOutcome::registerType();
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
    if (serialPort.open(portname)) {
        // A box behind a server on another line rate would look silent.
        if (!serialPort.openWarning().isEmpty())
            m_outcome.warning = linkCause(linkCause::ServerUnconfirmed, serialPort.openWarning());
        return true;
    }
    // Stopped while connecting: the job says so, not a port that failed.
    if (serialPort.stopRequested() || serialPort.openFailure() == serialLine::OpenStopped) {
        serialPort.halted();
        emit sendCurrentAction(m_family.jobEnded);
        return false;
    }
    const struct {
        serialLine::OpenFailure failure;
        linkCause::Kind cause;
    } causes[] = {
        {.failure = serialLine::Missing, .cause = linkCause::PortMissing},
        {.failure = serialLine::Busy, .cause = linkCause::PortBusy},
        {.failure = serialLine::Denied, .cause = linkCause::PortDenied},
        {.failure = serialLine::Unreachable, .cause = linkCause::ServerUnreachable},
        {.failure = serialLine::ServerSettings, .cause = linkCause::ServerSettings},
        {.failure = serialLine::ServerDevice, .cause = linkCause::ServerDevice},
        {.failure = serialLine::NameTooLong, .cause = linkCause::PortNameTooLong},
        {.failure = serialLine::NameServer, .cause = linkCause::NameServerSilent},
    };
    linkCause::Kind kind = linkCause::PortOther;
    for (const auto &c : causes)
        if (c.failure == serialPort.openFailure())
            kind = c.cause;
    fail(m_family.portFailed, linkCause(kind, serialPort.openReason(), portname, serialPort.openGroup()));
    emit sendCurrentAction(m_family.jobEnded);
    return false;
}

void boxLink::closePort()
{
    serialPort.close();
}

void boxLink::runJob(int code, const std::function<void()> &body)
{
    m_outcome = linkOutcome();
    m_jobClock.start();
    m_lastStep = -1;
    m_done = false;
    m_failed = false;
    m_commandCut = false;
    emit sendCurrentAction(m_family.jobStarted);
    step(code);
    if (openPort()) {
        body();
        closePort();
        emit sendCurrentAction(m_family.jobEnded);
    }
    finishJob();
}

void boxLink::updateFirmware()
{
    runJob(m_family.updating, [this] { doUpdateFirmware(); });
}

void boxLink::sendChannellist()
{
    runJob(m_family.uploading, [this] { doSendChannellist(); });
}

void boxLink::getChannellist()
{
    runJob(m_family.downloading, [this] { doGetChannellist(); });
}

void boxLink::finishJob()
{
    // A stop that came after the work was done did not stop it.
    if (m_done && !m_failed)
        m_outcome.end = linkOutcome::Done;
    else if (serialPort.stopRequested())
        m_outcome.end = linkOutcome::Stopped;
    else
        m_outcome.end = linkOutcome::Failed;
    if (m_outcome.end == linkOutcome::Stopped)
        m_outcome.stoppedBy = serialPort.stopReason();
    if (m_outcome.end == linkOutcome::Done)
        m_outcome.cause = linkCause();
    m_outcome.ms = m_jobClock.elapsed();
    emit sendOutcome(m_outcome);
}

// ---- what the job came to ---------------------------------------------------

void boxLink::step(int code)
{
    m_lastStep = code;
    emit sendCurrentAction(code);
}

void boxLink::succeed(int code)
{
    if (!m_failed) {
        m_done = true;
        m_outcome.code = code;
    }
    emit sendCurrentAction(code);
}

void boxLink::fail(int code, const linkCause &cause, const QString &logLine)
{
    if (!logLine.isEmpty())
        emit writeLog(logLine);
    if (!m_failed) {
        m_failed = true;
        m_outcome.code = code;
        m_outcome.cause = cause;
        m_outcome.step = m_lastStep;
    }
    if (code != noStatus)
        emit sendCurrentAction(code);
}

void boxLink::failList(int code, const linkCause &cause, const QString &logLine)
{
    fail(code, cause, logLine);
    if (m_family.listErrorsEnd)
        emit sendCurrentAction(m_family.jobEnded);
}

void boxLink::answered(const QString &answer)
{
    m_outcome.answer = answer;
    m_done = true;
}

void boxLink::lostLine(int code)
{
    // A vanished line answers every wait at once: going on would only spin,
    // and waiting out the windows on it would only hide what happened.
    serialPort.reportGone();
    fail(code, goneCause());
}

linkCause boxLink::silence(const QString &lastReply, qint64 windowMs, int attempts)
{
    if (lastReply.isEmpty())
        return linkCause(linkCause::BoxSilent, QString::number((windowMs * attempts + 500) / 1000));
    return linkCause(linkCause::BoxSaid, lastReply);
}

// ---- sending a file ---------------------------------------------------------

bool boxLink::sendBlocks(const QString &name, Progress &progress)
{
    // Said before the step's code, so that whoever reacts to the code knows.
    emit sendFileBegan();
    step(m_family.sendingFile);
    const bool sent = sendFile(name, progress);
    emit sendFileEnded();
    return sent;
}

bool boxLink::sendFile(const QString &name, Progress &progress)
{
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
            progress.sent += tier.block;
            m_outcome.bytes += tier.block;
            emit sendProgress(int(progress.sent * 100 / qMax<qint64>(1, progress.total)));
        }
    }
    file.close();
    // An empty file sent no block, but it is sent all the same.
    if (progress.total == 0)
        emit sendProgress(100);
    emit writeLog(QStringLiteral("File sent. Wrote ") + QStringLiteral("%1 data").arg(position));
    step(m_family.fileSent);
    return true;
}

void boxLink::fileProblem(const char *what, const QString &name, const QString &reason)
{
    fail(m_family.fileFailed, linkCause(linkCause::FileUnreadable, reason, name), QLatin1String(what) + name + QStringLiteral(": ") + reason);
}

linkCause boxLink::goneCause() const
{
    // A server that could not open its device says so and closes: its words
    // may have passed for the box's, its closing is no lost connection.
    const QString refusal = serialPort.serverRefusal();
    if (!refusal.isEmpty())
        return linkCause(linkCause::ServerDevice, refusal);
    return linkCause(serialPort.network() ? linkCause::ConnectionGone : linkCause::LineGone, serialPort.goneReason());
}

linkCause boxLink::lineFailure()
{
    if (serialPort.gone()) {
        serialPort.reportGone();
        return goneCause();
    }
    return linkCause(linkCause::LineStalled);
}

bool boxLink::writeBlock(const QByteArray &block)
{
    // The port takes every block into its queue; only the drain tells
    // whether it left, so a vanished or stuck line fails here instead of
    // being reported as sent. On a network port a block may wait for a few
    // more and leave with them, at the latest before the next wait.
    if (serialPort.write(block.constData(), block.size(), serialLine::MayGather) == block.size() && serialPort.drain())
        return true;
    if (serialPort.halted())
        return false;
    emit writeLog(QStringLiteral("Error writing data to Port"));
    fail(m_family.writeFailed, lineFailure());
    return false;
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

bool boxLink::markerArrives(const QByteArray &marker, qint64 window)
{
    QElapsedTimer clock;
    clock.start();
    markerSearch search(marker);
    const serialLine::Wait wait = findMarker(search, 256, clock, window);
    if (wait == serialLine::Gone)
        lostLine(m_family.verifyNoAnswer);
    return wait == serialLine::Arrived;
}

bool boxLink::awaitListStart(markerSearch &start, qint64 piece, qint64 windowMs, const QElapsedTimer &clock,
                             const char *notFoundLog)
{
    const qint64 window = linkClock::window(windowMs);
    emit sendWaiting(window);
    const serialLine::Wait wait = findMarker(start, piece, clock, window);
    if (wait == serialLine::Stopped)
        return false;
    if (wait == serialLine::Gone) {
        lostLine(m_family.receiveFailed);
        if (m_family.listErrorsEnd)
            emit sendCurrentAction(m_family.jobEnded);
        return false;
    }
    if (start.found())
        return true;
    // Text without the marker is no list: saving it would pass off console
    // chatter as a channel list, or store a list that lacks its beginning.
    if (start.fedAny())
        failList(m_family.receiveFailed, linkCause(linkCause::ListNotFound), QLatin1String(notFoundLog));
    else
        failList(m_family.receiveFailed, linkCause(linkCause::BoxSilent, QString::number(window / 1000)),
                 QStringLiteral("No Data received!"));
    return false;
}

bool boxLink::listTooLong(const listBuffer &list)
{
    if (list.size() <= serialLine::maxListBytes)
        return false;
    failList(m_family.receiveFailed, linkCause(linkCause::ListTooLong, QString::number(serialLine::maxListBytes)),
             QStringLiteral("Channel list too long: more than %1 bytes").arg(serialLine::maxListBytes));
    return true;
}

bool boxLink::saveList(listBuffer &list, const QString &name)
{
    if (list.isBlank()) {
        // Saving nothing over a good list would lose it.
        failList(m_family.receiveFailed, linkCause(linkCause::ListEmpty),
                 QStringLiteral("The box sent an empty Channel list: nothing saved"));
        return false;
    }
    step(m_family.endFound);
    emit writeLog(QStringLiteral("End of List found"));
    // Written only now: an existing file survives every failure, and a
    // failed write is never reported as saved.
    QString error;
    if (!list.save(name, &error)) {
        failList(m_family.fileFailed, linkCause(linkCause::FileNotWritten, listBuffer::reason(error), name), error);
        return false;
    }
    boxLeft(linkOutcome::ListSaved);
    m_outcome.bytes = list.size();
    listSaved(list.size(), name);
    return true;
}

void boxLink::noteOnSave(const linkCause &note)
{
    m_outcome.note = note;
}

int boxLink::listProgress(qint64 received, qint64 measure)
{
    return int(received * 100 / qMax<qint64>(1, measure));
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
        fail(m_family.fileFailed, linkCause(linkCause::FileUnreadable, file.errorString(), name),
             QStringLiteral("Could not verify: cannot read the file again: ") + file.errorString());
        return;
    }
    const QByteArray expected = file.readAll();
    file.close();
    emit writeLog(QStringLiteral("Verifying the Channel list: waiting for the Settopbox's console"));
    step(m_family.verifyWaiting);
    emit sendWaiting(linkClock::window(consoleWindowMs));
    if (!awaitConsole()) {
        if (serialPort.halted())
            return;
        fail(m_family.verifyNoAnswer,
             linkCause(linkCause::ConsoleSilent, QString::number(linkClock::window(consoleWindowMs) / 1000)),
             QStringLiteral("Could not verify the Channel list: the Settopbox's console did not answer "
                            "within %L1 s").arg(linkClock::window(consoleWindowMs) / 1000.0));
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

bool boxLink::readForComparison(const QString &logLine, qint64 size, bool (boxLink::*read)(QByteArray &, qint64),
                                QByteArray &bytes)
{
    emit writeLog(logLine);
    step(m_family.verifying);
    emit sendProgress(0);
    return (this->*read)(bytes, size);
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
        QThread::msleep(ulong(linkClock::pause(askPauseMs)));
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
        succeed(m_family.verified);
        return;
    }
    QString where = QStringLiteral("Channel list differs from the file at offset %1").arg(at);
    if (at < common)
        where += QStringLiteral(" (file 0x%1, box 0x%2)")
                     .arg(uchar(file.at(at)), 2, 16, QLatin1Char('0'))
                     .arg(uchar(box.at(at)), 2, 16, QLatin1Char('0'));
    where += QStringLiteral(": the file has %1 bytes, the box %2 bytes").arg(file.size()).arg(box.size());
    // The box holds something other than the file: it must be loaded again.
    boxLeft(linkOutcome::HalfUpdated);
    fail(m_family.verifyDiffers, linkCause(linkCause::ListDiffers, where.mid(where.indexOf(QLatin1String("at offset")))),
         where);
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
    failList(m_family.readsDiffer,
             linkCause(linkCause::ListReadsDiffer, differences(reads.at(reads.size() - 2), reads.last()), filename),
             QStringLiteral("No two of %1 reads of the Channel list agree: nothing saved").arg(maxListReads));
    return false;
}

// ---- the step engine ----------------------------------------------------------

// One step's attempts share the pieces of the box's line (`join`) and the
// last reply, which the time-out line cites.
struct boxLink::Attempt
{
    int number = 0;
    replyJoin join;
    QString reply;
    QElapsedTimer clock;
};

int boxLink::failCode(const linkStep &step) const
{
    return step.failCode != linkStep::noCode ? step.failCode : m_family.writeFailed;
}

void boxLink::stepFailed(bool needed, int code, const linkCause &cause)
{
    if (needed)
        fail(code, cause);
    else
        emit sendCurrentAction(code);
}

bool boxLink::runStep(const linkStep &step, bool needed)
{
    if (serialPort.halted())
        return false;
    this->step(step.startCode);
    if (step.startLog)
        emit writeLog(QString::fromLatin1(step.startLog));
    if (step.trace)
        qCDebug(linkTrace).noquote() << "is port open?" << (serialPort.isOpen() ? "true" : "false");
    Attempt attempt;
    for (; attempt.number < step.attempts; ++attempt.number) {
        if (step.command && !commandSent(step, attempt))
            return false;
        const Verdict verdict = runAttempt(step, attempt);
        if (verdict == Succeeded)
            return true;
        if (verdict == Failed)
            return false;
        if (step.pauseMs > 0)
            QThread::msleep(quint64(linkClock::pause(step.pauseMs)));
    }
    emit writeLog(QLatin1String(step.timeoutPrefix) + quoted(attempt.reply)
                  + (step.timeoutTail ? QStringLiteral(" (timeout)") : QString()));
    if (step.failCode != linkStep::noCode)
        stepFailed(needed, step.failCode,
                   silence(attempt.reply, linkClock::window(step.windowMs), step.attempts));
    return false;
}

bool boxLink::commandSent(const linkStep &step, Attempt &attempt)
{
    if (!sendWhole(step))
        return false;
    if (step.trace && attempt.number == 0)
        qCDebug(linkTrace).noquote() << "wrote" << qstrlen(step.command) << "bytes";
    return true;
}

// A command that did not leave whole fails its step: a box must never read
// part of one command followed by the next as one command.
bool boxLink::sendWhole(const linkStep &step)
{
    if (!m_commandCut && sendCommand(step))
        return true;
    m_commandCut = true;
    if (serialPort.halted())
        return false;
    emit writeLog(QStringLiteral("Error writing data to Port: the command \"%1\" did not leave whole")
                      .arg(QString::fromLatin1(step.command).trimmed()));
    fail(failCode(step), lineFailure());
    return false;
}

// One attempt's window after its command. A reply is judged with the pieces
// of its line before it.
boxLink::Verdict boxLink::runAttempt(const linkStep &step, Attempt &attempt)
{
    const qint64 window = linkClock::window(step.windowMs);
    emit sendWaiting(window);
    attempt.clock.start();
    QString held;
    for (;;) {
        QString text;
        const serialLine::Wait wait = nextReply(step, attempt.clock, window, attempt.join, text);
        if (wait == serialLine::Arrived) {
            if (step.trace)
                qCDebug(linkTrace).noquote() << "received:" << text;
            attempt.reply = text;
            const Verdict verdict = judge(step, text, attempt, held);
            if (verdict != Waiting)
                return verdict;
            continue;
        }
        if (wait == serialLine::Gone) {
            lostLine(failCode(step));
            return Failed;
        }
        if (wait == serialLine::Stopped)
            return Failed;
        // A verdict that waited for the rest of its line stands as it is.
        if (!held.isEmpty()) {
            const Verdict late = decide(step, firstMarker(step, held), held, attempt);
            return late == Waiting ? AttemptOver : late;
        }
        return AttemptOver;
    }
}

bool boxLink::readable(const linkStep &step) const
{
    switch (step.readMode) {
    case linkStep::WholeLine:
        return serialPort.lineReady(floodGuard);
    case linkStep::SettledLine:
        return serialPort.lineReady(step.readMax);
    case linkStep::RawRead:
    case linkStep::LineRead:
        break;
    }
    return serialPort.available() > 0;
}

QByteArray boxLink::readOnce(const linkStep &step)
{
    if (step.readMode == linkStep::RawRead)
        return serialPort.read(step.readMax);
    return serialPort.readLine(step.readMax);
}

// The next reply within the window, as the step reads it, joined with the
// pieces of its line before it; CR, LF and NUL bytes removed. A settled line
// is never examined after its window; a part of one is examined once the
// line has paused after it. Nothing is read after the window: a line that
// babbles on faster than it is read must not hold the step past it.
serialLine::Wait boxLink::nextReply(const linkStep &step, const QElapsedTimer &clock, qint64 window,
                                    replyJoin &join, QString &text)
{
    const bool settled = step.readMode == linkStep::SettledLine;
    for (;;) {
        if (serialPort.halted())
            return serialLine::Stopped;
        if (clock.elapsed() >= window)
            return serialLine::TimedOut;
        if (!readable(step)) {
            const qint64 waiting = serialPort.available();
            const qint64 slice = settled && waiting > 0 ? fragmentSettleMs : step.passWaitMs;
            const serialLine::Wait wait = serialPort.waitFor(clock, window, slice);
            if (wait == serialLine::Stopped || wait == serialLine::Gone)
                return wait;
            if (wait == serialLine::Quiet && step.trace)
                qCDebug(linkTrace).noquote() << "no data received";
            // What arrives after the window is not this step's business.
            if (!settled && (wait == serialLine::TimedOut || clock.elapsed() >= window))
                return serialLine::TimedOut;
            if (!settled || wait == serialLine::Arrived || waiting == 0 || clock.elapsed() >= window)
                continue;
        }
        text = join.take(readOnce(step));
        if (!text.isEmpty())
            return serialLine::Arrived;
    }
}

namespace {

// How a console's lines are read outside a step of the table.
const linkStep settledLines = {
    .startCode = linkStep::noCode, .startLog = nullptr, .command = nullptr, .writeWaitMs = 0, .attempts = 1,
    .windowMs = 0, .pauseMs = 0, .passWaitMs = int(serialLine::sliceMs), .readMode = linkStep::SettledLine,
    .readMax = 49, .markers = {}, .okCode = linkStep::noCode, .okPrefix = "", .timing = linkStep::NoTime,
    .failCode = linkStep::noCode, .failPrefix = "", .timeoutPrefix = "", .timeoutTail = false, .trace = false};

} // namespace

serialLine::Wait boxLink::nextLine(const QElapsedTimer &clock, qint64 window, replyJoin &join, QString &line)
{
    return nextReply(settledLines, clock, window, join, line);
}

// The first of the step's markers that the reply holds; -1: none.
int boxLink::firstMarker(const linkStep &step, const QString &text)
{
    for (int i = 0; i < linkStep::maxMarkers && step.markers[i].text; ++i) {
        const linkStep::Marker &m = step.markers[i];
        if (text.indexOf(QLatin1String(m.text), 0, m.anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive) >= 0)
            return i;
    }
    return -1;
}

// The first marker found decides, unless the reply's line has not ended and
// its end may be the beginning of a marker that is tested before that one
// ("SUC (Star" of a good version line): then the verdict waits (`held`) for
// the rest of the line, or for the end of the window, when it stands as it is.
boxLink::Verdict boxLink::judge(const linkStep &step, const QString &text, Attempt &attempt, QString &held)
{
    const int found = firstMarker(step, text);
    if (found < 0)
        return Waiting;
    for (int i = 0; !attempt.join.lineEnded() && i < found; ++i) {
        const linkStep::Marker &m = step.markers[i];
        if (replyJoin::endsInPartOf(text, m.text, m.anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive)) {
            held = text;
            return Waiting;
        }
    }
    held.clear();
    return decide(step, found, text, attempt);
}

QString boxLink::timed(const linkStep &step, const Attempt &attempt) const
{
    switch (step.timing) {
    case linkStep::AttemptMs:
        return QStringLiteral(" %1 %L2ms").arg(attempt.number).arg(attempt.clock.elapsed());
    case linkStep::Ms:
        return QStringLiteral(" %L1ms").arg(attempt.clock.elapsed());
    case linkStep::NoTime:
        break;
    }
    return QString();
}

boxLink::Verdict boxLink::decide(const linkStep &step, int marker, const QString &text, Attempt &attempt)
{
    const linkStep::Marker &m = step.markers[marker];
    switch (m.verdict) {
    case linkStep::Success:
        emit writeLog(QLatin1String(step.okPrefix) + quoted(text) + timed(step, attempt));
        this->step(step.okCode);
        return Succeeded;
    case linkStep::Failure: {
        emit writeLog(QLatin1String(m.prefix ? m.prefix : step.failPrefix) + quoted(text)
                      + (step.timing == linkStep::NoTime ? QString()
                                                         : QStringLiteral(" %L1ms").arg(attempt.clock.elapsed())));
        const int code = m.code ? m.code : step.failCode;
        if (code != linkStep::noCode)
            fail(code, linkCause(m.cause, text));
        return Failed;
    }
    case linkStep::Resend:
        // The window runs on from the first sending; the rest of this line
        // must not ask again.
        attempt.join.restart();
        return commandSent(step, attempt) ? Waiting : Failed;
    case linkStep::EndAttempt:
        attempt.join.restart();
        return AttemptOver;
    case linkStep::Note:
        // Logged once: the rest of its line is read on its own.
        attempt.join.restart();
        emit writeLog(QLatin1String(m.prefix) + quoted(text));
        return Waiting;
    case linkStep::None:
        break;
    }
    return Waiting;
}
