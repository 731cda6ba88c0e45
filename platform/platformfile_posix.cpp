#include "platformfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int createMode = 0666;   // the umask takes away what the user wants kept
constexpr int appendTries = 2;

} // namespace

platformFile::Kind platformFile::kindOf(const std::string &path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return Absent;
    const struct {
        bool is;
        Kind kind;
    } kinds[] = {
        {S_ISREG(st.st_mode), Regular}, {S_ISDIR(st.st_mode), Folder}, {S_ISCHR(st.st_mode), Device},
        {S_ISBLK(st.st_mode), Device},  {S_ISFIFO(st.st_mode), Fifo},  {S_ISSOCK(st.st_mode), Socket},
    };
    for (const auto &k : kinds)
        if (k.is)
            return k.kind;
    return Absent;
}

int platformFile::writeError(const std::string &path)
{
    return ::access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

platformFile::~platformFile()
{
    close();
}

bool platformFile::open(const std::string &path, Opening how)
{
    close();
    const int flags = how == Append ? O_WRONLY | O_CREAT | O_CLOEXEC | O_APPEND
                      : how == Truncate ? O_WRONLY | O_CREAT | O_CLOEXEC | O_TRUNC
                                        : O_WRONLY | O_CLOEXEC;
    // Never waits in the open (a FIFO without a reader, a port without
    // carrier); writes then block as usual.
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK, createMode);
    if (fd < 0)
        m_error = errno;
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_handle = fd;
    return fd >= 0;
}

bool platformFile::isOpen() const
{
    return m_handle >= 0;
}

bool platformFile::append(const char *data, std::size_t size)
{
    std::size_t done = 0;
    for (int tries = 0; done < size && tries < appendTries;) {
        const ssize_t n = ::write(int(m_handle), data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            m_error = errno;
        if (n == 0)
            m_error = ENOSPC;   // a file that takes nothing has no room
        if (n <= 0)
            ++tries;
        else
            done += std::size_t(n);
    }
    return done == size;
}

bool platformFile::reserve(std::int64_t size)
{
#ifdef __linux__
    if (::fallocate(int(m_handle), 0, 0, off_t(size)) != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
        m_error = errno;
        return false;
    }
#else
    (void)size;   // no way to reserve without writing; the writes then tell
#endif
    return true;
}

bool platformFile::writeAt(std::int64_t offset, const char *data, std::size_t size)
{
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(int(m_handle), data + done, size - done, off_t(offset + std::int64_t(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = errno;
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

bool platformFile::finish(std::int64_t size)
{
    // Some devices cannot sync (EINVAL); the data is still written.
    if (::ftruncate(int(m_handle), off_t(size)) != 0 || (::fsync(int(m_handle)) != 0 && errno != EINVAL)) {
        m_error = errno;
        return false;
    }
    return true;
}

std::int64_t platformFile::size()
{
    struct stat st;
    if (::fstat(int(m_handle), &st) != 0) {
        m_error = errno;
        return -1;
    }
    return std::int64_t(st.st_size);
}

bool platformFile::lock(bool wait, Hold hold)
{
    // flock, not fcntl's record locks: those are dropped by any close of the
    // file in the process, and they are not held per open file.
    for (;;) {
        if (::flock(int(m_handle), (hold == Alone ? LOCK_EX : LOCK_SH) | (wait ? 0 : LOCK_NB)) == 0)
            return true;
        if (errno != EINTR) {
            m_error = errno;
            return false;
        }
    }
}

bool platformFile::close()
{
    if (m_handle < 0)
        return true;
    const bool closed = ::close(int(m_handle)) == 0;
    if (!closed)
        m_error = errno;
    m_handle = -1;
    return closed;
}
