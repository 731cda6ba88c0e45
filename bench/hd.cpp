// Figures of the HD link against the simulated box on a pseudo-terminal:
// (1) CPU of the link thread while a step waits for a silent box,
// (2) reaction latency from a box line to the link's next write,
// (3) raw file throughput compared with cat into the same line.
#include "cpuclock.h"
#include "hdbox.h"
#include "serialcomvesk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void idleCpu(const QString &path, int seconds)
{
    hdBox::Behaviour b;
    b.fileSize = 1050;
    b.finReply = false;   // the finish step then listens to a silent box
    hdBox box(b);
    box.start();
    serialComVesk link(box.devicePath(), path);
    QThread thread;
    link.moveToThread(&thread);
    std::atomic<bool> waiting{false};
    std::atomic<bool> ended{false};
    cpuClock cpu;
    QObject::connect(&link, &serialComVesk::sendCurrentAction, &link, [&](int code) {
        if (code == 61) {
            cpu = cpuClock::ofThisThread();
            waiting = true;
        }
        if (code == 41)
            ended = true;
    }, Qt::DirectConnection);
    thread.start();
    QMetaObject::invokeMethod(&link, "updateFirmware", Qt::QueuedConnection);
    while (!waiting)
        QThread::msleep(5);
    QThread::msleep(50);
    const double c0 = cpu.seconds();
    QElapsedTimer t;
    t.start();
    QThread::sleep(ulong(seconds));
    const double c1 = cpu.seconds();
    const double wall = double(t.elapsed()) / 1000.0;
    link.requestStop();
    while (!ended)
        QThread::msleep(5);
    thread.quit();
    thread.wait();
    std::printf("(1) silent box, link thread in a %d s wait: cpu %.4f s over %.2f s wall = %.3f%% of one core (goal < 1%%)\n",
                seconds, c1 - c0, wall, 100.0 * (c1 - c0) / wall);
}

void latency(const QString &path)
{
    hdBox::Behaviour b;
    b.fileSize = 1050;
    b.unknownCom = 400;   // each answer makes the link send "r" again at once
    hdBox box(b);
    box.start();
    serialComVesk link(box.devicePath(), path);
    link.updateFirmware();
    const std::vector<hdBox::Event> ev = box.events();
    std::vector<double> us;
    for (size_t i = 0; i + 1 < ev.size(); ++i) {
        if (!ev[i].fromBox)
            continue;
        const QByteArray &line = ev[i].bytes;
        if (line != "unknown com\r\n" && line != "load App\r\n" && line != "Restarting ...\r\n")
            continue;
        for (size_t j = i + 1; j < ev.size(); ++j)
            if (!ev[j].fromBox) {
                us.push_back(double(ev[j].ns - ev[i].ns) / 1000.0);
                break;
            }
    }
    std::sort(us.begin(), us.end());
    if (us.empty()) {
        std::printf("(2) no samples\n");
        return;
    }
    std::printf("(2) reaction box line -> next link write, %zu samples: median %.3f ms, p90 %.3f ms, max %.3f ms (goal median < 2 ms)\n",
                us.size(), us[us.size() / 2] / 1000.0, us[us.size() * 9 / 10] / 1000.0, us.back() / 1000.0);
}

void throughput(const QString &path, qint64 size)
{
    double linkSecs = 0;
    {
        hdBox::Behaviour b;
        b.fileSize = size;
        hdBox box(b);
        box.start();
        serialComVesk link(box.devicePath(), path);
        QElapsedTimer t;
        QObject::connect(&link, &serialComVesk::sendCurrentAction, [&](int code) {
            if (code == 57)
                t.start();
            if (code == 58)
                linkSecs = double(t.nsecsElapsed()) / 1e9;
        });
        link.updateFirmware();
        if (box.file().size() != size)
            std::printf("(3) box got %lld of %lld bytes\n", static_cast<long long>(box.file().size()), size);
    }
    double catSecs = 0;
    {
        hdBox::Behaviour b;
        b.silent = true;   // only drains and records
        hdBox box(b);
        box.start();
        const QByteArray cmd = "cat '" + QFile::encodeName(path) + "' > " + box.devicePath().toLocal8Bit();
        QElapsedTimer t;
        t.start();
        if (std::system(cmd.constData()) != 0)
            std::printf("(3) cat failed\n");
        while (box.received().size() < size && t.elapsed() < 30000)
            QThread::usleep(200);
        catSecs = double(t.nsecsElapsed()) / 1e9;
    }
    const double linkRate = double(size) / linkSecs;
    const double catRate = double(size) / catSecs;
    std::printf("(3) sendFile %lld bytes: %.3f s = %.0f bytes/s; cat: %.3f s = %.0f bytes/s; link/cat = %.3f; link/line(11520 B/s) = %.1fx (goal >= 10x)\n",
                size, linkSecs, linkRate, catSecs, catRate, linkRate / catRate, linkRate / 11520.0);
}

} // namespace

int main(int argc, char **argv)
{
    // The restart step's trace would drown the figures.
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString small = dir.filePath("small.app");
    const QString big = dir.filePath("big.app");
    const qint64 mib = 1024 * 1024;
    {
        QFile f(small);
        f.open(QIODevice::WriteOnly);
        f.write(hdBox::sampleUpdate(1050));
        QFile g(big);
        g.open(QIODevice::WriteOnly);
        g.write(hdBox::sampleUpdate(int(mib)));
    }
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    idleCpu(small, seconds > 0 ? seconds : 10);
    latency(small);
    throughput(big, mib);
    return 0;
}
