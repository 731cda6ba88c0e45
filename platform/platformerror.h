#pragma once

#include <string>

// The system's words for one of its error numbers: errno on POSIX,
// GetLastError() on Windows, as the platform classes report them.
class platformError
{
public:
    static std::string text(int code);
    // What an error number means to one who opens a device or file.
    enum Kind {
        NotFound,   // no such device, file or folder
        Busy,       // another program holds it
        Denied,     // permissions forbid it (on Windows also: another program holds a port)
        Other
    };
    static Kind kind(int code);
    // The error number of the calling thread's last failed call.
    static int last();
};
