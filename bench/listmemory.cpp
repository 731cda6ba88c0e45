// Peak memory of a 400 KB list download, for the HD and the SD link: the
// rise of this process's peak resident set over the download, with the
// simulated box running as a program of its own so that only the link's
// memory is counted. Each family runs in a process of its own ("hd" or "sd"
// as argument); without one, both run.
#include "hdbox.h"
#include "sdbox.h"
#include "serialcomkarn.h"
#include "serialcomvesk.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
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

// A box program serving `list`; its device path, or empty.
QString startBox(QProcess &box, const char *program, const QString &file, const QByteArray &list)
{
    QFile source(file);
    if (!source.open(QIODevice::WriteOnly) || source.write(list) != list.size())
        return QString();
    source.close();
    box.start(QString::fromLatin1(program), {QStringLiteral("--list"), file});
    if (!box.waitForReadyRead(5000))
        return QString();
    return QString::fromLocal8Bit(box.readLine()).trimmed();
}

template <class Link>
int measure(const char *family, const char *boxProgram, const QByteArray &list, int doneCode, int endCode)
{
    QTemporaryDir dir;
    QProcess warmBox;
    QProcess box;
    const QString warmDevice = startBox(warmBox, boxProgram, dir.filePath(QStringLiteral("small")), list.left(2048));
    const QString device = startBox(box, boxProgram, dir.filePath(QStringLiteral("box.list")), list);
    if (warmDevice.isEmpty() || device.isEmpty())
        return 2;
    const QString target = dir.filePath(QStringLiteral("list.saved"));
    Link link;
    link.setFilename(target);
    QThread thread;
    link.moveToThread(&thread);
    std::atomic<int> ended{0};
    std::atomic<int> saved{0};
    QObject::connect(&link, &Link::sendCurrentAction, &link, [&](int code) {
        if (code == doneCode)
            ++saved;
        if (code == endCode)
            ++ended;
    }, Qt::DirectConnection);
    thread.start();

    // A small download first: the thread, the port and the code they run are
    // there once, whatever the list; the figure is what the list itself costs.
    link.setPortname(warmDevice);
    QMetaObject::invokeMethod(&link, "getChannellist", Qt::QueuedConnection);
    while (ended < 1)
        QThread::msleep(10);
    link.setPortname(device);
    // Reset the peak to the present resident size, then measure the rise.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long before = statusKb("VmRSS:");
    QMetaObject::invokeMethod(&link, "getChannellist", Qt::QueuedConnection);
    while (ended < 2)
        QThread::msleep(10);
    const long peak = statusKb("VmHWM:");
    thread.quit();
    thread.wait();
    for (QProcess *p : {&warmBox, &box}) {
        p->closeWriteChannel();
        p->kill();
        p->waitForFinished();
    }
    QFile written(target);
    const bool ok = saved == 2 && written.open(QIODevice::ReadOnly) && written.readAll() == list;
    std::printf("%s list download %lld bytes (%s): peak RSS rise %ld KiB = %.2f x the list\n", family, static_cast<long long>(list.size()),
                ok ? "saved" : "FAILED", peak - before, double(peak - before) * 1024.0 / list.size());
    return ok ? 0 : 1;
}

QByteArray grown(QByteArray list)
{
    const int size = qEnvironmentVariableIntValue("VELMORA_LIST_KB") > 0 ? qEnvironmentVariableIntValue("VELMORA_LIST_KB") * 1024 : 400 * 1024;
    while (list.size() < size)
        list += list.mid(20, 4096);
    list.truncate(size);
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString family = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (family == QLatin1String("hd"))
        return measure<serialComVesk>("HD", HDBOX_PROGRAM, grown(hdBox::sampleList()), 45, 41);
    if (family == QLatin1String("sd"))
        return measure<serialComKarn>("SD", SDBOX_PROGRAM, grown(sdBox::plausibleList()), 5, 1);
    int failed = 0;
    for (const char *f : {"hd", "sd"}) {
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(f)});
        failed += !run.waitForFinished(120000) || run.exitCode() != 0;
    }
    return failed;
}
