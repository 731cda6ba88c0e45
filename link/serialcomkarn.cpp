#include "serialcomkarn.h"

#include "linkclock.h"
#include "listbuffer.h"
#include "sdstep.h"

#include <QElapsedTimer>
#include <QFile>
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
constexpr qint64 longestLine = 49;
// Bytes without a line end get this long for the rest of their line before
// they are examined as they are. At 115200 baud a line arrives in about a
// millisecond, so a whole line is never split by this; a box that stops in
// the middle of a line is still examined at once after it.
constexpr qint64 fragmentSettleMs = 10;
// The fixed size that download progress is measured against.
constexpr qint64 listProgressSize = 185026;

const QByteArray startMarker("Start Upload");
const QByteArray endMarker("End Upload");

QString cite(const QString &prefix, const QString &line)
{
    return prefix + QLatin1Char('"') + line + QLatin1Char('"');
}

} // namespace

serialComKarn::serialComKarn()
    : serialPort([this](const QString &line) { emit writeLog(line); })
{
}

serialComKarn::serialComKarn(const QString &port)
    : serialComKarn()
{
    setPortname(port);
}

serialComKarn::serialComKarn(const QString &port, const QString &file)
    : serialComKarn()
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
    serialPort.requestStop();
}

bool serialComKarn::openPort()
{
    if (serialPort.open(portname))
        return true;
    emit sendCurrentAction(21);
    emit sendCurrentAction(1);
    return false;
}

void serialComKarn::closePort()
{
    serialPort.close();
}

void serialComKarn::runJob(int code, void (serialComKarn::*body)())
{
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

void serialComKarn::lostLine(int code)
{
    // A vanished line answers every wait at once; waiting out the windows
    // on it would only hide what happened.
    serialPort.reportGone();
    emit sendCurrentAction(code);
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
        if (serialPort.halted())
            break;
        serialPort.write(data + i, 1);
        serialPort.drain();
        QThread::msleep(ulong(linkClock::window(70)));
    }
    return length > 0 ? length : 0;
}

// The next non-empty line of the box within the window: up to 49 bytes,
// ending after a line feed, or a fragment without one (which counts as a
// line too), with CR and LF removed. Nothing is examined after its window.
serialLine::Wait serialComKarn::nextLine(const QElapsedTimer &clock, qint64 window, QString &line)
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
        QString text = QString::fromLatin1(serialPort.readLine(longestLine));
        text.truncate(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
        text.remove(QLatin1Char('\r'));
        text.remove(QLatin1Char('\n'));
        if (text.isEmpty())
            continue;
        line = text;
        return serialLine::Arrived;
    }
}

// Up to `max` bytes: what is there, else what arrives within one slice.
serialLine::Wait serialComKarn::readChunk(qint64 max, const QElapsedTimer &clock, qint64 window, QByteArray &chunk)
{
    serialLine::Wait wait = serialLine::Arrived;
    if (serialPort.available() == 0)
        wait = serialPort.waitFor(clock, window);
    chunk = serialPort.read(max);
    return chunk.isEmpty() ? wait : serialLine::Arrived;
}

bool serialComKarn::runStep(const sdStep &step)
{
    if (serialPort.halted())
        return false;
    emit sendCurrentAction(step.startCode);
    if (step.startLog)
        emit writeLog(QString::fromLatin1(step.startLog));
    const qint64 window = linkClock::window(step.windowMs);
    QString cited;
    for (int attempt = 0; attempt < 2; ++attempt) {
        writeSlow(step.command);
        if (serialPort.halted())
            return false;
        serialPort.send("\r\n", 100);
        QElapsedTimer clock;
        clock.start();
        bool attemptOver = false;
        QString line;
        serialLine::Wait wait;
        while (!attemptOver && (wait = nextLine(clock, window, line)) == serialLine::Arrived) {
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
        if (wait == serialLine::Gone) {
            lostLine(step.failCode);
            return false;
        }
        if (serialPort.halted())
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
    if (serialPort.halted())
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
    serialLine::Wait wait;
    while ((wait = nextLine(clock, window, line)) == serialLine::Arrived) {
        cited = line;
        if (line.contains(QLatin1String("Write")))
            written = true;
        if (line.contains(QLatin1String("ready"))) {
            ready = true;
            break;
        }
    }
    if (wait == serialLine::Gone) {
        lostLine(27);
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
    char block[100];
    while (position < size) {
        if (serialPort.halted())
            return false;
        const qint64 left = size - position;
        const qint64 length = left > 200 ? 100 : (left > 10 ? 10 : 1);
        // A file that shrank under us must not send stale buffer bytes.
        if (file.read(block, length) != length) {
            emit writeLog(QStringLiteral("Error reading file ") + file.errorString());
            emit sendCurrentAction(22);
            return false;
        }
        // The port takes every block into its queue; only the drain tells
        // whether it left, so a vanished or stuck line fails here instead of
        // being reported as sent.
        if (serialPort.write(block, length) != length || !serialPort.drain()) {
            if (serialPort.halted())
                return false;
            emit writeLog(QStringLiteral("Error writing data to Port"));
            if (serialPort.gone())
                serialPort.reportGone();
            emit sendCurrentAction(26);
            return false;
        }
        position += length;
        bytesSent += length;
        progress();
    }
    file.close();
    emit writeLog(QStringLiteral("File sent. Wrote ") + QStringLiteral("%1 data").arg(position));
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
        QByteArray chunk;
        const serialLine::Wait wait = readChunk(30, clock, startWindow, chunk);
        if (wait == serialLine::Stopped)
            return false;
        if (wait == serialLine::Gone) {
            lostLine(24);
            return false;
        }
        if (chunk.isEmpty()) {
            if (wait == serialLine::TimedOut || clock.elapsed() >= startWindow)
                break;
            continue;
        }
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

    // Before the list: the end of the marker's line (a console ends it with
    // CR LF) and the dash run, byte by byte, wherever the reads split them,
    // on the stopwatch of the start phase. The first other byte is the list's.
    const qint64 dashWindow = linkClock::window(1000);
    bool markerLine = true;
    bool firstRead = true;
    QByteArray byte;
    for (;;) {
        if (!rest.isEmpty()) {
            byte = rest.left(1);
            rest.remove(0, 1);
        } else {
            // The first read takes what is there; later ones wait, within
            // the window, and a late one ends the download.
            const serialLine::Wait wait = firstRead ? serialLine::Arrived : readChunk(1, clock, dashWindow, byte);
            if (firstRead)
                byte = serialPort.readNow(1);
            if (wait == serialLine::Stopped)
                return false;
            if (wait == serialLine::Gone) {
                lostLine(24);
                return false;
            }
            if (!firstRead && clock.elapsed() >= dashWindow) {
                emit writeLog(QStringLiteral("Timeout!"));
                emit sendCurrentAction(25);
                return false;
            }
            firstRead = false;
        }
        if (byte.isEmpty())
            continue;
        const char c = byte.at(0);
        if (markerLine && (c == '\r' || c == '\n'))
            continue;
        markerLine = false;
        if (c != '-')
            break;
    }

    // The list itself, up to "End Upload", in reads of up to 1024 bytes.
    emit writeLog(QStringLiteral("Downloading Channel list"));
    emit sendCurrentAction(2);
    clock.restart();
    const qint64 dataWindow = linkClock::window(25000);
    listBuffer list;
    QByteArray chunk = byte + rest;
    qint64 end = -1;
    for (;;) {
        const qint64 from = qMax<qint64>(0, list.size() - (endMarker.size() - 1));
        list.append(chunk);
        const QByteArray tail = list.tail(list.size() - from);
        const int at = tail.indexOf(endMarker);
        if (at >= 0) {
            end = from + at;
            break;
        }
        emit sendProgress(int(list.size() * 100 / listProgressSize));
        if (list.size() > serialLine::maxListBytes) {
            emit writeLog(QStringLiteral("Channel list too long: more than %1 bytes").arg(serialLine::maxListBytes));
            emit sendCurrentAction(24);
            return false;
        }
        if (clock.elapsed() >= dataWindow) {
            emit writeLog(QStringLiteral("Timeout!"));
            emit sendCurrentAction(25);
            return false;
        }
        const serialLine::Wait wait = readChunk(1024, clock, dataWindow, chunk);
        if (wait == serialLine::Stopped)
            return false;
        if (wait == serialLine::Gone) {
            lostLine(24);
            return false;
        }
    }
    list.truncate(end);
    if (list.isBlank()) {
        // Saving nothing over a good list would lose it.
        emit writeLog(QStringLiteral("The box sent an empty Channel list: nothing saved"));
        emit sendCurrentAction(24);
        return false;
    }
    emit writeLog(QStringLiteral("End of List found"));
    emit sendCurrentAction(4);

    // Written only now: an existing file survives every failure, and a
    // failed write is never reported as saved.
    QString error;
    if (!list.save(name, &error)) {
        emit writeLog(error);
        emit sendCurrentAction(22);
        return false;
    }
    emit writeLog(QStringLiteral("Downloading Channel list done"));
    return true;
}
