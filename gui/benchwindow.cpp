#include "benchwindow.h"

#include "fileplaces.h"
#include "jobkind.h"
#include "ui_benchwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QSettings>

namespace {

const QString group = QStringLiteral("Bench");
const QString rowsKey = QStringLiteral("Rows");
// A bench opened for the first time has a row to start from.
constexpr int firstRows = 1;
// Texts of any length: a width to start from, which the user may change.
const struct {
    benchRow::Column column;
    int width;
} wideColumns[] = {
    {.column = benchRow::Step, .width = 200},
    {.column = benchRow::Identity, .width = 200},
    // Room for "999 s" in either language.
    {.column = benchRow::Left, .width = 60},
};

bool isWide(int column)
{
    for (const auto &wide : wideColumns)
        if (wide.column == column)
            return true;
    return false;
}

} // namespace

benchWindow::benchWindow(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui_benchWindow)
{
    ui->setupUi(this);
    ui->table->setColumnCount(benchRow::Columns);
    ui->table->verticalHeader()->setVisible(false);
    // The texts' columns start at a width of their own; the others fit their
    // cells (fitColumns). No column sizes itself to its cells: a table would
    // measure it again at every change of any cell, hundreds of times a
    // second on a busy bench.
    QHeaderView *header = ui->table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (const auto &wide : wideColumns)
        header->resizeSection(wide.column, wide.width);
    // The result takes what is left: that measures no cell.
    header->setSectionResizeMode(benchRow::Result, QHeaderView::Stretch);
    connect(ui->btnStartAll, &QPushButton::clicked, this, &benchWindow::startAll);
    connect(&m_portCheck, &portCheck::checked, this, &benchWindow::startChecked);
    connect(ui->btnStopAll, &QPushButton::clicked, this, [this] { stopAll(); });
    connect(ui->btnAddRow, &QPushButton::clicked, this, [this] {
        // A new row takes the selected row's job, so that a bench is set up quickly.
        benchRow::Setup setup;
        if (rowCount() > 0) {
            setup = row(selectedRow())->setup();
            setup.port.clear();
        }
        addRow(setup);
    });
    connect(ui->btnRemoveRow, &QPushButton::clicked, this, [this] { removeRow(selectedRow()); });
    connect(ui->btnCopyJob, &QPushButton::clicked, this, &benchWindow::copyJobToAll);
    connect(ui->chkNextBoxAll, &QCheckBox::toggled, this, &benchWindow::setNextBoxAll);
    readSettings();
    retranslate();
}

benchWindow::~benchWindow()
{
    writeSettings();
    m_rows.clear();
    delete ui;
}

benchRow *benchWindow::addRow(const benchRow::Setup &setup)
{
    m_rows.push_back(std::make_unique<benchRow>(ui->table));
    benchRow *row = m_rows.back().get();
    row->setSetup(setup);
    connect(row, &benchRow::finished, this, &benchWindow::count);
    connect(row, &benchRow::stateChanged, this, &benchWindow::updateControls);
    updateControls();
    return row;
}

bool benchWindow::removeRow(int index)
{
    if (index < 0 || index >= rowCount() || row(index)->busy())
        return false;
    row(index)->stop(false);
    ui->table->removeRow(index);
    m_rows.erase(m_rows.begin() + index);
    updateControls();
    return true;
}

int benchWindow::selectedRow() const
{
    const int current = ui->table->currentRow();
    return current >= 0 && current < rowCount() ? current : rowCount() - 1;
}

// Two rows on one box would talk to it at once: nothing starts while a
// port is named twice, as batch mode refuses it, before any box is asked.
// A server's host name is looked up off this thread (Stop all abandons it).
void benchWindow::startAll()
{
    m_checkedPorts.clear();
    for (const auto &r : m_rows)
        if (!r->port().isEmpty())
            m_checkedPorts << r->port();
    m_portCheck.check(m_checkedPorts);
}

void benchWindow::startChecked(const QStringList &identities)
{
    QHash<QString, QString> identityOf;
    for (int i = 0; i < identities.size(); ++i)
        identityOf.insert(m_checkedPorts.at(i), identities.at(i));
    QHash<QString, int> uses;
    for (const auto &r : m_rows)
        if (!r->port().isEmpty())
            ++uses[identityOf.value(r->port(), r->port())];
    bool twice = false;
    for (const auto &r : m_rows) {
        if (!r->port().isEmpty() && uses.value(identityOf.value(r->port(), r->port())) > 1) {
            r->refuse(tr("port named twice: %1").arg(r->port()));
            twice = true;
        }
    }
    if (twice)
        return;
    for (const auto &r : m_rows) {
        if (r->state() != benchRow::State::Idle && r->state() != benchRow::State::Watching)
            continue;
        const QString problem = r->problem();
        if (problem.isEmpty())
            r->start();
        else
            r->refuse(problem);
    }
}

void benchWindow::stopAll(bool ask)
{
    m_portCheck.stop();
    int sending = 0;
    for (const auto &r : m_rows)
        sending += r->sending() ? 1 : 0;
    if (ask && sending > 0) {
        QMessageBox box(QMessageBox::Question, windowTitle(),
                        tr("%n row(s) are sending a file or the box is writing it.\n"
                           "Stopping now can leave those boxes half-updated:\n"
                           "they must then be updated again.\nStop all rows?",
                           nullptr, sending),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes)
            return;
    }
    for (const auto &r : m_rows)
        r->stop(false);
}

void benchWindow::copyJobToAll()
{
    if (m_rows.empty())
        return;
    const benchRow::Setup from = row(selectedRow())->setup();
    for (const auto &r : m_rows) {
        if (r->state() != benchRow::State::Idle)
            continue;
        benchRow::Setup setup = r->setup();
        setup.kind = from.kind;
        setup.files = from.files;
        r->setSetup(setup);
    }
}

void benchWindow::setNextBoxAll(bool on)
{
    for (const auto &r : m_rows)
        r->setNextBox(on);
}

void benchWindow::count(jobResult::Outcome outcome)
{
    switch (outcome) {
    case jobResult::Done:
        ++m_counters.done;
        break;
    case jobResult::Failed:
        ++m_counters.failed;
        break;
    case jobResult::Stopped:
        ++m_counters.stopped;
        break;
    }
    ui->lblCounters->setText(countersText());
}

void benchWindow::open()
{
    if (!isVisible()) {
        m_counters = Counters();
        ui->lblCounters->setText(countersText());
    }
    show();
    raise();
    activateWindow();
}

QString benchWindow::countersText() const
{
    return tr("Since the bench was opened: %1 done, %2 failed, %3 stopped")
        .arg(m_counters.done)
        .arg(m_counters.failed)
        .arg(m_counters.stopped);
}

// Rows come, go or change state: the columns that hold controls fit them.
void benchWindow::fitColumns()
{
    for (int column = 0; column < benchRow::Columns; ++column)
        if (!isWide(column) && column != benchRow::Result)
            ui->table->resizeColumnToContents(column);
}

void benchWindow::updateControls()
{
    fitColumns();
    bool anyBusy = false;
    for (const auto &r : m_rows)
        anyBusy = anyBusy || r->state() != benchRow::State::Idle;
    ui->btnStopAll->setEnabled(anyBusy);
    ui->btnRemoveRow->setEnabled(!m_rows.empty());
}

// ---------------------------------------------------------------- settings

void benchWindow::readSettings()
{
    QSettings settings(filePlaces::settingsFile(), QSettings::IniFormat);
    filePlaces::shareEncoding(settings);
    settings.beginGroup(group);
    const int rows = settings.beginReadArray(rowsKey);
    for (int i = 0; i < rows; ++i) {
        settings.setArrayIndex(i);
        addRow({.port = settings.value(QStringLiteral("Port")).toString(),
                .kind = jobKind::fromKeyword(settings.value(QStringLiteral("Transfer")).toString()),
                .files = settings.value(QStringLiteral("Files")).toStringList(),
                .nextBox = settings.value(QStringLiteral("NextBox"), false).toBool(),
                .retries = qBound(0, settings.value(QStringLiteral("Retries"), 0).toInt(), benchRow::mostRetries)});
    }
    settings.endArray();
    const QSize size = settings.value(QStringLiteral("Size")).toSize();
    if (size.isValid() && !size.isEmpty())
        resize(size);
    settings.endGroup();
    for (int i = rowCount(); i < firstRows; ++i)
        addRow();
}

void benchWindow::writeSettings() const
{
    QSettings settings(filePlaces::settingsFile(), QSettings::IniFormat);
    filePlaces::shareEncoding(settings);
    settings.beginGroup(group);
    settings.remove(rowsKey);
    settings.beginWriteArray(rowsKey, rowCount());
    for (int i = 0; i < rowCount(); ++i) {
        settings.setArrayIndex(i);
        const benchRow::Setup setup = row(i)->setup();
        settings.setValue(QStringLiteral("Port"), setup.port);
        const jobKind::Row *job = jobKind::find(setup.kind);
        settings.setValue(QStringLiteral("Transfer"), job ? QLatin1String(job->keyword) : QLatin1String(""));
        settings.setValue(QStringLiteral("Files"), setup.files);
        settings.setValue(QStringLiteral("NextBox"), setup.nextBox);
        settings.setValue(QStringLiteral("Retries"), setup.retries);
    }
    settings.endArray();
    settings.setValue(QStringLiteral("Size"), size());
    settings.endGroup();
}

// ---------------------------------------------------------------- closing, languages

void benchWindow::closeEvent(QCloseEvent *event)
{
    bool busy = false;
    for (const auto &r : m_rows)
        busy = busy || r->busy();
    if (busy) {
        QMessageBox box(QMessageBox::Question, windowTitle(),
                        tr("Jobs are running on the bench. Stopping them now can leave boxes unusable.\n"
                           "Stop them and close the bench?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    stopAll(false);
    writeSettings();
    event->accept();
}

void benchWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event && event->type() == QEvent::LanguageChange)
        retranslate();
}

void benchWindow::retranslate()
{
    ui->retranslateUi(this);
    QStringList headers;
    for (int column = 0; column < benchRow::Columns; ++column)
        headers << QCoreApplication::translate("benchRow", benchRow::header(column));
    ui->table->setHorizontalHeaderLabels(headers);
    for (const auto &r : m_rows)
        r->retranslate();
    ui->lblCounters->setText(countersText());
    fitColumns();
}
