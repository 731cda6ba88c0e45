#include "servicerequest.h"

#include "jobrunner.h"
#include "statuscode.h"

#include <QCoreApplication>
#include <iterator>

namespace {

const serviceRequest rows[] = {
    {.name = "software", .code = hdCode::QuerySoftware, .request = &jobRunner::sigGetSoftwareVersion,
     .answer = &serialComVesk::sendSoftwareVersion, .title = QT_TRANSLATE_NOOP("MainWindow", "Software version")},
    {.name = "lowpower", .code = hdCode::QueryLowPower, .request = &jobRunner::sigGetLowpowerVersion,
     .answer = &serialComVesk::sendLowPowerVersion, .title = QT_TRANSLATE_NOOP("MainWindow", "Low-power version")},
    {.name = "mac", .code = hdCode::QueryMac, .request = &jobRunner::sigGetMACAddress,
     .answer = &serialComVesk::sendMACAddress, .title = QT_TRANSLATE_NOOP("MainWindow", "MAC address")},
    {.name = "factory-reset", .code = hdCode::FactoryReset, .request = &jobRunner::sigInitFacReset, .answer = nullptr,
     .title = nullptr},
};

} // namespace

const serviceRequest *serviceRequest::find(const QString &name)
{
    for (const serviceRequest &row : rows)
        if (name == QLatin1String(row.name))
            return &row;
    return nullptr;
}

const serviceRequest *serviceRequest::begin()
{
    return std::begin(rows);
}

const serviceRequest *serviceRequest::end()
{
    return std::end(rows);
}
