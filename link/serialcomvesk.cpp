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
#include <QFileInfo>
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

// A service query's answer: the console gets a second to give it; the
// command is given a moment to leave first.
const qint64 answerWindowMs = 1000;
const qint64 commandWaitMs = 100;
// A command that no answer confirms (the factory reset) counts as sent only
// if the line still stands this long after it left: far longer than its
// bytes take to cross a serial server and the box's line, so that a server
// that closed the connection, reset it or cut it part-way is seen.
const qint64 lineStandsMs = 1000;
const qint64 progressSliceMs = 20;
// Of the answer's line, the result takes what a 50-byte buffer holds...
const int answerBytes = 49;
// ... but the line is read to its end, up to this length: a longer one is
// noise, not an answer.
const qint64 longestAnswer = 256;
// The window for the list's start, and for the whole list.
const qint64 hdListStartWindowMs = 3000;
const qint64 hdListWindowMs = 50000;
const qint64 hdListReadPiece = 1024;
const qint64 hdStartSearchPiece = 4096;
// A console command's line end and its own wait to leave.
const qint64 consoleCommandWaitMs = 100;
const qint64 hdProbeAnswerWindowMs = 1000;

// The family's frame: 100-byte blocks, then 10-byte ones; the last 91 to 100 bytes one by one; a
// failed list download sends the end code at once.
const boxLink::Family hdFamily = boxLink::familyOf<hdCode>(true, {.reserve = 200, .block = 100}, {.reserve = 100, .block = 10}, {.reserve = 0, .block = 1});

} // namespace

serialComVesk::serialComVesk(const QString &port, const QString &file)
    : boxLink(hdFamily, port, file)
{
}

void serialComVesk::failEnding(int code, const linkCause &cause, const QString &logLine)
{
    fail(code, cause, logLine);
    emit sendCurrentAction(hdCode::JobEnded);
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

bool serialComVesk::sendCommand(const linkStep &step)
{
    return serialPort.send(step.command, linkClock::window(step.writeWaitMs));
}

// The job's file must exist and be of the given kind; otherwise the job
// ends here, before anything is sent.
bool serialComVesk::acceptJobFile(const QString &missingText, unsigned char kind)
{
    if (!QFile::exists(filename)) {
        failEnding(hdCode::FileFailed, linkCause(linkCause::FileMissing, QString(), filename), missingText);
        return false;
    }
    const unsigned char found = checkFiletype(filename);
    if (found != kind) {
        failEnding(hdCode::WrongFileKind, linkCause(linkCause::FileWrongKind, fileKinds::name(filename), filename));
        return false;
    }
    return true;
}

bool serialComVesk::loadFile(bool &finished)
{
    if (!runStep(hdStep::restartPCB) || !runStep(hdStep::openLoadMenu))
        return false;
    // Once its load menu is open a box waits for the file and takes it in
    // place of what it had: from here a failure leaves it half loaded.
    boxLeft(linkOutcome::HalfUpdated);
    runStep(hdStep::waitForBinaryMode);
    // A stopped job announces no transfer.
    if (serialPort.halted())
        return false;
    Progress progress{.sent = 0, .total = QFileInfo(filename).size()};
    if (!sendBlocks(filename, progress) || !runStep(hdStep::waitForFlashing))
        return false;
    finished = runStep(hdStep::waitForFinish);
    return !serialPort.halted();
}

void serialComVesk::startSettopbox()
{
    if (!runStep(hdStep::startSettopbox) && !serialPort.halted())
        startUnconfirmed();
}

void serialComVesk::doUpdateFirmware()
{
    emit writeLog(QStringLiteral("Updating Firmware: ") + filename);
    QElapsedTimer clock;
    clock.start();
    bool finished = false;
    if (!acceptJobFile(QStringLiteral("Updatefile not exist"), hdFile::Update) || !loadFile(finished) || !finished)
        return;
    startSettopbox();
    if (serialPort.halted())
        return;
    emit writeLog(QStringLiteral("Update done after %L1 s").arg(clock.elapsed() / 1000));
    boxLeft(linkOutcome::Updated);
    succeed(hdCode::UpdateDone);
}

void serialComVesk::doSendChannellist()
{
    emit writeLog(QStringLiteral("Uploading Channel list: ") + filename);
    QElapsedTimer clock;
    clock.start();
    bool finished = false;
    if (!acceptJobFile(QStringLiteral("Channel list not exist"), hdFile::List) || !loadFile(finished))
        return;
    // The box is started even when it did not report its finish, but the
    // upload then counts as failed: 76 stands, no "uploaded" follows.
    startSettopbox();
    if (serialPort.halted() || !finished)
        return;
    emit writeLog(QStringLiteral("Uploading done after %L1 s").arg(clock.elapsed() / 1000));
    boxLeft(linkOutcome::Updated);
    succeed(hdCode::UploadDone);
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
    serialPort.send("help\r\n", linkClock::window(consoleCommandWaitMs));
    return anyReply(linkClock::window(hdProbeAnswerWindowMs));
}

bool serialComVesk::readListAgain(QByteArray &bytes, qint64 measure)
{
    return readListBack(bytes, measure);
}

// The download's own phases, without a file.
bool serialComVesk::readListBack(QByteArray &bytes, qint64 measure)
{
    listBuffer list;
    qint64 end = -1;
    if (!findListStart(list) || !receiveList(list, measure, end))
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
    boxLeft(linkOutcome::OldListKept);
    listBuffer list;
    qint64 end = -1;
    if (!findListStart(list) || !receiveList(list, nominalListSize, end))
        return;
    list.truncate(end);
    if (!confirmDownload(list) || !saveList(list, filename))
        return;
    emit writeLog(QStringLiteral("Downloading done after %L1 s").arg(operation.elapsed() / 1000));
    succeed(hdCode::DownloadDone);
}

// Saved all the same: it is the box's list, and losing it helps no one.
void serialComVesk::listSaved(qint64 size, const QString &name)
{
    if (size <= hdFile::maxListSize)
        return;
    emit writeLog(QStringLiteral("The Channel list has %1 bytes; an upload takes at most %2 bytes, "
                                 "so this file cannot be uploaded to a box again")
                      .arg(size)
                      .arg(hdFile::maxListSize));
    noteOnSave(linkCause(linkCause::ListTooBigToUpload, QString::number(size), name,
                         QString::number(hdFile::maxListSize)));
}

// Asks the console for its list and waits for the list's "START"; what
// follows the marker is the list's beginning. The marker is searched in what
// came before and the new bytes together, so that a "START" that the line
// splits over two reads is found too.
bool serialComVesk::findListStart(listBuffer &list)
{
    serialPort.send("help\r\n", linkClock::window(consoleCommandWaitMs));
    serialPort.send("chlist\r\n", linkClock::window(consoleCommandWaitMs));
    step(hdCode::SearchingStart);
    QElapsedTimer clock;
    clock.start();
    markerSearch start(QByteArrayLiteral("START"));
    if (!awaitListStart(start, hdStartSearchPiece, hdListStartWindowMs, clock, "Start of List not found!"))
        return false;
    list.append(start.rest());
    emit writeLog(QStringLiteral("Start found"));
    step(hdCode::Downloading);
    return true;
}

// Takes the list in until its end has settled (`length` is then its length).
bool serialComVesk::receiveList(listBuffer &list, qint64 measure, qint64 &length)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 window = linkClock::window(hdListWindowMs);
    const qint64 settle = linkClock::window(endSettleMs);
    listEnd end;
    emit sendWaiting(window);
    end.feed(list);
    if (!list.isEmpty())
        emit sendProgress(listProgress(list.size(), measure));
    // An "END" that came within the window may settle after it.
    while (!end.settled(settle) && (end.at >= 0 || clock.elapsed() < window)) {
        if (serialPort.halted())
            return false;
        if (serialPort.available() > 0) {
            list.take(serialPort, hdListReadPiece);
            if (listTooLong(list))
                return false;
            end.feed(list);
            emit sendProgress(listProgress(list.size(), measure));
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
        failList(hdCode::DownloadTimeout, linkCause(linkCause::ListUnfinished, QString::number(window / 1000)),
                 QStringLiteral("Timeout!"));
        return false;
    }
    length = end.at;
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
                fail(noStatus, silence(QString(), linkClock::window(consoleWindowMs)));
            return;
        }
        askQuery(query);
    });
}

void serialComVesk::askQuery(const Query &query)
{
    // What the box printed before the question (the last words of an
    // interrupted job, say) is no answer to it.
    dropInput();
    // A command counts as asked only once every byte of it has left: a
    // factory reset that never reached the box must not read as sent.
    const QByteArray command = QByteArray(query.command) + "\r\n";
    if (!serialPort.send(command.constData(), linkClock::window(commandWaitMs)) || !serialPort.drain()) {
        if (!serialPort.halted())
            fail(noStatus, lineFailure(), QStringLiteral("Error writing data to Port"));
        return;
    }
    if (!query.result) {
        if (!lineStands()) {
            if (!serialPort.halted())
                fail(noStatus, lineFailure(), QStringLiteral("Error writing data to Port"));
            return;
        }
        boxLeft(linkOutcome::Reset);
        completed();
        return;
    }
    QByteArray line;
    bool whole = true;
    if (!readAnswer(query, line, whole)) {
        if (!serialPort.halted())
            fail(hdCode::ReceiveFailed, silence(QString(), linkClock::window(answerWindowMs)));
        return;
    }
    // An answer of the wrong shape is told, but not passed on as one.
    if (!whole || !answerShape::fits(query.shape, line)) {
        fail(noStatus, linkCause(linkCause::AnswerMalformed, answerShape::shown(line), QString(), QLatin1String(query.what)),
             QStringLiteral("The Settopbox's answer to %1 is no %2: %3")
                     .arg(QLatin1String(query.command), QLatin1String(query.what), answerShape::shown(line))
                 + (whole ? QString() : QStringLiteral(", without a line end")));
        return;
    }
    (this->*query.result)(QString::fromLatin1(line.left(answerBytes)).toUpper());
}

bool serialComVesk::lineStands()
{
    const qint64 window = linkClock::window(lineStandsMs);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        switch (serialPort.waitFor(clock, window)) {
        case serialLine::Arrived:
            // What a resetting box prints is no answer, and is not kept.
            serialPort.read(serialPort.available());
            break;
        case serialLine::Quiet:
            break;
        case serialLine::TimedOut:
            return !serialPort.gone();
        case serialLine::Stopped:
        case serialLine::Gone:
            return false;
        }
    }
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
            lostLine(hdCode::ReceiveFailed);
            return false;
        }
    }
}

void serialComVesk::resultSoftwareVersion(const QString &answer)
{
    const QString version = answer.contains(QLatin1String("UNKNOWN")) ? QStringLiteral("----") : answer;
    answered(version);
    emit sendSoftwareVersion(version);
}

void serialComVesk::resultLowPowerVersion(const QString &answer)
{
    QString text = answer;
    text.remove(QLatin1String("LPSW:"));
    const QString version = text.contains(QLatin1String("UNKNOWN")) ? QStringLiteral("--") : text;
    answered(version);
    emit sendLowPowerVersion(version);
}

void serialComVesk::resultMACAddress(const QString &answer)
{
    QString mac = answer;
    if (answer.contains(QLatin1String("UNKNOWN"))) {
        mac = QStringLiteral("???");
    } else if (answer.contains(QLatin1String("!LANDEVICE"))) {
        mac = QStringLiteral("no LAN-Device");
    } else {
        for (int at : {2, 5, 8, 11, 14})
            mac.insert(at, QLatin1Char('-'));
    }
    answered(mac);
    emit sendMACAddress(mac);
}
