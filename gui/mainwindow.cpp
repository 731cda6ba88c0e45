#include "mainwindow.h"

#include "benchwindow.h"
#include "catalogue.h"
#include "commandline.h"
#include "boxinfodialog.h"
#include "filedialogs.h"
#include "fileplaces.h"
#include "jobfiles.h"
#include "jobkind.h"
#include "jobsummary.h"
#include "recordsfile.h"
#include "statustable.h"
#include "ui_mainwindow.h"
#include "velmoraversion.h"
#include "waitcountdown.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QUrl>

namespace {

const QString EDITOR_EXE = QStringLiteral("Morvelt.exe");
// Made before any translator is installed: the filters stay in English.
const QString FILTER_HD_ENTRY = QLatin1String(QT_TRANSLATE_NOOP("QObject", "Channel list HD")) + QStringLiteral(" *.lis");
const QString FILTER_SD_ENTRY = QLatin1String(QT_TRANSLATE_NOOP("QObject", "Channel list SD")) + QStringLiteral(" *.lst");
const QString FILTER_LIST_HD = FILTER_HD_ENTRY + QStringLiteral(";;") + FILTER_SD_ENTRY;
const QString FILTER_LIST_SD = FILTER_SD_ENTRY + QStringLiteral(";;") + FILTER_HD_ENTRY;

} // namespace

MainWindow::MainWindow(const commandLine &line, QWidget *parent)
    : QMainWindow(parent), ui(new Ui_MainWindow)
{
    ui->setupUi(this);
    ui->actionEditChannellist->setVisible(QFileInfo::exists(EDITOR_EXE));
    m_transfer = jobKind::None;
    ui->comboPorts->refresh();
    readSettings();

    QCoreApplication::installTranslator(&m_translatorQt);
    QCoreApplication::installTranslator(&m_translator);
    createLanguageMenu();

    connect(&m_jobs, &jobRunner::statusCode, this, &MainWindow::slotCurrentAction);
    connect(&m_jobs, &jobRunner::progress, ui->progBar, &QProgressBar::setValue);
    connect(&m_jobs, &jobRunner::sendingBegan, this, [this] { setStage(Stage::Sending); });
    connect(&m_jobs, &jobRunner::sendingEnded, this, [this] { setStage(Stage::Working); });
    m_countdown = new waitCountdown(ui->statusBar, this);
    connect(&m_jobs, &jobRunner::waiting, this, [this](qint64 ms) {
        if (m_busy)
            m_countdown->waitBegan(ms);
    });
    // The box information shows its requests' results itself.
    connect(&m_jobs, &jobRunner::jobFinished, this, &MainWindow::jobFinished);
    showResult(jobResult());
    connect(ui->actionRerun, &QAction::triggered, this, &MainWindow::slotStartAction);
    connect(ui->btnQuit, &QPushButton::clicked, this, &MainWindow::close);
    connect(ui->actionQuit, &QAction::triggered, this, &MainWindow::close);

    ui->menuInternal->setTitle(QString());
    setAcceptDrops(true);
    tellOwnLog();

    if (readCommandLine(line))
        slotStartAction();
}

MainWindow::~MainWindow()
{
    // A window destroyed without a close event must still not leave a
    // running thread behind.
    m_jobs.shutDown();
    delete ui;
}

QString MainWindow::windowIconFile()
{
    for (const char *icon : {"logo.ico", "logo.png", "logo.xpm"})
        if (QFileInfo::exists(QLatin1String(icon)))
            return QLatin1String(icon);
    return QString();
}

// ---------------------------------------------------------------- ports

void MainWindow::on_comboPorts_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    m_jobs.setPortname(ui->comboPorts->itemData(index).toString());
}

// ---------------------------------------------------------------- jobs

void MainWindow::slotStartAction()
{
    jobRequest request;
    request.kind = m_transfer;
    request.files = jobFiles::fromLabel(ui->lblFilename->text());
    request.verify = ui->actionVerifyUpload->isChecked();
    if (refuseNodes(request))
        return;
    m_jobs.start(request);
}

// A FIFO, a device or a socket in the place of the job's file is refused
// before the box is asked, in the words a batch run uses: a download would
// have nowhere to go after the box gave its list, an update would block on
// the node or read from it. Other problems of the files are the link's to
// report, as they always were.
bool MainWindow::refuseNodes(const jobRequest &request)
{
    if (!jobKind::find(request.kind) || request.files.isEmpty())
        return false;
    const linkCause problem = request.filesProblem();
    if (problem.kind != linkCause::FileNotRegular)
        return false;
    jobResult result = jobResult::refused(request.kind, problem);
    result.port = m_jobs.portname();
    m_jobs.writeLog(QStringLiteral("Not started: %1").arg(result.causeText()));
    showResult(result);
    m_countdown->showStatus(result.outcomeText(), 0);
    QMessageBox::critical(this, jobSummary::jobName(request.kind), jobSummary::text(result), QMessageBox::Ok,
                          QMessageBox::NoButton);
    return true;
}

void MainWindow::setJobControls(bool enabled)
{
    ui->btnQuit->setEnabled(enabled);
    ui->btnUpdate->setEnabled(enabled);
    ui->menuBar->setEnabled(enabled);
    // The job has taken its verify setting already.
    ui->actionVerifyUpload->setEnabled(enabled);
    ui->comboPorts->setEnabled(enabled);
    // Stop is the one control a running job has.
    ui->btnStop->setEnabled(!enabled);
}

void MainWindow::slotCurrentAction(int action)
{
    // The box information's own requests: their codes and a silent box's
    // errors are its to show, line by line.
    const bool boxInfo = m_boxInfo && m_boxInfo->running();
    const statusTable::Entry *row = statusTable::find(action);
    if (boxInfo && (!row || row->kind == statusTable::Error))
        return;
    if (!row) {
        QMessageBox::critical(this, tr("Error"), tr("Received unknown message: %1").arg(action),
                              QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }
    const auto text = [](const char *source) {
        return QCoreApplication::translate("MainWindow", source);
    };
    switch (row->kind) {
    case statusTable::JobStarted:
        jobStarted(boxInfo);
        return;
    case statusTable::JobEnded:
        jobEnded(*row);
        return;
    case statusTable::Progress:
        m_countdown->showStatus(text(row->status), row->timeout);
        return;
    case statusTable::Result:
        // The box holds what it was sent: a stop no longer harms it.
        if (m_busy)
            setStage(Stage::Preparing);
        m_countdown->showStatus(text(row->status), row->timeout);
        if (m_closeWithoutAsking)
            return;
        QMessageBox::information(this, text(row->title), text(row->text), QMessageBox::Ok,
                                 QMessageBox::NoButton);
        return;
    case statusTable::Error:
        m_errorSeen = m_busy;
        m_countdown->showStatus(text(row->status), row->timeout);
        if (m_closeWithoutAsking)
            return;
        QMessageBox::critical(this, text(row->title), text(row->text), QMessageBox::Ok,
                              QMessageBox::NoButton);
        return;
    }
}

void MainWindow::jobStarted(bool boxInfo)
{
    m_busy = true;
    m_errorSeen = false;
    m_stopAsked = false;
    ++m_jobCount;
    setStage(Stage::Preparing);
    if (!boxInfo)
        showResult(jobResult());
    m_jobStart = QDateTime::currentDateTime();
    if (!boxInfo) {
        recordsFile records(filePlaces::recordsFile());
        if (!records.check())
            sayRecordsProblem(records.path(), records.reason());
    }
    setJobControls(false);
    ui->progBar->setValue(0);
    ui->toolBar->setEnabled(false);
    setAcceptDrops(false);
}

void MainWindow::jobEnded(const statusTable::Entry &row)
{
    // A failed job's end code may come twice; its progress is the first one's.
    if (m_busy)
        m_progressAtEnd = ui->progBar->value();
    m_busy = false;
    setStage(Stage::Idle);
    setJobControls(true);
    // A failed or stopped job's bar stays where it broke off, not even a
    // moment full; the typed result that follows settles the rest.
    if (!m_errorSeen && !m_stopAsked)
        ui->progBar->setValue(100);
    ui->actionRerun->setEnabled(true);
    ui->toolBar->setEnabled(true);
    // Only a job that went through ends "done".
    if (m_errorSeen || m_stopAsked)
        m_countdown->showStatus(jobResult::outcomeName(m_errorSeen ? jobResult::Failed : jobResult::Stopped), 0);
    else
        m_countdown->showStatus(QCoreApplication::translate("MainWindow", row.status), row.timeout);
    setAcceptDrops(true);
}

// ---------------------------------------------------------------- closing

void MainWindow::closeWithoutAsking()
{
    m_closeWithoutAsking = true;
    // A message box runs a loop of its own; end each one so that the close
    // below runs once they have returned.
    for (int guard = 0; guard < 16; ++guard) {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            break;
        dialog->reject();
    }
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// Breaking off a transfer can leave the box without firmware, so the user
// decides; the job then ends at its next wait and closes the port. The
// question stands only while `stands` holds: once its moment has passed it
// is closed, and its answer counts for nothing.
MainWindow::Answer MainWindow::ask(const QString &question, const std::function<bool()> &stands)
{
    if (m_closeWithoutAsking)
        return Answer::Yes;
    QMessageBox box(QMessageBox::Question, tr("Velmora"), question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    m_question = &box;
    m_questionStands = stands;
    m_questionPassed = false;
    const int answer = box.exec();
    m_question = nullptr;
    m_questionStands = nullptr;
    if (m_questionPassed)
        return Answer::Passed;
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void MainWindow::setStage(Stage stage)
{
    m_stage = stage;
    if (m_question && m_questionStands && !m_questionStands()) {
        m_questionPassed = true;
        m_question->done(QMessageBox::No);
    }
}

// What Stop asks in a stage, or nothing: before its file goes out a job
// leaves the box as it was; after, the box has begun to take it in place of
// what it held.
QString MainWindow::stopQuestion(Stage stage) const
{
    if (stage == Stage::Sending)
        return tr("The file is being sent.\nStopping now can leave the Settopbox half-updated:\n"
                  "it must then be updated again.\nStop the transfer?");
    if (stage == Stage::Working)
        return tr("The Settopbox is writing the file it has received.\nStopping now can leave it half-updated:\n"
                  "it must then be updated again.\nStop the transfer?");
    return QString();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The bench asks for its own running rows.
    if (m_bench && m_bench->isVisible() && !m_bench->close()) {
        event->ignore();
        return;
    }
    const int job = m_jobCount;
    const Answer answer = !m_busy ? Answer::Yes
                                  : ask(tr("A transfer is running. Stopping it now can leave the Settopbox unusable.\n"
                                           "Stop the transfer and quit?"),
                                        [this, job] { return m_busy && m_jobCount == job; });
    // A job that ended while the question was open keeps its result on
    // screen: the window stays, and closing it again asks nothing.
    if (answer != Answer::Yes) {
        event->ignore();
        return;
    }
    writeSettings();
    m_jobs.shutDown();
    event->accept();
}

// ---------------------------------------------------------------- steering a job

void MainWindow::on_btnStop_clicked()
{
    const int job = m_jobCount;
    for (;;) {
        // The job may have ended while a question was open.
        if (!m_busy || job != m_jobCount)
            return;
        const Stage stage = m_stage;
        const QString question = stopQuestion(stage);
        if (question.isEmpty())
            break;
        const Answer answer = ask(question, [this, stage, job] { return m_busy && m_stage == stage && m_jobCount == job; });
        if (answer == Answer::No)
            return;
        if (answer == Answer::Yes)
            break;
        // Its stage passed: the stage now asks in its own words, if at all.
    }
    if (m_busy && job == m_jobCount) {
        m_stopAsked = true;
        m_jobs.stop(jobResult::StopPressed);
    }
}

// A failed or stopped job must not look done: the status bar says how it
// ended and the progress stays where the job broke off.
void MainWindow::jobFinished(const jobResult &result)
{
    if (!jobKind::find(result.job))
        return;
    showResult(result);
    recordJob(result);
    if (result.done())
        return;
    ui->progBar->setValue(m_progressAtEnd);
    m_countdown->showStatus(result.outcomeText(), 0);
}

// Another instance in this folder holds the log: this window logs to its
// own, says which, and opens beside the other, not on top of it.
void MainWindow::tellOwnLog()
{
    const QString held = m_jobs.logHeldElsewhere();
    if (held.isEmpty())
        return;
    m_jobs.writeLog(QStringLiteral("%1 is written by another instance: this window logs here").arg(held));
    ui->statusBar->showMessage(tr("Another Velmora writes %1: this window logs to %2")
                                   .arg(QDir::toNativeSeparators(held), QDir::toNativeSeparators(m_jobs.logPath())));
    // One step for each instance that was here first, so that a third
    // window does not cover the second.
    constexpr int offset = 40;
    const int steps = qMax(1, m_jobs.logsHeldElsewhere());
    const QPoint moved = pos() + QPoint(offset, offset) * steps;
    if (QGuiApplication::screenAt(moved + QPoint(offset, offset)))
        move(moved);
}

void MainWindow::recordJob(const jobResult &result)
{
    recordsFile records(filePlaces::recordsFile());
    if (!records.append(recordsFile::of(result, m_jobs.lastRequest().files.names(), m_jobStart)))
        sayRecordsProblem(records.path(), records.reason());
}

void MainWindow::sayRecordsProblem(const QString &path, const QString &reason)
{
    m_jobs.writeLog(QStringLiteral("The records file %1 cannot be written: %2").arg(path, reason));
    const QString said = tr("The records file %1 cannot be written: %2. The job goes on without its record.")
                             .arg(QDir::toNativeSeparators(path), reason);
    const QString shown = ui->lblResult->text();
    ui->lblResult->setText(shown.isEmpty() ? said : shown + QLatin1Char('\n') + said);
    ui->lblResult->setVisible(true);
}

// Kept until the next job starts, so that what went wrong can still be read
// once its message box is closed.
void MainWindow::showResult(const jobResult &result)
{
    m_result = result;
    const QString summary = jobSummary::text(result);
    ui->lblResult->setText(summary);
    ui->lblResult->setProperty("outcome", summary.isEmpty() ? QString() : jobSummary::outcomeKey(result.outcome));
    ui->lblResult->setStyleSheet(summary.isEmpty() ? QString() : jobSummary::style(result.outcome));
    ui->lblResult->setVisible(!summary.isEmpty());
    if (summary.isEmpty())
        return;
    // The window's layout knows no wrapped heights: grow it by what the
    // wrapped lines lack, so that the last of them (the box's state) shows.
    ui->centralWidget->layout()->activate();
    const int lacking = ui->lblResult->heightForWidth(ui->lblResult->width()) - ui->lblResult->height();
    if (lacking > 0)
        resize(width(), height() + lacking);
}

// ---------------------------------------------------------------- drag and drop

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    QStringList names;
    for (const QUrl &url : urls)
        names << url.toLocalFile();
    const jobFiles dropped(names);
    if (!dropped.refused().isEmpty()) {
        refuseFileNames(dropped.refused());
        return;
    }
    const commandLine::Run run = commandLine::recognise(dropped.names());
    logProblems(run.problems);
    if (run.kind != jobKind::None)
        m_transfer = run.kind;
    ui->actionRerun->setEnabled(true);
    if (!run.files.isEmpty()) {
        ui->lblFilename->setText(run.files.label());
        event->acceptProposedAction();
    }
}

// ---------------------------------------------------------------- user commands

void MainWindow::logProblems(const QStringList &problems)
{
    for (const QString &problem : problems)
        if (!problem.isEmpty())
            m_jobs.writeLog(problem);
}

QString MainWindow::labelFirstLine() const
{
    return jobFiles::fromLabel(ui->lblFilename->text()).first();
}

QString MainWindow::startDir(const QString &path) const
{
    return path.isEmpty() ? QDir::currentPath() : QFileInfo(path).absolutePath();
}

void MainWindow::on_actionUpdateHDFirmware_triggered()
{
    const QString file = fileDialogs::openFile(
        this, tr("Update file"), startDir(ui->lblFilename->text()),
        tr("HD-Firmware file") + QStringLiteral(" *.app;;") + tr("All Files") + QStringLiteral(" *.*"));
    if (file.isEmpty())
        return;
    ui->lblFilename->setText(file);
    m_transfer = jobKind::UpdateHD;
    slotStartAction();
}

void MainWindow::on_actionUpdateSDFirmware_triggered()
{
    const QStringList files = fileDialogs::openFiles(
        this, tr("Update file"), startDir(labelFirstLine()),
        tr("SD-Firmware file") + QStringLiteral(" *.app;;") + tr("All Files") + QStringLiteral(" *.*"));
    if (files.isEmpty())
        return;
    QStringList kept;
    for (const QString &file : files) {
        const commandLine::Run run = commandLine::recognise({file}, commandLine::SdOnly);
        logProblems(run.problems);
        if (run.kind == jobKind::UpdateSD)
            kept << file;
    }
    ui->lblFilename->setText(jobFiles(kept).label());
    m_transfer = jobKind::UpdateSD;
    slotStartAction();
}

void MainWindow::on_actionSendChannellist_triggered()
{
    const QString file = fileDialogs::openFile(this, tr("Channel list"), startDir(ui->lblFilename->text()),
                                               jobKind::isHd(m_transfer) ? FILTER_LIST_HD : FILTER_LIST_SD);
    if (file.isEmpty())
        return;
    const commandLine::Run run = commandLine::recognise({file});
    logProblems(run.problems);
    if (run.kind == jobKind::SendListHD || run.kind == jobKind::SendListSD) {
        m_transfer = run.kind;
    } else {
        QMessageBox::critical(this, tr("Channel list"), tr("No Channel list detected!"),
                              QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }
    ui->lblFilename->setText(file);
    slotStartAction();
}

void MainWindow::on_actionGetChannellist_triggered()
{
    QString selected;
    const QString file = fileDialogs::saveFile(this, tr("Channel list"), startDir(labelFirstLine()),
                                               jobKind::isHd(m_transfer) ? FILTER_LIST_HD : FILTER_LIST_SD,
                                               &selected);
    if (file.isEmpty())
        return;
    jobKind::Kind kind = jobKind::None;
    if (file.endsWith(QLatin1String(".lis"), Qt::CaseInsensitive) || selected == FILTER_HD_ENTRY)
        kind = jobKind::GetListHD;
    else if (file.endsWith(QLatin1String(".lst"), Qt::CaseInsensitive) || selected == FILTER_SD_ENTRY)
        kind = jobKind::GetListSD;
    if (kind == jobKind::None) {
        // Guessing the family would talk the wrong dialogue to the box.
        QMessageBox::critical(this, tr("Channel list"),
                              tr("Please choose a name ending in .lis (HD) or .lst (SD)."),
                              QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }
    ui->lblFilename->setText(file);
    m_transfer = kind;
    slotStartAction();
}

void MainWindow::on_btnUpdate_clicked()
{
    if (!ui->lblFilename->text().isEmpty()) {
        slotStartAction();
        return;
    }
    const QStringList files = fileDialogs::openFiles(
        this, tr("Update file"), QDir::currentPath(),
        tr("HD-Firmware file") + QStringLiteral(" *.app;;") + tr("SD-Firmware file") +
            QStringLiteral(" *.app;;") + tr("All Files") + QStringLiteral(" *.*"));
    if (files.isEmpty())
        return;
    // One file is taken as a drop is; of several, only SD files count.
    const commandLine::Run run =
        commandLine::recognise(files, files.size() == 1 ? commandLine::FirstDecides : commandLine::SdOnly);
    logProblems(run.problems);
    m_transfer = run.kind;
    if (run.kind != jobKind::None)
        ui->lblFilename->setText(run.files.label());
    slotStartAction();
}

void MainWindow::on_actionEditChannellist_triggered()
{
    QString list;
    if (jobKind::isList(m_transfer))
        list = ui->lblFilename->text();
    if (list.isEmpty()) {
        list = fileDialogs::openFile(this, tr("Channel list"), QDir::currentPath(), FILTER_LIST_HD);
        if (list.isEmpty())
            return;
    }
    // The action is only shown when the editor lies in the working directory;
    // start that one, as the program search may not look there.
    const QString program = QFileInfo::exists(EDITOR_EXE) ? QDir::current().absoluteFilePath(EDITOR_EXE)
                                                          : EDITOR_EXE;
    auto *editor = new QProcess;
    connect(editor, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), editor,
            &QObject::deleteLater);
    connect(editor, &QProcess::errorOccurred, editor, &QObject::deleteLater);
    editor->start(program, {list}, QIODevice::ReadWrite);
}

void MainWindow::on_actionAbout_triggered()
{
    QMessageBox::about(
        this, tr("Velmora"),
        tr("With this program you can update your Settopbox\nand copy the Channel list from and to your PC.\n"
           "all you need a cable from RS232 to RJ11\n\n"
           "This software uses the Qt-Framework (https://www.qt.io)\n"
           "and QextSerialPort (https://github.com/qextserialport/qextserialport)\n\n"
           "Version: %1\nDate: %2")
            .arg(QStringLiteral(VELMORA_VERSION_SHORT), QStringLiteral("Oct  2 2018")));
}

void MainWindow::on_actionBoxInfo_triggered()
{
    delete m_boxInfo;
    m_boxInfo = new boxInfoDialog(m_jobs, this);
    m_boxInfo->open();
    m_boxInfo->start();
}

// The bench is opened beside the window, not in its place: both run jobs
// of their own at once, each on its own ports.
void MainWindow::on_actionBench_triggered()
{
    if (!m_bench)
        m_bench = new benchWindow(this);
    m_bench->open();
}

// The file is made, with its header, when no job has written it yet, so
// that a spreadsheet opens it in any case.
void MainWindow::on_actionOpenRecords_triggered()
{
    recordsFile records(filePlaces::recordsFile());
    const QString path = QFileInfo(records.path()).absoluteFilePath();
    if (!records.check())
        ui->statusBar->showMessage(tr("The records file %1 cannot be written: %2")
                                       .arg(QDir::toNativeSeparators(path), records.reason()));
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ui->statusBar->showMessage(tr("No program opens %1: open it in a spreadsheet").arg(QDir::toNativeSeparators(path)));
}

void MainWindow::on_actionAboutQt_triggered()
{
    QMessageBox::aboutQt(this, tr("Velmora"));
}

// ---------------------------------------------------------------- settings

void MainWindow::readSettings()
{
    QSettings settings(filePlaces::settingsFile(), QSettings::IniFormat);
    filePlaces::shareEncoding(settings);
    settings.beginGroup(QStringLiteral("Language"));
    m_currLang = settings.value(QStringLiteral("Language"), catalogue::systemLanguage()).toString();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Velmora"));
    QPoint pos = settings.value(QStringLiteral("Position"), QPoint(0, 0)).toPoint();
    QSize size = settings.value(QStringLiteral("Size"), QSize(400, 161)).toSize();
    if (!size.isValid() || size.isEmpty())
        size = QSize(400, 161);
    // A place stored on a screen that is gone would hide the window.
    if (!QGuiApplication::screenAt(pos + QPoint(20, 20)))
        pos = QPoint(0, 0);
    // A size far beyond the screen would cost its whole backing store.
    const QScreen *screen = QGuiApplication::screenAt(pos + QPoint(20, 20));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size());
    move(pos);
    resize(size);
    ui->comboPorts->selectPort(settings.value(QStringLiteral("Portname")).toString());
    ui->lblFilename->setText(settings.value(QStringLiteral("Filename")).toString());
    m_transfer = jobKind::fromKeyword(settings.value(QStringLiteral("Transfer")).toString());
    ui->actionVerifyUpload->setChecked(settings.value(QStringLiteral("VerifyUpload"), false).toBool());
    settings.endGroup();

    if (!ui->lblFilename->text().isEmpty() && m_transfer != jobKind::None)
        ui->actionRerun->setEnabled(true);
}

void MainWindow::writeSettings()
{
    QSettings settings(filePlaces::settingsFile(), QSettings::IniFormat);
    filePlaces::shareEncoding(settings);
    settings.beginGroup(QStringLiteral("Language"));
    settings.setValue(QStringLiteral("Language"), m_currLang);
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Velmora"));
    settings.setValue(QStringLiteral("Position"), pos());
    settings.setValue(QStringLiteral("Size"), size());
    settings.setValue(QStringLiteral("Portname"), ui->comboPorts->currentData().toString());
    settings.setValue(QStringLiteral("Filename"), ui->lblFilename->text());
    if (const jobKind::Row *job = jobKind::find(m_transfer))
        settings.setValue(QStringLiteral("Transfer"), QLatin1String(job->keyword));
    settings.setValue(QStringLiteral("VerifyUpload"), ui->actionVerifyUpload->isChecked());
    settings.endGroup();
}

// ---------------------------------------------------------------- command line

bool MainWindow::readCommandLine(const commandLine &line)
{
    logProblems(line.problems);
    for (const QString &port : line.ports)
        ui->comboPorts->selectPort(port);
    if (line.hasKind)
        m_transfer = line.kind;
    if (line.hasFiles)
        ui->lblFilename->setText(line.files.label());
    if (line.verify)
        ui->actionVerifyUpload->setChecked(true);
    if (!line.refused.isEmpty()) {
        refuseFileNames(line.refused);
        return false;
    }
    if (line.start) {
        ui->actionRerun->setEnabled(true);
        return true;
    }
    return false;
}

// Refused names are logged and answered with the error of the job's file.
void MainWindow::refuseFileNames(const QStringList &names)
{
    for (const QString &name : names)
        m_jobs.writeLog(jobFiles::refusalLog(name));
    // Queued: the constructor may be the caller, before anyone sees the window.
    const auto fileFailed = [this] { slotCurrentAction(statusTable::fileFailed(jobKind::isHd(m_transfer))); };
    QMetaObject::invokeMethod(this, fileFailed, Qt::QueuedConnection);
}

// ---------------------------------------------------------------- languages

void MainWindow::createLanguageMenu()
{
    auto *group = new QActionGroup(ui->menuLanguage);
    group->setExclusive(true);
    connect(group, &QActionGroup::triggered, this, &MainWindow::slotLanguageChanged);

    const QString select = m_currLang;
    const QStringList catalogues = QDir(catalogue::path()).entryList({QStringLiteral("Velmora_*.qm")});
    for (QString code : catalogues) {
        code.truncate(code.lastIndexOf(QLatin1Char('.')));
        code.remove(0, code.indexOf(QLatin1Char('_')) + 1);
        auto *action = new QAction(QLocale::languageToString(QLocale(code).language()), this);
        action->setCheckable(true);
        action->setData(code);
        ui->menuLanguage->addAction(action);
        group->addAction(action);
        if (code == select) {
            catalogue::load(m_translator, m_translatorQt, code);
            action->setChecked(true);
            ui->retranslateUi(this);
            ui->comboPorts->retranslate();
        }
    }
}

void MainWindow::slotLanguageChanged(QAction *action)
{
    if (action)
        loadLanguage(action->data().toString());
}

void MainWindow::loadLanguage(const QString &code)
{
    if (code == m_currLang)
        return;
    m_currLang = code;
    const QLocale locale(code);
    QLocale::setDefault(locale);
    const QString name = QLocale::languageToString(locale.language());
    catalogue::load(m_translator, m_translatorQt, code);
    ui->statusBar->showMessage(tr("Language changed to: %1").arg(name), 2000);
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (!event)
        return;
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        ui->comboPorts->retranslate();
        showResult(m_result);
    } else if (event->type() == QEvent::LocaleChange) {
        catalogue::load(m_translator, m_translatorQt, catalogue::systemLanguage());
        ui->retranslateUi(this);
        ui->comboPorts->retranslate();
    }
}
