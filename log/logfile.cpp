#include "logfile.h"

#include "systemtext.h"

#include <QTime>

logfile::logfile(QObject *parent)
    : logfile(Target(), parent)
{
}

logfile::logfile(const Target &target, QObject *parent)
    : QObject(parent), m_target(target)
{
}

logfile::~logfile()
{
    close();
}

void logfile::write(const QString &text)
{
    if (open())
        put(text.toLocal8Bit());
}

void logfile::writeLine(const QString &text)
{
    if (!open())
        return;
    QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss "));
    if (!m_target.tag.isEmpty())
        line += QLatin1Char('[') + m_target.tag + QStringLiteral("] ");
    put((line + text + QLatin1Char('\n')).toLocal8Bit());
}

bool logfile::open()
{
    if (m_file.isOpen())
        return true;
    // The window's log holds the current run only; a batch log keeps the
    // bench's history. Appending puts every write at the end of the file as
    // it is then, whoever else appends.
    return m_file.open(systemText(m_target.path), m_target.append ? platformFile::Append : platformFile::Truncate);
}

void logfile::close()
{
    m_file.close();
}

// One call for the whole line; a regular file takes it whole unless the disk
// is full, and then the rest is tried once more rather than lost.
void logfile::put(const QByteArray &bytes)
{
    m_file.append(bytes.constData(), std::size_t(bytes.size()));
}
