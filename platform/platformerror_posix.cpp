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
