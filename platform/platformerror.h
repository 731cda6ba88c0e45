#pragma once

#include <string>

// The system's words for one of its error numbers: errno on POSIX,
// GetLastError() on Windows, as the platform classes report them.
class platformError
{
public:
    static std::string text(int code);
    // The error number of the calling thread's last failed call.
    static int last();
};
