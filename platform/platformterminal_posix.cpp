#include "platformterminal.h"

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
    return writeStream(toError, text, size);
}
