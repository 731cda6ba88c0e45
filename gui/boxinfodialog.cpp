#include "boxinfodialog.h"

#include "jobrunner.h"
#include "servicerequest.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString translated(const char *source)
{
    return QCoreApplication::translate("MainWindow", source);
}

} // namespace

boxInfoDialog::boxInfoDialog(jobRunner &jobs, QWidget *parent)
    : QDialog(parent), m_jobs(jobs)
{
    setWindowTitle(translated(QT_TRANSLATE_NOOP("MainWindow", "Box information")));
    auto *form = new QFormLayout;
    // Which box this is about: the one on this port.
    form->addRow(translated(QT_TRANSLATE_NOOP("MainWindow", "Port")) + QLatin1Char(':'), new QLabel(jobs.portname(), this));
    for (const serviceRequest *row = serviceRequest::begin(); row != serviceRequest::end(); ++row) {
        if (!row->title)
            continue;
        auto *value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(translated(row->title) + QLatin1Char(':'), value);
        m_lines.append({.request = row, .value = value, .answer = QString(), .answered = false});
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_copy = buttons->addButton(translated(QT_TRANSLATE_NOOP("MainWindow", "Copy")), QDialogButtonBox::ActionRole);
    m_copy->setEnabled(false);
    connect(m_copy, &QPushButton::clicked, this, &boxInfoDialog::copy);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    m_note->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_note);
    layout->addWidget(buttons);
    // The answer comes before its query's result.
    connect(&jobs, &jobRunner::queryAnswered, this, [this](serviceRequest::Query query, const QString &answer) {
        if (m_asking >= 0 && m_lines.at(m_asking).request->query == query)
            setAnswer(m_asking, answer);
    });
    connect(&jobs, &jobRunner::jobFinished, this, &boxInfoDialog::onFinished);
}

void boxInfoDialog::start()
{
    ask(0);
}

void boxInfoDialog::ask(int line)
{
    m_asking = line < m_lines.size() ? line : -1;
    if (m_asking < 0) {
        m_copy->setEnabled(true);
        // Not one answer: most likely no HD box is there to give one.
        if (std::none_of(m_lines.cbegin(), m_lines.cend(), [](const Line &l) { return l.answered; })) {
            m_note->setText(translated(QT_TRANSLATE_NOOP(
                "MainWindow", "The box gave no answer. SD boxes have no service commands: box information is "
                              "for HD boxes. For an HD box, check the cable, the box's power and the port.")));
            m_note->show();
        }
        return;
    }
    m_lines[line].value->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "asking…")));
    m_jobs.startQuery(m_lines[line].request->query);
}

void boxInfoDialog::onFinished(const jobResult &result)
{
    if (m_asking < 0 || result.query != m_lines.at(m_asking).request->query)
        return;
    Line &line = m_lines[m_asking];
    if (!line.answered)
        line.value->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "no answer")));
    ask(m_asking + 1);
}

void boxInfoDialog::setAnswer(int line, const QString &answer)
{
    m_lines[line].answer = answer;
    m_lines[line].answered = true;
    m_lines[line].value->setText(answer);
}

QString boxInfoDialog::text() const
{
    QStringList lines;
    for (const Line &line : m_lines)
        lines << translated(line.request->title) + QStringLiteral(": ") + line.value->text();
    return lines.join(QLatin1Char('\n'));
}

void boxInfoDialog::copy()
{
    QApplication::clipboard()->setText(text());
}

QString boxInfoDialog::note() const
{
    return m_note->isHidden() ? QString() : m_note->text();
}
