#include "serialcomvesk.h"

#include "answershape.h"
#include "filekind.h"
#include "hdstep.h"
#include "linkclock.h"
#include "linktrace.h"
#include "listbuffer.h"
#include "markersearch.h"
#include "replyjoin.h"
#include "statuscode.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {

const qint64 nominalListSize = 297472;

// Where a list download ends. The same three bytes "END" may well occur
// inside a list, so an "END" ends the list only when all that follows it is
// what a console prints once a command is done: plain text (printable
// characters, line ends, tabs) that begins with a line end: its prompt
// ("\r\nCom -> "), and any number of status lines it goes on printing,
// however long. And only once that has held for endSettleMs after the "END"
// arrived: the line need not fall quiet, a chatty console never does.
// Why this is safe: list data is binary, every record holds bytes that are
// no plain text (zero padding, frequencies, flags), and after an inner "END"
// it follows within moments (at the line's 11,520 bytes/s, 500 ms are 5,760
// bytes, some ninety records): its first such byte drops that "END". Only a
// box that stops for half a second right after an inner "END" and a line end
// could cut its list short, and that the old rule of a quiet line did too.
// The first "END" that holds wins, so a status line that happens to say
// "END" does not move the list's end.
const qint64 endSettleMs = 500;

bool plainText(char c)
{
    return c == '\r' || c == '\n' || c == '\t' || (uchar(c) >= 0x20 && uchar(c) <= 0x7e);
}

// The rule above, fed with the list as it grows.
struct listEnd
{
    qint64 at = -1;        // where the list ends if the "END" there holds; -1: none yet
    qint64 scanned = 0;    // bytes of the list examined so far
    quint32 recent = 0;    // the last three bytes examined, for an "END" that reads split
    QElapsedTimer since;   // since the "END" at `at` arrived

    void feed(const listBuffer &list)
    {
        const QByteArray fresh = list.tail(list.size() - scanned);
        for (char c : fresh) {
            if (at >= 0) {
                const bool first = scanned == at + 3;
                if (first ? (c != '\r' && c != '\n') : !plainText(c))
                    at = -1;
            }
            recent = ((recent << 8) | uchar(c)) & 0xffffff;
            ++scanned;
            if (at < 0 && scanned >= 3 && recent == ('E' << 16 | 'N' << 8 | 'D')) {
                at = scanned - 3;
                since.start();
            }
        }
    }
    bool settled(qint64 settleMs) const { return at >= 0 && since.elapsed() >= settleMs; }
};

// A line step that sees this much text without a line end reads it in
// pieces, so a babbling box cannot grow the input buffer without bound.
const qint64 floodGuard = 4096;

// A service query's answer: the console gets a second to give it; the
// command is given a moment to leave first.
const qint64 answerWindowMs = 1000;
const qint64 commandWaitMs = 100;
const qint64 progressSliceMs = 20;
// Of the answer's line, the result takes what a 50-byte buffer holds...
const int answerBytes = 49;
// ... but the line is read to its end, up to this length: a longer one is
// noise, not an answer.
const qint64 longestAnswer = 256;

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

namespace {

// The HD family's codes in the frame of a job and of a file transfer.
const boxLink::Family hdFamily = {
    .jobStarted = hdCode::JobStarted,
    .jobEnded = hdCode::JobEnded,
    .portFailed = hdCode::PortFailed,
    .sendingFile = hdCode::SendingFile,
    .fileSent = hdCode::FileSent,
    .fileFailed = hdCode::FileFailed,
    .writeFailed = hdCode::WriteFailed,
    .verifyWaiting = hdCode::VerifyWaiting,
    .verifying = hdCode::Verifying,
    .verified = hdCode::Verified,
    .verifyDiffers = hdCode::VerifyDiffers,
    .verifyNoAnswer = hdCode::VerifyNoAnswer,
    .readsDiffer = hdCode::ReadsDiffer,
    // 100-byte blocks, then 10-byte ones; the last 91 to 100 bytes one by one.
    .tiers = {{.reserve = 200, .block = 100}, {.reserve = 100, .block = 10}, {.reserve = 0, .block = 1}},
};

} // namespace

serialComVesk::serialComVesk()
    : boxLink(hdFamily, QString(), QString())
{
}

serialComVesk::serialComVesk(const QString &port)
    : boxLink(hdFamily, port, QString())
{
}

serialComVesk::serialComVesk(const QString &port, const QString &file)
    : boxLink(hdFamily, port, file)
{
}

// An error code that ends the job at once, with the job's end code after it.
void serialComVesk::fail(int code)
{
    emit sendCurrentAction(code);
    emit sendCurrentAction(hdCode::JobEnded);
}

void serialComVesk::updateFirmware()
{
    runJob(hdCode::Updating, [this] { doUpdateFirmware(); });
}

void serialComVesk::sendChannellist()
{
    runJob(hdCode::Uploading, [this] { doSendChannellist(); });
}

void serialComVesk::getChannellist()
{
    runJob(hdCode::Downloading, [this] { doGetChannellist(); });
}

unsigned char serialComVesk::checkFiletype(QString filename)
{
    QString problem;
    const hdFile::Kind kind = hdFile::classify(filename, &problem);
    if (!problem.isEmpty())
        emit writeLog(problem);
    return kind;
}

// ---- the load chain -------------------------------------------------------

bool serialComVesk::readable(const hdStep &step) const
{
    if (step.readMode == hdStep::WholeLine)
        return serialPort.lineReady(floodGuard);
    return serialPort.available() > 0;
}

QByteArray serialComVesk::readOnce(const hdStep &step)
{
    if (step.readMode == hdStep::RawRead)
        return serialPort.read(step.readMax);
    return serialPort.readLine(step.readMax);
}

bool serialComVesk::exchange(const hdStep &step)
{
    if (serialPort.halted())
        return false;
    emit sendCurrentAction(step.startCode);
    if (step.trace)
        qCDebug(linkTrace).noquote() << "is port open?" << (serialPort.isOpen() ? "true" : "false");
    QString reply;
    replyJoin join;
    for (int attempt = 0; attempt < step.attempts; ++attempt) {
        const Outcome outcome = runAttempt(step, attempt, join, reply);
        if (outcome == Succeeded)
            return true;
        if (outcome == Failed)
            return false;
        if (step.pauseMs > 0)
            QThread::msleep(quint64(linkClock::window(step.pauseMs)));
    }
    emit writeLog(step.timeoutPrefix + quoted(reply)
                  + (step.timeoutTail ? QStringLiteral(" (timeout)") : QString()));
    if (step.failCode != hdStep::noCode) {
        noReply(reply, linkClock::window(step.windowMs), step.attempts);
        emit sendCurrentAction(step.failCode);
    }
    return false;
}

// One attempt: the command, then the replies within the window; `reply`
// keeps the last one for the time-out line. A reply is judged with the
// pieces of its line before it (`join`, kept over the step's attempts).
serialComVesk::Outcome serialComVesk::runAttempt(const hdStep &step, int attempt, replyJoin &join, QString &reply)
{
    const qint64 window = linkClock::window(step.windowMs);
    emit sendWaiting(window);
    if (step.command) {
        serialPort.send(step.command, linkClock::window(step.writeWaitMs));
        if (step.trace && attempt == 0)
            qCDebug(linkTrace).noquote() << "wrote" << qstrlen(step.command) << "bytes";
    }
    QElapsedTimer clock;
    clock.start();
    QString held;
    for (;;) {
        if (serialPort.halted())
            return Failed;
        if (!readable(step)) {
            const Outcome waited = waitForReply(step, clock, window);
            // A verdict that waited for the rest of its line stands as it is.
            if (waited == AttemptOver && !held.isEmpty()) {
                const Outcome late = decide(step, firstMarker(step, held), held, join, attempt, clock.elapsed());
                return late == Waiting ? AttemptOver : late;
            }
            if (waited != Waiting)
                return waited;
            continue;
        }
        const QString text = join.take(readOnce(step));
        if (text.isEmpty())
            continue;
        if (step.trace)
            qCDebug(linkTrace).noquote() << "received:" << text;
        reply = text;
        const Outcome outcome = judge(step, text, join, attempt, clock.elapsed(), held);
        if (outcome != Waiting)
            return outcome;
    }
}

// The first of the step's markers that the reply holds; -1: none.
int serialComVesk::firstMarker(const hdStep &step, const QString &text)
{
    for (int i = 0; i < hdStep::maxMarkers && step.markers[i].text; ++i) {
        const hdStep::Marker &m = step.markers[i];
        if (text.indexOf(QLatin1String(m.text), 0, m.anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive) >= 0)
            return i;
    }
    return -1;
}

// The first marker found decides, unless the reply's line has not ended and
// its end may be the beginning of a marker that is tested before that one:
// then the verdict waits (`held`) for the rest of the line, or for the end
// of the window, when it stands as it is.
serialComVesk::Outcome serialComVesk::judge(const hdStep &step, const QString &text, replyJoin &join, int attempt,
                                            qint64 ms, QString &held)
{
    const int found = firstMarker(step, text);
    if (found < 0)
        return Waiting;
    for (int i = 0; !join.lineEnded() && i < found; ++i) {
        const hdStep::Marker &m = step.markers[i];
        if (replyJoin::endsInPartOf(text, m.text, m.anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive)) {
            held = text;
            return Waiting;
        }
    }
    held.clear();
    return decide(step, found, text, join, attempt, ms);
}

serialComVesk::Outcome serialComVesk::decide(const hdStep &step, int marker, const QString &text, replyJoin &join,
                                             int attempt, qint64 ms)
{
    switch (step.markers[marker].verdict) {
    case hdStep::Success:
        if (step.logAttempt)
            emit writeLog(step.okPrefix + quoted(text) + QStringLiteral(" %1 %L2ms").arg(attempt).arg(ms));
        else
            emit writeLog(step.okPrefix + quoted(text) + QStringLiteral(" %L1ms").arg(ms));
        emit sendCurrentAction(step.okCode);
        return Succeeded;
    case hdStep::Failure:
        emit writeLog(step.failPrefix + quoted(text) + QStringLiteral(" %L1ms").arg(ms));
        if (step.failCode != hdStep::noCode) {
            emit sendCause(linkCause(linkCause::BoxRefused, text));
            emit sendCurrentAction(step.failCode);
        }
        return Failed;
    case hdStep::Resend:
        // The window runs on from the first sending; the rest of this line
        // must not ask again.
        join.restart();
        serialPort.send(step.command, linkClock::window(step.writeWaitMs));
        return Waiting;
    case hdStep::EndAttempt:
        join.restart();
        return AttemptOver;
    case hdStep::None:
        break;
    }
    return Waiting;
}

serialComVesk::Outcome serialComVesk::waitForReply(const hdStep &step, const QElapsedTimer &clock, qint64 window)
{
    const serialLine::Wait wait = serialPort.waitFor(clock, window, step.passWaitMs);
    if (wait == serialLine::Stopped)
        return Failed;
    if (wait == serialLine::Gone) {
        lostLine(step.failCode != hdStep::noCode ? step.failCode : int(hdCode::WriteFailed));
        return Failed;
    }
    if (wait == serialLine::Quiet && step.trace)
        qCDebug(linkTrace).noquote() << "no data received";
    // What arrives after the window is not this step's business.
    if (wait == serialLine::TimedOut || clock.elapsed() >= window)
        return AttemptOver;
    return Waiting;
}

bool serialComVesk::restartPCB()
{
    return exchange(hdStep::restartPCB);
}

bool serialComVesk::openLoadMenu()
{
    return exchange(hdStep::openLoadMenu);
}

void serialComVesk::waitForBinaryMode()
{
    exchange(hdStep::waitForBinaryMode);
}

bool serialComVesk::waitForFlashing()
{
    return exchange(hdStep::waitForFlashing);
}

bool serialComVesk::waitForFinish()
{
    return exchange(hdStep::waitForFinish);
}

void serialComVesk::startSettopbox()
{
    exchange(hdStep::startSettopbox);
}

bool serialComVesk::sendFile()
{
    // A stopped job announces no transfer.
    if (serialPort.halted())
        return false;
    return sendBlocks(filename);
}

// The progress of an HD transfer is that of its one file.
void serialComVesk::progressAfterBlock(qint64 position, qint64 size, qint64)
{
    emit sendProgress(int(position * 100 / size));
}

void serialComVesk::progressAfterFile(qint64 size)
{
    // An empty file sent no block, but it is sent all the same.
    if (size == 0)
        emit sendProgress(100);
}

// The job's file must exist and be of the given kind; otherwise the job
// ends here, before anything is sent.
bool serialComVesk::acceptJobFile(const QString &missingText, unsigned char kind)
{
    if (!QFile::exists(filename)) {
        emit writeLog(missingText);
        emit sendCause(linkCause(linkCause::FileMissing, QString(), filename));
        fail(hdCode::FileFailed);
        return false;
    }
    const unsigned char found = checkFiletype(filename);
    if (found != kind) {
        emit sendCause(linkCause(linkCause::FileWrongKind, hdFile::name(hdFile::Kind(found)), filename));
        fail(hdCode::WrongFileKind);
        return false;
    }
    return true;
}

void serialComVesk::doUpdateFirmware()
{
    emit writeLog(QStringLiteral("Updating Firmware: ") + filename);
    QElapsedTimer clock;
    clock.start();
    if (!acceptJobFile(QStringLiteral("Updatefile not exist"), hdFile::Update))
        return;
    if (!restartPCB() || !openLoadMenu())
        return;
    waitForBinaryMode();
    if (serialPort.halted() || !sendFile() || !waitForFlashing() || !waitForFinish())
        return;
    startSettopbox();
    if (serialPort.halted())
        return;
    emit writeLog(QStringLiteral("Update done after %L1 s").arg(clock.elapsed() / 1000));
    emit sendCurrentAction(hdCode::UpdateDone);
}

void serialComVesk::doSendChannellist()
{
    emit writeLog(QStringLiteral("Uploading Channel list: ") + filename);
    QElapsedTimer clock;
    clock.start();
    if (!acceptJobFile(QStringLiteral("Channel list not exist"), hdFile::List))
        return;
    if (!restartPCB() || !openLoadMenu())
        return;
    waitForBinaryMode();
    if (serialPort.halted() || !sendFile() || !waitForFlashing())
        return;
    // The box is started even when it did not report its finish, but the
    // upload then counts as failed: 76 stands, no "uploaded" follows.
    const bool finished = waitForFinish();
    if (serialPort.halted())
        return;
    startSettopbox();
    if (serialPort.halted() || !finished)
        return;
    emit writeLog(QStringLiteral("Uploading done after %L1 s").arg(clock.elapsed() / 1000));
    emit sendCurrentAction(hdCode::UploadDone);
    verifyUpload(filename);
}

// The console's help lists the list command: only a console that has booted
// far enough to print the list answers it so.
bool serialComVesk::probeConsole()
{
    // A console prints what it likes in answer to "help"; that it answers at
    // all tells that it reads. What it printed before the question (its boot
    // messages) is no answer.
    dropInput();
    serialPort.send("help\r\n", linkClock::window(100));
    return anyReply(linkClock::window(1000));
}

bool serialComVesk::readListAgain(QByteArray &bytes)
{
    return readListBack(bytes);
}

// The download's own phases, without a file.
bool serialComVesk::readListBack(QByteArray &bytes)
{
    listBuffer list;
    qint64 end = -1;
    if (!findListStart(list) || !receiveList(list, end))
        return false;
    list.truncate(end);
    bytes = list.tail(list.size());
    return true;
}

// ---- list download --------------------------------------------------------

void serialComVesk::doGetChannellist()
{
    emit writeLog(QStringLiteral("Downloading Channel list: ") + filename);
    QElapsedTimer operation;
    operation.start();
    listBuffer list;
    qint64 end = -1;
    if (!findListStart(list) || !receiveList(list, end))
        return;
    list.truncate(end);
    if (!confirmDownload(list) || !saveList(list, list.size()))
        return;
    emit writeLog(QStringLiteral("Downloading done after %L1 s").arg(operation.elapsed() / 1000));
    emit sendCurrentAction(hdCode::DownloadDone);
}

// Asks the console for its list and waits for the list's "START"; what
// follows the marker is the list's beginning. The marker is searched in what
// came before and the new bytes together, so that a "START" that the line
// splits over two reads is found too.
bool serialComVesk::findListStart(listBuffer &list)
{
    serialPort.send("help\r\n", linkClock::window(100));
    serialPort.send("chlist\r\n", linkClock::window(100));
    emit sendCurrentAction(hdCode::SearchingStart);
    QElapsedTimer clock;
    clock.start();
    markerSearch start(QByteArrayLiteral("START"));
    emit sendWaiting(linkClock::window(3000));
    const serialLine::Wait wait = findMarker(start, 4096, clock, linkClock::window(3000));
    if (wait == serialLine::Stopped)
        return false;
    if (wait == serialLine::Gone) {
        lostLine(hdCode::ReceiveFailed);
        emit sendCurrentAction(hdCode::JobEnded);
        return false;
    }
    if (!start.found()) {
        // Text without the marker is no list: saving it would pass off
        // console chatter as a channel list.
        emit sendCause(start.fedAny() ? linkCause(linkCause::ListNotFound)
                                      : linkCause(linkCause::BoxSilent, QString::number(linkClock::window(3000) / 1000)));
        fail(hdCode::ReceiveFailed);
        emit writeLog(start.fedAny() ? QStringLiteral("Start of List not found!")
                                     : QStringLiteral("No Data received!"));
        return false;
    }
    list.append(start.rest());
    emit writeLog(QStringLiteral("Start found"));
    emit sendCurrentAction(hdCode::Downloading);
    return true;
}

// Takes the list in until its end has settled (`end` is then its length).
bool serialComVesk::receiveList(listBuffer &list, qint64 &length)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 window = linkClock::window(50000);
    const qint64 settle = linkClock::window(endSettleMs);
    listEnd end;
    emit sendWaiting(window);
    end.feed(list);
    if (!list.isEmpty())
        emit sendProgress(listProgress(list.size(), nominalListSize));
    // An "END" that came within the window may settle after it.
    while (!end.settled(settle) && (end.at >= 0 || clock.elapsed() < window)) {
        if (serialPort.halted())
            return false;
        if (serialPort.available() > 0) {
            list.take(serialPort, 1024);
            if (list.size() > serialLine::maxListBytes) {
                emit writeLog(QStringLiteral("Channel list too long: more than %1 bytes").arg(serialLine::maxListBytes));
                emit sendCause(linkCause(linkCause::ListTooLong, QString::number(serialLine::maxListBytes)));
                fail(hdCode::ReceiveFailed);
                return false;
            }
            end.feed(list);
            emit sendProgress(listProgress(list.size(), nominalListSize));
            continue;
        }
        const serialLine::Wait wait = end.at >= 0 ? serialPort.waitFor(end.since, settle)
                                                  : serialPort.waitFor(clock, window);
        if (wait == serialLine::Stopped)
            return false;
        if (wait == serialLine::Gone) {
            lostLine(hdCode::DownloadTimeout);
            emit sendCurrentAction(hdCode::JobEnded);
            return false;
        }
    }
    if (!end.settled(settle)) {
        emit sendCause(linkCause(linkCause::ListUnfinished, QString::number(window / 1000)));
        fail(hdCode::DownloadTimeout);
        emit writeLog(QStringLiteral("Timeout!"));
        return false;
    }
    length = end.at;
    return true;
}

bool serialComVesk::saveList(listBuffer &list, qint64 end)
{
    list.truncate(end);
    if (list.isBlank()) {
        // Saving nothing over a good list would lose it.
        emit writeLog(QStringLiteral("The box sent an empty Channel list: nothing saved"));
        emit sendCause(linkCause(linkCause::ListEmpty));
        fail(hdCode::ReceiveFailed);
        return false;
    }
    emit sendCurrentAction(hdCode::EndFound);
    emit writeLog(QStringLiteral("End of List found"));
    QString error;
    if (!list.save(filename, &error)) {
        emit writeLog(error);
        emit sendCause(linkCause(linkCause::FileNotWritten, listBuffer::reason(error), filename));
        fail(hdCode::FileFailed);
        return false;
    }
    // Saved all the same: it is the box's list, and losing it helps no one.
    if (end > hdFile::maxListSize) {
        emit writeLog(QStringLiteral("The Channel list has %1 bytes; an upload takes at most %2 bytes, "
                                     "so this file cannot be uploaded to a box again")
                          .arg(end)
                          .arg(hdFile::maxListSize));
        emit sendCause(linkCause(linkCause::ListTooBigToUpload, QString::number(end), filename,
                                 QString::number(hdFile::maxListSize)));
    }
    return true;
}

// ---- service queries ------------------------------------------------------

// The four service requests: a console command each, and what becomes of
// the answer.
struct serialComVesk::Query
{
    int code;
    const char *command;                                // without its line end
    void (serialComVesk::*result)(const QString &);     // null: no answer is read
    answerShape::Kind shape;
    const char *what;                                   // names the answer in the log
};

const serialComVesk::Query serialComVesk::softwareQuery = {
    .code = hdCode::QuerySoftware, .command = "swvers", .result = &serialComVesk::resultSoftwareVersion,
    .shape = answerShape::Text, .what = "software version"};
const serialComVesk::Query serialComVesk::lowPowerQuery = {
    .code = hdCode::QueryLowPower, .command = "lpsw", .result = &serialComVesk::resultLowPowerVersion,
    .shape = answerShape::Text, .what = "low-power version"};
const serialComVesk::Query serialComVesk::macQuery = {
    .code = hdCode::QueryMac, .command = "get_mac", .result = &serialComVesk::resultMACAddress,
    .shape = answerShape::Mac, .what = "MAC address"};
const serialComVesk::Query serialComVesk::resetQuery = {
    .code = hdCode::FactoryReset, .command = "facreset", .result = nullptr, .shape = answerShape::Text, .what = ""};

void serialComVesk::readSoftwareVersion()
{
    runQuery(softwareQuery);
}

void serialComVesk::readLowPowerVersion()
{
    runQuery(lowPowerQuery);
}

void serialComVesk::readMACAddress()
{
    runQuery(macQuery);
}

void serialComVesk::initFactoryReset()
{
    runQuery(resetQuery);
}

void serialComVesk::readSoftwareVersionOnceUp()
{
    runQuery(softwareQuery, true);
}

void serialComVesk::runQuery(const Query &query, bool onceUp)
{
    runJob(query.code, [this, &query, onceUp] {
        if (onceUp && !awaitConsole()) {
            if (!serialPort.halted())
                noReply(QString(), linkClock::window(consoleWindowMs));
            return;
        }
        // What the box printed before the question (the last words of an
        // interrupted job, say) is no answer to it.
        dropInput();
        serialPort.send((QByteArray(query.command) + "\r\n").constData(), linkClock::window(commandWaitMs));
        if (!query.result)
            return;
        QByteArray line;
        bool whole = true;
        if (!readAnswer(query, line, whole)) {
            if (!serialPort.halted()) {
                noReply(QString(), linkClock::window(answerWindowMs));
                emit sendCurrentAction(hdCode::ReceiveFailed);
            }
            return;
        }
        // An answer of the wrong shape is told, but not passed on as one.
        if (!whole || !answerShape::fits(query.shape, line)) {
            emit writeLog(QStringLiteral("The Settopbox's answer to %1 is no %2: %3")
                              .arg(QLatin1String(query.command), QLatin1String(query.what), answerShape::shown(line))
                          + (whole ? QString() : QStringLiteral(", without a line end")));
            emit sendCause(linkCause(linkCause::AnswerMalformed, answerShape::shown(line), QString(),
                                     QLatin1String(query.what)));
            return;
        }
        (this->*query.result)(QString::fromLatin1(line.left(answerBytes)).toUpper());
    });
}

// The first line after the question that is not its echo, read to its line
// end, or what came of it by the window's end; false when nothing came.
// `whole` is false for a line that had no line end within longestAnswer bytes.
bool serialComVesk::readAnswer(const Query &query, QByteArray &line, bool &whole)
{
    const qint64 window = linkClock::window(answerWindowMs);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (serialPort.halted())
            return false;
        const qint64 elapsed = clock.elapsed();
        const bool over = elapsed >= window;
        if (!over)
            emit sendProgress(int(elapsed * 100 / window));
        if (serialPort.lineReady(longestAnswer) || (over && serialPort.available() > 0)) {
            const QByteArray read = serialPort.readLine(longestAnswer);
            whole = read.endsWith('\n') || read.size() < longestAnswer;
            QByteArray text = replyJoin::withoutNul(read);
            text.replace('\r', QByteArray()).replace('\n', QByteArray());
            // A console echoes the command before it answers.
            if (text.isEmpty() || text == query.command)
                continue;
            line = text;
            return true;
        }
        if (over)
            return false;
        // Short slices keep the progress moving while the box is silent.
        const serialLine::Wait wait = serialPort.waitFor(clock, window, progressSliceMs);
        if (wait == serialLine::Stopped)
            return false;
        if (wait == serialLine::Gone) {
            serialPort.reportGone();
            return false;
        }
    }
}

void serialComVesk::resultSoftwareVersion(const QString &answer)
{
    emit sendSoftwareVersion(answer.contains(QLatin1String("UNKNOWN")) ? QStringLiteral("----") : answer);
}

void serialComVesk::resultLowPowerVersion(const QString &answer)
{
    QString text = answer;
    text.remove(QLatin1String("LPSW:"));
    emit sendLowPowerVersion(text.contains(QLatin1String("UNKNOWN")) ? QStringLiteral("--") : text);
}

void serialComVesk::resultMACAddress(const QString &answer)
{
    if (answer.contains(QLatin1String("UNKNOWN"))) {
        emit sendMACAddress(QStringLiteral("???"));
        return;
    }
    if (answer.contains(QLatin1String("!LANDEVICE"))) {
        emit sendMACAddress(QStringLiteral("no LAN-Device"));
        return;
    }
    QString mac = answer;
    for (int at : {2, 5, 8, 11, 14})
        mac.insert(at, QLatin1Char('-'));
    emit sendMACAddress(mac);
}
