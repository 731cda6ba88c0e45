#include "terminal.h"

#include "platformterminal.h"

bool terminal::drawsOnStderr()
{
    return platformTerminal::drawsOnStderr();
}

bool terminal::write(Stream stream, const QString &text)
{
    if (text.isEmpty())
        return true;
#ifdef Q_OS_WIN
    const QByteArray bytes = text.toUtf8();
#else
    const QByteArray bytes = text.toLocal8Bit();
#endif
    return platformTerminal::write(stream == Error, bytes.constData(), std::size_t(bytes.size()));
}
