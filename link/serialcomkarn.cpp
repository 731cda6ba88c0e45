#include "serialcomkarn.h"

#include "linkclock.h"
#include "sdstep.h"
#include "serialline.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QSerialPort>
#include <QStringList>
#include <QThread>

namespace {

// Signatures of the SD files: bytes 16 to 19 as lower-case hex.
const QString sigChannelList = QStringLiteral("00000a07");
const QString sigImageSmall = QStringLiteral("00000907");
const QString sigImageMedium = QStringLiteral("00000d07");
const QString sigImageLarge = QStringLiteral("00200600");
const QString sigImageLargeAlt = QStringLiteral("00501c00");

struct fileKindRow
{
    const QString &signature;
    qint64 minSize;
    qint64 maxSize;
    uchar kind;
};

// Tested in order; the first row whose signature and size fit decides.
const fileKindRow fileKinds[] = {
    {sigChannelList, 0, 204799, 1},
    {sigImageSmall, 0, 102400, 2},
    {sigImageMedium, 92161, 153599, 3},
    {sigImageLarge, 358401, 460799, 4},
    {sigImageLargeAlt, 358401, 460799, 4},
};

// The box's lines are read with a 50-byte buffer: at most 49 bytes a line.
constexpr qint64 lineBuffer = 50;
// Waits are cut into slices so that a stop request is seen promptly.
constexpr qint64 waitSliceMs = 100;
// Bytes without a line end get this long for the rest of their line before
// they are examined as they are. At 115200 baud a line arrives in about a
// millisecond, so a whole line is never split by this; a box that stops in
// the middle of a line is still examined at once after it.
constexpr qint64 fragmentSettleMs = 10;
// The fixed size that download progress is measured against.
constexpr qint64 listProgressSize = 185026;

const QByteArray startMarker("Start Upload");
const QByteArray endMarker("End Upload");

// A vanished line (adapter pulled, box's end closed) answers every wait at
// once with nothing; waiting out a window on it only hides what happened.
bool lineGone(const QSerialPort *port)
{
    const QSerialPort::SerialPortError e = port->error();
    return e == QSerialPort::ResourceError || e == QSerialPort::ReadError;
}

QString cite(const QString &prefix, const QString &line)
{
    return prefix + QLatin1Char('"') + line + QLatin1Char('"');
}

} // namespace

serialComKarn::serialComKarn() = default;

serialComKarn::serialComKarn(const QString &port)
{
    setPortname(port);
}

serialComKarn::serialComKarn(const QString &port, const QString &file)
{
    setPortname(port);
    setFilename(file);
}

serialComKarn::~serialComKarn()
{
    closePort();
}

void serialComKarn::setPortname(const QString &name)
{
    portname = name;
}

void serialComKarn::setFilename(const QString &name)
{
    filename = name;
}

void serialComKarn::requestStop()
{
    m_stop.store(true);
}

bool serialComKarn::openPort()
{
    if (!serialPort)
        serialPort = new QSerialPort(this);
    if (serialLine::open(serialPort, portname))
        return true;
    serialPort->close();
    emit writeLog(QStringLiteral("Error: open Port: ") + serialPort->errorString());
    closePort();
    emit sendCurrentAction(21);
    emit sendCurrentAction(1);
    return false;
}

void serialComKarn::closePort()
{
    if (!serialPort)
        return;
    serialPort->close();
    delete serialPort;
    serialPort = nullptr;
}

void serialComKarn::runJob(int code, void (serialComKarn::*body)())
{
    m_stopLogged = false;
    emit sendCurrentAction(0);
    emit sendCurrentAction(code);
    if (!openPort())
        return;
    (this->*body)();
    closePort();
    emit sendCurrentAction(1);
}

void serialComKarn::updateFirmware()
{
    runJob(15, &serialComKarn::doUpdateFirmware);
}

void serialComKarn::sendChannellist()
{
    runJob(6, &serialComKarn::doSendChannellist);
}

void serialComKarn::getChannellist()
{
    runJob(2, &serialComKarn::doGetChannellist);
}

bool serialComKarn::stopped()
{
    if (!stopRequested())
        return false;
    if (!m_stopLogged) {
        m_stopLogged = true;
        emit writeLog(QStringLiteral("Job stopped: the window was closed"));
    }
    return true;
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
    for (qint64 i = 0; i < length; ++i) {
        if (stopped())
            break;
        serialPort->write(data + i, 1);
        serialPort->waitForBytesWritten(100);
        QThread::msleep(ulong(linkClock::window(70)));
    }
    return length > 0 ? length : 0;
}

// Waits up to `slice` (never past the window) for more bytes to arrive.
// True when the buffer grew.
bool serialComKarn::waitForData(const QElapsedTimer &clock, qint64 window, qint64 slice)
{
    const qint64 wait = qMin(slice, window - clock.elapsed());
    if (wait <= 0)
        return false;
    const qint64 before = serialPort->bytesAvailable();
    QElapsedTimer waited;
    waited.start();
    if (serialPort->waitForReadyRead(int(wait)) && serialPort->bytesAvailable() > before)
        return true;
    // A vanished or closed line makes the wait return at once; sleeping out
    // the slice lets the window run out without spinning.
    const qint64 rest = wait - waited.elapsed();
    if (rest > 0)
        QThread::msleep(ulong(rest));
    return false;
}

// The next non-empty line of the box within the window: up to 49 bytes,
// ending after a line feed, or a fragment without one (which counts as a
// line too), with CR and LF removed. False once the window is over or the
// job is stopped; nothing is examined after its window.
bool serialComKarn::nextLine(const QElapsedTimer &clock, qint64 window, QString &line)
{
    for (;;) {
        if (stopped() || clock.elapsed() >= window)
            return false;
        const qint64 avail = serialPort->bytesAvailable();
        if (!serialPort->canReadLine() && avail < lineBuffer - 1) {
            if (avail == 0 || waitForData(clock, window, fragmentSettleMs)) {
                if (avail == 0)
                    waitForData(clock, window, waitSliceMs);
                continue;
            }
            // A quiet fragment: examined as it is, if still within the window.
            if (clock.elapsed() >= window || serialPort->bytesAvailable() == 0)
                continue;
        }
        char buf[lineBuffer] = {};
        const qint64 n = serialPort->readLine(buf, lineBuffer);
        if (n <= 0)
            continue;
        QString text = QString::fromLatin1(buf, int(qstrnlen(buf, size_t(n))));
        text.remove(QLatin1Char('\r'));
        text.remove(QLatin1Char('\n'));
        if (text.isEmpty())
            continue;
        line = text;
        return true;
    }
}

// Up to `max` bytes: what is there, else what arrives within the window.
QByteArray serialComKarn::readChunk(qint64 max, const QElapsedTimer &clock, qint64 window)
{
    if (serialPort->bytesAvailable() == 0)
        waitForData(clock, window, waitSliceMs);
    return serialPort->read(max);
}

bool serialComKarn::runStep(const sdStep &step)
{
    if (stopped())
        return false;
    emit sendCurrentAction(step.startCode);
    if (step.startLog)
        emit writeLog(QString::fromLatin1(step.startLog));
    const qint64 window = linkClock::window(step.windowMs);
    QString cited;
    for (int attempt = 0; attempt < 2; ++attempt) {
        writeSlow(step.command);
        if (stopped())
            return false;
        serialPort->write("\r\n", 2);
        serialPort->waitForBytesWritten(100);
        QElapsedTimer clock;
        clock.start();
        bool attemptOver = false;
        QString line;
        while (!attemptOver && nextLine(clock, window, line)) {
            cited = line;
            for (const sdStep::Marker &marker : step.markers) {
                if (!marker.text || !line.contains(QLatin1String(marker.text)))
                    continue;
                if (marker.verdict == sdStep::Success) {
                    emit writeLog(cite(QString::fromLatin1(step.okPrefix), line));
                    emit sendCurrentAction(step.okCode);
                    return true;
                }
                if (marker.verdict == sdStep::EndAttempt) {
                    attemptOver = true;
                } else if (marker.verdict == sdStep::StartUpTest) {
                    if (!line.contains(QLatin1String("SUC (StartUpControl)1.7"))) {
                        emit writeLog(cite(QStringLiteral("StartUpControll to old! "), line));
                        emit sendCurrentAction(33);
                        return false;
                    }
                    emit writeLog(cite(QStringLiteral("StartUpControll found, should be ok! "), line));
                }
                break;
            }
        }
        if (stopped())
            return false;
        if (step.pauseMs > 0)
            QThread::msleep(ulong(linkClock::window(step.pauseMs)));
    }
    emit writeLog(cite(QString::fromLatin1(step.failPrefix), cited));
    emit sendCurrentAction(step.failCode);
    return false;
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
    if (stopped())
        return false;
    emit sendCurrentAction(11);
    emit writeLog(QStringLiteral("Waiting til STB finishes"));
    QElapsedTimer clock;
    clock.start();
    const qint64 window = linkClock::window(30000);
    bool written = false;
    bool ready = false;
    QString cited;
    QString line;
    while (nextLine(clock, window, line)) {
        cited = line;
        if (line.contains(QLatin1String("Write")))
            written = true;
        if (line.contains(QLatin1String("ready"))) {
            ready = true;
            break;
        }
    }
    if (stopped())
        return false;
    if (ready && written) {
        emit writeLog(cite(QStringLiteral("Finished: "), cited));
        return true;
    }
    if (ready) {
        emit writeLog(cite(QStringLiteral("Error Finishing: "), cited));
        emit sendCurrentAction(28);
        return false;
    }
    emit writeLog(cite(QStringLiteral("Error finishing: "), cited));
    emit sendCurrentAction(27);
    return false;
}

uchar serialComKarn::checkFiletype(QString filename)
{
    QFile file(filename);
    if (filename.isEmpty())
        return 0;
    if (!file.open(QIODevice::ReadOnly)) {
        // A missing file is the caller's to report; a directory or an
        // unreadable file would otherwise end the job without a word.
        if (file.exists())
            emit writeLog(QStringLiteral("Checked FiletypeSD: cannot read ") + filename + QStringLiteral(": ")
                          + file.errorString());
        return 0;
    }
    const qint64 size = file.size();
    QString signature;
    if (file.seek(16))
        signature = QString::fromLatin1(file.read(4).toHex());
    file.close();
    for (const fileKindRow &row : fileKinds) {
        if (signature == row.signature && size >= row.minSize && size <= row.maxSize) {
            bytesTotal += size;
            return row.kind;
        }
    }
    emit writeLog(QStringLiteral("Checked FiletypeSD: unknown(") + signature + QLatin1Char(' ')
                  + filename + QLatin1Char(')'));
    return 0;
}

void serialComKarn::progress()
{
    // A job always has a total; the guard only keeps a zero from dividing.
    emit sendProgress(bytesTotal > 0 ? int(bytesSent * 100 / bytesTotal) : 0);
}

bool serialComKarn::sendFile(QString name)
{
    emit writeLog(QStringLiteral("Sending file ") + name);
    emit sendCurrentAction(9);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        emit writeLog(QStringLiteral("Error opening file ") + file.errorString());
        emit sendCurrentAction(22);
        return false;
    }
    const qint64 size = file.size();
    qint64 position = 0;
    qint64 accepted = 0;
    char block[100];
    while (position < size) {
        if (stopped())
            return false;
        const qint64 left = size - position;
        const qint64 length = left > 200 ? 100 : (left > 10 ? 10 : 1);
        // A file that shrank under us must not send stale buffer bytes.
        if (file.read(block, length) != length) {
            emit writeLog(QStringLiteral("Error reading file ") + file.errorString());
            emit sendCurrentAction(22);
            return false;
        }
        const qint64 written = serialPort->write(block, length);
        // A vanished line is a failed write too, even though the block was
        // taken into the port's queue: the wait for it fails with an error
        // of the line, not with a mere time-out.
        const bool lineGone = !serialPort->waitForBytesWritten(100)
                              && serialPort->error() != QSerialPort::NoError
                              && serialPort->error() != QSerialPort::TimeoutError;
        if ((length > 1 && written <= 0) || lineGone) {
            emit writeLog(QStringLiteral("Error writing data to Port"));
            emit sendCurrentAction(26);
            return false;
        }
        if (written > 0)
            accepted += written;
        position += length;
        bytesSent += length;
        progress();
    }
    file.close();
    if (accepted < size) {
        emit writeLog(QStringLiteral("Error writing data to Port"));
        emit sendCurrentAction(26);
        return false;
    }
    emit writeLog(QStringLiteral("File sent. Wrote ") + QStringLiteral("%1 data").arg(accepted));
    emit sendCurrentAction(10);
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
    bytesSent = 0;
    bytesTotal = 0;
    if (files.size() > maxUpdateFiles) {
        emit writeLog(QStringLiteral("Too many files for one update: %1, at most %2")
                          .arg(files.size())
                          .arg(maxUpdateFiles));
        emit sendCurrentAction(32);
        return;
    }
    for (const QString &file : files) {
        if (checkFiletype(file) < 2) {
            emit sendCurrentAction(32);
            return;
        }
    }
    if (!loadFiles(files))
        return;
    emit writeLog(QStringLiteral("Update done after %L1 s").arg(qint64(clock.elapsed() / 1000)));
    emit sendCurrentAction(16);
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
    startSettopbox();
    return !stopped();
}

void serialComKarn::doSendChannellist()
{
    emit writeLog(QStringLiteral("Uploading Channel list"));
    QElapsedTimer clock;
    clock.start();
    const QString name = firstFilename();
    bytesSent = 0;
    bytesTotal = 0;
    if (checkFiletype(name) != 1) {
        emit sendCurrentAction(32);
        return;
    }
    if (!loadFiles({name}))
        return;
    emit writeLog(QStringLiteral("Uploading done after %L1 s").arg(qint64(clock.elapsed() / 1000)));
    emit sendCurrentAction(14);
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
    emit sendCurrentAction(5);
}

bool serialComKarn::receiveChannellist(QString name)
{
    if (!initDownload())
        return false;
    emit writeLog(QStringLiteral("Saving List to ") + name);
    QElapsedTimer clock;
    clock.start();
    emit sendCurrentAction(3);

    // The start: reads of up to 30 bytes. The tail of the earlier reads is
    // kept so that a marker split over two reads is still found, and what
    // follows the marker in the same read is kept for the list.
    const qint64 startWindow = linkClock::window(5000);
    QByteArray seen;
    QByteArray rest;
    bool anyData = false;
    bool started = false;
    while (!started) {
        if (stopped())
            return false;
        if (clock.elapsed() >= startWindow)
            break;
        const QByteArray chunk = readChunk(30, clock, startWindow);
        if (chunk.isEmpty())
            continue;
        anyData = true;
        seen += chunk;
        const int at = seen.indexOf(startMarker);
        if (at >= 0) {
            rest = seen.mid(at + startMarker.size());
            started = true;
        } else {
            seen = seen.right(startMarker.size() - 1);
        }
    }
    if (!started) {
        // Without its marker the list's real start is unknown: saving what
        // came last would store a list that lacks its beginning.
        emit writeLog(anyData ? QStringLiteral("No start of the list found!")
                              : QStringLiteral("No Data received!"));
        emit sendCurrentAction(24);
        return false;
    }

    // The dash run, byte by byte, on the stopwatch of the start phase.
    const qint64 dashWindow = linkClock::window(1000);
    auto nextByte = [&](bool wait) {
        if (!rest.isEmpty()) {
            const QByteArray b = rest.left(1);
            rest.remove(0, 1);
            return b;
        }
        if (!wait) {
            serialPort->waitForReadyRead(0);
            return serialPort->read(1);
        }
        return readChunk(1, clock, dashWindow);
    };
    QByteArray byte = nextByte(false);
    while (byte.isEmpty() || byte.at(0) == '-') {
        if (stopped())
            return false;
        byte = nextByte(true);
        if (clock.elapsed() >= dashWindow) {
            emit writeLog(QStringLiteral("Timeout!"));
            emit sendCurrentAction(25);
            return false;
        }
    }

    // The list itself, up to "End Upload", in reads of up to 1024 bytes.
    emit writeLog(QStringLiteral("Downloading Channel list"));
    emit sendCurrentAction(2);
    clock.restart();
    const qint64 dataWindow = linkClock::window(25000);
    QByteArray list;
    QByteArray chunk = byte + rest;
    for (;;) {
        const int from = qMax(0, list.size() - (endMarker.size() - 1));
        list += chunk;
        const int at = list.indexOf(endMarker, from);
        if (at >= 0) {
            list.truncate(at);
            break;
        }
        emit sendProgress(int(qint64(list.size()) * 100 / listProgressSize));
        if (list.size() > maxListBytes) {
            emit writeLog(QStringLiteral("List too long, download stopped at %1 bytes").arg(list.size()));
            emit sendCurrentAction(24);
            return false;
        }
        if (clock.elapsed() >= dataWindow) {
            emit writeLog(QStringLiteral("Timeout!"));
            emit sendCurrentAction(25);
            return false;
        }
        if (stopped())
            return false;
        if (lineGone(serialPort)) {
            emit writeLog(QStringLiteral("Error: serial line lost: ") + serialPort->errorString());
            emit sendCurrentAction(24);
            return false;
        }
        chunk = readChunk(1024, clock, dataWindow);
    }
    emit writeLog(QStringLiteral("End of List found"));
    emit sendCurrentAction(4);

    // Written only now, and atomically: an existing file survives every
    // failure, and a failed write is never reported as saved.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        emit writeLog(QStringLiteral("Couldn't open File") + file.errorString());
        emit sendCurrentAction(22);
        return false;
    }
    if (file.write(list) != list.size() || !file.commit()) {
        emit writeLog(QStringLiteral("Couldn't write File") + file.errorString());
        emit sendCurrentAction(22);
        return false;
    }
    emit writeLog(QStringLiteral("Downloading Channel list done"));
    return true;
}
