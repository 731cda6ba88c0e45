// Wall time of a whole single-file SD update against a box that answers at
// once, compared with what the dialogue's own pacing needs: 70 ms after each
// of the nine command bytes ("100", "100", "300").

#include "sdbox.h"
#include "serialcomkarn.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int size = argc > 1 ? QByteArray(argv[1]).toInt() : 5000;
    const QString image = QDir::temp().filePath(QStringLiteral("velmora-sdpacing.app"));
    {
        QByteArray data(size, 'x');
        data.replace(16, 4, QByteArray::fromHex("00000907"));
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            return 1;
    }
    const int runs = 5;
    double best = 1e9, sum = 0;
    for (int run = 0; run < runs; ++run) {
        sdBox::Config config;
        config.fileQuietMs = 1;
        config.readyDelayMs = 0;
        sdBox box(config);
        if (!box.start())
            return 1;
        serialComKarn link;
        link.setPortname(box.devicePath());
        link.setFilename(image);
        bool done = false;
        QObject::connect(&link, &serialComKarn::sendCurrentAction, [&](int code) { done |= code == 16; });
        QElapsedTimer clock;
        clock.start();
        link.updateFirmware();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (!done)
            return 1;
        best = std::min(best, ms);
        sum += ms;
    }
    QFile::remove(image);
    const double pacing = 9 * 70.0;
    std::printf("sd single-file update (%d bytes): mean %.1f ms, best %.1f ms; pacing needs %.0f ms; ratio mean %.3f, best %.3f (goal <= 1.05)\n",
                size, sum / runs, best, pacing, sum / runs / pacing, best / pacing);
    return 0;
}
