#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file written without a buffer of the program's own: the log, whose every
// line must reach the file whole, and a channel list saved in place.
// Closed when it goes. Every failing call keeps the system's error number.
class platformFile
{
public:
    enum Opening {
        Truncate,   // created or emptied
        Append,     // created or kept; every write goes to the end as it then is
        Existing    // only a file that is there, kept as it is, for writing in place
    };

    // What a path names, asked without opening it (a FIFO would block the
    // open for ever, a serial port would see its lines move).
    enum Kind {
        Absent,     // nothing there, or the system cannot tell
        Regular,
        Folder,
        Device,     // a terminal, a serial port, the null device...
        Fifo,       // a named pipe
        Socket
    };
    static Kind kindOf(const std::string &path);
    // 0 when this user may write to `path` (a file or a folder), else the
    // system's error number: a read-only medium is told from a refusal.
    static int writeError(const std::string &path);

    platformFile() = default;
    ~platformFile();
    platformFile(const platformFile &) = delete;
    platformFile &operator=(const platformFile &) = delete;

    // Never waits for a reader or a line: a FIFO without one fails at once.
    bool open(const std::string &path, Opening how);
    bool isOpen() const;
    // One call for all the bytes where the system takes them whole, so that
    // other programs appending to the same file never cut a line. A refusal
    // (a full disk) is tried once more, then the rest is given up: false.
    bool append(const char *data, std::size_t size);
    // Room for `size` bytes before any byte is overwritten, so that a full
    // disk fails here; true where the file system cannot reserve.
    bool reserve(std::int64_t size);
    // All the bytes at `offset`.
    bool writeAt(std::int64_t offset, const char *data, std::size_t size);
    // Cuts the file to `size` and puts it on the disk.
    bool finish(std::int64_t size);
    // How long the file is now; -1 on failure.
    std::int64_t size();
    // Holds the file against others that ask, until it is closed or the
    // process ends, however it ends (so a killed run never leaves it held):
    // Alone against every other hold, Shared only against one Alone.
    // Without `wait` a file held by another fails at once; with it the call
    // waits for its turn. The file's bytes stay open to writers that do not ask.
    enum Hold { Alone, Shared };
    bool lock(bool wait, Hold hold = Alone);
    bool close();
    // The system's error number of the last failed call (platformError).
    int error() const { return m_error; }

private:
    std::intptr_t m_handle = -1;   // a descriptor on POSIX, a HANDLE on Windows
    int m_error = 0;
};
