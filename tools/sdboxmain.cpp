// velmora-sdbox: a simulated SD box on a pseudo-terminal. Prints the device
// to open as the serial port on its first line, then serves until stdin
// closes or it is killed.
#include "sdbox.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every option the box takes, each a fault or a setting.
struct Options {
    const QCommandLineOption silent{"silent", "Never answer."};
    const QCommandLineOption suc{"suc", "Announce StartUpControl VERSION (default 1.7).", "VERSION"};
    const QCommandLineOption noSuc{"no-suc", "Send no StartUpControl line."};
    const QCommandLineOption ignore{"ignore", "Leave these commands unanswered (numbers from 1, comma separated).", "N,M"};
    const QCommandLineOption refuse{"refuse", "Refuse files: \"ready\" without \"Write\"."};
    const QCommandLineOption finishSilent{"finish-silent", "Say nothing after a file."};
    const QCommandLineOption startFails{"start-fails", "Answer \"300\" with the load menu."};
    const QCommandLineOption cutAfter{"cut-after", "Cut the line after N received bytes.", "N"};
    const QCommandLineOption cutListAfter{"cut-list-after", "Cut the line after N list bytes sent.", "N"};
    const QCommandLineOption garbage{"garbage", "Babble N bytes without line end before each reply.", "N"};
    const QCommandLineOption delay{"delay", "Wait MS before each reply.", "MS"};
    const QCommandLineOption split{"split-markers", "Send the lines the dialogue looks at (version, markers, verdict) in two pieces."};
    const QCommandLineOption splitAt{"split-at", "Split those lines after N bytes (from the line's end if negative; default: the middle).", "N"};
    const QCommandLineOption splitPause{"split-pause", "Pause MS between the pieces of a split line (default 60).", "MS"};
    const QCommandLineOption splitOnly{"split-only", "Split only the lines that hold TEXT.", "TEXT"};
    const QCommandLineOption nuls{"nuls", "Send N NUL bytes before each reply, as a box does at power-up.", "N"};
    const QCommandLineOption splitList{"split-list-markers", "Send \"Start Upload\" and \"End Upload\" in two pieces."};
    const QCommandLineOption startDelay{"start-delay", "Wait MS before \"Start Upload\".", "MS"};
    const QCommandLineOption dashes{"dashes", "Length of the dash run (default 40).", "N"};
    const QCommandLineOption listFile{"list", "Send this file as the channel list.", "FILE"};
    const QCommandLineOption flood{"flood", "Send list bytes without end."};
    const QCommandLineOption noEnd{"no-end", "Leave out \"End Upload\"."};
    const QCommandLineOption lineRate{"line-rate", "Read and send no faster than a 115200-baud line: 11520 bytes/s, in pieces of up to 62 bytes as a USB adapter hands them over."};
    const QCommandLineOption stopReading{"stop-reading-after", "Stop reading after N received bytes; the line stays up.", "N"};
    const QCommandLineOption verbose{"verbose", "Print received commands and files on stderr when done."};
    const QCommandLineOption keepList{"keep-list", "Keep a loaded list and send it on a later download."};
    const QCommandLineOption storeFlip{"store-flip-at", "Store the kept list with its byte at OFFSET changed.", "OFFSET"};
    const QCommandLineOption consoleDelay{"console-delay", "After a start (\"300\"), ignore commands for MS.", "MS"};
    const QCommandLineOption consoleDead{"console-dead", "After a start (\"300\"), never answer again."};
    const QCommandLineOption samples{"make-samples", "Write single.app (a one-file update), first.app and second.app "
                                    "(a two-file update) and sample.lst into DIR and exit.", "DIR"};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({samples, silent, suc, noSuc, ignore, refuse, finishSilent, startFails, cutAfter,
                           cutListAfter, garbage, delay, split, splitAt, splitPause, splitOnly, nuls, splitList,
                           startDelay, dashes, listFile, flood, noEnd, lineRate, stopReading, verbose, keepList,
                           storeFlip, consoleDelay, consoleDead});
    }
};

// The box's behaviour as the options ask; false when a named file cannot be read.
bool configFrom(const QCommandLineParser &parser, const Options &o, sdBox::Config &config)
{
    config.silent = parser.isSet(o.silent);
    if (parser.isSet(o.suc))
        config.sucLine = "SUC (StartUpControl)" + parser.value(o.suc).toLatin1();
    if (parser.isSet(o.noSuc))
        config.sucLine.clear();
    for (const QString &n : parser.value(o.ignore).split(QLatin1Char(','), Qt::SkipEmptyParts))
        config.ignore.insert(n.toInt());
    config.refuse = parser.isSet(o.refuse);
    config.finishSilent = parser.isSet(o.finishSilent);
    config.startFails = parser.isSet(o.startFails);
    if (parser.isSet(o.cutAfter))
        config.cutAfter = parser.value(o.cutAfter).toLongLong();
    if (parser.isSet(o.cutListAfter))
        config.cutListAfter = parser.value(o.cutListAfter).toLongLong();
    config.garbage = parser.value(o.garbage).toInt();
    config.replyDelayMs = parser.value(o.delay).toInt();
    config.splitMarkers = parser.isSet(o.split);
    config.splitAt = parser.value(o.splitAt).toInt();
    if (parser.isSet(o.splitPause))
        config.splitPauseMs = parser.value(o.splitPause).toInt();
    config.splitOnly = parser.value(o.splitOnly).toLatin1();
    config.nuls = parser.value(o.nuls).toInt();
    config.splitListMarkers = parser.isSet(o.splitList);
    config.startUploadDelayMs = parser.value(o.startDelay).toInt();
    if (parser.isSet(o.dashes))
        config.dashes = parser.value(o.dashes).toInt();
    if (parser.isSet(o.listFile)) {
        QFile file(parser.value(o.listFile));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(parser.value(o.listFile)));
            return false;
        }
        config.list = file.readAll();
    }
    config.listFlood = parser.isSet(o.flood);
    config.omitEndUpload = parser.isSet(o.noEnd);
    config.lineRate = parser.isSet(o.lineRate);
    if (parser.isSet(o.stopReading))
        config.stopReadingAfter = parser.value(o.stopReading).toLongLong();
    config.keepList = parser.isSet(o.keepList);
    if (parser.isSet(o.storeFlip))
        config.storeFlipAt = parser.value(o.storeFlip).toLongLong();
    config.consoleDelayMs = parser.value(o.consoleDelay).toInt();
    config.consoleDead = parser.isSet(o.consoleDead);
    return true;
}

// Serves until stdin (a pipe) closes or a signal ends it; `verbose` prints
// what the box heard.
int serve(const sdBox::Config &config, bool verbose)
{
    // Only a pipe's end stops the box: from a terminal or /dev/null (as for
    // "velmora-sdbox &") stdin is not ours to read, and the box serves until
    // a signal ends it. Blocked before the box's thread starts, so that only
    // sigwait takes them.
    struct stat in{};
    const bool terminal = ::fstat(STDIN_FILENO, &in) != 0 || !(S_ISFIFO(in.st_mode) || S_ISSOCK(in.st_mode));
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGHUP);
    if (terminal)
        pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    sdBox box(config);
    if (!box.start()) {
        std::fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 1;
    }
    std::printf("%s\n", qPrintable(box.devicePath()));
    std::fflush(stdout);

    if (terminal) {
        int signal = 0;
        sigwait(&endSignals, &signal);
    } else {
        std::string ignored;
        while (std::getline(std::cin, ignored)) {
        }
    }
    box.stop();
    if (verbose) {
        for (const QByteArray &c : box.commands())
            std::fprintf(stderr, "command %s\n", c.constData());
        for (const QByteArray &f : box.files())
            std::fprintf(stderr, "file of %lld bytes\n", static_cast<long long>(f.size()));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-sdbox"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated SD box. Open the printed device as the serial port; a healthy box completes "
        "an update, a list download and a list upload. Options add faults."));
    parser.addHelpOption();
    const Options o;
    o.addTo(parser);
    parser.process(app);
    if (parser.isSet(o.samples)) {
        QString error;
        if (sdBox::makeSamples(parser.value(o.samples), &error))
            return 0;
        std::fprintf(stderr, "velmora-sdbox: cannot write %s\n", qPrintable(error));
        return 2;
    }
    sdBox::Config config;
    if (!configFrom(parser, o, config))
        return 2;
    return serve(config, parser.isSet(o.verbose));
}
