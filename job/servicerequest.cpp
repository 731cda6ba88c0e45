#include "servicerequest.h"

#include <QCoreApplication>

#include <iterator>

namespace {

const serviceRequest queryRows[] = {
    {.query = serviceRequest::Software, .name = "software", .title = QT_TRANSLATE_NOOP("MainWindow", "Software version")},
    {.query = serviceRequest::LowPower, .name = "lowpower", .title = QT_TRANSLATE_NOOP("MainWindow", "Low-power version")},
    {.query = serviceRequest::Mac, .name = "mac", .title = QT_TRANSLATE_NOOP("MainWindow", "MAC address")},
    {.query = serviceRequest::FactoryReset, .name = "factory-reset", .title = nullptr},
};

} // namespace

const serviceRequest *serviceRequest::find(const QString &name)
{
    for (const serviceRequest &row : queryRows)
        if (name == QLatin1String(row.name))
            return &row;
    return nullptr;
}

const serviceRequest *serviceRequest::find(Query query)
{
    for (const serviceRequest &row : queryRows)
        if (row.query == query)
            return &row;
    return nullptr;
}

const serviceRequest *serviceRequest::begin()
{
    return std::begin(queryRows);
}

const serviceRequest *serviceRequest::end()
{
    return std::end(queryRows);
}
