// Fuzzes the reply handling: a real link job, its windows shrunk to
// milliseconds, over a pseudo-terminal whose far end answers with the input.
// Byte 0: bits 0-2 the job (HD update, HD download, SD update, SD download,
// HD upload, SD upload, an HD query twice), bits 3-4 the query (software,
// low power, MAC, reset); bit 7: the rest is cut at each 0xff and a piece
// sent whenever the program writes, else all of it after its first byte.
// Checked: the job's frame of codes; success only without a failure and
// with the job's markers sent in order; a list file that changes only when
// saved, then holding exactly the bytes between its markers.
#include "linkclock.h"
#include "ptyline.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {
const QByteArray oldList("previous list, must survive a failed download\n");
QTemporaryDir *g_dir;
QList<int> g_codes;
QStringList g_log, g_results;
QByteArray g_sent;   // what the box really wrote

QString file(const char *name, const char *signature)
{
    QByteArray bytes = oldList;
    if (signature)
        bytes = QByteArray(64, '\x5a').replace(16, 4, QByteArray(signature, 4));
    QFile f(g_dir->filePath(QString::fromUtf8(name)));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
    return f.fileName();
}

[[noreturn]] void fail(const char *what)
{
    QString codes;
    for (int c : g_codes)
        codes += QString::number(c) + ' ';
    std::fprintf(stderr, "replies: %s\ncodes: %s\nlog:\n  %s\nbox sent %d bytes\n", what, qPrintable(codes),
                 qPrintable(g_log.join("\n  ")), g_sent.size());
    std::abort();
}

// The markers in this order; the links drop CR and LF from what they test.
bool inOrder(std::initializer_list<const char *> markers)
{
    const QByteArray text = QByteArray(g_sent).replace('\r', "").replace('\n', "");
    int at = 0;
    for (const char *m : markers)
        if ((at = text.indexOf(m, at)) < 0)
            return false;
        else
            at += int(qstrlen(m));
    return true;
}

// Start and job codes first, the end code last (twice in a row where an HD
// body ends a failure itself), success last before it and never with a
// failure from [low, high] but `spare`.
bool frame(int start, int job, int end, int success, int low, int high, int spare = -1)
{
    const QList<int> &c = g_codes;
    if (c.size() < 3 || c[0] != start || c[1] != job || c.last() != end || c.count(start) != 1)
        fail("the job's frame is broken");
    if (c.count(end) > 2 || (c.count(end) == 2 && (start == 0 || c[c.size() - 2] != end)))
        fail("an end code out of place");
    if (!c.contains(success))
        return false;
    if (c.count(success) > 1 || c.indexOf(success) != c.size() - 1 - c.count(end))
        fail("success is not the last code before the end");
    for (int code = low; code <= high; ++code)
        if (code != spare && c.contains(code))
            fail("success after a failure code");
    return true;
}

// The saved list must be what followed `start` (and a run of dashes after
// `dashes`), up to `end`; a list not saved leaves the old file.
void checkList(const QString &path, bool saved, const QByteArray &start, const QByteArray &end, bool dashes)
{
    QFile f(path);
    const QByteArray list = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    if (!saved) {
        if (list != oldList)
            fail("a download that saved nothing changed the list file");
        return;
    }
    for (int at = g_sent.indexOf(start); at >= 0; at = g_sent.indexOf(start, at + 1)) {
        int from = at + start.size();
        while (dashes && from < g_sent.size() && (g_sent[from] == '\r' || g_sent[from] == '\n'))
            ++from;
        while (dashes && from < g_sent.size() && g_sent[from] == '-')
            ++from;
        if (g_sent.mid(from).startsWith(list + end))
            return;
    }
    fail("the saved list is not the bytes between the markers");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The HD restart step traces to the debug output.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    new QCoreApplication(*argc, *argv);
    g_dir = new QTemporaryDir;
    linkClock::setScale(0.0002);   // 50 s become 10 ms
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int job = data[0] & 7, query = (data[0] >> 3) & 3;
    const bool reactive = data[0] & 0x80;
    const QByteArray payload(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QList<QByteArray> pieces = reactive ? payload.split('\xff') : QList<QByteArray>{payload};
    g_codes.clear();
    g_log.clear();
    g_results.clear();
    g_sent.clear();

    ptyLine line;
    if (!line.open())
        std::abort();
    const int fd = line.masterFd();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    std::atomic<bool> done{false};
    std::thread box([&] {
        int next = 0;
        QByteArray pending;
        char buf[4096];
        while (!done) {
            pollfd p{fd, short(POLLIN | (pending.isEmpty() ? 0 : POLLOUT)), 0};
            ::poll(&p, 1, 1);
            if (::read(fd, buf, sizeof buf) > 0 && next < pieces.size()) {
                do
                    pending += pieces[next++];
                while (!reactive && next < pieces.size());
            }
            const ssize_t n = pending.isEmpty() ? 0 : ::write(fd, pending.constData(), size_t(pending.size()));
            if (n > 0) {
                g_sent += pending.left(int(n));
                pending.remove(0, int(n));
            }
        }
    });

    const QString hdUpdate = file("update hd.app", "\x00\x00\x40\x23"), sdUpdate = file("image sd.app", "\x00\x00\x09\x07");
    const QString hdList = file("Liste ä.lis", job == 4 ? "\x00\x00\x30\x40" : nullptr);
    const QString sdList = file("Liste ä.lst", job == 5 ? "\x00\x00\x0a\x07" : nullptr);
    auto code = [](int c) { g_codes << c; };
    auto log = [](const QString &l) { g_log << l; };
    if (job == 2 || job == 3 || job == 5) {
        serialComKarn sd(line.devicePath(), job == 2 ? sdUpdate : sdList);
        QObject::connect(&sd, &serialComKarn::sendCurrentAction, code);
        QObject::connect(&sd, &serialComKarn::writeLog, log);
        job == 2 ? sd.updateFirmware() : job == 3 ? sd.getChannellist() : sd.sendChannellist();
    } else {
        serialComVesk hd(line.devicePath(), job == 0 ? hdUpdate : hdList);
        QObject::connect(&hd, &serialComVesk::sendCurrentAction, code);
        QObject::connect(&hd, &serialComVesk::writeLog, log);
        for (auto result : {&serialComVesk::sendSoftwareVersion, &serialComVesk::sendLowPowerVersion,
                            &serialComVesk::sendMACAddress})
            QObject::connect(&hd, result, [](const QString &r) { g_results << r; });
        void (serialComVesk::*const queries[])() = {&serialComVesk::readSoftwareVersion, &serialComVesk::readLowPowerVersion,
                                                    &serialComVesk::readMACAddress, &serialComVesk::initFactoryReset};
        job == 0 ? hd.updateFirmware() : job == 1 ? hd.getChannellist() : job == 4 ? hd.sendChannellist() : (hd.*queries[query])();
    }
    done = true;
    box.join();

    switch (job) {
    case 0:
    case 4:
        // The load menu, the flash and the finish decide an HD transfer.
        if (frame(40, job ? 50 : 66, 41, job ? 65 : 67, 68, 77) && !inOrder({"load App", "flash it", "fin"}))
            fail("transfer done without the box's replies");
        break;
    case 1: {
        const bool ok = frame(40, 42, 41, 45, 68, 77);
        checkList(hdList, ok, "START", "END", false);
        break;
    }
    case 2:
    case 5:
        // A box that does not start again afterwards (29) does not undo a transfer.
        if (frame(0, job == 2 ? 15 : 6, 1, job == 2 ? 16 : 14, 21, 33, 29)
            && !inOrder({"Upload Ch_Data", "binary mode", "Write", "ready"})
            && !inOrder({"Upload Ch_Data", "binary mode", "ready", "Write"}))
            fail("transfer done without the box's replies");
        break;
    case 3: {
        // The list is saved before the box is started again.
        const bool ok = frame(0, 2, 1, 5, 21, 33);
        const bool saved = g_log.contains(QStringLiteral("Downloading Channel list done"));
        if (ok && (!saved || !inOrder({"Upload Ch_Data", "Get EEprom Header", "Start Upload", "End Upload", "Press any key !!"})))
            fail("download done without the box's replies or a saved list");
        if (saved && !g_codes.contains(4))
            fail("list saved without its end found");
        checkList(sdList, saved, "Start Upload", "End Upload", true);
        break;
    }
    default: {
        frame(40, 46 + query, 41, -1, 0, -1);
        // One answer exactly where no failure came, and an answer of the wrong
        // shape is a failure too; the reset has none to wait for.
        const bool refused = !g_log.filter(QStringLiteral("The Settopbox's answer to ")).isEmpty();
        const bool failed = g_codes.contains(68) || g_codes.contains(69) || refused;
        if (query == 3 ? !g_results.isEmpty() || g_codes.contains(69) : g_results.size() > 1 || (g_results.size() == 1) == failed)
            fail("a query's answer and failure disagree");
        break;
    }
    }
    return 0;
}
