#pragma once

#include <QString>

class jobRunner;
class serialComVesk;

// The HD box's service requests: what --query names, the code the link
// reports for each, the request signal, the signal that carries the answer
// (none for the reset) and how the window's box information names it.
class serviceRequest
{
public:
    const char *name;
    int code;
    void (jobRunner::*request)();
    void (serialComVesk::*answer)(QString);
    const char *title;   // source text, context "MainWindow"; null: not shown

    static const serviceRequest *find(const QString &name);
    // Every request, the reset last.
    static const serviceRequest *begin();
    static const serviceRequest *end();
};
