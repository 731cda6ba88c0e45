#pragma once

#include <QString>
#include <QStringList>

// The files of a job. The file label shows them one a line, and the SD link
// takes them from that text again, split at its line feeds (a list job its
// file from the first line): a name that holds a line feed would make a job
// read or overwrite another file, so such names are refused.
class jobFiles
{
public:
    jobFiles() = default;
    explicit jobFiles(const QStringList &names);
    // As the label shows them.
    static jobFiles fromLabel(const QString &text);

    static bool refuses(const QString &name);
    // A name given in bytes that the system's encoding cannot hold decodes
    // to another name: a job would read or write that one. The command line
    // notes each such argument, as decoded, with its bytes shown; only
    // before any job runs.
    static void noteUndecodable(const QString &decoded, const QString &shownBytes);
    // The bytes of a name so noted, shown, or empty.
    static QString undecodable(const QString &name);
    // The log line that says why a name was refused.
    static QString refusalLog(const QString &name);

    const QStringList &names() const { return m_names; }
    // No name, or one empty name: an empty label.
    bool isEmpty() const { return label().isEmpty(); }
    // The names that must be refused, in order.
    QStringList refused() const;
    QString first() const { return m_names.value(0); }
    // The label's text: the names joined by line feeds.
    QString label() const;

private:
    QStringList m_names;
};
