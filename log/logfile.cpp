#include "logfile.h"

#include "platformerror.h"
#include "systemtext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

// Logs of its own tried when others hold the target: several windows of one
// process share its number.
constexpr int mostOwnLogs = 16;

} // namespace

logfile::logfile(QObject *parent)
    : logfile(Target(), parent)
{
}

logfile::logfile(const Target &target, QObject *parent)
    : QObject(parent), m_target(target), m_path(target.path)
{
}

logfile::~logfile()
{
    close();
}

void logfile::write(const QString &text)
{
    if (open())
        put(userBytes(text));
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
    put(userBytes(line + text + QLatin1Char('\n')));
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
    if (!m_target.append)
        return openAlone();
    if (!m_file.open(systemText(m_target.path), platformFile::Append))
        return false;
    m_file.lock(false, platformFile::Shared);   // a system that cannot hold files still appends
    return true;
}

// The target when no other instance holds it, else the first log of its
// own that none holds; it is emptied only once it is held. Where the file
// system holds no file at all, the target is emptied as it always was.
bool logfile::openAlone()
{
    for (int n = m_candidate; n < mostOwnLogs; ++n) {
        const QString path = candidate(n);
        if (!m_file.open(systemText(path), platformFile::Append))
            return false;
        if (!m_file.lock(false)) {
            m_file.close();
            continue;
        }
        platformFile emptying;
        if (!emptying.open(systemText(path), platformFile::Truncate)) {
            m_file.close();
            return false;
        }
        m_candidate = n;
        m_path = path;
        m_heldElsewhere = n == 0 ? QString() : m_target.path;
        m_othersHolding = n == 0 ? 0 : countHeld();
        return true;
    }
    m_candidate = 0;
    m_path = m_target.path;
    return m_file.open(systemText(m_path), platformFile::Truncate);
}

// velmora.log, then velmora-<pid>.log, velmora-<pid>-2.log... beside it.
QString logfile::candidate(int n) const
{
    if (n == 0)
        return m_target.path;
    const QFileInfo target(m_target.path);
    const QString own = target.completeBaseName() + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid()) +
                        (n > 1 ? QLatin1Char('-') + QString::number(n) : QString());
    const QString name = own + (target.suffix().isEmpty() ? QString() : QLatin1Char('.') + target.suffix());
    return target.path() == QLatin1String(".") ? name : QDir(target.path()).filePath(name);
}

// The target and the logs of their own (velmora-*.log) that another
// instance holds now: such a log cannot be held alone by this one.
int logfile::countHeld() const
{
    const QFileInfo target(m_target.path);
    const QString suffix = target.suffix().isEmpty() ? QString() : QLatin1Char('.') + target.suffix();
    QStringList names = target.dir().entryList({target.completeBaseName() + QStringLiteral("-*") + suffix}, QDir::Files);
    names.prepend(target.fileName());
    int held = 0;
    for (const QString &name : names) {
        const QString path = target.dir().filePath(name);
        if (QFileInfo(path).absoluteFilePath() == QFileInfo(m_path).absoluteFilePath())
            continue;
        platformFile probe;
        if (probe.open(systemText(path), platformFile::Append) && !probe.lock(false))
            ++held;
    }
    return held;
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
    emit failed(m_path, m_reason);
}
