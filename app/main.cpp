#include "commandline.h"
#include "fileplaces.h"
#include "mainwindow.h"
#include "programstart.h"
#include "signalclose.h"

#include <QApplication>
#include <QIcon>

#include <clocale>
#include <cstdio>

int main(int argc, char *argv[])
{
    // The application object would set the locale from the environment; the
    // command line is read before one exists (batch mode must be decided
    // first: a QApplication needs a display), so file names are decoded as
    // it would decode them.
    std::setlocale(LC_ALL, "");
    const commandLine line(argc, argv);
    if (line.answer != commandLine::NoAnswer)
        return programStart::answer(line.answer);
    if (line.batch)
        return programStart::runBatch(argc, argv, line);
    // Started from the menu the working directory is the home folder:
    // nothing of ours is left loose there.
    if (line.desktop && !filePlaces::useDesktopFolders())
        std::fputs("velmora: cannot make the XDG folders; using the working directory\n", stderr);
    QApplication app(argc, argv);
    programStart::nameApplication();

    // Before the window: a job started from the command line must already
    // be stoppable by a signal.
    signalClose closer;
    MainWindow window(line);
    QObject::connect(&closer, &signalClose::closeRequested, &window, &MainWindow::closeWithoutAsking);
    const QString icon = MainWindow::windowIconFile();
    if (!icon.isEmpty())
        window.setWindowIcon(QIcon(icon));
    window.show();
    return app.exec();
}
