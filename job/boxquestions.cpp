#include "boxquestions.h"

const boxQuestions::Question *boxQuestions::question(Phase phase)
{
    static const Question questions[] = {
        {.phase = AskMac, .query = serviceRequest::Mac, .answer = &boxQuestions::m_mac, .next = AskVersion,
         .log = "MAC address: "},
        {.phase = AskVersion, .query = serviceRequest::Software, .answer = &boxQuestions::m_versionBefore,
         .next = RunJob, .log = "Software version: "},
        {.phase = AskVersionAfter, .query = serviceRequest::SoftwareOnceUp, .answer = &boxQuestions::m_versionAfter,
         .next = Over, .log = "Software version after the update: "},
    };
    for (const Question &q : questions)
        if (q.phase == phase)
            return &q;
    return nullptr;
}

void boxQuestions::begin(const Plan &plan)
{
    m_plan = plan;
    m_mac = m_versionBefore = m_versionAfter = Answer();
    m_halfUpdated = false;
    m_phase = first();
}

boxQuestions::Phase boxQuestions::first() const
{
    if (m_plan.mac || m_plan.macNeeded)
        return AskMac;
    return m_plan.versions ? AskVersion : RunJob;
}

serviceRequest::Query boxQuestions::query() const
{
    const Question *q = question(m_phase);
    return q ? q->query : serviceRequest::None;
}

QString boxQuestions::answered(const jobResult &result)
{
    const Question *q = question(m_phase);
    if (!q)
        return QString();
    const bool given = result.done();
    this->*q->answer = Answer{.text = given ? result.answer : QString(), .asked = true, .given = given};
    m_phase = q->next;
    if (m_phase == AskVersion && (!m_plan.versions || !given))
        m_phase = RunJob;
    // A download named by the MAC cannot go on without it.
    if (q->phase == AskMac && !given && m_plan.macNeeded)
        m_phase = Over;
    return QLatin1String(q->log) + (given ? result.answer : QStringLiteral("no answer"));
}

void boxQuestions::attemptEnded(jobResult &result)
{
    m_halfUpdated = m_halfUpdated || result.box == jobResult::HalfUpdated;
    if (m_halfUpdated && (result.box == jobResult::Untouched || result.outcome == jobResult::Stopped)) {
        result.halfUpdatedBefore = result.box == jobResult::Untouched;
        result.box = jobResult::HalfUpdated;
    }
    if (result.box == jobResult::Updated)
        m_halfUpdated = false;
}

void boxQuestions::jobEnded(const jobResult &result, bool goOn)
{
    const bool versionAfter = goOn && m_plan.versions && result.done() && result.job == jobKind::UpdateHD;
    m_phase = versionAfter ? AskVersionAfter : Over;
}
