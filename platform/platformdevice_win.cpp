#include "platformdevice.h"

#include "winpath.h"

#include <cctype>

namespace {

constexpr int highestPlainCom = 9;   // COM1..COM9 open by their bare names
const std::string devicePrefix = "\\\\.\\";

bool startsWith(const std::string &text, const std::string &head)
{
    return text.compare(0, head.size(), head) == 0;
}

// The number of "COMn", any case, or 0.
int comNumber(const std::string &name)
{
    if (name.size() < 4 || std::toupper(static_cast<unsigned char>(name[0])) != 'C'
        || std::toupper(static_cast<unsigned char>(name[1])) != 'O'
        || std::toupper(static_cast<unsigned char>(name[2])) != 'M')
        return 0;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > 9999)
            return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// 0 when the port or file is there, else the system's error number. Ports
// live in the DOS device namespace, which file calls do not show.
int presence(const std::string &path)
{
    const std::string name = startsWith(path, devicePrefix) ? path.substr(devicePrefix.size()) : path;
    if (comNumber(name) > 0) {
        wchar_t target[MAX_PATH];
        return QueryDosDeviceW(widePath(name).c_str(), target, MAX_PATH) == 0 ? int(GetLastError()) : 0;
    }
    return GetFileAttributesW(widePath(path).c_str()) == INVALID_FILE_ATTRIBUTES ? int(GetLastError()) : 0;
}

} // namespace

std::string platformDevice::portPath(const std::string &name)
{
    if (startsWith(name, devicePrefix))
        return name;
    return comNumber(name) > highestPlainCom ? devicePrefix + name : name;
}

// Windows has no per-user rights on a serial port and no group to join: a
// port that exists may be opened, and a refusal means another program holds it.
platformDevice::Access platformDevice::access(const std::string &path)
{
    Access a;
    a.error = presence(path);
    return a;
}

bool platformDevice::exists(const std::string &path)
{
    return presence(path) == 0;
}

// A removed USB adapter leaves a handle on which every request fails; the
// modem status is a request that changes nothing. A port whose driver keeps
// no modem lines (some virtual ports; Wine's on a pseudo-terminal) refuses
// it for good: such a line cannot be told lost this way.
int platformDevice::lineLost(std::intptr_t handle)
{
    const HANDLE h = reinterpret_cast<HANDLE>(handle);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return 0;
    DWORD status = 0;
    if (GetCommModemStatus(h, &status))
        return 0;
    const DWORD e = GetLastError();
    return e == ERROR_NOT_SUPPORTED ? 0 : int(e);
}
