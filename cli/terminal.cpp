#include "terminal.h"

#include "platformterminal.h"
#include "systemtext.h"

bool terminal::drawsOnStderr()
{
    return platformTerminal::drawsOnStderr();
}

bool terminal::write(Stream stream, const QString &text)
{
    if (text.isEmpty())
        return true;
    const QByteArray bytes = userBytes(text);
    return platformTerminal::write(stream == Error, bytes.constData(), std::size_t(bytes.size()));
}
