#include "batchjob.h"

#include "catalogue.h"
#include "commandline.h"
#include "hdstep.h"
#include "jobkind.h"
#include "servicerequest.h"
#include "sdstep.h"
#include "statuscode.h"
#include "statustable.h"
#include "velmoraversion.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstdio>
#include <algorithm>
#include <iterator>
#include <unistd.h>

namespace {

// Exit codes of the errors that are no fault of the box, by the SD code of
// their status-table row (the HD code shares the row).
struct ErrorExit {
    int sdCode;
    int exitCode;
};
const ErrorExit errorExits[] = {
    {.sdCode = sdCode::PortFailed, .exitCode = batchJob::PortFailed},
    {.sdCode = sdCode::FileFailed, .exitCode = batchJob::FileProblem},      // not opened or not written
    {.sdCode = sdCode::WrongFileKind, .exitCode = batchJob::FileProblem},
};

QString text(const char *source)
{
    return QCoreApplication::translate("MainWindow", source);
}

void put(FILE *stream, const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// A port as a file system knows it, so that a device named twice (by
// another path, or by a link such as /dev/serial/by-id/...) is found.
QString identity(const QString &port)
{
    const QString canonical = QFileInfo(port).canonicalFilePath();
    return canonical.isEmpty() ? port : canonical;
}

QString baseName(const QString &port)
{
    const QString name = QFileInfo(port).fileName();
    return name.isEmpty() ? port : name;
}

} // namespace

batchJob::batchJob(const QStringList &args, QObject *parent)
    : QObject(parent), m_args(args), m_terminal(::isatty(STDERR_FILENO) == 1)
{
    // The links trace some of the box's replies as debug messages; here the
    // box's replies stay in the log and standard error is the user's.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    // The window's texts, in the system's language.
    catalogue::load(m_translator, m_translatorQt, catalogue::systemLanguage());
    QCoreApplication::installTranslator(&m_translatorQt);
    QCoreApplication::installTranslator(&m_translator);
}

batchJob::~batchJob() = default;

QString batchJob::logName(const QString &port)
{
    return QStringLiteral("velmora-%1.log").arg(baseName(port));
}

void batchJob::start()
{
    if (m_finished)
        return;
    const commandLine line(m_args);
    // Before any log is opened: the log itself may be what is given twice.
    if (!line.repeated.isEmpty())
        return refuse(tr("%1 may be given only once").arg(line.repeated.join(QStringLiteral(", "))), Usage);
    if (line.ports.isEmpty())
        return refuse(tr("no port given (-p PORT)"), Usage);
    QStringList seen;
    for (const QString &port : line.ports) {
        if (seen.contains(identity(port)))
            return refuse(tr("port named twice: %1").arg(port), Usage);
        seen << identity(port);
    }
    openLogs(line);
    for (const auto &port : m_ports) {
        for (const QString &problem : line.problems)
            port->jobs->writeLog(problem);
        for (const QString &name : line.refused)
            port->jobs->writeLog(jobFiles::refusalLog(name));
    }
    int exitCode = Usage;
    const QString problem = check(line, &exitCode);
    if (!problem.isEmpty())
        return refuse(problem, exitCode);
    for (const auto &port : m_ports)
        port->clock.start();
    if (line.factoryReset || !line.query.isEmpty())
        startService(line);
    else
        startJob(line);
}

// What keeps the run from starting, once its ports are known; empty when nothing.
QString batchJob::check(const commandLine &line, int *exitCode) const
{
    *exitCode = Usage;
    if (!line.unknown.isEmpty())
        return tr("unknown option or job: %1").arg(line.unknown.join(QStringLiteral(", ")));
    const bool service = line.factoryReset || !line.query.isEmpty();
    if (line.factoryReset && !line.query.isEmpty())
        return tr("--query and --factory-reset go one at a time");
    if (service && (line.hasKind || line.hasFiles || !line.refused.isEmpty() || line.verify))
        return tr("a service request takes no job and no file");
    if (line.factoryReset && !line.yes)
        return tr("--factory-reset would set the HD box on each port given back to its factory settings; "
                  "its channel list and settings would be lost. Add --yes to send the reset.");
    const serviceRequest *request = serviceRequest::find(line.query);
    if (!line.query.isEmpty() && (!request || !request->answer))
        return tr("unknown query: %1 (software, lowpower or mac)").arg(line.query);
    if (!line.refused.isEmpty()) {
        *exitCode = FileProblem;
        return jobFiles::refusalLog(line.refused.first());
    }
    if (service)
        return QString();
    const jobKind::Row *job = jobKind::find(line.kind);
    if (!job)
        return tr("no job given (-t JOB, or a file recognised by its content)");
    if (line.files.isEmpty())
        return tr("no file given (-f FILE)");
    if (line.verify && line.kind != jobKind::SendListHD && line.kind != jobKind::SendListSD)
        return tr("--verify goes only with SendListHD or SendListSD");
    if (!job->sendsFile && m_ports.size() > 1)
        return tr("a download writes one file: give it one port");
    return QString();
}

// One runner per port; its log opens with a header that names the run.
void batchJob::openLogs(const commandLine &line)
{
    const QString files = line.files.names().join(QStringLiteral(", "));
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (const QString &name : line.ports) {
        auto port = std::make_unique<Port>();
        port->name = name;
        const logfile::Target log{.path = line.log.isEmpty() ? logName(name) : line.log, .append = true,
                                  .tag = baseName(name)};
        const QString header = QStringLiteral("========== ") + when + QStringLiteral(" Velmora " VELMORA_VERSION ": ") +
                               jobName(line) + QStringLiteral(" on ") + name +
                               (files.isEmpty() ? QString() : QStringLiteral(", files ") + files) +
                               QStringLiteral(" ==========");
        port->jobs = std::make_unique<jobRunner>(log, QStringList{header});
        port->jobs->setPortname(name);
        Port *at = port.get();
        connect(at->jobs.get(), &jobRunner::statusCode, this, [this, at](int code) { onAction(*at, code); });
        connect(at->jobs.get(), &jobRunner::progress, this, [this, at](int percent) { onProgress(*at, percent); });
        m_ports.push_back(std::move(port));
    }
}

QString batchJob::jobName(const commandLine &line) const
{
    if (line.factoryReset)
        return QStringLiteral("--factory-reset");
    if (!line.query.isEmpty())
        return QStringLiteral("--query ") + line.query;
    const jobKind::Row *job = jobKind::find(line.kind);
    return job ? QString::fromLatin1(job->keyword) : QStringLiteral("no job");
}

void batchJob::startService(const commandLine &line)
{
    const serviceRequest *row = serviceRequest::find(line.factoryReset ? QStringLiteral("factory-reset") : line.query);
    m_requestCode = row->code;
    m_wantsAnswer = row->answer;
    for (const auto &port : m_ports) {
        Port *at = port.get();
        if (row->answer)
            connect(&at->jobs->linkHD(), row->answer, this, [at](const QString &answer) {
                at->answered = true;
                at->answer = answer.trimmed();
            });
        at->jobs->request(row->request);
    }
}

void batchJob::startJob(const commandLine &line)
{
    if (jobKind::find(line.kind)->sendsFile)
        for (const QString &file : line.files.names())
            m_bytes += QFileInfo(file).size();
    for (const auto &port : m_ports) {
        port->jobs->setVerify(line.verify);
        port->jobs->start(line.kind, line.files);
    }
}

void batchJob::interrupt()
{
    if (m_finished)
        return;
    m_interrupted = true;
    if (m_ports.empty())
        return finish(Interrupted);
    say(QStringLiteral("velmora: ") + tr("interrupted; the jobs stop at their next wait"));
    for (const auto &port : m_ports)
        port->jobs->requestStop();
}

void batchJob::onAction(Port &port, int code)
{
    if (m_finished || port.finished)
        return;   // a second end code of the same job
    port.codes << code;
    const statusTable::Entry *row = statusTable::find(code);
    if (!row) {
        if (code != m_requestCode)
            say(portText(port, text(QT_TRANSLATE_NOOP("MainWindow", "Received unknown message: %1")).arg(code)));
        return;
    }
    if (row->status)
        say(portText(port, text(row->status)));
    if (row->kind != statusTable::JobEnded)
        return;
    const int exitCode = outcome(port);
    if (exitCode == Done && startUnconfirmed(port))
        say(QStringLiteral("velmora: ") +
            portText(port, tr("warning: the box did not confirm its start; check that it runs")));
    portDone(port, exitCode);
}

// The port's exit code; its result text is that of the code that decides it.
int batchJob::outcome(Port &port) const
{
    const statusTable::Entry *result = nullptr;
    const statusTable::Entry *error = nullptr;
    for (int code : port.codes) {
        const statusTable::Entry *row = statusTable::find(code);
        // The last result tells (an upload, then its read-back); an error
        // after a result undoes it: an upload that its read-back does not
        // confirm is no success.
        if (row && row->kind == statusTable::Result) {
            result = row;
        } else if (row && row->kind == statusTable::Error && (result || !error)) {
            result = nullptr;
            error = row;
        }
    }
    // A reset waits for no answer: sent is done.
    const bool sent = m_requestCode >= 0 && !m_wantsAnswer && !error && !m_interrupted;
    port.result = result ? text(result->status) : port.answered ? port.answer : sent ? tr("sent") : QString();
    if (!port.result.isEmpty())
        return Done;
    if (m_interrupted) {
        port.result = tr("interrupted");
        return Interrupted;
    }
    port.result = error ? text(error->status) : tr("no answer");
    if (error)
        for (const ErrorExit &e : errorExits)
            if (error->sdCode == e.sdCode)
                return e.exitCode;
    return BoxFailed;
}

// The box's start at the end of a load: its step began but never succeeded,
// yet the link reports the job as done.
bool batchJob::startUnconfirmed(const Port &port) const
{
    const int begun[] = {sdStep::startSettopbox.startCode, hdStep::startSettopbox.startCode};
    const int confirmed[] = {sdStep::startSettopbox.okCode, hdStep::startSettopbox.okCode};
    for (std::size_t i = 0; i < std::size(begun); ++i) {
        const int at = port.codes.lastIndexOf(begun[i]);
        if (at >= 0 && port.codes.lastIndexOf(confirmed[i]) < at)
            return true;
    }
    return false;
}

void batchJob::refuse(const QString &problem, int exitCode)
{
    say(QStringLiteral("velmora: ") + problem);
    if (exitCode == Usage)
        say(tr("Try 'velmora --help'."));
    for (const auto &port : m_ports) {
        port->jobs->writeLog(problem);
        port->result = problem;
        portDone(*port, exitCode);
    }
    finish(exitCode);
}

// The port's end in its log; the run ends with its last port.
void batchJob::portDone(Port &port, int exitCode)
{
    port.finished = true;
    port.exitCode = exitCode;
    port.ms = port.clock.isValid() ? port.clock.elapsed() : 0;
    port.jobs->writeLog(QStringLiteral("========== END: exit code %1, %2 ==========").arg(exitCode).arg(port.result));
    int worst = Done;
    for (const auto &each : m_ports) {
        if (!each->finished)
            return drawBlock();
        worst = std::max(worst, each->exitCode);
    }
    finish(worst);
}

void batchJob::finish(int exitCode)
{
    if (m_finished)
        return;
    m_finished = true;
    clearBlock();
    const bool started = !m_ports.empty() && m_ports.front()->clock.isValid();
    if (started && m_ports.size() > 1)
        printSummary();
    printAnswers();
    for (const auto &port : m_ports)
        port->jobs->shutDown();
    emit finished(exitCode);
}

// A table of every port: its result and how long it took.
void batchJob::printSummary()
{
    const QString head[] = {tr("port"), tr("result"), tr("time")};
    int width[] = {int(head[0].size()), int(head[1].size())};
    for (const auto &port : m_ports) {
        width[0] = std::max(width[0], int(port->name.size()));
        width[1] = std::max(width[1], int(port->result.size()));
    }
    QString table = head[0].leftJustified(width[0] + 2) + head[1].leftJustified(width[1] + 2) + head[2] + '\n';
    for (const auto &port : m_ports)
        table += port->name.leftJustified(width[0] + 2) + port->result.leftJustified(width[1] + 2) +
                 tr("%1 s").arg(double(port->ms) / 1000.0, 0, 'f', 1) + '\n';
    put(stderr, table);
}

// One port: the answer alone; several: "port<TAB>answer", one a line.
void batchJob::printAnswers()
{
    if (!m_wantsAnswer)
        return;
    for (const auto &port : m_ports) {
        if (m_ports.size() == 1 && port->exitCode == Done)
            put(stdout, port->answer + QLatin1Char('\n'));
        else if (m_ports.size() > 1 && port->answered)
            put(stdout, port->name + QLatin1Char('\t') + port->answer + QLatin1Char('\n'));
    }
}

void batchJob::onProgress(Port &port, int percent)
{
    // A service request's progress is only its wait for the answer.
    if (m_finished || port.finished || m_requestCode >= 0)
        return;
    percent = qBound(0, percent, 100);
    if (!port.progressClock.isValid())
        port.progressClock.start();
    if (m_terminal) {
        if (percent != port.percent) {
            port.percent = percent;
            drawBlock();
        }
        return;
    }
    // A log or a pipe gets plain lines, at most one a second per port.
    if (percent == port.percent || (port.lineClock.isValid() && port.lineClock.elapsed() < 1000))
        return;
    port.lineClock.start();
    port.percent = percent;
    put(stderr, portText(port, QStringLiteral("%1%").arg(percent)) + QLatin1Char('\n'));
}

// With several ports, each line says whose it is.
QString batchJob::portText(const Port &port, const QString &text) const
{
    return m_ports.size() > 1 ? port.name + QStringLiteral(": ") + text : text;
}

QString batchJob::barLine(const Port &port) const
{
    const int width = 30;
    const int percent = std::max(port.percent, 0);
    const int filled = percent * width / 100;
    QString bar = QStringLiteral("[%1%2] %3%")
                      .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
                      .arg(percent, 3);
    if (m_bytes > 0)
        bar += QStringLiteral("  %L1 / %L2 bytes").arg(m_bytes * percent / 100).arg(m_bytes);
    const qint64 ms = port.progressClock.isValid() ? port.progressClock.elapsed() : 0;
    if (percent > 0 && percent < 100 && ms >= 1000) {
        const qint64 left = ms * (100 - percent) / percent / 1000;
        bar += QStringLiteral("  %1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
    }
    return portText(port, bar);
}

// On a terminal: one line per running port under the messages, drawn anew
// over itself with cursor movements.
void batchJob::drawBlock()
{
    if (!m_terminal || m_finished)
        return;
    clearBlock();
    QString block;
    for (const auto &port : m_ports) {
        if (port->finished || port->percent < 0)
            continue;
        block += barLine(*port) + QLatin1Char('\n');
        ++m_blockLines;
    }
    put(stderr, block);
}

void batchJob::clearBlock()
{
    if (m_blockLines == 0)
        return;
    put(stderr, QStringLiteral("\033[%1A\r\033[J").arg(m_blockLines));
    m_blockLines = 0;
}

void batchJob::say(const QString &line)
{
    const bool redraw = m_blockLines > 0;
    clearBlock();
    put(stderr, line + QLatin1Char('\n'));
    if (redraw)
        drawBlock();
}
