#include "platformerror.h"

#include <windows.h>

std::string platformError::text(int code)
{
    wchar_t *words = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, DWORD(code), 0, reinterpret_cast<wchar_t *>(&words), 0, nullptr);
    if (n == 0 || !words)
        return "error " + std::to_string(code);
    // The system ends its sentences with a line break; a log line must not.
    DWORD len = n;
    while (len > 0 && (words[len - 1] == L'\r' || words[len - 1] == L'\n' || words[len - 1] == L' '))
        --len;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, words, int(len), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, words, int(len), out.data(), bytes, nullptr, nullptr);
    LocalFree(words);
    return out;
}

int platformError::last()
{
    return int(GetLastError());
}

platformError::Kind platformError::kind(int code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        return NotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return Busy;
    case ERROR_ACCESS_DENIED:
        return Denied;
    default:
        return Other;
    }
}
