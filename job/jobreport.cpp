#include "jobreport.h"

namespace {

const struct {
    linkOutcome::End end;
    jobResult::Outcome outcome;
} ends[] = {
    {.end = linkOutcome::Done, .outcome = jobResult::Done},
    {.end = linkOutcome::Failed, .outcome = jobResult::Failed},
    {.end = linkOutcome::Stopped, .outcome = jobResult::Stopped},
};

const struct {
    linkOutcome::Box box;
    jobResult::BoxState state;
} boxes[] = {
    {.box = linkOutcome::Untouched, .state = jobResult::Untouched},
    {.box = linkOutcome::HalfUpdated, .state = jobResult::HalfUpdated},
    {.box = linkOutcome::Updated, .state = jobResult::Updated},
    {.box = linkOutcome::ListSaved, .state = jobResult::ListSaved},
    {.box = linkOutcome::OldListKept, .state = jobResult::OldListKept},
    {.box = linkOutcome::Reset, .state = jobResult::Reset},
};

} // namespace

jobResult jobReport::result(jobKind::Kind job, serviceRequest::Query query, const QString &file,
                            const linkOutcome &outcome)
{
    jobResult result;
    result.job = job;
    result.query = query;
    result.file = file;
    for (const auto &e : ends)
        if (e.end == outcome.end)
            result.outcome = e.outcome;
    for (const auto &b : boxes)
        if (b.box == outcome.box)
            result.box = b.state;
    const bool done = result.outcome == jobResult::Done;
    result.statusCode = outcome.code;
    result.failedStep = done ? -1 : outcome.step;
    result.cause = done ? linkCause() : outcome.cause;
    result.note = outcome.note;
    result.warning = outcome.warning;
    result.stoppedBy = outcome.stoppedBy;
    result.startUnconfirmed = done && outcome.startUnconfirmed;
    result.answer = outcome.answer.trimmed();
    result.bytes = outcome.bytes;
    result.ms = outcome.ms;
    return result;
}
