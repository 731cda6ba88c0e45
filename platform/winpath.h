#pragma once

// What the Windows sides share: the layer's UTF-8 strings into the wide
// strings that Windows' own calls take, and the handles the layer keeps as
// integers back into handles.

#include <cstdint>
#include <string>
#include <windows.h>

inline HANDLE handleOf(std::intptr_t h)
{
    return reinterpret_cast<HANDLE>(h);
}

inline std::wstring widePath(const std::string &utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}
