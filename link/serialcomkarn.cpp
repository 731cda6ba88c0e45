#include "serialcomkarn.h"

#include "filekind.h"
#include "linkclock.h"
#include "listbuffer.h"
#include "markersearch.h"
#include "replyjoin.h"
#include "sdstep.h"
#include "statuscode.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

namespace {

// The box's lines are read with a 50-byte buffer: at most 49 bytes a line.
constexpr qint64 longestLine = 49;
// Bytes without a line end get this long for the rest of their line before
// they are examined as they are. At 115200 baud a line arrives in about a
// millisecond, so a whole line is never split by this; a box that stops in
// the middle of a line is still examined at once after it.
constexpr qint64 fragmentSettleMs = 10;
// The fixed size that download progress is measured against.
constexpr qint64 listProgressSize = 185026;
// Each command exchange sends its command this many times.
constexpr int stepAttempts = 2;

const QByteArray startMarker("Start Upload");
const QByteArray endMarker("End Upload");

QString cite(const QString &prefix, const QString &line)
{
    return prefix + QLatin1Char('"') + line + QLatin1Char('"');
}

// The SD family's codes in the frame of a job and of a file transfer.
const boxLink::Family sdFamily = {
    .jobStarted = sdCode::JobStarted,
    .jobEnded = sdCode::JobEnded,
    .portFailed = sdCode::PortFailed,
    .sendingFile = sdCode::SendingFile,
    .fileSent = sdCode::FileSent,
    .fileFailed = sdCode::FileFailed,
    .writeFailed = sdCode::WriteFailed,
    .verifyWaiting = sdCode::VerifyWaiting,
    .verifying = sdCode::Verifying,
    .verified = sdCode::Verified,
    .verifyDiffers = sdCode::VerifyDiffers,
    .verifyNoAnswer = sdCode::VerifyNoAnswer,
    .readsDiffer = sdCode::ReadsDiffer,
    // 100-byte blocks, then 10-byte ones; the last 1 to 10 bytes one by one.
    .tiers = {{.reserve = 200, .block = 100}, {.reserve = 10, .block = 10}, {.reserve = 0, .block = 1}},
};

} // namespace

serialComKarn::serialComKarn()
    : boxLink(sdFamily, QString(), QString())
{
}

serialComKarn::serialComKarn(const QString &port)
    : boxLink(sdFamily, port, QString())
{
}

serialComKarn::serialComKarn(const QString &port, const QString &file)
    : boxLink(sdFamily, port, file)
{
}

void serialComKarn::updateFirmware()
{
    runJob(sdCode::Updating, [this] { doUpdateFirmware(); });
}

void serialComKarn::sendChannellist()
{
    runJob(sdCode::Uploading, [this] { doSendChannellist(); });
}

void serialComKarn::getChannellist()
{
    runJob(sdCode::Downloading, [this] { doGetChannellist(); });
}

QString serialComKarn::firstFilename() const
{
    const int end = filename.indexOf(QLatin1Char('\n'));
    return end < 0 ? filename : filename.left(end);
}

// The box's command interpreter is slow: one byte at a time, each followed
// by a pause.
qint64 serialComKarn::writeSlow(const char *text)
{
    return writeSlow(text, qint64(qstrlen(text)));
}

qint64 serialComKarn::writeSlow(const char *data, qint64 length)
{
    // A line that took nothing for a whole stall window takes no more of
    // this command either: the step's reply window decides, without one
    // stall per byte.
    for (qint64 i = 0; i < length; ++i) {
        if (serialPort.halted())
            break;
        serialPort.write(data + i, 1);
        if (!serialPort.drain())
            break;
        QThread::msleep(ulong(linkClock::window(70)));
    }
    return length > 0 ? length : 0;
}

// The next non-empty line of the box within the window: up to 49 bytes,
// ending after a line feed, or a fragment without one, which is examined at
// once and again joined with what follows it up to the line end (`join`).
// CR, LF and NUL bytes are removed. Nothing is examined after its window.
serialLine::Wait serialComKarn::nextLine(const QElapsedTimer &clock, qint64 window, replyJoin &join, QString &line)
{
    for (;;) {
        if (serialPort.halted())
            return serialLine::Stopped;
        if (clock.elapsed() >= window)
            return serialLine::TimedOut;
        if (!serialPort.lineReady(longestLine)) {
            const qint64 avail = serialPort.available();
            const serialLine::Wait wait = serialPort.waitFor(clock, window, avail == 0 ? serialLine::sliceMs
                                                                                       : fragmentSettleMs);
            if (wait == serialLine::Stopped || wait == serialLine::Gone)
                return wait;
            // A quiet fragment is examined as it is, if still within the window.
            if (wait == serialLine::Arrived || avail == 0 || clock.elapsed() >= window)
                continue;
        }
        const QString text = join.take(serialPort.readLine(longestLine));
        if (text.isEmpty())
            continue;
        line = text;
        return serialLine::Arrived;
    }
}

bool serialComKarn::runStep(const sdStep &step)
{
    if (serialPort.halted())
        return false;
    emit sendCurrentAction(step.startCode);
    if (step.startLog)
        emit writeLog(QString::fromLatin1(step.startLog));
    QString cited;
    replyJoin join;
    for (int attempt = 0; attempt < stepAttempts; ++attempt) {
        writeSlow(step.command);
        if (serialPort.halted())
            return false;
        serialPort.send("\r\n", 100);
        const Outcome outcome = runAttempt(step, join, cited);
        if (outcome == Succeeded)
            return true;
        if (outcome == Failed)
            return false;
        if (step.pauseMs > 0)
            QThread::msleep(ulong(linkClock::window(step.pauseMs)));
    }
    emit writeLog(cite(QString::fromLatin1(step.failPrefix), cited));
    noReply(cited, linkClock::window(step.windowMs), stepAttempts);
    emit sendCurrentAction(step.failCode);
    return false;
}

// One attempt's window after its command; `cited` keeps the last line.
serialComKarn::Outcome serialComKarn::runAttempt(const sdStep &step, replyJoin &join, QString &cited)
{
    const qint64 window = linkClock::window(step.windowMs);
    emit sendWaiting(window);
    QElapsedTimer clock;
    clock.start();
    QString line;
    QString held;
    serialLine::Wait wait;
    while ((wait = nextLine(clock, window, join, line)) == serialLine::Arrived) {
        cited = line;
        const Outcome outcome = judge(step, line, join, held);
        if (outcome != Waiting)
            return outcome;
    }
    if (wait == serialLine::Gone) {
        lostLine(step.failCode);
        return Failed;
    }
    if (serialPort.halted())
        return Failed;
    // A verdict that waited for the rest of its line stands as it is.
    if (!held.isEmpty()) {
        const Outcome outcome = decide(step, firstMarker(step, held), held, join);
        if (outcome == Succeeded || outcome == Failed)
            return outcome;
    }
    return AttemptOver;
}

// The first of the step's markers that the line holds; -1: none.
int serialComKarn::firstMarker(const sdStep &step, const QString &line)
{
    for (int i = 0; i < sdStep::maxMarkers && step.markers[i].text; ++i)
        if (line.contains(QLatin1String(step.markers[i].text)))
            return i;
    return -1;
}

// The first marker found decides, unless the line has not ended and its end
// may be the beginning of a marker tested before that one ("SUC (Star" of a
// good version line): then the verdict waits (`held`) for the rest.
serialComKarn::Outcome serialComKarn::judge(const sdStep &step, const QString &line, replyJoin &join, QString &held)
{
    const int found = firstMarker(step, line);
    if (found < 0)
        return Waiting;
    for (int i = 0; !join.lineEnded() && i < found; ++i) {
        if (replyJoin::endsInPartOf(line, step.markers[i].text)) {
            held = line;
            return Waiting;
        }
    }
    held.clear();
    return decide(step, found, line, join);
}

serialComKarn::Outcome serialComKarn::decide(const sdStep &step, int marker, const QString &line, replyJoin &join)
{
    switch (step.markers[marker].verdict) {
    case sdStep::Success:
        emit writeLog(cite(QString::fromLatin1(step.okPrefix), line));
        emit sendCurrentAction(step.okCode);
        return Succeeded;
    case sdStep::EndAttempt:
        join.restart();
        return AttemptOver;
    case sdStep::StartUpOk:
        // Logged once: the rest of its line is read on its own.
        join.restart();
        emit writeLog(cite(QStringLiteral("StartUpControll found, should be ok! "), line));
        return Waiting;
    case sdStep::StartUpOld:
        emit writeLog(cite(QStringLiteral("StartUpControll to old! "), line));
        emit sendCause(linkCause(linkCause::BoxTooOld, line));
        emit sendCurrentAction(sdCode::StartUpControlOld);
        return Failed;
    case sdStep::None:
        break;
    }
    return Waiting;
}

bool serialComKarn::initDownload()
{
    return runStep(sdStep::initDownload);
}

bool serialComKarn::openLoadMenu()
{
    return runStep(sdStep::openLoadMenu);
}

bool serialComKarn::initUpload()
{
    return runStep(sdStep::initUpload);
}

bool serialComKarn::startSettopbox()
{
    return runStep(sdStep::startSettopbox);
}

bool serialComKarn::waitForFinish()
{
    if (serialPort.halted())
        return false;
    emit sendCurrentAction(sdCode::WaitingFinish);
    emit writeLog(QStringLiteral("Waiting til STB finishes"));
    QElapsedTimer clock;
    clock.start();
    const qint64 window = linkClock::window(30000);
    emit sendWaiting(window);
    bool written = false;
    bool ready = false;
    QString cited;
    QString line;
    replyJoin join;
    serialLine::Wait wait;
    while ((wait = nextLine(clock, window, join, line)) == serialLine::Arrived) {
        cited = line;
        if (line.contains(QLatin1String("Write")))
            written = true;
        if (line.contains(QLatin1String("ready"))) {
            ready = true;
            break;
        }
    }
    if (wait == serialLine::Gone) {
        lostLine(sdCode::FinishFailed);
        return false;
    }
    if (serialPort.halted())
        return false;
    if (ready && written) {
        emit writeLog(cite(QStringLiteral("Finished: "), cited));
        return true;
    }
    if (ready) {
        emit writeLog(cite(QStringLiteral("Error Finishing: "), cited));
        emit sendCause(linkCause(linkCause::BoxRefused, cited));
        emit sendCurrentAction(sdCode::FileRejected);
        return false;
    }
    emit writeLog(cite(QStringLiteral("Error finishing: "), cited));
    noReply(cited, window);
    emit sendCurrentAction(sdCode::FinishFailed);
    return false;
}

uchar serialComKarn::checkFiletype(QString filename)
{
    QString problem;
    qint64 size = 0;
    const sdFile::Kind kind = sdFile::classify(filename, &problem, &size);
    if (!problem.isEmpty())
        emit writeLog(problem);
    if (kind != sdFile::NotSd)
        bytesTotal += size;
    return kind;
}

void serialComKarn::progress()
{
    // A job always has a total; the guard only keeps a zero from dividing.
    emit sendProgress(bytesTotal > 0 ? int(bytesSent * 100 / bytesTotal) : 0);
}

// The progress of an SD transfer runs once over all files of the job.
void serialComKarn::progressAfterBlock(qint64, qint64, qint64 length)
{
    bytesSent += length;
    progress();
}

bool serialComKarn::sendFile(QString name)
{
    emit writeLog(QStringLiteral("Sending file ") + name);
    return sendBlocks(name);
}

void serialComKarn::doUpdateFirmware()
{
    emit writeLog(QStringLiteral("Updating Firmware"));
    QElapsedTimer clock;
    clock.start();
    const QStringList files = filename.contains(QLatin1Char('\n'))
                                  ? filename.split(QLatin1Char('\n'), Qt::KeepEmptyParts)
                                  : QStringList{filename};
    bytesSent = 0;
    bytesTotal = 0;
    if (files.size() > maxUpdateFiles) {
        emit writeLog(QStringLiteral("Too many files for one update: %1, at most %2")
                          .arg(files.size())
                          .arg(maxUpdateFiles));
        emit sendCause(linkCause(linkCause::FileWrongKind, QStringLiteral("%1 files").arg(files.size()), files.first()));
        emit sendCurrentAction(sdCode::WrongFileKind);
        return;
    }
    for (const QString &file : files) {
        const sdFile::Kind found = sdFile::Kind(checkFiletype(file));
        if (!sdFile::isImage(found)) {
            emit sendCause(linkCause(QFileInfo::exists(file) ? linkCause::FileWrongKind : linkCause::FileMissing,
                                     sdFile::name(found), file));
            emit sendCurrentAction(sdCode::WrongFileKind);
            return;
        }
    }
    if (!loadFiles(files))
        return;
    emit writeLog(QStringLiteral("Update done after %L1 s").arg(qint64(clock.elapsed() / 1000)));
    emit sendCurrentAction(sdCode::UpdateDone);
}

// Loads the files one after the other in one visit to the load menu, then
// starts the box again (also after a file it did not finish); false when the
// job ended early.
bool serialComKarn::loadFiles(const QStringList &files)
{
    if (!openLoadMenu())
        return false;
    for (const QString &file : files) {
        if (!initUpload() || !sendFile(file))
            return false;
        if (!waitForFinish()) {
            startSettopbox();
            return false;
        }
    }
    m_boxStarted = startSettopbox();
    return !serialPort.halted();
}

void serialComKarn::doSendChannellist()
{
    emit writeLog(QStringLiteral("Uploading Channel list"));
    QElapsedTimer clock;
    clock.start();
    const QString name = firstFilename();
    bytesSent = 0;
    bytesTotal = 0;
    const sdFile::Kind found = sdFile::Kind(checkFiletype(name));
    if (found != sdFile::List) {
        emit sendCause(linkCause(QFileInfo::exists(name) ? linkCause::FileWrongKind : linkCause::FileMissing,
                                 sdFile::name(found), name));
        emit sendCurrentAction(sdCode::WrongFileKind);
        return;
    }
    if (!loadFiles({name}))
        return;
    emit writeLog(QStringLiteral("Uploading done after %L1 s").arg(qint64(clock.elapsed() / 1000)));
    emit sendCurrentAction(sdCode::UploadDone);
    verifyUpload(name);
}

// Asks for the load menu, which the download opens first anyway: a console
// that answers with it is ready for the list request. A box that did not
// start again is still in its menu, where "100" would begin a file.
bool serialComKarn::probeConsole()
{
    if (!m_boxStarted)
        return true;
    writeSlow(sdStep::openLoadMenu.command);
    if (serialPort.halted())
        return false;
    serialPort.send("\r\n", 100);
    return answered(QByteArray(sdStep::openLoadMenu.markers[0].text), linkClock::window(1000));
}

// The download's own phases after its load menu, without a file; the box is
// started again whatever the list turned out to be.
bool serialComKarn::readListBack(QByteArray &bytes)
{
    listBuffer list;
    if (!fetchList(list, QStringLiteral("Receiving the Channel list to compare it with the file")))
        return false;
    bytes = list.tail(list.size());
    m_boxStarted = startSettopbox();
    return !serialPort.halted();
}

void serialComKarn::doGetChannellist()
{
    emit writeLog(QStringLiteral("Downloading Channel list"));
    QElapsedTimer clock;
    clock.start();
    const QString name = firstFilename();
    if (!openLoadMenu() || !receiveChannellist(name) || !startSettopbox())
        return;
    emit writeLog(QStringLiteral("Downloading done after %L1 s").arg(qint64(clock.elapsed() / 1000)));
    emit sendCurrentAction(sdCode::DownloadDone);
}

bool serialComKarn::receiveChannellist(QString name)
{
    listBuffer list;
    return fetchList(list, QStringLiteral("Saving List to ") + name) && confirmDownload(list) && saveList(list, name);
}

// Once more from the load menu, where the box stays after its list: the
// list request again. ("100" there would begin a file, never send it.)
bool serialComKarn::readListAgain(QByteArray &bytes)
{
    listBuffer list;
    if (!fetchList(list, QStringLiteral("Receiving the Channel list once more")))
        return false;
    bytes = list.tail(list.size());
    return true;
}

// From the list request to the list's end marker; `what` is logged once the
// box is ready to send.
bool serialComKarn::fetchList(listBuffer &list, const QString &what)
{
    if (!initDownload())
        return false;
    emit writeLog(what);
    QElapsedTimer clock;
    clock.start();
    emit sendCurrentAction(sdCode::SearchingStart);
    QByteArray rest;
    QByteArray first;
    return findListStart(clock, rest) && skipPreamble(clock, rest, first) && receiveList(first + rest, list);
}

// The start: reads of up to 30 bytes. A marker split over two reads is
// still found, and what follows it in the same read is kept (`rest`).
bool serialComKarn::findListStart(const QElapsedTimer &clock, QByteArray &rest)
{
    markerSearch start(startMarker);
    emit sendWaiting(linkClock::window(5000));
    const serialLine::Wait wait = findMarker(start, 30, clock, linkClock::window(5000));
    if (wait == serialLine::Stopped)
        return false;
    if (wait == serialLine::Gone) {
        lostLine(sdCode::ReceiveFailed);
        return false;
    }
    if (!start.found()) {
        // Without its marker the list's real start is unknown: saving what
        // came last would store a list that lacks its beginning.
        emit writeLog(start.fedAny() ? QStringLiteral("No start of the list found!")
                                     : QStringLiteral("No Data received!"));
        emit sendCause(start.fedAny() ? linkCause(linkCause::ListNotFound)
                                      : linkCause(linkCause::BoxSilent, QString::number(linkClock::window(5000) / 1000)));
        emit sendCurrentAction(sdCode::ReceiveFailed);
        return false;
    }
    rest = start.rest();
    return true;
}

// Before the list: the end of the marker's line (a console ends it with
// CR LF) and the dash run, byte by byte, wherever the reads split them,
// on the stopwatch of the start phase. The first other byte is the list's
// (`first`).
bool serialComKarn::skipPreamble(const QElapsedTimer &clock, QByteArray &rest, QByteArray &first)
{
    const qint64 dashWindow = linkClock::window(1000);
    bool markerLine = true;
    bool firstRead = true;
    for (;;) {
        const serialLine::Wait wait = nextPreambleByte(clock, dashWindow, rest, firstRead, first);
        if (wait == serialLine::Stopped)
            return false;
        if (wait == serialLine::Gone) {
            lostLine(sdCode::ReceiveFailed);
            return false;
        }
        if (wait == serialLine::TimedOut) {
            emit writeLog(QStringLiteral("Timeout!"));
            emit sendCause(linkCause(linkCause::ListUnfinished, QString::number(dashWindow / 1000)));
            emit sendCurrentAction(sdCode::DownloadTimeout);
            return false;
        }
        if (first.isEmpty())
            continue;
        const char c = first.at(0);
        if (markerLine && (c == '\r' || c == '\n'))
            continue;
        markerLine = false;
        if (c != '-')
            return true;
    }
}

// The next byte of the preamble: from what came with the marker, else from
// the line. The first read takes what is there; later ones wait, within the
// window, and a late one ends the download (TimedOut).
serialLine::Wait serialComKarn::nextPreambleByte(const QElapsedTimer &clock, qint64 window, QByteArray &rest,
                                                 bool &firstRead, QByteArray &byte)
{
    if (!rest.isEmpty()) {
        byte = rest.left(1);
        rest.remove(0, 1);
        return serialLine::Arrived;
    }
    if (firstRead) {
        firstRead = false;
        byte = serialPort.readNow(1);
        return serialLine::Arrived;
    }
    const serialLine::Wait wait = readChunk(1, clock, window, byte);
    if (wait == serialLine::Stopped || wait == serialLine::Gone)
        return wait;
    return clock.elapsed() >= window ? serialLine::TimedOut : serialLine::Arrived;
}

// The list itself, up to "End Upload", in reads of up to 1024 bytes, the
// first of them `chunk`.
bool serialComKarn::receiveList(QByteArray chunk, listBuffer &list)
{
    emit writeLog(QStringLiteral("Downloading Channel list"));
    emit sendCurrentAction(sdCode::Downloading);
    QElapsedTimer clock;
    clock.start();
    const qint64 dataWindow = linkClock::window(25000);
    emit sendWaiting(dataWindow);
    markerSearch end(endMarker);
    for (;;) {
        list.append(chunk);
        if (end.feed(chunk))
            break;
        emit sendProgress(listProgress(list.size(), listProgressSize));
        if (list.size() > serialLine::maxListBytes) {
            emit writeLog(QStringLiteral("Channel list too long: more than %1 bytes").arg(serialLine::maxListBytes));
            emit sendCause(linkCause(linkCause::ListTooLong, QString::number(serialLine::maxListBytes)));
            emit sendCurrentAction(sdCode::ReceiveFailed);
            return false;
        }
        if (clock.elapsed() >= dataWindow) {
            emit writeLog(QStringLiteral("Timeout!"));
            emit sendCause(linkCause(linkCause::ListUnfinished, QString::number(dataWindow / 1000)));
            emit sendCurrentAction(sdCode::DownloadTimeout);
            return false;
        }
        const serialLine::Wait wait = readChunk(1024, clock, dataWindow, chunk);
        if (wait == serialLine::Stopped)
            return false;
        if (wait == serialLine::Gone) {
            lostLine(sdCode::ReceiveFailed);
            return false;
        }
    }
    list.truncate(end.at());
    return true;
}

bool serialComKarn::saveList(listBuffer &list, const QString &name)
{
    if (list.isBlank()) {
        // Saving nothing over a good list would lose it.
        emit writeLog(QStringLiteral("The box sent an empty Channel list: nothing saved"));
        emit sendCause(linkCause(linkCause::ListEmpty));
        emit sendCurrentAction(sdCode::ReceiveFailed);
        return false;
    }
    emit writeLog(QStringLiteral("End of List found"));
    emit sendCurrentAction(sdCode::EndFound);

    // Written only now: an existing file survives every failure, and a
    // failed write is never reported as saved.
    QString error;
    if (!list.save(name, &error)) {
        emit writeLog(error);
        emit sendCause(linkCause(linkCause::FileNotWritten, listBuffer::reason(error), name));
        emit sendCurrentAction(sdCode::FileFailed);
        return false;
    }
    emit writeLog(QStringLiteral("Downloading Channel list done"));
    return true;
}
