#include "platformfile.h"

#include "winpath.h"

namespace {

constexpr int appendTries = 2;

HANDLE handleOf(std::intptr_t h)
{
    return reinterpret_cast<HANDLE>(h);
}

} // namespace

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
    const DWORD access = how == Append ? FILE_APPEND_DATA | SYNCHRONIZE : GENERIC_WRITE;
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
        // A file system that cannot reserve tells at the writes instead.
        if (e == ERROR_INVALID_PARAMETER || e == ERROR_NOT_SUPPORTED)
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
