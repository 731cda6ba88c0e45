#pragma once

// The terminal that batch mode draws its progress on.
class platformTerminal
{
public:
    // Standard error is a terminal that understands cursor movements and
    // colour: not a pipe or a file (and on POSIX, TERM is set and not
    // "dumb"; on Windows, the console takes virtual-terminal sequences,
    // which this call switches on).
    static bool drawsOnStderr();
};
