// Boxes behind a real serial server (ser2net), the program run as it is:
// (1) an HD update over rfc2217:// against the same update on the local
//     pseudo-terminal, the box reading at the line rate (goal: ratio at most 1.05);
// (2) sixteen boxes in one batch run, each reading a 96 KB update at the
//     line rate, on local pseudo-terminals, socket:// and rfc2217:// one
//     after the other (goals: all updated; on either network scheme at most
//     0.3% of a core per box for the program and at most 1.2 times what the
//     local ptys cost);
// (3) a box that babbles megabytes without a line end before each reply, on
//     both schemes (goal: the same outcome and time on both, the program's
//     CPU in step with the bytes: about a second for 20 MB).
// Arguments pick parts ("transports", "boxes", "babble"); none runs all.
// VELMORA_BENCH_WRAP, when set, goes before the program's command, so that a
// profiler can run it: `VELMORA_BENCH_WRAP="perf record -g -o /tmp/p.data"`.
#include "testrig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int updateBytes = 96 * 1024;
constexpr int manyBoxes = 16;
constexpr int rounds = 2;
constexpr int babbleBytes = 4 * 1024 * 1024;

struct Run {
    int exitCode = -1;
    double wallSeconds = 0;
    double cpuSeconds = 0;   // the program's user and system time
};

// The program under bash, whose "times" gives its children's CPU time.
Run runProgram(const QString &folder, const QStringList &args)
{
    QStringList quoted;
    for (const QString &arg : args)
        quoted << "'" + arg + "'";
    QProcess shell;
    shell.setWorkingDirectory(folder);
    shell.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    const QString wrap = qEnvironmentVariable("VELMORA_BENCH_WRAP");
    shell.start("bash", {"-c", QStringLiteral("%1 '%2' %3; code=$?; times; exit $code").arg(wrap, VELMORA_PROGRAM, quoted.join(' '))});
    shell.waitForFinished(-1);
    Run run;
    run.wallSeconds = clock.elapsed() / 1000.0;
    run.exitCode = shell.exitCode();
    // The second line of "times": the children's user and system time.
    const QStringList lines = QString::fromLocal8Bit(shell.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QRegularExpression time("(\\d+)m([\\d.]+)s");
    auto it = time.globalMatch(lines.value(1));
    while (it.hasNext()) {
        const auto m = it.next();
        run.cpuSeconds += m.captured(1).toDouble() * 60 + m.captured(2).toDouble();
    }
    return run;
}

std::unique_ptr<testRig> lineRateBox()
{
    hdBox::Behaviour b;
    b.lineRate = true;
    auto rig = std::make_unique<testRig>(b);
    testRig::write(rig->path("update.app"), hdBox::sampleUpdate(updateBytes));
    return rig;
}

void compareTransports()
{
    double best[2] = {1e9, 1e9};
    for (int round = 0; round < rounds; ++round) {
        const testRig::Line lines[] = {testRig::Line::Pty, testRig::Line::Rfc2217};
        for (int i = 0; i < 2; ++i) {
            auto rig = lineRateBox();
            const QString port = rig->port(lines[i]);
            const Run run = runProgram(rig->dir.path(), {"--batch", "-p", port, "-t", "UpdateHD", "-f", "update.app"});
            if (run.exitCode != 0)
                std::printf("update over %s failed (exit code %d)\n", qPrintable(port), run.exitCode);
            best[i] = qMin(best[i], run.wallSeconds);
        }
    }
    std::printf("HD update of %d KB at the line rate: pty %.2f s, rfc2217 %.2f s, ratio %.3f (goal <= 1.05)\n",
                updateBytes / 1024, best[0], best[1], best[1] / best[0]);
}

// Sixteen boxes in one batch run; the program's CPU per box, in % of a core.
double manyBoxesOn(testRig::Line kind, const char *name)
{
    std::vector<std::unique_ptr<testRig>> rigs;
    for (int i = 0; i < manyBoxes; ++i)
        rigs.push_back(lineRateBox());
    QStringList args{"--batch", "-t", "UpdateHD", "-f", rigs.front()->path("update.app")};
    for (const auto &rig : rigs)
        args << "-p" << rig->port(kind);
    const Run run = runProgram(rigs.front()->dir.path(), args);
    int updated = 0;
    for (const auto &rig : rigs)
        updated += rig->hd->file().size() == updateBytes;
    const double perBox = 100.0 * run.cpuSeconds / run.wallSeconds / manyBoxes;
    std::printf("%d boxes on %s in one run, %d KB each: %d updated, exit code %d, %.1f s, program CPU %.2f s, "
                "%.3f%% of a core per box\n",
                manyBoxes, name, updateBytes / 1024, updated, run.exitCode, run.wallSeconds, run.cpuSeconds, perBox);
    std::fflush(stdout);
    return perBox;
}

void compareSchemes()
{
    const double local = manyBoxesOn(testRig::Line::Pty, "local ptys");
    const struct {
        testRig::Line kind;
        const char *name;
    } schemes[] = {{.kind = testRig::Line::Socket, .name = "socket://"}, {.kind = testRig::Line::Rfc2217, .name = "rfc2217://"}};
    for (const auto &s : schemes) {
        const double perBox = manyBoxesOn(s.kind, s.name);
        std::printf("%s against local ptys: %.3f%% against %.3f%% of a core per box, ratio %.2f "
                    "(goals: <= 1.2, <= 0.3%%)\n", s.name, perBox, local, perBox / local);
    }
}

void babbleOn(testRig::Line kind, const char *name)
{
    hdBox::Behaviour b;
    b.longLine = babbleBytes;
    testRig rig(b);
    testRig::write(rig.path("update.app"), hdBox::sampleUpdate(updateBytes));
    const Run run = runProgram(rig.dir.path(), {"--batch", "-p", rig.port(kind), "-t", "UpdateHD", "-f", "update.app"});
    std::printf("%d MB without a line end before each reply on %s: exit code %d after %.1f s, "
                "program CPU %.2f s\n", babbleBytes >> 20, name, run.exitCode, run.wallSeconds, run.cpuSeconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList parts = app.arguments().mid(1);
    const auto wanted = [&](const char *part) { return parts.isEmpty() || parts.contains(QLatin1String(part)); };
    if (wanted("transports"))
        compareTransports();
    if (wanted("boxes"))
        compareSchemes();
    if (wanted("babble")) {
        babbleOn(testRig::Line::Rfc2217, "rfc2217://");
        babbleOn(testRig::Line::Socket, "socket://");
    }
    return 0;
}
