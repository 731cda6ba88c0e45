// Fuzzes the reply handling of the dialogue: a real link job runs over a
// pseudo-terminal whose far end answers with the fuzzer's bytes.
//
// Input: the first byte picks the job (bits 0-2: HD update, HD list
// download, SD update, SD list download, HD list upload, SD list upload, and
// twice an HD service query, which bits 3-4 pick: software version,
// low-power version, MAC address, factory reset) and how the box talks (bit 7 set:
// the rest is cut at every 0xff byte and the box sends the next piece each
// time the program writes to it; clear: the box sends everything at once
// after the program's first byte). The windows are shrunk so that a job
// takes a few milliseconds.
//
// Checked after every job: the frame's codes (start code, the job's code,
// the end code last: once, or for HD twice in a row where a failing body
// sends its own), no success together with a failure
// code, success only if the box really sent every marker the job needs, in
// order, and a list file that changes only when the download saved it and
// then holds exactly the bytes between the markers.

#include "linkclock.h"
#include "ptyline.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QVector>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

enum Job { UpdateHD, GetListHD, UpdateSD, GetListSD, SendListHD, SendListSD, QueryHD, QueryHDToo };

const QByteArray oldList("previous list, must survive a failed download\n");

struct rig
{
    QCoreApplication *app = nullptr;
    QTemporaryDir *dir = nullptr;
    QString updateHD, listHD, updateSD, listSD;
    bool show = false;
};

rig *g = nullptr;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

// A 64-byte file whose bytes 16..19 carry the given signature.
QByteArray fileWithSignature(const char *sig)
{
    QByteArray bytes(64, '\x5a');
    bytes.replace(16, 4, QByteArray(sig, 4));
    return bytes;
}

// The far end of the line: answers with the pieces and records what it
// actually wrote, so the checks compare with what the program could read.
class fuzzBox
{
public:
    fuzzBox(QVector<QByteArray> pieces, bool reactive)
        : m_pieces(std::move(pieces)), m_reactive(reactive)
    {
    }

    bool open()
    {
        if (!m_line.open())
            return false;
        ::fcntl(m_line.masterFd(), F_SETFL, ::fcntl(m_line.masterFd(), F_GETFL) | O_NONBLOCK);
        m_thread = std::thread([this] { serve(); });
        return true;
    }

    void finish()
    {
        m_done.store(true);
        if (m_thread.joinable())
            m_thread.join();
    }

    QString path() const { return m_line.devicePath(); }
    const QByteArray &sent() const { return m_sent; }

private:
    void serve()
    {
        const int fd = m_line.masterFd();
        int next = 0;
        QByteArray pending;
        char buf[4096];
        while (!m_done.load()) {
            pollfd p{fd, short(POLLIN | (pending.isEmpty() ? 0 : POLLOUT)), 0};
            ::poll(&p, 1, 1);
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0 && next < m_pieces.size()) {
                if (m_reactive) {
                    pending += m_pieces.at(next++);
                } else {
                    for (; next < m_pieces.size(); ++next)
                        pending += m_pieces.at(next);
                }
            }
            if (!pending.isEmpty()) {
                const ssize_t w = ::write(fd, pending.constData(), size_t(pending.size()));
                if (w > 0) {
                    m_sent += pending.left(int(w));
                    pending.remove(0, int(w));
                }
            }
        }
    }

    ptyLine m_line;
    QVector<QByteArray> m_pieces;
    bool m_reactive;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
    QByteArray m_sent;
};

struct outcome
{
    Job job;
    QVector<int> codes;
    QStringList log;
    QStringList results;
    QByteArray sent;
};

void show(const outcome &o)
{
    std::fprintf(stderr, "job %d, codes:", int(o.job));
    for (int c : o.codes)
        std::fprintf(stderr, " %d", c);
    std::fprintf(stderr, "\nlog:\n");
    for (const QString &l : o.log)
        std::fprintf(stderr, "  %s\n", qPrintable(l));
    for (const QString &r : o.results)
        std::fprintf(stderr, "result: %s\n", qPrintable(r));
    std::fprintf(stderr, "box sent %d bytes\n", o.sent.size());
}

[[noreturn]] void fail(const outcome &o, const char *what)
{
    std::fprintf(stderr, "replies: %s\n", what);
    show(o);
    std::abort();
}

// True when the markers occur in this order, each after the previous one.
// The links drop CR and LF from what they test, so the stream is tested
// without them too.
bool inOrder(const QByteArray &stream, std::initializer_list<const char *> markers)
{
    QByteArray text = stream;
    text.replace('\r', QByteArray()).replace('\n', QByteArray());
    int at = 0;
    for (const char *m : markers) {
        const QByteArray marker(m);
        const int found = text.indexOf(marker, at);
        if (found < 0)
            return false;
        at = found + marker.size();
    }
    return true;
}

// `endTwice`: the HD bodies end some failures with their own end code, and
// the frame then sends it once more; the two must come together, last.
void checkFrame(const outcome &o, int start, int jobCode, int end, int low, int high, bool endTwice)
{
    if (o.codes.size() < 3)
        fail(o, "fewer codes than the job frame has");
    if (o.codes.first() != start || o.codes.at(1) != jobCode)
        fail(o, "the job does not begin with its start codes");
    const int ends = o.codes.count(end);
    if (o.codes.last() != end || ends < 1 || ends > (endTwice ? 2 : 1))
        fail(o, "the end code is not sent exactly as the frame promises");
    if (ends == 2 && o.codes.at(o.codes.size() - 2) != end)
        fail(o, "an end code in the middle of the job");
    if (o.codes.count(start) != 1)
        fail(o, "the start code is sent more than once");
    for (int c : o.codes) {
        if (c < low || c > high)
            fail(o, "a code outside the family's range");
    }
}

void checkSuccess(const outcome &o, int success, const QVector<int> &failures)
{
    const int n = o.codes.count(success);
    if (n > 1)
        fail(o, "success reported twice");
    if (n == 1 && o.codes.at(o.codes.size() - 2) != success)
        fail(o, "success is not the last code before the end code");
    if (n == 1) {
        for (int c : failures) {
            if (o.codes.contains(c))
                fail(o, "success reported after a failure code");
        }
    }
}

QVector<int> range(int from, int to, int except = -1)
{
    QVector<int> r;
    for (int c = from; c <= to; ++c) {
        if (c != except)
            r << c;
    }
    return r;
}

// The HD list: everything after the first "START" up to an "END" after
// which the box fell silent. The saved file plus "END" must begin there.
void checkListHD(const outcome &o, bool success, const QByteArray &file)
{
    if (!success) {
        if (file != oldList)
            fail(o, "a failed download changed the list file");
        return;
    }
    const int start = o.sent.indexOf("START");
    if (start < 0)
        fail(o, "a list saved although the box never sent START");
    if (!o.sent.mid(start + 5).startsWith(file + "END"))
        fail(o, "the saved list is not the bytes between START and END");
}

// The SD list: after some "Start Upload" and its dash run, up to the first
// "End Upload" that follows.
void checkListSD(const outcome &o, bool saved, const QByteArray &file)
{
    if (!saved) {
        if (file != oldList)
            fail(o, "a download that did not save changed the list file");
        return;
    }
    if (file.contains("End Upload") || file.startsWith('-'))
        fail(o, "the saved list holds its end marker or the dash run");
    const QByteArray marker("Start Upload");
    for (int at = o.sent.indexOf(marker); at >= 0; at = o.sent.indexOf(marker, at + 1)) {
        int from = at + marker.size();
        while (from < o.sent.size() && o.sent.at(from) == '-')
            ++from;
        if (o.sent.mid(from).startsWith(file + "End Upload"))
            return;
    }
    fail(o, "the saved list is not the bytes between the markers");
}

// A service query: one result at most, and only when the box answered; the
// text is the box's answer (upper case, without CR and LF) or a fixed word.
void checkQuery(const outcome &o, int query)
{
    if (query == 3) {
        if (!o.results.isEmpty() || o.codes.contains(69))
            fail(o, "the factory reset reported a result");
        return;
    }
    if (o.results.size() > 1)
        fail(o, "a query reported more than one result");
    const bool answered = o.results.size() == 1;
    if (answered == (o.codes.contains(69) || o.codes.contains(68)))
        fail(o, "a query reports both a result and a failure, or neither");
    if (!answered)
        return;
    QByteArray stripped = o.sent;
    stripped.replace('\r', QByteArray()).replace('\n', QByteArray());
    const QString heard = QString::fromLatin1(stripped.constData(), stripped.size()).toUpper();
    const QString r = o.results.first();
    switch (query) {
    case 0:
        if (r != QLatin1String("----") && (!heard.contains(r) || r.contains(QLatin1String("UNKNOWN"))))
            fail(o, "a software version the box never sent");
        break;
    case 1:
        if (r != QLatin1String("--") && r.contains(QLatin1String("UNKNOWN")))
            fail(o, "an unknown low-power version shown as a version");
        break;
    default:
        if (r == QLatin1String("???") || r == QLatin1String("no LAN-Device"))
            break;
        if (r.size() < 15)
            fail(o, "a MAC address shorter than its dashes");
        for (int at : {2, 5, 8, 11, 14}) {
            if (r.at(at) != QLatin1Char('-'))
                fail(o, "a MAC address without its dashes");
        }
        break;
    }
}

} // namespace

// The HD restart step traces to the debug output: only shown on request.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtDebugMsg || g->show)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    g = new rig;
    qInstallMessageHandler(quietDebug);
    g->app = new QCoreApplication(*argc, *argv);
    g->dir = new QTemporaryDir;
    if (!g->dir->isValid())
        std::abort();
    g->updateHD = g->dir->filePath(QStringLiteral("update hd.app"));
    g->updateSD = g->dir->filePath(QStringLiteral("image sd.app"));
    g->listHD = g->dir->filePath(QStringLiteral("Liste ä.lis"));
    g->listSD = g->dir->filePath(QStringLiteral("Liste ä.lst"));
    writeFile(g->updateHD, fileWithSignature("\x00\x00\x40\x23"));
    writeFile(g->updateSD, fileWithSignature("\x00\x00\x09\x07"));
    // The longest windows (50 s) become 10 ms.
    linkClock::setScale(0.0002);
    // VELMORA_FUZZ_SHOW=1 prints every job's codes and log, to study an input.
    g->show = qEnvironmentVariableIsSet("VELMORA_FUZZ_SHOW");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    outcome o;
    o.job = Job(data[0] & 7);
    const int query = (data[0] >> 3) & 3;
    const bool reactive = data[0] & 0x80;
    const QByteArray payload(reinterpret_cast<const char *>(data + 1), int(size - 1));
    QVector<QByteArray> pieces;
    if (reactive) {
        for (const QByteArray &p : payload.split('\xff'))
            pieces << p;
    } else {
        pieces << payload;
    }

    fuzzBox box(pieces, reactive);
    if (!box.open())
        std::abort();
    writeFile(g->listHD, o.job == SendListHD ? fileWithSignature("\x00\x00\x30\x40") : oldList);
    writeFile(g->listSD, o.job == SendListSD ? fileWithSignature("\x00\x00\x0a\x07") : oldList);

    auto note = [&o](int code) { o.codes << code; };
    auto log = [&o](const QString &line) { o.log << line; };
    auto result = [&o](const QString &text) { o.results << text; };
    if (o.job == UpdateSD || o.job == GetListSD || o.job == SendListSD) {
        serialComKarn sd(box.path(), o.job == UpdateSD ? g->updateSD : g->listSD);
        QObject::connect(&sd, &serialComKarn::sendCurrentAction, note);
        QObject::connect(&sd, &serialComKarn::writeLog, log);
        if (o.job == UpdateSD)
            sd.updateFirmware();
        else if (o.job == GetListSD)
            sd.getChannellist();
        else
            sd.sendChannellist();
    } else {
        serialComVesk hd(box.path(), o.job == UpdateHD ? g->updateHD : g->listHD);
        QObject::connect(&hd, &serialComVesk::sendCurrentAction, note);
        QObject::connect(&hd, &serialComVesk::writeLog, log);
        QObject::connect(&hd, &serialComVesk::sendSoftwareVersion, result);
        QObject::connect(&hd, &serialComVesk::sendLowPowerVersion, result);
        QObject::connect(&hd, &serialComVesk::sendMACAddress, result);
        switch (o.job) {
        case UpdateHD: hd.updateFirmware(); break;
        case GetListHD: hd.getChannellist(); break;
        case SendListHD: hd.sendChannellist(); break;
        default:
            if (query == 0)
                hd.readSoftwareVersion();
            else if (query == 1)
                hd.readLowPowerVersion();
            else if (query == 2)
                hd.readMACAddress();
            else
                hd.initFactoryReset();
            break;
        }
    }
    box.finish();
    o.sent = box.sent();
    if (g->show)
        show(o);

    switch (o.job) {
    case UpdateHD:
    case SendListHD: {
        const bool update = o.job == UpdateHD;
        checkFrame(o, 40, update ? 66 : 50, 41, 40, 77, true);
        checkSuccess(o, update ? 67 : 65, range(68, 77));
        // The final start's outcome and the binary-mode notice do not decide
        // an HD transfer; the load menu, the flash and the finish do.
        if (o.codes.contains(update ? 67 : 65) && !inOrder(o.sent, {"load App", "flash it", "fin"}))
            fail(o, "transfer reported done without the box's replies");
        break;
    }
    case GetListHD: {
        checkFrame(o, 40, 42, 41, 40, 77, true);
        checkSuccess(o, 45, range(68, 77));
        const bool ok = o.codes.contains(45);
        if (ok && !inOrder(o.sent, {"START", "END"}))
            fail(o, "download reported done without the markers");
        checkListHD(o, ok, readFile(g->listHD));
        break;
    }
    case UpdateSD:
    case SendListSD: {
        const bool update = o.job == UpdateSD;
        checkFrame(o, 0, update ? 15 : 6, 1, 0, 33, false);
        // The box not starting afterwards does not undo a transfer (29 may stand).
        checkSuccess(o, update ? 16 : 14, range(21, 33, 29));
        if (o.codes.contains(update ? 16 : 14)
            && !inOrder(o.sent, {"Upload Ch_Data", "binary mode", "Write", "ready"})
            && !inOrder(o.sent, {"Upload Ch_Data", "binary mode", "ready", "Write"}))
            fail(o, "transfer reported done without the box's replies");
        break;
    }
    case GetListSD: {
        checkFrame(o, 0, 2, 1, 0, 33, false);
        checkSuccess(o, 5, range(21, 33));
        // The list is saved before the box is started again; a box that then
        // does not start costs the completion code, not the list.
        const bool saved = o.log.contains(QStringLiteral("Downloading Channel list done"));
        if (o.codes.contains(5) && !saved)
            fail(o, "download reported done but nothing saved");
        if (saved && !o.codes.contains(4))
            fail(o, "list saved without its end found");
        if (o.codes.contains(5)
            && !inOrder(o.sent, {"Upload Ch_Data", "Get EEprom Header", "Start Upload", "End Upload",
                                 "Press any key !!"}))
            fail(o, "download reported done without the box's replies");
        checkListSD(o, saved, readFile(g->listSD));
        break;
    }
    case QueryHD:
    case QueryHDToo:
        checkFrame(o, 40, 46 + query, 41, 40, 77, false);
        checkQuery(o, query);
        break;
    }
    return 0;
}
