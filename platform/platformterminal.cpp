#include "platformterminal.h"

#include <cstdio>

bool platformTerminal::writeStream(bool toError, const char *text, std::size_t size)
{
    std::FILE *stream = toError ? stderr : stdout;
    const bool written = std::fwrite(text, 1, size, stream) == size;
    if (std::fflush(stream) == 0 && written)
        return true;
    std::clearerr(stream);
    return false;
}
