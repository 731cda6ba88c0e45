#pragma once

#include <cstdint>
#include <string>

// Serial ports as the system names them and lets this user at them.
class platformDevice
{
public:
    // The path the system opens a port by, from the name that settings.ini
    // and -p keep: "ttyUSB0" is /dev/ttyUSB0 on POSIX; on Windows "COM3"
    // stays as it is and ports above 9 need "\\.\COM10".
    static std::string portPath(const std::string &name);
    // Whether a port's device (or any file) is there, by the path above.
    static bool exists(const std::string &path);

    // Whether this user may open a device for reading and writing and, when
    // permissions forbid it, what would let them.
    struct Access {
        int error = 0;             // 0: allowed; else the system's error number (platformError)
        bool refused = false;      // permissions forbid it and the device's owners are known:
        unsigned mode = 0;         //   its permission bits,
        std::string owner{};       //   owning user and group (names, else numbers),
        std::string group{};
        bool groupMayUse = false;  //   the group may read and write it,
        bool inGroupNow = false;   //   this login is in the group,
        bool inGroupOnRecord = false;  // the user database lists the user in it
    };
    static Access access(const std::string &path);

    // The system's error number when the line of an open port has been hung
    // up (unplugged, relay closed), else 0. `handle` is the port's own: a
    // descriptor on POSIX, a HANDLE on Windows.
    static int lineLost(std::intptr_t handle);
};
