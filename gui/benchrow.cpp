#include "benchrow.h"

#include "filedialogs.h"
#include "fileplaces.h"
#include "recordsfile.h"
#include "jobfiles.h"
#include "jobrequest.h"
#include "jobrunner.h"
#include "jobsummary.h"
#include "portaddress.h"
#include "portcombo.h"
#include "statustable.h"
#include "waitcountdown.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QUrl>

namespace {

QString windowWords(const char *source)
{
    return QCoreApplication::translate("MainWindow", source);
}

// The headers, in the order of benchRow::Column.
const char *const headers[] = {
    QT_TRANSLATE_NOOP("benchRow", "Port"),     QT_TRANSLATE_NOOP("benchRow", "Job"),
    QT_TRANSLATE_NOOP("benchRow", "Files"),    QT_TRANSLATE_NOOP("benchRow", "Progress"),
    QT_TRANSLATE_NOOP("benchRow", "Step"),     QT_TRANSLATE_NOOP("benchRow", "Left"),
    QT_TRANSLATE_NOOP("benchRow", "Result"),   QT_TRANSLATE_NOOP("benchRow", "Box"),
    QT_TRANSLATE_NOOP("benchRow", "Next box"), QT_TRANSLATE_NOOP("benchRow", "Retries"),
    QT_TRANSLATE_NOOP("benchRow", "Stop"),     QT_TRANSLATE_NOOP("benchRow", "Log"),
};
static_assert(sizeof(headers) / sizeof(headers[0]) == benchRow::Columns);

// A result's colour, so that a failed row is told from a done one at a glance.
QColor outcomeColour(jobResult::Outcome outcome)
{
    switch (outcome) {
    case jobResult::Done:
        return QColor(0xd7, 0xf0, 0xd7);
    case jobResult::Failed:
        return QColor(0xf6, 0xd0, 0xd0);
    case jobResult::Stopped:
        break;
    }
    return QColor(0xf6, 0xe6, 0xc4);
}

// Before a job is tried again: a re-plugged adapter or a box switched on
// late has a moment to come up.
constexpr int retryPauseMs = 1000;
// Sixteen rows each showing every new percent would keep the window's
// thread busy painting; a few frames a second tell as much.
constexpr int progressPaceMs = 200;

} // namespace

const char *benchRow::header(int column)
{
    return column >= 0 && column < Columns ? headers[column] : "";
}

benchRow::benchRow(QTableWidget *table, QObject *parent) : QObject(parent), m_table(table)
{
    makeCells(table);
    m_leftTick.setInterval(1000);
    connect(&m_leftTick, &QTimer::timeout, this, &benchRow::tickLeft);
    m_retryPause.setSingleShot(true);
    m_retryPause.setInterval(retryPauseMs);
    connect(&m_retryPause, &QTimer::timeout, this, &benchRow::retryNow);
    connect(&m_watch, &boxWatch::heard, this, &benchRow::showHeard);
    connect(&m_watch, &boxWatch::found, this, [this](int, const QString &) {
        if (m_state == State::Watching)
            start();
    });
    retranslate();
}

benchRow::~benchRow()
{
    m_watch.stop();
    if (m_jobs)
        m_jobs->shutDown();
}

void benchRow::makeCells(QTableWidget *table)
{
    const int row = table->rowCount();
    table->insertRow(row);
    for (int column = 0; column < Columns; ++column) {
        m_items[column] = new QTableWidgetItem;
        m_items[column]->setFlags(Qt::ItemIsEnabled);
        table->setItem(row, column, m_items[column]);
    }
    m_port = new portCombo(table);
    m_port->refresh();
    table->setCellWidget(row, Port, m_port);
    m_job = new QComboBox(table);
    m_job->addItem(QString(), int(jobKind::None));
    for (const QString &keyword : jobKind::keywords())
        m_job->addItem(QString(), int(jobKind::fromKeyword(keyword)));
    table->setCellWidget(row, Job, m_job);

    auto *files = new QWidget(table);
    auto *layout = new QHBoxLayout(files);
    layout->setContentsMargins(2, 0, 2, 0);
    m_fileLabel = new QLabel(files);
    auto *choose = new QToolButton(files);
    choose->setText(QStringLiteral("…"));
    layout->addWidget(m_fileLabel, 1);
    layout->addWidget(choose);
    connect(choose, &QToolButton::clicked, this, &benchRow::chooseFiles);
    table->setCellWidget(row, Files, files);

    m_progress = new QProgressBar(table);
    m_progress->setValue(0);
    table->setCellWidget(row, Progress, m_progress);
    m_next = new QCheckBox(table);
    table->setCellWidget(row, NextBox, m_next);
    m_retries = new QSpinBox(table);
    m_retries->setRange(0, mostRetries);
    table->setCellWidget(row, Retries, m_retries);
    m_stopButton = new QPushButton(table);
    m_stopButton->setEnabled(false);
    connect(m_stopButton, &QPushButton::clicked, this, [this] { stop(); });
    table->setCellWidget(row, Stop, m_stopButton);
    m_logButton = new QPushButton(table);
    connect(m_logButton, &QPushButton::clicked, this, &benchRow::openLog);
    table->setCellWidget(row, Log, m_logButton);
}

void benchRow::retranslate()
{
    for (int i = 1; i < m_job->count(); ++i)
        m_job->setItemText(i, jobSummary::jobName(m_job->itemData(i).toInt()));
    m_stopButton->setText(tr("Stop"));
    m_stopButton->setToolTip(tr("Stops this row's job, or its wait for the next box"));
    m_logButton->setText(tr("Log"));
    m_logButton->setToolTip(tr("Opens this row's log"));
    m_next->setToolTip(tr("When the job has ended, wait for the next box on this port and run the job again"));
    m_retries->setToolTip(tr("How often a failed job is tried again, where another attempt can help: the port could "
                             "not be opened or reached, the box was silent before the attempt sent anything, the line "
                             "went or the box stalled, a download's reads failed. Never after a refusal, a wrong file "
                             "or a stop."));
    m_port->retranslate();
    if (!m_refusal.isEmpty())
        refuse(m_refusal);
    else if (jobKind::find(m_result.job))
        showResult(m_result);
    if (m_state == State::Watching)
        showHeard(m_heard);
    showIdentity();
}

// ---------------------------------------------------------------- setup

benchRow::Setup benchRow::setup() const
{
    return {.port = port(),
            .kind = jobKind::Kind(m_job->currentData().toInt()),
            .files = m_files,
            .nextBox = m_next->isChecked(),
            .retries = m_retries->value()};
}

void benchRow::setSetup(const Setup &setup)
{
    m_port->selectPort(setup.port);
    const int index = m_job->findData(int(setup.kind));
    m_job->setCurrentIndex(index < 0 ? 0 : index);
    m_files = setup.files;
    m_next->setChecked(setup.nextBox);
    m_retries->setValue(setup.retries);
    showFiles();
}

QString benchRow::port() const
{
    return m_port->currentData().toString().isEmpty() ? m_port->currentText().trimmed()
                                                       : m_port->currentData().toString();
}

void benchRow::setNextBox(bool on)
{
    m_next->setChecked(on);
}

void benchRow::showFiles()
{
    QStringList names;
    for (const QString &file : m_files)
        names << QFileInfo(file).fileName();
    m_fileLabel->setText(names.join(QStringLiteral(", ")));
    m_fileLabel->setToolTip(m_files.join(QLatin1Char('\n')));
}

void benchRow::chooseFiles()
{
    const auto kind = jobKind::Kind(m_job->currentData().toInt());
    const jobKind::Row *job = jobKind::find(kind);
    const QString dir = m_files.isEmpty() ? QDir::currentPath() : QFileInfo(m_files.first()).absolutePath();
    const QString all = windowWords("All Files") + QStringLiteral(" *.*");
    QStringList chosen;
    if (job && !job->sendsFile) {
        const QString list = job->hd ? windowWords("Channel list HD") + QStringLiteral(" *.lis")
                                     : windowWords("Channel list SD") + QStringLiteral(" *.lst");
        const QString file = fileDialogs::saveFile(m_table->window(), windowWords("Channel list"), dir, list, nullptr);
        if (!file.isEmpty())
            chosen << file;
    } else if (kind == jobKind::UpdateSD) {
        chosen = fileDialogs::openFiles(m_table->window(), windowWords("Update file"), dir,
                                        windowWords("SD-Firmware file") + QStringLiteral(" *.app;;") + all);
    } else {
        const QString file = fileDialogs::openFile(m_table->window(), windowWords("Update file"), dir,
                                                   QStringLiteral("*.app *.lis *.lst;;") + all);
        if (!file.isEmpty())
            chosen << file;
    }
    if (chosen.isEmpty())
        return;
    m_files = chosen;
    showFiles();
}

QString benchRow::problem() const
{
    if (port().isEmpty())
        return tr("no port chosen");
    const portAddress address = portAddress::parse(port());
    if (!address.problem.isEmpty())
        return address.problem;
    if (!jobKind::find(m_job->currentData().toInt()))
        return tr("no job chosen");
    if (m_files.isEmpty())
        return tr("no file chosen");
    // A FIFO or a device in a file's place: a download would replace it.
    jobRequest request;
    request.kind = jobKind::Kind(m_job->currentData().toInt());
    request.files = jobFiles(m_files);
    const linkCause files = request.filesProblem();
    if (files.kind == linkCause::FileNotRegular)
        return jobResult::refused(request.kind, files).causeText();
    return QString();
}

// ---------------------------------------------------------------- running

QString benchRow::logPath() const
{
    return logPath(port());
}

QString benchRow::logPath(const QString &port)
{
    const QString name = QStringLiteral("velmora-%1.log").arg(portAddress::parse(port).fileTag());
    return QFileInfo(filePlaces::logFile()).dir().filePath(name);
}

void benchRow::openLog()
{
    if (!QFileInfo::exists(logPath())) {
        setText(Step, tr("No log yet: this row has not run on %1").arg(port()));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(logPath()).absoluteFilePath()));
}

// Each port gets a runner of its own, and with it a log that names the port
// in every line, appended to, so that rows never mix or empty each other's.
void benchRow::makeRunner()
{
    if (m_jobs && m_runnerPort == port())
        return;
    if (m_jobs)
        m_jobs->shutDown();
    m_runnerPort = port();
    m_jobs = std::make_unique<jobRunner>(logfile::Target{.path = logPath(), .append = true, .tag = m_runnerPort},
                                         jobRunner::startLines());
    m_jobs->setPortname(m_runnerPort);
    jobRunner *jobs = m_jobs.get();
    connect(jobs, &jobRunner::statusCode, this, [this](int code) {
        m_leftTick.stop();
        setText(Left, QString());
        const statusTable::Entry *row = statusTable::find(code);
        if (!row)
            return;
        if (row->kind == statusTable::JobStarted)
            setStage(Stage::Preparing);
        else if (row->kind == statusTable::JobEnded)
            setStage(Stage::Idle);
        else if (row->kind == statusTable::Result)
            setStage(Stage::Preparing);
        if (row->status && row->kind != statusTable::JobEnded)
            setText(Step, windowWords(row->status));
    });
    jobs->setProgressPaceMs(progressPaceMs);
    connect(jobs, &jobRunner::progress, this, &benchRow::setProgress);
    connect(jobs, &jobRunner::sendingBegan, this, [this] { setStage(Stage::Sending); });
    connect(jobs, &jobRunner::sendingEnded, this, [this] { setStage(Stage::Working); });
    connect(jobs, &jobRunner::waiting, this, [this](qint64 ms) {
        if (ms < waitCountdown::shortestMs)
            return;
        m_leftDeadline = QDeadlineTimer(ms);
        tickLeft();
        m_leftTick.start();
    });
    connect(jobs, &jobRunner::jobFinished, this, &benchRow::onFinished);
    connect(jobs, &jobRunner::logFailed, this, [this](const QString &path, const QString &reason) {
        setText(Log, QString(), tr("The log %1 cannot be written: %2").arg(path, reason));
        m_logButton->setToolTip(m_items[Log]->toolTip());
    });
}

void benchRow::start()
{
    if (busy())
        return;
    m_watch.stop();
    m_refusal.clear();
    makeRunner();
    m_stopAsked = false;
    m_attempt = 1;
    m_started = QDateTime::currentDateTime();
    m_result = jobResult();
    const bool hd = jobKind::isHd(jobKind::Kind(m_job->currentData().toInt()));
    m_questions.begin({.mac = hd, .versions = hd});
    showIdentity();
    for (int column : {Result, Left})
        setText(Column(column), QString());
    m_items[Result]->setBackground(QBrush());
    // Said before the box is asked anything, not once the job is over.
    m_recordsProblem.clear();
    recordsFile records(filePlaces::recordsFile());
    if (!records.check()) {
        sayRecordsProblem(records);
        setText(Result, m_recordsProblem);
    }
    setProgress(0);
    setState(m_questions.phase() == boxQuestions::RunJob ? State::Running : State::Asking);
    nextPhase();
}

void benchRow::refuse(const QString &why)
{
    m_refusal = why;
    setText(Result, tr("not started: %1").arg(why), tr("not started: %1").arg(why));
    m_items[Result]->setBackground(outcomeColour(jobResult::Failed));
}

// Starts what the row's phase asks for: the HD box's MAC and version
// before the job, the job, the version once an update has started the box.
void benchRow::nextPhase()
{
    if (m_questions.query() != serviceRequest::None)
        return m_jobs->startQuery(m_questions.query());
    jobRequest request;
    request.kind = jobKind::Kind(m_job->currentData().toInt());
    request.ports = QStringList{port()};
    request.files = jobFiles(m_files);
    ++m_jobsRun;
    setState(State::Running);
    if (!m_jobs->start(request)) {
        m_questions.stop();
        setState(State::Idle);
        refuse(problem());
    }
}

void benchRow::onFinished(const jobResult &result)
{
    if (m_questions.phase() == boxQuestions::RunJob)
        return jobOver(result);
    onAnswer(result);
}

// An answer around the job; a box that gives none is shown so and the job
// still runs, to say in its own words why it fails.
void benchRow::onAnswer(const jobResult &result)
{
    m_jobs->writeLog(m_questions.answered(result));
    showIdentity();
    if (m_stopAsked && m_questions.phase() != boxQuestions::Over) {
        jobResult stopped = result;
        stopped.job = jobKind::Kind(m_job->currentData().toInt());
        stopped.query = serviceRequest::None;
        m_questions.stop();
        m_result = stopped;
    }
    if (m_questions.phase() == boxQuestions::Over)
        return jobOver(m_result);
    nextPhase();
}

void benchRow::jobOver(const jobResult &result)
{
    m_leftTick.stop();
    setText(Left, QString());
    m_result = result;
    if (m_questions.phase() == boxQuestions::RunJob) {
        m_questions.attemptEnded(m_result);
        if (retry())
            return;
        showResult(m_result);
        m_questions.jobEnded(m_result, !m_stopAsked);
        if (m_questions.phase() == boxQuestions::AskVersionAfter) {
            setState(State::Asking);
            return nextPhase();
        }
    } else {
        showResult(m_result);
    }
    m_questions.stop();
    record(m_result);
    // A failed or stopped job's progress stays where it broke off.
    if (result.done())
        setProgress(100);
    const QString mac = lineListener::macKey(m_questions.mac().text);
    m_lastMac = mac;
    emit finished(result.outcome);
    if (m_next->isChecked() && !m_stopAsked)
        watchNext();
    else
        setState(State::Idle);
}

// A failure that another attempt can mend is recorded and tried again, up
// to the row's retries, a moment later; a stop ends the tries.
bool benchRow::retry()
{
    const int attempts = m_retries->value() + 1;
    if (m_stopAsked || m_attempt >= attempts || !m_result.retryHelps())
        return false;
    showResult(m_result);
    record(m_result);
    m_jobs->writeLog(QStringLiteral("Attempt %1 of %2 failed (exit code %3); trying again")
                         .arg(m_attempt)
                         .arg(attempts)
                         .arg(m_result.exitCode()));
    QString step = tr("Attempt %1 of %2 failed; trying again in %3 s").arg(m_attempt).arg(attempts).arg(retryPauseMs / 1000);
    if (m_result.box == jobResult::HalfUpdated)
        step += QLatin1Char(' ') + tr("(the load had begun: the box is half-updated until an attempt loads it whole)");
    setText(Step, step);
    ++m_attempt;
    m_retryPause.start();
    return true;
}

void benchRow::retryNow()
{
    m_retryPause.stop();
    if (m_state != State::Running)
        return;
    if (m_stopAsked) {
        jobResult stopped = m_result;
        stopped.outcome = jobResult::Stopped;
        stopped.stoppedBy = jobResult::StopPressed;
        return jobOver(stopped);
    }
    m_started = QDateTime::currentDateTime();
    m_jobs->writeLog(QStringLiteral("Attempt %1 of %2").arg(m_attempt).arg(m_retries->value() + 1));
    setProgress(0);
    nextPhase();
}

// Each attempt's record goes to the window's records file; one that cannot
// be written is said on the row and in its log, and the bench goes on.
void benchRow::record(const jobResult &result)
{
    recordsFile records(filePlaces::recordsFile());
    recordsFile::Record r = recordsFile::of(result, m_files, m_started, m_attempt);
    r.port = port();
    r.mac = m_questions.mac().text;
    r.versionBefore = m_questions.versionBefore().text;
    r.versionAfter = m_questions.versionAfter().text;
    if (records.append(r))
        return;
    sayRecordsProblem(records);
    showResult(result);
}

// In the row's log and on its log button; the result's tooltip keeps it.
void benchRow::sayRecordsProblem(const recordsFile &records)
{
    m_recordsProblem = windowWords("The records file %1 cannot be written: %2. The job goes on without its record.")
                           .arg(QDir::toNativeSeparators(records.path()), records.reason());
    m_jobs->writeLog(QStringLiteral("The records file %1 cannot be written: %2").arg(records.path(), records.reason()));
    setText(Log, QString(), m_recordsProblem);
    m_logButton->setToolTip(m_recordsProblem);
}

void benchRow::watchNext()
{
    m_heard = -1;
    setState(State::Watching);
    showHeard(lineListener::Silent);
    const auto kind = jobKind::Kind(m_job->currentData().toInt());
    m_watch.start({.port = port(), .askHd = jobKind::isHd(kind), .lastMac = m_lastMac});
}

void benchRow::showHeard(int family)
{
    m_heard = family;
    if (m_state != State::Watching)
        return;
    setText(Step, tr("Waiting for the next box: %1").arg(boxWatch::heardText(family)));
}

void benchRow::setState(State state)
{
    m_state = state;
    const bool idle = state == State::Idle;
    m_port->setEnabled(idle);
    m_job->setEnabled(idle);
    m_table->cellWidget(m_items[Files]->row(), Files)->setEnabled(idle);
    m_stopButton->setEnabled(!idle);
    emit stateChanged();
}

// ---------------------------------------------------------------- stopping

void benchRow::stop(bool ask)
{
    if (m_state == State::Watching) {
        m_watch.stop();
        setState(State::Idle);
        setText(Step, tr("No longer waiting for the next box"));
        return;
    }
    if (!busy())
        return;
    if (ask && m_state == State::Running && !askStop())
        return;
    if (!busy())
        return;
    m_stopAsked = true;
    // Between two attempts no job runs: the stop ends the tries at once.
    if (m_retryPause.isActive())
        return retryNow();
    m_jobs->stop(jobResult::StopPressed);
}

// Breaking off a transfer can leave the box without firmware, so the user
// decides, in the main window's words; the question closes when its moment
// has passed, and a later stage asks in its own words.
bool benchRow::askStop()
{
    const int job = m_jobsRun;
    for (;;) {
        if (m_state != State::Running || job != m_jobsRun)
            return false;
        const Stage stage = m_stage;
        QString question;
        if (stage == Stage::Sending)
            question = windowWords("The file is being sent.\nStopping now can leave the Settopbox half-updated:\n"
                                  "it must then be updated again.\nStop the transfer?");
        else if (stage == Stage::Working)
            question = windowWords("The Settopbox is writing the file it has received.\nStopping now can leave it "
                                  "half-updated:\nit must then be updated again.\nStop the transfer?");
        if (question.isEmpty())
            return true;
        QMessageBox box(QMessageBox::Question, windowWords("Velmora"), tr("%1: %2").arg(port(), question),
                        QMessageBox::Yes | QMessageBox::No, m_table->window());
        box.setDefaultButton(QMessageBox::No);
        m_question = &box;
        bool passed = false;
        m_questionStands = [this, stage, job, &passed] {
            passed = !(m_state == State::Running && m_stage == stage && m_jobsRun == job);
            return !passed;
        };
        const int answer = box.exec();
        m_question = nullptr;
        m_questionStands = nullptr;
        if (passed)
            continue;
        return answer == QMessageBox::Yes;
    }
}

void benchRow::setStage(Stage stage)
{
    m_stage = stage;
    if (m_question && m_questionStands && !m_questionStands())
        m_question->done(QMessageBox::No);
}

// ---------------------------------------------------------------- showing

// Each change of a cell makes the table measure its columns again: an
// unchanged text or tip is not set.
void benchRow::setText(Column column, const QString &text, const QString &tip)
{
    QTableWidgetItem *item = m_items[column];
    const QString shownTip = tip.isEmpty() ? text : tip;
    if (item->text() != text)
        item->setText(text);
    if (item->toolTip() != shownTip)
        item->setToolTip(shownTip);
}

void benchRow::showResult(const jobResult &result)
{
    QString text = result.outcomeText();
    if (result.done())
        text = result.headline();
    else if (!result.causeText().isEmpty())
        text += QStringLiteral(": ") + result.causeText() + QStringLiteral(" — ") +
                result.remedy(jobResult::InWindow);
    const QString tip = jobSummary::text(result);
    setText(Result, text, m_recordsProblem.isEmpty() ? tip : tip + QLatin1Char('\n') + m_recordsProblem);
    m_items[Result]->setData(Qt::UserRole, jobSummary::outcomeKey(result.outcome));
    m_items[Result]->setBackground(outcomeColour(result.outcome));
}

QString benchRow::shown(const boxQuestions::Answer &answer) const
{
    return answer.given ? answer.text : answer.asked ? tr("no answer") : QString();
}

void benchRow::showIdentity()
{
    QString text = shown(m_questions.mac());
    const QString before = shown(m_questions.versionBefore()), after = shown(m_questions.versionAfter());
    if (!before.isEmpty()) {
        const QString versions = after.isEmpty() ? before : tr("%1 → %2").arg(before, after);
        text = text.isEmpty() ? versions : tr("%1, %2").arg(text, versions);
    }
    setText(Identity, text);
}

void benchRow::tickLeft()
{
    const qint64 seconds = (m_leftDeadline.remainingTime() + 999) / 1000;
    if (seconds <= 0) {
        m_leftTick.stop();
        setText(Left, QString());
        return;
    }
    setText(Left, tr("%1 s").arg(seconds));
}

QString benchRow::resultText() const { return m_items[Result]->text(); }
QString benchRow::resultTip() const { return m_items[Result]->toolTip(); }
QString benchRow::stepText() const { return m_items[Step]->text(); }
QString benchRow::identityText() const { return m_items[Identity]->text(); }
QString benchRow::leftText() const { return m_items[Left]->text(); }
int benchRow::progress() const { return m_progress->value(); }

// The bar is painted with the window's next frame, together with every
// other row's, instead of at once as a progress bar does by itself.
void benchRow::setProgress(int percent)
{
    if (percent == m_progress->value())
        return;
    m_progress->setUpdatesEnabled(false);
    m_progress->setValue(percent);
    m_progress->setUpdatesEnabled(true);
    m_progress->update();
}
