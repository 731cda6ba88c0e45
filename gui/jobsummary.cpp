#include "jobsummary.h"

#include "jobkind.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString tr(const char *source)
{
    return QCoreApplication::translate("MainWindow", source);
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
} outcomeKeys[] = {
    {.outcome = jobResult::Done, .key = "done"},
    {.outcome = jobResult::Failed, .key = "failed"},
    {.outcome = jobResult::Stopped, .key = "stopped"},
};

} // namespace

QString jobSummary::jobName(int job)
{
    for (const auto &row : jobNames)
        if (row.kind == job)
            return tr(row.name);
    return QString();
}

QString jobSummary::outcomeKey(jobResult::Outcome outcome)
{
    for (const auto &row : outcomeKeys)
        if (row.outcome == outcome)
            return QLatin1String(row.key);
    return QString();
}

QString jobSummary::text(const jobResult &result)
{
    const QString name = jobName(result.job);
    if (name.isEmpty())
        return QString();
    QStringList lines = {tr("%1: %2").arg(name, result.outcomeText())};
    // Where it broke off, why, and what to do: a done job needs none of it.
    if (!result.done() && !result.stepText().isEmpty())
        lines << tr("Step: %1").arg(result.stepText());
    if (!result.causeText().isEmpty())
        lines << tr("Cause: %1").arg(result.causeText());
    if (!result.remedy().isEmpty())
        lines << tr("Remedy: %1").arg(result.remedy());
    if (!result.boxText().isEmpty())
        lines << tr("Box: %1").arg(result.boxText());
    return lines.join(QLatin1Char('\n'));
}
