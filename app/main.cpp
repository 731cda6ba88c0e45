#include "mainwindow.h"
#include "portlist.h"
#include "signalclose.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

namespace {

const char usage[] =
    "Usage: velmora [-p PORT] [-t JOB] [-f FILE...] [FILE...] [-s]\n"
    "  -p PORT      serial port, by system name or device path\n"
    "  -t JOB       UpdateHD, SendListHD, GetListHD, UpdateSD, SendListSD or GetListSD\n"
    "  -f FILE...   the job's files, up to the next option\n"
    "  FILE...      files recognised by their content\n"
    "  -s           start the job at once\n"
    "  --help       print this text\n"
    "  --version    print the version\n"
    "  --list-ports print the serial ports and whether this user may open them\n";

// Answers --help, --version and --list-ports without opening a window; true when it did.
bool answeredQuery(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(usage, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("Velmora 3.0 (3.0.0.8)");
            return true;
        }
        if (std::strcmp(argv[i], "--list-ports") == 0) {
            const QStringList lines = portList::lines();
            for (const QString &line : lines)
                std::puts(line.toLocal8Bit().constData());
            if (lines.isEmpty())
                std::fputs("velmora: no serial port found\n", stderr);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (answeredQuery(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationDomain(QStringLiteral("orvanta.example"));
    QCoreApplication::setOrganizationName(QStringLiteral("Orvanta"));
    QCoreApplication::setApplicationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.0"));

    // Before the window: a job started from the command line must already
    // be stoppable by a signal.
    signalClose closer;
    MainWindow window;
    QObject::connect(&closer, &signalClose::closeRequested, &window, &MainWindow::closeWithoutAsking);
    const QString icon = MainWindow::windowIconFile();
    if (!icon.isEmpty())
        window.setWindowIcon(QIcon(icon));
    window.show();
    return app.exec();
}
