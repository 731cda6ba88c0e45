#include "batchjob.h"

#include "catalogue.h"
#include "commandline.h"
#include "hdstep.h"
#include "jobkind.h"
#include "servicerequest.h"
#include "sdstep.h"
#include "statuscode.h"
#include "statustable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstdio>
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

    connect(&m_jobs, &jobRunner::statusCode, this, &batchJob::onAction);
    connect(&m_jobs, &jobRunner::progress, this, &batchJob::onProgress);
}

void batchJob::start()
{
    const commandLine line(m_args);
    for (const QString &problem : line.problems)
        m_jobs.writeLog(problem);
    if (!line.unknown.isEmpty())
        return refuse(QStringLiteral("unknown option or job: ") + line.unknown.join(QStringLiteral(", ")), Usage);
    const bool service = line.factoryReset || !line.query.isEmpty();
    if (line.factoryReset && !line.query.isEmpty())
        return refuse(QStringLiteral("--query and --factory-reset go one at a time"), Usage);
    if (service && (line.hasKind || line.hasFiles || !line.refused.isEmpty() || line.verify))
        return refuse(QStringLiteral("a service request takes no job and no file"), Usage);
    if (line.factoryReset && !line.yes)
        return refuse(QStringLiteral("--factory-reset would set the HD box on the port back to its factory "
                                     "settings; its channel list and settings would be lost. "
                                     "Add --yes to send the reset."),
                      Usage);
    if (!line.refused.isEmpty()) {
        for (const QString &name : line.refused)
            m_jobs.writeLog(jobFiles::refusalLog(name));
        return refuse(jobFiles::refusalLog(line.refused.first()), FileProblem);
    }
    if (line.ports.isEmpty())
        return refuse(QStringLiteral("no port given (-p PORT)"), Usage);
    m_jobs.setPortname(line.ports.last());

    if (service) {
        const bool query = !line.query.isEmpty();
        const serviceRequest *row = serviceRequest::find(query ? line.query : QStringLiteral("factory-reset"));
        if (!row || query != bool(row->answer))
            return refuse(QStringLiteral("unknown query: %1 (software, lowpower or mac)").arg(line.query), Usage);
        m_requestCode = row->code;
        if (row->answer) {
            m_wantsAnswer = true;
            connect(&m_jobs.linkHD(), row->answer, this, &batchJob::onAnswer);
        }
        m_running = true;
        m_jobs.request(row->request);
        return;
    }

    const jobKind::Row *job = jobKind::find(line.kind);
    if (!job)
        return refuse(QStringLiteral("no job given (-t JOB, or a file recognised by its content)"), Usage);
    if (line.files.isEmpty())
        return refuse(QStringLiteral("no file given (-f FILE)"), Usage);
    if (line.verify && line.kind != jobKind::SendListHD && line.kind != jobKind::SendListSD)
        return refuse(QStringLiteral("--verify goes only with SendListHD or SendListSD"), Usage);
    m_jobs.setVerify(line.verify);
    if (job->sendsFile)
        for (const QString &file : line.files.names())
            m_bytes += QFileInfo(file).size();
    m_running = true;
    m_jobs.start(line.kind, line.files);
}

void batchJob::interrupt()
{
    if (m_finished)
        return;
    m_interrupted = true;
    if (!m_running)
        return finish(Interrupted);
    say(QStringLiteral("velmora: interrupted; the job stops at its next wait"));
    m_jobs.requestStop();
}

void batchJob::onAction(int code)
{
    if (m_finished)
        return;   // a second end code of the same job
    m_codes << code;
    const statusTable::Entry *row = statusTable::find(code);
    if (!row) {
        if (code != m_requestCode)
            say(text(QT_TRANSLATE_NOOP("MainWindow", "Received unknown message: %1")).arg(code));
        return;
    }
    if (row->status)
        say(text(row->status));
    if (row->kind != statusTable::JobEnded)
        return;
    const int exitCode = outcome();
    if (exitCode == Done && startUnconfirmed())
        say(QStringLiteral("velmora: warning: the box did not confirm its start; check that it runs"));
    finish(exitCode);
}

void batchJob::onAnswer(const QString &answer)
{
    m_answered = true;
    m_answer = answer.trimmed();
}

int batchJob::outcome() const
{
    bool result = false;
    const statusTable::Entry *error = nullptr;
    for (int code : m_codes) {
        const statusTable::Entry *row = statusTable::find(code);
        if (row && row->kind == statusTable::Result)
            result = true;
        else if (row && row->kind == statusTable::Error && !error)
            error = row;
        // An error after a result undoes it: an upload that its read-back
        // does not confirm is no success.
        if (row && row->kind == statusTable::Error && result) {
            result = false;
            error = row;
        }
    }
    // A reset waits for no answer: sent is done.
    const bool sent = m_requestCode >= 0 && !m_wantsAnswer && !error && !m_interrupted;
    if (result || m_answered || sent)
        return Done;
    if (m_interrupted)
        return Interrupted;
    if (error)
        for (const ErrorExit &e : errorExits)
            if (error->sdCode == e.sdCode)
                return e.exitCode;
    return BoxFailed;
}

// The box's start at the end of a load: its step began but never succeeded,
// yet the link reports the job as done.
bool batchJob::startUnconfirmed() const
{
    const int begun[] = {sdStep::startSettopbox.startCode, hdStep::startSettopbox.startCode};
    const int confirmed[] = {sdStep::startSettopbox.okCode, hdStep::startSettopbox.okCode};
    for (std::size_t i = 0; i < std::size(begun); ++i) {
        const int at = m_codes.lastIndexOf(begun[i]);
        if (at >= 0 && m_codes.lastIndexOf(confirmed[i]) < at)
            return true;
    }
    return false;
}

void batchJob::refuse(const QString &problem, int exitCode)
{
    say(QStringLiteral("velmora: ") + problem);
    if (exitCode == Usage)
        say(QStringLiteral("Try 'velmora --help'."));
    finish(exitCode);
}

void batchJob::finish(int exitCode)
{
    if (m_finished)
        return;
    m_finished = true;
    clearBar();
    if (exitCode == Done && m_wantsAnswer)
        put(stdout, m_answer + QLatin1Char('\n'));
    m_jobs.shutDown();
    emit finished(exitCode);
}

void batchJob::onProgress(int percent)
{
    // A service request's progress is only its wait for the answer.
    if (m_finished || m_requestCode >= 0)
        return;
    percent = qBound(0, percent, 100);
    if (!m_progressClock.isValid())
        m_progressClock.start();
    if (m_terminal) {
        if (percent != m_shownPercent || !m_barShown)
            drawBar(percent);
        return;
    }
    // A log or a pipe gets plain lines, at most one a second.
    if (percent == m_shownPercent || (m_lineClock.isValid() && m_lineClock.elapsed() < 1000))
        return;
    m_lineClock.start();
    m_shownPercent = percent;
    put(stderr, QStringLiteral("%1%\n").arg(percent));
}

void batchJob::drawBar(int percent)
{
    const int width = 30;
    const int filled = percent * width / 100;
    QString bar = QStringLiteral("\r\033[K[%1%2] %3%")
                      .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
                      .arg(percent, 3);
    if (m_bytes > 0)
        bar += QStringLiteral("  %L1 / %L2 bytes").arg(m_bytes * percent / 100).arg(m_bytes);
    const qint64 ms = m_progressClock.elapsed();
    if (percent > 0 && percent < 100 && ms >= 1000) {
        const qint64 left = ms * (100 - percent) / percent / 1000;
        bar += QStringLiteral("  %1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
    }
    put(stderr, bar);
    m_shownPercent = percent;
    m_barShown = true;
}

void batchJob::clearBar()
{
    if (!m_barShown)
        return;
    put(stderr, QStringLiteral("\r\033[K"));
    m_barShown = false;
}

void batchJob::say(const QString &line)
{
    clearBar();
    put(stderr, line + QLatin1Char('\n'));
}
