// Start-up time: from constructing the window to the window being exposed,
// in this process (libraries already loaded), over several rounds.
#include "commandline.h"
#include "mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    std::vector<double> ms;
    for (int round = 0; round < 10; ++round) {
        QElapsedTimer t;
        t.start();
        auto *w = new MainWindow(commandLine({}));
        w->show();
        while (!(w->windowHandle() && w->windowHandle()->isExposed()))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        delete w;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("startup: window constructed and shown, 10 rounds: median %.1f ms, best %.1f ms, worst %.1f ms\n",
                ms[ms.size() / 2], ms.front(), ms.back());
    return 0;
}
