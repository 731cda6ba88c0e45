#include "serialcomvesk.h"

#include "hdstep.h"
#include "linkclock.h"
#include "serialline.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QSerialPort>
#include <QThread>

namespace {

const QByteArray kindList = QByteArrayLiteral("00003040");
const QByteArray kindUpdateA = QByteArrayLiteral("00004023");
const QByteArray kindUpdateB = QByteArrayLiteral("00004043");
const qint64 maxListFile = 409600;
const qint64 nominalListSize = 297472;

// After "END" the line must stay quiet this long before the list counts as
// complete: the same three bytes may well occur inside a list.
const qint64 endSettleMs = 500;
// A line step that sees this much text without a line end reads it in
// pieces, so a babbling box cannot grow the input buffer without bound.
const qint64 floodGuard = 4096;

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Port waits take an int; a window's rest never needs more.
int waitSlice(qint64 left, qint64 cap)
{
    return int(qBound<qint64>(1, qMin(left, cap), 60000));
}

} // namespace

serialComVesk::serialComVesk() = default;

serialComVesk::serialComVesk(const QString &port)
{
    setPortname(port);
}

serialComVesk::serialComVesk(const QString &port, const QString &file)
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
    m_stop.store(true);
}

bool serialComVesk::openPort()
{
    if (!serialPort)
        serialPort = new QSerialPort(this);
    if (serialLine::open(serialPort, portname))
        return true;
    emit writeLog(QStringLiteral("Error: open Port: ") + serialPort->errorString());
    closePort();
    emit sendCurrentAction(68);
    emit sendCurrentAction(41);
    return false;
}

void serialComVesk::closePort()
{
    if (!serialPort)
        return;
    serialPort->close();
    delete serialPort;
    serialPort = nullptr;
}

void serialComVesk::runJob(int code, void (serialComVesk::*body)())
{
    m_halted = false;
    emit sendCurrentAction(40);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    (this->*body)();
    closePort();
    emit sendCurrentAction(41);
}

bool serialComVesk::halted()
{
    if (m_halted)
        return true;
    if (!stopRequested())
        return false;
    emit writeLog(QStringLiteral("Job stopped: the window was closed"));
    m_halted = true;
    return true;
}

bool serialComVesk::lineLost()
{
    if (!serialPort || !serialPort->isOpen())
        return true;
    const QSerialPort::SerialPortError e = serialPort->error();
    return e == QSerialPort::ResourceError || e == QSerialPort::ReadError
        || e == QSerialPort::WriteError;
}

void serialComVesk::reportLostLine(int code)
{
    // A vanished line answers every wait at once; going on would only spin.
    emit writeLog(QStringLiteral("Error: serial line lost: ")
                  + (serialPort ? serialPort->errorString() : QString()));
    emit sendCurrentAction(code);
    m_halted = true;
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

void serialComVesk::writeCommand(const char *command, int waitMs)
{
    serialPort->write(command);
    serialPort->waitForBytesWritten(int(linkClock::window(waitMs)));
}

bool serialComVesk::readable(const hdStep &step) const
{
    if (step.readMode == hdStep::WholeLine)
        return serialPort->canReadLine() || serialPort->bytesAvailable() >= floodGuard;
    return serialPort->bytesAvailable() > 0;
}

QByteArray serialComVesk::readOnce(const hdStep &step)
{
    if (step.readMode == hdStep::RawRead)
        return serialPort->read(step.readMax);
    QByteArray buf(step.readMax + 1, '\0');
    const qint64 n = serialPort->readLine(buf.data(), step.readMax + 1);
    buf.truncate(int(qMax<qint64>(0, n)));
    return buf;
}

bool serialComVesk::exchange(const hdStep &step)
{
    if (halted())
        return false;
    emit sendCurrentAction(step.startCode);
    if (step.trace)
        qDebug().noquote() << "is port open?" << (serialPort->isOpen() ? "true" : "false");

    const qint64 window = linkClock::window(step.windowMs);
    QString reply;
    QElapsedTimer clock;
    for (int attempt = 0; attempt < step.attempts; ++attempt) {
        if (step.command) {
            const qint64 n = serialPort->write(step.command);
            serialPort->waitForBytesWritten(int(linkClock::window(step.writeWaitMs)));
            if (step.trace && attempt == 0)
                qDebug().noquote() << "wrote" << n << "bytes";
        }
        clock.start();
        bool attemptOver = false;
        while (!attemptOver) {
            if (halted())
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
                    serialPort->write(step.command);
                    serialPort->waitForBytesWritten(int(linkClock::window(step.writeWaitMs)));
                    break;
                case hdStep::EndAttempt:
                    attemptOver = true;
                    break;
                case hdStep::None:
                    break;
                }
                continue;
            }
            const qint64 left = window - clock.elapsed();
            if (left <= 0)
                break;
            const bool arrived = serialPort->waitForReadyRead(waitSlice(left, step.passWaitMs));
            if (!arrived && lineLost()) {
                reportLostLine(step.failCode ? step.failCode : 74);
                return false;
            }
            if (!arrived && step.trace)
                qDebug().noquote() << "no data received";
            // What arrives after the window is not this step's business.
            if (clock.elapsed() >= window)
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

bool serialComVesk::drainWrites()
{
    // A second without a single byte leaving means the line is stuck or gone;
    // counting the bytes the port merely buffered would report a lost file
    // as sent.
    while (serialPort->bytesToWrite() > 0) {
        if (!serialPort->waitForBytesWritten(int(linkClock::window(1000))))
            return false;
        if (halted())
            return false;
    }
    return true;
}

bool serialComVesk::sendFile()
{
    if (halted())
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
    qint64 total = 0;
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
            if (halted())
                return false;
            const QByteArray block = file.read(phase.block);
            if (block.size() != phase.block) {
                // The file shrank or failed under us: never pad or cut it.
                emit writeLog(QStringLiteral("Error reading file ") + file.errorString());
                emit sendCurrentAction(71);
                return false;
            }
            const qint64 n = serialPort->write(block);
            // The port takes every block into its buffer; only the wait tells
            // whether it leaves. A full second without progress is a dead line.
            if (n <= 0 || (!serialPort->waitForBytesWritten(int(linkClock::window(1000)))
                           && serialPort->bytesToWrite() > 0)) {
                if (halted())
                    return false;
                emit writeLog(QStringLiteral("Error writing data to Port"));
                emit sendCurrentAction(74);
                return false;
            }
            total += n;
            pos += phase.block;
            emit sendProgress(int(pos * 100 / size));
        }
    }
    file.close();
    if (size == 0)
        emit sendProgress(100);
    if (total < size || !drainWrites()) {
        if (halted())
            return false;
        emit writeLog(QStringLiteral("Error writing data to Port"));
        emit sendCurrentAction(74);
        return false;
    }
    emit writeLog(QStringLiteral("File sent. Wrote ") + QStringLiteral("%1 data").arg(total));
    emit sendCurrentAction(58);
    return true;
}

// The job's file must exist and be of the given kind; otherwise the job
// ends here, before anything is sent.
bool serialComVesk::acceptJobFile(const QString &missingText, unsigned char kind)
{
    if (!QFile::exists(filename)) {
        emit writeLog(missingText);
        emit sendCurrentAction(71);
        emit sendCurrentAction(41);
        return false;
    }
    if (checkFiletype(filename) != kind) {
        emit sendCurrentAction(77);
        emit sendCurrentAction(41);
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
    if (m_halted || !sendFile() || !waitForFlashing() || !waitForFinish())
        return;
    startSettopbox();
    if (m_halted)
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
    if (m_halted || !sendFile() || !waitForFlashing())
        return;
    // The box is started even when it did not report its finish, but the
    // upload then counts as failed: 76 stands, no "uploaded" follows.
    const bool finished = waitForFinish();
    if (m_halted)
        return;
    startSettopbox();
    if (m_halted || !finished)
        return;
    emit writeLog(QStringLiteral("Uploading done after %L1 s").arg(clock.elapsed() / 1000));
    emit sendCurrentAction(65);
}

// ---- list download --------------------------------------------------------

bool serialComVesk::saveList(const QByteArray &list)
{
    // Written aside and renamed over the old file only when complete, so a
    // failed write never leaves a half list in place of a good one.
    QSaveFile file(filename);
    if (!file.open(QIODevice::WriteOnly)) {
        emit writeLog(QStringLiteral("Couldn't open File") + file.errorString());
        emit sendCurrentAction(71);
        emit sendCurrentAction(41);
        return false;
    }
    if (file.write(list) != list.size() || !file.commit()) {
        emit writeLog(QStringLiteral("Couldn't write File") + file.errorString());
        file.cancelWriting();
        emit sendCurrentAction(71);
        emit sendCurrentAction(41);
        return false;
    }
    return true;
}

void serialComVesk::doGetChannellist()
{
    emit writeLog(QStringLiteral("Downloading Channel list: ") + filename);
    QElapsedTimer operation;
    operation.start();
    writeCommand("help\r\n", 100);
    writeCommand("chlist\r\n", 100);
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
        if (halted())
            return;
        if (serialPort->bytesAvailable() > 0) {
            seen += serialPort->read(4096);
            anyText = true;
            marker = seen.indexOf("START");
            if (marker >= 0)
                break;
            seen = seen.right(4);
            continue;
        }
        const qint64 left = searchWindow - clock.elapsed();
        if (left <= 0)
            break;
        if (!serialPort->waitForReadyRead(waitSlice(left, 100)) && lineLost()) {
            reportLostLine(69);
            emit sendCurrentAction(41);
            return;
        }
        if (clock.elapsed() >= searchWindow)
            break;
    }
    if (marker < 0) {
        // Text without the marker is no list: saving it would pass off
        // console chatter as a channel list.
        emit sendCurrentAction(69);
        emit sendCurrentAction(41);
        emit writeLog(anyText ? QStringLiteral("Start of List not found!")
                              : QStringLiteral("No Data received!"));
        return;
    }
    QByteArray list = seen.mid(marker + 5);
    emit writeLog(QStringLiteral("Start found"));
    emit sendCurrentAction(42);

    clock.restart();
    const qint64 window = linkClock::window(50000);
    const qint64 settle = linkClock::window(endSettleMs);
    if (!list.isEmpty())
        emit sendProgress(int(qint64(list.size()) * 100 / nominalListSize));
    bool ended = false;
    for (;;) {
        if (halted())
            return;
        if (serialPort->bytesAvailable() > 0) {
            list += serialPort->read(1024);
            if (list.size() > maxListBytes + 3) {
                emit writeLog(QStringLiteral("Channel list too long: more than %1 bytes").arg(maxListBytes));
                emit sendCurrentAction(69);
                emit sendCurrentAction(41);
                return;
            }
            emit sendProgress(int(qint64(list.size()) * 100 / nominalListSize));
            continue;
        }
        const qint64 left = window - clock.elapsed();
        if (left <= 0)
            break;
        if (list.endsWith("END")) {
            // The box says nothing after its end text; anything more means
            // those three bytes were list data.
            if (!serialPort->waitForReadyRead(waitSlice(left, settle))
                && serialPort->bytesAvailable() == 0) {
                ended = true;
                break;
            }
            continue;
        }
        if (!serialPort->waitForReadyRead(waitSlice(left, 100)) && lineLost()) {
            reportLostLine(70);
            emit sendCurrentAction(41);
            return;
        }
    }
    if (!ended) {
        emit sendCurrentAction(70);
        emit sendCurrentAction(41);
        emit writeLog(QStringLiteral("Timeout!"));
        return;
    }
    list.chop(3);
    emit sendCurrentAction(44);
    emit writeLog(QStringLiteral("End of List found"));
    if (!saveList(list))
        return;
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
    m_halted = false;
    emit sendCurrentAction(40);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    writeCommand(command, 100);
    QString answer;
    if (result) {
        if (readAnswer(&answer))
            (this->*result)(answer);
        else if (!m_halted)
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
        if (halted())
            return false;
        const qint64 elapsed = clock.elapsed();
        const bool over = elapsed >= window;
        if (!over)
            emit sendProgress(int(elapsed * 100 / window));
        // Whole lines only, so an answer that the line happens to split is
        // not taken in two halves; a rest without line end that came in
        // time still counts once the window is over.
        if (serialPort->canReadLine() || serialPort->bytesAvailable() >= 49
            || (over && serialPort->bytesAvailable() > 0)) {
            char buf[50] = {};
            const qint64 n = serialPort->readLine(buf, sizeof buf);
            QString text = QString::fromLatin1(buf, int(qMax<qint64>(0, n)));
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
        if (!serialPort->waitForReadyRead(waitSlice(window - elapsed, 20)) && lineLost())
            return false;
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
