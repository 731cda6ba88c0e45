// CPU time of the SD link's thread while it waits the full 30 s for a box
// that never reports back after a file.

#include "cpuclock.h"
#include "linkclock.h"
#include "sdbox.h"
#include "serialcomkarn.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

static double threadCpuMs()
{
    return cpuClock::ofThisThread().seconds() * 1000.0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString image = QDir::temp().filePath(QStringLiteral("velmora-sdidle.app"));
    {
        QByteArray data(300, 'x');
        data.replace(16, 4, QByteArray::fromHex("00000907"));
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            return 1;
    }
    sdBox::Config config;
    config.finishSilent = true;
    sdBox box(config);
    if (!box.start())
        return 1;
    serialComKarn link;
    link.setPortname(box.devicePath());
    link.setFilename(image);

    double cpuStart = 0, cpuEnd = 0;
    QElapsedTimer wall;
    qint64 wallMs = 0;
    // Runs on the link's thread (direct connection): the figures are its own.
    QObject::connect(&link, &serialComKarn::sendCurrentAction, [&](int code) {
        if (code == 11) {
            cpuStart = threadCpuMs();
            wall.start();
        } else if (code == 27) {
            cpuEnd = threadCpuMs();
            wallMs = wall.elapsed();
            link.requestStop(); // no start afterwards: only the wait is measured
        }
    });
    link.updateFirmware();
    QFile::remove(image);
    if (!wallMs) {
        std::printf("the wait did not run out as expected\n");
        return 1;
    }
    const double cpu = cpuEnd - cpuStart;
    std::printf("sd idle wait: window %lld ms, link thread CPU %.1f ms, %.3f %% of one core (goal < 1 %%)\n",
                static_cast<long long>(wallMs), cpu, cpu * 100.0 / double(wallMs));
    return 0;
}
