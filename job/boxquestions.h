#pragma once

#include "jobresult.h"
#include "servicerequest.h"

#include <QString>

// The questions that tell an HD box around its job: its MAC before, its
// software version before and, once an update has started the box, after.
// One sequence for batch mode's ports and the bench's rows; the front ends
// ask each question through their runner and show the answers their way.
// It also keeps, across the attempts at one box, whether a load began that
// none has ended.
class boxQuestions
{
public:
    enum Phase { AskMac, AskVersion, RunJob, AskVersionAfter, Over };
    struct Plan {
        bool mac = false;        // ask the MAC before the job
        bool versions = false;   // ask the version before and, after an update, again
        bool macNeeded = false;  // the job cannot run without the MAC (a file named by it)
    };
    struct Answer {
        QString text;            // as the box gave it
        bool asked = false;
        bool given = false;      // it answered
    };

    // A new box: the answers and the half-updated state are forgotten.
    void begin(const Plan &plan);
    Phase phase() const { return m_phase; }
    // The current phase's question; None while the job runs or all is over.
    serviceRequest::Query query() const;
    // The answer (or the failure) to the question asked: kept, and the
    // phase moves on. Returns the log line that says it. A box silent to
    // the first question is not asked the second: it would wait as long.
    QString answered(const jobResult &result);
    // An attempt at the job has ended: `result` says the box's state across
    // the attempts (an attempt that touched nothing leaves it as before).
    void attemptEnded(jobResult &result);
    // The job is over, tried no more: an update that was done goes on to
    // the version after, when the plan asks for versions and `goOn`.
    void jobEnded(const jobResult &result, bool goOn);
    // A stop: nothing more is asked.
    void stop() { m_phase = Over; }

    const Answer &mac() const { return m_mac; }
    const Answer &versionBefore() const { return m_versionBefore; }
    const Answer &versionAfter() const { return m_versionAfter; }

private:
    struct Question {
        Phase phase;
        serviceRequest::Query query;
        Answer boxQuestions::*answer;
        Phase next;
        const char *log;
    };
    static const Question *question(Phase phase);
    Phase first() const;

    Plan m_plan;
    Phase m_phase = RunJob;   // without a plan, the job simply runs
    Answer m_mac, m_versionBefore, m_versionAfter;
    bool m_halfUpdated = false;   // an attempt began a load that none has ended
};
