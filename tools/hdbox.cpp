#include "hdbox.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Where a noisy print of the list changes a byte (plus the print's number).
constexpr int noisyOffset = 100;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 nowMs()
{
    return nowNs() / 1000000;
}

} // namespace

hdBox::Behaviour::Behaviour()
{
    replies.insert("swvers", "V2.10.04 HD 2026-03-18\r\n");
    replies.insert("lpsw", "LPSW: 1.07\r\n");
    replies.insert("get_mac", "00a1b2c3d4e5\r\n");
    replies.insert("help", "help chlist swvers lpsw get_mac facreset r l s\r\n");
    replies.insert("facreset", "");
    list = hdBox::sampleList();
}

hdBox::hdBox() = default;

hdBox::hdBox(const Behaviour &behaviour)
    : m_b(behaviour)
{
}

hdBox::~hdBox()
{
    stop();
}

bool hdBox::start()
{
    if (!m_line.open())
        return false;
    m_line.setLineRate(m_b.lineRate);
    // Written before the program opens the line, so that it waits there for it.
    if (!m_b.leftover.isEmpty() && !m_line.write(m_b.leftover))
        return false;
    // Non-blocking, so that a reader who stopped reading cannot hang the box.
    const int fl = ::fcntl(m_line.masterFd(), F_GETFL);
    ::fcntl(m_line.masterFd(), F_SETFL, fl | O_NONBLOCK);
    m_run = true;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void hdBox::stop()
{
    m_run = false;
    if (m_thread.joinable())
        m_thread.join();
}

void hdBox::swap(const Behaviour &next, int gapMs)
{
    stop();
    clear();
    m_b = next;
    m_line.setLineRate(m_b.lineRate);
    m_listReads = 0;
    m_deaf = false;
    m_chatterAt = -1;
    m_mode = Console;
    m_lineBuf.clear();
    m_lastFileByte = 0;
    m_printed = 0;
    m_loadFrom = 0;
    m_startedAt = -1;
    m_run = true;
    m_thread = std::thread([this, gapMs] {
        pause(gapMs);
        char drop[4096];
        while (::read(m_line.masterFd(), drop, sizeof drop) > 0) {
        }
        serve();
    });
}

QByteArray hdBox::received() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_received;
}

QString hdBox::lineSettings() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_settings;
}

QByteArray hdBox::file() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_file;
}

QList<QByteArray> hdBox::commands() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_commands;
}

std::vector<hdBox::Event> hdBox::events() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_events;
}

void hdBox::clear()
{
    std::lock_guard<std::mutex> g(m_lock);
    m_received.clear();
    m_file.clear();
    m_commands.clear();
    m_events.clear();
}

QByteArray hdBox::sampleUpdate(int size)
{
    QByteArray update(size, '\0');
    for (int i = 0; i < size; ++i)
        update[i] = char((i * 31 + 7) & 0xff);
    if (size >= 20)
        update.replace(16, 4, QByteArray::fromHex("00004023"));
    return update;
}

QByteArray hdBox::sampleList(int channels)
{
    static const char *const names[] = {"Das Erste HD", "ZDF HD", "arte HD", "3sat HD",
                                        "BR Fernsehen", "WDR HD Koeln", "NDR HD", "SWR BW HD",
                                        "phoenix HD", "KiKA HD", "ORF1 HD", "SRF 1 HD"};
    QByteArray list;
    list += "VLMRCHLS";                       // 0..7
    list += QByteArray::fromHex("0102000000000000");   // 8..15
    list += QByteArray::fromHex("00003040");  // 16..19: the list's signature
    list += QByteArray::fromHex("0000") + char(channels & 0xff) + char((channels >> 8) & 0xff);
    for (int i = 0; i < channels; ++i) {
        QByteArray entry(64, '\0');
        const QByteArray name = QByteArray(names[i % 12]) + (i >= 12 ? " " + QByteArray::number(i) : "");
        entry.replace(0, name.size(), name);
        const quint32 freq = 10714 + 26u * quint32(i);
        entry[40] = char(freq & 0xff);
        entry[41] = char(freq >> 8);
        entry[42] = char(i & 0xff);   // service id
        entry[43] = char(0x13);       // symbol rate / polarisation packed
        entry[44] = char(0xA0 + (i % 7));
        entry[63] = '\n';             // the box's record separator
        list += entry;
    }
    return list;
}

void hdBox::serve()
{
    while (m_run) {
        if (m_cut)
            break;
        if (m_chatterAt >= 0 && nowMs() >= m_chatterAt) {
            // A console's status lines are lost while nobody reads.
            pollfd out{m_line.masterFd(), POLLOUT, 0};
            if (::poll(&out, 1, 0) > 0 && (out.revents & POLLOUT))
                send(m_b.chatter);
            m_chatterAt += m_b.chatterMs;
        }
        const int fd = m_line.masterFd();
        pollfd p{fd, POLLIN, 0};
        // A box that stopped reading leaves the bytes in the line.
        const int r = ::poll(&p, m_deaf ? 0 : 1, 20);
        if (r > 0 && (p.revents & POLLIN)) {
            QByteArray buf(m_line.room(ptyLine::In, 4096), Qt::Uninitialized);
            const ssize_t n = ::read(fd, buf.data(), size_t(buf.size()));
            if (n > 0) {
                buf.resize(int(n));
                m_line.carried(ptyLine::In, n);
                {
                    std::lock_guard<std::mutex> g(m_lock);
                    if (m_received.isEmpty())
                        m_settings = m_line.settings();
                    m_received += buf;
                    m_events.push_back({nowNs(), false, buf});
                }
                take(buf);
                continue;
            }
        }
        if (m_mode == Binary && m_b.fileSize < 0 && !file().isEmpty()
            && nowMs() - m_lastFileByte >= m_b.fileGapMs)
            endOfFile();
    }
}

void hdBox::take(const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size() && !m_cut; ++i) {
        const char c = bytes.at(i);
        if (m_mode == Binary) {
            qint64 have;
            {
                std::lock_guard<std::mutex> g(m_lock);
                m_file += c;
                have = m_file.size();
            }
            m_lastFileByte = nowMs();
            if (m_b.cutAfter >= 0 && have >= m_b.cutAfter) {
                cutLine();
                return;
            }
            if (m_b.stopReadingAfter >= 0 && have >= m_b.stopReadingAfter) {
                m_deaf = true;
                return;
            }
            if (m_b.fileSize >= 0 && have >= m_b.fileSize)
                endOfFile();
            continue;
        }
        if (c == '\n') {
            QByteArray line = m_lineBuf;
            m_lineBuf.clear();
            line.replace('\r', "");
            command(line.trimmed());
        } else {
            m_lineBuf += c;
        }
    }
}

void hdBox::command(const QByteArray &line)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_commands.append(line);
    }
    if (m_b.silent || line.isEmpty() || booting())
        return;
    if (!m_b.cutOnCommand.isEmpty() && line == m_b.cutOnCommand)
        return cutLine();
    if (m_b.echo)
        send(line + "\r\n");
    if (line == "r") {
        if (m_b.unknownCom > 0) {
            --m_b.unknownCom;
            reply("unknown com\r\n");
        } else {
            reply(m_b.restartReply);
        }
    } else if (line == "l") {
        if (m_b.ignoreLoad > 0) {
            --m_b.ignoreLoad;
            return;
        }
        reply("load App\r\n");
        m_loadFrom = file().size();
        if (m_b.binaryMode)
            print(QByteArray(), "binary mode\r\n");
        m_mode = Binary;
        m_lastFileByte = nowMs();
    } else if (line == "s") {
        if (m_b.comPrompts > 0) {
            --m_b.comPrompts;
            reply("Com ->\r\n");
        } else {
            reply(m_b.startReply);
            m_startedAt = nowMs();
        }
    } else if (line == "chlist") {
        printList();
    } else if (m_b.replies.contains(line)) {
        const QByteArray text = m_b.replies.value(line);
        if (!text.isEmpty())
            reply(text);
    } else {
        reply("unknown com\r\n");
    }
}

void hdBox::endOfFile()
{
    m_mode = Console;
    if (m_b.silent)
        return;
    if (m_b.refuse) {
        pause(m_b.flashDelayMs);
        reply("wrong\r\n");
        return;
    }
    keepLoaded();
    if (m_b.flashReply) {
        pause(m_b.flashDelayMs);
        reply("flash it\r\n");
    }
    if (m_b.finReply) {
        pause(m_b.finDelayMs);
        reply("fin\r\n");
    }
}

void hdBox::reply(const QByteArray &text)
{
    pause(m_b.replyDelayMs);
    // One write, as a console prints its line: the noise belongs to it.
    print(m_b.garbage + QByteArray(m_b.longLine, 'x'), text);
}

void hdBox::print(const QByteArray &noise, const QByteArray &text)
{
    const bool split = m_b.splitAt != 0 && (m_b.splitOnly.isEmpty() || text.contains(m_b.splitOnly));
    if (!split) {
        send(noise + text);
        return;
    }
    const int at = qBound(0, m_b.splitAt > 0 ? m_b.splitAt : text.size() + m_b.splitAt, text.size());
    send(noise + text.left(at));
    pause(m_b.replySplitPauseMs);
    send(text.mid(at));
}

bool hdBox::send(const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    qint64 stuckSince = nowMs();
    while (left > 0 && m_run && !m_cut) {
        const ssize_t n = ::write(m_line.masterFd(), p, size_t(m_line.room(ptyLine::Out, int(qMin<qint64>(left, 1 << 20)))));
        if (n > 0) {
            m_line.carried(ptyLine::Out, n);
            p += n;
            left -= n;
            stuckSince = nowMs();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        // Nobody reads any more: give up rather than hang the box.
        if (nowMs() - stuckSince > 2000)
            return false;
        pollfd q{m_line.masterFd(), POLLOUT, 0};
        ::poll(&q, 1, 20);
    }
    std::lock_guard<std::mutex> g(m_lock);
    m_events.push_back({nowNs(), true, bytes.left(int(bytes.size() - left))});
    return left == 0;
}

void hdBox::printList()
{
    pause(m_b.replyDelayMs);
    m_printed = 0;
    QByteArray text = m_b.beforeList;
    if (m_b.flood > 0) {
        text += "START";
        send(text);
        const QByteArray block(4096, 'F');
        for (qint64 sent = 0; sent < m_b.flood && m_run && !m_cut; sent += block.size())
            if (!send(block))
                break;
        return;
    }
    const int read = ++m_listReads;
    QByteArray list = m_b.list;
    // A different byte in each noisy print, so that no two of them agree.
    if (m_b.noisyReads.contains(read) && list.size() > noisyOffset + read)
        list[noisyOffset + read] = char(list.at(noisyOffset + read) ^ 0x01);
    if (m_b.listMarkers)
        text += "START" + list + "END";
    else
        text += list;
    if (m_b.afterListDelayMs <= 0)
        text += m_b.afterList;
    int from = 0;
    QList<int> cuts = m_b.listSplits;
    const qint64 cutAt = read == m_b.cutInRead ? m_b.cutInList : -1;
    if (cutAt >= 0)
        cuts.append(int(cutAt));
    std::sort(cuts.begin(), cuts.end());
    int split = 0;
    for (int at : cuts) {
        at = qBound(from, at, text.size());
        send(text.mid(from, at - from));
        from = at;
        if (cutAt >= 0 && at == cutAt) {
            m_line.waitRead(2000);
            cutLine();
            return;
        }
        pause(m_b.splitPausesMs.value(split++, m_b.splitPauseMs));
    }
    send(text.mid(from));
    if (m_b.afterListDelayMs > 0 && !m_b.afterList.isEmpty()) {
        pause(m_b.afterListDelayMs);
        send(m_b.afterList);
    }
    if (m_b.chatterMs > 0)
        m_chatterAt = nowMs() + m_b.chatterMs;
}

// A booting console reads nothing; a dead one never wakes.
bool hdBox::booting() const
{
    if (m_startedAt < 0)
        return false;
    return m_b.consoleDead || nowMs() - m_startedAt < m_b.consoleDelayMs;
}

void hdBox::keepLoaded()
{
    if (!m_b.keepList)
        return;
    m_b.list = file().mid(int(m_loadFrom));
    if (m_b.storeFlipAt >= 0 && m_b.storeFlipAt < m_b.list.size())
        m_b.list[int(m_b.storeFlipAt)] = char(m_b.list.at(int(m_b.storeFlipAt)) ^ 0x01);
    // Stored shorter or longer, as a faulty box would; a longer list gets a
    // tail of plain record bytes, never an end marker.
    const int change = m_b.storeLengthChange;
    m_b.list = change < 0 ? m_b.list.left(qMax(0, m_b.list.size() + change)) : m_b.list + QByteArray(change, '\x11');
}

void hdBox::cutLine()
{
    m_cut = true;
    m_line.cut();
}

void hdBox::pause(int ms)
{
    // In slices, so that stopping the box never waits out a long pause.
    const qint64 until = nowMs() + ms;
    while (m_run && nowMs() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(qBound(qint64(1), qint64(until - nowMs()), qint64(10))));
}
