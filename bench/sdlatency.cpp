// Reaction time of the SD link: from the box writing a line that ends a
// step to the first byte of the link's next command reaching the box.

#include "linkclock.h"
#include "sdbox.h"
#include "serialcomkarn.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Only the reaction is measured; shorter pacing keeps the run short.
    linkClock::setScale(0.1);
    const QString image = QDir::temp().filePath(QStringLiteral("velmora-sdlatency.app"));
    {
        QByteArray data(300, 'x');
        data.replace(16, 4, QByteArray::fromHex("00000907"));
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            return 1;
    }
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 30;
    std::vector<double> latencies;
    for (int run = 0; run < runs; ++run) {
        sdBox::Config config;
        config.sucLine.clear();
        config.fileQuietMs = 5;
        sdBox box(config);
        if (!box.start())
            return 1;
        serialComKarn link;
        link.setPortname(box.devicePath());
        link.setFilename(image);
        link.updateFirmware();
        box.stop();
        // "Upload Ch_Data" is followed by "100", "ready" by "300".
        const QList<sdBox::Event> events = box.timeline();
        for (int i = 0; i < events.size(); ++i) {
            const sdBox::Event &e = events[i];
            if (!e.fromBox || !(e.bytes.contains("Upload Ch_Data") || e.bytes.contains("ready")))
                continue;
            for (int j = i + 1; j < events.size(); ++j) {
                if (!events[j].fromBox) {
                    latencies.push_back(double(events[j].us - e.us) / 1000.0);
                    break;
                }
            }
        }
    }
    QFile::remove(image);
    if (latencies.empty())
        return 1;
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies[latencies.size() / 2];
    const double p90 = latencies[latencies.size() * 9 / 10];
    std::printf("sd reaction latency over %zu replies: median %.3f ms, 90th percentile %.3f ms, max %.3f ms (goal: median < 2 ms)\n",
                latencies.size(), median, p90, latencies.back());
    return 0;
}
