#include "programstart.h"

#include "batchjob.h"
#include "portlist.h"
#include "signalclose.h"
#include "velmoraversion.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char usage[] =
    "Usage: velmora [-p PORT] [-t JOB] [-f FILE...] [FILE...] [-s]\n"
    "  -p PORT      serial port, by system name or device path, or a serial\n"
    "               server's port: rfc2217://HOST:PORT (RFC 2217, the server's\n"
    "               line set to 115200 8N1 by the program) or socket://HOST:PORT\n"
    "               (raw TCP, the server sets the line); an IPv6 HOST in [ ]\n"
    "  -t JOB       UpdateHD, SendListHD, GetListHD, UpdateSD, SendListSD or GetListSD\n"
    "  -f FILE...   the job's files, up to the next option\n"
    "  FILE...      files recognised by their content\n"
    "  -s           start the job at once\n"
    "  --help       print this text\n"
    "  --version    print the version\n"
    "  --list-ports print the serial ports and whether this user may open them\n"
    "  --desktop    keep settings.ini in ~/.config/velmora and velmora.log in\n"
    "               ~/.local/state/velmora (XDG folders; the desktop entry's way),\n"
    "               not in the working directory\n";

const char batchUsage[] =
    "\n"
    "Without a window (no display needed, no settings.ini):\n"
    "  velmora --batch -p PORT [-p PORT...] [-t JOB] [-f FILE...] [FILE...] [--log FILE]\n"
    "                  [--verify] [--identify] [--record FILE] [--retries N] [--loop]\n"
    "  velmora --query software|lowpower|mac -p PORT [-p PORT...]\n"
    "  velmora --factory-reset --yes -p PORT [-p PORT...]\n"
    "  --batch          run the job at once, report on standard error, then exit\n"
    "  -p PORT...       each -p adds a port; the job runs on all of them at once\n"
    "                   (a download from several ports: -f FOLDER writes FOLDER/PORT.lis\n"
    "                   or .lst, or a name with {port}, {mac} or {date}, e.g.\n"
    "                   -f 'lists/{port}.lis'; {mac} asks the HD box's MAC first)\n"
    "  --query WHAT     print the HD box's software or low-power version or MAC address\n"
    "                   (several ports: one \"port<TAB>answer\" line each)\n"
    "  --factory-reset  reset the HD box to its factory settings; only with --yes\n"
    "  --verify         with SendListHD or SendListSD: read the list back and compare;\n"
    "                   with GetListHD or GetListSD: read until two reads agree\n"
    "  --identify       with an HD job: record the box's MAC and software version\n"
    "                   before the job and the version after an update\n"
    "  --               the arguments that follow are files\n"
    "  --log FILE       log every port of the run to FILE, each line tagged with its\n"
    "                   port; without it each port has its own velmora-PORT.log (PORT:\n"
    "                   the port's base name). Both are appended to, never emptied.\n"
    "  --record FILE    append one record per job and port to FILE: CSV with a header\n"
    "                   row, or JSON Lines for a name ending in .jsonl (start, time,\n"
    "                   port, job, file with size and SHA-256, MAC and versions where\n"
    "                   asked, outcome, failed step, cause, box state, exit code)\n"
    "  --retries N      try a failed job again, up to N times, where that can help:\n"
    "                   the port could not be opened or reached, the box was silent\n"
    "                   before anything was sent, the line went or the box stalled,\n"
    "                   a download's reads failed; never after a refusal, a wrong\n"
    "                   file or a stop. Each attempt is logged and recorded.\n"
    "  --loop           when a port's job has ended, wait for the next box on that\n"
    "                   port and run the job again, until Ctrl-C, which prints how\n"
    "                   many boxes were done, failed and stopped (exit code 130).\n"
    "                   A new HD box answers with another MAC (asked with get_mac,\n"
    "                   read-only); a new SD box prints its start-up text after a\n"
    "                   quiet second (nothing is sent to it). A download needs\n"
    "                   {mac} in its name.\n"
    "-t, --query, --log, --record and --retries may be given once; a port named twice\n"
    "is refused.\n"
    "Exit codes: 0 done, 2 usage, 3 port could not be opened, 4 file missing, of the\n"
    "wrong kind or not writable, 5 the box did not answer or refused, 130 interrupted\n"
    "(SIGINT, SIGTERM or SIGHUP).\n"
    "With several ports the highest code of any port.\n";

} // namespace

int programStart::answer(commandLine::Answer what)
{
    switch (what) {
    case commandLine::Help:
        std::fputs(usage, stdout);
        std::fputs(batchUsage, stdout);
        break;
    case commandLine::Version:
        std::puts("Velmora " VELMORA_VERSION_SHORT " (" VELMORA_VERSION ")");
        break;
    case commandLine::ListPorts: {
        const QStringList lines = portList::lines();
        for (const QString &line : lines)
            std::puts(line.toLocal8Bit().constData());
        if (lines.isEmpty())
            std::fputs("velmora: no serial port found\n", stderr);
        break;
    }
    case commandLine::NoAnswer:
        break;
    }
    return 0;
}

void programStart::nameApplication()
{
    QCoreApplication::setOrganizationDomain(QStringLiteral("orvanta.example"));
    QCoreApplication::setOrganizationName(QStringLiteral("Orvanta"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION_SHORT));
}

int programStart::runBatch(int argc, char *argv[], const commandLine &line)
{
    QCoreApplication app(argc, argv);
    programStart::nameApplication();
    signalClose closer;
    batchJob job(line);
    QObject::connect(&closer, &signalClose::closeRequested, &job, &batchJob::interrupt);
    QObject::connect(&job, &batchJob::finished, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    QMetaObject::invokeMethod(&job, &batchJob::start, Qt::QueuedConnection);
    return app.exec();
}

