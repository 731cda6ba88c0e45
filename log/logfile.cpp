#include "logfile.h"

#include "platformerror.h"
#include "systemtext.h"

#include <QCoreApplication>
#include <QTime>

namespace {

// Logs that are no regular file and would block the open or take no line:
// refused with these words in place of the system's.
const struct {
    platformFile::Kind kind;
    const char *words;
} refusedKinds[] = {
    {.kind = platformFile::Fifo, .words = QT_TRANSLATE_NOOP("logfile", "it is a FIFO, not a regular file")},
    {.kind = platformFile::Socket, .words = QT_TRANSLATE_NOOP("logfile", "it is a socket, not a regular file")},
};

} // namespace

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
    else
        fail();
}

void logfile::writeLine(const QString &text)
{
    if (!open())
        return fail();
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
    // it is then, whoever else appends. A FIFO with no reader would hold the
    // open for good, before any signal can be handled.
    const platformFile::Kind kind = platformFile::kindOf(systemText(m_target.path));
    for (const auto &refused : refusedKinds)
        if (refused.kind == kind) {
            m_refusal = QCoreApplication::translate("logfile", refused.words);
            return false;
        }
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
    if (!m_file.append(bytes.constData(), std::size_t(bytes.size())))
        fail();
}

// The first failure is reported, with the system's words; the lines that
// follow are still tried.
void logfile::fail()
{
    if (m_failed)
        return;
    m_failed = true;
    m_reason = !m_refusal.isEmpty() ? m_refusal : fromSystem(platformError::text(m_file.error()));
    emit failed(m_target.path, m_reason);
}
