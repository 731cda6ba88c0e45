#include "logfile.h"

#include <QTime>

logfile::logfile(QObject *parent)
    : QObject(parent), m_file(QStringLiteral("velmora.log"))
{
}

void logfile::setPath(const QString &path)
{
    close();
    m_file.setFileName(path);
}

logfile::~logfile()
{
    close();
}

void logfile::write(const QString &text)
{
    if (open())
        m_stream << text;
}

void logfile::writeLine(const QString &text)
{
    if (!open())
        return;
    m_stream << QTime::currentTime().toString(QStringLiteral("HH:mm:ss ")) << text << Qt::endl;
}

bool logfile::open()
{
    if (m_file.isOpen())
        return true;
    // No append flag: every run starts with an empty log.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    m_stream.setDevice(&m_file);
    return true;
}

void logfile::close()
{
    if (m_file.isOpen()) {
        m_stream.flush();
        m_stream.setDevice(nullptr);
        m_file.close();
    }
}
