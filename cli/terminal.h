#pragma once

#include <QByteArray>

#include <cstdio>

// Standard error and output as batch mode uses them.
class terminal
{
public:
    // Standard error is a terminal that understands cursor movements: not
    // a pipe or a file, and TERM is set and not "dumb" (on Windows: a
    // console that takes virtual-terminal sequences).
    static bool drawsOnStderr();
    // Writes and flushes all of `bytes`; false when the stream refused them
    // (a closed pipe, a full disk).
    static bool write(std::FILE *stream, const QByteArray &bytes);
};
