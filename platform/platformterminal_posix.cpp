#include "platformterminal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

bool platformTerminal::drawsOnStderr()
{
    const char *term = std::getenv("TERM");
    return ::isatty(STDERR_FILENO) == 1 && term && *term && std::strcmp(term, "dumb") != 0;
}

bool platformTerminal::write(bool toError, const char *text, std::size_t size)
{
    std::FILE *stream = toError ? stderr : stdout;
    const bool written = std::fwrite(text, 1, size, stream) == size;
    if (std::fflush(stream) == 0 && written)
        return true;
    std::clearerr(stream);
    return false;
}
