#include "serialcomvesk.h"

#include "hdstep.h"
#include "linkclock.h"
#include "listbuffer.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {

const QByteArray kindList = QByteArrayLiteral("00003040");
const QByteArray kindUpdateA = QByteArrayLiteral("00004023");
const QByteArray kindUpdateB = QByteArrayLiteral("00004043");
const qint64 maxListFile = 409600;
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

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

serialComVesk::serialComVesk()
    : serialPort([this](const QString &line) { emit writeLog(line); })
{
}

serialComVesk::serialComVesk(const QString &port)
    : serialComVesk()
{
    setPortname(port);
}

serialComVesk::serialComVesk(const QString &port, const QString &file)
    : serialComVesk()
{
    setPortname(port);
    setFilename(file);
}

serialComVesk::~serialComVesk()
{
    closePort();
}

void serialComVesk::setPortname(const QString &name)
{
    portname = name;
}

void serialComVesk::setFilename(const QString &name)
{
    filename = name;
}

void serialComVesk::requestStop()
{
    serialPort.requestStop();
}

bool serialComVesk::openPort()
{
    if (serialPort.open(portname))
        return true;
    emit sendCurrentAction(68);
    emit sendCurrentAction(41);
    return false;
}

void serialComVesk::closePort()
{
    serialPort.close();
}

void serialComVesk::runJob(int code, void (serialComVesk::*body)())
{
    emit sendCurrentAction(40);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    (this->*body)();
    closePort();
    emit sendCurrentAction(41);
}

// An error code that ends the job at once, with the job's end code after it.
void serialComVesk::fail(int code)
{
    emit sendCurrentAction(code);
    emit sendCurrentAction(41);
}

void serialComVesk::lostLine(int code)
{
    // A vanished line answers every wait at once; going on would only spin.
    serialPort.reportGone();
    emit sendCurrentAction(code);
}

void serialComVesk::updateFirmware()
{
    runJob(66, &serialComVesk::doUpdateFirmware);
}

void serialComVesk::sendChannellist()
{
    runJob(50, &serialComVesk::doSendChannellist);
}

void serialComVesk::getChannellist()
{
    runJob(42, &serialComVesk::doGetChannellist);
}

unsigned char serialComVesk::checkFiletype(QString filename)
{
    QFile file(filename);
    if (!file.open(QIODevice::ReadOnly)) {
        // A missing file is the caller's to report; a directory or an
        // unreadable file would otherwise end the job without a word.
        if (file.exists())
            emit writeLog(QStringLiteral("Checked FiletypeHD: cannot read ") + filename + QStringLiteral(": ")
                          + file.errorString());
        return 0;
    }
    QByteArray hex;
    if (file.seek(16))
        hex = file.read(4).toHex();
    file.close();
    const qint64 size = file.size();
    if (size <= maxListFile && hex == kindList)
        return 2;
    if (hex == kindUpdateA || hex == kindUpdateB)
        return 1;
    emit writeLog(QStringLiteral("Checked FiletypeHD: unknown(") + QString::fromLatin1(hex)
                  + QLatin1Char(' ') + filename + QLatin1Char(')'));
    return 0;
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
        qDebug().noquote() << "is port open?" << (serialPort.isOpen() ? "true" : "false");

    const qint64 window = linkClock::window(step.windowMs);
    QString reply;
    QElapsedTimer clock;
    for (int attempt = 0; attempt < step.attempts; ++attempt) {
        if (step.command) {
            serialPort.send(step.command, linkClock::window(step.writeWaitMs));
            if (step.trace && attempt == 0)
                qDebug().noquote() << "wrote" << qstrlen(step.command) << "bytes";
        }
        clock.start();
        bool attemptOver = false;
        while (!attemptOver) {
            if (serialPort.halted())
                return false;
            if (readable(step)) {
                QString text = QString::fromLatin1(readOnce(step));
                text.remove(QLatin1Char('\r'));
                text.remove(QLatin1Char('\n'));
                if (text.isEmpty())
                    continue;
                if (step.trace)
                    qDebug().noquote() << "received:" << text;
                reply = text;
                hdStep::Verdict verdict = hdStep::None;
                for (const hdStep::Marker &m : step.markers) {
                    if (!m.text)
                        break;
                    const Qt::CaseSensitivity cs = m.anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
                    if (text.indexOf(QLatin1String(m.text), 0, cs) >= 0) {
                        verdict = m.verdict;
                        break;
                    }
                }
                const qint64 ms = clock.elapsed();
                switch (verdict) {
                case hdStep::Success:
                    if (step.logAttempt)
                        emit writeLog(step.okPrefix + quoted(reply)
                                      + QStringLiteral(" %1 %L2ms").arg(attempt).arg(ms));
                    else
                        emit writeLog(step.okPrefix + quoted(reply) + QStringLiteral(" %L1ms").arg(ms));
                    emit sendCurrentAction(step.okCode);
                    return true;
                case hdStep::Failure:
                    emit writeLog(step.failPrefix + quoted(reply) + QStringLiteral(" %L1ms").arg(ms));
                    if (step.failCode)
                        emit sendCurrentAction(step.failCode);
                    return false;
                case hdStep::Resend:
                    // The window runs on from the first sending.
                    serialPort.send(step.command, linkClock::window(step.writeWaitMs));
                    break;
                case hdStep::EndAttempt:
                    attemptOver = true;
                    break;
                case hdStep::None:
                    break;
                }
                continue;
            }
            const serialLine::Wait wait = serialPort.waitFor(clock, window, step.passWaitMs);
            if (wait == serialLine::Stopped)
                return false;
            if (wait == serialLine::Gone) {
                lostLine(step.failCode ? step.failCode : 74);
                return false;
            }
            if (wait == serialLine::Quiet && step.trace)
                qDebug().noquote() << "no data received";
            // What arrives after the window is not this step's business.
            if (wait == serialLine::TimedOut || clock.elapsed() >= window)
                break;
        }
        if (step.pauseMs > 0)
            QThread::msleep(quint64(linkClock::window(step.pauseMs)));
    }
    emit writeLog(step.timeoutPrefix + quoted(reply)
                  + (step.timeoutTail ? QStringLiteral(" (timeout)") : QString()));
    if (step.failCode)
        emit sendCurrentAction(step.failCode);
    return false;
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
    if (serialPort.halted())
        return false;
    emit sendCurrentAction(57);
    QFile file(filename);
    if (!file.open(QIODevice::ReadOnly)) {
        emit writeLog(QStringLiteral("Error opening file ") + file.errorString());
        emit sendCurrentAction(71);
        return false;
    }
    const qint64 size = file.size();
    qint64 pos = 0;
    struct Phase
    {
        qint64 reserve;  // bytes left for the finer phases
        int block;
    };
    // Coarse blocks for the bulk, then finer ones towards the end; written
    // as "pos + reserve < size" so that files under 200 bytes cannot wrap.
    static const Phase phases[] = {{200, 100}, {100, 10}, {0, 1}};
    for (const Phase &phase : phases) {
        while (pos + phase.reserve < size) {
            if (serialPort.halted())
                return false;
            const QByteArray block = file.read(phase.block);
            if (block.size() != phase.block) {
                // The file shrank or failed under us: never pad or cut it.
                emit writeLog(QStringLiteral("Error reading file ") + file.errorString());
                emit sendCurrentAction(71);
                return false;
            }
            // The port takes every block into its buffer; only the drain
            // tells whether it leaves.
            if (serialPort.write(block.constData(), block.size()) != block.size() || !serialPort.drain()) {
                if (serialPort.halted())
                    return false;
                emit writeLog(QStringLiteral("Error writing data to Port"));
                if (serialPort.gone())
                    serialPort.reportGone();
                emit sendCurrentAction(74);
                return false;
            }
            pos += phase.block;
            emit sendProgress(int(pos * 100 / size));
        }
    }
    file.close();
    if (size == 0)
        emit sendProgress(100);
    emit writeLog(QStringLiteral("File sent. Wrote ") + QStringLiteral("%1 data").arg(pos));
    emit sendCurrentAction(58);
    return true;
}

// The job's file must exist and be of the given kind; otherwise the job
// ends here, before anything is sent.
bool serialComVesk::acceptJobFile(const QString &missingText, unsigned char kind)
{
    if (!QFile::exists(filename)) {
        emit writeLog(missingText);
        fail(71);
        return false;
    }
    if (checkFiletype(filename) != kind) {
        fail(77);
        return false;
    }
    return true;
}

void serialComVesk::doUpdateFirmware()
{
    emit writeLog(QStringLiteral("Updating Firmware: ") + filename);
    QElapsedTimer clock;
    clock.start();
    if (!acceptJobFile(QStringLiteral("Updatefile not exist"), 1))
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
    emit sendCurrentAction(67);
}

void serialComVesk::doSendChannellist()
{
    emit writeLog(QStringLiteral("Uploading Channel list: ") + filename);
    QElapsedTimer clock;
    clock.start();
    if (!acceptJobFile(QStringLiteral("Channel list not exist"), 2))
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
    emit sendCurrentAction(65);
}

// ---- list download --------------------------------------------------------

void serialComVesk::doGetChannellist()
{
    emit writeLog(QStringLiteral("Downloading Channel list: ") + filename);
    QElapsedTimer operation;
    operation.start();
    serialPort.send("help\r\n", linkClock::window(100));
    serialPort.send("chlist\r\n", linkClock::window(100));
    emit sendCurrentAction(43);

    // The marker is searched in what came before and the new bytes together,
    // so that a "START" that the line splits over two reads is found too.
    QElapsedTimer clock;
    clock.start();
    const qint64 searchWindow = linkClock::window(3000);
    QByteArray seen;
    int marker = -1;
    bool anyText = false;
    for (;;) {
        if (serialPort.available() > 0) {
            seen += serialPort.read(4096);
            anyText = true;
            marker = seen.indexOf("START");
            if (marker >= 0)
                break;
            seen = seen.right(4);
            continue;
        }
        const serialLine::Wait wait = serialPort.waitFor(clock, searchWindow);
        if (wait == serialLine::Stopped)
            return;
        if (wait == serialLine::Gone) {
            lostLine(69);
            emit sendCurrentAction(41);
            return;
        }
        if (wait == serialLine::TimedOut)
            break;
    }
    if (marker < 0) {
        // Text without the marker is no list: saving it would pass off
        // console chatter as a channel list.
        fail(69);
        emit writeLog(anyText ? QStringLiteral("Start of List not found!")
                              : QStringLiteral("No Data received!"));
        return;
    }
    listBuffer list;
    list.append(seen.mid(marker + 5));
    emit writeLog(QStringLiteral("Start found"));
    emit sendCurrentAction(42);

    clock.restart();
    const qint64 window = linkClock::window(50000);
    const qint64 settle = linkClock::window(endSettleMs);
    listEnd end;
    end.feed(list);
    if (!list.isEmpty())
        emit sendProgress(int(list.size() * 100 / nominalListSize));
    // An "END" that came within the window may settle after it.
    while (!end.settled(settle) && (end.at >= 0 || clock.elapsed() < window)) {
        if (serialPort.halted())
            return;
        if (serialPort.available() > 0) {
            list.take(serialPort, 1024);
            if (list.size() > serialLine::maxListBytes) {
                emit writeLog(QStringLiteral("Channel list too long: more than %1 bytes").arg(serialLine::maxListBytes));
                fail(69);
                return;
            }
            end.feed(list);
            emit sendProgress(int(list.size() * 100 / nominalListSize));
            continue;
        }
        const serialLine::Wait wait = end.at >= 0 ? serialPort.waitFor(end.since, settle)
                                                  : serialPort.waitFor(clock, window);
        if (wait == serialLine::Stopped)
            return;
        if (wait == serialLine::Gone) {
            lostLine(70);
            emit sendCurrentAction(41);
            return;
        }
    }
    if (!end.settled(settle)) {
        fail(70);
        emit writeLog(QStringLiteral("Timeout!"));
        return;
    }
    list.truncate(end.at);
    if (list.isBlank()) {
        // Saving nothing over a good list would lose it.
        emit writeLog(QStringLiteral("The box sent an empty Channel list: nothing saved"));
        fail(69);
        return;
    }
    emit sendCurrentAction(44);
    emit writeLog(QStringLiteral("End of List found"));
    QString error;
    if (!list.save(filename, &error)) {
        emit writeLog(error);
        fail(71);
        return;
    }
    emit writeLog(QStringLiteral("Downloading done after %L1 s").arg(operation.elapsed() / 1000));
    emit sendCurrentAction(45);
}

// ---- service queries ------------------------------------------------------

void serialComVesk::readSoftwareVersion()
{
    runQuery(46, "swvers\r\n", &serialComVesk::resultSoftwareVersion);
}

void serialComVesk::readLowPowerVersion()
{
    runQuery(47, "lpsw\r\n", &serialComVesk::resultLowPowerVersion);
}

void serialComVesk::readMACAddress()
{
    runQuery(48, "get_mac\r\n", &serialComVesk::resultMACAddress);
}

void serialComVesk::initFactoryReset()
{
    runQuery(49, "facreset\r\n", nullptr);
}

void serialComVesk::runQuery(int code, const char *command,
                             void (serialComVesk::*result)(const QString &))
{
    emit sendCurrentAction(40);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    serialPort.send(command, linkClock::window(100));
    QString answer;
    if (result) {
        if (readAnswer(&answer))
            (this->*result)(answer);
        else if (!serialPort.halted())
            emit sendCurrentAction(69);
    }
    closePort();
    emit sendCurrentAction(41);
}

bool serialComVesk::readAnswer(QString *answer)
{
    const qint64 window = linkClock::window(1000);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (serialPort.halted())
            return false;
        const qint64 elapsed = clock.elapsed();
        const bool over = elapsed >= window;
        if (!over)
            emit sendProgress(int(elapsed * 100 / window));
        // Whole lines only, so an answer that the line happens to split is
        // not taken in two halves; a rest without line end that came in
        // time still counts once the window is over.
        if (serialPort.lineReady(49) || (over && serialPort.available() > 0)) {
            QString text = QString::fromLatin1(serialPort.readLine(49));
            text.remove(QLatin1Char('\r'));
            text.remove(QLatin1Char('\n'));
            text = text.toUpper();
            if (!text.isEmpty()) {
                *answer = text;
                return true;
            }
            continue;
        }
        if (over)
            return false;
        // Short slices keep the progress moving while the box is silent.
        const serialLine::Wait wait = serialPort.waitFor(clock, window, 20);
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
