#include "jobsummary.h"

#include "jobkind.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// The jobs' names are the window's texts; the panel's labels are this class's.
QString windowText(const char *source)
{
    return QCoreApplication::translate("MainWindow", source);
}

QString tr(const char *source)
{
    return QCoreApplication::translate("jobSummary", source);
}

const struct {
    jobKind::Kind kind;
    const char *name;
} jobNames[] = {
    {.kind = jobKind::UpdateHD, .name = QT_TRANSLATE_NOOP("MainWindow", "HD firmware update")},
    {.kind = jobKind::SendListHD, .name = QT_TRANSLATE_NOOP("MainWindow", "HD channel list upload")},
    {.kind = jobKind::GetListHD, .name = QT_TRANSLATE_NOOP("MainWindow", "HD channel list download")},
    {.kind = jobKind::UpdateSD, .name = QT_TRANSLATE_NOOP("MainWindow", "SD firmware update")},
    {.kind = jobKind::SendListSD, .name = QT_TRANSLATE_NOOP("MainWindow", "SD channel list upload")},
    {.kind = jobKind::GetListSD, .name = QT_TRANSLATE_NOOP("MainWindow", "SD channel list download")},
};

const struct {
    jobResult::Outcome outcome;
    const char *key;
    const char *style;
} outcomes[] = {
    // Qt's style sheets draw no border from the "border-left" shorthand.
    {.outcome = jobResult::Done, .key = "done",
     .style = "QLabel { border-style: solid; border-color: #2e7d32; border-width: 0 0 0 6px; padding-left: 6px; }"},
    {.outcome = jobResult::Failed, .key = "failed",
     .style = "QLabel { border-style: solid; border-color: #c62828; border-width: 0 0 0 6px; padding-left: 6px;"
              " color: #b71c1c; }"},
    {.outcome = jobResult::Stopped, .key = "stopped",
     .style = "QLabel { border-style: solid; border-color: #ef6c00; border-width: 0 0 0 6px; padding-left: 6px; }"},
};

} // namespace

QString jobSummary::jobName(int job)
{
    for (const auto &row : jobNames)
        if (row.kind == job)
            return windowText(row.name);
    return QString();
}

QString jobSummary::outcomeKey(jobResult::Outcome outcome)
{
    for (const auto &row : outcomes)
        if (row.outcome == outcome)
            return QLatin1String(row.key);
    return QString();
}

QString jobSummary::style(jobResult::Outcome outcome)
{
    for (const auto &row : outcomes)
        if (row.outcome == outcome)
            return QLatin1String(row.style);
    return QString();
}

QString jobSummary::text(const jobResult &result)
{
    const QString name = jobName(result.job);
    if (name.isEmpty())
        return QString();
    QStringList lines = {tr("%1: %2").arg(name, result.outcomeText())};
    if (!result.port.isEmpty())
        lines << tr("Port: %1").arg(result.port);
    // Where it broke off, why, and what to do: a done job needs none of it.
    if (!result.done() && !result.stepText().isEmpty())
        lines << tr("Step: %1").arg(result.stepText());
    if (!result.causeText().isEmpty())
        lines << tr("Cause: %1").arg(result.causeText());
    const QString remedy = result.remedy(jobResult::InWindow);
    if (!remedy.isEmpty())
        lines << tr("Remedy: %1").arg(remedy);
    if (!result.boxText().isEmpty())
        lines << tr("Box: %1").arg(result.boxText());
    if (!result.noteText().isEmpty())
        lines << tr("Note: %1").arg(result.noteText());
    if (!result.warningText().isEmpty())
        lines << tr("Warning: %1").arg(result.warningText());
    return lines.join(QLatin1Char('\n'));
}
