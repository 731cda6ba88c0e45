#include "platformfile.h"

#include "winpath.h"

namespace {

constexpr int appendTries = 2;
const std::wstring deviceSpace = L"\\\\.\\";
const std::wstring pipeSpace = L"\\\\.\\pipe\\";
// What systems and file systems answer when they cannot reserve room for a
// file (Wine cannot at all); the writes then tell of a full disk.
const DWORD cannotReserve[] = {ERROR_INVALID_PARAMETER, ERROR_NOT_SUPPORTED, ERROR_INVALID_FUNCTION,
                               ERROR_CALL_NOT_IMPLEMENTED};

bool startsWith(const std::wstring &text, const std::wstring &head)
{
    return text.size() >= head.size() && CompareStringOrdinal(text.data(), int(head.size()), head.data(),
                                                              int(head.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

platformFile::Kind platformFile::kindOf(const std::string &path)
{
    // The system names a device in any folder ("NUL", "COM3", on older
    // systems "nul.txt" too) by its full path in the device namespace.
    const std::wstring wide = widePath(path);
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(n, L'\0');
    const DWORD length = n == 0 ? 0 : GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    if (length == 0 || length >= n)
        return Absent;
    full.resize(length);
    if (startsWith(full, deviceSpace))
        return startsWith(full, pipeSpace) ? Fifo : Device;
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Absent;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Folder : Regular;
}

// Windows keeps no write permission on a folder; a file may be marked
// read-only.
int platformFile::writeError(const std::string &path)
{
    const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return int(GetLastError());
    const bool readOnlyFile = !(attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_READONLY);
    return readOnlyFile ? int(ERROR_ACCESS_DENIED) : 0;
}

platformFile::~platformFile()
{
    close();
}

bool platformFile::open(const std::string &path, Opening how)
{
    close();
    // FILE_APPEND_DATA without FILE_WRITE_DATA makes every write an append
    // at the end as it then is, as O_APPEND does. Others may read, append
    // and even delete meanwhile, as they may on POSIX. The handle is not
    // inherited by child processes.
    // Reading its size and holding it (LockFileEx) need read access too.
    const DWORD access = how == Append ? FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE
                                       : GENERIC_WRITE;
    const DWORD disposition = how == Append ? OPEN_ALWAYS : how == Truncate ? CREATE_ALWAYS : OPEN_EXISTING;
    const HANDLE h = CreateFileW(widePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        m_error = int(GetLastError());
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(h);
    return true;
}

bool platformFile::isOpen() const
{
    return m_handle != -1;
}

bool platformFile::append(const char *data, std::size_t size)
{
    std::size_t done = 0;
    for (int tries = 0; done < size && tries < appendTries;) {
        DWORD n = 0;
        const DWORD chunk = DWORD(size - done > MAXDWORD ? MAXDWORD : size - done);
        if (!WriteFile(handleOf(m_handle), data + done, chunk, &n, nullptr))
            m_error = int(GetLastError());
        if (n == 0)
            ++tries;
        else
            done += n;
    }
    return done == size;
}

bool platformFile::reserve(std::int64_t size)
{
    FILE_ALLOCATION_INFO room = {};
    room.AllocationSize.QuadPart = size;
    if (!SetFileInformationByHandle(handleOf(m_handle), FileAllocationInfo, &room, sizeof room)) {
        const DWORD e = GetLastError();
        for (DWORD cannot : cannotReserve)
            if (e == cannot)
                return true;
        m_error = int(e);
        return false;
    }
    return true;
}

bool platformFile::writeAt(std::int64_t offset, const char *data, std::size_t size)
{
    for (std::size_t done = 0; done < size;) {
        // On a handle opened for synchronous writing the offset in the
        // OVERLAPPED makes the write positional, like pwrite().
        OVERLAPPED at = {};
        const std::uint64_t where = std::uint64_t(offset) + done;
        at.Offset = DWORD(where & 0xFFFFFFFFu);
        at.OffsetHigh = DWORD(where >> 32);
        const DWORD chunk = DWORD(size - done > MAXDWORD ? MAXDWORD : size - done);
        DWORD n = 0;
        if (!WriteFile(handleOf(m_handle), data + done, chunk, &n, &at) || n == 0) {
            m_error = int(GetLastError());
            return false;
        }
        done += n;
    }
    return true;
}

bool platformFile::finish(std::int64_t size)
{
    FILE_END_OF_FILE_INFO end = {};
    end.EndOfFile.QuadPart = size;
    if (!SetFileInformationByHandle(handleOf(m_handle), FileEndOfFileInfo, &end, sizeof end)
        || !FlushFileBuffers(handleOf(m_handle))) {
        m_error = int(GetLastError());
        return false;
    }
    return true;
}

std::int64_t platformFile::size()
{
    LARGE_INTEGER length = {};
    if (!GetFileSizeEx(handleOf(m_handle), &length)) {
        m_error = int(GetLastError());
        return -1;
    }
    return std::int64_t(length.QuadPart);
}

bool platformFile::lock(bool wait, Hold hold)
{
    // A range far past any data: a held range refuses others' writes into
    // it, and appends must go on. The system lets it go when the handle is
    // closed or the process ends.
    OVERLAPPED at = {};
    at.Offset = 0xFFFFFFFEu;
    at.OffsetHigh = 0x7FFFFFFFu;
    const DWORD how = (hold == Alone ? LOCKFILE_EXCLUSIVE_LOCK : 0) | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (!LockFileEx(handleOf(m_handle), how, 0, 1, 0, &at)) {
        m_error = int(GetLastError());
        return false;
    }
    return true;
}

bool platformFile::close()
{
    if (m_handle == -1)
        return true;
    const bool closed = CloseHandle(handleOf(m_handle));
    if (!closed)
        m_error = int(GetLastError());
    m_handle = -1;
    return closed;
}
