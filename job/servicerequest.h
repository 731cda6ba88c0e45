#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

// The HD box's service requests: what --query names and how the window's
// box information names each. The runner knows which link call asks each.
class serviceRequest
{
public:
    enum Query : quint8 {
        None,
        Software,
        LowPower,
        Mac,
        FactoryReset,
        SoftwareOnceUp,   // the software version once the box has booted after a load
    };

    Query query;
    const char *name;    // as --query takes it
    const char *title;   // source text, context "MainWindow"; null: not shown

    static const serviceRequest *find(const QString &name);
    static const serviceRequest *find(Query query);
    // Every request that has a name, the reset last.
    static const serviceRequest *begin();
    static const serviceRequest *end();
};
Q_DECLARE_METATYPE(serviceRequest::Query)
