#pragma once

#include <QString>

// Standard error and output as batch mode uses them.
class terminal
{
public:
    // Standard error is a terminal that understands cursor movements: not
    // a pipe or a file, and TERM is set and not "dumb" (on Windows: a
    // console that takes virtual-terminal sequences).
    static bool drawsOnStderr();
    // Writes and flushes all of `text` to standard error or output; false
    // when the stream refused it (a closed pipe, a full disk). POSIX gets it
    // in the locale's encoding; Windows in UTF-8, or as UTF-16 on a console.
    enum Stream { Output, Error };
    static bool write(Stream stream, const QString &text);
};
