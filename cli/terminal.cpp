#include "terminal.h"

#include "platformterminal.h"

bool terminal::drawsOnStderr()
{
    return platformTerminal::drawsOnStderr();
}

bool terminal::write(std::FILE *stream, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return true;
    const std::size_t written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    const bool flushed = std::fflush(stream) == 0;
    if (written == std::size_t(bytes.size()) && flushed)
        return true;
    std::clearerr(stream);
    return false;
}
