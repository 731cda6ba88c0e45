#pragma once

#include "jobresult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// A file with one record per job (and per attempt of a retried job), for a
// spreadsheet or a script: CSV with a header row (RFC 4180, UTF-8), or JSON
// Lines for a name ending in ".jsonl". Each record reaches the file in one
// write at its end, the file held for that moment: runs and rows that
// append at once, and runs killed at any moment, leave only whole records
// and one header.
class recordsFile
{
public:
    struct Record {
        QDateTime start;            // local, with its zone
        qint64 ms = -1;             // -1: unknown
        QString port;
        QString family;             // HD or SD
        QString job;                // its keyword, or the service request
        QStringList files;          // size and SHA-256 of each one that exists
        bool filesDescribed = true; // false: the files are not what the job saved, no size or sum
        QString mac;                // where the job asked the box
        QString versionBefore;
        QString versionAfter;
        QString outcome;            // done, failed or stopped
        QString failedStep;         // the failed step's status text
        QString cause;
        QString box;                // what the box was left as, a fixed word
        int exitCode = 0;
        int attempt = 1;
    };
    // What a job came to, begun at `start`: all but MAC and versions.
    static Record of(const jobResult &result, const QStringList &files, const QDateTime &start, int attempt = 1);
    static QStringList columns();

    explicit recordsFile(const QString &path);
    QString path() const { return m_path; }
    // Creates the file with its header where it is new or empty; false
    // with the reason when it cannot be written.
    bool check();
    bool append(const Record &record);
    // Why the last check or append failed, in the system's words.
    QString reason() const { return m_reason; }

    // The bytes of the header and of one record, as written.
    QByteArray header() const;
    QByteArray line(const Record &record) const;

private:
    bool write(const QByteArray &bytes);

    QString m_path;
    bool m_json = false;
    QString m_reason;
};
