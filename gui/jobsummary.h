#pragma once

#include "jobresult.h"

#include <QString>

// A finished job's result in words, as the window keeps it after the job:
// which job and how it ended, and unless it was done why, what to do about
// it and what the box was left as.
class jobSummary
{
public:
    // Empty for what is no job of the window's (a service request).
    static QString text(const jobResult &result);
    static QString jobName(int job);
    // "done", "failed" or "stopped".
    static QString outcomeKey(jobResult::Outcome outcome);
    // The result label's style: a coloured marker at its side, so that a
    // failed job is told from a done one at a glance.
    static QString style(jobResult::Outcome outcome);
};
