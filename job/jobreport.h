#pragma once

#include "jobkind.h"
#include "jobresult.h"
#include "linkoutcome.h"
#include "servicerequest.h"

// The one place where what a link's job came to becomes the result that the
// front ends show: the link decides the outcome as its job goes; this maps
// it, unchanged in substance, to the job layer's terms.
class jobReport
{
public:
    // What a job or a query (one of `job`, `query`) on `file` came to.
    static jobResult result(jobKind::Kind job, serviceRequest::Query query, const QString &file,
                            const linkOutcome &outcome);
};
