#include "platformserial.h"

#include "winpath.h"

#include <algorithm>

namespace {

constexpr DWORD queueBytes = 4096;   // the driver's queues each way, where it lets them be sized
constexpr DWORD wineReadSliceMs = 10;

bool underWine()
{
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

DWORD msOf(int timeoutMs)
{
    return timeoutMs > 0 ? DWORD(timeoutMs) : 0;
}

// A long is 32 bits on Windows: any size fits a DWORD.
DWORD chunkOf(long size)
{
    return size > 0 ? DWORD(size) : 0;
}

int lineSettings(HANDLE h)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb))
        return int(GetLastError());
    dcb.BaudRate = platformSerial::baudRate;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommState(h, &dcb))
        return int(GetLastError());
    // Sizing the queues is a wish that some drivers ignore.
    SetupComm(h, queueBytes, queueBytes);
    // Bytes from before the job are not the box's answer to it.
    if (!PurgeComm(h, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR))
        return int(GetLastError());
    return 0;
}

} // namespace

platformSerial::~platformSerial()
{
    close();
}

int platformSerial::open(const std::string &path)
{
    close();
    // No sharing: a second opener, this program or another, is refused.
    const HANDLE h = CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return int(GetLastError());
    const int error = lineSettings(h);
    if (error != 0) {
        CloseHandle(h);
        return error;
    }
    m_handle = reinterpret_cast<std::intptr_t>(h);
    m_timeoutsSet = false;
    return 0;
}

bool platformSerial::isOpen() const
{
    return m_handle != -1;
}

void platformSerial::close()
{
    if (m_handle == -1)
        return;
    CloseHandle(handleOf(m_handle));
    m_handle = -1;
}

std::intptr_t platformSerial::handle() const
{
    return m_handle;
}

int platformSerial::applyTimeouts(const Timeouts &wanted)
{
    if (m_timeoutsSet && wanted == m_timeouts)
        return 0;
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = wanted.interval;
    t.ReadTotalTimeoutMultiplier = wanted.readMultiplier;
    t.ReadTotalTimeoutConstant = wanted.readConstant;
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = wanted.writeConstant;
    if (!SetCommTimeouts(handleOf(m_handle), &t)) {
        m_timeoutsSet = false;
        return int(GetLastError());
    }
    m_timeouts = wanted;
    m_timeoutsSet = true;
    return 0;
}

// With the interval and the multiplier at MAXDWORD, a read returns at once
// with what has arrived, else with the first bytes to arrive within the
// constant, else with none when it has passed; the interval at MAXDWORD
// alone returns at once whatever there is. Wine (8) keeps only the
// constant: bytes there or arriving are handed over when it has passed. So
// under Wine the wait is cut into short reads, and bytes wait a slice at
// most; on Windows one read waits the whole time.
platformSerial::Result platformSerial::read(char *data, long size, int timeoutMs)
{
    if (m_handle == -1)
        return {0, ERROR_INVALID_HANDLE};
    const ULONGLONG deadline = GetTickCount64() + msOf(timeoutMs);
    Result r;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? DWORD(deadline - now) : 0;
        const DWORD wait = underWine() ? std::min(left, wineReadSliceMs) : left;
        Timeouts wanted = m_timeouts;
        wanted.interval = MAXDWORD;
        wanted.readMultiplier = wait > 0 ? MAXDWORD : 0;
        wanted.readConstant = wait;
        if ((r.error = applyTimeouts(wanted)) != 0)
            return r;
        DWORD got = 0;
        if (!ReadFile(handleOf(m_handle), data, chunkOf(size), &got, nullptr))
            r.error = int(GetLastError());
        r.bytes = long(got);
        if (r.bytes > 0 || r.error != 0 || wait == left)
            return r;
    }
}

// Both write constants at 0 would mean no limit at all: a write that may not
// wait is given the shortest one.
platformSerial::Result platformSerial::write(const char *data, long size, int timeoutMs)
{
    if (m_handle == -1)
        return {0, ERROR_INVALID_HANDLE};
    Timeouts wanted = m_timeouts;
    wanted.writeConstant = std::max<DWORD>(msOf(timeoutMs), 1);
    Result r;
    if ((r.error = applyTimeouts(wanted)) != 0)
        return r;
    DWORD put = 0;
    if (!WriteFile(handleOf(m_handle), data, chunkOf(size), &put, nullptr))
        r.error = int(GetLastError());
    r.bytes = long(put);
    return r;
}

// FlushFileBuffers waits without a limit (for ever on a line held by flow
// control), so the driver's queue is watched until it is empty first.
bool platformSerial::drain(int timeoutMs)
{
    if (m_handle == -1)
        return false;
    const HANDLE h = handleOf(m_handle);
    const ULONGLONG deadline = GetTickCount64() + msOf(timeoutMs);
    constexpr DWORD pollMs = 5;
    for (;;) {
        COMSTAT status{};
        DWORD errors = 0;
        if (!ClearCommError(h, &errors, &status))
            return false;
        if (status.cbOutQue == 0)
            return FlushFileBuffers(h) != 0;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        Sleep(DWORD(std::min<ULONGLONG>(pollMs, deadline - now)));
    }
}
