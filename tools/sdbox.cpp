#include "sdbox.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
const QByteArray crlf("\r\n");
} // namespace

QByteArray sdBox::plausibleList(int size)
{
    // Something that looks like a list: a header whose bytes 16 to 19 carry
    // the list signature, then channel records of a fixed pattern.
    QByteArray list(qMax(size, 20), '\0');
    for (int i = 0; i < list.size(); ++i)
        list[i] = char((i * 7 + i / 251) & 0xff);
    const char sig[4] = {0x00, 0x00, 0x0a, 0x07};
    for (int i = 0; i < 4; ++i)
        list[16 + i] = sig[i];
    return list;
}

QByteArray sdBox::sampleImage(const char *signatureHex, int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 13 + 5) & 0xff);
    image.replace(16, 4, QByteArray::fromHex(signatureHex));
    return image;
}

bool sdBox::makeSamples(const QString &folder, QString *error)
{
    // The kinds an SD box takes: a small image alone, a small and a medium
    // one as the two files of one update.
    const struct {
        const char *name;
        QByteArray bytes;
    } samples[] = {
        {.name = "single.app", .bytes = sampleImage("00000907", 64 * 1024)},
        {.name = "first.app", .bytes = sampleImage("00000907", 48 * 1024)},
        {.name = "second.app", .bytes = sampleImage("00000d07", 120 * 1024)},
        {.name = "sample.lst", .bytes = plausibleList(32 * 1024)},
    };
    for (const auto &sample : samples) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(sample.name));
        if (!file.open(QIODevice::WriteOnly) || file.write(sample.bytes) != sample.bytes.size() || !file.flush()) {
            *error = file.fileName() + QStringLiteral(": ") + file.errorString();
            return false;
        }
    }
    return true;
}

QByteArray sdBox::resized(const QByteArray &list, int change)
{
    // A longer list gets a tail of plain record bytes, never an end marker.
    return change < 0 ? list.left(qMax(0, list.size() + change)) : list + QByteArray(change, '\x11');
}

sdBox::sdBox() : sdBox(Config()) {}

sdBox::sdBox(const Config &config) : m_config(config)
{
    if (m_config.list.isEmpty() && !m_config.emptyList)
        m_config.list = plausibleList();
}

sdBox::~sdBox()
{
    stop();
}

bool sdBox::start()
{
    if (!m_line.open())
        return false;
    m_line.setLineRate(m_config.lineRate);
    // Non-blocking, so that a box talking to a port nobody reads can still stop.
    const int fd = m_line.masterFd();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    m_startMs = nowMs();
    m_startUs = nowUs();
    m_thread = std::thread([this] { serve(); });
    return true;
}

void sdBox::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void sdBox::swap(const Config &next, int gapMs)
{
    stop();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.clear();
        m_commands.clear();
        m_files.clear();
        m_byteTimes.clear();
        m_timeline.clear();
    }
    m_config = next;
    m_line.setLineRate(m_config.lineRate);
    m_listReads = 0;
    m_deaf = false;
    m_mode = Mode::Running;
    m_pending.clear();
    m_file.clear();
    m_commandCount = 0;
    m_bootedAt = -1;
    m_stop = false;
    m_thread = std::thread([this, gapMs] {
        sleepMs(gapMs);
        while (!m_line.read(0).isEmpty()) {
        }
        if (!m_config.startupText.isEmpty())
            say(m_config.startupText);
        serve();
    });
}

qint64 sdBox::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

qint64 sdBox::nowUs() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

QList<sdBox::Event> sdBox::timeline() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timeline;
}

bool sdBox::sleepMs(int ms)
{
    const qint64 until = nowMs() + ms;
    while (!m_stop) {
        const qint64 left = until - nowMs();
        if (left <= 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(qMin<qint64>(left, 10)));
    }
    return false;
}

QByteArray sdBox::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

QString sdBox::lineSettings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

QList<QByteArray> sdBox::commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

QList<QByteArray> sdBox::files() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files;
}

QList<qint64> sdBox::commandByteTimes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_byteTimes;
}

void sdBox::serve()
{
    qint64 lastFileByte = 0;
    while (!m_stop) {
        if (m_cut || m_deaf) {
            sleepMs(20);
            continue;
        }
        QByteArray in = m_line.read(m_mode == Mode::Binary ? qMin(m_config.fileQuietMs, 20) : 20);
        const qint64 now = nowMs();
        const qint64 nowMicro = nowUs();
        if (in.isEmpty()) {
            if (m_mode == Mode::Binary && !m_file.isEmpty() && now - lastFileByte >= fileQuiet())
                endFile();
            continue;
        }
        qint64 total;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_received.isEmpty())
                m_settings = m_line.settings();
            m_received += in;
            total = m_received.size();
            if (m_mode != Mode::Binary || m_file.isEmpty())
                m_timeline.append({nowMicro - m_startUs, false, in});
            if (m_mode != Mode::Binary)
                for (int i = 0; i < in.size(); ++i)
                    m_byteTimes.append(now - m_startMs);
        }
        if (m_config.cutAfter >= 0 && total >= m_config.cutAfter) {
            m_line.cut();
            m_cut = true;
            continue;
        }
        // What it took it still handles; the rest stays in the line.
        if (m_config.stopReadingAfter >= 0 && total >= m_config.stopReadingAfter) {
            m_deaf = true;
            // A command is too short to fill the line's buffer: hold the
            // line still at once. A file fills it by itself.
            if (m_mode != Mode::Binary)
                m_line.stopTaking();
        }
        if (m_mode == Mode::Binary) {
            m_file += in;
            lastFileByte = now;
            if (expectedFileSize() > 0 && m_file.size() >= expectedFileSize())
                endFile();
            continue;
        }
        for (char c : in) {
            m_pending += c;
            if (m_pending.endsWith(crlf)) {
                QByteArray command = m_pending;
                m_pending.clear();
                command.replace('\r', QByteArray()).replace('\n', QByteArray());
                onCommand(command);
            }
        }
    }
}

void sdBox::say(const QByteArray &bytes, int delayMs)
{
    if (delayMs > 0 && !sleepMs(delayMs))
        return;
    if (bytes.size() <= 64) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_timeline.append({nowUs() - m_startUs, true, bytes});
    }
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    qint64 stuckSince = 0;
    while (left > 0 && !m_stop && !m_cut) {
        const ssize_t n = ::write(m_line.masterFd(), p, size_t(m_line.room(ptyLine::Out, int(qMin<qint64>(left, 1 << 20)))));
        if (n > 0) {
            m_line.carried(ptyLine::Out, n);
            p += n;
            left -= n;
            stuckSince = 0;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return;
        // Nobody reads: give up after a while rather than hang.
        if (!stuckSince)
            stuckSince = nowMs();
        else if (nowMs() - stuckSince > 2000) {
            m_cut = true;
            return;
        }
        pollfd q{m_line.masterFd(), POLLOUT, 0};
        ::poll(&q, 1, 20);
    }
}

void sdBox::reply(const QList<Piece> &pieces)
{
    if (m_config.replyDelayMs > 0 && !sleepMs(m_config.replyDelayMs))
        return;
    if (m_config.nuls > 0)
        say(QByteArray(m_config.nuls, '\0'));
    if (m_config.garbage > 0) {
        QByteArray babble(m_config.garbage, '#');
        for (int i = 0; i < babble.size(); i += 17)
            babble[i] = char('a' + i % 26);
        say(babble);
    }
    for (const Piece &piece : pieces)
        say(piece.bytes, piece.delayMs);
}

// A booting box reads nothing; a dead one never wakes.
bool sdBox::booting() const
{
    if (m_bootedAt < 0)
        return false;
    return m_config.consoleDead || nowMs() - m_bootedAt < m_config.consoleDelayMs;
}

// A line the dialogue looks at, whole or in two pieces, after `delayMs`.
QList<sdBox::Piece> sdBox::line(const QByteArray &text, int delayMs) const
{
    const QByteArray whole = text + crlf;
    if (!m_config.splitMarkers || (!m_config.splitOnly.isEmpty() && !text.contains(m_config.splitOnly)))
        return {{delayMs, whole}};
    const int split = m_config.splitAt > 0 ? m_config.splitAt
                      : m_config.splitAt < 0 ? whole.size() + m_config.splitAt
                                             : text.size() / 2;
    const int at = qBound(0, split, whole.size());
    return {{delayMs, whole.left(at)}, {m_config.splitPauseMs, whole.mid(at)}};
}

void sdBox::onCommand(const QByteArray &command)
{
    int number;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_commands.append(command);
        number = ++m_commandCount;
    }
    if (m_config.silent || m_config.ignore.contains(number) || booting())
        return;
    const auto own = m_config.replies.constFind(command);
    const bool custom = own != m_config.replies.constEnd();

    if (command == "100") {
        if (m_mode != Mode::Menu) {
            QList<Piece> text;
            if (!m_config.sucLine.isEmpty())
                text.append(line(m_config.sucLine));
            text.append(line(m_config.menuLine));
            reply(custom ? *own : text);
            m_mode = Mode::Menu;
        } else {
            reply(custom ? *own : line("binary mode"));
            m_file.clear();
            m_mode = Mode::Binary;
        }
    } else if (command == "500") {
        reply(custom ? *own : line("Get EEprom Header"));
        if (m_mode == Mode::Menu)
            sendList();
    } else if (command == "300") {
        if (custom)
            reply(*own);
        else if (m_config.startFails)
            reply(line("Upload Ch_Data"));
        else
            reply(line("Press any key !!"));
        if (!m_config.startFails) {
            m_mode = Mode::Running;
            m_bootedAt = nowMs();
        }
    } else if (custom) {
        reply(*own);
    }
}

qint64 sdBox::expectedFileSize() const
{
    const int next = int(m_files.size());   // only this thread appends to it
    return next < m_config.fileSizes.size() ? m_config.fileSizes.at(next) : 0;
}

int sdBox::fileQuiet() const
{
    return expectedFileSize() > 0 ? qMax(m_config.fileQuietMs, m_config.cutFileQuietMs) : m_config.fileQuietMs;
}

void sdBox::endFile()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_files.append(m_file);
    }
    if (m_config.keepList && !m_config.refuse) {
        m_config.list = m_file;
        if (m_config.storeFlipAt >= 0 && m_config.storeFlipAt < m_config.list.size())
            m_config.list[int(m_config.storeFlipAt)] = char(m_config.list.at(int(m_config.storeFlipAt)) ^ 0x01);
        m_config.list = resized(m_config.list, m_config.storeLengthChange);
    }
    m_file.clear();
    m_mode = Mode::Menu;
    if (m_config.silent || m_config.finishSilent)
        return;
    if (m_config.refuse)
        reply(line("ready"));
    else if (m_config.writeReadyOneLine)
        reply(line("Write done, ready"));
    else
        reply(line("Write Flash") + line(m_config.ready, m_config.readyDelayMs));
}

void sdBox::sendList()
{
    if (!sleepMs(m_config.startUploadDelayMs))
        return;
    const int read = ++m_listReads;
    QByteArray list = m_config.list;
    // A different byte in each noisy send, so that no two of them agree.
    constexpr int noisyOffset = 100;
    if (m_config.noisyReads.contains(read) && list.size() > noisyOffset + read)
        list[noisyOffset + read] = char(list.at(noisyOffset + read) ^ 0x01);
    const qint64 cutAfter = read == m_config.cutInRead ? m_config.cutListAfter : -1;
    // The marker, the dash run and the first list bytes go in one write, so
    // that they reach the other end together.
    const qint64 sent = m_config.listFlood || cutAfter >= 0 ? 0 : qMin(list.size(), 64);
    say(listHead() + list.left(int(sent)));
    if (m_config.listFlood)
        return floodList(list);
    if (sendListBody(list, sent, cutAfter) && !m_config.omitEndUpload)
        sendListEnd();
}

// "Start Upload" (or its split pieces) and the dash run, without what follows.
QByteArray sdBox::listHead()
{
    QByteArray head = QByteArray(m_config.dashes, '-');
    if (m_config.splitListMarkers) {
        say("Start Up");
        head.prepend("load");
        sleepMs(60);
    } else {
        head.prepend("Start Upload" + m_config.markerLineEnd);
    }
    if (m_config.afterMarkerPauseMs > 0) {
        const int marker = head.size() - m_config.dashes;
        say(head.left(marker));
        sleepMs(m_config.afterMarkerPauseMs);
        head.remove(0, marker);
    }
    return head;
}

void sdBox::floodList(const QByteArray &list)
{
    for (qint64 sent = 0; !m_stop && !m_cut; sent += listPiece)
        say(list.mid(int(sent % list.size()), listPiece));
}

// The list from `sent` on, in pieces; false once the line was cut after `cutAfter` bytes.
bool sdBox::sendListBody(const QByteArray &list, qint64 sent, qint64 cutAfter)
{
    for (int at = int(sent); at < list.size() && !m_stop && !m_cut; at += listPiece) {
        QByteArray part = list.mid(at, listPiece);
        if (cutAfter >= 0 && sent + part.size() >= cutAfter) {
            say(part.left(int(cutAfter - sent)));
            // Closing the line throws away what the other end has not read
            // yet; let it have what was sent before the line goes.
            m_line.waitRead(2000);
            m_line.cut();
            m_cut = true;
            return false;
        }
        say(part);
        sent += part.size();
    }
    return true;
}

void sdBox::sendListEnd()
{
    if (m_config.splitListMarkers) {
        say("End Up", 20);
        say("load" + crlf, 60);
    } else {
        say("End Upload" + crlf);
    }
}
