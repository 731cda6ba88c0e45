// Peak memory of an HD list download of 400 KB: the rise of this process's
// peak resident set over the download, with the simulated box running as a
// program of its own so that only the link's memory is counted.
#include "hdbox.h"
#include "serialcomvesk.h"

#include <QCoreApplication>
#include <QProcess>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

long statusKb(const char *key)
{
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::string(key).size()));
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QByteArray list = hdBox::sampleList();
    while (list.size() < 400 * 1024)
        list += list.mid(20, 4096);
    list.truncate(400 * 1024);
    QFile source(dir.filePath(QStringLiteral("box.lis")));
    source.open(QIODevice::WriteOnly);
    source.write(list);
    source.close();
    QProcess box;
    box.start(QStringLiteral(HDBOX_PROGRAM), {QStringLiteral("--list"), source.fileName()});
    if (!box.waitForReadyRead(5000))
        return 2;
    const QString device = QString::fromLocal8Bit(box.readLine()).trimmed();
    const QString target = dir.filePath(QStringLiteral("list.lis"));
    serialComVesk link(device, target);
    QThread thread;
    link.moveToThread(&thread);
    std::atomic<int> ended{0};
    std::atomic<bool> saved{false};
    QObject::connect(&link, &serialComVesk::sendCurrentAction, &link, [&](int code) {
        if (code == 45)
            saved = true;
        if (code == 41)
            ++ended;
    }, Qt::DirectConnection);
    thread.start();

    // Reset the peak to the present resident size, then measure the rise.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long before = statusKb("VmRSS:");
    QMetaObject::invokeMethod(&link, "getChannellist", Qt::QueuedConnection);
    while (ended == 0)
        QThread::msleep(10);
    const long peak = statusKb("VmHWM:");
    thread.quit();
    thread.wait();
    box.closeWriteChannel();
    box.kill();
    box.waitForFinished();
    const qint64 written = QFile(target).size();
    std::printf("list download %d bytes (%s, file %lld bytes): peak RSS rise %ld KiB = %.2f x the list\n",
                list.size(), saved ? "saved" : "FAILED", written, peak - before,
                double(peak - before) * 1024.0 / double(list.size()));
    return saved && written == list.size() ? 0 : 1;
}
