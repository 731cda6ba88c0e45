#include "platformterminal.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004   // older MinGW headers lack it
#endif

bool platformTerminal::drawsOnStderr()
{
    // A console answers GetConsoleMode; a pipe or a file does not. A console
    // older than Windows 10 refuses virtual-terminal processing and then
    // gets plain lines.
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (err == INVALID_HANDLE_VALUE || err == nullptr || !GetConsoleMode(err, &mode))
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0
           || SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool platformTerminal::write(bool toError, const char *text, std::size_t size)
{
    const HANDLE handle = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (size > 0 && handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        std::fflush(toError ? stderr : stdout);
        const int units = MultiByteToWideChar(CP_UTF8, 0, text, int(size), nullptr, 0);
        std::vector<wchar_t> wide(std::size_t(units > 0 ? units : 0));
        DWORD done = 0;
        return units > 0 && MultiByteToWideChar(CP_UTF8, 0, text, int(size), wide.data(), units) == units
               && WriteConsoleW(handle, wide.data(), DWORD(units), &done, nullptr) && done == DWORD(units);
    }
    return writeStream(toError, text, size);
}
