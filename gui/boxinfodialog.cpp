#include "boxinfodialog.h"

#include "jobrunner.h"
#include "servicerequest.h"
#include "statuscode.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
    for (const serviceRequest *row = serviceRequest::begin(); row != serviceRequest::end(); ++row) {
        if (!row->title || !row->answer)
            continue;
        auto *value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(translated(row->title) + QLatin1Char(':'), value);
        const int line = int(m_lines.size());
        m_lines.append({.request = row, .value = value, .answer = QString(), .answered = false});
        // Queued from the link's thread; it comes before the request's end code.
        connect(&jobs.linkHD(), row->answer, this, [this, line](const QString &answer) { setAnswer(line, answer); });
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_copy = buttons->addButton(translated(QT_TRANSLATE_NOOP("MainWindow", "Copy")), QDialogButtonBox::ActionRole);
    m_copy->setEnabled(false);
    connect(m_copy, &QPushButton::clicked, this, &boxInfoDialog::copy);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(&jobs, &jobRunner::statusCode, this, &boxInfoDialog::onCode);
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
        return;
    }
    m_lines[line].value->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "asking…")));
    m_jobs.request(m_lines[line].request->request);
}

void boxInfoDialog::onCode(int code)
{
    if (code != hdCode::JobEnded || m_asking < 0)
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
