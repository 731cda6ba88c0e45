#include "jobfiles.h"

#include <QHash>

jobFiles::jobFiles(const QStringList &names)
    : m_names(names)
{
}

jobFiles jobFiles::fromLabel(const QString &text)
{
    return jobFiles(text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n')));
}

bool jobFiles::refuses(const QString &name)
{
    return name.contains(QLatin1Char('\n'));
}

QString jobFiles::refusalLog(const QString &name)
{
    QString shown = name;
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QStringLiteral("Error: file name with a line feed refused: ") + shown;
}

namespace {

QHash<QString, QString> &undecodableNames()
{
    static QHash<QString, QString> names;
    return names;
}

} // namespace

void jobFiles::noteUndecodable(const QString &decoded, const QString &shownBytes)
{
    undecodableNames().insert(decoded, shownBytes);
}

QString jobFiles::undecodable(const QString &name)
{
    return undecodableNames().value(name);
}

QStringList jobFiles::refused() const
{
    QStringList out;
    for (const QString &name : m_names)
        if (refuses(name))
            out << name;
    return out;
}

QString jobFiles::label() const
{
    return m_names.join(QLatin1Char('\n'));
}
