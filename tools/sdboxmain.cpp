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

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-sdbox"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated SD box. Open the printed device as the serial port; a healthy box completes "
        "an update, a list download and a list upload. Options add faults."));
    parser.addHelpOption();
    const QCommandLineOption silent("silent", "Never answer.");
    const QCommandLineOption suc("suc", "Announce StartUpControl VERSION (default 1.7).", "VERSION");
    const QCommandLineOption noSuc("no-suc", "Send no StartUpControl line.");
    const QCommandLineOption ignore("ignore", "Leave these commands unanswered (numbers from 1, comma separated).", "N,M");
    const QCommandLineOption refuse("refuse", "Refuse files: \"ready\" without \"Write\".");
    const QCommandLineOption finishSilent("finish-silent", "Say nothing after a file.");
    const QCommandLineOption startFails("start-fails", "Answer \"300\" with the load menu.");
    const QCommandLineOption cutAfter("cut-after", "Cut the line after N received bytes.", "N");
    const QCommandLineOption cutListAfter("cut-list-after", "Cut the line after N list bytes sent.", "N");
    const QCommandLineOption garbage("garbage", "Babble N bytes without line end before each reply.", "N");
    const QCommandLineOption delay("delay", "Wait MS before each reply.", "MS");
    const QCommandLineOption split("split-markers", "Send the lines the dialogue looks at (version, markers, verdict) in two pieces.");
    const QCommandLineOption splitAt("split-at", "Split those lines after N bytes (from the line's end if negative; default: the middle).", "N");
    const QCommandLineOption splitPause("split-pause", "Pause MS between the pieces of a split line (default 60).", "MS");
    const QCommandLineOption splitOnly("split-only", "Split only the lines that hold TEXT.", "TEXT");
    const QCommandLineOption nuls("nuls", "Send N NUL bytes before each reply, as a box does at power-up.", "N");
    const QCommandLineOption splitList("split-list-markers", "Send \"Start Upload\" and \"End Upload\" in two pieces.");
    const QCommandLineOption startDelay("start-delay", "Wait MS before \"Start Upload\".", "MS");
    const QCommandLineOption dashes("dashes", "Length of the dash run (default 40).", "N");
    const QCommandLineOption listFile("list", "Send this file as the channel list.", "FILE");
    const QCommandLineOption flood("flood", "Send list bytes without end.");
    const QCommandLineOption noEnd("no-end", "Leave out \"End Upload\".");
    const QCommandLineOption lineRate("line-rate", "Read and send no faster than a 115200-baud line: 11520 bytes/s, in pieces of up to 62 bytes as a USB adapter hands them over.");
    const QCommandLineOption stopReading("stop-reading-after", "Stop reading after N received bytes; the line stays up.", "N");
    const QCommandLineOption verbose("verbose", "Print received commands and files on stderr when done.");
    const QCommandLineOption keepList("keep-list", "Keep a loaded list and send it on a later download.");
    const QCommandLineOption storeFlip("store-flip-at", "Store the kept list with its byte at OFFSET changed.", "OFFSET");
    const QCommandLineOption consoleDelay("console-delay", "After a start (\"300\"), ignore commands for MS.", "MS");
    const QCommandLineOption consoleDead("console-dead", "After a start (\"300\"), never answer again.");
    const QCommandLineOption samples("make-samples", "Write single.app (a one-file update), first.app and second.app "
                                                     "(a two-file update) and sample.lst into DIR and exit.", "DIR");
        parser.addOptions({samples, silent, suc, noSuc, ignore, refuse, finishSilent, startFails, cutAfter,
                       cutListAfter, garbage, delay, split, splitAt, splitPause, splitOnly, nuls, splitList, startDelay, dashes, listFile, flood,
                       noEnd, lineRate, stopReading, verbose, keepList, storeFlip, consoleDelay, consoleDead});
    parser.process(app);
    if (parser.isSet(samples)) {
        QString error;
        if (sdBox::makeSamples(parser.value(samples), &error))
            return 0;
        std::fprintf(stderr, "velmora-sdbox: cannot write %s\n", qPrintable(error));
        return 2;
    }

    sdBox::Config config;
    config.silent = parser.isSet(silent);
    if (parser.isSet(suc))
        config.sucLine = "SUC (StartUpControl)" + parser.value(suc).toLatin1();
    if (parser.isSet(noSuc))
        config.sucLine.clear();
    for (const QString &n : parser.value(ignore).split(QLatin1Char(','), Qt::SkipEmptyParts))
        config.ignore.insert(n.toInt());
    config.refuse = parser.isSet(refuse);
    config.finishSilent = parser.isSet(finishSilent);
    config.startFails = parser.isSet(startFails);
    if (parser.isSet(cutAfter))
        config.cutAfter = parser.value(cutAfter).toLongLong();
    if (parser.isSet(cutListAfter))
        config.cutListAfter = parser.value(cutListAfter).toLongLong();
    config.garbage = parser.value(garbage).toInt();
    config.replyDelayMs = parser.value(delay).toInt();
    config.splitMarkers = parser.isSet(split);
    config.splitAt = parser.value(splitAt).toInt();
    if (parser.isSet(splitPause))
        config.splitPauseMs = parser.value(splitPause).toInt();
    config.splitOnly = parser.value(splitOnly).toLatin1();
    config.nuls = parser.value(nuls).toInt();
    config.splitListMarkers = parser.isSet(splitList);
    config.startUploadDelayMs = parser.value(startDelay).toInt();
    if (parser.isSet(dashes))
        config.dashes = parser.value(dashes).toInt();
    if (parser.isSet(listFile)) {
        QFile file(parser.value(listFile));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(parser.value(listFile)));
            return 2;
        }
        config.list = file.readAll();
    }
    config.listFlood = parser.isSet(flood);
    config.omitEndUpload = parser.isSet(noEnd);
    config.lineRate = parser.isSet(lineRate);
    if (parser.isSet(stopReading))
        config.stopReadingAfter = parser.value(stopReading).toLongLong();
    config.keepList = parser.isSet(keepList);
    if (parser.isSet(storeFlip))
        config.storeFlipAt = parser.value(storeFlip).toLongLong();
    config.consoleDelayMs = parser.value(consoleDelay).toInt();
    config.consoleDead = parser.isSet(consoleDead);

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
    if (parser.isSet(verbose)) {
        for (const QByteArray &c : box.commands())
            std::fprintf(stderr, "command %s\n", c.constData());
        for (const QByteArray &f : box.files())
            std::fprintf(stderr, "file of %lld bytes\n", static_cast<long long>(f.size()));
    }
    return 0;
}
