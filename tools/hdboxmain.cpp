// velmora-hdbox: a simulated HD box on a pseudo-terminal. Prints the device
// to give to velmora ("-p /dev/pts/N") and serves until killed, or until its
// standard input closes when that is a pipe.
#include "hdbox.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every option the box takes, each a fault or a setting.
struct Options {
    const QCommandLineOption silent{QStringLiteral("silent"), QStringLiteral("Never answer.")};
    const QCommandLineOption refuse{QStringLiteral("refuse"), QStringLiteral("Answer a loaded file with \"wrong\".")};
    const QCommandLineOption cutAfter{QStringLiteral("cut-after"), QStringLiteral("Cut the line after N file bytes."), QStringLiteral("N")};
    const QCommandLineOption garbage{QStringLiteral("garbage"), QStringLiteral("Send noise (a NUL byte and control bytes, as at power-up) before every reply.")};
    const QCommandLineOption splitAt{QStringLiteral("split-at"), QStringLiteral("Send every reply in two pieces, the first N bytes (from its end if negative), then the rest."), QStringLiteral("N")};
    const QCommandLineOption splitPause{QStringLiteral("split-pause"), QStringLiteral("Pause MS between the pieces of a split reply (default 60)."), QStringLiteral("MS")};
    const QCommandLineOption splitOnly{QStringLiteral("split-only"), QStringLiteral("Split only the replies that hold TEXT."), QStringLiteral("TEXT")};
    const QCommandLineOption longLine{QStringLiteral("long-line"), QStringLiteral("Send N bytes without line end before every reply."), QStringLiteral("N")};
    const QCommandLineOption delay{QStringLiteral("delay"), QStringLiteral("Wait MS before every reply."), QStringLiteral("MS")};
    const QCommandLineOption unknownCom{QStringLiteral("unknown-com"), QStringLiteral("Answer the first N restarts with \"unknown com\"."), QStringLiteral("N")};
    const QCommandLineOption noBinary{QStringLiteral("no-binary"), QStringLiteral("Do not announce binary mode.")};
    const QCommandLineOption noFin{QStringLiteral("no-fin"), QStringLiteral("Never report \"fin\".")};
    const QCommandLineOption comPrompts{QStringLiteral("com-prompts"), QStringLiteral("Answer the first N starts with \"Com ->\"."), QStringLiteral("N")};
    const QCommandLineOption echo{QStringLiteral("echo"), QStringLiteral("Echo every command.")};
    const QCommandLineOption list{QStringLiteral("list"), QStringLiteral("Print the list from FILE on \"chlist\"."), QStringLiteral("FILE")};
    const QCommandLineOption noMarkers{QStringLiteral("no-markers"), QStringLiteral("Print the list without START and END.")};
    const QCommandLineOption flood{QStringLiteral("flood"), QStringLiteral("Print N bytes after START and never END."), QStringLiteral("N")};
    const QCommandLineOption saveFile{QStringLiteral("save-file"), QStringLiteral("Write each loaded file to FILE."), QStringLiteral("FILE")};
    const QCommandLineOption lineRate{QStringLiteral("line-rate"), QStringLiteral("Read and send no faster than a 115200-baud line: 11520 bytes/s, in pieces of up to 62 bytes as a USB adapter hands them over.")};
    const QCommandLineOption stopReading{QStringLiteral("stop-reading-after"), QStringLiteral("Stop reading after N file bytes; the line stays up."), QStringLiteral("N")};
    const QCommandLineOption chatter{QStringLiteral("chatter"), QStringLiteral("After the list, print a status line every MS, as a console does."), QStringLiteral("MS")};
    const QCommandLineOption reply{QStringLiteral("reply"), QStringLiteral("Answer the service command CMD with TEXT (e.g. swvers=V2.10.04); may be repeated."), QStringLiteral("CMD=TEXT")};
    const QCommandLineOption keepList{QStringLiteral("keep-list"), QStringLiteral("Keep a loaded list and print it on \"chlist\".")};
    const QCommandLineOption storeFlip{QStringLiteral("store-flip-at"), QStringLiteral("Store the kept list with its byte at OFFSET changed."), QStringLiteral("OFFSET")};
    const QCommandLineOption consoleDelay{QStringLiteral("console-delay"), QStringLiteral("After a start, ignore commands for MS."), QStringLiteral("MS")};
    const QCommandLineOption consoleDead{QStringLiteral("console-dead"), QStringLiteral("After a start, never answer again.")};
    const QCommandLineOption samples{QStringLiteral("make-samples"), QStringLiteral("Write sample.app and sample.lis into DIR and exit."), QStringLiteral("DIR")};

    void addTo(QCommandLineParser &cl) const
    {
        for (const auto *o : {&samples, &silent, &refuse, &cutAfter, &garbage, &splitAt, &splitPause, &splitOnly,
                              &longLine, &delay, &unknownCom, &noBinary, &noFin, &comPrompts, &echo, &list,
                              &noMarkers, &flood, &saveFile, &lineRate, &stopReading, &chatter, &keepList, &storeFlip,
                              &consoleDelay, &consoleDead, &reply})
            cl.addOption(*o);
    }
};

// Something to try a job with: an update file and a list of the HD kinds.
int writeSamples(const QString &dir)
{
    const QByteArray update = hdBox::sampleUpdate(64 * 1024);
    QFile a(dir + QStringLiteral("/sample.app")), l(dir + QStringLiteral("/sample.lis"));
    const QByteArray list = hdBox::sampleList();
    if (!a.open(QIODevice::WriteOnly) || a.write(update) != update.size()
        || !l.open(QIODevice::WriteOnly) || l.write(list) != list.size()) {
        std::fprintf(stderr, "velmora-hdbox: cannot write into %s\n", qPrintable(dir));
        return 2;
    }
    return 0;
}

// --reply CMD=TEXT for the service commands the box knows; a key it does not
// know would be ignored by the box, so it is refused with the known ones.
bool takeReplies(const QStringList &pairs, hdBox::Behaviour &b)
{
    QStringList known;
    for (auto it = b.replies.cbegin(); it != b.replies.cend(); ++it)
        known << QString::fromLatin1(it.key());
    known.sort();
    for (const QString &pair : pairs) {
        const int at = int(pair.indexOf(QLatin1Char('=')));
        const QByteArray key = pair.left(at).toLatin1();
        if (at <= 0 || !b.replies.contains(key)) {
            std::fprintf(stderr, "velmora-hdbox: --reply %s: unknown command; the service commands are %s\n",
                         qPrintable(pair), qPrintable(known.join(QStringLiteral(", "))));
            return false;
        }
        b.replies.insert(key, pair.mid(at + 1).toLatin1() + "\r\n");
    }
    return true;
}

// The box's behaviour as the options ask; false when a named file cannot be
// read or a reply names no command the box knows.
bool behaviourFrom(const QCommandLineParser &cl, const Options &o, hdBox::Behaviour &b)
{
    b.silent = cl.isSet(o.silent);
    b.refuse = cl.isSet(o.refuse);
    if (cl.isSet(o.cutAfter))
        b.cutAfter = cl.value(o.cutAfter).toLongLong();
    if (cl.isSet(o.garbage))
        b.garbage = QByteArray("\0\x01\x7f#%?~\x1b[", 10);
    b.splitAt = cl.value(o.splitAt).toInt();
    if (cl.isSet(o.splitPause))
        b.replySplitPauseMs = cl.value(o.splitPause).toInt();
    b.splitOnly = cl.value(o.splitOnly).toLatin1();
    b.longLine = cl.value(o.longLine).toInt();
    b.replyDelayMs = cl.value(o.delay).toInt();
    b.unknownCom = cl.value(o.unknownCom).toInt();
    b.binaryMode = !cl.isSet(o.noBinary);
    b.finReply = !cl.isSet(o.noFin);
    b.comPrompts = cl.value(o.comPrompts).toInt();
    b.echo = cl.isSet(o.echo);
    b.listMarkers = !cl.isSet(o.noMarkers);
    b.flood = cl.value(o.flood).toLongLong();
    b.lineRate = cl.isSet(o.lineRate);
    if (cl.isSet(o.stopReading))
        b.stopReadingAfter = cl.value(o.stopReading).toLongLong();
    b.chatterMs = cl.value(o.chatter).toInt();
    // The prompt a console prints when the list is done.
    if (b.chatterMs > 0) {
        b.afterList = "\r\nCom -> ";
        b.afterListDelayMs = 200;
    }
    b.keepList = cl.isSet(o.keepList);
    if (cl.isSet(o.storeFlip))
        b.storeFlipAt = cl.value(o.storeFlip).toLongLong();
    b.consoleDelayMs = cl.value(o.consoleDelay).toInt();
    b.consoleDead = cl.isSet(o.consoleDead);
    // A box's own answers to the service commands, unless told others.
    b.replies = {{"swvers", "V2.10.04 HD\r\n"}, {"lpsw", "LPSW:1.07\r\n"}, {"get_mac", "0011223344AB\r\n"}};
    if (!takeReplies(cl.values(o.reply), b))
        return false;
    // A real box takes a moment to flash and to finish.
    b.flashDelayMs = 500;
    b.finDelayMs = 800;
    if (cl.isSet(o.list)) {
        QFile f(cl.value(o.list));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "velmora-hdbox: cannot read %s\n", qPrintable(cl.value(o.list)));
            return false;
        }
        b.list = f.readAll();
    }

    return true;
}

// Serves until killed, or until standard input closes when that is a pipe;
// with `saveFile` set, each loaded file is written there.
void serve(const hdBox &box, const QString &saveFile)
{
    struct stat st{};
    const bool watchStdin = ::fstat(0, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
    int loaded = 0;
    for (;;) {
        pollfd p{0, POLLIN, 0};
        const int r = ::poll(&p, watchStdin ? 1 : 0, 200);
        if (watchStdin && r > 0) {
            char buf[256];
            if (::read(0, buf, sizeof buf) <= 0)
                break;
        }
        if (!saveFile.isEmpty()) {
            const QByteArray got = box.file();
            if (got.size() != loaded) {
                QFile out(saveFile);
                if (out.open(QIODevice::WriteOnly))
                    out.write(got);
                loaded = got.size();
            }
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-hdbox"));
    QCommandLineParser cl;
    cl.setApplicationDescription(QStringLiteral("Simulated HD set-top box on a pseudo-terminal."));
    cl.addHelpOption();
    const Options o;
    o.addTo(cl);
    cl.process(app);
    if (cl.isSet(o.samples))
        return writeSamples(cl.value(o.samples));
    hdBox::Behaviour b;
    if (!behaviourFrom(cl, o, b))
        return 2;
    hdBox box(b);
    if (!box.start()) {
        std::fprintf(stderr, "velmora-hdbox: no pseudo-terminal\n");
        return 1;
    }
    std::printf("%s\n", qPrintable(box.devicePath()));
    std::fflush(stdout);
    serve(box, cl.value(o.saveFile));
    box.stop();
    return 0;
}
