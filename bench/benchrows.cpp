// The bench window with sixteen rows on network ports behind a real serial
// server (ser2net), socket:// and rfc2217://, each box reading its HD update
// at the line rate, against the same window with one row:
// (1) the time until every row has ended, against one box alone (goal: at
//     most 1.2 times);
// (2) the program's CPU per box: the process's time less that of the
//     simulated boxes' own threads (goal: at most 0.5% of a core per box);
// (3) the event loop's worst lateness while the rows run, from a 10 ms timer
//     (goal: at most 50 ms).
#include "benchwindow.h"
#include "jobkind.h"
#include "testrig.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int updateBytes = 64 * 1024;
constexpr int manyBoxes = 16;
constexpr int probeMs = 10;
// Far beyond the few seconds an update at the line rate takes.
constexpr int runLimitMs = 300000;

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

double processCpu()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU seconds of the threads that are not the program's: the simulated
// boxes and the rigs' helpers are plain threads that keep the process's
// name, where Qt names each of the program's threads after its object or
// class. The main thread is the program's.
double foreignCpu()
{
    const QString own = readText("/proc/self/comm").trimmed();
    const double ticks = double(::sysconf(_SC_CLK_TCK));
    double sum = 0;
    const QDir tasks("/proc/self/task");
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (tid.toLongLong() == ::getpid() || readText(tasks.filePath(tid + "/comm")).trimmed() != own)
            continue;
        const QString stat = readText(tasks.filePath(tid + "/stat"));
        // After the name in parentheses: the state, then utime and stime as the 12th and 13th.
        const QStringList fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        sum += (fields.value(11).toDouble() + fields.value(12).toDouble()) / ticks;
    }
    return sum;
}

struct Run {
    int rows = 0;
    int done = 0;
    double seconds = 0;
    double programCpu = 0;
    double guiCpu = 0;   // of it, the window's thread
    qint64 worstLateMs = 0;
};

Run runRows(int rows, testRig::Line line)
{
    std::vector<std::unique_ptr<testRig>> rigs;
    QStringList ports;
    hdBox::Behaviour lineRate;
    lineRate.lineRate = true;
    for (int i = 0; i < rows; ++i) {
        rigs.push_back(std::make_unique<testRig>(lineRate));
        ports << rigs.back()->port(line);
        if (ports.last().isEmpty()) {
            std::printf("no serial server: %s\n", qPrintable(rigs.back()->missing));
            return {};
        }
    }
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    testRig::write(folder.filePath("update.app"), hdBox::sampleUpdate(updateBytes));

    Run run;
    run.rows = rows;
    {
        benchWindow bench;
        bench.show();
        while (bench.rowCount() > 0)
            bench.removeRow(0);
        QEventLoop loop;
        int ended = 0;
        for (const QString &port : ports) {
            benchRow *row = bench.addRow({.port = port, .kind = jobKind::UpdateHD, .files = {folder.filePath("update.app")}});
            QObject::connect(row, &benchRow::finished, &loop, [&](jobResult::Outcome outcome) {
                run.done += outcome == jobResult::Done ? 1 : 0;
                if (++ended == rows)
                    loop.quit();
            });
        }
        QElapsedTimer sinceProbe;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        probe.setInterval(probeMs);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            run.worstLateMs = std::max(run.worstLateMs, sinceProbe.elapsed() - probeMs);
            sinceProbe.start();
        });
        QTimer::singleShot(runLimitMs, &loop, &QEventLoop::quit);
        timespec gui0{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &gui0);
        const double cpu = processCpu();
        const double foreign = foreignCpu();
        QElapsedTimer clock;
        clock.start();
        sinceProbe.start();
        probe.start();
        bench.startAll();
        loop.exec();
        run.seconds = double(clock.elapsed()) / 1000.0;
        run.programCpu = (processCpu() - cpu) - (foreignCpu() - foreign);
        timespec gui{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &gui);
        run.guiCpu = double(gui.tv_sec - gui0.tv_sec) + double(gui.tv_nsec - gui0.tv_nsec) / 1e9;
    }
    QDir::setCurrent(QDir::tempPath());
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const Run one = runRows(1, testRig::Line::Socket);
    if (one.rows == 0)
        return 1;
    std::printf("one row on socket://: %d/%d done in %.2f s", one.done, one.rows, one.seconds);
    const struct {
        const char *scheme;
        testRig::Line line;
    } schemes[] = {{"socket://", testRig::Line::Socket}, {"rfc2217://", testRig::Line::Rfc2217}};
    for (const auto &scheme : schemes) {
        const Run many = runRows(manyBoxes, scheme.line);
        if (many.rows == 0)
            return 1;
        std::printf("; %d rows on %s: %d/%d done in %.2f s, %.2f times one box (goal <= 1.2); program CPU %.2f s "
                    "(the window's thread %.2f s), %.2f%% of a core per box (goal <= 0.5%%); event loop at most %lld ms "
                    "late (goal <= 50 ms)",
                    many.rows, scheme.scheme, many.done, many.rows, many.seconds, many.seconds / one.seconds,
                    many.programCpu, many.guiCpu, 100.0 * many.programCpu / many.seconds / many.rows,
                    static_cast<long long>(many.worstLateMs));
    }
    std::printf("\n");
    return 0;
}
