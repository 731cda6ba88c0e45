// Several boxes in one batch run, against simulated HD boxes on
// pseudo-terminals, in this process:
// (1) wall time of an update on 8 boxes at once against one box (goal: at
//     most 1.2 times as long),
// (2) CPU of the link threads while 8 jobs wait on boxes that stay silent
//     (goal: under 1% of a core per waiting link thread).
#include "batchjob.h"
#include "commandline.h"
#include "cpuclock.h"
#include "hdbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Simulated boxes and the batch command line that names them all.
struct Boxes {
    std::vector<std::unique_ptr<hdBox>> boxes;
    QStringList args{QStringLiteral("velmora"), QStringLiteral("--batch")};
    Boxes(int count, const hdBox::Behaviour &b, const QString &file)
    {
        for (int i = 0; i < count; ++i) {
            boxes.emplace_back(new hdBox(b));
            boxes.back()->start();
            args << QStringLiteral("-p") << boxes.back()->devicePath();
        }
        args << QStringLiteral("-t") << QStringLiteral("UpdateHD") << QStringLiteral("-f") << file;
    }
};

// The wall time of one batch run in ms; `meanwhile` runs once it started.
qint64 runOnce(const QStringList &args, int *exitCode, const std::function<void(batchJob &)> &meanwhile = {})
{
    batchJob job{commandLine(args)};
    QEventLoop loop;
    QObject::connect(&job, &batchJob::finished, &loop, [&](int code) {
        *exitCode = code;
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, &job, &batchJob::start);
    if (meanwhile)
        QTimer::singleShot(0, &job, [&] { meanwhile(job); });
    loop.exec();
    return clock.elapsed();
}

// CPU seconds of this process's threads named `name`, from /proc.
double threadCpu(const QByteArray &name, int *count)
{
    double ticks = 0;
    *count = 0;
    for (const QString &tid : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != name || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // Past the name in parentheses: utime and stime are fields 14 and 15.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        ticks += fields.value(11).toDouble() + fields.value(12).toDouble();
        ++*count;
    }
    return ticks / cpuClock::ticksPerSecond();
}

// The median of three runs each: one box, then `count` boxes in one run.
void ratio(const QString &file, int count)
{
    hdBox::Behaviour b;
    b.flashDelayMs = 500;   // as the standalone box plays a real one
    b.finDelayMs = 800;
    std::vector<qint64> single, all;
    int singleCode = -1, code = -1;
    for (int i = 0; i < 3; ++i) {
        Boxes one(1, b, file);
        single.push_back(runOnce(one.args, &singleCode));
        Boxes many(count, b, file);
        all.push_back(runOnce(many.args, &code));
    }
    std::sort(single.begin(), single.end());
    std::sort(all.begin(), all.end());
    std::printf("(1) update of %lld bytes (median of 3): 1 box %.2f s (exit %d), %d boxes in one run %.2f s "
                "(exit %d): ratio %.2f (goal <= 1.2)\n",
                qlonglong(QFile(file).size()), double(single[1]) / 1000.0, singleCode, count,
                double(all[1]) / 1000.0, code, double(all[1]) / double(single[1]));
}

void idle(const QString &file, int count, int seconds)
{
    hdBox::Behaviour b;
    b.flashReply = false;   // each link then waits for a flash that never comes
    Boxes many(count, b, file);
    const qint64 size = QFile(file).size();
    int code = -1;
    runOnce(many.args, &code, [&](batchJob &job) {
        for (const auto &box : many.boxes)
            while (box->file().size() < size)
                QThread::msleep(20);
        QThread::msleep(300);
        // Qt names its worker threads "QThread": the link threads and the
        // runs' log writers, all waiting now.
        int threads = 0;
        const double c0 = threadCpu("QThread", &threads);
        QElapsedTimer t;
        t.start();
        QThread::sleep(ulong(seconds));
        const double c1 = threadCpu("QThread", &threads);
        const double wall = double(t.elapsed()) / 1000.0;
        std::printf("(2) %d links waiting on silent boxes for %.1f s: their %d worker threads (link and log) "
                    "used %.3f s of CPU, at most %.3f%% of one core per link thread (goal < 1%%)\n",
                    count, wall, threads, c1 - c0, 100.0 * (c1 - c0) / wall / count);
        job.interrupt();
    });
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // The runs write their logs to the working directory.
    QDir::setCurrent(dir.path());
    const QString file = dir.filePath(QStringLiteral("update.app"));
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(hdBox::sampleUpdate(256 * 1024));
    }
    const int count = 8;
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    ratio(file, count);
    idle(file, count, seconds > 0 ? seconds : 5);
    return 0;
}
