#include "linetransport.h"

#include "portaddress.h"
#include "rfc2217transport.h"
#include "serialtransport.h"
#include "tcptransport.h"

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
    return std::make_unique<serialTransport>();
}

void lineTransport::openFailed(OpenFailure failure, const QString &reason, const QString &group)
{
    m_openFailure = failure;
    m_openReason = reason;
    m_openGroup = group;
}
