#include "platformerror.h"

#include <cerrno>
#include <cstring>

std::string platformError::text(int code)
{
    return std::strerror(code);
}

int platformError::last()
{
    return errno;
}

platformError::Kind platformError::kind(int code)
{
    switch (code) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return NotFound;
    case EBUSY:
        return Busy;
    case EACCES:
    case EPERM:
        return Denied;
    default:
        return Other;
    }
}
