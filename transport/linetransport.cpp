#include "linetransport.h"

#include "comporttransport.h"
#include "portaddress.h"
#include "rfc2217transport.h"
#include "tcptransport.h"
#ifdef QT_SERIALPORT_LIB
#include "serialtransport.h"
#endif

#include "platformdevice.h"
#include "systemtext.h"

lineTransport::~lineTransport() = default;

std::unique_ptr<lineTransport> lineTransport::forPort(const QString &name)
{
    switch (portAddress::parse(name).kind) {
    case portAddress::Rfc2217:
        return std::make_unique<rfc2217Transport>();
    case portAddress::Socket:
        return std::make_unique<tcpTransport>();
    case portAddress::Serial:
        break;
    }
    // Qt's serial port where this Qt has one; the platform layer's else.
#ifdef QT_SERIALPORT_LIB
    return std::make_unique<serialTransport>();
#else
    return std::make_unique<comPortTransport>();
#endif
}

QString lineTransport::devicePath(const QString &name)
{
    return fromSystem(platformDevice::portPath(systemText(name)));
}

void lineTransport::openFailed(OpenFailure failure, const QString &reason, const QString &group)
{
    m_openFailure = failure;
    m_openReason = reason;
    m_openGroup = group;
}
