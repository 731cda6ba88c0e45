#include "batchjob.h"

#include "catalogue.h"
#include "commandline.h"
#include "jobkind.h"
#include "portaddress.h"
#include "portlist.h"
#include "servicerequest.h"
#include "statustable.h"
#include "terminal.h"
#include "velmoraversion.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("MainWindow", source);
}

// The device's base name, or "host_port" for a serial server's port.
QString baseName(const QString &port)
{
    return portAddress::parse(port).fileTag();
}

// Plain progress lines on a pipe or a log: at most one a second per port.
constexpr qint64 plainLineMs = 1000;
// The width of a progress bar on a terminal.
constexpr int barWidth = 30;
// Before a job is tried again: a re-plugged adapter or a box switched on
// late has a moment to come up.
constexpr int retryPauseMs = 1000;
constexpr int mostRetries = 100;
// A shorter wait is over before a count would tell anything.
constexpr qint64 longWaitMs = 3000;
constexpr int tickMs = 1000;
// What the log of a port says of a box left half-loaded.
const char halfUpdatedLog[] = "The box may be left half-updated: update it again before you start it";

} // namespace

batchJob::batchJob(const commandLine &line, QObject *parent)
    : QObject(parent), m_line(std::make_unique<commandLine>(line)), m_terminal(terminal::drawsOnStderr())
{
    // The links trace some of the box's replies as debug messages; here the
    // box's replies stay in the log and standard error is the user's.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    // The window's texts, in the system's language.
    catalogue::load(m_translator, m_translatorQt, catalogue::systemLanguage());
    m_tick.setInterval(tickMs);
    connect(&m_portCheck, &portCheck::checked, this, &batchJob::portsChecked);
    connect(&m_tick, &QTimer::timeout, this, &batchJob::drawBlock);
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
    const commandLine &line = *m_line;
    m_jobName = jobName(line);
    // Before any log is opened: the log itself may be what is given twice.
    if (!line.repeated.isEmpty())
        return refuse(tr("%1 may be given only once").arg(line.repeated.join(QStringLiteral(", "))), Usage);
    if (line.ports.isEmpty())
        return refuse(tr("no port given (-p PORT)"), Usage);
    if (line.ports.contains(QString()))
        return refuse(tr("an empty port name was given (-p \"\")"), Usage);
    // One port cannot be named twice; a lone port's server's name is looked
    // up when it connects, not here too.
    if (line.ports.size() < 2)
        return startChecked();
    m_portCheck.check(line.ports);
}

// Once no port is named twice under another spelling.
void batchJob::portsChecked(const QStringList &identities)
{
    if (m_finished)
        return;
    for (int i = 0; i < identities.size(); ++i)
        if (identities.indexOf(identities.at(i)) < i)
            return refuse(tr("port named twice: %1").arg(m_line->ports.at(i)), Usage);
    startChecked();
}

void batchJob::startChecked()
{
    const commandLine &line = *m_line;
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
    const jobKind::Row *job = jobKind::find(line.kind);
    m_macTarget = job && !job->sendsFile && !line.factoryReset && line.query.isEmpty() &&
                  jobRequest::needsMac(line.files.first());
    openRecords(line);
    for (const auto &port : m_ports)
        port->started = QDateTime::currentDateTime();
    if (refuseFiles(line))
        return;
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
    if (line.hasKind && line.kind == jobKind::None) {
        const QString meant = jobKind::nearest(line.unknown.value(line.unknown.size() - 1));
        return tr("unknown option or job: %1").arg(line.unknown.join(QStringLiteral(", "))) + QLatin1Char('\n') +
               (meant.isEmpty() ? QString() : tr("did you mean %1?").arg(meant) + QLatin1Char('\n')) +
               tr("the jobs are %1").arg(jobKind::keywords().join(QStringLiteral(", ")));
    }
    if (!line.unknown.isEmpty())
        return tr("unknown option or job: %1").arg(line.unknown.join(QStringLiteral(", ")));
    const bool service = line.factoryReset || !line.query.isEmpty();
    if (line.factoryReset && !line.query.isEmpty())
        return tr("--query and --factory-reset go one at a time");
    if (service && (line.hasKind || line.hasFiles || !line.refused.isEmpty() || line.verify || line.identify))
        return tr("a service request takes no job and no file");
    if (service && line.loop)
        return tr("--loop goes only with a job (-t JOB), not with a service request");
    if (line.factoryReset && !line.yes)
        return tr("--factory-reset would set the HD box on each port given back to its factory settings; "
                  "its channel list and settings would be lost. Add --yes to send the reset.");
    const serviceRequest *request = serviceRequest::find(line.query);
    if (!line.query.isEmpty() && (!request || request->query == serviceRequest::FactoryReset))
        return tr("unknown query: %1 (software, lowpower or mac)").arg(line.query);
    if (!line.refused.isEmpty()) {
        *exitCode = FileProblem;
        return jobFiles::refusalLog(line.refused.first());
    }
    if (!line.undecodable.isEmpty()) {
        *exitCode = FileProblem;
        return tr("the name %1 is not valid in the system's encoding (UTF-8): it would be read or written "
                  "under other bytes; rename the file").arg(line.undecodable.first());
    }
    if (service)
        return QString();
    const jobKind::Row *job = jobKind::find(line.kind);
    if (!job)
        return tr("no job given (-t JOB, or a file recognised by its content)");
    if (line.files.isEmpty())
        return tr("no file given (-f FILE)");
    if (line.verify && (line.kind == jobKind::UpdateHD || line.kind == jobKind::UpdateSD))
        return tr("--verify goes only with a channel list job (SendList or GetList)");
    if (line.retries < 0 || line.retries > mostRetries)
        return tr("--retries takes a whole number from 0 to %1, not %2").arg(mostRetries).arg(line.retriesGiven);
    const QString target = line.files.first();
    // Every box of a loop would write over the last one's list.
    if (line.loop && !job->sendsFile && !jobRequest::needsMac(target))
        return tr("--loop with a download writes a file for each box: put {mac} in the name, "
                  "e.g. -f 'lists/{mac}.lis'");
    if (!job->sendsFile && m_ports.size() > 1 && !jobRequest::perPort(target))
        return tr("a download from several ports writes a file for each: give a folder, or a name with {port}, "
                  "{mac} or {date}, e.g. -f 'lists/{port}.lis'");
    if (!job->sendsFile && !job->hd && jobRequest::needsMac(target))
        return tr("{mac} needs an HD box: an SD box has no service commands");
    return sharedTarget(line);
}

// Two ports whose downloads would write one file, found before any box is
// asked; a name with {mac} is known only once the boxes have answered.
QString batchJob::sharedTarget(const commandLine &line) const
{
    const jobKind::Row *job = jobKind::find(line.kind);
    if (job->sendsFile || jobRequest::needsMac(line.files.first()))
        return QString();
    QStringList targets;
    for (const auto &port : m_ports) {
        const QString target = QFileInfo(requestFor(*port).files.first()).absoluteFilePath();
        const int other = int(targets.indexOf(target));
        if (other >= 0)
            return tr("the ports %1 and %2 would both write %3: put {port} in the name")
                .arg(m_ports.at(std::size_t(other))->name, port->name, QDir::toNativeSeparators(target));
        targets << target;
    }
    return QString();
}

// The port's job: a download from several ports goes to the port's own target.
jobRequest batchJob::requestFor(const Port &port) const
{
    jobRequest request = m_line->request();
    const jobKind::Row *job = jobKind::find(request.kind);
    // One port's folder is refused as the target it names.
    const QString target = request.files.first();
    if (job && !job->sendsFile && (m_ports.size() > 1 ? jobRequest::perPort(target) : jobRequest::hasFields(target)))
        request.files = jobFiles({jobRequest::targetFor(target, request.kind, port.name, port.questions.mac().text)});
    return request;
}

// A target named by the box's MAC is checked once the MAC is known, before
// the download: the port fails alone when it cannot be written or another
// port's download writes it too.
bool batchJob::targetFree(Port &port)
{
    if (!m_macTarget)
        return true;
    linkCause problem = port.request.filesProblem();
    const QString target = QFileInfo(port.request.files.first()).absoluteFilePath();
    for (const auto &other : m_ports)
        if (other.get() != &port && !other->request.files.isEmpty() &&
            QFileInfo(other->request.files.first()).absoluteFilePath() == target)
            problem = linkCause(linkCause::TargetUnwritable,
                                QStringLiteral(QT_TRANSLATE_NOOP("jobResult", "another port's download writes it too")),
                                port.request.files.first());
    if (problem.kind == linkCause::None)
        return true;
    port.result = jobResult::refused(m_request.kind, problem);
    port.result.port = port.name;
    port.jobs->writeLog(QStringLiteral("Not downloaded: %1 %2").arg(port.request.files.first(), problem.detail));
    tellResult(port, port.result);
    port.questions.stop();
    portDone(port, port.result.exitCode());
    return false;
}

// A file to send that is no regular file, or a download target that cannot
// be written, ends the run before the box is asked anything.
bool batchJob::refuseFiles(const commandLine &line)
{
    linkCause problem;
    for (const auto &port : m_ports)
        if (problem.kind == linkCause::None && !m_macTarget)
            problem = requestFor(*port).filesProblem();
    if (problem.kind == linkCause::None)
        return false;
    const jobResult result = jobResult::refused(line.kind, problem);
    for (const auto &port : m_ports)
        port->result = result;
    refuse(result.causeText(), result.exitCode(), {tr("what to do: %1").arg(result.remedy())});
    return true;
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
                               m_jobName + QStringLiteral(" on ") + name +
                               (files.isEmpty() ? QString() : QStringLiteral(", files ") + files) +
                               QStringLiteral(" ==========");
        port->jobs = std::make_unique<jobRunner>(log, QStringList{header});
        port->jobs->setPortname(name);
        Port *at = port.get();
        connect(at->jobs.get(), &jobRunner::statusCode, this, [this, at](int code) { onAction(*at, code); });
        connect(at->jobs.get(), &jobRunner::progress, this, [this, at](int percent) { onProgress(*at, percent); });
        connect(at->jobs.get(), &jobRunner::waiting, this, [this, at](qint64 ms) { onWaiting(*at, ms); });
        connect(at->jobs.get(), &jobRunner::jobFinished, this,
                [this, at](const jobResult &result) { onFinished(*at, result); });
        connect(at->jobs.get(), &jobRunner::logFailed, this, &batchJob::onLogFailed);
        m_ports.push_back(std::move(port));
    }
}

// A records file that cannot be written is said before any box is asked;
// the jobs run all the same.
void batchJob::openRecords(const commandLine &line)
{
    if (line.record.isEmpty())
        return;
    m_records = std::make_unique<recordsFile>(line.record);
    if (m_records->check())
        return;
    m_recordsLost = true;
    say(QStringLiteral("velmora: ") +
        tr("the records file %1 cannot be written: %2; the job goes on").arg(line.record, m_records->reason()));
}

// One record for each attempt of each port's job; a service request is
// recorded as one.
void batchJob::record(Port &port, const jobResult &result, int exitCode)
{
    if (!m_records)
        return;
    const QStringList files = m_service ? QStringList() : port.request.files.isEmpty() ? requestFor(port).files.names()
                                                                                       : port.request.files.names();
    recordsFile::Record r = recordsFile::of(result, files, port.started, port.attempt);
    r.port = port.name;
    if (r.job.isEmpty())
        r.job = m_jobName;
    // What the box did not answer stays empty.
    r.mac = port.questions.mac().text;
    r.versionBefore = port.questions.versionBefore().text;
    r.versionAfter = port.questions.versionAfter().text;
    r.exitCode = exitCode;
    if (m_records->append(r) || m_recordsLost)
        return;
    m_recordsLost = true;
    say(QStringLiteral("velmora: ") +
        tr("the records file %1 cannot be written: %2; the job goes on").arg(m_records->path(), m_records->reason()));
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
    m_service = true;
    m_wantsAnswer = row->query != serviceRequest::FactoryReset;
    for (const auto &port : m_ports)
        port->jobs->startQuery(row->query);
}

void batchJob::startJob(const commandLine &line)
{
    m_request = line.request();
    m_retries = line.retries;
    if (jobKind::find(line.kind)->sendsFile)
        for (const QString &file : line.files.names())
            m_bytes += QFileInfo(file).size();
    m_identify = line.identify && jobKind::isHd(line.kind);
    if (line.identify && !m_identify)
        say(QStringLiteral("velmora: ") + tr("--identify: an SD box has no service commands; the job runs without them"));
    m_looping = line.loop;
    for (const auto &port : m_ports) {
        port->questions.begin(plan());
        nextPhase(*port);
    }
}

// A loop asks an HD box its MAC before each job, so that the watch after
// it tells the next box by another MAC.
boxQuestions::Plan batchJob::plan() const
{
    return {.mac = m_identify || (m_looping && jobKind::isHd(m_request.kind)), .versions = m_identify,
            .macNeeded = m_macTarget};
}

// Starts what the port's phase asks for.
void batchJob::nextPhase(Port &port)
{
    if (port.questions.query() != serviceRequest::None)
        return port.jobs->startQuery(port.questions.query());
    if (port.questions.phase() != boxQuestions::RunJob)
        return;
    port.request = requestFor(port);
    if (targetFree(port))
        port.jobs->start(port.request);
}

void batchJob::interrupt(int signalNumber)
{
    if (m_finished)
        return;
    m_interrupted = true;
    m_stoppedBy = signalNumber;
    m_portCheck.stop();
    if (m_ports.empty())
        return finish(Interrupted);
    say(QStringLiteral("velmora: ") + tr("interrupted; the jobs stop at their next wait"));
    for (const auto &port : m_ports) {
        if (!port->waitingForBox) {
            port->jobs->stop(signalNumber);
            continue;
        }
        // A port that waits for its next box has nothing to stop.
        port->watch->stop();
        port->waitingForBox = false;
        port->finished = true;
        port->jobs->writeLog(QStringLiteral("========== END: exit code %1, stopped waiting for the next box: %2 ==========")
                                 .arg(int(Interrupted))
                                 .arg(jobResult::stopWords(signalNumber)));
    }
    endIfAllDone();
}

void batchJob::onAction(Port &port, int code)
{
    // The questions of --identify speak only through their answers.
    if (m_finished || port.finished || port.questions.phase() != boxQuestions::RunJob)
        return;
    const statusTable::Entry *row = statusTable::find(code);
    if (!row) {
        say(portText(port, text(QT_TRANSLATE_NOOP("MainWindow", "Received unknown message: %1")).arg(code)));
        return;
    }
    // The end code's "done" would follow failures too: the outcome line says it instead.
    port.waiting = false;
    if (row->status && row->kind != statusTable::JobEnded) {
        port.status = text(row->status);
        say(portText(port, port.status));
    }
}

void batchJob::onFinished(Port &port, const jobResult &result)
{
    if (m_finished || port.finished)
        return;
    if (port.questions.phase() != boxQuestions::RunJob)
        return onIdentified(port, result);
    port.result = result;
    port.questions.attemptEnded(port.result);
    if (retry(port, port.result))
        return;
    tellResult(port, port.result);
    port.questions.jobEnded(result, !m_interrupted);
    if (port.questions.phase() != boxQuestions::Over)
        return nextPhase(port);
    portDone(port, result.exitCode());
}

// A failure that another attempt can mend is recorded and tried again,
// up to --retries times; the user's stop ends the tries.
bool batchJob::retry(Port &port, const jobResult &result)
{
    if (m_interrupted || port.attempt > m_retries || !result.retryHelps())
        return false;
    tellResult(port, result);
    record(port, result, result.exitCode());
    say(portText(port, tr("attempt %1 of %2 failed; trying again in %3 s")
                           .arg(port.attempt)
                           .arg(m_retries + 1)
                           .arg(retryPauseMs / 1000)));
    port.jobs->writeLog(QStringLiteral("Attempt %1 of %2 failed (exit code %3); trying again")
                            .arg(port.attempt)
                            .arg(m_retries + 1)
                            .arg(result.exitCode()));
    if (result.box == jobResult::HalfUpdated)
        say(portText(port, tr("  the load had begun: the box is half-updated until an attempt loads it whole")));
    ++port.attempt;
    port.percent = -1;
    port.progressClock.invalidate();
    QTimer::singleShot(retryPauseMs, this, [this, &port] { retryNow(port); });
    return true;
}

void batchJob::retryNow(Port &port)
{
    if (m_finished || port.finished)
        return;
    if (m_interrupted) {
        port.result.outcome = jobResult::Stopped;
        port.result.stoppedBy = m_stoppedBy;
        port.questions.stop();
        return portDone(port, Interrupted);
    }
    port.started = QDateTime::currentDateTime();
    port.jobs->writeLog(QStringLiteral("Attempt %1 of %2").arg(port.attempt).arg(m_retries + 1));
    nextPhase(port);
}

// An answer of --identify; a box that gives none is recorded so and the run goes on.
void batchJob::onIdentified(Port &port, const jobResult &result)
{
    port.jobs->writeLog(port.questions.answered(result));
    if (m_interrupted)
        port.questions.stop();
    if (port.questions.phase() != boxQuestions::Over)
        return nextPhase(port);
    // Stopped before the job: it never ran.
    if (port.result.job == jobKind::None) {
        port.result = result;
        port.result.job = m_request.kind;
        port.result.query = serviceRequest::None;
    }
    portDone(port, port.result.exitCode());
}

// What a job came to: the cause, the remedy and the box's state after a
// failure; a warning when the box did not confirm its start.
void batchJob::tellResult(Port &port, const jobResult &result)
{
    if (!result.warningText().isEmpty())
        say(QStringLiteral("velmora: ") + portText(port, tr("warning: %1").arg(result.warningText())));
    if (result.done()) {
        if (!result.noteText().isEmpty())
            say(QStringLiteral("velmora: ") + portText(port, tr("note: %1").arg(result.noteText())));
        if (result.startUnconfirmed)
            say(QStringLiteral("velmora: ") +
                portText(port, tr("warning: the box did not confirm its start; check that it runs")));
        return;
    }
    const QString cause = result.causeText();
    if (!cause.isEmpty())
        say(portText(port, tr("  cause: %1").arg(cause)));
    const QString remedy = result.remedy();
    if (!remedy.isEmpty())
        say(portText(port, tr("  what to do: %1").arg(remedy)));
    if (result.box == jobResult::HalfUpdated) {
        say(portText(port, tr("  box: %1").arg(result.boxText())));
        port.jobs->writeLog(QLatin1String(halfUpdatedLog));
    }
}

void batchJob::refuse(const QString &problem, int exitCode, const QStringList &more)
{
    for (const QString &line : problem.split(QLatin1Char('\n')))
        say(QStringLiteral("velmora: ") + line);
    for (const QString &line : more)
        say(QStringLiteral("  ") + line);
    if (exitCode == Usage)
        say(tr("Try 'velmora --help'."));
    for (const auto &port : m_ports) {
        port->jobs->writeLog(QString(problem).replace(QLatin1Char('\n'), QStringLiteral("; ")));
        port->summary = problem.section(QLatin1Char('\n'), 0, 0);
        portDone(*port, exitCode);
    }
    finish(exitCode);
}

// A port's row in the table: the outcome and what it came to; a stopped
// job says who stopped it, where its headline would only repeat "stopped",
// and a failure without a status text of its own (a query's or a reset's
// line that went) its cause.
QString batchJob::summary(const jobResult &result)
{
    const bool ownHeadline = result.headline() != result.outcomeText() || result.causeText().isEmpty();
    const QString what = result.done() && !result.answer.isEmpty() ? result.answer
                         : result.outcome == jobResult::Stopped   ? jobResult::stopText(result.stoppedBy)
                         : ownHeadline                            ? result.headline()
                                                                  : result.causeText();
    return result.outcomeText() + QStringLiteral(": ") + what;
}

// The port's end in its log; the run ends with its last port.
void batchJob::portDone(Port &port, int exitCode)
{
    if (port.finished || port.waitingForBox)
        return;
    port.finished = true;
    port.exitCode = exitCode;
    port.ms = port.clock.isValid() ? port.clock.elapsed() : 0;
    if (port.summary.isEmpty())
        port.summary = summary(port.result) + (port.attempt > 1 ? tr(" (attempt %1)").arg(port.attempt) : QString());
    if (exitCode != Usage)
        record(port, port.result, exitCode);
    // A query's end waits for its answer to be written: that may still fail.
    if (!m_wantsAnswer)
        writeEnd(port);
    if (m_looping) {
        count(exitCode);
        if (!m_interrupted)
            return watchNext(port);
    }
    endIfAllDone();
}

// The port's last log line, with its exit code as it stands in the end.
void batchJob::writeEnd(Port &port)
{
    // In the log the link's own words: it is kept in English.
    QString what = port.result.done() && !port.result.answer.isEmpty() ? port.result.answer
                   : port.exitCode == Interrupted ? QStringLiteral("stopped: ") + jobResult::stopWords(m_stoppedBy)
                                                  : port.summary;
    if (port.answerLost)
        what += QStringLiteral("; the answer could not be written to standard output");
    port.jobs->writeLog(QStringLiteral("========== END: exit code %1, %2 ==========").arg(port.exitCode).arg(what));
}

// The run ends with its last port; a loop only by a close signal.
void batchJob::endIfAllDone()
{
    int worst = Done;
    for (const auto &each : m_ports) {
        if (!each->finished)
            return drawBlock();
        worst = std::max(worst, each->exitCode);
    }
    finish(m_looping ? int(Interrupted) : worst);
}

void batchJob::count(int exitCode)
{
    if (exitCode == Done)
        ++m_counters.done;
    else if (exitCode == Interrupted)
        ++m_counters.stopped;
    else
        ++m_counters.failed;
}

// --loop: the port is watched for its next box; the box of the job just
// ended does not count (see boxWatch).
void batchJob::watchNext(Port &port)
{
    port.finished = false;
    port.waitingForBox = true;
    port.waiting = false;
    port.percent = -1;
    if (!port.watch) {
        port.watch = std::make_unique<boxWatch>();
        Port *at = &port;
        connect(at->watch.get(), &boxWatch::heard, this, [this, at](int family) { onHeard(*at, family); });
        connect(at->watch.get(), &boxWatch::found, this, [this, at] { nextBox(*at); });
    }
    port.jobs->writeLog(QStringLiteral("Waiting for the next box after box %1").arg(port.box));
    port.watch->start({.port = port.name, .askHd = jobKind::isHd(m_request.kind),
                       .lastMac = lineListener::macKey(port.questions.mac().text)});
    drawBlock();
}

void batchJob::onHeard(Port &port, int family)
{
    if (!port.waitingForBox || m_finished)
        return;
    say(portText(port, tr("waiting for the next box: %1").arg(boxWatch::heardText(family))));
}

// A new box on a looping port: the job runs on it from the start, as on the first.
void batchJob::nextBox(Port &port)
{
    if (!port.waitingForBox || m_finished || m_interrupted)
        return;
    port.waitingForBox = false;
    ++port.box;
    port.exitCode = Done;
    port.result = jobResult();
    port.summary.clear();
    port.request = jobRequest();
    port.attempt = 1;
    port.progressClock.invalidate();
    port.started = QDateTime::currentDateTime();
    port.clock.start();
    port.jobs->writeLog(QStringLiteral("========== Next box on %1: box %2 ==========").arg(port.name).arg(port.box));
    say(portText(port, tr("next box: %1 runs on box %2").arg(m_jobName).arg(port.box)));
    port.questions.begin(plan());
    nextPhase(port);
}

void batchJob::finish(int exitCode)
{
    if (m_finished)
        return;
    m_finished = true;
    clearBlock();
    const bool started = !m_ports.empty() && m_ports.front()->clock.isValid();
    // A loop's table would show only each port's last box.
    if (started && (m_ports.size() > 1 || m_identify) && !m_looping)
        printSummary();
    if (m_looping)
        say(QStringLiteral("velmora: ") + tr("boxes: %1 done, %2 failed, %3 stopped")
                                              .arg(m_counters.done)
                                              .arg(m_counters.failed)
                                              .arg(m_counters.stopped));
    printAnswers();
    if (m_answerLost)
        exitCode = std::max(exitCode, int(FileProblem));
    if (m_wantsAnswer)
        for (const auto &port : m_ports)
            if (port->finished)
                writeEnd(*port);
    // A log's failure travels from its writer's thread; one that came late
    // would be missing from the last words.
    for (const auto &port : m_ports)
        port->jobs->flushLog();
    for (const QString &log : m_lostLogs)
        say(QStringLiteral("velmora: ") + tr("the log %1 is incomplete").arg(log));
    printOutcome(exitCode);
    // Every port's END line is queued before its writer is shut down, so it
    // is the last line of its run.
    for (const auto &port : m_ports)
        port->jobs->shutDown();
    emit finished(exitCode);
}

// The run's last line: its outcome and exit code.
void batchJob::printOutcome(int exitCode)
{
    if (exitCode == Usage)
        return say(QStringLiteral("velmora: ") + tr("nothing was run (exit code %1)").arg(exitCode));
    const QString outcome = exitCode == Done ? tr("done") : exitCode == Interrupted ? tr("stopped") : tr("failed");
    say(QStringLiteral("velmora: ") + tr("%1 %2 (exit code %3)").arg(m_jobName, outcome).arg(exitCode));
}

// A table of every port: its result and how long it took; with --identify
// the box's MAC and its version before and after.
void batchJob::printSummary()
{
    QList<QStringList> rows;
    rows << (m_identify ? QStringList{tr("port"), tr("MAC"), tr("version"), tr("result"), tr("time")}
                        : QStringList{tr("port"), tr("result"), tr("time")});
    for (const auto &port : m_ports) {
        const QString time = tr("%1 s").arg(double(port->ms) / 1000.0, 0, 'f', 1);
        const auto shown = [this](const boxQuestions::Answer &a) { return a.given ? a.text : tr("no answer"); };
        const boxQuestions &q = port->questions;
        QString version = shown(q.versionBefore());
        if (q.versionAfter().given)
            version += QStringLiteral(" -> ") + q.versionAfter().text;
        rows << (m_identify ? QStringList{port->name, shown(q.mac()), version, port->summary, time}
                            : QStringList{port->name, port->summary, time});
    }
    QList<int> width;
    for (const QStringList &row : rows)
        for (int i = 0; i < row.size(); ++i) {
            if (width.size() <= i)
                width << 0;
            width[i] = std::max(width[i], int(row[i].size()));
        }
    QString table;
    for (const QStringList &row : rows) {
        for (int i = 0; i + 1 < row.size(); ++i)
            table += row[i].leftJustified(width[i] + 2);
        table += row.last() + QLatin1Char('\n');
    }
    put(table);
}

// One port: the answer alone; several: "port<TAB>answer", one a line. An
// answer that cannot be written makes the run fail.
void batchJob::printAnswers()
{
    if (!m_wantsAnswer)
        return;
    for (std::size_t i = 0; i < m_ports.size(); ++i) {
        const Port &port = *m_ports.at(i);
        QString line;
        if (m_ports.size() == 1 && port.exitCode == Done)
            line = port.result.answer + QLatin1Char('\n');
        else if (m_ports.size() > 1 && port.result.done())
            line = port.name + QLatin1Char('\t') + port.result.answer + QLatin1Char('\n');
        if (!line.isEmpty() && !terminal::write(terminal::Output, line)) {
            // This answer and those after it are lost: their ports failed.
            for (std::size_t j = i; j < m_ports.size(); ++j) {
                Port &lost = *m_ports.at(j);
                lost.answerLost = lost.result.done();
                if (lost.answerLost)
                    lost.exitCode = std::max(lost.exitCode, int(FileProblem));
            }
            m_answerLost = true;
            say(QStringLiteral("velmora: ") + tr("the answer could not be written to standard output"));
            return;
        }
    }
}

void batchJob::onProgress(Port &port, int percent)
{
    // A service request's progress is only its wait for the answer.
    if (m_finished || port.finished || m_service || port.questions.phase() != boxQuestions::RunJob)
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
    if (percent == port.percent || (port.lineClock.isValid() && port.lineClock.elapsed() < plainLineMs))
        return;
    port.lineClock.start();
    port.percent = percent;
    put(portText(port, QStringLiteral("%1%").arg(percent)) + QLatin1Char('\n'));
}

// A long wait for the box: on a terminal its seconds left count down in the
// port's line; on a pipe one line says how long it may last.
void batchJob::onWaiting(Port &port, qint64 ms)
{
    if (m_finished || port.finished || m_service || port.questions.phase() != boxQuestions::RunJob)
        return;
    port.waiting = ms > longWaitMs;
    if (!port.waiting)
        return;
    port.waitEnd = QDeadlineTimer(ms);
    if (!m_terminal)
        return say(portText(port, tr("(waiting at most %1 s)").arg((ms + 999) / 1000)));
    if (!m_tick.isActive())
        m_tick.start();
    drawBlock();
}

// A log that cannot be written is said once; the job goes on without it.
void batchJob::onLogFailed(const QString &path, const QString &reason)
{
    if (m_lostLogs.contains(path))
        return;
    m_lostLogs << path;
    say(QStringLiteral("velmora: ") + tr("the log %1 cannot be written: %2; the job goes on").arg(path, reason));
}

// With several ports, each line says whose it is.
QString batchJob::portText(const Port &port, const QString &text) const
{
    return m_ports.size() > 1 ? port.name + QStringLiteral(": ") + text : text;
}

QString batchJob::barLine(const Port &port) const
{
    const int percent = std::max(port.percent, 0);
    const int filled = percent * barWidth / 100;
    QString bar = QStringLiteral("[%1%2] %3%")
                      .arg(QString(filled, QLatin1Char('#')), QString(barWidth - filled, QLatin1Char('.')))
                      .arg(percent, 3);
    if (m_bytes > 0)
        bar += QStringLiteral("  ") + tr("%L1 / %L2 bytes").arg(m_bytes * percent / 100).arg(m_bytes);
    const qint64 ms = port.progressClock.isValid() ? port.progressClock.elapsed() : 0;
    if (percent > 0 && percent < 100 && ms >= plainLineMs) {
        const qint64 left = ms * (100 - percent) / percent / 1000;
        bar += QStringLiteral("  ") +
               tr("%1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
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
    int lines = 0;
    bool waits = false;
    for (const auto &port : m_ports) {
        const bool waiting = port->waiting && !port->finished && port->waitEnd.remainingTime() > 0;
        waits = waits || waiting;
        if (port->finished || (port->percent < 0 && !waiting))
            continue;
        const QString left = tr("%1 (%2 s left)").arg(port->status).arg((port->waitEnd.remainingTime() + 999) / 1000);
        block += (waiting ? portText(*port, left) : barLine(*port)) + QLatin1Char('\n');
        ++lines;
    }
    if (!waits)
        m_tick.stop();
    if (put(block))
        m_blockLines = lines;
}

void batchJob::clearBlock()
{
    if (m_blockLines == 0)
        return;
    put(QStringLiteral("\033[%1A\r\033[J").arg(m_blockLines));
    m_blockLines = 0;
}

void batchJob::say(const QString &line)
{
    const bool redraw = m_blockLines > 0;
    clearBlock();
    put(line + QLatin1Char('\n'));
    if (redraw)
        drawBlock();
}

// Standard error is the user's: when it goes away (a closed terminal, a pipe
// whose reader ended) the job goes on undrawn, to its real end.
bool batchJob::put(const QString &text)
{
    if (m_quiet || text.isEmpty())
        return !m_quiet;
    if (terminal::write(terminal::Error, text))
        return true;
    m_quiet = true;
    m_blockLines = 0;
    return false;
}
