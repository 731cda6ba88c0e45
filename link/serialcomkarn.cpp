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

// The fixed size that download progress is measured against.
constexpr qint64 listProgressSize = 185026;
// The pause after each byte of a command: the box's interpreter is slow.
constexpr qint64 bytePauseMs = 70;
// How long the box gets to write a loaded file and say it is ready.
constexpr qint64 finishWindowMs = 30000;
// The list's start marker, the dash run after it, and the list's data.
constexpr qint64 sdListStartWindowMs = 5000;
constexpr qint64 sdStartSearchPiece = 30;
constexpr qint64 dashWindowMs = 1000;
constexpr qint64 sdListWindowMs = 25000;
constexpr qint64 sdListReadPiece = 1024;
constexpr qint64 sdProbeAnswerWindowMs = 1000;

const QByteArray startMarker("Start Upload");
const QByteArray endMarker("End Upload");

QString cite(const QString &prefix, const QString &line)
{
    return prefix + QLatin1Char('"') + line + QLatin1Char('"');
}

// The family's frame: 100-byte blocks, then 10-byte ones; the last 1 to 10 bytes one by one.
const boxLink::Family sdFamily = boxLink::familyOf<sdCode>(false, {.reserve = 200, .block = 100}, {.reserve = 10, .block = 10}, {.reserve = 0, .block = 1});

} // namespace

serialComKarn::serialComKarn(const QString &port, const QString &file)
    : boxLink(sdFamily, port, file)
{
}

QString serialComKarn::firstFilename() const
{
    const int end = filename.indexOf(QLatin1Char('\n'));
    return end < 0 ? filename : filename.left(end);
}

// The box's command interpreter is slow: one byte at a time, each drained
// and followed by a pause. A byte that does not leave ends the command
// there; the caller fails its step, so that nothing sent later can join
// what did leave into another command.
bool serialComKarn::writeSlow(const char *text)
{
    const qint64 length = qint64(qstrlen(text));
    for (qint64 i = 0; i < length; ++i) {
        if (serialPort.halted() || serialPort.write(text + i, 1) != 1 || !serialPort.drain())
            return false;
        QThread::msleep(ulong(linkClock::pause(bytePauseMs)));
    }
    return true;
}

bool serialComKarn::sendCommand(const linkStep &step)
{
    return writeSlow(step.command) && serialPort.send("\r\n", step.writeWaitMs);
}

bool serialComKarn::waitForFinish()
{
    if (serialPort.halted())
        return false;
    step(sdCode::WaitingFinish);
    emit writeLog(QStringLiteral("Waiting til STB finishes"));
    QElapsedTimer clock;
    clock.start();
    const qint64 window = linkClock::window(finishWindowMs);
    emit sendWaiting(window);
    bool written = false;
    bool ready = false;
    QString cited;
    QString line;
    replyJoin join;
    serialLine::Wait wait = serialLine::Arrived;
    while (!ready && (wait = nextLine(clock, window, join, line)) == serialLine::Arrived) {
        cited = line;
        written = written || line.contains(QLatin1String("Write"));
        ready = line.contains(QLatin1String("ready"));
    }
    if (!ready && wait == serialLine::Gone) {
        lostLine(sdCode::FinishFailed);
        return false;
    }
    if (serialPort.halted())
        return false;
    if (ready && written) {
        emit writeLog(cite(QStringLiteral("Finished: "), cited));
        return true;
    }
    if (ready)
        fail(sdCode::FileRejected, linkCause(linkCause::BoxRefused, cited), cite(QStringLiteral("Error Finishing: "), cited));
    else
        fail(sdCode::FinishFailed, silence(cited, window), cite(QStringLiteral("Error finishing: "), cited));
    return false;
}

uchar serialComKarn::checkFiletype(QString filename)
{
    QString problem;
    const sdFile::Kind kind = sdFile::classify(filename, &problem);
    if (!problem.isEmpty())
        emit writeLog(problem);
    return kind;
}

bool serialComKarn::sendFile(const QString &name, Progress &progress)
{
    emit writeLog(QStringLiteral("Sending file ") + name);
    return sendBlocks(name, progress);
}

bool serialComKarn::acceptImages(const QStringList &files, qint64 &total)
{
    if (files.size() > maxUpdateFiles) {
        fail(sdCode::WrongFileKind,
             linkCause(linkCause::FileWrongKind, QStringLiteral("%1 files").arg(files.size()), files.first()),
             QStringLiteral("Too many files for one update: %1, at most %2").arg(files.size()).arg(maxUpdateFiles));
        return false;
    }
    total = 0;
    for (const QString &file : files) {
        QString problem;
        qint64 size = 0;
        const sdFile::Kind found = sdFile::classify(file, &problem, &size);
        if (!problem.isEmpty())
            emit writeLog(problem);
        if (!sdFile::isImage(found)) {
            fail(sdCode::WrongFileKind, linkCause(QFileInfo::exists(file) ? linkCause::FileWrongKind : linkCause::FileMissing,
                                                  fileKinds::name(file), file));
            return false;
        }
        total += size;
    }
    return true;
}

void serialComKarn::doUpdateFirmware()
{
    emit writeLog(QStringLiteral("Updating Firmware"));
    QElapsedTimer clock;
    clock.start();
    const QStringList files = filename.contains(QLatin1Char('\n'))
                                  ? filename.split(QLatin1Char('\n'), Qt::KeepEmptyParts)
                                  : QStringList{filename};
    qint64 total = 0;
    if (!acceptImages(files, total) || !loadFiles(files, total))
        return;
    emit writeLog(QStringLiteral("Update done after %L1 s").arg(qint64(clock.elapsed() / 1000)));
    boxLeft(linkOutcome::Updated);
    succeed(sdCode::UpdateDone);
}

// Loads the files one after the other in one visit to the load menu, then
// starts the box again (also after a file it did not finish).
bool serialComKarn::loadFiles(const QStringList &files, qint64 total)
{
    if (!runStep(sdStep::openLoadMenu))
        return false;
    // From here the box takes the files in place of what it had.
    boxLeft(linkOutcome::HalfUpdated);
    Progress progress{.sent = 0, .total = total};
    for (const QString &file : files) {
        if (!runStep(sdStep::initUpload) || !sendFile(file, progress))
            return false;
        if (!waitForFinish()) {
            runStep(sdStep::startSettopbox, false);
            return false;
        }
    }
    return startAgain();
}

// A box that does not report its start has its load all the same; false
// only when the job was halted.
bool serialComKarn::startAgain()
{
    m_boxStarted = runStep(sdStep::startSettopbox, false);
    if (!m_boxStarted && !serialPort.halted())
        startUnconfirmed();
    return !serialPort.halted();
}

void serialComKarn::doSendChannellist()
{
    emit writeLog(QStringLiteral("Uploading Channel list"));
    QElapsedTimer clock;
    clock.start();
    const QString name = firstFilename();
    QString problem;
    qint64 size = 0;
    const sdFile::Kind found = sdFile::classify(name, &problem, &size);
    if (!problem.isEmpty())
        emit writeLog(problem);
    if (found != sdFile::List) {
        fail(sdCode::WrongFileKind,
             linkCause(QFileInfo::exists(name) ? linkCause::FileWrongKind : linkCause::FileMissing, fileKinds::name(name), name));
        return;
    }
    if (!loadFiles({name}, size))
        return;
    emit writeLog(QStringLiteral("Uploading done after %L1 s").arg(qint64(clock.elapsed() / 1000)));
    boxLeft(linkOutcome::Updated);
    succeed(sdCode::UploadDone);
    verifyUpload(name);
}

// Asks for the load menu, which the download opens first anyway: a console
// that answers with it is ready for the list request. A box that did not
// start again is still in its menu, where "100" would begin a file.
bool serialComKarn::probeConsole()
{
    if (!m_boxStarted)
        return true;
    if (!sendWhole(sdStep::openLoadMenu))
        return false;
    return markerArrives(QByteArray(sdStep::openLoadMenu.markers[0].text), linkClock::window(sdProbeAnswerWindowMs));
}

// The download's own phases after its load menu, without a file; the box is
// started again whatever the list turned out to be.
bool serialComKarn::readListBack(QByteArray &bytes, qint64 measure)
{
    listBuffer list;
    if (!fetchList(list, QStringLiteral("Receiving the Channel list to compare it with the file"), measure))
        return false;
    bytes = list.tail(list.size());
    return startAgain();
}

void serialComKarn::doGetChannellist()
{
    emit writeLog(QStringLiteral("Downloading Channel list"));
    QElapsedTimer clock;
    clock.start();
    boxLeft(linkOutcome::OldListKept);
    const QString name = firstFilename();
    listBuffer list;
    if (!runStep(sdStep::openLoadMenu) || !fetchList(list, QStringLiteral("Saving List to ") + name, listProgressSize)
        || !confirmDownload(list) || !saveList(list, name) || !runStep(sdStep::startSettopbox))
        return;
    emit writeLog(QStringLiteral("Downloading done after %L1 s").arg(qint64(clock.elapsed() / 1000)));
    succeed(sdCode::DownloadDone);
}

void serialComKarn::listSaved(qint64, const QString &)
{
    emit writeLog(QStringLiteral("Downloading Channel list done"));
}

// Once more from the load menu, where the box stays after its list: the
// list request again. ("100" there would begin a file, never send it.)
bool serialComKarn::readListAgain(QByteArray &bytes, qint64 measure)
{
    listBuffer list;
    if (!fetchList(list, QStringLiteral("Receiving the Channel list once more"), measure))
        return false;
    bytes = list.tail(list.size());
    return true;
}

// From the list request to the list's end marker; `what` is logged once the
// box is ready to send.
bool serialComKarn::fetchList(listBuffer &list, const QString &what, qint64 measure)
{
    if (!runStep(sdStep::initDownload))
        return false;
    emit writeLog(what);
    QElapsedTimer clock;
    clock.start();
    step(sdCode::SearchingStart);
    QByteArray rest;
    QByteArray first;
    return findListStart(clock, rest) && skipPreamble(clock, rest, first) && receiveList(first + rest, list, measure);
}

// The start: reads of up to 30 bytes. A marker split over two reads is
// still found, and what follows it in the same read is kept (`rest`).
bool serialComKarn::findListStart(const QElapsedTimer &clock, QByteArray &rest)
{
    markerSearch start(startMarker);
    if (!awaitListStart(start, sdStartSearchPiece, sdListStartWindowMs, clock, "No start of the list found!"))
        return false;
    rest = start.rest();
    return true;
}

// Before the list: the end of the marker's line (a console ends it with
// CR LF) and the dash run, byte by byte, wherever the reads split them,
// on the stopwatch of the start phase. The first other byte is the list's
// (`first`).
bool serialComKarn::skipPreamble(const QElapsedTimer &clock, QByteArray &rest, QByteArray &first)
{
    const qint64 dashWindow = linkClock::window(dashWindowMs);
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
            failList(sdCode::DownloadTimeout, linkCause(linkCause::ListUnfinished, QString::number(dashWindow / 1000)),
                     QStringLiteral("Timeout!"));
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
bool serialComKarn::receiveList(QByteArray chunk, listBuffer &list, qint64 measure)
{
    emit writeLog(QStringLiteral("Downloading Channel list"));
    step(sdCode::Downloading);
    QElapsedTimer clock;
    clock.start();
    const qint64 dataWindow = linkClock::window(sdListWindowMs);
    emit sendWaiting(dataWindow);
    markerSearch end(endMarker);
    for (;;) {
        list.append(chunk);
        if (end.feed(chunk))
            break;
        emit sendProgress(listProgress(list.size(), measure));
        if (listTooLong(list))
            return false;
        if (clock.elapsed() >= dataWindow) {
            failList(sdCode::DownloadTimeout, linkCause(linkCause::ListUnfinished, QString::number(dataWindow / 1000)),
                     QStringLiteral("Timeout!"));
            return false;
        }
        const serialLine::Wait wait = readChunk(sdListReadPiece, clock, dataWindow, chunk);
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
