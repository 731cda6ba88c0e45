#pragma once

#include <cstddef>

// The terminal that batch mode draws its progress on.
class platformTerminal
{
public:
    // Standard error is a terminal that understands cursor movements and
    // colour: not a pipe or a file (and on POSIX, TERM is set and not
    // "dumb"; on Windows, the console takes virtual-terminal sequences,
    // which this call switches on).
    static bool drawsOnStderr();
    // Writes and flushes UTF-8 text to standard output (`toError` false) or
    // error; false when the stream refused it (a closed pipe, a full disk).
    // A Windows console is handed the text as UTF-16, so that it shows
    // whatever its code page; a pipe or a file, and POSIX, get the bytes.
    static bool write(bool toError, const char *text, std::size_t size);

private:
    // The bytes to the C library's stream, flushed.
    static bool writeStream(bool toError, const char *text, std::size_t size);
};
